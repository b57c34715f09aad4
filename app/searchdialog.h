#pragma once
// "Address search": six criteria, Exact match, Find, the list of addresses
// found, and View or Edit to open one of them on the main window's page.
#include "addresstable.h"
#include "search.h"

#include <QDialog>
#include <functional>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class CAddressSearchDlg : public QDialog {
public:
    // Opens an address on a page (180 View, 182 Edit address) and selects it
    // in the address list pane.
    using OpenAddress = std::function<void(std::int32_t address, int page)>;

    CAddressSearchDlg(CDatabase &db, OpenAddress open, QWidget *parent = nullptr);

    // The criteria as the fields hold them (line breaks stored as CR LF).
    SearchCriteria Criteria() const;
    // Find: trim and show the criteria, check them, run the search and list
    // what it found (each row read goes to the top of the list).
    void Find();
    // View and Edit.
    void Open(int page);

    QPlainTextEdit *nameEdit() const { return m_name; }
    QPlainTextEdit *streetEdit() const { return m_street; }
    QPlainTextEdit *townEdit() const { return m_town; }
    QLineEdit *zipEdit() const { return m_zip; }
    QPlainTextEdit *countryEdit() const { return m_country; }
    QPlainTextEdit *noteEdit() const { return m_note; }
    QCheckBox *exactBox() const { return m_exact; }
    AddressTableView *resultList() const { return m_list; }
    QWidget *fieldWidget(SearchField field) const;
    // The statement of the last Find.
    QString LastStatement() const { return m_lastStatement; }

private:
    CDatabase &m_db;
    OpenAddress m_open;
    QPlainTextEdit *m_name, *m_street, *m_town, *m_country, *m_note;
    QLineEdit *m_zip;
    QCheckBox *m_exact;
    AddressTableView *m_list;
    QString m_lastStatement;
};
