// The demo's headless tour: the real program on the built-in "demo" story, clicked through the way a
// user would, with a picture of every page it reaches, in English and then in Arabic (from a copy of
// the program folder installed as a user installs Arabic).
//   pw_tour OUTPUT_FOLDER
// writes OUTPUT_FOLDER\english\NN-page.bmp and OUTPUT_FOLDER\arabic\NN-page.bmp, each folder with the
// program's trace.txt. Every wait has a deadline: a page that does not come is reported and the tour
// goes on with the story; the program is always ended. The exit code is the number of pages missed.
#include "tests/e2e/harness.h"

#include "common/trace.h"
#include "res/resource.h"
#include "virtual/virtual_hid_win.h"

#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using namespace pwtest;
using namespace pwtest::e2e;

constexpr std::uint8_t kMouse = 2;
// The story's events are seconds apart; a page is waited for at most this long.
constexpr DWORD kPageMs = 30000;
// The pairing watch gives up after 30 one-second ticks.
constexpr DWORD kWatchMs = 30000;
// Wine hands a window's finished drawing to the display within a few frames.
constexpr DWORD kPaintSettleMs = 300;

bool SaveBmp(const std::wstring& path, HDC dc, HBITMAP bitmap, int width, int height) {
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    const int stride = (width * 3 + 3) & ~3;
    info.biSizeImage = static_cast<DWORD>(stride * height);
    std::vector<char> bits(info.biSizeImage);
    if (GetDIBits(dc, bitmap, 0, static_cast<UINT>(height), bits.data(), reinterpret_cast<BITMAPINFO*>(&info),
                  DIB_RGB_COLORS) != height)
        return false;
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + info.biSizeImage;
    FILE* out = _wfopen(path.c_str(), L"wb");
    if (!out) return false;
    const bool ok = fwrite(&file, sizeof file, 1, out) == 1 && fwrite(&info, sizeof info, 1, out) == 1 &&
                    fwrite(bits.data(), bits.size(), 1, out) == 1;
    return fclose(out) == 0 && ok;
}

// What the screen shows inside the window's rectangle, the windows above it included.
bool CaptureScreen(const RECT& r, const std::wstring& path) {
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    if (width <= 0 || height <= 0) return false;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    const bool copied = BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY) != FALSE;
    SelectObject(memory, old);
    const bool ok = copied && SaveBmp(path, memory, bitmap, width, height);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return ok;
}

class Tour {
public:
    Tour(const std::wstring& programFolder, const std::wstring& shots)
        : m_folder(programFolder), m_shots(shots),
          m_program({.program = programFolder + L"\\Pairwright.exe",
                     .environment = {{pw::kVirtualEnvironmentVariable, L"demo"},
                                     {pw::trace::kEnvironmentVariable, m_trace.Path()}}}) {}

    int Run() {
        m_main = m_program.WaitForMainWindow();
        if (!m_main) {
            Missing("the main window");
            return m_missing;
        }
        m_view = m_trace.WaitForOpen("IDD_ITEM_VIEW");
        Welcome();
        PairAMouse();
        RemoveAMouse();
        About();
        AlreadyConnected();
        TwoReceivers();
        DeviceLimited();
        NeverShowsUp();
        PulledOutAndBack();
        if (!m_program.Close()) Missing("a clean end of the program");
        // What the program did on the way, beside its pictures.
        CopyFileW(m_trace.Path().c_str(), (m_shots + L"\\trace.txt").c_str(), FALSE);
        return m_missing;
    }

private:
    void Missing(const std::string& what) {
        ++m_missing;
        std::fprintf(stderr, "pw_tour: %5.1f s  %s did not come\n",
                     static_cast<double>(GetTickCount64() - m_start) / 1000, what.c_str());
    }

    // The next window of the template shown after the last page, waiting for it.
    HWND Next(const char* symbol, DWORD timeoutMs = kPageMs) {
        HWND wnd = m_trace.WaitForShown(symbol, timeoutMs, m_mark);
        if (!wnd) Missing(symbol);
        return wnd;
    }

    // Marks where in the trace the next page is looked for.
    void Mark() { m_mark = m_trace.Lines().size(); }

