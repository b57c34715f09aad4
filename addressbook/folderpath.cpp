#include "folderpath.h"

#include "recordsets.h"
#include "sqlformat.h"

#include <set>

bool SplitFolderPath(const QString &path, QStringList &names, bool &fromRoot)
{
    names.clear();
    fromRoot = path.startsWith(u'/');
    QString current;
    bool pending = false; // a name has been started since the last "/"
    for (qsizetype i = fromRoot ? 1 : 0; i < path.size(); ++i) {
        const QChar c = path.at(i);
        if (c == u'\\') {
            if (i + 1 >= path.size())
                return false;
            current += path.at(++i);
            pending = true;
        } else if (c == u'/') {
            names << current;
            current.clear();
            pending = false;
        } else {
            current += c;
            pending = true;
        }
    }
    // A trailing "/" starts no name.
    if (pending)
        names << current;
    return true;
}

namespace {

std::optional<int> rootFolder(CDatabase &db, QString *name)
{
    CSetFolder set(&db);
    set.Open(SqlFormat(QStringLiteral("SELECT * FROM FOLDER WHERE ID_PARENT = %d"), -1));
    if (set.IsEOF())
        return std::nullopt;
    if (name)
        *name = set.m_NAME;
    return set.m_ID_FOLDER_FOLDER;
}

// The child of `parent` called `name`: the one with exactly that name, else
// the first in name order that the database takes as equal.
std::optional<int> child(CDatabase &db, int parent, const QString &name)
{
    CSetFolder set(&db);
    set.Open(SqlFormat(QStringLiteral("SELECT * FROM FOLDER WHERE ID_PARENT = %d AND NAME = '%s' ORDER BY NAME"),
                       parent, name));
    std::optional<int> caseless;
    for (; !set.IsEOF(); set.MoveNext()) {
        if (set.m_NAME == name)
            return set.m_ID_FOLDER_FOLDER;
        if (!caseless)
            caseless = set.m_ID_FOLDER_FOLDER;
    }
    return caseless;
}

} // namespace

std::optional<int> FindFolderByPath(CDatabase &db, const QString &path, FolderPathStart start)
{
    QStringList names;
    bool fromRoot = false;
    if (!SplitFolderPath(path.trimmed(), names, fromRoot))
        return std::nullopt;
    QString rootName;
    std::optional<int> folder = rootFolder(db, &rootName);
    if (!folder)
        return std::nullopt;
    if (!fromRoot && !names.isEmpty()) {
        if (names.first().compare(rootName, Qt::CaseInsensitive) == 0)
            names.removeFirst();
        else if (start == FolderPathStart::RootRequired)
            return std::nullopt;
    }
    for (const QString &name : names) {
        folder = child(db, *folder, name);
        if (!folder)
            return std::nullopt;
    }
    return folder;
}

QString FolderPath(CDatabase &db, int folder)
{
    QStringList names;
    std::set<int> seen;
    int current = folder;
    while (current != -1 && seen.insert(current).second) {
        CSetFolder set(&db);
        set.Open(SqlFormat(QStringLiteral("SELECT * FROM FOLDER WHERE ID_FOLDER_FOLDER = %d"), current));
        if (set.IsEOF())
            break;
        QString name = set.m_NAME;
        name.replace(u'\\', QLatin1String("\\\\"));
        name.replace(u'/', QLatin1String("\\/"));
        names.prepend(name);
        current = set.m_ID_PARENT;
    }
    return names.join(u'/');
}
