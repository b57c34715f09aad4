#include "exchangetestutil.h"

#include "database.h"
#include "ids.h"
#include "recordsets.h"
#include "sqlformat.h"
#include "xlsreader.h"

#include <QFile>
#include <QProcess>
#include <algorithm>
#include <gtest/gtest.h>

int AddFolder(CDatabase &db, int parent, const QString &name)
{
    db.BeginTrans();
    IdAllocator ids(db);
    CSetFolder set(&db);
    set.Open(QStringLiteral("SELECT * FROM FOLDER WHERE 0"));
    set.AddNew();
    set.m_ID_FOLDER_FOLDER = ids.Next(IdCounter::Folder);
    set.m_ID_PARENT = parent;
    set.m_NAME = name;
    const int id = set.m_ID_FOLDER_FOLDER;
    set.Update();
    ids.Finish();
    db.CommitTrans();
    return id;
}

int AddAddress(CDatabase &db, int folder, const TestAddress &a)
{
    db.BeginTrans();
    IdAllocator ids(db);
    CSetAddress set(&db);
    set.Open(QStringLiteral("SELECT * FROM ADDRESS WHERE 0"));
    set.AddNew();
    set.m_ID_ADDRESS_ADDRESS = ids.Next(IdCounter::Address);
    set.m_ID_ADDRESS_FOLDER = folder;
    set.m_NAME = a.name;
    set.m_STREET = a.street;
    set.m_TOWN = a.town;
    set.m_ZIP = a.zip;
    set.m_COUNTRY = a.country;
    set.m_NOTE = a.note;
    const int id = set.m_ID_ADDRESS_ADDRESS;
    set.Update();
    CSetTel tel(&db);
    tel.Open(QStringLiteral("SELECT * FROM TEL WHERE 0"));
    for (const auto &[v, n] : a.phones) {
        tel.AddNew();
        tel.m_ID_TEL_TEL = ids.Next(IdCounter::Tel);
        tel.m_ID_TEL_ADDRESS = id;
        tel.m_PHONE = v;
        tel.m_NOTE = n;
        tel.Update();
    }
    CSetEmail mail(&db);
    mail.Open(QStringLiteral("SELECT * FROM EMAIL WHERE 0"));
    for (const auto &[v, n] : a.emails) {
        mail.AddNew();
        mail.m_ID_EMAIL_EMAIL = ids.Next(IdCounter::Email);
        mail.m_ID_EMAIL_ADDRESS = id;
        mail.m_EMAIL = v;
        mail.m_NOTE = n;
        mail.Update();
    }
    ids.Finish();
    db.CommitTrans();
    return id;
}

namespace {
QStringList dump(CDatabase &db, const QString &sql)
{
    QStringList out;
    CSetAddress set(&db);
    set.Open(sql);
    for (; !set.IsEOF(); set.MoveNext()) {
        QStringList phones, mails;
        CSetTel tel(&db);
        tel.Open(SqlFormat(QStringLiteral("SELECT * FROM TEL WHERE ID_TEL_ADDRESS = %d"), set.m_ID_ADDRESS_ADDRESS));
        for (; !tel.IsEOF(); tel.MoveNext())
            phones << tel.m_PHONE + u'|' + tel.m_NOTE;
        CSetEmail mail(&db);
        mail.Open(SqlFormat(QStringLiteral("SELECT * FROM EMAIL WHERE ID_EMAIL_ADDRESS = %d"), set.m_ID_ADDRESS_ADDRESS));
        for (; !mail.IsEOF(); mail.MoveNext())
            mails << mail.m_EMAIL + u'|' + mail.m_NOTE;
        phones.sort();
        mails.sort();
        out << QStringList{set.m_NAME, set.m_STREET, set.m_TOWN, set.m_ZIP, set.m_COUNTRY, set.m_NOTE,
                           phones.join(u','), mails.join(u',')}
                   .join(u'\t');
    }
    out.sort();
    return out;
}
} // namespace

QStringList DumpFolder(CDatabase &db, int folder)
{
    return dump(db, SqlFormat(QStringLiteral("SELECT * FROM ADDRESS WHERE ID_ADDRESS_FOLDER = %d"), folder));
}

QStringList DumpAll(CDatabase &db)
{
    return dump(db, QStringLiteral("SELECT * FROM ADDRESS"));
}

int CountAddresses(CDatabase &db, int folder)
{
    CSetAddress set(&db);
    set.Open(SqlFormat(QStringLiteral("SELECT * FROM ADDRESS WHERE ID_ADDRESS_FOLDER = %d"), folder));
    return int(set.GetRecordCount());
}

QByteArray ReadAll(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

void WriteAll(const QString &path, const QByteArray &data)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(data), data.size());
}

