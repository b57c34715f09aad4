// vCard and CSV contacts: the readers against files other programs wrote
// (vobject, Google, Apple, Thunderbird, Evolution, Outlook, an Android
// phone), the import into a folder with its counts, questions, transaction
// and Cancel, round trips of 2,000 addresses, hostile files and the command line.
#include "contactcli.h"
#include "contactimport.h"
#include "csvcontacts.h"
#include "datagen.h"
#include "exchangehooks.h"
#include "exchangetestutil.h"
#include "folderpath.h"
#include "testsupport.h"
#include "textencoding.h"
#include "vcard.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QString fixture(const char *name)
{
    return QStringLiteral(CORVELLE_SOURCE_DIR "/tests/exchange/contacts/") + QString::fromLatin1(name);
}

QString s(const char *utf8) { return QString::fromUtf8(utf8); }

std::vector<ImportEntry> readFile(const QString &path, ContactFormat format, ContactFile *info = nullptr)
{
    ContactFile file;
    EXPECT_TRUE(ReadContactFile(path, format, std::nullopt, file)) << path.toStdString();
    std::vector<ImportEntry> out;
    for (auto &a : file.addresses)
        out.push_back(a.entry);
    if (info)
        *info = file;
    return out;
}

std::vector<ImportEntry> cardsOf(const QByteArray &text)
{
    std::vector<ImportEntry> out;
    for (const VCard &c : ParseVCardFile(text).cards)
        out.push_back(VCardToAddress(c).entry);
    return out;
}

Pairs pairs(std::initializer_list<std::pair<const char *, const char *>> list)
{
    Pairs out;
    for (const auto &[v, n] : list)
        out.emplace_back(s(v), s(n));
    return out;
}

const QString CRLF = QStringLiteral("\r\n");

} // namespace

// ---- the vCard reader ----

TEST(VCardReader, FoldingEscapesGroupsAndLineEnds)
{
    // 3.0 folds drop the one blank; \n \, \; \\ are resolved; a group's
    // X-ABLabel is the note; LF-only and CR-only line ends both work.
    const QByteArray text = "BEGIN:VCARD\nVERSION:3.0\nFN:Anna\n  Marie\nNOTE:a\\, b\\; c\\\\d\\nline 2\n"
                            "item7.TEL:+1 555\nitem7.X-ABLabel:Front desk\nEND:VCARD\r"
                            "BEGIN:VCARD\rVERSION:3.0\rFN:Bob\rEND:VCARD\r";
    const auto cards = cardsOf(text);
    ASSERT_EQ(cards.size(), 2u);
    EXPECT_EQ(cards[0].name, s("Anna Marie"));
    EXPECT_EQ(cards[0].note, s("a, b; c\\d") + CRLF + s("line 2"));
    EXPECT_EQ(cards[0].phones, pairs({{"+1 555", "Front desk"}}));
    EXPECT_EQ(cards[1].name, s("Bob"));
    // 2.1 keeps the blank of a fold (RFC 822 folding).
    EXPECT_EQ(cardsOf("BEGIN:VCARD\r\nVERSION:2.1\r\nFN:Anna\r\n Marie\r\nEND:VCARD\r\n")[0].name, s("Anna Marie"));
}

TEST(VCardReader, QuotedPrintableCharsetAndMarks)
{
    // A soft break inside a UTF-8 sequence, CHARSET=ISO-8859-2 with raw bytes,
    // a UTF-8 mark and a UTF-16 file.
    const auto qp = cardsOf("BEGIN:VCARD\r\nVERSION:2.1\r\nFN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:Ji=C5=\r\n"
                            "=99=C3=AD\r\nEND:VCARD\r\n");
    ASSERT_EQ(qp.size(), 1u);
    EXPECT_EQ(qp[0].name, s("Jiří"));
    QByteArray latin2 = "BEGIN:VCARD\r\nVERSION:2.1\r\nFN;CHARSET=ISO-8859-2:\xD8" "ezn\xED\xE8" "ek\r\nEND:VCARD\r\n";
    EXPECT_EQ(cardsOf(latin2)[0].name, s("Řezníček"));
    EXPECT_EQ(cardsOf("\xEF\xBB\xBF" "BEGIN:VCARD\r\nFN:Zoë\r\nEND:VCARD\r\n")[0].name, s("Zoë"));
    const QString text = s("BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Łukasz 東京\r\nEND:VCARD\r\n");
    QByteArray le("\xFF\xFE"), be;
    for (QChar c : text) {
        le.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
        be.append(char(c.unicode() >> 8)).append(char(c.unicode() & 0xFF));
    }
    EXPECT_EQ(cardsOf(le)[0].name, s("Łukasz 東京"));
    EXPECT_EQ(cardsOf(be)[0].name, s("Łukasz 東京")); // no mark: found by the zero bytes
}

