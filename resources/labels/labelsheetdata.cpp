#include "labelsheetdata.h"

#include <cmath>

QString LabelSheetRecord::DisplayName(int maxLength) const
{
    QStringList parts;
    for (const QString &p : {brand, part, description})
        if (!p.trimmed().isEmpty())
            parts << p.trimmed();
    QString name = parts.join(u' ');
    if (maxLength > 0 && name.size() > maxLength)
        name = name.left(maxLength).trimmed();
    return name;
}

bool LabelPaperSize(const QString &paper, double &width, double &height)
{
    const QString p = paper.trimmed();
    struct Known {
        const char *name;
        double w, h;
    };
    static const Known known[] = {
        {"A4", 210, 297}, {"Letter", 215.9, 279.4}, {"US-Letter", 215.9, 279.4},
        {"A5", 148, 210}, {"A3", 297, 420},         {"A6", 105, 148},
        {"Legal", 215.9, 355.6}, {"US-Legal", 215.9, 355.6},
    };
    for (const Known &k : known)
        if (p.compare(QLatin1String(k.name), Qt::CaseInsensitive) == 0) {
            width = k.w;
            height = k.h;
            return true;
        }
    QString dims = p;
    if (dims.endsWith(QLatin1String("mm"), Qt::CaseInsensitive))
        dims.chop(2);
    const QStringList wh = dims.split(u'x', Qt::KeepEmptyParts, Qt::CaseInsensitive);
    if (wh.size() != 2)
        return false;
    bool okW = false, okH = false;
    const double w = wh[0].trimmed().toDouble(&okW), h = wh[1].trimmed().toDouble(&okH);
    if (!okW || !okH || !std::isfinite(w) || !std::isfinite(h) || w < 1 || h < 1 || w > 2000 || h > 2000)
        return false;
    width = w;
    height = h;
    return true;
}

std::vector<LabelSheetRecord> ParseLabelSheets(const QString &text, QStringList *errors)
{
    std::vector<LabelSheetRecord> sheets;
    const QStringList lines = text.split(u'\n');
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        auto fail = [&](const QString &why) {
            if (errors)
                *errors << QStringLiteral("line %1: %2").arg(i + 1).arg(why);
        };
        QStringList f = line.split(u'|');
        for (QString &s : f)
            s = s.trimmed();
        if (f.size() != 13) {
            fail(QStringLiteral("%1 fields instead of 13").arg(f.size()));
            continue;
        }
        LabelSheetRecord r;
        r.brand = f[0];
        r.part = f[1];
        r.description = f[2];
        r.paper = f[3];
        if (r.part.isEmpty()) {
            fail(QStringLiteral("no part number"));
            continue;
        }
        if (!LabelPaperSize(r.paper, r.paperWidth, r.paperHeight)) {
            fail(QStringLiteral("unknown paper \"%1\"").arg(r.paper));
            continue;
        }
        double *lengths[6] = {&r.A, &r.B, &r.C, &r.D, &r.E, &r.F};
        bool ok = true;
        for (int k = 0; k < 6 && ok; ++k) {
            *lengths[k] = f[4 + k].toDouble(&ok);
            ok = ok && std::isfinite(*lengths[k]);
        }
        bool okM = false, okN = false;
        r.M = f[10].toInt(&okM);
        r.N = f[11].toInt(&okN);
        if (!ok || !okM || !okN) {
            fail(QStringLiteral("a length or count is not a number"));
            continue;
        }
        if (!f[12].isEmpty() && f[12] != QLatin1String("new")) {
            fail(QStringLiteral("last field must be \"new\" or empty"));
            continue;
        }
        r.seedsNewDatabase = f[12] == QLatin1String("new");
        sheets.push_back(r);
    }
    return sheets;
}

const std::vector<LabelSheetRecord> &BuiltInLabelSheets()
{
    static const std::vector<LabelSheetRecord> sheets = ParseLabelSheets(QString::fromUtf8(BuiltInLabelSheetText()));
    return sheets;
}
