#pragma once
// Printer calibration: where the paper's left and top edges lie in the
// printer's own coordinates, and whether the paper is printed in landscape
// orientation, for one envelope size, one label size, or by default for all
// other paper. Print jobs add X and Y to every position (UnitConverter).
#include "printers.h"
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

class CDatabase;
class CSetKalibrace;
class PrintDevice;
class QWidget;

// One KALIBRACE row.
struct Calibration {
    std::int32_t id = 0;
    std::int32_t envelopeSize = -1; // ENVSIZE id or −1
    std::int32_t labelSize = -1;    // LABSIZE id or −1
    double X = 0;                   // pattern value at the paper's left edge, mm
    double Y = 0;                   // pattern value at the paper's top edge, mm
    bool isDefault = false;
    bool landscape = false;

    static Calibration FromRecord(const CSetKalibrace &set);
};

// The calibration of an envelope (label) size, or else the default one;
// none when neither exists. A database error shows message 8 (memory: 9)
// and gives none. Callers show message 96 (information) on none.
std::optional<Calibration> FindEnvelopeCalibration(CDatabase &db, std::int32_t envelopeSizeId);
std::optional<Calibration> FindLabelCalibration(CDatabase &db, std::int32_t labelSizeId);
// The same on the program's database (AppContext).
std::optional<Calibration> FindEnvelopeCalibration(std::int32_t envelopeSizeId);
std::optional<Calibration> FindLabelCalibration(std::int32_t labelSizeId);

enum class CalibrationKind { Label, Envelope, Default };

enum class CalibrationSave { Saved, Declined, Failed };

// Saves a calibration of one kind (sizeId is the ENVSIZE or LABSIZE id; not
// used for the default). An existing row of the kind is overwritten only
// after the question 85 (label), 86 (envelope) or 87 (default) is answered
// Yes; only its X, Y and LANDSCAPE change. A new row takes its id from the
// IDS counter. Every write is one transaction; a database error rolls back
// and shows message 8 (memory: 9).
CalibrationSave SaveCalibration(CDatabase &db, CalibrationKind kind, std::int32_t sizeId, double x, double y,
                                bool landscape);

// What the removal dialog offers: the label and envelope sizes that have a
// calibration (each with the KALIBRACE id and the size's name, in table
// order) and whether a default calibration exists.
struct CalibrationEntry {
    std::int32_t calibrationId = 0;
    QString sizeName;
};
struct CalibrationInventory {
    std::vector<CalibrationEntry> labels;
    std::vector<CalibrationEntry> envelopes;
    bool hasDefault = false;
};
// Throws DbException. Rows whose size no longer exists are left out.
CalibrationInventory ReadCalibrationInventory(CDatabase &db);

// Removes the calibration `calibrationId` (label or envelope kind) or the
// default calibration, in one transaction. A database error rolls back,
// shows message 8 (memory: 9) and returns false.
bool RemoveCalibration(CDatabase &db, CalibrationKind kind, std::int32_t calibrationId);

// Draws the calibration pattern from the device origin over the printable
// area (HORZRES × VERTRES): a grid of lines every 20 mm and, every 40 mm,
// a circle of radius tmAveCharWidth of Arial 8 pt labelled "X=%d, Y=%d".
void DrawCalibrationPattern(PrintDevice &device);

// Prints the pattern on the current printer with the progress window over
// `owner`, on the paper and in the orientation the jobs being calibrated
// use: `paper` is the envelope's or the label sheet's request (Standard for
// the default calibration: the printer's own paper, A4 on the PDF printer),
// `landscape` the orientation to be saved. Message 43 when the printer
// cannot be opened. False when nothing was printed.
bool PrintCalibrationPattern(QWidget *owner, bool landscape, const PaperRequest &paper = {});