TEST(VCardReader, CutAndNestedCards)
{
    // A nested 2.1 AGENT card is skipped, a card without END is counted.
    const VCardFile f = ParseVCardFile("BEGIN:VCARD\r\nFN:Boss\r\nAGENT:\r\nBEGIN:VCARD\r\nFN:Agent\r\nEND:VCARD\r\n"
                                       "TEL:1\r\nEND:VCARD\r\nBEGIN:VCARD\r\nFN:Cut");
    ASSERT_EQ(f.cards.size(), 1u);
    EXPECT_EQ(f.damaged, 1);
    const ImportEntry e = VCardToAddress(f.cards[0]).entry;
    EXPECT_EQ(e.name, s("Boss"));
    EXPECT_EQ(e.phones, pairs({{"1", ""}}));
    EXPECT_FALSE(ParseVCardFile("just some text\n").foundCard);
}

TEST(VCardReader, NameOrganisationAddressRules)
{
    // N put together without FN; ORG on a second line; a company card is its
    // ORG alone; the preferred ADR wins; region after the town; LABEL as the
    // fall-back; the note is cut at 255 characters.
    const auto c = cardsOf(
        "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Doe;John;Q.;Dr.;Jr.\r\nORG:Acme\\, Inc.;Research\r\n"
        "ADR;TYPE=home:;;Home St 1;Hometown;;11111;\r\nADR;TYPE=work,pref:PO Box 5;Suite 2;Work St 9;Springfield;IL;"
        "62704;USA\r\nEND:VCARD\r\n"
        "BEGIN:VCARD\r\nVERSION:4.0\r\nKIND:org\r\nFN:Acme\r\nORG:Acme Holding\r\n"
        "ADR;LABEL=\"Main Street 5\\n12345 Smalltown\\nGermany\":;;;;;;\r\nEND:VCARD\r\n"
        "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Long\r\nNOTE:" +
        QByteArray(300, 'n') + "\r\nLABEL:Only one line\r\nEND:VCARD\r\n");
    ASSERT_EQ(c.size(), 3u);
    EXPECT_EQ(c[0].name, s("Dr. John Q. Doe Jr.") + CRLF + s("Acme, Inc., Research"));
    EXPECT_EQ(c[0].street, s("Work St 9") + CRLF + s("Suite 2") + CRLF + s("PO Box 5"));
    EXPECT_EQ(c[0].town, s("Springfield, IL"));
    EXPECT_EQ(c[0].zip, s("62704"));
    EXPECT_EQ(c[0].country, s("USA"));
    EXPECT_EQ(c[1].name, s("Acme Holding"));
    EXPECT_EQ(c[1].street, s("Main Street 5"));
    EXPECT_EQ(c[1].town, s("Smalltown"));
    EXPECT_EQ(c[1].zip, s("12345"));
    EXPECT_EQ(c[1].country, s("Germany"));
    EXPECT_EQ(c[2].note.size(), 255);
    EXPECT_EQ(c[2].street, s("Only one line"));
    const VCardFile f = ParseVCardFile("BEGIN:VCARD\r\nFN:x\r\nNOTE:" + QByteArray(256, 'a') + "\r\nEND:VCARD\r\n");
    EXPECT_TRUE(VCardToAddress(f.cards[0]).noteShortened);
}

// ---- files other programs wrote ----

TEST(ContactFixtures, VobjectWritesWhatWeRead)
{
    const auto c = readFile(fixture("vobject_30.vcf"), ContactFormat::VCard);
    ASSERT_EQ(c.size(), 4u);
    EXPECT_EQ(c[0].name, s("Jiří Šťastný"));
    EXPECT_EQ(c[0].street, s("Náměstí Míru 5"));
    EXPECT_EQ(c[0].town, s("Praha"));
    EXPECT_EQ(c[0].zip, s("120 00"));
    EXPECT_EQ(c[0].country, s("Česká republika"));
    EXPECT_EQ(c[0].phones, pairs({{"+420 777 123 456", "cell"}, {"+420 222 333 444", "work"}}));
    EXPECT_EQ(c[0].emails, pairs({{"jiri@example.cz", "home"}}));
    EXPECT_EQ(c[0].note, s("Met at the fair, 2024; likes tea.") + CRLF + s("Second line of the note."));
    EXPECT_EQ(c[1].name, s("Seán O'Brien") + CRLF + s("Brien & Sons, Ltd., Sales"));
    EXPECT_EQ(c[1].street, s("12 Harbour Road") + CRLF + s("Unit 4"));
    EXPECT_EQ(c[1].town, s("Cork, Munster"));
    EXPECT_EQ(c[1].phones, pairs({{"+353 21 555 0101", "work, fax"}}));
    EXPECT_EQ(c[2].name, s("Müller GmbH")); // FN equal to ORG: a company
    EXPECT_EQ(c[3].name, s("王小明"));
    EXPECT_EQ(c[3].note, s("A long note that vobject folds: ") + QString(120, u'x'));
}

