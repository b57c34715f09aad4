#include "blocksdlg.h"

#include "games.h"
#include "scoredlg.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

namespace {

const QColor kFrameColour(0, 0, 0);
const QColor kWellColour(24, 24, 40);
const QColor kGridColour(36, 36, 58);

constexpr int kPreviewCell = 20;
constexpr int kPreviewSize = 4 * kPreviewCell + 12;

CGameRandom &PickRandom(CGameRandom *given, std::unique_ptr<CGameRandom> &own)
{
    if (given)
        return *given;
    own = std::make_unique<CClockRandom>();
    return *own;
}

} // namespace

// --- well ---------------------------------------------------------------------

CBlocksWell::CBlocksWell(const CBlocksGame &game, QWidget *parent) : QWidget(parent), m_game(game)
{
    setFixedSize(2 * kFrame + kCell * CBlocksGame::kColumns, 2 * kFrame + kCell * CBlocksGame::kRows);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QColor CBlocksWell::ShapeColour(int shapeIndex)
{
    static const QColor kColours[kBlockShapeCount] = {
        QColor(0, 200, 220),  // I
        QColor(235, 210, 0),  // O
        QColor(160, 60, 200), // T
        QColor(40, 190, 60),  // S
        QColor(220, 40, 40),  // Z
        QColor(40, 80, 220),  // J
        QColor(240, 140, 0),  // L
    };
    if (shapeIndex < 0 || shapeIndex >= kBlockShapeCount)
        return QColor(128, 128, 128);
    return kColours[shapeIndex];
}

void CBlocksWell::DrawCell(QPainter &p, const QRect &r, const QColor &colour)
{
    p.fillRect(r, colour);
    // A bevel: light along the top and left, dark along the bottom and right.
    p.fillRect(QRect(r.left(), r.top(), r.width(), 2), colour.lighter(150));
    p.fillRect(QRect(r.left(), r.top(), 2, r.height()), colour.lighter(130));
    p.fillRect(QRect(r.left(), r.bottom() - 1, r.width(), 2), colour.darker(160));
    p.fillRect(QRect(r.right() - 1, r.top(), 2, r.height()), colour.darker(140));
}

void CBlocksWell::Draw(QPainter &p) const
{
    p.fillRect(rect(), kFrameColour);
    const QRect inside = rect().adjusted(kFrame, kFrame, -kFrame, -kFrame);
    p.fillRect(inside, kWellColour);
    p.setPen(kGridColour);
    for (int x = 1; x < CBlocksGame::kColumns; ++x)
        p.drawLine(kFrame + x * kCell, inside.top(), kFrame + x * kCell, inside.bottom());
    for (int y = 1; y < CBlocksGame::kRows; ++y)
        p.drawLine(inside.left(), kFrame + y * kCell, inside.right(), kFrame + y * kCell);

    const auto cellRect = [](int x, int y) { return QRect(kFrame + x * kCell, kFrame + y * kCell, kCell, kCell); };
    for (int y = 0; y < CBlocksGame::kRows; ++y) {
        for (int x = 0; x < CBlocksGame::kColumns; ++x) {
            if (const int v = m_game.Cell(x, y))
                DrawCell(p, cellRect(x, y), ShapeColour(v - 1));
        }
    }
    if (!m_game.IsRunning())
        return;

    const QColor colour = ShapeColour(static_cast<int>(m_game.Piece().shape));
    // Where a drop would put the piece: an outline.
    p.setPen(QPen(colour, 1, Qt::DashLine));
    p.setBrush(Qt::NoBrush);
    for (const BlockCell &c : m_game.DropTarget().Cells()) {
        if (c.y >= 0)
            p.drawRect(cellRect(c.x, c.y).adjusted(1, 1, -2, -2));
    }
    for (const BlockCell &c : m_game.Piece().Cells()) {
        if (c.y >= 0)
            DrawCell(p, cellRect(c.x, c.y), colour);
    }
    if (m_game.IsPaused()) {
        p.fillRect(inside, QColor(0, 0, 0, 150));
        QFont font(QStringLiteral("Arial"));
        font.setPointSize(20);
        font.setBold(true);
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(inside, Qt::AlignCenter, QStringLiteral("Paused"));
    }
}

void CBlocksWell::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    Draw(p);
}

