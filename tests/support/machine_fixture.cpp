#include "support/machine_fixture.h"

#include "applet/startup.h"
#include "base/app_state.h"
#include "base/text.h"
#include "modes/mode_table.h"
#include "settings/default_settings.h"
#include "timingdb/database_loader.h"

namespace vcatest {

namespace {

std::string Rates(const std::uint32_t* rates) {
    std::string text;
    for (std::size_t i = 0; rates && rates[i] != 0; ++i) text += (i ? "," : "") + std::to_string(rates[i]);
    return text;
}

}  // namespace

void MachineTest::SetUp() {
    AppletTest::SetUp();  // resets the machine, and with it the drive mapping
    host::MapDriveC(drive.root());
    vca::InitApplet(host::AppletModule());
    UseBoard(17);
}

void MachineTest::TearDown() {
    vca::ReleaseAllTables();
    EXPECT_EQ(host::OutstandingAllocations(), 0);
    AppletTest::TearDown();
}

int MachineTest::Build(const std::u16string& description) {
    vca::IdentifyOrRunWithoutDriver();
    vca::CopyText(vca::loadedSettings.Description, description);
    vca::CopyText(vca::workingSettings.Description, description);
    if (vca::LoadTimingDatabase() != 1) return -1;
    return vca::ChooseMonitorAndBuildModes();
}

int MachineTest::Load() {
    vca::IdentifyOrRunWithoutDriver();
    return vca::LoadDefaultSettings(vca::driverKeyPath);
}

std::string MachineTest::TableText(const void* table) {
    const auto* mode = table ? static_cast<const vca::ModeEntry*>(table) : vca::modeTable;
    std::string text;
    for (; mode && mode->width != 0; ++mode) {
        if (!text.empty()) text += "; ";
        text += std::to_string(mode->width) + "x" + std::to_string(mode->height) + " " + Rates(mode->monoRates);
        if (mode->stereoRates && mode->stereoRates[0] != 0) text += "/" + Rates(mode->stereoRates);
        if (mode->stereoOnly) text += " only";
    }
    return text;
}

std::vector<std::string> MachineTest::JournalNames() {
    std::vector<std::string> names;
    for (const auto& write : host::RegistryJournal()) names.push_back(Utf8(write.name));
    return names;
}

}  // namespace vcatest
