#include "addresslayout.h"

#include "conversions.h"

#include <algorithm>
#include <cmath>

QStringList SplitAddressLines(const QString &text)
{
    QStringList lines;
    if (text.isEmpty())
        return lines;
    qsizetype start = 0;
    while (true) {
        const qsizetype lf = text.indexOf(u'\n', start);
        if (lf < 0) {
            lines << text.mid(start);
            break;
        }
        qsizetype end = lf;
        if (end > start && text[end - 1] == u'\r')
            --end;
        lines << text.mid(start, end - start);
        start = lf + 1;
    }
    return lines;
}

int RoundedFraction(double factor, int value)
{
    return static_cast<int>(std::trunc(factor * value + 0.5));
}

int FrameThickness(int pixelsPerInch)
{
    return std::max(1, DeviceUnits(0.5, pixelsPerInch));
}

void DrawAddressFrame(PrintDevice &device, const EdgeRect &frame, int tx, int ty)
{
    for (int k = 0; k < tx; ++k) {
        device.DrawLine(frame.left + k, frame.top, frame.left + k, frame.bottom);
        device.DrawLine(frame.right - k, frame.top, frame.right - k, frame.bottom);
    }
    for (int k = 0; k < ty; ++k) {
        device.DrawLine(frame.left, frame.top + k, frame.right, frame.top + k);
        device.DrawLine(frame.left, frame.bottom - k, frame.right, frame.bottom - k);
    }
}

AddressLayout::AddressLayout(PrintDevice &device, const AddressFonts &fonts, double fontScale)
    : m_device(device), m_specs(fonts)
{
    const DeviceFont previous = device.SelectFont(0);
    for (std::size_t i = 0; i < fonts.size(); ++i) {
        m_fonts[i] = device.CreatePointFont(fonts[i], ScaledFontTenths(fonts[i].lfHeight, fontScale));
        device.SelectFont(m_fonts[i]);
        m_metrics[i] = device.GetTextMetrics();
    }
    device.SelectFont(previous);
}

int AddressLayout::Pitch(AddressLine line) const
{
    const TextMetrics &m = Metrics(line);
    return m.tmHeight + m.tmExternalLeading;
}

int AddressLayout::Gap(AddressLine line) const
{
    return RoundedFraction(0.2, Metrics(line).tmHeight);
}

