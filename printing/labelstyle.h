#pragma once
// Label styles: how an address is set inside one label. The row in memory,
// the defaults of a new style, reading, checking what the style dialog
// holds, saving and deleting. No windows here; the checks and writes show
// their message boxes through the message hook.
#include "fontspec.h"

#include <QString>
#include <array>
#include <cstdint>
#include <vector>

class CDatabase;
class CSetLabstyle;

// The five lines of a label, in the order of their font columns.
enum LabelLine { LABEL_NAME = 0, LABEL_STREET, LABEL_TOWN, LABEL_ZIP, LABEL_COUNTRY };
inline constexpr int kLabelLines = 5;

// One LABSTYLE row. Font heights are in tenths of a point (120 = 12 pt).
struct LabelStyle {
    std::int32_t id = 0;
    QString name;
    double frameOffset = 0; // mm from the label edge to the frame; 0 without a frame
    double addressX = 0;    // mm from the label's left and right edges to the address block
    double addressY = 0;    // mm from the label's top and bottom edges to the address block
    std::uint8_t horizontal = 0; // 0 Left, 1 Center
    std::uint8_t vertical = 0;   // 0 Top, 1 Bottom, 2 Expand, 3 Center
    bool printFrame = false;
    bool joinZip = false;
    std::array<FontSpec, kLabelLines> fonts; // name, street, town, ZIP, country

    static LabelStyle FromRecord(const CSetLabstyle &set);
    void ToRecord(CSetLabstyle &set) const; // all columns but the id

    bool operator==(const LabelStyle &) const = default;
};

// A new style: border 3 mm, address margins 10 mm, frame on, town and ZIP
// on separate lines, left and top alignment; every line Times New Roman
// 12 pt, weight 0, character set 1, black.
LabelStyle DefaultLabelStyle();

// Reads styles with one of the program's SQL texts (for example
// "SELECT * FROM LABSTYLE ORDER BY LABSTYLE_NAME DESC"). Throws DbException.
std::vector<LabelStyle> ReadLabelStyles(CDatabase &db, const QString &sql);

// The fields of the style dialog.
enum class LabelStyleField { None, AddressX, AddressY, Border, Name };

struct LabelStyleCheck {
    int message = 0; // 0: valid
    LabelStyleField field = LabelStyleField::None;
    bool ok() const { return message == 0; }
};

// Checks the texts of the dialog in the order the user meets the messages:
// the texts are trimmed; X, Y and (with the border printed) Border empty:
// message 67; any of them not a number in [0, 100] (a comma is a decimal
// point): 68; empty name: 69. On success `style` gets the margins (and
// frameOffset 0 without a border) and the trimmed name.
LabelStyleCheck CheckLabelStyleFields(QString &addressX, QString &addressY, QString &border, QString &name,
                                      bool printFrame, LabelStyle &style);

// True when a style with this name exists ("SELECT * FROM LABSTYLE WHERE
// LABSTYLE_NAME = '%s'"). A database error shows message 8 (memory: 9)
// and counts as no duplicate.
bool LabelStyleNameExists(CDatabase &db, const QString &name);

// Saves a new style (id from the IDS counter, stored into `style.id`) or
// rewrites an existing one, in one transaction. A database error rolls
// back, shows message 8 and returns false.
bool SaveLabelStyle(CDatabase &db, LabelStyle &style, bool isNew);

// Deletes one style in one transaction; nothing else is deleted (a LABPAIR
// row naming it is ignored when it no longer matches). A database error
// rolls back, shows message 8 and returns false.
bool DeleteLabelStyle(CDatabase &db, std::int32_t id);

// The LABPAIR row: the last label size and style used; -1, -1 when the
// table is empty. Throws DbException.
struct LabelPair {
    std::int32_t size = -1;
    std::int32_t style = -1;
};
LabelPair ReadLabelPair(CDatabase &db);
// Writes the pair in one transaction (adds the row when the table is empty,
// otherwise edits its first row). A database error rolls back, shows
// message 8 (memory: 9) and returns false.
bool WriteLabelPair(CDatabase &db, const LabelPair &pair);
