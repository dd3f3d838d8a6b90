// The language folder of one test. Under Windows: real files in a temporary folder, read and
// written by CMultiLanguage through the platform's private-profile functions. Natively: an
// in-memory store that follows the same rules, driven through CLanguageLoader.
#pragma once

#include "lang/language_loader.h"

#include <string>
#include <vector>

#ifdef _WIN32
#include "lang/multi_language.h"

#include <filesystem>
#include <fstream>
#include <windows.h>
#else
#include <map>
#endif

namespace pwtest {

#ifdef _WIN32

class CCountingWindow final : public CMultiLanguage {
public:
    void ApplyTexts() override { ++m_nApplied; }
    int m_nApplied = 0;
};

class LanguageFolder {
public:
    LanguageFolder() {
        static int s_serial = 0;
        m_root = std::filesystem::temp_directory_path() /
                 ("pw_lang_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++s_serial));
        std::filesystem::remove_all(m_root);
        std::filesystem::create_directories(m_root);
        CMultiLanguage::s_strLanguage.clear();
        CMultiLanguage::s_texts.clear();
        CMultiLanguage::s_strLanguageFile = Path(L"pairwright.ini");
    }
    ~LanguageFolder() {
        CMultiLanguage::s_strLanguage.clear();
        CMultiLanguage::s_texts.clear();
        CMultiLanguage::s_strLanguageFile.clear();
        std::error_code ignored;
        std::filesystem::remove_all(m_root, ignored);
    }
    LanguageFolder(const LanguageFolder&) = delete;
    LanguageFolder& operator=(const LanguageFolder&) = delete;

    std::wstring Path(const std::wstring& relative) const { return (m_root / relative).wstring(); }

    // Written as UTF-16 LE with a byte-order mark, lines ending in CR LF.
    void Put(const std::wstring& relative, const std::wstring& text) const {
        std::string bytes = "\xFF\xFE";
        for (wchar_t c : text) {
            if (c == L'\n') Append16(bytes, L'\r');
            Append16(bytes, c);
        }
        PutBytes(relative, bytes);
    }

    void PutBytes(const std::wstring& relative, const std::string& bytes) const {
        const std::filesystem::path path = m_root / relative;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    }

    void SetLanguage(const std::wstring& name) { m_window.SetLanguage(name); }
    const std::wstring& Language() const { return CMultiLanguage::s_strLanguage; }
    const pw::TextMap& Texts() const { return CMultiLanguage::s_texts; }
    int Applied() const { return m_window.m_nApplied; }

    std::wstring Value(const std::wstring& section, const std::wstring& key,
                       const std::wstring& relative = L"pairwright.ini") const {
        wchar_t buffer[1024] = {};
        const DWORD n = GetPrivateProfileStringW(section.c_str(), key.c_str(), L"<missing>", buffer, 1024,
                                                 Path(relative).c_str());
        return std::wstring(buffer, n);
    }

    void Write(const std::wstring& section, const std::wstring& key, const std::wstring& value,
               const std::wstring& relative = L"pairwright.ini") const {
        WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(), Path(relative).c_str());
    }

    std::vector<std::wstring> Sections(const std::wstring& relative = L"pairwright.ini") const {
        wchar_t buffer[1024] = {};
        GetPrivateProfileSectionNamesW(buffer, 1024, Path(relative).c_str());
        std::vector<std::wstring> names;
        for (const wchar_t* p = buffer; *p; p += names.back().size() + 1)
            names.emplace_back(p);
        return names;
    }

private:
    static void Append16(std::string& bytes, wchar_t c) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>((c >> 8) & 0xFF);
    }

    std::filesystem::path m_root;
    CCountingWindow m_window;
};

#else

// Private-profile rules as the platform applies them: names match ignoring case, blanks around
// names and values and enclosing quotes are dropped, values are cut to the buffer.
class CMemoryProfile final : public pw::IProfileStore {
public:
    std::wstring Read(const std::wstring& section, const std::wstring& key, const wchar_t* fallback,
                      const std::wstring& file) override {
        const auto f = m_files.find(file);
        if (f != m_files.end()) {
            bool inSection = false;
            for (const std::wstring& line : Lines(f->second)) {
                if (IsSection(line)) {
                    inSection = Same(SectionName(line), section);
                } else if (inSection && line.find(L'=') != std::wstring::npos && Same(KeyOf(line), key)) {
                    std::wstring value = Trim(line.substr(line.find(L'=') + 1));
                    if (value.size() >= 2 && (value[0] == L'"' || value[0] == L'\'') &&
                        value.back() == value[0]) {
                        value = value.substr(1, value.size() - 2);
                    }
                    return value.substr(0, pw::kProfileBufferChars - 1);
                }
            }
        }
        return fallback ? fallback : L"";
    }

