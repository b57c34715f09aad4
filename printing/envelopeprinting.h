#pragma once
// Envelope printing as the program offers it:
//   32794 Print one address > Envelope (Ctrl+O), 32796 Preview one address >
//   Envelope: the address from AddressToPrint();
//   32808, 32809, 32810 Settings > Envelope styles: New, Edit, Delete;
//   the print-list runner "envelopes" (mass print and preview, the report);
//   the command-line kind "envelopes".
// RegisterEnvelopePrinting registers all of them; the main window calls it
// once (its toolbar twins run the same handlers).
#include "addressentry.h"

#include <vector>

class QWidget;

enum EnvelopeCommand {
    ID_PRINT_ENVELOPE = 32794,
    ID_PREVIEW_ENVELOPE = 32796,
    ID_ENVSTYLE_NEW = 32808,
    ID_ENVSTYLE_EDIT = 32809,
    ID_ENVSTYLE_DELETE = 32810,
};

void RegisterEnvelopePrinting();

// Prints (or previews first) a list of addresses: the options dialog, the
// calibration of the chosen size (message 96 without one), the printer
// (message 43 when it cannot be opened), then the job. False when nothing
// was printed.
bool PrintEnvelopeList(QWidget *parent, const std::vector<AddressEntry> &list, bool preview);
