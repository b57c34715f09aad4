// The main of every test executable: widgets on the offscreen platform, the
// program's string table registered, GoogleTest run.
#include "strings/strings.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qunsetenv("TESMAR_AUTOANSWER");
    QApplication app(argc, argv);
    CorvelleRegisterStrings();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
