#include "printcli.h"

#include "appcontext.h"
#include "database.h"
#include "folderpath.h"
#include "printers.h"
#include "recordsets.h"
#include "sqlformat.h"
#include "tvparse.h"

#include <QFileInfo>
#include <cstdio>
#include <deque>
#include <map>
#include <set>

namespace {

std::map<QString, PrintCommandLineRunner> &runners()
{
    static std::map<QString, PrintCommandLineRunner> map;
    return map;
}

void addFolder(CDatabase &db, int folder, bool subfolders, std::deque<AddressEntry> &list, std::set<int> &present)
{
    if (subfolders) {
        std::vector<int> children;
        {
            CSetFolder set(&db);
            set.Open(SqlFormat(QStringLiteral("SELECT * FROM FOLDER WHERE ID_PARENT = %d ORDER BY NAME DESC"), folder));
            for (; !set.IsEOF(); set.MoveNext())
                children.push_back(set.m_ID_FOLDER_FOLDER);
        }
        for (int child : children)
            addFolder(db, child, true, list, present);
    }
    CSetAddress set(&db);
    set.Open(SqlFormat(QStringLiteral("SELECT * FROM ADDRESS WHERE ID_ADDRESS_FOLDER = %d ORDER BY NAME DESC, STREET "
                                      "DESC, TOWN DESC, ZIP DESC"),
                       folder));
    for (; !set.IsEOF(); set.MoveNext()) {
        if (!present.insert(set.m_ID_ADDRESS_ADDRESS).second)
            continue;
        AddressEntry entry;
        entry.id = set.m_ID_ADDRESS_ADDRESS;
        entry.folder = -1;
        entry.name = set.m_NAME;
        entry.street = set.m_STREET;
        entry.town = set.m_TOWN;
        entry.zip = set.m_ZIP;
        entry.country = set.m_COUNTRY;
        list.push_front(std::move(entry));
    }
}

} // namespace

void RegisterPrintCommandLineKind(const QString &kind, PrintCommandLineRunner runner)
{
    if (runner)
        runners()[kind] = std::move(runner);
    else
        runners().erase(kind);
}

QStringList PrintCommandLineKinds()
{
    QStringList kinds;
    for (const auto &[kind, runner] : runners())
        kinds << kind;
    return kinds;
}

int PrintCommandLineError(const QString &text, int code)
{
    std::fprintf(stderr, "tesmar: %s\n", text.toUtf8().constData());
    std::fflush(stderr);
    return code;
}

std::optional<int> PrintCommandLineCopies(const PrintCommandLine &options)
{
    std::int32_t copies = 0;
    if (!TVIsLong(options.copies.trimmed(), copies, 1, 1000))
        return std::nullopt;
    return copies;
}

std::optional<int> FindPrintFolder(CDatabase &db, const QString &path)
{
    return FindFolderByPath(db, path, FolderPathStart::BelowRoot);
}

std::vector<AddressEntry> CollectFolderAddresses(CDatabase &db, int folder, bool subfolders)
{
    std::deque<AddressEntry> list;
    std::set<int> present;
    addFolder(db, folder, subfolders, list, present);
    return {std::make_move_iterator(list.begin()), std::make_move_iterator(list.end())};
}

