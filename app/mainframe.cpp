#include "mainframe.h"
#include "remotechanges.h"
#include "addressbookcommands.h"
#include "addressrecords.h"
#include "appcontext.h"
#include "commands.h"
#include "commandtable.h"
#include "dberror.h"
#include "dialogs.h"
#include "helpwindow.h"
#include "icons.h"
#include "tvmessage.h"
#include "tvstrings.h"

#include "subsystems.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDockWidget>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QSettings>
#include <QStatusBar>
#include <QMenu>
#include <QScreen>
#include <QTimer>
#include <QToolBar>
#include <algorithm>
#include <set>

CMainFrame::CMainFrame(CDatabase &db, QWidget *parent)
    : QMainWindow(parent), m_db(db), m_panes(nullptr, nullptr)
{
    setObjectName(QStringLiteral("mainFrame"));
    setWindowTitle(QStringLiteral("Corvelle"));
    setWindowIcon(CommandIcon(ID_PRINT_ONE_ENVELOPE));
    createPanes();
    m_panes = AddressPanes(m_tree, m_list);
    m_view = new CTesmarView(db, &m_panes, this);
    setCentralWidget(m_view);
    createActions();
    createMenus();
    createToolbar();
    createStatusBar();
    connectPanes();
    m_remote = new RemoteChanges(db, m_panes, this);
    connect(m_view, &CTesmarView::helpRequested, this, &CMainFrame::ShowHelp);

    RegisterSubsystemCommands(this, [this] { return ReloadPanes(); }, [this](int topic) { ShowHelp(topic); });
    RegisterAddressBookCommands(this);
    SetAddressToPrintProvider([this] { return m_view->AddressToPrint(&m_panes); });
    CTVMessage::RegisterHelp([this](int topic) { ShowHelp(topic); });

    m_idle = new QTimer(this);
    m_idle->setInterval(250);
    connect(m_idle, &QTimer::timeout, this, [this] {
        UpdateCommandStates();
        updateLockIndicators();
    });
    m_idle->start();
    UpdateCommandStates();
}

CMainFrame::~CMainFrame()
{
    SetAddressToPrintProvider({});
    CTVMessage::RegisterHelp({});
    UnregisterSubsystemHooks();
}

void CMainFrame::createPanes()
{
    m_tree = new CAddressTreeCtrl(m_db, this);
    m_treeDock = new QDockWidget(QStringLiteral("Address tree"), this);
    m_treeDock->setObjectName(QStringLiteral("addressTreeBar"));
    m_treeDock->setWidget(m_tree);
    addDockWidget(Qt::LeftDockWidgetArea, m_treeDock);

    m_list = new CAddressListCtrl(m_db, this);
    m_listDock = new QDockWidget(QStringLiteral("Address list"), this);
    m_listDock->setObjectName(QStringLiteral("addressListBar"));
    m_listDock->setWidget(m_list);
    addDockWidget(Qt::BottomDockWidgetArea, m_listDock);
    setDockOptions(QMainWindow::AnimatedDocks | QMainWindow::AllowTabbedDocks);
}

void CMainFrame::connectPanes()
{
    // At most one pane holds a selection; the View and Edit pages follow it.
    connect(m_tree, &CAddressTreeCtrl::selectionChangedTo, this, [this](TreeItem *item) {
        if (item) {
            QSignalBlocker block(m_list->selectionModel());
            m_list->ClearSelection();
            m_list->viewport()->update();
        }
        m_view->SelectionChanged(item && !item->isFolder() ? item->address() : nullptr);
        UpdateCommandStates();
    });
    connect(m_list, &CAddressListCtrl::selectionChangedTo, this, [this](const AddressEntry *entry) {
        if (entry) {
            QSignalBlocker block(m_tree);
            m_tree->clearSelection();
            m_tree->setCurrentItem(nullptr);
        }
        m_view->SelectionChanged(const_cast<AddressEntry *>(entry));
        UpdateCommandStates();
    });
    connect(m_tree, &CAddressTreeCtrl::deletePressed, this, [this](TreeItem *item) {
        if (!item->isFolder()) {
            DeleteSelectedAddress();
        } else if (QAction *a = m_actions.value(ID_FOLDER_DELETE); a && a->isEnabled()) {
            RunCommand(ID_FOLDER_DELETE);
        }
    });
    connect(m_list, &CAddressListCtrl::deletePressed, this, [this] { DeleteSelectedAddress(); });
    connect(m_list, &CAddressListCtrl::informationRequested, this, [this](std::int32_t folder) {
        FolderInformationDialog(m_db, folder, this).exec();
    });
    connect(m_tree, &CAddressTreeCtrl::helpRequested, this, &CMainFrame::ShowHelp);
    connect(m_list, &CAddressListCtrl::helpRequested, this, &CMainFrame::ShowHelp);
}

