#include "render/Surface.h"
#include <gtest/gtest.h>
TEST(Surface, CreatesBlack) {
    Surface s(3, 2);
    EXPECT_EQ(s.row(1)[8], 0);
}
