#include "framework/controls.h"
#include "framework/dialog.h"
#include "framework/pump.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr UINT kTemplate = 900;
constexpr UINT kKeyTemplate = 901;
constexpr int kOtherButton = 1101;
constexpr DWORD kDeadlineMs = 5000;

class CountingButton : public CButton {
public:
    int draws = 0;
    void DrawItem(const DRAWITEMSTRUCT&) override { ++draws; }
};

class TestDialog : public CDialog {
public:
    TestDialog() : CDialog(kTemplate) {}
    CountingButton owner;
    CButton check;
    int initCount = 0;
    int commands = 0;
    int unreflectedDraws = 0;
    bool destroyed = false;

    void DoDataExchange() override {
        BindControl(1001, owner);
        BindControl(1002, check);
    }
    BOOL OnInitDialog() override {
        ++initCount;
        CDialog::OnInitDialog();
        return TRUE;
    }
    bool OnCommand(WORD id, WORD code, HWND) override {
        if (id == 1002 && code == BN_CLICKED) ++commands;
        return id == 1002;
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
        case WM_TIMER: return OnTimer(wParam);
        case WM_DRAWITEM: return OnDrawItem(wParam, lParam);
        }
        return CDialog::WindowProc(message, wParam, lParam);
    }
    LRESULT OnDrawItem(WPARAM wParam, LPARAM lParam) {
        ++unreflectedDraws;
        return CDialog::WindowProc(WM_DRAWITEM, wParam, lParam);
    }
    LRESULT OnTimer(WPARAM id) {
        KillTimer(id);
        EndDialog(42);
        return 0;
    }
    void PostNcDestroy() override { destroyed = true; }
};

TEST(Dialog, ModelessBindsAtInitAndFindsItselfFromTheHandle) {
    TestDialog dialog;
    ASSERT_TRUE(dialog.Create(nullptr));
    EXPECT_EQ(dialog.initCount, 1);
    EXPECT_EQ(CWnd::FromHandle(dialog.m_hWnd), &dialog);
    EXPECT_EQ(CWnd::FromHandle(dialog.owner.m_hWnd), &dialog.owner);
    EXPECT_EQ(dialog.owner.GetParent(), &dialog);

    dialog.ShowWindow(SW_SHOW);
    UpdateWindow(dialog.m_hWnd);
    EXPECT_GE(dialog.owner.draws, 1) << "WM_DRAWITEM is reflected to the owner-drawn button";

    SendMessageW(dialog.check.m_hWnd, BM_CLICK, 0, 0);
    EXPECT_EQ(dialog.commands, 1);

    HWND wnd = dialog.m_hWnd;
    dialog.EndDialog(0);
    EXPECT_FALSE(IsWindow(wnd));
    EXPECT_TRUE(dialog.destroyed);
    EXPECT_EQ(dialog.m_hWnd, nullptr);
    EXPECT_EQ(dialog.owner.m_hWnd, nullptr);
}

TEST(Dialog, ModalRunsUntilEndDialog) {
    TestDialog dialog;
    // The timer is set from inside the modal loop's first idle moment.
    const UINT_PTR kick = SetTimer(nullptr, 0, 10, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        HWND active = GetActiveWindow();
        if (CWnd* self = CWnd::FromHandle(active)) self->SetTimer(7, 1);
    });
    ASSERT_NE(kick, 0u);
    EXPECT_EQ(dialog.DoModal(), 42);
    EXPECT_TRUE(dialog.destroyed);
}

TEST(Wnd, ObjectDestroyedBeforeItsWindowStopsRouting) {
    HWND wnd = nullptr;
    {
        CWnd control;
        ASSERT_TRUE(control.CreateEx(0, L"STATIC", L"x", WS_POPUP, RECT{0, 0, 10, 10}, nullptr, 0));
        wnd = control.m_hWnd;
    }
    EXPECT_FALSE(IsWindow(wnd));
}

// Records what a control sees while it is bound: whether a creation was in progress, and WM_CREATE.
class CreationProbe : public CWnd {
public:
    CWnd* seenCreating = reinterpret_cast<CWnd*>(1);
    int creates = 0;
    void PreSubclassWindow() override { seenCreating = WindowBeingCreated(); }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
        case WM_CREATE: return OnCreate(wParam, lParam);
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
    LRESULT OnCreate(WPARAM wParam, LPARAM lParam) {
        ++creates;
        return CWnd::WindowProc(WM_CREATE, wParam, lParam);
    }
};

