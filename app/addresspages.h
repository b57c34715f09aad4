#pragma once
// The four address pages of the main window: View (read-only), New address,
// Edit address and Quick printing.
#include "addressentry.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <optional>

class AddressPanes;
class CDatabase;

// A list of (value, note) pairs: phones or e-mails.
class ValueNoteListWidget : public QTreeWidget {
    Q_OBJECT
public:
    ValueNoteListWidget(const QString &valueTitle, bool emails, QWidget *parent = nullptr);
    ValueNoteList pairs() const;
    void setPairs(const ValueNoteList &pairs);
    void insertTop(const QString &value, const QString &note);
    bool containsValue(const QString &value) const;
    // Sorts ascending by a column without regard to case.
    void sortByColumn(int column);
    void copySelected() const;
    void sendSelected() const;

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    bool m_emails;
};

class AddressPage : public QWidget {
    Q_OBJECT
public:
    enum Kind { View = 180, New = 181, Edit = 182, Quick = 183 };
    AddressPage(Kind kind, CDatabase &db, AddressPanes *panes, QWidget *parent = nullptr);

    Kind kind() const { return m_kind; }
    // Fills the page from an address (its phone and e-mail caches are filled
    // from the database on first use); null takes the current selection.
    void Fill(AddressEntry *entry);
    void FillFromSelection();
    void Clear();
    void Activated();
    void Deactivated();
    // The Quick printing page's address after its checks; nullopt after an error.
    std::optional<AddressEntry> QuickAddress();

    std::int32_t shownAddress() const { return m_id; }
    std::int32_t shownFolder() const { return m_folder; }

    // Fields, for the main window's edit commands and the tests.
    QPlainTextEdit *name, *street, *town, *other, *notes = nullptr;
    QLineEdit *zip;
    ValueNoteListWidget *phones = nullptr, *emails = nullptr;
    QLineEdit *phoneEntry = nullptr, *phoneNote = nullptr, *emailEntry = nullptr, *emailNote = nullptr;
    QPushButton *saveButton = nullptr, *clearButton = nullptr;
    QPushButton *addPhone = nullptr, *removePhone = nullptr, *addEmail = nullptr, *removeEmail = nullptr;
    // The page's controls in the order Tab walks them.
    QList<QWidget *> TabOrder() const;

    // The button actions of Part-level behaviour, callable from tests.
    bool OnInsert();
    bool OnModify();
    void OnClear();
    void OnAddPhone();
    void OnAddEmail();
    void OnRemovePhone();
    void OnRemoveEmail();

signals:
    void helpRequested(int topic);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QPushButton *pairButton(const QString &text, const QString &tip, const char *objectName);
    void setReadingTabOrder();
    AddressEntry pageValues() const;
    void trimAll();
    bool validate(std::int32_t &folder, bool edited);
    void addPair(QLineEdit *value, QLineEdit *note, ValueNoteListWidget *list, int emptyMessage, int duplicateMessage);
    void removePair(QLineEdit *value, QLineEdit *note, ValueNoteListWidget *list, int noneMessage);

    Kind m_kind;
    CDatabase &m_db;
    AddressPanes *m_panes;
    std::int32_t m_id = -1;
    std::int32_t m_folder = -1;
    // The address as it was read when shown: a save does not overwrite
    // what another desk changed since.
    std::optional<AddressEntry> m_asRead;
};
