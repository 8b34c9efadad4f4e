// vcatool check: lints a timing database with the reader's own diagnostics
// and line numbers. The file is read whole with a NUL after it, as the
// applet loads it; the header is parsed, every record is counted and
// fetched, and the raster values of the "timing" records are read.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <new>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#ifdef __linux__
#include <sys/mman.h>
#endif

#include "commands.h"
#include "platform/host/host.h"
#include "platform/platform.h"
#include "timingdb/scanner.h"
#include "timingdb/section_parser.h"
#include "timingdb/timing_check.h"

namespace {

using Json = nlohmann::ordered_json;

struct CheckOptions {
    std::string file;
    bool json = false;
};

// The openings of the diagnostics a check can print. The captured output
// is one string; a diagnostic starts after a line end where one of these
// follows. (The only texts with free content show at most 12 characters of
// the file, too few to hold a whole opening after a line end.)
const char* const kDiagnosticOpenings[] = {
    "parse error: not digit: '", "parse error:  not digit '", "DISPLAY section syntax error\n",
    "TAGS: limit reached\n",     "DISPENTRY: Malloc failed\n", "Invalid Tag \"",
    "Invalid type \"",           "Invalid FLAGS specified \"", "Invalid DATA syntax\n",
    "Syntax error: missing TYPE\n", "TYPE = GL*: Missing keywords\n", "TYPE = TIMING: Missing keywords\n",
    "Unexpected end of buffer\n",
};

bool OpensDiagnostic(const std::string& text, std::size_t at) {
    for (const char* opening : kDiagnosticOpenings)
        if (text.compare(at, std::char_traits<char>::length(opening), opening) == 0) return true;
    return false;
}

std::vector<std::string> SplitDiagnostics(const std::string& text) {
    std::vector<std::string> texts;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\n') continue;
        if (i + 1 == text.size() || OpensDiagnostic(text, i + 1)) {
            texts.push_back(text.substr(start, i + 1 - start));
            start = i + 1;
        }
    }
    if (start < text.size()) texts.push_back(text.substr(start));
    return texts;
}

// 8-bit text of the file (ANSI code page) as UTF-8.
std::string FromAnsi(const std::string& text) {
    if (text.empty()) return {};
    int units = platform::MultiByteToWideChar(platform::kCodePageAnsi, platform::kMbPrecomposed, text.data(),
                                              static_cast<int>(text.size()), nullptr, 0);
    std::u16string wide(static_cast<std::size_t>(units), u'\0');
    platform::MultiByteToWideChar(platform::kCodePageAnsi, platform::kMbPrecomposed, text.data(),
                                  static_cast<int>(text.size()), wide.data(), units);
    return host::ToUtf8(wide);
}

const char* StageName(vca::TimingCheckStage stage) {
    switch (stage) {
        case vca::TimingCheckStage::kHeader: return "header";
        case vca::TimingCheckStage::kRecords: return "records";
        case vca::TimingCheckStage::kData: return "data";
        default: return nullptr;
    }
}

const char* TypeName(std::uint16_t type) {
    static const char* const names[] = {"vqx/gli", "glm", "timing"};
    return type < 3 ? names[type] : "?";
}

std::string TagName(const vca::TimingDatabase& database, std::uint16_t tag) {
    return tag < database.tagCount ? FromAnsi(database.tagNames[tag]) : std::string();
}

std::uint32_t MonitorCount(const vca::TimingDatabase& database) {
    std::uint32_t count = 0;
    for (const vca::DISPENTRY* e = database.entries; e; e = e->next) ++count;
    return count;
}

void HeaderJson(const vca::TimingDatabase& database, Json& out) {
    Json tags = Json::array();
    for (std::uint32_t i = 0; i < database.tagCount; ++i) tags.push_back(FromAnsi(database.tagNames[i]));
    Json monitors = Json::array();
    for (const vca::DISPENTRY* e = database.entries; e; e = e->next) {
        Json limits = Json::object();
        for (int i = 0; i < vca::kLimitCount; ++i) limits[vca::kLimitNames[i]] = e->limits[i];
        monitors.push_back(
            {{"desc", FromAnsi(e->desc)}, {"tag", TagName(database, e->tag)}, {"tagIndex", e->tag}, {"limits", limits}});
    }
    out["version"] = database.version;
    out["tags"] = tags;
    out["monitors"] = monitors;
}

