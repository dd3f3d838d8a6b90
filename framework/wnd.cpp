#include "framework/wnd.h"

#include "framework/handles.h"

#include <utility>

namespace {

constexpr wchar_t kObjectProperty[] = L"Pairwright.Object";

// The object CreateEx is creating on this thread, until the creation hook binds it to its window.
thread_local CWnd* t_creating = nullptr;

// One CreateEx's creation: marks the object as the one being created and installs a creation hook
// for it; on scope exit it unhooks and puts back the mark it found, so a creation nested in another
// (a window made at WM_CREATE) leaves the outer creation as it was.
class CreationScope {
public:
    CreationScope(CWnd& wnd, HOOKPROC hook)
        : m_previous(std::exchange(t_creating, &wnd)),
          m_hook(SetWindowsHookExW(WH_CBT, hook, nullptr, GetCurrentThreadId())) {}
    ~CreationScope() {
        if (m_restore) t_creating = m_previous;
    }
    CreationScope(CreationScope&& other) noexcept
        : m_previous(other.m_previous), m_hook(std::move(other.m_hook)),
          m_restore(std::exchange(other.m_restore, false)) {}
    CreationScope& operator=(CreationScope&&) = delete;
    CreationScope(const CreationScope&) = delete;
    CreationScope& operator=(const CreationScope&) = delete;

    // True while the hook has not bound the object (no hook, or creation failed before it ran).
    static bool Pending(const CWnd& wnd) { return t_creating == &wnd; }

private:
    CWnd* m_previous;
    fw::UniqueHook m_hook;
    bool m_restore = true;
};

// The control a reflected message concerns, or nullptr.
HWND ReflectionTarget(UINT message, LPARAM lParam) {
    switch (message) {
    case WM_DRAWITEM: {
        // A menu's item carries a menu handle where a control's carries its window.
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        return item && item->CtlType != ODT_MENU ? item->hwndItem : nullptr;
    }
    case WM_COMMAND: return reinterpret_cast<HWND>(lParam); // 0 for menus and accelerators
    case WM_HSCROLL:
    case WM_VSCROLL: return reinterpret_cast<HWND>(lParam);
    default: return nullptr;
    }
}

} // namespace

CWnd::~CWnd() {
    if (m_hWnd) {
        // The object is going away before its window: stop routing messages to it.
        HWND wnd = m_hWnd;
        Detach();
        if (IsWindow(wnd)) ::DestroyWindow(wnd);
    }
}

CWnd* CWnd::FromHandle(HWND wnd) {
    return wnd ? static_cast<CWnd*>(GetPropW(wnd, kObjectProperty)) : nullptr;
}

void CWnd::Attach(HWND wnd) {
    m_hWnd = wnd;
    SetPropW(wnd, kObjectProperty, this);
}

void CWnd::Detach() {
    if (!m_hWnd) return;
    if (m_pfnSuper) {
        SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
        m_pfnSuper = nullptr;
    }
    RemovePropW(m_hWnd, kObjectProperty);
    m_hWnd = nullptr;
}

void CWnd::BindWindow(HWND wnd) {
    Attach(wnd);
    try {
        PreSubclassWindow();
    } catch (...) {
        Detach();
        throw;
    }
    m_pfnSuper = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::StaticWindowProc)));
}

bool CWnd::SubclassWindow(HWND wnd) {
    if (!wnd || m_hWnd || FromHandle(wnd)) return false;
    BindWindow(wnd);
    return true;
}

CWnd* CWnd::WindowBeingCreated() {
    return t_creating;
}

