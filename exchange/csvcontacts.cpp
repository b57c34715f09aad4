#include "csvcontacts.h"

#include "excelexport.h"
#include "addressentry.h"
#include "textencoding.h"
#include "tvstrings.h"

#include <QRegularExpression>
#include <algorithm>
#include <map>

namespace {

constexpr qsizetype kNoteLimit = 255;

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

// A header as compared: lower case, blanks simplified.
QString normalHeader(const QString &h)
{
    QString t = h.trimmed().toLower();
    t.remove(QChar(0xFEFF));
    return t.simplified();
}

// The note of a phone column: its header without "phone" and "number".
QString phoneNote(const QString &header)
{
    QString t = header;
    t.remove(QRegularExpression(QStringLiteral("\\b(phone|number|telephone)\\b")));
    t.remove(QRegularExpression(QStringLiteral("\\s\\d+$")));
    return t.simplified();
}

bool isPhoneHeader(const QString &h)
{
    static const QRegularExpression re(
        QStringLiteral("\\b(phone|telephone|fax|mobile|cell|pager|telex|isdn|callback|tty/tdd)\\b"));
    return re.match(h).hasMatch();
}

} // namespace

QChar DetectCsvSeparator(const QString &text)
{
    static const QChar candidates[] = {u',', u';', u'\t', u'|'};
    // The first records (up to 64 KiB of text).
    const QString sample = text.left(65536);
    QChar best = u',';
    double bestScore = 0;
    for (QChar sep : candidates) {
        std::vector<QStringList> rows = ParseCsvText(sample, sep, u'"');
        if (rows.size() > 1 && sample.size() == 65536)
            rows.pop_back(); // probably cut in the middle
        if (rows.size() > 50)
            rows.resize(50);
        std::map<int, int> counts;
        for (const QStringList &r : rows)
            ++counts[int(r.size())];
        int mode = 0, modeCount = 0;
        for (const auto &[fields, n] : counts)
            if (fields > 1 && n > modeCount) {
                mode = fields;
                modeCount = n;
            }
        if (!mode)
            continue;
        // Consistent records first, then more fields.
        const double score = double(modeCount) / double(rows.size()) * 1000.0 + std::min(mode, 999);
        if (score > bestScore) {
            bestScore = score;
            best = sep;
        }
    }
    return best;
}

std::vector<QStringList> ParseCsvText(const QString &text, QChar sep, QChar quote, bool *unterminated)
{
    std::vector<QStringList> rows;
    QStringList record;
    QString field;
    bool quoted = false, wasQuoted = false;
    const qsizetype n = text.size();
    const QChar *s = text.constData();
    auto endField = [&] {
        record << field;
        field.clear();
        wasQuoted = false;
    };
    auto endRecord = [&] {
        endField();
        if (!(record.size() == 1 && record.front().isEmpty()))
            rows.push_back(std::move(record));
        record = QStringList();
    };
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = s[i];
        if (quoted) {
            if (c == quote) {
                if (i + 1 < n && s[i + 1] == quote) {
                    field += quote;
                    ++i;
                } else
                    quoted = false;
            } else
                field += c;
            continue;
        }
        if (c == sep)
            endField();
        else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < n && s[i + 1] == u'\n')
                ++i;
            endRecord();
        } else if (c == quote && field.trimmed().isEmpty() && !wasQuoted) {
            // A quoted field; blanks before the quote are not part of it.
            field.clear();
            quoted = wasQuoted = true;
        } else
            field += c;
    }
    if (unterminated)
        *unterminated = quoted;
    if (quoted) {
        // The file ends inside a quoted field: that record is incomplete.
        record = QStringList();
        field.clear();
    } else if (!field.isEmpty() || !record.isEmpty())
        endRecord();
    return rows;
}