TEST(Wnd, CreatedWindowIsBoundBeforeWmCreateAndBoundWindowIsNot) {
    CreationProbe created;
    ASSERT_TRUE(created.CreateEx(0, L"BUTTON", L"x", WS_POPUP, RECT{0, 0, 10, 10}, nullptr, 0));
    EXPECT_EQ(created.seenCreating, &created);
    EXPECT_EQ(created.creates, 1);
    EXPECT_EQ(CWnd::WindowBeingCreated(), nullptr);

    TestDialog dialog;
    ASSERT_TRUE(dialog.Create(nullptr));
    CreationProbe bound;
    ASSERT_TRUE(bound.SubclassDlgItem(1003, &dialog));
    EXPECT_EQ(bound.seenCreating, nullptr);
    EXPECT_EQ(bound.creates, 0);
    dialog.EndDialog(0);
}

TEST(Wnd, FailedCreationLeavesTheObjectUnbound) {
    CreationProbe probe;
    EXPECT_FALSE(probe.CreateEx(0, L"NoSuchClassAnywhere", L"x", WS_POPUP, RECT{0, 0, 10, 10}, nullptr, 0));
    EXPECT_EQ(probe.m_hWnd, nullptr);
    EXPECT_EQ(CWnd::WindowBeingCreated(), nullptr);
}

TEST(Dialog, MenuItemDrawRequestsStayWithTheDialog) {
    TestDialog dialog;
    ASSERT_TRUE(dialog.Create(nullptr));
    struct Case {
        UINT type;
        int toControl;
        int toDialog;
    };
    // The menu handle's value is that of the owner-drawn button's window: only the type tells them apart.
    for (const Case& c : {Case{ODT_MENU, 0, 1}, Case{ODT_BUTTON, 1, 0}}) {
        SCOPED_TRACE(c.type);
        const int draws = dialog.owner.draws;
        const int unreflected = dialog.unreflectedDraws;
        DRAWITEMSTRUCT item{};
        item.CtlType = c.type;
        item.CtlID = c.type == ODT_MENU ? 0 : 1001;
        item.hwndItem = dialog.owner.m_hWnd;
        dialog.SendMessage(WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));
        EXPECT_EQ(dialog.owner.draws - draws, c.toControl);
        EXPECT_EQ(dialog.unreflectedDraws - unreflected, c.toDialog);
    }
    dialog.EndDialog(0);
}

TEST(Dialog, CloseTakesTheCancelPathUnlessCancelIsDisabled) {
    TestDialog plain; // no Cancel button: OnCancel ends it
    ASSERT_TRUE(plain.Create(nullptr));
    HWND wnd = plain.m_hWnd;
    plain.SendMessage(WM_CLOSE);
    EXPECT_FALSE(IsWindow(wnd));

    class Counting : public CDialog {
    public:
        Counting() : CDialog(kKeyTemplate) {}
        int cancels = 0;
        void OnCancel() override { ++cancels; }
    } dialog;
    ASSERT_TRUE(dialog.Create(nullptr));
    dialog.SendMessage(WM_CLOSE);
    EXPECT_EQ(dialog.cancels, 1);
    EnableWindow(dialog.GetDlgItem(IDCANCEL), FALSE);
    dialog.SendMessage(WM_CLOSE);
    EXPECT_EQ(dialog.cancels, 1);
    dialog.DestroyWindow();
}

// Creates a child with CreateEx from its own WM_CREATE.
class NestingProbe : public CreationProbe {
public:
    CreationProbe inner;
    bool innerCreated = false;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
        case WM_CREATE: return OnCreate(wParam, lParam);
        }
        return CreationProbe::WindowProc(message, wParam, lParam);
    }
    LRESULT OnCreate(WPARAM wParam, LPARAM lParam) {
        innerCreated = inner.CreateEx(0, L"BUTTON", L"inner", WS_CHILD, RECT{0, 0, 5, 5}, m_hWnd, 7);
        return CreationProbe::WindowProc(WM_CREATE, wParam, lParam);
    }
};

