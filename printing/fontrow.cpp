#include "fontrow.h"

#include "device.h"
#include "tvstrings.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace {

FontRow::Chooser &chooser()
{
    static FontRow::Chooser c;
    return c;
}

std::uint32_t refFromColor(const QColor &c)
{
    return std::uint32_t(c.red()) | (std::uint32_t(c.green()) << 8) | (std::uint32_t(c.blue()) << 16);
}

} // namespace

QString FontDescription(const FontSpec &spec)
{
    QString text = QStringLiteral("%1, %2pt").arg(spec.lfFaceName).arg(spec.lfHeight / 10);
    if (spec.lfWeight == 700)
        text += QStringLiteral(", ") + TVLoadStringResource(62);
    if (spec.lfItalic)
        text += QStringLiteral(", ") + TVLoadStringResource(63);
    if (spec.lfUnderline)
        text += QStringLiteral(", ") + TVLoadStringResource(64);
    if (spec.lfStrikeOut)
        text += QStringLiteral(", ") + TVLoadStringResource(65);
    return text;
}

QFont ScreenFontFromSpec(const FontSpec &spec)
{
    QFont font(spec.lfFaceName.left(31));
    // The stored tenths as they are: a 10.5 pt font opens as 10.5 pt.
    font.setPointSizeF(std::max(1, spec.lfHeight) / 10.0);
    if (spec.lfWeight > 0)
        font.setWeight(QFont::Weight(std::clamp(int(spec.lfWeight), 1, 1000)));
    font.setItalic(spec.lfItalic);
    font.setUnderline(spec.lfUnderline);
    font.setStrikeOut(spec.lfStrikeOut);
    return font;
}

FontSpec SpecFromFont(const QFont &font, std::uint32_t colorref, const FontSpec &base)
{
    FontSpec spec = base;
    spec.lfFaceName = font.family().left(31);
    const double points = font.pointSizeF() > 0 ? font.pointSizeF() : 12.0;
    spec.lfHeight = std::max(1, int(std::lround(points * 10)));
    spec.lfWeight = font.weight();
    spec.lfItalic = font.italic();
    spec.lfUnderline = font.underline();
    spec.lfStrikeOut = font.strikeOut();
    spec.color = colorref;
    return spec;
}

FontPreview::FontPreview(QWidget *parent) : QWidget(parent)
{
    setMinimumSize(120, 30);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void FontPreview::SetSpec(const FontSpec &spec)
{
    m_spec = spec;
    update();
}

void FontPreview::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(255, 255, 255));
    painter.setPen(QColor(160, 160, 160));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    painter.setClipRect(rect().adjusted(1, 1, -1, -1));
    painter.setFont(ScreenFontFromSpec(m_spec));
    painter.setPen(ColorFromRef(m_spec.color));
    painter.drawText(rect().adjusted(4, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter, TVLoadStringResource(66));
}

FontChoiceDialog::FontChoiceDialog(QWidget *parent, const FontSpec &spec)
    : QDialog(parent), m_base(spec), m_color(spec.color)
{
    setWindowTitle(QStringLiteral("Font"));
    auto *layout = new QVBoxLayout(this);
    m_fonts = new QFontDialog(this);
    m_fonts->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    m_fonts->setWindowFlags(Qt::Widget);
    m_fonts->setCurrentFont(ScreenFontFromSpec(spec));
    layout->addWidget(m_fonts);

    auto *sizeRow = new QHBoxLayout;
    m_size = new QDoubleSpinBox(this);
    m_size->setDecimals(1);
    m_size->setRange(1.0, 999.9);
    m_size->setSingleStep(0.5);
    m_size->setSuffix(QStringLiteral(" pt"));
    m_size->setValue(std::max(1, spec.lfHeight) / 10.0);
    sizeRow->addWidget(new QLabel(QStringLiteral("Size in points:"), this));
    sizeRow->addWidget(m_size);
    sizeRow->addStretch(1);
    layout->addLayout(sizeRow);
    // A whole size picked in the font dialog goes to the field; a size with
    // tenths typed in the field stays while the dialog shows its rounding.
    connect(m_fonts, &QFontDialog::currentFontChanged, this, [this](const QFont &font) {
        if (font.pointSize() > 0 && qRound(m_size->value()) != font.pointSize())
            m_size->setValue(font.pointSize());
    });

    auto *colourRow = new QHBoxLayout;
    auto *colourButton = new QPushButton(QStringLiteral("Colour..."), this);
    m_swatch = new QLabel(this);
    m_swatch->setFixedSize(48, 20);
    m_swatch->setFrameShape(QFrame::Box);
    m_swatch->setAutoFillBackground(true);
    colourRow->addWidget(new QLabel(QStringLiteral("Colour:"), this));
    colourRow->addWidget(m_swatch);
    colourRow->addWidget(colourButton);
    colourRow->addStretch(1);
    layout->addLayout(colourRow);
    connect(colourButton, &QPushButton::clicked, this, [this] {
        const QColor chosen = QColorDialog::getColor(ColorFromRef(m_color), this);
        if (chosen.isValid())
            SetColor(refFromColor(chosen));
    });
    showSwatch();

    auto *box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(box);
    // What the dialog shows before the user touches it (the size field may
    // have followed the font dialog's whole size; it is set back).
    m_size->setValue(std::max(1, spec.lfHeight) / 10.0);
    m_shown = m_fonts->currentFont();
    m_shownSize = m_size->value();
}

