#include "panel_rig.h"

#include "common/post.h"
#include "lang/multi_language.h"
#include "res/dialog_layouts.h"
#include "skin/gdiplus_util.h"
#include "tests/support/bmp_file.h"

#include <cstdio>
#include <iterator>

namespace pw::test {
namespace {

namespace fs = std::filesystem;

constexpr wchar_t kWindowClass[] = L"PairwrightPanelTestWindow";

class GdiplusEnvironment final : public ::testing::Environment {
public:
    void SetUp() override { m_session = std::make_unique<gdip::Session>(); }
    void TearDown() override { m_session.reset(); }

private:
    std::unique_ptr<gdip::Session> m_session;
};
[[maybe_unused]] const auto* const g_gdiplus = ::testing::AddGlobalTestEnvironment(new GdiplusEnvironment);

void WriteBmp(const fs::path& path, int width, int height) {
    ASSERT_TRUE(pwtest::Bmp24(width, height, 0x80).Save(path.wstring())) << path;
}

void RegisterWindowClass() {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = kWindowClass;
    RegisterClassExW(&wc);
}

// The script of the modal dialog open right now, for the thread timer that drives it.
const std::function<bool(HWND)>* g_modalScript = nullptr;
int g_modalTicks = 0;
bool g_modalDone = false;

void CALLBACK ModalTick(HWND, UINT, UINT_PTR, DWORD) {
    if (g_modalDone || !g_modalScript) return;
    std::vector<HWND> windows;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND wnd, LPARAM list) {
            if (IsWindowVisible(wnd)) reinterpret_cast<std::vector<HWND>*>(list)->push_back(wnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));
    for (HWND wnd : windows) {
        if ((*g_modalScript)(wnd)) {
            g_modalDone = true;
            return;
        }
    }
    // A dialog the script never recognises must not hold the test for ever.
    if (++g_modalTicks == 250) {
        ADD_FAILURE() << "the expected modal dialog did not show";
        for (HWND wnd : windows)
            if (GetWindow(wnd, GW_OWNER)) PostMessageW(wnd, WM_COMMAND, IDCANCEL, 0);
    }
}

} // namespace

bool RecordingWindow::Create(DWORD style, const RECT& rect, HWND parent) {
    RegisterWindowClass();
    return CreateEx(parent ? 0 : WS_EX_TOOLWINDOW, kWindowClass, L"", style, rect, parent, 0);
}

