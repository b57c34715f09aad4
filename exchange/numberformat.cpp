#include "numberformat.h"

#include <QDate>
#include <QStringList>
#include <QVector>
#include <cmath>

namespace {

const char *const kMonths[12] = {"January", "February", "March",     "April",   "May",      "June",
                                 "July",    "August",   "September", "October", "November", "December"};
const char *const kDays[7] = {"Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"};

// One piece of a format section.
struct Token {
    enum Kind {
        Literal,
        Digit,      // 0 # ?
        Point,      // decimal point
        Comma,      // thousands separator or scaling
        Percent,
        Exponent,   // E+ E- e+ e-
        Year, Month, Day, Hour, Minute, Second, AmPm, Elapsed,
        SubSecond,  // .0 .00 .000 after seconds
        Text,       // @
        General,    // "General" inside a longer format
    } kind;
    QString text;   // literal text, the digit character, the date code
    int length = 0; // letters of a date code
};

bool isDateLetter(QChar c)
{
    const QChar l = c.toLower();
    return l == u'y' || l == u'm' || l == u'd' || l == u'h' || l == u's' || l == u'e' || l == u'g' || l == u'b';
}

// Splits a format at the ";" that stand outside quotes and brackets.
QStringList sections(const QString &format)
{
    QStringList out;
    QString current;
    bool quoted = false;
    int bracket = 0;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (quoted) {
            current += c;
            if (c == u'"')
                quoted = false;
            continue;
        }
        if (c == u'\\' && i + 1 < format.size()) {
            current += c;
            current += format[++i];
            continue;
        }
        if (c == u'"')
            quoted = true;
        else if (c == u'[')
            ++bracket;
        else if (c == u']' && bracket > 0)
            --bracket;
        else if (c == u';' && bracket == 0) {
            out << current;
            current.clear();
            continue;
        }
        current += c;
    }
    out << current;
    return out;
}

struct Section {
    QVector<Token> tokens;
    bool isDate = false;
    bool hasCondition = false;
    double condition = 0;
    QString op;
};

