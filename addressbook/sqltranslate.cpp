#include "sqltranslate.h"
#include "database.h"

namespace {

struct Token {
    enum Kind { Word, Number, String, Symbol, End } kind;
    QString text;
};

class Lexer {
public:
    explicit Lexer(const QString &sql) : m_sql(sql) {}

    Token next()
    {
        while (m_pos < m_sql.size() && m_sql[m_pos].isSpace())
            ++m_pos;
        if (m_pos >= m_sql.size())
            return {Token::End, {}};
        const QChar c = m_sql[m_pos];
        if (c == u'[') { // bracketed name
            const qsizetype close = m_sql.indexOf(u']', m_pos);
            if (close < 0)
                fail();
            Token t{Token::Word, m_sql.mid(m_pos + 1, close - m_pos - 1)};
            m_pos = close + 1;
            return t;
        }
        if (c.isLetter() || c == u'_') {
            const qsizetype start = m_pos;
            while (m_pos < m_sql.size() && (m_sql[m_pos].isLetterOrNumber() || m_sql[m_pos] == u'_' || m_sql[m_pos] == u'.'))
                ++m_pos;
            return {Token::Word, m_sql.mid(start, m_pos - start)};
        }
        if (c.isDigit() || (c == u'-' && m_pos + 1 < m_sql.size() && m_sql[m_pos + 1].isDigit())) {
            const qsizetype start = m_pos++;
            while (m_pos < m_sql.size() && m_sql[m_pos].isDigit())
                ++m_pos;
            return {Token::Number, m_sql.mid(start, m_pos - start)};
        }
        if (c == u'\'') {
            QString value;
            ++m_pos;
            for (;;) {
                if (m_pos >= m_sql.size())
                    fail();
                if (m_sql[m_pos] == u'\'') {
                    if (m_pos + 1 < m_sql.size() && m_sql[m_pos + 1] == u'\'') {
                        value += u'\'';
                        m_pos += 2;
                        continue;
                    }
                    ++m_pos;
                    break;
                }
                value += m_sql[m_pos++];
            }
            return {Token::String, value};
        }
        if (c == u'<' && m_pos + 1 < m_sql.size() && m_sql[m_pos + 1] == u'>') {
            m_pos += 2;
            return {Token::Symbol, QStringLiteral("<>")};
        }
        if (c == u'*' || c == u',' || c == u'=' || c == u';') {
            ++m_pos;
            return {Token::Symbol, QString(c)};
        }
        fail();
    }

    [[noreturn]] void fail() const
    {
        throw DbException(QStringLiteral("Unsupported SQL text: %1").arg(m_sql));
    }

private:
    QString m_sql;
    qsizetype m_pos = 0;
};

bool isKeyword(const Token &t, const char *word)
{
    return t.kind == Token::Word && t.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

bool validName(const QString &name)
{
    if (name.isEmpty())
        return false;
    for (QChar c : name)
        if (!(c.isLetterOrNumber() || c == u'_') || c.unicode() > 127)
            return false;
    return true;
}

} // namespace

TranslatedQuery TranslateJetSql(const QString &sql, SqlDialect dialect)
{
    // The server's text columns carry the address book's collation
    // themselves; the file names UNOCASE in each comparison.
    const bool server = dialect == SqlDialect::PostgreSQL;
    const QString collate = server ? QString() : QStringLiteral(" COLLATE UNOCASE");
    Lexer lex(sql);
    TranslatedQuery q;
    Token t = lex.next();

    // A bare table name ("[ADDRESS]") opens the whole table.
    if (t.kind == Token::Word && !isKeyword(t, "SELECT")) {
        if (!validName(t.text) || lex.next().kind != Token::End)
            lex.fail();
        q.table = t.text.toUpper();
        return q;
    }
    if (!isKeyword(t, "SELECT") || (t = lex.next()).text != QLatin1String("*") || !isKeyword(lex.next(), "FROM"))
        lex.fail();
    t = lex.next();
    if (t.kind != Token::Word || !validName(t.text))
        lex.fail();
    q.table = t.text.toUpper();

    // A column as written: plain, bracketed or qualified with this table.
    auto column = [&](const Token &tok) {
        if (tok.kind != Token::Word)
            lex.fail();
        QString name = tok.text;
        const qsizetype dot = name.indexOf(u'.');
        if (dot >= 0) {
            if (name.left(dot).compare(q.table, Qt::CaseInsensitive) != 0)
                lex.fail();
            name = name.mid(dot + 1);
        }
        if (!validName(name))
            lex.fail();
        return CDatabase::QuoteName(name.toUpper(), dialect);
    };

    t = lex.next();
    if (isKeyword(t, "WHERE")) {
        QStringList terms;
        for (;;) {
            t = lex.next();
            if (t.kind == Token::Number) {
                // WHERE 1, WHERE 0: the server wants a truth value.
                terms << (server ? QStringLiteral("? <> 0") : QStringLiteral("?"));
                q.parameters.push_back(t.text.toLongLong());
                t = lex.next();
            } else {
                const QString col = column(t);
                t = lex.next();
                const bool equal = t.text == QLatin1String("=");
                const bool unequal = t.text == QLatin1String("<>");
                if (t.kind == Token::Symbol && (equal || unequal)) {
                    const Token value = lex.next();
                    const QString op = equal ? QStringLiteral("=") : QStringLiteral("<>");
                    if (value.kind == Token::String) {
                        terms << QStringLiteral("%1 %2 ?%3").arg(col, op, collate);
                        q.parameters.push_back(value.text);
                    } else if (value.kind == Token::Number) {
                        terms << QStringLiteral("%1 %2 ?").arg(col, op);
                        q.parameters.push_back(value.text.toLongLong());
                    } else {
                        lex.fail();
                    }
                    t = lex.next();
                } else if (isKeyword(t, "LIKE")) {
                    const Token value = lex.next();
                    if (value.kind != Token::String)
                        lex.fail();
                    QString pattern = value.text;
                    const bool leading = pattern.startsWith(u'*');
                    if (leading)
                        pattern.remove(0, 1);
                    const bool trailing = pattern.endsWith(u'*');
                    if (trailing)
                        pattern.chop(1);
                    const int mode = (leading && trailing) ? 1 : trailing ? 2 : leading ? 3 : 0;
                    terms << QStringLiteral("umatch(%1, ?, %2)").arg(col).arg(mode);
                    q.parameters.push_back(pattern);
                    t = lex.next();
                } else {
                    // A bare boolean column: true when non-zero.
                    terms << QStringLiteral("%1 <> 0").arg(col);
                }
            }
            if (!isKeyword(t, "AND"))
                break;
        }
        q.where = terms.join(QStringLiteral(" AND "));
    }
    if (isKeyword(t, "ORDER")) {
        if (!isKeyword(lex.next(), "BY"))
            lex.fail();
        QStringList terms;
        for (;;) {
            const QString col = column(lex.next());
            t = lex.next();
            QString dir;
            if (isKeyword(t, "DESC") || isKeyword(t, "ASC")) {
                dir = isKeyword(t, "DESC") ? QStringLiteral(" DESC") : QString();
                t = lex.next();
            }
            terms << col + collate + dir;
            if (t.text != QLatin1String(","))
                break;
        }
        q.orderBy = terms.join(QStringLiteral(", "));
    }
    if (t.kind == Token::Symbol && t.text == QLatin1String(";"))
        t = lex.next();
    if (t.kind != Token::End)
        lex.fail();
    return q;
}
