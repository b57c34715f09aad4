// The main window as people work it: every flow driven by real mouse and
// keyboard events on the real window (toolbar clicks, menu mnemonics, tree
// clicks and drags, Tab), with only the message boxes answered by the hook.
#include "addressdialogs.h"
#include "addressrecords.h"
#include "commandtable.h"
#include "folderdialogs.h"
#include "folderops.h"
#include "mainframe.h"
#include "recordsets.h"
#include "sqlformat.h"
#include "testsupport.h"
#include "textcompare.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QScreen>
#include <QTabBar>
#include <QTimer>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QToolBar>
#include <gtest/gtest.h>

namespace {

class WindowFlow : public ::testing::Test {
protected:
    void SetUp() override
    {
        rootId = RootFolder(t.db());
        rec.defaultAnswer = TVB_YES;
    }
    void TearDown() override { frame.reset(); }

    // The window as the program shows it on its first start.
    void start(QSize size = QSize(1100, 860))
    {
        frame = std::make_unique<CMainFrame>(t.db());
        ASSERT_TRUE(frame->Create());
        frame->resize(size);
        frame->show();
        QApplication::setActiveWindow(frame.get());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
        QApplication::processEvents();
        QApplication::processEvents();
    }

    // A closed dialog or menu leaves no active window offscreen; a person's
    // window manager gives the main window back its activation.
    void activate()
    {
        QApplication::setActiveWindow(frame.get());
        QApplication::processEvents();
    }
    CAddressTreeCtrl *tree() { return frame->tree(); }
    TreeItem *root() { return static_cast<TreeItem *>(tree()->topLevelItem(0)); }
    TreeItem *folderItem(std::int32_t id) { return tree()->FindFolderItem(id); }

    std::int32_t folder(std::int32_t parent, const QString &name) { return CreateFolder(t.db(), name, parent).id; }
    std::int32_t address(std::int32_t f, const QString &name, const QString &town = QStringLiteral("Brno"))
    {
        AddressEntry e;
        e.name = name;
        e.town = town;
        e.zip = QStringLiteral("602 00");
        return SaveNewAddress(t.db(), e, {}, {}, f);
    }

    // The folder an address is stored in.
    std::int32_t stored(std::int32_t id)
    {
        CSetAddress a(&t.db());
        a.Open(SqlFormat("SELECT * FROM ADDRESS WHERE ID_ADDRESS_ADDRESS = %d", id));
        return a.IsEOF() ? -1 : a.m_ID_ADDRESS_FOLDER;
    }

