#pragma once
// The address block: the five lines of an address (name, street, town, ZIP,
// country) set into a rectangle of device pixels, each with its own font and
// colour, aligned left or centred, placed from the top, from the bottom, in
// the middle or spread over the rectangle, with town and ZIP on one row or
// one below the other, clipped at the rectangle. Envelopes draw it in their
// address area, labels inside each label.
//
//     AddressLayout layout(device, style.fonts, fontScale); // fonts made once
//     layout.Draw(rect, address, options);                   // per address
//
// Every position is an integer number of device pixels; the rules are those
// of the printed page:
//   P(x)  = tmHeight + tmExternalLeading of font x (the line pitch)
//   g(x)  = trunc(0.2 × tmHeight of font x + 0.5)  (the gap after a block)
//   NH, SH, TH, CH = P × lines of name, street, town, country; ZH = P(ZIP)
//   TW = widest non-empty town line, ZW = width of the ZIP (0 when empty)
// Top starts at R.top; Bottom and Center count the blocks up from R.bottom
// (Bottom leaves trunc(0.3 × tmHeight street + 0.5) below them, Center halves
// the free space); Expand shares the free space evenly between the blocks.
#include "addressentry.h"
#include "device.h"

#include <QRect>
#include <QStringList>
#include <array>

// A rectangle by its four edges in device pixels, as the layout computes
// them: the right and bottom edges lie outside it.
struct EdgeRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    QRect ToQRect() const { return GdiRect(left, top, right, bottom); }
    // Moved in by dx on the left and right and dy at the top and bottom.
    EdgeRect Inset(int dx, int dy) const { return {left + dx, top + dy, right - dx, bottom - dy}; }
    bool operator==(const EdgeRect &) const = default;
};

// The lines of a multi-line address text: split at each line feed, the
// carriage return before it dropped; an empty text gives no lines, an empty
// line in the middle is kept.
QStringList SplitAddressLines(const QString &text);

// The frame of an address area or label: tx vertical lines at left + k and
// right − k (k = 0 … tx − 1) from top to bottom, then ty horizontal lines at
// top + k and bottom − k from left to right, each line with the one-pixel
// black pen up to, not including, its end point.
void DrawAddressFrame(PrintDevice &device, const EdgeRect &frame, int tx, int ty);
// The frame thickness: the device pixels of 0.5 mm, at least 1.
int FrameThickness(int pixelsPerInch);

// The fonts of the five lines, in this order.
enum AddressLine { ADDR_NAME = 0, ADDR_STREET, ADDR_TOWN, ADDR_ZIP, ADDR_COUNTRY, ADDR_LINES };

using AddressFonts = std::array<FontSpec, ADDR_LINES>;

// Vertical placement values as stored in the styles.
enum AddressVertical { VERT_TOP = 0, VERT_BOTTOM = 1, VERT_EXPAND = 2, VERT_CENTER = 3 };
// Horizontal alignment values as stored in the styles.
enum AddressHorizontal { HORZ_LEFT = 0, HORZ_CENTER = 1 };

struct AddressLayoutOptions {
    int horizontal = HORZ_LEFT;
    int vertical = VERT_TOP; // any other value draws no lines
    bool joinZip = false;
};

class AddressLayout {
public:
    // Creates the five point-size fonts on the device (height in tenths of a
    // point: trunc(stored height × fontScale), at least 1) and reads the text
    // metrics of each with it selected once.
    AddressLayout(PrintDevice &device, const AddressFonts &fonts, double fontScale = 1.0);

    // Draws the address's lines into R; the previously selected font is
    // selected again at the end.
    void Draw(const EdgeRect &R, const AddressEntry &address, const AddressLayoutOptions &options) const;

    DeviceFont Font(AddressLine line) const { return m_fonts[std::size_t(line)]; }
    const TextMetrics &Metrics(AddressLine line) const { return m_metrics[std::size_t(line)]; }
    // P(x) and g(x) above.
    int Pitch(AddressLine line) const;
    int Gap(AddressLine line) const;

private:
    PrintDevice &m_device;
    AddressFonts m_specs;
    std::array<DeviceFont, ADDR_LINES> m_fonts{};
    std::array<TextMetrics, ADDR_LINES> m_metrics{};
};

// trunc(factor × value + 0.5), the rounding of every gap of the layout.
int RoundedFraction(double factor, int value);
