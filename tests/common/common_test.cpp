#include "common/types.h"

#include <gtest/gtest.h>

namespace {

TEST(Firmware, NibblesOfHighThenLowByte) {
    EXPECT_EQ(pw::FormatFirmware(0x12, 0x34), "1.2.3.4");
    EXPECT_EQ(pw::FormatFirmware(0xFF, 0x00), "15.15.0.0");
    EXPECT_EQ(pw::FormatFirmwareW(0x00, 0xA9), L"0.0.10.9");
}

TEST(DeviceIdBytes, LeastSignificantFirst) {
    const std::uint8_t bytes[3] = {1, 2, 3};
    EXPECT_EQ(pw::ReadDeviceId(bytes), 1u + 2u * 256u + 3u * 65536u);
    std::uint8_t out[3] = {};
    pw::WriteDeviceId(out, 0xABCDEF);
    EXPECT_EQ(out[0], 0xEF);
    EXPECT_EQ(out[1], 0xCD);
    EXPECT_EQ(out[2], 0xAB);
}

} // namespace
