// The rows of the receiver panel filled with sample data: device items of each kind, the add-device
// item, and a receiver item on the virtual receiver, collapsed and expanded with its rows under it.
#include "panel/device_item.h"
#include "panel/list_item.h"
#include "panel/receiver_item.h"
#include "receiver/hid_seam.h"
#include "res/resource.h"
#include "tools/gallery/scene.h"
#include "virtual/virtual_bus.h"
#include "virtual/virtual_receiver.h"

#include <algorithm>
#include <cstring>

namespace {

namespace ui = pw::ui;

ui::Size SizeOf(int templateId) {
    return ui::PixelSize(*ui::FindDialog(templateId));
}

// The program's main window and the receiver item are not in the picture; the rows only need them.
struct Surroundings {
    CWnd mainWindow;
    CWnd owner;
    pw::PanelContext context{mainWindow, false, [](const std::wstring&) {}};
};

pw::DeviceSlotRecord SampleRecord(std::uint8_t kind, const char* name) {
    pw::DeviceSlotRecord record{};
    record.slot = 1;
    record.kind = kind;
    pw::WriteDeviceId(record.id, 0x1A2B3C);
    std::memcpy(record.name, name, std::min(std::strlen(name), sizeof record.name));
    record.firmwareHigh = 0x21;
    record.firmwareLow = 0x07;
    return record;
}

gallery::Scene DeviceScene(std::wstring name, std::uint8_t kind, const char* deviceName, bool active) {
    return {std::move(name), IDD_DEVICE_ITEM, SizeOf(IDD_DEVICE_ITEM), [=](HWND host) {
                struct Shot : Surroundings {
                    pw::CDlgDeviceItem item{owner, context};
                };
                auto shot = std::make_shared<Shot>();
                if (!shot->item.Create(host)) return gallery::SceneShot{};
                shot->item.SetRecord(SampleRecord(kind, deviceName));
                shot->item.SetActivity(active);
                shot->item.ShowWindow(SW_SHOWNA);
                return gallery::SceneShot{shot, shot->item.m_hWnd};
            }};
}

gallery::Scene AddDeviceScene() {
    return {L"panel-add-device", IDD_ADD_NEW_DEV, SizeOf(IDD_ADD_NEW_DEV), [](HWND host) {
                struct Shot : Surroundings {
                    pw::CDlgAddNewDev item{owner};
                };
                auto shot = std::make_shared<Shot>();
                if (!shot->item.Create(host)) return gallery::SceneShot{};
                shot->item.ShowWindow(SW_SHOWNA);
                return gallery::SceneShot{shot, shot->item.m_hWnd};
            }};
}

// Two keyboards and a mouse on the virtual receiver.
constexpr int kSampleDevices = 3;

pw::virt::DeviceConfig SampleDevice(const char* name, pw::DeviceKind kind, pw::DeviceId id, bool active) {
    pw::virt::DeviceConfig device;
    device.tag = name;
    device.name = name;
    device.kind = kind;
    device.id = id;
    device.active = active;
    device.firmwareHigh = 0x10;
    device.firmwareLow = 0x32;
    return device;
}

gallery::Scene ReceiverScene(std::wstring name, bool expanded) {
    ui::Size host = SizeOf(IDD_RECEIVER_ITEM);
    if (expanded) {
        const ui::Size device = SizeOf(IDD_DEVICE_ITEM);
        const ui::Size addDevice = SizeOf(IDD_ADD_NEW_DEV);
        host.cx = std::max({host.cx, device.cx, addDevice.cx});
        host.cy += kSampleDevices * device.cy + addDevice.cy;
    }
    return {std::move(name), IDD_RECEIVER_ITEM, host, [expanded](HWND hostWindow) {
                struct Shot : Surroundings {
                    pw::virt::VirtualBus bus;
                    pw::virt::VirtualReceiver& receiver = bus.AddReceiver(pw::virt::ReceiverConfig{});
                    pw::hid::ScopedBackend scoped{bus};
                    pw::CDlgReceiverItem item{context};
                };
                auto shot = std::make_shared<Shot>();
                shot->receiver.AddPaired(SampleDevice("QT 1", pw::kKindKeyboard, 0x110001, true));
                shot->receiver.AddPaired(SampleDevice("QT 5", pw::kKindMouse, 0x110002, false));
                shot->receiver.AddPaired(SampleDevice("QT 2", pw::kKindKeyboard, 0x110003, true));
                shot->bus.Plug(shot->receiver);
                if (!shot->item.Create(hostWindow)) return gallery::SceneShot{};
                shot->item.SetHardwareId(L"vid_2f1e&pid_7a31");
                shot->item.OpenReceiver(shot->receiver.CommandPath());
                shot->item.SetExpanded(expanded);
                shot->item.MoveTo(0, 0);
                // Collapsed, the picture shows the hardware ID too, as after a double click on the receiver.
                if (!expanded)
                    shot->item.SendMessage(
                        WM_COMMAND, MAKEWPARAM(IDC_BTN_RECEIVER_PIC, BN_DOUBLECLICKED),
                        reinterpret_cast<LPARAM>(shot->item.GetDlgItem(IDC_BTN_RECEIVER_PIC)));
                return gallery::SceneShot{shot, shot->item.m_hWnd};
            }};
}

const gallery::SceneRegistrar g_scenes({
    DeviceScene(L"panel-device-keyboard", pw::kKindKeyboard, "QT 1", true),
    DeviceScene(L"panel-device-mouse", pw::kKindMouse, "QT 5", false),
    DeviceScene(L"panel-device-other", 3, "QT 9", true),
    AddDeviceScene(),
    ReceiverScene(L"panel-receiver-collapsed", false),
    ReceiverScene(L"panel-receiver-expanded", true),
});

} // namespace