Section parseSection(const QString &s)
{
    Section out;
    auto literal = [&](const QString &t) {
        if (!out.tokens.isEmpty() && out.tokens.back().kind == Token::Literal)
            out.tokens.back().text += t;
        else
            out.tokens.push_back({Token::Literal, t});
    };
    bool afterSecond = false;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c == u'"') {
            const qsizetype end = s.indexOf(u'"', i + 1);
            literal(s.mid(i + 1, (end < 0 ? s.size() : end) - i - 1));
            i = end < 0 ? s.size() : end;
            continue;
        }
        if (c == u'\\' && i + 1 < s.size()) {
            literal(QString(s[++i]));
            continue;
        }
        if (c == u'_' && i + 1 < s.size()) { // the width of the next character
            ++i;
            literal(QStringLiteral(" "));
            continue;
        }
        if (c == u'*' && i + 1 < s.size()) { // fill: nothing in a text
            ++i;
            continue;
        }
        if (c == u'[') {
            const qsizetype end = s.indexOf(u']', i + 1);
            const QString inner = s.mid(i + 1, (end < 0 ? s.size() : end) - i - 1);
            i = end < 0 ? s.size() : end;
            const QString lower = inner.toLower();
            if (inner.startsWith(u'$')) {
                // [$€-407]: a currency symbol (before the "-"); [$-407]: a locale only.
                const qsizetype dash = inner.indexOf(u'-');
                literal(inner.mid(1, dash < 0 ? -1 : dash - 1));
            } else if (!lower.isEmpty() && (lower[0] == u'h' || lower[0] == u'm' || lower[0] == u's') &&
                       lower.count(lower[0]) == lower.size()) {
                out.tokens.push_back({Token::Elapsed, lower.left(1), int(lower.size())});
                out.isDate = true;
            } else if (!inner.isEmpty() && (inner[0] == u'<' || inner[0] == u'>' || inner[0] == u'=')) {
                qsizetype n = 0;
                while (n < inner.size() && (inner[n] == u'<' || inner[n] == u'>' || inner[n] == u'='))
                    ++n;
                bool ok = false;
                const double v = inner.mid(n).trimmed().toDouble(&ok);
                if (ok) {
                    out.hasCondition = true;
                    out.op = inner.left(n);
                    out.condition = v;
                }
            }
            // Colours ([Red]) and other bracketed codes show nothing.
            continue;
        }
        if (c == u'0' || c == u'#' || c == u'?') {
            if (afterSecond && c == u'0') {
                // .0 after seconds: fractions of a second
                if (!out.tokens.isEmpty() && out.tokens.back().kind == Token::SubSecond) {
                    ++out.tokens.back().length;
                    continue;
                }
            }
            out.tokens.push_back({Token::Digit, QString(c)});
            continue;
        }
        if (c == u'.') {
            if (afterSecond && i + 1 < s.size() && s[i + 1] == u'0') {
                out.tokens.push_back({Token::SubSecond, QString(), 0});
                continue;
            }
            out.tokens.push_back({Token::Point, QString(c)});
            continue;
        }
        if (c == u',') {
            out.tokens.push_back({Token::Comma, QString(c)});
            continue;
        }
        if (c == u'%') {
            out.tokens.push_back({Token::Percent, QString(c)});
            continue;
        }
        if (c == u'@') {
            out.tokens.push_back({Token::Text, QString(c)});
            continue;
        }
        if ((c == u'E' || c == u'e') && i + 1 < s.size() && (s[i + 1] == u'+' || s[i + 1] == u'-') && !out.isDate) {
            out.tokens.push_back({Token::Exponent, s.mid(i, 2)});
            ++i;
            continue;
        }
        if (s.mid(i, 7).compare(QLatin1String("General"), Qt::CaseInsensitive) == 0) {
            out.tokens.push_back({Token::General, QString()});
            i += 6;
            continue;
        }
        if (s.mid(i, 5).compare(QLatin1String("AM/PM"), Qt::CaseInsensitive) == 0) {
            out.tokens.push_back({Token::AmPm, QStringLiteral("AM/PM"), 5});
            out.isDate = true;
            i += 4;
            continue;
        }
        if (s.mid(i, 3).compare(QLatin1String("A/P"), Qt::CaseInsensitive) == 0) {
            out.tokens.push_back({Token::AmPm, s.mid(i, 3), 3});
            out.isDate = true;
            i += 2;
            continue;
        }
        if (isDateLetter(c)) {
            const QChar l = c.toLower();
            qsizetype n = 1;
            while (i + n < s.size() && s[i + n].toLower() == l)
                ++n;
            Token t{Token::Literal, QString(l), int(n)};
            switch (l.unicode()) {
            case 'y': case 'e': t.kind = Token::Year; break;
            case 'm': t.kind = Token::Month; break;
            case 'd': t.kind = Token::Day; break;
            case 'h': t.kind = Token::Hour; break;
            case 's': t.kind = Token::Second; break;
            default: t.kind = Token::Literal; t.text = s.mid(i, n); break; // g, b: era codes, shown as written
            }
            if (t.kind != Token::Literal)
                out.isDate = true;
            afterSecond = t.kind == Token::Second;
            out.tokens.push_back(t);
            i += n - 1;
            continue;
        }
        literal(QString(c));
    }
    // "m" after an hour or before a second is minutes.
    for (int i = 0; i < out.tokens.size(); ++i) {
        Token &t = out.tokens[i];
        if (t.kind != Token::Month || t.length > 2)
            continue;
        bool minute = false;
        for (int j = i - 1; j >= 0; --j) {
            const auto k = out.tokens[j].kind;
            if (k == Token::Hour || k == Token::Elapsed) {
                minute = true;
                break;
            }
            if (k != Token::Literal)
                break;
        }
        for (int j = i + 1; j < out.tokens.size() && !minute; ++j) {
            const auto k = out.tokens[j].kind;
            if (k == Token::Second) {
                minute = true;
                break;
            }
            if (k != Token::Literal)
                break;
        }
        if (minute)
            t.kind = Token::Minute;
    }
    return out;
}

QString twoDigits(long long v)
{
    return QString::number(v).rightJustified(2, u'0');
}