    // A click on a tree item, scrolled into sight first.
    void click(TreeItem *item)
    {
        ASSERT_NE(item, nullptr);
        tree()->scrollToItem(item);
        QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {}, tree()->visualItemRect(item).center());
        QApplication::processEvents();
    }
    // Opens a folder from the keyboard: select it, then Right.
    void openByKey(TreeItem *item)
    {
        activate();
        click(item);
        QTest::keyClick(tree(), Qt::Key_Right);
        QApplication::processEvents();
    }
    bool shown(QTreeWidgetItem *item)
    {
        return item && !tree()->visualItemRect(item).isEmpty();
    }
    QStringList children(QTreeWidgetItem *item)
    {
        QStringList out;
        for (int i = 0; item && i < item->childCount(); ++i)
            out << item->child(i)->text(0);
        return out;
    }
    void clickToolbar(int id)
    {
        auto *bar = frame->findChild<QToolBar *>(QStringLiteral("toolbar"));
        QWidget *button = bar->widgetForAction(frame->action(id));
        ASSERT_NE(button, nullptr) << id;
        QTest::mouseClick(button, Qt::LeftButton);
        QApplication::processEvents();
    }
    // A menu command by its mnemonics: Alt+menu letter, then the entry's letter.
    void menu(Qt::Key menuKey, Qt::Key entryKey)
    {
        activate();
        QTest::keyClick(frame.get(), menuKey, Qt::AltModifier);
        QApplication::processEvents();
        QWidget *popup = QApplication::activePopupWidget();
        ASSERT_NE(popup, nullptr) << "no menu opened";
        QTest::keyClick(popup, entryKey);
        QApplication::processEvents();
    }
    // Works the folder chooser dialog that a command opens: picks the
    // folder with a click and presses the OK button.
    void chooseInDialog(std::int32_t destination, const QString &name = QString())
    {
        OnModalDialog([destination, name](QWidget *w) {
            auto *chooser = w->findChild<FolderChooserTree *>();
            ASSERT_NE(chooser, nullptr);
            chooser->SelectFolder(destination);
            QTreeWidgetItem *item = chooser->FindLoadedItem(destination);
            ASSERT_NE(item, nullptr);
            chooser->scrollToItem(item);
            QTest::mouseClick(chooser->viewport(), Qt::LeftButton, {}, chooser->visualItemRect(item).center());
            if (!name.isEmpty()) {
                auto *edit = w->findChild<QLineEdit *>(QStringLiteral("folderName"));
                QTest::mouseClick(edit, Qt::LeftButton);
                QTest::keyClicks(edit, name);
            }
            auto *ok = w->findChild<QPushButton *>(QStringLiteral("okButton"));
            if (!ok)
                for (QPushButton *b : w->findChildren<QPushButton *>())
                    if (b->text() == QLatin1String("OK"))
                        ok = b;
            ASSERT_NE(ok, nullptr);
            QTest::mouseClick(ok, Qt::LeftButton);
        });
    }
    // Presses the left button on one item, drags and releases on another.
    void drag(TreeItem *from, TreeItem *to, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget *vp = tree()->viewport();
        tree()->scrollToItem(from);
        const QPoint start = tree()->visualItemRect(from).center();
        QTest::mousePress(vp, Qt::LeftButton, {}, start);
        const QPoint end = tree()->visualItemRect(to).center();
        for (int step = 1; step <= 6; ++step) {
            const QPoint p = start + (end - start) * step / 6 + QPoint(0, step == 1 ? 12 : 0);
            QMouseEvent move(QEvent::MouseMove, QPointF(p), vp->mapToGlobal(QPointF(p)), Qt::NoButton,
                             Qt::LeftButton, modifiers);
            QApplication::sendEvent(vp, &move);
        }
        QMouseEvent move(QEvent::MouseMove, QPointF(end), vp->mapToGlobal(QPointF(end)), Qt::NoButton, Qt::LeftButton,
                         modifiers);
        QApplication::sendEvent(vp, &move);
        QTest::mouseRelease(vp, Qt::LeftButton, modifiers, end);
        QApplication::processEvents();
    }

    TempDatabase t;
    MessageRecorder rec;
    std::unique_ptr<CMainFrame> frame;
    std::int32_t rootId = -1;
};

} // namespace

TEST_F(WindowFlow, FirstFolderOfANewDatabaseAndItsFirstSubfolderShow)
{
    start();
    ASSERT_TRUE(root()->isExpanded());
    ASSERT_EQ(root()->childCount(), 0);

    click(root());
    chooseInDialog(rootId, QStringLiteral("Friends"));
    clickToolbar(ID_TB_FOLDER_NEW);
    EXPECT_TRUE(rec.Empty()) << rec.Records().front().text.toStdString();
    ASSERT_EQ(children(root()), QStringList{QStringLiteral("Friends")});
    EXPECT_TRUE(shown(root()->child(0)));

    // Friends is opened while empty, then gets a subfolder.
    auto *friends = static_cast<TreeItem *>(root()->child(0));
    const std::int32_t friendsId = friends->folder()->id;
    openByKey(friends);
    chooseInDialog(friendsId, QStringLiteral("School"));
    clickToolbar(ID_TB_FOLDER_NEW);
    friends = folderItem(friendsId);
    openByKey(friends);
    EXPECT_EQ(children(friends), QStringList{QStringLiteral("School")});
    EXPECT_TRUE(shown(friends->child(0)));
}

