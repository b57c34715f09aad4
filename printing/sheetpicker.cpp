#include "sheetpicker.h"

#include "device.h"

#include <QPainter>
#include <QPaintEvent>
#include <QPen>

namespace {

constexpr std::uint32_t kSheetColour = 0x00B4FFFF;
constexpr std::uint32_t kLabelColour = 0x00FFFFFF;
constexpr std::uint32_t kHoverColour = 0x0000FFFF;
constexpr std::uint32_t kCrossColour = 0x0000FF00;
constexpr std::uint32_t kOutlineColour = 0x0000DCDC;

int pixels(double mm, double mmPerPixel)
{
    return static_cast<int>(mm / mmPerPixel + 0.2);
}

} // namespace

SheetPickerGeometry FitLabelSheet(const LabelSize &size, const QSize &client)
{
    SheetPickerGeometry g;
    const QSizeF sheet = size.SheetSize();
    const double W = sheet.width(), H = sheet.height();
    const int cw = client.width(), ch = client.height();
    if (W <= 0 || H <= 0 || cw <= 0 || ch <= 0)
        return g;

    if (W / H < double(cw) / double(ch)) {
        g.mmPerPixel = H / ch;
        const int width = static_cast<int>(W / g.mmPerPixel + 0.5);
        g.sheet = QRect((cw - width) / 2, 0, width, ch);
    } else {
        g.mmPerPixel = W / cw;
        const int height = static_cast<int>(H / g.mmPerPixel + 0.5);
        g.sheet = QRect(0, (ch - height) / 2, cw, height);
    }

    const double s = g.mmPerPixel;
    const int a = pixels(size.A, s), b = pixels(size.B, s), c = pixels(size.C, s);
    const int d = pixels(size.D, s), e = pixels(size.E, s), f = pixels(size.F, s);
    const int count = std::max(0, size.M) * std::max(0, size.N);
    g.labels.reserve(std::size_t(count));
    for (int i = 0; i < count; ++i) {
        const int column = i % size.N, row = i / size.N;
        g.labels.emplace_back(g.sheet.left() + column * (b + c) + a, g.sheet.top() + row * (e + f) + d, b, e);
    }
    return g;
}

SheetLabelButton::SheetLabelButton(int index, QWidget *parent) : QAbstractButton(parent), m_index(index)
{
    setCheckable(true);
    setAttribute(Qt::WA_Hover);
    setFocusPolicy(Qt::NoFocus);
    setAccessibleName(QStringLiteral("Label %1").arg(index + 1));
}

void SheetLabelButton::enterEvent(QEnterEvent *event)
{
    m_hover = true;
    update();
    QAbstractButton::enterEvent(event);
}

void SheetLabelButton::leaveEvent(QEvent *event)
{
    m_hover = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void SheetLabelButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QRect r = rect();
    p.fillRect(r, ColorFromRef(m_hover ? kHoverColour : kLabelColour));
    if (isChecked()) {
        const QRect inner = r.adjusted(3, 3, -3, -3);
        if (inner.width() > 0 && inner.height() > 0) {
            QPen pen(ColorFromRef(kCrossColour), 3);
            pen.setCapStyle(Qt::FlatCap);
            p.setPen(pen);
            p.setRenderHint(QPainter::Antialiasing, false);
            p.drawLine(inner.topLeft(), inner.bottomRight());
            p.drawLine(inner.topRight(), inner.bottomLeft());
        }
    }
    p.setPen(QPen(ColorFromRef(kOutlineColour), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(0, 0, -1, -1));
}

LabelSheetPicker::LabelSheetPicker(const LabelSize &size, QWidget *parent) : QWidget(parent), m_size(size)
{
    setMinimumSize(160, 200);
}

int LabelSheetPicker::LabelCount() const
{
    return std::max(0, m_size.M) * std::max(0, m_size.N);
}

SheetLabelButton *LabelSheetPicker::LabelButton(int index) const
{
    if (index < 0 || index >= int(m_buttons.size()))
        return nullptr;
    return m_buttons[std::size_t(index)];
}

void LabelSheetPicker::Select(int index)
{
    if (index < 0 || index >= LabelCount())
        return;
    m_selected = index;
    for (SheetLabelButton *b : m_buttons)
        b->setChecked(b->Index() == index);
    emit selectionChanged(index);
}

void LabelSheetPicker::EnsureLaidOut()
{
    if (m_laidOut)
        return;
    m_laidOut = true;
    // The buttons are created once; label 0 (or the label chosen before) is
    // selected.
    const int count = LabelCount();
    m_buttons.reserve(std::size_t(count));
    for (int i = 0; i < count; ++i) {
        auto *b = new SheetLabelButton(i, this);
        b->setChecked(i == m_selected);
        connect(b, &QAbstractButton::clicked, this, [this, i] { Select(i); });
        m_buttons.push_back(b);
        b->show();
    }
    layoutLabels();
}

void LabelSheetPicker::layoutLabels()
{
    m_geometry = FitLabelSheet(m_size, size());
    for (std::size_t i = 0; i < m_buttons.size(); ++i) {
        if (i < m_geometry.labels.size())
            m_buttons[i]->setGeometry(m_geometry.labels[i]);
    }
}

void LabelSheetPicker::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (m_laidOut)
        layoutLabels();
}

void LabelSheetPicker::paintEvent(QPaintEvent *)
{
    EnsureLaidOut();
    QPainter p(this);
    p.fillRect(m_geometry.sheet, ColorFromRef(kSheetColour));
}
