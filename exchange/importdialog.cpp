#include "importdialog.h"

#include "appcontext.h"
#include "database.h"
#include "dialogutil.h"
#include "foldertree.h"
#include "tvmessage.h"
#include "tvstrings.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QProgressBar>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
enum { MSG_TITLE = 59425, MSG_FILTER = 59439 };

const char *const kItemLabels[IMP_COUNT] = {"Name:", "Street: *", "Town/City:", "ZIP:",
                                            "Country: *", "Note: *", "Phone: *", "E-mail: *"};
} // namespace

ImportDialog::ImportDialog(CDatabase &db, QWidget *parent) : QDialog(parent), m_db(db)
{
    setWindowTitle(QStringLiteral("Import from Excel"));
    setObjectName(QStringLiteral("ImportDialog"));
    auto *layout = new QVBoxLayout(this);

    auto *fileRow = new QHBoxLayout;
    fileRow->addWidget(new QLabel(QStringLiteral("Input file:"), this));
    m_file = new QLineEdit(this);
    m_file->setMaxLength(512);
    m_file->setMinimumWidth(360);
    m_browse = new QPushButton(QStringLiteral("..."), this);
    fileRow->addWidget(m_file, 1);
    fileRow->addWidget(m_browse);
    layout->addLayout(fileRow);

    auto *middle = new QHBoxLayout;
    auto *mapping = new QGroupBox(QStringLiteral("Columns (* optional)"), this);
    auto *grid = new QGridLayout(mapping);
    const ImportSettings defaults;
    for (int item = 0; item < IMP_COUNT; ++item) {
        auto *list = new QComboBox(mapping);
        const bool optional = !ImportSettings::IsMandatory(item);
        if (optional)
            list->addItem(QString(), 0);
        for (int c = 1; c <= kImportColumnCount; ++c)
            list->addItem(ColumnLetter(c), c);
        list->setCurrentIndex(list->findData(defaults.columns[std::size_t(item)]));
        m_columns[std::size_t(item)] = list;
        grid->addWidget(new QLabel(QString::fromLatin1(kItemLabels[item]), mapping), item, 0);
        grid->addWidget(list, item, 1);
    }
    middle->addWidget(mapping);

    auto *right = new QVBoxLayout;
    auto *rows = new QGroupBox(QStringLiteral("Rows"), this);
    auto *rowsGrid = new QGridLayout(rows);
    m_begin = new QLineEdit(QStringLiteral("2"), rows);
    m_begin->setMaxLength(9);
    m_end = new QLineEdit(rows);
    m_end->setMaxLength(9);
    m_end->setEnabled(false);
    m_find = new QCheckBox(QStringLiteral("Find automatically"), rows);
    m_find->setChecked(true);
    rowsGrid->addWidget(new QLabel(QStringLiteral("Data begin on row:"), rows), 0, 0);
    rowsGrid->addWidget(m_begin, 0, 1);
    rowsGrid->addWidget(new QLabel(QStringLiteral("Data end on row:"), rows), 1, 0);
    rowsGrid->addWidget(m_end, 1, 1);
    rowsGrid->addWidget(m_find, 2, 0, 1, 2);
    right->addWidget(rows);
    auto *folders = new QGroupBox(QStringLiteral("Import to folder"), this);
    auto *foldersLayout = new QVBoxLayout(folders);
    m_tree = new ExchangeFolderTree(folders);
    m_tree->setMinimumHeight(200);
    foldersLayout->addWidget(m_tree);
    right->addWidget(folders, 1);
    middle->addLayout(right, 1);
    layout->addLayout(middle, 1);

    // Shown while an import runs; Cancel then stops it.
    m_progress = new QProgressBar(this);
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_progress->setVisible(false);
    layout->addWidget(m_progress);

    auto *buttons = new QDialogButtonBox(this);
    m_ok = buttons->addButton(QDialogButtonBox::Ok);
    m_cancel = buttons->addButton(QDialogButtonBox::Cancel);
    layout->addWidget(buttons);

    connect(m_find, &QCheckBox::toggled, this, [this](bool on) {
        m_end->clear();
        m_end->setEnabled(!on);
    });
    connect(m_browse, &QPushButton::clicked, this, &ImportDialog::browse);
    connect(m_ok, &QPushButton::clicked, this, &ImportDialog::ok);
    connect(m_cancel, &QPushButton::clicked, this, &ImportDialog::reject);
}

bool ImportDialog::Initialize()
{
    if (!m_tree->Load(m_db))
        return false;
    m_tree->clearSelection();
    m_tree->setCurrentItem(nullptr);
    return true;
}

void ImportDialog::browse()
{
    const QString chosen = AskOpenFileName(this, TVLoadStringResource(MSG_TITLE), TVLoadStringResource(MSG_FILTER),
                                           QStringLiteral("xls"));
    if (!chosen.isEmpty())
        m_file->setText(chosen);
}

ImportSettings ImportDialog::Settings() const
{
    ImportSettings s;
    s.fileName = m_file->text();
    s.beginRow = m_begin->text();
    s.endRow = m_end->text();
    s.findAutomatically = m_find->isChecked();
    for (int item = 0; item < IMP_COUNT; ++item)
        s.columns[std::size_t(item)] = m_columns[std::size_t(item)]->currentData().toInt();
    s.folder = m_tree->SelectedFolder();
    return s;
}

void ImportDialog::ok()
{
    ImportSettings settings = Settings();
    const ImportCheck check = CheckImportSettings(settings);
    m_file->setText(settings.fileName);
    m_begin->setText(settings.beginRow);
    m_end->setText(settings.endRow);
    if (check.message) {
        CTVError error(check.message);
        switch (check.focus) {
        case ImportField::FileName: m_file->setFocus(); break;
        case ImportField::BeginRow: m_begin->setFocus(); break;
        case ImportField::EndRow: m_end->setFocus(); break;
        case ImportField::Folder: m_tree->setFocus(); break;
        default: break;
        }
        return;
    }
    m_running = true;
    m_cancelRequested = false;
    m_ok->setEnabled(false);
    m_browse->setEnabled(false);
    m_progress->setValue(0);
    m_progress->setVisible(true);
    ImportObserver observer;
    observer.progress = [this](int percent) { m_progress->setValue(percent); };
    observer.pump = [this] {
        QCoreApplication::processEvents();
        if (onProgress)
            onProgress();
    };
    observer.cancelled = [this] { return m_cancelRequested; };
    m_result = RunImport(m_db, settings, check, ask, observer);
    m_running = false;
    m_ok->setEnabled(true);
    m_browse->setEnabled(true);
    m_progress->setVisible(false);
    switch (m_result.outcome) {
    case ImportOutcome::Imported:
        accept();
        ShowImportSummary(m_result);
        break;
    case ImportOutcome::StayOpen:
        break;
    case ImportOutcome::Cancelled:
        reject();
        break;
    }
}

void ImportDialog::reject()
{
    // While an import runs, Cancel (and Escape, and closing the window)
    // stops it; the dialog stays open.
    if (m_running) {
        m_cancelRequested = true;
        return;
    }
    QDialog::reject();
}

void RunImportDialog(QWidget *parent)
{
    CDatabase *db = AppContext::Database();
    if (!db || !db->IsOpen())
        return;
    ImportDialog dialog(*db, parent);
    if (!dialog.Initialize())
        return;
    dialog.exec();
}
