#include "panel/panel_rules.h"

#include <algorithm>
#include <numeric>

namespace pw {

std::wstring HardwareIdDisplayForm(std::wstring_view id) {
    std::wstring shown;
    shown.reserve(id.size() + 8);
    for (const wchar_t c : id) {
        if (c == L'_')
            shown += L':';
        else if (c == L'&')
            shown += L"     ";
        else
            shown += (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c;
    }
    return shown;
}

std::wstring DeviceFirmwareText(const DeviceSlotRecord& record) {
    return FormatFirmwareW(record.firmwareHigh, record.firmwareLow);
}

int IndicatorImage(int keyboards, int mice) {
    const int paired = keyboards + mice;
    return paired >= 0 && paired <= kSlotCount ? paired : 0;
}

std::wstring SettingsCommandLine(std::wstring_view systemFolder, std::uint8_t kind) {
    if ((kind != kKindKeyboard && kind != kKindMouse) || systemFolder.empty()) return {};
    std::wstring program(systemFolder);
    if (program.back() != L'\\') program += L'\\';
    program += L"rundll32.exe";
    // Unquoted, a blank in the folder would let the system try a shorter program name first.
    if (program.find(L' ') != std::wstring::npos) program = L'"' + program + L'"';
    return program + L" shell32.dll, Control_RunDLL main.cpl @" + (kind == kKindKeyboard ? L"1" : L"0");
}

ui::Size ReceiverTotalSize(ui::Size own, bool expanded, std::span<const ui::Size> listItems) {
    ui::Size total = own;
    if (expanded) {
        for (const ui::Size& item : listItems) {
            total.cy += item.cy;
            total.cx = std::max(total.cx, item.cx);
        }
    }
    total.cy += kReceiverGap;
    return total;
}

std::vector<RowMove> PlanMoveTo(int x, int y, int currentTop, int ownHeight, bool expanded,
                                std::span<const int> listItemHeights) {
    const int count = static_cast<int>(listItemHeights.size());
    std::vector<RowMove> moves;
    moves.reserve(listItemHeights.size() + 1);
    if (!expanded) {
        moves.push_back({kReceiverRow, RowAction::Place, x, y});
        for (int row = 0; row < count; ++row)
            moves.push_back({row, RowAction::Hide});
        return moves;
    }
    if (y < currentTop) {
        moves.push_back({kReceiverRow, RowAction::Place, x, y});
        int top = y + ownHeight;
        for (int row = 0; row < count; ++row) {
            moves.push_back({row, RowAction::PlaceAndShow, x, top});
            top += listItemHeights[static_cast<std::size_t>(row)];
        }
        return moves;
    }
    int bottom = y + ownHeight + std::accumulate(listItemHeights.begin(), listItemHeights.end(), 0);
    for (int row = count - 1; row >= 0; --row) {
        bottom -= listItemHeights[static_cast<std::size_t>(row)];
        moves.push_back({row, RowAction::PlaceAndShow, x, bottom});
    }
    moves.push_back({kReceiverRow, RowAction::Place, x, bottom - ownHeight});
    return moves;
}

} // namespace pw
