#include "app/settings.h"

#include "framework/handles.h"

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <vector>

namespace pw::settings {
namespace {

fw::UniqueRegKey OpenOrCreateKey() {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kKeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE, kAccess, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return {};
    return fw::UniqueRegKey(key);
}

fw::UniqueRegKey OpenExistingKey() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kKeyPath, 0, kAccess, &key) != ERROR_SUCCESS) return {};
    return fw::UniqueRegKey(key);
}

void WriteDword(HKEY key, const wchar_t* name, DWORD value) {
    RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

// The DWORD value of a name, or nothing when the query fails or the type is not REG_DWORD.
std::optional<DWORD> QueryDword(HKEY key, const wchar_t* name) {
    DWORD value = 0;
    DWORD type = 0;
    DWORD size = sizeof value;
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS)
        return std::nullopt;
    if (type != REG_DWORD) return std::nullopt;
    return value;
}

// The index of a list entry "<stem><decimal index>" (no sign, no leading zeros), or nothing for any other
// value name. Value names are compared like the registry compares them: ignoring case.
std::optional<DWORD> EntryIndex(std::wstring_view name, std::wstring_view stem) {
    if (name.size() <= stem.size()) return std::nullopt;
    if (CompareStringOrdinal(name.data(), static_cast<int>(stem.size()), stem.data(),
                             static_cast<int>(stem.size()), TRUE) != CSTR_EQUAL)
        return std::nullopt;
    const std::wstring_view digits = name.substr(stem.size());
    if (digits.size() > 10 || (digits.size() > 1 && digits[0] == L'0')) return std::nullopt;
    std::uint64_t index = 0;
    for (wchar_t c : digits) {
        if (c < L'0' || c > L'9') return std::nullopt;
        index = index * 10 + static_cast<std::uint64_t>(c - L'0');
    }
    if (index > 0xFFFFFFFFu) return std::nullopt;
    return static_cast<DWORD>(index);
}

// The indices below count that have a value, highest first. Listing the key's values instead of querying
// every index from count-1 down gives the same entries, but a stored count of 0xFFFFFFFF no longer means
// four billion queries.
std::vector<DWORD> PresentEntryIndices(HKEY key, const wchar_t* stem, DWORD count) {
    std::vector<DWORD> indices;
    DWORD longestName = 0;
    if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &longestName,
                         nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return indices;
    std::wstring name(static_cast<std::size_t>(longestName) + 1, L'\0');
    for (DWORD i = 0;; ++i) {
        DWORD length = static_cast<DWORD>(name.size());
        const LSTATUS status =
            RegEnumValueW(key, i, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_MORE_DATA) continue;
        if (status != ERROR_SUCCESS) break;
        if (auto index = EntryIndex(std::wstring_view(name.data(), length), stem); index && *index < count)
            indices.push_back(*index);
    }
    std::sort(indices.begin(), indices.end(), std::greater<>());
    return indices;
}

// One list entry; nothing when it cannot be read, is not a string, has an odd length or is not
// terminated within its data.
std::optional<std::wstring> ReadEntry(HKEY key, const std::wstring& name) {
    wchar_t buffer[kEntryBufferBytes / sizeof(wchar_t)];
    DWORD type = 0;
    DWORD size = kEntryBufferBytes;
    if (RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;
    if (size % sizeof(wchar_t) != 0) return std::nullopt;
    if (size == 0) return std::wstring();
    if (buffer[size / sizeof(wchar_t) - 1] != L'\0') return std::nullopt;
    return std::wstring(buffer);
}

} // namespace

bool ApplyStartupSettings() {
    if (auto key = OpenOrCreateKey()) WriteDword(key.get(), kFirstRun, 0);

    auto key = OpenOrCreateKey();
    if (!key) return true;
    const std::optional<DWORD> value = QueryDword(key.get(), kShowWelcome);
    if (!value) {
        WriteDword(key.get(), kShowWelcome, 1);
        return true;
    }
    return *value == 1;
}

void LoadKeySet(const wchar_t* stem, KeySet& set) {
    set.clear();
    auto key = OpenExistingKey();
    if (!key) return;

    // The count's type is not checked; whatever bytes it holds (at most four) are the count.
    DWORD count = 0;
    DWORD size = sizeof count;
    const std::wstring countName = std::wstring(stem) + L's';
    if (RegQueryValueExW(key.get(), countName.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(&count),
                         &size) != ERROR_SUCCESS)
        count = 0;

    for (DWORD index : PresentEntryIndices(key.get(), stem, count)) {
        if (auto entry = ReadEntry(key.get(), stem + std::to_wstring(index))) set.insert(std::move(*entry));
    }
}

void LoadAllKeySets(ClassificationSets& sets) {
    for (const KeySetList& list : kKeySetLists)
        LoadKeySet(list.stem, sets.*list.set);
}

std::optional<bool> ReadWelcomeCheckBox() {
    auto key = OpenOrCreateKey();
    if (!key) return std::nullopt;
    const std::optional<DWORD> value = QueryDword(key.get(), kShowWelcome);
    if (!value) return std::nullopt;
    return *value == 0;
}

void WriteWelcomeCheckBox(bool checked) {
    if (auto key = OpenOrCreateKey()) WriteDword(key.get(), kShowWelcome, checked ? 0 : 1);
}

} // namespace pw::settings
