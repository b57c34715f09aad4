// tesmar-newdb: creates a new, ready-to-use database file.
#include "schema.h"
#include "database.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>
#include <stdexcept>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    bool force = false;
    QString path;
    for (const QString &a : args) {
        if (a == QLatin1String("--force")) {
            force = true;
        } else if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            std::printf("Usage: tesmar-newdb [--force] FILE\n"
                        "Creates a new Corvelle database FILE with the root folder, common envelope\n"
                        "sizes and label sheets, the \"Standard\" envelope and label styles and a\n"
                        "default calibration. An existing FILE is replaced only with --force.\n");
            return 0;
        } else if (a.startsWith(u'-')) {
            std::fprintf(stderr, "tesmar-newdb: unknown option %s\n", qPrintable(a));
            return 2;
        } else if (path.isEmpty()) {
            path = a;
        } else {
            std::fprintf(stderr, "tesmar-newdb: only one FILE may be given\n");
            return 2;
        }
    }
    if (path.isEmpty()) {
        std::fprintf(stderr, "Usage: tesmar-newdb [--force] FILE\n");
        return 2;
    }
    try {
        CreateNewDatabase(path, force);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "tesmar-newdb: %s\n", e.what());
        return 1;
    }
    std::printf("Created %s\n", qPrintable(path));
    return 0;
}
