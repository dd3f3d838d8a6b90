// The debug dialog: one line per pairing-state report of the receiver, saved on request to
// "PairingLog.txt" in the program folder. Modeless; OK, Escape and the close box destroy the window, so
// the next report opens a fresh, empty dialog. The lines live only in the list box.
#pragma once

#include "common/types.h"
#include "diag/debug_log.h"
#include "framework/dialog.h"

#include <functional>
#include <string>
#include <vector>

namespace pw {

// Tells the user why a save failed; the program shows a message box, tests record the text.
using SaveErrorReporter = std::function<void(HWND owner, const std::wstring& message)>;
void ShowSaveErrorBox(HWND owner, const std::wstring& message);

class CDlgDebug : public CDialog {
public:
    explicit CDlgDebug(std::wstring moduleFolder, SaveErrorReporter reporter = ShowSaveErrorBox);

    // data: the 29 bytes after the notification code; byte 0 is the event code, byte 1 its value.
    void AddLogLine(const DeviceSlotRecord& data);
    std::vector<std::wstring> GetLines() const;
    std::wstring GetLogPath() const;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void DoDataExchange() override;
    BOOL OnInitDialog() override;
    void OnCancel() override { OnOK(); }
    bool OnCommand(WORD id, WORD code, HWND control) override;

private:
    LRESULT OnClose();
    void OnSave();

    CWnd m_lstLog;
    const DebugEventTable m_mapEvents;
    const std::wstring m_strModuleFolder;
    const SaveErrorReporter m_fnReportError;
};

} // namespace pw