void FontChoiceDialog::SetColor(std::uint32_t colorref)
{
    m_color = colorref & 0xFFFFFF;
    showSwatch();
}

void FontChoiceDialog::showSwatch()
{
    QPalette palette = m_swatch->palette();
    palette.setColor(QPalette::Window, ColorFromRef(m_color));
    m_swatch->setPalette(palette);
}

FontSpec FontChoiceDialog::Spec() const
{
    // Only what the user changed replaces the stored font: the font dialog
    // shows the nearest family and style it lists (an alias such as "Arial"
    // opens as the font that stands in for it, a weight as the nearest
    // style), so taking its current font as a whole would change a font the
    // user only looked at.
    const QFont now = m_fonts->currentFont();
    FontSpec spec = m_base;
    if (now.family() != m_shown.family())
        spec.lfFaceName = now.family().left(31);
    if (now.family() != m_shown.family() || now.weight() != m_shown.weight() || now.italic() != m_shown.italic()) {
        spec.lfWeight = now.weight();
        spec.lfItalic = now.italic();
    }
    if (now.underline() != m_shown.underline())
        spec.lfUnderline = now.underline();
    if (now.strikeOut() != m_shown.strikeOut())
        spec.lfStrikeOut = now.strikeOut();
    if (m_size->value() != m_shownSize)
        spec.lfHeight = std::max(1, int(std::lround(m_size->value() * 10)));
    spec.color = m_color;
    return spec;
}

FontRow::FontRow(const QString &caption, QWidget *parent) : QWidget(parent)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_caption = new QLabel(caption, this);
    m_caption->setMinimumWidth(150);
    m_description = new QLineEdit(this);
    m_description->setReadOnly(true);
    m_description->setMinimumWidth(220);
    m_change = new QPushButton(QStringLiteral("Change..."), this);
    m_preview = new FontPreview(this);
    layout->addWidget(m_caption);
    layout->addWidget(m_description, 2);
    layout->addWidget(m_change);
    layout->addWidget(m_preview, 1);
    connect(m_change, &QPushButton::clicked, this, [this] { Change(); });
    SetSpec(m_spec);
}

void FontRow::SetSpec(const FontSpec &spec)
{
    m_spec = spec;
    m_description->setText(FontDescription(spec));
    m_preview->SetSpec(spec);
}

bool FontRow::Change()
{
    FontSpec copy = m_spec;
    bool ok = false;
    if (chooser()) {
        ok = chooser()(this, copy);
    } else {
        FontChoiceDialog dialog(this, copy);
        ok = dialog.exec() == QDialog::Accepted;
        if (ok)
            copy = dialog.Spec();
    }
    if (!ok)
        return false;
    SetSpec(copy);
    emit Changed();
    return true;
}

FontRow::Chooser FontRow::SetChooser(Chooser c)
{
    Chooser previous = std::move(chooser());
    chooser() = std::move(c);
    return previous;
}
