#include "vcard.h"

#include "csvcontacts.h"
#include "addressentry.h"
#include "textencoding.h"

#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <climits>

namespace {

constexpr qsizetype kNoteLimit = 255;

bool isSpace(char c) { return c == ' ' || c == '\t'; }

// The physical lines of the file, without their ends (CR LF, LF or CR).
std::vector<QByteArray> physicalLines(const QByteArray &bytes)
{
    std::vector<QByteArray> lines;
    const char *s = bytes.constData();
    const qsizetype n = bytes.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        if (s[i] == '\r' || s[i] == '\n') {
            lines.emplace_back(s + start, i - start);
            if (s[i] == '\r' && i + 1 < n && s[i + 1] == '\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < n)
        lines.emplace_back(s + start, n - start);
    return lines;
}

// The position of the first ':' outside double quotes, or -1.
qsizetype valueColon(const QByteArray &line)
{
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '"')
            quoted = !quoted;
        else if (c == ':' && !quoted)
            return i;
    }
    return -1;
}

bool isQuotedPrintable(const QByteArray &line)
{
    const qsizetype colon = valueColon(line);
    if (colon < 0)
        return false;
    return line.left(colon).toUpper().contains("QUOTED-PRINTABLE");
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

QByteArray decodeQuotedPrintable(const QByteArray &in)
{
    QByteArray out;
    out.reserve(in.size());
    for (qsizetype i = 0; i < in.size(); ++i) {
        const char c = in[i];
        if (c == '=' && i + 2 < in.size()) {
            const int hi = hexValue(in[i + 1]), lo = hexValue(in[i + 2]);
            if (hi >= 0 && lo >= 0) {
                out += char(hi * 16 + lo);
                i += 2;
                continue;
            }
        }
        if (c == '=' && i == in.size() - 1)
            break; // a soft break left at the very end
        out += c;
    }
    return out;
}

// RFC 6868: ^n a line feed, ^^ a caret, ^' a double quote.
QString decodeCaret(const QString &value)
{
    if (!value.contains(u'^'))
        return value;
    QString out;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == u'^' && i + 1 < value.size()) {
            const QChar n = value[i + 1];
            if (n == u'n' || n == u'N') {
                out += u'\n';
                ++i;
                continue;
            }
            if (n == u'^') {
                out += u'^';
                ++i;
                continue;
            }
            if (n == u'\'') {
                out += u'"';
                ++i;
                continue;
            }
        }
        out += value[i];
    }
    return out;
}

QString decodeBytes(const QByteArray &bytes, TextEncoding encoding)
{
    if (encoding == TextEncoding::Utf8 || encoding == TextEncoding::Utf8Bom)
        return QString::fromUtf8(bytes);
    return DecodeText(bytes, encoding);
}

// One unfolded content line as a property; false when it is not one.
bool parseProperty(const QByteArray &line, TextEncoding fileEncoding, VCardProperty &prop)
{
    const qsizetype colon = valueColon(line);
    if (colon <= 0)
        return false;
    const QByteArray head = line.left(colon);
    QByteArray rawValue = line.mid(colon + 1);
    // Name and parameters, cut at the semicolons outside quotes.
    std::vector<QByteArray> parts;
    {
        bool quoted = false;
        qsizetype start = 0;
        for (qsizetype i = 0; i <= head.size(); ++i) {
            if (i < head.size() && head[i] == '"')
                quoted = !quoted;
            if (i == head.size() || (head[i] == ';' && !quoted)) {
                parts.push_back(head.mid(start, i - start));
                start = i + 1;
            }
        }
    }
    QByteArray name = parts.front().trimmed().toUpper();
    const qsizetype dot = name.lastIndexOf('.');
    if (dot >= 0) {
        prop.group = name.left(dot);
        name = name.mid(dot + 1);
    }
    if (name.isEmpty())
        return false;
    prop.name = name;
    bool qp = false;
    TextEncoding encoding = fileEncoding;
    for (std::size_t k = 1; k < parts.size(); ++k) {
        const QByteArray p = parts[k].trimmed();
        if (p.isEmpty())
            continue;
        const qsizetype eq = p.indexOf('=');
        QByteArray pname = eq < 0 ? QByteArray("TYPE") : p.left(eq).trimmed().toUpper();
        QByteArray pvalue = eq < 0 ? p : p.mid(eq + 1).trimmed();
        const QByteArray upper = pvalue.toUpper();
        if (eq < 0 && (upper == "QUOTED-PRINTABLE" || upper == "BASE64" || upper == "8BIT" || upper == "7BIT"))
            pname = "ENCODING";
        if (pname == "ENCODING") {
            qp = qp || upper == "QUOTED-PRINTABLE";
        } else if (pname == "CHARSET") {
            TextEncoding named;
            if (EncodingFromCharsetName(pvalue, named))
                encoding = named;
        }
        // Quoted values lose their quotes (a list may quote each item).
        QString text = decodeBytes(pvalue, TextEncoding::Utf8);
        text.remove(u'"');
        prop.params.emplace_back(pname, decodeCaret(text));
    }
    if (qp)
        rawValue = decodeQuotedPrintable(rawValue);
    prop.value = decodeBytes(rawValue, encoding);
    return true;
}

