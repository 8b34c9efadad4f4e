// The board simulator: a stand-in for the display driver, which lies outside
// the applet. It answers the three escapes of the driver protocol
// (QUERYESCSUPPORT, the private escape and escape 4352) in exactly the
// driver's buffer layouts, from a board profile (a text file, see
// docs/board-profiles.md), and keeps the live state that the set requests
// change. Portable: used by the host platform, by vcatool and, when
// NRVAVCA_BOARD names a profile, by the Win32 applet.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace boardsim {

constexpr int kQueryEscSupport = 8;
// The four ASCII bytes "NRVA" read as a little-endian 32-bit number.
constexpr int kPrivateEscape = 0x4156524E;
constexpr int kModeRecordEscape = 4352;

constexpr std::size_t kGammaTableBytes = 1540;
constexpr std::size_t kEdidBytes = 120;
constexpr std::size_t kModeRecordWords = 13;  // 52 bytes

using GammaBytes = std::array<std::uint8_t, kGammaTableBytes>;

struct ModeRecord {
    std::array<std::uint32_t, kModeRecordWords> words{};  // width, height, Hz, 10 more
};

struct ScreenProfile {
    std::array<std::uint8_t, kEdidBytes> edid{};
    std::vector<ModeRecord> records;
    GammaBytes gamma{};  // the table the driver holds for this screen
};

struct Profile {
    std::string name;
    bool privateEscape = true;     // QUERYESCSUPPORT answer for the private escape
    bool modeRecordEscape = true;  // escape 4352 offered at all
    std::uint32_t boardAnswer = 0;    // return value of the board query
    std::uint32_t monitorAnswer = 0;  // return value of the monitor query
    ScreenProfile screens[2];
    // Faults to inject.
    bool refuseProbe = false;
    bool refuseCount = false;
    bool refuseFetch = false;
    bool refuseGammaRead = false;
    // When set, the count request answers this instead of the record count.
    bool overrideCount = false;
    std::uint32_t countAnswer = 0;
};

// Parses a profile text; on failure *error names the line and the fault.
bool ParseProfile(const std::string& text, Profile* profile, std::string* error);
bool LoadProfileFile(const std::string& path, Profile* profile, std::string* error);

// What the set requests have done to the simulated board since Install.
struct LiveState {
    bool contrastSet = false;
    std::uint32_t contrast = 0;        // last set-contrast value
    bool gammaSet[2] = {false, false};
    GammaBytes gamma[2]{};             // tables as last set, header as sent
    std::uint32_t option[3] = {0, 0, 0};  // option[1], option[2] as last set
    int gammaReads = 0;                // read-gamma requests answered
};

// The board that answers from now on; resets the live state and the log.
void Install(const Profile& profile);
void Uninstall();
bool Installed();
const Profile& InstalledProfile();
const LiveState& Live();

// One escape call as ExtEscape would make it. With no board installed every
// escape answers 0.
int Escape(int escape, int inSize, const void* in, int outSize, void* out);

struct Request {
    int escape = 0;
    std::vector<std::uint8_t> input;
    int outSize = 0;
    int result = 0;
};
const std::vector<Request>& RequestLog();
void ClearRequestLog();
// Also append one text line per request to this file ("" stops).
void SetLogFile(const std::string& path);

}  // namespace boardsim
