#include "contactdialogs.h"

#include "appcontext.h"
#include "backupfile.h"
#include "database.h"
#include "dialogutil.h"
#include "folderpath.h"
#include "folderwidgets.h"
#include "tvmessage.h"
#include "tvstrings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

enum {
    MSG_EXPORT_NO_FOLDER = 59426,
    MSG_IMPORT_NO_FOLDER = 59427,
    MSG_NO_OUTPUT = 59411,
    MSG_NO_INPUT = 59436,
    MSG_NOT_CONTACT_FILE = 59452,
    MSG_EXPORTED = 59453,
    MSG_FILE_TITLE = 59456,
    MSG_FILE_FILTER = 59457,
};

const char *const kItemLabels[IMP_COUNT] = {"&Name:", "&Street:", "&Town / City:", "&ZIP:",
                                            "C&ountry:", "N&ote:", "&Phone:", "&E-mail:"};

std::optional<int> rootFolder(CDatabase &db)
{
    try {
        return FindFolderByPath(db, QStringLiteral("/"));
    } catch (const DbException &) {
        return std::nullopt;
    }
}

} // namespace

class ContactFolderField : public QWidget {
public:
    ContactFolderField(CDatabase &db, bool pickSubfolders, QWidget *parent) : QWidget(parent), m_db(db)
    {
        auto *row = new QHBoxLayout(this);
        row->setContentsMargins(0, 0, 0, 0);
        edit = new QLineEdit(this);
        edit->setReadOnly(true);
        edit->setMinimumWidth(260);
        choose = new QPushButton(QStringLiteral("C&hoose..."), this);
        row->addWidget(edit, 1);
        row->addWidget(choose);
        m_pickSubfolders = pickSubfolders;
        connect(choose, &QPushButton::clicked, this, [this] { pick(); });
    }
    void set(int folder)
    {
        m_folder = folder;
        try {
            edit->setText(folder < 0 ? QString() : FolderPath(m_db, folder));
        } catch (const DbException &) {
            edit->clear();
        }
    }
    void pick()
    {
        CFolderPickerDlg picker(m_db, m_folder, subfolders ? subfolders->isChecked() : false, window());
        if (!m_pickSubfolders)
            picker.includeBox()->hide();
        if (picker.exec() != QDialog::Accepted)
            return;
        set(picker.FolderId());
        if (subfolders)
            subfolders->setChecked(picker.IncludeSubfolders());
    }
    int folder() const { return m_folder; }

    QLineEdit *edit;
    QPushButton *choose;
    QCheckBox *subfolders = nullptr;

private:
    CDatabase &m_db;
    int m_folder = -1;
    bool m_pickSubfolders = false;
};

// ---- import ----

ContactImportDialog::ContactImportDialog(CDatabase &db, QWidget *parent) : QDialog(parent), m_db(db)
{
    setWindowTitle(QStringLiteral("Import contacts"));
    setObjectName(QStringLiteral("ContactImportDialog"));
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    auto *fileRow = new QHBoxLayout;
    m_file = new QLineEdit(this);
    m_file->setMaxLength(512);
    m_file->setMinimumWidth(320);
    m_browse = new QPushButton(QStringLiteral("..."), this);
    fileRow->addWidget(m_file, 1);
    fileRow->addWidget(m_browse);
    auto *fileLabel = new QLabel(QStringLiteral("&Input file (vCard or CSV):"), this);
    fileLabel->setBuddy(m_file);
    form->addRow(fileLabel, fileRow);
    m_folder = new ContactFolderField(db, false, this);
    auto *folderLabel = new QLabel(QStringLiteral("Import to &folder:"), this);
    folderLabel->setBuddy(m_folder->choose);
    form->addRow(folderLabel, m_folder);
    layout->addLayout(form);

    m_csv = new QGroupBox(QStringLiteral("CSV columns"), this);
    auto *csv = new QVBoxLayout(m_csv);
    m_layout = new QLabel(m_csv);
    m_layout->setWordWrap(true);
    csv->addWidget(m_layout);
    m_own = new QCheckBox(QStringLiteral("&Map the columns myself"), m_csv);
    m_header = new QCheckBox(QStringLiteral("First &row holds the column names"), m_csv);
    csv->addWidget(m_own);
    csv->addWidget(m_header);
    auto *grid = new QGridLayout;
    for (int item = 0; item < IMP_COUNT; ++item) {
        auto *combo = new QComboBox(m_csv);
        m_columns[std::size_t(item)] = combo;
        auto *label = new QLabel(QString::fromLatin1(kItemLabels[item]), m_csv);
        label->setBuddy(combo);
        grid->addWidget(label, item / 2, (item % 2) * 2);
        grid->addWidget(combo, item / 2, (item % 2) * 2 + 1);
    }
    csv->addLayout(grid);
    layout->addWidget(m_csv);

    m_progress = new QProgressBar(this);
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    layout->addWidget(m_progress);
    auto *buttons = new QDialogButtonBox(this);
    m_ok = buttons->addButton(QDialogButtonBox::Ok);
    m_cancel = buttons->addButton(QDialogButtonBox::Cancel);
    layout->addWidget(buttons);

    if (const std::optional<int> root = rootFolder(db))
        m_folder->set(*root);
    connect(m_browse, &QPushButton::clicked, this, &ContactImportDialog::browse);
    // The file is looked at when the user leaves the field and, while a name
    // is typed, once the typing pauses; the same name again keeps the mapping
    // the user has set.
    auto *typing = new QTimer(this);
    typing->setSingleShot(true);
    typing->setInterval(400);
    connect(m_file, &QLineEdit::textEdited, typing, qOverload<>(&QTimer::start));
    connect(typing, &QTimer::timeout, this, [this] {
        if (m_file->text().trimmed() != m_inspected)
            InspectFile();
    });
    connect(m_file, &QLineEdit::editingFinished, this, [this] {
        if (m_file->text().trimmed() != m_inspected)
            InspectFile();
    });
    connect(m_own, &QCheckBox::toggled, this, &ContactImportDialog::updateMapping);
    connect(m_ok, &QPushButton::clicked, this, &ContactImportDialog::ok);
    connect(m_cancel, &QPushButton::clicked, this, &ContactImportDialog::reject);
    InspectFile();
}