QString formatDate(double value, const Section &section, bool date1904)
{
    if (!std::isfinite(value) || value < 0 || value > 2958466)
        return QString(); // outside 1900..9999: the sheet shows "###"
    int subDigits = 0;
    bool ampm = false;
    for (const Token &t : section.tokens) {
        if (t.kind == Token::SubSecond)
            subDigits = std::max(subDigits, t.length);
        if (t.kind == Token::AmPm)
            ampm = true;
    }
    // Rounded to the shown fraction of a second.
    const double scale = std::pow(10.0, subDigits);
    const long long units = std::llround(value * 86400.0 * scale);
    const long long perDay = 86400LL * (long long)scale;
    long long days = units / perDay;
    const long long inDay = units % perDay;
    const long long secondsInDay = inDay / (long long)scale;
    const long long fraction = inDay % (long long)scale;
    QDate date;
    if (date1904)
        date = QDate(1904, 1, 1).addDays(days);
    else if (days < 60)
        date = QDate(1899, 12, 31).addDays(days);
    else if (days == 60)
        date = QDate(1900, 2, 28); // the year 1900 counts a 29 February that never was
    else
        date = QDate(1899, 12, 30).addDays(days);
    const long long hour = secondsInDay / 3600, minute = secondsInDay / 60 % 60, second = secondsInDay % 60;
    const double totalSeconds = double(units) / scale;

    QString out;
    for (const Token &t : section.tokens) {
        switch (t.kind) {
        case Token::Year:
            out += t.length <= 2 ? twoDigits(date.year() % 100) : QString::number(date.year());
            break;
        case Token::Month:
            if (t.length == 1)
                out += QString::number(date.month());
            else if (t.length == 2)
                out += twoDigits(date.month());
            else if (t.length == 3)
                out += QString::fromLatin1(kMonths[date.month() - 1]).left(3);
            else if (t.length == 5)
                out += QString::fromLatin1(kMonths[date.month() - 1]).left(1);
            else
                out += QString::fromLatin1(kMonths[date.month() - 1]);
            break;
        case Token::Day:
            if (t.length == 1)
                out += QString::number(date.day());
            else if (t.length == 2)
                out += twoDigits(date.day());
            else if (t.length == 3)
                out += QString::fromLatin1(kDays[date.dayOfWeek() - 1]).left(3);
            else
                out += QString::fromLatin1(kDays[date.dayOfWeek() - 1]);
            break;
        case Token::Hour: {
            long long h = hour;
            if (ampm) {
                h %= 12;
                if (h == 0)
                    h = 12;
            }
            out += t.length >= 2 ? twoDigits(h) : QString::number(h);
            break;
        }
        case Token::Minute:
            out += t.length >= 2 ? twoDigits(minute) : QString::number(minute);
            break;
        case Token::Second:
            out += t.length >= 2 ? twoDigits(second) : QString::number(second);
            break;
        case Token::SubSecond:
            out += u'.' + QString::number(fraction).rightJustified(subDigits, u'0').left(t.length);
            break;
        case Token::Elapsed: {
            long long v = t.text == u'h' ? (long long)(totalSeconds / 3600)
                          : t.text == u'm' ? (long long)(totalSeconds / 60)
                                           : (long long)totalSeconds;
            out += QString::number(v).rightJustified(t.length, u'0');
            break;
        }
        case Token::AmPm: {
            const bool pm = hour >= 12;
            if (t.length == 5)
                out += pm ? QStringLiteral("PM") : QStringLiteral("AM");
            else
                out += pm ? (t.text[2].isUpper() ? u'P' : u'p') : (t.text[0].isUpper() ? u'A' : u'a');
            break;
        }
        case Token::Digit:
            out += t.text == u'0' ? QStringLiteral("0") : QString();
            break;
        case Token::Point:
        case Token::Comma:
        case Token::Literal:
        case Token::Percent:
            out += t.text;
            break;
        default:
            break;
        }
    }
    return out;
}

// `x` (not negative) with `places` decimals, rounded half up on its
// shortest decimal form of 15 significant digits, as the spreadsheets do:
// 12.345 shows as 12.35 although the nearest double is a little less.
QString roundDecimal(double x, int places)
{
    if (x == 0 || !std::isfinite(x))
        return QString::number(0.0, 'f', places);
    const QString e = QString::number(x, 'e', 14); // d.dddddddddddddde±x
    const qsizetype ePos = e.indexOf(u'e');
    QString digits = e.left(1) + e.mid(2, ePos - 2);
    const int exponent = e.mid(ePos + 1).toInt();
    // digits[0] stands for 10^exponent.
    const int kept = exponent + 1 + places; // digits that stay
    if (kept < 0)
        return QString::number(0.0, 'f', places);
    if (kept < digits.size()) {
        const bool up = digits[kept] >= u'5';
        digits.truncate(kept);
        if (up) {
            int i = kept - 1;
            for (; i >= 0; --i) {
                if (digits[i] == u'9') {
                    digits[i] = u'0';
                } else {
                    digits[i] = QChar(digits[i].unicode() + 1);
                    break;
                }
            }
            if (i < 0) {
                digits.prepend(u'1');
                return roundDecimal(std::pow(10.0, exponent + 1), places);
            }
        }
    }
    while (digits.size() < kept)
        digits += u'0';
    // Place the point: exponent + 1 digits before it.
    const int before = exponent + 1;
    QString intPart, fracPart;
    if (before <= 0) {
        intPart = QStringLiteral("0");
        fracPart = QString(-before, u'0') + digits;
    } else {
        intPart = digits.left(before);
        while (intPart.size() < before)
            intPart += u'0';
        fracPart = digits.mid(before);
    }
    fracPart = fracPart.left(places);
    while (fracPart.size() < places)
        fracPart += u'0';
    return places > 0 ? intPart + u'.' + fracPart : intPart;
}

