#pragma once
// "Printout": the addresses that match the report's criteria, in a table
// that fills the resizable window (14 pixels from the left and right edges,
// 52 from the top, 50 from the bottom; at least 630 × 300), with the buttons
// "Print…", "Preview", "Printout", "Back", "Next" and "Cancel".
//
// Table mode: the result table; a click on a column header sorts the rows
// ascending by that column. Resizing the window rescales the six columns in
// proportion. Preview mode: the table's place shows one page of the
// printout, fitted and centred, turned with "Back" and "Next"; "Printout"
// returns to the table.
//
// Enabling: "Preview" when not previewing and the table has rows; "Back"
// and "Next" while previewing and a previous or next page exists;
// "Printout" while previewing; "Print…" when the table has rows.
#include "printformdialog.h"
#include "reportprinter.h"
#include "reportquery.h"

#include <QDialog>
#include <QImage>
#include <array>

class CDatabase;
class QLabel;
class QPushButton;
class QTableView;
class ReportPreviewWidget;
class ReportTableModel;

class ReportDialog : public QDialog {
public:
    // Runs the criteria's statement and fills the table. When that fails
    // (message 8 or 9, or 7 when the rows cannot be held) IsFilled is false
    // and the window is not to be shown.
    ReportDialog(CDatabase &db, const ReportCriteria &criteria, QWidget *parent = nullptr);
    ~ReportDialog() override;

    bool IsFilled() const { return m_filled; }
    int exec() override;

    ReportTableModel *model() const { return m_model; }
    QTableView *table() const { return m_table; }
    // The rows in the table's current order.
    const std::vector<AddressEntry> &Rows() const;
    // The current widths of the six columns.
    ReportColumnWidths ColumnWidths() const;
    // The rectangle the table (or the preview) takes in the window.
    QRect TableArea() const;

    bool IsPreviewing() const { return m_previewing; }
    int PreviewPage() const { return m_page; }
    int PreviewPageCount() const { return m_pages; }
    const QImage &PreviewPicture() const { return m_picture; }
    // Where the preview picture stands in the window.
    QRect PreviewPictureRect() const;

    // "Preview": opens the current printer in portrait (message 43 when it
    // cannot be opened: the window stays in table mode) and shows page 1.
    void StartPreview();
    void NextPage();
    void PreviousPage();
    // "Printout": back to the table.
    void EndPreview();
    // "Print…": the print-form choice, then RunPrintForm with the choice.
    void ChoosePrintForm();
    // Prints every row of the table, in its current order, in the form.
    void RunPrintForm(ReportPrintForm form);
    // The result of the last printout (form Printout).
    const ReportPrintResult &LastPrint() const { return m_lastPrint; }

    QPushButton *printButton() const { return m_print; }
    QPushButton *previewButton() const { return m_preview; }
    QPushButton *printoutButton() const { return m_printout; }
    QPushButton *backButton() const { return m_back; }
    QPushButton *nextButton() const { return m_next; }
    QPushButton *cancelButton() const { return m_cancel; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void fill(CDatabase &db, const ReportCriteria &criteria);
    void placeChildren();
    void renderPreview();
    void releasePreview();
    void updateButtons();
    void applyColumnWidths();

    ReportTableModel *m_model;
    QTableView *m_table;
    ReportPreviewWidget *m_previewWidget;
    QLabel *m_heading;
    QPushButton *m_print, *m_preview, *m_printout, *m_back, *m_next, *m_cancel;
    bool m_filled = false;

    // Column widths as fractions, rescaled with the table's width.
    std::array<double, 6> m_widths{};
    int m_tableWidth = 0;
    bool m_settingWidths = false;

    // Preview mode only.
    bool m_previewing = false;
    DeviceMetrics m_printerMetrics;
    int m_page = 0;
    int m_pages = 0;
    QImage m_picture;

    ReportPrintResult m_lastPrint;
};