TEST(Wnd, CreationInsideAnotherCreationBindsBothAndLeavesNothingBehind) {
    NestingProbe outer;
    ASSERT_TRUE(outer.CreateEx(0, L"STATIC", L"outer", WS_POPUP, RECT{0, 0, 50, 50}, nullptr, 0));
    ASSERT_TRUE(outer.innerCreated);
    EXPECT_EQ(CWnd::FromHandle(outer.m_hWnd), &outer);
    EXPECT_EQ(CWnd::FromHandle(outer.inner.m_hWnd), &outer.inner);
    EXPECT_EQ(GetParent(outer.inner.m_hWnd), outer.m_hWnd);
    EXPECT_EQ(outer.seenCreating, &outer);
    EXPECT_EQ(outer.inner.seenCreating, &outer.inner);
    EXPECT_EQ(outer.creates, 1);
    EXPECT_EQ(outer.inner.creates, 1);
    EXPECT_EQ(CWnd::WindowBeingCreated(), nullptr);

    HWND plain =
        CreateWindowExW(0, L"STATIC", L"plain", WS_POPUP, 0, 0, 5, 5, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(CWnd::FromHandle(plain), nullptr) << "no creation of ours is left pending";
    DestroyWindow(plain);

    CreationProbe third;
    ASSERT_TRUE(third.CreateEx(0, L"BUTTON", L"third", WS_POPUP, RECT{0, 0, 5, 5}, nullptr, 0));
    EXPECT_EQ(third.seenCreating, &third);
    EXPECT_EQ(third.creates, 1);
}

constexpr UINT kThrowWhileBinding = 0xFFFF;

// Throws from the handler of one message, or from PreSubclassWindow; remembers its window.
class Thrower : public CWnd {
public:
    explicit Thrower(UINT message) : m_throwOn(message) {}
    HWND seen = nullptr;
    int postNcDestroys = 0;
    void PreSubclassWindow() override {
        seen = m_hWnd;
        if (m_throwOn == kThrowWhileBinding) throw std::runtime_error("binding");
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == m_throwOn) throw std::runtime_error("handler");
        return CWnd::WindowProc(message, wParam, lParam);
    }
    void PostNcDestroy() override { ++postNcDestroys; }

private:
    UINT m_throwOn;
};

TEST(Wnd, ExceptionsEndAtTheWindowBoundary) {
    // A creation whose handler threw fails, and leaves neither a window nor a binding.
    for (const UINT message : {UINT{WM_NCCREATE}, UINT{WM_CREATE}, kThrowWhileBinding}) {
        SCOPED_TRACE(message);
        Thrower thrower(message);
        EXPECT_FALSE(thrower.CreateEx(0, L"STATIC", L"x", WS_POPUP, RECT{0, 0, 10, 10}, nullptr, 0));
        EXPECT_EQ(thrower.m_hWnd, nullptr);
        ASSERT_NE(thrower.seen, nullptr);
        EXPECT_FALSE(IsWindow(thrower.seen));
        EXPECT_EQ(CWnd::WindowBeingCreated(), nullptr);
    }

    // Later, the window answers as its own procedure would and stays bound.
    Thrower setText(WM_SETTEXT);
    ASSERT_TRUE(setText.CreateEx(0, L"STATIC", L"old", WS_POPUP, RECT{0, 0, 10, 10}, nullptr, 0));
    EXPECT_TRUE(SetWindowTextW(setText.m_hWnd, L"new"));
    EXPECT_EQ(setText.GetWindowText(), L"new");
    EXPECT_EQ(CWnd::FromHandle(setText.m_hWnd), &setText);

    Thrower lastMessage(WM_NCDESTROY);
    ASSERT_TRUE(lastMessage.CreateEx(0, L"STATIC", L"x", WS_POPUP, RECT{0, 0, 10, 10}, nullptr, 0));
    HWND wnd = lastMessage.m_hWnd;
    EXPECT_TRUE(lastMessage.DestroyWindow());
    EXPECT_FALSE(IsWindow(wnd));
    EXPECT_EQ(lastMessage.m_hWnd, nullptr);
    EXPECT_EQ(lastMessage.postNcDestroys, 1);
}