CsvTable ParseCsvFile(const QByteArray &bytes, const std::function<bool(int)> &progress)
{
    CsvTable table;
    const TextEncoding encoding = DetectFileEncoding(bytes);
    table.encoding = EncodingName(encoding);
    if (progress && !progress(0))
        return CsvTable{};
    const QString text = DecodeText(bytes, encoding);
    if (progress && !progress(30))
        return CsvTable{};
    // A binary file is no table: a NUL, or more than one character in a
    // thousand that is a control character or could not be decoded.
    qsizetype odd = 0;
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u == 0) {
            odd = text.size();
            break;
        }
        if ((u < 0x20 && u != u'\t' && u != u'\r' && u != u'\n') || u == 0xFFFD || (u >= 0x7F && u < 0xA0))
            ++odd;
    }
    if (odd > text.size() / 1000) {
        table.binary = true;
        return table;
    }
    table.separator = DetectCsvSeparator(text);
    // A file that uses apostrophes as quotes and never a double quote.
    if (!text.contains(u'"')) {
        const QString sep = QRegularExpression::escape(QString(table.separator));
        const QRegularExpression single(QStringLiteral("(^|[\r\n]|%1)'[^'\r\n]*'(?=%1|[\r\n]|$)").arg(sep));
        const QRegularExpression apostrophe(QStringLiteral("\\w'\\w"));
        if (single.match(text).hasMatch() && !apostrophe.match(text).hasMatch())
            table.quote = u'\'';
    }
    table.rows = ParseCsvText(text, table.separator, table.quote, &table.unterminated);
    if (progress && !progress(100))
        return CsvTable{};
    return table;
}

QString CsvLayoutName(CsvLayout layout)
{
    switch (layout) {
    case CsvLayout::None: return QStringLiteral("no header row");
    case CsvLayout::Corvelle: return QStringLiteral("Corvelle export");
    case CsvLayout::Google: return QStringLiteral("Google Contacts");
    case CsvLayout::Outlook: return QStringLiteral("Outlook");
    case CsvLayout::Thunderbird: return QStringLiteral("Thunderbird");
    case CsvLayout::Other: return QStringLiteral("named columns");
    }
    return QString();
}

