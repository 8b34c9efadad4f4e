// vca_sweep_runner PLAN RESULTS [FIRST [LIMIT_MS]]: the starts of a
// scripts/wine-sweep plan on the real nrvavca.cpl, one after the other in
// this process, from the start numbered FIRST (0 by default).
//
// For each start: the driver key is emptied and filled with the plan's
// values through the registry (their own types and sizes), made read-only or
// unopenable by its rights when asked, revid.dat is put into (or taken out
// of) the system directory, the board profile is named in NRVAVCA_BOARD, and
// the applet is loaded afresh and sent CPL_INIT and CPL_DBLCLK (twice when
// asked). Message boxes are answered OK; the main dialog gets Cancel. Appends
// to RESULTS, flushed line by line, what vca_sweep_plan writes for the same
// start: the boxes, the outcome and the key as start-up left it, and
// "cancel-changed" when Cancel changed the key. Lines starting with "#" are
// for people (times, boxes of the main dialog). A start that ends the
// process leaves its block open; one that runs longer than LIMIT_MS
// (default 20000) ends the process with "outcome hang". At most 250 starts
// run in one process.
#include <windows.h>

#include <cpl.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "win32/window_watch.h"

namespace {

using watch::KeySnapshot;
using watch::ReadDriverKey;
using watch::SetDriverKeyRights;

struct Start {
    std::string label, board, database, access;
    bool twice = false;
    std::vector<std::pair<std::wstring, watch::StoredValue>> values;
};

std::FILE* results = nullptr;
volatile LONGLONG startedAt = 0;  // GetTickCount64 of the running start, 0 between starts
DWORD limitMs = 20000;
constexpr std::size_t kStartsPerProcess = 250;

// Inside CPL_DBLCLK: whether the main dialog opened, and the key then.
struct Opening {
    bool dialogOpened = false;
    KeySnapshot atOpen;
} opening;

void Out(const std::string& line) {
    std::fputs((line + "\n").c_str(), results);
    std::fflush(results);
}

std::wstring Wide(const std::string& text) {
    std::wstring wide(text.size() + 1, L'\0');
    wide.resize(MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, &wide[0], int(wide.size())) - 1);
    return wide;
}

// UTF-8, line breaks escaped, as vca_sweep_plan writes text.
std::string Line(const std::wstring& text) {
    std::string utf8(text.size() * 3 + 1, '\0');
    utf8.resize(WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &utf8[0], int(utf8.size()), nullptr, nullptr) - 1);
    std::string line;
    for (char c : utf8) line += c == '\n' ? std::string("\\n") : c == '\r' ? std::string("\\r") : std::string(1, c);
    return line;
}

std::string Hex(const std::vector<BYTE>& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (BYTE b : bytes) text += {digits[b >> 4], digits[b & 15]};
    return bytes.empty() ? "-" : text;
}

std::vector<BYTE> Bytes(const std::string& hex) {
    std::vector<BYTE> bytes;
    for (std::size_t i = 0; hex != "-" && i + 1 < hex.size(); i += 2)
        bytes.push_back(BYTE(std::strtoul(hex.substr(i, 2).c_str(), nullptr, 16)));
    return bytes;
}

void PrintKey(const KeySnapshot& snapshot) {
    for (const auto& [name, value] : snapshot) Out("key " + Line(name) + " " + std::to_string(value.first) + " " + Hex(value.second));
}

// Runs inside the modal loops: answers a message box with OK, the main
// dialog with Cancel after taking the key as start-up left it.
void CALLBACK Poll(HWND, UINT, UINT_PTR, DWORD) {
    for (HWND window; (window = watch::NextActivated()) != nullptr;) {
        std::wstring box;
        if (watch::AnswerBox(window, &box)) {
            Out((opening.dialogOpened ? "# dialog-box " : "box ") + Line(box));
            continue;
        }
        if (opening.dialogOpened) Out("unexpected-dialog " + Line(watch::Text(window, 0xFFFF)));
        else opening.atOpen = ReadDriverKey();
        opening.dialogOpened = true;
        PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
    }
}

