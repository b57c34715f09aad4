#include "textcompare.h"
#include "multilinefield.h"
#include "addresspages.h"
#include "recordsets.h"
#include "sqlformat.h"
#include "addresspanes.h"
#include "addressrecords.h"
#include "dberror.h"
#include "tvmessage.h"
#include "tvparse.h"

#include <QApplication>
#include <algorithm>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QStyle>

// ---- phone and e-mail lists ----

namespace {

// Grid lines between the cells of a value list, as report lists draw them.
class GridDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::paint(painter, option, index);
        painter->save();
        painter->setPen(option.palette.color(QPalette::Mid));
        const QRect r = option.rect;
        painter->drawLine(r.bottomLeft(), r.bottomRight());
        painter->drawLine(r.topRight(), r.bottomRight());
        painter->restore();
    }
};

constexpr int kValueWidth = 134, kNoteWidth = 108;

} // namespace

ValueNoteListWidget::ValueNoteListWidget(const QString &valueTitle, bool emails, QWidget *parent)
    : QTreeWidget(parent), m_emails(emails)
{
    setColumnCount(2);
    setHeaderLabels({valueTitle, QStringLiteral("Note")});
    setColumnWidth(0, kValueWidth);
    setColumnWidth(1, kNoteWidth);
    setRootIsDecorated(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setAllColumnsShowFocus(true);
    setUniformRowHeights(true);
    setItemDelegate(new GridDelegate(this));
    header()->setStretchLastSection(true);
    header()->setMinimumSectionSize(24);
    header()->setSectionsClickable(true);
    connect(header(), &QHeaderView::sectionClicked, this, [this](int c) { sortByColumn(c); });
    if (emails)
        connect(this, &QTreeWidget::itemDoubleClicked, this, [this] { sendSelected(); });
}

void ValueNoteListWidget::resizeEvent(QResizeEvent *event)
{
    QTreeWidget::resizeEvent(event);
    // Both columns stay in sight: a narrow list shares its width between
    // them in their usual proportion; the note column takes the rest.
    const int width = viewport()->width();
    if (width < kValueWidth + kNoteWidth) {
        const int value = width * kValueWidth / (kValueWidth + kNoteWidth);
        setColumnWidth(0, value);
        setColumnWidth(1, width - value);
    } else {
        setColumnWidth(0, kValueWidth);
        setColumnWidth(1, std::max(kNoteWidth, width - kValueWidth));
    }
}

void ValueNoteListWidget::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Copy)) {
        copySelected();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

ValueNoteList ValueNoteListWidget::pairs() const
{
    ValueNoteList out;
    for (int i = 0; i < topLevelItemCount(); ++i)
        out.emplace_back(topLevelItem(i)->text(0), topLevelItem(i)->text(1));
    return out;
}

void ValueNoteListWidget::setPairs(const ValueNoteList &pairs)
{
    clear();
    for (const auto &[value, note] : pairs)
        addTopLevelItem(new QTreeWidgetItem(QStringList{value, note}));
}

void ValueNoteListWidget::insertTop(const QString &value, const QString &note)
{
    insertTopLevelItem(0, new QTreeWidgetItem(QStringList{value, note}));
}

bool ValueNoteListWidget::containsValue(const QString &value) const
{
    for (int i = 0; i < topLevelItemCount(); ++i)
        if (topLevelItem(i)->text(0) == value)
            return true;
    return false;
}

void ValueNoteListWidget::sortByColumn(int column)
{
    QList<QTreeWidgetItem *> items;
    while (topLevelItemCount() > 0)
        items << takeTopLevelItem(0);
    std::stable_sort(items.begin(), items.end(), [column](QTreeWidgetItem *a, QTreeWidgetItem *b) {
        return CompareTexts(a->text(column), b->text(column)) < 0;
    });
    addTopLevelItems(items);
}

void ValueNoteListWidget::copySelected() const
{
    QTreeWidgetItem *item = currentItem();
    if (item && !item->text(0).isEmpty())
        QApplication::clipboard()->setText(item->text(0));
}

void ValueNoteListWidget::sendSelected() const
{
    QTreeWidgetItem *item = currentItem();
    if (item && !item->text(0).isEmpty())
        TVHyperlink(QStringLiteral("mailto:") + item->text(0));
}

void ValueNoteListWidget::contextMenuEvent(QContextMenuEvent *event)
{
    QTreeWidgetItem *item = nullptr;
    QPoint at = event->globalPos();
    if (event->reason() == QContextMenuEvent::Mouse) {
        item = itemAt(viewport()->mapFromGlobal(event->globalPos()));
    } else {
        // The Menu key or Shift+F10: the menu of the current row, under it.
        item = currentItem();
        if (item) {
            scrollToItem(item);
            const QRect r = visualItemRect(item);
            at = viewport()->mapToGlobal(QPoint(r.left() + 8, r.bottom()));
        }
    }
    if (!item)
        return; // outside the rows nothing opens
    setCurrentItem(item);
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("valueMenu"));
    menu.addAction(QStringLiteral("Copy"), this, [this] { copySelected(); });
    if (m_emails)
        menu.addAction(QStringLiteral("Send..."), this, [this] { sendSelected(); });
    menu.exec(at);
}

