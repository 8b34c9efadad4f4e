// The gamma dialog and its test picture, opened through the real main
// dialog's gamma button and checked through what the simulated driver was
// sent and what the registry holds after saving.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "win32/applet_harness.h"

namespace {

using harness::AppletSession;

constexpr int kMainGamma = 6;
constexpr int kMainOk = 1036;
constexpr int kScroll = 1015, kPath = 1021, kSideBySide = 1034, kScreenOne = 1035, kStacked = 1052;
constexpr int kLinear = 1087, kValue = 1088, kFile = 1089, kValueText = 1090, kChoose = 1091, kTest = 1092;
constexpr int kShownEntries = 12;  // the board log shows the first 12 entries of channel 1

const wchar_t* kDriverKey = L"SYSTEM\\CurrentControlSet\\Services\\rediruv\\Device0";

// Entry i of a table computed for gamma g: (i/255)^(1/g) x 1023, rounded half up.
int Entry(double gamma, int i) {
    double y = std::pow(i * (1.0 / 255.0), 1.0 / gamma) * 1023.0;
    double whole = 0.0;
    if (std::modf(y, &whole) >= 0.5) whole += 1.0;
    return static_cast<int>(whole);
}

std::vector<int> ShownEntries(double gamma) {
    std::vector<int> entries;
    for (int i = 0; i < kShownEntries; ++i) entries.push_back(Entry(gamma, i));
    return entries;
}

// A stored table: header 10, then three channels of 256 16-bit entries.
std::vector<BYTE> TableBytes(const std::function<int(int channel, int i)>& entry) {
    std::vector<BYTE> bytes = {10, 0, 0, 0};
    for (int channel = 0; channel < 3; ++channel)
        for (int i = 0; i < 256; ++i) {
            int value = entry(channel, i);
            bytes.push_back(static_cast<BYTE>(value & 0xFF));
            bytes.push_back(static_cast<BYTE>(value >> 8));
        }
    return bytes;
}

std::vector<BYTE> ComputedTableBytes(double gamma) {
    return TableBytes([gamma](int, int i) { return Entry(gamma, i); });
}

// Entries of the sample gamma file: distinct per channel, not linear.
int FileEntry(int channel, int i) { return i * 3 + channel * 5; }

void StoreBinary(const wchar_t* name, const std::vector<BYTE>& bytes) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kDriverKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, name, 0, REG_BINARY, bytes.data(), static_cast<DWORD>(bytes.size()));
    RegCloseKey(key);
}

// One set-gamma request of the board log: its screen and shown entries.
struct SentTable {
    int screen;
    std::vector<int> entries;
};

std::vector<SentTable> SentTables(const std::vector<std::string>& log) {
    std::vector<SentTable> tables;
    for (const std::string& line : log) {
        if (line.find("set-gamma") == std::string::npos) continue;
        unsigned words[8] = {};
        const char* open = std::strchr(line.c_str(), '[');
        if (!open || std::sscanf(open + 1, "%x %x %x %x %x %x %x %x", &words[0], &words[1], &words[2], &words[3],
                                 &words[4], &words[5], &words[6], &words[7]) != 8) {
            ADD_FAILURE() << "unreadable log line: " << line;
            continue;
        }
        SentTable table{(words[1] & 0x10000) ? 1 : 0, {}};
        EXPECT_EQ(words[1] & 0xFFFF, 10u) << line;
        for (int w = 2; w < 8; ++w) {
            table.entries.push_back(static_cast<int>(words[w] & 0xFFFF));
            table.entries.push_back(static_cast<int>(words[w] >> 16));
        }
        tables.push_back(table);
    }
    return tables;
}

// The gamma a dialog shows, as its text says and its scroll bar holds.
double ShownGamma(HWND gamma) {
    const int position = harness::ScrollPosition(gamma, kScroll);
    wchar_t expected[16];
    swprintf(expected, 16, L"%01.2f", position * 0.01);
    EXPECT_EQ(harness::Text(gamma, kValueText), expected);
    return position * 0.01;
}

