#include "engine/Random.h"

#include <gtest/gtest.h>

TEST(Random, FirstNumbersFromStateOne)
{
    CRandom::SetState(1);
    const int expected[] = {41, 18467, 6334, 26500, 19169};
    for (int e : expected)
        EXPECT_EQ(CRandom::Next(), e);
}
