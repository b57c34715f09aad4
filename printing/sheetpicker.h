#pragma once
// LabelSheetPicker: a label sheet drawn to fit its window, one button per
// label, on which the user clicks the label that printing starts from.
//
// The sheet (right and bottom margins taken equal to A and D) is fitted
// into the client rectangle keeping its proportions and centred; each of
// the distances A–F becomes trunc(value ÷ s + 0.2) pixels, s being the
// millimetres per pixel. The sheet area is light yellow (0x00B4FFFF); a
// label is white, yellow (0x0000FFFF) while the mouse is over it, outlined
// in 0x0000DCDC, and the selected one shows a green (0x0000FF00) cross three
// pixels wide from corner to corner of its rectangle inset by 3 pixels.
// Exactly one label is selected; label 0 at first.
#include "sizes.h"

#include <QAbstractButton>
#include <QRect>
#include <QWidget>
#include <vector>

// Where the sheet and its labels lie in a client rectangle.
struct SheetPickerGeometry {
    QRect sheet;              // the fitted sheet
    std::vector<QRect> labels; // label index → rectangle
    double mmPerPixel = 0;
};
SheetPickerGeometry FitLabelSheet(const LabelSize &size, const QSize &client);

// One label of the picker.
class SheetLabelButton : public QAbstractButton {
    Q_OBJECT
public:
    SheetLabelButton(int index, QWidget *parent);
    int Index() const { return m_index; }
    bool IsHovered() const { return m_hover; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    int m_index;
    bool m_hover = false;
};

class LabelSheetPicker : public QWidget {
    Q_OBJECT
public:
    explicit LabelSheetPicker(const LabelSize &size, QWidget *parent = nullptr);

    // The selected label index.
    int Selected() const { return m_selected; }
    void Select(int index);
    int LabelCount() const;
    // The button of a label; created on the first paint (null before).
    SheetLabelButton *LabelButton(int index) const;
    const SheetPickerGeometry &Geometry() const { return m_geometry; }
    // Lays the sheet out now (the first paint does it otherwise).
    void EnsureLaidOut();

    QSize sizeHint() const override { return QSize(300, 400); }

signals:
    void selectionChanged(int index);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void layoutLabels();

    LabelSize m_size;
    SheetPickerGeometry m_geometry;
    std::vector<SheetLabelButton *> m_buttons;
    int m_selected = 0;
    bool m_laidOut = false;
};