void CMainFrame::createActions()
{
    // Menu entries show the picture of their toolbar button.
    std::set<int> pictured = {ID_PRINT_ONE_ENVELOPE, ID_SEARCH};
    for (const CommandInfo &c : CommandTable())
        if (c.twinOf)
            pictured.insert(c.twinOf);
    for (const CommandInfo &c : CommandTable()) {
        auto *a = new QAction(c.text, this);
        a->setObjectName(QStringLiteral("command%1").arg(c.id));
        a->setData(c.id);
        const QString prompt = TVLoadStringResource(c.id);
        a->setStatusTip(prompt.isEmpty() ? QString(c.text).remove(u'&').remove(QStringLiteral("...")) : prompt);
        if (!c.shortcut.isEmpty()) {
            a->setShortcut(QKeySequence(c.shortcut));
            // Edit shortcuts belong to the focused field; the actions only show them.
            if (c.id == ID_EDIT_UNDO || c.id == ID_EDIT_CUT || c.id == ID_EDIT_COPY || c.id == ID_EDIT_PASTE ||
                c.id == ID_EDIT_SELECT_ALL)
                a->setShortcutContext(Qt::WidgetShortcut);
        }
        if (c.twinOf || pictured.count(c.id))
            a->setIcon(CommandIcon(c.id));
        a->setIconVisibleInMenu(true);
        const int id = c.id;
        connect(a, &QAction::triggered, this, [this, id] { RunCommand(id); });
        m_actions.insert(c.id, a);
        addAction(a); // shortcuts work with the menu bar hidden too
    }
    for (int id : {ID_VIEW_MENUBAR, ID_VIEW_TOOLBAR, ID_VIEW_STATUSBAR, ID_VIEW_TREE, ID_VIEW_LIST})
        m_actions.value(id)->setCheckable(true);
    // The menu bar's shortcut works with the menu bar hidden too.
    m_actions.value(ID_VIEW_MENUBAR)->setShortcutContext(Qt::WindowShortcut);

    auto *menuKey = new QAction(this);
    menuKey->setObjectName(QStringLiteral("openMenuBar"));
    menuKey->setShortcut(QKeySequence(Qt::Key_F10));
    connect(menuKey, &QAction::triggered, this, &CMainFrame::OpenMenuBar);
    addAction(menuKey);
}

QMenu *CMainFrame::createPopupMenu()
{
    UpdateCommandStates();
    auto *menu = new QMenu(this);
    for (int id : {ID_VIEW_MENUBAR, ID_VIEW_TOOLBAR, ID_VIEW_STATUSBAR, ID_VIEW_TREE, ID_VIEW_LIST})
        menu->addAction(m_actions.value(id));
    return menu;
}

void CMainFrame::OpenMenuBar()
{
    if (!menuBar()->isVisible()) {
        menuBar()->setVisible(true);
        UpdateCommandStates();
    }
    const QList<QAction *> menus = menuBar()->actions();
    if (!menus.isEmpty()) {
        menuBar()->setFocus(Qt::ShortcutFocusReason);
        menuBar()->setActiveAction(menus.first());
    }
}

QSize CMainFrame::FirstSize(const QScreen *screen)
{
    QSize size(1100, 860);
    if (screen)
        size = size.boundedTo(screen->availableGeometry().size());
    return size;
}

void CMainFrame::FitPanesToSheet()
{
    const QSize need = CTesmarView::WholeSheetSize();
    const int taller = need.height() - m_view->height();
    if (taller > 0 && m_listDock->isVisible() && !m_listDock->isFloating()) {
        // The list keeps a few rows; a window too small for the whole sheet scrolls it.
        const int h = std::max({m_listDock->minimumSizeHint().height(), 150, m_listDock->height() - taller});
        resizeDocks({m_listDock}, {h}, Qt::Vertical);
    }
    const int wider = need.width() - m_view->width();
    if (wider > 0 && m_treeDock->isVisible() && !m_treeDock->isFloating()) {
        const int w = std::max({m_treeDock->minimumSizeHint().width(), 180, m_treeDock->width() - wider});
        resizeDocks({m_treeDock}, {w}, Qt::Horizontal);
    }
}

