// Moving and copying addresses without a window, and the mass-move plan.
#include "addressmove.h"
#include "addressrecords.h"
#include "folderstest.h"
#include "recordsets.h"
#include "sqlformat.h"

namespace {

class AddressMove : public FolderBook {};

TEST_F(AddressMove, MoveChecks)
{
    const std::int32_t a = folder(kRoot, QStringLiteral("A"));
    AddressEntry e = stored(address(a, QStringLiteral("Anna")));
    EXPECT_EQ(CheckMoveAddress(e, std::nullopt), 57355);
    EXPECT_EQ(CheckMoveAddress(e, a), 57356);
    EXPECT_EQ(CheckMoveAddress(e, kRoot), 0);
    EXPECT_EQ(CheckCopyAddress(e, std::nullopt), 57358);
    EXPECT_EQ(CheckCopyAddress(e, a), 57359);
    EXPECT_EQ(CheckCopyAddress(e, kRoot), 0);
}

TEST_F(AddressMove, MoveChangesOnlyTheFolder)
{
    const std::int32_t a = folder(kRoot, QStringLiteral("A"));
    const std::int32_t b = folder(kRoot, QStringLiteral("B"));
    const std::int32_t id = address(a, QStringLiteral("Anna"), {{QStringLiteral("123"), QString()}});
    const Counters before = counters();
    MoveAddress(db(), id, b);
    EXPECT_EQ(stored(id).folder, b);
    EXPECT_EQ(LoadPhones(db(), id).size(), 1u);
    const Counters after = counters();
    EXPECT_EQ(after.address, before.address);
    EXPECT_EQ(after.tel, before.tel);
    EXPECT_THROW(MoveAddress(db(), 999, a), DbException); // vanished
    EXPECT_THROW(MoveAddress(db(), id, 999), DbException); // no such folder
    EXPECT_EQ(stored(id).folder, b);
    EXPECT_EQ(db().TransactionDepth(), 0);
}

TEST_F(AddressMove, CopyTakesIdentifiersFromTheCounters)
{
    const std::int32_t a = folder(kRoot, QStringLiteral("A"));
    const std::int32_t b = folder(kRoot, QStringLiteral("B"));
    const std::int32_t id = address(a, QStringLiteral("Anna\r\nNováková"),
                                    {{QStringLiteral("111"), QStringLiteral("home")}, {QStringLiteral("222"), QString()}},
                                    {{QStringLiteral("anna@x.cz"), QStringLiteral("private")}});
    const Counters before = counters();
    const AddressEntry copy = CopyAddress(db(), id, b);
    const Counters after = counters();
    EXPECT_EQ(copy.id, before.address);
    EXPECT_EQ(copy.folder, b);
    EXPECT_EQ(copy.name, QStringLiteral("Anna\r\nNováková"));
    EXPECT_EQ(after.address, before.address + 1);
    EXPECT_EQ(after.tel, before.tel + 2);
    EXPECT_EQ(after.email, before.email + 1);
    EXPECT_EQ(count(QStringLiteral("ADDRESS")), 2);
    EXPECT_EQ(count(QStringLiteral("TEL"), QStringLiteral("ID_TEL_ADDRESS = %1").arg(copy.id)), 2);
    EXPECT_EQ(count(QStringLiteral("EMAIL"), QStringLiteral("ID_EMAIL_ADDRESS = %1").arg(copy.id)), 1);
    // The new rows carry the identifiers the counters held.
    EXPECT_EQ(count(QStringLiteral("TEL"), QStringLiteral("ID_TEL_TEL IN (%1, %2) AND ID_TEL_ADDRESS = %3")
                                                .arg(before.tel)
                                                .arg(before.tel + 1)
                                                .arg(copy.id)),
              2);
    EXPECT_EQ(count(QStringLiteral("EMAIL"), QStringLiteral("ID_EMAIL_EMAIL = %1 AND ID_EMAIL_ADDRESS = %2")
                                                 .arg(before.email)
                                                 .arg(copy.id)),
              1);
    EXPECT_EQ(LoadPhones(db(), copy.id), LoadPhones(db(), id));
    EXPECT_EQ(LoadEmails(db(), copy.id), LoadEmails(db(), id));
}

TEST_F(AddressMove, CopyIntoOwnFolderMakesOneSecondAddress)
{
    const std::int32_t a = folder(kRoot, QStringLiteral("A"));
    const std::int32_t id = address(a, QStringLiteral("Anna"), {{QStringLiteral("1"), QString()}});
    CopyAddress(db(), id, a);
    EXPECT_EQ(count(QStringLiteral("ADDRESS"), QStringLiteral("ID_ADDRESS_FOLDER = %1").arg(a)), 2);
    EXPECT_EQ(count(QStringLiteral("TEL")), 2);
}

TEST_F(AddressMove, VanishedOrFailingCopyLeavesNothing)
{
    const std::int32_t a = folder(kRoot, QStringLiteral("A"));
    const std::int32_t id = address(a, QStringLiteral("Anna"), {{QStringLiteral("1"), QString()}},
                                    {{QStringLiteral("bad@x.cz"), QString()}});
    const Counters before = counters();
    EXPECT_THROW(CopyAddress(db(), 999, a), DbException);
    failWhen(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON TEL "
                            "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    EXPECT_THROW(CopyAddress(db(), id, a), DbException);
    const Counters after = counters();
    EXPECT_EQ(after.address, before.address);
    EXPECT_EQ(after.email, before.email);
    EXPECT_EQ(count(QStringLiteral("ADDRESS")), 1);
    EXPECT_EQ(count(QStringLiteral("EMAIL")), 1);
    EXPECT_EQ(db().TransactionDepth(), 0);
}

TEST_F(AddressMove, ListingReadsAscendingByName)
{
    const std::int32_t a = folder(kRoot, QStringLiteral("A"));
    address(a, QStringLiteral("bert"));
    address(a, QStringLiteral("Cyril"));
    address(a, QStringLiteral("Anna"));
    const std::vector<AddressEntry> rows = MassMoveListing(db(), a);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].name, QStringLiteral("Anna"));
    EXPECT_EQ(rows[1].name, QStringLiteral("bert"));
    EXPECT_EQ(rows[2].name, QStringLiteral("Cyril"));
}