// The key as the plan gives it, the database and the board.
void Prepare(const Start& start) {
    watch::EmptyDriverKey();
    for (const auto& [name, value] : start.values) watch::SetDriverValue(name, value);
    if (start.access == "ro") SetDriverKeyRights(watch::kReadOnly);
    if (start.access == "none") SetDriverKeyRights(watch::kNoAccess);
    const std::wstring revid = watch::SystemFile(L"revid.dat");
    SetFileAttributesW(revid.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(revid.c_str());
    if (start.database != "-" && !CopyFileW(Wide(start.database).c_str(), revid.c_str(), FALSE))
        Out("setup-failed copying " + start.database);
    SetEnvironmentVariableW(L"NRVAVCA_BOARD", Wide(start.board).c_str());
}

// The applet's diagnostic output of the running start goes to this file.
std::string DiagnosticsPath() { return watch::ProcessTempFile("vca-sweep-", ".txt"); }

// The diagnostic lines written since the last call in this start.
void PrintDiagnostics(std::streamoff* shown) {
    std::fflush(stdout);
    std::ifstream file(DiagnosticsPath(), std::ios::binary);
    if (!file.seekg(*shown)) return;
    for (std::string line; std::getline(file, line);)
        if (!line.empty()) Out("diag " + line);
    file.clear();
    *shown = file.seekg(0, std::ios::end).tellg();
}

// One CPL_DBLCLK: the dialog's key at its opening, or the key afterwards.
void DoubleClick(watch::CplFunction entry, std::streamoff* diagnosticsShown) {
    opening = Opening{};
    entry(nullptr, CPL_DBLCLK, 0, 0);
    const KeySnapshot after = ReadDriverKey();
    Out(opening.dialogOpened ? "outcome dialog" : "outcome fail");
    PrintDiagnostics(diagnosticsShown);
    PrintKey(opening.dialogOpened ? opening.atOpen : after);
    if (opening.dialogOpened && after != opening.atOpen) Out("cancel-changed");
}

DWORD WINAPI Watchdog(void*) {
    for (;; Sleep(200)) {
        const LONGLONG at = startedAt;
        if (at != 0 && LONGLONG(GetTickCount64()) - at > LONGLONG(limitMs)) {
            Out("outcome hang");
            Out("end");
            TerminateProcess(GetCurrentProcess(), 3);
        }
    }
}

// Lines "WORD REST"; a value's REST is its name, type and bytes in hex.
std::vector<Start> ReadPlan(const char* path) {
    std::vector<Start> starts;
    std::ifstream file(path, std::ios::binary);
    for (std::string line; std::getline(file, line);) {
        const std::size_t space = line.find(' ');
        const std::string word = line.substr(0, space), rest = space == std::string::npos ? "" : line.substr(space + 1);
        if (word == "start") starts.emplace_back().label = rest;
        if (starts.empty()) continue;
        Start& s = starts.back();
        if (word == "board") s.board = rest;
        if (word == "db") s.database = rest;
        if (word == "access") s.access = rest;
        if (word == "twice") s.twice = rest == "1";
        if (word == "value") {
            std::istringstream in(rest);
            std::string name, hex;
            DWORD type = 0;
            in >> name >> type >> hex;
            s.values.push_back({Wide(name), {type, Bytes(hex)}});
        }
    }
    return starts;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: vca_sweep_runner PLAN RESULTS [FIRST [LIMIT_MS]]\n");
        return 2;
    }
    const std::vector<Start> starts = ReadPlan(argv[1]);
    const std::size_t first = argc > 3 ? std::strtoul(argv[3], nullptr, 10) : 0;
    if (argc > 4) limitMs = DWORD(std::strtoul(argv[4], nullptr, 10));
    results = std::fopen(argv[2], "ab");
    if (starts.empty() || !results) return 2;
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    watch::Start(Poll, 10);
    CloseHandle(CreateThread(nullptr, 0, Watchdog, nullptr, 0, nullptr));
    // The applet is loaded afresh for every start, and every load leaves some memory behind in
    // the process (the C runtime of its own): after about a thousand loads one ended the process
    // through abort(). A process therefore loads it a limited number of times; the script goes on.
    for (std::size_t i = first; i < starts.size() && i < first + kStartsPerProcess; ++i) {
        const Start& start = starts[i];
        Out("start " + start.label);
        startedAt = LONGLONG(GetTickCount64());
        Prepare(start);
        std::streamoff diagnosticsShown = 0;
        if (!std::freopen(DiagnosticsPath().c_str(), "wb", stdout)) Out("setup-failed diagnostics");
        HMODULE module = LoadLibraryW(L"nrvavca.cpl");
        if (const watch::CplFunction entry = watch::CplEntry(module)) {
            entry(nullptr, CPL_INIT, 0, 0);
            DoubleClick(entry, &diagnosticsShown);
            if (start.twice) {
                Out("again");
                DoubleClick(entry, &diagnosticsShown);
            }
            entry(nullptr, CPL_EXIT, 0, 0);
        } else {
            Out("outcome no-applet");
        }
        // A library that stays loaded would carry this start's state into the next.
        if (module && (!FreeLibrary(module) || GetModuleHandleW(L"nrvavca.cpl"))) Out("applet-stays-loaded");
        Out("# ms " + std::to_string(LONGLONG(GetTickCount64()) - startedAt));
        startedAt = 0;
        Out("end");
    }
    return 0;
}
