#include "labelcatalogue.h"

#include "labelsheetdata.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QXmlStreamReader>
#include <algorithm>
#include <cmath>
#include <optional>

namespace {

const QString kBuiltIn = QStringLiteral("built-in");

// A template file larger than this is refused: the distribution's largest
// is about 200 KB.
constexpr qint64 kMaxTemplateFileBytes = 16 * 1024 * 1024;
// More Template elements than this in one file are not read.
constexpr int kMaxTemplatesPerFile = 50000;

QString compactNumber(double v)
{
    QString s = QString::number(v, 'f', 2);
    if (s.contains(u'.')) {
        while (s.endsWith(u'0'))
            s.chop(1);
        if (s.endsWith(u'.'))
            s.chop(1);
    }
    return s;
}

} // namespace

QString LabelProduct::DefaultName() const
{
    LabelSheetRecord r;
    r.brand = brand;
    r.part = part;
    r.description = description;
    return r.DisplayName(64);
}

QString LabelProduct::Summary() const
{
    QString paper = paperName;
    if (paper.isEmpty() || paper.compare(QLatin1String("Other"), Qt::CaseInsensitive) == 0)
        paper = QStringLiteral("%1 x %2 mm").arg(compactNumber(paperWidth), compactNumber(paperHeight));
    return QStringLiteral("%1 x %2 mm, %3 x %4, %5")
        .arg(compactNumber(B), compactNumber(E))
        .arg(N)
        .arg(M)
        .arg(paper);
}

LabelSize LabelProduct::ToLabelSize() const
{
    LabelSize s;
    s.name = DefaultName();
    s.A = A; s.B = B; s.C = C; s.D = D; s.E = E; s.F = F;
    s.M = M; s.N = N;
    s.paperWidth = paperWidth;
    s.paperHeight = paperHeight;
    return s;
}

QString TemplateSkipText(TemplateSkip why)
{
    switch (why) {
    case TemplateSkip::Round: return QStringLiteral("round labels");
    case TemplateSkip::Cd: return QStringLiteral("CD and DVD labels");
    case TemplateSkip::Ellipse: return QStringLiteral("elliptical labels");
    case TemplateSkip::MultiLayout: return QStringLiteral("several grids on one sheet");
    case TemplateSkip::Roll: return QStringLiteral("labels on a roll");
    case TemplateSkip::OutsideLimits: return QStringLiteral("more rows, columns or larger lengths than a label size holds");
    case TemplateSkip::Invalid: return QStringLiteral("missing or impossible measurements");
    case TemplateSkip::UnresolvedEquiv: return QStringLiteral("copy of a template that does not exist");
    }
    return {};
}

int TemplateScan::SkippedTotal() const
{
    int total = 0;
    for (const auto &[why, count] : skipped)
        total += count;
    return total;
}

void TemplateScan::Add(const TemplateScan &o)
{
    products.insert(products.end(), o.products.begin(), o.products.end());
    templates += o.templates;
    mapped += o.mapped;
    for (const auto &[why, count] : o.skipped)
        skipped[why] += count;
    errors += o.errors;
    files += o.files;
}

bool ParseGlabelsLength(const QString &text, double &mm)
{
    const QString t = text.trimmed();
    if (t.isEmpty() || t.size() > 40)
        return false;
    int end = 0;
    while (end < t.size() && (t[end].isDigit() || t[end] == u'.' || t[end] == u'-' || t[end] == u'+' ||
                              ((t[end] == u'e' || t[end] == u'E') && end > 0 && end + 1 < t.size() &&
                               (t[end + 1].isDigit() || t[end + 1] == u'-' || t[end + 1] == u'+'))))
        ++end;
    bool ok = false;
    const double value = t.left(end).toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return false;
    const QString unit = t.mid(end).trimmed().toLower();
    double factor = 0;
    if (unit.isEmpty() || unit == QLatin1String("pt"))
        factor = 25.4 / 72.0;
    else if (unit == QLatin1String("mm"))
        factor = 1;
    else if (unit == QLatin1String("cm"))
        factor = 10;
    else if (unit == QLatin1String("in"))
        factor = 25.4;
    else if (unit == QLatin1String("pc"))
        factor = 25.4 / 6.0;
    else
        return false;
    mm = value * factor;
    return std::isfinite(mm) && std::fabs(mm) < 1e6;
}

