#include "tvparse.h"
#include "tvparse_p.h"

#include "tvformat.h"

#include <QStringList>
#include <clocale>
#include <string>
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

// Lengths keep their fraction whatever the desktop's language: the whole
// suite also runs under German and Czech, and this test switches the C
// library to each comma locale that is installed.
TEST(ParseDouble, FractionsSurviveCommaLocales)
{
    const std::string before = std::setlocale(LC_ALL, nullptr);
    int tried = 0;
    for (const char *name : {"", "de_DE.UTF-8", "cs_CZ.UTF-8", "C"}) {
        if (!std::setlocale(LC_ALL, name))
            continue;
        ++tried;
        double v = 0;
        EXPECT_TRUE(TVIsDouble(QStringLiteral("12,5"), v, 0, 500)) << name;
        EXPECT_DOUBLE_EQ(v, 12.5) << name;
        EXPECT_TRUE(TVIsDouble(QStringLiteral("12.5"), v, 0, 500)) << name;
        EXPECT_DOUBLE_EQ(v, 12.5) << name;
        EXPECT_TRUE(TVIsDouble(QStringLiteral("0,25"), v, 0.1, 1)) << name; // not 0, which is out of range
        EXPECT_DOUBLE_EQ(v, 0.25) << name;
        EXPECT_TRUE(TVIsDouble(QStringLiteral("63,5"), v, 1, 500));
        EXPECT_EQ(TVFormat(QStringLiteral("%.02f"), {TVArg(v)}).value(), QStringLiteral("63.50")) << name;
        EXPECT_EQ(TVFormat(QStringLiteral("%g mm"), {TVArg(38.1)}).value(), QStringLiteral("38.1 mm")) << name;
        // What is shown is read back as the same number.
        EXPECT_TRUE(TVIsDouble(TVFormat(QStringLiteral("%.02f"), {TVArg(38.1)}).value(), v, 0, 500));
        EXPECT_DOUBLE_EQ(v, 38.1) << name;
        EXPECT_FALSE(TVIsDouble(QStringLiteral("1,2,3"), v, 0, 500)) << name;
    }
    std::setlocale(LC_ALL, before.c_str());
    EXPECT_GE(tried, 2);
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
