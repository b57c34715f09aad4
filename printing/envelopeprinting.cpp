#include "envelopeprinting.h"

#include "appcontext.h"
#include "calibration.h"
#include "commands.h"
#include "database.h"
#include "envelopeoptionsdialog.h"
#include "envelopepreviewdialog.h"
#include "envelopeprinter.h"
#include "envelopestyledialog.h"
#include "printcli.h"
#include "printers.h"
#include "sqlformat.h"
#include "tvmessage.h"

#include <QPrinter>

namespace {

bool databaseOpen()
{
    return AppContext::Database() != nullptr;
}

std::unique_ptr<QPrinter> openPrinter(QWidget *parent, const EnvelopeJob &job)
{
    return CreatePrinterDCOrReport(parent, job.calibration.landscape, PaperRequest::ForEnvelope(job.size.A, job.size.B));
}

// A copy as the print list holds it: no folder, no note.
AddressEntry listCopy(const AddressEntry &a)
{
    AddressEntry copy;
    copy.id = a.id;
    copy.folder = -1;
    copy.name = a.name;
    copy.street = a.street;
    copy.town = a.town;
    copy.zip = a.zip;
    copy.country = a.country;
    return copy;
}

template <typename Row> QString knownNames(const std::vector<Row> &rows)
{
    QStringList names;
    for (const Row &r : rows)
        names << QStringLiteral("\"%1\"").arg(r.name);
    return names.join(QStringLiteral(", "));
}

// The row with this name: the exact one when there is one, else one that
// the database matched without regard to letter case.
template <typename Row> const Row *byName(const std::vector<Row> &rows, const QString &name)
{
    for (const Row &r : rows)
        if (r.name == name)
            return &r;
    return rows.empty() ? nullptr : &rows.front();
}

int runCommandLine(const PrintCommandLine &options, const std::vector<AddressEntry> &addresses)
{
    CDatabase *db = AppContext::Database();
    if (!db)
        return PrintCommandLineError(QStringLiteral("no database is open"));
    if (!options.firstLabel.isEmpty())
        return PrintCommandLineError(QStringLiteral("--first-label is for labels only"), 2);

    EnvelopeJob job;
    std::vector<EnvelopeSize> sizes, allSizes;
    std::vector<EnvelopeStyle> styles, allStyles;
    try {
        sizes = ReadEnvelopeSizes(*db, SqlFormat(QStringLiteral("SELECT * FROM ENVSIZE WHERE NAME = '%s'"),
                                                 options.sizeName));
        styles = ReadEnvelopeStyles(
            *db, SqlFormat(QStringLiteral("SELECT * FROM ENVSTYLE WHERE ENVSTYLE_NAME = '%s'"), options.styleName));
        if (sizes.empty())
            allSizes = ReadEnvelopeSizes(*db, QStringLiteral("SELECT * FROM ENVSIZE ORDER BY NAME"));
        if (styles.empty())
            allStyles = ReadEnvelopeStyles(*db, QStringLiteral("SELECT * FROM ENVSTYLE ORDER BY ENVSTYLE_NAME"));
    } catch (const DbException &e) {
        return PrintCommandLineError(QStringLiteral("database error: %1").arg(QString::fromStdString(e.what())));
    }
    const EnvelopeSize *size = byName(sizes, options.sizeName);
    if (!size)
        return PrintCommandLineError(QStringLiteral("no envelope size \"%1\" (known: %2)")
                                         .arg(options.sizeName, knownNames(allSizes)));
    const EnvelopeStyle *style = byName(styles, options.styleName);
    if (!style)
        return PrintCommandLineError(QStringLiteral("no envelope style \"%1\" (known: %2)")
                                         .arg(options.styleName, knownNames(allStyles)));
    job.size = *size;
    job.style = *style;
    if (job.style.returnMode == RETURN_LOGO) {
        if (const int failure = LoadEnvelopeLogo(*db, job.style.id, job.style.logo)) {
            CTVError::Show(failure, TVB_OK);
            return 1;
        }
    }
    job.copies = *PrintCommandLineCopies(options);
    job.collate = options.collate;
    for (const AddressEntry &a : addresses)
        job.addresses.push_back(listCopy(a));

    const std::optional<Calibration> calibration = FindEnvelopeCalibration(*db, job.size.id);
    if (!calibration) {
        CTVInfo::Show(96, TVB_OK);
        return 1;
    }
    job.calibration = *calibration;
    std::unique_ptr<QPrinter> printer = openPrinter(nullptr, job);
    if (!printer)
        return 1;
    if (!PrintEnvelopeJob(*printer, nullptr, job))
        return PrintCommandLineError(QStringLiteral("the envelopes could not be printed"));
    return 0;
}

void openStyleList(QWidget *parent, EnvelopeStyleListDialog::Action action)
{
    if (CDatabase *db = AppContext::Database()) {
        EnvelopeStyleListDialog dialog(parent, *db, action);
        dialog.exec();
    }
}

void printOne(QWidget *parent, bool preview)
{
    if (!AppContext::Database())
        return;
    const std::optional<AddressEntry> address = AddressToPrint();
    if (!address)
        return;
    PrintEnvelopeList(parent, {*address}, preview);
}

} // namespace

