#pragma once
// vCard files (.vcf) of versions 2.1, 3.0 and 4.0: reading the cards with
// their folded lines, quoted-printable values, CHARSET, escapes, groups
// (item1.TEL) and a byte-order mark; turning a card into an address; writing
// addresses as vCard 4.0 or 3.0. No widgets.
#include "excelimport.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <utility>
#include <vector>

struct VCardProperty {
    QByteArray group; // "item1" of "item1.TEL", upper-cased; empty without a group
    QByteArray name;  // upper-cased: "TEL"
    // Parameters in their order, names upper-cased ("TYPE"), values decoded;
    // a 2.1 parameter without a name ("HOME") has the name "TYPE".
    std::vector<std::pair<QByteArray, QString>> params;
    QString value; // decoded characters, escapes still in place
};

struct VCard {
    QString version; // "2.1", "3.0", "4.0" or what the card says
    std::vector<VCardProperty> properties;
    int firstLine = 0; // line of its BEGIN:VCARD, from 1
};

struct VCardFile {
    std::vector<VCard> cards;
    int damaged = 0;       // cards without END:VCARD (a cut file)
    bool foundCard = false; // at least one BEGIN:VCARD
    QString encoding;      // what the file was read as ("UTF-8", ...)
};

// Reads every card of a file's bytes. `progress` gets 0..100 while the
// lines are read and returns false to stop (the result is then empty).
VCardFile ParseVCardFile(const QByteArray &bytes, const std::function<bool(int)> &progress = {});

// A value's escapes resolved: \n and \N a line feed, \, \; \\ and \: the
// character itself; any other backslash stays.
QString UnescapeVCardText(const QString &value);
// A structured value (N, ADR, ORG) cut at the semicolons that are not escaped.
QStringList SplitVCardComponents(const QString &value);

// What became of one card.
struct VCardAddress {
    ImportEntry entry;
    bool noteShortened = false; // NOTE cut at 255 characters
};

// The address of a card: NAME from FN or N, with ORG on a second line (or
// ORG alone for a company card); STREET, TOWN, ZIP and COUNTRY from the
// preferred ADR (LABEL as the fall-back); every TEL and EMAIL with its TYPE
// words (or its itemN.X-ABLabel) as the note; NOTE cut at 255 characters.
// Texts are stored texts (lines joined with CR LF); no check of the limits.
VCardAddress VCardToAddress(const VCard &card);

enum class VCardVersion { V3 = 3, V4 = 4 };

// One card of an address: FN with the first line of NAME, ORG with the
// others, N, ADR, TEL and EMAIL (a note made of type words as TYPE=,
// any other note as an itemN.X-ABLabel), NOTE. Lines end with CR LF and are
// folded at 75 octets.
QByteArray AddressToVCard(const ImportEntry &address, VCardVersion version);
