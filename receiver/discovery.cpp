#include "receiver/discovery.h"

#include "common/trace.h"

#include "receiver/cmd_pipe.h"
#include "receiver/hid_seam.h"
#include "receiver/notify_pipe.h"

#include <algorithm>

namespace pw {
namespace {

bool AnyKeyContains(const KeySet& set, const std::wstring& part) {
    return std::any_of(set.begin(), set.end(),
                       [&](const std::wstring& key) { return key.find(part) != std::wstring::npos; });
}

} // namespace

std::wstring LowerCasePath(std::wstring_view path) {
    std::wstring lower(path);
    for (wchar_t& c : lower)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    return lower;
}

std::wstring InterfaceKey(std::wstring_view path) {
    const std::wstring lower = LowerCasePath(path);
    int field = 0;
    std::size_t start = 0;
    while (start <= lower.size()) {
        std::size_t end = lower.find(L'#', start);
        if (end == std::wstring::npos) end = lower.size();
        if (end > start && ++field == 2) return lower.substr(start, end - start);
        start = end + 1;
    }
    return {};
}

std::wstring KeyPrefix(std::wstring_view key) {
    return std::wstring(key.substr(0, kHardwareIdLength));
}

std::wstring HardwareIdFromPath(std::wstring_view path) {
    const std::wstring lower = LowerCasePath(path);
    std::size_t start = lower.find(L"vid");
    if (start == std::wstring::npos) start = 0;
    return lower.substr(start, kHardwareIdLength);
}

std::vector<std::wstring> CDiscovery::EnumerateHidInterfaces() {
    std::vector<std::wstring> paths = hid::CurrentBackend().Enumerate(kMaxHidInterfaces);
    if (paths.size() > kMaxHidInterfaces) paths.resize(kMaxHidInterfaces);
    return paths;
}

bool CDiscovery::IsCommandInterface(const std::wstring& path) {
    const std::wstring key = InterfaceKey(path);
    if (m_sets.cmdPipe.count(key)) return true;
    if (m_sets.noCmdPipe.count(key)) return false;

    // Another collection of a model whose command collection is already known.
    if (AnyKeyContains(m_sets.cmdPipe, KeyPrefix(key))) {
        m_sets.noCmdPipe.insert(key);
        return false;
    }

    CCmdPipe trial;
    if (!trial.Open(path)) {
        m_sets.noCmdPipe.insert(key);
        return false;
    }
    trial.Close();
    m_sets.cmdPipe.insert(key);
    m_sets.noNotifyPipe.insert(key);
    return true;
}

NotifyClass CDiscovery::ClassifyNotifyInterface(const std::wstring& path) {
    const std::wstring key = InterfaceKey(path);
    if (m_sets.notifyPipe.count(key)) return kKnownNotifyInterface;
    if (m_sets.noNotifyPipe.count(key)) return kNotNotifyInterface;

    if (AnyKeyContains(m_sets.notifyPipe, KeyPrefix(key))) {
        m_sets.noNotifyPipe.insert(key);
        return kNotNotifyInterface;
    }

    CNotifyPipe trial;
    if (!trial.Open(m_window, path)) {
        m_sets.noNotifyPipe.insert(key);
        return kNotNotifyInterface;
    }
    trial.Close();
    return kVerifiedNotifyInterface;
}

void CDiscovery::DiscoverPresent() {
    for (const std::wstring& path : EnumerateHidInterfaces())
        OnArrival(path);
}

void CDiscovery::OnArrival(const std::wstring& path) {
    if (!m_view) return;
    const char* decision = "neither";
    if (IsCommandInterface(path)) {
        decision = m_view->AddReceiver(path) ? "receiver" : "receiver-refused";
    } else if (ClassifyNotifyInterface(path) != kNotNotifyInterface) {
        m_view->AddNotifyChannel(path);
        decision = "notification";
    }
    if (trace::Enabled())
        trace::Write("discovery", std::string("arrival ") + decision + " " + trace::Narrow(path));
}

void CDiscovery::OnRemoval(const std::wstring& path) {
    if (!m_view) return;
    const char* decision = "receiver";
    if (!m_view->RemoveReceiver(path))
        decision = m_view->RemoveNotifyChannel(path) ? "notification" : "unknown";
    if (trace::Enabled())
        trace::Write("discovery", std::string("removal ") + decision + " " + trace::Narrow(path));
}

} // namespace pw
