// Tesmar: the Corvelle address book and envelope and label printing program.
#include "commandline.h"
#include "subsystems.h"
#include "tesmarapp.h"

#include <QApplication>
#include <cstdio>
#include <cstring>

int main(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const bool batch = IsCommandLineOperation(arguments);
    // Batch work needs no display; printing still needs the GUI libraries.
    if (batch && qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    // Help needs neither a display nor a database.
    if (arguments.contains(QStringLiteral("--help")) || arguments.contains(QStringLiteral("-h"))) {
        std::fputs(CommandLineHelp().toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (arguments.contains(QStringLiteral("--version"))) {
        std::printf("tesmar (Corvelle) %s\n", CORVELLE_VERSION);
        return 0;
    }
    // Batch runs keep their options away from Qt's own (--style is ours there).
    // A window run gives Qt its standard options (-style, -platform,
    // -reverse, ...) and checks only what Qt leaves.
    int qtArgc = batch ? 1 : argc;
    QApplication application(qtArgc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("com.darvenix.Corvelle")); // the launcher's icon and name
    if (!batch) {
        arguments.clear();
        for (int i = 1; i < qtArgc; ++i)
            arguments << QString::fromLocal8Bit(argv[i]);
    }
    // Batch options and --check run where nobody may answer a window (a cron
    // job, a display-less shell): their messages go to standard error.
    if (batch || arguments.contains(QStringLiteral("--check")))
        InstallCommandLineMessages();
    CTesmarApp app;
    if (!app.InitInstance())
        return 1;
    if ((batch || arguments.contains(QStringLiteral("--check"))) && !app.NewDatabaseNotice().isEmpty())
        std::fprintf(stderr, "tesmar: %s\n", qPrintable(app.NewDatabaseNotice()));
    if (batch) {
        RegisterPrintingOperations();
        return RunCommandLineOperation(arguments);
    }
    for (const QString &a : arguments)
        if (a != QLatin1String("--check")) {
            std::fprintf(stderr, "tesmar: unknown argument %s\nTry 'tesmar --help'.\n", qPrintable(a));
            return 2;
        }
    if (arguments.contains(QStringLiteral("--check")))
        return 0;
    if (!app.ShowMainWindow())
        return 1;
    return application.exec();
}
