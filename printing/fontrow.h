#pragma once
// One font row of the style dialogs: a caption, a read-only field with the
// font's description ("Times New Roman, 12pt, bold, italic"), a "Change..."
// button that opens the font dialog with a colour choice, and a preview box
// that paints message 66 "This is a sample text" in the font and colour on
// white. The FontSpec height is in tenths of a point: 10.5 pt is stored as
// 105.
#include "fontspec.h"

#include <QDialog>
#include <QFont>
#include <QWidget>
#include <functional>

class QDoubleSpinBox;
class QFontDialog;
class QLabel;
class QLineEdit;
class QPushButton;

// "%s, %dpt" with the face name and height ÷ 10 (integer division), then
// ", " and message 62 (bold, weight exactly 700), 63 (italic), 64
// (underline), 65 (strikeout) for what is set.
QString FontDescription(const FontSpec &spec);

// The Qt font the dialogs show for a spec at the given point size (the
// spec's own tenths).
QFont ScreenFontFromSpec(const FontSpec &spec);
// A spec from the font dialog's choice: face (cut to 31 characters), weight,
// italic, underline, strike-out, the height as the point size in tenths
// (rounded), the colour; the other LOGFONT members kept from `base`.
FontSpec SpecFromFont(const QFont &font, std::uint32_t colorref, const FontSpec &base);

// The preview box.
class FontPreview : public QWidget {
    Q_OBJECT
public:
    explicit FontPreview(QWidget *parent = nullptr);
    void SetSpec(const FontSpec &spec);
    const FontSpec &Spec() const { return m_spec; }
    QSize sizeHint() const override { return {160, 34}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    FontSpec m_spec;
};

// The font dialog with its colour choice: the platform's font dialog
// embedded, a point size in steps of a tenth (the font dialog itself offers
// whole points only), a "Colour..." button with a swatch, OK and Cancel.
class FontChoiceDialog : public QDialog {
    Q_OBJECT
public:
    FontChoiceDialog(QWidget *parent, const FontSpec &spec);
    // The font chosen (valid after OK): the stored font with what the user
    // changed in the dialog (family, style, underline, strike-out, size,
    // colour); OK without a change gives back the stored font exactly.
    FontSpec Spec() const;
    QFontDialog *FontPart() const { return m_fonts; }
    QDoubleSpinBox *SizePart() const { return m_size; }
    void SetColor(std::uint32_t colorref);
    std::uint32_t Color() const { return m_color; }

private:
    void showSwatch();

    FontSpec m_base;
    QFont m_shown;           // the font dialog's choice when it opened
    double m_shownSize = 0;  // the size field's value when it opened
    std::uint32_t m_color = 0;
    QFontDialog *m_fonts = nullptr;
    QLabel *m_swatch = nullptr;
    QDoubleSpinBox *m_size = nullptr;
};

class FontRow : public QWidget {
    Q_OBJECT
public:
    FontRow(const QString &caption, QWidget *parent = nullptr);

    void SetSpec(const FontSpec &spec);
    const FontSpec &Spec() const { return m_spec; }

    QLabel *Caption() const { return m_caption; }
    QLineEdit *DescriptionField() const { return m_description; }
    QPushButton *ChangeButton() const { return m_change; }
    FontPreview *Preview() const { return m_preview; }

    // "Change...": runs the chooser on a copy of the font; on OK stores the
    // result, refreshes the field and the preview and emits Changed. True
    // when the font was changed.
    bool Change();

    // What "Change..." opens. Empty (the default) is FontChoiceDialog;
    // tests put a function here that edits the font and returns true for OK.
    using Chooser = std::function<bool(QWidget *parent, FontSpec &spec)>;
    static Chooser SetChooser(Chooser chooser);

signals:
    void Changed();

private:
    FontSpec m_spec;
    QLabel *m_caption = nullptr;
    QLineEdit *m_description = nullptr;
    QPushButton *m_change = nullptr;
    FontPreview *m_preview = nullptr;
};