    bool Press(HWND dialog, int id, const char* what) {
        if (dialog && Click(dialog, id)) return true;
        Missing(std::string("a press of ") + what);
        return false;
    }

    void Shoot(HWND window, const char* name) {
        if (!window) return;
        // Painted in full: the program draws the whole window before the redraw returns.
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kWaitMs, &ignored);
        Sleep(kPaintSettleMs);
        // A title bar is the window manager's to draw; without one it shows what lies behind.
        RECT r{};
        if (GetWindowLongW(window, GWL_STYLE) & WS_CAPTION) {
            GetClientRect(window, &r);
            MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&r), 2);
        } else {
            GetWindowRect(window, &r);
        }
        const std::wstring file = m_shots + L"\\" + std::wstring(name, name + strlen(name)) + L".bmp";
        if (!CaptureScreen(r, file)) return Missing(std::string("the picture ") + name);
        std::printf("pw_tour: %5.1f s  %s\n", static_cast<double>(GetTickCount64() - m_start) / 1000, name);
        std::fflush(stdout);
    }

    // The main window with nothing over it, once the list reads as expected.
    void ShootMain(const char* name, const std::string& list) {
        std::string shown;
        if (!WaitUntil([&] { return (shown = Describe(Rows(m_trace, m_view))) == list; }, kWaitMs))
            std::fprintf(stderr, "pw_tour: %s shows %s\n", name, shown.c_str());
        if (VisibleWindows(m_program).size() > 1)
            std::fprintf(stderr, "pw_tour: %s has another window over it\n", name);
        Shoot(m_main, name);
    }

    std::string Device(const char* name, std::uint8_t kind) {
        return " | IDD_DEVICE_ITEM " + Utf8(DeviceName(m_folder, name, kind));
    }

    static constexpr char kReceiver[] = "IDD_RECEIVER_ITEM Vorn Veltrane Receiver";
    static constexpr char kAdd[] = " | IDD_ADD_NEW_DEV";

    void Welcome() {
        HWND welcome = Next("IDD_WELCOME");
        Shoot(welcome, "01-welcome");
        Mark();
        if (!Press(welcome, IDC_BTN_LEARN_PAIR, "Learn how to add devices")) return;
        HWND help = Next("IDD_PAIR_HELP");
        m_trace.WaitForClose(welcome);
        Shoot(help, "02-pairing-help");
        if (!Press(help, IDC_BTN_GO_CONTROL_PANEL, "Go to Veltrane Control Panel")) return;
        m_trace.WaitForClose(help);
        ShootMain("03-main-window", kReceiver + Device("QT 1", 1) + Device("QT 2", kMouse) + kAdd);
    }

    void PairAMouse() {
        Mark();
        HWND request = Next("IDD_PAIR_REQ");
        Shoot(request, "04-pair-request");
        Mark();
        if (!Press(request, IDC_BTN_ADD_DEVICE, "Add Device")) return;
        HWND progress = Next("IDD_PAIR_PROGRESS");
        Shoot(progress, "05-pairing-progress");
        HWND success = Next("IDD_PAIR_SUCC", kWatchMs);
        Shoot(success, "06-pairing-success");
        if (!Press(success, IDC_BTN_FINISH, "Finish")) return;
        m_trace.WaitForClose(success);
        ShootMain("07-device-added",
                  kReceiver + Device("QT 1", 1) + Device("QT 2", kMouse) + Device("QT 5", kMouse) + kAdd);
    }

    void RemoveAMouse() {
        const std::wstring mouse = DeviceName(m_folder, "QT 2", kMouse);
        HWND row = nullptr;
        for (const Row& each : Rows(m_trace, m_view)) {
            if (each.name == mouse) row = each.hwnd;
        }
        Mark();
        if (!Press(row, IDC_BTN_DELETE_DEV, "Remove Device")) return;
        HWND question = Next("IDD_DEL_DEV_REQ");
        Shoot(question, "08-remove-device");
        if (!Press(question, IDC_BTN_DELETE, "Remove")) return;
        m_trace.WaitForClose(row);
        WaitUntil([&] { return IsWindowEnabled(m_main) != FALSE; }, kWaitMs);
        ShootMain("09-device-removed", kReceiver + Device("QT 1", 1) + Device("QT 5", kMouse) + kAdd);
    }

    void About() {
        PostMessageW(m_main, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
        HWND about = WaitForWindowTitled(m_program, L"About Pairwright");
        if (!about) return Missing("the about box");
        WaitUntil([&] { return IsWindowVisible(about) != FALSE; }, kWaitMs);
        Shoot(about, "10-about");
        pwtest::e2e::CloseWindow(about);
        WaitUntil([&] { return !IsWindow(about) && IsWindowEnabled(m_main); }, kWaitMs);
    }

    void AlreadyConnected() {
        Mark();
        HWND redundant = Next("IDD_REDUNDANT");
        Shoot(redundant, "11-redundant-connection");
        if (Press(redundant, IDC_BTN_REDANT_OK, "OK")) m_trace.WaitForClose(redundant);
    }

    void TwoReceivers() {
        Mark();
        if (!m_trace.WaitFor("discovery", "^arrival receiver ", kPageMs, m_mark))
            Missing("the second receiver");
        // Listed under the first, opened by its keyboard.
        ShootMain("12-two-receivers", kReceiver + Device("QT 1", 1) + Device("QT 5", kMouse) + kAdd + " | " +
                                          kReceiver + Device("QT 8", 1) + kAdd);
        HWND multiple = Next("IDD_FORBID_PAIR");
        Shoot(multiple, "13-multiple-receivers");
        if (multiple && !m_trace.WaitForClose(multiple, kPageMs))
            Missing("the close of the multiple-receivers page");
    }

    void DeviceLimited() {
        Mark();
        HWND failed = Next("IDD_PAIR_FAILED");
        Shoot(failed, "14-device-limited");
        if (Press(failed, IDC_BTN_OK, "OK")) m_trace.WaitForClose(failed);
    }

    void NeverShowsUp() {
        Mark();
        HWND request = Next("IDD_PAIR_REQ");
        Mark();
        if (!Press(request, IDC_BTN_ADD_DEVICE, "Add Device")) return;
        if (!Next("IDD_PAIR_PROGRESS")) return;
        HWND failed = Next("IDD_PAIR_FAILED_MSG", kWatchMs + kPageMs);
        Shoot(failed, "15-pairing-timed-out");
        if (Press(failed, IDC_BTN_GO_CONTROL_PANEL, "Go to Veltrane Control Panel"))
            m_trace.WaitForClose(failed);
    }

    void PulledOutAndBack() {
        Mark();
        if (!m_trace.WaitFor("discovery", "^removal receiver ", kPageMs, m_mark))
            Missing("the pulled-out receiver");
        HWND tip = m_trace.WaitForOpen("IDD_NO_DONGLE_TIP");
        WaitUntil([&] { return tip && IsWindowVisible(tip); }, kWaitMs);
        ShootMain("16-no-receiver", "");
        Mark();
        if (!m_trace.WaitFor("discovery", "^arrival receiver ", kPageMs, m_mark))
            Missing("the receiver plugged in again");
        ShootMain("17-receiver-back", kReceiver + Device("QT 1", 1) + Device("QT 5", kMouse) + kAdd);
    }

    std::wstring m_folder;
    std::wstring m_shots;
    Trace m_trace;
    Program m_program;
    HWND m_main = nullptr;
    HWND m_view = nullptr;
    std::size_t m_mark = 0;
    int m_missing = 0;
    ULONGLONG m_start = GetTickCount64();
};

} // namespace

int main() {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 2) {
        std::fprintf(stderr, "usage: pw_tour OUTPUT_FOLDER\n");
        return 2;
    }
    const std::filesystem::path output = argv[1];
    LocalFree(argv);
    int missing = 0;
    for (const bool arabic : {false, true}) {
        const std::filesystem::path shots = output / (arabic ? "arabic" : "english");
        std::filesystem::create_directories(shots);
        std::printf("pw_tour: the story in %s\n", arabic ? "Arabic" : "English");
        std::fflush(stdout);
        // A first start: the welcome page opens with the main window.
        ForgetSettings();
        if (arabic) {
            const ProgramCopy copy(ProgramCopy::Arabic);
            missing += Tour(copy.Folder(), shots.wstring()).Run();
        } else {
            missing += Tour(ProgramFolder(), shots.wstring()).Run();
        }
        ForgetSettings();
    }
    return missing;
}
