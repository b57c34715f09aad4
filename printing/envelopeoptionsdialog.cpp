#include "envelopeoptionsdialog.h"

#include "dberror.h"
#include "dialogparts.h"
#include "testprint.h"
#include "tvmessage.h"
#include "tvparse.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

EnvelopePrintOptionsDialog::EnvelopePrintOptionsDialog(QWidget *parent, CDatabase &db) : QDialog(parent), m_db(db)
{
    setWindowTitle(QStringLiteral("Printing envelopes"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Enter print options"), this));

    auto *appearance = new QGroupBox(QStringLiteral("Appearance"), this);
    auto *form = new QFormLayout(appearance);
    m_sizes = new QComboBox(appearance);
    m_styles = new QComboBox(appearance);
    m_sizes->setMinimumWidth(260);
    form->addRow(QStringLiteral("Envelope dimensions"), m_sizes);
    form->addRow(QStringLiteral("Envelope style"), m_styles);
    layout->addWidget(appearance);

    auto *copiesGroup = new QGroupBox(QStringLiteral("Multiple copies"), this);
    auto *copiesLayout = new QVBoxLayout(copiesGroup);
    auto *copiesRow = new QHBoxLayout;
    m_copies = new QLineEdit(QStringLiteral("1"), copiesGroup);
    m_copies->setMaxLength(10);
    m_copies->setFixedWidth(80);
    auto *copiesLabel = new QLabel(QStringLiteral("Number of copies"), copiesGroup);
    copiesLabel->setBuddy(m_copies);
    copiesRow->addWidget(copiesLabel);
    copiesRow->addWidget(m_copies);
    copiesRow->addStretch(1);
    copiesLayout->addLayout(copiesRow);
    copiesLayout->addWidget(NewCollateGroup(copiesGroup, m_collateYes, m_collateNo));
    layout->addWidget(copiesGroup);
    QDialogButtonBox *buttons = OkCancelButtons(this, m_ok);
    // The outlines of the chosen envelope on plain paper, before the real one.
    m_test = buttons->addButton(QStringLiteral("&Test print"), QDialogButtonBox::ActionRole);
    connect(m_test, &QPushButton::clicked, this, &EnvelopePrintOptionsDialog::TestPrint);
    layout->addWidget(buttons);

    // Read in descending name order, each row put at the top: the lists
    // read in ascending order.
    m_loaded = DbOperation(db, [&] {
        const auto sizes = ReadEnvelopeSizes(db, QStringLiteral("SELECT * FROM ENVSIZE ORDER BY NAME DESC"));
        m_sizeRows.assign(sizes.rbegin(), sizes.rend());
        const auto styles =
            ReadEnvelopeStyles(db, QStringLiteral("SELECT * FROM ENVSTYLE ORDER BY ENVSTYLE_NAME DESC"));
        m_styleRows.assign(styles.rbegin(), styles.rend());
    });
    if (!m_loaded)
        return;
    const EnvelopePair pair = ReadEnvelopePair(db);
    FillNameCombo(m_sizes, m_sizeRows, pair.size);
    FillNameCombo(m_styles, m_styleRows, pair.style);
}

int EnvelopePrintOptionsDialog::exec()
{
    if (!m_loaded)
        return QDialog::Rejected;
    return QDialog::exec();
}

bool EnvelopePrintOptionsDialog::TestPrint()
{
    const int size = m_sizes->currentIndex();
    if (size < 0) {
        CTVError::Show(92, TVB_OK);
        m_sizes->setFocus();
        return false;
    }
    return RunEnvelopeTestPrint(this, m_db, m_sizeRows[std::size_t(size)]);
}

void EnvelopePrintOptionsDialog::accept()
{
    const int size = m_sizes->currentIndex();
    if (size < 0) {
        CTVError::Show(92, TVB_OK);
        m_sizes->setFocus();
        return;
    }
    const int style = m_styles->currentIndex();
    if (style < 0) {
        CTVError::Show(93, TVB_OK);
        m_styles->setFocus();
        return;
    }
    std::int32_t copies = 0;
    // Zero copies would print nothing: refused like any other invalid count.
    if (!TVIsLong(m_copies->text().trimmed(), copies, 1, 1000)) {
        CTVError::Show(94, TVB_OK);
        m_copies->setFocus();
        return;
    }
    m_size = m_sizeRows[std::size_t(size)];
    m_style = m_styleRows[std::size_t(style)];
    m_copyCount = copies;
    m_collate = m_collateYes->isChecked();
    WriteEnvelopePair(m_db, m_size.id, m_style.id);

    if (m_style.returnMode == RETURN_LOGO) {
        const int failure = LoadEnvelopeLogo(m_db, m_style.id, m_style.logo);
        if (failure) {
            CTVError::Show(failure, TVB_OK);
            reject();
            return;
        }
    }
    QDialog::accept();
}