// The lines of a text (its line feeds and carriage returns), each trimmed,
// empty ones dropped.
QStringList textLines(const QString &text)
{
    // Cut at CR LF, LF or CR by hand: this runs for every value of every card.
    QStringList lines;
    const qsizetype n = text.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i <= n; ++i) {
        if (i < n && text[i] != u'\r' && text[i] != u'\n')
            continue;
        const QString line = text.mid(start, i - start).trimmed();
        if (!line.isEmpty())
            lines << line;
        if (i < n && text[i] == u'\r' && i + 1 < n && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    return lines;
}

QString storedText(const QString &text) { return textLines(text).join(QStringLiteral("\r\n")); }

// The type words of a property, lower-case, in their order, without the
// words that say nothing to a reader of the note.
QStringList typeWords(const VCardProperty &p)
{
    static const QStringList silent = {QStringLiteral("pref"),  QStringLiteral("voice"), QStringLiteral("internet"),
                                       QStringLiteral("x400"),  QStringLiteral("uri"),   QStringLiteral("text"),
                                       QStringLiteral("x-internet")};
    QStringList words;
    for (const auto &[name, value] : p.params) {
        if (name != "TYPE")
            continue;
        for (QString w : value.split(u',')) {
            w = w.trimmed().toLower();
            if (!w.isEmpty() && !silent.contains(w) && !words.contains(w))
                words << w;
        }
    }
    return words;
}

QString param(const VCardProperty &p, const char *name)
{
    for (const auto &[n, v] : p.params)
        if (n == name)
            return v;
    return QString();
}

// Lower is more preferred; INT_MAX when not marked.
int preference(const VCardProperty &p)
{
    int best = INT_MAX;
    for (const auto &[name, value] : p.params) {
        if (name == "PREF") {
            bool ok = false;
            const int v = value.toInt(&ok);
            best = std::min(best, ok ? v : 1);
        } else if (name == "TYPE") {
            for (const QString &w : value.split(u','))
                if (w.trimmed().compare(QLatin1String("pref"), Qt::CaseInsensitive) == 0)
                    best = std::min(best, 1);
        }
    }
    return best;
}

// Apple's label of a group: "_$!<Mobile>!$_" is its own word "mobile",
// anything else is the user's own label.
QString appleLabel(const QString &label)
{
    const QString t = UnescapeVCardText(label).trimmed();
    if (t.startsWith(QLatin1String("_$!<")) && t.endsWith(QLatin1String(">!$_")))
        return t.mid(4, t.size() - 8).toLower();
    return t;
}

// ---- writing ----

QString escapeText(const QString &text, bool component)
{
    QString out;
    out.reserve(text.size() + 8);
    for (QChar c : text) {
        switch (c.unicode()) {
        case u'\\': out += QLatin1String("\\\\"); break;
        case u'\n': out += QLatin1String("\\n"); break;
        case u'\r': break;
        case u',': out += QLatin1String("\\,"); break;
        case u';': out += component ? QLatin1String("\\;") : QLatin1String(";"); break;
        default: out += c;
        }
    }
    return out;
}

// CR LF line breaks of a stored text become line feeds.
QString plainLines(const QString &stored)
{
    QString t = stored;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.remove(u'\r');
    return t;
}

// Folds a content line at 75 octets, never inside a UTF-8 sequence.
void appendFolded(QByteArray &out, const QString &line)
{
    const QByteArray bytes = line.toUtf8();
    qsizetype pos = 0;
    int limit = 75;
    while (bytes.size() - pos > limit) {
        qsizetype cut = pos + limit;
        while (cut > pos && (static_cast<unsigned char>(bytes[cut]) & 0xC0) == 0x80)
            --cut;
        out += bytes.mid(pos, cut - pos);
        out += "\r\n ";
        pos = cut;
        limit = 74; // the leading blank counts
    }
    out += bytes.mid(pos);
    out += "\r\n";
}

// A note made of known type words ("work", "home, fax") goes into TYPE=;
// empty when the note is anything else.
QString typeParameter(const QString &note, bool phone, VCardVersion version)
{
    static const QStringList phone4 = {QStringLiteral("work"),  QStringLiteral("home"),      QStringLiteral("cell"),
                                       QStringLiteral("fax"),   QStringLiteral("pager"),     QStringLiteral("video"),
                                       QStringLiteral("textphone")};
    static const QStringList phone3 = {QStringLiteral("work"), QStringLiteral("home"),  QStringLiteral("cell"),
                                       QStringLiteral("fax"),  QStringLiteral("pager"), QStringLiteral("video"),
                                       QStringLiteral("msg"),  QStringLiteral("bbs"),   QStringLiteral("modem"),
                                       QStringLiteral("car"),  QStringLiteral("isdn"),  QStringLiteral("pcs")};
    static const QStringList mail = {QStringLiteral("work"), QStringLiteral("home")};
    const QStringList &known = !phone ? mail : version == VCardVersion::V4 ? phone4 : phone3;
    if (note.isEmpty())
        return QString();
    QStringList words = note.split(QStringLiteral(", "));
    for (const QString &w : words)
        if (!known.contains(w))
            return QString();
    if (words.removeDuplicates() != 0)
        return QString();
    return words.join(u',');
}

} // namespace