TEST(ContactFixtures, AndroidAndOldPhones)
{
    ContactFile info;
    const auto c = readFile(fixture("android_21.vcf"), ContactFormat::VCard, &info);
    ASSERT_EQ(c.size(), 3u);
    EXPECT_EQ(c[0].name, s("Jiří Šťastný"));
    EXPECT_EQ(c[0].phones, pairs({{"+420 777 123 456", "cell"}, {"+420 2 1234 5678", "home"}}));
    EXPECT_EQ(c[0].emails, pairs({{"jiri@example.cz", "home"}}));
    EXPECT_EQ(c[1].name, s("Žofie Dvořáková-Procházková"));
    EXPECT_EQ(c[1].street, s("Dlouhá třída 1234/56, vchod z ulice Pražská"));
    EXPECT_EQ(c[1].town, s("České Budějovice")); // soft break inside "Č"
    EXPECT_EQ(c[1].zip, s("370 01"));
    EXPECT_TRUE(c[2].name.isEmpty());
    EXPECT_TRUE(IsRefusedContact(c[2]));
    const auto old = readFile(fixture("oldphone_21.vcf"), ContactFormat::VCard);
    ASSERT_EQ(old.size(), 1u);
    EXPECT_EQ(old[0].name, s("Lubomír Řezníček"));
    EXPECT_EQ(old[0].street, s("Kopecká 12"));
    EXPECT_EQ(old[0].zip, s("602 00"));
    EXPECT_EQ(old[0].town, s("Brno"));
    EXPECT_EQ(old[0].country, s("Česko"));
}

TEST(ContactFixtures, GoogleAppleThunderbirdEvolutionCards)
{
    const auto g = readFile(fixture("google.vcf"), ContactFormat::VCard);
    ASSERT_EQ(g.size(), 1u);
    EXPECT_EQ(g[0].name, s("Anna Nováková") + CRLF + s("Firma s.r.o."));
    EXPECT_EQ(g[0].street, s("Vinohradská 12")); // the first ADR
    EXPECT_EQ(g[0].phones, pairs({{"+420 601 234 567", "cell"}, {"+420 800 100 200", "Hotline"}}));
    EXPECT_EQ(g[0].emails, pairs({{"anna@example.com", "home"}, {"anna.novakova@firma.example", "work"}}));
    EXPECT_EQ(g[0].note, s("Birthday party, June 5"));

    const auto a = readFile(fixture("apple.vcf"), ContactFormat::VCard);
    ASSERT_EQ(a.size(), 2u);
    EXPECT_EQ(a[0].name, s("John Appleseed") + CRLF + s("Apple Inc."));
    EXPECT_EQ(a[0].street, s("3494 Kuhl Avenue")); // type=pref
    EXPECT_EQ(a[0].town, s("Atlanta, GA"));
    EXPECT_EQ(a[0].phones, pairs({{"+1 408 555 0101", "mobile"}, {"+1 408 555 0199", "Reception desk"},
                                  {"+1 408 555 0123", "home"}}));
    EXPECT_EQ(a[0].emails, pairs({{"john@example.com", "other"}}));
    EXPECT_EQ(a[1].name, s("Acme Corporation"));
    EXPECT_EQ(a[1].phones, pairs({{"+1 212 555 0100", "work"}}));

    const auto t = readFile(fixture("thunderbird.vcf"), ContactFormat::VCard);
    ASSERT_EQ(t.size(), 1u);
    EXPECT_EQ(t[0].name, s("Hélène Dubois"));
    EXPECT_EQ(t[0].phones, pairs({{"+33 1 23 45 67 89", "work"}, {"+33 6 12 34 56 78", "cell"}}));
    EXPECT_EQ(t[0].emails, pairs({{"helene@example.fr", ""}, {"h.dubois@travail.example", ""}}));
    EXPECT_EQ(t[0].note, s("Première ligne") + CRLF + s("Deuxième ligne"));
    EXPECT_EQ(t[0].zip, s("75002"));

    const auto e = readFile(fixture("evolution.vcf"), ContactFormat::VCard);
    ASSERT_EQ(e.size(), 1u);
    EXPECT_EQ(e[0].name, s("Jan Kowalski"));
    EXPECT_EQ(e[0].street, s("ul. Marszałkowska 10/12"));
    EXPECT_EQ(e[0].town, s("Warszawa, mazowieckie"));
    EXPECT_EQ(e[0].zip, s("00-590"));
    EXPECT_EQ(e[0].emails, pairs({{"jan.kowalski@example.pl", "work"}}));
}

