#include "conversions.h"

#include <cmath>

int DeviceUnits(double mm, int pixelsPerInch)
{
    return static_cast<int>(std::trunc(mm * pixelsPerInch * kInchesPerMillimetre + 0.5));
}
