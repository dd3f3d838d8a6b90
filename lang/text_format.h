// Texts combined with a device's display name. Language files are written by people, so a text
// used as a format is checked before the name goes in: no formatter ever reads an argument that
// is not there.
#pragma once

#include <string>
#include <string_view>

namespace pw {

// A format text holds at most one "%s" and otherwise only "%%" (a literal per cent sign).
bool IsNameFormat(std::wstring_view format);

// format with its "%s" replaced by name and every "%%" by "%". A format that IsNameFormat rejects
// is replaced by fallback (the English default); a format without "%s" shows without the name.
std::wstring FormatWithName(std::wstring_view format, std::wstring_view name, std::wstring_view fallback);

// "%s %s": display name, then text (the pair request title).
std::wstring ComposeNameThenText(std::wstring_view name, std::wstring_view text);

// "%s %s?": text, then display name (the removal question).
std::wstring ComposeQuestion(std::wstring_view text, std::wstring_view name);

// "%d %s, %d %s": the receiver's device counts.
std::wstring ComposeCounts(int keyboards, std::wstring_view keyboardsText, int mice,
                           std::wstring_view miceText);

// "Vorn %s %s": a device's name without the blanks, tabs and line feeds around it, then its kind text
// (empty for a kind that is neither keyboard nor mouse, so the name then ends in a blank).
std::wstring ComposeDisplayName(std::wstring_view name, std::wstring_view kindText);

// Every backslash followed by "n" becomes a line feed (the help steps of "IDC_STATIC_HELP_COMMENT").
std::wstring ExpandLineFeeds(std::wstring_view text);

} // namespace pw