QPushButton *ContactImportDialog::ChooseButton() const { return m_folder->choose; }
QLineEdit *ContactImportDialog::FolderEdit() const { return m_folder->edit; }
int ContactImportDialog::Folder() const { return m_folder->folder(); }
void ContactImportDialog::SetFolder(int folder) { m_folder->set(folder); }

void ContactImportDialog::browse()
{
    const QString chosen = AskOpenFileName(this, TVLoadStringResource(MSG_FILE_TITLE),
                                           TVLoadStringResource(MSG_FILE_FILTER), QStringLiteral("vcf"));
    if (chosen.isEmpty())
        return;
    m_file->setText(chosen);
    InspectFile();
}

void ContactImportDialog::InspectFile()
{
    const QString name = m_file->text().trimmed();
    m_inspected = name;
    const bool csv = ContactFormatOfFile(name) == ContactFormat::Csv;
    m_csv->setEnabled(csv);
    QStringList first;
    m_recognised = CsvLayout::None;
    CsvMapping recognised;
    if (csv) {
        QFile f(name);
        if (f.open(QIODevice::ReadOnly)) {
            const CsvTable head = ParseCsvFile(f.read(256 * 1024));
            if (!head.rows.empty())
                first = head.rows.front();
        }
        recognised = RecogniseCsvHeader(first);
        m_recognised = recognised.layout;
    }
    // The column lists: "A", or "A: First Name" with a header row.
    const int columns = std::max<int>(int(first.size()), IMP_COUNT);
    for (int item = 0; item < IMP_COUNT; ++item) {
        QComboBox *combo = m_columns[std::size_t(item)];
        combo->clear();
        if (item != IMP_NAME) // only the name is required of a contact
            combo->addItem(QString(), 0);
        for (int c = 1; c <= std::min(columns, kImportColumnCount); ++c) {
            QString text = ColumnLetter(c);
            if (c <= first.size() && !first[c - 1].trimmed().isEmpty())
                text += QStringLiteral(": ") + first[c - 1].trimmed().left(40);
            combo->addItem(text, c);
        }
        // A recognised header shows the columns it reads (the first of them
        // where it joins several, none beyond the lists' last column); they
        // are where "Map the columns myself" starts. Otherwise A to H.
        int column = item + 1;
        if (m_recognised != CsvLayout::None) {
            const int found = FirstColumnOfItem(recognised, item);
            column = found > 0 && found <= kImportColumnCount ? found : item == IMP_NAME ? column : 0;
        }
        combo->setCurrentIndex(std::max(0, combo->findData(column)));
    }
    m_header->setChecked(m_recognised != CsvLayout::None);
    m_own->setChecked(false);
    if (!ContactFormatOfFile(name))
        m_layout->setText(QStringLiteral("Choose a vCard (.vcf) or CSV (.csv) file."));
    else if (!csv)
        m_layout->setText(QStringLiteral("vCard files need no mapping."));
    else if (m_recognised == CsvLayout::None)
        m_layout->setText(QStringLiteral("No known header row: the columns are read as A to H of the "
                                         "spreadsheet export unless you map them."));
    else
        m_layout->setText(QStringLiteral("Recognised layout: %1. The columns map by their names.")
                              .arg(CsvLayoutName(m_recognised)));
    updateMapping();
}

