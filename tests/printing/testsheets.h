#pragma once
// Label sheets the printing tests share.
#include "sizes.h"

// An A4 sheet of 3 × 8 labels whose margins differ left and right, top and
// bottom (4 and 6 mm, 20 and 37 mm), as real sheets' do.
inline LabelSize UnequalMarginsSheet()
{
    LabelSize size;
    size.name = QStringLiteral("A4 with unequal margins");
    size.A = 8;
    size.B = 60;
    size.C = 4;
    size.D = 20;
    size.E = 30;
    size.F = 2;
    size.M = 8;
    size.N = 3;
    size.paperWidth = 210;
    size.paperHeight = 297;
    return size;
}
