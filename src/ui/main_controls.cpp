// The main dialog's control operations: each reads the working settings,
// the active view or the catalogue and writes the controls that show them.
#include "ui/main_controls.h"

#include <string>

#include "base/app_state.h"
#include "base/resource_library.h"
#include "base/text.h"
#include "dialogs/main_session.h"
#include "dialogs/main_texts.h"
#include "driver/board_identity.h"
#include "modes/mode_controls.h"
#include "modes/mode_table.h"
#include "timingdb/monitor_catalogue.h"
#include "platform/platform.h"
#include "resource.h"
#include "settings/hardware_info.h"
#include "ui/dialog_support.h"

namespace vca {

namespace {

constexpr std::uint32_t kColourString = 44;
constexpr std::uint32_t kFixedRefreshString = 86;
constexpr std::uint32_t kResolutionUnitString = 10;
constexpr int kUnitChars = 128;

HWND Main() { return MainDialogWindow(); }

LRESULT Send(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return SendDlgItemMessageW(Main(), id, message, wParam, lParam);
}

const wchar_t* W(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

std::u16string RateText(std::uint32_t rate) { return FormatText(u"%ld Hz.", {static_cast<long>(rate)}); }

std::u16string ComboText(int id, LRESULT index) {
    LRESULT length = Send(id, CB_GETLBTEXTLEN, static_cast<WPARAM>(index));
    if (length == CB_ERR) return {};
    std::u16string text(static_cast<std::size_t>(length) + 1, u'\0');
    Send(id, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(TextLength(text.c_str(), text.size()));
    return text;
}

// The dialog bitmap, held while the main dialog is open.
struct DialogBitmap {
    MemoryBitmap image;
    HWND frame = nullptr;
    HDC frameDc = nullptr;
    RECT client{};
    int width = 0;
    int height = 0;
} picture;

}  // namespace

void SetupResolutionControls() {
    HWND scroll = GetDlgItem(Main(), IDC_MAIN_RESOLUTION_SCROLL);
    SetScrollRange(scroll, SB_CTL, 1, static_cast<int>(modeCount), FALSE);
    SetScrollPos(scroll, SB_CTL, FindCurrentResolution() + 1, TRUE);
    SetItemText(Main(), IDC_MAIN_RESOLUTION_TEXT, ResolutionText());
    ShowModeFigures();
}

std::u16string ResolutionText() {
    return FormatText(u"%ld x %ld %s", {static_cast<long>(workingSettings.XResolution),
                                         static_cast<long>(workingSettings.YResolution),
                                         LoadResourceString(kResolutionUnitString, kUnitChars)});
}

void ShowModeFigures() {
    const ModeViewEntry* entry = CurrentViewEntry();
    static constexpr int kFigureControls[4] = {IDC_MAIN_FIGURE_1, IDC_MAIN_FIGURE_2, IDC_MAIN_FIGURE_3,
                                               IDC_MAIN_FIGURE_4};
    for (int i = 0; i < 4; ++i) {
        std::u16string text = entry ? FormatText(u"%d", {static_cast<int>(entry->pixelFormat[i])}) : u"";
        SetItemText(Main(), kFigureControls[i], text);
    }
}

void FillColourList() {
    Send(IDC_MAIN_COLOUR, CB_RESETCONTENT);
    std::u16string text = LoadResourceString(kColourString);
    LRESULT index = Send(IDC_MAIN_COLOUR, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(W(text)));
    if (index >= 0) Send(IDC_MAIN_COLOUR, CB_SETITEMDATA, static_cast<WPARAM>(index), kColourString);
}

void SelectColourItem() {
    std::u16string text = LoadResourceString(kColourString);
    LRESULT index = Send(IDC_MAIN_COLOUR, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                         reinterpret_cast<LPARAM>(W(text)));
    Send(IDC_MAIN_COLOUR, CB_SETCURSEL, static_cast<WPARAM>(index));
}

void SyncColourDepth() {
    FillColourList();
    if (const ModeViewEntry* entry = CurrentViewEntry()) workingSettings.BitsPerPel = entry->colorDepth;
    SelectColourItem();
}

void OnColourChanged() {
    LRESULT index = Send(IDC_MAIN_COLOUR, CB_GETCURSEL);
    if (index == CB_ERR) return;
    if (Send(IDC_MAIN_COLOUR, CB_GETITEMDATA, static_cast<WPARAM>(index)) != kColourString) return;
    if (const ModeViewEntry* entry = CurrentViewEntry()) workingSettings.BitsPerPel = entry->colorDepth;
}

void FillRefreshList() {
    Send(IDC_MAIN_REFRESH, CB_RESETCONTENT);
    const ModeViewEntry* entry = CurrentViewEntry();
    for (std::uint32_t i = 0; entry && entry->rates && i < maxRateCount && entry->rates[i] != 0; ++i)
        Send(IDC_MAIN_REFRESH, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(W(RateText(entry->rates[i]))));
}

void ShowFixedRefresh() {
    workingSettings.VRefresh = 0;
    Send(IDC_MAIN_REFRESH, CB_RESETCONTENT);
    std::u16string text = LoadResourceString(kFixedRefreshString);
    Send(IDC_MAIN_REFRESH, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(W(text)));
    Send(IDC_MAIN_REFRESH, CB_SETCURSEL, 0);
}

void SelectRefresh() {
    LRESULT index = Send(IDC_MAIN_REFRESH, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                         reinterpret_cast<LPARAM>(W(RateText(workingSettings.VRefresh))));
    if (index == CB_ERR) {
        const ModeViewEntry* entry = CurrentViewEntry();
        workingSettings.VRefresh = entry && entry->rates ? entry->rates[0] : 0;
        index = Send(IDC_MAIN_REFRESH, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(W(RateText(workingSettings.VRefresh))));
    }
    Send(IDC_MAIN_REFRESH, CB_SETCURSEL, static_cast<WPARAM>(index));
}

void ShowRefreshChoice() {
    if (fixedRefresh) {
        ShowFixedRefresh();
    } else {
        FillRefreshList();
        SelectRefresh();
    }
}

void KeepNearestRefresh() {
    FillRefreshList();
    const ModeViewEntry* entry = CurrentViewEntry();
    if (entry) workingSettings.VRefresh = NearestRefresh(entry->rates, workingSettings.VRefresh);
    SelectRefresh();
}

void OnRefreshChanged() {
    LRESULT index = Send(IDC_MAIN_REFRESH, CB_GETCURSEL);
    workingSettings.VRefresh = index == CB_ERR ? 0 : LeadingNumber(ComboText(IDC_MAIN_REFRESH, index).c_str());
}

void FillMonitorList() {
    Send(IDC_MAIN_MONITOR, CB_RESETCONTENT);
    for (std::uint32_t index : OfferedMonitors()) {
        LRESULT item = Send(IDC_MAIN_MONITOR, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(monitorCatalogue[index].name));
        if (item >= 0) Send(IDC_MAIN_MONITOR, CB_SETITEMDATA, static_cast<WPARAM>(item), index);
    }
}

void SelectMonitor() {
    std::int32_t position = ChooseInitialMonitor(OfferedMonitors());
    Send(IDC_MAIN_MONITOR, CB_SETCURSEL, static_cast<WPARAM>(position));
}

namespace {

// The catalogue entry of the monitor list's selection, or null.
const MonitorEntry* SelectedMonitor() {
    LRESULT item = Send(IDC_MAIN_MONITOR, CB_GETCURSEL);
    if (item == CB_ERR || !monitorCatalogue) return nullptr;
    LRESULT index = Send(IDC_MAIN_MONITOR, CB_GETITEMDATA, static_cast<WPARAM>(item));
    if (index < 0) return nullptr;
    for (LRESULT i = 0; i <= index; ++i)
        if (monitorCatalogue[i].name[0] == u'\0') return nullptr;  // past the catalogue's end
    return &monitorCatalogue[index];
}

void TakeMonitor(const MonitorEntry& entry) {
    workingSettings.Description[0] = u'\0';
    workingSettings.TagStr[0] = u'\0';
    CopyText(workingSettings.Description, entry.name);
    CopyText(workingSettings.TagStr, entry.tagName);
}

void ShowStereoControls() {
    HWND dialog = Main();
    if (AnyStereoRates()) {
        EnableItem(dialog, IDC_MAIN_STEREO_GROUP, true);
        EnableItem(dialog, IDC_MAIN_STEREO, true);
        CheckItem(dialog, IDC_MAIN_STEREO, workingSettings.Stereo != 0);
    } else {
        if (!boardIdentity.secondScreen) EnableItem(dialog, IDC_MAIN_STEREO_GROUP, false);
        EnableItem(dialog, IDC_MAIN_STEREO, false);
        CheckItem(dialog, IDC_MAIN_STEREO, false);
    }
}

}  // namespace

void OnMonitorChanged() {
    const MonitorEntry* entry = SelectedMonitor();
    if (!entry) return;
    TakeMonitor(*entry);
    EnableItem(Main(), IDC_MAIN_MONITOR_TIMINGS, IsDdcMonitorName(workingSettings.Description));
    RebuildForMonitor(ApplyMonitorTag(entry->tagName));
}

void RebuildForMonitor(bool lumaris) {
    MonitorCodeForRebuild(lumaris);
    ShowMonitorText();
    RebuildTablesForMonitor();
    ShowStereoControls();
    EnsureResolutionListed();
    SyncColourDepth();
    if (fixedRefresh)
        ShowFixedRefresh();
    else
        KeepNearestRefresh();
    SetupResolutionControls();
}

void StoreChosenMonitor() {
    if (const MonitorEntry* entry = SelectedMonitor()) TakeMonitor(*entry);
}

void ShowMonitorText() { SetItemText(Main(), monitorTextControl, MonitorText()); }

void ShowTextureMemory() {
    SetItemText(Main(), IDC_MAIN_TEXTURE_MEMORY,
                std::u16string(hardwareInfo.textureMemory,
                               TextLength(hardwareInfo.textureMemory, sizeof hardwareInfo.textureMemory / 2)));
}

void SetArrangementButtons(std::uint32_t value, bool enable) {
    HWND dialog = Main();
    EnableItem(dialog, IDC_MAIN_ARRANGEMENT_1, enable);
    EnableItem(dialog, IDC_MAIN_ARRANGEMENT_2, enable);
    CheckItem(dialog, IDC_MAIN_ARRANGEMENT_1, enable && value == 1);
    CheckItem(dialog, IDC_MAIN_ARRANGEMENT_2, enable && value != 1);
}

void SetPreferenceButtons(std::uint32_t bit, bool enable) {
    HWND dialog = Main();
    EnableItem(dialog, IDC_MAIN_PREFERENCE_SET, enable);
    EnableItem(dialog, IDC_MAIN_PREFERENCE_CLEAR, enable);
    CheckItem(dialog, IDC_MAIN_PREFERENCE_SET, enable && bit != 0);
    CheckItem(dialog, IDC_MAIN_PREFERENCE_CLEAR, enable && bit == 0);
}

void ShowDualScreenControls() {
    HWND dialog = Main();
    const bool on = workingSettings.DualScreen != 0;
    CheckItem(dialog, IDC_MAIN_DUAL_SCREEN, on);
    EnableItem(dialog, IDC_MAIN_ARRANGEMENT_LABEL, on);
    EnableItem(dialog, IDC_MAIN_OPTION_LABEL, on);
    SetArrangementButtons(workingSettings.DualScreen, on);
    SetPreferenceButtons(workingSettings.Preference1, on);
}

void LoadDialogBitmap() {
    ReleaseDialogBitmap();
    picture.frame = GetDlgItem(Main(), IDC_MAIN_PICTURE);
    if (!picture.frame) return;
    GetClientRect(picture.frame, &picture.client);
    picture.frameDc = GetDC(picture.frame);
    if (!LoadMemoryBitmap(&picture.image, IDB_MONITOR, picture.frameDc)) return;
    BITMAP info{};
    GetObjectW(picture.image.bitmap, sizeof info, &info);
    picture.width = info.bmWidth;
    picture.height = info.bmHeight;
}

void PaintDialogBitmap() {
    if (!picture.image.previous || !picture.frameDc) return;
    const RECT& r = picture.client;
    StretchBlt(picture.frameDc, r.left + 1, r.top + 1, (r.right - r.left) - 2, (r.bottom - r.top) - 2,
               picture.image.memory, 0, 0, picture.width, picture.height, SRCCOPY);
}

void ReleaseDialogBitmap() {
    ReleaseMemoryBitmap(&picture.image);
    if (picture.frameDc) ReleaseDC(picture.frame, picture.frameDc);
    picture = DialogBitmap{};
}

}  // namespace vca
