#pragma once
// Envelope styles: one ENVSTYLE row in memory, reading, checking, saving and
// deleting it, the logo as a complete 24-bit JPEG file in LOGO, and the
// ENVPAIR row that remembers the last size and style printed. No windows
// here; the functions that report show their message boxes through the
// message hook.
#include "addresslayout.h"
#include "fontspec.h"
#include "tvimage.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

class CDatabase;
class CSetEnvstyle;

enum EnvelopeReturnMode { RETURN_LOGO = 0, RETURN_ADDRESS = 1, RETURN_NOTHING = 2 };

struct EnvelopeStyle {
    std::int32_t id = 0;
    QString name;
    std::uint8_t horizontal = HORZ_LEFT;
    std::uint8_t vertical = VERT_TOP;
    std::uint8_t returnMode = RETURN_NOTHING;
    bool printFrame = false;
    bool joinZip = false;
    QString returnText; // lines separated by CR LF
    double offset = 0;  // mm, when printFrame
    bool frameReturn = false;
    double offsetReturn = 0; // mm, when frameReturn
    // NAME, STREET, TOWN, ZIP, COUNTRY, RETURN; heights in tenths of a point.
    std::array<FontSpec, 6> fonts;
    // The decoded logo (empty when there is none or it was not loaded).
    CTVImage logo;

    // A new style: Left, Top, nothing in the return area, no frames, every
    // font "Times New Roman" 12 pt, weight 0, character set 1, black.
    static EnvelopeStyle Defaults();
    // Every column but LOGO.
    static EnvelopeStyle FromRecord(const CSetEnvstyle &set);
    // Every column but the identifier and LOGO.
    void ToRecord(CSetEnvstyle &set) const;

    AddressFonts AddressLineFonts() const;
    bool HasLogo() const { return logo.IsValid(); }
};

// Rows of one of the program's SQL texts, without their logos. Throws
// DbException.
std::vector<EnvelopeStyle> ReadEnvelopeStyles(CDatabase &db, const QString &sql);

// The style with its logo decoded when its return mode is 0. Returns 0 or
// the message that stops: 8 when the row is missing (or on a database
// error), 7 when memory for the logo runs out, 9 when the logo cannot be
// decoded. Shows nothing.
int LoadEnvelopeStyle(CDatabase &db, std::int32_t id, EnvelopeStyle &style);
// Only the logo of a style (whatever its return mode): 0, 7, 8 or 9 as above.
int LoadEnvelopeLogo(CDatabase &db, std::int32_t id, CTVImage &logo);

// The logo as it is stored: converted to 24 bits per pixel, JPEG quality 150
// (the encoder's best), a complete JPEG file. False when it cannot be
// encoded.
bool EncodeLogo(const CTVImage &logo, QByteArray &jpeg);

// True when another style has this name. A database error shows message 8
// (memory: 9) and counts as no duplicate.
bool EnvelopeStyleNameExists(CDatabase &db, const QString &name);

// The return mode made consistent: a logo style without a picture and an
// address style without text (after trimming) fall back to nothing; each
// mode keeps only its own data (logo or text).
void MakeReturnModeConsistent(EnvelopeStyle &style);

// Saves a new style (identifier from ID_ENVSTYLE_FF, stored into style.id)
// or changes an existing one, with its logo, in one transaction. A database
// error rolls back and shows message 8; a logo that cannot be encoded rolls
// back and shows message 9. False in both cases.
bool SaveEnvelopeStyle(CDatabase &db, EnvelopeStyle &style, bool isNew);

// Deletes a style in one transaction (an ENVPAIR row naming it stays). A
// database error rolls back and shows message 8; false then.
bool DeleteEnvelopeStyle(CDatabase &db, std::int32_t id);

// The ENVPAIR row: -1, -1 when the table is empty; a database error shows
// message 8 (memory: 9) and gives -1, -1.
struct EnvelopePair {
    std::int32_t size = -1;
    std::int32_t style = -1;
};
EnvelopePair ReadEnvelopePair(CDatabase &db);
// Adds the row when the table is empty, otherwise changes its first row, in
// one transaction; a database error rolls back and shows message 8 (9).
bool WriteEnvelopePair(CDatabase &db, std::int32_t size, std::int32_t style);
