#include "labelprinting.h"

#include "appcontext.h"
#include "calibration.h"
#include "commands.h"
#include "database.h"
#include "firstlabeldialog.h"
#include "labeloptionsdialog.h"
#include "labelorder.h"
#include "labelpreviewdialog.h"
#include "labelprinter.h"
#include "labelstyledialog.h"
#include "printcli.h"
#include "printers.h"
#include "printlist.h"
#include "printlistdialog.h"
#include "recordsets.h"
#include "sqlformat.h"
#include "tvmessage.h"
#include "tvparse.h"

#include <QPrinter>
#include <QRegularExpression>
#include <cstdio>

namespace {

bool databaseOpen()
{
    return AppContext::Database() != nullptr;
}

std::unique_ptr<QPrinter> openPrinter(QWidget *parent, const LabelJob &job)
{
    return CreatePrinterDCOrReport(parent, job.calibration.landscape,
                                   PaperRequest::ForLabelSheet(job.size.paperWidth, job.size.paperHeight));
}

// The row whose name matches: exactly when one does, else the first the
// database finds (names compare without regard to letter case there).
template <typename Row> std::optional<Row> byName(const std::vector<Row> &rows, const QString &name)
{
    for (const Row &r : rows)
        if (r.name == name)
            return r;
    if (!rows.empty())
        return rows.front();
    return std::nullopt;
}

// The sizes whose name holds `part` as a word of its own ("L7163" in
// "Avery L7163 Address labels ..."), letter case ignored.
std::vector<LabelSize> sizesWithPartNumber(const std::vector<LabelSize> &sizes, const QString &part)
{
    std::vector<LabelSize> found;
    const QString wanted = part.trimmed();
    if (wanted.isEmpty())
        return found;
    static const QRegularExpression separators(QStringLiteral("[\\s,;()]+"));
    for (const LabelSize &s : sizes)
        for (const QString &word : s.name.split(separators, Qt::SkipEmptyParts))
            if (word.compare(wanted, Qt::CaseInsensitive) == 0) {
                found.push_back(s);
                break;
            }
    return found;
}

template <typename Row> QString knownNames(const std::vector<Row> &rows)
{
    QStringList names;
    for (const Row &r : rows)
        names << QStringLiteral("\"%1\"").arg(r.name);
    return names.join(QStringLiteral(", "));
}

} // namespace

bool PrintLabelList(QWidget *parent, const std::vector<AddressEntry> &list, bool preview)
{
    CDatabase *db = AppContext::Database();
    if (!db)
        return false;

    LabelPrintOptionsDialog options(parent, *db);
    if (options.exec() != QDialog::Accepted)
        return false;

    LabelJob job;
    job.size = options.Size();
    job.style = options.Style();
    job.copies = options.Copies();
    job.collate = options.Collate();
    job.addresses.reserve(list.size());
    for (const AddressEntry &a : list)
        job.addresses.push_back(PrintListCopy(a));

    const std::optional<Calibration> calibration = FindLabelCalibration(*db, job.size.id);
    if (!calibration) {
        CTVInfo::Show(96, TVB_OK);
        return false;
    }
    job.calibration = *calibration;

    FirstLabelDialog first(parent, job.size);
    if (first.exec() != QDialog::Accepted)
        return false;
    job.firstLabel = first.FirstLabel();

    std::unique_ptr<QPrinter> printer = openPrinter(parent, job);
    if (!printer)
        return false;
    const DeviceMetrics metrics = MetricsOf(*printer);

    if (preview) {
        LabelPreviewDialog dialog(parent, job, metrics);
        if (dialog.exec() != QDialog::Accepted)
            return false;
    }
    return LabelPrinter(job, metrics).Print(*printer, parent);
}

void RunMassPrint(QWidget *parent, const QString &kind, bool preview)
{
    CDatabase *db = AppContext::Database();
    if (!db)
        return;
    std::vector<AddressEntry> list;
    {
        PrintListDialog dialog(parent, *db);
        if (dialog.exec() != QDialog::Accepted)
            return;
        list = dialog.Addresses();
    }
    RunPrintList(kind, parent, list, preview);
}