TEST_F(WindowFlow, SubfolderInAnEmptiedFolderShows)
{
    const std::int32_t a = folder(rootId, QStringLiteral("A"));
    const std::int32_t anna = address(a, QStringLiteral("Anna"));
    start();
    openByKey(folderItem(a));
    ASSERT_EQ(children(folderItem(a)), QStringList{QStringLiteral("Anna")});
    click(tree()->FindAddressItem(anna));
    rec.Queue(TVB_YES);
    QTest::keyClick(tree(), Qt::Key_Delete); // question 34, Yes
    EXPECT_EQ(rec.Ids(), std::vector<int>{34});
    ASSERT_EQ(folderItem(a)->childCount(), 0);

    click(folderItem(a));
    chooseInDialog(a, QStringLiteral("Sub"));
    clickToolbar(ID_TB_FOLDER_NEW);
    openByKey(folderItem(a));
    EXPECT_EQ(children(folderItem(a)), QStringList{QStringLiteral("Sub")});
    EXPECT_TRUE(shown(folderItem(a)->child(0)));
}

// A folder that was opened and then emptied takes what lands in it at once;
// one never opened gets its expand button and reads it on opening.
TEST_F(WindowFlow, MoveAndCopyByDialogIntoFoldersOpenedEmpty)
{
    const std::int32_t a = folder(rootId, QStringLiteral("A"));
    const std::int32_t b = folder(rootId, QStringLiteral("B"));
    const std::int32_t c = folder(rootId, QStringLiteral("C"));
    const std::int32_t anna = address(a, QStringLiteral("Anna"));
    start();
    openByKey(folderItem(a));

    // Address > Move (Alt+A, M) into B, never opened; A is left opened and empty.
    click(tree()->FindAddressItem(anna));
    chooseInDialog(b);
    menu(Qt::Key_A, Qt::Key_M);
    EXPECT_TRUE(rec.Empty());
    EXPECT_EQ(stored(anna), b);
    EXPECT_TRUE(children(folderItem(a)).isEmpty());
    EXPECT_EQ(folderItem(b)->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
    openByKey(folderItem(b));
    EXPECT_EQ(children(folderItem(b)), QStringList{QStringLiteral("Anna")});
    EXPECT_TRUE(shown(folderItem(b)->child(0)));

    // Folder > Move (Alt+O, M) of C into the opened, emptied A.
    click(folderItem(c));
    OnModalDialog([&](QWidget *w) {
        auto *d = dynamic_cast<CMoveFolderDlg *>(w);
        ASSERT_NE(d, nullptr);
        d->folderTree()->SelectFolder(c);
        d->destinationTree()->SelectFolder(a);
        QTest::mouseClick(w->findChild<QPushButton *>(QStringLiteral("okButton")), Qt::LeftButton);
    });
    menu(Qt::Key_O, Qt::Key_M);
    EXPECT_TRUE(rec.Empty());
    EXPECT_EQ(children(folderItem(a)), QStringList{QStringLiteral("C")});
    openByKey(folderItem(a));
    EXPECT_TRUE(shown(folderItem(c)));

    // Address > Copy (Alt+A, C) of Anna into C, never opened.
    click(tree()->FindAddressItem(anna));
    chooseInDialog(c);
    menu(Qt::Key_A, Qt::Key_C);
    EXPECT_TRUE(rec.Empty());
    openByKey(folderItem(c));
    EXPECT_EQ(children(folderItem(c)), QStringList{QStringLiteral("Anna")});
    EXPECT_TRUE(shown(folderItem(c)->child(0)));
}

TEST_F(WindowFlow, MoveAndCopyByDragIntoFoldersOpenedEmpty)
{
    const std::int32_t a = folder(rootId, QStringLiteral("A"));
    const std::int32_t b = folder(rootId, QStringLiteral("B"));
    const std::int32_t c = folder(rootId, QStringLiteral("C"));
    const std::int32_t d = folder(rootId, QStringLiteral("D"));
    const std::int32_t anna = address(a, QStringLiteral("Anna"));
    const std::int32_t dora = address(d, QStringLiteral("Dora"));
    start();
    openByKey(folderItem(a));
    openByKey(folderItem(d));

    // Anna dragged into B: A is left opened and empty.
    drag(tree()->FindAddressItem(anna), folderItem(b));
    EXPECT_EQ(rec.Ids(), std::vector<int>{59397});
    EXPECT_EQ(stored(anna), b);
    EXPECT_TRUE(children(folderItem(a)).isEmpty());
    openByKey(folderItem(b));
    EXPECT_EQ(children(folderItem(b)), QStringList{QStringLiteral("Anna")});

    // Ctrl-dragged back as a copy into the opened, emptied A.
    rec.Clear();
    drag(tree()->FindAddressItem(anna), folderItem(a), Qt::ControlModifier);
    EXPECT_EQ(rec.Ids(), std::vector<int>{59395});
    EXPECT_EQ(children(folderItem(a)), QStringList{QStringLiteral("Anna")});
    openByKey(folderItem(a));
    EXPECT_TRUE(shown(folderItem(a)->child(0)));

    // Dora leaves D; then folder C is dragged into the opened, emptied D.
    rec.Clear();
    drag(tree()->FindAddressItem(dora), folderItem(b));
    EXPECT_TRUE(children(folderItem(d)).isEmpty());
    drag(folderItem(c), folderItem(d));
    EXPECT_EQ(rec.Ids(), (std::vector<int>{59397, 59396}));
    EXPECT_EQ(children(folderItem(d)), QStringList{QStringLiteral("C")});
    openByKey(folderItem(d));
    EXPECT_TRUE(shown(folderItem(c)));
}

TEST_F(WindowFlow, HeaderClickKeepsWhatIsTypedOnTheEditPage)
{
    address(rootId, QStringLiteral("Bert"), QStringLiteral("Zlín"));
    const std::int32_t anna = address(rootId, QStringLiteral("Anna"), QStringLiteral("Praha"));
    address(rootId, QStringLiteral("Cyril"), QStringLiteral("Aš"));
    start();
    CAddressListCtrl *list = frame->list();
    QTabBar *tabs = frame->view()->sheet()->tabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(2).center());
    ASSERT_EQ(frame->view()->activePage()->kind(), AddressPage::Edit);

    const int row = list->listModel()->findRow(anna);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->listModel()->index(row, 0)).center());
    AddressPage *edit = frame->view()->page(AddressPage::Edit);
    ASSERT_EQ(edit->name->toPlainText(), QStringLiteral("Anna"));
    QTest::mouseClick(edit->name->viewport(), Qt::LeftButton);
    QTest::keyClick(edit->name, Qt::Key_End);
    QTest::keyClicks(edit->name, QStringLiteral(" Nova"));

    QHeaderView *header = list->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(1) + header->sectionSize(1) / 2, header->height() / 2));
    EXPECT_EQ(list->listModel()->entry(0).town, QStringLiteral("Aš")); // sorted by town
    EXPECT_EQ(edit->name->toPlainText(), QStringLiteral("Anna Nova"));
    ASSERT_NE(list->SelectedEntry(), nullptr);
    EXPECT_EQ(list->SelectedEntry()->id, anna);
    EXPECT_EQ(edit->shownAddress(), anna);
    // The edit is still saved as typed.
    QTest::mouseClick(edit->saveButton, Qt::LeftButton);
    EXPECT_EQ(rec.Ids(), std::vector<int>{24});
}

