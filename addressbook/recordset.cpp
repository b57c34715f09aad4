#include "recordset.h"
#include "sqltranslate.h"

#include <QStringList>

// ---- field exchange ----

void CFieldExchange::column(const QString &name, ColumnType type)
{
    if (m_op == Describe)
        m_columns->push_back({name, type});
}

QVariant CFieldExchange::next()
{
    if (m_index >= m_values->size())
        throw DbException(QStringLiteral("Row has fewer columns than the record set binds"));
    return (*m_values)[m_index++];
}

void CFieldExchange::Long(const char *name, std::int32_t &value)
{
    switch (m_op) {
    case Describe: column(QString::fromLatin1(name), ColumnType::Long); break;
    case Load: value = static_cast<std::int32_t>(next().toLongLong()); break;
    case Store: m_values->push_back(QVariant(qlonglong(value))); break;
    case Reset: value = 0; break;
    }
}

void CFieldExchange::Double(const char *name, double &value)
{
    switch (m_op) {
    case Describe: column(QString::fromLatin1(name), ColumnType::Double); break;
    case Load: value = next().toDouble(); break;
    case Store: m_values->push_back(QVariant(value)); break;
    case Reset: value = 0; break;
    }
}

void CFieldExchange::Byte(const char *name, std::uint8_t &value)
{
    switch (m_op) {
    case Describe: column(QString::fromLatin1(name), ColumnType::Byte); break;
    case Load: value = static_cast<std::uint8_t>(next().toLongLong()); break;
    case Store: m_values->push_back(QVariant(qlonglong(value))); break;
    case Reset: value = 0; break;
    }
}

void CFieldExchange::Bool(const char *name, bool &value)
{
    switch (m_op) {
    case Describe: column(QString::fromLatin1(name), ColumnType::Bool); break;
    case Load: value = next().toLongLong() != 0; break;
    case Store: m_values->push_back(QVariant(qlonglong(value ? 1 : 0))); break;
    case Reset: value = false; break;
    }
}

void CFieldExchange::Text(const char *name, QString &value)
{
    switch (m_op) {
    case Describe: column(QString::fromLatin1(name), ColumnType::Text); break;
    case Load: value = next().toString(); break;
    case Store: m_values->push_back(QVariant(value)); break;
    case Reset: value.clear(); break;
    }
}

void CFieldExchange::Binary(const char *name, QByteArray &value)
{
    switch (m_op) {
    case Describe: column(QString::fromLatin1(name), ColumnType::Binary); break;
    case Load: value = next().toByteArray(); break;
    // No bytes are stored as NULL: "no picture", not a picture of no bytes.
    case Store: m_values->push_back(value.isEmpty() ? QVariant() : QVariant(value)); break;
    case Reset: value.clear(); break;
    }
}

void CFieldExchange::Font(const char *line, FontSpec &f)
{
    const QByteArray p = QByteArray("F_") + line + "_";
    Long((p + "HEIGHT").constData(), f.lfHeight);
    Long((p + "WIDTH").constData(), f.lfWidth);
    Long((p + "ESCAPEMENT").constData(), f.lfEscapement);
    Long((p + "ORIENTATION").constData(), f.lfOrientation);
    Long((p + "WEIGHT").constData(), f.lfWeight);
    Bool((p + "ITALIC").constData(), f.lfItalic);
    Bool((p + "UNDERLINE").constData(), f.lfUnderline);
    Bool((p + "STRIKEOUT").constData(), f.lfStrikeOut);
    Byte((p + "CHARSET").constData(), f.lfCharSet);
    Byte((p + "OUTPRECISION").constData(), f.lfOutPrecision);
    Byte((p + "CLIPPRECISION").constData(), f.lfClipPrecision);
    Byte((p + "QUALITY").constData(), f.lfQuality);
    Byte((p + "PITCHANDFAMILY").constData(), f.lfPitchAndFamily);
    Text((p + "FACENAME").constData(), f.lfFaceName);
    std::int32_t color = static_cast<std::int32_t>(f.color);
    Long((p + "COLOR").constData(), color);
    f.color = static_cast<std::uint32_t>(color);
}

// ---- record set ----

CRecordset::CRecordset(CDatabase *database) : m_database(database) {}

CRecordset::~CRecordset() = default;

QString CRecordset::tableName() const
{
    QString name = GetDefaultSQL();
    name.remove(u'[').remove(u']');
    return name;
}