int RunLabelsCommandLine(const PrintCommandLine &options, const std::vector<AddressEntry> &addresses)
{
    CDatabase *db = AppContext::Database();
    if (!db)
        return PrintCommandLineError(QStringLiteral("no database is open"));

    LabelJob job;
    try {
        const auto sizes = ReadLabelSizes(
            *db, SqlFormat(QStringLiteral("SELECT * FROM LABSIZE WHERE NAME = '%s'"), options.sizeName));
        auto size = byName(sizes, options.sizeName);
        if (!size) {
            // Not a name: a part number of exactly one size will do.
            const auto all = ReadLabelSizes(*db, QStringLiteral("SELECT * FROM LABSIZE ORDER BY NAME"));
            const auto withPart = sizesWithPartNumber(all, options.sizeName);
            if (withPart.size() == 1)
                size = withPart.front();
            else if (withPart.size() > 1)
                return PrintCommandLineError(QStringLiteral("part number \"%1\" is in the names of %2 label sizes: %3; "
                                                            "give the whole name")
                                                 .arg(options.sizeName)
                                                 .arg(withPart.size())
                                                 .arg(knownNames(withPart)));
            else
                return PrintCommandLineError(
                    QStringLiteral("no label size \"%1\" (known: %2)").arg(options.sizeName, knownNames(all)));
        }
        const auto styles = ReadLabelStyles(
            *db, SqlFormat(QStringLiteral("SELECT * FROM LABSTYLE WHERE LABSTYLE_NAME = '%s'"), options.styleName));
        const auto style = byName(styles, options.styleName);
        if (!style)
            return PrintCommandLineError(
                QStringLiteral("no label style \"%1\" (known: %2)")
                    .arg(options.styleName, knownNames(ReadLabelStyles(
                                                *db, QStringLiteral("SELECT * FROM LABSTYLE ORDER BY LABSTYLE_NAME")))));
        job.size = *size;
        job.style = *style;
    } catch (const DbException &e) {
        return PrintCommandLineError(QStringLiteral("database error: %1").arg(QString::fromStdString(e.what())));
    }

    const std::optional<int> copies = PrintCommandLineCopies(options);
    if (!copies)
        return PrintCommandLineError(
            QStringLiteral("--copies \"%1\" is not a whole number from 1 to 1000").arg(options.copies), 2);
    job.copies = *copies;
    job.collate = options.collate;

    // The first label as the user counts the sheet: 1 is the top-left
    // label, row by row, up to M × N.
    const int perSheet = std::max(0, job.size.M) * std::max(0, job.size.N);
    if (!options.firstLabel.trimmed().isEmpty()) {
        std::int32_t k = 0;
        if (!TVIsLong(options.firstLabel.trimmed(), k, 1, perSheet) || !LabelIndexFromUserNumber(k, perSheet, k))
            return PrintCommandLineError(
                QStringLiteral("--first-label \"%1\" is out of range: the sheet \"%2\" has %3 labels (%4 rows of %5); "
                               "give a number from 1 to %3")
                    .arg(options.firstLabel, job.size.name)
                    .arg(perSheet)
                    .arg(job.size.M)
                    .arg(job.size.N),
                2);
        job.firstLabel = k;
    }

    const std::optional<Calibration> calibration = FindLabelCalibration(*db, job.size.id);
    if (!calibration) {
        CTVInfo::Show(96, TVB_OK);
        return 1;
    }
    job.calibration = *calibration;
    job.addresses.reserve(addresses.size());
    for (const AddressEntry &a : addresses)
        job.addresses.push_back(PrintListCopy(a));

    std::unique_ptr<QPrinter> printer = openPrinter(nullptr, job);
    if (!printer)
        return 1;
    const DeviceMetrics metrics = MetricsOf(*printer);
    if (!LabelPrinter(job, metrics).Print(*printer, nullptr))
        return PrintCommandLineError(QStringLiteral("the label job was not printed"));

    const int labels = int(job.addresses.size()) * job.copies;
    const int sheets = LabelPageCount(int(job.addresses.size()), job.copies, job.firstLabel, perSheet);
    std::printf("%d labels on %d sheets of \"%s\"%s%s\n", labels, sheets, job.size.name.toUtf8().constData(),
                options.pdfFile.isEmpty() ? "" : " written to ",
                options.pdfFile.isEmpty() ? "" : PdfOutputFile().toUtf8().constData());
    std::fflush(stdout);
    return 0;
}

void RegisterLabelPrinting()
{
    RegisterCommand(LABCMD_STYLE_NEW, {[](QWidget *parent) {
                                           if (CDatabase *db = AppContext::Database()) {
                                               LabelStyleDialog dialog(parent, *db);
                                               dialog.exec();
                                           }
                                       },
                                       databaseOpen});
    RegisterCommand(LABCMD_STYLE_EDIT, {[](QWidget *parent) {
                                            if (CDatabase *db = AppContext::Database()) {
                                                LabelStyleListDialog dialog(parent, *db,
                                                                            LabelStyleListDialog::Action::Edit);
                                                dialog.exec();
                                            }
                                        },
                                        databaseOpen});
    RegisterCommand(LABCMD_STYLE_DELETE, {[](QWidget *parent) {
                                              if (CDatabase *db = AppContext::Database()) {
                                                  LabelStyleListDialog dialog(parent, *db,
                                                                              LabelStyleListDialog::Action::Delete);
                                                  dialog.exec();
                                              }
                                          },
                                          databaseOpen});

    for (const bool preview : {false, true}) {
        RegisterCommand(preview ? LABCMD_PREVIEW_ONE_LABEL : LABCMD_PRINT_ONE_LABEL,
                        {[preview](QWidget *parent) {
                             const std::optional<AddressEntry> address = AddressToPrint();
                             if (address)
                                 PrintLabelList(parent, {*address}, preview);
                         },
                         databaseOpen});
    }

    const struct {
        int id;
        const char *kind;
        bool preview;
    } mass[] = {
        {LABCMD_MASS_PRINT_ENVELOPE, "envelopes", false},
        {LABCMD_MASS_PRINT_LABEL, "labels", false},
        {LABCMD_MASS_PREVIEW_ENVELOPE, "envelopes", true},
        {LABCMD_MASS_PREVIEW_LABEL, "labels", true},
    };
    for (const auto &m : mass) {
        const QString kind = QString::fromLatin1(m.kind);
        const bool preview = m.preview;
        RegisterCommand(m.id, {[kind, preview](QWidget *parent) { RunMassPrint(parent, kind, preview); },
                               [kind] { return databaseOpen() && HasPrintListRunner(kind); }});
    }

    RegisterPrintListRunner(QStringLiteral("labels"),
                            [](QWidget *parent, const std::vector<AddressEntry> &list, bool preview) {
                                PrintLabelList(parent, list, preview);
                            });
    RegisterPrintCommandLineKind(QStringLiteral("labels"), RunLabelsCommandLine);
}