void AddressLayout::Draw(const EdgeRect &R, const AddressEntry &address, const AddressLayoutOptions &options) const
{
    const int vertical = options.vertical;
    if (vertical != VERT_TOP && vertical != VERT_BOTTOM && vertical != VERT_EXPAND && vertical != VERT_CENTER)
        return;
    const bool centred = options.horizontal == HORZ_CENTER;
    const bool joinZip = options.joinZip;

    const QStringList name = SplitAddressLines(address.name);
    const QStringList street = SplitAddressLines(address.street);
    const QStringList town = SplitAddressLines(address.town);
    const QStringList country = SplitAddressLines(address.country);
    const QString &zip = address.zip;

    const DeviceFont previous = m_device.SelectFont(0);
    auto select = [&](AddressLine line) {
        m_device.SelectFont(Font(line));
        m_device.SetTextColor(m_specs[std::size_t(line)].color);
    };

    // Widths are measured with their own fonts.
    select(ADDR_TOWN);
    int TW = 0;
    for (const QString &line : town)
        if (!line.isEmpty())
            TW = std::max(TW, m_device.TextWidth(line));
    select(ADDR_ZIP);
    const int ZW = zip.isEmpty() ? 0 : m_device.TextWidth(zip);

    const int NH = Pitch(ADDR_NAME) * int(name.size());
    const int SH = Pitch(ADDR_STREET) * int(street.size());
    const int TH = Pitch(ADDR_TOWN) * int(town.size());
    const int CH = Pitch(ADDR_COUNTRY) * int(country.size());
    const int ZH = Pitch(ADDR_ZIP);
    const int joinedGap = RoundedFraction(0.2, std::max(Metrics(ADDR_TOWN).tmHeight, Metrics(ADDR_ZIP).tmHeight));
    const int bottomGap = RoundedFraction(0.3, Metrics(ADDR_STREET).tmHeight);

    // Lines of one block from y down, left at x; y ends below the block.
    auto block = [&](AddressLine line, const QStringList &lines, int x, int &y, bool centre) {
        select(line);
        for (const QString &text : lines) {
            m_device.DrawTextLine(GdiRect(x, y, R.right, R.bottom), text, centre);
            y += Pitch(line);
        }
    };
    // The joined row at y: the town block and the ZIP with their lower edges
    // level, the ZIP to the right of the widest town line.
    auto joinedRow = [&](int y) {
        const int gapX = static_cast<int>(std::trunc(Metrics(ADDR_ZIP).tmAveCharWidth * 1.2));
        int off = 0;
        if (centred)
            off = std::max(0, (R.right - R.left - gapX - ZW - TW) / 2);
        int ty = y + std::max(0, ZH - TH);
        block(ADDR_TOWN, town, R.left + off, ty, false);
        select(ADDR_ZIP);
        m_device.DrawTextLine(GdiRect(R.left + off + TW + gapX, y + std::max(0, TH - ZH), R.right, R.bottom), zip,
                              false);
    };
    auto zipLine = [&](int y) {
        select(ADDR_ZIP);
        m_device.DrawTextLine(GdiRect(R.left, y, R.right, R.bottom), zip, centred);
    };

    int y = R.top;
    int countryStart = 0;
    if (vertical == VERT_EXPAND) {
        // The free space is shared among the gaps drawn: after the name and
        // after the street (also when it has no lines), after the town when
        // the ZIP has its own line, and before the country when it has lines.
        const int n = 2 + (joinZip ? 0 : 1) + (country.isEmpty() ? 0 : 1);
        int gap = (R.bottom - bottomGap - SH - NH - CH - (joinZip ? std::max(TH, ZH) : TH + ZH) - R.top) / n;
        gap = std::max(0, gap);
        block(ADDR_NAME, name, R.left, y, centred);
        y += gap;
        block(ADDR_STREET, street, R.left, y, centred);
        y += gap;
        if (joinZip) {
            joinedRow(y);
            countryStart = y + std::max(TH, ZH) + gap;
        } else {
            block(ADDR_TOWN, town, R.left, y, centred);
            y += gap;
            zipLine(y);
            countryStart = y + ZH + gap;
        }
    } else {
        if (vertical != VERT_TOP) {
            int S = R.bottom;
            if (!country.isEmpty())
                S -= CH;
            if (!street.isEmpty())
                S -= Gap(ADDR_STREET) + SH;
            S -= Gap(ADDR_NAME) + NH;
            S -= joinZip ? std::max(TH, ZH) + joinedGap : Gap(ADDR_ZIP) + Gap(ADDR_TOWN) + TH + ZH;
            y = vertical == VERT_BOTTOM ? S - bottomGap : R.top + (S - R.top) / 2;
            if (y <= R.top)
                y = R.top;
        }
        block(ADDR_NAME, name, R.left, y, centred);
        y += Gap(ADDR_NAME);
        block(ADDR_STREET, street, R.left, y, centred);
        y += Gap(ADDR_STREET);
        if (joinZip) {
            joinedRow(y);
            countryStart = y + std::max(TH, ZH) + joinedGap;
        } else {
            block(ADDR_TOWN, town, R.left, y, centred);
            y += Gap(ADDR_TOWN);
            zipLine(y);
            countryStart = y + ZH + Gap(ADDR_ZIP);
        }
    }
    block(ADDR_COUNTRY, country, R.left, countryStart, centred);
    m_device.SelectFont(previous);
}
