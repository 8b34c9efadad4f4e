// Board profiles: a line-oriented text of "key = value" lines in three
// sections ([board], [screen0], [screen1]); docs/board-profiles.md describes
// the keys. The named parts of an answer (board code, texture memory, ...)
// and of an identification (manufacturer, year, ...) are laid over the raw
// forms at the end, so the order of the lines within a section does not
// matter.
#include <fstream>
#include <set>
#include <sstream>

#include "boardsim/boardsim.h"
#include "boardsim/boardsim_internal.h"

namespace boardsim {
namespace {

using detail::ParseFlag;
using detail::ParseNumber;

constexpr std::uint64_t kWord = 0xFFFFFFFFu;
constexpr std::uint64_t kHalfWord = 0xFFFF;
constexpr std::uint64_t kByte = 0xFF;
constexpr double kMinGamma = 0.01;
constexpr double kMaxGamma = 100.0;
constexpr std::uint32_t kFirstEdidYear = 1990;

// A value that is given or not; laid over the raw form when given.
template <typename T>
struct Optional {
    bool given = false;
    T value{};
    void Set(T v) {
        given = true;
        value = v;
    }
};

struct ScreenDraft {
    std::vector<std::uint8_t> edid;  // raw bytes from offset 0
    Optional<std::uint16_t> manufacturer;
    Optional<std::uint32_t> product, serial, week, year, version, revision;
    std::vector<ModeRecord> records;
    double gamma = 1.0;
    Optional<std::uint32_t> header;
};

struct Draft {
    Profile profile;
    Optional<std::uint32_t> boardCode, monitorCode;
    Optional<bool> texture, option, secondScreen;
    ScreenDraft screens[2];
};

// A key's handler: an empty result accepts the value, kUnknownKey says the
// key does not belong in the section, anything else is the fault to report.
const char* const kUnknownKey = "?";

std::string NumberInto(const std::string& value, std::uint64_t max, Optional<std::uint32_t>* field) {
    std::uint32_t number = 0;
    if (!ParseNumber(value, max, &number)) return "expected a number from 0 to " + std::to_string(max);
    field->Set(number);
    return "";
}

std::string FlagInto(const std::string& value, bool* field) {
    return ParseFlag(value, field) ? "" : "expected yes or no";
}

std::string FlagInto(const std::string& value, Optional<bool>* field) {
    bool flag = false;
    if (!ParseFlag(value, &flag)) return "expected yes or no";
    field->Set(flag);
    return "";
}

std::string BoardKey(Draft& draft, const std::string& key, const std::string& value) {
    Profile& p = draft.profile;
    if (key == "name") {
        p.name = value;
        return "";
    }
    if (key == "private-escape") return FlagInto(value, &p.privateEscape);
    if (key == "escape-4352") return FlagInto(value, &p.modeRecordEscape);
    if (key == "board-answer" || key == "monitor-answer") {
        std::uint32_t& answer = key == "board-answer" ? p.boardAnswer : p.monitorAnswer;
        return ParseNumber(value, kWord, &answer) ? "" : "expected a 32-bit number";
    }
    if (key == "board") return NumberInto(value, kHalfWord, &draft.boardCode);
    if (key == "monitor") return NumberInto(value, kHalfWord, &draft.monitorCode);
    if (key == "texture-memory") return FlagInto(value, &draft.texture);
    if (key == "option-flag") return FlagInto(value, &draft.option);
    if (key == "second-screen") return FlagInto(value, &draft.secondScreen);
    if (key == "refuse-probe") return FlagInto(value, &p.refuseProbe);
    if (key == "refuse-count") return FlagInto(value, &p.refuseCount);
    if (key == "refuse-fetch") return FlagInto(value, &p.refuseFetch);
    if (key == "refuse-gamma-read") return FlagInto(value, &p.refuseGammaRead);
    if (key == "count-answer") {
        p.overrideCount = true;
        return ParseNumber(value, kWord, &p.countAnswer) ? "" : "expected a 32-bit number";
    }
    return kUnknownKey;
}

std::string ModeKey(ScreenDraft& screen, const std::string& value) {
    std::istringstream words(value);
    std::string word;
    ModeRecord record;
    std::size_t count = 0;
    while (words >> word) {
        if (count == kModeRecordWords) return "a mode has at most 13 numbers";
        if (!ParseNumber(word, kWord, &record.words[count])) return "\"" + word + "\" is not a number";
        ++count;
    }
    if (count < 3) return "expected width, height and refresh rate";
    screen.records.push_back(record);
    return "";
}

std::string GammaKey(ScreenDraft& screen, const std::string& value) {
    if (value == "linear") {
        screen.gamma = 1.0;
        return "";
    }
    double gamma = 0;
    if (!detail::ParseReal(value, &gamma) || gamma < kMinGamma || gamma > kMaxGamma)
        return "expected \"linear\" or a gamma from 0.01 to 100";
    screen.gamma = gamma;
    return "";
}

std::string ScreenKey(ScreenDraft& screen, const std::string& key, const std::string& value) {
    if (key == "edid") {
        if (!detail::ParseHexBytes(value, &screen.edid)) return "expected hexadecimal bytes";
        if (screen.edid.size() > kEdidBytes) return "the identification holds at most 120 bytes";
        return "";
    }
    if (key == "manufacturer") {
        std::uint16_t code = 0;
        if (!detail::ParseManufacturer(value, &code)) return "expected three letters";
        screen.manufacturer.Set(code);
        return "";
    }
    if (key == "product") return NumberInto(value, kHalfWord, &screen.product);
    if (key == "serial") return NumberInto(value, kWord, &screen.serial);
    if (key == "week") return NumberInto(value, kByte, &screen.week);
    if (key == "edid-version") return NumberInto(value, kByte, &screen.version);
    if (key == "edid-revision") return NumberInto(value, kByte, &screen.revision);
    if (key == "year") {
        std::uint32_t year = 0;
        if (!ParseNumber(value, kFirstEdidYear + kByte, &year) || year < kFirstEdidYear)
            return "expected a year from 1990 to 2245";
        screen.year.Set(year);
        return "";
    }
    if (key == "mode") return ModeKey(screen, value);
    if (key == "gamma") return GammaKey(screen, value);
    if (key == "gamma-header") return NumberInto(value, kWord, &screen.header);
    return kUnknownKey;
}

std::uint32_t WithBit(std::uint32_t word, std::uint32_t bit, const Optional<bool>& flag) {
    if (!flag.given) return word;
    return flag.value ? (word | bit) : (word & ~bit);
}

std::uint32_t WithCode(std::uint32_t word, const Optional<std::uint32_t>& code) {
    return code.given ? ((word & ~0xFFFFu) | code.value) : word;
}

void FinishScreen(const ScreenDraft& draft, ScreenProfile* screen) {
    auto& edid = screen->edid;
    for (std::size_t i = 0; i < draft.edid.size(); ++i) edid[i] = draft.edid[i];
    auto put = [&edid](std::size_t at, std::uint32_t value, std::size_t bytes) {
        for (std::size_t b = 0; b < bytes; ++b) edid[at + b] = static_cast<std::uint8_t>(value >> (8 * b));
    };
    if (draft.manufacturer.given) {  // stored high byte first
        edid[0] = static_cast<std::uint8_t>(draft.manufacturer.value >> 8);
        edid[1] = static_cast<std::uint8_t>(draft.manufacturer.value);
    }
    if (draft.product.given) put(2, draft.product.value, 2);
    if (draft.serial.given) put(4, draft.serial.value, 4);
    if (draft.week.given) put(8, draft.week.value, 1);
    if (draft.year.given) put(9, draft.year.value - kFirstEdidYear, 1);
    if (draft.version.given) put(10, draft.version.value, 1);
    if (draft.revision.given) put(11, draft.revision.value, 1);
    screen->records = draft.records;
    screen->gamma = ComputeGamma(draft.gamma, draft.header.given ? draft.header.value : 10);
}

void Finish(Draft& draft) {
    Profile& p = draft.profile;
    p.boardAnswer = WithCode(p.boardAnswer, draft.boardCode);
    p.boardAnswer = WithBit(p.boardAnswer, kTextureMemoryBit, draft.texture);
    p.boardAnswer = WithBit(p.boardAnswer, kOptionFlagBit, draft.option);
    p.monitorAnswer = WithCode(p.monitorAnswer, draft.monitorCode);
    p.monitorAnswer = WithBit(p.monitorAnswer, kSecondScreenBit, draft.secondScreen);
    for (int s = 0; s < 2; ++s) FinishScreen(draft.screens[s], &p.screens[s]);
}

std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

// A "#" at the start of a line or after a blank begins a comment.
std::string WithoutComment(const std::string& line) {
    for (std::size_t i = 0; i < line.size(); ++i)
        if (line[i] == '#' && (i == 0 || line[i - 1] == ' ' || line[i - 1] == '\t')) return line.substr(0, i);
    return line;
}

// Keys that may appear more than once in a section: each adds to the last.
bool Repeatable(const std::string& key) { return key == "mode" || key == "edid"; }

}  // namespace

bool ParseProfile(const std::string& text, Profile* profile, std::string* error) {
    if (!profile) return false;
    Draft draft;
    std::string section = "board";
    std::set<std::string> seen;
    std::istringstream lines(text);
    std::string raw;
    int lineNumber = 0;
    auto fail = [&](const std::string& fault) {
        if (error) *error = "line " + std::to_string(lineNumber) + ": " + fault;
        return false;
    };
    while (std::getline(lines, raw)) {
        ++lineNumber;
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();
        const std::string line = Trim(WithoutComment(raw));
        if (line.empty()) continue;
        if (line.front() == '[') {
            if (line.back() != ']') return fail("a section name ends with \"]\"");
            const std::string name = Trim(line.substr(1, line.size() - 2));
            if (name != "board" && name != "screen0" && name != "screen1")
                return fail("unknown section [" + name + "]");
            section = name;
            continue;
        }
        const auto equals = line.find('=');
        if (equals == std::string::npos) return fail("expected \"key = value\"");
        const std::string key = Trim(line.substr(0, equals));
        const std::string value = Trim(line.substr(equals + 1));
        if (key.empty()) return fail("a key is missing before \"=\"");
        if (value.empty()) return fail("\"" + key + "\" has no value");
        if (!Repeatable(key) && !seen.insert(section + "/" + key).second)
            return fail("\"" + key + "\" is given twice in [" + section + "]");
        const std::string fault =
            section == "board" ? BoardKey(draft, key, value)
                               : ScreenKey(draft.screens[section == "screen1" ? 1 : 0], key, value);
        if (fault == kUnknownKey) return fail("unknown key \"" + key + "\" in [" + section + "]");
        if (!fault.empty()) return fail(key + ": " + fault);
    }
    Finish(draft);
    *profile = draft.profile;
    return true;
}

bool LoadProfileFile(const std::string& path, Profile* profile, std::string* error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        if (error) *error = "cannot open the profile";
        return false;
    }
    std::ostringstream text;
    text << file.rdbuf();
    if (file.bad()) {
        if (error) *error = "cannot read the profile";
        return false;
    }
    return ParseProfile(text.str(), profile, error);
}

}  // namespace boardsim
