// The gamma dialog and its test picture, opened through the real main
// dialog's gamma button and checked through what the simulated driver was
// sent and what the registry holds after saving.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "resource.h"
#include "win32/applet_harness.h"

namespace {

using namespace harness;
using Entries = std::vector<int>;

// A table as entry i of each channel: computed for a gamma g,
// (i/255)^(1/g) x 1023 rounded half up, or read from tests/data/gamma/ramp.gc.
using Table = std::function<int(int channel, int i)>;

Table Computed(double gamma) {
    return [gamma](int, int i) {
        double whole = 0.0;
        if (std::modf(std::pow(i * (1.0 / 255.0), 1.0 / gamma) * 1023.0, &whole) >= 0.5) whole += 1.0;
        return static_cast<int>(whole);
    };
}

int RampFile(int channel, int i) { return i * 3 + channel * 5; }

// The entries the board log shows: the first 12 of channel 1.
Entries Shown(const Table& table) {
    Entries entries;
    for (int i = 0; i < 12; ++i) entries.push_back(table(0, i));
    return entries;
}

// A stored table: header 10, then three channels of 256 16-bit entries.
std::vector<BYTE> Stored(const Table& table) {
    std::vector<BYTE> bytes = {10, 0, 0, 0};
    for (int channel = 0; channel < 3; ++channel)
        for (int i = 0; i < 256; ++i)
            bytes.insert(bytes.end(), {BYTE(table(channel, i) & 0xFF), BYTE(table(channel, i) >> 8)});
    return bytes;
}

// One set-gamma request of the board log: its screen and shown entries.
struct SentTable {
    int screen;
    Entries entries;
    bool operator==(const SentTable& other) const { return screen == other.screen && entries == other.entries; }
};
using Sent = std::vector<SentTable>;

Sent SentTables(const AppletSession& session) {
    Sent tables;
    for (const std::vector<unsigned>& w : session.Requests("set-gamma")) {
        EXPECT_EQ(w.size(), 8u);
        if (w.size() != 8) continue;
        EXPECT_EQ(w[1] & 0xFFFF, 10u) << "the header";
        tables.push_back({(w[1] & 0x10000) ? 1 : 0, {}});
        for (int i = 2; i < 8; ++i)
            tables.back().entries.insert(tables.back().entries.end(), {int(w[i] & 0xFFFF), int(w[i] >> 16)});
    }
    return tables;
}

// The three source buttons, the scroll bar and the file button.
std::string Sources(HWND gamma) {
    return States(gamma, {IDC_GAMMA_LINEAR, IDC_GAMMA_VALUE, IDC_GAMMA_FILE, IDC_GAMMA_SCROLL, IDC_GAMMA_CHOOSE_FILE});
}

// Opens the gamma dialog with `script` and the driver log cleared, after a
// first opening that is cancelled at once, so that what the first dialog of
// a process leaves in Wine's caches is not counted; then checks that the
// dialog left no GDI object behind.
void OpenWarmGammaDialog(AppletSession& session, HWND main, Script script) {
    session.Open(main, IDC_MAIN_GAMMA, [](HWND gamma) { Click(gamma, IDCANCEL); });
    session.ClearDriverLog();
    const DWORD before = GdiObjects();
    session.Open(main, IDC_MAIN_GAMMA, std::move(script));
    EXPECT_EQ(GdiObjects(), before) << "objects left behind by the gamma dialog";
}

TEST(GammaDialog, ScrollStepsSendTheShownTableTheRadioButtonsChooseTheSourceAndOkKeepsIt) {
    AppletSession session("board201.profile");
    session.DoubleClick([&](HWND main) {
        OpenWarmGammaDialog(session, main, [&](HWND gamma) {
            // One screen: template 104, no pictures, the stored linear table shown.
            EXPECT_FALSE(GetDlgItem(gamma, IDC_GAMMA_PICTURE_SIDE) || GetDlgItem(gamma, IDC_GAMMA_PICTURE_SCREEN1));
            EXPECT_EQ(Sources(gamma), "xoo--");
            EXPECT_TRUE(SentTables(session).empty()) << "opening sends nothing";

            // Value: the gamma 1.00 that loading gave, sent at once.
            Click(gamma, IDC_GAMMA_VALUE);
            EXPECT_EQ(Sources(gamma), "oxoo-");
            EXPECT_EQ(Text(gamma, IDC_GAMMA_VALUE_TEXT), L"1.00");
            EXPECT_EQ(SentTables(session), (Sent{{0, Shown(Computed(1.0))}}));

            // A thumb drag from 100 to 250: one table per thumb-track message.
            session.ClearDriverLog();
            Sent expected;
            for (int position = 101; position <= 250; ++position) {
                Scroll(gamma, IDC_GAMMA_SCROLL, SB_THUMBTRACK, position);
                expected.push_back({0, Shown(Computed(position * 0.01))});
            }
            EXPECT_TRUE(SentTables(session) == expected);
            EXPECT_EQ(ScrollPosition(gamma, IDC_GAMMA_SCROLL), 250);
            EXPECT_EQ(Text(gamma, IDC_GAMMA_VALUE_TEXT), L"2.50");

            // Linear: both groups go and the linear table is sent.
            session.ClearDriverLog();
            Click(gamma, IDC_GAMMA_LINEAR);
            EXPECT_EQ(Sources(gamma), "xoo--");
            EXPECT_EQ(SentTables(session), (Sent{{0, Shown(Computed(1.0))}}));

            // Cancel after changes: the saved table of screen 0 only, as the
            // board has one screen.
            session.ClearDriverLog();
            Click(gamma, IDCANCEL);
        });
        EXPECT_EQ(SentTables(session), (Sent{{0, Shown(Computed(1.0))}}));
        EXPECT_TRUE(IsWindowEnabled(main));

        // File with no file named: the value group goes, nothing is sent;
        // OK then warns and keeps the edited value, which the main dialog's
        // OK stores.
        session.Open(main, IDC_MAIN_GAMMA, [&](HWND gamma) {
            Click(gamma, IDC_GAMMA_VALUE);
            Scroll(gamma, IDC_GAMMA_SCROLL, SB_THUMBPOSITION, 220);
            session.ClearDriverLog();
            Click(gamma, IDC_GAMMA_FILE);
            EXPECT_EQ(Sources(gamma), "oox-o");
            EXPECT_EQ(Text(gamma, IDC_GAMMA_VALUE_TEXT), L"");
            Click(gamma, IDOK);
            EXPECT_EQ(session.Boxes(), std::vector<std::wstring>{session.ResourceString(37)});
        });
        EXPECT_TRUE(SentTables(session).empty()) << "File and OK send nothing";
        Click(main, IDC_MAIN_OK);
    });
    const KeySnapshot key = session.ReadKey();
    EXPECT_EQ(StoredNumber(key, L"DefaultSettings.GammaDataSource0"), 1u);
    EXPECT_EQ(StoredNumber(key, L"DefaultSettings.GammaValue0"), 220u);
    EXPECT_TRUE(key.at(L"DefaultSettings.GammaCorrectionTable0") == (StoredValue{REG_BINARY, Stored(Computed(2.2))}));
}

TEST(GammaDialog, ChoosingAScreenSendsNothingAndCancelRestoresBothScreens) {
    AppletSession session("board205-dual-ddc.profile");
    session.SetDword(L"DefaultSettings.DualScreen", 1);
    for (const auto& stored : {std::make_pair(L"0", 180), std::make_pair(L"1", 70)}) {
        const std::wstring screen = stored.first;
        session.SetDword((L"DefaultSettings.GammaDataSource" + screen).c_str(), 1);
        session.SetDword((L"DefaultSettings.GammaValue" + screen).c_str(), stored.second);
        const std::vector<BYTE> table = Stored(Computed(stored.second * 0.01));
        session.SetValue((L"DefaultSettings.GammaCorrectionTable" + screen).c_str(), REG_BINARY, table.data(),
                         static_cast<DWORD>(table.size()));
    }
    session.DoubleClick([&](HWND main) {
        OpenWarmGammaDialog(session, main, [&](HWND gamma) {
            // Side by side: template 105 with screen 0's side-by-side picture.
            ASSERT_NE(GetDlgItem(gamma, IDC_GAMMA_PICTURE_SIDE), nullptr);
            EXPECT_TRUE(Visible(gamma, IDC_GAMMA_PICTURE_SIDE) && !Visible(gamma, IDC_GAMMA_PICTURE_STACKED));
            EXPECT_EQ(Sources(gamma), "oxoo-");
            EXPECT_EQ(Text(gamma, IDC_GAMMA_VALUE_TEXT), L"1.80");

            ClickAt(gamma, IDC_GAMMA_PICTURE_SCREEN1);
            EXPECT_EQ(Text(gamma, IDC_GAMMA_VALUE_TEXT), L"0.70");
            EXPECT_EQ(ScrollPosition(gamma, IDC_GAMMA_SCROLL), 70);
            EXPECT_TRUE(SentTables(session).empty()) << "choosing a screen sends nothing";

            Scroll(gamma, IDC_GAMMA_SCROLL, SB_LINERIGHT);
            EXPECT_EQ(Text(gamma, IDC_GAMMA_VALUE_TEXT), L"0.71");
            EXPECT_EQ(SentTables(session), (Sent{{1, Shown(Computed(0.71))}}));

            session.ClearDriverLog();
            ClickAt(gamma, IDC_GAMMA_PICTURE_SIDE);
            EXPECT_EQ(Text(gamma, IDC_GAMMA_VALUE_TEXT), L"1.80");
            EXPECT_TRUE(SentTables(session).empty());
            Click(gamma, IDCANCEL);
        });
        EXPECT_EQ(SentTables(session), (Sent{{0, Shown(Computed(1.8))}, {1, Shown(Computed(0.7))}}));
    });
}

// Answers the system's file-open dialog as a user types a path and presses Open.
void TypePath(HWND chooser, const std::wstring& path) {
    for (int box : {0x47c /* cmb13 */, 0x480 /* edt1 */}) SetDlgItemTextW(chooser, box, path.c_str());
    PostMessageW(chooser, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

std::wstring GammaFile(const char* name) {
    std::string path = std::string("Z:") + VCA_SOURCE_DIR + "/tests/data/gamma/" + name;
    for (char& c : path)
        if (c == '/') c = '\\';
    return std::wstring(path.begin(), path.end());
}

TEST(GammaDialog, AChosenFileIsCheckedShownByTheTestPictureForFiveSecondsAndStored) {
    const std::wstring good = GammaFile("ramp.gc");
    AppletSession session("board201.profile");
    session.DoubleClick([&](HWND main) {
        session.Open(main, IDC_MAIN_GAMMA, [&](HWND gamma) {
            Click(gamma, IDC_GAMMA_FILE);
            session.ClearDriverLog();

            // A file that does not read: message 37, the record as it was.
            // The chooser's title and two filters come from the resource library.
            session.Open(gamma, IDC_GAMMA_CHOOSE_FILE, [&](HWND chooser) {
                wchar_t title[200] = {};
                GetWindowTextW(chooser, title, 200);
                EXPECT_EQ(title, session.ResourceString(41));
                EXPECT_EQ(ComboItems(chooser, 0x470 /* cmb1 */),
                          (std::vector<std::wstring>{session.ResourceString(1222), session.ResourceString(1223)}));
                TypePath(chooser, GammaFile("wrong-header.gc"));
            });
            EXPECT_EQ(session.Boxes(), std::vector<std::wstring>{session.ResourceString(37)});
            EXPECT_EQ(Text(gamma, IDC_GAMMA_FILE_PATH), L"");
            EXPECT_TRUE(IsWindowEnabled(gamma));

            session.Open(gamma, IDC_GAMMA_CHOOSE_FILE, [&](HWND chooser) { TypePath(chooser, good); });
            EXPECT_EQ(session.Boxes().size(), 1u);
            EXPECT_EQ(Text(gamma, IDC_GAMMA_FILE_PATH), good);
            EXPECT_TRUE(SentTables(session).empty()) << "a file's table is sent only by the test";

            // The test picture sends the file's table and, as it ends, the
            // saved one (linear) back: ended first by a timer message sent to
            // it, then by its own five-second timer, which must also leave
            // no GDI object behind (the first showing fills Wine's caches).
            DWORD gdiBefore = 0;
            for (bool ownTimer : {false, true}) {
                gdiBefore = GdiObjects();
                session.ClearDriverLog();
                const ULONGLONG start = GetTickCount64();
                session.Open(gamma, IDC_GAMMA_TEST, [&](HWND test) {
                    const Sent sent = SentTables(session);
                    ASSERT_FALSE(sent.empty());
                    EXPECT_EQ(sent.back(), (SentTable{0, Shown(RampFile)}));
                    EXPECT_FALSE(IsWindowEnabled(gamma));
                    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_WAIT));
                    if (!ownTimer) SendMessageW(test, WM_TIMER, 2, 0);
                });
                EXPECT_GE(GetTickCount64() - start, ownTimer ? 4900u : 0u);
                const Sent sent = SentTables(session);
                ASSERT_GE(sent.size(), 2u);
                EXPECT_EQ(sent.back(), (SentTable{0, Shown(Computed(1.0))}));
                EXPECT_TRUE(IsWindowEnabled(gamma));
            }
            EXPECT_EQ(GdiObjects(), gdiBefore);
            Click(gamma, IDOK);
        });
        Click(main, IDC_MAIN_OK);
    });
    const KeySnapshot key = session.ReadKey();
    EXPECT_EQ(StoredNumber(key, L"DefaultSettings.GammaDataSource0"), 2u);
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(key.at(L"DefaultSettings.GammaFile0").bytes.data())), good);
    EXPECT_TRUE(key.at(L"DefaultSettings.GammaCorrectionTable0").bytes == Stored(RampFile));
}

}  // namespace
