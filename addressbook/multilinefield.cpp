#include "multilinefield.h"

#include "addressentry.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>

QPlainTextEdit *NewMultiLineField(QWidget *parent, const char *objectName)
{
    auto *e = new QPlainTextEdit(parent);
    e->setObjectName(QString::fromLatin1(objectName));
    e->setTabChangesFocus(true);
    e->setLineWrapMode(QPlainTextEdit::NoWrap);
    e->setFixedHeight(e->fontMetrics().lineSpacing() * 2 + 12);
    LimitCharacters(e, kMaxTextCharacters);
    return e;
}

QString StoredText(const QPlainTextEdit *field)
{
    QString t = field->toPlainText();
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(u'\n', QLatin1String("\r\n"));
    return t;
}

void ShowStoredText(QPlainTextEdit *field, const QString &text)
{
    QString value = text;
    value.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    if (field->toPlainText() != value)
        field->setPlainText(value);
}

void LimitCharacters(QLineEdit *field, int count)
{
    // Qt's own limit counts UTF-16 units; it stays as a bound for pastes.
    field->setMaxLength(count * 2);
    QObject::connect(field, &QLineEdit::textChanged, field, [field, count](const QString &text) {
        if (CharacterCount(text) <= count)
            return;
        const int cursor = field->cursorPosition();
        const QString cut = LeftCharacters(text, count);
        field->setText(cut);
        field->setCursorPosition(std::min<int>(cursor, int(cut.size())));
    });
}

void LimitCharacters(QPlainTextEdit *field, int count)
{
    QObject::connect(field, &QPlainTextEdit::textChanged, field, [field, count] {
        const QString text = field->toPlainText();
        // Each line break is stored as CR LF: it counts twice.
        if (CharacterCount(text) + text.count(u'\n') <= count)
            return;
        qsizetype i = 0, used = 0;
        while (i < text.size()) {
            const qsizetype width = (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ? 2 : 1;
            const int cost = text[i] == u'\n' ? 2 : 1;
            if (used + cost > count)
                break;
            used += cost;
            i += width;
        }
        QTextCursor cursor = field->textCursor();
        const int position = cursor.position();
        field->setPlainText(text.left(i));
        cursor = field->textCursor();
        cursor.setPosition(std::min<int>(position, int(i)));
        field->setTextCursor(cursor);
    });
}
