#include "addressrecords.h"
#include "commands.h"
#include "commandtable.h"
#include "helpwindow.h"
#include "ids.h"
#include "mainframe.h"
#include "recordsets.h"
#include "sqlformat.h"
#include "testsupport.h"

#include <QApplication>
#include <QClipboard>
#include <QDockWidget>
#include <QTest>
#include <set>
#include <gtest/gtest.h>

namespace {

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        frame = std::make_unique<CMainFrame>(t.db());
        ASSERT_TRUE(frame->Create());
        frame->resize(1100, 860);
        frame->show();
        QApplication::processEvents();
    }
    void TearDown() override { frame.reset(); }

    AddressPage *page(AddressPage::Kind k) { return frame->view()->page(k); }
    TreeItem *root() { return static_cast<TreeItem *>(frame->tree()->topLevelItem(0)); }
    void selectRoot() { frame->tree()->setCurrentItem(root()); }

    void type(QPlainTextEdit *e, const QString &text) { e->setPlainText(text); }

    // Fills the New address page and presses Insert.
    bool insert(const QString &name, const QString &town = QStringLiteral("Brno"), const QString &zip = QStringLiteral("602 00"),
                const QString &street = QString())
    {
        frame->view()->ActivatePage(AddressPage::New);
        AddressPage *p = page(AddressPage::New);
        type(p->name, name);
        type(p->town, town);
        type(p->street, street);
        p->zip->setText(zip);
        return p->OnInsert();
    }

    struct Counters {
        std::int32_t address, tel, email;
    };
    Counters counters()
    {
        CSetIDS ids(&t.db());
        ids.Open(QStringLiteral("SELECT * FROM IDS"));
        return {ids.m_ID_ADDRESS_FF, ids.m_ID_TEL_FF, ids.m_ID_EMAIL_FF};
    }

    std::int32_t addFolder(std::int32_t parent, const QString &name)
    {
        t.db().BeginTrans();
        IdAllocator ids(t.db());
        CSetFolder f(&t.db());
        f.Open(QStringLiteral("SELECT * FROM FOLDER WHERE 0"));
        f.AddNew();
        f.m_ID_FOLDER_FOLDER = ids.Next(IdCounter::Folder);
        f.m_ID_PARENT = parent;
        f.m_NAME = name;
        f.Update();
        ids.Finish();
        t.db().CommitTrans();
        return f.m_ID_FOLDER_FOLDER;
    }

    TempDatabase t;
    MessageRecorder rec;
    std::unique_ptr<CMainFrame> frame;
};

QStringList childTexts(QTreeWidgetItem *item)
{
    QStringList out;
    for (int i = 0; i < item->childCount(); ++i)
        out << item->child(i)->text(0);
    return out;
}

} // namespace

TEST_F(MainWindowTest, StartsOnViewPageWithBothPanesAndRootExpanded)
{
    EXPECT_EQ(frame->view()->activePage()->kind(), AddressPage::View);
    EXPECT_EQ(frame->view()->sheet()->tabText(0), QStringLiteral("View"));
    EXPECT_EQ(frame->view()->sheet()->tabText(3), QStringLiteral("Quick printing"));
    EXPECT_EQ(frame->tree()->topLevelItemCount(), 1);
    EXPECT_EQ(root()->text(0), QStringLiteral("Addresses"));
    EXPECT_TRUE(root()->isExpanded());
    EXPECT_TRUE(frame->treeDock()->isVisible());
    EXPECT_TRUE(frame->listDock()->isVisible());
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Corvelle"));
    // Status-bar prompts come from the string table.
    EXPECT_EQ(frame->action(ID_ADDRESS_DELETE)->statusTip(), QStringLiteral("Deleting an address from the database"));
}

