#include "multilinefield.h"
#include "searchdialog.h"
#include "dberror.h"
#include "tvmessage.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <algorithm>

CAddressSearchDlg::CAddressSearchDlg(CDatabase &db, OpenAddress open, QWidget *parent)
    : QDialog(parent), m_db(db), m_open(std::move(open))
{
    setObjectName(QStringLiteral("addressSearchDialog"));
    setWindowTitle(QStringLiteral("Address search"));
    auto *grid = new QGridLayout(this);
    m_name = NewMultiLineField(this, "searchName");
    m_street = NewMultiLineField(this, "searchStreet");
    m_town = NewMultiLineField(this, "searchTown");
    m_zip = new QLineEdit(this);
    m_zip->setObjectName(QStringLiteral("searchZip"));
    m_country = NewMultiLineField(this, "searchCountry");
    m_note = NewMultiLineField(this, "searchNote");
    const std::pair<const char *, QWidget *> fields[] = {
        {"Name (company name)", m_name}, {"Street, house No.", m_street}, {"Town/City", m_town},
        {"ZIP", m_zip},                   {"Other (country)", m_country},   {"Notes", m_note},
    };
    int row = 0;
    for (const auto &[label, widget] : fields) {
        grid->addWidget(new QLabel(QString::fromLatin1(label), this), row, 0);
        grid->addWidget(widget, row, 1, 1, 2);
        ++row;
    }
    m_exact = new QCheckBox(QStringLiteral("Exact match"), this);
    m_exact->setObjectName(QStringLiteral("exactMatch"));
    grid->addWidget(m_exact, row, 1);
    auto *find = new QPushButton(QStringLiteral("Find"), this);
    find->setObjectName(QStringLiteral("findButton"));
    find->setDefault(true);
    grid->addWidget(find, row, 2);
    ++row;
    grid->addWidget(new QLabel(QStringLiteral("Addresses found:"), this), row++, 0, 1, 3);
    m_list = new AddressTableView(QAbstractItemView::ExtendedSelection, 160, this);
    m_list->setObjectName(QStringLiteral("foundList"));
    m_list->setColumnWidth(2, 161);
    m_list->setMinimumHeight(200);
    grid->addWidget(m_list, row++, 0, 1, 3);
    auto *buttons = new QHBoxLayout;
    auto *view = new QPushButton(QStringLiteral("View"), this);
    view->setObjectName(QStringLiteral("viewButton"));
    auto *edit = new QPushButton(QStringLiteral("Edit"), this);
    edit->setObjectName(QStringLiteral("editButton"));
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    for (QPushButton *b : {view, edit, cancel}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    buttons->insertStretch(0);
    grid->addLayout(buttons, row, 0, 1, 3);

    connect(find, &QPushButton::clicked, this, &CAddressSearchDlg::Find);
    connect(view, &QPushButton::clicked, this, [this] { Open(180); });
    connect(edit, &QPushButton::clicked, this, [this] { Open(182); });
    connect(cancel, &QPushButton::clicked, this, &CAddressSearchDlg::reject);
    connect(m_list, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &index) {
        if (index.isValid())
            Open(180);
    });
    m_name->setFocus();
}

QWidget *CAddressSearchDlg::fieldWidget(SearchField field) const
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

SearchCriteria CAddressSearchDlg::Criteria() const
{
    SearchCriteria c;
    c.name = StoredText(m_name);
    c.street = StoredText(m_street);
    c.town = StoredText(m_town);
    c.zip = m_zip->text();
    c.country = StoredText(m_country);
    c.note = StoredText(m_note);
    c.exact = m_exact->isChecked();
    return c;
}

void CAddressSearchDlg::Find()
{
    SearchCriteria c = Criteria();
    c.Trim();
    ShowStoredText(m_name, c.name);
    ShowStoredText(m_street, c.street);
    ShowStoredText(m_town, c.town);
    if (m_zip->text() != c.zip)
        m_zip->setText(c.zip);
    ShowStoredText(m_country, c.country);
    ShowStoredText(m_note, c.note);
    if (const std::optional<SearchField> bad = FirstDisallowedField(c)) {
        CTVError::Show(11, TVB_OK, DisallowedCharactersText());
        fieldWidget(*bad)->setFocus();
        return;
    }
    m_lastStatement = BuildSearchStatement(c);
    m_list->tableModel()->reset({});
    std::vector<AddressEntry> rows;
    if (!DbOperation(m_db, [&] { rows = RunSearch(m_db, m_lastStatement); }))
        return;
    if (rows.empty()) {
        CTVInfo::Show(MSG_SEARCH_NOTHING_FOUND, TVB_OK);
        return;
    }
    // Each row read goes to the top of the list.
    std::reverse(rows.begin(), rows.end());
    m_list->tableModel()->reset(std::move(rows));
}

void CAddressSearchDlg::Open(int page)
{
    if (m_list->tableModel()->rowCount() == 0) {
        CTVError::Show(MSG_SEARCH_LIST_EMPTY, TVB_OK);
        return;
    }
    const std::vector<int> selected = m_list->SelectedRows();
    if (selected.empty()) {
        CTVError::Show(MSG_SEARCH_NO_SELECTION, TVB_OK);
        return;
    }
    const std::int32_t address = m_list->tableModel()->entry(selected.front()).id;
    if (m_open)
        m_open(address, page);
    accept();
}
