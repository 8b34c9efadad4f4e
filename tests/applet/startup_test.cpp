// CPL_INIT, CPL_NEWINQUIRE's record and the start-up's identification step.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>

#include "applet/app_state.h"
#include "applet/resource_library.h"
#include "applet/startup.h"
#include "driver/board_identity.h"
#include "modes/mode_table.h"
#include "settings/hardware_info.h"
#include "support/applet_fixture.h"
#include "support/board_builder.h"

namespace {

using vcatest::Utf8;

// A machine with the shipped timing database in its system directory.
class StartupTest : public vcatest::AppletTest {
protected:
    void SetUp() override {
        AppletTest::SetUp();
        std::ifstream shipped(vcatest::SourcePath("data/revid.dat"), std::ios::binary);
        database.assign(std::istreambuf_iterator<char>(shipped), {});
        ASSERT_FALSE(database.empty());
        drive.WriteFile("WINDOWS/system32/revid.dat", database);
        PutBoardLimits();
        vca::InitApplet(host::AppletModule());
    }
    // The driver records its pixel-clock limits in its key; 0 sets none.
    static void PutBoardLimits() {
        for (const char16_t* name : {u"V3UZFlags0", u"V3UZMaxPcFreq1020", u"V3UZMaxPcFreq1280", u"V3UZMaxPcPllVcoFreq0"})
            host::PutDword(u"SYSTEM\\CurrentControlSet\\Services\\rediruv\\Device0", name, 0);
    }
    void TearDown() override {
        vca::ReleaseAllTables();
        EXPECT_EQ(host::OutstandingAllocations(), 0);
        AppletTest::TearDown();
    }
    std::string database;
    vcatest::TempDrive drive;
};

TEST_F(StartupTest, InitLoadsTheLibraryOnlyOnce) {
    EXPECT_EQ(host::LibraryLoadAttempts().size(), 1u);
    vca::InitApplet(host::AppletModule());
    EXPECT_EQ(host::LibraryLoadAttempts().size(), 1u);
    EXPECT_EQ(vca::resourceLibrary, host::ResourceModuleFor(0x0409));
}

TEST_F(StartupTest, EntryInfoCutsEveryTextToItsField) {
    struct Case {
        std::u16string name, info;
        std::string expectName, expectInfo;
    } cases[] = {
        {u"Video", u"Configures the board", "Video", "Configures the board"},
        {std::u16string(31, u'n'), std::u16string(63, u'i'), std::string(31, 'n'), std::string(63, 'i')},
        {std::u16string(40, u'n'), std::u16string(150, u'i'), std::string(31, 'n'), std::string(63, 'i')},
    };
    for (const auto& c : cases) {
        host::OverrideString(0x0409, 4, c.name);
        host::OverrideString(0x0409, 3, c.info);
        vca::CplEntryInfo info;
        std::memset(&info, 0x7F, sizeof info);
        vca::FillCplEntryInfo(&info);
        EXPECT_EQ(Utf8(info.name), c.expectName);
        EXPECT_EQ(Utf8(info.info), c.expectInfo);
        EXPECT_EQ(info.flags, 0u);
        EXPECT_EQ(info.helpContext, 101u);
        EXPECT_EQ(info.data, 0);
        EXPECT_EQ(info.icon, host::IconFor(vca::resourceLibrary));
        EXPECT_EQ(Utf8(info.helpFile), "C:\\WINDOWS\\system32\\vca0409.hlp");
    }
}

TEST_F(StartupTest, ALongWindowsDirectoryCutsTheHelpPathToItsField) {
    host::Reset();
    vca::ResetAppletState();
    host::SetWindowsDirectory(u"C:\\" + std::u16string(190, u'w'));
    vca::InitApplet(host::AppletModule());
    vca::CplEntryInfo info{};
    vca::FillCplEntryInfo(&info);
    EXPECT_EQ(std::u16string(info.helpFile).size(), 127u);
    EXPECT_EQ(std::u16string(vca::helpFilePath).substr(193), u"\\system32\\vca0409.hlp");
}

TEST_F(StartupTest, IdentificationDecidesBetweenDriverNoDriverAndFailure) {
    struct Case {
        const char* what;
        bool privateEscape;
        std::uint32_t board, monitor;
        bool started, absent;
        std::uint32_t boardCode;
        std::size_t boxes;
    } cases[] = {
        {"identified", true, 205, 17, true, false, 205, 0},
        {"no private escape", false, 205, 17, true, true, 0, 0},
        {"unsupported board", true, 299, 17, true, true, 0, 0},
        {"unsupported monitor", true, 205, 18, false, false, 205, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        host::Reset();
        vca::ResetAppletState();
        host::MapDriveC(drive.root());
        PutBoardLimits();
        vca::InitApplet(host::AppletModule());
        boardsim::Profile profile = vcatest::MakeBoard(c.board, c.monitor);
        profile.privateEscape = c.privateEscape;
        boardsim::Install(profile);
        EXPECT_EQ(vca::StartApplet(), c.started);
        EXPECT_EQ(vca::driverAbsent, c.absent);
        EXPECT_EQ(vca::boardIdentity.boardCode, c.boardCode);
        ASSERT_EQ(host::MessageBoxes().size(), c.boxes)
            << (host::MessageBoxes().empty() ? "" : Utf8(host::MessageBoxes()[0].text));
        if (c.boxes) {
            EXPECT_EQ(host::MessageBoxes()[0].text, vca::LoadResourceString(18));
            EXPECT_EQ(host::MessageBoxes()[0].type, 16u);
        } else {
            EXPECT_EQ(Utf8(vca::driverKeyPath), "SYSTEM\\CurrentControlSet\\Services\\rediruv\\Device0");
        }
    }
}

TEST_F(StartupTest, TheNoDriverFlagOutlivesALaterIdentification) {
    boardsim::Profile absent = vcatest::MakeBoard(205, 17);
    absent.privateEscape = false;
    boardsim::Install(absent);
    ASSERT_TRUE(vca::StartApplet());
    ASSERT_TRUE(vca::driverAbsent);
    boardsim::Install(vcatest::MakeBoard(205, 17));
    ASSERT_TRUE(vca::StartApplet());
    EXPECT_EQ(vca::boardIdentity.boardCode, 205u);
    EXPECT_TRUE(vca::driverAbsent);
}

TEST_F(StartupTest, ASuccessfulStartCollectsTheHardwareInformation) {
    vcatest::PutDriverNumber(u"SYSTEM\\CurrentControlSet\\Services\\rediruv\\Device0",
                             u"HardwareInformation.MemorySize", 8u << 20);
    boardsim::Install(vcatest::MakeBoard(206, 17));
    ASSERT_TRUE(vca::StartApplet());
    EXPECT_EQ(Utf8(vca::hardwareInfo.memory), "8 " + Utf8(vca::LoadResourceString(1216)));
    EXPECT_EQ(host::OpenKeyCount(), 0);
}

TEST_F(StartupTest, ADriverKeyThatCannotBeOpenedStopsWithMessage16) {
    host::SetKeyUnopenable(u"SYSTEM\\CurrentControlSet\\Services\\rediruv\\Device0", true);
    boardsim::Install(vcatest::MakeBoard(205, 17));
    EXPECT_FALSE(vca::StartApplet());
    ASSERT_EQ(host::MessageBoxes().size(), 1u);
    EXPECT_EQ(host::MessageBoxes()[0].text, vca::LoadResourceString(16));
    EXPECT_EQ(host::MessageBoxes()[0].type, 16u);
}

}  // namespace
