#include "scoredlg.h"

#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int kTextAreaHeight = 90;
}

CScoreDlg::CScoreDlg(int score, QWidget *parent) : QDialog(parent), m_score(score)
{
    setWindowTitle(QStringLiteral("Score"));
    auto *layout = new QVBoxLayout(this);
    layout->addSpacing(kTextAreaHeight);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
    const int textWidth = QFontMetrics(ScoreFont()).horizontalAdvance(Text());
    setMinimumWidth(std::max(320, textWidth + 60));
}

QString CScoreDlg::Text() const
{
    return QStringLiteral("Score: %1").arg(m_score);
}

QFont CScoreDlg::ScoreFont()
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(32);
    return font;
}

void CScoreDlg::paintEvent(QPaintEvent *event)
{
    QDialog::paintEvent(event);
    QPainter p(this);
    p.setFont(ScoreFont());
    const QRect area(0, 0, width(), kTextAreaHeight + 10);
    // Transparent background: only the text is drawn over the dialog.
    p.setPen(QColor(0, 0, 0));
    p.drawText(area, Qt::AlignCenter, Text());
    p.setPen(QColor(0, 0, 255)); // 0xFF0000 as 0x00BBGGRR
    p.drawText(area.translated(-2, -2), Qt::AlignCenter, Text());
}
