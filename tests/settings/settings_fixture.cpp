#include "settings/settings_fixture.h"

#include "base/text.h"
#include "driver/board_identity.h"
#include "settings/default_settings.h"

namespace vcatest {

const std::u16string kDriverKey = u"SYSTEM\\CurrentControlSet\\Services\\rediruv\\Device0";

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