QString groupThousands(const QString &digits)
{
    QString out;
    const qsizetype n = digits.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += u',';
        out += digits[i];
    }
    return out;
}

QString formatNumber(double value, const Section &section, bool useSign)
{
    // The placeholders before and after the point, the scaling, grouping.
    int pointAt = -1, exponentAt = -1, percents = 0;
    int firstDigit = -1;
    const auto &tk = section.tokens;
    for (int i = 0; i < tk.size(); ++i) {
        switch (tk[i].kind) {
        case Token::Digit:
            if (firstDigit < 0)
                firstDigit = i;
            break;
        case Token::Point:
            if (pointAt < 0 && exponentAt < 0)
                pointAt = i;
            break;
        case Token::Exponent:
            if (exponentAt < 0)
                exponentAt = i;
            break;
        case Token::Percent:
            ++percents;
            break;
        default:
            break;
        }
    }
    if (firstDigit < 0) {
        // No placeholder at all: only the literal texts ("-", "free").
        QString out;
        for (const Token &t : tk)
            if (t.kind == Token::Literal || t.kind == Token::Percent || t.kind == Token::Comma || t.kind == Token::Point)
                out += t.text;
        return (useSign && value < 0 ? QStringLiteral("-") : QString()) + out;
    }
    const int mantissaEnd = exponentAt >= 0 ? exponentAt : int(tk.size());
    const int intEnd = pointAt >= 0 ? pointAt : mantissaEnd;
    bool grouping = false;
    int scaleCommas = 0;
    for (int i = 0; i < intEnd; ++i) {
        if (tk[i].kind != Token::Comma)
            continue;
        // A comma between placeholders groups; commas right after the last
        // integer placeholder divide by a thousand each.
        bool digitBefore = false, digitAfter = false;
        for (int j = i - 1; j >= 0 && !digitBefore; --j)
            digitBefore = tk[j].kind == Token::Digit;
        for (int j = i + 1; j < intEnd && !digitAfter; ++j)
            digitAfter = tk[j].kind == Token::Digit;
        if (digitBefore && digitAfter)
            grouping = true;
        else if (digitBefore)
            ++scaleCommas;
    }
    int fracPlaces = 0;
    for (int i = intEnd + 1; i < mantissaEnd && pointAt >= 0; ++i)
        if (tk[i].kind == Token::Digit)
            ++fracPlaces;

    double x = std::fabs(value) * std::pow(100.0, percents) / std::pow(1000.0, scaleCommas);
    int exponent = 0;
    if (exponentAt >= 0 && x != 0) {
        int intPlaces = 0;
        for (int i = 0; i < intEnd; ++i)
            if (tk[i].kind == Token::Digit)
                ++intPlaces;
        intPlaces = std::max(intPlaces, 1);
        exponent = int(std::floor(std::log10(x)));
        // Engineering steps when the integer part has several placeholders ("##0.0E+0").
        if (intPlaces > 1)
            exponent = int(std::floor(double(exponent) / intPlaces)) * intPlaces;
        x /= std::pow(10.0, exponent);
        if (roundDecimal(x, fracPlaces).toDouble() >= std::pow(10.0, intPlaces)) {
            x /= std::pow(10.0, intPlaces);
            exponent += intPlaces;
        }
    }
    const QString fixed = roundDecimal(x, fracPlaces);
    const qsizetype dot = fixed.indexOf(u'.');
    QString intDigits = dot < 0 ? fixed : fixed.left(dot);
    const QString fracDigits = dot < 0 ? QString() : fixed.mid(dot + 1);
    if (intDigits == u'0')
        intDigits.clear();
    const bool negative = useSign && value < 0 && (fixed.count(u'0') + (dot < 0 ? 0 : 1)) != fixed.size();

    // The integer placeholders take the digits from the right; what is left
    // goes before the first one.
    QVector<QString> pieces(tk.size());
    {
        qsizetype next = intDigits.size();
        int leftmost = -1;
        for (int i = intEnd - 1; i >= 0; --i) {
            if (tk[i].kind != Token::Digit)
                continue;
            leftmost = i;
            if (next > 0)
                pieces[i] = intDigits.mid(--next, 1);
            else if (tk[i].text == u'0')
                pieces[i] = QStringLiteral("0");
            else if (tk[i].text == u'?')
                pieces[i] = QStringLiteral(" ");
        }
        if (leftmost >= 0 && next > 0)
            pieces[leftmost] = intDigits.left(next) + pieces[leftmost];
        if (grouping) {
            // Regroup the whole integer part as one run of digits.
            QString run;
            for (int i = 0; i < intEnd; ++i)
                if (tk[i].kind == Token::Digit)
                    run += pieces[i];
            const QString trimmed = run.trimmed();
            for (int i = 0; i < intEnd; ++i)
                if (tk[i].kind == Token::Digit)
                    pieces[i].clear();
            if (leftmost >= 0)
                pieces[leftmost] = groupThousands(trimmed);
        }
    }
    // The fraction placeholders take the digits from the left; trailing
    // zeros stay for "0", go for "#", become spaces for "?".
    QString point;
    if (pointAt >= 0) {
        QVector<int> places;
        for (int i = intEnd + 1; i < mantissaEnd; ++i)
            if (tk[i].kind == Token::Digit)
                places << i;
        int keep = int(places.size());
        while (keep > 0 && fracDigits[keep - 1] == u'0' && tk[places[keep - 1]].text != u'0')
            --keep;
        for (int p = 0; p < places.size(); ++p) {
            if (p < keep)
                pieces[places[p]] = fracDigits.mid(p, 1);
            else if (tk[places[p]].text == u'?')
                pieces[places[p]] = QStringLiteral(" ");
        }
        pieces[pointAt] = QStringLiteral(".");
    }

    QString out;
    for (int i = 0; i < tk.size(); ++i) {
        const Token &t = tk[i];
        switch (t.kind) {
        case Token::Digit:
        case Token::Point:
            if (i < mantissaEnd)
                out += pieces[i];
            break;
        case Token::Comma:
            break; // grouping and scaling are done
        case Token::Exponent: {
            int digits = 0;
            for (int j = i + 1; j < tk.size(); ++j)
                if (tk[j].kind == Token::Digit)
                    ++digits;
            const QString sign = exponent < 0 ? QStringLiteral("-") : (t.text[1] == u'+' ? QStringLiteral("+") : QString());
            out += t.text[0] + sign + QString::number(std::abs(exponent)).rightJustified(std::max(digits, 1), u'0');
            i = int(tk.size()); // the exponent's placeholders are done
            break;
        }
        case Token::Percent:
        case Token::Literal:
            out += t.text;
            break;
        default:
            break;
        }
    }
    return negative ? u'-' + out : out;
}

