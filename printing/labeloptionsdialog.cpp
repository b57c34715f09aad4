#include "labeloptionsdialog.h"

#include "dberror.h"
#include "dialogparts.h"
#include "testprint.h"
#include "tvmessage.h"
#include "tvparse.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

LabelPrintOptionsDialog::LabelPrintOptionsDialog(QWidget *parent, CDatabase &db) : QDialog(parent), m_db(db)
{
    setWindowTitle(QStringLiteral("Printing labels"));
    auto *layout = new QVBoxLayout(this);
    auto *heading = new QLabel(QStringLiteral("Enter print options"), this);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    layout->addWidget(heading);

    auto *appearance = new QGroupBox(QStringLiteral("Appearance"), this);
    auto *form = new QFormLayout(appearance);
    m_sizeCombo = new QComboBox(appearance);
    m_styleCombo = new QComboBox(appearance);
    m_sizeCombo->setMinimumWidth(300);
    form->addRow(QStringLiteral("Label dimensions"), m_sizeCombo);
    form->addRow(QStringLiteral("Label style"), m_styleCombo);
    layout->addWidget(appearance);

    auto *copies = new QGroupBox(QStringLiteral("Multiple copies"), this);
    auto *copiesForm = new QFormLayout(copies);
    m_copiesField = new QLineEdit(QStringLiteral("1"), copies);
    m_copiesField->setMaxLength(10);
    copiesForm->addRow(QStringLiteral("Number of copies"), m_copiesField);
    layout->addWidget(copies);

    layout->addWidget(NewCollateGroup(this, m_collateYes, m_collateNo));
    QDialogButtonBox *buttons = OkCancelButtons(this, m_ok);
    // The outlines of the chosen sheet on plain paper, before the real labels.
    m_test = buttons->addButton(QStringLiteral("&Test print"), QDialogButtonBox::ActionRole);
    connect(m_test, &QPushButton::clicked, this, &LabelPrintOptionsDialog::TestPrint);
    layout->addWidget(buttons);

    // The last pair used; an empty table gives -1, -1 and a failed read
    // preselects nothing.
    LabelPair pair;
    DbOperation(db, [&] { pair = ReadLabelPair(db); });

    // Read in descending name order, each entry put first: ascending.
    const bool sizesRead = DbOperation(db, [&] {
        const auto rows = ReadLabelSizes(db, QStringLiteral("SELECT * FROM LABSIZE ORDER BY NAME DESC"));
        m_sizes.assign(rows.rbegin(), rows.rend());
    });
    if (!sizesRead)
        return;
    const bool stylesRead = DbOperation(db, [&] {
        const auto rows = ReadLabelStyles(db, QStringLiteral("SELECT * FROM LABSTYLE ORDER BY LABSTYLE_NAME DESC"));
        m_styles.assign(rows.rbegin(), rows.rend());
    });
    if (!stylesRead)
        return;

    FillNameCombo(m_sizeCombo, m_sizes, pair.size);
    FillNameCombo(m_styleCombo, m_styles, pair.style);
    m_usable = true;
}

int LabelPrintOptionsDialog::exec()
{
    if (!m_usable)
        return QDialog::Rejected;
    return QDialog::exec();
}

bool LabelPrintOptionsDialog::TestPrint()
{
    const int size = m_sizeCombo->currentIndex();
    if (size < 0 || size >= int(m_sizes.size())) {
        CTVError::Show(89, TVB_OK);
        m_sizeCombo->setFocus();
        return false;
    }
    return RunLabelTestPrint(this, m_db, m_sizes[std::size_t(size)]);
}

void LabelPrintOptionsDialog::accept()
{
    const int size = m_sizeCombo->currentIndex();
    if (size < 0 || size >= int(m_sizes.size())) {
        CTVError::Show(89, TVB_OK);
        m_sizeCombo->setFocus();
        return;
    }
    const int style = m_styleCombo->currentIndex();
    if (style < 0 || style >= int(m_styles.size())) {
        CTVError::Show(90, TVB_OK);
        m_styleCombo->setFocus();
        return;
    }
    std::int32_t copies = 0;
    if (!TVIsLong(m_copiesField->text(), copies, 1, 1000)) {
        CTVError::Show(91, TVB_OK);
        m_copiesField->setFocus();
        m_copiesField->selectAll();
        return;
    }
    m_size = m_sizes[std::size_t(size)];
    m_style = m_styles[std::size_t(style)];
    m_copies = copies;
    m_collate = m_collateYes->isChecked();
    WriteLabelPair(m_db, LabelPair{m_size.id, m_style.id});
    QDialog::accept();
}
