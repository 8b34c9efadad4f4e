// vcatool merge: adds the monitors and records of one timing database to
// another, so that the applet reads both. The base's text is kept as it is;
// new monitor blocks go to the start of its DISPLAY section (the applet
// lists blocks last first, so its default monitor stays first) and new
// records to its end. The result is read back by the applet's own reader
// before it replaces anything, and written through a temporary file.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "commands.h"
#include "platform/host/host.h"
#include "timingdb/scanner.h"
#include "timingdb/section_parser.h"
#include "timingdb/timing_check.h"
#include "tool_support.h"

namespace {

using Json = nlohmann::ordered_json;

struct MergeOptions {
    std::string base, add, out;
    bool json = false;
};

std::string Lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

struct Monitor {
    std::string tag, desc;
    const vca::DISPENTRY* entry;
};

// One record: its text (from the end of the record before it through its
// data block's "}") and the mode it names.
struct Record {
    std::size_t begin = 0, end = 0;
    std::uint16_t line = 0;
    std::string tag;
    std::uint16_t type = 0;
    std::uint32_t monid = 0, flags = 0;
    unsigned xres = 0, yres = 0, refresh = 0;
};

// A database read as the applet reads it, with its monitors in file order.
struct Database {
    std::string path, text;
    vca::TimingDatabase header{};
    vca::TimingCheckResult check;
    std::vector<Monitor> monitors;
    std::vector<Record> records;
    ~Database() { vca::ReleaseTimingDatabase(&header); }
};

// The mode a record names: a "timing" record's from its raster, as the
// applet derives it, the others' from their keyword lines.
void ModeOf(const Database& db, std::size_t index, Record* r) {
    const auto at = std::find(db.check.timingRecords.begin(), db.check.timingRecords.end(), index);
    if (at == db.check.timingRecords.end()) {
        const vca::TimingEntry& e = db.check.records[index];
        r->xres = e.xres;
        r->yres = e.yres;
        r->refresh = e.refresh;
        return;
    }
    const vca::TimingCandidate& t = db.check.timings[at - db.check.timingRecords.begin()];
    r->xres = t.hActive;
    r->yres = t.flags & vca::TF_INTERLACED ? 2 * t.vActive : t.vActive;
    const double total = t.hTotal * t.vTotal;
    r->refresh = total > 0 ? static_cast<unsigned>(1e6 * t.pixelClock / total + 0.5) : 0;
}

// False, with the reader's message, when the file cannot be read or parsed.
bool Load(const std::string& path, Database* db) {
    db->path = path;
    if (!vcatool::ReadWholeFile(path, &db->text)) {
        std::fprintf(stderr, "vcatool: %s: cannot be read\n", path.c_str());
        return false;
    }
    host::Reset();
    vca::ResetTimingReaderState();
    db->check = vca::CheckTimingText(db->text.c_str(), &db->header);
    if (db->check.result != 0) {
        std::fputs(host::Diagnostics().c_str(), stderr);
        std::fprintf(stderr, "%s:%u: error\n", path.c_str(), static_cast<unsigned>(db->check.errorLine));
        return false;
    }
    for (const vca::DISPENTRY* e = db->header.entries; e; e = e->next)
        db->monitors.insert(db->monitors.begin(), {db->header.tagNames[e->tag], e->desc, e});
    std::size_t begin = db->header.headerLength;
    for (std::size_t i = 0; i < db->check.records.size(); ++i) {
        const vca::TimingEntry& e = db->check.records[i];
        Record r;
        r.begin = begin;
        r.end = db->text.find('}', static_cast<std::size_t>(e.data - db->text.c_str())) + 1;
        r.line = e.line;
        r.tag = db->header.tagNames[e.tag];
        r.type = e.type;
        r.monid = e.monid;
        r.flags = e.flags;
        ModeOf(*db, i, &r);
        db->records.push_back(r);
        begin = r.end;
    }
    return true;
}

// The positions of the DISPLAY section's "{" and "}" in a text the reader
// accepted.
std::pair<std::size_t, std::size_t> DisplaySection(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size()) {
        if (std::isspace(static_cast<unsigned char>(text[i]))) {
            ++i;
        } else if (text[i] == ';') {
            i = text.find('\n', i);
            if (i == std::string::npos) break;
        } else if (Lower(text.substr(i, 7)) == "display") {
            break;
        } else {
            while (i < text.size() && !std::isspace(static_cast<unsigned char>(text[i])) && text[i] != ';') ++i;
        }
    }
    const std::size_t open = text.find('{', i);
    int depth = 0;
    for (std::size_t j = open; j < text.size(); ++j) {
        if (text[j] == '"' && depth == 2) {
            j = text.find('"', j + 1);
            if (j == std::string::npos) break;
        } else if (text[j] == '{') ++depth;
        else if (text[j] == '}' && --depth == 0) return {open, j};
    }
    return {open, text.size()};
}

