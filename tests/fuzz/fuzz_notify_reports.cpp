// Input reports of any length at any spacing, straight into the repeat filter and the record decoder
// that the reader thread uses. Input: a start byte, then chunks of [tick step (2 bytes), length (1 byte),
// report bytes]; a length of 0 means 32.
#include "receiver/notify_pipe.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::uint32_t tick = size ? 0xFFFFF000u + data[0] * 16u : 0; // near the wrap of the tick counter
    pw::RepeatFilter filter{tick, {}};

    const std::uint8_t* previous = nullptr;
    std::size_t previousLength = 0;
    std::uint32_t previousTick = tick;
    std::size_t pos = 1;
    while (pos + 3 <= size) {
        const std::uint32_t step = static_cast<std::uint32_t>(data[pos] | data[pos + 1] << 8) * 4;
        const std::size_t length = std::min<std::size_t>(data[pos + 2] ? data[pos + 2] : 32, size - pos - 3);
        pos += 3;
        if (length == 0) break;
        const std::uint8_t* report = data + pos;
        pos += length;
        tick += step;

        const auto record = pw::FilterReport(filter, report, length, tick);
        const bool repeat = previous && length == previousLength &&
                            std::equal(report, report + length, previous) &&
                            static_cast<std::uint32_t>(tick - previousTick) <= 3000;
        Check(record.has_value() == (length == 32 && !repeat));
        if (record) {
            Check(record->code == report[1]);
            const auto* bytes = reinterpret_cast<const std::uint8_t*>(&*record);
            const std::size_t zeroFrom = record->code == pw::kNotifyDebug ? 3 : 17;
            for (std::size_t i = zeroFrom; i < sizeof *record; ++i)
                Check(bytes[i] == 0);
            Check(std::strlen(record->device.name) <= 10);
        }
        if (!repeat) {
            previous = report;
            previousLength = length;
        }
        previousTick = tick;
    }
    return 0;
}