QString UnescapeVCardText(const QString &value)
{
    if (!value.contains(u'\\'))
        return value;
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c == u'\\' && i + 1 < value.size()) {
            const QChar n = value[i + 1];
            if (n == u'n' || n == u'N') {
                out += u'\n';
                ++i;
                continue;
            }
            if (n == u',' || n == u';' || n == u'\\' || n == u':') {
                out += n;
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

QStringList SplitVCardComponents(const QString &value)
{
    QStringList parts;
    QString current;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c == u'\\' && i + 1 < value.size()) {
            current += c;
            current += value[++i];
        } else if (c == u';') {
            parts << current;
            current.clear();
        } else
            current += c;
    }
    parts << current;
    return parts;
}

VCardFile ParseVCardFile(const QByteArray &input, const std::function<bool(int)> &progress)
{
    VCardFile file;
    const TextEncoding detected = DetectFileEncoding(input);
    file.encoding = EncodingName(detected);
    QByteArray bytes;
    TextEncoding lineEncoding = detected;
    if (detected == TextEncoding::Utf16LE || detected == TextEncoding::Utf16BE) {
        bytes = DecodeText(input, detected).toUtf8();
        lineEncoding = TextEncoding::Utf8;
    } else if (detected == TextEncoding::Utf8Bom) {
        bytes = input.mid(3);
        lineEncoding = TextEncoding::Utf8;
    } else
        bytes = input;

    const std::vector<QByteArray> lines = physicalLines(bytes);
    VCard current;
    int depth = 0; // nested cards (2.1 AGENT) are skipped
    bool inCard = false;
    int lastPercent = -1;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (progress && (i & 4095) == 0) {
            const int percent = int(i * 100 / lines.size());
            if (percent != lastPercent) {
                lastPercent = percent;
                if (!progress(percent))
                    return VCardFile{};
            }
        }
        QByteArray line = lines[i];
        const int lineNumber = int(i) + 1;
        // Folded lines: a line starting with a blank continues the one
        // before. 2.1 folds at white space and keeps it; 3.0 and 4.0 drop the
        // one blank that marks the fold.
        const int drop = inCard && current.version.startsWith(u'2') ? 0 : 1;
        while (i + 1 < lines.size() && !lines[i + 1].isEmpty() && isSpace(lines[i + 1][0]))
            line += lines[++i].mid(drop);
        // Quoted-printable soft line breaks of 2.1.
        if (line.endsWith('=') && isQuotedPrintable(line)) {
            while (line.endsWith('=') && i + 1 < lines.size()) {
                line.chop(1);
                QByteArray next = lines[++i];
                // Some writers also indent the continuation.
                if (!next.isEmpty() && isSpace(next[0]) && line.endsWith('='))
                    next = next.mid(1);
                line += next;
            }
        }
        const QByteArray trimmed = line.trimmed();
        if (trimmed.isEmpty())
            continue;
        const QByteArray upper = trimmed.toUpper();
        if (upper.startsWith("BEGIN:VCARD")) {
            file.foundCard = true;
            if (inCard) {
                ++depth;
                continue;
            }
            inCard = true;
            depth = 0;
            current = VCard{};
            current.firstLine = lineNumber;
            continue;
        }
        if (upper.startsWith("END:VCARD")) {
            if (!inCard)
                continue;
            if (depth > 0) {
                --depth;
                continue;
            }
            file.cards.push_back(std::move(current));
            current = VCard{};
            inCard = false;
            continue;
        }
        if (!inCard || depth > 0)
            continue;
        VCardProperty prop;
        if (!parseProperty(line, lineEncoding, prop))
            continue;
        if (prop.name == "VERSION")
            current.version = prop.value.trimmed();
        else
            current.properties.push_back(std::move(prop));
    }
    if (inCard)
        ++file.damaged;
    if (progress)
        progress(100);
    return file;
}