TableDescription CRecordset::Describe()
{
    std::vector<ColumnDescription> columns;
    CFieldExchange fx(CFieldExchange::Describe, nullptr, &columns);
    DoFieldExchange(fx);
    return TableDescription{tableName(), columns};
}

void CRecordset::Open(const QString &sql)
{
    if (!m_database || !m_database->IsOpen())
        throw DbException(QStringLiteral("Database not open"));
    Close();
    const TranslatedQuery q = TranslateJetSql(sql.isEmpty() ? GetDefaultSQL() : sql, m_database->Dialect());
    if (q.table.compare(tableName(), Qt::CaseInsensitive) != 0)
        throw DbException(QStringLiteral("Record set of %1 opened on %2").arg(tableName(), q.table));
    m_columns = Describe().columns;

    QStringList names;
    for (const ColumnDescription &c : m_columns)
        names << m_database->Quote(c.name);
    m_translated = QStringLiteral("SELECT rowid, %1 FROM %2")
                       .arg(names.join(QStringLiteral(", ")), m_database->Quote(tableName()));
    if (!q.where.isEmpty())
        m_translated += QStringLiteral(" WHERE ") + q.where;
    if (!q.orderBy.isEmpty())
        m_translated += QStringLiteral(" ORDER BY ") + q.orderBy;
    // The file is locked for writing by the whole transaction; the server
    // locks the rows read for editing until the transaction ends.
    if (m_lockRows && m_database->Dialect() == SqlDialect::PostgreSQL)
        m_translated += QStringLiteral(" FOR UPDATE");

    auto stmt = m_database->Engine().Prepare(m_translated);
    for (std::size_t i = 0; i < q.parameters.size(); ++i)
        stmt->Bind(int(i + 1), q.parameters[i]);
    std::vector<Row> rows;
    while (stmt->Step()) {
        Row row{stmt->ColumnInt64(0), false, {}};
        row.values.reserve(m_columns.size());
        for (std::size_t i = 0; i < m_columns.size(); ++i)
            row.values.push_back(stmt->Column(int(i + 1), m_columns[i].type));
        rows.push_back(std::move(row));
    }
    m_rows = std::move(rows);
    m_liveRows = long(m_rows.size());
    m_open = true;
    m_mode = Mode::None;
    m_pos = m_rows.empty() ? -1 : 0;
    if (m_rows.empty())
        reset();
    else
        load();
}

void CRecordset::Close()
{
    m_open = false;
    m_rows.clear();
    m_rows.shrink_to_fit();
    m_liveRows = 0;
    m_pos = -1;
    m_mode = Mode::None;
}

void CRecordset::requireOpen() const
{
    if (!m_open)
        throw DbException(QStringLiteral("Record set is not open"));
}

void CRecordset::requireCurrent() const
{
    requireOpen();
    if (m_pos < 0 || m_pos >= long(m_rows.size()) || m_rows[std::size_t(m_pos)].deleted)
        throw DbException(QStringLiteral("No current record"));
}

bool CRecordset::IsEOF() const
{
    requireOpen();
    return GetRecordCount() == 0 || m_pos >= long(m_rows.size());
}

bool CRecordset::IsBOF() const
{
    requireOpen();
    return GetRecordCount() == 0 || m_pos < 0;
}

long CRecordset::GetRecordCount() const
{
    return m_liveRows;
}

void CRecordset::load()
{
    std::vector<QVariant> &values = m_rows[std::size_t(m_pos)].values;
    CFieldExchange fx(CFieldExchange::Load, &values, nullptr);
    DoFieldExchange(fx);
}

void CRecordset::reset()
{
    CFieldExchange fx(CFieldExchange::Reset, nullptr, nullptr);
    DoFieldExchange(fx);
}

std::vector<QVariant> CRecordset::store()
{
    std::vector<QVariant> values;
    values.reserve(m_columns.size());
    CFieldExchange fx(CFieldExchange::Store, &values, nullptr);
    DoFieldExchange(fx);
    return values;
}

void CRecordset::skipDeleted(int direction)
{
    while (m_pos >= 0 && m_pos < long(m_rows.size()) && m_rows[std::size_t(m_pos)].deleted)
        m_pos += direction;
    if (m_pos >= 0 && m_pos < long(m_rows.size()))
        load();
}