int RunPrintCommandLine(const PrintCommandLine &options)
{
    const auto found = runners().find(options.kind);
    if (found == runners().end()) {
        const QStringList kinds = PrintCommandLineKinds();
        return PrintCommandLineError(
            QStringLiteral("--print: unknown kind \"%1\" (known: %2)").arg(options.kind, kinds.join(QStringLiteral(", "))),
            2);
    }
    if (!options.hasFolder)
        return PrintCommandLineError(QStringLiteral("--print %1 needs --folder PATH").arg(options.kind), 2);
    if (options.sizeName.isEmpty())
        return PrintCommandLineError(QStringLiteral("--print %1 needs --size NAME").arg(options.kind), 2);
    if (options.styleName.isEmpty())
        return PrintCommandLineError(QStringLiteral("--print %1 needs --style NAME").arg(options.kind), 2);
    if (!PrintCommandLineCopies(options))
        return PrintCommandLineError(
            QStringLiteral("--copies \"%1\" is not a whole number from 1 to 1000").arg(options.copies), 2);
    if (!options.pdfFile.isEmpty() && !options.printerName.isEmpty())
        return PrintCommandLineError(QStringLiteral("--pdf and --printer exclude each other"), 2);

    CDatabase *db = AppContext::Database();
    if (!db)
        return PrintCommandLineError(QStringLiteral("no database is open"));

    // The output: a PDF file, a named printer, or the current printer.
    if (!options.pdfFile.isEmpty()) {
        AppContext::SetCurrentPrinter(PdfPrinterName());
        SetPdfOutputFile(QFileInfo(options.pdfFile).absoluteFilePath());
    } else if (!options.printerName.isEmpty()) {
        if (!InstalledPrinterNames().contains(options.printerName))
            return PrintCommandLineError(QStringLiteral("unknown printer \"%1\" (installed: %2)")
                                             .arg(options.printerName, InstalledPrinterNames().join(QStringLiteral(", "))));
        if (IsPdfPrinterName(options.printerName))
            return PrintCommandLineError(QStringLiteral("the printer \"%1\" needs --pdf FILE").arg(options.printerName),
                                         2);
        AppContext::SetCurrentPrinter(options.printerName);
    } else if (IsPdfPrinterName(AppContext::CurrentPrinter())) {
        return PrintCommandLineError(
            QStringLiteral("the current printer is \"%1\"; name the output file with --pdf FILE or a printer with "
                           "--printer NAME")
                .arg(AppContext::CurrentPrinter()),
            2);
    }

    std::vector<AddressEntry> addresses;
    try {
        const std::optional<int> folder = FindPrintFolder(*db, options.folderPath);
        if (!folder)
            return PrintCommandLineError(QStringLiteral("no folder \"%1\"").arg(options.folderPath));
        addresses = CollectFolderAddresses(*db, *folder, options.subfolders);
    } catch (const DbException &e) {
        return PrintCommandLineError(QStringLiteral("database error: %1").arg(QString::fromStdString(e.what())));
    }
    if (addresses.empty())
        return PrintCommandLineError(QStringLiteral("the folder \"%1\" holds no addresses%2")
                                         .arg(options.folderPath,
                                              options.subfolders ? QString() : QStringLiteral(" (--subfolders not given)")));
    return found->second(options, addresses);
}

QString PrintCommandLineHelp()
{
    return QStringLiteral(
        "Printing envelopes and labels:\n"
        "  tesmar --print envelopes --folder PATH [--subfolders] --size NAME --style NAME\n"
        "         [--copies N] [--collate] [--pdf FILE | --printer NAME]\n"
        "  tesmar --print labels --folder PATH [--subfolders] --size NAME --style NAME\n"
        "         [--copies N] [--collate] [--first-label N] [--pdf FILE | --printer NAME]\n"
        "\n"
        "  --folder PATH    print the addresses of this folder, in ascending order of\n"
        "                   name, street, town and ZIP\n"
        "  --subfolders     then those of every folder below it, depth first by name\n"
        "  --size NAME      the envelope or label size, by its name as listed in\n"
        "                   Settings (for example \"DL (220 x 110 mm)\"); for labels also\n"
        "                   a part number (\"L7163\") when exactly one size's name has it\n"
        "  --style NAME     the envelope or label style, by its name\n"
        "  --copies N       copies of each address, 1 to 1000 (default 1)\n"
        "  --collate        print the whole list, then again (1,2,3 ... 1,2,3); without\n"
        "                   it each address's copies follow each other (1,1,2,2,3,3)\n"
        "  --first-label N  labels only: the label position on the first sheet to start\n"
        "                   at\n"
        "  --pdf FILE       write a PDF file with the built-in \"PDF file\" printer\n"
        "  --printer NAME   print on this installed printer; without --pdf and\n"
        "                   --printer the system's default printer is used\n"
        "A printer takes envelopes and label sheets from the paper source chosen for\n"
        "them under Settings > Printer setup...\n"
        "The calibration of the size (or the default calibration) is applied; without\n"
        "one nothing is printed (message 96).\n");
}