LRESULT RecordingWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= kWmUser && message < 0x8000) {
        Received r{message, wParam, lParam, std::nullopt};
        if (message == WM_PAIRING_RESULT && wParam == 0)
            r.record = *TakeOwned<DeviceSlotRecord>(static_cast<std::uintptr_t>(lParam));
        received.push_back(r);
        return 0;
    }
    if (message == WM_MOUSEWHEEL) {
        received.push_back({message, wParam, lParam, std::nullopt});
        return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

std::vector<Received> RecordingWindow::Of(UINT message) const {
    std::vector<Received> found;
    for (const Received& r : received)
        if (r.message == message) found.push_back(r);
    return found;
}

int PictureFileWidth(std::string_view file) {
    const auto pictures = ui::Pictures();
    for (std::size_t i = 0; i < pictures.size(); ++i)
        if (pictures[i].name == file) return 20 + static_cast<int>(i);
    ADD_FAILURE() << "no picture " << file;
    return -1;
}

int ShownPictureWidth(HWND pictureControl) {
    const auto bitmap =
        reinterpret_cast<HBITMAP>(SendMessageW(pictureControl, STM_GETIMAGE, IMAGE_BITMAP, 0));
    BITMAP info{};
    return bitmap && GetObjectW(bitmap, sizeof info, &info) ? info.bmWidth : 0;
}

std::string SetOf(std::uint8_t code) {
    char text[16];
    std::snprintf(text, sizeof text, "set 0x%02X", code);
    return text;
}

std::vector<std::string> Exchanges(const std::vector<virt::Transfer>& log, const std::wstring& path) {
    std::vector<std::string> exchanges;
    for (const virt::Transfer& t : log) {
        if (t.path != path) continue;
        if (t.kind == virt::TransferKind::SetFeature)
            exchanges.push_back(SetOf(t.bytes.size() > 1 ? t.bytes[1] : 0));
        if (t.kind == virt::TransferKind::GetFeature) exchanges.push_back("get");
    }
    return exchanges;
}

std::vector<std::string> Queries(std::initializer_list<std::uint8_t> codes) {
    std::vector<std::string> exchanges;
    for (const std::uint8_t code : codes) {
        exchanges.push_back(SetOf(code));
        exchanges.push_back("get");
    }
    return exchanges;
}

virt::DeviceConfig Device(const std::string& name, std::uint8_t kind, DeviceId id) {
    virt::DeviceConfig device;
    device.tag = name;
    device.name = name;
    device.kind = static_cast<DeviceKind>(kind);
    device.id = id;
    return device;
}

void PanelWindows::SetUp() {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    m_folder = fs::temp_directory_path() / (L"pw_panel_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
                                            fs::path(test->name()).wstring());
    fs::create_directories(m_folder / L"ui");
    for (const ui::Picture& picture : ui::Pictures())
        WriteBmp(m_folder / L"ui" / std::wstring(picture.name.begin(), picture.name.end()),
                 PictureFileWidth(picture.name), 10);
    wchar_t previous[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, previous);
    m_previousFolder = previous;
    SetCurrentDirectoryW(m_folder.c_str());

    CMultiLanguage::s_strLanguageFile = (m_folder / L"no_language_file.ini").wstring();
    UseLanguage(L"English");

    ASSERT_TRUE(main.Create(WS_POPUP, RECT{40, 30, 560, 780}, nullptr));
    ASSERT_TRUE(host.Create(WS_CHILD | WS_VISIBLE, RECT{20, 60, 478, 652}, main.m_hWnd));
    SetWindowPos(main.m_hWnd, HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    bus.Plug(receiver);
}

void PanelWindows::TearDown() {
    host.DestroyWindow();
    main.DestroyWindow();
    SetCurrentDirectoryW(m_previousFolder.c_str());
    std::error_code ignored;
    fs::remove_all(m_folder, ignored);
    CMultiLanguage::s_strLanguageFile.clear();
    CMultiLanguage::s_strLanguage.clear();
}

void PanelWindows::UseLanguage(const std::wstring& name) {
    CMultiLanguage::s_texts.clear();
    CMultiLanguage::s_strLanguage = name;
}

ui::Rect PanelWindows::PlaceOf(HWND wnd) {
    RECT r{};
    GetWindowRect(wnd, &r);
    MapWindowPoints(nullptr, GetParent(wnd), reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

std::wstring PanelWindows::TextOf(HWND wnd) {
    wchar_t text[256] = {};
    GetWindowTextW(wnd, text, static_cast<int>(std::size(text)));
    return text;
}

std::unique_ptr<CDlgReceiverItem> PanelWindows::OpenItem(bool debugMode) {
    context.debugMode = debugMode;
    auto item = std::make_unique<CDlgReceiverItem>(context);
    EXPECT_TRUE(item->Create(host.m_hWnd));
    item->SetHardwareId(L"vid_2f1e&pid_7a31");
    item->OpenReceiver(receiver.CommandPath());
    EXPECT_TRUE(item->KillTimer(CDlgReceiverItem::kActivityTimer)) << "the activity poll runs once opened";
    return item;
}

void RunWhileModal(const std::function<void()>& open, const std::function<bool(HWND)>& handle) {
    g_modalScript = &handle;
    g_modalTicks = 0;
    g_modalDone = false;
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, ModalTick);
    open();
    KillTimer(nullptr, timer);
    g_modalScript = nullptr;
    EXPECT_TRUE(g_modalDone) << "the modal dialog was handled";
}

} // namespace pw::test
