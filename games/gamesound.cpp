#include "gamesound.h"

#include <QDir>
#include <QFile>

#ifdef CORVELLE_HAVE_MULTIMEDIA
#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QTemporaryFile>
#include <QUrl>
#endif

// The sound effect plays a file, so the bytes held in memory are handed to
// it through a private temporary copy that lives as long as the sound.
struct CGameSound::Player {
#ifdef CORVELLE_HAVE_MULTIMEDIA
    QTemporaryFile file;
    QSoundEffect effect;
#endif
};

CGameSound::CGameSound(QObject *parent) : QObject(parent) {}

CGameSound::~CGameSound() = default;

void CGameSound::Load(const QString &path)
{
    m_player.reset();
    m_playerTried = false;
    m_data.clear();
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        m_data = file.readAll();
    // The player is set up now, so that the first play is not late.
    Prepare();
}

void CGameSound::Prepare()
{
    if (m_data.isEmpty() || m_playerTried)
        return;
    m_playerTried = true;
#ifdef CORVELLE_HAVE_MULTIMEDIA
    // No output device means silence.
    if (QMediaDevices::audioOutputs().isEmpty())
        return;
    auto player = std::make_unique<Player>();
    player->file.setFileTemplate(QDir::tempPath() + QStringLiteral("/corvelle-sound-XXXXXX.wav"));
    if (!player->file.open() || player->file.write(m_data) != m_data.size() || !player->file.flush())
        return;
    player->effect.setSource(QUrl::fromLocalFile(player->file.fileName()));
    m_player = std::move(player);
#endif
}

void CGameSound::Play()
{
    if (m_data.isEmpty())
        return;
    ++m_playCount;
#ifdef CORVELLE_HAVE_MULTIMEDIA
    if (m_player) {
        m_player->effect.stop();
        m_player->effect.play();
    }
#endif
}
