#pragma once
// A shared address book on a server: what other desks save shows in this
// window's panes within a second, without a restart. The server tells every
// connected program each committed change of an address or a folder
// (CDatabase::TakeChanges); the affected pane items are read again and
// added, updated, moved or removed. Pages keep what is being typed; a save
// of something another desk deleted meanwhile is refused with its message.
// Nothing happens for a database file.
#include "addresspanes.h"
#include "database.h"

#include <QObject>
#include <QTimer>
#include <vector>

class QSocketNotifier;

class RemoteChanges : public QObject {
public:
    RemoteChanges(CDatabase &db, AddressPanes &panes, QObject *parent = nullptr);
    // Reads what has arrived and brings the panes up to date now.
    void ApplyPending();

private:
    void collect();
    // Watches the connection's socket as it is now: after the connection
    // broke and was made anew, the new one.
    void follow();

    CDatabase &m_db;
    AddressPanes &m_panes;
    QSocketNotifier *m_notifier = nullptr;
    std::pair<int, int> m_watched{-1, 0}; // the socket watched, the connection's number
    QTimer m_poll;     // notices libpq took in during other statements
    QTimer m_settle;   // changes arriving together are applied together
    std::vector<CDatabase::ChangeNotice> m_pending;
};
