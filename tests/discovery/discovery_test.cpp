#include "common/post.h"
#include "receiver/discovery.h"
#include "virtual/virtual_bus.h"
#include "virtual/virtual_receiver.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

using namespace pw;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Counts every open per path, so that a test can tell a decision from the sets from a trial open.
class CountingBackend final : public hid::Backend {
public:
    explicit CountingBackend(hid::Backend& inner) : m_inner(inner) {}
    std::vector<std::wstring> Enumerate(std::size_t maxCount) override { return m_inner.Enumerate(maxCount); }
    std::unique_ptr<hid::Device> Open(const std::wstring& path, hid::OpenMode mode) override {
        ++opens[path];
        return m_inner.Open(path, mode);
    }
    int OpensOf(const std::wstring& path) const {
        const auto found = opens.find(path);
        return found == opens.end() ? 0 : found->second;
    }
    std::map<std::wstring, int> opens;

private:
    hid::Backend& m_inner;
};

// The item view's side of the contract, recorded; removals answer from what was added.
class RecordingView final : public IItemView {
public:
    bool AddReceiver(const std::wstring& path) override {
        calls.push_back(L"AddReceiver " + path);
        receivers.insert(LowerCasePath(path));
        return true;
    }
    bool RemoveReceiver(const std::wstring& path) override {
        calls.push_back(L"RemoveReceiver " + path);
        return receivers.erase(LowerCasePath(path)) > 0;
    }
    void AddNotifyChannel(const std::wstring& path) override {
        calls.push_back(L"AddNotifyChannel " + path);
        channels.push_back(LowerCasePath(path));
    }
    bool RemoveNotifyChannel(const std::wstring& path) override {
        calls.push_back(L"RemoveNotifyChannel " + path);
        const auto found = std::find(channels.begin(), channels.end(), LowerCasePath(path));
        if (found == channels.end()) return false;
        channels.erase(found);
        return true;
    }
    std::vector<std::wstring> calls;
    std::set<std::wstring> receivers;
    std::vector<std::wstring> channels;
};

class Discovery : public ::testing::Test {
protected:
    Discovery() { discovery.Attach(nullptr, view); }
    ~Discovery() override { SetPostMessage(m_previousPost); }

    virt::VirtualReceiver& PlugReceiver(const std::string& tag, std::uint16_t productId = 0x7a31) {
        virt::ReceiverConfig config;
        config.tag = tag;
        config.productId = productId;
        virt::VirtualReceiver& receiver = bus.AddReceiver(config);
        bus.Plug(receiver);
        return receiver;
    }

    static std::wstring Key(const virt::VirtualReceiver& r, virt::ReceiverInterface which) {
        return InterfaceKey(r.InterfacePath(which));
    }

    // Trial-opened channels have no window to report to: whatever they post is freed at once.
    PostMessageFn m_previousPost =
        SetPostMessage([](WindowHandle, unsigned, std::uintptr_t, std::intptr_t) { return false; });
    virt::VirtualBus bus;
    CountingBackend counting{bus};
    hid::ScopedBackend scoped{counting};
    ClassificationSets sets;
    CDiscovery discovery{sets};
    RecordingView view;
};

