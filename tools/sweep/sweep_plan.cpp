// vca_sweep_plan SOURCE OUT [STEP]: the starts of the Wine sweep, and what
// the applet's start-up does on each of them on the host platform.
//
// The starts come from the fuzz corpora: every driver key of
// fuzz/corpus/startup with its own board, database choice, key access and
// second start; and every timing database of fuzz/corpus/timing as revid.dat,
// with the values and board of a key from the same corpus over a writable
// key. STEP keeps every STEP-th of each (a sample). Failed allocations and
// writes that a key's options ask for are not armed: the real applet cannot
// be made to fail them.
//
// Writes OUT/plan.txt (what the Win32 runner sets up for each start),
// OUT/expected.txt (per start: the message boxes, the outcome and the driver
// key after start-up, in the runner's own format) and the databases the plan
// names that are not in the source folder.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "applet/reset.h"
#include "applet/startup.h"
#include "base/app_state.h"
#include "boardsim/boardsim.h"
#include "modes/mode_table.h"
#include "platform/host/host.h"
#include "startup_input.h"

namespace fs = std::filesystem;

namespace {

struct Start {
    std::string label;
    std::size_t board = 0;
    std::string database;  // a host path; empty: no revid.dat
    const char* access = "rw";
    bool twice = false;
    std::vector<startup_input::Value> values;
};

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

std::vector<fs::path> SortedFiles(const fs::path& folder, const std::string& extension = "") {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.is_regular_file() && (extension.empty() || entry.path().extension() == extension))
            files.push_back(entry.path());
    std::sort(files.begin(), files.end(), [](const fs::path& a, const fs::path& b) { return a.string() < b.string(); });
    return files;
}

// A host path as Wine's Z: drive shows it.
std::string WinePath(const fs::path& path) {
    std::string text = "Z:" + fs::absolute(path).lexically_normal().string();
    std::replace(text.begin(), text.end(), '/', '\\');
    return text;
}

std::string Hex(const std::vector<std::uint8_t>& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (std::uint8_t b : bytes) text += {digits[b >> 4], digits[b & 15]};
    return bytes.empty() ? "-" : text;
}

// One line of text as the runner writes it: UTF-8, line breaks escaped.
std::string Line(const std::u16string& text) {
    std::string line;
    for (char c : host::ToUtf8(text)) line += c == '\n' ? std::string("\\n") : c == '\r' ? std::string("\\r") : std::string(1, c);
    return line;
}

struct Shown {
    std::size_t boxes = 0, diagnostics = 0;
};

