#pragma once
// The main window: menu bar, toolbar, status bar, the "Address tree" and
// "Address list" panes and the view with the four address pages. Every
// command of the command table is one QAction; the frame handles the bars,
// help and the edit and page commands itself and dispatches the rest to the
// handlers the subsystems register.
#include "addresspanes.h"
#include "tesmarview.h"

#include <QHash>
#include <QMainWindow>

class QAction;
class QMenu;
class QScreen;
class QDockWidget;
class QLabel;
class QTimer;
class CDatabase;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    explicit CMainFrame(CDatabase &db, QWidget *parent = nullptr);
    ~CMainFrame() override;

    // Loads the panes; false (after message 8) when the folder tree cannot be loaded.
    bool Create();
    // Reloads both panes (after a restore or an import).
    bool ReloadPanes();

    QAction *action(int id) const { return m_actions.value(id); }
    CTesmarView *view() const { return m_view; }
    CAddressTreeCtrl *tree() const { return m_tree; }
    CAddressListCtrl *list() const { return m_list; }
    AddressPanes *panes() { return &m_panes; }
    // Brings in now what other desks saved (otherwise within a second).
    void ApplyRemoteChanges();
    QDockWidget *treeDock() const { return m_treeDock; }
    QDockWidget *listDock() const { return m_listDock; }

    // Runs a command by id as the menu would.
    void RunCommand(int id);
    // Recomputes the availability of every command.
    void UpdateCommandStates();
    // Deletes the selected address (question 34 first).
    bool DeleteSelectedAddress();
    void ShowHelp(int topic);

    // The window's first size: 1100 x 860, or less on a smaller screen.
    static QSize FirstSize(const QScreen *screen);
    // Narrows the panes, where the window allows it, so that the view shows
    // the whole address sheet.
    void FitPanesToSheet();
    // The bars' menu of the toolbar, the pane titles and the status bar; it
    // brings back a hidden menu bar.
    QMenu *createPopupMenu() override;
    // F10: opens the menu bar (showing it first when it was hidden).
    void OpenMenuBar();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void createActions();
    void createMenus();
    void createToolbar();
    void createStatusBar();
    void createPanes();
    void connectPanes();
    bool editCommand(int id, bool run);
    bool isEnabled(int id);
    void updateLockIndicators();

    CDatabase &m_db;
    CAddressTreeCtrl *m_tree = nullptr;
    CAddressListCtrl *m_list = nullptr;
    AddressPanes m_panes;
    class RemoteChanges *m_remote = nullptr; // other desks' saves (a server database)
    CTesmarView *m_view = nullptr;
    QDockWidget *m_treeDock = nullptr, *m_listDock = nullptr;
    QToolBar *m_toolbar = nullptr;
    QHash<int, QAction *> m_actions;
    QLabel *m_caps = nullptr, *m_num = nullptr, *m_scroll = nullptr;
    QTimer *m_idle = nullptr;
    bool m_placementRestored = false;
};
