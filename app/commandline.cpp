#include "commandline.h"

#include "tvmessage.h"

#include <QMap>
#include <cstdio>

#ifdef CORVELLE_HAVE_EXCHANGE
#include "contactcli.h"
#include "exchangecli.h"
#endif
#if defined(CORVELLE_HAVE_PRINTING) && __has_include("printcli.h")
#include "printcli.h"
#define CORVELLE_HAVE_PRINT_CLI 1
#endif

namespace {

const QStringList kOperations = {QStringLiteral("--print"), QStringLiteral("--backup"), QStringLiteral("--restore"),
                                 QStringLiteral("--export"), QStringLiteral("--import")};

struct Parsed {
    QString operation, operand;
    QMap<QString, QString> values;
    QStringList flags;
    QString error;
};

// Options that take a value, and those that stand alone.
const QStringList kValued = {QStringLiteral("--folder"), QStringLiteral("--size"), QStringLiteral("--style"),
                             QStringLiteral("--copies"), QStringLiteral("--first-label"), QStringLiteral("--pdf"),
                             QStringLiteral("--printer"), QStringLiteral("--duplicates"),
                             QStringLiteral("--vcard-version")};
const QStringList kFlags = {QStringLiteral("--subfolders"), QStringLiteral("--collate")};

Parsed parse(const QStringList &args)
{
    Parsed p;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (kOperations.contains(a)) {
            if (!p.operation.isEmpty()) {
                p.error = QStringLiteral("only one of --print, --backup, --restore, --export, --import may be given");
                return p;
            }
            if (i + 1 >= args.size()) {
                p.error = a + QStringLiteral(" needs a value");
                return p;
            }
            p.operation = a.mid(2);
            p.operand = args[++i];
        } else if (kValued.contains(a)) {
            if (i + 1 >= args.size()) {
                p.error = a + QStringLiteral(" needs a value");
                return p;
            }
            p.values.insert(a.mid(2), args[++i]);
        } else if (kFlags.contains(a)) {
            p.flags << a.mid(2);
        } else {
            p.error = QStringLiteral("unknown argument ") + a;
            return p;
        }
    }
    return p;
}

const char *kindWord(TVMessageKind kind)
{
    switch (kind) {
    case TVMessageKind::Error: return "error";
    case TVMessageKind::Warning: return "warning";
    case TVMessageKind::Information: return "information";
    case TVMessageKind::Question: return "question";
    }
    return "error";
}

int usageError(const QString &text)
{
    std::fprintf(stderr, "tesmar: %s\nTry 'tesmar --help'.\n", qPrintable(text));
    return 2;
}

} // namespace

bool IsCommandLineOperation(const QStringList &arguments)
{
    for (const QString &a : arguments)
        if (kOperations.contains(a))
            return true;
    return false;
}

void InstallCommandLineMessages()
{
    CTVMessage::SetHook([](const TVMessageRecord &r) -> unsigned {
        QString text = r.text;
        text.replace(u'\n', QLatin1String("\\n"));
        std::fprintf(stderr, "%s %d: %s\n", kindWord(r.kind), r.id, text.toUtf8().constData());
        std::fflush(stderr);
        static const QMap<QString, unsigned> names = {{"yes", TVB_YES},       {"no", TVB_NO},
                                                      {"ok", TVB_OK},         {"cancel", TVB_CANCEL},
                                                      {"yestoall", TVB_YESTOALL}, {"notoall", TVB_NOTOALL}};
        const QString wanted = qEnvironmentVariable("TESMAR_AUTOANSWER").trimmed().toLower();
        if (names.contains(wanted) && (r.buttons & names.value(wanted)))
            return names.value(wanted);
        // Without an answer a question is declined; other boxes are acknowledged.
        for (unsigned bit : {unsigned(TVB_NO), unsigned(TVB_NOTOALL), unsigned(TVB_CANCEL), unsigned(TVB_OK)})
            if (r.buttons & bit)
                return bit;
        return TVB_CANCEL;
    });
}