TEST(DiscoveryKeys, InterfaceKeyPrefixAndHardwareId) {
    const std::wstring path =
        L"\\\\?\\HID#VID_2F1E&PID_7A31&MI_01&COL02#7&1a2b&0&0001#{4d1e55b2-f16f-11cf-88cb-001111000030}";
    EXPECT_EQ(InterfaceKey(path), L"vid_2f1e&pid_7a31&mi_01&col02");
    EXPECT_EQ(KeyPrefix(InterfaceKey(path)), L"vid_2f1e&pid_7a31");
    EXPECT_EQ(HardwareIdFromPath(path), L"vid_2f1e&pid_7a31");

    struct Case {
        const wchar_t* path;
        const wchar_t* key;
        const wchar_t* hardwareId;
    };
    const Case cases[] = {
        {L"##first###second#", L"second", L"##first###second#"},
        {L"no-separator-at-all", L"", L"no-separator-at-a"},
        {L"", L"", L""},
        {L"x#vid_12", L"vid_12", L"vid_12"},
        {L"abc#def#VIDEO_vid_1234&pid_5678&x", L"def", L"video_vid_1234&pi"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(InterfaceKey(c.path), c.key) << c.path;
        EXPECT_EQ(HardwareIdFromPath(c.path), c.hardwareId) << c.path;
    }
    EXPECT_EQ(KeyPrefix(L"short"), L"short");
}

TEST_F(Discovery, OneReceiverBecomesAReceiverAndAChannel) {
    virt::VirtualReceiver& r1 = PlugReceiver("R1");
    discovery.DiscoverPresent();

    EXPECT_THAT(view.calls,
                ElementsAre(L"AddReceiver " + r1.CommandPath(), L"AddNotifyChannel " + r1.NotifyPath()));
    EXPECT_EQ(sets.cmdPipe, KeySet{Key(r1, virt::kCommandInterface)});
    EXPECT_EQ(sets.noCmdPipe, (KeySet{Key(r1, virt::kKeyboardInterface), Key(r1, virt::kMouseInterface),
                                      Key(r1, virt::kNotifyInterface)}));
    EXPECT_EQ(sets.noNotifyPipe, (KeySet{Key(r1, virt::kKeyboardInterface), Key(r1, virt::kMouseInterface),
                                         Key(r1, virt::kCommandInterface)}));
    EXPECT_THAT(sets.notifyPipe, IsEmpty()) << "a verified notification key is not remembered";
    // The notification collection is ruled out as a command interface by the prefix rule, unopened.
    EXPECT_EQ(counting.OpensOf(r1.NotifyPath()), 1);
    EXPECT_EQ(counting.OpensOf(r1.CommandPath()), 1);
}

TEST_F(Discovery, SecondReceiverOfTheSameModelNeedsNoTrialOpenForItsCommandCollection) {
    virt::VirtualReceiver& r1 = PlugReceiver("R1");
    virt::VirtualReceiver& r2 = PlugReceiver("R2");
    discovery.DiscoverPresent();

    EXPECT_THAT(view.calls,
                ElementsAre(L"AddReceiver " + r1.CommandPath(), L"AddNotifyChannel " + r1.NotifyPath(),
                            L"AddReceiver " + r2.CommandPath(), L"AddNotifyChannel " + r2.NotifyPath()));
    EXPECT_EQ(counting.OpensOf(r2.CommandPath()), 0);
    EXPECT_EQ(counting.OpensOf(r2.InterfacePath(virt::kKeyboardInterface)), 0);
    EXPECT_EQ(counting.OpensOf(r2.InterfacePath(virt::kMouseInterface)), 0);
    EXPECT_EQ(counting.OpensOf(r2.NotifyPath()), 1) << "notification keys are verified every time";
}

TEST_F(Discovery, PrefixRuleKeepsOtherCollectionsOfAKnownModelUnopened) {
    virt::VirtualReceiver& r1 = PlugReceiver("R1");
    sets.cmdPipe.insert(Key(r1, virt::kCommandInterface));
    discovery.OnArrival(r1.InterfacePath(virt::kMouseInterface));

    EXPECT_TRUE(sets.noCmdPipe.count(Key(r1, virt::kMouseInterface)));
    EXPECT_EQ(counting.OpensOf(r1.InterfacePath(virt::kMouseInterface)), 1)
        << "opened once, as notification only";

    // A preloaded notification key does the same for the notification side.
    ClassificationSets preloaded;
    preloaded.notifyPipe.insert(Key(r1, virt::kNotifyInterface));
    CDiscovery other(preloaded);
    EXPECT_EQ(other.ClassifyNotifyInterface(r1.InterfacePath(virt::kKeyboardInterface)), kNotNotifyInterface);
    EXPECT_TRUE(preloaded.noNotifyPipe.count(Key(r1, virt::kKeyboardInterface)));
    EXPECT_EQ(other.ClassifyNotifyInterface(r1.NotifyPath()), kKnownNotifyInterface);
    EXPECT_EQ(counting.OpensOf(r1.InterfacePath(virt::kKeyboardInterface)), 0);
    EXPECT_EQ(counting.OpensOf(r1.NotifyPath()), 0);
}

TEST_F(Discovery, PreloadedKeysDecideWithoutOpeningAndUpperCaseNeverMatches) {
    virt::VirtualReceiver& r1 = PlugReceiver("R1");
    const std::wstring cmdKey = Key(r1, virt::kCommandInterface);

    struct Case {
        const char* name;
        KeySet ClassificationSets::*set;
        std::wstring key;
        bool added;
        int opens;
    };
    const Case cases[] = {
        {"known command key", &ClassificationSets::cmdPipe, cmdKey, true, 0},
        {"known non-command key", &ClassificationSets::noCmdPipe, cmdKey, false, 0},
        {"upper-case command key", &ClassificationSets::cmdPipe, L"VID_2F1E&PID_7A31&MI_01&COL02", true, 1},
    };
    for (const Case& c : cases) {
        ClassificationSets preloaded;
        (preloaded.*c.set).insert(c.key);
        // The command key's own notification test is decided by the prefix rule or the sets.
        preloaded.noNotifyPipe.insert(cmdKey);
        CDiscovery local(preloaded);
        RecordingView localView;
        local.Attach(nullptr, localView);
        counting.opens.clear();

        local.OnArrival(r1.CommandPath());
        EXPECT_EQ(localView.calls.size(), c.added ? 1u : 0u) << c.name;
        EXPECT_EQ(counting.OpensOf(r1.CommandPath()), c.opens) << c.name;
    }
}

TEST_F(Discovery, UnpluggingRemovesReceiverAndChannelInEitherOrder) {
    virt::VirtualReceiver& r1 = PlugReceiver("R1");
    const std::vector<std::wstring> orders[] = {{r1.CommandPath(), r1.NotifyPath()},
                                                {r1.NotifyPath(), r1.CommandPath()}};
    for (const auto& order : orders) {
        discovery.DiscoverPresent();
        view.calls.clear();
        for (const std::wstring& path : order)
            discovery.OnRemoval(path);
        for (const std::wstring& path : r1.Paths())
            if (path != r1.CommandPath() && path != r1.NotifyPath()) discovery.OnRemoval(path);

        EXPECT_THAT(view.receivers, IsEmpty());
        EXPECT_THAT(view.channels, IsEmpty());
        const auto removeChannel =
            std::find(view.calls.begin(), view.calls.end(), L"RemoveNotifyChannel " + r1.NotifyPath());
        ASSERT_NE(removeChannel, view.calls.end());
        EXPECT_EQ(
            std::count(view.calls.begin(), view.calls.end(), L"RemoveNotifyChannel " + r1.CommandPath()), 0)
            << "a receiver's command path never falls through to the channels";
    }
}

TEST_F(Discovery, UnrelatedDevicesAreSortedByTheirReports) {
    virt::OtherConfig input;
    input.tag = "X1";
    input.caps = {32, 0};
    virt::OtherConfig feature;
    feature.tag = "X2";
    feature.productId = 0x0203;
    feature.caps = {0, 32};
    feature.name = "Desk Dial";
    virt::OtherHidDevice& x1 = bus.AddOther(input);
    virt::OtherHidDevice& x2 = bus.AddOther(feature);
    bus.Plug(x1);
    bus.Plug(x2);
    bus.ClearLog();
    discovery.DiscoverPresent();

    EXPECT_THAT(view.calls, ElementsAre(L"AddNotifyChannel " + x1.Paths()[0]));
    // The 32-byte feature device was asked for its name (command 0x01) and turned down by it.
    const std::vector<virt::Transfer> log = bus.LogFor(x2.Paths()[0]);
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.front().kind, virt::TransferKind::SetFeature);
    EXPECT_EQ(log.front().bytes.at(1), 0x01);
    EXPECT_TRUE(sets.noCmdPipe.count(InterfaceKey(x2.Paths()[0])));
    EXPECT_TRUE(sets.noNotifyPipe.count(InterfaceKey(x2.Paths()[0])));
}

