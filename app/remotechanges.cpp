#include "remotechanges.h"

#include "addressrecords.h"
#include "database.h"
#include "paneupdates.h"
#include "recordsets.h"
#include "sqlformat.h"

#include <QSocketNotifier>
#include <new>
#include <optional>

namespace {

std::optional<AddressEntry> storedAddress(CDatabase &db, std::int32_t id)
{
    CSetAddress a(&db);
    a.Open(SqlFormat("SELECT * FROM ADDRESS WHERE ID_ADDRESS_ADDRESS = %d", id));
    if (a.IsEOF())
        return std::nullopt;
    return AddressFromRecord(a);
}

} // namespace

RemoteChanges::RemoteChanges(CDatabase &db, AddressPanes &panes, QObject *parent)
    : QObject(parent), m_db(db), m_panes(panes)
{
    int socket = -1;
    try {
        socket = m_db.ChangeSocket();
    } catch (const DbException &) {
        socket = -1; // the window works on; it shows others' changes at the next start
    }
    if (socket < 0)
        return;
    follow();
    m_poll.setInterval(500);
    connect(&m_poll, &QTimer::timeout, this, [this] {
        if (m_notifier)
            m_notifier->setEnabled(true);
        collect();
    });
    m_poll.start();
    m_settle.setSingleShot(true);
    m_settle.setInterval(100);
    connect(&m_settle, &QTimer::timeout, this, [this] { ApplyPending(); });
}

void RemoteChanges::follow()
{
    const std::pair<int, int> now = m_db.IsOpen() ? m_db.CurrentChangeSocket() : std::pair{-1, 0};
    if (now == m_watched && (m_notifier || now.first < 0))
        return;
    if (m_notifier) { // it may be the one calling: deleted once it returns
        m_notifier->setEnabled(false);
        m_notifier->deleteLater();
        m_notifier = nullptr;
    }
    m_watched = now;
    if (now.first < 0)
        return; // broken: the next statement reconnects, the poll looks again
    m_notifier = new QSocketNotifier(qintptr(now.first), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] { collect(); });
}

void RemoteChanges::collect()
{
    // Never in the middle of an operation of this window's own.
    if (!m_db.IsOpen() || m_db.TransactionDepth() > 0 || m_db.Engine().InTransaction()) {
        if (m_notifier)
            m_notifier->setEnabled(false); // the poll looks again
        return;
    }
    std::vector<CDatabase::ChangeNotice> more = m_db.TakeChanges();
    follow();
    if (more.empty())
        return;
    m_pending.insert(m_pending.end(), more.begin(), more.end());
    if (!m_settle.isActive())
        m_settle.start();
}

void RemoteChanges::ApplyPending()
{
    collect();
    std::vector<CDatabase::ChangeNotice> changes;
    changes.swap(m_pending);
    m_settle.stop();
    CAddressTreeCtrl *tree = m_panes.tree();
    CAddressListCtrl *list = m_panes.list();
    for (const CDatabase::ChangeNotice &n : changes) {
        // Each item is read as it is now: a change followed by a delete in
        // the same batch finds nothing and the delete removes it.
        try {
            if (n.table == 'A') {
                if (n.op == 'D') {
                    m_panes.AddressRemoved(n.id);
                    continue;
                }
                const std::optional<AddressEntry> entry = storedAddress(m_db, n.id);
                if (!entry)
                    continue;
                const bool shown = tree->FindAddressItem(n.id) || list->listModel()->findRow(n.id) >= 0;
                if (n.op == 'I' && !shown)
                    m_panes.AddressAdded(*entry);
                else if (n.owner != n.oldOwner)
                    ShowAddressMoved(m_panes, *entry, n.oldOwner);
                else
                    m_panes.AddressUpdated(*entry);
            } else if (n.table == 'F') {
                if (n.op == 'D') {
                    ShowFoldersDeleted(m_panes, {FolderEntry{n.id, n.owner, QString()}});
                    continue;
                }
                const std::optional<FolderEntry> folder = FolderById(m_db, n.id);
                if (!folder)
                    continue;
                if (n.op == 'I') {
                    if (!tree->FindFolderItem(n.id))
                        ShowFolderCreated(m_panes, *folder);
                } else if (n.owner != n.oldOwner) {
                    ShowFolderMoved(m_panes, n.id, n.oldOwner, n.owner);
                } else {
                    ShowFolderRenamed(m_panes, *folder);
                }
            }
        } catch (const DbException &) {
            // Only reading failed: the pane shows this item as it was.
        } catch (const std::bad_alloc &) {
        }
    }
}
