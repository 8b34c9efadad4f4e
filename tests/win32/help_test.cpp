// Help through the real applet and Wine's help viewer: each Help button and
// F1 on a focused control open the viewer on the topic of its context, the
// main dialog's OK and Cancel close it. The viewer runs in its own process;
// the topic it shows is read from its text window, whose first line is the
// topic's heading.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <string>

#include "help_contexts.h"
#include "resource.h"
#include "win32/applet_harness.h"

namespace {

using namespace harness;

const char* kDualDdc = "tests/data/boards/timings-dual-ddc.profile";

bool German() { return PRIMARYLANGID(GetUserDefaultLangID()) == LANG_GERMAN; }

// Topic titles by context, from the help source of the user's language.
std::map<int, std::wstring> SourceTitles() {
    std::ifstream source(std::string(VCA_SOURCE_DIR) + (German() ? "/resources/help/de-DE.hsrc" : "/resources/help/en-US.hsrc"));
    std::map<int, std::wstring> titles;
    for (std::string line; std::getline(source, line);) {
        int context = 0, used = 0;
        if (sscanf(line.c_str(), "@topic %d %n", &context, &used) != 1 || !used) continue;
        wchar_t title[200] = {};
        MultiByteToWideChar(CP_UTF8, 0, line.c_str() + used, -1, title, 199);
        titles[context] = title;
    }
    return titles;
}

// The help files where the applet looks for them, beside the resource libraries.
void InstallHelpFiles() {
    for (const wchar_t* name : {L"vca0409.hlp", L"vca0407.hlp"})
        ASSERT_TRUE(CopyFileW(name, watch::SystemFile(name).c_str(), FALSE)) << "build the target vca_help";
}

// A visible top-level window of `className`: the viewer ("MS_WINHELP"),
// or a box ("#32770") of another process, such as the viewer's box for a
// missing or unreadable file, which keeps the applet waiting in WinHelp.
HWND VisibleWindow(const wchar_t* className, bool otherProcess = false) {
    for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, className, nullptr)) != nullptr;) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (IsWindowVisible(window) && !(otherProcess && process == GetCurrentProcessId())) return window;
    }
    return nullptr;
}

// The first line of the viewer's text window (the topic's heading) once it
// shows one.
std::wstring HeadingAfterHelp() {
    std::wstring text;
    for (int tries = 0; tries < 40 && text.empty(); ++tries, PumpFor(50))
        if (HWND viewer = VisibleWindow(L"MS_WINHELP"))
            EnumChildWindows(viewer, [](HWND child, LPARAM out) -> BOOL {
                if (WindowClass(child).find(L"RichEdit") == std::wstring::npos) return TRUE;
                wchar_t buffer[4096] = {};
                SendMessageTimeoutW(child, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 2000, nullptr);
                *reinterpret_cast<std::wstring*>(out) = buffer;
                return FALSE;
            }, reinterpret_cast<LPARAM>(&text));
    return text.substr(0, text.find_first_of(L"\r\n"));
}

// F1 held, with the focus on `focus`, while `poller`'s help poll ticks.
void PressF1(HWND poller, HWND focus) {
    SetForegroundWindow(GetAncestor(focus, GA_ROOT));
    SetFocus(focus);
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_F1] = 0x80;
    SetKeyboardState(keys);
    SendMessageW(poller, WM_TIMER, 1, 0);
    keys[VK_F1] = 0;
    SetKeyboardState(keys);
}

// Every Help button and F1 on a few controls, in the main dialog and each
// secondary dialog, opens the topic of its context; OK and Cancel of the
// main dialog close the viewer.
TEST(Help, ButtonsAndF1OpenTheTopicOfTheirContextAndOkAndCancelCloseTheViewer) {
    if (std::getenv("VCA_TEST_HELP_GERMAN")) {
        ASSERT_TRUE(German()) << "the German run has no German user language";
    }
    InstallHelpFiles();
    const std::map<int, std::wstring> titles = SourceTitles();
    ASSERT_EQ(titles.size(), 16u);
    // The dialog the help comes from (0: the main dialog), how it is asked
    // (a focused control with F1, else the Help button), the context.
    const struct Case {
        int dialog;
        int f1Focus;
        int context;
    } cases[] = {
        {0, 0, IDH_MAIN},
        {0, IDC_MAIN_REFRESH, IDH_REFRESH},
        {0, IDC_MAIN_MONITOR, IDH_MONITOR},
        {0, IDC_MAIN_DEFAULTS, IDH_DEFAULTS},
        {0, IDC_MAIN_MONITOR_TIMINGS, IDH_MONITOR_TIMINGS},
        {IDC_MAIN_BOARD_OPTIONS, 0, IDH_BOARD_OPTIONS},
        {IDC_MAIN_BOARD_OPTIONS, IDC_OPTIONS_PREFERENCE2, IDH_BOARD_OPTIONS},
        {IDC_MAIN_MONITOR_TIMINGS, 0, IDH_MONITOR_TIMINGS},
        {IDC_MAIN_ALL_MODES, 0, IDH_MAIN},
        {IDC_MAIN_GAMMA, 0, IDH_GAMMA},
        {IDC_MAIN_GAMMA, IDC_GAMMA_LINEAR, IDH_GAMMA_LINEAR},
        {IDC_MAIN_GAMMA, IDC_GAMMA_VALUE, IDH_GAMMA_VALUE},
        {IDC_MAIN_GAMMA, IDC_GAMMA_FILE, IDH_GAMMA_FILE},
        {IDC_MAIN_GAMMA, IDOK, IDH_GAMMA},
    };
    for (int close : {IDC_MAIN_OK, IDCANCEL}) {
        AppletSession session(kDualDdc);
        session.SetString(L"DefaultSettings.Description", L"DDC Monitor");  // for the monitor timings
        session.DoubleClick([&](HWND main) {
            for (const Case& c : cases) {
                const auto ask = [&](HWND dialog) {
                    if (c.f1Focus) PressF1(dialog, GetDlgItem(dialog, c.f1Focus));
                    else Click(dialog, IDC_HELP_BUTTON);
                    EXPECT_EQ(HeadingAfterHelp(), titles.at(c.context))
                        << "dialog " << c.dialog << ", F1 on " << c.f1Focus << ", context " << c.context;
                    EXPECT_EQ(VisibleWindow(L"#32770", true), nullptr) << "the viewer shows a box";
                };
                if (c.dialog) session.Open(main, c.dialog, ask);
                else ask(main);
                if (close == IDCANCEL) break;  // the whole table once is enough
            }
            // Board information has no Help button: F1 there reaches the main dialog's poll.
            session.Open(main, IDC_MAIN_BOARD_INFO, [&](HWND info) {
                PressF1(main, GetDlgItem(info, IDOK));
                EXPECT_EQ(HeadingAfterHelp(), titles.at(IDH_MAIN));
            });
            Click(main, close);
        });
        for (int tries = 0; tries < 40 && VisibleWindow(L"MS_WINHELP"); ++tries) PumpFor(50);
        EXPECT_EQ(VisibleWindow(L"MS_WINHELP"), nullptr) << (close == IDCANCEL ? "Cancel" : "OK") << " leaves the viewer open";
    }
}

}  // namespace
