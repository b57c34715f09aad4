#pragma once
// Envelope and label sizes: the rows in memory, reading them, checking what
// the size dialogs hold, and saving and deleting them. No windows here; the
// checks and writes show their message boxes through the message hook.
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

class CDatabase;
class CSetEnvsize;
class CSetLabsize;

// One ENVSIZE row. The envelope as it lies when printed: x to the right,
// y downwards, origin at its top-left corner, millimetres.
struct EnvelopeSize {
    std::int32_t id = 0;
    QString name;
    double A = 0; // envelope width
    double B = 0; // envelope height
    double C = 0; // width of the address area
    double D = 0; // right edge to the address area's right side
    double E = 0; // bottom edge to the address area's bottom side
    double F = 0; // height of the address area
    double G = 0; // width of the return area
    double H = 0; // left edge to the return area's left side
    double K = 0; // top edge to the return area's top side
    double L = 0; // height of the return area

    // left = A − D − C, top = B − E − F, right = A − D, bottom = B − E
    QRectF AddressArea() const;
    // left = H, top = K, right = H + G, bottom = K + L
    QRectF ReturnArea() const;
    std::array<double, 10> Values() const { return {A, B, C, D, E, F, G, H, K, L}; }
    void SetValues(const std::array<double, 10> &v);

    static EnvelopeSize FromRecord(const CSetEnvsize &set);
    void ToRecord(CSetEnvsize &set) const; // all columns but the id
};

// One LABSIZE row: a sheet of M rows by N columns of labels.
struct LabelSize {
    std::int32_t id = 0;
    QString name;
    double A = 0; // left margin
    double B = 0; // label width
    double C = 0; // horizontal gap
    double D = 0; // top margin
    double E = 0; // label height
    double F = 0; // vertical gap
    std::int32_t M = 0; // rows
    std::int32_t N = 0; // columns
    // The sheet's paper, mm, as a person holds it upright (narrower side
    // across for the usual sheets). A label job's page is this paper in the
    // calibration's orientation: turned when the calibration says landscape.
    double paperWidth = 210;
    double paperHeight = 297;

    // Label `index` (row × N + column) in mm from the sheet's corner.
    QRectF LabelRect(int index) const;
    // (N − 1) × C + N × B + 2 × A by (M − 1) × F + M × E + 2 × D: the sheet
    // with right and bottom margins equal to A and D.
    QSizeF SheetSize() const;
    // The page of a label job: the paper, turned (width and height swapped)
    // when printed in landscape orientation.
    QSizeF PageSize(bool landscape) const;

    static LabelSize FromRecord(const CSetLabsize &set);
    void ToRecord(CSetLabsize &set) const; // all columns but the id
};

// Reads sizes with one of the program's SQL texts (for example
// "SELECT * FROM ENVSIZE ORDER BY NAME"). Throws DbException.
std::vector<EnvelopeSize> ReadEnvelopeSizes(CDatabase &db, const QString &sql);
std::vector<LabelSize> ReadLabelSizes(CDatabase &db, const QString &sql);

// The outcome of checking a size dialog: the first failure's message and
// field, or message 0 and the parsed values.
struct SizeCheck {
    int message = 0; // 0: all values valid
    int field = -1;  // index of the failing field; kNameField for the name
    bool ok() const { return message == 0; }
};
inline constexpr int kNameField = 100;

// Envelope fields in the order A, B, C, D, E, F, G, H, K, L. Trims the
// texts, then: an empty field gives message 54, an invalid one 55 (ranges
// [1, 500] for A, B, C, E, G, L and [0, 500] for D, F, H, K; a comma is a
// decimal point), an empty name 56. `values` gets the parsed lengths.
SizeCheck CheckEnvelopeFields(std::array<QString, 10> &texts, QString &name, std::array<double, 10> &values);
inline constexpr std::array<const char *, 10> kEnvelopeLetters = {"A", "B", "C", "D", "E", "F", "G", "H", "K", "L"};

// Label fields in the order A, B, C, D, E, F, M, N: empty gives message 48,
// invalid 49 (A, C, D, F in [0, 500]; B, E in [1, 500]; M whole in [1, 15];
// N whole in [1, 20]), an empty name 50.
struct LabelValues {
    double A = 0, B = 0, C = 0, D = 0, E = 0, F = 0;
    std::int32_t M = 0, N = 0;
};
SizeCheck CheckLabelFields(std::array<QString, 8> &texts, QString &name, LabelValues &values);

// The paper of a label sheet offered by the size dialog.
struct LabelPaper {
    const char *name; // as shown: "A4 (210 x 297 mm)"
    double width, height;
};
inline constexpr LabelPaper kLabelPapers[] = {
    {"A4 (210 x 297 mm)", 210, 297},
    {"Letter (8.5 x 11 in)", 215.9, 279.4},
};
// The index into kLabelPapers of the paper of this width and height (within
// 0.05 mm), or −1 for a custom paper.
int LabelPaperIndex(double width, double height);
// Custom paper width and height texts (fields kPaperWidthField and
// kPaperHeightField): trimmed; empty gives message 48, a value outside
// [1, 1000] mm (comma or point) message 49.
inline constexpr int kPaperWidthField = 8, kPaperHeightField = 9;
SizeCheck CheckLabelPaperFields(QString &width, QString &height, double &widthMm, double &heightMm);
inline constexpr std::array<const char *, 8> kLabelLetters = {"A", "B", "C", "D", "E", "F", "M", "N"};

// True when another size already has this name (exact query on NAME). A
// database error shows message 8 (memory: 9) and counts as no duplicate.
bool EnvelopeSizeNameExists(CDatabase &db, const QString &name);
bool LabelSizeNameExists(CDatabase &db, const QString &name);

// Saves a new size (id from the IDS counter, stored into `size.id`) or
// changes an existing one, in one transaction. On a database error the
// transaction is rolled back, message 8 is shown and false returned.
bool SaveEnvelopeSize(CDatabase &db, EnvelopeSize &size, bool isNew);
bool SaveLabelSize(CDatabase &db, LabelSize &size, bool isNew);

// Deletes a size and every calibration made for it, in one transaction.
// On a database error rolls back, shows message 8 and returns false.
bool DeleteEnvelopeSize(CDatabase &db, std::int32_t id);
bool DeleteLabelSize(CDatabase &db, std::int32_t id);
