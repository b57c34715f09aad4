#pragma once
// The library's own TGA reader. Qt's TGA plugin reads only uncompressed
// true-colour files that carry the TGA 2.0 footer; most TGA files in use are
// run-length encoded or older, so CTVImage reads TGA itself.
#include <QByteArray>
#include <QImage>

// Decodes a whole TGA file: colour-mapped, true-colour and grey images, plain
// or run-length encoded (types 1, 2, 3, 9, 10, 11), 8/15/16/24/32 bits per
// pixel, any origin corner. A null image for anything else or damaged data.
QImage TVDecodeTga(const QByteArray &bytes);
