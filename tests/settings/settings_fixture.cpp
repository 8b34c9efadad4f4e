#include "settings/settings_fixture.h"

#include "applet/text.h"
#include "driver/board_identity.h"
#include "settings/default_settings.h"

namespace vcatest {

const std::u16string kDriverKey = u"SYSTEM\\CurrentControlSet\\Services\\rediruv\\Device0";

std::string MakeDatabase(const std::vector<DbMode>& modes, const std::string& extraMonitors,
                         const std::string& msLimits) {
    std::string text = "version 1\ndisplay {\n { tag=MS desc=\"Generic multi-sync monitor\" " + msLimits +
                       " }\n { tag=LM desc=\"Norvane Lumaris Monitor\" }\n" + extraMonitors + "}\n";
    for (const auto& m : modes) {
        text += "tag MS\ntype vqx/gli\nxres " + std::to_string(m.width) + "\nyres " + std::to_string(m.height) +
                "\nrefresh " + std::to_string(m.refresh) + "\n";
        if (m.hfreq) text += "hfreq " + std::to_string(m.hfreq) + "\n";
        text += std::string("flags { stereo=") + (m.stereo ? "true" : "false") + " }\ndata {\n00\n}\n";
    }
    return text;
}

void SettingsTest::SetUp() {
    AppletTest::SetUp();
    host::MapDriveC(drive.root());
    vca::InitApplet(host::AppletModule());
    UseBoard();
}

void SettingsTest::UseBoard(std::uint32_t monitorAnswer, std::uint32_t board) {
    boardsim::Install(MakeBoard(board, monitorAnswer));
}

int SettingsTest::Load() {
    vca::IdentifyOrRunWithoutDriver();
    return vca::LoadDefaultSettings(vca::driverKeyPath);
}

std::vector<std::string> SettingsTest::JournalNames() const {
    std::vector<std::string> names;
    for (const auto& write : host::RegistryJournal()) names.push_back(Utf8(write.name));
    return names;
}

}  // namespace vcatest