TEST_F(MainWindowTest, AddAddressWithPhonesAndEmailsIntoRoot)
{
    selectRoot();
    frame->view()->ActivatePage(AddressPage::New);
    AddressPage *p = page(AddressPage::New);
    p->phoneEntry->setText(QStringLiteral("  111 222  "));
    p->phoneNote->setText(QStringLiteral("home"));
    p->OnAddPhone();
    p->phoneEntry->setText(QStringLiteral("333"));
    p->OnAddPhone();
    p->emailEntry->setText(QStringLiteral("jan@example.com"));
    p->OnAddEmail();
    EXPECT_TRUE(rec.Empty());
    const Counters before = counters();
    ASSERT_TRUE(insert(QStringLiteral("Jan Novák\nNovák s.r.o."), QStringLiteral("Praha"), QStringLiteral("110 00"),
                       QStringLiteral("Hlavní 1")));
    EXPECT_TRUE(rec.Empty());
    EXPECT_TRUE(p->name->toPlainText().isEmpty());
    EXPECT_EQ(p->phones->topLevelItemCount(), 0);

    const Counters after = counters();
    EXPECT_EQ(after.address, before.address + 1);
    EXPECT_EQ(after.tel, before.tel + 2);
    EXPECT_EQ(after.email, before.email + 1);

    CSetAddress a(&t.db());
    a.Open(QStringLiteral("SELECT * FROM ADDRESS WHERE 1"));
    ASSERT_EQ(a.GetRecordCount(), 1);
    EXPECT_EQ(a.m_NAME, QStringLiteral("Jan Novák\r\nNovák s.r.o."));
    // Phones in list order: the last added is on top and numbered first.
    const ValueNoteList phones = LoadPhones(t.db(), a.m_ID_ADDRESS_ADDRESS);
    ASSERT_EQ(phones.size(), 2u);
    EXPECT_EQ(phones[0], std::make_pair(QStringLiteral("111 222"), QStringLiteral("home")));

    // Both panes show it: the list at the top, the tree under the root.
    ASSERT_EQ(frame->list()->listModel()->rowCount(), 1);
    EXPECT_EQ(frame->list()->listModel()->index(0, 0).data().toString(), QStringLiteral("Jan Novák, Novák s.r.o."));
    TreeItem *item = frame->tree()->FindAddressItem(a.m_ID_ADDRESS_ADDRESS);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->parent(), root());
}

TEST_F(MainWindowTest, ValidationMessagesFocusTheField)
{
    selectRoot();
    frame->view()->ActivatePage(AddressPage::New);
    AddressPage *p = page(AddressPage::New);
    QApplication::setActiveWindow(frame.get());
    auto attempt = [&](const QString &name, const QString &town, const QString &zip, const QString &other = QString()) {
        rec.Clear();
        type(p->name, name);
        type(p->town, town);
        p->zip->setText(zip);
        type(p->other, other);
        EXPECT_FALSE(p->OnInsert());
        return rec.OnlyId();
    };
    EXPECT_EQ(attempt(QStringLiteral("   "), QStringLiteral("Brno"), QStringLiteral("1")), 2);
    EXPECT_TRUE(p->name->hasFocus());
    EXPECT_EQ(attempt(QStringLiteral("A"), QString(), QStringLiteral("1")), 3);
    EXPECT_TRUE(p->town->hasFocus());
    EXPECT_EQ(attempt(QStringLiteral("A"), QStringLiteral("Brno"), QStringLiteral("  ")), 4);
    EXPECT_TRUE(p->zip->hasFocus());
    // Only invisible characters: an empty name.
    EXPECT_EQ(attempt(QString::fromUtf8("\u200B\u200E"), QStringLiteral("Brno"), QStringLiteral("1")), 2);
    EXPECT_EQ(attempt(QStringLiteral("O") + QChar(u'\0'), QStringLiteral("Brno"), QStringLiteral("1")), 11);
    EXPECT_EQ(rec.Records().front().text,
              QStringLiteral("One or more of the fields contain disallowed character. Please remove it.\\nThe disallowed characters are: U+0000 (NUL)"));
    EXPECT_TRUE(p->name->hasFocus());
    EXPECT_EQ(attempt(QStringLiteral("A"), QStringLiteral("Brno"), QStringLiteral("1"), QStringLiteral("x") + QChar(u'\0')), 11);
    EXPECT_TRUE(p->other->hasFocus());

    // Phone entries: empty, disallowed note, duplicate; e-mails differing in case are fine.
    rec.Clear();
    p->OnAddPhone();
    EXPECT_EQ(rec.OnlyId(), 5);
    rec.Clear();
    p->phoneEntry->setText(QStringLiteral("1"));
    p->phoneNote->setText(QStringLiteral("100%") + QChar(u'\0'));
    p->OnAddPhone();
    EXPECT_EQ(rec.OnlyId(), 11);
    EXPECT_TRUE(p->phoneNote->hasFocus());
    rec.Clear();
    p->phoneNote->setText(QStringLiteral("ok"));
    p->OnAddPhone();
    p->phoneEntry->setText(QStringLiteral("1"));
    p->OnAddPhone();
    EXPECT_EQ(rec.OnlyId(), 19);
    rec.Clear();
    p->emailEntry->setText(QStringLiteral("a@x.cz"));
    p->OnAddEmail();
    p->emailEntry->setText(QStringLiteral("A@x.cz"));
    p->OnAddEmail();
    EXPECT_TRUE(rec.Empty());
    EXPECT_EQ(p->emails->topLevelItemCount(), 2);
    p->emails->clearSelection();
    p->emails->setCurrentItem(nullptr);
    p->OnRemoveEmail();
    EXPECT_EQ(rec.OnlyId(), 22);
    rec.Clear();
    p->phones->setCurrentItem(p->phones->topLevelItem(0));
    p->OnRemovePhone();
    EXPECT_TRUE(rec.Empty());
    EXPECT_EQ(p->phoneEntry->text(), QStringLiteral("1"));
    EXPECT_EQ(p->phoneNote->text(), QStringLiteral("ok"));
    EXPECT_EQ(p->phones->topLevelItemCount(), 0);

    // No folder selected anywhere: error 18.
    frame->tree()->clearSelection();
    frame->tree()->setCurrentItem(nullptr);
    EXPECT_EQ(attempt(QStringLiteral("A"), QStringLiteral("Brno"), QStringLiteral("1")), 18);
}