QImage CBlocksWell::Render() const
{
    QImage image(size(), QImage::Format_RGB32);
    QPainter p(&image);
    Draw(p);
    return image;
}

// --- preview --------------------------------------------------------------------

CBlocksPreview::CBlocksPreview(const CBlocksGame &game, QWidget *parent) : QWidget(parent), m_game(game)
{
    setFixedSize(kPreviewSize, kPreviewSize);
}

void CBlocksPreview::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), kFrameColour);
    p.fillRect(rect().adjusted(3, 3, -3, -3), kWellColour);
    if (!m_game.IsRunning())
        return;
    const BlockShape shape = m_game.NextShape();
    const BlockCells cells = CBlocksGame::ShapeCells(shape, 0);
    int minX = 4, maxX = 0, minY = 4, maxY = 0;
    for (const BlockCell &c : cells) {
        minX = std::min(minX, c.x);
        maxX = std::max(maxX, c.x);
        minY = std::min(minY, c.y);
        maxY = std::max(maxY, c.y);
    }
    // Centred in the box.
    const int left = (width() - (maxX - minX + 1) * kPreviewCell) / 2;
    const int top = (height() - (maxY - minY + 1) * kPreviewCell) / 2;
    for (const BlockCell &c : cells) {
        const QRect r(left + (c.x - minX) * kPreviewCell, top + (c.y - minY) * kPreviewCell, kPreviewCell,
                      kPreviewCell);
        CBlocksWell::DrawCell(p, r, CBlocksWell::ShapeColour(static_cast<int>(shape)));
    }
}

// --- dialog ---------------------------------------------------------------------

CBlocksDlg::CBlocksDlg(const QString &programDir, QWidget *parent, CGameRandom *random)
    : QDialog(parent), m_random(PickRandom(random, m_ownRandom)), m_game(m_random),
      m_record(GameFilePath(programDir, kBlocksRecordFile))
{
    setWindowTitle(QStringLiteral("Falling Blocks"));

    m_well = new CBlocksWell(m_game, this);
    m_preview = new CBlocksPreview(m_game, this);

    auto *side = new QGridLayout;
    int row = 0;
    side->addWidget(new QLabel(QStringLiteral("Next:"), this), row++, 0, 1, 2);
    side->addWidget(m_preview, row++, 0, 1, 2, Qt::AlignLeft);
    const auto addValue = [&](const QString &caption, QLabel *&label) {
        side->addWidget(new QLabel(caption, this), row, 0);
        label = new QLabel(QStringLiteral("0"), this);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setMinimumWidth(80);
        side->addWidget(label, row++, 1);
    };
    addValue(QStringLiteral("Score:"), m_scoreLabel);
    addValue(QStringLiteral("Lines:"), m_linesLabel);
    addValue(QStringLiteral("Level:"), m_levelLabel);
    addValue(QStringLiteral("Best:"), m_bestLabel);
    side->setRowStretch(row++, 1);

    m_start = new QPushButton(QStringLiteral("Start"), this);
    m_start->setDefault(true);
    m_pause = new QPushButton(QStringLiteral("Pause"), this);
    m_pause->setEnabled(false);
    m_recordButton = new QPushButton(QStringLiteral("Record"), this);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    for (QPushButton *b : {m_start, m_pause, m_recordButton, m_cancel})
        side->addWidget(b, row++, 0, 1, 2);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(15, 15, 15, 15);
    layout->setSpacing(15);
    layout->addWidget(m_well, 0, Qt::AlignTop);
    layout->addLayout(side);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_start, &QPushButton::clicked, this, &CBlocksDlg::OnStart);
    connect(m_pause, &QPushButton::clicked, this, &CBlocksDlg::OnPause);
    connect(m_recordButton, &QPushButton::clicked, this, &CBlocksDlg::OnRecord);
    connect(m_cancel, &QPushButton::clicked, this, &CBlocksDlg::reject);
    connect(&m_timer, &QTimer::timeout, this, &CBlocksDlg::OnTick);

    installEventFilter(this);
    for (QWidget *child : findChildren<QWidget *>())
        child->installEventFilter(this);
    Refresh();
}

