#pragma once
// Text files written by other programs: the byte-order marks of UTF-8 and
// UTF-16, UTF-16 without a mark, UTF-8, and the Windows code pages 1250
// (Central European) and 1252 (Western) that older mail programs write when
// the text is not UTF-8. Also the character sets a vCard 2.1 names with
// CHARSET=. No widgets.
#include <QByteArray>
#include <QString>

enum class TextEncoding { Utf8, Utf8Bom, Utf16LE, Utf16BE, Windows1250, Windows1252, Latin1, Latin2 };

// The name shown to the user ("UTF-8", "UTF-16LE", "Windows-1250", ...).
QString EncodingName(TextEncoding encoding);

// True when the bytes are well-formed UTF-8 (no overlong forms, no
// surrogates, nothing above U+10FFFF).
bool IsValidUtf8(const QByteArray &bytes);

// Which of the two Windows code pages the bytes most likely are: 1250 when
// they hold letters that only Central European texts use often (ě ř ů ň ť ď
// and their capitals, ą ł ś ź ż ń) or a byte that 1252 leaves undefined;
// otherwise 1252.
TextEncoding GuessWindowsCodePage(const QByteArray &bytes);

// How a whole file is encoded: a byte-order mark first, then UTF-16 without
// one (zero bytes in every other place), then UTF-8, then the guess above.
TextEncoding DetectFileEncoding(const QByteArray &bytes);

// The bytes decoded as that encoding; a mark at the start is dropped, bytes
// that cannot be decoded become U+FFFD.
QString DecodeText(const QByteArray &bytes, TextEncoding encoding);

// The encoding of a CHARSET= name (UTF-8, US-ASCII, ISO-8859-1, ISO-8859-2,
// Windows-1250, Windows-1252 and their usual spellings); false when unknown.
bool EncodingFromCharsetName(const QByteArray &name, TextEncoding &encoding);