CsvMapping RecogniseCsvHeader(const QStringList &first)
{
    using R = CsvColumnRole;
    CsvMapping m;
    QStringList h;
    for (const QString &x : first)
        h << normalHeader(x);

    // The program's own export.
    static const QStringList own = {QStringLiteral("name"),    QStringLiteral("street"), QStringLiteral("town / city"),
                                    QStringLiteral("zip"),     QStringLiteral("country"), QStringLiteral("note"),
                                    QStringLiteral("phone"),   QStringLiteral("e-mail")};
    if (h.mid(0, 8) == own) {
        m.layout = CsvLayout::Corvelle;
        m.headerRow = true;
        const R::Kind kinds[] = {R::Display, R::Street, R::City, R::Zip, R::Country, R::Notes, R::PhoneList, R::EmailList};
        for (qsizetype i = 0; i < h.size(); ++i)
            m.roles.push_back(i < 8 ? R{kinds[i], 0, {}} : R{});
        return m;
    }

    static const QRegularExpression google(QStringLiteral("^(e-mail|phone|address|organization) (\\d+) - (.+)$"));
    static const QRegularExpression place(
        QStringLiteral("^(business|work|home|other) (street|street 2|street 3|address|address 2|city|state|"
                       "postal code|zipcode|zip code|zip|country|country/region|po box|address po box)$"));
    static const std::map<QString, R::Kind> named = {
        {QStringLiteral("display name"), R::Display}, {QStringLiteral("name"), R::Display},
        {QStringLiteral("full name"), R::Display},    {QStringLiteral("title"), R::Prefix},
        {QStringLiteral("name prefix"), R::Prefix},   {QStringLiteral("first name"), R::First},
        {QStringLiteral("given name"), R::First},     {QStringLiteral("middle name"), R::Middle},
        {QStringLiteral("additional name"), R::Middle}, {QStringLiteral("last name"), R::Last},
        {QStringLiteral("family name"), R::Last},     {QStringLiteral("surname"), R::Last},
        {QStringLiteral("suffix"), R::Suffix},        {QStringLiteral("name suffix"), R::Suffix},
        {QStringLiteral("company"), R::Organization}, {QStringLiteral("organization"), R::Organization},
        {QStringLiteral("organisation"), R::Organization}, {QStringLiteral("organization name"), R::Organization},
        {QStringLiteral("street"), R::Street},        {QStringLiteral("address"), R::Street},
        {QStringLiteral("town"), R::City},            {QStringLiteral("city"), R::City},
        {QStringLiteral("town / city"), R::City},     {QStringLiteral("state"), R::Region},
        {QStringLiteral("region"), R::Region},        {QStringLiteral("zip"), R::Zip},
        {QStringLiteral("zip code"), R::Zip},         {QStringLiteral("postal code"), R::Zip},
        {QStringLiteral("postcode"), R::Zip},         {QStringLiteral("country"), R::Country},
        {QStringLiteral("phone"), R::PhoneList},      {QStringLiteral("phones"), R::PhoneList},
        {QStringLiteral("e-mail"), R::EmailList},     {QStringLiteral("email"), R::EmailList},
        {QStringLiteral("e-mail address"), R::Email}, {QStringLiteral("email address"), R::Email},
        {QStringLiteral("e-mail 2 address"), R::Email}, {QStringLiteral("e-mail 3 address"), R::Email},
        {QStringLiteral("primary email"), R::Email},  {QStringLiteral("secondary email"), R::Email},
        {QStringLiteral("notes"), R::Notes},          {QStringLiteral("note"), R::Notes},
    };
    static const std::map<QString, R::Kind> googleAddress = {
        {QStringLiteral("street"), R::Street},     {QStringLiteral("city"), R::City},
        {QStringLiteral("po box"), R::PoBox},      {QStringLiteral("region"), R::Region},
        {QStringLiteral("postal code"), R::Zip},   {QStringLiteral("country"), R::Country},
        {QStringLiteral("extended address"), R::Extended}, {QStringLiteral("formatted"), R::Formatted},
    };
    std::map<QString, int> groups; // address group names in the order met
    auto groupOf = [&](const QString &name) {
        auto it = groups.find(name);
        if (it == groups.end())
            it = groups.emplace(name, int(groups.size()) + 1).first;
        return it->second;
    };
    int recognised = 0;
    bool googleSeen = false, outlookSeen = false, thunderbirdSeen = false;
    for (const QString &x : h) {
        R role;
        QRegularExpressionMatch g = google.match(x);
        QRegularExpressionMatch p = place.match(x);
        if (g.hasMatch()) {
            googleSeen = true;
            const QString what = g.captured(1), field = g.captured(3);
            const int number = g.captured(2).toInt();
            const bool value = field == QLatin1String("value"), label = field == QLatin1String("label") ||
                                                                        field == QLatin1String("type");
            if (what == QLatin1String("e-mail") && (value || label))
                role = R{value ? R::EmailValue : R::EmailLabel, number, {}};
            else if (what == QLatin1String("phone") && (value || label))
                role = R{value ? R::PhoneValue : R::PhoneLabel, number, {}};
            else if (what == QLatin1String("address") && googleAddress.count(field))
                role = R{googleAddress.at(field), groupOf(QStringLiteral("address ") + g.captured(2)), {}};
            else if (what == QLatin1String("organization") && field == QLatin1String("name"))
                role = R{R::Organization, 0, {}};
        } else if (p.hasMatch()) {
            const QString where = p.captured(1), field = p.captured(2);
            const int group = groupOf(where);
            if (field == QLatin1String("street") || field == QLatin1String("address"))
                role = R{R::Street, group, {}};
            else if (field == QLatin1String("street 2") || field == QLatin1String("address 2"))
                role = R{R::Street2, group, {}};
            else if (field == QLatin1String("street 3"))
                role = R{R::Street3, group, {}};
            else if (field == QLatin1String("city"))
                role = R{R::City, group, {}};
            else if (field == QLatin1String("state"))
                role = R{R::Region, group, {}};
            else if (field.startsWith(QLatin1String("country")))
                role = R{R::Country, group, {}};
            else if (field.contains(QLatin1String("po box")))
                role = R{R::PoBox, group, {}};
            else
                role = R{R::Zip, group, {}};
            outlookSeen = outlookSeen || field.startsWith(QLatin1String("street")) || field == QLatin1String("postal code");
            thunderbirdSeen = thunderbirdSeen || field == QLatin1String("zipcode") || field.startsWith(QLatin1String("address"));
        } else if (named.count(x)) {
            role = R{named.at(x), groupOf(QString()), {}};
            if (role.kind == R::Email && x.contains(QLatin1String("ary email")))
                thunderbirdSeen = true;
            if (x == QLatin1String("given name") || x == QLatin1String("family name"))
                googleSeen = true;
            if (x == QLatin1String("e-mail address"))
                outlookSeen = true;
        } else if (isPhoneHeader(x) && !x.contains(QLatin1String("yomi"))) {
            role = R{R::Phone, 0, phoneNote(x)};
        }
        if (role.kind != R::Ignore)
            ++recognised;
        m.roles.push_back(role);
    }
    if (recognised < 2) {
        m.roles.clear();
        return m;
    }
    m.headerRow = true;
    m.layout = googleSeen ? CsvLayout::Google
               : thunderbirdSeen ? CsvLayout::Thunderbird
               : outlookSeen ? CsvLayout::Outlook
                             : CsvLayout::Other;
    return m;
}

