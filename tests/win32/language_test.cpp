// The resource libraries of the two shipped languages: the same templates
// and controls in both, texts that fit their controls, and the library the
// applet picks for the user's language.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "resource.h"
#include "win32/applet_harness.h"

namespace {

using namespace harness;

// A resource library loaded as data, released at the end of the scope.
class DataLibrary {
public:
    explicit DataLibrary(const wchar_t* name)
        : module_(LoadLibraryExW(name, nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
    ~DataLibrary() {
        if (module_) FreeLibrary(module_);
    }
    DataLibrary(const DataLibrary&) = delete;
    DataLibrary& operator=(const DataLibrary&) = delete;
    HMODULE get() const { return module_; }

private:
    HMODULE module_;
};

BOOL CALLBACK AddDialogName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR list) {
    if (IS_INTRESOURCE(name))
        reinterpret_cast<std::vector<int>*>(list)->push_back(static_cast<int>(reinterpret_cast<ULONG_PTR>(name)));
    return TRUE;
}

std::vector<int> DialogNumbers(HMODULE module) {
    std::vector<int> numbers;
    EnumResourceNamesW(module, MAKEINTRESOURCEW(5) /* RT_DIALOG */, AddDialogName,
                       reinterpret_cast<LONG_PTR>(&numbers));
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

const DLGTEMPLATE* DialogTemplate(HMODULE module, int number) {
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(number), MAKEINTRESOURCEW(5));
    if (!found) return nullptr;
    return static_cast<const DLGTEMPLATE*>(LockResource(LoadResource(module, found)));
}

const BYTE* SkipText(const BYTE* p) {
    const WORD* w = reinterpret_cast<const WORD*>(p);
    while (*w) ++w;
    return reinterpret_cast<const BYTE*>(w + 1);
}

// A number (0xFFFF, then the number) or a text.
const BYTE* SkipNameOrNumber(const BYTE* p) {
    return *reinterpret_cast<const WORD*>(p) == 0xFFFF ? p + 4 : SkipText(p);
}

WORD ReadWord(const BYTE* p) { return *reinterpret_cast<const WORD*>(p); }
DWORD ReadDword(const BYTE* p) { return *reinterpret_cast<const DWORD*>(p); }

// The numbers of the controls of an extended template, static texts (-1)
// left out; empty when the template is not an extended one.
std::multiset<int> ControlNumbers(const DLGTEMPLATE* dialog) {
    std::multiset<int> numbers;
    const BYTE* p = reinterpret_cast<const BYTE*>(dialog);
    if (ReadWord(p) != 1 || ReadWord(p + 2) != 0xFFFF) return numbers;
    const DWORD style = ReadDword(p + 12);
    const WORD count = ReadWord(p + 16);
    p += 26;  // version, signature, help, extended style, style, count, x, y, cx, cy
    p = SkipNameOrNumber(p);  // menu
    p = SkipNameOrNumber(p);  // class
    p = SkipText(p);          // caption
    if (style & DS_SETFONT) p = SkipText(p + 6);  // size, weight, italic, character set, face
    for (WORD i = 0; i < count; ++i) {
        p = reinterpret_cast<const BYTE*>((reinterpret_cast<ULONG_PTR>(p) + 3) & ~ULONG_PTR(3));
        const int id = static_cast<int>(ReadDword(p + 20));  // after help, styles, x, y, cx, cy
        p = SkipNameOrNumber(p + 24);  // class
        p = SkipNameOrNumber(p);       // text
        p += 2 + ReadWord(p);          // creation data
        if (id != -1) numbers.insert(id);
    }
    return numbers;
}

// The Translation value of a library's version information: language in
// the low word, code page in the high word.
DWORD VersionTranslation(const wchar_t* file) {
    DWORD ignored = 0;
    std::vector<BYTE> data(GetFileVersionInfoSizeW(file, &ignored));
    if (data.empty() || !GetFileVersionInfoW(file, 0, static_cast<DWORD>(data.size()), data.data())) return 0;
    void* value = nullptr;
    UINT size = 0;
    if (!VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", &value, &size) || size < 4) return 0;
    return *static_cast<DWORD*>(value);
}

TEST(Language, EachLibraryIsMarkedWithItsLanguage) {
    struct Case {
        const wchar_t* file;
        LANGID language;
    } cases[] = {{L"vca0409.dll", MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)},
                 {L"vca0407.dll", MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN)}};
    for (const auto& c : cases) {
        SCOPED_TRACE(Narrow(c.file));
        DataLibrary library(c.file);
        ASSERT_NE(library.get(), nullptr);
        EXPECT_NE(FindResourceExW(library.get(), MAKEINTRESOURCEW(5), MAKEINTRESOURCEW(101), c.language), nullptr);
        EXPECT_NE(FindResourceExW(library.get(), MAKEINTRESOURCEW(6), MAKEINTRESOURCEW(1), c.language), nullptr)
            << "string block of strings 0 to 15";
        EXPECT_EQ(VersionTranslation(c.file), MAKELONG(c.language, 1200));
    }
}

TEST(Language, BothLibrariesHaveTheSameTemplatesAndControls) {
    DataLibrary english(L"vca0409.dll"), german(L"vca0407.dll");
    ASSERT_TRUE(english.get() && german.get());
    const std::vector<int> templates = DialogNumbers(english.get());
    EXPECT_EQ(templates.size(), 11u);
    EXPECT_EQ(DialogNumbers(german.get()), templates);
    for (int number : templates) {
        SCOPED_TRACE("template " + std::to_string(number));
        const DLGTEMPLATE* englishTemplate = DialogTemplate(english.get(), number);
        const DLGTEMPLATE* germanTemplate = DialogTemplate(german.get(), number);
        ASSERT_TRUE(englishTemplate && germanTemplate);
        std::multiset<int> controls = ControlNumbers(englishTemplate);
        EXPECT_FALSE(controls.empty());
        EXPECT_EQ(ControlNumbers(germanTemplate), controls);
    }
}

INT_PTR CALLBACK InertDialog(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

std::wstring WindowClass(HWND window) {
    wchar_t name[32] = {};
    GetClassNameW(window, name, 32);
    return name;
}

// The rectangle `text` needs in `control`'s font, wrapped at `width`
// pixels when `wrap`.
SIZE TextNeeds(HWND control, const std::wstring& text, int width, bool wrap, bool prefix) {
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    RECT rect{0, 0, width, 0};
    UINT flags = DT_CALCRECT | DT_EXPANDTABS | (wrap ? DT_WORDBREAK : DT_SINGLELINE) | (prefix ? 0 : DT_NOPREFIX);
    DrawTextW(dc, text.c_str(), -1, &rect, flags);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

// Why `control`'s own text does not fit it, or empty when it fits. Check
// boxes and radio buttons lose their box and a gap, push buttons their
// edges, group boxes a margin on either side.
std::string Clipping(HWND control) {
    wchar_t buffer[400] = {};
    GetWindowTextW(control, buffer, 400);
    const std::wstring text = buffer;
    if (text.empty()) return {};
    RECT client;
    GetClientRect(control, &client);
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    const std::wstring kind = WindowClass(control);
    int width = client.right, height = client.bottom;
    bool wrap = false;
    if (kind == L"Static") {
        const LONG type = style & SS_TYPEMASK;
        if (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT) return {};
        wrap = true;
    } else if (kind == L"Button") {
        const LONG type = style & BS_TYPEMASK;
        if (type == BS_GROUPBOX) width -= 16;
        else if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) width -= 4;
        else width -= GetSystemMetrics(SM_CXMENUCHECK) + 4;
    } else {
        return {};
    }
    const bool prefix = kind != L"Static" || !(style & SS_NOPREFIX);
    SIZE needs = TextNeeds(control, text, width, wrap, prefix);
    if (needs.cx <= width && (kind != L"Static" || needs.cy <= height)) return {};
    return Narrow(text) + " needs " + std::to_string(needs.cx) + " x " + std::to_string(needs.cy) +
           " pixels, has " + std::to_string(width) + " x " + std::to_string(height);
}

bool IsGroupBox(HWND control) {
    return WindowClass(control) == L"Button" && (GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

// Visible controls with an area, in the dialog's client coordinates.
std::vector<std::pair<HWND, RECT>> PlacedControls(HWND dialog) {
    std::vector<std::pair<HWND, RECT>> placed;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT rect;
        GetWindowRect(child, &rect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
        if ((GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE) && rect.right > rect.left && rect.bottom > rect.top)
            placed.push_back({child, rect});
    }
    return placed;
}

TEST(Language, EveryTemplateTextFitsAndNoControlsOverlap) {
    for (const wchar_t* name : {L"vca0409.dll", L"vca0407.dll"}) {
        SCOPED_TRACE(Narrow(name));
        DataLibrary library(name);
        ASSERT_NE(library.get(), nullptr);
        for (int number : DialogNumbers(library.get())) {
            SCOPED_TRACE("template " + std::to_string(number));
            HWND dialog = CreateDialogIndirectParamW(library.get(), DialogTemplate(library.get(), number), nullptr,
                                                     InertDialog, 0);
            ASSERT_NE(dialog, nullptr);
            RECT client;
            GetClientRect(dialog, &client);
            const auto placed = PlacedControls(dialog);
            for (size_t i = 0; i < placed.size(); ++i) {
                const HWND control = placed[i].first;
                const RECT& rect = placed[i].second;
                const int id = GetDlgCtrlID(control);
                EXPECT_EQ(Clipping(control), "") << "control " << id;
                EXPECT_TRUE(rect.left >= 0 && rect.top >= 0 && rect.right <= client.right &&
                            rect.bottom <= client.bottom)
                    << "control " << id << " leaves the dialog";
                if (IsGroupBox(control)) continue;
                for (size_t j = i + 1; j < placed.size(); ++j) {
                    RECT overlap;
                    if (!IsGroupBox(placed[j].first) && IntersectRect(&overlap, &rect, &placed[j].second))
                        ADD_FAILURE() << "controls " << id << " and " << GetDlgCtrlID(placed[j].first) << " overlap";
                }
            }
            DestroyWindow(dialog);
        }
    }
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

    struct Case {
        LANGID language;
        const wchar_t* library;  // the one that loads
        const wchar_t* other;    // the one that must not
        const wchar_t* caption;
        const wchar_t* cancel;
        const wchar_t* boardLineStart;
        const wchar_t* readOnlyMessageStart;
    } cases[] = {
        {0x0407, L"vca0407.dll", L"vca0409.dll", L"Norvane Videokonfiguration", L"Abbrechen", L"Karte: ",
         L"Sie haben keine Berechtigung"},
        // Austrian German: no vca0c07 or vca0007; vca0407 by the primary
        // language's default sublanguage.
        {0x0c07, L"vca0407.dll", L"vca0409.dll", L"Norvane Videokonfiguration", L"Abbrechen", L"Karte: ",
         L"Sie haben keine Berechtigung"},
        // French: nothing of its own, US English last.
        {0x040c, L"vca0409.dll", L"vca0407.dll", L"Norvane Video Configuration", L"Cancel", L"Board: ",
         L"You do not have permission"},
    };
    const Case* c = nullptr;
    for (const auto& candidate : cases)
        if (candidate.language == language) c = &candidate;
    ASSERT_NE(c, nullptr) << "no expectations for language " << wanted;

    {
        // A complete key that can then only be read: the applet says so.
        AppletSession first("board205-dual-ddc.profile");
        first.DoubleClick([](HWND dialog) { Click(dialog, IDC_MAIN_OK); });
        first.MakeKeyReadOnly();
    }
    AppletSession session("board205-dual-ddc.profile", true);
    EXPECT_NE(GetModuleHandleW(c->library), nullptr);
    EXPECT_EQ(GetModuleHandleW(c->other), nullptr);
    session.DoubleClick([&](HWND main) {
        wchar_t caption[100] = {};
        GetWindowTextW(main, caption, 100);
        EXPECT_EQ(std::wstring(caption), c->caption);
        EXPECT_EQ(Text(main, IDCANCEL), c->cancel);
        EXPECT_EQ(Text(main, IDC_MAIN_BOARD_LINE).rfind(c->boardLineStart, 0), 0u) << Narrow(Text(main, IDC_MAIN_BOARD_LINE));
    });
    ASSERT_FALSE(session.Boxes().empty());
    EXPECT_EQ(session.Boxes()[0].rfind(c->readOnlyMessageStart, 0), 0u) << Narrow(session.Boxes()[0]);
}

}  // namespace