bool FitsLabelSizeLimits(const LabelProduct &p)
{
    auto in = [](double v, double lo, double hi) { return v >= lo && v <= hi; };
    return in(p.A, 0, 500) && in(p.C, 0, 500) && in(p.D, 0, 500) && in(p.F, 0, 500) && in(p.B, 1, 500) &&
           in(p.E, 1, 500) && p.M >= 1 && p.M <= 15 && p.N >= 1 && p.N <= 20;
}

namespace {

struct RawLayout {
    QString nx, ny, x0, y0, dx, dy;
};

// One Template element as written, before its equiv is resolved.
struct RawTemplate {
    QString brand, part, size, description, width, height, equiv;
    QString shape; // "Label-rectangle", "Label-round", ...; empty: none
    QString labelWidth, labelHeight;
    std::vector<RawLayout> layouts;
    bool roll = false;
    int shapes = 0;
};

QString key(const QString &brand, const QString &part)
{
    return brand.trimmed().toCaseFolded() + u'\x1f' + part.trimmed().toCaseFolded();
}

bool paperOf(const RawTemplate &t, const std::map<QString, std::pair<double, double>> &paperSizes, double &w, double &h)
{
    if (t.size.compare(QLatin1String("Other"), Qt::CaseInsensitive) == 0)
        return ParseGlabelsLength(t.width, w) && ParseGlabelsLength(t.height, h) && w >= 1 && h >= 1;
    if (auto it = paperSizes.find(t.size); it != paperSizes.end()) {
        w = it->second.first;
        h = it->second.second;
        return true;
    }
    return LabelPaperSize(t.size, w, h);
}

// Maps a resolved template to a product, or says why it cannot be one.
std::optional<TemplateSkip> mapTemplate(const RawTemplate &t, const std::map<QString, std::pair<double, double>> &paperSizes,
                                        LabelProduct &p)
{
    if (t.roll || t.size.compare(QLatin1String("roll"), Qt::CaseInsensitive) == 0)
        return TemplateSkip::Roll;
    if (t.shape == QLatin1String("Label-round"))
        return TemplateSkip::Round;
    if (t.shape == QLatin1String("Label-cd"))
        return TemplateSkip::Cd;
    if (t.shape == QLatin1String("Label-ellipse"))
        return TemplateSkip::Ellipse;
    if (t.shape != QLatin1String("Label-rectangle") || t.shapes != 1 || t.layouts.empty() || t.part.trimmed().isEmpty())
        return TemplateSkip::Invalid;
    if (t.layouts.size() > 1)
        return TemplateSkip::MultiLayout;
    const RawLayout &l = t.layouts.front();
    double w = 0, h = 0, x0 = 0, y0 = 0, dx = 0, dy = 0, pw = 0, ph = 0;
    bool okX = false, okY = false;
    const int nx = l.nx.trimmed().toInt(&okX), ny = l.ny.trimmed().toInt(&okY);
    if (!ParseGlabelsLength(t.labelWidth, w) || !ParseGlabelsLength(t.labelHeight, h) || !ParseGlabelsLength(l.x0, x0) ||
        !ParseGlabelsLength(l.y0, y0) || !okX || !okY || nx < 1 || ny < 1 || w <= 0 || h <= 0 || x0 < 0 || y0 < 0)
        return TemplateSkip::Invalid;
    if (nx > 1 && !ParseGlabelsLength(l.dx, dx))
        return TemplateSkip::Invalid;
    if (ny > 1 && !ParseGlabelsLength(l.dy, dy))
        return TemplateSkip::Invalid;
    if (!paperOf(t, paperSizes, pw, ph))
        return TemplateSkip::Invalid;
    // Rounding in the files leaves gaps of a few hundredths below zero.
    constexpr double tolerance = 0.05;
    double gapX = nx > 1 ? dx - w : 0, gapY = ny > 1 ? dy - h : 0;
    if (gapX < -tolerance || gapY < -tolerance)
        return TemplateSkip::Invalid; // labels overlapping
    gapX = std::max(0.0, gapX);
    gapY = std::max(0.0, gapY);
    p.brand = t.brand.trimmed();
    p.part = t.part.trimmed();
    p.description = t.description.trimmed();
    p.paperName = t.size.trimmed();
    p.paperWidth = pw;
    p.paperHeight = ph;
    p.A = x0; p.B = w; p.C = gapX; p.D = y0; p.E = h; p.F = gapY;
    p.M = ny; p.N = nx;
    if (nx > 1000 || ny > 1000 || !FitsLabelSizeLimits(p))
        return TemplateSkip::OutsideLimits;
    // The grid must lie on the paper (within half a millimetre).
    const double right = x0 + nx * w + (nx - 1) * gapX, bottom = y0 + ny * h + (ny - 1) * gapY;
    if (right > pw + 0.5 || bottom > ph + 0.5)
        return TemplateSkip::Invalid;
    return std::nullopt;
}

// Reads the Template elements of a document; stops at the first error.
std::vector<RawTemplate> readRawTemplates(QXmlStreamReader &xml, QString &error)
{
    std::vector<RawTemplate> out;
    bool rootSeen = false;
    RawTemplate *current = nullptr;
    bool inShape = false;
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            const QStringView name = xml.name();
            const QXmlStreamAttributes a = xml.attributes();
            if (!rootSeen) {
                rootSeen = true;
                if (name != QLatin1String("Glabels-templates")) {
                    error = QStringLiteral("not a gLabels template file (its first element is <%1>)").arg(name);
                    return out;
                }
                continue;
            }
            if (name == QLatin1String("Template")) {
                if (int(out.size()) >= kMaxTemplatesPerFile) {
                    error = QStringLiteral("more than %1 templates").arg(kMaxTemplatesPerFile);
                    return out;
                }
                RawTemplate t;
                t.brand = a.value(QLatin1String("brand")).toString();
                t.part = a.value(QLatin1String("part")).toString();
                t.size = a.value(QLatin1String("size")).toString();
                t.description = a.hasAttribute(QLatin1String("_description"))
                                    ? a.value(QLatin1String("_description")).toString()
                                    : a.value(QLatin1String("description")).toString();
                t.width = a.value(QLatin1String("width")).toString();
                t.height = a.value(QLatin1String("height")).toString();
                t.equiv = a.value(QLatin1String("equiv")).toString();
                t.roll = a.hasAttribute(QLatin1String("roll_width")) || a.hasAttribute(QLatin1String("roll"));
                out.push_back(t);
                current = &out.back();
                inShape = false;
            } else if (current && name.startsWith(QLatin1String("Label-"))) {
                ++current->shapes;
                if (current->shape.isEmpty()) {
                    current->shape = name.toString();
                    current->labelWidth = a.value(QLatin1String("width")).toString();
                    current->labelHeight = a.value(QLatin1String("height")).toString();
                }
                inShape = true;
            } else if (current && inShape && name == QLatin1String("Layout")) {
                current->layouts.push_back({a.value(QLatin1String("nx")).toString(), a.value(QLatin1String("ny")).toString(),
                                            a.value(QLatin1String("x0")).toString(), a.value(QLatin1String("y0")).toString(),
                                            a.value(QLatin1String("dx")).toString(), a.value(QLatin1String("dy")).toString()});
            }
        } else if (token == QXmlStreamReader::EndElement) {
            const QStringView name = xml.name();
            if (name == QLatin1String("Template"))
                current = nullptr;
            else if (name.startsWith(QLatin1String("Label-")))
                inShape = false;
        }
    }
    if (xml.hasError())
        error = QStringLiteral("line %1: %2").arg(xml.lineNumber()).arg(xml.errorString());
    else if (!rootSeen)
        error = QStringLiteral("the file is empty");
    return out;
}

} // namespace