Json CheckJson(const vca::TimingCheckResult& check, const vca::TimingDatabase& database) {
    Json out;
    out["result"] = check.result;
    const char* stage = StageName(check.stage);
    out["stage"] = stage ? Json(stage) : Json(nullptr);
    out["errorLine"] = check.result != 0 ? Json(check.errorLine) : Json(nullptr);
    Json diagnostics = Json::array();
    for (const std::string& text : SplitDiagnostics(host::Diagnostics())) diagnostics.push_back(FromAnsi(text));
    out["diagnostics"] = diagnostics;
    out["version"] = nullptr;
    out["tags"] = Json::array();
    out["monitors"] = Json::array();
    if (check.stage != vca::TimingCheckStage::kHeader) HeaderJson(database, out);

    Json records = Json::array();
    for (const vca::TimingEntry& r : check.records)
        records.push_back({{"line", r.line},       {"tag", TagName(database, r.tag)}, {"type", TypeName(r.type)},
                           {"xres", r.xres},       {"yres", r.yres},                  {"refresh", r.refresh},
                           {"hfreq", r.hfreq},     {"flags", r.flags},                {"monid", r.monid}});
    out["records"] = records;
    Json timings = Json::array();
    for (std::size_t i = 0; i < check.timings.size(); ++i) {
        const vca::TimingCandidate& t = check.timings[i];
        timings.push_back({{"record", check.timingRecords[i]}, {"pixelClock", t.pixelClock},
                           {"hTotal", t.hTotal},               {"hActive", t.hActive},
                           {"hSync", t.hSync},                 {"hFrontPorch", t.hFrontPorch},
                           {"vTotal", t.vTotal},               {"vActive", t.vActive},
                           {"vSync", t.vSync},                 {"vFrontPorch", t.vFrontPorch}});
    }
    out["timings"] = timings;
    return out;
}

// A file's bytes with a NUL after them, and nothing else of the file's
// size, read in one piece into memory the program does not clear. A large
// file goes into an anonymous mapping on 2 MB pages where the system gives
// them: under virtualisation a pass over 10 MB held on 4 KB pages (as a
// mapping of the file is) costs more than reading it twice.
class FileText {
public:
    FileText() = default;
    FileText(const FileText&) = delete;
    FileText& operator=(const FileText&) = delete;
    ~FileText() {
#ifdef __linux__
        if (block_) munmap(block_, blockBytes_);
#endif
    }

    // False when the file cannot be opened or read whole.
    bool Open(const std::string& path) {
        std::error_code error;
        const std::uintmax_t size = std::filesystem::file_size(path, error);
        if (error || size >= SIZE_MAX / 2) return false;
        const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
        if (!file) return false;
        std::setvbuf(file.get(), nullptr, _IONBF, 0);  // straight into the text, no stream buffer between
        const auto bytes = static_cast<std::size_t>(size);
        char* text = Allocate(bytes + 1);
        if (!text || std::fread(text, 1, bytes, file.get()) != bytes) return false;
        text[bytes] = '\0';
        text_ = text;
        return true;
    }
    const char* text() const { return text_; }

private:
    char* Allocate(std::size_t bytes) {
#ifdef __linux__
        constexpr std::size_t kLargePage = std::size_t{2} << 20;
        if (bytes >= kLargePage) {
            // Whole large pages, and one more to align the start to one.
            const std::size_t span = (bytes + kLargePage - 1) / kLargePage * kLargePage;
            void* block = mmap(nullptr, span + kLargePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
            if (block != MAP_FAILED) {
                block_ = block;
                blockBytes_ = span + kLargePage;
                const std::uintptr_t at = reinterpret_cast<std::uintptr_t>(block);
                char* start = static_cast<char*>(block) + ((kLargePage - at % kLargePage) % kLargePage);
                madvise(start, span, MADV_HUGEPAGE);  // a hint: without it the pages are small
                return start;
            }
        }
#endif
        buffer_.reset(new (std::nothrow) char[bytes]);
        return buffer_.get();
    }

    const char* text_ = nullptr;
    std::unique_ptr<char[]> buffer_;
    void* block_ = nullptr;
    std::size_t blockBytes_ = 0;
};

int RunCheck(const CheckOptions& options) {
    FileText text;
    if (!text.Open(options.file)) {
        std::fprintf(stderr, "vcatool: %s: cannot be read\n", options.file.c_str());
        return 2;
    }

    host::Reset();
    vca::ResetTimingReaderState();
    host::EchoDiagnostics(!options.json);
    vca::TimingDatabase database{};
    vca::TimingCheckResult check = vca::CheckTimingText(
        text.text(), &database, options.json ? vca::TimingValues::kKeep : vca::TimingValues::kCheckOnly);
    host::EchoDiagnostics(false);

    if (options.json) {
        std::cout << CheckJson(check, database).dump(2) << "\n";
    } else if (check.result == 0) {
        std::printf("%s: ok: %d version, %u tags, %u monitors, %u records\n", options.file.c_str(),
                    database.version, database.tagCount, MonitorCount(database), static_cast<unsigned>(check.recordCount));
    } else {
        std::printf("%s:%u: error\n", options.file.c_str(), static_cast<unsigned>(check.errorLine));
    }
    vca::ReleaseTimingDatabase(&database);
    return check.result == 0 ? 0 : 1;
}

}  // namespace

void AddCheckCommand(CLI::App& app, int& exitCode) {
    auto options = std::make_shared<CheckOptions>();
    CLI::App* command = app.add_subcommand("check", "Check a timing database as the applet reads it");
    command->add_option("FILE", options->file, "timing database (revid.dat)")->required();
    command->add_flag("--json", options->json, "one JSON object instead of text");
    command->callback([options, &exitCode] { exitCode = RunCheck(*options); });
}
