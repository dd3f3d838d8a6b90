#include "virtual/virtual_hotplug_win.h"

#include "common/post.h"

namespace pw {
namespace {

constexpr UINT WM_BUS_NOTICE = WM_APP + 1;

struct Notice {
    bool arrival;
    std::wstring path;
};

} // namespace

CVirtualHotplug::CVirtualHotplug(virt::VirtualBus& bus) : m_bus(bus) {
    m_bus.SetListener(this);
}

CVirtualHotplug::~CVirtualHotplug() {
    m_bus.SetListener(nullptr);
    Detach();
}

void CVirtualHotplug::Attach(HWND target) {
    Detach();
    auto window = std::make_unique<CNoticeWindow>(target);
    if (!window->CreateEx(0, L"STATIC", L"", 0, RECT{}, HWND_MESSAGE, 0)) return;
    m_pWindow = std::move(window);
    const std::lock_guard lock(m_mutex);
    m_hNoticeWindow = m_pWindow->m_hWnd;
}

void CVirtualHotplug::Detach() {
    {
        const std::lock_guard lock(m_mutex);
        m_hNoticeWindow = nullptr;
    }
    // No post can reach the window any more; what is queued is dropped with it.
    if (!m_pWindow) return;
    m_pWindow->DropQueued();
    m_pWindow->DestroyWindow();
    m_pWindow.reset();
}

void CVirtualHotplug::OnArrival(const std::wstring& path) {
    Post(true, path);
}

void CVirtualHotplug::OnRemoval(const std::wstring& path) {
    Post(false, path);
}

void CVirtualHotplug::Post(bool arrival, const std::wstring& path) {
    const std::lock_guard lock(m_mutex);
    // Never post to a null window: that would be a thread message of the calling thread, lost for good.
    if (!m_hNoticeWindow) return;
    PostOwned(m_hNoticeWindow, WM_BUS_NOTICE, std::make_unique<Notice>(Notice{arrival, path}), 0);
}

LRESULT CVirtualHotplug::CNoticeWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_BUS_NOTICE: return OnNotice(wParam);
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

LRESULT CVirtualHotplug::CNoticeWindow::OnNotice(WPARAM wParam) {
    const auto notice = TakeOwned<Notice>(wParam);
    if (IsWindow(m_hTarget))
        SendDeviceChange(m_hTarget, notice->arrival ? DeviceChange::Arrival : DeviceChange::Removal,
                         notice->path);
    return 0;
}

void CVirtualHotplug::CNoticeWindow::DropQueued() {
    MSG msg;
    while (PeekMessageW(&msg, m_hWnd, WM_BUS_NOTICE, WM_BUS_NOTICE, PM_REMOVE))
        TakeOwned<Notice>(msg.wParam);
}

} // namespace pw