TemplateScan ReadGlabelsTemplates(const QByteArray &data, const QString &name,
                                  const std::map<QString, std::pair<double, double>> &paperSizes)
{
    TemplateScan scan;
    scan.files = 1;
    QXmlStreamReader xml(data);
    QString error;
    std::vector<RawTemplate> raw = readRawTemplates(xml, error);
    if (!error.isEmpty()) {
        QString message = QStringLiteral("%1: %2").arg(name, error);
        if (!raw.empty())
            message += QStringLiteral(" (%1 templates before it were read)").arg(raw.size());
        scan.errors << message;
    }
    // An equiv template copies an earlier template of the same brand, all
    // but its brand and part number.
    QHash<QString, std::size_t> byKey;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        RawTemplate t = raw[i];
        ++scan.templates;
        if (!t.equiv.isEmpty()) {
            const auto it = byKey.constFind(key(t.brand, t.equiv));
            if (it == byKey.constEnd()) {
                ++scan.skipped[TemplateSkip::UnresolvedEquiv];
                continue;
            }
            const RawTemplate &base = raw[*it];
            const QString brand = t.brand, part = t.part;
            t = base;
            t.brand = brand;
            t.part = part;
            t.equiv.clear();
        }
        if (!byKey.contains(key(t.brand, t.part)))
            byKey.insert(key(t.brand, t.part), i);
        raw[i] = t;
        LabelProduct p;
        if (const auto skip = mapTemplate(t, paperSizes, p)) {
            ++scan.skipped[*skip];
            continue;
        }
        p.source = name;
        scan.products.push_back(p);
        ++scan.mapped;
    }
    return scan;
}