CBlocksDlg::~CBlocksDlg()
{
    m_timer.stop();
}

void CBlocksDlg::Refresh()
{
    m_scoreLabel->setText(QString::number(m_game.Score()));
    m_linesLabel->setText(QString::number(m_game.Lines()));
    m_levelLabel->setText(QString::number(m_game.Level()));
    m_bestLabel->setText(QString::number(m_record.Best()));
    m_pause->setText(m_game.IsPaused() ? QStringLiteral("Resume") : QStringLiteral("Pause"));
    m_well->update();
    m_preview->update();
}

void CBlocksDlg::OnStart()
{
    if (m_game.IsRunning())
        return;
    m_game.Start();
    m_cancel->setText(QStringLiteral("Stop"));
    m_start->setEnabled(false);
    m_recordButton->setEnabled(false);
    m_pause->setEnabled(true);
    Refresh();
    m_timer.start(m_game.FallPeriod());
}

void CBlocksDlg::OnPause()
{
    if (!m_game.IsRunning())
        return;
    m_game.TogglePause();
    if (m_game.IsPaused())
        m_timer.stop();
    else
        m_timer.start(m_game.FallPeriod());
    Refresh();
}

void CBlocksDlg::OnRecord()
{
    if (m_game.IsRunning())
        return;
    CScoreDlg dlg(m_record.Best(), this);
    dlg.exec();
}

void CBlocksDlg::OnTick()
{
    Apply(m_game.Fall());
}

void CBlocksDlg::Apply(const BlocksStepResult &result)
{
    if (result.gameOver) {
        GameOver();
        return;
    }
    // A new level shortens the fall at once.
    if (result.locked && m_timer.isActive() && m_timer.interval() != m_game.FallPeriod())
        m_timer.start(m_game.FallPeriod());
    Refresh();
}

void CBlocksDlg::ResetControls()
{
    m_game.Stop();
    m_cancel->setText(QStringLiteral("Storno"));
    m_start->setEnabled(true);
    m_recordButton->setEnabled(true);
    m_pause->setEnabled(false);
    Refresh();
}

void CBlocksDlg::GameOver()
{
    m_timer.stop();
    Refresh();
    const int score = m_game.Score();
    {
        CScoreDlg dlg(score, this);
        dlg.exec();
    }
    m_record.Offer(score);
    ResetControls();
}

void CBlocksDlg::reject()
{
    if (m_game.IsRunning()) {
        m_timer.stop();
        ResetControls();
        return;
    }
    QDialog::reject();
}

bool CBlocksDlg::HandleKey(int key)
{
    if (key == Qt::Key_F1) {
        ShowGamesHelp(kBlocksHelpTopic);
        return true;
    }
    if (!m_game.IsRunning())
        return false;
    if (key == Qt::Key_P) {
        OnPause();
        return true;
    }
    switch (key) {
    case Qt::Key_Left:
        m_game.MoveLeft();
        break;
    case Qt::Key_Right:
        m_game.MoveRight();
        break;
    case Qt::Key_Up:
        m_game.RotateClockwise();
        break;
    case Qt::Key_Z:
        m_game.RotateCounterClockwise();
        break;
    case Qt::Key_Down:
        Apply(m_game.SoftDrop());
        return true;
    case Qt::Key_Space:
        Apply(m_game.HardDrop());
        return true;
    default:
        return false;
    }
    Refresh();
    return true;
}

bool CBlocksDlg::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (HandleKey(key->key()))
            return true;
    }
    return QDialog::eventFilter(watched, event);
}
