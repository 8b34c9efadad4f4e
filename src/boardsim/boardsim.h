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

// Request words of the private escape (the first input word).
constexpr std::uint32_t kBoardQuery = 3;
constexpr std::uint32_t kMonitorQuery = 7;
constexpr std::uint32_t kSetGamma = 8;
constexpr std::uint32_t kReadGamma = 9;
constexpr std::uint32_t kSetContrast = 0x20002;
constexpr std::uint32_t kSetOption = 0x20011;
// Function words of escape 4352 (the first of its seven input words).
constexpr std::uint32_t kModeProbe = 0;
constexpr std::uint32_t kModeCount = 0x20017;
constexpr std::uint32_t kModeFetch = 0x20018;

// Header bit of a set-gamma request that addresses screen 1.
constexpr std::uint32_t kScreenOneGammaBit = 0x10000;
// Bits of the board and monitor answers that the named profile keys set.
constexpr std::uint32_t kTextureMemoryBit = 0x2000000;
constexpr std::uint32_t kOptionFlagBit = 0x1000000;
constexpr std::uint32_t kSecondScreenBit = 0x10000;

constexpr std::size_t kGammaTableBytes = 1540;
constexpr std::size_t kEdidBytes = 120;
constexpr std::size_t kModeRecordWords = 13;  // 52 bytes
constexpr std::size_t kModeRecordBytes = kModeRecordWords * 4;

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

// Parses a profile text; on failure *error names the line and the fault
// ("line 7: unknown key \"bord\"") and *profile is left as it was.
bool ParseProfile(const std::string& text, Profile* profile, std::string* error);
bool LoadProfileFile(const std::string& path, Profile* profile, std::string* error);

// The gamma table a driver computes for gamma g: the given header word, then
// entry i = round(1023 * (i/255)^(1/g)) in all three channels. Gamma 1 is the
// linear table (0, 4, 8, ..., 1019, 1023).
GammaBytes ComputeGamma(double gamma, std::uint32_t header = 10);

// What the set requests have done to the simulated board since Install.
struct LiveState {
    bool contrastSet = false;
    std::uint32_t contrast = 0;        // last set-contrast value
    bool gammaSet[2] = {false, false};
    GammaBytes gamma[2]{};             // tables as last set, header as sent
    std::uint32_t option[3] = {0, 0, 0};  // option[1], option[2] as last set
    bool optionSet[3] = {false, false, false};
    int gammaReads = 0;                // read-gamma requests answered
};

// The board that answers from now on; resets the live state and the log.
void Install(const Profile& profile);
// No board answers any more; resets the live state and the log.
void Uninstall();
bool Installed();
const Profile& InstalledProfile();
const LiveState& Live();
// The table that a read-gamma request answers for a screen: the profile's
// table until a table is set for that screen, then the last one set (with
// the screen bit of its header cleared).
const GammaBytes& HeldGamma(int screen);

// One escape call as ExtEscape would make it. With no board installed every
// escape answers 0. A request the board refuses, or whose output buffer is
// too small for its answer, answers 0; a request the board does not
// understand (input too short, unknown request word, argument out of range)
// answers -1. Nothing is read past inSize bytes of `in` or written past
// outSize bytes of `out`.
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
// The text line written to the log file for a request (without line end),
// e.g. "NRVA set-option in 12 bytes [00020011 00000001 00000002] out 0 -> 1".
std::string FormatRequest(const Request& request);

}  // namespace boardsim