int RunCommandLineOperation(const QStringList &arguments)
{
    const Parsed p = parse(arguments);
    if (!p.error.isEmpty())
        return usageError(p.error);
    const QString folder = p.values.value(QStringLiteral("folder"));
    const bool subfolders = p.flags.contains(QStringLiteral("subfolders"));
#ifdef CORVELLE_HAVE_EXCHANGE
    if (p.operation == QLatin1String("backup"))
        return RunBackupCommandLine(p.operand);
    if (p.operation == QLatin1String("restore"))
        return RunRestoreCommandLine(p.operand);
    if (p.operation == QLatin1String("export")) {
        if (!p.values.contains(QStringLiteral("folder")))
            return usageError(QStringLiteral("--export needs --folder PATH"));
        if (IsContactFile(p.operand))
            return RunContactExportCommandLine(p.operand, folder, subfolders,
                                               p.values.value(QStringLiteral("vcard-version")));
        if (p.values.contains(QStringLiteral("vcard-version")))
            return usageError(QStringLiteral("--vcard-version is for .vcf files only"));
        return RunExportCommandLine(p.operand, folder, subfolders);
    }
    if (p.operation == QLatin1String("import")) {
        if (!p.values.contains(QStringLiteral("folder")))
            return usageError(QStringLiteral("--import needs --folder PATH"));
        if (IsContactFile(p.operand))
            return RunContactImportCommandLine(p.operand, folder, p.values.value(QStringLiteral("duplicates")));
        return RunImportCommandLine(p.operand, folder, p.values.value(QStringLiteral("duplicates")));
    }
#endif
#ifdef CORVELLE_HAVE_PRINT_CLI
    if (p.operation == QLatin1String("print")) {
        PrintCommandLine options;
        options.kind = p.operand;
        options.folderPath = folder;
        options.subfolders = subfolders;
        options.sizeName = p.values.value(QStringLiteral("size"));
        options.styleName = p.values.value(QStringLiteral("style"));
        options.copies = p.values.value(QStringLiteral("copies"), QStringLiteral("1"));
        options.collate = p.flags.contains(QStringLiteral("collate"));
        options.firstLabel = p.values.value(QStringLiteral("first-label"));
        options.pdfFile = p.values.value(QStringLiteral("pdf"));
        options.printerName = p.values.value(QStringLiteral("printer"));
        options.hasFolder = p.values.contains(QStringLiteral("folder"));
        return RunPrintCommandLine(options);
    }
#endif
    (void)subfolders;
    return usageError(QStringLiteral("--%1 is not available in this build").arg(p.operation));
}

QString CommandLineHelp()
{
    QString help = QStringLiteral(
        "Usage: tesmar [QT-OPTION...] [--check]\n"
        "       tesmar OPERATION ...\n"
        "\n"
        "Without an operation Corvelle starts its window on the database named by\n"
        "envelope.ini (first line \"dbfile=PATH\") in the working directory, or on\n"
        "envdb.mdb there. An installed tesmar started where neither file exists uses\n"
        "$XDG_DATA_HOME/Corvelle (~/.local/share/Corvelle) and creates the database\n"
        "there on its first start.\n"
        "\n"
        "  --check     open the database as at start-up, then exit (0 when it opens)\n"
        "  --help      show this text\n"
        "  --version   show the program's version\n"
        "\n"
        "The window takes Qt's standard options, such as -style NAME, -platform NAME,\n"
        "-reverse and -qwindowgeometry WxH+X+Y.\n"
        "\n"
        "Operations work on that database without a window; messages are written to\n"
        "standard error as \"KIND ID: TEXT\" and the exit code is 0 only on success.\n"
        "Questions take the answer named by TESMAR_AUTOANSWER (yes, no, ok, cancel,\n"
        "yestoall, notoall); without it they are answered No. PATH names a folder\n"
        "from the root down with \"/\" between the names (\"/\" alone is the root).\n");
#ifdef CORVELLE_HAVE_PRINT_CLI
    help += u'\n' + PrintCommandLineHelp();
#endif
#ifdef CORVELLE_HAVE_EXCHANGE
    help += u'\n' + ExchangeCommandLineHelp();
    help += ContactCommandLineHelp();
#endif
    help += QStringLiteral(
        "\nWith TESMAR_AUTOANSWER set, the window's own message boxes are not shown\n"
        "either: each is written to standard error and answered with that button.\n");
    return help;
}