void CMainFrame::createMenus()
{
    QHash<QString, QMenu *> menus;
    for (const CommandInfo &c : CommandTable()) {
        if (c.menuPath.isEmpty())
            continue;
        QMenu *menu = nullptr;
        QString path;
        for (const QString &part : c.menuPath.split(u'/')) {
            const QString key = path.isEmpty() ? part : path + u'/' + part;
            if (!menus.contains(key))
                menus.insert(key, menu ? menu->addMenu(part) : menuBar()->addMenu(part));
            menu = menus.value(key);
            path = key;
        }
        // Separators between the groups of a menu.
        if (c.id == ID_APP_EXIT_MENU || c.id == ID_EXPORT_EXCEL || c.id == ID_IMPORT_CONTACTS ||
            c.id == ID_EDIT_CUT || c.id == ID_ADDRESS_DELETE ||
            c.id == ID_SEARCH || c.id == ID_APP_ABOUT || (c.id == ID_CALIBRATION_NEW))
            menu->addSeparator();
        menu->addAction(m_actions.value(c.id));
    }
}

void CMainFrame::createToolbar()
{
    m_toolbar = addToolBar(QStringLiteral("Toolbar"));
    m_toolbar->setObjectName(QStringLiteral("toolbar"));
    m_toolbar->setIconSize(QSize(32, 32));
    for (int id : ToolbarLayout()) {
        if (id == 0)
            m_toolbar->addSeparator();
        else
            m_toolbar->addAction(m_actions.value(id));
    }
}

void CMainFrame::createStatusBar()
{
    statusBar()->showMessage(QStringLiteral("Ready"));
    // The bars' menu here too, so a hidden menu bar and toolbar can come back.
    for (QWidget *w : {static_cast<QWidget *>(statusBar()), static_cast<QWidget *>(menuBar())}) {
        w->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(w, &QWidget::customContextMenuRequested, this, [this, w](const QPoint &pos) {
            QMenu *menu = createPopupMenu();
            menu->setAttribute(Qt::WA_DeleteOnClose);
            menu->popup(w->mapToGlobal(pos));
        });
    }
    for (QLabel **label : {&m_caps, &m_num, &m_scroll}) {
        *label = new QLabel(this);
        (*label)->setMinimumWidth(40);
        (*label)->setAlignment(Qt::AlignCenter);
        statusBar()->addPermanentWidget(*label);
    }
    m_caps->setText(QStringLiteral("CAP"));
    m_num->setText(QStringLiteral("NUM"));
    m_scroll->setText(QStringLiteral("SCRL"));
    updateLockIndicators();
}

namespace {
// The state of a keyboard lock from the kernel's LED class, when readable.
std::optional<bool> lockState(const char *name)
{
    static const QStringList leds = [] {
        QStringList l;
        for (int i = 0; i < 16; ++i)
            l << QStringLiteral("/sys/class/leds/input%1::").arg(i);
        return l;
    }();
    for (const QString &base : leds) {
        QFile f(base + QString::fromLatin1(name) + QStringLiteral("/brightness"));
        if (f.open(QIODevice::ReadOnly))
            return f.readAll().trimmed() != "0";
    }
    return std::nullopt;
}
} // namespace

void CMainFrame::updateLockIndicators()
{
    const std::pair<QLabel *, const char *> locks[] = {{m_caps, "capslock"}, {m_num, "numlock"}, {m_scroll, "scrolllock"}};
    for (const auto &[label, name] : locks) {
        const std::optional<bool> on = lockState(name);
        label->setEnabled(on.value_or(false));
    }
}

bool CMainFrame::Create()
{
    if (m_tree->Fill() == 0) {
        CTVError(8);
        return false;
    }
    m_list->Fill();
    return true;
}

bool CMainFrame::ReloadPanes()
{
    // After a restore or an import: both panes filled again, the tree's top
    // expanded (Fill), the active page cleared and the tree focused. A pane
    // that cannot be filled is the caller's fatal error.
    m_view->activePage()->Deactivated();
    const bool treeFilled = m_tree->Fill() != 0;
    const bool listFilled = treeFilled && m_list->Fill();
    m_view->activePage()->Activated();
    m_view->activePage()->Clear();
    m_tree->setFocus();
    return treeFilled && listFilled;
}