bool conditionHolds(const Section &s, double v)
{
    if (s.op == QLatin1String("<"))
        return v < s.condition;
    if (s.op == QLatin1String("<="))
        return v <= s.condition;
    if (s.op == QLatin1String(">"))
        return v > s.condition;
    if (s.op == QLatin1String(">="))
        return v >= s.condition;
    if (s.op == QLatin1String("<>"))
        return v != s.condition;
    return v == s.condition;
}

} // namespace

QString GeneralNumberText(double value)
{
    if (!std::isfinite(value))
        return QString();
    if (value == std::trunc(value) && std::fabs(value) < 1e15)
        return QString::number(static_cast<long long>(value));
    QString text = QString::number(value, 'g', 10);
    // "1.5e+20" is written "1.5E+20" by the spreadsheets.
    const qsizetype e = text.indexOf(u'e');
    if (e >= 0)
        text[e] = u'E';
    return text;
}

QString BuiltInNumberFormat(int index)
{
    switch (index) {
    case 0: return QStringLiteral("General");
    case 1: return QStringLiteral("0");
    case 2: return QStringLiteral("0.00");
    case 3: return QStringLiteral("#,##0");
    case 4: return QStringLiteral("#,##0.00");
    case 5: return QStringLiteral("$#,##0_);($#,##0)");
    case 6: return QStringLiteral("$#,##0_);[Red]($#,##0)");
    case 7: return QStringLiteral("$#,##0.00_);($#,##0.00)");
    case 8: return QStringLiteral("$#,##0.00_);[Red]($#,##0.00)");
    case 9: return QStringLiteral("0%");
    case 10: return QStringLiteral("0.00%");
    case 11: return QStringLiteral("0.00E+00");
    case 12: return QStringLiteral("# ?/?");
    case 13: return QStringLiteral("# ?" "?/?" "?");
    case 14: return QStringLiteral("m/d/yyyy");
    case 15: return QStringLiteral("d-mmm-yy");
    case 16: return QStringLiteral("d-mmm");
    case 17: return QStringLiteral("mmm-yy");
    case 18: return QStringLiteral("h:mm AM/PM");
    case 19: return QStringLiteral("h:mm:ss AM/PM");
    case 20: return QStringLiteral("h:mm");
    case 21: return QStringLiteral("h:mm:ss");
    case 22: return QStringLiteral("m/d/yyyy h:mm");
    case 37: return QStringLiteral("#,##0_);(#,##0)");
    case 38: return QStringLiteral("#,##0_);[Red](#,##0)");
    case 39: return QStringLiteral("#,##0.00_);(#,##0.00)");
    case 40: return QStringLiteral("#,##0.00_);[Red](#,##0.00)");
    case 45: return QStringLiteral("mm:ss");
    case 46: return QStringLiteral("[h]:mm:ss");
    case 47: return QStringLiteral("mm:ss.0");
    case 48: return QStringLiteral("##0.0E+0");
    case 49: return QStringLiteral("@");
    default: return QString();
    }
}

