// tesmar-newdb: creates a new, ready-to-use address book: a database file,
// or the tables of a shared address book in an empty PostgreSQL database.
#include "schema.h"
#include "database.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QStringList>
#include <cstdio>
#include <stdexcept>

namespace {

const char kUsage[] = "Usage: tesmar-newdb [--force] FILE\n"
                      "       tesmar-newdb [--force] --postgresql URI\n";

// A connection name as the program's envelope.ini takes it: a URI as it
// is, libpq key/value pairs after "pg:".
QString serverName(const QString &given)
{
    if (CDatabase::IsServerName(given))
        return given;
    return QStringLiteral("pg:") + given;
}

// The name without its password, for what the tool prints.
QString withoutPassword(QString name)
{
    name.replace(QRegularExpression(QStringLiteral("^(postgres(?:ql)?://[^:/@]*):[^@/]*@")), QStringLiteral("\\1:***@"));
    name.replace(QRegularExpression(QStringLiteral("\\bpassword\\s*=\\s*('(?:[^'\\\\]|\\\\.)*'|\\S+)")),
                 QStringLiteral("password=***"));
    return name;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    bool force = false;
    bool server = false;
    QString path;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--force")) {
            force = true;
        } else if (a == QLatin1String("--postgresql") || a.startsWith(QLatin1String("--postgresql="))) {
            QString value;
            if (a.startsWith(QLatin1String("--postgresql=")))
                value = a.mid(13);
            else if (i + 1 < args.size())
                value = args[++i];
            if (value.trimmed().isEmpty() || !path.isEmpty()) {
                std::fprintf(stderr, "tesmar-newdb: --postgresql takes one URI (postgresql://user@host/dbname)\n");
                return 2;
            }
            path = serverName(value.trimmed());
            server = true;
        } else if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            std::printf("%s"
                        "Creates a new Corvelle database FILE with the root folder, common envelope\n"
                        "sizes and label sheets, the \"Standard\" envelope and label styles and a\n"
                        "default calibration. An existing FILE is replaced only with --force.\n"
                        "With --postgresql the same address book is created in an empty PostgreSQL\n"
                        "database for several desks to share: URI is postgresql://[user[:password]@]\n"
                        "host[:port]/dbname[?params] or libpq key/value pairs (\"host=... dbname=...\").\n"
                        "A database that holds an address book is replaced only with --force; one\n"
                        "with other tables is refused.\n",
                        kUsage);
            return 0;
        } else if (a.startsWith(u'-')) {
            std::fprintf(stderr, "tesmar-newdb: unknown option %s\n", qPrintable(a));
            return 2;
        } else if (path.isEmpty()) {
            path = a;
            server = CDatabase::IsServerName(a);
        } else {
            std::fprintf(stderr, "tesmar-newdb: only one FILE may be given\n");
            return 2;
        }
    }
    if (path.isEmpty()) {
        std::fprintf(stderr, "%s", kUsage);
        return 2;
    }
    try {
        CreateNewDatabase(path, force);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "tesmar-newdb: %s\n", e.what());
        return 1;
    }
    if (server) {
        std::printf("Created the address book in %s\n"
                    "Each desk's envelope.ini starts with the line\n"
                    "dbfile=%s\n",
                    qPrintable(withoutPassword(path)), qPrintable(withoutPassword(path)));
    } else {
        std::printf("Created %s\n", qPrintable(path));
    }
    return 0;
}