void CMainFrame::showEvent(QShowEvent *event)
{
    if (!m_placementRestored) {
        m_placementRestored = true;
        QSettings settings;
        restoreGeometry(settings.value(QStringLiteral("MainFrame/geometry")).toByteArray());
        const bool saved = settings.contains(QStringLiteral("MainFrame/state"));
        restoreState(settings.value(QStringLiteral("MainFrame/state")).toByteArray());
        if (!saved) // a first start: the panes leave the whole sheet in sight
            QTimer::singleShot(0, this, [this] { FitPanesToSheet(); });
        if (settings.contains(QStringLiteral("MainFrame/menuVisible")))
            menuBar()->setVisible(settings.value(QStringLiteral("MainFrame/menuVisible")).toBool());
        if (settings.contains(QStringLiteral("MainFrame/statusVisible")))
            statusBar()->setVisible(settings.value(QStringLiteral("MainFrame/statusVisible")).toBool());
    }
    QMainWindow::showEvent(event);
    QTimer::singleShot(0, this, [this] { UpdateCommandStates(); });
}

void CMainFrame::closeEvent(QCloseEvent *event)
{
    QSettings settings;
    settings.setValue(QStringLiteral("MainFrame/geometry"), saveGeometry());
    settings.setValue(QStringLiteral("MainFrame/state"), saveState());
    settings.setValue(QStringLiteral("MainFrame/menuVisible"), menuBar()->isVisible());
    settings.setValue(QStringLiteral("MainFrame/statusVisible"), statusBar()->isVisible());
    if (HelpWindow *help = HelpWindow::Instance(this); help && help->isVisible())
        help->close();
    event->accept();
}

