#pragma once
// Registers the Settings commands of printing with the command registry
// (addressbook/commands.h):
//   32777 "Printer setup..."                 PrinterChoiceDialog
//   32778 calibration, new                   CalibrationDialog
//   32817 calibration, delete                RemoveCalibrationDialog
//   32802, 32803, 32804 envelope dimensions  New, Edit, Delete
//   32805, 32806, 32807 label dimensions     New, Edit, Delete
//   32863 label dimensions, new from product LabelProductDialog
// Each runs modally over the parent window it is given; all but the printer
// choice need the open database (AppContext::Database) to be enabled.
void RegisterPrintingCommands();

// Command ids.
enum PrintingCommand {
    ID_PRINTER_SETUP = 32777,
    ID_CALIBRATION_NEW = 32778,
    ID_ENVSIZE_NEW = 32802,
    ID_ENVSIZE_EDIT = 32803,
    ID_ENVSIZE_DELETE = 32804,
    ID_LABSIZE_NEW = 32805,
    ID_LABSIZE_EDIT = 32806,
    ID_LABSIZE_DELETE = 32807,
    ID_CALIBRATION_DELETE = 32817,
    ID_LABSIZE_FROM_PRODUCT = 32863,
};
