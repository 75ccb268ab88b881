#include <gtest/gtest.h>

#include "tests/soak/HandleCensus.h"

TEST(HandleCensus, SeesHandlesComeAndGo)
{
    EXPECT_TRUE(CensusSeesNewHandles());
    const HandleCensus census = HandleCensus::Take();
    EXPECT_GT(census.gdiObjects, 0u);   // the stock objects at least
}
