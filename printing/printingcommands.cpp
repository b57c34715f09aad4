#include "printingcommands.h"

#include "appcontext.h"
#include "calibrationdialog.h"
#include "commands.h"
#include "labelproductdialog.h"
#include "printerchoicedialog.h"
#include "sizedialogs.h"
#include "sizelistdialog.h"

namespace {

bool databaseOpen()
{
    return AppContext::Database() != nullptr;
}

// Runs `open(db)` on the program's database when one is open.
template <typename F> std::function<void(QWidget *)> withDatabase(F open)
{
    return [open](QWidget *parent) {
        if (CDatabase *db = AppContext::Database())
            open(parent, *db);
    };
}

} // namespace

void RegisterPrintingCommands()
{
    RegisterCommand(ID_PRINTER_SETUP, {[](QWidget *parent) {
                                           PrinterChoiceDialog dialog(parent);
                                           dialog.exec();
                                       },
                                       {}});
    RegisterCommand(ID_CALIBRATION_NEW, {withDatabase([](QWidget *parent, CDatabase &db) {
                                             CalibrationDialog dialog(parent, db);
                                             dialog.exec();
                                         }),
                                         databaseOpen});
    RegisterCommand(ID_CALIBRATION_DELETE, {withDatabase([](QWidget *parent, CDatabase &db) {
                                                RemoveCalibrationDialog dialog(parent, db);
                                                dialog.exec();
                                            }),
                                            databaseOpen});
    RegisterCommand(ID_ENVSIZE_NEW, {withDatabase([](QWidget *parent, CDatabase &db) {
                                         EnvelopeSizeDialog dialog(parent, db);
                                         dialog.exec();
                                     }),
                                     databaseOpen});
    RegisterCommand(ID_LABSIZE_NEW, {withDatabase([](QWidget *parent, CDatabase &db) {
                                         LabelSizeDialog dialog(parent, db);
                                         dialog.exec();
                                     }),
                                     databaseOpen});
    RegisterCommand(ID_LABSIZE_FROM_PRODUCT, {withDatabase([](QWidget *parent, CDatabase &db) {
                                                  LabelProductDialog dialog(parent, db);
                                                  dialog.exec();
                                              }),
                                              databaseOpen});
    const struct {
        int id;
        SizeListDialog::Sizes sizes;
        SizeListDialog::Action action;
    } lists[] = {
        {ID_ENVSIZE_EDIT, SizeListDialog::Sizes::Envelope, SizeListDialog::Action::Edit},
        {ID_ENVSIZE_DELETE, SizeListDialog::Sizes::Envelope, SizeListDialog::Action::Delete},
        {ID_LABSIZE_EDIT, SizeListDialog::Sizes::Label, SizeListDialog::Action::Edit},
        {ID_LABSIZE_DELETE, SizeListDialog::Sizes::Label, SizeListDialog::Action::Delete},
    };
    for (const auto &l : lists) {
        const auto sizes = l.sizes;
        const auto action = l.action;
        RegisterCommand(l.id, {withDatabase([sizes, action](QWidget *parent, CDatabase &db) {
                                   SizeListDialog dialog(parent, db, sizes, action);
                                   dialog.exec();
                               }),
                               databaseOpen});
    }
}
