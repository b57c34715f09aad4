#include "sizelistdialog.h"

#include "dberror.h"
#include "sizedialogs.h"
#include "tvmessage.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

SizeListDialog::SizeListDialog(QWidget *parent, CDatabase &db, Sizes sizes, Action action)
    : QDialog(parent), m_db(db), m_sizes(sizes), m_action(action)
{
    const bool envelope = sizes == Sizes::Envelope;
    const bool edit = action == Action::Edit;
    if (envelope) {
        setWindowTitle(edit ? QStringLiteral("Modifying envelope dimensions") : QStringLiteral("Deleting envelope dimensions"));
    } else {
        setWindowTitle(edit ? QStringLiteral("Modifying label dimensions") : QStringLiteral("Deleting label dimensions"));
    }
    const QString heading = envelope ? (edit ? QStringLiteral("Choose the envelope dimensions you want to modify.")
                                             : QStringLiteral("Choose the envelope dimensions you want to delete."))
                                     : (edit ? QStringLiteral("Choose the label dimensions you want to modify.")
                                             : QStringLiteral("Choose the label dimensions you want to delete."));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(heading, this));

    m_list = new QTableWidget(0, 1, this);
    m_list->setHorizontalHeaderLabels({QStringLiteral("Name")});
    m_list->setColumnWidth(0, 385);
    m_list->horizontalHeader()->setStretchLastSection(true);
    m_list->verticalHeader()->hide();
    m_list->setShowGrid(true);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setMinimumSize(410, 240);
    layout->addWidget(m_list);

    auto *box = new QDialogButtonBox(this);
    const QString okText = edit ? QStringLiteral("OK") : envelope ? QStringLiteral("Delete") : QStringLiteral("  Delete");
    m_ok = box->addButton(okText, QDialogButtonBox::AcceptRole);
    m_ok->setDefault(true);
    box->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(box);
    if (edit)
        connect(m_list, &QTableWidget::cellDoubleClicked, this, [this] { accept(); });

    // Read in descending name order, each row put at the top: the list reads
    // in ascending order.
    m_loaded = DbOperation(db, [&] {
        if (envelope) {
            const auto rows = ReadEnvelopeSizes(db, QStringLiteral("SELECT * FROM ENVSIZE ORDER BY NAME DESC"));
            m_envelopes.assign(rows.rbegin(), rows.rend());
        } else {
            const auto rows = ReadLabelSizes(db, QStringLiteral("SELECT * FROM LABSIZE ORDER BY NAME DESC"));
            m_labels.assign(rows.rbegin(), rows.rend());
        }
    });
    const std::size_t count = envelope ? m_envelopes.size() : m_labels.size();
    m_list->setRowCount(int(count));
    for (std::size_t i = 0; i < count; ++i)
        m_list->setItem(int(i), 0, new QTableWidgetItem(envelope ? m_envelopes[i].name : m_labels[i].name));
}

int SizeListDialog::exec()
{
    if (!m_loaded)
        return QDialog::Rejected;
    return QDialog::exec();
}

QStringList SizeListDialog::Names() const
{
    QStringList names;
    for (int r = 0; r < m_list->rowCount(); ++r)
        names << m_list->item(r, 0)->text();
    return names;
}

bool SizeListDialog::SelectName(const QString &name)
{
    for (int r = 0; r < m_list->rowCount(); ++r)
        if (m_list->item(r, 0)->text() == name) {
            m_list->selectRow(r);
            return true;
        }
    return false;
}

int SizeListDialog::selectedIndex() const
{
    const auto rows = m_list->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void SizeListDialog::accept()
{
    const int index = selectedIndex();
    const bool envelope = m_sizes == Sizes::Envelope;
    if (index < 0) {
        if (m_action == Action::Edit)
            CTVError(envelope ? 58 : 53);
        else
            CTVError(envelope ? 59 : 52);
        m_list->setFocus();
        return;
    }
    if (m_action == Action::Edit)
        editSelected(index);
    else
        deleteSelected(index);
}

void SizeListDialog::editSelected(int index)
{
    int result;
    if (m_sizes == Sizes::Envelope) {
        EnvelopeSizeDialog dialog(this, m_db, &m_envelopes[std::size_t(index)]);
        result = dialog.exec();
    } else {
        LabelSizeDialog dialog(this, m_db, &m_labels[std::size_t(index)]);
        result = dialog.exec();
    }
    done(result == QDialog::Accepted ? QDialog::Accepted : QDialog::Rejected);
}

void SizeListDialog::deleteSelected(int index)
{
    const bool envelope = m_sizes == Sizes::Envelope;
    if (CTVQuestion::Show(envelope ? 60 : 61, TVB_YESNO) != TVB_YES)
        return;
    const bool deleted = envelope ? DeleteEnvelopeSize(m_db, m_envelopes[std::size_t(index)].id)
                                  : DeleteLabelSize(m_db, m_labels[std::size_t(index)].id);
    done(deleted ? QDialog::Accepted : QDialog::Rejected);
}