TemplateScan ReadGlabelsTemplateFile(const QString &path, const std::map<QString, std::pair<double, double>> &paperSizes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        TemplateScan scan;
        scan.files = 1;
        scan.errors << QStringLiteral("%1: cannot be read (%2)").arg(path, file.errorString());
        return scan;
    }
    if (file.size() > kMaxTemplateFileBytes) {
        TemplateScan scan;
        scan.files = 1;
        scan.errors << QStringLiteral("%1: larger than %2 MB, not read").arg(path).arg(kMaxTemplateFileBytes / (1024 * 1024));
        return scan;
    }
    return ReadGlabelsTemplates(file.read(kMaxTemplateFileBytes), path, paperSizes);
}

std::map<QString, std::pair<double, double>> ReadGlabelsPaperSizes(const QString &path)
{
    std::map<QString, std::pair<double, double>> sizes;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxTemplateFileBytes)
        return sizes;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != QLatin1String("Paper-size"))
            continue;
        const auto a = xml.attributes();
        double w = 0, h = 0;
        const QString id = a.value(QLatin1String("id")).toString();
        if (!id.isEmpty() && ParseGlabelsLength(a.value(QLatin1String("width")).toString(), w) &&
            ParseGlabelsLength(a.value(QLatin1String("height")).toString(), h) && w >= 1 && h >= 1)
            sizes[id] = {w, h};
    }
    return sizes;
}

QStringList GlabelsTemplateFolders()
{
    const QByteArray over = qgetenv("CORVELLE_GLABELS_TEMPLATES");
    if (!over.isNull())
        return QString::fromLocal8Bit(over).split(u':', Qt::SkipEmptyParts);
    QStringList folders = {QStringLiteral("/usr/share/libglabels-3.0/templates"),
                           QStringLiteral("/usr/local/share/libglabels-3.0/templates"),
                           QStringLiteral("/usr/share/glabels-3.0/templates"),
                           QStringLiteral("/usr/local/share/glabels-3.0/templates")};
    QString config = QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME"));
    if (config.isEmpty())
        config = QDir::homePath() + QStringLiteral("/.config");
    folders << config + QStringLiteral("/libglabels/templates") << QDir::homePath() + QStringLiteral("/.glabels");
    return folders;
}

TemplateScan ScanGlabelsTemplateFolders(const QStringList &folders)
{
    TemplateScan scan;
    QSet<QString> seen;
    std::map<QString, std::pair<double, double>> paperSizes;
    for (const QString &folder : folders) {
        const QString sizesFile = folder + QStringLiteral("/paper-sizes.xml");
        if (QFileInfo::exists(sizesFile))
            for (const auto &[id, wh] : ReadGlabelsPaperSizes(sizesFile))
                paperSizes.emplace(id, wh);
    }
    static const QStringList notTemplates = {QStringLiteral("paper-sizes.xml"), QStringLiteral("categories.xml"),
                                             QStringLiteral("vendors.xml")};
    for (const QString &folder : folders) {
        QDir dir(folder);
        if (!dir.exists())
            continue;
        const QFileInfoList files = dir.entryInfoList({QStringLiteral("*.xml"), QStringLiteral("*.template")},
                                                      QDir::Files | QDir::Readable, QDir::Name);
        for (const QFileInfo &f : files) {
            if (notTemplates.contains(f.fileName()))
                continue;
            const QString real = f.canonicalFilePath();
            if (real.isEmpty() || seen.contains(real))
                continue; // a folder reached twice through a link
            seen.insert(real);
            scan.Add(ReadGlabelsTemplateFile(f.filePath(), paperSizes));
        }
    }
    return scan;
}