LRESULT CALLBACK CWnd::CreationHook(int code, WPARAM wParam, LPARAM lParam) noexcept {
    // Only the first window created after CreateWindowExW starts is ours; windows its creation makes
    // in turn pass untouched (a nested CreateEx marks its own object), and so does the thread's IME
    // window, which the system may create first.
    if (code == HCBT_CREATEWND && t_creating) {
        HWND wnd = reinterpret_cast<HWND>(wParam);
        wchar_t cls[32] = {};
        GetClassNameW(wnd, cls, 32);
        if (lstrcmpiW(cls, L"IME") != 0 && lstrcmpiW(cls, L"MSCTFIME UI") != 0) {
            bool bound = true;
            try {
                t_creating->BindWindow(wnd);
            } catch (...) {
                bound = false;
            }
            t_creating = nullptr;
            // Refused: the system does not create a window its object could not be bound to.
            if (!bound) return 1;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

bool CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
    return parent && SubclassWindow(::GetDlgItem(parent->m_hWnd, static_cast<int>(id)));
}

HWND CWnd::UnsubclassWindow() {
    HWND wnd = m_hWnd;
    Detach();
    return wnd;
}

bool CWnd::CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* text, DWORD style,
                    const RECT& rect, HWND parent, UINT id) {
    if (m_hWnd) return false;
    HWND wnd = nullptr;
    bool bindLate = false;
    {
        const CreationScope creation(*this, &CWnd::CreationHook);
        wnd = CreateWindowExW(exStyle, className, text, style, rect.left, rect.top, rect.right - rect.left,
                              rect.bottom - rect.top, parent,
                              reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), GetModuleHandleW(nullptr),
                              nullptr);
        // Without the hook (or when creation failed before it ran) the window is bound afterwards.
        bindLate = CreationScope::Pending(*this);
    }
    if (!wnd) {
        Detach();
        return false;
    }
    if (bindLate) return SubclassWindow(wnd);
    return m_hWnd == wnd;
}

bool CWnd::DestroyWindow() {
    return m_hWnd && ::DestroyWindow(m_hWnd) != FALSE;
}

LRESULT CALLBACK CWnd::StaticWindowProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    CWnd* self = FromHandle(wnd);
    if (!self) return ::DefWindowProcW(wnd, message, wParam, lParam);
    return self->Dispatch(message, wParam, lParam);
}

LRESULT CWnd::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    LRESULT result = 0;
    try {
        result = Route(message, wParam, lParam);
    } catch (...) {
        result = AnswerAfterFailure(message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        Detach();
        try {
            PostNcDestroy();
        } catch (...) {
            // The window is gone and the object unbound; there is nobody left to tell.
        }
    }
    return result;
}

LRESULT CWnd::Route(UINT message, WPARAM wParam, LPARAM lParam) {
    if (HWND child = ReflectionTarget(message, lParam); child && child != m_hWnd) {
        if (CWnd* control = FromHandle(child)) {
            LRESULT result = 0;
            if (control->OnReflectedMessage(message, wParam, lParam, result)) return result;
        }
    }
    return WindowProc(message, wParam, lParam);
}

LRESULT CWnd::AnswerAfterFailure(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    switch (message) {
    case WM_NCCREATE: return FALSE;
    case WM_CREATE: return -1;
    case WM_INITDIALOG:
        // A dialog whose set-up failed is not left half made: its creation fails.
        ::DestroyWindow(m_hWnd);
        return FALSE;
    }
    return CallSuper(message, wParam, lParam);
}

LRESULT CWnd::CallSuper(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (m_pfnSuper) return CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProc(message, wParam, lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return CallSuper(message, wParam, lParam);
}

bool CWnd::OnReflectedMessage(UINT, WPARAM, LPARAM, LRESULT&) {
    return false;
}

CWnd* CWnd::GetParent() const {
    return FromHandle(::GetParent(m_hWnd));
}

std::wstring CWnd::GetWindowText() const {
    const int length = ::GetWindowTextLengthW(m_hWnd);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(m_hWnd, text.data(), length + 1);
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return text;
}

bool CWnd::ModifyStyle(DWORD remove, DWORD add, UINT swpFlags) {
    return ModifyLong(GWL_STYLE, remove, add, swpFlags);
}

bool CWnd::ModifyStyleEx(DWORD remove, DWORD add, UINT swpFlags) {
    return ModifyLong(GWL_EXSTYLE, remove, add, swpFlags);
}

bool CWnd::ModifyLong(int index, DWORD remove, DWORD add, UINT swpFlags) {
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(m_hWnd, index));
    const DWORD changed = (style & ~remove) | add;
    if (changed == style) return false;
    SetWindowLongPtrW(m_hWnd, index, static_cast<LONG_PTR>(changed));
    if (swpFlags)
        SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | swpFlags);
    return true;
}

RECT CWnd::GetWindowRect() const {
    RECT rect{};
    ::GetWindowRect(m_hWnd, &rect);
    return rect;
}

RECT CWnd::GetClientRect() const {
    RECT rect{};
    ::GetClientRect(m_hWnd, &rect);
    return rect;
}

RECT CWnd::GetRectIn(HWND reference) const {
    RECT rect = GetWindowRect();
    MapWindowPoints(nullptr, reference ? reference : ::GetParent(m_hWnd), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}
