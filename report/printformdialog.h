#pragma once
// "Printing printout data": how the report's rows are printed — as the
// printout (the default), as address labels or as envelopes. The last two
// are offered only when the label or envelope printing is part of the
// program (a print-list runner is registered for them).
#include <QDialog>

class QRadioButton;

enum class ReportPrintForm { Printout, Labels, Envelopes };

class PrintFormDialog : public QDialog {
public:
    explicit PrintFormDialog(QWidget *parent = nullptr);

    ReportPrintForm Choice() const;
    void SetChoice(ReportPrintForm form);

    QRadioButton *printoutButton() const { return m_printout; }
    QRadioButton *labelsButton() const { return m_labels; }
    QRadioButton *envelopesButton() const { return m_envelopes; }

private:
    QRadioButton *m_printout, *m_labels, *m_envelopes;
};

// The print-list runner kind of a form ("labels", "envelopes"); empty for
// the printout.
QString PrintListKind(ReportPrintForm form);
