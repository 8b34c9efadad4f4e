// The gamma dialog and its test picture, opened through the real main
// dialog's gamma button and checked through what the simulated driver was
// sent and what the registry holds after saving. The tables themselves are
// the core's (tests/gamma); here they only have to reach the right screen.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gamma/gamma_table.h"
#include "resource.h"
#include "win32/applet_harness.h"

namespace {

using namespace harness;

// The table of a gamma value as the scroll bar and the registry hold it (x 100).
vca::GammaTable Computed(int value) {
    vca::GammaTable table;
    vca::ComputeGammaTable(value * 0.01, &table);
    return table;
}

// The table of tests/data/gamma/ramp.gc.
vca::GammaTable Ramp() {
    vca::GammaTable table{10, {}};
    for (int channel = 0; channel < 3; ++channel)
        for (int i = 0; i < 256; ++i) table.channel[channel][i] = static_cast<std::uint16_t>(i * 3 + channel * 5);
    return table;
}

// A set-gamma request as the board log shows it: the operation, the header
// with the screen bit, then the first 12 entries of channel 1 in pairs.
std::vector<unsigned> SetGamma(unsigned screen, const vca::GammaTable& table) {
    std::vector<unsigned> words = {8, table.header | screen << 16};
    for (int i = 0; i < 12; i += 2) words.push_back(table.channel[0][i] | table.channel[0][i + 1] << 16u);
    return words;
}

// The three source buttons, the scroll bar and the file button.
std::string Sources(HWND gamma) {
    return States(gamma, {IDC_GAMMA_LINEAR, IDC_GAMMA_VALUE, IDC_GAMMA_FILE, IDC_GAMMA_SCROLL, IDC_GAMMA_CHOOSE_FILE});
}

// Opens the gamma dialog with `script` on a cleared driver log and checks
// that it left no GDI object behind; a first opening with `first` keeps what
// Wine caches at a process's first dialog out of the count.
void OpenWarmGammaDialog(AppletSession& session, HWND main, Script first, Script script) {
    session.Open(main, IDC_MAIN_GAMMA, std::move(first));
    session.ClearDriverLog();
    const DWORD before = GdiObjects();
    session.Open(main, IDC_MAIN_GAMMA, std::move(script));
    EXPECT_EQ(GdiObjects(), before) << "objects left behind by the gamma dialog";
}

// Answers the system's file-open dialog as a user types a path and presses Open.
void TypePath(HWND chooser, const std::wstring& path) {
    for (int box : {0x47c /* cmb13 */, 0x480 /* edt1 */}) SetDlgItemTextW(chooser, box, path.c_str());
    PostMessageW(chooser, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

TEST(GammaDialog, OneScreenScrollSendsAtOnceAFileIsShownByTheTestPictureAndOkKeepsTheChoice) {
    const std::wstring ramp = SourcePath("tests/data/gamma/ramp.gc");
    AppletSession session("board201.profile");
    session.DoubleClick([&](HWND main) {
        OpenWarmGammaDialog(session, main, [](HWND) {}, [&](HWND gamma) {
            // One screen: template 104, no pictures, the stored linear table shown.
            EXPECT_FALSE(GetDlgItem(gamma, IDC_GAMMA_PICTURE_SIDE) || GetDlgItem(gamma, IDC_GAMMA_PICTURE_SCREEN1));
            EXPECT_EQ(Sources(gamma), "xoo--");
            EXPECT_TRUE(session.Sent("set-gamma").empty()) << "opening sends nothing";

            // Value: the gamma 1.00 that loading gave, sent at once, then one
            // table per thumb-track message.
            Click(gamma, IDC_GAMMA_VALUE);
            EXPECT_EQ(Sources(gamma), "oxoo-");
            EXPECT_EQ(Text(gamma, IDC_GAMMA_VALUE_TEXT), L"1.00");
            Scroll(gamma, IDC_GAMMA_SCROLL, SB_THUMBTRACK, 170);
            Scroll(gamma, IDC_GAMMA_SCROLL, SB_THUMBTRACK, 250);
            EXPECT_EQ(session.Sent("set-gamma"),
                      (Requests{SetGamma(0, Computed(100)), SetGamma(0, Computed(170)), SetGamma(0, Computed(250))}));
            EXPECT_EQ(ScrollPosition(gamma, IDC_GAMMA_SCROLL), 250);
            EXPECT_EQ(Text(gamma, IDC_GAMMA_VALUE_TEXT), L"2.50");

            // Linear: both groups go and the linear table is sent; Cancel then
            // sends the saved table of screen 0 alone, as the board has one.
            Click(gamma, IDC_GAMMA_LINEAR);
            EXPECT_EQ(Sources(gamma), "xoo--");
            Click(gamma, IDCANCEL);
        });
        EXPECT_EQ(session.Sent("set-gamma"), (Requests{SetGamma(0, Computed(100)), SetGamma(0, Computed(100))}));

        // File with no file named: the value group goes, nothing is sent; OK
        // then warns and keeps the edited value, which the next opening shows.
        session.Open(main, IDC_MAIN_GAMMA, [&](HWND gamma) {
            Click(gamma, IDC_GAMMA_VALUE);
            Scroll(gamma, IDC_GAMMA_SCROLL, SB_THUMBPOSITION, 220);
            EXPECT_EQ(session.Sent("set-gamma").size(), 2u) << "Value and the thumb's position";
            Click(gamma, IDC_GAMMA_FILE);
            EXPECT_EQ(Sources(gamma), "oox-o");
            EXPECT_EQ(Text(gamma, IDC_GAMMA_VALUE_TEXT), L"");
            Click(gamma, IDOK);
            EXPECT_EQ(session.Boxes(), std::vector<std::wstring>{session.ResourceString(37)});
        });
        EXPECT_TRUE(session.Sent("set-gamma").empty()) << "File and OK send nothing";

        session.Open(main, IDC_MAIN_GAMMA, [&](HWND gamma) {
            EXPECT_EQ(Sources(gamma), "oxoo-");
            EXPECT_EQ(Text(gamma, IDC_GAMMA_VALUE_TEXT), L"2.20");
            Click(gamma, IDC_GAMMA_FILE);

            // A file that does not read: message 37, the record as it was.
            // The chooser's title and two filters come from the resource library.
            session.Open(gamma, IDC_GAMMA_CHOOSE_FILE, [&](HWND chooser) {
                wchar_t title[200] = {};
                GetWindowTextW(chooser, title, 200);
                EXPECT_EQ(title, session.ResourceString(41));
                EXPECT_EQ(Items(chooser, 0x470 /* cmb1 */),
                          (std::vector<std::wstring>{session.ResourceString(1222), session.ResourceString(1223)}));
                TypePath(chooser, SourcePath("tests/data/gamma/wrong-header.gc"));
            });
            EXPECT_EQ(session.Boxes().size(), 2u);
            EXPECT_EQ(Text(gamma, IDC_GAMMA_FILE_PATH), L"");

            session.Open(gamma, IDC_GAMMA_CHOOSE_FILE, [&](HWND chooser) { TypePath(chooser, ramp); });
            EXPECT_EQ(session.Boxes().size(), 2u);
            EXPECT_EQ(Text(gamma, IDC_GAMMA_FILE_PATH), ramp);
            EXPECT_TRUE(session.Sent("set-gamma").empty()) << "a file's table is sent only by the test";

            // The test picture sends the file's table (again at each repaint)
            // and, as it ends, the saved one (gamma 2.20): ended by a timer
            // message sent to it, then by its own five-second timer, which must
            // leave no GDI object behind either (the first showing fills caches).
            DWORD gdiBefore = 0;
            for (bool ownTimer : {false, true}) {
                gdiBefore = GdiObjects();
                const ULONGLONG start = GetTickCount64();
                session.Open(gamma, IDC_GAMMA_TEST, [&](HWND test) {
                    const Requests shown = session.Sent("set-gamma");
                    EXPECT_TRUE(!shown.empty() && shown.back() == SetGamma(0, Ramp()));
                    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_WAIT));
                    if (!ownTimer) SendMessageW(test, WM_TIMER, 2, 0);
                });
                EXPECT_GE(GetTickCount64() - start, ownTimer ? 4900u : 0u);
                const Requests ended = session.Sent("set-gamma");
                EXPECT_TRUE(!ended.empty() && ended.back() == SetGamma(0, Computed(220)));
            }
            EXPECT_EQ(GdiObjects(), gdiBefore);
            Click(gamma, IDOK);
        });
        Click(main, IDC_MAIN_OK);
    });
    const KeySnapshot key = session.ReadKey();
    EXPECT_EQ(StoredNumber(key, L"DefaultSettings.GammaDataSource0"), 2u);
    EXPECT_EQ(reinterpret_cast<const wchar_t*>(key.at(L"DefaultSettings.GammaFile0").second.data()), ramp);
    const vca::GammaTable table = Ramp();  // stored as the driver's block, byte for byte
    const BYTE* bytes = reinterpret_cast<const BYTE*>(&table);
    EXPECT_TRUE(key.at(L"DefaultSettings.GammaCorrectionTable0") ==
                StoredValue(REG_BINARY, {bytes, bytes + sizeof table}));
}

// Two screens side by side: each picture chooses the screen whose record the
// controls show and whose table the scroll bar sends; Cancel sends both saved
// tables back.
TEST(GammaDialog, EachPictureChoosesItsScreenAndCancelRestoresBoth) {
    AppletSession session("board205-dual-ddc.profile");
    session.SetDword(L"DefaultSettings.DualScreen", 1);
    session.DoubleClick([&](HWND main) {
        OpenWarmGammaDialog(session, main, [](HWND gamma) {  // saves gamma 0.70 for screen 1
            ClickAt(gamma, IDC_GAMMA_PICTURE_SCREEN1);
            Click(gamma, IDC_GAMMA_VALUE);
            Scroll(gamma, IDC_GAMMA_SCROLL, SB_THUMBPOSITION, 70);
            Click(gamma, IDOK);
        }, [&](HWND gamma) {
            // Template 105 with screen 0's side-by-side picture.
            EXPECT_TRUE(Visible(gamma, IDC_GAMMA_PICTURE_SIDE) && !Visible(gamma, IDC_GAMMA_PICTURE_STACKED));
            EXPECT_EQ(Sources(gamma), "xoo--");
            Click(gamma, IDC_GAMMA_VALUE);
            Scroll(gamma, IDC_GAMMA_SCROLL, SB_THUMBPOSITION, 180);
            EXPECT_EQ(session.Sent("set-gamma"), (Requests{SetGamma(0, Computed(100)), SetGamma(0, Computed(180))}));

            ClickAt(gamma, IDC_GAMMA_PICTURE_SCREEN1);
            EXPECT_EQ(Sources(gamma), "oxoo-");
            EXPECT_EQ(Text(gamma, IDC_GAMMA_VALUE_TEXT), L"0.70");
            EXPECT_TRUE(session.Sent("set-gamma").empty()) << "choosing a screen sends nothing";
            Scroll(gamma, IDC_GAMMA_SCROLL, SB_LINELEFT);
            EXPECT_EQ(Text(gamma, IDC_GAMMA_VALUE_TEXT), L"0.69");
            EXPECT_EQ(session.Sent("set-gamma"), Requests{SetGamma(1, Computed(69))});

            ClickAt(gamma, IDC_GAMMA_PICTURE_SIDE);
            EXPECT_EQ(Sources(gamma), "oxoo-");
            EXPECT_EQ(Text(gamma, IDC_GAMMA_VALUE_TEXT), L"1.80");
            EXPECT_EQ(ScrollPosition(gamma, IDC_GAMMA_SCROLL), 180);
            EXPECT_TRUE(session.Sent("set-gamma").empty());
            Click(gamma, IDCANCEL);
        });
        EXPECT_EQ(session.Sent("set-gamma"), (Requests{SetGamma(0, Computed(100)), SetGamma(1, Computed(70))}));
    });
}

}  // namespace
