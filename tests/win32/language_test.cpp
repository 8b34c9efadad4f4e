// The resource libraries of the two shipped languages: the same templates
// and controls in both, texts that fit their controls, and the library the
// applet picks for the user's language.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "resource.h"
#include "win32/applet_harness.h"

namespace {

using namespace harness;

// Why `control`'s own text does not fit it, or empty when it fits. Static
// texts wrap; check boxes and radio buttons lose their box and a gap, push
// buttons their edges, group boxes a margin on either side.
std::wstring Clipping(HWND control) {
    wchar_t text[400] = {};
    GetWindowTextW(control, text, 400);
    const LONG style = GetWindowLongW(control, GWL_STYLE), type = style & BS_TYPEMASK;
    const bool isStatic = WindowClass(control) == L"Static";
    // Only texts: static ones left, centred or right, and buttons.
    if (!text[0] || (isStatic ? (style & SS_TYPEMASK) > SS_RIGHT : WindowClass(control) != L"Button")) return {};
    RECT client;
    GetClientRect(control, &client);
    int width = client.right;
    if (!isStatic)
        width -= type == BS_GROUPBOX ? 16 : type <= BS_DEFPUSHBUTTON ? 4 : GetSystemMetrics(SM_CXMENUCHECK) + 4;
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
    std::vector<std::pair<int, RECT>> placed;  // group boxes left out: they hold other controls
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
        if (WindowClass(child) == L"Button" && (GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX)
            continue;
        for (const auto& other : placed) {
            RECT overlap;
            if (IntersectRect(&overlap, &rect, &other.second))
                ADD_FAILURE() << "controls " << id << " and " << other.first << " overlap";
        }
        placed.push_back({id, rect});
    }
    DestroyWindow(dialog);
    return numbers;
}

// The templates of a library by number, each as the numbers of its controls.
using Templates = std::map<int, std::multiset<int>>;

BOOL CALLBACK AddTemplate(HMODULE library, LPCWSTR, LPWSTR name, LONG_PTR templates) {
    const int number = static_cast<int>(reinterpret_cast<ULONG_PTR>(name));
    SCOPED_TRACE("template " + std::to_string(number));
    (*reinterpret_cast<Templates*>(templates))[number] = CheckLayout(library, number);
    return TRUE;
}

TEST(Language, BothLibrariesAreMarkedWithTheirLanguageAndHaveTheSameTemplatesAndControlsWithTextsThatFit) {
    Templates english;
    for (const auto& [file, language] : {std::make_pair(L"vca0409.dll", MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)),
                                         std::make_pair(L"vca0407.dll", MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN))}) {
        SCOPED_TRACE(file);
        HMODULE module = LoadLibraryExW(file, nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module, nullptr);
        EXPECT_NE(FindResourceExW(module, RT_DIALOG, MAKEINTRESOURCEW(IDD_MAIN), language), nullptr);
        EXPECT_NE(FindResourceExW(module, RT_STRING, MAKEINTRESOURCEW(1), language), nullptr)
            << "string block of strings 0 to 15";
        Templates templates;
        EnumResourceNamesW(module, RT_DIALOG, AddTemplate, reinterpret_cast<LONG_PTR>(&templates));
        FreeLibrary(module);
        EXPECT_EQ(templates.size(), 11u);
        if (english.empty()) english = templates;
        EXPECT_EQ(templates, english) << "the same templates and controls in both languages";
    }
}

// The user's language as Wine takes it from the Unix locale of the process
// (the Language.UserLocale.* runs of ctest set one and name it in
// VCA_TEST_LANGUAGE, hexadecimal). German and Austrian users get vca0407 (no
// vca0c07 or vca0007: the primary language's default sublanguage), all others
// US English. A read-only key is warned of in that language at the first
// opening and at each OK, and nothing is saved.
TEST(Language, TheUserLanguageChoosesTheResourceLibraryAndAReadOnlyKeyIsWarnedOfInIt) {
    const LANGID language = LANGIDFROMLCID(GetUserDefaultLCID());
    if (const char* wanted = std::getenv("VCA_TEST_LANGUAGE")) {
        ASSERT_EQ(language, std::strtoul(wanted, nullptr, 16)) << "the environment did not set the user locale";
    }
    const bool german = PRIMARYLANGID(language) == LANG_GERMAN;
    LeaveCompleteReadOnlyKey("board205-dual-ddc.profile");
    AppletSession session("board205-dual-ddc.profile", true);
    EXPECT_NE(GetModuleHandleW(german ? L"vca0407.dll" : L"vca0409.dll"), nullptr);
    EXPECT_EQ(GetModuleHandleW(german ? L"vca0409.dll" : L"vca0407.dll"), nullptr);
    const KeySnapshot before = session.ReadKey();
    session.DoubleClick([&](HWND main) {
        wchar_t caption[100] = {};
        GetWindowTextW(main, caption, 100);
        EXPECT_EQ(std::wstring(caption), german ? L"Norvane Videokonfiguration" : L"Norvane Video Configuration");
        EXPECT_EQ(Text(main, IDC_MAIN_BOARD_LINE).rfind(german ? L"Karte: " : L"Board: ", 0), 0u);
        Scroll(main, IDC_MAIN_RESOLUTION_SCROLL, SB_LINERIGHT);
        Click(main, IDC_MAIN_OK);
    });
    session.DoubleClick([&](HWND main) { Click(main, IDC_MAIN_OK); });
    EXPECT_EQ(session.Boxes().size(), 3u) << "the second opening does not warn again";
    for (const std::wstring& box : session.Boxes())
        EXPECT_EQ(box.rfind(german ? L"Sie haben keine Berechtigung" : L"You do not have permission", 0), 0u) << box;
    EXPECT_TRUE(session.ReadKey() == before);
}

}  // namespace
