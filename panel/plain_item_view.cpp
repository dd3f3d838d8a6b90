#include "panel/plain_item_view.h"

#include <algorithm>

namespace pw {

bool CPlainItemView::AddReceiver(const std::wstring& path) {
    const std::wstring key = LowerCasePath(path);
    if (m_receivers.count(key)) return true;
    auto pipe = std::make_unique<CCmdPipe>();
    pipe->Open(path);
    m_receivers.emplace(key, std::move(pipe));
    return true;
}

bool CPlainItemView::RemoveReceiver(const std::wstring& path) {
    return m_receivers.erase(LowerCasePath(path)) > 0;
}

void CPlainItemView::AddNotifyChannel(const std::wstring& path) {
    auto channel = std::make_unique<CNotifyPipe>();
    channel->Open(m_hTarget, path);
    m_channels.push_back(std::move(channel));
}

bool CPlainItemView::RemoveNotifyChannel(const std::wstring& path) {
    const std::wstring key = LowerCasePath(path);
    const auto found = std::find_if(m_channels.begin(), m_channels.end(), [&](const auto& channel) {
        return LowerCasePath(channel->Path()) == key;
    });
    if (found == m_channels.end()) return false;
    (*found)->Close();
    m_channels.erase(found);
    return true;
}

void CPlainItemView::SetPostingEnabled(bool enabled) {
    for (auto& channel : m_channels)
        channel->SetPostingEnabled(enabled);
}

void CPlainItemView::StopAllPairing() {
    for (auto& [key, receiver] : m_receivers)
        receiver->StopPairing();
}

void CPlainItemView::CloseAll() {
    for (auto& channel : m_channels)
        channel->Close();
    m_channels.clear();
    m_receivers.clear();
}

} // namespace pw
