// Runs the whole start-up (identification, the default settings with the timing database and
// the mode lists, the hardware information) against a driver key filled from the input: any
// value it reads, of any type, size and bytes. Input layout:
//   byte 0   the board profile (data/boards/, in name order)
//   byte 1   options: bits 0-1 the timing database (0 the shipped one, 1 a third of its records,
//            2 none, 3 one that does not parse); 0x04 the key is read-only; 0x08 it cannot be
//            opened; 0x10 an allocation fails (two bytes follow: which one); 0x20 a registry
//            write fails (one byte follows: which one); 0x40 start-up runs a second time
//   then     entries to the end: name (one byte, an index into the names below), type (one
//            byte), length (two bytes, little-endian, cut to what is left), the data; or name,
//            0xFF and two bytes stored as a REG_DWORD (the small numbers start-up compares with).
// Besides the sanitizers' checks it stops when start-up fails for another
// reason than an unsupported monitor, an unopenable key or a refused write;
// when the loaded settings are no offered mode or a value is out of range;
// when a write-back is malformed; when the process ends but with -1 after a
// failed allocation; when a key, a DC or a table is left behind; and when a
// second start-up over the corrected key corrects or loads anything else.
#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "applet/reset.h"
#include "applet/startup.h"
#include "base/app_state.h"
#include "boardsim/boardsim.h"
#include "gamma/gamma_table.h"
#include "modes/mode_table.h"
#include "modes/mode_views.h"
#include "platform/host/host.h"
#include "settings/hardware_info.h"
#include "startup_input.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

using startup_input::kNames;
using startup_input::ThirdOfTheRecords;

std::vector<std::pair<boardsim::Profile, bool>> boards;  // with whether the monitor is unsupported
std::shared_ptr<const host::MemoryDrive> drives[4];  // C: drives by timing database, as option bits 0-1 choose

// Loads the board profiles in name order and makes the four drives, once:
// every run maps one of them again, so no run sees what another read.
bool Prepare() {
    const std::string source = VCA_SOURCE_DIR;
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(source + "/data/boards"))
        if (entry.path().extension() == ".profile") files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    for (const std::string& file : files) {
        std::string error;
        boards.emplace_back(boardsim::Profile{}, file.find("unsupported-monitor") != std::string::npos);
        Require(boardsim::LoadProfileFile(file, &boards.back().first, &error));
    }
    std::ifstream in(source + "/data/revid.dat", std::ios::binary);
    const std::string shipped((std::istreambuf_iterator<char>(in)), {});
    Require(!boards.empty() && !shipped.empty());
    const std::string revids[4] = {shipped, ThirdOfTheRecords(shipped), "",
                                   startup_input::kBrokenDatabase};
    for (int i = 0; i < 4; ++i) {
        auto drive = std::make_shared<host::MemoryDrive>();
        if (i != 2) drive->AddFile(u"C:\\WINDOWS\\system32\\revid.dat", revids[i]);
        drives[i] = std::move(drive);
    }
    return true;
}

// The index of a value's name in kNames, or kNameCount (lengths first: most names share a long prefix).
std::size_t NameIndex(const std::u16string& name) {
    static const auto lengths = [] {
        std::array<std::size_t, startup_input::kNameCount> result{};
        for (std::size_t i = 0; i < result.size(); ++i) result[i] = std::char_traits<char16_t>::length(kNames[i]);
        return result;
    }();
    for (std::size_t i = 0; i < lengths.size(); ++i)
        if (lengths[i] == name.size() && std::memcmp(kNames[i], name.data(), 2 * name.size()) == 0) return i;
    return startup_input::kNameCount;
}

bool ReadsAsNumber(const char16_t* name) {
    host::RegValue value;
    return host::GetValue(vca::kDriverKeyPath, name, &value) && value.data.size() == 4 &&
           (value.type == platform::kRegDword || value.type == platform::kRegBinary);
}

