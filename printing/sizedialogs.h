#pragma once
// The dialogs that create and change one envelope size ("Setting envelope
// dimensions") or one label size ("Setting label dimensions"). OK checks the
// fields in the designed order (the first failure shows its message, puts
// the focus into its field and keeps the dialog open), checks that the name
// is unique, saves in one transaction and closes; a failed save closes the
// dialog as cancelled.
#include "sizes.h"

#include <QDialog>
#include <array>

class CDatabase;
class QComboBox;
class QLineEdit;
class QPushButton;

class EnvelopeSizeDialog : public QDialog {
    Q_OBJECT
public:
    // New size when `existing` is null, otherwise edits it.
    EnvelopeSizeDialog(QWidget *parent, CDatabase &db, const EnvelopeSize *existing = nullptr);

    // Fields A, B, C, D, E, F, G, H, K, L (index 0–9).
    QLineEdit *Field(int index) const { return m_fields[std::size_t(index)]; }
    QLineEdit *NameField() const { return m_name; }
    QPushButton *OkButton() const { return m_ok; }
    // The size as saved (valid after the dialog was accepted).
    const EnvelopeSize &Size() const { return m_size; }

    void accept() override;

private:
    CDatabase &m_db;
    bool m_isNew;
    QString m_originalName;
    EnvelopeSize m_size;
    std::array<QLineEdit *, 10> m_fields{};
    QLineEdit *m_name = nullptr;
    QPushButton *m_ok = nullptr;
};

class LabelSizeDialog : public QDialog {
    Q_OBJECT
public:
    LabelSizeDialog(QWidget *parent, CDatabase &db, const LabelSize *existing = nullptr);

    // Fields A, B, C, D, E, F, M, N (index 0–7).
    QLineEdit *Field(int index) const { return m_fields[std::size_t(index)]; }
    QLineEdit *NameField() const { return m_name; }
    // The paper: A4, Letter (kLabelPapers) or the last entry, a custom size
    // given in the width and height fields (enabled only for it).
    QComboBox *PaperCombo() const { return m_paper; }
    QLineEdit *PaperWidthField() const { return m_paperWidth; }
    QLineEdit *PaperHeightField() const { return m_paperHeight; }
    QPushButton *OkButton() const { return m_ok; }
    const LabelSize &Size() const { return m_size; }

    void accept() override;

private:
    void paperChosen(int index);

    CDatabase &m_db;
    bool m_isNew;
    QString m_originalName;
    LabelSize m_size;
    std::array<QLineEdit *, 8> m_fields{};
    QComboBox *m_paper = nullptr;
    QLineEdit *m_paperWidth = nullptr;
    QLineEdit *m_paperHeight = nullptr;
    QLineEdit *m_name = nullptr;
    QPushButton *m_ok = nullptr;
};