void ContactImportDialog::updateMapping()
{
    const bool own = m_own->isChecked() || m_recognised == CsvLayout::None;
    m_own->setEnabled(m_recognised != CsvLayout::None);
    m_header->setEnabled(own);
    for (QComboBox *combo : m_columns)
        combo->setEnabled(own);
}

std::optional<CsvMapping> ContactImportDialog::chosenMapping() const
{
    if (ContactFormatOfFile(m_file->text().trimmed()) != ContactFormat::Csv)
        return std::nullopt;
    if (m_recognised != CsvLayout::None && !m_own->isChecked())
        return std::nullopt; // the recognised header
    std::array<int, IMP_COUNT> columns{};
    for (int item = 0; item < IMP_COUNT; ++item)
        columns[std::size_t(item)] = m_columns[std::size_t(item)]->currentData().toInt();
    return CsvMappingFromColumns(columns, m_header->isChecked());
}

void ContactImportDialog::reject()
{
    if (m_running) {
        m_abort = true;
        return;
    }
    QDialog::reject();
}

void ContactImportDialog::ok()
{
    if (m_running)
        return;
    const QString file = m_file->text().trimmed();
    if (file.isEmpty()) {
        CTVError error(MSG_NO_INPUT);
        m_file->setFocus();
        return;
    }
    const std::optional<ContactFormat> format = ContactFormatOfFile(file);
    if (!format) {
        CTVError error(MSG_NOT_CONTACT_FILE);
        m_file->setFocus();
        return;
    }
    if (Folder() < 0) {
        CTVError error(MSG_IMPORT_NO_FOLDER);
        m_folder->choose->setFocus();
        return;
    }
    std::optional<CsvMapping> mapping = chosenMapping();
    if (mapping) {
        // The mandatory Name and distinct columns, as in the spreadsheet import.
        ImportSettings s;
        for (int item = 0; item < IMP_COUNT; ++item)
            s.columns[std::size_t(item)] = m_columns[std::size_t(item)]->currentData().toInt();
        std::set<int> used;
        for (int c : s.columns)
            if (c > 0 && !used.insert(c).second) {
                CTVError error(59432);
                return;
            }
        if (s.columns[IMP_NAME] < 1) {
            CTVError error(59431);
            return;
        }
    }
    m_running = true;
    m_abort = false;
    for (QWidget *w : std::initializer_list<QWidget *>{m_ok, m_browse, m_file, m_folder, m_csv})
        w->setEnabled(false);
    ContactObserver observer;
    observer.progress = [this](int p) {
        m_progress->setValue(p);
        QCoreApplication::processEvents();
        if (onProgress)
            onProgress();
    };
    observer.cancelled = [this] { return m_abort; };
    m_result = RunContactImport(m_db, file, *format, Folder(), ask, observer, mapping);
    m_running = false;
    for (QWidget *w : std::initializer_list<QWidget *>{m_ok, m_browse, m_file, m_folder})
        w->setEnabled(true);
    InspectFile();
    m_progress->setValue(0);
    if (m_result.outcome == ImportOutcome::Imported) {
        accept();
        ShowContactImportSummary(m_result);
    }
}

// ---- export ----

ContactExportDialog::ContactExportDialog(CDatabase &db, QWidget *parent) : QDialog(parent), m_db(db)
{
    QDir().mkpath(ExportDirectory());
    setWindowTitle(QStringLiteral("Export contacts"));
    setObjectName(QStringLiteral("ContactExportDialog"));
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    m_format = new QComboBox(this);
    m_format->addItem(QStringLiteral("vCard 4.0"));
    m_format->addItem(QStringLiteral("vCard 3.0 (older phones)"));
    m_format->addItem(QStringLiteral("CSV (UTF-8)"));
    auto *formatLabel = new QLabel(QStringLiteral("Export &format:"), this);
    formatLabel->setBuddy(m_format);
    form->addRow(formatLabel, m_format);
    auto *fileRow = new QHBoxLayout;
    m_file = new QLineEdit(QDir(ExportDirectory()).filePath(QStringLiteral("contacts.vcf")), this);
    m_file->setMinimumWidth(320);
    m_browse = new QPushButton(QStringLiteral("..."), this);
    fileRow->addWidget(m_file, 1);
    fileRow->addWidget(m_browse);
    auto *fileLabel = new QLabel(QStringLiteral("&Output file:"), this);
    fileLabel->setBuddy(m_file);
    form->addRow(fileLabel, fileRow);
    m_folder = new ContactFolderField(db, true, this);
    auto *folderLabel = new QLabel(QStringLiteral("Export from fol&der:"), this);
    folderLabel->setBuddy(m_folder->choose);
    form->addRow(folderLabel, m_folder);
    m_subfolders = new QCheckBox(QStringLiteral("Include &subfolders"), this);
    m_subfolders->setChecked(true);
    m_folder->subfolders = m_subfolders;
    form->addRow(QString(), m_subfolders);
    layout->addLayout(form);
    m_progress = new QProgressBar(this);
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    layout->addWidget(m_progress);
    auto *buttons = new QDialogButtonBox(this);
    m_ok = buttons->addButton(QDialogButtonBox::Ok);
    m_cancel = buttons->addButton(QDialogButtonBox::Cancel);
    layout->addWidget(buttons);

    if (const std::optional<int> root = rootFolder(db))
        m_folder->set(*root);
    connect(m_format, &QComboBox::currentIndexChanged, this, &ContactExportDialog::formatChanged);
    connect(m_browse, &QPushButton::clicked, this, &ContactExportDialog::browse);
    connect(m_ok, &QPushButton::clicked, this, &ContactExportDialog::ok);
    connect(m_cancel, &QPushButton::clicked, this, &ContactExportDialog::reject);
}

