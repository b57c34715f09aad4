#pragma once
// The list dialogs of the Edit and Delete commands of envelope and label
// dimensions: one column "Name" listing every size in ascending name order.
// Edit opens the size dialog on the chosen size and closes with its result;
// Delete asks, then deletes the size and its calibrations in one
// transaction.
#include "sizes.h"

#include <QDialog>
#include <vector>

class CDatabase;
class QPushButton;
class QTableWidget;

class SizeListDialog : public QDialog {
    Q_OBJECT
public:
    enum class Sizes { Envelope, Label };
    enum class Action { Edit, Delete };

    SizeListDialog(QWidget *parent, CDatabase &db, Sizes sizes, Action action);

    // A list that could not be read (message shown) closes at once as cancelled.
    int exec() override;
    bool Loaded() const { return m_loaded; }

    QTableWidget *List() const { return m_list; }
    QPushButton *OkButton() const { return m_ok; }
    // The names in the order shown.
    QStringList Names() const;
    // Selects the row showing `name`; false when there is none.
    bool SelectName(const QString &name);

    void accept() override;

private:
    int selectedIndex() const;
    void editSelected(int index);
    void deleteSelected(int index);

    CDatabase &m_db;
    Sizes m_sizes;
    Action m_action;
    bool m_loaded = false;
    std::vector<EnvelopeSize> m_envelopes; // in list order
    std::vector<LabelSize> m_labels;       // in list order
    QTableWidget *m_list = nullptr;
    QPushButton *m_ok = nullptr;
};
