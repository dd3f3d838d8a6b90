#include "lang/language_loader.h"

#include <algorithm>
#include <boost/format.hpp>

namespace pw {

namespace {

std::wstring Numbered(const wchar_t* pattern, int n) {
    return (boost::wformat(pattern) % n).str();
}

// A spelling of path for spotting a file seen before: "." and ".." folded, slashes unified,
// ASCII letters lower-cased (the platform's file names ignore case).
std::wstring Canonical(const std::wstring& path) {
    std::vector<std::wstring> parts;
    std::wstring part;
    auto flush = [&] {
        if (part == L"..") {
            if (!parts.empty() && parts.back() != L"..") {
                parts.pop_back();
            } else {
                parts.push_back(part);
            }
        } else if (!part.empty() && part != L".") {
            parts.push_back(part);
        }
        part.clear();
    };
    for (wchar_t c : path) {
        if (c == L'\\' || c == L'/') {
            flush();
        } else {
            part += (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
        }
    }
    flush();
    std::wstring out;
    for (const std::wstring& p : parts) {
        out += L'\\';
        out += p;
    }
    return out;
}

// Everything before the last backslash, or the whole path without one.
std::wstring FolderOf(const std::wstring& path) {
    const std::size_t slash = path.rfind(L'\\');
    return slash == std::wstring::npos ? path : path.substr(0, slash);
}

} // namespace

void CLanguageLoader::Load(std::wstring_view path) {
    const std::wstring file(path.empty() ? std::wstring_view(m_strLanguageFile) : path);
    if (m_strLanguage.empty()) m_strLanguage = m_store.Read(L"Language", L"Default", L"English", file);
    // An empty "Default" leaves the table empty: every window shows its defaults.
    if (m_strLanguage.empty()) return;
    std::vector<std::wstring> seen;
    LoadFile(file, seen);
}

void CLanguageLoader::LoadFile(const std::wstring& path, std::vector<std::wstring>& seen) {
    std::wstring canonical = Canonical(path);
    if (seen.size() >= kMaxLanguageFiles || std::find(seen.begin(), seen.end(), canonical) != seen.end())
        return;
    seen.push_back(std::move(canonical));

    for (int n = 1;; ++n) {
        std::wstring key = m_store.Read(m_strLanguage, Numbered(L"ID%d", n), nullptr, path);
        if (key.empty()) break;
        std::wstring text = m_store.Read(m_strLanguage, Numbered(L"TEXT%d", n), nullptr, path);
        if (!text.empty()) m_texts.try_emplace(std::move(key), std::move(text));
    }

    const std::wstring folder = FolderOf(path);
    for (int n = 1;; ++n) {
        const std::wstring name = m_store.Read(L"include", Numbered(L"include%d", n), nullptr, path);
        if (name.empty()) break;
        LoadFile(folder + L'\\' + name, seen);
    }
}

void CLanguageLoader::Switch(std::wstring_view name) {
    if (name == m_strLanguage && !name.empty()) return;
    m_strLanguage = name;
    m_texts.clear();
    Load({});
    m_store.Write(L"Language", L"Default", m_strLanguage, m_strLanguageFile);
}

std::wstring LookupText(const TextMap& texts, const std::wstring& key, std::wstring_view defaultText) {
    const auto it = texts.find(key);
    return it != texts.end() ? it->second : std::wstring(defaultText);
}

} // namespace pw
