// The request log: every escape call the simulated board received, kept in
// memory and, when a log file is set, written as one readable line each.
#include <cstdio>
#include <utility>

#include "boardsim/boardsim.h"
#include "boardsim/boardsim_internal.h"

namespace boardsim {
namespace {

// A line shows at most this many input words; a gamma table would fill a
// screen otherwise.
constexpr std::size_t kWordsShown = 8;

struct LogState {
    std::vector<Request> requests;
    std::string path;
};

LogState& logState() {
    static LogState state;
    return state;
}

const char* EscapeName(int escape) {
    switch (escape) {
        case kQueryEscSupport: return "QUERYESCSUPPORT";
        case kPrivateEscape: return "NRVA";
        case kModeRecordEscape: return "4352";
        default: return nullptr;
    }
}

}  // namespace

namespace detail {

std::uint32_t WordAt(const std::uint8_t* bytes, std::size_t size, std::size_t index) {
    if (!bytes || index >= size / 4) return 0;
    std::uint32_t value = 0;
    for (int b = 3; b >= 0; --b) value = (value << 8) | bytes[index * 4 + static_cast<std::size_t>(b)];
    return value;
}

void PutWord(std::uint8_t* bytes, std::size_t index, std::uint32_t value) {
    for (std::size_t b = 0; b < 4; ++b) bytes[index * 4 + b] = static_cast<std::uint8_t>(value >> (8 * b));
}

const char* RequestName(int escape, const std::uint8_t* input, std::size_t size) {
    if (size < 4) return "short";
    const std::uint32_t word = WordAt(input, size, 0);
    if (escape == kQueryEscSupport) return "query-support";
    if (escape == kPrivateEscape) {
        switch (word) {
            case kBoardQuery: return "board-query";
            case kMonitorQuery: return "monitor-query";
            case kSetContrast: return "set-contrast";
            case kSetGamma: return "set-gamma";
            case kReadGamma: return "read-gamma";
            case kSetOption: return "set-option";
            default: return "unknown";
        }
    }
    if (escape == kModeRecordEscape) {
        switch (word) {
            case kModeProbe: return "probe";
            case kModeCount: return "count";
            case kModeFetch: return "fetch";
            default: return "unknown";
        }
    }
    return "unknown";
}

void Record(Request request) {
    LogState& state = logState();
    if (!state.path.empty()) {
        if (std::FILE* file = std::fopen(state.path.c_str(), "a")) {
            std::fprintf(file, "%s\n", FormatRequest(request).c_str());
            std::fclose(file);
        }
    }
    state.requests.push_back(std::move(request));
}

}  // namespace detail

std::string FormatRequest(const Request& request) {
    const char* name = EscapeName(request.escape);
    std::string line = name ? name : "escape " + std::to_string(request.escape);
    const std::size_t size = request.input.size();
    line += ' ';
    line += detail::RequestName(request.escape, request.input.data(), size);
    line += " in " + std::to_string(size) + " bytes [";
    const std::size_t words = size / 4;
    for (std::size_t i = 0; i < words && i < kWordsShown; ++i) {
        char word[16];
        std::snprintf(word, sizeof word, "%s%08X", i ? " " : "",
                      static_cast<unsigned>(detail::WordAt(request.input.data(), size, i)));
        line += word;
    }
    if (words > kWordsShown) line += " ... " + std::to_string(words) + " words";
    if (size % 4) line += (words ? " +" : "+") + std::to_string(size % 4) + " bytes";
    line += "] out " + std::to_string(request.outSize) + " -> " + std::to_string(request.result);
    return line;
}

const std::vector<Request>& RequestLog() { return logState().requests; }
void ClearRequestLog() { logState().requests.clear(); }
void SetLogFile(const std::string& path) { logState().path = path; }

}  // namespace boardsim
