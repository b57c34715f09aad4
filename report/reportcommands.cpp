#include "reportcommands.h"

#include "appcontext.h"
#include "commands.h"
#include "database.h"
#include "reportdialog.h"
#include "reportoptionsdialog.h"

void RunReportCommand(QWidget *parent)
{
    CDatabase *db = AppContext::Database();
    if (!db || !db->IsOpen())
        return;
    ReportOptionsDialog options(*db, parent);
    if (options.exec() != QDialog::Accepted)
        return;
    ReportDialog report(*db, options.Criteria(), parent);
    report.exec();
}

void RegisterReportCommands()
{
    RegisterCommand(ID_REPORT_COMMAND, {[](QWidget *parent) { RunReportCommand(parent); }, [] {
                                            CDatabase *db = AppContext::Database();
                                            return db && db->IsOpen();
                                        }});
}
