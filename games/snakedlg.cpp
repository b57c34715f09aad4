#include "snakedlg.h"

#include "gamepictures.h"
#include "games.h"
#include "scoredlg.h"
#include "tvmessage.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

namespace {

// Colours of the board, given as 0x00BBGGRR in the design.
const QColor kSnakeColour(0x00, 0x00, 0xC0); // 0xC00000
const QColor kEmptyColour(0xC0, 0xC0, 0xC0); // 0xC0C0C0
const QColor kFrameColour(0x00, 0x00, 0x00);

constexpr int kDialogWidth = 600;
constexpr int kDialogHeight = 432;
constexpr int kButtonsTop = 392;

CGameRandom &PickRandom(CGameRandom *given, std::unique_ptr<CGameRandom> &own)
{
    if (given)
        return *given;
    own = std::make_unique<CClockRandom>();
    return *own;
}

} // namespace

// --- board ------------------------------------------------------------------

CSnakeBoard::CSnakeBoard(const CSnakeGame &game, const std::map<int, QImage> &pictures, QWidget *parent)
    : QWidget(parent), m_game(game), m_pictures(pictures)
{
    setGeometry(kLeft, kTop, 2 * kFrame + kCell * CSnakeGame::kColumns, 2 * kFrame + kCell * CSnakeGame::kRows);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QRect CSnakeBoard::CellRect(int x, int y)
{
    return QRect(kFrame + kCell * x, kFrame + kCell * y, kCell, kCell);
}

void CSnakeBoard::Draw(QPainter &p) const
{
    const QRect all = rect();
    p.fillRect(all, kFrameColour);
    p.fillRect(all.adjusted(kFrame, kFrame, -kFrame, -kFrame), kEmptyColour);
    if (!m_game.IsRunning())
        return; // between games the board is empty
    for (const SnakeCell &c : m_game.Snake())
        p.fillRect(CellRect(c.x, c.y), kSnakeColour);
    // The items show their pictures over the cells they cover.
    if (const auto &food = m_game.Food()) {
        auto it = m_pictures.find(kFoodIcon);
        if (it != m_pictures.end())
            p.drawImage(CellRect(food->x, food->y).topLeft(), it->second);
    }
    if (const auto &bonus = m_game.Bonus()) {
        auto it = m_pictures.find(SnakeBonusIcon(bonus->type));
        if (it != m_pictures.end())
            p.drawImage(CellRect(bonus->block.x, bonus->block.y).topLeft(), it->second);
    }
}

void CSnakeBoard::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    Draw(p);
}

QImage CSnakeBoard::Render() const
{
    QImage image(size(), QImage::Format_RGB32);
    QPainter p(&image);
    Draw(p);
    return image;
}

// --- dialog -----------------------------------------------------------------

CSnakeDlg::CSnakeDlg(const QString &programDir, QWidget *parent, CGameRandom *random)
    : QDialog(parent), m_random(PickRandom(random, m_ownRandom)), m_game(m_random),
      m_record(GameFilePath(programDir, kSnakeRecordFile))
{
    setWindowTitle(QStringLiteral("Snake"));
    setFixedSize(kDialogWidth, kDialogHeight);

    for (int id : {256, 257, 258, 259, 260}) {
        QImage picture = SnakePicture(id);
        if (picture.isNull())
            m_usable = false;
        m_pictures[id] = std::move(picture);
    }
    m_sound.Load(GameFilePath(programDir, kEatSoundFile));

    m_board = new CSnakeBoard(m_game, m_pictures, this);

    auto *scoreCaption = new QLabel(QStringLiteral("Score:"), this);
    scoreCaption->setGeometry(15, kButtonsTop, 50, 26);
    m_scoreDisplay = new QLabel(QStringLiteral("0"), this);
    m_scoreDisplay->setGeometry(68, kButtonsTop, 90, 26);
    m_scoreDisplay->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_scoreDisplay->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    m_start = new QPushButton(QStringLiteral("Start"), this);
    m_start->setGeometry(300, kButtonsTop, 90, 28);
    m_start->setDefault(true);
    m_recordButton = new QPushButton(QStringLiteral("Record"), this);
    m_recordButton->setGeometry(395, kButtonsTop, 90, 28);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancel->setGeometry(490, kButtonsTop, 95, 28);

    connect(m_start, &QPushButton::clicked, this, &CSnakeDlg::OnStart);
    connect(m_recordButton, &QPushButton::clicked, this, &CSnakeDlg::OnRecord);
    connect(m_cancel, &QPushButton::clicked, this, &CSnakeDlg::reject);
    connect(&m_timer, &QTimer::timeout, this, &CSnakeDlg::OnTick);

    // The arrow keys steer whichever control has the focus.
    installEventFilter(this);
    for (QWidget *child : findChildren<QWidget *>())
        child->installEventFilter(this);
}

