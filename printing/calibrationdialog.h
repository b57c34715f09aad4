#pragma once
// "Printer calibration": the user prints the calibration pattern, reads the
// pattern's values at the paper's left and top edges, and saves them with
// the orientation for a label size, an envelope size or as the default.
// "Removing printer calibration" removes one calibration.
#include "calibration.h"
#include "sizes.h"

#include <vector>

#include <QDialog>

class CDatabase;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

class CalibrationDialog : public QDialog {
    Q_OBJECT
public:
    CalibrationDialog(QWidget *parent, CDatabase &db);

    // Size lists that could not be read (message shown) close the dialog at
    // once as cancelled.
    int exec() override;
    bool Loaded() const { return m_loaded; }

    QLineEdit *XField() const { return m_x; }
    QLineEdit *YField() const { return m_y; }
    QCheckBox *LandscapeBox() const { return m_landscape; }
    QRadioButton *LabelRadio() const { return m_labelRadio; }
    QRadioButton *EnvelopeRadio() const { return m_envelopeRadio; }
    QRadioButton *DefaultRadio() const { return m_defaultRadio; }
    // Entries carry the size id as item data.
    QComboBox *LabelCombo() const { return m_labelCombo; }
    QComboBox *EnvelopeCombo() const { return m_envelopeCombo; }
    QPushButton *OkButton() const { return m_ok; }
    QPushButton *PrintButton() const { return m_print; }

    void accept() override;
    // The paper the pattern is printed on: that of the chosen envelope or
    // label size, the printer's own paper for the default calibration.
    PaperRequest PatternPaper() const;

private:
    void updateCombos();
    void printPattern();

    CDatabase &m_db;
    bool m_loaded = false;
    QLineEdit *m_x, *m_y;
    QCheckBox *m_landscape;
    QRadioButton *m_labelRadio, *m_envelopeRadio, *m_defaultRadio;
    QComboBox *m_labelCombo, *m_envelopeCombo;
    QPushButton *m_ok, *m_print;
    std::vector<LabelSize> m_labelSizes;       // in the order of m_labelCombo
    std::vector<EnvelopeSize> m_envelopeSizes; // in the order of m_envelopeCombo
};

class RemoveCalibrationDialog : public QDialog {
    Q_OBJECT
public:
    RemoveCalibrationDialog(QWidget *parent, CDatabase &db);

    int exec() override;
    bool Loaded() const { return m_loaded; }

    QRadioButton *LabelRadio() const { return m_labelRadio; }
    QRadioButton *EnvelopeRadio() const { return m_envelopeRadio; }
    QRadioButton *DefaultRadio() const { return m_defaultRadio; }
    // Entries carry the KALIBRACE id as item data.
    QComboBox *LabelCombo() const { return m_labelCombo; }
    QComboBox *EnvelopeCombo() const { return m_envelopeCombo; }
    QPushButton *OkButton() const { return m_ok; }

    void accept() override;

private:
    void updateCombos();

    CDatabase &m_db;
    bool m_loaded = false;
    QRadioButton *m_labelRadio, *m_envelopeRadio, *m_defaultRadio;
    QComboBox *m_labelCombo, *m_envelopeCombo;
    QPushButton *m_ok;
};