std::string BlockText(const std::string& tag, const vca::DISPENTRY& e) {
    std::string out = " {\n  tag=" + tag + "\n  desc=\"" + e.desc + "\"\n";
    for (int i = 0; i < vca::kLimitCount; i += 2) {
        std::string line;
        for (int side : {i + 1, i}) {
            if (e.limits[side] == 0) continue;
            char value[40];
            std::snprintf(value, sizeof value, "%.10g", e.limits[side]);
            line += std::string(line.empty() ? "" : " ") + vca::kLimitNames[side] + "=" + value;
        }
        if (!line.empty()) out += "  " + line + "\n";
    }
    return out + " }\n";
}

// The record's text with every "tag" keyword line naming `tag`.
std::string RetaggedText(const std::string& text, const std::string& tag) {
    std::string out;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        end = end == std::string::npos ? text.size() : end + 1;
        std::string line = text.substr(at, end - at);
        const std::size_t first = line.find_first_not_of(" \t");
        if (first != std::string::npos && Lower(line.substr(first, 3)) == "tag" &&
            (line.size() == first + 3 || std::strchr(" \t\r\n", line[first + 3])))
            line = "tag " + tag + "\n";
        out += line;
        at = end;
    }
    return out;
}

std::string ModeText(const Record& r) {
    static const char* const types[] = {"vqx/gli", "glm", "timing"};
    return std::string(types[r.type < 3 ? r.type : 0]) + " " + std::to_string(r.xres) + " x " +
           std::to_string(r.yres) + " at " + std::to_string(r.refresh) + " Hz";
}

bool WriteThroughTemporary(const std::string& path, const std::string& text) {
    namespace fs = std::filesystem;
    const fs::path target(path);
    fs::path temporary = target;
    temporary += ".merge-" + std::to_string(std::random_device{}());
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!(out << text) || !out.flush()) {
            std::error_code ignored;
            fs::remove(temporary, ignored);
            return false;
        }
    }
    std::error_code error;
    fs::rename(temporary, target, error);
    if (error) fs::remove(temporary, error);
    return !error;
}

struct Report {
    Json monitors = Json::array(), skipped = Json::array();
    int recordsAdded = 0;
    std::vector<std::string> refusals;
};