TEST_F(WindowFlow, MenuBarHiddenComesBackByShortcutToolbarMenuAndF10)
{
    start();
    QMenuBar *bar = frame->menuBar();
    menu(Qt::Key_V, Qt::Key_M); // View > Menu
    EXPECT_FALSE(bar->isVisible());
    activate();
    QTest::keyClick(frame.get(), Qt::Key_M, Qt::ControlModifier);
    EXPECT_TRUE(bar->isVisible());

    menu(Qt::Key_V, Qt::Key_M);
    ASSERT_FALSE(bar->isVisible());
    // The toolbar's context menu lists the menu bar.
    auto *toolbar = frame->findChild<QToolBar *>(QStringLiteral("toolbar"));
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), toolbar->mapToGlobal(QPoint(5, 5)));
    QTimer::singleShot(0, [] {
        if (auto *popup = qobject_cast<QMenu *>(QApplication::activePopupWidget()))
            QTest::keyClick(popup, Qt::Key_M);
    });
    QApplication::sendEvent(toolbar, &event);
    QApplication::processEvents();
    EXPECT_TRUE(bar->isVisible());
    EXPECT_TRUE(frame->action(ID_VIEW_MENUBAR)->isChecked());

    // F10 shows a hidden menu bar and opens its first menu.
    menu(Qt::Key_V, Qt::Key_M);
    ASSERT_FALSE(bar->isVisible());
    activate();
    QTest::keyClick(frame.get(), Qt::Key_F10);
    QApplication::processEvents();
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->activeAction(), bar->actions().first());
    if (QWidget *popup = QApplication::activePopupWidget())
        QTest::keyClick(popup, Qt::Key_Escape);
}

