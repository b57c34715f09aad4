#pragma once
// "Creating a printout": the report's criteria. Six texts (multi-line ones
// keep their line breaks as CR LF), the read-only "Address location" chosen
// with the folder picker ("...") and emptied with the clear button, "Exact
// match" (off) and "Unique addresses only" (on). OK trims the texts (and
// shows them trimmed), refuses a text holding a disallowed character with
// message 11 and the focus in that field (checked in the order Other
// (country...), Name, Street, Town/City, ZIP, Notes), builds the statement
// and closes; Cancel ends the command.
#include "reportquery.h"

#include <QDialog>

class CDatabase;
class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class ReportOptionsDialog : public QDialog {
public:
    explicit ReportOptionsDialog(CDatabase &db, QWidget *parent = nullptr);

    // The criteria as the dialog holds them.
    ReportCriteria Criteria() const;
    // The statement built by the last successful OK.
    QString Query() const { return m_query; }

    // "...": the folder picker, its choice replacing the location.
    void ChooseLocation();
    // The clear button: no location (every folder).
    void ClearLocation();
    // Sets the location as the picker would (folder, flag, text, set).
    void SetLocation(std::int32_t folder, bool includeSubfolders, const QString &text,
                     std::set<std::int32_t> folders);

    void accept() override;

    QPlainTextEdit *nameEdit() const { return m_name; }
    QPlainTextEdit *streetEdit() const { return m_street; }
    QPlainTextEdit *townEdit() const { return m_town; }
    QLineEdit *zipEdit() const { return m_zip; }
    QPlainTextEdit *countryEdit() const { return m_country; }
    QPlainTextEdit *noteEdit() const { return m_note; }
    QLineEdit *locationEdit() const { return m_location; }
    QPushButton *chooseButton() const { return m_choose; }
    QPushButton *clearButton() const { return m_clear; }
    QCheckBox *exactBox() const { return m_exact; }
    QCheckBox *uniqueBox() const { return m_unique; }
    QWidget *fieldWidget(SearchField field) const;

private:
    CDatabase &m_db;
    QPlainTextEdit *m_name, *m_street, *m_town, *m_country, *m_note;
    QLineEdit *m_zip, *m_location;
    QPushButton *m_choose, *m_clear;
    QCheckBox *m_exact, *m_unique;
    std::set<std::int32_t> m_folders;
    std::int32_t m_folder = -1;
    bool m_includeSubfolders = false;
    QString m_query;
};
