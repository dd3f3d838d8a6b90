#include "app/device_events.h"
#include "app/virtual_hid.h"
#include "app/virtual_hotplug.h"
#include "framework/pump.h"
#include "receiver/discovery.h"
#include "receiver/notify_queue.h"
#include "virtual/virtual_receiver.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <thread>

namespace {

using namespace pw;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

// A window that records the interface events WM_DEVICECHANGE brings it, as "+path" and "-path".
class DeviceChangeSink final : public CWnd {
public:
    DeviceChangeSink() { CreateEx(0, L"STATIC", L"", WS_POPUP, RECT{0, 0, 10, 10}, nullptr, 0); }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
        case WM_DEVICECHANGE: return OnDeviceChange(wParam, lParam);
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
    LRESULT OnDeviceChange(WPARAM wParam, LPARAM lParam) {
        if (const auto event = DecodeDeviceChange(wParam, lParam))
            events.push_back((event->change == DeviceChange::Arrival ? L"+" : L"-") + event->path);
        return TRUE;
    }
    std::vector<std::wstring> events;
};

std::vector<std::wstring> Marked(const wchar_t* mark, const std::vector<std::wstring>& paths) {
    std::vector<std::wstring> marked;
    for (const auto& path : paths)
        marked.push_back(mark + path);
    return marked;
}

class Hotplug : public ::testing::Test {
protected:
    Hotplug() : receiver(bus.AddReceiver(virt::ReceiverConfig{})) {}
    virt::VirtualBus bus;
    virt::VirtualReceiver& receiver;
    DeviceChangeSink sink;
    CVirtualHotplug hotplug{bus};
};

TEST_F(Hotplug, NoticesArriveAsDeviceChangesInOrderFromAnyThread) {
    hotplug.Attach(sink.m_hWnd);
    bus.Plug(receiver);
    EXPECT_THAT(sink.events, IsEmpty()) << "never delivered from inside the plug";
    ASSERT_TRUE(fw::PumpUntil([&] { return sink.events.size() == 4; }, 5000));
    EXPECT_THAT(sink.events, ElementsAreArray(Marked(L"+", receiver.Paths())));

    sink.events.clear();
    std::thread([&] { bus.Unplug(receiver); }).join();
    ASSERT_TRUE(fw::PumpUntil([&] { return sink.events.size() == 4; }, 5000));
    EXPECT_THAT(sink.events, ElementsAreArray(Marked(L"-", receiver.Paths())));
}

TEST_F(Hotplug, DetachingDropsWhatIsQueuedAndHearsNothingMore) {
    hotplug.Attach(sink.m_hWnd);
    bus.Plug(receiver);
    hotplug.Detach();
    bus.Unplug(receiver);
    fw::PumpPending();
    EXPECT_THAT(sink.events, IsEmpty());

    hotplug.Attach(sink.m_hWnd);
    bus.Plug(receiver);
    ASSERT_TRUE(fw::PumpUntil([&] { return sink.events.size() == 4; }, 5000));
}

// Records discovery's calls; nothing is ever present to remove.
class CallLog final : public IItemView {
public:
    bool AddReceiver(const std::wstring& path) override {
        return calls.push_back(L"AddReceiver " + path), true;
    }
    bool RemoveReceiver(const std::wstring&) override { return false; }
    void AddNotifyChannel(const std::wstring& path) override { calls.push_back(L"AddNotifyChannel " + path); }
    bool RemoveNotifyChannel(const std::wstring&) override { return false; }
    std::vector<std::wstring> calls;
};

TEST(WineHid, TheSystemsOwnInterfacesAreRejectedWithoutHarm) {
    DeviceChangeSink target;
    ClassificationSets sets;
    CDiscovery discovery(sets);
    CallLog view;
    discovery.Attach(target.m_hWnd, view);

    const std::vector<std::wstring> paths = CDiscovery::EnumerateHidInterfaces();
    discovery.DiscoverPresent();
    discovery.DiscoverPresent();
    for (const auto& path : paths)
        discovery.OnRemoval(path);

    EXPECT_THAT(view.calls, IsEmpty());
    for (const auto& path : paths)
        EXPECT_TRUE(sets.noCmdPipe.count(InterfaceKey(path))) << testing::PrintToString(path);
    FreeQueuedNotifyRecords(target.m_hWnd);
    std::printf("HID interfaces listed by the system: %zu\n", paths.size());
}

TEST(VirtualScenarios, BuiltInScenariosParseAndAMissingFileIsAnError) {
    virt::Scenario scenario;
    std::string error;
    for (const BuiltInScenario& builtIn : kBuiltInScenarios) {
        EXPECT_TRUE(CVirtualHid::LoadScenario(builtIn.name, scenario, error)) << error;
        EXPECT_FALSE(scenario.receivers.empty());
    }
    EXPECT_FALSE(CVirtualHid::LoadScenario(L"Z:\\no\\such\\scenario.txt", scenario, error));
    EXPECT_FALSE(error.empty());
}

} // namespace