int RunMerge(const MergeOptions& options) {
    Database base, add;
    if (!Load(options.base, &base) || !Load(options.add, &add)) return 2;

    // How each tag of ADD is written: its own name when BASE does not use
    // it or every ADD monitor of that tag is already in BASE under it (the
    // same monitor again), else a new name.
    std::set<std::string> taken;
    for (const Monitor& m : base.monitors) taken.insert(Lower(m.tag));
    for (const Monitor& m : add.monitors) taken.insert(Lower(m.tag));
    const auto inBase = [&](const Monitor& m) {
        return std::any_of(base.monitors.begin(), base.monitors.end(), [&](const Monitor& b) {
            return Lower(b.tag) == Lower(m.tag) && b.desc == m.desc;
        });
    };
    std::map<std::string, std::string> tagFor;  // ADD tag, lower case -> tag written
    Report report;
    std::string blocks;
    int newBlocks = 0;
    std::set<std::string> newTags;
    for (const Monitor& m : add.monitors) {
        const std::string key = Lower(m.tag);
        if (!tagFor.count(key)) {
            const bool baseHasTag = std::any_of(base.monitors.begin(), base.monitors.end(),
                                                [&](const Monitor& b) { return Lower(b.tag) == key; });
            const bool allSame = std::all_of(add.monitors.begin(), add.monitors.end(), [&](const Monitor& a) {
                return Lower(a.tag) != key || inBase(a);
            });
            std::string tag = m.tag;
            if (baseHasTag && !allSame) {
                const std::string stem = m.tag.substr(0, vca::kTagNameBytes - 5);
                for (int n = 2; taken.count(Lower(tag = stem + "-" + std::to_string(n))); ++n) {}
                taken.insert(Lower(tag));
            }
            tagFor[key] = tag;
            if (!baseHasTag || !allSame) newTags.insert(Lower(tag));
        }
        const std::string& tag = tagFor[key];
        if (tag == m.tag && inBase(m)) {
            report.monitors.push_back({{"desc", m.desc}, {"tag", tag}, {"action", "already in base"}});
            continue;
        }
        report.monitors.push_back({{"desc", m.desc}, {"tag", tag}, {"action", tag == m.tag ? "added" : "renamed"},
                                   {"from", m.tag}});
        blocks += BlockText(tag, *m.entry);
        ++newBlocks;
    }
    const std::size_t tagCount = base.header.tagCount + newTags.size();
    if (tagCount > vca::kMaxTags)
        report.refusals.push_back(std::to_string(tagCount) + " distinct tags; the reader takes at most " +
                                  std::to_string(vca::kMaxTags));
    const std::size_t blockCount = base.monitors.size() + newBlocks;
    if (blockCount > vca::kMaxMonitorBlocks)
        report.refusals.push_back(std::to_string(blockCount) + " monitor blocks; the catalogue holds at most " +
                                  std::to_string(vca::kMaxMonitorBlocks));

    // Records: one whose tag, type, monitor id, stereo or interlace and mode
    // are already there is skipped.
    const auto key = [](const std::string& tag, const Record& r) {
        return Lower(tag) + "|" + std::to_string(r.type) + "|" + std::to_string(r.monid) + "|" +
               std::to_string(r.flags & (vca::TF_STEREO | vca::TF_INTERLACED)) + "|" + std::to_string(r.xres) + "|" +
               std::to_string(r.yres) + "|" + std::to_string(r.refresh);
    };
    std::set<std::string> present;
    for (const Record& r : base.records) present.insert(key(r.tag, r));
    std::string records;
    for (const Record& r : add.records) {
        const std::string& tag = tagFor[Lower(r.tag)];
        if (!present.insert(key(tag, r)).second) {
            report.skipped.push_back({{"line", r.line}, {"tag", tag}, {"mode", ModeText(r)}});
            continue;
        }
        const std::string text = add.text.substr(r.begin, r.end - r.begin);
        records += tag == r.tag ? text : RetaggedText(text, tag);
        ++report.recordsAdded;
    }

    std::string merged = base.text;
    if (report.refusals.empty()) {
        const auto section = DisplaySection(base.text);
        std::size_t at = section.first + 1;
        if (base.text.compare(at, 1, "\n") == 0) ++at;
        else if (!blocks.empty()) blocks.insert(0, "\n");
        merged = base.text.substr(0, at) + blocks + base.text.substr(at);
        if (!records.empty()) {
            if (merged.back() != '\n') merged += "\n";
            merged += "\n; merged from " + options.add + "\n" + records + "\n";
        }
        host::Reset();
        vca::ResetTimingReaderState();
        vca::TimingDatabase check{};
        const vca::TimingCheckResult result = vca::CheckTimingText(merged.c_str(), &check);
        vca::ReleaseTimingDatabase(&check);
        if (result.result != 0)
            report.refusals.push_back("the merged text does not read back (line " +
                                      std::to_string(result.errorLine) + ")");
    }
    const bool written = report.refusals.empty() && WriteThroughTemporary(options.out, merged);
    if (report.refusals.empty() && !written) report.refusals.push_back(options.out + " cannot be written");

    if (options.json) {
        std::cout << Json{{"written", written}, {"out", options.out}, {"monitors", report.monitors},
                          {"records_added", report.recordsAdded}, {"records_skipped", report.skipped},
                          {"refused", report.refusals}}
                         .dump(2)
                  << "\n";
    } else {
        for (const Json& m : report.monitors) {
            const std::string desc = m["desc"], tag = m["tag"], action = m["action"];
            if (action == "renamed")
                std::printf("monitor \"%s\": tag %s is another monitor's in %s; added as tag %s\n", desc.c_str(),
                            std::string(m["from"]).c_str(), options.base.c_str(), tag.c_str());
            else
                std::printf("monitor \"%s\" (tag %s): %s\n", desc.c_str(), tag.c_str(), action.c_str());
        }
        for (const Json& s : report.skipped)
            std::printf("%s:%u: skipped: tag %s already has %s\n", options.add.c_str(), unsigned(s["line"]),
                        std::string(s["tag"]).c_str(), std::string(s["mode"]).c_str());
        if (written)
            std::printf("%s: %d record(s) added, %zu skipped\n", options.out.c_str(), report.recordsAdded,
                        report.skipped.size());
    }
    for (const std::string& why : report.refusals)
        std::fprintf(stderr, "vcatool: merge refused, nothing written: %s\n", why.c_str());
    return written ? 0 : 1;
}

}  // namespace

void AddMergeCommand(CLI::App& app, int& exitCode) {
    auto options = std::make_shared<MergeOptions>();
    CLI::App* command = app.add_subcommand("merge", "Add the monitors and records of one timing database to another");
    command->add_option("BASE", options->base, "the timing database to add to (revid.dat)")->required();
    command->add_option("ADD", options->add, "the timing database whose monitors and records are added")->required();
    command->add_option("-o,--out", options->out, "the merged database (may be BASE)")->required();
    command->add_flag("--json", options->json, "one JSON object instead of text");
    command->callback([options, &exitCode] { exitCode = RunMerge(*options); });
}