namespace {

// Walks a page with Tab from its first field and checks, at every step,
// the order and that the focused control is in sight.
void walkPage(CMainFrame *frame, AddressPage::Kind kind, const char *size)
{
    SCOPED_TRACE(std::string(size) + " page " + std::to_string(int(kind)));
    QTabBar *tabs = frame->view()->sheet()->tabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(kind - AddressPage::View).center());
    QApplication::processEvents();
    AddressPage *page = frame->view()->page(kind);
    ASSERT_EQ(frame->view()->activePage(), page);
    QList<QWidget *> expected;
    for (QWidget *w : page->TabOrder())
        if (w->isEnabled() && (w->focusPolicy() & Qt::TabFocus))
            expected << w;
    ASSERT_FALSE(expected.isEmpty());
    QScrollArea *scroll = frame->view()->scrollArea();
    scroll->verticalScrollBar()->setValue(0);
    scroll->horizontalScrollBar()->setValue(0);
    page->name->setFocus(Qt::MouseFocusReason);
    QApplication::processEvents();
    for (int i = 0; i < expected.size(); ++i) {
        QWidget *focus = QApplication::focusWidget();
        ASSERT_EQ(focus, expected[i]) << "step " << i << ": " << (focus ? focus->objectName().toStdString() : "none")
                                      << " instead of " << expected[i]->objectName().toStdString();
        // A text field is in sight when its cursor is (that is what the
        // scrolling brings in); any other control wholly.
        QRect part(QPoint(0, 0), focus->size());
        if (qobject_cast<QPlainTextEdit *>(focus) || qobject_cast<QLineEdit *>(focus))
            part = focus->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        const QRect inView(focus->mapTo(scroll->viewport(), part.topLeft()), part.size());
        EXPECT_TRUE(scroll->viewport()->rect().contains(inView))
            << focus->objectName().toStdString() << " out of sight";
        if (i + 1 < expected.size())
            QTest::keyClick(focus, Qt::Key_Tab);
        QApplication::processEvents();
    }
}

} // namespace

TEST_F(WindowFlow, TabWalksEveryPageInReadingOrderAndEveryControlComesInSight)
{
    start();
    // The first size shows the whole sheet: nothing to scroll.
    QScrollArea *scroll = frame->view()->scrollArea();
    EXPECT_EQ(scroll->verticalScrollBar()->maximum(), 0);
    EXPECT_EQ(scroll->horizontalScrollBar()->maximum(), 0);
    for (auto kind : {AddressPage::View, AddressPage::New, AddressPage::Edit, AddressPage::Quick})
        walkPage(frame.get(), kind, "1100x860");
    // The order itself: ZIP after Town, each entry row before its list.
    AddressPage *n = frame->view()->page(AddressPage::New);
    const QList<QWidget *> order = n->TabOrder();
    EXPECT_LT(order.indexOf(n->town), order.indexOf(n->zip));
    EXPECT_LT(order.indexOf(n->zip), order.indexOf(n->other));
    EXPECT_LT(order.indexOf(n->notes), order.indexOf(n->phoneEntry));
    EXPECT_LT(order.indexOf(n->phoneEntry), order.indexOf(n->phones));
    EXPECT_LT(order.indexOf(n->phones), order.indexOf(n->emailEntry));
    EXPECT_LT(order.indexOf(n->emailEntry), order.indexOf(n->emails));

    frame->resize(800, 600);
    QApplication::processEvents();
    EXPECT_GT(scroll->verticalScrollBar()->maximum(), 0); // the sheet scrolls
    for (auto kind : {AddressPage::View, AddressPage::New, AddressPage::Edit, AddressPage::Quick})
        walkPage(frame.get(), kind, "800x600");
}

