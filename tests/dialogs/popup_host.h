// The test host plays the item view: it opens pop-ups the way the item view does (OpenPopup, with
// itself as owner), answers StopAllPairing and records what the pop-ups post to its answer window.
// A stand-in main window gives the pop-ups something to centre on.
#pragma once

#include "dialogs/popup.h"
#include "dialogs/welcome_switch.h"
#include "framework/pump.h"
#include "framework/wnd.h"
#include "lang/multi_language.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <optional>
#include <ostream>
#include <utility>
#include <set>
#include <string>
#include <vector>

namespace pwtest {

struct Posted {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    friend bool operator==(const Posted&, const Posted&) = default;
};

inline void PrintTo(const Posted& p, std::ostream* os) {
    *os << "{message " << p.message << ", wParam 0x" << std::hex << p.wParam << ", lParam 0x" << p.lParam
        << std::dec << "}";
}

class CAnswerWindow final : public CWnd {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message >= WM_USER) {
            posted.push_back({message, wParam, lParam});
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
    std::vector<Posted> posted;
};

class TestHost final : public pw::IPopupOwner {
public:
    // Where the main window stands, with its real size.
    static constexpr RECT kMainRect{400, 150, 900, 831};

    TestHost() {
        m_answers.CreateEx(0, L"STATIC", L"", 0, RECT{}, HWND_MESSAGE, 0);
        m_main =
            CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"main", WS_POPUP, kMainRect.left, kMainRect.top,
                            kMainRect.right - kMainRect.left, kMainRect.bottom - kMainRect.top, nullptr,
                            nullptr, GetModuleHandleW(nullptr), nullptr);
        ShowMain(SW_SHOWNOACTIVATE);
    }
    ~TestHost() {
        DestroyWindow(m_main);
        m_answers.DestroyWindow();
    }
    TestHost(const TestHost&) = delete;
    TestHost& operator=(const TestHost&) = delete;

    HWND AnswerWindow() const override { return m_answers.m_hWnd; }
    HWND MainWindow() const override { return m_main; }
    void StopAllPairing() override { ++stops; }

    void ShowMain(int command) { ShowWindow(m_main, command); }

    // Opens the pop-up unless it is open, with this host as its owner; then delivers what is queued.
    bool Open(pw::CPopupDialog& popup, const std::function<void()>& handOver = {}) {
        const bool opened = pw::OpenPopup(popup, m_main, [&] {
            if (handOver) handOver();
            popup.SetOwner(this);
        });
        fw::PumpPending();
        return opened;
    }

    // Everything posted so far, in order; the record is emptied.
    std::vector<Posted> TakePosted() {
        fw::PumpPending();
        return std::exchange(m_answers.posted, {});
    }

    int stops = 0;

private:
    CAnswerWindow m_answers;
    HWND m_main = nullptr;
};

// Top-level windows of this thread, hidden ones included.
inline std::set<HWND> ThreadWindows() {
    std::set<HWND> windows;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND wnd, LPARAM list) {
            reinterpret_cast<std::set<HWND>*>(list)->insert(wnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));
    return windows;
}

inline pw::DeviceSlotRecord Record(std::uint8_t kind, const char* name, std::uint8_t id0 = 0x01,
                                   std::uint8_t id1 = 0x02, std::uint8_t id2 = 0x03) {
    pw::DeviceSlotRecord record{};
    record.slot = 1;
    record.kind = kind;
    record.id[0] = id0;
    record.id[1] = id1;
    record.id[2] = id2;
    std::memcpy(record.name, name, std::min(std::strlen(name), sizeof record.name));
    return record;
}

inline std::wstring Text(HWND dialog, int id) {
    wchar_t buffer[1024] = {};
    GetDlgItemTextW(dialog, id, buffer, 1024);
    return buffer;
}

inline bool Visible(HWND dialog, int id) {
    return (GetWindowLongPtrW(GetDlgItem(dialog, id), GWL_STYLE) & WS_VISIBLE) != 0;
}

inline RECT RectIn(HWND dialog, int id) {
    RECT r{};
    GetWindowRect(GetDlgItem(dialog, id), &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

inline bool ReadsRightToLeft(HWND dialog, int id) {
    return (GetWindowLongPtrW(GetDlgItem(dialog, id), GWL_EXSTYLE) & WS_EX_RTLREADING) != 0;
}

// A click on a control, delivered as the button itself reports it.
inline void Click(HWND dialog, int id) {
    SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
    fw::PumpPending();
}

// Real key strokes (SendInput) to the foreground window: the keys pressed in order and released in
// reverse, so {VK_MENU, VK_F4} is Alt+F4. Returns once every release has been delivered.
void PressKeys(std::initializer_list<WORD> keys);

class FakeWelcomeSwitch final : public pw::IWelcomeSwitch {
public:
    std::optional<bool> ReadDoNotShow() override { return stored; }
    void WriteDoNotShow(bool checked) override {
        writes.push_back(checked);
        stored = checked;
    }
    std::optional<bool> stored;
    std::vector<bool> writes;
};

// The pixels of a bitmap as 32-bit rows; empty for no bitmap.
std::vector<std::uint32_t> Pixels(HBITMAP bitmap);
// The pixels the picture control shows, and those of a file of the ui folder.
std::vector<std::uint32_t> ShownPicture(HWND dialog, int id);
std::vector<std::uint32_t> UiPicture(const wchar_t* file);

// Every test: English (or the language it sets) with no language file, in the program folder.
class PopupTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override;

    static void UseLanguage(const wchar_t* name,
                            std::initializer_list<std::pair<const wchar_t*, const wchar_t*>> texts = {});

    TestHost host;
};

} // namespace pwtest
