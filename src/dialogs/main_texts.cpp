#include "dialogs/main_texts.h"

#include "base/app_state.h"
#include "base/resource_library.h"
#include "base/text.h"
#include "driver/board_identity.h"
#include "resource.h"

namespace vca {

namespace {

constexpr int kLineChars = 200;
constexpr int kPieceChars = 80;
constexpr int kMonitorTextChars = 90;

void Append(std::u16string* line, const std::u16string& piece) {
    line->append(piece);
    if (line->size() > kLineChars - 1) line->resize(kLineChars - 1);
}

std::u16string Piece(std::uint32_t id) { return LoadResourceString(id, kPieceChars); }

std::u16string BoardName() {
    switch (boardIdentity.boardCode) {
        case 207: return u"Keltra Lite";
        case 210: return u"Keltra Pro";
        default: return Piece(BoardNameStringId(boardIdentity));
    }
}

}  // namespace

BoardLines MakeBoardLines() {
    BoardLines lines{};
    lines.monitorTextControl = IDC_MAIN_CAPABILITY_LINE;
    if (driverAbsent) {
        lines.noDriver = true;
        lines.notice = Piece(9);
        lines.boardLine = Piece(23);
        lines.capabilityShown = true;
        lines.capability = Piece(56);
        lines.monitorTextControl = IDC_MAIN_MONITOR_TEXT;
        return lines;
    }
    std::u16string line = LoadResourceString(8, kLineChars);
    if (boardIdentity.secondScreen) Append(&line, Piece(30));
    Append(&line, BoardName());
    const bool option = boardIdentity.optionFlag != 0;
    const bool texture = boardIdentity.textureMemory != 0;
    const std::uint32_t board = boardIdentity.boardCode;
    if (board == 205 || board == 206) {
        Append(&line, u" ");
        Append(&line, Piece(board == 205 ? 1212 : 1213));
        if (option || texture) {
            Append(&line, u"-");
            if (option) Append(&line, u"G");
            if (texture) Append(&line, u"T");
        }
        lines.boardLine = line;
        return lines;
    }
    lines.boardLine = line;
    if (!option && !texture) return lines;
    std::u16string capability;
    if (option) Append(&capability, Piece(72));
    if (texture) {
        if (option) Append(&capability, u" && ");
        Append(&capability, Piece(73));
    }
    Append(&capability, Piece(75));
    lines.capabilityShown = true;
    lines.capability = capability;
    lines.monitorTextControl = IDC_MAIN_MONITOR_TEXT;
    return lines;
}

std::u16string MonitorText() {
    const bool two = boardIdentity.secondScreen != 0;
    std::uint32_t id = 0;
    switch (boardIdentity.monitorCode) {
        case 17: case 19: id = two ? 55 : 12; break;
        case 20: id = two ? 52 : 13; break;
        case 21: id = two ? 53 : 14; break;
        case 27: id = two ? 54 : 15; break;
        default: break;
    }
    if (id == 0) {
        return std::u16string(workingSettings.Description,
                              TextLength(workingSettings.Description, kDescriptionChars));
    }
    return LoadResourceString(id, kMonitorTextChars);
}

}  // namespace vca
