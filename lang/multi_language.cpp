#include "lang/multi_language.h"

#include "lang/text_format.h"

#include <windows.h>

#include <cstring>
#include <iterator>

namespace {

class CProfileFile final : public pw::IProfileStore {
public:
    std::wstring Read(const std::wstring& section, const std::wstring& key, const wchar_t* fallback,
                      const std::wstring& file) override {
        wchar_t buffer[pw::kProfileBufferChars] = {};
        const DWORD n = GetPrivateProfileStringW(section.c_str(), key.c_str(), fallback, buffer,
                                                 static_cast<DWORD>(pw::kProfileBufferChars), file.c_str());
        return std::wstring(buffer, n < pw::kProfileBufferChars ? n : pw::kProfileBufferChars - 1);
    }

    void Write(const std::wstring& section, const std::wstring& key, const std::wstring& value,
               const std::wstring& file) override {
        WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(), file.c_str());
    }
};

pw::CLanguageLoader Loader() {
    static CProfileFile s_profile;
    return pw::CLanguageLoader(s_profile, CMultiLanguage::s_strLanguage, CMultiLanguage::s_strLanguageFile,
                               CMultiLanguage::s_texts);
}

} // namespace

std::wstring CMultiLanguage::s_strLanguage;
std::wstring CMultiLanguage::s_strLanguageFile;
pw::TextMap CMultiLanguage::s_texts;

void CMultiLanguage::SetLanguage(std::wstring_view name) {
    Loader().Switch(name);
    ApplyTexts();
}

void CMultiLanguage::LoadLanguageFile(std::wstring_view path) {
    Loader().Load(path);
}

std::wstring CMultiLanguage::GetText(const std::wstring& key, std::wstring_view defaultText) {
    return pw::LookupText(s_texts, key, defaultText);
}

std::wstring CMultiLanguage::GetText(pw::TextKey key, pw::TextDefault which) {
    return GetText(pw::TextEntryOf(key).key, pw::EnglishDefault(key, which));
}

std::wstring CMultiLanguage::FormatText(pw::TextKey key, std::wstring_view displayName) {
    return pw::FormatWithName(GetText(key), displayName, pw::EnglishDefault(key));
}

std::wstring CMultiLanguage::DeviceDisplayName(const pw::DeviceSlotRecord& record) {
    const std::size_t length = strnlen(record.name, sizeof record.name);
    wchar_t name[sizeof record.name] = {};
    const int converted = MultiByteToWideChar(CP_THREAD_ACP, 0, record.name, static_cast<int>(length), name,
                                              static_cast<int>(std::size(name)));
    const std::wstring kind = record.kind == pw::kKindKeyboard ? GetText(pw::TextKey::Keyboard)
                              : record.kind == pw::kKindMouse  ? GetText(pw::TextKey::Mouse)
                                                               : std::wstring();
    return pw::ComposeDisplayName(
        std::wstring_view(name, converted > 0 ? static_cast<std::size_t>(converted) : 0), kind);
}

bool CMultiLanguage::IsRightToLeft() {
    return lstrcmpiW(s_strLanguage.c_str(), L"Arabic") == 0;
}
