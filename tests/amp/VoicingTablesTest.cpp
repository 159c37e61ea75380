// The committed transfer tables of both voicings: measured rows, shape and landmarks.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "VoicingTables.h"

using namespace ZORV;

namespace {

struct TableCase {
    const char* name;
    const double* table;
    std::vector<double> rows;  // at kRowIndex
    int half, onePercent, floorFrom;
};

const int kRowIndex[] = {0, 100, 200, 250, 300, 350, 400, 450, 500, 550, 600, 650, 700, 800, 1000, 1400};

const std::vector<TableCase>& Cases()
{
    static const std::vector<TableCase> cases = {
        {"A Lum", Lum::kTableA,
         {0.002866946, 0.002813188, 0.002670458, 0.002482292, 0.002164306, 0.001784713,
          0.001395362, 0.001013729, 0.0006529284, 0.0003375513, 0.0001132279, 1.881726e-05,
          2.006356e-06, 2.168901e-07, 2.04417e-07, 2.044165e-07},
         396, 640, 1015},
        {"A Dar", Dar::kTableA,
         {0.00291244, 0.002881124, 0.002809765, 0.00272132, 0.002507261, 0.00211451, 0.001661901,
          0.001213458, 0.0007970882, 0.0004419362, 0.0001831402, 4.817382e-05, 8.277362e-06,
          3.504179e-07, 2.047039e-07, 2.046629e-07},
         423, 666, 1122},
        {"B Lum", Lum::kTableB,
         {0.0008887061, 0.0008822236, 0.0008692701, 0.0008561154, 0.0008287373, 0.0007500699,
          0.0005770134, 0.0003792987, 0.0001972218, 6.122138e-05, 6.32156e-06, 4.139003e-07,
          1.632674e-07, 1.53732e-07, 1.537194e-07, 1.537194e-07},
         434, 594, 869},
        {"C Lum", Lum::kTableC,
         {0.002869754, 0.002817034, 0.002676552, 0.002490388, 0.002175435, 0.001799851,
          0.001414602, 0.001036613, 0.0006782871, 0.0003623076, 0.0001306327, 2.435226e-05,
          2.768086e-06, 2.289915e-07, 2.090486e-07, 2.090475e-07},
         398, 646, 1032},
        {"C Dar", Dar::kTableC,
         {0.002918784, 0.002889648, 0.002822978, 0.002739629, 0.002535196, 0.002159177,
          0.001726704, 0.001296941, 0.0008938159, 0.0005403644, 0.0002635268, 9.082915e-05,
          2.061338e-05, 7.593847e-07, 2.213137e-07, 2.210358e-07},
         431, 690, 1182},
        {"D Lum", Lum::kTableD,
         {0.002775208, 0.00268978, 0.002485373, 0.002251846, 0.00187295, 0.001408593,
          0.0009326242, 0.0004847122, 0.000129164, 6.026979e-06, 2.028204e-07, 1.181832e-07,
          1.170673e-07, 1.170525e-07, 1.170525e-07, 1.170525e-07},
         353, 530, 751},
        {"D Dar", Dar::kTableD,
         {0.002843711, 0.002789635, 0.002671612, 0.002537029, 0.002248839, 0.001737759,
          0.001140084, 0.0005745599, 0.0001548663, 1.099861e-05, 4.22207e-07, 1.202945e-07,
          1.126899e-07, 1.124952e-07, 1.124951e-07, 1.124951e-07},
         377, 535, 796},
    };
    return cases;
}

// "Constant" floor: equal to the last entry within one unit of the seventh significant digit.
bool InFloor(const double* t, int i)
{
    const double last = t[kTriodeTableSize - 1];
    const double unit = std::pow(10.0, std::floor(std::log10(last)) - 6);
    return std::fabs(t[i] - last) <= 1.5 * unit;
}

}  // namespace

TEST(VoicingTables, MeasuredRowsShapeAndLandmarks)
{
    for (const TableCase& c : Cases()) {
        SCOPED_TRACE(c.name);
        const double* t = c.table;
        for (size_t r = 0; r < c.rows.size(); ++r)
            EXPECT_EQ(t[kRowIndex[r]], c.rows[r]) << "measured row " << kRowIndex[r] << " differs";
        for (int i = 1; i < kTriodeTableSize; ++i)
            ASSERT_LE(t[i], t[i - 1]) << "current rises at entry " << i;

        int half = 0, onePercent = 0, floorFrom = kTriodeTableSize - 1;
        while (!(t[half] < 0.5 * t[0]))
            ++half;
        while (!(t[onePercent] < 0.01 * t[0]))
            ++onePercent;
        while (floorFrom > 0 && InFloor(t, floorFrom - 1))
            --floorFrom;
        EXPECT_EQ(half, c.half) << "first entry below half of entry 0";
        EXPECT_EQ(onePercent, c.onePercent) << "first entry below 1 % of entry 0";
        EXPECT_EQ(floorFrom, c.floorFrom) << "first entry of the constant floor";
        for (int i = floorFrom; i < kTriodeTableSize; ++i)
            ASSERT_TRUE(InFloor(t, i)) << "floor not constant at " << i;
    }
}

TEST(VoicingTables, VoicingsShareOnlyTableB)
{
    for (int i = 0; i < kTriodeTableSize; ++i) {
        ASSERT_EQ(std::memcmp(&Lum::kTableB[i], &Dar::kTableB[i], sizeof(double)), 0)
            << "TableB differs between voicings at " << i;
        ASSERT_NE(Lum::kTableA[i], Dar::kTableA[i]) << "TableA equal in both voicings at " << i;
        ASSERT_NE(Lum::kTableC[i], Dar::kTableC[i]) << "TableC equal in both voicings at " << i;
        ASSERT_NE(Lum::kTableD[i], Dar::kTableD[i]) << "TableD equal in both voicings at " << i;
    }
}