// ---- pages ----

namespace {

QString trimmed(QPlainTextEdit *e)
{
    const QString t = StoredText(e).trimmed();
    if (t != StoredText(e))
        ShowStoredText(e, t);
    return t;
}

} // namespace

AddressPage::AddressPage(Kind kind, CDatabase &db, AddressPanes *panes, QWidget *parent)
    : QWidget(parent), m_kind(kind), m_db(db), m_panes(panes)
{
    const bool editable = kind == New || kind == Edit;
    const bool quick = kind == Quick;
    auto *layout = new QGridLayout(this);

    auto *printGroup = new QGroupBox(kind == View ? QStringLiteral("Data to print") : QString(), this);
    auto *pg = new QGridLayout(printGroup);
    name = NewMultiLineField(this, "name");
    street = NewMultiLineField(this, "street");
    town = NewMultiLineField(this, "town");
    other = NewMultiLineField(this, "other");
    zip = new QLineEdit(this);
    zip->setObjectName(QStringLiteral("zip"));
    LimitCharacters(zip, kMaxTextCharacters);
    const QString star = editable ? QStringLiteral(" *") : QString();
    auto label = [&](const QString &text, QWidget *buddy) {
        auto *l = new QLabel(text, this);
        l->setBuddy(buddy);
        return l;
    };
    pg->addWidget(label(QStringLiteral("&Name (company name)") + star, name), 0, 0);
    pg->addWidget(name, 1, 0, 1, 2);
    pg->addWidget(label(QStringLiteral("Street, ho&use NO."), street), 2, 0);
    pg->addWidget(street, 3, 0, 1, 2);
    pg->addWidget(label(QStringLiteral("Town/&City") + star, town), 4, 0);
    pg->addWidget(label(QStringLiteral("&ZIP") + star, zip), 4, 1);
    pg->addWidget(town, 5, 0);
    pg->addWidget(zip, 5, 1, Qt::AlignTop);
    pg->addWidget(label(QStringLiteral("Other (countr&y...)"), other), 6, 0);
    pg->addWidget(other, 7, 0, 1, 2);
    pg->setColumnStretch(0, 2);
    pg->setColumnStretch(1, 1);
    layout->addWidget(printGroup, 0, 0);

    if (!quick) {
        auto *infoGroup = new QGroupBox(kind == View ? QStringLiteral("Additional information") : QString(), this);
        auto *ig = new QGridLayout(infoGroup);
        notes = NewMultiLineField(this, "notes");
        phones = new ValueNoteListWidget(QStringLiteral("Phone"), false, this);
        phones->setObjectName(QStringLiteral("phones"));
        emails = new ValueNoteListWidget(QStringLiteral("E-mail"), true, this);
        emails->setObjectName(QStringLiteral("emails"));
        // Entry fields share the width, the value taking more; the two
        // buttons stay small.
        ig->setColumnStretch(0, 2);
        ig->setColumnStretch(1, 1);
        int row = 0;
        ig->addWidget(label(QStringLiteral("No&tes"), notes), row++, 0, 1, 4);
        ig->addWidget(notes, row++, 0, 1, 4);
        QLabel *phoneLabel = label(QStringLiteral("Phone, fa&x NO."), phones);
        ig->addWidget(phoneLabel, row++, 0, 1, 4);
        if (editable) {
            phoneEntry = new QLineEdit(this);
            phoneEntry->setObjectName(QStringLiteral("phoneEntry"));
            LimitCharacters(phoneEntry, kMaxTextCharacters);
            phoneEntry->setPlaceholderText(QStringLiteral("Phone"));
            phoneNote = new QLineEdit(this);
            phoneNote->setObjectName(QStringLiteral("phoneNote"));
            LimitCharacters(phoneNote, kMaxTextCharacters);
            phoneNote->setPlaceholderText(QStringLiteral("Note"));
            addPhone = pairButton(QStringLiteral("+"), QStringLiteral("Add the phone to the list"), "addPhone");
            removePhone = pairButton(QStringLiteral("−"), QStringLiteral("Take the selected phone back for correction"),
                                     "removePhone");
            connect(addPhone, &QPushButton::clicked, this, &AddressPage::OnAddPhone);
            connect(removePhone, &QPushButton::clicked, this, &AddressPage::OnRemovePhone);
            connect(phoneEntry, &QLineEdit::returnPressed, this, &AddressPage::OnAddPhone);
            connect(phoneNote, &QLineEdit::returnPressed, this, &AddressPage::OnAddPhone);
            phoneLabel->setBuddy(phoneEntry); // the mnemonic leads to the entry row first
            auto *add = addPhone;
            auto *remove = removePhone;
            ig->addWidget(phoneEntry, row, 0);
            ig->addWidget(phoneNote, row, 1);
            ig->addWidget(add, row, 2);
            ig->addWidget(remove, row++, 3);
        }
        ig->addWidget(phones, row++, 0, 1, 4);
        QLabel *emailLabel = label(QStringLiteral("E-&mail"), emails);
        ig->addWidget(emailLabel, row++, 0, 1, 4);
        if (editable) {
            emailEntry = new QLineEdit(this);
            emailEntry->setObjectName(QStringLiteral("emailEntry"));
            LimitCharacters(emailEntry, kMaxTextCharacters);
            emailEntry->setPlaceholderText(QStringLiteral("E-mail"));
            emailNote = new QLineEdit(this);
            emailNote->setObjectName(QStringLiteral("emailNote"));
            LimitCharacters(emailNote, kMaxTextCharacters);
            emailNote->setPlaceholderText(QStringLiteral("Note"));
            addEmail = pairButton(QStringLiteral("+"), QStringLiteral("Add the e-mail to the list"), "addEmail");
            removeEmail = pairButton(QStringLiteral("−"), QStringLiteral("Take the selected e-mail back for correction"),
                                     "removeEmail");
            connect(addEmail, &QPushButton::clicked, this, &AddressPage::OnAddEmail);
            connect(removeEmail, &QPushButton::clicked, this, &AddressPage::OnRemoveEmail);
            connect(emailEntry, &QLineEdit::returnPressed, this, &AddressPage::OnAddEmail);
            connect(emailNote, &QLineEdit::returnPressed, this, &AddressPage::OnAddEmail);
            emailLabel->setBuddy(emailEntry);
            auto *add = addEmail;
            auto *remove = removeEmail;
            ig->addWidget(emailEntry, row, 0);
            ig->addWidget(emailNote, row, 1);
            ig->addWidget(add, row, 2);
            ig->addWidget(remove, row++, 3);
        }
        ig->addWidget(emails, row++, 0, 1, 4);
        layout->addWidget(infoGroup, 0, 1);
        // The two groups share the page's width evenly.
        layout->setColumnStretch(0, 1);
        layout->setColumnStretch(1, 1);
    }

    if (kind == View) {
        for (QPlainTextEdit *e : {name, street, town, other, notes})
            e->setReadOnly(true);
        zip->setReadOnly(true);
    }

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    QStyle *st = style();
    if (kind == New) {
        saveButton = new QPushButton(st->standardIcon(QStyle::SP_DialogApplyButton), QStringLiteral("&Insert"), this);
        clearButton = new QPushButton(st->standardIcon(QStyle::SP_DialogResetButton), QStringLiteral("C&lear"), this);
        connect(saveButton, &QPushButton::clicked, this, &AddressPage::OnInsert);
        connect(clearButton, &QPushButton::clicked, this, &AddressPage::OnClear);
    } else if (kind == Edit) {
        saveButton = new QPushButton(st->standardIcon(QStyle::SP_DialogApplyButton), QStringLiteral("Mo&dify"), this);
        clearButton =
            new QPushButton(st->standardIcon(QStyle::SP_DialogResetButton), QStringLiteral("&Reset to defaults"), this);
        connect(saveButton, &QPushButton::clicked, this, &AddressPage::OnModify);
        connect(clearButton, &QPushButton::clicked, this, [this] {
            Clear();
            FillFromSelection();
        });
    } else if (kind == Quick) {
        clearButton = new QPushButton(st->standardIcon(QStyle::SP_DialogResetButton), QStringLiteral("C&lear"), this);
        connect(clearButton, &QPushButton::clicked, this, [this] {
            Clear();
            name->setFocus();
        });
    }
    if (saveButton)
        buttons->addWidget(saveButton);
    if (clearButton)
        buttons->addWidget(clearButton);
    layout->addLayout(buttons, 1, 0, 1, 2);
    layout->setRowStretch(2, 1);
    setReadingTabOrder();
}

