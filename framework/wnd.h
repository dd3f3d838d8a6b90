// A C++ object bound to a window. The object is found again from its handle through a window
// property, never through a global map. All of this runs on the window's (user-interface) thread.
// No exception leaves a window procedure: one thrown by a handler ends at the window's boundary and
// the window answers as its own procedure would (a failing creation handler fails the creation).
#pragma once

#include <windows.h>

#include <string>

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;
    operator HWND() const { return m_hWnd; }

    // The object bound to a window, or nullptr for a window the framework does not know.
    static CWnd* FromHandle(HWND wnd);

    // Binds this object to an existing window and routes its messages through WindowProc.
    bool SubclassWindow(HWND wnd);
    bool SubclassDlgItem(UINT id, CWnd* parent);
    HWND UnsubclassWindow();

    // Creates a window of any class (a system control too) and binds this object to it before its
    // first message, so WM_NCCREATE and WM_CREATE reach WindowProc. Creations may nest (a window
    // created by another's WM_CREATE handler).
    bool CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* text, DWORD style, const RECT& rect,
                  HWND parent, UINT id);
    bool DestroyWindow();

    // The message map: one switch per class; unhandled messages go to the base class's WindowProc.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // A parent reflects WM_DRAWITEM and WM_COMMAND notifications to the control they concern. Return
    // true when consumed (result holds the answer); false lets the parent handle the message too.
    virtual bool OnReflectedMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    virtual void PreSubclassWindow() {}
    // The object whose window CreateEx is creating on this thread, while it is being bound (seen from
    // PreSubclassWindow); nullptr when a window is bound after the fact (SubclassWindow).
    static CWnd* WindowBeingCreated();
    // Called after the last message; the object may delete itself here.
    virtual void PostNcDestroy() {}

    // Convenience wrappers used throughout the program.
    CWnd* GetParent() const;
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    std::wstring GetWindowText() const;
    void SetWindowText(const std::wstring& text) { ::SetWindowTextW(m_hWnd, text.c_str()); }
    DWORD GetStyle() const { return static_cast<DWORD>(GetWindowLongPtrW(m_hWnd, GWL_STYLE)); }
    DWORD GetExStyle() const { return static_cast<DWORD>(GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE)); }
    bool ModifyStyle(DWORD remove, DWORD add, UINT swpFlags = 0);
    bool ModifyStyleEx(DWORD remove, DWORD add, UINT swpFlags = 0);
    RECT GetWindowRect() const;
    RECT GetClientRect() const;
    // Window rectangle in the client coordinates of the parent (or of the given window).
    RECT GetRectIn(HWND reference) const;
    bool MoveWindow(int x, int y, int width, int height, bool repaint = true) {
        return ::MoveWindow(m_hWnd, x, y, width, height, repaint) != FALSE;
    }
    bool ShowWindow(int command) { return ::ShowWindow(m_hWnd, command) != FALSE; }
    bool IsWindowVisible() const { return ::IsWindowVisible(m_hWnd) != FALSE; }
    bool IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd) != FALSE; }
    bool EnableWindow(bool enable) { return ::EnableWindow(m_hWnd, enable) != FALSE; }
    void Invalidate(bool erase = true) { ::InvalidateRect(m_hWnd, nullptr, erase); }
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse) { return ::SetTimer(m_hWnd, id, elapse, nullptr); }
    bool KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id) != FALSE; }
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return ::SendMessageW(m_hWnd, message, wParam, lParam);
    }
    bool PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return ::PostMessageW(m_hWnd, message, wParam, lParam) != FALSE;
    }

protected:
    // Entry point for every bound window; also used by dialogs once they are bound.
    static LRESULT CALLBACK StaticWindowProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    void Attach(HWND wnd);
    void Detach();

private:
    static LRESULT CALLBACK CreationHook(int code, WPARAM wParam, LPARAM lParam) noexcept;
    void BindWindow(HWND wnd);
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    LRESULT Route(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT AnswerAfterFailure(UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    LRESULT CallSuper(UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    bool ModifyLong(int index, DWORD remove, DWORD add, UINT swpFlags);
    WNDPROC m_pfnSuper = nullptr; // the window's own procedure before we bound it
};