int FirstColumnOfItem(const CsvMapping &mapping, int item)
{
    using K = CsvColumnRole::Kind;
    std::vector<std::vector<K>> wanted; // tried in order
    switch (item) {
    case IMP_NAME: wanted = {{K::Display}, {K::First}, {K::Last}, {K::Organization}}; break;
    case IMP_STREET: wanted = {{K::Street}, {K::Formatted}}; break;
    case IMP_TOWN: wanted = {{K::City}}; break;
    case IMP_ZIP: wanted = {{K::Zip}}; break;
    case IMP_COUNTRY: wanted = {{K::Country}}; break;
    case IMP_NOTE: wanted = {{K::Notes}}; break;
    case IMP_PHONE: wanted = {{K::Phone, K::PhoneValue, K::PhoneList}}; break;
    case IMP_EMAIL: wanted = {{K::Email, K::EmailValue, K::EmailList}}; break;
    default: return 0;
    }
    for (const std::vector<K> &kinds : wanted)
        for (std::size_t c = 0; c < mapping.roles.size(); ++c)
            if (std::find(kinds.begin(), kinds.end(), mapping.roles[c].kind) != kinds.end())
                return int(c) + 1;
    return 0;
}

CsvMapping CsvMappingFromColumns(const std::array<int, IMP_COUNT> &columns, bool headerRow)
{
    using R = CsvColumnRole;
    CsvMapping m;
    m.layout = CsvLayout::None;
    m.headerRow = headerRow;
    const R::Kind kinds[IMP_COUNT] = {R::Display, R::Street, R::City, R::Zip, R::Country, R::Notes, R::PhoneList, R::EmailList};
    int highest = 0;
    for (int c : columns)
        highest = std::max(highest, c);
    m.roles.resize(std::size_t(highest));
    for (int item = 0; item < IMP_COUNT; ++item)
        if (columns[std::size_t(item)] > 0)
            m.roles[std::size_t(columns[std::size_t(item)] - 1)] = R{kinds[item], 0, {}};
    return m;
}

