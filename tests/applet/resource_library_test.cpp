// Finding the resource library and the help file for the user's language,
// and the fatal messages when nothing can be found.
#include <gtest/gtest.h>

#include "base/app_state.h"
#include "base/resource_library.h"
#include "support/applet_fixture.h"
#include "applet/reset.h"

namespace {

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

}  // namespace