std::wstring TempFile(const wchar_t* name, const std::string& bytes) {
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    std::wstring path = std::wstring(folder) + name;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return path;
}

std::string GammaFileText(const char* header) {
    std::string text = std::string("47434446\r\n") + header + "\r\n";
    for (int channel = 0; channel < 3; ++channel)
        for (int i = 0; i < 256; ++i) text += std::to_string(FileEntry(channel, i)) + "\r\n";
    return text;
}

// The system's file-open dialog, answered as a user types a path and
// presses Open.
harness::Script ChooseFile(const std::wstring& path, const AppletSession* session = nullptr) {
    return [path, session](HWND chooser) {
        if (session) {
            // The title and the two filters come from the resource library.
            wchar_t title[200] = {};
            GetWindowTextW(chooser, title, 200);
            EXPECT_EQ(title, session->ResourceString(41));
            EXPECT_EQ(harness::ComboItems(chooser, 0x470 /* cmb1 */),
                      (std::vector<std::wstring>{session->ResourceString(1222), session->ResourceString(1223)}));
        }
        for (int box : {0x47c /* cmb13 */, 0x480 /* edt1 */}) SetDlgItemTextW(chooser, box, path.c_str());
        PostMessageW(chooser, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    };
}

// Whatever a script found, the dialog does not stay open.
struct CancelOnExit {
    HWND dialog;
    ~CancelOnExit() {
        if (IsWindow(dialog) && IsWindowVisible(dialog)) PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    }
};

// Opens the gamma dialog with `script` and the driver log cleared, after a
// first opening that is cancelled at once, so that what the first dialog of
// a process leaves in Wine's caches is not counted; then checks that the
// dialog left no GDI object behind.
void OpenWarmGammaDialog(AppletSession& session, HWND main, harness::Script script) {
    session.ExpectDialog([](HWND gamma) { harness::Click(gamma, IDCANCEL); });
    harness::Click(main, kMainGamma);
    session.ClearDriverLog();
    const DWORD before = harness::GdiObjects();
    session.ExpectDialog(std::move(script));
    harness::Click(main, kMainGamma);
    EXPECT_EQ(harness::GdiObjects(), before) << "objects left behind by the gamma dialog";
}

TEST(GammaDialog, ScrollStepsSendTheShownTableAndTheRadioButtonsChooseTheSource) {
    AppletSession session("board201.profile");
    session.DoubleClick([&](HWND main) {
        OpenWarmGammaDialog(session, main, [&](HWND gamma) {
            CancelOnExit guard{gamma};
            // One screen: template 104, no pictures, the stored linear table shown.
            EXPECT_EQ(GetDlgItem(gamma, kSideBySide), nullptr);
            EXPECT_EQ(GetDlgItem(gamma, kScreenOne), nullptr);
            EXPECT_TRUE(harness::Checked(gamma, kLinear));
            EXPECT_FALSE(harness::Enabled(gamma, kScroll));
            EXPECT_FALSE(harness::Enabled(gamma, kChoose));
            EXPECT_TRUE(SentTables(session.DriverLog()).empty()) << "opening sends nothing";

            // Value: the gamma 1.00 that loading gave, sent at once.
            session.ClearDriverLog();
            harness::Click(gamma, kValue);
            EXPECT_TRUE(harness::Enabled(gamma, kScroll));
            EXPECT_FALSE(harness::Enabled(gamma, kChoose));
            auto sent = SentTables(session.DriverLog());
            ASSERT_EQ(sent.size(), 1u);
            EXPECT_EQ(sent[0].entries, ShownEntries(ShownGamma(gamma)));
            EXPECT_EQ(harness::Text(gamma, kValueText), L"1.00");

            // A thumb drag from 100 to 250: one table per thumb-track message.
            session.ClearDriverLog();
            std::vector<std::vector<int>> expected;
            for (int position = 101; position <= 250; ++position) {
                harness::Scroll(gamma, kScroll, SB_THUMBTRACK, position);
                expected.push_back(ShownEntries(ShownGamma(gamma)));
            }
            sent = SentTables(session.DriverLog());
            ASSERT_EQ(sent.size(), expected.size());
            for (std::size_t i = 0; i < sent.size(); ++i) {
                EXPECT_EQ(sent[i].screen, 0);
                EXPECT_EQ(sent[i].entries, expected[i]) << "step " << i;
            }
            EXPECT_EQ(harness::Text(gamma, kValueText), L"2.50");

            // A page left at 3 stops at 1: gamma 0.01.
            harness::Scroll(gamma, kScroll, SB_THUMBPOSITION, 3);
            session.ClearDriverLog();
            harness::Scroll(gamma, kScroll, SB_PAGELEFT);
            EXPECT_EQ(harness::ScrollPosition(gamma, kScroll), 1);
            EXPECT_EQ(harness::Text(gamma, kValueText), L"0.01");
            sent = SentTables(session.DriverLog());
            ASSERT_EQ(sent.size(), 1u);
            EXPECT_EQ(sent[0].entries, ShownEntries(0.01));

            // File, with no file named yet: the value group goes, nothing is sent.
            session.ClearDriverLog();
            harness::Click(gamma, kFile);
            EXPECT_FALSE(harness::Enabled(gamma, kScroll));
            EXPECT_TRUE(harness::Enabled(gamma, kChoose));
            EXPECT_EQ(harness::Text(gamma, kValueText), L"");
            EXPECT_TRUE(SentTables(session.DriverLog()).empty());

            // Linear: both groups go and the linear table is sent.
            harness::Click(gamma, kLinear);
            EXPECT_FALSE(harness::Enabled(gamma, kScroll));
            EXPECT_FALSE(harness::Enabled(gamma, kChoose));
            sent = SentTables(session.DriverLog());
            ASSERT_EQ(sent.size(), 1u);
            EXPECT_EQ(sent[0].entries, ShownEntries(1.0));

            // Cancel after changes: the saved table of screen 0 only, as the
            // board has one screen.
            session.ClearDriverLog();
            harness::Click(gamma, IDCANCEL);
        });
        auto sent = SentTables(session.DriverLog());
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_EQ(sent[0].screen, 0);
        EXPECT_EQ(sent[0].entries, ShownEntries(1.0));
        EXPECT_TRUE(IsWindowEnabled(main));
    });
    EXPECT_TRUE(session.Boxes().empty());
}

TEST(GammaDialog, ChoosingAScreenSendsNothingAndCancelRestoresBothScreens) {
    AppletSession session("board205-dual-ddc.profile");
    session.SetDword(L"DefaultSettings.DualScreen", 1);
    const struct {
        const wchar_t* digit;
        DWORD value;
    } stored[] = {{L"0", 180}, {L"1", 70}};
    for (const auto& s : stored) {
        session.SetDword((std::wstring(L"DefaultSettings.GammaDataSource") + s.digit).c_str(), 1);
        session.SetDword((std::wstring(L"DefaultSettings.GammaValue") + s.digit).c_str(), s.value);
        StoreBinary((std::wstring(L"DefaultSettings.GammaCorrectionTable") + s.digit).c_str(),
                    ComputedTableBytes(s.value * 0.01));
    }
    session.DoubleClick([&](HWND main) {
        OpenWarmGammaDialog(session, main, [&](HWND gamma) {
            CancelOnExit guard{gamma};
            // Side by side: template 105 with screen 0's side-by-side picture.
            ASSERT_NE(GetDlgItem(gamma, kSideBySide), nullptr);
            EXPECT_TRUE(harness::Visible(gamma, kSideBySide));
            EXPECT_FALSE(harness::Visible(gamma, kStacked));
            EXPECT_TRUE(harness::Checked(gamma, kValue));
            EXPECT_EQ(harness::Text(gamma, kValueText), L"1.80");

            session.ClearDriverLog();
            harness::ClickAt(gamma, kScreenOne);
            EXPECT_EQ(harness::Text(gamma, kValueText), L"0.70");
            EXPECT_EQ(harness::ScrollPosition(gamma, kScroll), 70);
            EXPECT_TRUE(SentTables(session.DriverLog()).empty()) << "choosing a screen sends nothing";

            harness::Scroll(gamma, kScroll, SB_LINERIGHT);
            auto sent = SentTables(session.DriverLog());
            ASSERT_EQ(sent.size(), 1u);
            EXPECT_EQ(sent[0].screen, 1);
            EXPECT_EQ(sent[0].entries, ShownEntries(ShownGamma(gamma)));
            EXPECT_EQ(harness::Text(gamma, kValueText), L"0.71");

            session.ClearDriverLog();
            harness::ClickAt(gamma, kSideBySide);
            EXPECT_EQ(harness::Text(gamma, kValueText), L"1.80");
            EXPECT_TRUE(SentTables(session.DriverLog()).empty());
            harness::Click(gamma, IDCANCEL);
        });
        auto sent = SentTables(session.DriverLog());
        ASSERT_EQ(sent.size(), 2u);
        EXPECT_EQ(sent[0].screen, 0);
        EXPECT_EQ(sent[0].entries, ShownEntries(1.8));
        EXPECT_EQ(sent[1].screen, 1);
        EXPECT_EQ(sent[1].entries, ShownEntries(0.7));
    });
}

TEST(GammaDialog, OkKeepsTheEditedValueWithAWarningForAnUnreadFileAndTheMainOkStoresIt) {
    AppletSession session("board201.profile");
    session.DoubleClick([&](HWND main) {
        session.ExpectDialog([&](HWND gamma) {
            CancelOnExit guard{gamma};
            harness::Click(gamma, kValue);
            harness::Scroll(gamma, kScroll, SB_THUMBPOSITION, 220);
            EXPECT_EQ(harness::Text(gamma, kValueText), L"2.20");
            // The file button with no file read: OK warns and keeps the value.
            harness::Click(gamma, kFile);
            session.ClearDriverLog();
            harness::Click(gamma, IDOK);
            ASSERT_EQ(session.Boxes().size(), 1u);
            EXPECT_EQ(session.Boxes()[0], session.ResourceString(37));
        });
        harness::Click(main, kMainGamma);
        EXPECT_TRUE(SentTables(session.DriverLog()).empty()) << "OK sends nothing";
        harness::Click(main, kMainOk);
    });
    const harness::KeySnapshot key = session.ReadKey();
    EXPECT_EQ(harness::StoredNumber(key, L"DefaultSettings.GammaDataSource0"), 1u);
    EXPECT_EQ(harness::StoredNumber(key, L"DefaultSettings.GammaValue0"), 220u);
    auto table = key.find(L"DefaultSettings.GammaCorrectionTable0");
    ASSERT_NE(table, key.end());
    EXPECT_EQ(table->second.type, static_cast<DWORD>(REG_BINARY));
    EXPECT_TRUE(table->second.bytes == ComputedTableBytes(2.2));
}

TEST(GammaDialog, AChosenFileIsCheckedShownByTheTestPictureForFiveSecondsAndStored) {
    const std::wstring bad = TempFile(L"vca-gamma-bad.gc", GammaFileText("8"));
    const std::wstring good = TempFile(L"vca-gamma-good.gc", GammaFileText("10"));
    AppletSession session("board201.profile");
    session.DoubleClick([&](HWND main) {
        session.ExpectDialog([&](HWND gamma) {
            CancelOnExit guard{gamma};
            harness::Click(gamma, kFile);
            session.ClearDriverLog();

            // A file that does not read: message 37, the record as it was.
            session.ExpectDialog(ChooseFile(bad, &session));
            harness::Click(gamma, kChoose);
            ASSERT_EQ(session.Boxes().size(), 1u);
            EXPECT_EQ(session.Boxes()[0], session.ResourceString(37));
            EXPECT_EQ(harness::Text(gamma, kPath), L"");
            EXPECT_TRUE(IsWindowEnabled(gamma));

            session.ExpectDialog(ChooseFile(good));
            harness::Click(gamma, kChoose);
            EXPECT_EQ(session.Boxes().size(), 1u);
            EXPECT_EQ(harness::Text(gamma, kPath), good);
            EXPECT_TRUE(SentTables(session.DriverLog()).empty()) << "a file's table is sent only by the test";

            // The test picture sends the file's table and, as it ends, the
            // saved one (linear) back: first ended by a timer message sent to
            // it, then by its own five-second timer, which must also leave
            // no GDI object behind.
            std::vector<int> fileEntries;
            for (int i = 0; i < kShownEntries; ++i) fileEntries.push_back(FileEntry(0, i));
            DWORD gdiBefore = 0;
            for (bool ownTimer : {false, true}) {
                if (ownTimer) gdiBefore = harness::GdiObjects();
                session.ClearDriverLog();
                session.ExpectDialog([&](HWND test) {
                    auto sent = SentTables(session.DriverLog());
                    EXPECT_FALSE(sent.empty());
                    if (!sent.empty()) {
                        EXPECT_EQ(sent.back().entries, fileEntries);
                    }
                    EXPECT_FALSE(IsWindowEnabled(gamma));
                    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_WAIT));
                    if (!ownTimer) SendMessageW(test, WM_TIMER, 2, 0);
                });
                const ULONGLONG start = GetTickCount64();
                harness::Click(gamma, kTest);
                const ULONGLONG shownFor = GetTickCount64() - start;
                if (ownTimer) {
                    EXPECT_GE(shownFor, 4900u);
                }
                auto sent = SentTables(session.DriverLog());
                ASSERT_GE(sent.size(), 2u);
                EXPECT_EQ(sent.back().entries, ShownEntries(1.0));
                EXPECT_TRUE(IsWindowEnabled(gamma));
            }
            EXPECT_EQ(harness::GdiObjects(), gdiBefore);
            harness::Click(gamma, IDOK);
        });
        harness::Click(main, kMainGamma);
        harness::Click(main, kMainOk);
    });
    const harness::KeySnapshot key = session.ReadKey();
    EXPECT_EQ(harness::StoredNumber(key, L"DefaultSettings.GammaDataSource0"), 2u);
    auto file = key.find(L"DefaultSettings.GammaFile0");
    ASSERT_NE(file, key.end());
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(file->second.bytes.data())), good);
    auto table = key.find(L"DefaultSettings.GammaCorrectionTable0");
    ASSERT_NE(table, key.end());
    EXPECT_TRUE(table->second.bytes == TableBytes(FileEntry));
    DeleteFileW(bad.c_str());
    DeleteFileW(good.c_str());
}

