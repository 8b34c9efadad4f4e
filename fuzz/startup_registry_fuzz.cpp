// Runs the whole start-up (identification, the default settings with the
// timing database and the mode lists, the hardware information) against a
// driver key filled from the input: any value the start-up reads, of any
// type, any size and any bytes. Input layout:
//   byte 0   the board profile (data/boards/, in name order)
//   byte 1   options: bits 0-1 the timing database (0 the shipped one, 1 a
//            third of its records, 2 none, 3 one that does not parse); 0x04 the key is read-only;
//            0x08 the key cannot be opened; 0x10 an allocation fails (two
//            bytes follow: which one); 0x20 a registry write fails (one byte
//            follows: which one); 0x40 start-up runs a second time
//   then     entries up to the end: name (one byte, an index into the names
//            below), type (one byte), length (two bytes, little-endian, cut
//            to what is left), the data bytes; or, with type 0xFF, a short
//            number: name, 0xFF, two bytes stored as a REG_DWORD (so that
//            the values start-up compares with are a byte or two away).
// Besides the sanitizers' checks it stops when start-up fails for any other
// reason than an unsupported monitor, an unopenable key or a refused write;
// when a loaded value lies outside what the mode lists and the ranges allow;
// when a written-back value is malformed; when the process ends other than
// with -1 after a failed allocation; when a key, a DC or a table is left
// behind; and when a second start-up over the corrected key corrects again.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "applet/reset.h"
#include "applet/startup.h"
#include "base/app_state.h"
#include "boardsim/boardsim.h"
#include "driver/board_identity.h"
#include "gamma/gamma_table.h"
#include "modes/mode_table.h"
#include "modes/mode_views.h"
#include "platform/host/host.h"
#include "settings/hardware_info.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

const char16_t* const kNames[] = {
    u"DefaultSettings.Description",
    u"DefaultSettings.TagStr",
    u"DefaultSettings.Stereo",
    u"DefaultSettings.Preferences",
    u"DefaultSettings.XResolution",
    u"DefaultSettings.YResolution",
    u"DefaultSettings.DualScreen",
    u"DefaultSettings.VRefresh",
    u"DefaultSettings.BitsPerPel",
    u"DefaultSettings.Contrast0",
    u"DefaultSettings.Contrast1",
    u"DefaultSettings.GammaDataSource0",
    u"DefaultSettings.GammaDataSource1",
    u"DefaultSettings.GammaValue0",
    u"DefaultSettings.GammaValue1",
    u"DefaultSettings.GammaFile0",
    u"DefaultSettings.GammaFile1",
    u"DefaultSettings.GammaCorrectionTable0",
    u"DefaultSettings.GammaCorrectionTable1",
    u"DefaultSettings.Interlaced",
    u"HardwareInformation.ChipType",
    u"HardwareInformation.DACType",
    u"HardwareInformation.MemorySize",
    u"HardwareInformation.AdapterString",
    u"HardwareInformation.TextureMemorySize",
    u"V3UZFlags0",
    u"V3UZMaxPcFreq1020",
    u"V3UZMaxPcFreq1280",
    u"V3UZMaxPcPllVcoFreq0",
};
constexpr std::size_t kNameCount = sizeof kNames / sizeof kNames[0];

struct Board {
    std::string file;
    boardsim::Profile profile;
};

struct Machine {
    std::vector<Board> boards;
    std::string drive[4];  // drive folders by timing database, as option bits 0-1 choose
};

// The shipped database without its comment lines and with every third
// record: the same monitors and record types, read in a fraction of the time.
std::string ThirdOfTheRecords(const std::string& shipped) {
    std::string header, records;
    std::size_t recordCount = 0;
    bool inRecords = false;
    std::size_t at = 0;
    while (at < shipped.size()) {
        std::size_t end = shipped.find('\n', at);
        end = end == std::string::npos ? shipped.size() : end + 1;
        const std::string line = shipped.substr(at, end - at);
        at = end;
        const std::size_t first = line.find_first_not_of(" \t\r\n");
        if (first == std::string::npos || line[first] == ';') continue;
        if (line.compare(0, 4, "tag ") == 0) {
            inRecords = true;
            ++recordCount;
        }
        if (!inRecords) header += line;
        else if (recordCount % 3 == 1) records += line;
    }
    return header + records;
}

std::string MakeDrive(const std::filesystem::path& root, const std::string& name, const std::string* revid) {
    const std::filesystem::path drive = root / name;
    std::filesystem::create_directories(drive / "WINDOWS" / "system32");
    if (revid) std::ofstream(drive / "WINDOWS" / "system32" / "revid.dat", std::ios::binary) << *revid;
    return drive.string();
}

