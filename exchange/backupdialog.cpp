#include "backupdialog.h"

#include "appcontext.h"
#include "database.h"
#include "dialogutil.h"
#include "exchangehooks.h"
#include "tvmessage.h"
#include "tvstrings.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
enum {
    MSG_NO_FILE = 111,
    MSG_BACKUP_DONE = 118,
    MSG_RESTORE_DONE = 121,
    MSG_BROWSE_TITLE = 59444,
    MSG_BROWSE_FILTER = 59445,
};
} // namespace

BackupRestoreDialog::BackupRestoreDialog(Mode mode, CDatabase &db, QWidget *parent)
    : QDialog(parent), m_mode(mode), m_db(db)
{
    QDir().mkpath(ExportDirectory());
    const bool backup = mode == Mode::Backup;
    setWindowTitle(backup ? QStringLiteral("Data backup") : QStringLiteral("Data recovery from backup"));
    setObjectName(backup ? QStringLiteral("BackupDialog") : QStringLiteral("RestoreDialog"));

    auto *layout = new QVBoxLayout(this);
    auto *heading = new QLabel(backup ? QStringLiteral("Choose a backup file and start the backup process.")
                                      : QStringLiteral("Choose the backup file and start the data import"),
                               this);
    heading->setWordWrap(true);
    layout->addWidget(heading);

    auto *fileRow = new QHBoxLayout;
    m_file = new QLineEdit(DefaultBackupFile(), this);
    m_file->setMaxLength(255);
    m_file->setMinimumWidth(360);
    m_browse = new QPushButton(QStringLiteral("Browse…"), this);
    fileRow->addWidget(m_file, 1);
    fileRow->addWidget(m_browse);
    layout->addLayout(fileRow);

    m_progress = new QProgressBar(this);
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);
    layout->addWidget(m_progress);
    m_progressText = new QLabel(this);
    m_progressText->setAlignment(Qt::AlignCenter);
    layout->addWidget(m_progressText);
    setProgress(0);

    auto *buttons = new QDialogButtonBox(this);
    m_ok = buttons->addButton(QDialogButtonBox::Ok);
    m_cancel = buttons->addButton(QDialogButtonBox::Cancel);
    layout->addWidget(buttons);

    connect(m_browse, &QPushButton::clicked, this, &BackupRestoreDialog::browse);
    connect(m_ok, &QPushButton::clicked, this, &BackupRestoreDialog::start);
    connect(m_cancel, &QPushButton::clicked, this, &BackupRestoreDialog::reject);
}

void BackupRestoreDialog::setProgress(int percent)
{
    m_progress->setValue(percent);
    m_progressText->setText(QString::asprintf("%d %% done", percent));
}

void BackupRestoreDialog::browse()
{
    const QString chosen = AskSaveFileName(this, TVLoadStringResource(MSG_BROWSE_TITLE),
                                           TVLoadStringResource(MSG_BROWSE_FILTER), QStringLiteral("env"),
                                           ExportDirectory(), QStringLiteral("envdata.env"),
                                           m_mode == Mode::Backup);
    if (!chosen.isEmpty())
        m_file->setText(chosen);
}

void BackupRestoreDialog::reject()
{
    if (m_running) {
        m_abort = true;
        return;
    }
    QDialog::reject();
}

void BackupRestoreDialog::start()
{
    if (m_running)
        return;
    const QString file = m_file->text().trimmed();
    if (file.isEmpty()) {
        CTVError error(MSG_NO_FILE);
        m_file->setFocus();
        return;
    }
    m_ok->setEnabled(false);
    m_browse->setEnabled(false);
    m_abort = false;
    m_running = true;

    OperationObserver observer;
    observer.progress = [this](int p) { setProgress(p); };
    observer.pump = [this] {
        QCoreApplication::processEvents();
        if (onChunk)
            onChunk();
    };
    observer.aborted = [this] { return m_abort; };
    observer.clearAbort = [this] { m_abort = false; };

    m_result = m_mode == Mode::Backup ? RunBackup(m_db, file, observer) : RunRestore(m_db, file, observer);
    m_running = false;
    m_ok->setEnabled(true);
    m_browse->setEnabled(true);

    switch (m_result) {
    case OperationResult::Completed:
        accept();
        if (m_mode == Mode::Backup)
            CTVInfo info(MSG_BACKUP_DONE);
        else
            CTVInfo info(MSG_RESTORE_DONE);
        break;
    case OperationResult::CompletedDatabaseInUse: {
        accept();
        CTVInfo info(MSG_BACKUP_DONE);
        EndAfterFailedReopen(ReopenOutcome::InUse);
        break;
    }
    case OperationResult::StayOpen:
        break;
    case OperationResult::Close:
    case OperationResult::Fatal:
        QDialog::reject();
        break;
    }
}

void RunBackupDialog(QWidget *parent)
{
    CDatabase *db = AppContext::Database();
    if (!db || !db->IsOpen())
        return;
    BackupDialog dialog(*db, parent);
    dialog.exec();
}

void RunRestoreDialog(QWidget *parent)
{
    CDatabase *db = AppContext::Database();
    if (!db || !db->IsOpen())
        return;
    RestoreDialog dialog(*db, parent);
    dialog.exec();
}
