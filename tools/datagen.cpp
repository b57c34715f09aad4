// tesmar-datagen: fills a database made by tesmar-newdb with a realistic,
// reproducible synthetic address book for tests and benchmarks.
#include "datagen.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    DataGenOptions options;
    QString path;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        auto number = [&](long long &out) {
            bool ok = false;
            if (i + 1 < args.size())
                out = args[++i].toLongLong(&ok);
            if (!ok || out < 0) {
                std::fprintf(stderr, "tesmar-datagen: %s needs a non-negative number\n", qPrintable(a));
                std::exit(2);
            }
        };
        long long v = 0;
        if (a == QLatin1String("--addresses")) {
            number(v);
            options.addresses = v;
        } else if (a == QLatin1String("--folders")) {
            number(v);
            options.folders = v;
        } else if (a == QLatin1String("--seed")) {
            number(v);
            options.seed = static_cast<unsigned>(v);
        } else if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            std::printf("Usage: tesmar-datagen [--addresses N] [--folders M] [--seed S] FILE\n"
                        "Adds N addresses (default 1000) in M new folders (default N/100, at least 1)\n"
                        "with phones and e-mails to the database FILE made by tesmar-newdb.\n"
                        "The same seed gives the same address book.\n");
            return 0;
        } else if (a.startsWith(u'-')) {
            std::fprintf(stderr, "tesmar-datagen: unknown option %s\n", qPrintable(a));
            return 2;
        } else {
            path = a;
        }
    }
    if (path.isEmpty()) {
        std::fprintf(stderr, "Usage: tesmar-datagen [--addresses N] [--folders M] [--seed S] FILE\n");
        return 2;
    }
    QElapsedTimer timer;
    timer.start();
    try {
        const DataGenResult r = GenerateAddressBook(path, options);
        std::printf("Added %lld addresses, %lld phones, %lld e-mails in %lld folders to %s in %.2f s\n",
                    r.addresses, r.phones, r.emails, r.folders, qPrintable(path), timer.elapsed() / 1000.0);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "tesmar-datagen: %s\n", e.what());
        return 1;
    }
    return 0;
}
