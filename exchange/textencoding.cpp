#include "textencoding.h"

#include <QStringDecoder>
#include <algorithm>
#include <array>
#include <iterator>

namespace {

using Table = std::array<char16_t, 128>;

// Bytes 0x80 to 0xFF; U+FFFD where the code page defines no character.
constexpr Table kWindows1250 = {
    0x20AC, 0xFFFD, 0x201A, 0xFFFD, 0x201E, 0x2026, 0x2020, 0x2021, 0xFFFD, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164,
    0x017D, 0x0179, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0xFFFD, 0x2122, 0x0161, 0x203A,
    0x015B, 0x0165, 0x017E, 0x017A, 0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7, 0x00A8, 0x00A9,
    0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B, 0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C, 0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139,
    0x0106, 0x00C7, 0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E, 0x0110, 0x0143, 0x0147, 0x00D3,
    0x00D4, 0x0150, 0x00D6, 0x00D7, 0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF, 0x0155, 0x00E1,
    0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7, 0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7, 0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD,
    0x0163, 0x02D9,
};

constexpr Table kWindows1252 = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD,
    0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A,
    0x0153, 0xFFFD, 0x017E, 0x0178, 0x00A0, 0x00A1, 0x00A2, 0x00A3, 0x00A4, 0x00A5, 0x00A6, 0x00A7, 0x00A8, 0x00A9,
    0x00AA, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x00AF, 0x00B0, 0x00B1, 0x00B2, 0x00B3, 0x00B4, 0x00B5, 0x00B6, 0x00B7,
    0x00B8, 0x00B9, 0x00BA, 0x00BB, 0x00BC, 0x00BD, 0x00BE, 0x00BF, 0x00C0, 0x00C1, 0x00C2, 0x00C3, 0x00C4, 0x00C5,
    0x00C6, 0x00C7, 0x00C8, 0x00C9, 0x00CA, 0x00CB, 0x00CC, 0x00CD, 0x00CE, 0x00CF, 0x00D0, 0x00D1, 0x00D2, 0x00D3,
    0x00D4, 0x00D5, 0x00D6, 0x00D7, 0x00D8, 0x00D9, 0x00DA, 0x00DB, 0x00DC, 0x00DD, 0x00DE, 0x00DF, 0x00E0, 0x00E1,
    0x00E2, 0x00E3, 0x00E4, 0x00E5, 0x00E6, 0x00E7, 0x00E8, 0x00E9, 0x00EA, 0x00EB, 0x00EC, 0x00ED, 0x00EE, 0x00EF,
    0x00F0, 0x00F1, 0x00F2, 0x00F3, 0x00F4, 0x00F5, 0x00F6, 0x00F7, 0x00F8, 0x00F9, 0x00FA, 0x00FB, 0x00FC, 0x00FD,
    0x00FE, 0x00FF,
};

// ISO-8859-2 from 0xA0; 0x80 to 0x9F are the C1 controls.
constexpr std::array<char16_t, 96> kLatin2High = {
    0x00A0, 0x0104, 0x02D8, 0x0141, 0x00A4, 0x013D, 0x015A, 0x00A7, 0x00A8, 0x0160, 0x015E, 0x0164, 0x0179, 0x00AD,
    0x017D, 0x017B, 0x00B0, 0x0105, 0x02DB, 0x0142, 0x00B4, 0x013E, 0x015B, 0x02C7, 0x00B8, 0x0161, 0x015F, 0x0165,
    0x017A, 0x02DD, 0x017E, 0x017C, 0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7, 0x010C, 0x00C9,
    0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E, 0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF, 0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A,
    0x0107, 0x00E7, 0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F, 0x0111, 0x0144, 0x0148, 0x00F3,
    0x00F4, 0x0151, 0x00F6, 0x00F7, 0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,
};

QString decodeSingleByte(const QByteArray &bytes, TextEncoding encoding)
{
    QString out;
    out.resize(bytes.size());
    QChar *p = out.data();
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        char16_t u = b;
        if (b >= 0x80) {
            switch (encoding) {
            case TextEncoding::Windows1250: u = kWindows1250[b - 0x80]; break;
            case TextEncoding::Windows1252: u = kWindows1252[b - 0x80]; break;
            case TextEncoding::Latin2: u = b >= 0xA0 ? kLatin2High[b - 0xA0] : b; break;
            default: break; // Latin-1: the byte is the code point
            }
        }
        *p++ = QChar(u);
    }
    return out;
}

bool startsWith(const QByteArray &bytes, const char *mark, int length)
{
    return bytes.size() >= length && std::equal(mark, mark + length, bytes.constData());
}

} // namespace

QString EncodingName(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8: return QStringLiteral("UTF-8");
    case TextEncoding::Utf8Bom: return QStringLiteral("UTF-8 with BOM");
    case TextEncoding::Utf16LE: return QStringLiteral("UTF-16LE");
    case TextEncoding::Utf16BE: return QStringLiteral("UTF-16BE");
    case TextEncoding::Windows1250: return QStringLiteral("Windows-1250");
    case TextEncoding::Windows1252: return QStringLiteral("Windows-1252");
    case TextEncoding::Latin1: return QStringLiteral("ISO-8859-1");
    case TextEncoding::Latin2: return QStringLiteral("ISO-8859-2");
    }
    return QString();
}

