#include <gtest/gtest.h>

#include "model.h"

TEST(SampleRace, Generates)
{
    EXPECT_FALSE(makerace::GenerateRace({}).rall.empty());
}
