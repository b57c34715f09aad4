// The fill order of label sheets: first label, copies, collation, a new
// sheet after M × N positions, and the preview's last page index.
#include "labelorder.h"

#include <gtest/gtest.h>

namespace {

std::vector<LabelPlacement> walk(int addresses, int copies, bool collate, int first, int perSheet)
{
    return LabelPlacements(addresses, copies, collate, first, perSheet);
}

} // namespace

TEST(LabelOrder, FirstLabelFiveOneAddressFourCopies)
{
    // 3 × 8 sheet, collate off: positions 5, 6, 7, 8 of page 1 only.
    const auto p = walk(1, 4, false, 5, 24);
    const std::vector<LabelPlacement> expected = {{0, 5, 0}, {0, 6, 0}, {0, 7, 0}, {0, 8, 0}};
    EXPECT_EQ(p, expected);
    EXPECT_EQ(LabelPageCount(1, 4, 5, 24), 1);
    // Collation changes nothing for one address.
    EXPECT_EQ(walk(1, 4, true, 5, 24), expected);
}

TEST(LabelOrder, TwoByTwoSheetCollateOff)
{
    // a, b with 2 copies from label 3: a at 3, then page 2 gets a, b, b.
    const std::vector<LabelPlacement> expected = {{0, 3, 0}, {1, 0, 0}, {1, 1, 1}, {1, 2, 1}};
    EXPECT_EQ(walk(2, 2, false, 3, 4), expected);
}

TEST(LabelOrder, TwoByTwoSheetCollateOn)
{
    // a at 3, then page 2 gets b, a, b.
    const std::vector<LabelPlacement> expected = {{0, 3, 0}, {1, 0, 1}, {1, 1, 0}, {1, 2, 1}};
    EXPECT_EQ(walk(2, 2, true, 3, 4), expected);
}

TEST(LabelOrder, OneCopyIsTheSameWithAndWithoutCollation)
{
    EXPECT_EQ(walk(7, 1, true, 2, 6), walk(7, 1, false, 2, 6));
    const auto p = walk(7, 1, true, 2, 6);
    ASSERT_EQ(p.size(), 7u);
    EXPECT_EQ(p.back(), (LabelPlacement{1, 2, 6}));
}

TEST(LabelOrder, NewSheetAfterEveryPosition)
{
    const auto p = walk(3, 10, false, 0, 24);
    ASSERT_EQ(p.size(), 30u);
    for (std::size_t i = 0; i < p.size(); ++i) {
        EXPECT_EQ(p[i].page, int(i) / 24);
        EXPECT_EQ(p[i].position, int(i) % 24);
        EXPECT_EQ(p[i].address, int(i) / 10);
    }
}

TEST(LabelOrder, FirstLabelTwentyThree)
{
    // Two addresses, one copy, first label 23 on a 3 × 8 sheet: the last
    // position of page 1, then the first of page 2.
    const std::vector<LabelPlacement> expected = {{0, 23, 0}, {1, 0, 1}};
    EXPECT_EQ(walk(2, 1, false, 23, 24), expected);
    EXPECT_EQ(LastLabelPageIndex(1, 2, 23, 24), 1);
    EXPECT_EQ(LabelPageCount(2, 1, 23, 24), 2);
}

TEST(LabelOrder, LastPageIndex)
{
    EXPECT_EQ(LastLabelPageIndex(10, 3, 0, 24), 1); // 30 positions: 1 / 2
    EXPECT_EQ(LastLabelPageIndex(1, 1, 0, 14), 0);  // one label on a 2 × 7 sheet
    EXPECT_EQ(LastLabelPageIndex(1, 24, 0, 24), 0); // exactly one sheet
    EXPECT_EQ(LastLabelPageIndex(1, 25, 0, 24), 1);
    EXPECT_EQ(LastLabelPageIndex(1, 48, 0, 24), 1);
    EXPECT_EQ(LastLabelPageIndex(1, 49, 0, 24), 2);
    EXPECT_EQ(LastLabelPageIndex(0, 5, 3, 24), 0); // no copies
    EXPECT_EQ(LastLabelPageIndex(-2, 5, 3, 24), 0);
    // The walk and the last page index agree.
    for (int addresses = 1; addresses < 30; addresses += 3)
        for (int copies = 1; copies < 5; ++copies)
            for (int first : {0, 1, 5, 11}) {
                const auto p = walk(addresses, copies, copies % 2 == 0, first, 12);
                ASSERT_FALSE(p.empty());
                EXPECT_EQ(p.back().page, LastLabelPageIndex(copies, addresses, first, 12))
                    << addresses << " " << copies << " " << first;
                EXPECT_EQ(int(p.size()), addresses * copies);
            }
}

TEST(LabelOrder, NothingToPlace)
{
    EXPECT_TRUE(walk(0, 3, false, 0, 24).empty());
    EXPECT_TRUE(walk(3, 0, false, 0, 24).empty());
    EXPECT_TRUE(walk(3, 0, true, 0, 24).empty());
    EXPECT_EQ(LabelPageCount(0, 1, 0, 24), 0);
    EXPECT_EQ(LabelPageCount(4, 0, 0, 24), 0);
}

TEST(LabelOrder, FirstLabelIsKeptOnTheSheet)
{
    // A first label beyond the sheet is taken as its last label.
    const auto p = walk(1, 1, false, 99, 24);
    ASSERT_EQ(p.size(), 1u);
    EXPECT_EQ(p[0].position, 23);
}

TEST(LabelOrder, UserNumbers)
{
    int index = -1;
    EXPECT_TRUE(LabelIndexFromUserNumber(1, 24, index));
    EXPECT_EQ(index, 0);
    EXPECT_TRUE(LabelIndexFromUserNumber(24, 24, index));
    EXPECT_EQ(index, 23);
    EXPECT_FALSE(LabelIndexFromUserNumber(0, 24, index));
    EXPECT_FALSE(LabelIndexFromUserNumber(25, 24, index));
}
