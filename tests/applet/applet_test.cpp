// Finding the resource library and the help file for the user's language,
// and the fatal messages when nothing can be found; CPL_NEWINQUIRE's record
// and the start-up: identification, the settings and the hardware
// information; the message formats the applet composes.
#include <gtest/gtest.h>

#include <cstring>

#include "base/app_state.h"
#include "base/resource_library.h"
#include "base/text.h"
#include "applet/startup.h"
#include "driver/board_identity.h"
#include "modes/mode_table.h"
#include "settings/hardware_info.h"
#include "support/machine_fixture.h"
#include "applet/reset.h"

namespace {

using vcatest::kDriverKey;

using vcatest::Utf8;

class ResourceLibraryTest : public vcatest::AppletTest {};

std::vector<std::string> Utf8All(const std::vector<std::u16string>& texts) {
    std::vector<std::string> out;
    for (const auto& t : texts) out.push_back(Utf8(t));
    return out;
}

TEST_F(ResourceLibraryTest, FallsBackThroughTheLanguagesAndFindsTheHelpFile) {
    struct Case {
        const char* what;
        std::uint32_t lcid;
        std::vector<std::uint16_t> libraries;
        std::vector<std::string> helpFiles;  // present in the system folder
        std::vector<std::string> loads;
        int loaded;
        std::vector<std::string> searched;
        std::string help;
    } cases[] = {
        {"user's own language", 0x0407, {0x0407, 0x0409}, {"vca0407.hlp"}, {"vca0407"}, 0x0407,
         {"vca0407.hlp"}, "vca0407.hlp"},
        {"Austrian German with only the neutral library", 3079, {0x0007}, {},
         {"vca0c07", "vca0007"}, 0x0007, {"vca0c07.hlp", "vca0007.hlp", "vca0407.hlp"}, "vca0409.hlp"},
        {"default sublanguage library", 0x0c0a, {0x040a}, {"vca040a.hlp"},
         {"vca0c0a", "vca000a", "vca040a"}, 0x040a, {"vca0c0a.hlp", "vca000a.hlp", "vca040a.hlp"},
         "vca040a.hlp"},
        {"US English last", 0x0411, {0x0409}, {"vca0409.hlp"},
         {"vca0411", "vca0011", "vca0411", "vca0409"}, 0x0409,
         {"vca0411.hlp", "vca0009.hlp", "vca0409.hlp"}, "vca0409.hlp"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        host::Reset();
        vca::ResetAppletState();
        vcatest::TempDrive drive;
        for (const auto& file : c.helpFiles) drive.WriteFile("WINDOWS/system32/" + file, "help");
        host::SetUserLcid(c.lcid);
        host::SetResourceLanguages(c.libraries);

        vca::LoadResourceLibrary(host::AppletModule());

        EXPECT_EQ(Utf8All(host::LibraryLoadAttempts()), c.loads);
        EXPECT_EQ(vca::resourceLibrary, host::ResourceModuleFor(c.loaded));
        std::vector<std::string> searched;
        for (const auto& path : host::FileSearches())
            searched.push_back(Utf8(path.substr(path.rfind(u'\\') + 1)));
        EXPECT_EQ(searched, c.searched);
        EXPECT_EQ(Utf8(vca::helpFilePath), "C:\\WINDOWS\\system32\\" + c.help);
        EXPECT_EQ(Utf8(vca::systemDirectory), "C:\\WINDOWS\\system32\\");
        EXPECT_TRUE(host::MessageBoxes().empty());
    }
}

// A locale that cannot be set, or no resource library in any language,
// ends the process after a message from the applet's own strings.
TEST_F(ResourceLibraryTest, FatalFailuresEndTheProcessWithTheirMessage) {
    const struct { bool failLocale; std::vector<std::string> loads; std::string text; } cases[] = {
        {true, {}, "\r\nCannot set locale in the C library."},
        {false, {"vca0409", "vca0009", "vca0409", "vca0409"},
         "\r\nCould not load the US English resource library.  You \r\nmay need to reload the RAZIRORUD product."},
    };
    for (const auto& c : cases) {
        host::Reset();
        host::SetUserLcid(1033);
        host::SetResourceLanguages({});
        host::FailSetLocale(c.failLocale);
        try {
            vca::LoadResourceLibrary(host::AppletModule());
            ADD_FAILURE() << "the process should have ended";
        } catch (const platform::ProcessExit& exit) {
            EXPECT_EQ(exit.code, -1);
        }
        EXPECT_EQ(Utf8All(host::LibraryLoadAttempts()), c.loads);
        ASSERT_EQ(host::MessageBoxes().size(), 1u);
        const auto& box = host::MessageBoxes()[0];
        EXPECT_EQ(Utf8(box.text), c.text);
        EXPECT_EQ(Utf8(box.caption), "Norvane Video Configuration Applet");
        EXPECT_EQ(box.type, 0x30u);
        EXPECT_EQ(host::Beeps(), (std::vector<std::uint32_t>{0x30}));
    }
}

// A machine with the shipped timing database in its system directory.
class StartupTest : public vcatest::MachineTest {
protected:
    void SetUp() override {
        MachineTest::SetUp();
        WriteDatabase(vcatest::ReadFileBytes(vcatest::SourcePath("data/revid.dat")));
        // The driver records its pixel-clock limits in its key; 0 sets none.
        for (const char16_t* name : {u"V3UZFlags0", u"V3UZMaxPcFreq1020", u"V3UZMaxPcFreq1280", u"V3UZMaxPcPllVcoFreq0"})
            host::PutDword(kDriverKey, name, 0);
    }
};

TEST_F(StartupTest, EntryInfoCutsEveryTextToItsField) {
    host::OverrideString(0x0409, 4, std::u16string(40, u'n'));
    host::OverrideString(0x0409, 3, std::u16string(150, u'i'));
    vca::CplEntryInfo info;
    std::memset(&info, 0x7F, sizeof info);
    vca::FillCplEntryInfo(&info);
    EXPECT_EQ(Utf8(info.name), std::string(31, 'n'));
    EXPECT_EQ(Utf8(info.info), std::string(63, 'i'));
    EXPECT_EQ(info.helpContext, 101u);
    EXPECT_EQ(info.icon, host::IconFor(vca::resourceLibrary));
    EXPECT_EQ(Utf8(info.helpFile), "C:\\WINDOWS\\system32\\vca0409.hlp");

    // A long Windows folder cuts the help path to its field.
    host::Reset();
    vca::ResetAppletState();
    host::SetWindowsDirectory(u"C:\\" + std::u16string(190, u'w'));
    vca::InitApplet(host::AppletModule());
    info = vca::CplEntryInfo{};
    vca::FillCplEntryInfo(&info);
    EXPECT_EQ(std::u16string(info.helpFile).size(), 127u);
    EXPECT_EQ(std::u16string(vca::helpFilePath).substr(193), u"\\system32\\vca0409.hlp");
}

TEST_F(StartupTest, IdentificationDecidesBetweenDriverNoDriverAndFailure) {
    const struct {
        const char* what;
        bool privateEscape, unopenableKey;
        std::uint32_t board, monitor;
        bool started, absent;
        std::uint32_t boardCode, message;
    } cases[] = {
        {"identified", true, false, 205, 17, true, false, 205, 0},
        {"no private escape", false, false, 205, 17, true, true, 0, 0},
        {"unsupported board", true, false, 299, 17, true, true, 0, 0},
        {"unsupported monitor", true, false, 205, 18, false, false, 205, 18},
        {"driver key cannot be opened", true, true, 205, 17, false, false, 205, 16},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        vca::ResetAppletState();
        vca::InitApplet(host::AppletModule());
        const std::size_t boxes = host::MessageBoxes().size();
        host::SetKeyUnopenable(kDriverKey, c.unopenableKey);
        vcatest::PutDriverNumber(kDriverKey, u"HardwareInformation.MemorySize", 8u << 20);
        boardsim::Profile profile = vcatest::MakeBoard(c.board, c.monitor);
        profile.privateEscape = c.privateEscape;
        boardsim::Install(profile);
        EXPECT_EQ(vca::StartApplet(), c.started);
        EXPECT_EQ(vca::driverAbsent, c.absent);
        EXPECT_EQ(vca::boardIdentity.boardCode, c.boardCode);
        ASSERT_EQ(host::MessageBoxes().size() - boxes, c.message ? 1u : 0u);
        if (c.message) {
            EXPECT_EQ(host::MessageBoxes().back().text, vca::LoadResourceString(c.message));
            EXPECT_EQ(host::MessageBoxes().back().type, 16u);
        } else {
            EXPECT_EQ(Utf8(vca::driverKeyPath), Utf8(kDriverKey));
        }
        if (c.started && !c.absent) {
            EXPECT_EQ(Utf8(vca::hardwareInfo.memory), "8 " + Utf8(vca::LoadResourceString(1216)));
        }
        EXPECT_EQ(host::OpenKeyCount(), 0);
        host::SetKeyUnopenable(kDriverKey, false);
        vca::ReleaseAllTables();
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

TEST(Text, FormatsLikeTheCLibrary) {
    struct Case { std::u16string got; std::string expect; } cases[] = {
        {vca::FormatText(u"%s %s. %s", {u"Cannot open", u"C:\\x\\revid.dat", u"Using defaults."}),
         "Cannot open C:\\x\\revid.dat. Using defaults."},
        {vca::FormatText(u"%s %s.  %s %d.  %s", {u"A", u"B", u"line", 42, u"C"}), "A B.  line 42.  C"},
        {vca::FormatText(u"%lu %s", {4u, u"MB"}), "4 MB"},
        {vca::FormatText(u"%li %s", {-16, u"MB"}), "-16 MB"},
        {vca::FormatText(u"%04x", {0xc07u}), "0c07"},
        {vca::FormatText(u"%05d|%4d", {-42, -7}), "-0042|  -7"},
        {vca::FormatText(u"<%s>", {u"n/a"}), "<n/a>"},
        {vca::FormatText(u"100%% %q", {}), "100% %q"},
        {vca::FormatText(u"%s and %s", {u"one"}), "one and "},
        {vca::FormatText(u"%x %u %d %d", {-1, -2, 4000000000u, -9223372036854775807LL - 1}),
         "ffffffffffffffff 18446744073709551614 4000000000 -9223372036854775808"},
        {vca::FormatText(u"%05s|%3s|%d|50%", {u"-ab", u"abcd"}), "-  ab|abcd||50%"},
    };
    for (const auto& c : cases) EXPECT_EQ(Utf8(c.got), c.expect);
}

}  // namespace