TEST_F(Discovery, OnlyThe127FirstInterfacesAreConsideredAtStartButLaterArrivalsAre) {
    std::vector<virt::VirtualReceiver*> receivers;
    for (int i = 0; i < 33; ++i)
        receivers.push_back(&PlugReceiver(std::to_string(i)));

    EXPECT_EQ(CDiscovery::EnumerateHidInterfaces().size(), kMaxHidInterfaces);
    discovery.DiscoverPresent();
    // 127 = 31 receivers of four interfaces, then the keyboard, mouse and command of the 32nd.
    EXPECT_EQ(view.receivers.size(), 32u);
    EXPECT_EQ(view.channels.size(), 31u);
    EXPECT_FALSE(view.receivers.count(LowerCasePath(receivers[32]->CommandPath())));

    discovery.OnArrival(receivers[32]->CommandPath());
    discovery.OnArrival(receivers[32]->NotifyPath());
    EXPECT_EQ(view.receivers.size(), 33u);
    EXPECT_EQ(view.channels.size(), 32u);
}

TEST_F(Discovery, PathsThatCannotBeOpenedAreRuledOutOnce) {
    const std::wstring gone =
        L"\\\\?\\hid#vid_1111&pid_2222&mi_00#1&2&3#{4d1e55b2-f16f-11cf-88cb-001111000030}";
    discovery.OnArrival(gone);
    discovery.OnArrival(gone);
    EXPECT_EQ(counting.OpensOf(gone), 2) << "one trial each way, never again";
    EXPECT_TRUE(sets.noCmdPipe.count(InterfaceKey(gone)));
    EXPECT_TRUE(sets.noNotifyPipe.count(InterfaceKey(gone)));

    for (const wchar_t* garbage : {L"", L"#", L"##", L"\\\\?\\hid"}) {
        discovery.OnArrival(garbage);
        discovery.OnRemoval(garbage);
    }
    discovery.OnRemoval(gone);
    EXPECT_THAT(view.receivers, IsEmpty());
    EXPECT_THAT(view.channels, IsEmpty());
}

} // namespace