std::vector<LabelProduct> BuiltInLabelProducts()
{
    std::vector<LabelProduct> products;
    for (const LabelSheetRecord &r : BuiltInLabelSheets()) {
        LabelProduct p;
        p.brand = r.brand;
        p.part = r.part;
        p.description = r.description;
        p.paperName = r.paper;
        p.paperWidth = r.paperWidth;
        p.paperHeight = r.paperHeight;
        p.A = r.A; p.B = r.B; p.C = r.C; p.D = r.D; p.E = r.E; p.F = r.F;
        p.M = r.M; p.N = r.N;
        p.source = kBuiltIn;
        products.push_back(p);
    }
    return products;
}

std::vector<LabelProduct> LoadLabelCatalogue(TemplateScan *scanOut, const QStringList &folders)
{
    std::vector<LabelProduct> products = BuiltInLabelProducts();
    TemplateScan scan = ScanGlabelsTemplateFolders(folders);
    QSet<QString> keys;
    for (const LabelProduct &p : products)
        keys.insert(key(p.brand, p.part));
    for (const LabelProduct &p : scan.products) {
        const QString k = key(p.brand, p.part);
        if (keys.contains(k))
            continue;
        keys.insert(k);
        products.push_back(p);
    }
    if (scanOut)
        *scanOut = std::move(scan);
    return products;
}

namespace {

QString normalised(const QString &s)
{
    QString t = s.toCaseFolded();
    t.replace(QChar(0x00D7), u'x'); // ×
    t.replace(u',', u'.');          // 63,5 is 63.5
    return t;
}

} // namespace

std::vector<const LabelProduct *> SearchLabelProducts(const std::vector<LabelProduct> &products, const QString &query)
{
    QStringList words = normalised(query).split(QChar(u' '), Qt::SkipEmptyParts);
    // "63.5 x 38.1" is the size 63.5x38.1.
    for (int i = 1; i + 1 < words.size(); ++i)
        if (words[i] == QLatin1String("x")) {
            words[i - 1] += u'x' + words[i + 1];
            words.removeAt(i + 1);
            words.removeAt(i);
            --i;
        }
    struct Hit {
        int rank;
        std::size_t order;
        const LabelProduct *product;
    };
    std::vector<Hit> hits;
    for (std::size_t i = 0; i < products.size(); ++i) {
        const LabelProduct &p = products[i];
        const QString part = normalised(p.part);
        const QString size = normalised(QStringLiteral("%1x%2 mm").arg(compactNumber(p.B), compactNumber(p.E)));
        const QString text = normalised(p.brand + u' ' + p.part + u' ' + p.description + u' ' + p.Summary()) + u' ' + size;
        bool all = true;
        int rank = 4;
        for (const QString &w : words) {
            if (!text.contains(w)) {
                all = false;
                break;
            }
            if (part == w)
                rank = std::min(rank, 0);
            else if (part.endsWith(w))
                rank = std::min(rank, 1);
            else if (part.startsWith(w))
                rank = std::min(rank, 2);
            else if (part.contains(w))
                rank = std::min(rank, 3);
        }
        if (all)
            hits.push_back({words.isEmpty() ? 4 : rank, i, &p});
    }
    std::stable_sort(hits.begin(), hits.end(), [](const Hit &a, const Hit &b) {
        return a.rank != b.rank ? a.rank < b.rank : a.order < b.order;
    });
    std::vector<const LabelProduct *> out;
    out.reserve(hits.size());
    for (const Hit &h : hits)
        out.push_back(h.product);
    return out;
}
