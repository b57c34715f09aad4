#pragma once
// The font and colour of one printed line: the members of a logical font as
// the font dialog returns it, plus the text colour (0x00BBGGRR). The height
// is stored in tenths of a point (120 = 12 pt).
#include <QString>
#include <cstdint>

struct FontSpec {
    std::int32_t lfHeight = 120;
    std::int32_t lfWidth = 0;
    std::int32_t lfEscapement = 0;
    std::int32_t lfOrientation = 0;
    std::int32_t lfWeight = 400;
    bool lfItalic = false;
    bool lfUnderline = false;
    bool lfStrikeOut = false;
    std::uint8_t lfCharSet = 0;
    std::uint8_t lfOutPrecision = 0;
    std::uint8_t lfClipPrecision = 0;
    std::uint8_t lfQuality = 0;
    std::uint8_t lfPitchAndFamily = 0;
    QString lfFaceName = QStringLiteral("Times New Roman");
    std::uint32_t color = 0;

    bool operator==(const FontSpec &) const = default;
};