TEST(ContactFixtures, CsvLayoutsOfMailPrograms)
{
    ContactFile info;
    const auto g = readFile(fixture("google.csv"), ContactFormat::Csv, &info);
    EXPECT_EQ(info.layout, CsvLayout::Google);
    ASSERT_EQ(g.size(), 2u);
    EXPECT_EQ(g[0].name, s("Anna Nováková") + CRLF + s("Firma s.r.o."));
    EXPECT_EQ(g[0].street, s("Vinohradská 12"));
    EXPECT_EQ(g[0].town, s("Praha 2"));
    EXPECT_EQ(g[0].zip, s("120 00"));
    EXPECT_EQ(g[0].phones, pairs({{"+420 601 234 567", "mobile"}, {"+420 602 000 111", "mobile"}}));
    EXPECT_EQ(g[0].emails, pairs({{"anna@example.com", "home"}, {"anna.novakova@firma.example", "work"}}));
    EXPECT_EQ(g[0].note, s("Birthday party, June 5"));
    EXPECT_EQ(g[1].name, s("Dr. Peter J. Smith"));
    EXPECT_EQ(g[1].street, s("221B Baker Street")); // from the formatted address only
    EXPECT_EQ(g[1].town, s("London"));
    EXPECT_EQ(g[1].zip, s("NW1 6XE"));
    EXPECT_EQ(g[1].country, s("United Kingdom"));

    const auto o = readFile(fixture("outlook.csv"), ContactFormat::Csv, &info);
    EXPECT_EQ(info.layout, CsvLayout::Outlook);
    EXPECT_EQ(info.encoding, s("Windows-1252"));
    ASSERT_EQ(o.size(), 2u);
    EXPECT_EQ(o[0].name, s("Jürgen Groß") + CRLF + s("Bäckerei Groß"));
    EXPECT_EQ(o[0].street, s("Hauptstraße 5") + CRLF + s("Hinterhaus"));
    EXPECT_EQ(o[0].town, s("München, Bayern"));
    EXPECT_EQ(o[0].zip, s("80331"));
    EXPECT_EQ(o[0].phones, pairs({{"+49 89 123456", "business fax"}, {"+49 89 123450", "business"},
                                  {"+49 170 1234567", "mobile"}}));
    EXPECT_EQ(o[0].emails, pairs({{"juergen@example.de", ""}}));
    EXPECT_EQ(o[0].note, s("Frühstück ab 6 Uhr"));
    EXPECT_EQ(o[1].name, s("François Lefèvre"));
    EXPECT_EQ(o[1].street, s("8 place de l'Église")); // the home address when business is empty
    EXPECT_EQ(o[1].town, s("Genève"));

    const auto t = readFile(fixture("thunderbird.csv"), ContactFormat::Csv, &info);
    EXPECT_EQ(info.layout, CsvLayout::Thunderbird);
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[0].name, s("Hélène Dubois"));
    EXPECT_EQ(t[0].phones, pairs({{"+33 1 23 45 67 89", "work"}, {"+33 6 12 34 56 78", "mobile"}}));
    EXPECT_EQ(t[0].emails, pairs({{"helene@example.fr", ""}, {"h.dubois@travail.example", ""}}));
    EXPECT_EQ(t[0].note, s("Première ligne") + CRLF + s("Deuxième ligne"));
    EXPECT_EQ(t[0].zip, s("75002"));
    EXPECT_TRUE(t[1].name.isEmpty()); // only an e-mail: an error on import
}

// The columns a recognised header reads for each item of the column lists.
TEST(ContactFixtures, TheFirstColumnARecognisedHeaderReadsForEachItem)
{
    auto columns = [](const char *file) {
        const CsvTable table = ParseCsvFile(ReadAll(fixture(file)));
        const CsvMapping m = table.rows.empty() ? CsvMapping{} : RecogniseCsvHeader(table.rows.front());
        std::vector<int> out;
        for (int item = IMP_NAME; item <= IMP_EMAIL; ++item)
            out.push_back(FirstColumnOfItem(m, item));
        return out;
    };
    // NAME, STREET, TOWN, ZIP, COUNTRY, NOTE, PHONE, EMAIL
    EXPECT_EQ(columns("thunderbird.csv"), (std::vector<int>{3, 13, 15, 17, 18, 37, 8, 5}));
    EXPECT_EQ(columns("outlook.csv"), (std::vector<int>{2, 9, 12, 14, 15, 31, 23, 27}));
    EXPECT_EQ(columns("google.csv"), (std::vector<int>{1, 28, 29, 32, 33, 15, 23, 19}));
    EXPECT_EQ(FirstColumnOfItem({}, IMP_NAME), 0);
}

TEST(ContactFixtures, CsvEncodingsSeparatorsWithoutHeader)
{
    ContactFile info;
    const auto cz = readFile(fixture("czech_1250.csv"), ContactFormat::Csv, &info);
    EXPECT_EQ(info.encoding, s("Windows-1250"));
    EXPECT_EQ(info.layout, CsvLayout::None);
    ASSERT_EQ(cz.size(), 2u);
    EXPECT_EQ(cz[0].name, s("Jiří Šťastný"));
    EXPECT_EQ(cz[0].note, s("Příliš žluťoučký kůň"));
    EXPECT_EQ(cz[0].phones, pairs({{"+420 777 123 456", "mobil"}}));
    EXPECT_EQ(cz[1].town, s("Brno"));
    const auto u = readFile(fixture("unicode_utf16.csv"), ContactFormat::Csv, &info);
    EXPECT_EQ(info.encoding, s("UTF-16LE"));
    EXPECT_EQ(info.layout, CsvLayout::Corvelle);
    ASSERT_EQ(u.size(), 2u);
    EXPECT_EQ(u[0].name, s("Ærøskøbing Ferry"));
    EXPECT_EQ(u[0].country, s("Danmark"));
    EXPECT_EQ(u[1].name, s("東京 太郎"));
}

