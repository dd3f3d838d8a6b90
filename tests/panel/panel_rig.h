// Shared by the panel's window tests: a main window stand-in with a host window inside it that plays
// the item view (the items' parent; it records what it is sent and posted), a virtual receiver on the
// bus behind the HID seam, the panel context with a recorded launcher, and the pictures the items show,
// written to a folder that is the current directory while a test runs.
#pragma once

#include "framework/wnd.h"
#include "panel/panel_context.h"
#include "panel/receiver_item.h"
#include "receiver/hid_seam.h"
#include "virtual/virtual_bus.h"
#include "virtual/virtual_receiver.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace pw::ui {
inline void PrintTo(const Rect& r, std::ostream* os) {
    *os << "{" << r.x << ", " << r.y << ", " << r.cx << ", " << r.cy << "}";
}
inline void PrintTo(const Size& s, std::ostream* os) {
    *os << s.cx << " x " << s.cy;
}
} // namespace pw::ui

namespace pw::test {

struct Received {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    std::optional<DeviceSlotRecord> record; // the payload of a WM_PAIRING_RESULT found
};

// A window that records the application messages and wheel messages it gets.
class RecordingWindow : public CWnd {
public:
    bool Create(DWORD style, const RECT& rect, HWND parent);
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    std::vector<Received> Of(UINT message) const;
    std::vector<Received> received;
};

// The test writes every single picture of the table with a width of its own, so that the width of the
// bitmap a picture control shows tells which file it is.
int PictureFileWidth(std::string_view file);
int ShownPictureWidth(HWND pictureControl); // 0 when it shows none

// The feature reports on the receiver's command interface, as "set 0x02" and "get".
std::vector<std::string> Exchanges(const std::vector<virt::Transfer>& log, const std::wstring& path);
// The exchanges of commands sent one after the other, each a write and its read-back.
std::vector<std::string> Queries(std::initializer_list<std::uint8_t> codes);
std::string SetOf(std::uint8_t code);

virt::DeviceConfig Device(const std::string& name, std::uint8_t kind, DeviceId id);

class PanelWindows : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Switches the current language name; "Arabic" in any case lays the windows out right to left.
    static void UseLanguage(const std::wstring& name);
    // Where a child window sits in its parent's client area.
    static ui::Rect PlaceOf(HWND wnd);
    static std::wstring TextOf(HWND wnd);

    std::vector<std::string> CommandExchanges() const { return Exchanges(bus.Log(), receiver.CommandPath()); }

    // A receiver item opened on the receiver, its activity timer stopped so that tests drive it.
    std::unique_ptr<CDlgReceiverItem> OpenItem(bool debugMode = false);

    std::filesystem::path m_folder;
    std::wstring m_previousFolder;
    RecordingWindow main;
    RecordingWindow host;
    std::vector<std::wstring> launched;
    PanelContext context{main, false, [this](const std::wstring& line) { launched.push_back(line); }};
    virt::VirtualBus bus;
    virt::VirtualReceiver& receiver = bus.AddReceiver(virt::ReceiverConfig{});
    hid::ScopedBackend scoped{bus};
};

// Runs `open` (which shows a dialog modally) and, once a visible window of this thread is a T,
// calls `handle` with it once; `handle` must make the dialog end (post it a command or a key).
template <class T> void WhileModal(const std::function<void()>& open, const std::function<void(T&)>& handle);

void RunWhileModal(const std::function<void()>& open, const std::function<bool(HWND)>& handle);

template <class T> void WhileModal(const std::function<void()>& open, const std::function<void(T&)>& handle) {
    RunWhileModal(open, [&](HWND wnd) {
        auto* dialog = dynamic_cast<T*>(CWnd::FromHandle(wnd));
        if (!dialog) return false;
        handle(*dialog);
        return true;
    });
}

} // namespace pw::test
