#pragma once
// The test print on plain paper: the outlines of what a job prints, at the
// positions the job prints them (the size's calibration applied, the job's
// paper and orientation), so the user can hold the sheet against an
// envelope or a label sheet before printing the real thing.
//  - envelope: the envelope's edge, the address area and the return area,
//    each named inside;
//  - label sheet: every label's outline with its number (1 at the top left,
//    row by row), the sheet's margins as the size gives them.
// Lines are 0.25 mm and at least one pixel; texts Arial 8 pt.
#include "calibration.h"
#include "conversions.h"
#include "sizes.h"

class CDatabase;
class PrintDevice;
class QPrinter;
class QWidget;

// The document name of a test print.
QString TestPrintDocumentName();

// Draws the outlines with `units` (which carries the calibration shifts).
void DrawEnvelopeOutlines(PrintDevice &device, const EnvelopeSize &size, const UnitConverter &units);
void DrawLabelOutlines(PrintDevice &device, const LabelSize &size, const UnitConverter &units);

// One page on an opened printer with the progress window over `owner`.
// False when nothing was printed (the start failed or the user cancelled).
bool PrintEnvelopeTest(QPrinter &printer, QWidget *owner, const EnvelopeSize &size, const Calibration &calibration);
bool PrintLabelTest(QPrinter &printer, QWidget *owner, const LabelSize &size, const Calibration &calibration);

// What the print options' "Test print" button does: the size's calibration
// (message 96 without one, as for the job), the current printer opened as
// the job would open it (message 43 when it cannot be), then the page.
bool RunEnvelopeTestPrint(QWidget *owner, CDatabase &db, const EnvelopeSize &size);
bool RunLabelTestPrint(QWidget *owner, CDatabase &db, const LabelSize &size);
