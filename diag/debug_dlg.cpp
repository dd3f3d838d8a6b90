#include "diag/debug_dlg.h"

#include "common/trace.h"
#include "framework/handles.h"
#include "res/resource.h"

#include <algorithm>
#include <cwctype>
#include <span>
#include <utility>

namespace pw {

namespace {

std::wstring SystemErrorText(DWORD error) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                            FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = buffer ? std::wstring(buffer, length) : std::wstring();
    LocalFree(buffer);
    while (!text.empty() && std::iswspace(text.back()))
        text.pop_back();
    return text.empty() ? L"Error " + std::to_wstring(error) : text;
}

DWORD LastErrorOr(DWORD fallback) {
    const DWORD error = GetLastError();
    return error ? error : fallback;
}

// Writes the bytes to a temporary file beside `path` and only then puts that file in its place, so a
// failed save never leaves a truncated log where a good one was. Returns 0 or the system error.
DWORD WriteFileReplacing(const std::wstring& path, std::span<const std::uint8_t> bytes) {
    const std::wstring temp = path + L".tmp";
    DWORD error = 0;
    {
        fw::UniqueKernelHandle file(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                                FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return LastErrorOr(ERROR_CANNOT_MAKE);
        for (size_t done = 0; done < bytes.size() && !error;) {
            const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
            DWORD written = 0;
            if (!WriteFile(file.get(), bytes.data() + done, chunk, &written, nullptr) || written == 0)
                error = LastErrorOr(ERROR_WRITE_FAULT);
            done += written;
        }
        if (!error && !FlushFileBuffers(file.get())) error = LastErrorOr(ERROR_WRITE_FAULT);
    }
    if (!error &&
        !MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        error = LastErrorOr(ERROR_WRITE_FAULT);
    if (error) DeleteFileW(temp.c_str());
    return error;
}

} // namespace

void ShowSaveErrorBox(HWND owner, const std::wstring& message) {
    MessageBoxW(owner, message.c_str(), L"Debug Dialog", MB_OK | MB_ICONERROR);
}

CDlgDebug::CDlgDebug(std::wstring moduleFolder, SaveErrorReporter reporter)
    : CDialog(IDD_DEBUG), m_mapEvents(MakeDebugEventTable()), m_strModuleFolder(std::move(moduleFolder)),
      m_fnReportError(std::move(reporter)) {}

LRESULT CDlgDebug::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CLOSE: return OnClose();
    case WM_NCDESTROY: trace::WindowEvent("close", "IDD_DEBUG", m_hWnd); break;
    }
    return CDialog::WindowProc(message, wParam, lParam);
}

BOOL CDlgDebug::OnInitDialog() {
    const BOOL result = CDialog::OnInitDialog();
    trace::WindowEvent("open", "IDD_DEBUG", m_hWnd);
    return result;
}

void CDlgDebug::DoDataExchange() {
    BindControl(IDC_LIST_LOG, m_lstLog);
}

bool CDlgDebug::OnCommand(WORD id, WORD code, HWND control) {
    if (id == IDC_BTN_SAVE && code == BN_CLICKED) return OnSave(), true;
    return CDialog::OnCommand(id, code, control);
}

LRESULT CDlgDebug::OnClose() {
    OnOK();
    return 0;
}

void CDlgDebug::AddLogLine(const DeviceSlotRecord& data) {
    if (!m_lstLog.m_hWnd) return;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&data);
    if (const auto line = DebugLogLine(m_mapEvents, bytes[0], bytes[1]))
        m_lstLog.SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line->c_str()));
}

std::vector<std::wstring> CDlgDebug::GetLines() const {
    std::vector<std::wstring> lines;
    HWND list = m_lstLog.m_hWnd;
    const LRESULT count = list ? ::SendMessageW(list, LB_GETCOUNT, 0, 0) : 0;
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = ::SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        if (length == LB_ERR) continue;
        std::wstring line(static_cast<size_t>(length) + 1, L'\0');
        const LRESULT copied =
            ::SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(line.data()));
        line.resize(copied == LB_ERR ? 0 : static_cast<size_t>(copied));
        lines.push_back(std::move(line));
    }
    return lines;
}

std::wstring CDlgDebug::GetLogPath() const {
    if (m_strModuleFolder.empty()) return kPairingLogFile;
    const wchar_t last = m_strModuleFolder.back();
    return m_strModuleFolder + (last == L'\\' || last == L'/' ? L"" : L"\\") + kPairingLogFile;
}

void CDlgDebug::OnSave() {
    const std::wstring path = GetLogPath();
    const DWORD error = WriteFileReplacing(path, EncodeLogFile(GetLines()));
    if (error && m_fnReportError)
        m_fnReportError(m_hWnd, L"The debug log could not be saved to \"" + path + L"\".\n\n" +
                                    SystemErrorText(error));
}

} // namespace pw