void SplitAddressLabel(const QString &label, ImportEntry &e)
{
    const QStringList lines = textLines(label);
    // British (NW1 6XE), Canadian (K1A 0B1), Dutch (1234 AB) codes, then
    // digits with blanks or a country prefix (120 00, D-70173, 00-590).
    static const QRegularExpression code(QStringLiteral(
        "(?:^|\\s)([A-Z]{1,2}\\d[A-Z\\d]? \\d[A-Z]{2}|[A-Z]\\d[A-Z] ?\\d[A-Z]\\d|\\d{4} ?[A-Z]{2}|"
        "(?:[A-Z]{1,2}-)?\\d[\\d -]{1,8}\\d|\\d{3,})(?=\\s|,|$)"));
    int town = -1;
    QRegularExpressionMatch match;
    for (int i = int(lines.size()) - 1; i > 0; --i) {
        match = code.match(lines[i]);
        if (match.hasMatch()) {
            town = i;
            break;
        }
    }
    if (town < 0) {
        e.street = lines.join(QStringLiteral("\r\n"));
        return;
    }
    QString rest = lines[town];
    rest.remove(match.capturedStart(1), match.capturedLength(1));
    e.zip = match.captured(1).trimmed();
    e.town = rest.simplified();
    while (e.town.endsWith(u',') || e.town.startsWith(u',')) {
        if (e.town.endsWith(u','))
            e.town.chop(1);
        else
            e.town.remove(0, 1);
        e.town = e.town.trimmed();
    }
    e.street = lines.mid(0, town).join(QStringLiteral("\r\n"));
    e.country = lines.mid(town + 1).join(QStringLiteral("\r\n"));
}

CsvAddress CsvRecordToAddress(const QStringList &record, const CsvMapping &m)
{
    using R = CsvColumnRole;
    CsvAddress out;
    ImportEntry &e = out.entry;
    QString display, org, note;
    QStringList nameParts[5]; // prefix, first, middle, last, suffix
    struct Place {
        QStringList street[5]; // street, street 2, street 3, extended, PO box
        QString city, region, zip, country, formatted;
        bool any = false;
    };
    std::map<int, Place> places;
    std::map<int, std::pair<QString, QString>> googlePhones, googleMails; // number -> (values, label)
    const qsizetype count = std::min<qsizetype>(record.size(), qsizetype(m.roles.size()));
    for (qsizetype i = 0; i < count; ++i) {
        const R &role = m.roles[std::size_t(i)];
        const QString &cell = record[i];
        const QString value = cell.trimmed();
        if (role.kind == R::Ignore || value.isEmpty())
            continue;
        Place &place = places[role.group];
        switch (role.kind) {
        case R::Display: if (display.isEmpty()) display = storedText(cell); break;
        case R::Prefix: nameParts[0] << value.simplified(); break;
        case R::First: nameParts[1] << value.simplified(); break;
        case R::Middle: nameParts[2] << value.simplified(); break;
        case R::Last: nameParts[3] << value.simplified(); break;
        case R::Suffix: nameParts[4] << value.simplified(); break;
        case R::Organization: if (org.isEmpty()) org = storedText(cell); break;
        case R::Street: place.street[0] << textLines(cell); place.any = true; break;
        case R::Street2: place.street[1] << textLines(cell); place.any = true; break;
        case R::Street3: place.street[2] << textLines(cell); place.any = true; break;
        case R::Extended: place.street[3] << textLines(cell); place.any = true; break;
        case R::PoBox: place.street[4] << textLines(cell); place.any = true; break;
        case R::City: place.city = storedText(cell); place.any = true; break;
        case R::Region: place.region = storedText(cell); place.any = true; break;
        case R::Zip: place.zip = cell.trimmed(); place.any = true; break;
        case R::Country: place.country = storedText(cell); place.any = true; break;
        case R::Formatted: place.formatted = cell; break;
        case R::Phone:
            for (const QString &v : value.split(QStringLiteral(" ::: "), Qt::SkipEmptyParts))
                e.phones.emplace_back(v.trimmed(), role.note);
            break;
        case R::PhoneValue: googlePhones[role.group].first = value; break;
        case R::PhoneLabel: googlePhones[role.group].second = value; break;
        case R::PhoneList: for (auto &p : CellToPairs(cell)) e.phones.push_back(std::move(p)); break;
        case R::Email:
            for (const QString &v : value.split(QStringLiteral(" ::: "), Qt::SkipEmptyParts))
                e.emails.emplace_back(v.trimmed(), role.note);
            break;
        case R::EmailValue: googleMails[role.group].first = value; break;
        case R::EmailLabel: googleMails[role.group].second = value; break;
        case R::EmailList: for (auto &p : CellToPairs(cell)) e.emails.push_back(std::move(p)); break;
        case R::Notes: if (note.isEmpty()) note = storedText(cell); break;
        case R::Ignore: break;
        }
    }
    // Google: "Mobile", "* Work" (the star marks the primary one), several
    // values in one cell with " ::: " between them.
    auto googleItems = [](const std::map<int, std::pair<QString, QString>> &items, ImportPairs &to) {
        for (const auto &[number, item] : items) {
            QString label = item.second;
            label.remove(QRegularExpression(QStringLiteral("^\\*\\s*")));
            label = label.replace(QStringLiteral(" ::: "), QStringLiteral(", ")).trimmed().toLower();
            for (const QString &v : item.first.split(QStringLiteral(":::"), Qt::SkipEmptyParts))
                if (!v.trimmed().isEmpty())
                    to.emplace_back(v.trimmed(), label);
        }
    };
    googleItems(googlePhones, e.phones);
    googleItems(googleMails, e.emails);

    // NAME.
    QString person = display;
    if (person.isEmpty()) {
        QStringList words;
        for (const QStringList &part : nameParts)
            words << part;
        person = words.join(u' ');
    }
    if (org.isEmpty())
        e.name = person;
    else if (person.isEmpty() || person == org)
        e.name = org;
    else
        e.name = person + QStringLiteral("\r\n") + org;

    // The first address group that holds something.
    for (auto &[group, place] : places) {
        if (place.any) {
            QStringList street;
            for (const QStringList &s : place.street)
                street << s;
            e.street = street.join(QStringLiteral("\r\n"));
            e.town = place.region.isEmpty() ? place.city
                     : place.city.isEmpty() ? place.region
                                            : place.city + QStringLiteral(", ") + place.region;
            e.zip = place.zip;
            e.country = place.country;
            break;
        }
        if (!place.formatted.trimmed().isEmpty()) {
            SplitAddressLabel(place.formatted, e);
            break;
        }
    }
    if (CharacterCount(note) > kNoteLimit) {
        note = LeftCharacters(note, kNoteLimit).trimmed();
        out.noteShortened = true;
    }
    e.note = note;
    for (QString *t : {&e.name, &e.street, &e.town, &e.zip, &e.country, &e.note})
        *t = t->trimmed();
    return out;
}

