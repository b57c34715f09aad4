#include "firstlabeldialog.h"

#include "sheetpicker.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

FirstLabelDialog::FirstLabelDialog(QWidget *parent, const LabelSize &size) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("First label to print"));
    auto *layout = new QVBoxLayout(this);
    auto *heading = new QLabel(QStringLiteral("Choose the first label to print."), this);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    layout->addWidget(heading);
    layout->addWidget(new QLabel(QStringLiteral("Click to select the label you want to start printing from\u2026"), this));

    m_picker = new LabelSheetPicker(size, this);
    m_picker->setFixedSize(300, 400);
    layout->addWidget(m_picker, 0, Qt::AlignHCenter);

    auto *box = new QDialogButtonBox(this);
    m_ok = box->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    m_ok->setDefault(true);
    box->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(box);
}

int FirstLabelDialog::FirstLabel() const
{
    return m_picker->Selected();
}
