#pragma once
// The catalogue of label products: sheets a user can pick by brand and part
// number instead of measuring them. Two sources: the built-in list
// (resources/labels/labelsheets.txt, the makers' data sheets) and the gLabels
// 3 template files of the distribution and of the user, read at run time.
// Only rectangular labels in one regular grid map onto a label size; round,
// CD and elliptical labels, several grids on one sheet, rolls and sheets
// beyond the limits of a label size are skipped and counted. Every template
// file may be damaged or hostile: it gives a message, never a crash. No
// windows here.
#include "sizes.h"

#include <QString>
#include <QStringList>
#include <map>
#include <vector>

struct LabelProduct {
    QString brand;
    QString part;
    QString description;
    QString paperName;                     // "A4", "US-Letter", "Other"...
    double paperWidth = 0, paperHeight = 0; // mm, portrait as the maker gives it
    double A = 0, B = 0, C = 0, D = 0, E = 0, F = 0;
    int M = 0, N = 0;
    QString source; // "built-in" or the template file's path

    bool BuiltIn() const { return source == QLatin1String("built-in"); }
    // brand + part number + description, at most 64 characters.
    QString DefaultName() const;
    // "63.5 x 38.1 mm, 3 x 7, A4"
    QString Summary() const;
    // A label size with this layout and paper (id 0, name DefaultName()).
    LabelSize ToLabelSize() const;
};

// Why a template did not become a product.
enum class TemplateSkip {
    Round,          // Label-round
    Cd,             // Label-cd
    Ellipse,        // Label-ellipse
    MultiLayout,    // more than one Layout
    Roll,           // continuous roll, no sheet
    OutsideLimits,  // more than 15 rows or 20 columns, or lengths out of range
    Invalid,        // missing or impossible values, unknown paper, no label
    UnresolvedEquiv // equiv names a template that does not exist
};
QString TemplateSkipText(TemplateSkip why);

struct TemplateScan {
    std::vector<LabelProduct> products;
    int templates = 0; // Template elements seen
    int mapped = 0;    // became products
    std::map<TemplateSkip, int> skipped;
    QStringList errors; // "file: message" for files that could not be read
    int files = 0;

    int SkippedTotal() const;
    void Add(const TemplateScan &other);
};

// Reads one gLabels template file (a Glabels-templates document). Paper
// sizes named by the templates are looked up in `paperSizes` (id → width,
// height in mm; see ReadGlabelsPaperSizes) and the usual names.
TemplateScan ReadGlabelsTemplateFile(const QString &path,
                                     const std::map<QString, std::pair<double, double>> &paperSizes = {});
// Reads the same from memory (`name` is used in messages).
TemplateScan ReadGlabelsTemplates(const QByteArray &xml, const QString &name,
                                  const std::map<QString, std::pair<double, double>> &paperSizes = {});
// paper-sizes.xml of a template folder: id → (width, height) in mm.
std::map<QString, std::pair<double, double>> ReadGlabelsPaperSizes(const QString &path);

// A gLabels length ("181.4", "5mm", "0.5in", "2.54cm", "12pc", "72pt";
// no unit: points) in mm. False for anything else.
bool ParseGlabelsLength(const QString &text, double &mm);

// The template folders read: the distribution's (/usr/share/libglabels-3.0/
// templates, /usr/share/glabels-3.0/templates, the same under /usr/local)
// and the user's ($XDG_CONFIG_HOME/libglabels/templates, ~/.glabels).
// CORVELLE_GLABELS_TEMPLATES (folders separated by ":") replaces the list.
QStringList GlabelsTemplateFolders();
// Every *.xml (but paper-sizes.xml, categories.xml, vendors.xml) and
// *.template file of the folders.
TemplateScan ScanGlabelsTemplateFolders(const QStringList &folders);

// The built-in list as products.
std::vector<LabelProduct> BuiltInLabelProducts();

// The whole catalogue: the built-in list first, then the templates (a
// template with the brand and part number of a built-in product is not
// listed twice). `scan` receives the counts of the templates.
std::vector<LabelProduct> LoadLabelCatalogue(TemplateScan *scan = nullptr,
                                             const QStringList &folders = GlabelsTemplateFolders());

// The products matching `query`, best first. Every word of the query must
// occur in the brand, the part number, the description or the size
// ("63.5x38.1" and "63.5 x 38.1" both match); a part number equal to a word,
// then ending with it, then starting with it ranks first; otherwise the
// catalogue's order holds. An empty query gives every product.
std::vector<const LabelProduct *> SearchLabelProducts(const std::vector<LabelProduct> &products, const QString &query);

// True when the layout can be a label size (the limits of the size dialog).
bool FitsLabelSizeLimits(const LabelProduct &p);