namespace {

QByteArray csvField(const QString &text)
{
    const bool quote = text.contains(u',') || text.contains(u'"') || text.contains(u'\n') || text.contains(u'\r') ||
                       text.contains(u';') || (!text.isEmpty() && (text.front().isSpace() || text.back().isSpace()));
    if (!quote)
        return text.toUtf8();
    QString t = text;
    t.replace(u'"', QStringLiteral("\"\""));
    return '"' + t.toUtf8() + '"';
}

} // namespace

QByteArray CsvHeaderRecord()
{
    QByteArray out("\xEF\xBB\xBF");
    for (int c = 0; c < 8; ++c) {
        if (c)
            out += ',';
        out += csvField(TVLoadStringResource(59417 + c));
    }
    out += "\r\n";
    return out;
}

QByteArray AddressToCsvRecord(const ImportEntry &a)
{
    const QString fields[] = {WithoutCarriageReturns(a.name),    WithoutCarriageReturns(a.street),
                              WithoutCarriageReturns(a.town),    a.zip,
                              WithoutCarriageReturns(a.country), WithoutCarriageReturns(a.note),
                              JoinWithNotes(a.phones),           JoinWithNotes(a.emails)};
    QByteArray out;
    for (int c = 0; c < 8; ++c) {
        if (c)
            out += ',';
        out += csvField(fields[c]);
    }
    out += "\r\n";
    return out;
}
