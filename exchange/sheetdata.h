#pragma once
// One worksheet as the spreadsheet writers take it: a header row and body
// rows of text cells, two cell styles, row heights and column widths.
#include <QString>
#include <cstdint>
#include <vector>

struct SheetCellStyle {
    QString fontName;
    bool bold = false;
    int pointSize = 10;
    std::uint32_t fillRgb = 0xFFFFFF; // 0xRRGGBB
};

struct SheetData {
    QString name;
    int columns = 0;
    // rows[0] is the header row and uses `header`; every other row `body`.
    std::vector<std::vector<QString>> rows;
    // Height of each row in points; 0 keeps the default height.
    std::vector<double> heights;
    // Width of each column in characters of the default font's digit.
    std::vector<double> widths;
    SheetCellStyle header, body;
};

// Limits of the two formats.
constexpr int kXlsMaxRows = 65536;
constexpr int kXlsxMaxRows = 1048576;
constexpr int kMaxCellCharacters = 32767;
