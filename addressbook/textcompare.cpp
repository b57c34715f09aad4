#include "textcompare.h"

#include <QCollator>
#include <QLocale>

#include "unocase.h"

namespace {

const QCollator &collator()
{
    // Sort keys for lists the program sorts itself: Qt's collator over the
    // same ICU root order at the same strength as the database's rule (the
    // English tailoring is the root order; case-insensitive is secondary
    // strength), so keys order texts as CompareTexts does.
    static const QCollator c = [] {
        QCollator collator(QLocale(QLocale::English, QLocale::UnitedStates));
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        collator.setNumericMode(false);
        collator.setIgnorePunctuation(false);
        return collator;
    }();
    return c;
}

int sign(int v)
{
    return v < 0 ? -1 : (v > 0 ? 1 : 0);
}

} // namespace

int CompareTexts(const QString &a, const QString &b)
{
    return sign(unocase::Compare16(reinterpret_cast<const char16_t *>(a.utf16()), int(a.size()),
                                   reinterpret_cast<const char16_t *>(b.utf16()), int(b.size())));
}

int CompareTextsUtf8(const char *a, int an, const char *b, int bn)
{
    return sign(unocase::Compare(a, an, b, bn));
}

QCollatorSortKey TextSortKey(const QString &text)
{
    return collator().sortKey(text);
}
