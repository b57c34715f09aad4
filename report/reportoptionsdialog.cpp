#include "multilinefield.h"
#include "reportoptionsdialog.h"

#include "folderwidgets.h"
#include "tvmessage.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

ReportOptionsDialog::ReportOptionsDialog(CDatabase &db, QWidget *parent) : QDialog(parent), m_db(db)
{
    setObjectName(QStringLiteral("reportOptionsDialog"));
    setWindowTitle(QStringLiteral("Creating a printout"));
    auto *grid = new QGridLayout(this);
    int row = 0;
    auto *heading = new QLabel(QStringLiteral("Enter printout options"), this);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    grid->addWidget(heading, row++, 0, 1, 4);

    m_name = NewMultiLineField(this, "reportName");
    m_street = NewMultiLineField(this, "reportStreet");
    m_town = NewMultiLineField(this, "reportTown");
    m_zip = new QLineEdit(this);
    m_zip->setObjectName(QStringLiteral("reportZip"));
    m_country = NewMultiLineField(this, "reportCountry");
    m_note = NewMultiLineField(this, "reportNote");
    const std::pair<const char *, QWidget *> fields[] = {
        {"Name (company name)", m_name}, {"Street, house NO.", m_street},   {"Town/City", m_town},
        {"ZIP", m_zip},                   {"Other (country...)", m_country}, {"Notes", m_note},
    };
    for (const auto &[label, widget] : fields) {
        auto *l = new QLabel(QString::fromLatin1(label), this);
        l->setBuddy(widget);
        grid->addWidget(l, row, 0);
        grid->addWidget(widget, row, 1, 1, 3);
        ++row;
    }

    grid->addWidget(new QLabel(QStringLiteral("Address location"), this), row, 0);
    m_location = new QLineEdit(this);
    m_location->setObjectName(QStringLiteral("reportLocation"));
    m_location->setReadOnly(true);
    grid->addWidget(m_location, row, 1);
    m_choose = new QPushButton(QStringLiteral("..."), this);
    m_choose->setObjectName(QStringLiteral("chooseLocation"));
    m_choose->setAutoDefault(false);
    m_choose->setToolTip(QStringLiteral("Choose the folders whose addresses are listed"));
    grid->addWidget(m_choose, row, 2);
    m_clear = new QPushButton(QStringLiteral("Clear"), this);
    m_clear->setObjectName(QStringLiteral("clearLocation"));
    m_clear->setAutoDefault(false);
    m_clear->setToolTip(QStringLiteral("List the addresses of every folder"));
    grid->addWidget(m_clear, row, 3);
    ++row;

    m_exact = new QCheckBox(QStringLiteral("Exact match"), this);
    m_exact->setObjectName(QStringLiteral("exactMatch"));
    m_exact->setChecked(false);
    grid->addWidget(m_exact, row++, 1, 1, 3);
    m_unique = new QCheckBox(QStringLiteral("Unique addresses only"), this);
    m_unique->setObjectName(QStringLiteral("uniqueOnly"));
    m_unique->setChecked(true);
    grid->addWidget(m_unique, row++, 1, 1, 3);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("buttons"));
    grid->addWidget(buttons, row, 0, 1, 4);

    connect(buttons, &QDialogButtonBox::accepted, this, &ReportOptionsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ReportOptionsDialog::reject);
    connect(m_choose, &QPushButton::clicked, this, &ReportOptionsDialog::ChooseLocation);
    connect(m_clear, &QPushButton::clicked, this, &ReportOptionsDialog::ClearLocation);
    m_name->setFocus();
}

QWidget *ReportOptionsDialog::fieldWidget(SearchField field) const
{
    switch (field) {
    case SearchField::Country: return m_country;
    case SearchField::Name: return m_name;
    case SearchField::Street: return m_street;
    case SearchField::Town: return m_town;
    case SearchField::Zip: return m_zip;
    case SearchField::Note: return m_note;
    }
    return m_name;
}

ReportCriteria ReportOptionsDialog::Criteria() const
{
    ReportCriteria c;
    c.texts.name = StoredText(m_name);
    c.texts.street = StoredText(m_street);
    c.texts.town = StoredText(m_town);
    c.texts.zip = m_zip->text();
    c.texts.country = StoredText(m_country);
    c.texts.note = StoredText(m_note);
    c.texts.exact = m_exact->isChecked();
    c.unique = m_unique->isChecked();
    c.folders = m_folders;
    c.locationText = m_location->text();
    return c;
}

void ReportOptionsDialog::ChooseLocation()
{
    CFolderPickerDlg picker(m_db, m_folder, m_includeSubfolders, this);
    if (picker.exec() != QDialog::Accepted)
        return;
    SetLocation(picker.FolderId(), picker.IncludeSubfolders(), picker.PathText(), picker.FolderIds());
}

void ReportOptionsDialog::SetLocation(std::int32_t folder, bool includeSubfolders, const QString &text,
                                      std::set<std::int32_t> folders)
{
    m_folder = folder;
    m_includeSubfolders = includeSubfolders;
    m_folders = std::move(folders);
    m_location->setText(text);
}

void ReportOptionsDialog::ClearLocation()
{
    m_folder = -1;
    m_includeSubfolders = false;
    m_folders.clear();
    m_location->clear();
}

void ReportOptionsDialog::accept()
{
    ReportCriteria c = Criteria();
    c.texts.Trim();
    ShowStoredText(m_name, c.texts.name);
    ShowStoredText(m_street, c.texts.street);
    ShowStoredText(m_town, c.texts.town);
    if (m_zip->text() != c.texts.zip)
        m_zip->setText(c.texts.zip);
    ShowStoredText(m_country, c.texts.country);
    ShowStoredText(m_note, c.texts.note);
    if (const std::optional<SearchField> bad = FirstDisallowedReportField(c)) {
        CTVError::Show(11, TVB_OK, DisallowedCharactersText());
        fieldWidget(*bad)->setFocus();
        return;
    }
    m_query = BuildReportQuery(c);
    QDialog::accept();
}