TEST(CsvReader, QuotesSeparatorsAndCodePages)
{
    bool cut = false;
    const auto rows = ParseCsvText(s("a,\"b \"\"q\"\" c\",\"multi\nline\"\r\nx,,\n\n\"open"), u',', u'"', &cut);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], QStringList({s("a"), s("b \"q\" c"), s("multi\nline")}));
    EXPECT_EQ(rows[1], QStringList({s("x"), QString(), QString()}));
    EXPECT_TRUE(cut);
    EXPECT_EQ(DetectCsvSeparator(s("a;b;c\n1;2,5;3\n")), QChar(u';'));
    EXPECT_EQ(DetectCsvSeparator(s("a\tb\n1\t2\n")), QChar(u'\t'));
    EXPECT_EQ(DetectCsvSeparator(s("\"x;y\",b\n\"1;2\",c\n")), QChar(u','));
    // French in 1252 and Czech in 1250 are told apart.
    EXPECT_EQ(GuessWindowsCodePage(QByteArray("Cr\xE8me br\xFBl\xE9" "e \xE0 Gen\xE8ve")), TextEncoding::Windows1252);
    EXPECT_EQ(GuessWindowsCodePage(QByteArray("P\xF8\xEDli\x9A \x9Elu\x9Dou\xE8k\xFD k\xF9\xF2")), TextEncoding::Windows1250);
    EXPECT_FALSE(IsValidUtf8(QByteArray("\xC0\xAF"))); // overlong
    EXPECT_FALSE(IsValidUtf8(QByteArray("\xED\xA0\x80"))); // a surrogate
    EXPECT_TRUE(IsValidUtf8(QByteArray("\xF0\x9F\x98\x80")));
    // Apostrophes inside names are no quotes.
    const CsvTable t = ParseCsvFile("Name,Town\nO'Brien,Cork\nD'Angelo,Roma\n");
    EXPECT_EQ(t.quote, QChar(u'"'));
    ASSERT_EQ(t.rows.size(), 3u);
    EXPECT_EQ(t.rows[1][0], s("O'Brien"));
}

// ---- the import into a folder ----

class ContactImportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = RootFolder(t.db());
        target = AddFolder(t.db(), root, QStringLiteral("Contacts"));
        SetAddressBookChangedHandler([this] { ++reloads; return true; });
    }
    void TearDown() override { SetAddressBookChangedHandler({}); }
    QString write(const char *name, const QByteArray &data)
    {
        const QString p = QDir(t.dir()).filePath(QString::fromLatin1(name));
        WriteAll(p, data);
        return p;
    }
    ContactImportResult import(const QString &file, DuplicateAsker ask = AskDuplicateWithQuestion(),
                               const ContactObserver &o = {}, int folder = -1)
    {
        return RunContactImport(t.db(), file, *ContactFormatOfFile(file), folder < 0 ? target : folder, ask, o);
    }
    TempDatabase t;
    int root = -1, target = -1, reloads = 0;
};

TEST_F(ContactImportTest, CountsErrorsShortenedAndWritesPhonesAndMails)
{
    MessageRecorder rec;
    QByteArray text = "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Good One\r\nTEL;TYPE=cell:111\r\nEMAIL:a@b.c\r\n"
                      "ADR:;;Street 1;Town;;12345;\r\nEND:VCARD\r\n"
                      "BEGIN:VCARD\r\nVERSION:3.0\r\nTEL:222\r\nEND:VCARD\r\n"                  // no name
                      "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:" + QByteArray(256, 'L') + "\r\nEND:VCARD\r\n" // too long
                      "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Noted\r\nNOTE:" + QByteArray(400, 'n') + "\r\nEND:VCARD\r\n"
                      "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Cut off";
    const ContactImportResult r = import(write("mixed.vcf", text));
    EXPECT_EQ(r.outcome, ImportOutcome::Imported);
    EXPECT_EQ(r.accepted, 2);
    EXPECT_EQ(r.errors, 3);
    EXPECT_EQ(r.shortened, 1);
    EXPECT_TRUE(rec.Empty());
    EXPECT_EQ(reloads, 1);
    const QStringList dump = DumpFolder(t.db(), target);
    ASSERT_EQ(dump.size(), 2);
    EXPECT_TRUE(dump.join(u'|').contains(QStringLiteral("111"))) << dump.join(u'|').toStdString();
    EXPECT_TRUE(dump.join(u'|').contains(QStringLiteral("cell")));
    EXPECT_TRUE(dump.join(u'|').contains(QStringLiteral("a@b.c")));
    ShowContactImportSummary(r);
    ASSERT_EQ(rec.OnlyId(), 59446);
    EXPECT_TRUE(rec.Records()[0].text.contains(QStringLiteral("Shortened notes: 1")));
}