TEST_F(MainWindowTest, DuplicateQuestionsYesAndNo)
{
    selectRoot();
    ASSERT_TRUE(insert(QStringLiteral("Eva"), QStringLiteral("Brno"), QStringLiteral("1")));
    rec.Queue(TVB_NO);
    selectRoot();
    EXPECT_FALSE(insert(QStringLiteral("eva"), QStringLiteral("BRNO"), QStringLiteral("2")));
    EXPECT_EQ(rec.OnlyId(), 10);
    EXPECT_EQ(page(AddressPage::New)->name->toPlainText(), QStringLiteral("eva")); // values kept
    rec.Clear();
    rec.Queue(TVB_YES);
    EXPECT_TRUE(page(AddressPage::New)->OnInsert());
    EXPECT_EQ(rec.OnlyId(), 10);
    EXPECT_EQ(frame->list()->listModel()->rowCount(), 2);

    // The same address in another folder raises no question.
    const std::int32_t other = addFolder(root()->folder()->id, QStringLiteral("Other"));
    frame->tree()->Fill();
    frame->tree()->setCurrentItem(frame->tree()->FindFolderItem(other));
    rec.Clear();
    EXPECT_TRUE(insert(QStringLiteral("Eva"), QStringLiteral("Brno"), QStringLiteral("1")));
    EXPECT_TRUE(rec.Empty());
}

TEST_F(MainWindowTest, EditingReplacesPhonesAndAsksQuestion23)
{
    selectRoot();
    AddressPage *n = page(AddressPage::New);
    frame->view()->ActivatePage(AddressPage::New);
    for (const char *phone : {"1", "2"}) {
        n->phoneEntry->setText(QString::fromLatin1(phone));
        n->OnAddPhone();
    }
    ASSERT_TRUE(insert(QStringLiteral("Karel"), QStringLiteral("Brno"), QStringLiteral("1")));
    selectRoot();
    ASSERT_TRUE(insert(QStringLiteral("Zdeněk"), QStringLiteral("Brno"), QStringLiteral("1")));
    const std::int32_t karel = frame->list()->listModel()->entry(1).id;

    frame->list()->SelectAddress(karel);
    frame->view()->ActivatePage(AddressPage::Edit);
    AddressPage *e = page(AddressPage::Edit);
    EXPECT_EQ(e->name->toPlainText(), QStringLiteral("Karel"));
    EXPECT_EQ(e->phones->topLevelItemCount(), 2);
    const Counters before = counters();
    rec.Clear();
    e->zip->setText(QStringLiteral("999")); // only the ZIP: no question against itself
    EXPECT_TRUE(e->OnModify());
    EXPECT_EQ(rec.OnlyId(), 24);
    EXPECT_EQ(counters().tel, before.tel + 2);
    CSetTel tel(&t.db());
    tel.Open(SqlFormat("SELECT * FROM TEL WHERE ID_TEL_ADDRESS = %d", karel));
    EXPECT_EQ(tel.GetRecordCount(), 2);
    EXPECT_GE(tel.m_ID_TEL_TEL, before.tel);
    EXPECT_EQ(frame->list()->listModel()->entry(frame->list()->listModel()->findRow(karel)).zip, QStringLiteral("999"));

    // Renaming to the other address's name asks question 23; No writes nothing.
    rec.Clear();
    rec.Queue(TVB_NO);
    type(e->name, QStringLiteral("Zdeněk"));
    EXPECT_FALSE(e->OnModify());
    EXPECT_EQ(rec.OnlyId(), 23);
    CSetAddress a(&t.db());
    a.Open(SqlFormat("SELECT * FROM ADDRESS WHERE ID_ADDRESS_ADDRESS = %d", karel));
    EXPECT_EQ(a.m_NAME, QStringLiteral("Karel"));

    // Unsaved edits are dropped by leaving the page.
    frame->view()->ActivatePage(AddressPage::View);
    frame->view()->ActivatePage(AddressPage::Edit);
    EXPECT_EQ(e->name->toPlainText(), QStringLiteral("Karel"));
}