QString FormatCellNumber(double value, const QString &format, bool date1904)
{
    if (!std::isfinite(value))
        return QString();
    const QString trimmed = format.trimmed();
    if (trimmed.isEmpty() || trimmed.compare(QLatin1String("General"), Qt::CaseInsensitive) == 0 ||
        trimmed == QLatin1String("@"))
        return GeneralNumberText(value);
    const QStringList parts = sections(format);
    QVector<Section> secs;
    for (const QString &p : parts)
        secs << parseSection(p);
    // Which section shows the value, and whether it writes the sign itself.
    int chosen = 0;
    bool useSign = true;
    if (secs.size() >= 2 && (secs[0].hasCondition || secs[1].hasCondition)) {
        if (secs[0].hasCondition && conditionHolds(secs[0], value))
            chosen = 0;
        else if (secs[1].hasCondition ? conditionHolds(secs[1], value) : true)
            chosen = 1;
        else
            chosen = secs.size() >= 3 ? 2 : 1;
        useSign = chosen == 0 ? false : value < 0 && !secs[chosen].hasCondition;
    } else if (value < 0 && secs.size() >= 2) {
        chosen = 1;
        useSign = false;
    } else if (value == 0 && secs.size() >= 3) {
        chosen = 2;
    }
    const Section &s = secs[chosen];
    // A text section or a section of "General" inside a longer format.
    bool hasGeneral = false;
    for (const Token &t : s.tokens)
        hasGeneral = hasGeneral || t.kind == Token::General;
    if (hasGeneral) {
        QString out;
        for (const Token &t : s.tokens) {
            if (t.kind == Token::General)
                out += GeneralNumberText(useSign ? value : std::fabs(value));
            else if (t.kind == Token::Literal)
                out += t.text;
        }
        return out;
    }
    if (s.isDate)
        return formatDate(value, s, date1904);
    bool digits = false;
    for (const Token &t : s.tokens)
        digits = digits || t.kind == Token::Digit;
    if (!digits) {
        bool onlyText = true;
        for (const Token &t : s.tokens)
            onlyText = onlyText && (t.kind == Token::Text || t.kind == Token::Literal);
        bool hasText = false;
        for (const Token &t : s.tokens)
            hasText = hasText || t.kind == Token::Text;
        if (onlyText && hasText)
            return GeneralNumberText(value);
    }
    // "# ?/?" fractions are not written out; the sheet's General text serves.
    for (const Token &t : s.tokens)
        if (t.kind == Token::Literal && t.text.contains(u'/') && digits) {
            bool digitAfterSlash = false;
            const int at = int(&t - s.tokens.data());
            for (int j = at + 1; j < s.tokens.size(); ++j)
                digitAfterSlash = digitAfterSlash || s.tokens[j].kind == Token::Digit;
            bool digitBefore = false;
            for (int j = at - 1; j >= 0; --j)
                digitBefore = digitBefore || s.tokens[j].kind == Token::Digit;
            if (digitAfterSlash && digitBefore)
                return GeneralNumberText(value);
        }
    return formatNumber(value, s, useSign);
}