TEST(Dialog, ADialogWhoseSetUpThrewIsNotCreated) {
    class Throwing : public TestDialog {
    public:
        explicit Throwing(bool whileBinding) : m_whileBinding(whileBinding) {}
        HWND seen = nullptr;
        void PreSubclassWindow() override {
            seen = m_hWnd;
            if (m_whileBinding) throw std::runtime_error("binding");
        }
        BOOL OnInitDialog() override { throw std::runtime_error("init"); }

    private:
        bool m_whileBinding;
    };
    for (const bool whileBinding : {true, false}) {
        SCOPED_TRACE(whileBinding ? "binding" : "initialisation");
        Throwing modeless(whileBinding);
        EXPECT_FALSE(modeless.Create(nullptr));
        EXPECT_EQ(modeless.m_hWnd, nullptr);
        ASSERT_NE(modeless.seen, nullptr);
        EXPECT_FALSE(IsWindow(modeless.seen));

        Throwing modal(whileBinding);
        EXPECT_EQ(modal.DoModal(), -1);
        EXPECT_EQ(modal.m_hWnd, nullptr);
    }
}

// A dialog run modally that calls its tick on every WM_TIMER of timer 1 (10 ms), set at initialisation.
// Should its loop fail to end, it destroys itself after a while, so that a test fails instead of hanging.
class HostDialog : public CDialog {
public:
    HostDialog(std::function<void(HostDialog&)> tick, CWnd* parent = nullptr)
        : CDialog(kTemplate, parent), m_tick(std::move(tick)) {}
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        m_giveUpAt = GetTickCount64() + 60000;
        SetTimer(1, 10);
        return TRUE;
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
        case WM_TIMER: return OnTimer(wParam);
        }
        return CDialog::WindowProc(message, wParam, lParam);
    }
    LRESULT OnTimer(WPARAM id) {
        if (GetTickCount64() >= m_giveUpAt)
            DestroyWindow();
        else if (id == 1)
            m_tick(*this);
        return 0;
    }

private:
    std::function<void(HostDialog&)> m_tick;
    ULONGLONG m_giveUpAt = 0;
};

TEST(ModalDialog, NestedEndDialogReturnsItsResultAndTheOuterRunsOn) {
    INT_PTR innerResult = 0;
    bool outerDisabledMeanwhile = false;
    int outerTicksAfterInner = 0;
    HWND outerWnd = nullptr;
    HWND activeAfterInner = nullptr;
    bool outerEnabledAfterInner = false;

    HostDialog outer([&](HostDialog& self) {
        if (innerResult == 0) {
            // Not again while the inner one runs.
            self.KillTimer(1);
            outerWnd = self.m_hWnd;
            HostDialog inner(
                [&](HostDialog& innerSelf) {
                    outerDisabledMeanwhile = !IsWindowEnabled(outerWnd);
                    innerSelf.EndDialog(7);
                },
                &self);
            innerResult = inner.DoModal();
            activeAfterInner = GetActiveWindow();
            outerEnabledAfterInner = IsWindowEnabled(outerWnd) != FALSE;
            self.SetTimer(1, 10);
        } else if (++outerTicksAfterInner == 2) {
            self.EndDialog(42);
        }
    });
    EXPECT_EQ(outer.DoModal(), 42);
    EXPECT_EQ(innerResult, 7);
    EXPECT_TRUE(outerDisabledMeanwhile);
    EXPECT_TRUE(outerEnabledAfterInner);
    EXPECT_EQ(activeAfterInner, outerWnd) << "the owner is active again";
    EXPECT_EQ(outerTicksAfterInner, 2) << "the outer loop ran on after the inner one ended";
    EXPECT_EQ(outer.m_hWnd, nullptr);
}

TEST(ModalDialog, QuitEndsEveryLoopAndStaysQueued) {
    INT_PTR innerResult = -5;
    HostDialog outer([&](HostDialog& self) {
        if (innerResult != -5) return self.EndDialog(IDABORT); // still running: the quit was lost
        self.KillTimer(1);
        HostDialog inner([](HostDialog&) { PostQuitMessage(3); }, &self);
        innerResult = inner.DoModal();
        self.SetTimer(1, 10);
    });
    EXPECT_EQ(outer.DoModal(), 0);
    EXPECT_EQ(innerResult, 0);
    MSG msg{};
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 3u);
}

