#pragma once
// "Import contacts" and "Export contacts": a vCard or CSV file, the folder
// chosen with the folder picker ("Choosing location"), for CSV files the
// recognised layout or the column mapping of the spreadsheet import, and a
// progress bar whose Cancel stops the work (the import then leaves the
// database as it was, the export leaves no file).
#include "contactimport.h"

#include <QDialog>
#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class CDatabase;

// The folder field of both dialogs: the path text and "Choose...".
class ContactFolderField;

class ContactImportDialog : public QDialog {
public:
    ContactImportDialog(CDatabase &db, QWidget *parent = nullptr);

    QLineEdit *FileEdit() const { return m_file; }
    QPushButton *ChooseButton() const;
    QLineEdit *FolderEdit() const;
    QLabel *LayoutLabel() const { return m_layout; }
    QCheckBox *OwnMapping() const { return m_own; }
    QCheckBox *HeaderRow() const { return m_header; }
    QComboBox *ColumnList(int item) const { return m_columns[std::size_t(item)]; }
    QPushButton *OkButton() const { return m_ok; }
    QPushButton *CancelButton() const { return m_cancel; }
    QProgressBar *Progress() const { return m_progress; }
    // The folder the addresses go to; -1 when none is chosen.
    int Folder() const;
    void SetFolder(int folder);
    const ContactImportResult &Result() const { return m_result; }
    bool Running() const { return m_running; }
    // Reads the head of the file for the CSV part of the dialog.
    void InspectFile();
    // The duplicate question (tests may answer it themselves).
    DuplicateAsker ask = AskDuplicateWithQuestion();
    // Called whenever progress is shown (tests press Cancel here).
    std::function<void()> onProgress;

    void reject() override;

private:
    void ok();
    void browse();
    void updateMapping();
    std::optional<CsvMapping> chosenMapping() const;

    CDatabase &m_db;
    QLineEdit *m_file;
    QPushButton *m_browse;
    ContactFolderField *m_folder;
    QGroupBox *m_csv;
    QLabel *m_layout;
    QCheckBox *m_own, *m_header;
    std::array<QComboBox *, IMP_COUNT> m_columns{};
    QProgressBar *m_progress;
    QPushButton *m_ok, *m_cancel;
    bool m_running = false, m_abort = false;
    CsvLayout m_recognised = CsvLayout::None;
    QString m_inspected; // the file name the CSV box was filled from
    ContactImportResult m_result;
};

class ContactExportDialog : public QDialog {
public:
    ContactExportDialog(CDatabase &db, QWidget *parent = nullptr);

    QComboBox *FormatList() const { return m_format; }
    QLineEdit *FileEdit() const { return m_file; }
    QPushButton *ChooseButton() const;
    QLineEdit *FolderEdit() const;
    QCheckBox *Subfolders() const { return m_subfolders; }
    QPushButton *OkButton() const { return m_ok; }
    QPushButton *CancelButton() const { return m_cancel; }
    QProgressBar *Progress() const { return m_progress; }
    int Folder() const;
    void SetFolder(int folder);
    ContactExportOutcome Outcome() const { return m_outcome; }
    bool Running() const { return m_running; }
    std::function<void()> onProgress;

    void reject() override;

private:
    void ok();
    void browse();
    void formatChanged();

    CDatabase &m_db;
    QComboBox *m_format;
    QLineEdit *m_file;
    QPushButton *m_browse;
    ContactFolderField *m_folder;
    QCheckBox *m_subfolders;
    QProgressBar *m_progress;
    QPushButton *m_ok, *m_cancel;
    bool m_running = false, m_abort = false;
    ContactExportOutcome m_outcome = ContactExportOutcome::Failed;
};

// The commands "Import contacts" and "Export contacts".
void RunContactImportDialog(QWidget *parent);
void RunContactExportDialog(QWidget *parent);
