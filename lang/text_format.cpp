#include "lang/text_format.h"

namespace pw {

namespace {

enum class Scan { Bad, NoName, OneName };

Scan ScanFormat(std::wstring_view format) {
    int names = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != L'%') continue;
        if (i + 1 == format.size()) return Scan::Bad;
        const wchar_t next = format[++i];
        if (next == L'%') continue;
        if (next != L's' || ++names > 1) return Scan::Bad;
    }
    return names == 1 ? Scan::OneName : Scan::NoName;
}

// Only called on formats ScanFormat accepted.
std::wstring Substitute(std::wstring_view format, std::wstring_view name) {
    std::wstring out;
    out.reserve(format.size() + name.size());
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != L'%') {
            out += format[i];
        } else if (format[++i] == L'%') {
            out += L'%';
        } else {
            out += name;
        }
    }
    return out;
}

} // namespace

bool IsNameFormat(std::wstring_view format) {
    return ScanFormat(format) != Scan::Bad;
}

std::wstring FormatWithName(std::wstring_view format, std::wstring_view name, std::wstring_view fallback) {
    if (IsNameFormat(format)) return Substitute(format, name);
    if (IsNameFormat(fallback)) return Substitute(fallback, name);
    return std::wstring(format);
}

std::wstring ComposeNameThenText(std::wstring_view name, std::wstring_view text) {
    std::wstring out(name);
    out += L' ';
    out += text;
    return out;
}

std::wstring ComposeDisplayName(std::wstring_view name, std::wstring_view kindText) {
    constexpr std::wstring_view kSpace = L" \t\n";
    const auto first = name.find_first_not_of(kSpace);
    const std::wstring_view trimmed = first == std::wstring_view::npos
                                          ? std::wstring_view{}
                                          : name.substr(first, name.find_last_not_of(kSpace) - first + 1);
    std::wstring out(L"Vorn ");
    out += trimmed;
    out += L' ';
    out += kindText;
    return out;
}

std::wstring ComposeQuestion(std::wstring_view text, std::wstring_view name) {
    std::wstring out(text);
    out += L' ';
    out += name;
    out += L'?';
    return out;
}

std::wstring ComposeCounts(int keyboards, std::wstring_view keyboardsText, int mice,
                           std::wstring_view miceText) {
    std::wstring out = std::to_wstring(keyboards);
    out += L' ';
    out += keyboardsText;
    out += L", ";
    out += std::to_wstring(mice);
    out += L' ';
    out += miceText;
    return out;
}

std::wstring ExpandLineFeeds(std::wstring_view text) {
    std::wstring out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\\' && i + 1 < text.size() && text[i + 1] == L'n') {
            out += L'\n';
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

} // namespace pw