// A modeless dialog with three push buttons that counts what the keyboard reaches.
class KeyDialog : public CDialog {
public:
    KeyDialog() : CDialog(kKeyTemplate) {}
    int oks = 0;
    int cancels = 0;
    int others = 0;
    void OnOK() override { ++oks; }
    void OnCancel() override { ++cancels; }
    bool OnCommand(WORD id, WORD code, HWND) override {
        if (id == kOtherButton && code == BN_CLICKED) ++others;
        return id == kOtherButton;
    }
};

// Presses the keys in order and releases them in reverse order, as a user's fingers would.
void PressKeys(const std::vector<WORD>& keys) {
    std::vector<INPUT> inputs;
    for (const WORD key : keys) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = key;
        inputs.push_back(in);
    }
    for (auto it = std::rbegin(keys); it != std::rend(keys); ++it) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = *it;
        in.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(in);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

struct Step {
    std::string name;
    std::function<void()> act;
    std::function<bool()> done;
};

std::vector<Step> KeyboardSteps(KeyDialog& keys) {
    const auto focusOn = [&keys](int id) {
        return [&keys, id] { return GetFocus() == keys.GetDlgItem(id); };
    };
    const auto press = [](std::vector<WORD> strokes) { return [strokes] { PressKeys(strokes); }; };
    return {
        {"open",
         [&keys] {
             ASSERT_TRUE(keys.Create(nullptr));
             keys.ShowWindow(SW_SHOW);
             SetForegroundWindow(keys.m_hWnd);
             SetFocus(keys.GetDlgItem(IDOK));
         },
         [&keys] { return GetForegroundWindow() == keys.m_hWnd && GetFocus() == keys.GetDlgItem(IDOK); }},
        {"Tab", press({VK_TAB}), focusOn(IDCANCEL)},
        {"Tab again", press({VK_TAB}), focusOn(kOtherButton)},
        {"Shift+Tab", press({VK_SHIFT, VK_TAB}), focusOn(IDCANCEL)},
        {"Tab to Other", press({VK_TAB}), focusOn(kOtherButton)},
        {"Space", press({VK_SPACE}), [&keys] { return keys.others == 1; }},
        {"Tab round to OK", press({VK_TAB}), focusOn(IDOK)},
        {"Enter", press({VK_RETURN}), [&keys] { return keys.oks == 1; }},
        {"Escape", press({VK_ESCAPE}), [&keys] { return keys.cancels == 1; }},
    };
}

// Each step's action, then its condition within the deadline; returns the name of the first step
// that was not done in time, or an empty string.
std::string RunWithPumpUntil(const std::vector<Step>& steps) {
    for (const Step& step : steps) {
        step.act();
        if (!fw::PumpUntil(step.done, kDeadlineMs)) return step.name;
    }
    return {};
}

// The same from inside a modal dialog's loop: a timer there checks the step and starts the next one.
std::string RunInModalLoop(const std::vector<Step>& steps) {
    size_t next = 0;
    ULONGLONG deadline = 0;
    std::string failed;
    HostDialog host([&](HostDialog& self) {
        // Showing the host activates it: the steps start once that is behind them.
        if (next == 0 && !self.IsWindowVisible()) return;
        if (next > 0 && !steps[next - 1].done()) {
            if (GetTickCount64() < deadline) return;
            failed = steps[next - 1].name;
            self.EndDialog(IDABORT);
            return;
        }
        if (next == steps.size()) {
            self.EndDialog(IDOK);
            return;
        }
        deadline = GetTickCount64() + kDeadlineMs;
        steps[next++].act();
    });
    const INT_PTR result = host.DoModal();
    if (result != IDOK && failed.empty()) failed = "the modal loop ended with " + std::to_string(result);
    return failed;
}

TEST(ModelessDialog, TabEnterEscapeAndSpaceReachItWhileAModalLoopRunsOrATestPumps) {
    struct Runner {
        const char* name;
        std::string (*run)(const std::vector<Step>&);
    };
    for (const Runner& runner :
         {Runner{"modal loop", RunInModalLoop}, Runner{"PumpUntil", RunWithPumpUntil}}) {
        SCOPED_TRACE(runner.name);
        KeyDialog keys;
        EXPECT_EQ(runner.run(KeyboardSteps(keys)), "") << "the step that was not done in time";
        EXPECT_EQ(keys.others, 1);
        EXPECT_EQ(keys.oks, 1);
        EXPECT_EQ(keys.cancels, 1);
    }
}

} // namespace