const Machine& TheMachine() {
    static const Machine machine = [] {
        Machine m;
        const std::filesystem::path source(VCA_SOURCE_DIR);
        std::vector<std::string> files;
        for (const auto& entry : std::filesystem::directory_iterator(source / "data" / "boards"))
            if (entry.path().extension() == ".profile") files.push_back(entry.path().string());
        std::sort(files.begin(), files.end());
        for (const std::string& file : files) {
            Board board{file, {}};
            std::string error;
            Require(boardsim::LoadProfileFile(file, &board.profile, &error));
            m.boards.push_back(board);
        }
        Require(!m.boards.empty());
        std::ifstream in(source / "data" / "revid.dat", std::ios::binary);
        const std::string shipped((std::istreambuf_iterator<char>(in)), {});
        Require(!shipped.empty());
        const std::string third = ThirdOfTheRecords(shipped);
        const std::string broken = "version 1\ndisplay {\n { tag=MS desc=\"Broken\"\n";
        // The database is read on every run: a memory file system when there is one.
        std::error_code ec;
        std::filesystem::path base = std::filesystem::temp_directory_path();
        if (std::filesystem::is_directory("/dev/shm", ec)) base = "/dev/shm";
        static const std::filesystem::path root =
            base / ("vca-startup-fuzz-" + std::to_string(static_cast<unsigned>(getpid())));
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(root, ignored);
        });
        m.drive[0] = MakeDrive(root, "shipped", &shipped);
        m.drive[1] = MakeDrive(root, "third", &third);
        m.drive[2] = MakeDrive(root, "none", nullptr);
        m.drive[3] = MakeDrive(root, "broken", &broken);
        return m;
    }();
    return machine;
}

template <std::size_t N>
void RequireTerminated(const char16_t (&field)[N]) {
    Require(std::find(field, field + N, u'\0') != field + N);
}

bool IsName(const std::u16string& name, const char16_t* expected) { return name == expected; }

// What the start-up takes for a number: four bytes, REG_DWORD or REG_BINARY.
bool ReadsAsNumber(const std::u16string& key, const char16_t* name) {
    host::RegValue value;
    return host::GetValue(key, name, &value) && value.data.size() == 4 &&
           (value.type == platform::kRegDword || value.type == platform::kRegBinary);
}

std::uint32_t Dword(const host::RegWrite& w) {
    std::uint32_t value = 0;
    std::memcpy(&value, w.data.data(), sizeof value);
    return value;
}

// The first entry of the active view with the loaded resolution: the mode
// the refresh rate and the depth were checked against.
const vca::ModeViewEntry* LoadedMode() {
    if (!vca::activeView) return nullptr;
    for (const vca::ModeViewEntry* e = vca::activeView; e->width != 0; ++e)
        if (e->width == vca::loadedSettings.XResolution && e->height == vca::loadedSettings.YResolution) return e;
    return nullptr;
}

void CheckLoaded() {
    const vca::DisplaySettings& s = vca::loadedSettings;
    Require(std::memcmp(&s, &vca::workingSettings, sizeof s) == 0);
    RequireTerminated(s.Description);
    RequireTerminated(s.TagStr);
    // A stored non-zero stereo value stands as stored when stereo is offered.
    Require(s.Stereo == 0 ? !vca::AllStereoOnly() : vca::AnyStereoRates());
    Require(s.DualScreen <= 2);
    Require(s.Preference1 == (s.Preferences & 1) && s.Preference2 == (s.Preferences & 2) &&
            s.Preference4 == (s.Preferences & 4));
    Require(vca::activeView != nullptr);
    if (vca::activeView->width == 0) {
        // Nothing in the view: the one-mode fallback, 640 x 480 at 60 Hz.
        Require(s.XResolution == 640 && s.YResolution == 480 && s.VRefresh == 60 && s.BitsPerPel == 32);
    } else {
        const vca::ModeViewEntry* mode = LoadedMode();
        Require(mode != nullptr);
        Require(s.BitsPerPel == mode->colorDepth);
        bool rateOffered = false;
        for (std::uint32_t i = 0; i < vca::maxRateCount && mode->rates[i] != 0; ++i)
            rateOffered = rateOffered || mode->rates[i] == s.VRefresh;
        Require(rateOffered);
    }
    for (const vca::ScreenGamma& g : vca::currentGamma) {
        Require(g.Contrast >= 30 && g.Contrast <= 100);
        Require(g.GammaDataSource >= 1 && g.GammaDataSource <= 3);
        Require(g.gamma > 0.0 && g.gamma < 1e8);
        Require(g.table.header == vca::kGammaHeader);
        RequireTerminated(g.GammaFile);
    }
    const vca::HardwareInfo& h = vca::hardwareInfo;
    RequireTerminated(h.board);
    RequireTerminated(h.company);
    RequireTerminated(h.version);
    RequireTerminated(h.driverFiles);
    RequireTerminated(h.chip);
    RequireTerminated(h.dac);
    RequireTerminated(h.memory);
    RequireTerminated(h.adapter);
    RequireTerminated(h.textureMemory);
}

