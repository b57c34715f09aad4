#include "conversions.h"

#include <gtest/gtest.h>

namespace {
DeviceMetrics dpi(int x, int y)
{
    DeviceMetrics m;
    m.LOGPIXELSX = x;
    m.LOGPIXELSY = y;
    return m;
}
} // namespace

TEST(DeviceUnitConversion, HalfMillimetre)
{
    EXPECT_EQ(UnitConverter(dpi(600, 600)).LenX(0.5), 12);
    EXPECT_EQ(UnitConverter(dpi(96, 96)).LenX(0.5), 2); // 1.89 + 0.5 truncated
    EXPECT_EQ(UnitConverter(dpi(96, 96)).LenX(0.1), 0); // callers raise it to 1 where needed
}

TEST(DeviceUnitConversion, AxesUseTheirOwnResolution)
{
    const UnitConverter u(dpi(300, 600));
    EXPECT_EQ(u.LenX(25.4), 300);
    EXPECT_EQ(u.LenY(25.4), 600);
    EXPECT_EQ(u.LenX(20), 236);  // 236.22
    EXPECT_EQ(u.LenY(20), 472);  // 472.44
    EXPECT_EQ(u.LenY(40), 945);  // 944.88
}

TEST(DeviceUnitConversion, NegativeValuesTruncateTowardZero)
{
    EXPECT_EQ(UnitConverter(dpi(600, 600)).PosX(-5), -117); // trunc(-118.11 + 0.5)
    EXPECT_EQ(DeviceUnits(-0.5, 96), -1);                    // trunc(-1.89 + 0.5)
    EXPECT_EQ(DeviceUnits(-0.1, 96), 0);                     // trunc(-0.38 + 0.5)
    EXPECT_EQ(DeviceUnits(-0.4, 96), -1);                    // trunc(-1.51 + 0.5)
}

TEST(PositionConversion, ShiftsAreAddedOnlyWhenGiven)
{
    const UnitConverter preview(dpi(600, 600));
    const UnitConverter printing(dpi(600, 600), -4.5, 2);
    EXPECT_EQ(preview.PosX(110), preview.LenX(110));
    EXPECT_EQ(printing.PosX(110), int(105.5 * 600 / 25.4 + 0.5)); // 2492
    EXPECT_EQ(printing.PosX(110), 2492);
    EXPECT_EQ(printing.PosY(10), DeviceUnits(12, 600));
    // Lengths never take the shifts.
    EXPECT_EQ(printing.LenX(110), preview.LenX(110));
}

TEST(PositionConversion, ExactFormula)
{
    // The factor is 0.03937007874015748 applied after multiplying by the resolution.
    for (double mm : {0.0, 0.1, 1.0, 12.7, 99.9, 210.0, 297.0})
        for (int ppi : {72, 96, 300, 600, 1200})
            EXPECT_EQ(DeviceUnits(mm, ppi), int(mm * ppi * 0.03937007874015748 + 0.5)) << mm << " " << ppi;
}