// Another program changes the address while it is on the Edit page: the
// save is refused with its message and the page keeps what was typed; a
// second save replaces the other program's change on purpose.
TEST_F(MainWindowTest, ModifyOfAnAddressChangedElsewhereIsRefusedOnce)
{
    selectRoot();
    ASSERT_TRUE(insert(QStringLiteral("Karel"), QStringLiteral("Brno"), QStringLiteral("1")));
    const std::int32_t karel = frame->list()->listModel()->entry(0).id;
    frame->list()->SelectAddress(karel);
    frame->view()->ActivatePage(AddressPage::Edit);
    AddressPage *e = page(AddressPage::Edit);
    ASSERT_EQ(e->name->toPlainText(), QStringLiteral("Karel"));
    {
        CDatabase other;
        other.Open(t.path());
        AddressEntry theirs;
        theirs.id = karel;
        theirs.name = QStringLiteral("Karel");
        theirs.street = QStringLiteral("Their street 1");
        theirs.town = QStringLiteral("Brno");
        theirs.zip = QStringLiteral("1");
        SaveEditedAddress(other, theirs, {}, {});
    }
    rec.Clear();
    type(e->name, QStringLiteral("Karel Mine"));
    EXPECT_FALSE(e->OnModify());
    ASSERT_EQ(rec.Records().size(), 1u);
    EXPECT_EQ(rec.Records()[0].text, QString::fromLatin1(kAddressChangedText));
    EXPECT_EQ(e->name->toPlainText(), QStringLiteral("Karel Mine"));
    {
        CSetAddress a(&t.db());
        a.Open(SqlFormat("SELECT * FROM ADDRESS WHERE ID_ADDRESS_ADDRESS = %d", karel));
        EXPECT_EQ(a.m_NAME, QStringLiteral("Karel"));
        EXPECT_EQ(a.m_STREET, QStringLiteral("Their street 1"));
    }
    rec.Clear();
    EXPECT_TRUE(e->OnModify());
    EXPECT_EQ(rec.OnlyId(), 24);
    CSetAddress a(&t.db());
    a.Open(SqlFormat("SELECT * FROM ADDRESS WHERE ID_ADDRESS_ADDRESS = %d", karel));
    EXPECT_EQ(a.m_NAME, QStringLiteral("Karel Mine"));
    // Saving again after the own save is no conflict.
    rec.Clear();
    e->zip->setText(QStringLiteral("2"));
    EXPECT_TRUE(e->OnModify());
    EXPECT_EQ(rec.OnlyId(), 24);
}

TEST_F(MainWindowTest, ModifyWithoutStoredAddressFailsWithError8)
{
    frame->view()->ActivatePage(AddressPage::Edit);
    AddressPage *e = page(AddressPage::Edit);
    type(e->name, QStringLiteral("Ghost"));
    type(e->town, QStringLiteral("Brno"));
    e->zip->setText(QStringLiteral("1"));
    EXPECT_FALSE(e->OnModify());
    EXPECT_EQ(rec.OnlyId(), 8);
    CSetAddress a(&t.db());
    a.Open(QStringLiteral("SELECT * FROM ADDRESS WHERE 1"));
    EXPECT_TRUE(a.IsEOF());
}

