#pragma once
// "First label to print": the chosen label sheet as a LabelSheetPicker; OK
// gives the label index the job starts from (0 when the user clicked none).
#include "sizes.h"

#include <QDialog>

class LabelSheetPicker;
class QPushButton;

class FirstLabelDialog : public QDialog {
    Q_OBJECT
public:
    FirstLabelDialog(QWidget *parent, const LabelSize &size);

    // The selected label index (row × N + column).
    int FirstLabel() const;
    LabelSheetPicker *Picker() const { return m_picker; }
    QPushButton *OkButton() const { return m_ok; }

private:
    LabelSheetPicker *m_picker;
    QPushButton *m_ok;
};