// The message boxes and diagnostic lines since `shown`, the outcome and the key sorted by name.
void Report(std::FILE* out, Shown* shown, const char* outcome) {
    const auto& boxes = host::MessageBoxes();
    for (; shown->boxes < boxes.size(); ++shown->boxes)
        std::fprintf(out, "box %s\n", Line(boxes[shown->boxes].text).c_str());
    std::fprintf(out, "outcome %s\n", outcome);
    if (std::string(outcome).rfind("exit", 0) == 0) return;  // what the process wrote is lost with it
    std::istringstream diagnostics(host::Diagnostics().substr(shown->diagnostics));
    shown->diagnostics = host::Diagnostics().size();
    for (std::string line; std::getline(diagnostics, line);)
        if (!line.empty()) std::fprintf(out, "diag %s\n", line.c_str());
    std::vector<host::RegValue> values = host::KeyValues(vca::kDriverKeyPath);
    std::sort(values.begin(), values.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
    for (const host::RegValue& v : values)
        std::fprintf(out, "key %s %u %s\n", Line(v.name).c_str(), unsigned(v.type), Hex(v.data).c_str());
}

// Runs one start as CPL_INIT and CPL_DBLCLK would (twice when asked, the
// tables released in between as the main dialog's end does).
void Expect(std::FILE* out, const Start& start, const boardsim::Profile& board, const fs::path& drive) {
    host::Reset();
    vca::ResetAppletState();
    host::SetWindowsDirectory(u"C:\\windows");
    const fs::path system = drive / "windows" / "system32";
    fs::remove(system / "revid.dat");
    if (!start.database.empty()) fs::copy_file(start.database, system / "revid.dat");
    host::MapDriveC(drive.string());
    const char16_t* key = vca::kDriverKeyPath;
    host::PutValue(key, u"V3UZFlags0", 4, {0, 0, 0, 0});  // creates the key
    host::DeleteValue(key, u"V3UZFlags0");
    for (const auto& v : start.values) host::PutValue(key, startup_input::kNames[v.name], v.type, v.data);
    host::SetKeyReadOnly(key, std::string(start.access) == "ro");
    host::SetKeyUnopenable(key, std::string(start.access) == "none");
    std::fprintf(out, "start %s\n", start.label.c_str());
    Shown shown;
    try {
        vca::InitApplet(host::AppletModule());
        boardsim::Install(board);
        bool started = vca::StartApplet();
        Report(out, &shown, started ? "dialog" : "fail");
        if (start.twice) {
            if (started) vca::ReleaseAllTables();
            std::fprintf(out, "again\n");
            Report(out, &shown, vca::StartApplet() ? "dialog" : "fail");
        }
    } catch (const platform::ProcessExit& exit) {
        Report(out, &shown, ("exit " + std::to_string(exit.code & 0xFF)).c_str());
    }
    vca::ReleaseAllTables();
    std::fprintf(out, "end\n");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: vca_sweep_plan SOURCE OUT [STEP]\n");
        return 2;
    }
    const fs::path source = argv[1], outFolder = argv[2];
    const std::size_t step = argc > 3 ? std::max(1, std::atoi(argv[3])) : 1;
    fs::create_directories(outFolder / "drive" / "windows" / "system32");

    std::vector<fs::path> boardFiles = SortedFiles(source / "data" / "boards", ".profile");
    std::vector<boardsim::Profile> boards(boardFiles.size());
    for (std::size_t i = 0; i < boards.size(); ++i) {
        std::string error;
        if (!boardsim::LoadProfileFile(boardFiles[i].string(), &boards[i], &error)) {
            std::fprintf(stderr, "%s: %s\n", boardFiles[i].c_str(), error.c_str());
            return 1;
        }
    }
    const auto unsupported = [&](std::size_t b) {
        return boardFiles[b].filename().string().find("unsupported-monitor") != std::string::npos;
    };
    const std::string shipped = ReadFile(source / "data" / "revid.dat");
    std::ofstream(outFolder / "third.dat", std::ios::binary) << startup_input::ThirdOfTheRecords(shipped);
    std::ofstream(outFolder / "broken.dat", std::ios::binary) << startup_input::kBrokenDatabase;
    const std::string databases[4] = {(source / "data" / "revid.dat").string(), (outFolder / "third.dat").string(),
                                      "", (outFolder / "broken.dat").string()};

    std::vector<Start> keys, starts;
    for (const fs::path& file : SortedFiles(source / "fuzz" / "corpus" / "startup")) {
        const std::string bytes = ReadFile(file);
        startup_input::Input input;
        if (!startup_input::Decode(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), &input)) continue;
        Start start{"key/" + file.filename().string(), input.board % boards.size(), databases[input.options & 3],
                    input.options & 0x08 ? "none" : input.options & 0x04 ? "ro" : "rw", (input.options & 0x40) != 0,
                    input.values};
        keys.push_back(start);
    }
    if (keys.empty()) return 1;
    for (std::size_t i = 0; i < keys.size(); i += step) starts.push_back(keys[i]);
    const std::vector<fs::path> timing = SortedFiles(source / "fuzz" / "corpus" / "timing");
    for (std::size_t i = 0; i < timing.size(); i += step) {
        Start start = keys[i % keys.size()];
        start.label = "db/" + timing[i].filename().string();
        while (unsupported(start.board)) start.board = (start.board + 1) % boards.size();
        start.database = timing[i].string();
        start.access = "rw";
        start.twice = false;
        starts.push_back(start);
    }

    std::FILE* plan = std::fopen((outFolder / "plan.txt").c_str(), "wb");
    std::FILE* expected = std::fopen((outFolder / "expected.txt").c_str(), "wb");
    if (!plan || !expected) return 1;
    for (const Start& start : starts) {
        std::fprintf(plan, "start %s\nboard %s\ndb %s\naccess %s\ntwice %d\n", start.label.c_str(),
                     WinePath(boardFiles[start.board]).c_str(),
                     start.database.empty() ? "-" : WinePath(start.database).c_str(), start.access, start.twice);
        for (const auto& v : start.values)
            std::fprintf(plan, "value %s %u %s\n", host::ToUtf8(startup_input::kNames[v.name]).c_str(),
                         unsigned(v.type), Hex(v.data).c_str());
        std::fprintf(plan, "go\n");
        Expect(expected, start, boards[start.board], outFolder / "drive");
    }
    std::fclose(plan);
    std::fclose(expected);
    std::printf("%zu starts: %zu keys, %zu databases\n", starts.size(), (keys.size() + step - 1) / step,
                (timing.size() + step - 1) / step);
    return 0;
}
