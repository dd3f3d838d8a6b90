#include "tests/soak/driver.h"

#include <gtest/gtest.h>

namespace {} // namespace