TEST_F(WindowFlow, AtBothSizesEveryButtonOfThePageCanBeBroughtInSight)
{
    for (QSize size : {QSize(1100, 860), QSize(800, 600)}) {
        start(size);
        QScrollArea *scroll = frame->view()->scrollArea();
        for (auto kind : {AddressPage::New, AddressPage::Edit, AddressPage::Quick}) {
            frame->view()->ActivatePage(kind);
            QApplication::processEvents();
            for (QPushButton *b : frame->view()->page(kind)->findChildren<QPushButton *>()) {
                scroll->ensureWidgetVisible(b, 0, 0);
                const QRect inView(b->mapTo(scroll->viewport(), QPoint(0, 0)), b->size());
                EXPECT_TRUE(scroll->viewport()->rect().contains(inView))
                    << size.width() << "x" << size.height() << " " << b->text().toStdString();
                // Never cut by the page itself either.
                EXPECT_GE(b->height(), b->sizeHint().height()) << b->text().toStdString();
            }
        }
        frame.reset();
    }
}

TEST_F(WindowFlow, EntriesStretchEnterAddsAndListsCopyFromTheKeyboard)
{
    start();
    QTabBar *tabs = frame->view()->sheet()->tabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
    AddressPage *n = frame->view()->page(AddressPage::New);
    // Entry fields are wide enough to read an address.
    const int readable = n->emailEntry->fontMetrics().horizontalAdvance(QStringLiteral("jana.novakova@example"));
    EXPECT_GE(n->emailEntry->width(), readable / 2);
    EXPECT_GE(n->zip->width(), n->zip->fontMetrics().horizontalAdvance(QStringLiteral("602 00 ")));
    EXPECT_GT(n->phoneEntry->width(), n->addPhone->width() * 3);

    QTest::mouseClick(n->phoneEntry, Qt::LeftButton);
    QTest::keyClicks(n->phoneEntry, QStringLiteral("777 123"));
    QTest::keyClick(n->phoneEntry, Qt::Key_Return);
    QTest::keyClicks(n->emailEntry, QStringLiteral("jana@example.cz"));
    QTest::keyClick(n->emailEntry, Qt::Key_Enter);
    EXPECT_TRUE(rec.Empty());
    ASSERT_EQ(n->phones->topLevelItemCount(), 1);
    ASSERT_EQ(n->emails->topLevelItemCount(), 1);
    EXPECT_TRUE(n->emailEntry->text().isEmpty());

    // Ctrl+C in a list copies the value, not the note.
    n->emails->setFocus();
    n->emails->setCurrentItem(n->emails->topLevelItem(0));
    QApplication::clipboard()->clear();
    QTest::keyClick(n->emails, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("jana@example.cz"));
    // The Menu key opens the row's menu; its Copy copies the phone.
    QApplication::clipboard()->clear();
    n->phones->setFocus();
    n->phones->setCurrentItem(n->phones->topLevelItem(0));
    QTimer::singleShot(0, [] {
        if (auto *popup = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
            QTest::keyClick(popup, Qt::Key_Down); // the first entry, Copy
            QTest::keyClick(popup, Qt::Key_Return);
        }
    });
    QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(), n->phones->mapToGlobal(QPoint()));
    QApplication::sendEvent(n->phones->viewport(), &key);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("777 123"));

    // Both columns of the lists are in sight on the View page.
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
    ValueNoteListWidget *phones = frame->view()->page(AddressPage::View)->phones;
    EXPECT_LE(phones->columnWidth(0) + 20, phones->viewport()->width());
}

