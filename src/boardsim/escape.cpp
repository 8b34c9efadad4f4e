// The simulated driver's answers to the three escapes, and the live state
// that the set requests change.
#include <algorithm>
#include <cstring>
#include <utility>

#include "boardsim/boardsim.h"
#include "boardsim/boardsim_internal.h"

namespace boardsim {
namespace {

constexpr std::size_t kGammaRequestBytes = 4 + kGammaTableBytes;
constexpr std::size_t kModeRequestBytes = 7 * 4;

// A request the board does not understand.
constexpr int kMalformed = -1;

struct BoardState {
    bool installed = false;
    Profile profile;
    LiveState live;
    GammaBytes held[2]{};
};

BoardState& board() {
    static BoardState state;
    return state;
}

// An input buffer as the board sees it: never read past `size`.
struct Input {
    const std::uint8_t* bytes;
    std::size_t size;
    std::uint32_t Word(std::size_t index) const { return detail::WordAt(bytes, size, index); }
    bool Holds(std::size_t needed) const { return size >= needed; }
};

int AnswerQuerySupport(const Input& in) {
    if (!in.Holds(4)) return kMalformed;
    const Profile& profile = board().profile;
    const std::uint32_t asked = in.Word(0);
    if (asked == static_cast<std::uint32_t>(kPrivateEscape)) return profile.privateEscape ? 1 : 0;
    if (asked == static_cast<std::uint32_t>(kModeRecordEscape)) return profile.modeRecordEscape ? 1 : 0;
    return 0;
}

int SetGamma(const Input& in) {
    if (!in.Holds(kGammaRequestBytes)) return kMalformed;
    GammaBytes table;
    std::memcpy(table.data(), in.bytes + 4, table.size());
    const int screen = (in.Word(1) & kScreenOneGammaBit) ? 1 : 0;
    LiveState& live = board().live;
    live.gammaSet[screen] = true;
    live.gamma[screen] = table;
    // The board keeps its own copy without the screen marker.
    detail::PutWord(table.data(), 0, in.Word(1) & ~kScreenOneGammaBit);
    board().held[screen] = table;
    return 1;
}

// The read carries no screen selector: the board answers screen 0's table
// on the first, third, ... read since Install and screen 1's on the others,
// which is the order in which identification asks for them.
int ReadGamma(std::uint8_t* out, std::size_t outSize) {
    if (board().profile.refuseGammaRead) return 0;
    if (outSize < kGammaRequestBytes) return 0;
    LiveState& live = board().live;
    const GammaBytes& table = board().held[live.gammaReads % 2];
    std::memcpy(out, table.data(), table.size());
    std::memset(out + table.size(), 0, kGammaRequestBytes - table.size());
    ++live.gammaReads;
    return 1;
}

int AnswerPrivate(const Input& in, std::uint8_t* out, std::size_t outSize) {
    if (!in.Holds(4)) return kMalformed;
    const Profile& profile = board().profile;
    LiveState& live = board().live;
    switch (in.Word(0)) {
        case kBoardQuery:
            return static_cast<int>(profile.boardAnswer);
        case kMonitorQuery:
            return static_cast<int>(profile.monitorAnswer);
        case kSetContrast:
            if (!in.Holds(8)) return kMalformed;
            live.contrastSet = true;
            live.contrast = in.Word(1);
            return 1;
        case kSetGamma:
            return SetGamma(in);
        case kReadGamma:
            return ReadGamma(out, outSize);
        case kSetOption: {
            if (!in.Holds(12)) return kMalformed;
            const std::uint32_t option = in.Word(1);
            if (option != 1 && option != 2) return kMalformed;
            live.option[option] = in.Word(2);
            live.optionSet[option] = true;
            return 1;
        }
        default:
            return kMalformed;
    }
}

std::uint32_t RecordCount(const ScreenProfile& screen) {
    const Profile& profile = board().profile;
    if (profile.overrideCount) return profile.countAnswer;
    return static_cast<std::uint32_t>(screen.records.size());
}

// The block: the identification, then `count` records; records past those
// the profile holds are zero, so the whole block is always defined.
int Fetch(std::uint32_t count, const ScreenProfile& screen, std::uint8_t* out, std::size_t outSize) {
    const std::uint64_t needed = kEdidBytes + std::uint64_t{kModeRecordBytes} * count;
    if (outSize < needed) return 0;
    std::memcpy(out, screen.edid.data(), kEdidBytes);
    std::uint8_t* record = out + kEdidBytes;
    const std::size_t held = std::min<std::size_t>(count, screen.records.size());
    for (std::size_t i = 0; i < held; ++i, record += kModeRecordBytes)
        for (std::size_t w = 0; w < kModeRecordWords; ++w)
            detail::PutWord(record, w, screen.records[i].words[w]);
    std::memset(record, 0, static_cast<std::size_t>(needed) - kEdidBytes - held * kModeRecordBytes);
    return 1;
}

int AnswerModeRecords(const Input& in, std::uint8_t* out, std::size_t outSize) {
    if (!in.Holds(kModeRequestBytes)) return kMalformed;
    if (in.Word(1) != 0 || in.Word(2) != 0 || in.Word(3) != 0) return kMalformed;
    const std::uint32_t a1 = in.Word(4), a2 = in.Word(5), a3 = in.Word(6);
    const Profile& profile = board().profile;
    switch (in.Word(0)) {
        case kModeProbe:
            if (a1 != kModeCount || a2 != 0 || a3 != 0) return kMalformed;
            return profile.refuseProbe ? 0 : 1;
        case kModeCount:
            if (a1 != kEdidBytes || a2 != kModeRecordBytes || a3 > 1) return kMalformed;
            if (profile.refuseCount || outSize < 4) return 0;
            detail::PutWord(out, 0, RecordCount(profile.screens[a3]));
            return 1;
        case kModeFetch:
            if (a2 > 1 || a3 != a2) return kMalformed;
            if (profile.refuseFetch) return 0;
            return Fetch(a1, profile.screens[a2], out, outSize);
        default:
            return kMalformed;
    }
}

int Answer(int escape, const Input& in, std::uint8_t* out, std::size_t outSize) {
    if (!board().installed) return 0;
    const Profile& profile = board().profile;
    switch (escape) {
        case kQueryEscSupport:
            return AnswerQuerySupport(in);
        case kPrivateEscape:
            return profile.privateEscape ? AnswerPrivate(in, out, outSize) : 0;
        case kModeRecordEscape:
            return profile.modeRecordEscape ? AnswerModeRecords(in, out, outSize) : 0;
        default:
            return 0;
    }
}

}  // namespace

void Install(const Profile& profile) {
    BoardState& state = board();
    state.installed = true;
    state.profile = profile;
    state.live = LiveState{};
    state.held[0] = profile.screens[0].gamma;
    state.held[1] = profile.screens[1].gamma;
    ClearRequestLog();
}

void Uninstall() {
    board() = BoardState{};
    ClearRequestLog();
}

bool Installed() { return board().installed; }
const Profile& InstalledProfile() { return board().profile; }
const LiveState& Live() { return board().live; }
const GammaBytes& HeldGamma(int screen) { return board().held[screen == 1 ? 1 : 0]; }

int Escape(int escape, int inSize, const void* in, int outSize, void* out) {
    Input input{nullptr, 0};
    if (in && inSize > 0) input = {static_cast<const std::uint8_t*>(in), static_cast<std::size_t>(inSize)};
    std::uint8_t* output = out && outSize > 0 ? static_cast<std::uint8_t*>(out) : nullptr;
    const std::size_t outputSize = output ? static_cast<std::size_t>(outSize) : 0;

    Request request;
    request.escape = escape;
    request.input.assign(input.bytes, input.bytes + input.size);
    request.outSize = outSize;
    request.result = Answer(escape, input, output, outputSize);
    const int result = request.result;
    detail::Record(std::move(request));
    return result;
}

}  // namespace boardsim
