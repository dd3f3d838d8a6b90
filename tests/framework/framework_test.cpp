#include "framework/controls.h"
#include "framework/dialog.h"
#include "framework/pump.h"

#include <gtest/gtest.h>

namespace {

constexpr UINT kTemplate = 900;

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
        }
        return CDialog::WindowProc(message, wParam, lParam);
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

} // namespace