TEST_F(MainWindowTest, DeleteAsksQuestion34)
{
    selectRoot();
    ASSERT_TRUE(insert(QStringLiteral("Doomed")));
    const std::int32_t id = frame->list()->listModel()->entry(0).id;
    frame->list()->SelectAddress(id);
    rec.Queue(TVB_NO);
    EXPECT_FALSE(frame->DeleteSelectedAddress());
    EXPECT_EQ(rec.OnlyId(), 34);
    EXPECT_EQ(frame->list()->listModel()->rowCount(), 1);
    rec.Clear();
    rec.Queue(TVB_YES);
    EXPECT_TRUE(frame->DeleteSelectedAddress());
    EXPECT_EQ(frame->list()->listModel()->rowCount(), 0);
    EXPECT_EQ(frame->tree()->FindAddressItem(id), nullptr);
    // The root's expand button went with its last address.
    EXPECT_EQ(root()->childCount(), 0);
    rec.Clear();
    EXPECT_FALSE(frame->DeleteSelectedAddress());
    EXPECT_EQ(rec.OnlyId(), 33);
}

TEST_F(MainWindowTest, TreeInsertionPositions)
{
    const std::int32_t rootId = root()->folder()->id;
    addFolder(rootId, QStringLiteral("Gamma"));
    frame->tree()->Fill();
    selectRoot();
    ASSERT_TRUE(insert(QStringLiteral("Bert")));
    selectRoot();
    ASSERT_TRUE(insert(QStringLiteral("anna")));
    EXPECT_EQ(childTexts(root()), (QStringList{"Gamma", "anna", "Bert"}));
    frame->tree()->InsertFolderItem(root(), FolderEntry{999, rootId, QStringLiteral("beta")});
    EXPECT_EQ(childTexts(root()), (QStringList{"beta", "Gamma", "anna", "Bert"}));
}

