#pragma once
// Record sets: one class per table binds every column, in a fixed order, to
// member variables. A record set is opened with one of the program's SQL
// texts (a small subset of the Jet dialect: SELECT * FROM T [WHERE ...]
// [ORDER BY ...]), walked with MoveFirst/MoveNext, and edited row by row
// with Edit/AddNew, Update and Delete. Opening reads the whole result, so
// writes made while walking never disturb the walk; rows added through the
// set are appended at its end.
#include "database.h"
#include "fontspec.h"

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <cstdint>
#include <vector>

enum class ColumnType { Long, Double, Byte, Bool, Text, Binary };

struct ColumnDescription {
    QString name;
    ColumnType type;
};

struct TableDescription {
    QString name;
    std::vector<ColumnDescription> columns;
};

// Moves values between the bound members and a row of values, or lists the
// columns. Each record set's DoFieldExchange calls one method per column.
class CFieldExchange {
public:
    enum Operation { Describe, Load, Store, Reset };
    CFieldExchange(Operation op, std::vector<QVariant> *values, std::vector<ColumnDescription> *columns)
        : m_op(op), m_values(values), m_columns(columns)
    {
    }

    void Long(const char *name, std::int32_t &value);
    void Double(const char *name, double &value);
    void Byte(const char *name, std::uint8_t &value);
    void Bool(const char *name, bool &value);
    void Text(const char *name, QString &value);
    void Binary(const char *name, QByteArray &value);
    // The fifteen columns F_<line>_HEIGHT ... F_<line>_COLOR of one font.
    void Font(const char *line, FontSpec &font);

private:
    void column(const QString &name, ColumnType type);
    QVariant next();
    Operation m_op;
    std::vector<QVariant> *m_values;
    std::vector<ColumnDescription> *m_columns;
    std::size_t m_index = 0;
};

class CRecordset {
public:
    explicit CRecordset(CDatabase *database);
    virtual ~CRecordset();
    CRecordset(const CRecordset &) = delete;
    CRecordset &operator=(const CRecordset &) = delete;

    // Opens with an SQL text (already formatted); an empty text opens the
    // whole table.
    void Open(const QString &sql = QString());
    // Rows opened after this are locked for editing until the transaction
    // ends (on a server; a file is locked whole by its transaction).
    void SetLockRows(bool lock) { m_lockRows = lock; }
    void Close();
    bool IsOpen() const { return m_open; }

    bool IsEOF() const;
    bool IsBOF() const;
    void MoveFirst();
    void MoveNext();
    void MovePrev();
    void MoveLast();
    // Rows in the set (added rows included, deleted rows excluded).
    long GetRecordCount() const;

    void Edit();
    void AddNew();
    void Update();
    void CancelUpdate();
    void Delete();

    // The table's name and columns in binding order.
    TableDescription Describe();
    // The engine's statement that an SQL text translates to (for tests).
    QString TranslatedSql() const { return m_translated; }

    virtual QString GetDefaultSQL() const = 0; // "[ADDRESS]"
    virtual void DoFieldExchange(CFieldExchange &fx) = 0;

protected:
    CDatabase *m_database;

private:
    enum class Mode { None, Edit, AddNew };
    struct Row {
        std::int64_t rowid;
        bool deleted;
        std::vector<QVariant> values;
    };
    QString tableName() const;
    void requireOpen() const;
    void requireCurrent() const;
    void load();
    void reset();
    std::vector<QVariant> store();
    void skipDeleted(int direction);

    bool m_open = false;
    bool m_lockRows = false;
    Mode m_mode = Mode::None;
    std::vector<Row> m_rows;
    long m_pos = -1; // -1 before the first row, size() after the last
    long m_liveRows = 0; // rows not deleted
    long m_savedPos = -1;
    std::vector<ColumnDescription> m_columns;
    QString m_translated;
};