// The loaded settings are the working copy and a mode the active view
// offers (or its one-mode fallback); every value is in range, every text ends.
void CheckLoaded() {
    const vca::DisplaySettings& s = vca::loadedSettings;
    Require(std::memcmp(&s, &vca::workingSettings, sizeof s) == 0 && s.DualScreen <= 2 && vca::activeView);
    // A stored non-zero stereo value stands as stored when stereo is offered.
    Require(s.Stereo == 0 ? !vca::AllStereoOnly() : vca::AnyStereoRates());
    Require(s.Preference1 == (s.Preferences & 1) && s.Preference2 == (s.Preferences & 2) &&
            s.Preference4 == (s.Preferences & 4));
    const vca::ModeViewEntry* mode = vca::activeView;
    while (mode->width != 0 && (mode->width != s.XResolution || mode->height != s.YResolution)) ++mode;
    bool offered = vca::activeView->width == 0 && s.XResolution == 640 && s.YResolution == 480 &&
                   s.VRefresh == 60 && s.BitsPerPel == 32;
    for (std::uint32_t i = 0; mode->width != 0 && i < vca::maxRateCount && mode->rates[i] != 0; ++i)
        offered = offered || (mode->rates[i] == s.VRefresh && s.BitsPerPel == mode->colorDepth);
    Require(offered);
    for (const vca::ScreenGamma& g : vca::currentGamma)
        Require(g.Contrast >= 30 && g.Contrast <= 100 && g.GammaDataSource >= 1 && g.GammaDataSource <= 3 &&
                g.gamma > 0.0 && g.gamma < 1e8 && g.table.header == vca::kGammaHeader);
    const auto ended = [](const auto&... texts) {
        return ((std::find(std::begin(texts), std::end(texts), u'\0') != std::end(texts)) && ...);
    };
    const vca::HardwareInfo& h = vca::hardwareInfo;
    Require(ended(s.Description, s.TagStr, vca::currentGamma[0].GammaFile, vca::currentGamma[1].GammaFile, h.board,
                  h.company, h.version, h.driverFiles, h.chip, h.dac, h.memory, h.adapter, h.textureMemory));
}

// Every write of a successful start-up is a well-formed correction (what it
// holds, the second start-up checks); the resolution goes as a pair, as
// loaded or as the two-screen size that loading folded into one screen.
void CheckWriteBacks() {
    const vca::DisplaySettings& s = vca::loadedSettings;
    std::uint32_t width = 0, height = 0;
    for (const host::RegWrite& w : host::RegistryJournal()) {
        // Tables, or one of the values from Stereo to GammaDataSource1.
        const std::size_t name = NameIndex(w.name);
        const bool table = name == 17 || name == 18;
        Require(w.result == platform::kErrorSuccess && (table || (name >= 2 && name < 13)) &&
                w.type == (table ? platform::kRegBinary : platform::kRegDword) &&
                w.data.size() == (table ? sizeof(vca::GammaTable) : 4));
        if (name == 4) std::memcpy(&width, w.data.data(), 4);
        if (name == 5) std::memcpy(&height, w.data.data(), 4);
        if (name == 11 || name == 12)  // a gamma source, as loaded
            Require(std::memcmp(w.data.data(), &vca::currentGamma[name == 12].GammaDataSource, 4) == 0);
    }
    Require((width == 0) == (height == 0) &&
            (width == 0 || (width == s.XResolution && height == s.YResolution) ||
             (s.DualScreen == 1 && width == 2 * s.XResolution && height == s.YResolution) ||
             (s.DualScreen == 2 && width == s.XResolution && height == 2 * s.YResolution)));
}

}  // namespace

