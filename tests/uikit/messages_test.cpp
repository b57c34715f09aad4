#include "testsupport.h"
#include "tvformat.h"
#include "tvmessage.h"
#include "tvstrings.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

TEST(MessageFormat, PlaceholdersAndPercent)
{
    EXPECT_EQ(TVFormat(QStringLiteral("%d %% done"), {TVArg(50)}).value(), QStringLiteral("50 % done"));
    EXPECT_EQ(TVFormat(QStringLiteral("Name: %s."), {TVArg("Šťastný")}).value(), QStringLiteral("Name: Šťastný."));
    EXPECT_EQ(TVFormat(QStringLiteral("%.02f mm"), {TVArg(12.5)}).value(), QStringLiteral("12.50 mm"));
    EXPECT_EQ(TVFormat(QStringLiteral("%5d|%-3s|"), {TVArg(42), TVArg("ab")}).value(), QStringLiteral("   42|ab |"));
    EXPECT_EQ(TVFormat(QStringLiteral("%d x %d"), {TVArg(640), TVArg(480)}).value(), QStringLiteral("640 x 480"));
}

TEST(MessageFormat, MismatchedOrMissingArgumentsFail)
{
    EXPECT_FALSE(TVFormat(QStringLiteral("%s"), {TVArg(5)}).has_value());
    EXPECT_FALSE(TVFormat(QStringLiteral("%d"), {TVArg("x")}).has_value());
    EXPECT_FALSE(TVFormat(QStringLiteral("%d and %d"), {TVArg(1)}).has_value());
    EXPECT_FALSE(TVFormat(QStringLiteral("50 %"), {}).has_value());
    EXPECT_FALSE(TVFormat(QStringLiteral("%n"), {TVArg(1)}).has_value());
}

TEST(MessageBoxes, KnownIdIsFormattedAndUnknownIdFallsBack)
{
    MessageRecorder rec;
    CTVError e(8);
    EXPECT_EQ(e.GetResult(), unsigned(TVB_OK));
    CTVError missing(999999);
    ASSERT_EQ(rec.Records().size(), 2u);
    EXPECT_EQ(rec.Records()[0].text, QStringLiteral("Fatal database error occurred."));
    EXPECT_EQ(rec.Records()[0].kind, TVMessageKind::Error);
    EXPECT_EQ(rec.Records()[1].text, QStringLiteral("Error in message displaying routine. Insufficient memory?"));
}

TEST(MessageBoxes, FormattingFailureFallsBack)
{
    MessageRecorder rec;
    CTVInfo info(QStringLiteral("%d %s"), TVB_OK, 1);
    EXPECT_EQ(rec.Records().at(0).text, TVLibraryString(5));
    CTVInfo info2(QStringLiteral("%d %% done"), TVB_OK, 50);
    EXPECT_EQ(rec.Records().at(1).text, QStringLiteral("50 % done"));
}

TEST(MessageBoxes, QuestionReturnsTheAnswer)
{
    MessageRecorder rec;
    rec.Queue(TVB_NO);
    EXPECT_EQ(CTVQuestion::Show(34, TVB_YESNO), unsigned(TVB_NO));
    rec.Queue(TVB_YES);
    EXPECT_EQ(CTVQuestion::Show(34, TVB_YESNO), unsigned(TVB_YES));
    EXPECT_EQ(rec.Records().at(0).kind, TVMessageKind::Question);
    EXPECT_EQ(rec.Records().at(0).buttons, unsigned(TVB_YESNO));
}

TEST(MessageBoxes, LinesSplitAtLineFeedsAndBackslashN)
{
    EXPECT_EQ(CTVMessage::SplitLines(QStringLiteral("one\\ntwo\nthree")),
              (QStringList{QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")}));
}

namespace {
// Closes the next modal box with `key` or clicks the button with `text`.
void answerNextBox(std::function<void(QWidget *)> act)
{
    QTimer::singleShot(0, [act] {
        QWidget *box = QApplication::activeModalWidget();
        if (box)
            act(box);
    });
}
} // namespace

TEST(MessageBoxes, RealBoxEscapeGivesCancelAndButtonsInBitOrder)
{
    CTVQuestion::Register(QStringLiteral("Corvelle 1.0 EN"), QStringLiteral("Question"), 3, 0x008000, 0, 0xDCFFDC);
    QStringList buttonTexts;
    QStringList labels;
    answerNextBox([&](QWidget *box) {
        for (QPushButton *b : box->findChildren<QPushButton *>())
            buttonTexts << b->text();
        for (QLabel *l : box->findChildren<QLabel *>())
            if (!l->text().isEmpty())
                labels << l->text();
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Corvelle 1.0 EN"));
        QTest::keyClick(box, Qt::Key_Escape);
    });
    const unsigned result =
        CTVQuestion::Show(QStringLiteral("first\\nsecond"), TVB_NO | TVB_YES | TVB_CANCEL | TVB_NOTOALL);
    EXPECT_EQ(result, unsigned(TVB_CANCEL));
    EXPECT_EQ(buttonTexts, (QStringList{QStringLiteral("Yes"), QStringLiteral("No"), QStringLiteral("No to all"),
                                        QStringLiteral("Cancel")}));
    EXPECT_TRUE(labels.contains(QStringLiteral("first")));
    EXPECT_TRUE(labels.contains(QStringLiteral("second")));
    EXPECT_TRUE(labels.contains(QStringLiteral("Question")));
}

TEST(MessageBoxes, RealBoxButtonGivesItsBit)
{
    answerNextBox([](QWidget *box) {
        for (QPushButton *b : box->findChildren<QPushButton *>())
            if (b->text() == QLatin1String("No"))
                b->click();
    });
    EXPECT_EQ(CTVQuestion::Show(34, TVB_YESNO), unsigned(TVB_NO));
}
