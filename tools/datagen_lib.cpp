#include "datagen.h"
#include "database.h"
#include "recordset.h"

#include <QStringList>
#include <QVariant>
#include <initializer_list>
#include <memory>
#include <random>
#include <vector>

namespace {

const char *const kGiven[] = {"Jan", "Petr", "Jana", "Eva", "Tomáš", "Jiří", "Zdeněk", "Marie", "Kateřina", "Lukáš",
                              "Hans", "Jürgen", "Uwe", "Anneliese", "Björn", "Günter", "Sabine", "Claude", "Élise",
                              "François", "Hélène", "Jérôme", "Zoë", "John", "Mary", "Robert", "Linda", "Olivia",
                              "Michael", "Sarah"};
const char *const kFamily[] = {"Novák", "Svoboda", "Dvořák", "Černý", "Procházka", "Kučera", "Veselý", "Šťastný",
                               "Müller", "Schmidt", "Schröder", "Weiß", "Krüger", "Groß", "Dupont", "Lefèvre",
                               "Moreau", "Girard", "Rousseau", "Smith", "Johnson", "Brown", "Taylor", "Wilson",
                               "Evans", "Walker"};
const char *const kCjkNames[] = {"王伟", "李娜", "张敏", "刘洋", "陈静", "山田太郎", "佐藤花子", "鈴木一郎", "高橋美咲"};
const char *const kCompanies[] = {"Stavby Brno s.r.o.", "Zahradnictví Lípa", "Bäckerei Sonnenschein GmbH",
                                  "Müller & Söhne KG", "Boulangerie du Marché", "Atelier Lumière SARL",
                                  "Northwind Traders Ltd.", "Blue Harbor Consulting", "Pivovar U Tří lvů",
                                  "Autoservis Rychlý", "Éditions Cerise", "Kaffeerösterei Bohne"};
const char *const kStreets[] = {"Hlavní", "Nádražní", "Školní", "Zahradní", "Husova", "Palackého",
                                "Hauptstraße", "Bahnhofstraße", "Schulweg", "Gartenstraße", "Rue de la Paix",
                                "Avenue Victor Hugo", "Rue des Écoles", "High Street", "Station Road", "Church Lane",
                                "Main Street", "Maple Avenue"};
struct Town {
    const char *name;
    const char *country;
    const char *zipFormat; // 'd' is a digit
    const char *phonePrefix;
};
const Town kTowns[] = {{"Praha", "Česká republika", "ddd dd", "+420 "},  {"Brno", "Česká republika", "ddd dd", "+420 "},
                       {"Ostrava", "Česká republika", "ddd dd", "+420 "}, {"České Budějovice", "Česká republika", "ddd dd", "+420 "},
                       {"Berlin", "Deutschland", "ddddd", "+49 "},        {"München", "Deutschland", "ddddd", "+49 "},
                       {"Köln", "Deutschland", "ddddd", "+49 "},          {"Paris", "France", "ddddd", "+33 "},
                       {"Lyon", "France", "ddddd", "+33 "},               {"Besançon", "France", "ddddd", "+33 "},
                       {"London", "United Kingdom", "SWd dXX", "+44 "},   {"Springfield", "USA", "ddddd", "+1 "},
                       {"北京", "中国", "dddddd", "+86 "},                 {"東京", "日本", "ddd-dddd", "+81 "}};
const char *const kPhoneNotes[] = {"", "", "home", "work", "mobile", "fax", "after 5 pm", "reception"};
const char *const kMailNotes[] = {"", "", "private", "work", "invoices", "newsletter"};
const char *const kNotes[] = {"", "", "", "Christmas card", "Customer since 2015", "Prefers e-mail",
                              "VIP", "Do not call before 9 am", "Supplier"};
const char *const kFolderWords[] = {"Family", "Friends", "Customers", "Suppliers", "Club", "School", "Work",
                                    "Neighbours", "Rodina", "Kunden", "Clients", "Partners", "Archive", "Region"};

// One INSERT or UPDATE run once per row, on either engine.
class Inserter {
public:
    Inserter(CDatabase &db, const char *table, std::initializer_list<const char *> columns, bool update = false)
    {
        QStringList names, marks;
        for (const char *c : columns) {
            names << (update ? db.Quote(QString::fromLatin1(c)) + QStringLiteral(" = ?") : db.Quote(QString::fromLatin1(c)));
            marks << QStringLiteral("?");
        }
        const QString t = db.Quote(QString::fromLatin1(table));
        m_stmt = db.Engine().Prepare(update ? QStringLiteral("UPDATE %1 SET %2").arg(t, names.join(QStringLiteral(", ")))
                                            : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                                  .arg(t, names.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))));
    }
    Inserter &i(int index, long long v)
    {
        m_stmt->Bind(index, QVariant(qlonglong(v)));
        return *this;
    }
    Inserter &t(int index, const QString &v)
    {
        m_stmt->Bind(index, QVariant(v));
        return *this;
    }
    void run()
    {
        m_stmt->Step();
        m_stmt->Reset();
    }