void CRecordset::MoveFirst()
{
    requireOpen();
    if (GetRecordCount() == 0)
        throw DbException(QStringLiteral("No current record"));
    m_mode = Mode::None;
    m_pos = 0;
    skipDeleted(+1);
}

void CRecordset::MoveLast()
{
    requireOpen();
    if (GetRecordCount() == 0)
        throw DbException(QStringLiteral("No current record"));
    m_mode = Mode::None;
    m_pos = long(m_rows.size()) - 1;
    skipDeleted(-1);
}

void CRecordset::MoveNext()
{
    requireOpen();
    if (m_pos >= long(m_rows.size()))
        throw DbException(QStringLiteral("No current record"));
    m_mode = Mode::None;
    ++m_pos;
    skipDeleted(+1);
}

void CRecordset::MovePrev()
{
    requireOpen();
    if (m_pos < 0)
        throw DbException(QStringLiteral("No current record"));
    m_mode = Mode::None;
    --m_pos;
    skipDeleted(-1);
}

void CRecordset::Edit()
{
    requireCurrent();
    m_mode = Mode::Edit;
}

void CRecordset::AddNew()
{
    requireOpen();
    m_savedPos = m_pos;
    m_mode = Mode::AddNew;
    reset();
}

void CRecordset::CancelUpdate()
{
    if (m_mode == Mode::AddNew)
        m_pos = m_savedPos;
    m_mode = Mode::None;
    if (m_open && m_pos >= 0 && m_pos < long(m_rows.size()))
        load();
}

void CRecordset::Update()
{
    requireOpen();
    std::vector<QVariant> values = store();
    if (m_mode == Mode::Edit) {
        requireCurrent();
        QStringList sets;
        for (const ColumnDescription &c : m_columns)
            sets << m_database->Quote(c.name) + QStringLiteral(" = ?");
        auto stmt = m_database->Engine().Prepare(QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?")
                                                     .arg(m_database->Quote(tableName()), sets.join(QStringLiteral(", "))));
        for (std::size_t i = 0; i < values.size(); ++i)
            stmt->Bind(int(i + 1), values[i]);
        stmt->Bind(int(values.size() + 1), QVariant(qlonglong(m_rows[std::size_t(m_pos)].rowid)));
        stmt->Step();
        if (stmt->Changes() != 1)
            throw DbException(QStringLiteral("The record to update no longer exists"));
        m_rows[std::size_t(m_pos)].values = std::move(values);
    } else if (m_mode == Mode::AddNew) {
        QStringList names, marks;
        for (const ColumnDescription &c : m_columns) {
            names << m_database->Quote(c.name);
            marks << QStringLiteral("?");
        }
        QString sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                          .arg(m_database->Quote(tableName()), names.join(QStringLiteral(", ")),
                               marks.join(QStringLiteral(", ")));
        const bool server = m_database->Dialect() == SqlDialect::PostgreSQL;
        if (server)
            sql += QStringLiteral(" RETURNING rowid");
        auto stmt = m_database->Engine().Prepare(sql);
        for (std::size_t i = 0; i < values.size(); ++i)
            stmt->Bind(int(i + 1), values[i]);
        const bool returned = stmt->Step();
        const std::int64_t rowid =
            server ? (returned ? stmt->ColumnInt64(0) : 0) : m_database->Engine().LastInsertRowid();
        const bool atEnd = m_savedPos >= long(m_rows.size());
        m_rows.push_back(Row{rowid, false, std::move(values)});
        ++m_liveRows;
        m_pos = atEnd ? long(m_rows.size()) : m_savedPos;
        if (m_pos < 0 && m_rows.size() == 1)
            m_pos = 0; // the first row of an empty set becomes current
    } else {
        throw DbException(QStringLiteral("Update without Edit or AddNew"));
    }
    m_mode = Mode::None;
    if (m_pos >= 0 && m_pos < long(m_rows.size()) && !m_rows[std::size_t(m_pos)].deleted)
        load();
}

void CRecordset::Delete()
{
    requireCurrent();
    auto stmt = m_database->Engine().Prepare(QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(m_database->Quote(tableName())));
    stmt->Bind(1, QVariant(qlonglong(m_rows[std::size_t(m_pos)].rowid)));
    stmt->Step();
    m_rows[std::size_t(m_pos)].deleted = true;
    --m_liveRows;
    m_mode = Mode::None;
}