TEST_F(AddressMove, TransferChecks)
{
    EXPECT_EQ(CheckMassTransfer(std::nullopt, 2, true), 36);
    EXPECT_EQ(CheckMassTransfer(2, std::nullopt, true), 36);
    EXPECT_EQ(CheckMassTransfer(2, 2, true), 37);
    EXPECT_EQ(CheckMassTransfer(2, 3, false), 38);
    EXPECT_EQ(CheckMassTransfer(2, 3, true), 0);
}

TEST_F(AddressMove, PlanCountsOnlyRowsThatChangedSides)
{
    const std::int32_t src = 10, dst = 20;
    auto row = [](std::int32_t id, std::int32_t folder) {
        AddressEntry e;
        e.id = id;
        e.folder = folder;
        return e;
    };
    // Three went right, one of them came back: two changes remain.
    const std::vector<AddressEntry> sourceRows{row(1, src), row(3, src), row(4, src)};
    const std::vector<AddressEntry> destinationRows{row(5, src), row(2, src), row(9, dst)};
    std::vector<MassMoveChange> plan = PlanMassMove(src, dst, sourceRows, destinationRows);
    ASSERT_EQ(plan.size(), 2u);
    // The destination list walked from its last row to its first.
    EXPECT_EQ(plan[0].address, 2);
    EXPECT_EQ(plan[1].address, 5);
    EXPECT_EQ(plan[0].from, src);
    EXPECT_EQ(plan[0].to, dst);
    // A destination row taken over to the source goes back to the source.
    plan = PlanMassMove(src, dst, {row(9, dst), row(1, src)}, {});
    ASSERT_EQ(plan.size(), 1u);
    EXPECT_EQ(plan[0].address, 9);
    EXPECT_EQ(plan[0].to, src);
}

TEST_F(AddressMove, ApplyIsAllOrNothing)
{
    const std::int32_t a = folder(kRoot, QStringLiteral("A"));
    const std::int32_t b = folder(kRoot, QStringLiteral("B"));
    const std::int32_t x = address(a, QStringLiteral("X"));
    const std::int32_t y = address(a, QStringLiteral("Y"));
    EXPECT_THROW(ApplyMassMove(db(), {{x, a, b}, {999, a, b}, {y, a, b}}), DbException);
    EXPECT_EQ(stored(x).folder, a);
    EXPECT_EQ(stored(y).folder, a);
    ApplyMassMove(db(), {{x, a, b}, {y, a, b}});
    EXPECT_EQ(stored(x).folder, b);
    EXPECT_EQ(stored(y).folder, b);
}

} // namespace
