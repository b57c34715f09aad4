#include "printformdialog.h"

#include "commands.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

QString PrintListKind(ReportPrintForm form)
{
    switch (form) {
    case ReportPrintForm::Labels: return QStringLiteral("labels");
    case ReportPrintForm::Envelopes: return QStringLiteral("envelopes");
    case ReportPrintForm::Printout: break;
    }
    return QString();
}

PrintFormDialog::PrintFormDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("printFormDialog"));
    setWindowTitle(QStringLiteral("Printing printout data"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Choose the form of printing of the displayed addresses."), this));
    m_printout = new QRadioButton(QStringLiteral("Printout"), this);
    m_printout->setObjectName(QStringLiteral("formPrintout"));
    m_labels = new QRadioButton(QStringLiteral("Address labels"), this);
    m_labels->setObjectName(QStringLiteral("formLabels"));
    m_envelopes = new QRadioButton(QStringLiteral("Envelopes"), this);
    m_envelopes->setObjectName(QStringLiteral("formEnvelopes"));
    for (QRadioButton *b : {m_printout, m_labels, m_envelopes})
        layout->addWidget(b);
    m_printout->setChecked(true);
    // A form whose printing is not part of this program cannot be chosen.
    m_labels->setEnabled(HasPrintListRunner(PrintListKind(ReportPrintForm::Labels)));
    m_envelopes->setEnabled(HasPrintListRunner(PrintListKind(ReportPrintForm::Envelopes)));

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("buttons"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &PrintFormDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &PrintFormDialog::reject);
}

ReportPrintForm PrintFormDialog::Choice() const
{
    if (m_labels->isChecked() && m_labels->isEnabled())
        return ReportPrintForm::Labels;
    if (m_envelopes->isChecked() && m_envelopes->isEnabled())
        return ReportPrintForm::Envelopes;
    return ReportPrintForm::Printout;
}

void PrintFormDialog::SetChoice(ReportPrintForm form)
{
    switch (form) {
    case ReportPrintForm::Printout: m_printout->setChecked(true); break;
    case ReportPrintForm::Labels: m_labels->setChecked(true); break;
    case ReportPrintForm::Envelopes: m_envelopes->setChecked(true); break;
    }
}
