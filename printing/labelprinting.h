#pragma once
// Label printing as the commands reach it, and the print-list commands.
//
// A label print or preview of a list goes: LabelPrintOptionsDialog (Cancel
// ends it), the calibration of the chosen size or the default one (none:
// information 96), FirstLabelDialog (Cancel ends it), the current printer
// in the calibration's orientation (none: message 43), for a preview
// LabelPreviewDialog (only its Print goes on), then the job.
//
// RegisterLabelPrinting registers with the command registry:
//   32811, 32812, 32813  Settings › Label styles › New, Edit, Delete
//   32795, 32797         print / preview one address on labels (AddressToPrint)
//   32798, 32799         mass print envelopes / labels    (PrintListDialog, then
//   32800, 32801         mass preview envelopes / labels   RunPrintList)
// the print-list runner "labels", and the command-line kind "labels".
#include "addressentry.h"

#include <QString>
#include <vector>

class QWidget;
struct PrintCommandLine;

enum LabelCommandId {
    LABCMD_PRINT_ONE_LABEL = 32795,
    LABCMD_PREVIEW_ONE_LABEL = 32797,
    LABCMD_MASS_PRINT_ENVELOPE = 32798,
    LABCMD_MASS_PRINT_LABEL = 32799,
    LABCMD_MASS_PREVIEW_ENVELOPE = 32800,
    LABCMD_MASS_PREVIEW_LABEL = 32801,
    LABCMD_STYLE_NEW = 32811,
    LABCMD_STYLE_EDIT = 32812,
    LABCMD_STYLE_DELETE = 32813,
};

// Prints (or previews, then prints) a list of addresses on label sheets,
// on the program's database. False when nothing was printed.
bool PrintLabelList(QWidget *parent, const std::vector<AddressEntry> &list, bool preview);

// A mass command: "Choosing addresses to print", then the list printed by
// the runner of `kind` ("envelopes" or "labels").
void RunMassPrint(QWidget *parent, const QString &kind, bool preview);

// The command-line kind "labels": size and style by name, --first-label K
// counted from 1 (top left) up to M × N, copies and collation, the current
// printer or the PDF file. Returns the exit code.
int RunLabelsCommandLine(const PrintCommandLine &options, const std::vector<AddressEntry> &addresses);

void RegisterLabelPrinting();
