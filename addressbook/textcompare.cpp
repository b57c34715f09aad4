#include "textcompare.h"

#include <QCollator>
#include <QLocale>

namespace {

const QCollator &collator()
{
    // The collation of the common alphabetic order (the English tailoring
    // is the root order), at the strength that ignores letter case only.
    static const QCollator c = [] {
        QCollator collator(QLocale(QLocale::English, QLocale::UnitedStates));
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        collator.setNumericMode(false);
        collator.setIgnorePunctuation(false);
        return collator;
    }();
    return c;
}

// Letters, digits and blanks of ASCII: for such texts the order above is
// the byte order of their lower-case forms (blank < digits < letters).
bool plain(const char *s, int n)
{
    for (int i = 0; i < n; ++i) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' '))
            return false;
    }
    return true;
}

inline unsigned char lower(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c;
}

int sign(int v)
{
    return v < 0 ? -1 : (v > 0 ? 1 : 0);
}

} // namespace

int CompareTexts(const QString &a, const QString &b)
{
    return sign(collator().compare(a, b));
}

int CompareTextsUtf8(const char *a, int an, const char *b, int bn)
{
    if (plain(a, an) && plain(b, bn)) {
        const int n = an < bn ? an : bn;
        for (int i = 0; i < n; ++i) {
            const unsigned char x = lower(static_cast<unsigned char>(a[i]));
            const unsigned char y = lower(static_cast<unsigned char>(b[i]));
            if (x != y)
                return x < y ? -1 : 1;
        }
        return an == bn ? 0 : (an < bn ? -1 : 1);
    }
    return CompareTexts(QString::fromUtf8(a, an), QString::fromUtf8(b, bn));
}

QCollatorSortKey TextSortKey(const QString &text)
{
    return collator().sortKey(text);
}
