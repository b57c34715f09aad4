// Tesmar: the Corvelle address book and envelope and label printing program.
#include "tesmarapp.h"

#include <QApplication>
#include <cstdio>
#include <cstring>

int main(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::printf("Usage: tesmar [--check]\n"
                        "Starts Corvelle on the database named by envelope.ini (first line\n"
                        "\"dbfile=PATH\") in the working directory, or on envdb.mdb there.\n"
                        "With TESMAR_AUTOANSWER set (yes, no, ok, cancel, yestoall, notoall) no\n"
                        "message box is shown: each is written to standard error and answered.\n"
                        "  --check  open the database as at start-up, then exit (0 when it opens)\n");
            return 0;
        }
    QApplication application(argc, argv);
    CTesmarApp app;
    if (!app.InitInstance())
        return 1;
    if (application.arguments().contains(QStringLiteral("--check")))
        return 0;
    if (!app.ShowMainWindow())
        return 1;
    return application.exec();
}
