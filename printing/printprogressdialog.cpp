#include "printprogressdialog.h"

#include "tvstrings.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
bool g_abort = false;
}

bool PrintAbortRequested() { return g_abort; }
void SetPrintAbortRequested(bool abort) { g_abort = abort; }

bool PrintAbortProc()
{
    if (!g_abort)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    return !g_abort;
}

PrintProgressDialog::PrintProgressDialog(QWidget *owner, const QString &status) : QDialog(owner)
{
    g_abort = false;
    setWindowTitle(QStringLiteral("Printing in progress\u2026"));
    setModal(false);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("If you want to abort printing, press the button."), this));
    m_status = new QLabel(this);
    m_status->setAlignment(Qt::AlignCenter);
    m_status->setMinimumWidth(260);
    layout->addWidget(m_status);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    buttons->addWidget(m_cancel);
    buttons->addStretch();
    layout->addLayout(buttons);
    connect(m_cancel, &QPushButton::clicked, this, &PrintProgressDialog::reject);
    SetStatusText(status);
    show();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void PrintProgressDialog::SetStatusText(const QString &status)
{
    m_status->setText(TVLoadStringResource(44) + u' ' + status);
}

QString PrintProgressDialog::StatusLine() const
{
    return m_status->text();
}

void PrintProgressDialog::reject()
{
    g_abort = true;
    QDialog::reject();
}