TEST_F(WindowFlow, PageMnemonicsDoNotClashWithTheMenuBar)
{
    start();
    QSet<QChar> menuKeys;
    for (QAction *a : frame->menuBar()->actions()) {
        const int amp = a->text().indexOf(u'&');
        ASSERT_GE(amp, 0) << a->text().toStdString();
        menuKeys.insert(a->text().at(amp + 1).toLower());
    }
    for (auto kind : {AddressPage::View, AddressPage::New, AddressPage::Edit, AddressPage::Quick}) {
        QSet<QChar> pageKeys;
        AddressPage *page = frame->view()->page(kind);
        QStringList texts;
        for (QLabel *l : page->findChildren<QLabel *>())
            texts << l->text();
        for (QPushButton *b : page->findChildren<QPushButton *>())
            texts << b->text();
        for (const QString &text : texts) {
            const int amp = text.indexOf(u'&');
            if (amp < 0 || amp + 1 >= text.size())
                continue;
            const QChar key = text.at(amp + 1).toLower();
            EXPECT_FALSE(menuKeys.contains(key)) << text.toStdString();
            EXPECT_FALSE(pageKeys.contains(key)) << text.toStdString();
            pageKeys.insert(key);
        }
    }
    // Alt+Z on the New address page goes to ZIP, not to a menu.
    QTabBar *tabs = frame->view()->sheet()->tabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
    QTest::keyClick(frame.get(), Qt::Key_Z, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), frame->view()->page(AddressPage::New)->zip);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}

TEST_F(WindowFlow, PrintOneNeedsAnAddressOrQuickPrinting)
{
    const std::int32_t anna = address(rootId, QStringLiteral("Anna"));
    start();
    frame->UpdateCommandStates();
    for (int id : {ID_PRINT_ONE_ENVELOPE, ID_PRINT_ONE_LABEL, ID_PREVIEW_ONE_ENVELOPE, ID_PREVIEW_ONE_LABEL,
                   ID_TB_PRINT_ONE_ENVELOPE})
        EXPECT_FALSE(frame->action(id)->isEnabled()) << id;
    openByKey(root());
    click(tree()->FindAddressItem(anna));
    frame->UpdateCommandStates();
    for (int id : {ID_PRINT_ONE_ENVELOPE, ID_PRINT_ONE_LABEL, ID_PREVIEW_ONE_ENVELOPE, ID_PREVIEW_ONE_LABEL})
        EXPECT_TRUE(frame->action(id)->isEnabled()) << id;
}

TEST(WindowSize, FirstSizeIsBoundedByTheScreen)
{
    EXPECT_EQ(CMainFrame::FirstSize(nullptr), QSize(1100, 860));
    QScreen *screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    const QSize first = CMainFrame::FirstSize(screen);
    EXPECT_LE(first.width(), screen->availableGeometry().width());
    EXPECT_LE(first.height(), screen->availableGeometry().height());
}

// Qt's own options reach Qt; only what Qt leaves is checked.
TEST(CommandLine, QtStandardOptionsAreAcceptedOwnUnknownOnesRefused)
{
    TempDatabase t;
    auto run = [&](const QStringList &args) {
        QProcess p;
        p.setWorkingDirectory(t.dir());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        p.setProcessEnvironment(env);
        p.start(BuiltProgram(QStringLiteral("tesmar")), args);
        EXPECT_TRUE(p.waitForFinished(20000));
        return std::make_pair(p.exitCode(), QString::fromUtf8(p.readAllStandardError()));
    };
    auto ok = run({QStringLiteral("-style"), QStringLiteral("Fusion"), QStringLiteral("-reverse"), QStringLiteral("--check")});
    EXPECT_EQ(ok.first, 0) << ok.second.toStdString();
    auto bad = run({QStringLiteral("--bogus"), QStringLiteral("--check")});
    EXPECT_EQ(bad.first, 2);
    EXPECT_TRUE(bad.second.contains(QStringLiteral("unknown argument --bogus"))) << bad.second.toStdString();
}

