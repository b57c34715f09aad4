#include "multilinefield.h"

#include <QPlainTextEdit>

QPlainTextEdit *NewMultiLineField(QWidget *parent, const char *objectName)
{
    auto *e = new QPlainTextEdit(parent);
    e->setObjectName(QString::fromLatin1(objectName));
    e->setTabChangesFocus(true);
    e->setLineWrapMode(QPlainTextEdit::NoWrap);
    e->setFixedHeight(e->fontMetrics().lineSpacing() * 2 + 12);
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
