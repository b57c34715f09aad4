#pragma once
// The multi-line text fields of address texts (name, street, town, other,
// notes): the widget as every dialog shows it, and the conversion between
// its lines and the stored text, which holds CR LF between lines.
#include <QString>

class QLineEdit;
class QPlainTextEdit;
class QWidget;

// A two-line-high field that moves the focus on Tab and does not wrap.
QPlainTextEdit *NewMultiLineField(QWidget *parent, const char *objectName);
// The field's text with CR LF between its lines.
QString StoredText(const QPlainTextEdit *field);
// Shows a stored text (CR LF between lines) in the field; a text that is
// already shown is left alone, so the cursor does not move.
void ShowStoredText(QPlainTextEdit *field, const QString &text);

// Keeps the field at most `count` characters (code points, as the database
// counts them) long: typed or pasted text beyond it is cut off at a whole
// character. A multi-line field counts its stored text (CR LF is two).
void LimitCharacters(QLineEdit *field, int count);
void LimitCharacters(QPlainTextEdit *field, int count);
