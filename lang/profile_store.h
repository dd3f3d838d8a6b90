// The language files' only road to disk: the platform's private-profile reading and writing.
#pragma once

#include <cstddef>
#include <string>

namespace pw {

// Every value is read into a buffer of this many wide characters: at most 259 characters count.
constexpr std::size_t kProfileBufferChars = 260;

class IProfileStore {
public:
    virtual ~IProfileStore() = default;
    // The value of key in section (names match regardless of case), cut to kProfileBufferChars - 1
    // characters; fallback, or empty when it is null, when the key is missing.
    virtual std::wstring Read(const std::wstring& section, const std::wstring& key, const wchar_t* fallback,
                              const std::wstring& file) = 0;
    // Failures are not reported: the texts then stay at their defaults.
    virtual void Write(const std::wstring& section, const std::wstring& key, const std::wstring& value,
                       const std::wstring& file) = 0;
};

} // namespace pw
