#pragma once
// Test helpers: a recorder that answers and records every message box, a
// fresh database in a temporary folder made with the creation tool's code,
// the root folder and working a modal dialog from a timer. Reading PDF files
// back: pdfsupport.h.
#include "database.h"
#include "tvmessage.h"

#include <QString>
#include <gtest/gtest.h>
#include <QTemporaryDir>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

class QWidget;

class MessageRecorder {
public:
    // Installs itself as the message-box hook; restores the old hook at the end.
    MessageRecorder();
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder &) = delete;
    MessageRecorder &operator=(const MessageRecorder &) = delete;

    // Answers for the next boxes, in order; when none is queued a box gets
    // `defaultAnswer` if it has that button, otherwise its first button.
    void Queue(unsigned answer) { m_answers.push_back(answer); }
    unsigned defaultAnswer = TVB_OK;

    const std::vector<TVMessageRecord> &Records() const { return m_records; }
    std::vector<int> Ids() const;
    bool Empty() const { return m_records.empty(); }
    void Clear() { m_records.clear(); }
    // The id of the only recorded box, or -1 when there were none or several.
    int OnlyId() const;

private:
    CTVMessage::Hook m_previous;
    std::vector<TVMessageRecord> m_records;
    std::deque<unsigned> m_answers;
};

class TempDatabase {
public:
    // Creates envdb.mdb in a new temporary folder and opens it; it also
    // becomes the application context's database and program directory.
    // With CORVELLE_TEST_PG set (a server database, as envelope.ini names
    // one) the database is a new schema on that server instead, removed at
    // the end; path() is then its connection name.
    TempDatabase();
    ~TempDatabase();
    CDatabase &db() { return m_db; }
    QString path() const { return m_path; }
    QString dir() const { return m_dir.path(); }

    // Whether the tests run against a server database (CORVELLE_TEST_PG).
    static bool OnServer();
    // The server the tests use; empty when they use files.
    static QString ServerName();
    // A connection name for a new, empty schema on that server (dropped by
    // DropServerSchema).
    static QString NewServerSchema(QString *schema);
    static void DropServerSchema(const QString &schema) noexcept;

private:
    QTemporaryDir m_dir;
    QString m_path;
    QString m_schema;
    CDatabase m_db;
};

// Skips the current test when it checks something only a database file has.
#define SKIP_ON_SERVER(why)                                                                                  \
    do {                                                                                                      \
        if (TempDatabase::OnServer())                                                                         \
            GTEST_SKIP() << "a database file only: " << (why);                                              \
    } while (0)

// Path of a program built beside the tests (build/bin/NAME).
QString BuiltProgram(const QString &name);

// The root folder of a database; -1 when it has none.
std::int32_t RootFolder(CDatabase &db);

// Calls `action` on the application's modal dialog once one is shown (from
// a timer), so that a test can work a dialog that a command opens with exec.
void OnModalDialog(std::function<void(QWidget *)> action);
