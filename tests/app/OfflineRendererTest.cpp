#include <gtest/gtest.h>

#include "app/OfflineRenderer.h"

TEST(OfflineFrames, ATimeFallsOnTheNearestFrame)
{
    EXPECT_EQ(FrameIndexOf(0, 0, 60), 0);
    EXPECT_EQ(FrameIndexOf(1000, 0, 60), 60);
    EXPECT_EQ(FrameIndexOf(1008, 0, 60), 60);   // 60.48 frames
    EXPECT_EQ(FrameIndexOf(1009, 0, 60), 61);   // 60.54 frames
    EXPECT_EQ(FrameIndexOf(12500, 12000, 30), 15);
}

TEST(OfflineFrames, FileNamesSortInTimeOrder)
{
    EXPECT_EQ(FrameFileName(500), "0000000500.png");
    EXPECT_EQ(FrameFileName(12000), "0000012000.png");
    EXPECT_LT(FrameFileName(9999), FrameFileName(10000));
    EXPECT_EQ(FrameFileName(4294967295u), "4294967295.png");
}
