#include "appcontext.h"

#include <QDir>

namespace {
CDatabase *g_db = nullptr;
QString g_programDir;
QString g_printer;
} // namespace

CDatabase *AppContext::Database() { return g_db; }
void AppContext::SetDatabase(CDatabase *db) { g_db = db; }

QString AppContext::ProgramDirectory()
{
    return g_programDir.isEmpty() ? QDir::currentPath() : g_programDir;
}

void AppContext::SetProgramDirectory(const QString &dir)
{
    g_programDir = dir;
    while (g_programDir.size() > 1 && g_programDir.endsWith(u'/'))
        g_programDir.chop(1);
}

QString AppContext::ProgramFile(const QString &name)
{
    const QString dir = ProgramDirectory();
    return dir.endsWith(u'/') ? dir + name : dir + u'/' + name;
}

QString AppContext::TempSpreadsheetPath() { return ProgramFile(QStringLiteral("xlstemp.xls")); }

QString AppContext::CurrentPrinter() { return g_printer; }
void AppContext::SetCurrentPrinter(const QString &name) { g_printer = name; }