VCardAddress VCardToAddress(const VCard &card)
{
    VCardAddress out;
    ImportEntry &e = out.entry;
    QString fn, org, note;
    QStringList n;
    bool company = false;
    const VCardProperty *adr = nullptr;
    const VCardProperty *label = nullptr;
    int adrPref = INT_MAX, labelPref = INT_MAX;
    // Apple's labels by group.
    std::vector<std::pair<QByteArray, QString>> groupLabels;
    for (const VCardProperty &p : card.properties)
        if (p.name == "X-ABLABEL" && !p.group.isEmpty())
            groupLabels.emplace_back(p.group, appleLabel(p.value));
    auto labelOf = [&](const VCardProperty &p) -> const QString * {
        if (p.group.isEmpty())
            return nullptr;
        for (const auto &[g, l] : groupLabels)
            if (g == p.group)
                return &l;
        return nullptr;
    };
    auto noteOf = [&](const VCardProperty &p) {
        if (const QString *l = labelOf(p))
            return *l;
        return typeWords(p).join(QStringLiteral(", "));
    };

    for (const VCardProperty &p : card.properties) {
        if (p.name == "FN") {
            if (fn.isEmpty())
                fn = storedText(UnescapeVCardText(p.value));
        } else if (p.name == "N") {
            if (n.isEmpty()) {
                for (const QString &c : SplitVCardComponents(p.value))
                    n << UnescapeVCardText(c).replace(u',', u' ').simplified();
            }
        } else if (p.name == "ORG") {
            if (org.isEmpty()) {
                QStringList units;
                for (const QString &c : SplitVCardComponents(p.value)) {
                    const QString t = storedText(UnescapeVCardText(c));
                    if (!t.isEmpty())
                        units << t;
                }
                org = units.join(QStringLiteral(", "));
            }
        } else if (p.name == "KIND" || p.name == "X-ADDRESSBOOKSERVER-KIND") {
            company = company || p.value.trimmed().compare(QLatin1String("org"), Qt::CaseInsensitive) == 0 ||
                      p.value.trimmed().compare(QLatin1String("group"), Qt::CaseInsensitive) == 0;
        } else if (p.name == "X-ABSHOWAS") {
            company = company || p.value.trimmed().compare(QLatin1String("COMPANY"), Qt::CaseInsensitive) == 0;
        } else if (p.name == "ADR") {
            const int pref = preference(p);
            if (!adr || pref < adrPref) {
                adr = &p;
                adrPref = pref;
            }
        } else if (p.name == "LABEL") {
            const int pref = preference(p);
            if (!label || pref < labelPref) {
                label = &p;
                labelPref = pref;
            }
        } else if (p.name == "TEL") {
            QString value = UnescapeVCardText(p.value).trimmed();
            if (value.startsWith(QLatin1String("tel:"), Qt::CaseInsensitive))
                value = value.mid(4).trimmed();
            if (!value.isEmpty())
                e.phones.emplace_back(value, noteOf(p));
        } else if (p.name == "EMAIL") {
            QString value = UnescapeVCardText(p.value).trimmed();
            if (value.startsWith(QLatin1String("mailto:"), Qt::CaseInsensitive))
                value = value.mid(7).trimmed();
            if (!value.isEmpty())
                e.emails.emplace_back(value, noteOf(p));
        } else if (p.name == "NOTE") {
            if (note.isEmpty())
                note = storedText(UnescapeVCardText(p.value));
        }
    }

    // NAME.
    QString person = fn;
    if (person.isEmpty() && !n.isEmpty()) {
        // Prefix, given, additional, family, suffix.
        QStringList words;
        for (int i : {3, 1, 2, 0, 4})
            if (i < n.size() && !n[i].isEmpty())
                words << n[i];
        person = words.join(u' ');
    }
    if (org.isEmpty())
        e.name = person;
    else if (person.isEmpty() || company || person == org)
        e.name = org;
    else
        e.name = person + QStringLiteral("\r\n") + org;

    // The address.
    bool haveAddress = false;
    if (adr) {
        const QStringList c = SplitVCardComponents(adr->value);
        auto part = [&](int i) { return i < c.size() ? UnescapeVCardText(c[i]) : QString(); };
        QStringList street;
        for (int i : {2, 1, 0})
            street << textLines(part(i));
        e.street = street.join(QStringLiteral("\r\n"));
        const QString locality = storedText(part(3)), region = storedText(part(4));
        e.town = region.isEmpty() ? locality : locality.isEmpty() ? region : locality + QStringLiteral(", ") + region;
        e.zip = storedText(part(5));
        e.country = storedText(part(6));
        haveAddress = !(e.street.isEmpty() && e.town.isEmpty() && e.zip.isEmpty() && e.country.isEmpty());
        if (!haveAddress) {
            const QString inner = param(*adr, "LABEL");
            if (!inner.isEmpty()) {
                SplitAddressLabel(UnescapeVCardText(inner), e);
                haveAddress = true;
            }
        }
    }
    if (!haveAddress && label)
        SplitAddressLabel(UnescapeVCardText(label->value), e);

    if (CharacterCount(note) > kNoteLimit) {
        note = LeftCharacters(note, kNoteLimit).trimmed();
        out.noteShortened = true;
    }
    e.note = note;
    for (QString *t : {&e.name, &e.street, &e.town, &e.zip, &e.country, &e.note})
        *t = t->trimmed();
    return out;
}

