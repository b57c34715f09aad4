// The program's string table: every message, caption, label and status-bar
// prompt the program shows by id. Entries are sorted by id, one per line,
// UTF-8. A line break inside a text is written as the two characters
// backslash-n; the message box splits its lines at those.
#include "strings.h"

extern const TVStringEntry kProgramStrings[] = {
    // Start-up
    {1, "Fatal error occurred when opening database, the program will be terminated."},
    // Required fields of the address pages
    {2, "Empty field \"Name\", please fill it out."},
    {3, "Empty field \"Town / City\", please fill it out."},
    {4, "Empty field \"ZIP\", please fill it out."},
    {5, "Empty field \"Phone\", please fill it out."},
    {6, "Empty field \"E-mail\", please fill it out."},
    // Fatal errors, shown by every part of the program
    {7, "Fatal error occurred due to memory insufficiency."},
    {8, "Fatal database error occurred."},
    {9, "Fatal memory error occurred."},
    // Saving an address
    {10, "The folder already contains an address with identical name, street and city name.\\nDo you wish to continue adding this new address into the database?"},
    {11, "One or more of the fields contain disallowed character. Please remove it.\\nThe disallowed characters are: %s"},
    // Folder dialogs: new and rename
    {12, "No new folder name entered, please fill it out."},
    {13, "A subfolder with identical name already exists in given folder.\\nPlease choose another name."},
    {14, "No folder selected from the folder tree. Please select one."},
    {15, "No new folder name entered, please fill it out."},
    {16, "A subfolder with identical name already exists in given folder.\\nPlease choose another name."},
    {17, "New folder name is identical to the previous one. No action taken."},
    // Saving an address, phone and e-mail lists
    {18, "No folder selected from address tree or list. Please select one."},
    {19, "The phone number you entered is already in the list."},
    {20, "The e-mail you entered is already in the list."},
    {21, "No phone selected from the list. Please select one."},
    {22, "No e-mail selected from the list. Please select one."},
    {23, "The folder already contains address with identical name, street and city name.\\nDo you wish to continue replacing the address with this new one?"},
    {24, "The address was updated successfully."},
    // Folder dialogs: delete and move
    {25, "No folder selected, please select the folder you want to delete."},
    {26, "The selected folder is not empty. If you delete it, all of its contents will be removed as well.\\nDo you really want to delete it?"},
    {27, "You are attempting to delete the root folder. This is not allowed. "},
    {28, "No folder selected, please select the folder you want to move."},
    {29, "No destination folder selected. Please select one."},
    {30, "The folder cannot be moved to itself. Please select another destination folder."},
    {31, "You are not allowed to move the root folder."},
    {32, "You are attempting to move the folder into its parent folder. No action taken."},
    // Deleting an address or a folder
    {33, "If you want to delete an address, you first have to select it in the address list or tree."},
    {34, "Do you really want to delete the selected address?"},
    {35, "Do you really want to delete the selected folder?"},
    // Mass move of addresses
    {36, "No source or destination folder selected. Please select them."},
    {37, "The source folder is identical to the destination folder. No action taken."},
    {38, "No address selected. Please select one."},
    // Address search
    {39, "No address found matching the given criteria."},
    {40, "No address selected from the list. Please select one."},
    {41, "The list of found addresses is empty."},
    // Printer choice and printer device
    {42, "No printer selected. Please select one from the list."},
    {43, "Unable to initialize the printer. Make sure you have a printer installed\\nand select it in the main menu."},
    // Print progress window and print document names
    {44, "Status:"},
    {45, "printout printing in progress"},
    {46, "preparing for printing..."},
    {47, "printing page"},
    // Label dimensions
    {48, "One or more of the label dimensions is not entered. Please fill it out."},
    {49, "One or more of the label dimensions contain an invalid value. Please correct it."},
    {50, "No name selected for the given label dimensions. Please fill it out."},
    {51, "There already exist label dimensions with the same name.\\nPlease enter another one."},
    {52, "No dimensions selected, please select those you want to delete."},
    {53, "No dimensions selected, please select those you want to modify."},
    // Envelope dimensions
    {54, "One or more of the envelope dimensions is not entered. Please fill it out."},
    {55, "One or more of the envelope dimensions contain an invalid value. Please correct it."},
    {56, "No name selected for the given envelope dimensions. Please fill it out."},
    {57, "There already exist envelope dimensions with the same name.\\nPlease enter another one."},
    {58, "No dimensions selected, please select those you want to modify."},
    {59, "No dimensions selected, please select those you want to delete."},
    {60, "Do you really wish to delete the selected envelope dimensions?"},
    // Label dimensions
    {61, "Do you really wish to delete the selected label dimensions?"},
    // Font descriptions and font preview of the style dialogs
    {62, "bold"},
    {63, "italic"},
    {64, "underline"},
    {65, "strikeout"},
    {66, "This is a sample text"},
    // Label styles
    {67, "Margin from the label edge is not entered. Please fill it out."},
    {68, "Margin from the label edge contains an invalid value. Please correct it."},
    {69, "No name selected for the given label style. Please fill it out."},
    {70, "There already exists a label style with the same name.\\nPlease enter another one."},
    {71, "No label style selected, please select the one you want to modify."},
    {72, "No label style selected, please select the one you want to delete."},
    {73, "Do you really wish to delete the selected label style?"},
    // Envelope styles
    {78, "No name selected for the given envelope style. Please fill it out."},
    {79, "There already exists an envelope style with the same name.\\nPlease enter another one."},
    {80, "No envelope style selected, please select the one you want to modify."},
    {81, "No envelope style selected, please select the one you want to delete."},
    {82, "Do you really wish to delete the selected envelope style?"},
    // Printer calibration
    {83, "One or more of the calibration dimensions contains an invalid value. Please correct it."},
    {84, "No envelope or label dimensions selected. Please select them."},
    {85, "There already exists a calibration for the selected label dimensions.\\nDo you want to overwrite it?"},
    {86, "There already exists a calibration for the selected envelope dimensions.\\nDo you want to overwrite it?"},
    {87, "Default calibration values are already entered. Do you want to overwrite them?"},
    {88, "calibration pattern printing in progress"},
    // Label print options
    {89, "No label dimensions selected. Please select them."},
    {90, "No label style selected. Please select one."},
    {91, "Number of copies of the label sheets is not entered or is invalid. Please correct it."},
    // Envelope print options
    {92, "No envelope dimensions selected. Please select them."},
    {93, "No envelope style selected. Please select one."},
    {94, "Number of copies of the envelopes is not entered or is invalid. Please correct it."},
    // Envelope styles
    {95, "Border padding value is not entered correctly. Please correct it."},
    // Printing
    {96, "No calibration was performed for the given paper dimensions and no default calibration exists.\\nYou must first calibrate the printer."},
    {97, "No address selected. Please select the address(es) you want to print\\nor enter it on the Quick printing tab."},
    {98, "label printing in progress "},
    // Printer choice: the "Selected" column
    {99, "Yes"},
    // Choosing addresses to print
    {103, "No address selected. Please select the one you want to remove\\nfrom the list of the addresses to be printed."},
    {104, "No folder selected. Please select one."},
    {105, "Do you really wish to add the addresses in the selected folder including all its subfolders?"},
    {106, "No address selected to be printed. Please select one."},
    // Envelope printing
    {107, "envelope printing in progress"},
    {108, "Logo image computation failed. No logo will be printed. "},
    // Return address
    {109, "Margin not entered or contains an invalid value. Please correct it."},
    // Backup and restore
    {110, "Backup failed. The source file could not be open."},
    {111, "No backup file name entered. Please fill it out."},
    {112, "Unable to write on target medium. Is the disc already full?"},
    {113, "Target device not ready. Unable to proceed exporting. "},
    {114, "Invalid path to the destination file. Please correct it."},
    {115, "Unspecified file error occurred. Export will be terminated."},
    {116, "Backup aborted by user."},
    {118, "Data export successfully completed."},
    {119, "Unable to access backup file. Is it used by another program?"},
    {120, "Backup file not found."},
    {121, "Data import successfully completed."},
    {122, "Data import aborted by user."},
    {123, "Backup file corrupted, unable to proceed importing."},
    {124, "The backup file ready to be imported was created on \\n\\n%s\\n\\n Do you want to proceed?"},
    {125, "Hardware error occurred while reading the database file.\\nInsufficient privileges or corrupted medium?"},
    {126, "Invalid path detected while attempting to read the database file. Import aborted."},
    {127, "Access to the database file was denied. Insufficient privileges?"},
    {128, "Database source file not found. Insufficient privileges or bad file name?"},
    {129, "Unspecified file error occurred while reading the database file.\\nInsufficient privileges or corrupted medium?"},
    {130, "Insufficient space on disc to create a temporary copy of the database. Import aborted. "},
    {131, "Unable to write on disc and create a temporary copy of the database. Import aborted."},
    {132, "Invalid path to the temporary copy of the database detected. Import aborted."},
    {133, "Unable to create a temporary copy of the database. File access denied."},
    {134, "Temporary copy of the database not found. Import aborted."},
    {135, "Unspecified error occurred when creating a temporary copy of the database. Import aborted. "},
    // New label dimensions from a product
    {170, "No label product selected. Please select one."},
    // Document template: window title and document type names, parts separated
    // by backslash-n as line breaks are in every other text
    {277, "Corvelle\\n\\nCorvelle\\n\\n\\nCorvelle.Document\\nCorvelle Document"},
    // Status-bar prompts of the commands
    {32771, "Switch to New address tab"},
    {32778, "Calibrate printer for the selected paper type"},
    {32784, "Deleting an address from the database"},
    {32792, "A bit of relaxation with the Snake game :-)"},
    {32817, "Delete existing calibration"},
    // Address pages: descriptions and tab captions
    {57346, "Viewing address in the database"},
    {57347, "Adding a new address to the database"},
    {57348, "Editing an existing address in the database"},
    {57349, "Entering data for printing without storing in the database"},
    {57350, "View"},
    {57351, "New address"},
    {57352, "Edit address"},
    {57353, "Quick printing"},
    // Moving and copying an address
    {57354, "No address selected in the address tree or list. Please select the address you want to move."},
    {57355, "No folder selected. Please select the destination folder for the address to move to."},
    {57356, "The selected address is already located in the destination folder. No action taken."},
    {57357, "No address selected in the address tree or list. Please select the address you want to copy."},
    {57358, "No folder selected. Please select the destination folder for the address to copy to."},
    {57359, "Destination folder is identical to the target folder. Do you really want to proceed copying?"},
    // Drag and drop in the address tree
    {59394, "Do you really want to copy the folder including all its contents to the selected location?"},
    {59395, "Do you really want to copy the address to the selected location?"},
    {59396, "Do you really want to move the folder to the selected location?"},
    {59397, "Do you really want to move the address to the selected folder?"},
    {59398, "The destination folder already contains folder with identical name.\\nMove or copy cannot be performed."},
    // Snake game
    {59399, "Congratulations, you have beaten the possibilities of the program!\\n\\nScore = %d"},
    // Product name, message box titles, registry company key
    {59400, "Corvelle 1.0 EN"},
    {59401, "Error"},
    {59402, "Warning"},
    {59403, "Information"},
    {59404, "Question"},
    {59405, "Darvenix"},
    // Choosing location
    {59408, "No folder selected. Please select one."},
    // Export to Excel
    {59409, "Enter name of the output file"},
    {59410, "Microsoft Excel 97-2003 (*.xls)|*.xls|Microsoft Excel 2007 (*.xlsx)|*.xlsx|OpenDocument Spreadsheet (*.ods)|*.ods||"},
    {59411, "No name of the output file entered. Please fill it out."},
    {59412, "The file must have XLS extension when exporting to Excel 97-2003."},
    {59413, "The file must have XLSX extension when exporting to Excel 2007."},
    {59414, "XLS file generator initialization failed. The program is probably corrupted or not installed correctly."},
    {59415, "Page 1"},
    {59416, "Error occurred while generating the XLS file. Is the size of exported data\\nwithin the possible extent of output file format?"},
    {59417, "Name"},
    {59418, "Street"},
    {59419, "Town / City"},
    {59420, "ZIP"},
    {59421, "Country"},
    {59422, "Note"},
    {59423, "Phone"},
    {59424, "E-Mail"},
    // Import from Excel: input file dialog title
    {59425, "Enter the name of the input file"},
    // Export to Excel
    {59426, "No folder selected. Please select a folder whose contents you want to export."},
    // Import from Excel
    {59427, "No folder selected. Please select a folder you want to import the data to."},
    {59428, "Initial data row is not present or is invalid. Please correct it."},
    {59429, "Terminal data row is not present or is invalid. Please correct it."},
    {59430, "Initial data row is longer than terminal data row, which is senseless."},
    {59431, "One or more of the mandatory columns is not present. Please add it."},
    {59432, "Some of the items are mapped to the same columns, which is senseless."},
    {59433, "Error while importing Microsoft Excel file. Check the name of the input file and disc space."},
    {59434, "The imported file contains fewer rows than the desired terminal row is.\\nIt will be imported completely."},
    {59435, "The imported file contains insufficient number of columns.\\nPlease check your entry and the input file."},
    {59436, "No name of the input file entered. Please fill it out."},
    {59437, "The database already contains address with the following data:\\nName: %s\\nTown / City: %s\\nZIP: %s\\n\\nDo you still want to add the address to the database?"},
    {59438, "Excel data imported successfully.\\n\\nImported addresses: %d\\nSkipped addresses: %d\\nNumber of errors: %d"},
    {59439, "Spreadsheets (*.xls *.xlsx *.ods)|*.xls;*.xlsx;*.ods|Microsoft Excel 97-2003 (*.xls)|*.xls|Microsoft Excel 2007 (*.xlsx)|*.xlsx|OpenDocument Spreadsheet (*.ods)|*.ods||"},
    {59440, "The imported file is not of a supported format (Microsoft Excel 97-2003 or 2007, OpenDocument Spreadsheet)."},
    {59441, "The imported file contains fewer rows than the desired initial data row is.\\nNo data will be imported."},
    {59442, "The file must have ODS extension when exporting to OpenDocument Spreadsheet."},
    // Backup and restore: file dialog
    {59444, "Enter the name of the backup file"},
    {59445, "Backup files (*.env)|*.env||"},
    // Contacts: vCard and CSV import and export
    {59446, "Contacts imported successfully.\\n\\nImported addresses: %d\\nSkipped addresses: %d\\nNumber of errors: %d\\nShortened notes: %d"},
    {59447, "The file %s cannot be read:\\n%s"},
    {59448, "The file %s contains no vCard (no line BEGIN:VCARD)."},
    {59449, "The file %s contains no records."},
    {59450, "The import was cancelled. Nothing has been added to the database."},
    {59451, "The file %s is too large to be imported (more than %d MB)."},
    {59452, "The file must have the extension VCF or CSV."},
    {59453, "Contacts exported successfully.\\n\\nExported addresses: %d"},
    {59454, "The export was cancelled. No file has been written."},
    {59455, "The file %s cannot be written:\\n%s"},
    {59456, "Enter the name of the contacts file"},
    {59457, "vCard files (*.vcf)|*.vcf|CSV files (*.csv)|*.csv||"},
    {59458, "The file %s is not a text file: it holds control characters or bytes of no character."},
    // First start of an installed program in the user's data folder
    {59470, "A new address book was created in %s."},
};

extern const std::size_t kProgramStringCount = sizeof(kProgramStrings) / sizeof(kProgramStrings[0]);

void CorvelleRegisterStrings()
{
    TVSetStringTable(kProgramStrings, kProgramStringCount);
}
