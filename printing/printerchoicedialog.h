#pragma once
// "Choosing printer": the system's printers and the built-in "PDF file"
// printer, with the current one marked "Yes" in the column "Selected". OK
// (or a double click) makes the selected printer the current printer.
#include <QDialog>
#include <QStringList>

class QPushButton;
class QTableWidget;

class PrinterChoiceDialog : public QDialog {
    Q_OBJECT
public:
    // Lists `printers` (by default InstalledPrinterNames()).
    explicit PrinterChoiceDialog(QWidget *parent);
    PrinterChoiceDialog(QWidget *parent, const QStringList &printers);

    QTableWidget *List() const { return m_list; }
    QPushButton *OkButton() const { return m_ok; }
    // Names in the order shown.
    QStringList Names() const;
    // Sorts as a click on the header of column 0 ("Printer name", by name
    // ignoring case) or 1 ("Selected", the current printer first).
    void SortByColumn(int column);

    void accept() override;

private:
    QTableWidget *m_list;
    QPushButton *m_ok;
};
