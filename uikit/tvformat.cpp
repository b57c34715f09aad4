#include "tvformat.h"

#include <clocale>
#include <cstdio>
#include <locale.h>

namespace {

// Formats one numeric conversion with the C library, from a conversion pattern
// that we have checked ourselves, so no argument can be misread.
QString formatNumber(const std::string &spec, const TVArg &arg, char conv)
{
    char buffer[512];
    int n = 0;
    switch (conv) {
    case 'd': case 'i':
        n = std::snprintf(buffer, sizeof buffer, (spec + "lld").c_str(), static_cast<long long>(arg.toInt()));
        break;
    case 'u': case 'x': case 'X': case 'o':
        n = std::snprintf(buffer, sizeof buffer, (spec + "ll" + conv).c_str(),
                          static_cast<unsigned long long>(static_cast<std::uint32_t>(arg.toInt())));
        break;
    default: { // f F e E g G
        // Numbers are shown with a full stop in every locale: the C library
        // would write "12,50" under a German or Czech desktop, which the
        // program then reads back as another number.
        static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
        const locale_t previous = cLocale ? uselocale(cLocale) : locale_t(nullptr);
        n = std::snprintf(buffer, sizeof buffer, (spec + conv).c_str(), arg.toDouble());
        if (previous)
            uselocale(previous);
        break;
    }
    }
    if (n < 0)
        return QString();
    return QString::fromLatin1(buffer, std::min<int>(n, sizeof buffer - 1));
}

} // namespace

std::optional<QString> TVFormat(const QString &format, const std::vector<TVArg> &args)
{
    QString out;
    out.reserve(format.size() + 16);
    std::size_t next = 0;
    const qsizetype len = format.size();
    for (qsizetype i = 0; i < len; ++i) {
        const QChar c = format[i];
        if (c != u'%') {
            out += c;
            continue;
        }
        if (++i >= len)
            return std::nullopt; // a lone % at the end
        if (format[i] == u'%') {
            out += u'%';
            continue;
        }
        // flags, width, precision, length modifiers
        std::string spec = "%";
        bool leftAlign = false;
        while (i < len && QStringView(u"-+ #0").contains(format[i])) {
            if (format[i] == u'-')
                leftAlign = true;
            spec += char(format[i].unicode());
            ++i;
        }
        int width = 0;
        while (i < len && format[i].isDigit() && width < 1000) {
            width = width * 10 + format[i].digitValue();
            spec += char(format[i].unicode());
            ++i;
        }
        int precision = -1;
        if (i < len && format[i] == u'.') {
            spec += '.';
            ++i;
            precision = 0;
            while (i < len && format[i].isDigit() && precision < 1000) {
                precision = precision * 10 + format[i].digitValue();
                spec += char(format[i].unicode());
                ++i;
            }
        }
        if (width >= 1000 || precision >= 1000)
            return std::nullopt;
        while (i < len && QStringView(u"hlLqjzt").contains(format[i]))
            ++i;
        if (i >= len)
            return std::nullopt;
        const char conv = char(format[i].unicode());
        if (next >= args.size())
            return std::nullopt;
        const TVArg &arg = args[next++];
        switch (conv) {
        case 'd': case 'i': case 'u': case 'x': case 'X': case 'o':
            if (arg.type() != TVArg::Type::Int)
                return std::nullopt;
            out += formatNumber(spec, arg, conv);
            break;
        case 'f': case 'F': case 'e': case 'E': case 'g': case 'G':
            if (arg.type() == TVArg::Type::String)
                return std::nullopt;
            if (arg.type() == TVArg::Type::Int)
                out += formatNumber(spec, TVArg(double(arg.toInt())), conv);
            else
                out += formatNumber(spec, arg, conv);
            break;
        case 'c': {
            if (arg.type() != TVArg::Type::Int)
                return std::nullopt;
            QString s(QChar(char16_t(arg.toInt() & 0xFFFF)));
            while (s.size() < width)
                s = leftAlign ? s + u' ' : u' ' + s;
            out += s;
            break;
        }
        case 's': {
            if (arg.type() != TVArg::Type::String)
                return std::nullopt;
            QString s = arg.toString();
            if (precision >= 0 && s.size() > precision)
                s.truncate(precision);
            if (s.size() < width) {
                const QString pad(width - s.size(), u' ');
                s = leftAlign ? s + pad : pad + s;
            }
            out += s;
            break;
        }
        default:
            return std::nullopt;
        }
    }
    return out;
}