namespace {
QStringList run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        ADD_FAILURE() << program.toStdString() << " failed: " << p.readAllStandardError().toStdString();
        return {};
    }
    QString out = QString::fromUtf8(p.readAllStandardOutput());
    if (out.endsWith(u'\n'))
        out.chop(1);
    return out.split(u'\n');
}
} // namespace

bool HaveParseExcel()
{
    QProcess p;
    p.start(QStringLiteral("perl"), {QStringLiteral("-MSpreadsheet::ParseExcel"), QStringLiteral("-e1")});
    return p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

bool HavePython()
{
    QProcess p;
    p.start(QStringLiteral("python3"), {QStringLiteral("-c"), QStringLiteral("import zipfile, xml.etree.ElementTree")});
    return p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

QStringList DumpWithParseExcel(const QString &path)
{
    const QString script = QStringLiteral(
        "use Spreadsheet::ParseExcel; binmode STDOUT, ':utf8';"
        "my $b = Spreadsheet::ParseExcel->new->parse($ARGV[0]) or die 'parse';"
        "my $s = ($b->worksheets)[0]; my ($r0, $r1) = $s->row_range; my ($c0, $c1) = $s->col_range;"
        "for my $r ($r0..$r1) { print join(\"\\t\", map { my $x = $s->get_cell($r, $_);"
        " my $v = $x ? $x->value : ''; $v =~ s/\\n/\\\\n/g; $v } 0..$c1), \"\\n\" }");
    return run(QStringLiteral("perl"), {QStringLiteral("-e"), script, path});
}

QStringList DumpWithFreeXL(const QString &path)
{
    QStringList out;
    XlsSheetReader reader;
    if (!reader.Open(path)) {
        ADD_FAILURE() << "FreeXL cannot open " << path.toStdString();
        return out;
    }
    for (unsigned r = 1; r <= reader.LastRow(); ++r) {
        QStringList cells;
        for (unsigned c = 1; c <= reader.LastColumn(); ++c) {
            QString t;
            EXPECT_TRUE(reader.CellText(r, c, t));
            t.replace(u'\n', QLatin1String("\\n"));
            cells << t;
        }
        out << cells.join(u'\t');
    }
    return out;
}

QStringList DumpXlsx(const QString &path)
{
    const QString script = QStringLiteral(
        "import sys, zipfile, re, xml.etree.ElementTree as E\n"
        "n = '{http://schemas.openxmlformats.org/spreadsheetml/2006/main}'\n"
        "z = zipfile.ZipFile(sys.argv[1])\n"
        "shared = []\n"
        "if 'xl/sharedStrings.xml' in z.namelist():\n"
        "    for si in E.fromstring(z.read('xl/sharedStrings.xml')).iter(n + 'si'):\n"
        "        shared.append(''.join(t.text or '' for t in si.iter(n + 't')))\n"
        "root = E.fromstring(z.read('xl/worksheets/sheet1.xml'))\n"
        "rows = {}\n"
        "width = 0\n"
        "for c in root.iter(n + 'c'):\n"
        "    m = re.match(r'([A-Z]+)(\\d+)', c.get('r'))\n"
        "    col = 0\n"
        "    for ch in m.group(1): col = col * 26 + ord(ch) - 64\n"
        "    row = int(m.group(2)); width = max(width, col)\n"
        "    t = c.get('t'); v = ''\n"
        "    if t == 's': v = shared[int(c.find(n + 'v').text)]\n"
        "    elif t == 'inlineStr': v = ''.join(x.text or '' for x in c.iter(n + 't'))\n"
        "    elif c.find(n + 'v') is not None: v = c.find(n + 'v').text\n"
        "    rows.setdefault(row, {})[col] = v\n"
        "out = sys.stdout.buffer\n"
        "for r in range(1, max(rows) + 1 if rows else 1):\n"
        "    cells = rows.get(r, {})\n"
        "    line = '\\t'.join(cells.get(c, '').replace('\\n', '\\\\n') for c in range(1, width + 1))\n"
        "    out.write((line + '\\n').encode('utf-8'))\n");
    return run(QStringLiteral("python3"), {QStringLiteral("-c"), script, path});
}

// A CSV file as rows of cells (double quotes, doubled inside, line breaks
// inside quoted cells).
std::vector<QStringList> ReadCsv(const QString &path)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    const QString text = QString::fromUtf8(f.readAll());
    std::vector<QStringList> rows;
    QStringList row;
    QString cell;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"') {
                cell += u'"';
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                cell += c;
            }
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u',') {
            row << cell;
            cell.clear();
        } else if (c == u'\n' || c == u'\r') {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            row << cell;
            cell.clear();
            rows.push_back(row);
            row.clear();
        } else {
            cell += c;
        }
    }
    if (!cell.isEmpty() || !row.isEmpty()) {
        row << cell;
        rows.push_back(row);
    }
    return rows;
}