TEST_F(ContactImportTest, ApostrophesFollowTheDisallowedCharacters)
{
    MessageRecorder rec;
    const ContactImportResult r = import(fixture("vobject_30.vcf"));
    ASSERT_EQ(r.outcome, ImportOutcome::Imported);
    // O'Brien is stored exactly once the program allows apostrophes; until
    // then the card is refused like the spreadsheet import's rows.
    if (HasDisallowedCharacter(QStringLiteral("'"))) {
        EXPECT_EQ(r.accepted, 3);
        EXPECT_EQ(r.errors, 1);
    } else {
        EXPECT_EQ(r.accepted, 4);
        EXPECT_EQ(r.errors, 0);
        EXPECT_TRUE(DumpFolder(t.db(), target).join(u'|').contains(s("Seán O'Brien")));
    }
}

TEST_F(ContactImportTest, DuplicatesAskTheSpreadsheetQuestion)
{
    MessageRecorder rec;
    ASSERT_EQ(import(fixture("android_21.vcf")).accepted, 2);
    rec.Clear();
    // Second run: Yes for the first, No to all for the rest.
    rec.Queue(TVB_YES);
    rec.Queue(TVB_NOTOALL);
    const ContactImportResult r = import(fixture("android_21.vcf"));
    EXPECT_EQ(rec.Ids(), std::vector<int>({59437, 59437}));
    EXPECT_TRUE(rec.Records()[0].text.contains(s("Jiří Šťastný")));
    EXPECT_EQ(r.accepted, 1);
    EXPECT_EQ(r.skipped, 1);
    EXPECT_EQ(r.errors, 1);
    EXPECT_EQ(CountAddresses(t.db(), target), 3);
}

TEST_F(ContactImportTest, CancelAndFailureLeaveTheDatabaseAsItWas)
{
    DataGenOptions o;
    o.addresses = 300;
    GenerateAddressBook(t.path(), o);
    const QString file = QDir(t.dir()).filePath(QStringLiteral("all.vcf"));
    MessageRecorder rec;
    ASSERT_EQ(ExportContacts(t.db(), root, true, file, ContactFormat::VCard, VCardVersion::V4),
              ContactExportOutcome::Exported);
    const QStringList before = DumpAll(t.db());
    // Cancel while writing (progress past one half).
    ContactObserver cancelLate;
    bool pressed = false;
    cancelLate.progress = [&](int p) { pressed = pressed || p > 60; };
    cancelLate.cancelled = [&] { return pressed; };
    ContactImportResult r = import(file, AskDuplicateWithQuestion(), cancelLate);
    EXPECT_TRUE(r.cancelled);
    EXPECT_EQ(rec.OnlyId(), 59450);
    EXPECT_EQ(DumpAll(t.db()), before);
    EXPECT_EQ(reloads, 0);
    // A write that fails half way: message 8, nothing kept.
    rec.Clear();
    if (TempDatabase::OnServer())
        t.db().ExecuteRaw(QStringLiteral("CREATE FUNCTION fail_late() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN "
                                         "RAISE EXCEPTION 'injected'; END $$;"
                                         "CREATE TRIGGER fail_late BEFORE INSERT ON tel FOR EACH ROW "
                                         "WHEN (NEW.phone COLLATE \"C\" LIKE '%9') EXECUTE FUNCTION fail_late()"));
    else
        t.db().ExecuteRaw(QStringLiteral("CREATE TRIGGER fail_late BEFORE INSERT ON TEL WHEN NEW.PHONE LIKE '%9' "
                                         "BEGIN SELECT RAISE(ABORT, 'injected'); END"));
    r = import(file);
    EXPECT_EQ(r.outcome, ImportOutcome::Cancelled);
    EXPECT_EQ(rec.OnlyId(), 8);
    EXPECT_EQ(DumpAll(t.db()), before);
}

// ---- round trips ----

class ContactRoundTrip : public ContactImportTest, public ::testing::WithParamInterface<int> {};

TEST_P(ContactRoundTrip, TwoThousandAddressesComeBackIdentical)
{
    DataGenOptions o;
    o.addresses = 2000;
    GenerateAddressBook(t.path(), o);
    const int copy = AddFolder(t.db(), root, QStringLiteral("Copy"));
    const QStringList original = DumpAll(t.db());
    const ContactFormat format = GetParam() == 0 ? ContactFormat::Csv : ContactFormat::VCard;
    const VCardVersion version = GetParam() == 3 ? VCardVersion::V3 : VCardVersion::V4;
    const QString first = QDir(t.dir()).filePath(format == ContactFormat::Csv ? QStringLiteral("a.csv")
                                                                               : QStringLiteral("a.vcf"));
    const QString second = QDir(t.dir()).filePath(format == ContactFormat::Csv ? QStringLiteral("b.csv")
                                                                                : QStringLiteral("b.vcf"));
    MessageRecorder rec;
    int exported = 0;
    ASSERT_EQ(ExportContacts(t.db(), root, true, first, format, version, &exported), ContactExportOutcome::Exported);
    EXPECT_EQ(exported, 2000);
    const ContactImportResult r = import(first, AskDuplicateWithQuestion(), {}, copy);
    EXPECT_EQ(r.accepted, 2000);
    EXPECT_EQ(r.errors, 0);
    EXPECT_EQ(r.shortened, 0);
    EXPECT_TRUE(rec.Empty());
    // The same texts, phones, e-mails and notes, and the same order.
    EXPECT_EQ(DumpFolder(t.db(), copy), original);
    ASSERT_EQ(ExportContacts(t.db(), copy, false, second, format, version), ContactExportOutcome::Exported);
    EXPECT_EQ(ReadAll(first), ReadAll(second));
}