QByteArray AddressToVCard(const ImportEntry &a, VCardVersion version)
{
    QByteArray out;
    out.reserve(256);
    out += "BEGIN:VCARD\r\n";
    out += version == VCardVersion::V4 ? "VERSION:4.0\r\n" : "VERSION:3.0\r\n";
    const QStringList nameLines = plainLines(a.name).split(u'\n');
    const QString first = nameLines.value(0);
    appendFolded(out, QStringLiteral("FN:") + escapeText(first, false));
    // N: the last word as the family name, the others as given names.
    QStringList words = first.split(u' ', Qt::SkipEmptyParts);
    QString family = words.isEmpty() ? QString() : words.takeLast();
    appendFolded(out, QStringLiteral("N:") + escapeText(family, true) + u';' + escapeText(words.join(u' '), true) +
                          QStringLiteral(";;;"));
    if (nameLines.size() > 1)
        appendFolded(out, QStringLiteral("ORG:") + escapeText(nameLines.mid(1).join(u'\n'), true));
    if (!(a.street.isEmpty() && a.town.isEmpty() && a.zip.isEmpty() && a.country.isEmpty()))
        appendFolded(out, QStringLiteral("ADR:;;") + escapeText(plainLines(a.street), true) + u';' +
                              escapeText(plainLines(a.town), true) + QStringLiteral(";;") +
                              escapeText(plainLines(a.zip), true) + u';' + escapeText(plainLines(a.country), true));
    int item = 0;
    auto items = [&](const ImportPairs &list, bool phone) {
        for (const auto &[value, note] : list) {
            const QString name = phone ? QStringLiteral("TEL") : QStringLiteral("EMAIL");
            const QString type = typeParameter(note, phone, version);
            if (note.isEmpty())
                appendFolded(out, name + u':' + escapeText(value, false));
            else if (!type.isEmpty())
                appendFolded(out, name + QStringLiteral(";TYPE=") + type + u':' + escapeText(value, false));
            else {
                const QString group = QStringLiteral("item%1.").arg(++item);
                appendFolded(out, group + name + u':' + escapeText(value, false));
                appendFolded(out, group + QStringLiteral("X-ABLabel:") + escapeText(note, false));
            }
        }
    };
    items(a.phones, true);
    items(a.emails, false);
    if (!a.note.isEmpty())
        appendFolded(out, QStringLiteral("NOTE:") + escapeText(plainLines(a.note), false));
    out += "END:VCARD\r\n";
    return out;
}
