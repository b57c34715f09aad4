#pragma once
// "Import from Excel": the input file with "...", the eight column lists,
// "Data begin on row", "Data end on row" with "Find automatically", the
// folder tree, OK and Cancel.
#include "excelimport.h"

#include <QDialog>
#include <array>
#include <functional>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QProgressBar;
class QPushButton;
class CDatabase;
class ExchangeFolderTree;

class ImportDialog : public QDialog {
public:
    ImportDialog(CDatabase &db, QWidget *parent = nullptr);
    // Fills the tree and expands its top (nothing selected); false after the
    // message when the tree cannot be filled.
    bool Initialize();

    QLineEdit *FileEdit() const { return m_file; }
    QComboBox *ColumnList(int item) const { return m_columns[std::size_t(item)]; }
    QLineEdit *BeginEdit() const { return m_begin; }
    QLineEdit *EndEdit() const { return m_end; }
    QCheckBox *FindAutomatically() const { return m_find; }
    ExchangeFolderTree *Tree() const { return m_tree; }
    QPushButton *OkButton() const { return m_ok; }
    QPushButton *CancelButton() const { return m_cancel; }
    QProgressBar *Progress() const { return m_progress; }
    bool IsRunning() const { return m_running; }
    // Called while an import runs, after pending events were handled (tests).
    std::function<void()> onProgress;
    // The values as the dialog holds them.
    ImportSettings Settings() const;
    const ImportResult &Result() const { return m_result; }
    // The duplicate question (tests may answer it themselves).
    DuplicateAsker ask = AskDuplicateWithQuestion();

private:
    void ok();
    void browse();
    void reject() override;

    CDatabase &m_db;
    QLineEdit *m_file;
    std::array<QComboBox *, IMP_COUNT> m_columns{};
    QLineEdit *m_begin, *m_end;
    QCheckBox *m_find;
    ExchangeFolderTree *m_tree;
    QPushButton *m_browse, *m_ok, *m_cancel;
    QProgressBar *m_progress;
    ImportResult m_result;
    bool m_running = false, m_cancelRequested = false;
};

void RunImportDialog(QWidget *parent);