CSnakeDlg::~CSnakeDlg()
{
    m_timer.stop();
}

void CSnakeDlg::ShowScore()
{
    m_scoreDisplay->setText(QString::number(m_game.IsRunning() ? m_game.Score() : 0));
}

void CSnakeDlg::OnStart()
{
    if (m_game.IsRunning())
        return;
    if (!m_game.Start()) {
        BoardFull();
        return;
    }
    m_cancel->setText(QStringLiteral("Stop"));
    m_start->setEnabled(false);
    m_recordButton->setEnabled(false);
    ShowScore();
    m_board->update();
    m_timer.start(m_game.Period());
}

void CSnakeDlg::OnRecord()
{
    if (m_game.IsRunning())
        return;
    CScoreDlg dlg(m_record.Best(), this);
    dlg.exec();
}

void CSnakeDlg::OnTick()
{
    RunTick();
}

void CSnakeDlg::RunTick()
{
    if (!m_game.IsRunning()) {
        m_timer.stop();
        return;
    }
    ShowResult(m_game.Tick());
}

void CSnakeDlg::ShowResult(const SnakeTickResult &result)
{
    if (result.gameOver) {
        GameOver();
        return;
    }
    if (result.ateFood || result.ateBonus)
        m_sound.Play();
    if (result.boardFull) {
        BoardFull();
        return;
    }
    ShowScore();
    m_board->update();
}

void CSnakeDlg::Steer(SnakeDirection direction)
{
    // Accepted or refused, the key moves the snake at once and restarts the
    // clock with the current period.
    m_timer.stop();
    m_game.Steer(direction);
    RunTick();
    if (m_game.IsRunning())
        m_timer.start(m_game.Period());
}

void CSnakeDlg::ResetControls()
{
    m_game.Stop();
    m_board->update();
    m_cancel->setText(QStringLiteral("Storno"));
    ShowScore();
    m_start->setEnabled(true);
    m_recordButton->setEnabled(true);
}

void CSnakeDlg::GameOver()
{
    m_timer.stop();
    const int score = m_game.Score();
    m_board->update();
    {
        CScoreDlg dlg(score, this);
        dlg.exec();
    }
    m_record.Offer(score);
    ResetControls();
}

void CSnakeDlg::BoardFull()
{
    m_timer.stop();
    const int score = m_game.Score();
    m_board->update();
    CTVInfo(59399, TVB_OK, score);
    m_record.Offer(score);
    ResetControls();
    accept();
}

void CSnakeDlg::reject()
{
    if (m_game.IsRunning()) {
        // Ends the game; the best score stays as it is.
        m_timer.stop();
        ResetControls();
        return;
    }
    QDialog::reject();
}

bool CSnakeDlg::HandleKey(int key)
{
    if (key == Qt::Key_F1) {
        ShowGamesHelp(kSnakeHelpTopic);
        return true;
    }
    if (!m_game.IsRunning())
        return false;
    switch (key) {
    case Qt::Key_Left:
        Steer(SnakeDirection::Left);
        return true;
    case Qt::Key_Right:
        Steer(SnakeDirection::Right);
        return true;
    case Qt::Key_Up:
        Steer(SnakeDirection::Up);
        return true;
    case Qt::Key_Down:
        Steer(SnakeDirection::Down);
        return true;
    default:
        return false;
    }
}

bool CSnakeDlg::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (HandleKey(key->key()))
            return true;
    }
    return QDialog::eventFilter(watched, event);
}
