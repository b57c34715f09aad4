#pragma once
// "Choosing printer": the system's printers and the built-in "PDF file"
// printer, with the current one marked "Yes" in the column "Selected". OK
// (or a double click) makes the selected printer the current printer.
// Below the list, the paper source of envelope jobs and of label jobs on the
// selected printer, from the trays the queue offers; OK keeps them per
// printer for the jobs of later runs too.
#include "papersource.h"

#include <QDialog>
#include <QHash>
#include <QStringList>
#include <array>

class QComboBox;
class QGroupBox;
class QPushButton;
class QTableWidget;

class PrinterChoiceDialog : public QDialog {
    Q_OBJECT
public:
    // Lists `printers` (by default InstalledPrinterNames()).
    explicit PrinterChoiceDialog(QWidget *parent);
    PrinterChoiceDialog(QWidget *parent, const QStringList &printers);

    QTableWidget *List() const { return m_list; }
    QComboBox *EnvelopeSource() const { return m_sources[0]; }
    QComboBox *LabelSource() const { return m_sources[1]; }
    QPushButton *OkButton() const { return m_ok; }
    // Names in the order shown.
    QStringList Names() const;
    // Sorts as a click on the header of column 0 ("Printer name", by name
    // ignoring case) or 1 ("Selected", the current printer first).
    void SortByColumn(int column);

    void accept() override;

private:
    // The choices of one printer while the dialog is open.
    struct Sources {
        PaperSourceOffer offer;
        std::array<PaperSourceSetting, 2> chosen; // envelopes, labels
    };
    void showSourcesOfSelection();
    void keepShownSources();
    void fillSourceCombo(QComboBox *combo, const Sources &sources, const PaperSourceSetting &chosen);

    QTableWidget *m_list;
    QPushButton *m_ok;
    QGroupBox *m_sourceBox;
    std::array<QComboBox *, 2> m_sources;
    QHash<QString, Sources> m_visited; // printers whose sources were shown
    QString m_shown;                  // the printer the combos show, or empty
};