private:
    std::unique_ptr<DbStatement> m_stmt;
};

template <typename T, std::size_t N> const T &pick(std::mt19937 &rng, const T (&items)[N])
{
    return items[std::uniform_int_distribution<std::size_t>(0, N - 1)(rng)];
}

int chance(std::mt19937 &rng)
{
    return std::uniform_int_distribution<int>(0, 99)(rng);
}

QString digits(std::mt19937 &rng, const char *format)
{
    QString out;
    for (const char *p = format; *p; ++p) {
        if (*p == 'd')
            out += QChar(u'0' + std::uniform_int_distribution<int>(0, 9)(rng));
        else if (*p == 'X')
            out += QChar(u'A' + std::uniform_int_distribution<int>(0, 25)(rng));
        else
            out += QChar::fromLatin1(*p);
    }
    return out;
}

QString u(const char *s) { return QString::fromUtf8(s); }

} // namespace

DataGenResult GenerateAddressBook(const QString &path, const DataGenOptions &options)
{
    CDatabase db;
    db.Open(path);
    std::mt19937 rng(options.seed);
    DataGenResult result;
    const long long folderCount = options.folders >= 0 ? options.folders : std::max(1LL, options.addresses / 100);

    db.BeginTrans();
    try {
        // Counters and root folder.
        long long next[9] = {};
        {
            auto s = db.Engine().Prepare(QStringLiteral("SELECT %1, %2, %3, %4 FROM %5")
                                             .arg(db.Quote(QStringLiteral("ID_ADDRESS_FF")), db.Quote(QStringLiteral("ID_EMAIL_FF")),
                                                  db.Quote(QStringLiteral("ID_TEL_FF")), db.Quote(QStringLiteral("ID_FOLDER_FF")),
                                                  db.Quote(QStringLiteral("IDS"))));
            if (!s->Step())
                throw DbException(QStringLiteral("The IDS row is missing"));
            for (int i = 0; i < 4; ++i)
                next[i] = s->ColumnInt64(i);
        }
        long long root = -1;
        {
            auto s = db.Engine().Prepare(QStringLiteral("SELECT %1 FROM %2 WHERE %3 = -1")
                                             .arg(db.Quote(QStringLiteral("ID_FOLDER_FOLDER")), db.Quote(QStringLiteral("FOLDER")),
                                                  db.Quote(QStringLiteral("ID_PARENT"))));
            if (s->Step())
                root = s->ColumnInt64(0);
            if (root < 0)
                throw DbException(QStringLiteral("The root folder is missing"));
        }
        long long &nextAddress = next[0], &nextEmail = next[1], &nextTel = next[2], &nextFolder = next[3];

        // Folder tree: each new folder goes under the root or under an earlier folder,
        // at most four levels deep; names are unique among siblings by their number.
        Inserter folder(db, "FOLDER", {"ID_FOLDER_FOLDER", "ID_PARENT", "NAME"});
        std::vector<long long> folders{root};
        std::vector<int> depth{0};
        for (long long f = 0; f < folderCount; ++f) {
            std::size_t parent = 0;
            for (int tries = 0; tries < 4; ++tries) {
                parent = std::uniform_int_distribution<std::size_t>(0, folders.size() - 1)(rng);
                if (depth[parent] < 4)
                    break;
                parent = 0;
            }
            const long long id = nextFolder++;
            folder.i(1, id).i(2, folders[parent]).t(3, QStringLiteral("%1 %2").arg(u(pick(rng, kFolderWords))).arg(f + 1)).run();
            folders.push_back(id);
            depth.push_back(depth[parent] + 1);
        }
        result.folders = folderCount;

        Inserter address(db, "ADDRESS", {"ID_ADDRESS_FOLDER", "ID_ADDRESS_ADDRESS", "NAME", "STREET", "TOWN", "ZIP",
                                         "COUNTRY", "NOTE"});
        Inserter tel(db, "TEL", {"ID_TEL_TEL", "ID_TEL_ADDRESS", "PHONE", "NOTE"});
        Inserter email(db, "EMAIL", {"ID_EMAIL_EMAIL", "ID_EMAIL_ADDRESS", "EMAIL", "NOTE"});
        const QString crlf = QStringLiteral("\r\n");
        for (long long a = 0; a < options.addresses; ++a) {
            const Town &town = pick(rng, kTowns);
            const bool cjk = town.phonePrefix == std::string_view("+86 ") || town.phonePrefix == std::string_view("+81 ");
            QString person = cjk ? u(pick(rng, kCjkNames))
                                 : QStringLiteral("%1 %2").arg(u(pick(rng, kGiven)), u(pick(rng, kFamily)));
            QString name = person;
            const int kind = chance(rng);
            if (kind < 20) // a company with a contact person on a second line
                name = u(pick(rng, kCompanies)) + crlf + person;
            else if (kind < 25)
                name = u(pick(rng, kCompanies));
            QString street = QStringLiteral("%1 %2").arg(u(pick(rng, kStreets))).arg(std::uniform_int_distribution<int>(1, 250)(rng));
            if (chance(rng) < 8)
                street += crlf + QStringLiteral("P.O. Box %1").arg(std::uniform_int_distribution<int>(10, 999)(rng));
            const long long id = nextAddress++;
            const long long folderId = folders[std::uniform_int_distribution<std::size_t>(0, folders.size() - 1)(rng)];
            address.i(1, folderId).i(2, id).t(3, name).t(4, street).t(5, u(town.name)).t(6, digits(rng, town.zipFormat))
                .t(7, chance(rng) < 70 ? u(town.country) : QString()).t(8, u(pick(rng, kNotes))).run();
            const int phones = std::uniform_int_distribution<int>(0, 3)(rng);
            for (int p = 0; p < phones; ++p) {
                tel.i(1, nextTel++).i(2, id).t(3, u(town.phonePrefix) + digits(rng, "ddd ddd ddd"))
                    .t(4, u(pick(rng, kPhoneNotes))).run();
                ++result.phones;
            }
            const int mails = std::uniform_int_distribution<int>(0, 2)(rng);
            for (int m = 0; m < mails; ++m) {
                email.i(1, nextEmail++).i(2, id)
                    .t(3, QStringLiteral("user%1.%2@example.%3").arg(id).arg(m + 1).arg(m ? QStringLiteral("org") : QStringLiteral("com")))
                    .t(4, u(pick(rng, kMailNotes))).run();
                ++result.emails;
            }
            ++result.addresses;
        }

        Inserter ids(db, "IDS", {"ID_ADDRESS_FF", "ID_EMAIL_FF", "ID_TEL_FF", "ID_FOLDER_FF"}, true);
        ids.i(1, nextAddress).i(2, nextEmail).i(3, nextTel).i(4, nextFolder).run();
        db.CommitTrans();
    } catch (...) {
        db.Rollback();
        throw;
    }
    return result;
}
