#include "tvparse.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>
#include <charconv>
#include <limits>
#include <climits>
#include <cstdlib>

#include "tvparse_p.h"

namespace {

// The text after trimming and removing a leading minus; the sign is returned.
int takeSign(QString &text)
{
    text = text.trimmed();
    if (!text.isEmpty() && text.front() == u'-') {
        text.remove(0, 1);
        return -1;
    }
    return 1;
}

bool parseWhole(QString text, long long &value)
{
    const int sign = takeSign(text);
    for (QChar c : text)
        if (c < u'0' || c > u'9')
            return false;
    // Like atol: leading digits, saturating at the range of a 32-bit long.
    long long v = std::strtoll(text.toLatin1().constData(), nullptr, 10);
    if (v > INT_MAX)
        v = INT_MAX;
    if (v == 0) {
        if (text.isEmpty())
            return false;
        for (QChar c : text)
            if (c != u'0')
                return false;
    }
    value = sign * v;
    return true;
}

} // namespace

bool TVIsDouble(QString text, double &value, double minimum, double maximum)
{
    const int sign = takeSign(text);
    text.replace(u',', u'.');
    int dots = 0;
    for (QChar c : text) {
        if (c == u'.')
            ++dots;
        else if (c < u'0' || c > u'9')
            return false;
    }
    if (dots > 1)
        return false;
    // Converted without the C library's locale: under a German or Czech
    // desktop atof would stop at the full stop and lose the fraction.
    const QByteArray digits = text.toLatin1();
    double v = 0;
    if (!digits.isEmpty()) {
        const char *first = digits.constData();
        const char *last = first + digits.size();
        // "5." and ".5" are numbers here; from_chars wants a digit on each side.
        QByteArray padded;
        if (digits.startsWith('.') || digits.endsWith('.')) {
            padded = (digits.startsWith('.') ? QByteArray("0") : QByteArray()) + digits +
                     (digits.endsWith('.') ? QByteArray("0") : QByteArray());
            first = padded.constData();
            last = first + padded.size();
        }
        if (digits != ".") {
            const std::from_chars_result r = std::from_chars(first, last, v, std::chars_format::fixed);
            if (r.ec == std::errc::result_out_of_range)
                v = std::numeric_limits<double>::infinity();
            else if (r.ec != std::errc() || r.ptr != last)
                return false;
        }
    }
    if (v == 0) {
        // Only a genuine zero: not empty, made of "0" and at most one ".", with a "0".
        if (text.isEmpty() || !text.contains(u'0'))
            return false;
    }
    value = sign * v;
    return minimum <= value && value <= maximum;
}

bool TVIsLong(QString text, std::int32_t &value, int minimum, int maximum)
{
    long long v = 0;
    if (!parseWhole(std::move(text), v))
        return false;
    value = static_cast<std::int32_t>(v);
    return minimum <= value && value <= maximum;
}

bool TVIsInt(QString text, int &value, int minimum, int maximum)
{
    long long v = 0;
    if (!parseWhole(std::move(text), v))
        return false;
    value = static_cast<int>(v);
    return minimum <= value && value <= maximum;
}

int TVOleDateToIntDate(const QDate &date)
{
    return date.year() * 10000 + date.month() * 100 + date.day();
}

int TVOleDateToIntDate(const QDateTime &date)
{
    return TVOleDateToIntDate(date.date());
}

void TVIntDateToOleDate(int value, QDateTime &date)
{
    date = QDateTime(QDate(value / 10000, (value / 100) % 100, value % 100), QTime(0, 0, 0));
}

namespace {

TVHyperlinkWays defaultWays()
{
    TVHyperlinkWays ways;
    // Way A: the desktop's own handler for the link.
    ways.desktop = [](const QString &link) {
        QUrl url = QUrl::fromUserInput(link);
        return url.isValid() && QDesktopServices::openUrl(url);
    };
    // Way B: the freedesktop opener.
    ways.opener = [](const QString &link) { return QProcess::startDetached(QStringLiteral("xdg-open"), {link}); };
    // Way C: the user's chosen browser.
    ways.browser = [](const QString &link) {
        const QString browser = qEnvironmentVariable("BROWSER").trimmed();
        if (browser.isEmpty())
            return false;
        // $BROWSER may list several commands separated by ':'; the first that starts wins.
        for (const QString &command : browser.split(u':', Qt::SkipEmptyParts)) {
            QStringList parts = QProcess::splitCommand(command);
            if (parts.isEmpty())
                continue;
            const QString program = parts.takeFirst();
            bool placed = false;
            for (QString &p : parts)
                if (p.contains(QLatin1String("%s"))) {
                    p.replace(QLatin1String("%s"), link);
                    placed = true;
                }
            if (!placed)
                parts << link;
            if (QProcess::startDetached(program, parts))
                return true;
        }
        return false;
    };
    return ways;
}

TVHyperlinkWays &ways()
{
    static TVHyperlinkWays w = defaultWays();
    return w;
}

} // namespace

TVHyperlinkWays TVSetHyperlinkWays(const TVHyperlinkWays &replacement)
{
    TVHyperlinkWays old = ways();
    ways() = replacement.desktop ? replacement : defaultWays();
    return old;
}

bool TVHyperlink(const QString &linkIn)
{
    const QString link = linkIn.trimmed();
    if (link.isEmpty())
        return false;
    const QString lower = link.left(7).toLower();
    const bool web = lower.startsWith(QLatin1String("http://")) || lower.startsWith(QLatin1String("file://")) ||
                     lower.startsWith(QLatin1String("www.")) || lower.startsWith(QLatin1String("web."));
    const TVHyperlinkWays &w = ways();
    const std::function<bool(const QString &)> order[3] = {web ? w.browser : w.desktop, web ? w.desktop : w.opener,
                                                          web ? w.opener : w.browser};
    for (const auto &way : order)
        if (way && way(link))
            return true;
    return false;
}
