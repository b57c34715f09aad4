#pragma once
// A fresh address book for the folder tests, with helpers that build
// folders and addresses and count what the database holds.
#include "addressentry.h"
#include "testsupport.h"

#include <gtest/gtest.h>

class FolderBook : public ::testing::Test {
protected:
    static constexpr std::int32_t kRoot = 1;

    CDatabase &db() { return t.db(); }
    std::int32_t folder(std::int32_t parent, const QString &name);
    std::int32_t address(std::int32_t folder, const QString &name, const ValueNoteList &phones = {},
                         const ValueNoteList &emails = {}, const QString &town = QStringLiteral("Brno"));
    AddressEntry stored(std::int32_t address);
    std::int32_t parentOf(std::int32_t folder);
    long count(const QString &table, const QString &where = QString());
    struct Counters {
        std::int32_t address, tel, email, folder;
    };
    Counters counters();
    // Makes the next write whose condition matches fail inside the engine.
    void failWhen(const QString &triggerSql);

    TempDatabase t;
    MessageRecorder rec;
};

#include "addresspanes.h"

// The two panes over the test book, as the main window holds them.
class PaneBook : public FolderBook {
protected:
    void SetUp() override;
    void TearDown() override;
    // Refills both panes from the database.
    void fillPanes();
    // The loaded item of a folder, its children loaded and shown.
    TreeItem *open(std::int32_t folder);
    // Names of a folder item's children as shown.
    QStringList childTexts(TreeItem *item);

    CAddressTreeCtrl *tree = nullptr;
    CAddressListCtrl *list = nullptr;
    AddressPanes panes{nullptr, nullptr};
    QWidget *host = nullptr;
};
