#pragma once
// "Printing envelopes": the envelope size, the style, the number of copies
// and the collation of one job. The sizes and styles are listed in ascending
// name order; the pair last used (ENVPAIR) is preselected. OK checks the
// choices (messages 92, 93, 94; zero copies are refused), writes the pair to
// ENVPAIR, loads the style's logo when it has one (messages 7, 8, 9 close the
// dialog as cancelled) and closes.
#include "envelopestyle.h"
#include "sizes.h"

#include <QDialog>
#include <vector>

class CDatabase;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

class EnvelopePrintOptionsDialog : public QDialog {
    Q_OBJECT
public:
    EnvelopePrintOptionsDialog(QWidget *parent, CDatabase &db);

    // A list that could not be read (message shown) closes at once as cancelled.
    int exec() override;
    bool Loaded() const { return m_loaded; }

    QComboBox *SizeCombo() const { return m_sizes; }
    QComboBox *StyleCombo() const { return m_styles; }
    QLineEdit *CopiesField() const { return m_copies; }
    QRadioButton *CollateYes() const { return m_collateYes; }
    QRadioButton *CollateNo() const { return m_collateNo; }
    QPushButton *OkButton() const { return m_ok; }
    QPushButton *TestPrintButton() const { return m_test; }
    // "Test print": the outlines of the chosen envelope, calibrated, on the
    // envelope's paper (message 92 without a size). True when printed.
    bool TestPrint();

    // Valid after OK.
    const EnvelopeSize &Size() const { return m_size; }
    const EnvelopeStyle &Style() const { return m_style; }
    int Copies() const { return m_copyCount; }
    bool Collate() const { return m_collate; }

    void accept() override;

private:
    CDatabase &m_db;
    bool m_loaded = false;
    std::vector<EnvelopeSize> m_sizeRows;   // in combo order
    std::vector<EnvelopeStyle> m_styleRows; // in combo order
    QComboBox *m_sizes = nullptr;
    QComboBox *m_styles = nullptr;
    QLineEdit *m_copies = nullptr;
    QRadioButton *m_collateYes = nullptr;
    QRadioButton *m_collateNo = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_test = nullptr;
    EnvelopeSize m_size;
    EnvelopeStyle m_style;
    int m_copyCount = 1;
    bool m_collate = false;
};
