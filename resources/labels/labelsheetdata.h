#pragma once
// The built-in list of label sheets by product (labelsheets.txt, compiled
// into the program): brand, part number, description, paper and the sheet's
// layout in the letters of a label size. Plain data, no database and no
// windows: the database creation tool seeds a new database from it and the
// label catalogue offers it beside the gLabels templates.
#include <QString>
#include <QStringList>
#include <vector>

struct LabelSheetRecord {
    QString brand;
    QString part;
    QString description;
    QString paper; // "A4", "Letter" or "W x H mm" as written
    double paperWidth = 0, paperHeight = 0; // mm, portrait
    double A = 0, B = 0, C = 0, D = 0, E = 0, F = 0;
    int M = 0, N = 0;
    bool seedsNewDatabase = false;

    // "Avery L7160 Address labels 63.5 x 38.1 mm, 21 per sheet", cut to
    // `maxLength` characters.
    QString DisplayName(int maxLength = 64) const;
};

// Paper names the lists use: "A4" 210 x 297, "Letter" 215.9 x 279.4,
// "A5", "A3", "Legal", or "W x H" / "WxH" in mm. False when unknown.
bool LabelPaperSize(const QString &paper, double &width, double &height);

// Parses the text of a list in the format of labelsheets.txt. Lines that do
// not parse are not taken; each gives one message "line N: why" in `errors`.
std::vector<LabelSheetRecord> ParseLabelSheets(const QString &text, QStringList *errors = nullptr);

// The built-in list (parsed once).
const std::vector<LabelSheetRecord> &BuiltInLabelSheets();

// The compiled-in text of labelsheets.txt.
const char *BuiltInLabelSheetText();
