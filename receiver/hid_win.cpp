#include "receiver/hid_win.h"

#include "framework/handles.h"

#include <windows.h>
#include <setupapi.h>
extern "C" {
#include <hidsdi.h>
#include <hidpi.h>
}

#include <atomic>
#include <cstddef>
#include <cstring>
#include <memory>
#include <cwchar>
#include <new>
#include <utility>

namespace pw::hid {
namespace {

constexpr std::size_t kMaxPathChars = 260;

using UniqueHandle = fw::UniqueKernelHandle;

struct DeviceInfoListTraits {
    static HDEVINFO Invalid() { return INVALID_HANDLE_VALUE; }
    static bool Valid(HDEVINFO h) { return h != INVALID_HANDLE_VALUE; }
    static void Close(HDEVINFO h) { SetupDiDestroyDeviceInfoList(h); }
};
using DeviceInfoList = fw::UniqueHandle<HDEVINFO, DeviceInfoListTraits>;

struct PreparsedDataFree {
    void operator()(_HIDP_PREPARSED_DATA* data) const { HidD_FreePreparsedData(data); }
};
using PreparsedData = std::unique_ptr<_HIDP_PREPARSED_DATA, PreparsedDataFree>;

class WinDevice final : public Device {
public:
    WinDevice(UniqueHandle file, UniqueHandle readEvent, UniqueHandle stopEvent)
        : m_file(std::move(file)), m_readEvent(std::move(readEvent)), m_stopEvent(std::move(stopEvent)) {}

    bool GetCaps(Caps& caps) override {
        PHIDP_PREPARSED_DATA raw = nullptr;
        if (!HidD_GetPreparsedData(m_file.get(), &raw)) return false;
        const PreparsedData data(raw);
        HIDP_CAPS hidCaps{};
        if (HidP_GetCaps(data.get(), &hidCaps) != HIDP_STATUS_SUCCESS) return false;
        caps.inputReportLength = hidCaps.InputReportByteLength;
        caps.featureReportLength = hidCaps.FeatureReportByteLength;
        return true;
    }

    bool SetFeature(const std::uint8_t* report, std::size_t length) override {
        std::uint8_t copy[256];
        if (length > sizeof copy) return false;
        std::memcpy(copy, report, length);
        return HidD_SetFeature(m_file.get(), copy, static_cast<ULONG>(length)) != FALSE;
    }

    bool GetFeature(std::uint8_t* report, std::size_t length) override {
        return HidD_GetFeature(m_file.get(), report, static_cast<ULONG>(length)) != FALSE;
    }

    ReadStatus Read(std::uint8_t* buffer, std::size_t capacity, std::size_t& count) override {
        count = 0;
        if (m_stop.load()) return ReadStatus::Cancelled;
        if (!m_readEvent) return ReadStatus::Failed; // opened without overlapped I/O
        OVERLAPPED overlapped{};
        overlapped.hEvent = m_readEvent.get();
        DWORD got = 0;
        if (ReadFile(m_file.get(), buffer, static_cast<DWORD>(capacity), &got, &overlapped)) {
            count = got;
            return ReadStatus::Ok;
        }
        if (GetLastError() != ERROR_IO_PENDING) return ReadStatus::Failed;
        // ReadFile resets the read event when it starts, so the stop signal needs an event of its own.
        const HANDLE waits[2] = {m_readEvent.get(), m_stopEvent.get()};
        if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0) {
            // The buffer and the OVERLAPPED must outlive the request: wait for the cancellation to land.
            CancelIoEx(m_file.get(), &overlapped);
            GetOverlappedResult(m_file.get(), &overlapped, &got, TRUE);
            return m_stop.load() ? ReadStatus::Cancelled : ReadStatus::Failed;
        }
        if (!GetOverlappedResult(m_file.get(), &overlapped, &got, FALSE))
            return m_stop.load() ? ReadStatus::Cancelled : ReadStatus::Failed;
        count = got;
        return ReadStatus::Ok;
    }

    void CancelRead() override {
        m_stop.store(true);
        if (m_stopEvent) SetEvent(m_stopEvent.get());
        CancelIoEx(m_file.get(), nullptr);
    }

private:
    UniqueHandle m_file;
    UniqueHandle m_readEvent;
    UniqueHandle m_stopEvent;
    std::atomic<bool> m_stop{false};
};

class WinBackend final : public Backend {
public:
    std::vector<std::wstring> Enumerate(std::size_t maxCount) override {
        std::vector<std::wstring> paths;
        const DeviceInfoList list(SetupDiGetClassDevsW(&kHidInterfaceClass, nullptr, nullptr,
                                                       DIGCF_PRESENT | DIGCF_DEVICEINTERFACE));
        if (!list) return paths;
        for (DWORD index = 0; paths.size() < maxCount; ++index) {
            SP_DEVICE_INTERFACE_DATA entry{};
            entry.cbSize = sizeof entry;
            if (!SetupDiEnumDeviceInterfaces(list.get(), nullptr, &kHidInterfaceClass, index, &entry)) break;
            DWORD size = 0;
            SetupDiGetDeviceInterfaceDetailW(list.get(), &entry, nullptr, 0, &size, nullptr);
            if (size < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) break;
            // DWORD elements keep the structure aligned; () zero-fills.
            const std::size_t words = (size + sizeof(DWORD) - 1) / sizeof(DWORD);
            std::unique_ptr<DWORD[]> buffer(new (std::nothrow) DWORD[words]());
            if (!buffer) break;
            auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(buffer.get());
            // The structure's own size (8 on x64: a DWORD and one aligned WCHAR), not the 6 of 32-bit code.
            detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
            if (!SetupDiGetDeviceInterfaceDetailW(list.get(), &entry, detail, size, nullptr, nullptr)) break;
            const std::size_t room =
                (words * sizeof(DWORD) - offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath)) /
                sizeof(wchar_t);
            const std::size_t length =
                wcsnlen(detail->DevicePath, room < kMaxPathChars ? room : kMaxPathChars);
            paths.emplace_back(detail->DevicePath, length);
        }
        return paths;
    }

    std::unique_ptr<Device> Open(const std::wstring& path, OpenMode mode) override {
        const DWORD flags = mode == OpenMode::Overlapped ? FILE_FLAG_OVERLAPPED : 0;
        UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, flags,
                                      nullptr));
        if (!file) return nullptr;
        UniqueHandle readEvent;
        UniqueHandle stopEvent;
        if (mode == OpenMode::Overlapped) {
            readEvent = UniqueHandle(CreateEventW(nullptr, TRUE, FALSE, nullptr));
            stopEvent = UniqueHandle(CreateEventW(nullptr, TRUE, FALSE, nullptr));
            if (!readEvent || !stopEvent) return nullptr;
        }
        return std::make_unique<WinDevice>(std::move(file), std::move(readEvent), std::move(stopEvent));
    }
};

} // namespace

Backend& WindowsBackend() {
    static WinBackend backend;
    return backend;
}

} // namespace pw::hid
