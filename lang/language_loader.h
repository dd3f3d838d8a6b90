// Loading the language file and its includes into the text table, free of windows.h so that the
// logic also runs natively over an in-memory store.
#pragma once

#include "lang/profile_store.h"

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace pw {

// Key to text of the current language; keys compared code unit by code unit.
using TextMap = std::map<std::wstring, std::wstring>;

// One load reads at most this many files, so includes that name each other under different
// spellings still end.
constexpr std::size_t kMaxLanguageFiles = 64;

// Works on the process-wide state that CMultiLanguage holds; constructed for one call.
class CLanguageLoader {
public:
    CLanguageLoader(IProfileStore& store, std::wstring& language, const std::wstring& languageFile,
                    TextMap& texts)
        : m_store(store), m_strLanguage(language), m_strLanguageFile(languageFile), m_texts(texts) {}

    // Adds the texts of path (empty: the language file) and of every file it includes, the
    // including file's texts first; picks the language from "Default" when none is current.
    void Load(std::wstring_view path);

    // Reloads and writes "Default" back when name differs from the current language or both are
    // empty; otherwise leaves everything as it is.
    void Switch(std::wstring_view name);

private:
    void LoadFile(const std::wstring& path, std::vector<std::wstring>& seen);

    IProfileStore& m_store;
    std::wstring& m_strLanguage;
    const std::wstring& m_strLanguageFile;
    TextMap& m_texts;
};

std::wstring LookupText(const TextMap& texts, const std::wstring& key, std::wstring_view defaultText);

} // namespace pw