INSTANTIATE_TEST_SUITE_P(Formats, ContactRoundTrip, ::testing::Values(0, 3, 4),
                         [](const auto &info) { return info.param == 0 ? std::string("Csv")
                                                                       : "VCard" + std::to_string(info.param); });

TEST_F(ContactImportTest, VCardOfTheExportIsWhatOthersRead)
{
    TestAddress a;
    a.name = s("Jan Novák\r\nNovák & syn, s.r.o.");
    a.street = s("Dlouhá 1\r\nDvůr; vchod B");
    a.town = s("Praha");
    a.zip = s("110 00");
    a.note = s("Pozor: pes\\kočka, 3. patro");
    a.phones = pairs({{"+420 111", "work"}, {"+420 222", "mobil tatínka"}});
    a.emails = pairs({{"jan@example.cz", ""}});
    AddAddress(t.db(), target, a);
    const QString file = QDir(t.dir()).filePath(QStringLiteral("one.vcf"));
    MessageRecorder rec;
    ASSERT_EQ(ExportContacts(t.db(), target, false, file, ContactFormat::VCard, VCardVersion::V3),
              ContactExportOutcome::Exported);
    const QByteArray text = ReadAll(file);
    EXPECT_TRUE(text.contains("FN:Jan Nov\xC3\xA1k\r\n"));
    EXPECT_TRUE(text.contains("TEL;TYPE=work:+420 111\r\n"));
    EXPECT_TRUE(text.contains("item1.X-ABLabel:mobil tat"));
    for (const QByteArray &line : text.split('\n'))
        EXPECT_LE(line.size(), 76); // folded at 75 octets plus CR
    if (QProcess::execute(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), QStringLiteral("import vobject")}) != 0)
        GTEST_SKIP() << "python3-vobject is not installed";
    // An independent reader sees the same name, organisation, street and phones.
    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"),
            {QStringLiteral("-c"),
             QStringLiteral("import sys,vobject\nc=vobject.readOne(open(sys.argv[1],encoding='utf-8').read())\n"
                            "print(c.fn.value);print(c.org.value[0]);print(c.adr.value.street.replace('\\n','|'))\n"
                            "print(c.note.value)\nfor t in c.contents['tel']: print(t.value)\n"),
             file});
    ASSERT_TRUE(p.waitForFinished(30000));
    const QStringList lines = QString::fromUtf8(p.readAllStandardOutput()).split(u'\n');
    ASSERT_GE(lines.size(), 6) << p.readAllStandardError().toStdString();
    EXPECT_EQ(lines[0], s("Jan Novák"));
    EXPECT_EQ(lines[1], s("Novák & syn, s.r.o."));
    EXPECT_EQ(lines[2], s("Dlouhá 1|Dvůr; vchod B"));
    EXPECT_EQ(lines[3], s("Pozor: pes\\kočka, 3. patro"));
    EXPECT_EQ(lines[4], s("+420 111"));
    EXPECT_EQ(lines[5], s("+420 222"));
}

// ---- hostile files ----