// Microseconds per step of a 400-step thumb drag.
double DragMicroseconds(HWND gamma) {
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    for (int step = 0; step < 400; ++step) harness::Scroll(gamma, kScroll, SB_THUMBTRACK, 50 + step);
    QueryPerformanceCounter(&end);
    return (end.QuadPart - start.QuadPart) * 1e6 / frequency.QuadPart / 400;
}

// Not a check: how long one step of a 400-step thumb drag takes, from the
// scroll message to the table sent through the simulated driver, with the
// driver's log file written at every request and without it.
TEST(GammaDialog, ThumbDragTiming) {
    AppletSession session("board201.profile");
    session.DoubleClick([&](HWND main) {
        session.ExpectDialog([&](HWND gamma) {
            CancelOnExit guard{gamma};
            harness::Click(gamma, kValue);
            session.ClearDriverLog();
            const double logged = DragMicroseconds(gamma);
            EXPECT_EQ(SentTables(session.DriverLog()).size(), 400u);

            wchar_t logPath[MAX_PATH] = {};
            GetEnvironmentVariableW(L"NRVAVCA_BOARD_LOG", logPath, MAX_PATH);
            SetEnvironmentVariableW(L"NRVAVCA_BOARD_LOG", nullptr);
            const double unlogged = DragMicroseconds(gamma);
            SetEnvironmentVariableW(L"NRVAVCA_BOARD_LOG", logPath);
            std::printf("[ timing   ] 400-step thumb drag: %.1f us per step with the board log file, %.1f us without\n",
                        logged, unlogged);
            harness::Click(gamma, IDCANCEL);
        });
        harness::Click(main, kMainGamma);
    });
}

}  // namespace
