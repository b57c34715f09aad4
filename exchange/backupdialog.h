#pragma once
// "Data backup" and "Data recovery from backup": the file field, "Browse…",
// the progress bar with "%d %% done", OK and Cancel. While an operation runs
// OK and "Browse…" are disabled and Cancel (or closing the window) only sets
// the abort flag.
#include "backupfile.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class CDatabase;

class BackupRestoreDialog : public QDialog {
public:
    enum class Mode { Backup, Restore };
    BackupRestoreDialog(Mode mode, CDatabase &db, QWidget *parent = nullptr);

    QLineEdit *FileEdit() const { return m_file; }
    QPushButton *OkButton() const { return m_ok; }
    QPushButton *BrowseButton() const { return m_browse; }
    QPushButton *CancelButton() const { return m_cancel; }
    QProgressBar *Progress() const { return m_progress; }
    QLabel *ProgressText() const { return m_progressText; }
    bool Running() const { return m_running; }
    OperationResult LastResult() const { return m_result; }
    // Called between chunks while an operation runs (tests press Cancel here).
    std::function<void()> onChunk;

    void reject() override;

private:
    void start();
    void browse();
    void setProgress(int percent);

    Mode m_mode;
    CDatabase &m_db;
    QLineEdit *m_file;
    QPushButton *m_browse, *m_ok, *m_cancel;
    QProgressBar *m_progress;
    QLabel *m_progressText;
    bool m_running = false;
    bool m_abort = false;
    OperationResult m_result = OperationResult::Close;
};

class BackupDialog : public BackupRestoreDialog {
public:
    explicit BackupDialog(CDatabase &db, QWidget *parent = nullptr) : BackupRestoreDialog(Mode::Backup, db, parent) {}
};

class RestoreDialog : public BackupRestoreDialog {
public:
    explicit RestoreDialog(CDatabase &db, QWidget *parent = nullptr) : BackupRestoreDialog(Mode::Restore, db, parent) {}
};

// Opens the dialogs modally (the commands Backup and Restore).
void RunBackupDialog(QWidget *parent);
void RunRestoreDialog(QWidget *parent);
