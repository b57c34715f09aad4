#pragma once
// The eating sound: the whole sound file is read into memory once, when a
// game dialog opens, and played asynchronously on request. Without the file,
// without sound support in the build or without an output device the game is
// silent; nothing is ever reported.

#include <QByteArray>
#include <QObject>
#include <QString>
#include <memory>

class CGameSound : public QObject {
    Q_OBJECT
public:
    explicit CGameSound(QObject *parent = nullptr);
    ~CGameSound() override;

    // Reads the file; a missing or unreadable file leaves the sound empty.
    void Load(const QString &path);
    bool IsLoaded() const { return !m_data.isEmpty(); }
    const QByteArray &Data() const { return m_data; }

    // Starts the sound and returns at once; a sound still playing starts over.
    void Play();
    // How many times Play was asked for with a loaded sound (tests read it).
    int PlayCount() const { return m_playCount; }

private:
    struct Player;
    void Prepare();
    QByteArray m_data;
    std::unique_ptr<Player> m_player;
    bool m_playerTried = false;
    int m_playCount = 0;
};
