// Translated texts come from language files people write: a text used as a format gets the device
// name only when it is safe, and the result never holds more than one copy of the name.
#include "lang/text_format.h"

#include <cstdlib>
#include <string>

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::wstring format;
    for (std::size_t i = 0; i + 1 < size; i += 2)
        format += static_cast<wchar_t>(data[i] | data[i + 1] << 8);
    const std::wstring name = L"Vorn \x0645 Mouse";
    const std::wstring fallback = L"Your %s is now added and ready for use.";

    const std::wstring out = pw::FormatWithName(format, name, fallback);
    if (pw::IsNameFormat(format)) {
        Check(out.size() <= format.size() + name.size());
    } else {
        Check(out == pw::FormatWithName(fallback, name, fallback));
    }
    Check(pw::ExpandLineFeeds(format).size() <= format.size());
    return 0;
}