// A start-up makes and frees thousands of small blocks: a small quarantine
// and short allocation stacks keep AddressSanitizer's own work below the
// start-up's (a use after free is still caught within the last 8 MB freed).
extern "C" const char* __asan_default_options() { return "quarantine_size_mb=8:malloc_context_size=4"; }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    [[maybe_unused]] static const bool prepared = Prepare();
    startup_input::Input input;
    if (!startup_input::Decode(data, size, &input)) return 0;
    const auto& [board, unsupportedMonitor] = boards[input.board % boards.size()];
    const std::uint8_t options = input.options;
    const int failAllocation = input.failAllocation, failWrite = input.failWrite;

    host::Reset();
    vca::ResetAppletState();
    host::MapDriveCInMemory(drives[options & 3]);
    vca::InitApplet(host::AppletModule());
    boardsim::Install(board);
    const char16_t* key = vca::kDriverKeyPath;
    host::PutValue(key, u"V3UZFlags0", platform::kRegDword, {0, 0, 0, 0});  // creates the key
    host::DeleteValue(key, u"V3UZFlags0");
    for (const startup_input::Value& v : input.values) host::PutValue(key, kNames[v.name], v.type, v.data);
    host::SetKeyReadOnly(key, options & 0x04);
    host::SetKeyUnopenable(key, options & 0x08);
    const int allocationsBefore = host::AllocationCount();
    if (failAllocation) host::FailNthAllocation(failAllocation);
    if (failWrite) host::FailNthRegistryWrite(failWrite);

    bool ok = false, returned = true;  // start-up as CPL_DBLCLK runs it, unless it ends the process
    int exitCode = 0;
    try {
        ok = vca::StartApplet();
    } catch (const platform::ProcessExit& exit) {
        exitCode = exit.code;
        returned = false;
    }
    Require(host::DcAcquireCount() == host::DcReleaseCount() && (!returned || host::OpenKeyCount() == 0));
    const auto& journal = host::RegistryJournal();
    if (!returned) {
        // Only running out of memory ends the process, with every table
        // released. (The process's end closes a key the load holds open.)
        Require(exitCode == -1 && failAllocation && host::AllocationCount() - allocationsBefore >= failAllocation &&
                host::OutstandingAllocations() == 0);
    } else if (unsupportedMonitor || (options & 0x08)) {
        Require(!ok && journal.empty());
    } else if (!ok) {
        // A stored width without a height fails the load; otherwise only a
        // refused write-back does, and it ends the load at once.
        for (std::size_t i = 0; i + 1 < journal.size(); ++i) Require(journal[i].result == platform::kErrorSuccess);
        if (journal.empty() || journal.back().result == platform::kErrorSuccess)
            Require(ReadsAsNumber(kNames[4]) && !ReadsAsNumber(kNames[5]));
        else
            Require(vca::readOnlySettings || failWrite);
    } else {
        CheckLoaded();
        CheckWriteBacks();
        if ((options & 0x40) && !failAllocation && !failWrite) {
            // The next start-up corrects nothing and loads the same, the gamma sources apart (a
            // table rewritten alone takes its source to 3 in memory only; that of a write, above).
            const vca::DisplaySettings settings = vca::loadedSettings;
            const vca::ScreenGamma gamma[2] = {vca::currentGamma[0], vca::currentGamma[1]};
            vca::ReleaseAllTables();
            host::ClearRegistryJournal();
            Require(vca::StartApplet() && host::RegistryJournal().empty() &&
                    std::memcmp(&settings, &vca::loadedSettings, sizeof settings) == 0);
            for (int i = 0; i < 2; ++i) {
                const vca::ScreenGamma& g = vca::currentGamma[i];
                Require(g.Contrast == gamma[i].Contrast && g.GammaValue == gamma[i].GammaValue &&
                        std::memcmp(&g.table, &gamma[i].table, sizeof g.table) == 0);
            }
        }
    }
    vca::ReleaseAllTables();
    Require(host::OutstandingAllocations() == 0);
    vca::ResetAppletState();
    // The emulated machine lets go of its key and drive now, not at the next
    // run: a run that ends holding more memory than it started with is run
    // again to look for a leak, which would double the cost of every run.
    host::Reset();
    return 0;
}