TEST_F(MainWindowTest, FolderWithOnlyAddressesHasExpandButtonEmptyFolderNone)
{
    const std::int32_t rootId = root()->folder()->id;
    const std::int32_t full = addFolder(rootId, QStringLiteral("Full"));
    addFolder(rootId, QStringLiteral("Empty"));
    {
        AddressEntry a;
        a.name = QStringLiteral("X");
        a.town = QStringLiteral("Y");
        a.zip = QStringLiteral("1");
        SaveNewAddress(t.db(), a, {}, {}, full);
    }
    frame->tree()->Fill();
    TreeItem *fullItem = frame->tree()->FindFolderItem(full);
    ASSERT_NE(fullItem, nullptr);
    EXPECT_EQ(fullItem->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
    TreeItem *empty = static_cast<TreeItem *>(root()->child(0));
    EXPECT_EQ(empty->text(0), QStringLiteral("Empty"));
    EXPECT_NE(empty->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
    fullItem->setExpanded(true);
    EXPECT_EQ(fullItem->childCount(), 1);
}

TEST_F(MainWindowTest, SelectionMovesBetweenPanesAndPagesFollow)
{
    selectRoot();
    ASSERT_TRUE(insert(QStringLiteral("Viewed")));
    frame->view()->ActivatePage(AddressPage::View);
    const std::int32_t id = frame->list()->listModel()->entry(0).id;
    frame->list()->SelectAddress(id);
    AddressPage *v = page(AddressPage::View);
    EXPECT_EQ(v->name->toPlainText(), QStringLiteral("Viewed"));
    EXPECT_EQ(frame->tree()->SelectedItem(), nullptr);
    selectRoot(); // a folder: the View page empties and the list loses its row
    EXPECT_TRUE(v->name->toPlainText().isEmpty());
    EXPECT_EQ(frame->list()->SelectedEntry(), nullptr);
}

TEST_F(MainWindowTest, ViewReadsPhonesOnlyOnce)
{
    selectRoot();
    frame->view()->ActivatePage(AddressPage::New);
    page(AddressPage::New)->phoneEntry->setText(QStringLiteral("777"));
    page(AddressPage::New)->OnAddPhone();
    ASSERT_TRUE(insert(QStringLiteral("Cached")));
    const std::int32_t id = frame->list()->listModel()->entry(0).id;
    frame->view()->ActivatePage(AddressPage::View);
    frame->list()->SelectAddress(id);
    EXPECT_EQ(page(AddressPage::View)->phones->topLevelItemCount(), 1);
    // Change the database behind the pane's back: the cached list is shown.
    t.db().ExecuteRaw(QStringLiteral("DELETE FROM TEL"));
    frame->list()->ClearSelection();
    frame->list()->SelectAddress(id);
    EXPECT_EQ(page(AddressPage::View)->phones->topLevelItemCount(), 1);
}

TEST_F(MainWindowTest, PhoneListSortsWithoutRegardToCase)
{
    frame->view()->ActivatePage(AddressPage::New);
    AddressPage *p = page(AddressPage::New);
    p->phones->setPairs({{QStringLiteral("b"), QString()}, {QStringLiteral("A"), QString()}, {QStringLiteral("c"), QString()}});
    p->phones->sortByColumn(0);
    QStringList values;
    for (const auto &[v, n] : p->phones->pairs())
        values << v;
    EXPECT_EQ(values, (QStringList{"A", "b", "c"}));
}

TEST_F(MainWindowTest, QuickPrintingKeepsItsTextAndChecksRequiredFields)
{
    frame->view()->ActivatePage(AddressPage::Quick);
    AddressPage *q = page(AddressPage::Quick);
    type(q->name, QStringLiteral("  Quick  "));
    type(q->town, QStringLiteral("Town"));
    EXPECT_FALSE(AddressToPrint().has_value());
    EXPECT_EQ(rec.OnlyId(), 4);
    frame->view()->ActivatePage(AddressPage::View);
    frame->view()->ActivatePage(AddressPage::Quick);
    EXPECT_EQ(q->name->toPlainText(), QStringLiteral("Quick"));
    q->zip->setText(QStringLiteral("123"));
    const std::optional<AddressEntry> a = AddressToPrint();
    ASSERT_TRUE(a.has_value());
    EXPECT_EQ(a->name, QStringLiteral("Quick"));
    EXPECT_EQ(a->id, -1);

    // Not on Quick printing and nothing selected: information 97.
    frame->view()->ActivatePage(AddressPage::View);
    rec.Clear();
    EXPECT_FALSE(AddressToPrint().has_value());
    EXPECT_EQ(rec.OnlyId(), 97);
    EXPECT_EQ(rec.Records().front().kind, TVMessageKind::Information);
}

TEST_F(MainWindowTest, CommandAvailability)
{
    // A print handler as the printing part registers it.
    int printed = 0;
    RegisterCommand(ID_PRINT_ONE_ENVELOPE, {[&](QWidget *) { ++printed; }, {}});
    frame->UpdateCommandStates();
    // The menu entry (and Ctrl+O) and the toolbar button need an address or Quick printing.
    EXPECT_FALSE(frame->action(ID_PRINT_ONE_ENVELOPE)->isEnabled());
    EXPECT_FALSE(frame->action(ID_TB_PRINT_ONE_ENVELOPE)->isEnabled());
    frame->RunCommand(ID_PRINT_ONE_ENVELOPE);
    EXPECT_FALSE(frame->action(ID_ADDRESS_DELETE)->isEnabled());
    frame->RunCommand(ID_TB_PRINT_ONE_ENVELOPE);
    EXPECT_EQ(printed, 0);
    frame->view()->ActivatePage(AddressPage::Quick);
    frame->UpdateCommandStates();
    EXPECT_TRUE(frame->action(ID_TB_PRINT_ONE_ENVELOPE)->isEnabled());
    frame->action(ID_TB_PRINT_ONE_ENVELOPE)->trigger();
    EXPECT_EQ(printed, 1);
    EXPECT_TRUE(frame->action(ID_PRINT_ONE_ENVELOPE)->isEnabled());
    frame->action(ID_PRINT_ONE_ENVELOPE)->trigger();
    EXPECT_EQ(printed, 2);
    RegisterCommand(ID_PRINT_ONE_ENVELOPE, {});

    // Tab commands on the active page change nothing.
    page(AddressPage::Quick)->name->setPlainText(QStringLiteral("kept"));
    frame->RunCommand(ID_PAGE_QUICK);
    EXPECT_EQ(page(AddressPage::Quick)->name->toPlainText(), QStringLiteral("kept"));

    // Edit commands: nothing in a tree or list; no paste into a read-only field.
    QApplication::setActiveWindow(frame.get());
    QApplication::clipboard()->setText(QStringLiteral("clip"));
    frame->tree()->setFocus();
    QApplication::processEvents();
    frame->UpdateCommandStates();
    for (int id : {ID_EDIT_COPY, ID_EDIT_CUT, ID_EDIT_PASTE, ID_EDIT_DELETE})
        EXPECT_FALSE(frame->action(id)->isEnabled()) << id;
    frame->view()->ActivatePage(AddressPage::View);
    page(AddressPage::View)->zip->setFocus();
    QApplication::processEvents();
    frame->UpdateCommandStates();
    EXPECT_FALSE(frame->action(ID_EDIT_PASTE)->isEnabled());
    frame->view()->ActivatePage(AddressPage::New);
    AddressPage *n = page(AddressPage::New);
    n->zip->setFocus();
    QApplication::processEvents();
    frame->UpdateCommandStates();
    EXPECT_TRUE(frame->action(ID_EDIT_PASTE)->isEnabled());
    frame->RunCommand(ID_TB_PASTE);
    EXPECT_EQ(n->zip->text(), QStringLiteral("clip"));
    frame->UpdateCommandStates();
    EXPECT_TRUE(frame->action(ID_EDIT_SELECT_ALL)->isEnabled());
    frame->RunCommand(ID_EDIT_SELECT_ALL);
    frame->UpdateCommandStates();
    EXPECT_FALSE(frame->action(ID_EDIT_SELECT_ALL)->isEnabled()); // already wholly selected
    EXPECT_TRUE(frame->action(ID_EDIT_CUT)->isEnabled());
    frame->RunCommand(ID_EDIT_CUT);
    EXPECT_TRUE(n->zip->text().isEmpty());
    frame->UpdateCommandStates();
    EXPECT_TRUE(frame->action(ID_EDIT_UNDO)->isEnabled());
    frame->RunCommand(ID_TB_UNDO);
    EXPECT_EQ(n->zip->text(), QStringLiteral("clip"));

    // Commands of parts this build lacks are disabled, never silent.
    for (const CommandInfo &c : CommandTable())
        if (!FindCommand(CanonicalCommand(c.id)) && c.id >= ID_ENVSTYLE_NEW && c.id <= ID_LABSTYLE_DELETE) {
            EXPECT_FALSE(frame->action(c.id)->isEnabled()) << c.id;
        }
}

// Ctrl+O and Ctrl+S, pressed on the window, print one envelope and one label.
TEST_F(MainWindowTest, PrintOneShortcutsReachTheirCommands)
{
    int envelopes = 0, labels = 0;
    RegisterCommand(ID_PRINT_ONE_ENVELOPE, {[&](QWidget *) { ++envelopes; }, {}});
    RegisterCommand(ID_PRINT_ONE_LABEL, {[&](QWidget *) { ++labels; }, {}});
    frame->view()->ActivatePage(AddressPage::Quick);
    frame->UpdateCommandStates();
    QApplication::setActiveWindow(frame.get());
    frame->tree()->setFocus();
    QApplication::processEvents();
    QTest::keyClick(frame->tree(), Qt::Key_O, Qt::ControlModifier);
    QTest::keyClick(frame->tree(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(envelopes, 1);
    EXPECT_EQ(labels, 1);
    RegisterCommand(ID_PRINT_ONE_ENVELOPE, {});
    RegisterCommand(ID_PRINT_ONE_LABEL, {});
}

TEST_F(MainWindowTest, ViewMenuTogglesBarsWithCheckMarks)
{
    EXPECT_TRUE(frame->action(ID_VIEW_TREE)->isChecked());
    frame->RunCommand(ID_VIEW_TREE);
    EXPECT_FALSE(frame->treeDock()->isVisible());
    EXPECT_FALSE(frame->action(ID_VIEW_TREE)->isChecked());
    frame->RunCommand(ID_VIEW_TREE);
    EXPECT_TRUE(frame->treeDock()->isVisible());
    frame->RunCommand(ID_VIEW_STATUSBAR);
    EXPECT_FALSE(frame->action(ID_VIEW_STATUSBAR)->isChecked());
}

TEST(ListPane, ColumnWidthsFollowTheWidth)
{
    EXPECT_EQ(CAddressListCtrl::ColumnWidthsFor(450, {140, 140, 140}), (std::array<int, 3>{144, 144, 144}));
    EXPECT_EQ(CAddressListCtrl::ColumnWidthsFor(439, {1, 2, 3}), (std::array<int, 3>{140, 140, 141}));
    EXPECT_EQ(CAddressListCtrl::ColumnWidthsFor(438, {1, 2, 3}), (std::array<int, 3>{1, 2, 3}));
}

TEST(ListPane, HeaderClickSortsAscendingTwice)
{
    TempDatabase t;
    MessageRecorder rec;
    for (const char *town : {"praha", "Brno", "Ostrava"}) {
        AddressEntry a;
        a.name = QString::fromLatin1(town).toUpper();
        a.town = QString::fromLatin1(town);
        a.zip = QStringLiteral("1");
        SaveNewAddress(t.db(), a, {}, {}, 1);
    }
    CAddressListCtrl list(t.db());
    ASSERT_TRUE(list.Fill());
    auto towns = [&] {
        QStringList out;
        for (const AddressEntry &e : list.listModel()->rows())
            out << e.town;
        return out;
    };
    EXPECT_EQ(towns(), (QStringList{"Brno", "Ostrava", "praha"})); // NAME order
    list.listModel()->sort(1, Qt::DescendingOrder);
    EXPECT_EQ(towns(), (QStringList{"Brno", "Ostrava", "praha"}));
    list.listModel()->sort(1, Qt::DescendingOrder);
    EXPECT_EQ(towns(), (QStringList{"Brno", "Ostrava", "praha"}));
}

TEST(View, SheetStaysAtTenWhenTheViewIsSmall)
{
    EXPECT_EQ(CTesmarView::SheetOrigin(QSize(500, 400)), QPoint(10, 10));
    EXPECT_EQ(CTesmarView::SheetOrigin(QSize(800, 774)), QPoint(100, 100));
}

TEST(Help, EveryTopicTheWindowOpensHasAPage)
{
    const QMap<int, QString> topics = HelpWindow::Topics();
    for (int topic : {1, 12, 13, 14, 24})
        EXPECT_TRUE(topics.contains(topic)) << topic;
    HelpWindow *help = HelpWindow::Instance();
    EXPECT_TRUE(help->ShowTopic(13));
    EXPECT_EQ(help->currentSource(), QStringLiteral("list.html"));
    help->close();
}

// Commands and help pages come from several parts of the program; two of them
// under one number would leave one command or page unreachable.
TEST(CommandTable, EveryCommandIdAndHelpTopicIsTakenOnce)
{
    std::set<int> ids;
    for (const CommandInfo &c : CommandTable())
        EXPECT_TRUE(ids.insert(c.id).second) << "command id " << c.id << " twice (" << c.text.toStdString() << ")";
    const QMap<int, QString> topics = HelpWindow::Topics();
    EXPECT_EQ(topics.size(), HelpWindow::ContentsOrder().size()) << "two help pages share a topic number";
}

TEST(MainWindowStart, WithoutRootFolderTheWindowDoesNotComeUp)
{
    TempDatabase t;
    t.db().ExecuteRaw(QStringLiteral("DELETE FROM FOLDER"));
    MessageRecorder rec;
    CMainFrame frame(t.db());
    EXPECT_FALSE(frame.Create());
    EXPECT_EQ(rec.Ids(), std::vector<int>{8}); // reported once
}

// With every part of the program built in, every command of the menus and the
// toolbar has something to do: none is left without a handler.
TEST_F(MainWindowTest, EveryCommandHasAHandler)
{
    const std::set<int> ownedByTheWindow = {
        ID_APP_EXIT_MENU, ID_EDIT_UNDO,    ID_EDIT_CUT,      ID_EDIT_COPY,    ID_EDIT_PASTE,     ID_EDIT_DELETE,
        ID_EDIT_SELECT_ALL, ID_PAGE_VIEW,  ID_PAGE_NEW,      ID_PAGE_EDIT,    ID_PAGE_QUICK,     ID_ADDRESS_DELETE,
        ID_VIEW_MENUBAR,  ID_VIEW_TOOLBAR, ID_VIEW_STATUSBAR, ID_VIEW_TREE,   ID_VIEW_LIST,      ID_HELP_CONTENTS,
        ID_HELP_INDEX,    ID_APP_ABOUT,    ID_GAME_BLOCKS,   ID_GAME_SNAKE};
    for (const CommandInfo &c : CommandTable()) {
        const int id = CanonicalCommand(c.id);
        if (ownedByTheWindow.count(id))
            continue;
        const CommandHandler *handler = FindCommand(id);
        EXPECT_TRUE(handler && handler->run) << "command " << c.id << " " << c.text.toStdString();
    }
    // The settings and the mass commands are available at once.
    frame->UpdateCommandStates();
    for (int id : {ID_FILE_PRINT_SETUP, ID_ENVSIZE_NEW, ID_LABSTYLE_EDIT, ID_BACKUP, ID_EXPORT_EXCEL, ID_SEARCH,
                   ID_REPORT, ID_FOLDER_NEW, ID_MASS_PRINT_LABEL, ID_TB_MASS_PREVIEW_ENVELOPE, ID_GAME_SNAKE})
        EXPECT_TRUE(frame->action(id)->isEnabled()) << id;
}