void CMainFrame::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_F1) {
        ShowHelp(1);
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void CMainFrame::ShowHelp(int topic)
{
    HelpWindow::Instance(this)->ShowTopic(topic);
}

bool CMainFrame::editCommand(int id, bool run)
{
    QWidget *focus = QApplication::focusWidget();
    auto *line = qobject_cast<QLineEdit *>(focus);
    auto *text = qobject_cast<QPlainTextEdit *>(focus);
    if (!line && !text)
        return false;
    const bool readOnly = line ? line->isReadOnly() : text->isReadOnly();
    const bool hasSelection = line ? line->hasSelectedText() : text->textCursor().hasSelection();
    const QString all = line ? line->text() : text->toPlainText();
    const QString selected = line ? line->selectedText() : text->textCursor().selectedText();
    switch (id) {
    case ID_EDIT_UNDO:
        if (!(line ? line->isUndoAvailable() : text->document()->isUndoAvailable()) || readOnly)
            return false;
        if (run)
            line ? line->undo() : text->undo();
        return true;
    case ID_EDIT_CUT:
        if (!hasSelection || readOnly)
            return false;
        if (run)
            line ? line->cut() : text->cut();
        return true;
    case ID_EDIT_COPY:
        if (!hasSelection)
            return false;
        if (run)
            line ? line->copy() : text->copy();
        return true;
    case ID_EDIT_PASTE:
        if (readOnly || QApplication::clipboard()->text().isEmpty())
            return false;
        if (run)
            line ? line->paste() : text->paste();
        return true;
    case ID_EDIT_DELETE:
        if (!hasSelection || readOnly)
            return false;
        if (run)
            line ? line->del() : text->textCursor().removeSelectedText();
        return true;
    case ID_EDIT_SELECT_ALL:
        if (all.isEmpty() || selected.size() == all.size())
            return false;
        if (run)
            line ? line->selectAll() : text->selectAll();
        return true;
    }
    return false;
}

bool CMainFrame::isEnabled(int rawId)
{
    const int id = CanonicalCommand(rawId);
    switch (id) {
    case ID_EDIT_UNDO: case ID_EDIT_CUT: case ID_EDIT_COPY: case ID_EDIT_PASTE: case ID_EDIT_DELETE:
    case ID_EDIT_SELECT_ALL:
        return editCommand(id, false);
    case ID_PAGE_VIEW: case ID_PAGE_NEW: case ID_PAGE_EDIT: case ID_PAGE_QUICK:
    case ID_VIEW_MENUBAR: case ID_VIEW_TOOLBAR: case ID_VIEW_STATUSBAR: case ID_VIEW_TREE: case ID_VIEW_LIST:
    case ID_HELP_CONTENTS: case ID_HELP_INDEX: case ID_APP_ABOUT: case ID_APP_EXIT_MENU:
        return true;
    case ID_ADDRESS_DELETE:
        return m_panes.SelectedAddress(true) != nullptr;
    case ID_GAME_SNAKE: case ID_GAME_BLOCKS:
        return HaveGames();
    default:
        break;
    }
    const CommandHandler *handler = FindCommand(id);
    if (!handler || !handler->run)
        return false; // not provided by this build: shown disabled, never a silent no-op
    // Printing or previewing one address needs a selected address or the
    // Quick printing page, from the menu, the toolbar and Ctrl+O alike.
    if (id == ID_PRINT_ONE_ENVELOPE || id == ID_PRINT_ONE_LABEL || id == ID_PREVIEW_ONE_ENVELOPE ||
        id == ID_PREVIEW_ONE_LABEL)
        if (!m_panes.SelectedAddress(true) && !m_view->IsQuickPrintingActive())
            return false;
    return !handler->enabled || handler->enabled();
}

void CMainFrame::UpdateCommandStates()
{
    for (auto it = m_actions.cbegin(); it != m_actions.cend(); ++it)
        it.value()->setEnabled(isEnabled(it.key()));
    m_actions.value(ID_VIEW_MENUBAR)->setChecked(menuBar()->isVisible());
    m_actions.value(ID_VIEW_TOOLBAR)->setChecked(m_toolbar->isVisible());
    m_actions.value(ID_VIEW_STATUSBAR)->setChecked(statusBar()->isVisible());
    m_actions.value(ID_VIEW_TREE)->setChecked(m_treeDock->isVisible());
    m_actions.value(ID_VIEW_LIST)->setChecked(m_listDock->isVisible());
}

bool CMainFrame::DeleteSelectedAddress()
{
    AddressEntry *entry = m_panes.SelectedAddress(true);
    if (!entry) {
        CTVError(33);
        return false;
    }
    if (CTVQuestion::Show(34, TVB_YESNO) != TVB_YES)
        return false;
    const std::int32_t id = entry->id;
    if (!DbOperation(m_db, [&] { DeleteAddressRow(m_db, id); }))
        return false;
    m_panes.AddressRemoved(id);
    return true;
}

void CMainFrame::RunCommand(int rawId)
{
    const int id = CanonicalCommand(rawId);
    if (!isEnabled(rawId))
        return;
    switch (id) {
    case ID_APP_EXIT_MENU:
        close();
        return;
    case ID_EDIT_UNDO: case ID_EDIT_CUT: case ID_EDIT_COPY: case ID_EDIT_PASTE: case ID_EDIT_DELETE:
    case ID_EDIT_SELECT_ALL:
        editCommand(id, true);
        break;
    case ID_PAGE_VIEW: m_view->ActivatePage(AddressPage::View); break;
    case ID_PAGE_NEW: m_view->ActivatePage(AddressPage::New); break;
    case ID_PAGE_EDIT: m_view->ActivatePage(AddressPage::Edit); break;
    case ID_PAGE_QUICK: m_view->ActivatePage(AddressPage::Quick); break;
    case ID_ADDRESS_DELETE: DeleteSelectedAddress(); break;
    case ID_VIEW_MENUBAR: menuBar()->setVisible(!menuBar()->isVisible()); break;
    case ID_VIEW_TOOLBAR: m_toolbar->setVisible(!m_toolbar->isVisible()); break;
    case ID_VIEW_STATUSBAR: statusBar()->setVisible(!statusBar()->isVisible()); break;
    case ID_VIEW_TREE: m_treeDock->setVisible(!m_treeDock->isVisible()); break;
    case ID_VIEW_LIST: m_listDock->setVisible(!m_listDock->isVisible()); break;
    case ID_HELP_CONTENTS: HelpWindow::Instance(this)->ShowContents(); break;
    case ID_HELP_INDEX: HelpWindow::Instance(this)->ShowIndex(); break;
    case ID_APP_ABOUT: AboutDialog(this).exec(); break;
    case ID_GAME_SNAKE: case ID_GAME_BLOCKS:
        RunGame(id, this);
        break;
    default:
        if (const CommandHandler *handler = FindCommand(id))
            handler->run(this);
        break;
    }
    UpdateCommandStates();
}

void CMainFrame::ApplyRemoteChanges()
{
    if (m_remote)
        m_remote->ApplyPending();
}
