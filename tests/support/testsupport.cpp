#include "testsupport.h"
#include "appcontext.h"
#include "recordsets.h"
#include "schema.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QTimer>
#include <QWidget>

MessageRecorder::MessageRecorder()
{
    m_previous = CTVMessage::SetHook([this](const TVMessageRecord &record) -> unsigned {
        m_records.push_back(record);
        unsigned answer = defaultAnswer;
        if (!m_answers.empty()) {
            answer = m_answers.front();
            m_answers.pop_front();
        }
        if (record.buttons & answer)
            return answer;
        for (unsigned bit = 1; bit <= TVB_OK; bit <<= 1)
            if (record.buttons & bit)
                return bit;
        return TVB_CANCEL;
    });
}

MessageRecorder::~MessageRecorder()
{
    CTVMessage::SetHook(std::move(m_previous));
}

std::vector<int> MessageRecorder::Ids() const
{
    std::vector<int> ids;
    for (const TVMessageRecord &r : m_records)
        ids.push_back(r.id);
    return ids;
}

int MessageRecorder::OnlyId() const
{
    return m_records.size() == 1 ? m_records.front().id : -1;
}

bool TempDatabase::OnServer()
{
    return !ServerName().isEmpty();
}

QString TempDatabase::ServerName()
{
    return qEnvironmentVariable("CORVELLE_TEST_PG");
}

QString TempDatabase::NewServerSchema(QString *schema)
{
    static int counter = 0;
    const QString name = QStringLiteral("t%1_%2").arg(QCoreApplication::applicationPid()).arg(++counter);
    CDatabase::ExecuteOnServer(ServerName(), QStringLiteral("DROP SCHEMA IF EXISTS %1 CASCADE; CREATE SCHEMA %1").arg(name));
    *schema = name;
    return ServerName() + QStringLiteral(" options='-csearch_path=%1'").arg(name);
}

void TempDatabase::DropServerSchema(const QString &schema) noexcept
{
    try {
        CDatabase::ExecuteOnServer(ServerName(), QStringLiteral("DROP SCHEMA IF EXISTS %1 CASCADE").arg(schema));
    } catch (...) {
    }
}

TempDatabase::TempDatabase()
{
    m_path = OnServer() ? NewServerSchema(&m_schema) : m_dir.filePath(QStringLiteral("envdb.mdb"));
    CreateNewDatabase(m_path, false);
    m_db.Open(m_path);
    AppContext::SetDatabase(&m_db);
    AppContext::SetProgramDirectory(m_dir.path());
}

TempDatabase::~TempDatabase()
{
    if (AppContext::Database() == &m_db)
        AppContext::SetDatabase(nullptr);
    m_db.Close();
    if (!m_schema.isEmpty())
        DropServerSchema(m_schema);
}

QString BuiltProgram(const QString &name)
{
    return QStringLiteral(CORVELLE_BIN_DIR) + u'/' + name;
}

std::int32_t RootFolder(CDatabase &db)
{
    CSetFolder set(&db);
    set.Open(QStringLiteral("SELECT * FROM FOLDER WHERE ID_PARENT = -1"));
    return set.IsEOF() ? -1 : set.m_ID_FOLDER_FOLDER;
}

void OnModalDialog(std::function<void(QWidget *)> action)
{
    auto *timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        if (QWidget *w = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            action(w);
        }
    });
    timer->start();
}
