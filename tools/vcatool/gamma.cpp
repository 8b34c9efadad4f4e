// vcatool gamma: the table the applet computes from a gamma value, or what
// it makes of a gamma file (and why it refuses one); optionally written out
// as a gamma file.
//
// Host files are reached through the emulated machine, so that reading and
// writing go through the same text-file functions as the applet: the file's
// folder is mapped as drive C: and /a/b.gc is read as C:\b.gc.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>

#include "commands.h"
#include "gamma/gamma_file.h"
#include "gamma/gamma_table.h"
#include "platform/host/host.h"

namespace {

struct GammaOptions {
    double value = 0.0;
    std::string file;
    std::string write;
    bool json = false;
};

constexpr double kDialogLowest = 0.01;
constexpr double kDialogHighest = 5.00;
const int kShownEntries[] = {0, 1, 64, 128, 192, 255};

// Maps the folder of a host file as drive C: and returns the file's name
// there ("C:\\name.gc"); empty when the file cannot be named so (a backslash
// in its name, or a name that the case-blind drive would take for another
// file). Reading and writing happen one after the other, each with its own
// mapping.
std::u16string MapFolderOf(const std::string& hostPath) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path full = fs::absolute(hostPath, ec).lexically_normal();
    if (ec || !full.has_filename()) return {};
    std::string name = full.filename().u8string();
    if (name.find('\\') != std::string::npos) return {};
    host::MapDriveC(full.parent_path().string());
    std::u16string path = u"C:\\" + host::FromUtf8(name);
    if (host::HostPathFor(path) != full.string()) return {};
    return path;
}

