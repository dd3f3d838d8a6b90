// The texts of every window: the language file's table by key, with the English defaults of
// kTextTable when a key has no entry. All of it runs on the user-interface thread.
#pragma once

#include "lang/language_loader.h"
#include "common/types.h"
#include "lang/text_keys.h"

#include <string>
#include <string_view>

class CMultiLanguage {
public:
    virtual ~CMultiLanguage() = default;

    // Sets every text of the window from the current language.
    virtual void ApplyTexts() = 0;

    // Reloads the language file when name differs from the current language (or both are empty),
    // then applies this window's texts. An empty name takes the language from the file's "Default".
    void SetLanguage(std::wstring_view name = {});

    // Adds the texts of path (empty: s_strLanguageFile) and of the files it includes.
    static void LoadLanguageFile(std::wstring_view path = {});

    static std::wstring GetText(const std::wstring& key, std::wstring_view defaultText);
    static std::wstring GetText(pw::TextKey key, pw::TextDefault which = pw::TextDefault::Main);

    // The text of a format key with the device display name in place of its "%s"; a translation
    // that is not a safe format gives way to the English default.
    static std::wstring FormatText(pw::TextKey key, std::wstring_view displayName);

    // A device as every window names it: "Vorn", the record's trimmed name (read in the thread's ANSI
    // code page) and the kind text of the current language.
    static std::wstring DeviceDisplayName(const pw::DeviceSlotRecord& record);

    // True when the current language is "Arabic", ignoring case.
    static bool IsRightToLeft();

    static std::wstring s_strLanguage;
    static std::wstring s_strLanguageFile;
    static pw::TextMap s_texts;
};
