#pragma once
// The one order of address texts, used by the database (equality and ORDER
// BY) and by every list the program sorts itself: letters in the order of
// the alphabet with their accented forms beside them (Č after C, ä beside
// a), without regard to letter case; accents still tell texts apart
// (Stastny is not Šťastný). The order does not depend on the user's locale,
// so the indexes of a database stay valid wherever it is opened.
#include <QCollatorSortKey>
#include <QString>

// Negative, zero or positive, as `a` sorts before, with or after `b`.
int CompareTexts(const QString &a, const QString &b);
// The same on UTF-8 bytes, with a fast path for plain letters, digits and
// blanks (the most common texts).
int CompareTextsUtf8(const char *a, int aLength, const char *b, int bLength);

// Sorting many texts: a key per text; keys compare (QCollatorSortKey::compare)
// in the order above, much faster than comparing the texts again and again.
QCollatorSortKey TextSortKey(const QString &text);
