// The main of every test executable: widgets on the offscreen platform, the
// program's string table registered, GoogleTest run.
#include "strings/strings.h"

#include <QApplication>
#include <QFile>
#include <cstdio>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qunsetenv("TESMAR_AUTOANSWER");
    QApplication app(argc, argv);
    CorvelleRegisterStrings();
    ::testing::InitGoogleTest(&argc, argv);
    // The run against the private server: without the server binaries the
    // fixture could not start one, and the run says so instead of failing.
    const QString serverDir = qEnvironmentVariable("CORVELLE_TEST_PG_DIR");
    if (!serverDir.isEmpty() && QFile::exists(serverDir + QStringLiteral("/ABSENT"))) {
        std::printf("postgresql server binaries are not installed: the server tests are skipped\n");
        return 0;
    }
    return RUN_ALL_TESTS();
}