    void Write(const std::wstring& section, const std::wstring& key, const std::wstring& value,
               const std::wstring& file) override {
        std::vector<std::wstring> lines = Lines(m_files[file]);
        const std::wstring entry = key + L"=" + value;
        std::size_t i = 0;
        while (i < lines.size() && !(IsSection(lines[i]) && Same(SectionName(lines[i]), section)))
            ++i;
        if (i == lines.size()) {
            lines.push_back(L"[" + section + L"]");
            lines.push_back(entry);
        } else {
            std::size_t end = i + 1;
            for (std::size_t j = i + 1; j < lines.size() && !IsSection(lines[j]); ++j) {
                if (lines[j].find(L'=') != std::wstring::npos && Same(KeyOf(lines[j]), key)) {
                    lines[j] = entry;
                    end = 0;
                    break;
                }
                if (!lines[j].empty()) end = j + 1;
            }
            if (end) lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(end), entry);
        }
        m_files[file] = Join(lines);
    }

    std::map<std::wstring, std::wstring> m_files;

    static std::vector<std::wstring> Lines(const std::wstring& text) {
        std::vector<std::wstring> lines;
        std::wstring line;
        for (wchar_t c : text) {
            if (c == L'\n') {
                lines.push_back(Trim(line));
                line.clear();
            } else if (c != L'\r') {
                line += c;
            }
        }
        if (!line.empty()) lines.push_back(Trim(line));
        return lines;
    }
    static bool IsSection(const std::wstring& line) { return !line.empty() && line[0] == L'['; }
    static std::wstring SectionName(const std::wstring& line) {
        return Trim(
            line.substr(1, line.find(L']') == std::wstring::npos ? std::wstring::npos : line.find(L']') - 1));
    }

private:
    static std::wstring Join(const std::vector<std::wstring>& lines) {
        std::wstring text;
        for (const std::wstring& line : lines)
            text += line + L"\n";
        return text;
    }
    static std::wstring KeyOf(const std::wstring& line) { return Trim(line.substr(0, line.find(L'='))); }
    static std::wstring Trim(const std::wstring& s) {
        const std::size_t first = s.find_first_not_of(L" \t");
        return first == std::wstring::npos ? L"" : s.substr(first, s.find_last_not_of(L" \t") - first + 1);
    }
    static bool Same(const std::wstring& a, const std::wstring& b) {
        auto lower = [](wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + 32) : c; };
        if (a.size() != b.size()) return false;
        for (std::size_t i = 0; i < a.size(); ++i) {
            if (lower(a[i]) != lower(b[i])) return false;
        }
        return true;
    }
};

class LanguageFolder {
public:
    LanguageFolder() : m_file(Path(L"pairwright.ini")) {}

    std::wstring Path(const std::wstring& relative) const { return L"C:\\lang-test\\" + relative; }
    void Put(const std::wstring& relative, const std::wstring& text) {
        m_profile.m_files[Path(relative)] = text;
    }
    void SetLanguage(const std::wstring& name) {
        pw::CLanguageLoader(m_profile, m_language, m_file, m_texts).Switch(name);
    }
    const std::wstring& Language() const { return m_language; }
    const pw::TextMap& Texts() const { return m_texts; }

    std::wstring Value(const std::wstring& section, const std::wstring& key,
                       const std::wstring& relative = L"pairwright.ini") {
        return m_profile.Read(section, key, L"<missing>", Path(relative));
    }
    void Write(const std::wstring& section, const std::wstring& key, const std::wstring& value,
               const std::wstring& relative = L"pairwright.ini") {
        m_profile.Write(section, key, value, Path(relative));
    }
    std::vector<std::wstring> Sections(const std::wstring& relative = L"pairwright.ini") {
        std::vector<std::wstring> names;
        for (const std::wstring& line : CMemoryProfile::Lines(m_profile.m_files[Path(relative)])) {
            if (CMemoryProfile::IsSection(line)) names.push_back(CMemoryProfile::SectionName(line));
        }
        return names;
    }

private:
    CMemoryProfile m_profile;
    std::wstring m_language;
    std::wstring m_file;
    pw::TextMap m_texts;
};

#endif

} // namespace pwtest