// The address list reads its rows as they are scrolled to; whatever changes
// meanwhile is read as it is stored when its turn comes.
TEST(ListPaneLazy, RowsComeAsScrolledAndChangesMeanwhileAreReadAsStored)
{
    TempDatabase t;
    MessageRecorder rec;
    const std::int32_t root = RootFolder(t.db());
    const std::int32_t other = CreateFolder(t.db(), QStringLiteral("Other"), root).id;
    const QStringList towns = {QStringLiteral("Praha"), QStringLiteral("brno"), QStringLiteral("Aš"),
                               QStringLiteral("Zlín"), QStringLiteral("Ostrava")};
    auto save = [&](const QString &name, const QString &town) {
        AddressEntry e;
        e.name = name;
        e.town = town;
        e.zip = QStringLiteral("1");
        e.folder = root;
        e.id = SaveNewAddress(t.db(), e, {}, {}, root);
        return e;
    };
    std::vector<std::int32_t> ids;
    for (int i = 0; i < 30; ++i)
        ids.push_back(save(QStringLiteral("Name %1").arg(i, 2, 10, QLatin1Char('0')), towns[i % towns.size()]).id);

    struct Batch {
        Batch() { AddressListModel::SetBatchSize(8); }
        ~Batch() { AddressListModel::SetBatchSize(256); }
    } batch;
    CAddressListCtrl list(t.db());
    list.resize(400, 150);
    list.show();
    ASSERT_TRUE(list.Fill());
    AddressListModel *model = list.listModel();
    EXPECT_EQ(model->rowCount(), 8);
    EXPECT_TRUE(model->canFetchMore({}));

    // Before their rows are read: one address deleted, one moved, one renamed; one new.
    t.db().ExecuteRaw(SqlFormat("DELETE FROM ADDRESS WHERE ID_ADDRESS_ADDRESS = %d", ids[20]));
    list.RemoveAddress(ids[20]);
    t.db().ExecuteRaw(SqlFormat("UPDATE ADDRESS SET ID_ADDRESS_FOLDER = %d WHERE ID_ADDRESS_ADDRESS = %d", other, ids[21]));
    list.SetAddressFolder(ids[21], other);
    t.db().ExecuteRaw(SqlFormat("UPDATE ADDRESS SET NAME = 'Name 22b' WHERE ID_ADDRESS_ADDRESS = %d", ids[22]));
    list.InsertAddress(save(QStringLiteral("Aaron"), QStringLiteral("Brno")));

    for (int i = 0; i < 10 && model->canFetchMore({}); ++i) {
        list.scrollToBottom();
        QApplication::processEvents();
    }
    EXPECT_FALSE(model->canFetchMore({}));
    QStringList names;
    for (const AddressEntry &e : model->rows())
        names << e.name;
    ASSERT_EQ(names.size(), 30);
    EXPECT_EQ(names.front(), QStringLiteral("Aaron"));
    EXPECT_FALSE(names.contains(QStringLiteral("Name 20")));
    EXPECT_TRUE(names.contains(QStringLiteral("Name 22b")));
    EXPECT_EQ(names.count(QStringLiteral("Aaron")), 1);
    EXPECT_EQ(model->entry(model->findRow(ids[21])).folder, other);

    // Selecting an address not read yet reads up to it.
    ASSERT_TRUE(list.Fill());
    ASSERT_LT(model->rowCount(), 20);
    list.SelectAddress(ids[25]);
    ASSERT_NE(list.SelectedEntry(), nullptr);
    EXPECT_EQ(list.SelectedEntry()->id, ids[25]);

    // A header click with rows still to come: the whole list in town order,
    // the selection kept.
    QHeaderView *header = list.horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(1) + header->sectionSize(1) / 2, header->height() / 2));
    ASSERT_NE(list.SelectedEntry(), nullptr);
    EXPECT_EQ(list.SelectedEntry()->id, ids[25]);
    model->fetchAll();
    ASSERT_EQ(model->rowCount(), 30);
    for (int i = 1; i < model->rowCount(); ++i)
        EXPECT_LE(CompareTexts(model->entry(i - 1).town, model->entry(i).town), 0) << i;
    EXPECT_TRUE(rec.Empty());
}
