// Best-score files, the eating sound, the pictures and the "Score" dialog.
#include "gamepictures.h"
#include "gamerecord.h"
#include "gamesound.h"
#include "scoredlg.h"

#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray ReadAll(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void WriteAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

} // namespace

TEST(GameRecord, PathsJoinTheProgramDirectoryWithASlash)
{
    EXPECT_EQ(GameFilePath("/opt/corvelle", kSnakeRecordFile), "/opt/corvelle/Snakerec.dat");
    EXPECT_EQ(GameFilePath("/opt/corvelle/", kBlocksRecordFile), "/opt/corvelle/Blocksrec.dat");
    EXPECT_EQ(GameFilePath("", kEatSoundFile), "eatitem.dat");
}

TEST(GameRecord, MissingFileReadsAsZero)
{
    QTemporaryDir dir;
    EXPECT_EQ(ReadGameRecord(dir.filePath("Snakerec.dat")), 0);
    CGameRecord record(dir.filePath("Snakerec.dat"));
    EXPECT_EQ(record.Best(), 0);
}

TEST(GameRecord, ShortFileReadsAsZero)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Snakerec.dat");
    WriteAll(path, QByteArray("\x32\x00\x00", 3));
    EXPECT_EQ(ReadGameRecord(path), 0);
    WriteAll(path, QByteArray());
    EXPECT_EQ(ReadGameRecord(path), 0);
}

TEST(GameRecord, FourBytesLittleEndian)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Snakerec.dat");
    ASSERT_TRUE(WriteGameRecord(path, 0x12345678));
    EXPECT_EQ(ReadAll(path), QByteArray("\x78\x56\x34\x12", 4));
    EXPECT_EQ(ReadGameRecord(path), 0x12345678);
    ASSERT_TRUE(WriteGameRecord(path, 50));
    EXPECT_EQ(ReadAll(path), QByteArray("\x32\x00\x00\x00", 4));
    EXPECT_EQ(ReadGameRecord(path), 50);
    // Only the first four bytes count.
    WriteAll(path, QByteArray("\x10\x27\x00\x00\xFF\xFF", 6));
    EXPECT_EQ(ReadGameRecord(path), 10000);
}

TEST(GameRecord, OnlyAHigherScoreIsWritten)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Snakerec.dat");
    CGameRecord record(path);
    EXPECT_FALSE(record.Offer(0));
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_TRUE(record.Offer(50));
    EXPECT_EQ(ReadGameRecord(path), 50);
    EXPECT_FALSE(record.Offer(30));
    EXPECT_FALSE(record.Offer(50));
    EXPECT_EQ(ReadGameRecord(path), 50);
    EXPECT_TRUE(record.Offer(70));
    EXPECT_EQ(ReadGameRecord(path), 70);
    EXPECT_EQ(CGameRecord(path).Best(), 70);
}

TEST(GameRecord, WriteErrorsAreIgnored)
{
    QTemporaryDir dir;
    // A folder in the way of the file: the write fails, the game goes on.
    const QString path = dir.filePath("Snakerec.dat");
    ASSERT_TRUE(QDir(dir.path()).mkdir("Snakerec.dat"));
    CGameRecord record(path);
    EXPECT_EQ(record.Best(), 0);
    EXPECT_FALSE(WriteGameRecord(path, 5));
    EXPECT_TRUE(record.Offer(40));
    EXPECT_EQ(record.Best(), 40);
    const QString missingDir = dir.filePath("no/such/folder/Snakerec.dat");
    EXPECT_FALSE(WriteGameRecord(missingDir, 5));
}

TEST(GameSound, MissingFileMeansSilence)
{
    QTemporaryDir dir;
    CGameSound sound;
    sound.Load(dir.filePath("eatitem.dat"));
    EXPECT_FALSE(sound.IsLoaded());
    sound.Play();
    EXPECT_EQ(sound.PlayCount(), 0);
}

TEST(GameSound, TheWholeFileIsHeldInMemory)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("eatitem.dat");
    const QByteArray bytes = QByteArray("RIFF") + QByteArray(200, '\x01');
    WriteAll(path, bytes);
    CGameSound sound;
    sound.Load(path);
    ASSERT_TRUE(sound.IsLoaded());
    EXPECT_EQ(sound.Data(), bytes);
    // The file may go away: the sound plays from what was read.
    QFile::remove(path);
    sound.Play();
    sound.Play();
    EXPECT_EQ(sound.PlayCount(), 2);
}

TEST(GamePictures, FiveIconsOfThirtyTwoPixels)
{
    std::vector<QImage> images;
    for (int id = 256; id <= 260; ++id) {
        const QImage image = SnakePicture(id);
        ASSERT_FALSE(image.isNull()) << id;
        EXPECT_EQ(image.size(), QSize(32, 32)) << id;
        EXPECT_TRUE(image.hasAlphaChannel());
        // A picture fills a good part of its square; the corners stay
        // see-through so the board shows around it.
        int opaque = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                opaque += qAlpha(image.pixel(x, y)) > 200;
        EXPECT_GT(opaque, 250) << id;
        EXPECT_EQ(qAlpha(image.pixel(0, 31)), 0) << id;
        EXPECT_EQ(qAlpha(image.pixel(31, 31)), 0) << id;
        for (const QImage &other : images)
            EXPECT_NE(image, other) << id;
        images.push_back(image);
    }
    EXPECT_TRUE(SnakePicture(255).isNull());
    EXPECT_TRUE(SnakePicture(261).isNull());
}

TEST(GamePictures, BonusTypesMapToTheirIcons)
{
    EXPECT_EQ(SnakeBonusIcon(1), 257);
    EXPECT_EQ(SnakeBonusIcon(3), 258);
    EXPECT_EQ(SnakeBonusIcon(6), 259);
    EXPECT_EQ(SnakeBonusIcon(10), 256);
    EXPECT_EQ(SnakeBonusIcon(2), 0);
}

namespace {

struct Box {
    int left = 100000, top = 100000, right = -1, bottom = -1;
    void Add(int x, int y)
    {
        left = std::min(left, x);
        top = std::min(top, y);
        right = std::max(right, x);
        bottom = std::max(bottom, y);
    }
    bool Empty() const { return right < 0; }
};

} // namespace

TEST(ScoreDialog, BlackTextUnderBlueTextTwoPixelsUpAndLeft)
{
    CScoreDlg dlg(1234);
    EXPECT_EQ(dlg.windowTitle(), "Score");
    EXPECT_EQ(dlg.Text(), "Score: 1234");
    EXPECT_EQ(CScoreDlg::ScoreFont().family(), "Arial");
    EXPECT_EQ(CScoreDlg::ScoreFont().pointSize(), 32);
    dlg.adjustSize();
    const QImage image = dlg.grab().toImage();
    Box black, blue;
    // The text area above the OK button.
    for (int y = 0; y < std::min(image.height(), 100); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.blue() > 220 && c.red() < 40 && c.green() < 40)
                blue.Add(x, y);
            else if (c.red() < 30 && c.green() < 30 && c.blue() < 30)
                black.Add(x, y);
        }
    }
    ASSERT_FALSE(blue.Empty());
    ASSERT_FALSE(black.Empty());
    // The black copy shows below and to the right of the blue one.
    EXPECT_NEAR(black.right - blue.right, 2, 1);
    EXPECT_NEAR(black.bottom - blue.bottom, 2, 1);
    // Wide enough to be the 32 pt text, centred in the dialog.
    EXPECT_GT(blue.right - blue.left, 150);
    EXPECT_NEAR((blue.left + blue.right) / 2.0, image.width() / 2.0 - 1, 4);
}
