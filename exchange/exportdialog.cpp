#include "exportdialog.h"

#include "appcontext.h"
#include "backupfile.h"
#include "database.h"
#include "dialogutil.h"
#include "foldertree.h"
#include "tvmessage.h"
#include "tvstrings.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
enum {
    MSG_DONE = 118,
    MSG_TITLE = 59409,
    MSG_FILTER = 59410,
    MSG_NO_FILE = 59411,
    MSG_NO_FOLDER = 59426,
};
} // namespace

ExportDialog::ExportDialog(CDatabase &db, QWidget *parent) : QDialog(parent), m_db(db)
{
    setWindowTitle(QStringLiteral("Export to Excel"));
    setObjectName(QStringLiteral("ExportDialog"));
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    m_format = new QComboBox(this);
    m_format->addItem(QStringLiteral("Microsoft Excel 97-2003"));
    m_format->addItem(QStringLiteral("Microsoft Excel 2007"));
    m_format->addItem(QStringLiteral("OpenDocument Spreadsheet"));
    m_format->setCurrentIndex(0);
    form->addRow(QStringLiteral("Export format:"), m_format);
    auto *fileRow = new QHBoxLayout;
    m_file = new QLineEdit(this);
    m_file->setMinimumWidth(360);
    m_browse = new QPushButton(QStringLiteral("..."), this);
    fileRow->addWidget(m_file, 1);
    fileRow->addWidget(m_browse);
    form->addRow(QStringLiteral("File name:"), fileRow);
    layout->addLayout(form);

    auto *group = new QGroupBox(QStringLiteral("Export from folder"), this);
    auto *groupLayout = new QVBoxLayout(group);
    m_tree = new ExchangeFolderTree(group);
    m_tree->setMinimumHeight(220);
    groupLayout->addWidget(m_tree);
    m_subfolders = new QCheckBox(QStringLiteral("Include subfolders"), group);
    m_subfolders->setChecked(true);
    groupLayout->addWidget(m_subfolders);
    layout->addWidget(group, 1);

    auto *buttons = new QDialogButtonBox(this);
    m_ok = buttons->addButton(QDialogButtonBox::Ok);
    QPushButton *cancel = buttons->addButton(QDialogButtonBox::Cancel);
    layout->addWidget(buttons);

    m_file->setText(QDir::toNativeSeparators(DefaultExportPath(SheetFormat::Xls)));
    // Another format brings its default path, whatever was typed.
    connect(m_format, &QComboBox::currentIndexChanged, this,
            [this] { m_file->setText(QDir::toNativeSeparators(DefaultExportPath(format()))); });
    connect(m_browse, &QPushButton::clicked, this, &ExportDialog::browse);
    connect(m_ok, &QPushButton::clicked, this, &ExportDialog::ok);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

SheetFormat ExportDialog::format() const
{
    switch (m_format->currentIndex()) {
    case 1:
        return SheetFormat::Xlsx;
    case 2:
        return SheetFormat::Ods;
    default:
        return SheetFormat::Xls;
    }
}

bool ExportDialog::Initialize()
{
    QDir().mkpath(ExportDirectory());
    if (!m_tree->Load(m_db))
        return false;
    m_tree->SelectTop();
    return true;
}

void ExportDialog::browse()
{
    const int index = int(format());
    const QString suffix = index == 0 ? QStringLiteral("xls") : index == 2 ? QStringLiteral("ods") : QStringLiteral("xlsx");
    const QString chosen = AskSaveFileName(this, TVLoadStringResource(MSG_TITLE), TVLoadStringResource(MSG_FILTER),
                                           suffix, ExportDirectory(), QStringLiteral("export.") + suffix, false, index);
    if (!chosen.isEmpty())
        m_file->setText(chosen);
}

void ExportDialog::ok()
{
    const QString file = m_file->text().trimmed();
    if (file.isEmpty()) {
        CTVError error(MSG_NO_FILE);
        m_file->setFocus();
        return;
    }
    if (const int message = CheckExportExtension(QFileInfo(file).fileName(), format())) {
        CTVError error(message);
        m_file->setFocus();
        return;
    }
    const std::optional<int> folder = m_tree->SelectedFolder();
    if (!folder) {
        CTVError error(MSG_NO_FOLDER);
        m_tree->setFocus();
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool done = ExportAddresses(m_db, *folder, m_subfolders->isChecked(), file, format(), measure);
    QApplication::restoreOverrideCursor();
    if (done) {
        accept();
        CTVInfo info(MSG_DONE);
    } else {
        reject();
    }
}

void RunExportDialog(QWidget *parent)
{
    CDatabase *db = AppContext::Database();
    if (!db || !db->IsOpen())
        return;
    ExportDialog dialog(*db, parent);
    if (!dialog.Initialize())
        return;
    dialog.exec();
}