TEST_F(ContactImportTest, HostileFilesGiveMessagesOrCountedErrors)
{
    MessageRecorder rec;
    const QStringList before = DumpAll(t.db());
    // Binary bytes as .vcf: no card.
    QByteArray junk(100000, '\0');
    QRandomGenerator gen(7);
    for (char &c : junk)
        c = char(gen.bounded(256));
    EXPECT_EQ(import(write("junk.vcf", junk)).outcome, ImportOutcome::Cancelled);
    EXPECT_EQ(rec.OnlyId(), 59448);
    // The same bytes as CSV: not a text file.
    rec.Clear();
    EXPECT_EQ(import(write("junk.csv", junk)).outcome, ImportOutcome::Cancelled);
    EXPECT_EQ(rec.OnlyId(), 59458);
    // An empty file, a missing file and a folder.
    rec.Clear();
    EXPECT_EQ(import(write("empty.csv", QByteArray())).outcome, ImportOutcome::Cancelled);
    EXPECT_EQ(rec.OnlyId(), 59449);
    rec.Clear();
    EXPECT_EQ(import(QDir(t.dir()).filePath(QStringLiteral("missing.vcf"))).outcome, ImportOutcome::Cancelled);
    EXPECT_EQ(rec.OnlyId(), 59447);
    // Larger than the limit: refused before it is read (a sparse file).
    rec.Clear();
    const QString huge = write("huge.vcf", QByteArray());
    {
        QFile f(huge);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.resize(kContactFileLimit + 1));
    }
    EXPECT_EQ(import(huge).outcome, ImportOutcome::Cancelled);
    EXPECT_EQ(rec.OnlyId(), 59451);
    QFile::remove(huge);
    // Every cut of a real file: cards counted, never a crash.
    const QByteArray android = ReadAll(fixture("android_21.vcf"));
    for (qsizetype cut = 0; cut < android.size(); cut += 7) {
        const VCardFile f = ParseVCardFile(android.left(cut));
        for (const VCard &c : f.cards)
            (void)VCardToAddress(c);
    }
    const QByteArray google = ReadAll(fixture("google.csv"));
    for (qsizetype cut = 0; cut < google.size(); cut += 5) {
        const CsvTable table = ParseCsvFile(google.left(cut));
        const CsvMapping m = table.rows.empty() ? CsvMapping{} : RecogniseCsvHeader(table.rows.front());
        for (const QStringList &row : table.rows)
            (void)CsvRecordToAddress(row, m);
    }
    // Mutated bytes of every fixture.
    for (const char *name : {"apple.vcf", "thunderbird.vcf", "outlook.csv", "unicode_utf16.csv"}) {
        const QByteArray base = ReadAll(fixture(name));
        for (int round = 0; round < 200; ++round) {
            QByteArray m = base;
            for (int k = 0; k < 8; ++k)
                m[gen.bounded(int(m.size()))] = char(gen.bounded(256));
            for (const VCard &c : ParseVCardFile(m).cards)
                (void)VCardToAddress(c);
            const CsvTable table = ParseCsvFile(m);
            if (!table.rows.empty()) {
                const CsvMapping cm = RecogniseCsvHeader(table.rows.front());
                for (const QStringList &row : table.rows)
                    (void)CsvRecordToAddress(row, cm);
            }
        }
    }
    EXPECT_EQ(DumpAll(t.db()), before);
    // A text in a code page it does not name: read, never a crash.
    rec.Clear();
    EXPECT_EQ(import(write("latin.vcf", "BEGIN:VCARD\r\nVERSION:3.0\r\nFN;CHARSET=UTF-8:Andr\xE9\r\nEND:VCARD\r\n"))
                  .accepted, 1);
}

TEST_F(ContactImportTest, HundredThousandCards)
{
    QByteArray text;
    text.reserve(100000 * 80);
    for (int i = 0; i < 100000; ++i)
        text += "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Person " + QByteArray::number(i) + "\r\nTEL:+1 555 " +
                QByteArray::number(i) + "\r\nEND:VCARD\r\n";
    MessageRecorder rec;
    const ContactImportResult r = import(write("many.vcf", text));
    EXPECT_EQ(r.accepted, 100000);
    EXPECT_EQ(CountAddresses(t.db(), target), 100000);
}

// ---- command line ----

TEST_F(ContactImportTest, CommandLineExportAndImport)
{
    TestAddress a;
    a.name = s("Zoë Dvořák");
    a.town = s("Plzeň");
    a.zip = s("301 00");
    a.phones = pairs({{"+420 377 000 000", "home"}});
    AddAddress(t.db(), target, a);
    AddFolder(t.db(), root, QStringLiteral("In"));
    auto run = [&](const QStringList &args) {
        QProcess p;
        p.setWorkingDirectory(t.dir());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.remove(QStringLiteral("TESMAR_AUTOANSWER"));
        p.setProcessEnvironment(env);
        p.start(BuiltProgram(QStringLiteral("tesmar")), args);
        EXPECT_TRUE(p.waitForFinished(120000));
        return std::make_pair(p.exitCode(), QString::fromUtf8(p.readAllStandardError()));
    };
    auto r = run({"--export", "out.vcf", "--folder", "/Contacts", "--vcard-version", "3"});
    ASSERT_EQ(r.first, 0) << r.second.toStdString();
    EXPECT_TRUE(r.second.contains(QStringLiteral("information 59453")));
    EXPECT_TRUE(ReadAll(QDir(t.dir()).filePath(QStringLiteral("out.vcf"))).contains("VERSION:3.0"));
    r = run({"--export", "out.csv", "--folder", "/Contacts", "--vcard-version", "3"});
    EXPECT_EQ(r.first, 2);
    r = run({"--import", "out.vcf", "--folder", "/In", "--duplicates", "skip"});
    ASSERT_EQ(r.first, 0) << r.second.toStdString();
    EXPECT_TRUE(r.second.contains(QStringLiteral("Imported addresses: 1")));
    const int in = *FindFolderByPath(t.db(), QStringLiteral("/In"));
    EXPECT_EQ(DumpFolder(t.db(), in), DumpFolder(t.db(), target));
    r = run({"--import", "out.vcf", "--folder", "/In", "--duplicates", "skip"});
    EXPECT_EQ(r.first, 0);
    EXPECT_TRUE(r.second.contains(QStringLiteral("Skipped addresses: 1")));
    r = run({"--import", "nothing.txt", "--folder", "/In"});
    EXPECT_NE(r.first, 0);
}
