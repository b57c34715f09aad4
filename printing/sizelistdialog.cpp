#include "sizelistdialog.h"

#include "dberror.h"
#include "dialogparts.h"
#include "sizedialogs.h"
#include "tvmessage.h"

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

    m_list = NewNameList(this);
    layout->addWidget(m_list);

    const QString okText = edit ? QStringLiteral("OK") : envelope ? QStringLiteral("Delete") : QStringLiteral("  Delete");
    layout->addWidget(OkCancelButtons(this, m_ok, okText));
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
    QStringList names;
    if (envelope) {
        for (const EnvelopeSize &size : m_envelopes)
            names << size.name;
    } else {
        for (const LabelSize &size : m_labels)
            names << size.name;
    }
    FillNameList(m_list, names);
}

int SizeListDialog::exec()
{
    if (!m_loaded)
        return QDialog::Rejected;
    return QDialog::exec();
}

QStringList SizeListDialog::Names() const
{
    return NameListNames(m_list);
}

bool SizeListDialog::SelectName(const QString &name)
{
    return SelectNameListRow(m_list, name);
}

int SizeListDialog::selectedIndex() const
{
    return SelectedNameListRow(m_list);
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