// A piece of a line as C would write it in quotes.
std::string Quoted(const char* text) {
    std::string out = "\"";
    char escape[8];
    for (const char* p = text; *p; ++p) {
        auto c = static_cast<unsigned char>(*p);
        if (c == '\n') {
            out += "\\n";
        } else if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c >= 0x7F) {
            std::snprintf(escape, sizeof escape, "\\x%02X", c);
            out += escape;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

// Why a line without a number may look fine in an editor.
std::string PieceHint(const char* text) {
    std::size_t length = std::strlen(text);
    if (length == static_cast<std::size_t>(vca::kGammaLinePiece) && text[length - 1] != '\n')
        return " (lines are read 10 characters at a time: this line goes on as the next one)";
    if (std::strcmp(text, "\n") == 0)
        return " (an empty line, or the end of a line of exactly 10 characters)";
    return "";
}

std::string CannotName(const std::string& file) {
    return file + ": cannot be named on the emulated drive (a backslash in the path, or another "
                  "file whose name differs only in case)";
}

std::string DescribeFault(const vca::GammaFileReport& r) {
    using vca::GammaFileFault;
    std::string at = "line " + std::to_string(r.line);
    if (r.channel > 0 && r.fault != GammaFileFault::kChannelShort)
        at += " (channel " + std::to_string(r.channel) + ", entry " + std::to_string(r.valuesRead) + ")";
    std::string found = at + " " + Quoted(r.text);
    char hex[16];
    switch (r.fault) {
        case GammaFileFault::kNone: return "";
        case GammaFileFault::kCannotOpen: return "cannot open the file";
        case GammaFileFault::kMissingLine: return at + ": missing, the file ends before it";
        case GammaFileFault::kNotANumber:
            return found + (r.line == 1 ? ": not a hexadecimal number" : ": not a decimal number") +
                   PieceHint(r.text);
        case GammaFileFault::kOutOfRange: return found + ": number out of range" + PieceHint(r.text);
        case GammaFileFault::kWrongSignature:
            std::snprintf(hex, sizeof hex, "%llX", static_cast<unsigned long long>(r.number));
            return found + ": " + hex + " is not the gamma file mark 47434446";
        case GammaFileFault::kWrongHeader:
            return found + ": header " + std::to_string(r.number) + ", expected 10";
        case GammaFileFault::kAboveMaximum: {
            auto entry = static_cast<std::uint16_t>(static_cast<std::uint32_t>(r.number));
            std::string taken = entry == r.number ? "" : " (taken as " + std::to_string(entry) + ")";
            return found + ": value " + std::to_string(r.number) + taken + " above 1023";
        }
        case GammaFileFault::kChannelShort:
            return "channel " + std::to_string(r.channel) + " ends after " + std::to_string(r.valuesRead) +
                   " of 256 values (the file ends at line " + std::to_string(r.line) + ")";
    }
    return "unknown fault";
}

void PrintTable(const vca::GammaTable& table) {
    std::printf("header: %u\n", table.header);
    std::printf("linear: %s\n", vca::IsLinearTable(table) ? "yes" : "no");
    std::printf("entry    ");
    for (int i : kShownEntries) std::printf(" %5d", i);
    std::printf("\n");
    for (int channel = 0; channel < vca::kGammaChannels; ++channel) {
        std::printf("channel %d", channel + 1);
        for (int i : kShownEntries) std::printf(" %5u", static_cast<unsigned>(table.channel[channel][i]));
        std::printf("\n");
    }
}

nlohmann::ordered_json TableJson(bool ok, const std::string& error, const vca::GammaTable* table) {
    nlohmann::ordered_json out = {{"ok", ok},           {"error", error},
                                  {"header", nullptr},  {"linear", nullptr},
                                  {"channels", nlohmann::ordered_json::array()}};
    if (table) {
        out["header"] = table->header;
        out["linear"] = vca::IsLinearTable(*table);
        for (const auto& channel : table->channel)
            out["channels"].push_back(std::vector<unsigned>(std::begin(channel), std::end(channel)));
    }
    return out;
}

int Finish(const GammaOptions& options, bool ok, const std::string& error, const vca::GammaTable* table) {
    if (options.json) {
        std::cout << TableJson(ok, error, table).dump() << "\n";
    } else if (!ok) {
        std::printf("rejected: %s\n", error.c_str());
    }
    return ok ? 0 : 1;
}

int RunGamma(const GammaOptions& options, bool fromValue, bool fromFile) {
    if (fromValue == fromFile) {
        std::fprintf(stderr, "vcatool gamma: give either --value or --file\n");
        return 2;
    }
    host::Reset();
    vca::GammaTable table{};

    if (fromValue) {
        if (!std::isfinite(options.value) || options.value <= 0.0) {
            char text[96];
            std::snprintf(text, sizeof text,
                          "gamma %g: a gamma must be a number above 0 (the dialog offers 0.01 to 5.00)",
                          options.value);
            return Finish(options, false, text, nullptr);
        }
        vca::ComputeGammaTable(options.value, &table);
        if (!options.json) {
            std::printf("gamma %g: computed table\n", options.value);
            if (options.value < kDialogLowest || options.value > kDialogHighest)
                std::printf("note: outside the dialog's range 0.01 to 5.00\n");
        }
    } else {
        std::u16string path = MapFolderOf(options.file);
        if (path.empty()) return Finish(options, false, CannotName(options.file), nullptr);
        vca::GammaFileReport report;
        if (!vca::ReadGammaFileReport(path.c_str(), &table, &report))
            return Finish(options, false, options.file + ": " + DescribeFault(report), nullptr);
        if (!options.json) std::printf("gamma file %s: valid\n", options.file.c_str());
    }

    if (!options.json) PrintTable(table);
    if (!options.write.empty()) {
        std::u16string out = MapFolderOf(options.write);
        if (out.empty()) return Finish(options, false, CannotName(options.write), &table);
        if (!vca::WriteGammaFile(out.c_str(), table))
            return Finish(options, false, "cannot write " + options.write, &table);
        if (!options.json) std::printf("written: %s\n", options.write.c_str());
    }
    return Finish(options, true, "", &table);
}

}  // namespace

void AddGammaCommand(CLI::App& app, int& exitCode) {
    auto options = std::make_shared<GammaOptions>();
    CLI::App* command = app.add_subcommand(
        "gamma", "Compute a gamma table from a gamma value, or read and check a gamma file (*.gc)");
    CLI::Option* value =
        command->add_option("--value", options->value, "gamma value (the dialog offers 0.01 to 5.00)");
    CLI::Option* file = command->add_option("--file", options->file, "gamma file to read and check");
    value->excludes(file);
    command->add_option("--write", options->write, "write the table as a gamma file");
    command->add_flag("--json", options->json, "one JSON object instead of text");
    command->callback([options, value, file, &exitCode] {
        exitCode = RunGamma(*options, value->count() > 0, file->count() > 0);
    });
}