// Every write of a successful start-up is a correction of a DefaultSettings
// value, made once, well-formed and agreeing with what was loaded.
void CheckWriteBacks() {
    const vca::DisplaySettings& s = vca::loadedSettings;
    std::vector<std::u16string> seen;
    std::uint32_t width = 0, height = 0;
    for (const host::RegWrite& w : host::RegistryJournal()) {
        Require(w.result == platform::kErrorSuccess);
        Require(w.key == vca::kDriverKeyPath);
        Require(std::find(seen.begin(), seen.end(), w.name) == seen.end());
        seen.push_back(w.name);
        if (IsName(w.name, u"DefaultSettings.GammaCorrectionTable0") ||
            IsName(w.name, u"DefaultSettings.GammaCorrectionTable1")) {
            Require(w.type == platform::kRegBinary && w.data.size() == sizeof(vca::GammaTable));
            vca::GammaTable table;
            std::memcpy(&table, w.data.data(), sizeof table);
            Require(vca::IsLinearTable(table));
            continue;
        }
        Require(w.type == platform::kRegDword && w.data.size() == 4);
        const std::uint32_t v = Dword(w);
        if (IsName(w.name, u"DefaultSettings.Stereo")) Require(v == s.Stereo);
        else if (IsName(w.name, u"DefaultSettings.Preferences")) Require(v == 0 && s.Preferences == 0);
        else if (IsName(w.name, u"DefaultSettings.DualScreen")) Require(v == 0);
        else if (IsName(w.name, u"DefaultSettings.XResolution")) width = v;
        else if (IsName(w.name, u"DefaultSettings.YResolution")) height = v;
        else if (IsName(w.name, u"DefaultSettings.VRefresh")) Require(v == s.VRefresh);
        else if (IsName(w.name, u"DefaultSettings.BitsPerPel")) Require(v == s.BitsPerPel);
        else if (IsName(w.name, u"DefaultSettings.Contrast0") || IsName(w.name, u"DefaultSettings.Contrast1"))
            Require(v == 100);
        else if (IsName(w.name, u"DefaultSettings.GammaDataSource0") ||
                 IsName(w.name, u"DefaultSettings.GammaDataSource1"))
            Require(v == 3);
        else
            Require(false);
    }
    // The resolution is written as a pair, as loaded or as the two-screen
    // size that loading folded into one screen and an arrangement.
    Require((width == 0) == (height == 0));
    if (width != 0)
        Require((width == s.XResolution && height == s.YResolution) ||
                (s.DualScreen == 1 && width == 2 * s.XResolution && height == s.YResolution) ||
                (s.DualScreen == 2 && width == s.XResolution && height == 2 * s.YResolution));
}

struct Snapshot {
    vca::DisplaySettings settings;
    std::int32_t contrast[2];
    std::uint32_t source[2];
    std::int32_t gammaValue[2];
    vca::GammaTable table[2];
};

Snapshot Take() {
    Snapshot snap;
    snap.settings = vca::loadedSettings;
    for (int i = 0; i < 2; ++i) {
        snap.contrast[i] = vca::currentGamma[i].Contrast;
        snap.source[i] = vca::currentGamma[i].GammaDataSource;
        snap.gammaValue[i] = vca::currentGamma[i].GammaValue;
        snap.table[i] = vca::currentGamma[i].table;
    }
    return snap;
}

// A table rewritten without its source takes the source to 3 in memory
// only; the next start-up finds the stored source again.
bool Same(const Snapshot& a, const Snapshot& b, const bool tableRewritten[2]) {
    if (std::memcmp(&a.settings, &b.settings, sizeof a.settings) != 0) return false;
    for (int i = 0; i < 2; ++i)
        if (a.contrast[i] != b.contrast[i] || (!tableRewritten[i] && a.source[i] != b.source[i]) ||
            a.gammaValue[i] != b.gammaValue[i] ||
            std::memcmp(&a.table[i], &b.table[i], sizeof a.table[i]) != 0)
            return false;
    return true;
}