QPushButton *AddressPage::pairButton(const QString &text, const QString &tip, const char *objectName)
{
    auto *b = new QPushButton(text, this);
    b->setObjectName(QString::fromLatin1(objectName));
    b->setToolTip(tip);
    const int side = b->fontMetrics().height() + 10;
    b->setFixedSize(side, side);
    return b;
}

QList<QWidget *> AddressPage::TabOrder() const
{
    QList<QWidget *> order;
    for (QWidget *w : std::initializer_list<QWidget *>{name, street, town, zip, other, notes, phoneEntry, phoneNote,
                                                        addPhone, removePhone, phones, emailEntry, emailNote, addEmail,
                                                        removeEmail, emails, saveButton, clearButton})
        if (w)
            order << w;
    return order;
}

void AddressPage::setReadingTabOrder()
{
    // Reading order: the address from top to bottom, then the additional
    // information with each entry row before its list, then the buttons.
    const QList<QWidget *> order = TabOrder();
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void AddressPage::Clear()
{
    for (QPlainTextEdit *e : {name, street, town, other, notes})
        if (e)
            e->clear();
    zip->clear();
    for (QLineEdit *e : {phoneEntry, phoneNote, emailEntry, emailNote})
        if (e)
            e->clear();
    if (phones)
        phones->clear();
    if (emails)
        emails->clear();
    m_id = -1;
    m_folder = -1;
    m_asRead.reset();
}

void AddressPage::Fill(AddressEntry *entry)
{
    Clear();
    if (!entry)
        return;
    m_id = entry->id;
    m_folder = entry->folder;
    ShowStoredText(name, entry->name);
    ShowStoredText(street, entry->street);
    ShowStoredText(town, entry->town);
    zip->setText(entry->zip);
    ShowStoredText(other, entry->country);
    if (notes)
        ShowStoredText(notes, entry->note);
    if (!phones)
        return;
    // The phone and e-mail lists are read once and then kept with the entry.
    DbOperation(m_db, [&] {
        if (!entry->phones)
            entry->phones = LoadPhones(m_db, entry->id);
        phones->setPairs(*entry->phones);
        if (!entry->emails)
            entry->emails = LoadEmails(m_db, entry->id);
        emails->setPairs(*entry->emails);
    });
    m_asRead = *entry;
}

void AddressPage::FillFromSelection()
{
    Fill(m_panes ? m_panes->SelectedAddress(true) : nullptr);
}

void AddressPage::Activated()
{
    switch (m_kind) {
    case View:
        FillFromSelection();
        break;
    case Edit:
        FillFromSelection();
        name->setFocus();
        break;
    case New:
        Clear();
        name->setFocus();
        break;
    case Quick:
        break; // keeps its values
    }
}

void AddressPage::Deactivated()
{
    if (m_kind != Quick)
        Clear();
}

AddressEntry AddressPage::pageValues() const
{
    AddressEntry e;
    e.id = m_id;
    e.folder = m_folder;
    e.name = StoredText(name);
    e.street = StoredText(street);
    e.town = StoredText(town);
    e.zip = zip->text();
    e.country = StoredText(other);
    e.note = notes ? StoredText(notes) : QString();
    return e;
}

void AddressPage::trimAll()
{
    for (QPlainTextEdit *e : {name, street, town, other, notes})
        if (e)
            trimmed(e);
    for (QLineEdit *e : {zip, phoneEntry, phoneNote, emailEntry, emailNote})
        if (e && e->text() != e->text().trimmed())
            e->setText(e->text().trimmed());
}

std::optional<AddressEntry> AddressPage::QuickAddress()
{
    trimAll();
    if (IsBlankText(StoredText(name))) {
        CTVError(2);
        name->setFocus();
        return std::nullopt;
    }
    if (IsBlankText(StoredText(town))) {
        CTVError(3);
        town->setFocus();
        return std::nullopt;
    }
    if (IsBlankText(zip->text())) {
        CTVError(4);
        zip->setFocus();
        return std::nullopt;
    }
    AddressEntry e = pageValues();
    e.id = -1;
    e.folder = -1;
    e.note.clear();
    return e;
}

bool AddressPage::validate(std::int32_t &folder, bool edited)
{
    trimAll();
    const AddressEntry v = pageValues();
    if (IsBlankText(v.name)) {
        CTVError(2);
        name->setFocus();
        return false;
    }
    if (IsBlankText(v.town)) {
        CTVError(3);
        town->setFocus();
        return false;
    }
    if (IsBlankText(v.zip)) {
        CTVError(4);
        zip->setFocus();
        return false;
    }
    const std::pair<QString, QWidget *> fields[] = {{v.name, name},     {v.street, street}, {v.town, town},
                                                     {v.zip, zip},       {v.country, other}, {v.note, notes}};
    for (const auto &[text, widget] : fields)
        if (ContainsDisallowed(text)) {
            CTVError(11, TVB_OK, DisallowedCharactersText());
            widget->setFocus();
            return false;
        }
    if (!edited) {
        folder = m_panes ? m_panes->TargetFolder() : -1;
        if (folder == -1) {
            CTVError(18);
            return false;
        }
    } else {
        folder = m_folder;
    }
    bool duplicate = false;
    if (!DbOperation(m_db, [&] {
            duplicate = HasDuplicateAddress(m_db, v.name, v.street, v.town, folder, edited ? m_id : -1);
        }))
        return false;
    if (duplicate && CTVQuestion::Show(edited ? 23 : 10, TVB_YESNO) != TVB_YES)
        return false;
    return true;
}

bool AddressPage::OnInsert()
{
    std::int32_t folder = -1;
    if (!validate(folder, false))
        return false;
    AddressEntry v = pageValues();
    const ValueNoteList phoneList = phones->pairs(), emailList = emails->pairs();
    std::int32_t id = -1;
    if (!DbOperation(m_db, [&] { id = SaveNewAddress(m_db, v, phoneList, emailList, folder); }))
        return false;
    v.id = id;
    v.folder = folder;
    v.phones = phoneList;
    v.emails = emailList;
    if (m_panes)
        m_panes->AddressAdded(v);
    Clear();
    name->setFocus();
    return true;
}

bool AddressPage::OnModify()
{
    std::int32_t folder = -1;
    if (!validate(folder, true))
        return false;
    AddressEntry v = pageValues();
    const ValueNoteList phoneList = phones->pairs(), emailList = emails->pairs();
    const AddressEntry *asRead = m_asRead && m_asRead->id == v.id ? &*m_asRead : nullptr;
    if (!DbOperation(m_db, [&] { SaveEditedAddress(m_db, v, phoneList, emailList, asRead); })) {
        // What is stored now becomes what this page has seen: saving again
        // replaces it on purpose. The page keeps what was entered.
        DbOperation(m_db, [&] {
            CSetAddress a(&m_db);
            a.Open(SqlFormat("SELECT * FROM ADDRESS WHERE ID_ADDRESS_ADDRESS = %d", v.id));
            if (a.IsEOF()) {
                m_asRead.reset();
                return;
            }
            AddressEntry now = AddressFromRecord(a);
            now.phones = LoadPhones(m_db, v.id);
            now.emails = LoadEmails(m_db, v.id);
            m_asRead = now;
        });
        return false;
    }
    if (m_asRead) {
        m_asRead = v;
        m_asRead->phones = phoneList;
        m_asRead->emails = emailList;
    }
    v.phones = phoneList;
    v.emails = emailList;
    if (m_panes)
        m_panes->AddressUpdated(v);
    CTVInfo(24);
    return true;
}

void AddressPage::OnClear()
{
    Clear();
    name->setFocus();
}

void AddressPage::addPair(QLineEdit *value, QLineEdit *note, ValueNoteListWidget *list, int emptyMessage,
                          int duplicateMessage)
{
    value->setText(value->text().trimmed());
    note->setText(note->text().trimmed());
    if (value->text().isEmpty()) {
        CTVError::Show(emptyMessage, TVB_OK);
        value->setFocus();
        return;
    }
    for (QLineEdit *field : {value, note})
        if (ContainsDisallowed(field->text())) {
            CTVError(11, TVB_OK, DisallowedCharactersText());
            field->setFocus();
            return;
        }
    if (list->containsValue(value->text())) {
        CTVError::Show(duplicateMessage, TVB_OK);
        value->setFocus();
        return;
    }
    list->insertTop(value->text(), note->text());
    value->clear();
    note->clear();
    value->setFocus();
}

void AddressPage::removePair(QLineEdit *value, QLineEdit *note, ValueNoteListWidget *list, int noneMessage)
{
    QTreeWidgetItem *item = list->currentItem();
    if (!item || !item->isSelected()) {
        CTVError::Show(noneMessage, TVB_OK);
        return;
    }
    value->setText(item->text(0));
    note->setText(item->text(1));
    delete item;
    value->setFocus();
}

void AddressPage::OnAddPhone() { addPair(phoneEntry, phoneNote, phones, 5, 19); }
void AddressPage::OnAddEmail() { addPair(emailEntry, emailNote, emails, 6, 20); }
void AddressPage::OnRemovePhone() { removePair(phoneEntry, phoneNote, phones, 21); }
void AddressPage::OnRemoveEmail() { removePair(emailEntry, emailNote, emails, 22); }

void AddressPage::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_F1) {
        emit helpRequested(m_kind == Quick ? 24 : 14);
        return;
    }
    QWidget::keyPressEvent(event);
}
