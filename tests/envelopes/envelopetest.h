#pragma once
// Helpers of the envelope tests; reading PDF files back comes from
// tests/support (pdfsupport.h).
#include "pdfsupport.h"

inline double PointsToMm(double points)
{
    return points * 25.4 / 72.0;
}