// Start-up as CPL_DBLCLK runs it; false when it ended the process.
bool Start(bool* ok, int* exitCode) {
    try {
        *ok = vca::StartApplet();
        return true;
    } catch (const platform::ProcessExit& exit) {
        *exitCode = exit.code;
        return false;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Machine& machine = TheMachine();
    if (size < 2) return 0;
    const Board& board = machine.boards[data[0] % machine.boards.size()];
    const std::uint8_t options = data[1];
    std::size_t at = 2;
    int failAllocation = 0, failWrite = 0;
    if (options & 0x10) {
        if (size < at + 2) return 0;
        failAllocation = 1 + (data[at] | data[at + 1] << 8);
        at += 2;
    }
    if (options & 0x20) {
        if (size < at + 1) return 0;
        failWrite = 1 + data[at++];
    }

    host::Reset();
    vca::ResetAppletState();
    host::MapDriveC(machine.drive[options & 3]);
    vca::InitApplet(host::AppletModule());
    boardsim::Install(board.profile);

    const std::u16string key = vca::kDriverKeyPath;
    host::PutValue(key, u"V3UZFlags0", platform::kRegDword, {0, 0, 0, 0});  // creates the key
    host::DeleteValue(key, u"V3UZFlags0");
    while (at + 4 <= size) {
        const char16_t* name = kNames[data[at] % kNameCount];
        const std::uint32_t type = data[at + 1];
        if (type == 0xFF) {
            host::PutDword(key, name, static_cast<std::uint32_t>(data[at + 2] | data[at + 3] << 8));
            at += 4;
            continue;
        }
        std::size_t length = data[at + 2] | data[at + 3] << 8;
        at += 4;
        length = std::min(length, size - at);
        host::PutValue(key, name, type, std::vector<std::uint8_t>(data + at, data + at + length));
        at += length;
    }
    const bool readOnly = options & 0x04, unopenable = options & 0x08;
    if (readOnly) host::SetKeyReadOnly(key, true);
    if (unopenable) host::SetKeyUnopenable(key, true);

    const int allocationsBefore = host::AllocationCount();
    if (failAllocation) host::FailNthAllocation(failAllocation);
    if (failWrite) host::FailNthRegistryWrite(failWrite);

    bool ok = false;
    int exitCode = 0;
    const bool returned = Start(&ok, &exitCode);
    Require(host::DcAcquireCount() == host::DcReleaseCount());
    if (!returned) {
        // Only running out of memory ends the process, and every table has
        // been released by then. (A key the settings load holds open is
        // closed by the end of the process.)
        Require(exitCode == -1);
        Require(failAllocation && host::AllocationCount() - allocationsBefore >= failAllocation);
        Require(host::OutstandingAllocations() == 0);
        vca::ResetAppletState();
        return 0;
    }

    Require(host::OpenKeyCount() == 0);
    const bool unsupportedMonitor = board.file.find("unsupported-monitor") != std::string::npos;
    if (unsupportedMonitor || unopenable) {
        Require(!ok);
        Require(host::RegistryJournal().empty());
    } else if (!ok) {
        // A stored width without a height fails the load; otherwise only a
        // refused write-back does, and it ends the load at once.
        const auto& journal = host::RegistryJournal();
        for (std::size_t i = 0; i + 1 < journal.size(); ++i) Require(journal[i].result == platform::kErrorSuccess);
        if (journal.empty() || journal.back().result == platform::kErrorSuccess) {
            Require(ReadsAsNumber(key, u"DefaultSettings.XResolution") &&
                    !ReadsAsNumber(key, u"DefaultSettings.YResolution"));
        } else {
            Require(vca::readOnlySettings || failWrite);
        }
    } else {
        CheckLoaded();
        CheckWriteBacks();
        if ((options & 0x40) && !failAllocation && !failWrite) {
            // The next start-up finds every value as corrected and changes none.
            const Snapshot first = Take();
            bool tableRewritten[2] = {false, false};
            for (const host::RegWrite& w : host::RegistryJournal()) {
                tableRewritten[0] = tableRewritten[0] || IsName(w.name, u"DefaultSettings.GammaCorrectionTable0");
                tableRewritten[1] = tableRewritten[1] || IsName(w.name, u"DefaultSettings.GammaCorrectionTable1");
            }
            vca::ReleaseAllTables();
            host::ClearRegistryJournal();
            Require(Start(&ok, &exitCode) && ok);
            Require(host::RegistryJournal().empty());
            Require(Same(first, Take(), tableRewritten));
        }
    }
    vca::ReleaseAllTables();
    Require(host::OutstandingAllocations() == 0);
    vca::ResetAppletState();
    return 0;
}
