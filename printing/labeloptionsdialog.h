#pragma once
// "Printing labels": the label dimensions and style to print with (the
// last pair used, from LABPAIR, preselected), the number of copies and
// whether the copies are collated. OK checks in this order: no size
// (message 89), no style (90), copies not a whole number from 1 to 1000
// (91; a job of 0 copies would print nothing, so 0 is refused too); then
// writes the pair to LABPAIR and closes with OK, even when that write
// fails (its message shown).
#include "labelstyle.h"
#include "sizes.h"

#include <QDialog>
#include <vector>

class CDatabase;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

class LabelPrintOptionsDialog : public QDialog {
    Q_OBJECT
public:
    LabelPrintOptionsDialog(QWidget *parent, CDatabase &db);

    // False when a combo could not be filled (message shown): exec() then
    // returns Rejected at once.
    bool IsUsable() const { return m_usable; }
    int exec() override;
    void accept() override;

    // The choice, after OK.
    const LabelSize &Size() const { return m_size; }
    const LabelStyle &Style() const { return m_style; }
    int Copies() const { return m_copies; }
    bool Collate() const { return m_collate; }

    QComboBox *SizeCombo() const { return m_sizeCombo; }
    QComboBox *StyleCombo() const { return m_styleCombo; }
    QLineEdit *CopiesField() const { return m_copiesField; }
    QRadioButton *CollateYes() const { return m_collateYes; }
    QRadioButton *CollateNo() const { return m_collateNo; }
    QPushButton *OkButton() const { return m_ok; }
    QPushButton *TestPrintButton() const { return m_test; }
    // "Test print": the outlines of the chosen sheet's labels, calibrated, on
    // the sheet's paper (message 89 without a size). True when printed.
    bool TestPrint();

private:
    CDatabase &m_db;
    bool m_usable = false;
    std::vector<LabelSize> m_sizes;   // in combo order
    std::vector<LabelStyle> m_styles; // in combo order
    QComboBox *m_sizeCombo = nullptr;
    QComboBox *m_styleCombo = nullptr;
    QLineEdit *m_copiesField = nullptr;
    QRadioButton *m_collateYes = nullptr;
    QRadioButton *m_collateNo = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_test = nullptr;

    LabelSize m_size;
    LabelStyle m_style;
    int m_copies = 1;
    bool m_collate = false;
};
