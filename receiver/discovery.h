// Discovery: sorting HID interface paths into command interfaces (receivers), notification interfaces
// and neither, remembering the answers per interface key, and driving the item view as interfaces come
// and go. Free of window code; the Windows registration and WM_DEVICECHANGE decoding live in app/.
// Everything here runs on the user-interface thread.
#pragma once

#include "common/types.h"

#include <cstddef>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace pw {

using KeySet = std::set<std::wstring>;

// Interface keys known to be, or not to be, command and notification interfaces. Compared exactly, so
// only lower-case keys can ever match.
struct ClassificationSets {
    KeySet cmdPipe;
    KeySet noCmdPipe;
    KeySet notifyPipe;
    KeySet noNotifyPipe;
};

constexpr std::size_t kMaxHidInterfaces = 127;

// The receiver model's hardware ID. Only its length is used: it is the length of a key prefix and of the
// hardware ID cut from a path.
inline constexpr wchar_t kReceiverHardwareId[] = L"VID_5A17&PID_0C0D";
constexpr std::size_t kHardwareIdLength = std::char_traits<wchar_t>::length(kReceiverHardwareId);
static_assert(kHardwareIdLength == 17);

// ASCII letters lowered; device paths are compared in this form.
std::wstring LowerCasePath(std::wstring_view path);
// Second non-empty '#'-separated field of the lower-cased path: vid_vvvv&pid_pppp&mi_nn&colnn.
std::wstring InterfaceKey(std::wstring_view path);
// First 17 characters of a key (vid_vvvv&pid_pppp).
std::wstring KeyPrefix(std::wstring_view key);
// 17 characters of the lower-cased path from its first "vid" (or from its start); fewer at its end.
std::wstring HardwareIdFromPath(std::wstring_view path);

// What discovery requires of the item view, which owns the receiver items and notification channels.
class IItemView {
public:
    // True when the receiver of the path is present afterwards (also when it already was).
    virtual bool AddReceiver(const std::wstring& path) = 0;
    // False when no receiver item has the path.
    virtual bool RemoveReceiver(const std::wstring& path) = 0;
    // Appends an opened channel; it stays listed even when its open failed.
    virtual void AddNotifyChannel(const std::wstring& path) = 0;
    // Stops and drops the first channel whose path equals this one ignoring case; false when none does.
    virtual bool RemoveNotifyChannel(const std::wstring& path) = 0;

protected:
    ~IItemView() = default;
};

enum NotifyClass { kNotNotifyInterface = 0, kKnownNotifyInterface = 1, kVerifiedNotifyInterface = 2 };

class CDiscovery {
public:
    // The sets belong to the main window and outlive this object.
    explicit CDiscovery(ClassificationSets& sets) : m_sets(sets) {}

    // The window trial-opened notification channels report to, and the view that receives the results.
    void Attach(WindowHandle window, IItemView& view) {
        m_window = window;
        m_view = &view;
    }

    // Paths of the present HID interfaces from the current HID backend, at most 127.
    static std::vector<std::wstring> EnumerateHidInterfaces();
    bool IsCommandInterface(const std::wstring& path);
    NotifyClass ClassifyNotifyInterface(const std::wstring& path);

    // Start-up: every present interface in enumeration order.
    void DiscoverPresent();
    void OnArrival(const std::wstring& path);
    void OnRemoval(const std::wstring& path);

private:
    ClassificationSets& m_sets;
    WindowHandle m_window = nullptr;
    IItemView* m_view = nullptr;
};

} // namespace pw