bool IsValidUtf8(const QByteArray &bytes)
{
    const auto *s = reinterpret_cast<const unsigned char *>(bytes.constData());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        const unsigned char c = s[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int follow = 0;
        unsigned cp = 0;
        if (c >= 0xC2 && c <= 0xDF) {
            follow = 1;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            follow = 2;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            follow = 3;
            cp = c & 0x07;
        } else
            return false;
        for (int k = 1; k <= follow; ++k) {
            if (i + k >= n || (s[i + k] & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (s[i + k] & 0x3F);
        }
        if ((follow == 2 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) ||
            (follow == 3 && (cp < 0x10000 || cp > 0x10FFFF)))
            return false;
        i += follow + 1;
    }
    return true;
}

TextEncoding GuessWindowsCodePage(const QByteArray &bytes)
{
    // Letters frequent in Czech, Slovak, Polish and Hungarian whose bytes
    // are rare letters in Western texts (ě/ì, ř/ø, ů/ù, ň/ò, ...), and bytes
    // 1252 does not define (ť 0x9D, Ť 0x8D, Ź 0x8F).
    static const unsigned char central[] = {0xEC, 0xF8, 0xF9, 0xF2, 0x9D, 0x8D, 0x8F, 0xEF, 0xCF, 0xCC, 0xD8,
                                            0xD9, 0xD2, 0xB9, 0xB3, 0x9C, 0x9F, 0xBF, 0xBE, 0xE5, 0xA3, 0xF5, 0xFB};
    // Letters frequent in French, Spanish, Portuguese and Italian whose
    // bytes are rare letters in Central European texts (à/ŕ, ñ/ń, ê/ę, ã/ă).
    static const unsigned char western[] = {0xE0, 0xF1, 0xEA, 0xE3, 0xC0, 0xD1, 0xE6, 0xE8, 0x8C, 0xAA, 0xBA};
    int c = 0, w = 0;
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b < 0x80)
            continue;
        if (b == 0x81 || b == 0x83 || b == 0x88 || b == 0x90 || b == 0x98)
            continue; // undefined in 1250 and mostly in 1252 as well
        if (std::find(std::begin(central), std::end(central), b) != std::end(central))
            ++c;
        else if (std::find(std::begin(western), std::end(western), b) != std::end(western))
            ++w;
    }
    return c > w ? TextEncoding::Windows1250 : TextEncoding::Windows1252;
}

TextEncoding DetectFileEncoding(const QByteArray &bytes)
{
    if (startsWith(bytes, "\xEF\xBB\xBF", 3))
        return TextEncoding::Utf8Bom;
    if (startsWith(bytes, "\xFF\xFE", 2))
        return TextEncoding::Utf16LE;
    if (startsWith(bytes, "\xFE\xFF", 2))
        return TextEncoding::Utf16BE;
    // UTF-16 without a mark: ASCII text leaves every other byte zero.
    const qsizetype probe = std::min<qsizetype>(bytes.size() & ~qsizetype(1), 4096);
    if (probe >= 4) {
        int evenZero = 0, oddZero = 0;
        for (qsizetype i = 0; i < probe; i += 2) {
            evenZero += bytes[i] == 0;
            oddZero += bytes[i + 1] == 0;
        }
        const int pairs = int(probe / 2);
        if (oddZero * 10 >= pairs * 3 && evenZero * 10 < pairs)
            return TextEncoding::Utf16LE;
        if (evenZero * 10 >= pairs * 3 && oddZero * 10 < pairs)
            return TextEncoding::Utf16BE;
    }
    if (IsValidUtf8(bytes))
        return TextEncoding::Utf8;
    return GuessWindowsCodePage(bytes);
}

QString DecodeText(const QByteArray &bytes, TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8:
    case TextEncoding::Utf8Bom: {
        const bool mark = startsWith(bytes, "\xEF\xBB\xBF", 3);
        return QString::fromUtf8(mark ? bytes.mid(3) : bytes);
    }
    case TextEncoding::Utf16LE:
    case TextEncoding::Utf16BE: {
        QStringDecoder decoder(encoding == TextEncoding::Utf16LE ? QStringConverter::Utf16LE
                                                                 : QStringConverter::Utf16BE,
                               QStringConverter::Flag::Default);
        QString text = decoder(bytes);
        if (text.startsWith(QChar(0xFEFF)))
            text.remove(0, 1);
        return text;
    }
    default: return decodeSingleByte(bytes, encoding);
    }
}

bool EncodingFromCharsetName(const QByteArray &nameIn, TextEncoding &encoding)
{
    QByteArray name = nameIn.trimmed().toLower();
    name.replace('_', '-');
    if (name == "utf-8" || name == "utf8" || name == "us-ascii" || name == "ascii")
        encoding = TextEncoding::Utf8;
    else if (name == "iso-8859-1" || name == "iso8859-1" || name == "latin1" || name == "latin-1")
        encoding = TextEncoding::Latin1;
    else if (name == "iso-8859-2" || name == "iso8859-2" || name == "latin2" || name == "latin-2")
        encoding = TextEncoding::Latin2;
    else if (name == "windows-1250" || name == "cp1250" || name == "win1250" || name == "x-cp1250")
        encoding = TextEncoding::Windows1250;
    else if (name == "windows-1252" || name == "cp1252" || name == "win1252")
        encoding = TextEncoding::Windows1252;
    else
        return false;
    return true;
}
