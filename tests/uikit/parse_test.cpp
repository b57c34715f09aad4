#include "tvparse.h"
#include "tvparse_p.h"

#include <QStringList>
#include <gtest/gtest.h>

TEST(ParseDouble, AcceptsCommaBlanksAndBounds)
{
    double v = -1;
    EXPECT_TRUE(TVIsDouble(QStringLiteral("  12,5  "), v, 0, 100));
    EXPECT_DOUBLE_EQ(v, 12.5);
    EXPECT_TRUE(TVIsDouble(QStringLiteral("100"), v, 0, 100));
    EXPECT_DOUBLE_EQ(v, 100);
    EXPECT_TRUE(TVIsDouble(QStringLiteral("-7.25"), v, -10, 0));
    EXPECT_DOUBLE_EQ(v, -7.25);
    EXPECT_TRUE(TVIsDouble(QStringLiteral("-0"), v, 0, 10));
    EXPECT_DOUBLE_EQ(v, 0);
    EXPECT_TRUE(TVIsDouble(QStringLiteral("0.0"), v, 0, 10));
    EXPECT_TRUE(TVIsDouble(QStringLiteral(".5"), v, 0, 10));
    EXPECT_DOUBLE_EQ(v, 0.5);
}

TEST(ParseDouble, RejectsMalformedAndOutOfRange)
{
    double v = 0;
    for (const char *bad : {"12.5.1", "", ".", "-", "+5", "1e3", "1 000", "12a", "--5", "1,2,3"})
        EXPECT_FALSE(TVIsDouble(QString::fromLatin1(bad), v, -1e9, 1e9)) << bad;
    EXPECT_FALSE(TVIsDouble(QStringLiteral("100.01"), v, 0, 100));
    EXPECT_DOUBLE_EQ(v, 100.01); // the value is stored even when out of range
    EXPECT_FALSE(TVIsDouble(QStringLiteral("-1"), v, 0, 100));
}

TEST(ParseLong, WholeNumbersOnly)
{
    std::int32_t v = 0;
    EXPECT_TRUE(TVIsLong(QStringLiteral("007"), v, 0, 10));
    EXPECT_EQ(v, 7);
    EXPECT_TRUE(TVIsLong(QStringLiteral(" -15 "), v, -20, 0));
    EXPECT_EQ(v, -15);
    EXPECT_TRUE(TVIsLong(QStringLiteral("000"), v, 0, 0));
    for (const char *bad : {"1.0", "-", "", "+3", "1,0", "3 4", "x"})
        EXPECT_FALSE(TVIsLong(QString::fromLatin1(bad), v, -100, 100)) << bad;
    EXPECT_FALSE(TVIsLong(QStringLiteral("16"), v, 1, 15));
    int i = 0;
    EXPECT_TRUE(TVIsInt(QStringLiteral("20"), i, 1, 20));
    EXPECT_EQ(i, 20);
    EXPECT_FALSE(TVIsInt(QStringLiteral("0"), i, 1, 20));
}

TEST(Dates, RoundTripThroughInteger)
{
    EXPECT_EQ(TVOleDateToIntDate(QDate(2026, 12, 7)), 20261207);
    QDateTime d;
    TVIntDateToOleDate(20261207, d);
    EXPECT_EQ(d, QDateTime(QDate(2026, 12, 7), QTime(0, 0)));
}

TEST(Hyperlink, OrderOfWaysAndEmptyLink)
{
    QStringList tried;
    bool succeed = false;
    auto way = [&](const char *name) {
        return [&, name](const QString &) {
            tried << QString::fromLatin1(name);
            return succeed && tried.size() == 2;
        };
    };
    const TVHyperlinkWays old = TVSetHyperlinkWays({way("A"), way("B"), way("C")});

    EXPECT_FALSE(TVHyperlink(QStringLiteral("   ")));
    EXPECT_TRUE(tried.isEmpty());

    EXPECT_FALSE(TVHyperlink(QStringLiteral(" WWW.example.com ")));
    EXPECT_EQ(tried, (QStringList{"C", "A", "B"}));
    tried.clear();
    EXPECT_FALSE(TVHyperlink(QStringLiteral("mailto:someone@example.com")));
    EXPECT_EQ(tried, (QStringList{"A", "B", "C"}));
    tried.clear();
    succeed = true; // the second way succeeds; the third is not tried
    EXPECT_TRUE(TVHyperlink(QStringLiteral("http://example.com")));
    EXPECT_EQ(tried, (QStringList{"C", "A"}));
    TVSetHyperlinkWays(old);
}