bool PrintEnvelopeList(QWidget *parent, const std::vector<AddressEntry> &list, bool preview)
{
    CDatabase *db = AppContext::Database();
    if (!db)
        return false;
    EnvelopePrintOptionsDialog options(parent, *db);
    if (options.exec() != QDialog::Accepted)
        return false;

    EnvelopeJob job;
    job.size = options.Size();
    job.style = options.Style();
    job.copies = options.Copies();
    job.collate = options.Collate();
    for (const AddressEntry &a : list)
        job.addresses.push_back(listCopy(a));

    const std::optional<Calibration> calibration = FindEnvelopeCalibration(*db, job.size.id);
    if (!calibration) {
        CTVInfo::Show(96, TVB_OK);
        return false;
    }
    job.calibration = *calibration;
    std::unique_ptr<QPrinter> printer = openPrinter(parent, job);
    if (!printer)
        return false;
    if (preview) {
        EnvelopePreviewDialog dialog(parent, job, MetricsOf(*printer));
        if (dialog.exec() != QDialog::Accepted)
            return false;
    }
    return PrintEnvelopeJob(*printer, parent, job);
}

void RegisterEnvelopePrinting()
{
    RegisterCommand(ID_PRINT_ENVELOPE, {[](QWidget *parent) { printOne(parent, false); }, databaseOpen});
    RegisterCommand(ID_PREVIEW_ENVELOPE, {[](QWidget *parent) { printOne(parent, true); }, databaseOpen});
    RegisterCommand(ID_ENVSTYLE_NEW, {[](QWidget *parent) {
                                          if (CDatabase *db = AppContext::Database()) {
                                              EnvelopeStyleDialog dialog(parent, *db);
                                              dialog.exec();
                                          }
                                      },
                                      databaseOpen});
    RegisterCommand(ID_ENVSTYLE_EDIT,
                    {[](QWidget *parent) { openStyleList(parent, EnvelopeStyleListDialog::Action::Edit); }, databaseOpen});
    RegisterCommand(ID_ENVSTYLE_DELETE,
                    {[](QWidget *parent) { openStyleList(parent, EnvelopeStyleListDialog::Action::Delete); },
                     databaseOpen});
    RegisterPrintListRunner(QStringLiteral("envelopes"),
                            [](QWidget *parent, const std::vector<AddressEntry> &list, bool preview) {
                                PrintEnvelopeList(parent, list, preview);
                            });
    RegisterPrintCommandLineKind(QStringLiteral("envelopes"), runCommandLine);
}
