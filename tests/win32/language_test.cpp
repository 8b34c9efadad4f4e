// The resource libraries of the two shipped languages: the same templates
// and controls in both, texts that fit their controls, and the library the
// applet picks for the user's language.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "resource.h"
#include "win32/applet_harness.h"

namespace {

using namespace harness;

BOOL CALLBACK AddDialogName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR list) {
    if (IS_INTRESOURCE(name))
        reinterpret_cast<std::vector<int>*>(list)->push_back(static_cast<int>(reinterpret_cast<ULONG_PTR>(name)));
    return TRUE;
}

std::vector<int> DialogNumbers(HMODULE module) {
    std::vector<int> numbers;
    EnumResourceNamesW(module, RT_DIALOG, AddDialogName, reinterpret_cast<LONG_PTR>(&numbers));
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

std::wstring WindowClass(HWND window) {
    wchar_t name[32] = {};
    GetClassNameW(window, name, 32);
    return name;
}

// Why `control`'s own text does not fit it, or empty when it fits. Static
// texts wrap; check boxes and radio buttons lose their box and a gap, push
// buttons their edges, group boxes a margin on either side.
std::wstring Clipping(HWND control) {
    wchar_t text[400] = {};
    GetWindowTextW(control, text, 400);
    RECT client;
    GetClientRect(control, &client);
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    const bool isStatic = WindowClass(control) == L"Static";
    int width = client.right;
    if (!text[0]) return {};
    if (isStatic) {
        const LONG type = style & SS_TYPEMASK;
        if (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT) return {};
    } else if (WindowClass(control) == L"Button") {
        const LONG type = style & BS_TYPEMASK;
        width -= type == BS_GROUPBOX ? 16 : type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON ? 4
                                                                                              : GetSystemMetrics(SM_CXMENUCHECK) + 4;
    } else {
        return {};
    }
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    RECT needs{0, 0, width, 0};
    DrawTextW(dc, text, -1, &needs,
              DT_CALCRECT | DT_EXPANDTABS | (isStatic ? DT_WORDBREAK : DT_SINGLELINE) |
                  (isStatic && (style & SS_NOPREFIX) ? DT_NOPREFIX : 0));
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    if (needs.right <= width && (!isStatic || needs.bottom <= client.bottom)) return {};
    return std::wstring(text) + L" needs " + std::to_wstring(needs.right) + L" x " + std::to_wstring(needs.bottom) +
           L" pixels, has " + std::to_wstring(width) + L" x " + std::to_wstring(client.bottom);
}

bool IsGroupBox(HWND control) {
    return WindowClass(control) == L"Button" && (GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

INT_PTR CALLBACK InertDialog(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// Creates template `number` of `library` with a procedure that does
// nothing, checks that every text fits its control, that every visible
// control lies inside the dialog and that none overlaps another (group
// boxes aside), and returns the numbers of its controls (static texts
// without a number left out).
std::multiset<int> CheckLayout(HMODULE library, int number) {
    std::multiset<int> numbers;
    HWND dialog = CreateDialogParamW(library, MAKEINTRESOURCEW(number), nullptr, InertDialog, 0);
    EXPECT_NE(dialog, nullptr);
    if (!dialog) return numbers;
    RECT client;
    GetClientRect(dialog, &client);
    std::vector<std::pair<HWND, RECT>> placed;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const int id = GetDlgCtrlID(child);
        if (id != -1 && id != 0xFFFF) numbers.insert(id);
        RECT rect;
        GetWindowRect(child, &rect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
        if (!(GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE) || rect.right <= rect.left || rect.bottom <= rect.top)
            continue;
        EXPECT_EQ(Clipping(child), L"") << "control " << id;
        EXPECT_TRUE(rect.left >= 0 && rect.top >= 0 && rect.right <= client.right && rect.bottom <= client.bottom)
            << "control " << id << " leaves the dialog";
        for (const auto& other : placed) {
            RECT overlap;
            if (!IsGroupBox(child) && !IsGroupBox(other.first) && IntersectRect(&overlap, &rect, &other.second))
                ADD_FAILURE() << "controls " << id << " and " << GetDlgCtrlID(other.first) << " overlap";
        }
        placed.push_back({child, rect});
    }
    DestroyWindow(dialog);
    return numbers;
}

TEST(Language, BothLibrariesAreMarkedWithTheirLanguageAndHaveTheSameTemplatesAndControlsWithTextsThatFit) {
    const struct {
        const wchar_t* file;
        LANGID language;
    } libraries[] = {{L"vca0409.dll", MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)},
                     {L"vca0407.dll", MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN)}};
    std::vector<int> templates;
    std::vector<std::multiset<int>> controls;
    for (const auto& library : libraries) {
        SCOPED_TRACE(library.file);
        HMODULE module = LoadLibraryExW(library.file, nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module, nullptr);
        EXPECT_NE(FindResourceExW(module, RT_DIALOG, MAKEINTRESOURCEW(IDD_MAIN), library.language), nullptr);
        EXPECT_NE(FindResourceExW(module, RT_STRING, MAKEINTRESOURCEW(1), library.language), nullptr)
            << "string block of strings 0 to 15";
        if (templates.empty()) templates = DialogNumbers(module);
        EXPECT_EQ(DialogNumbers(module), templates);
        for (std::size_t i = 0; i < templates.size(); ++i) {
            SCOPED_TRACE("template " + std::to_string(templates[i]));
            const std::multiset<int> numbers = CheckLayout(module, templates[i]);
            EXPECT_FALSE(numbers.empty());
            if (controls.size() == i) controls.push_back(numbers);
            EXPECT_EQ(numbers, controls[i]) << "the same controls in both languages";
        }
        FreeLibrary(module);
    }
    EXPECT_EQ(templates.size(), 11u);
}

// Runs only where the test's environment chose the user's locale (the
// Language.UserLocale.* tests of ctest: Wine takes the user locale from the
// process's Unix locale) and names the language it expects in
// VCA_TEST_LANGUAGE, in hexadecimal.
TEST(Language, TheUserLanguageChoosesTheResourceLibrary) {
    const char* wanted = std::getenv("VCA_TEST_LANGUAGE");
    if (!wanted) GTEST_SKIP() << "VCA_TEST_LANGUAGE names no language";
    const LANGID language = static_cast<LANGID>(std::strtoul(wanted, nullptr, 16));
    ASSERT_EQ(LANGIDFROMLCID(GetUserDefaultLCID()), language) << "the environment did not set the user locale";

    // German and Austrian German (no vca0c07 or vca0007: vca0407 by the
    // primary language's default sublanguage) get German; French has
    // nothing of its own and gets US English last.
    const bool german = PRIMARYLANGID(language) == LANG_GERMAN;
    ASSERT_TRUE(german || language == 0x040c) << "no expectations for language " << wanted;
    LeaveCompleteReadOnlyKey("board205-dual-ddc.profile");
    AppletSession session("board205-dual-ddc.profile", true);
    EXPECT_NE(GetModuleHandleW(german ? L"vca0407.dll" : L"vca0409.dll"), nullptr);
    EXPECT_EQ(GetModuleHandleW(german ? L"vca0409.dll" : L"vca0407.dll"), nullptr);
    session.DoubleClick([&](HWND main) {
        wchar_t caption[100] = {};
        GetWindowTextW(main, caption, 100);
        EXPECT_EQ(std::wstring(caption), german ? L"Norvane Videokonfiguration" : L"Norvane Video Configuration");
        EXPECT_EQ(Text(main, IDCANCEL), german ? L"Abbrechen" : L"Cancel");
        EXPECT_EQ(Text(main, IDC_MAIN_BOARD_LINE).rfind(german ? L"Karte: " : L"Board: ", 0), 0u);
    });
    ASSERT_FALSE(session.Boxes().empty());
    EXPECT_EQ(session.Boxes()[0].rfind(german ? L"Sie haben keine Berechtigung" : L"You do not have permission", 0), 0u)
        << "the read-only key's warning";
}

}  // namespace