QPushButton *ContactExportDialog::ChooseButton() const { return m_folder->choose; }
QLineEdit *ContactExportDialog::FolderEdit() const { return m_folder->edit; }
int ContactExportDialog::Folder() const { return m_folder->folder(); }
void ContactExportDialog::SetFolder(int folder) { m_folder->set(folder); }

void ContactExportDialog::formatChanged()
{
    // The name keeps its folder and stem; the extension follows the format.
    const bool csv = m_format->currentIndex() == 2;
    QString name = m_file->text().trimmed();
    const qsizetype slash = name.lastIndexOf(u'/');
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot > slash + 1)
        name.truncate(dot);
    if (!name.isEmpty())
        m_file->setText(name + (csv ? QStringLiteral(".csv") : QStringLiteral(".vcf")));
}

void ContactExportDialog::browse()
{
    const bool csv = m_format->currentIndex() == 2;
    const QString chosen = AskSaveFileName(this, TVLoadStringResource(MSG_FILE_TITLE),
                                           TVLoadStringResource(MSG_FILE_FILTER),
                                           csv ? QStringLiteral("csv") : QStringLiteral("vcf"), ExportDirectory(),
                                           csv ? QStringLiteral("contacts.csv") : QStringLiteral("contacts.vcf"),
                                           true, csv ? 1 : 0);
    if (!chosen.isEmpty())
        m_file->setText(chosen);
}

void ContactExportDialog::reject()
{
    if (m_running) {
        m_abort = true;
        return;
    }
    QDialog::reject();
}

void ContactExportDialog::ok()
{
    if (m_running)
        return;
    const QString file = m_file->text().trimmed();
    if (file.isEmpty()) {
        CTVError error(MSG_NO_OUTPUT);
        m_file->setFocus();
        return;
    }
    const bool csv = m_format->currentIndex() == 2;
    const std::optional<ContactFormat> format = ContactFormatOfFile(file);
    if (!format || (*format == ContactFormat::Csv) != csv) {
        CTVError error(MSG_NOT_CONTACT_FILE);
        m_file->setFocus();
        return;
    }
    if (Folder() < 0) {
        CTVError error(MSG_EXPORT_NO_FOLDER);
        m_folder->choose->setFocus();
        return;
    }
    m_running = true;
    m_abort = false;
    for (QWidget *w : std::initializer_list<QWidget *>{m_ok, m_browse, m_file, m_folder, m_format, m_subfolders})
        w->setEnabled(false);
    ContactObserver observer;
    observer.progress = [this](int p) {
        m_progress->setValue(p);
        QCoreApplication::processEvents();
        if (onProgress)
            onProgress();
    };
    observer.cancelled = [this] { return m_abort; };
    int count = 0;
    m_outcome = ExportContacts(m_db, Folder(), m_subfolders->isChecked(), file, *format,
                               m_format->currentIndex() == 1 ? VCardVersion::V3 : VCardVersion::V4, &count, observer);
    m_running = false;
    for (QWidget *w : std::initializer_list<QWidget *>{m_ok, m_browse, m_file, m_folder, m_format, m_subfolders})
        w->setEnabled(true);
    m_progress->setValue(0);
    if (m_outcome == ContactExportOutcome::Exported) {
        accept();
        CTVInfo info(MSG_EXPORTED, TVB_OK, count);
    }
}

void RunContactImportDialog(QWidget *parent)
{
    CDatabase *db = AppContext::Database();
    if (!db || !db->IsOpen())
        return;
    ContactImportDialog dialog(*db, parent);
    dialog.exec();
}

void RunContactExportDialog(QWidget *parent)
{
    CDatabase *db = AppContext::Database();
    if (!db || !db->IsOpen())
        return;
    ContactExportDialog dialog(*db, parent);
    dialog.exec();
}
