#include "envelopestyle.h"

#include "dberror.h"
#include "ids.h"
#include "recordsets.h"
#include "sqlformat.h"
#include "tvmessage.h"

#include <new>

EnvelopeStyle EnvelopeStyle::Defaults()
{
    EnvelopeStyle style;
    for (FontSpec &f : style.fonts) {
        f = FontSpec();
        f.lfFaceName = QStringLiteral("Times New Roman");
        f.lfHeight = 120;
        f.lfWeight = 0;
        f.lfCharSet = 1;
        f.color = 0;
    }
    return style;
}

EnvelopeStyle EnvelopeStyle::FromRecord(const CSetEnvstyle &set)
{
    EnvelopeStyle style;
    style.id = set.m_ID_ENVSTYLE_ENVSTYLE;
    style.name = set.m_ENVSTYLE_NAME;
    style.horizontal = set.m_HORIZONTAL;
    style.vertical = set.m_VERTICAL;
    style.returnMode = set.m_RETURN;
    style.printFrame = set.m_PRINT_FRAME;
    style.joinZip = set.m_JOIN_ZIP;
    style.returnText = set.m_RETURN_ADDRESS;
    style.offset = set.m_OFFSET;
    style.frameReturn = set.m_FRAME_RETURN;
    style.offsetReturn = set.m_OFFSET_RETURN;
    style.fonts = set.m_fonts;
    return style;
}

void EnvelopeStyle::ToRecord(CSetEnvstyle &set) const
{
    set.m_ENVSTYLE_NAME = name;
    set.m_HORIZONTAL = horizontal;
    set.m_VERTICAL = vertical;
    set.m_RETURN = returnMode;
    set.m_PRINT_FRAME = printFrame;
    set.m_JOIN_ZIP = joinZip;
    set.m_RETURN_ADDRESS = returnText;
    set.m_OFFSET = offset;
    set.m_FRAME_RETURN = frameReturn;
    set.m_OFFSET_RETURN = offsetReturn;
    set.m_fonts = fonts;
    for (FontSpec &f : set.m_fonts)
        f.lfFaceName = f.lfFaceName.left(31);
}

AddressFonts EnvelopeStyle::AddressLineFonts() const
{
    return {fonts[LINE_NAME], fonts[LINE_STREET], fonts[LINE_TOWN], fonts[LINE_ZIP], fonts[LINE_COUNTRY]};
}

std::vector<EnvelopeStyle> ReadEnvelopeStyles(CDatabase &db, const QString &sql)
{
    std::vector<EnvelopeStyle> rows;
    CSetEnvstyle set(&db);
    set.Open(sql);
    for (; !set.IsEOF(); set.MoveNext())
        rows.push_back(EnvelopeStyle::FromRecord(set));
    return rows;
}

namespace {

// Reads the row; 0, or 8 when it is missing or the database fails, 7 when
// memory runs out.
int readRow(CDatabase &db, std::int32_t id, EnvelopeStyle &style, QByteArray &logo)
{
    try {
        CSetEnvstyle set(&db);
        set.Open(SqlFormat(QStringLiteral("SELECT * FROM ENVSTYLE WHERE ID_ENVSTYLE_ENVSTYLE = %d"), id));
        if (set.IsEOF())
            return MSG_DATABASE_ERROR;
        style = EnvelopeStyle::FromRecord(set);
        logo = set.m_LOGO;
        return 0;
    } catch (const DbException &) {
        return MSG_DATABASE_ERROR;
    } catch (const std::bad_alloc &) {
        return 7;
    }
}

int decodeLogo(const QByteArray &bytes, CTVImage &logo)
{
    logo.Destroy();
    try {
        if (!logo.Decode(bytes, TVImageFormat::Jpeg) || !logo.IsValid()) {
            logo.Destroy();
            return MSG_MEMORY_ERROR; // 9: the picture cannot be decoded
        }
    } catch (const std::bad_alloc &) {
        logo.Destroy();
        return 7;
    }
    return 0;
}

} // namespace

int LoadEnvelopeStyle(CDatabase &db, std::int32_t id, EnvelopeStyle &style)
{
    QByteArray bytes;
    EnvelopeStyle row;
    if (const int failure = readRow(db, id, row, bytes))
        return failure;
    if (row.returnMode == RETURN_LOGO)
        if (const int failure = decodeLogo(bytes, row.logo))
            return failure;
    style = std::move(row);
    return 0;
}

int LoadEnvelopeLogo(CDatabase &db, std::int32_t id, CTVImage &logo)
{
    QByteArray bytes;
    EnvelopeStyle row;
    if (const int failure = readRow(db, id, row, bytes))
        return failure;
    return decodeLogo(bytes, logo);
}

bool EncodeLogo(const CTVImage &logo, QByteArray &jpeg)
{
    jpeg.clear();
    if (!logo.IsValid())
        return false;
    CTVImage copy;
    if (!copy.Copy(logo) || !copy.IncreaseBpp(24))
        return false;
    copy.SetJpegQuality(150);
    return copy.Encode(jpeg, TVImageFormat::Jpeg) && CTVImage::IsCompleteJpeg(jpeg);
}

bool EnvelopeStyleNameExists(CDatabase &db, const QString &name)
{
    bool exists = false;
    DbOperation(db, [&] {
        CSetEnvstyle set(&db);
        set.Open(SqlFormat(QStringLiteral("SELECT * FROM ENVSTYLE WHERE ENVSTYLE_NAME = '%s'"), name));
        exists = !set.IsEOF();
    });
    return exists;
}

void MakeReturnModeConsistent(EnvelopeStyle &style)
{
    switch (style.returnMode) {
    case RETURN_LOGO:
        style.returnText.clear();
        if (!style.logo.IsValid()) {
            style.logo.Destroy();
            style.returnMode = RETURN_NOTHING;
        }
        break;
    case RETURN_ADDRESS:
        style.logo.Destroy();
        style.returnText = style.returnText.trimmed();
        if (style.returnText.isEmpty())
            style.returnMode = RETURN_NOTHING;
        break;
    default:
        style.returnMode = RETURN_NOTHING;
        style.logo.Destroy();
        style.returnText.clear();
        break;
    }
}

bool SaveEnvelopeStyle(CDatabase &db, EnvelopeStyle &style, bool isNew)
{
    QByteArray jpeg;
    if (style.logo.IsValid() && !EncodeLogo(style.logo, jpeg)) {
        CTVError::Show(MSG_MEMORY_ERROR, TVB_OK);
        return false;
    }
    std::int32_t id = style.id;
    const bool saved = DbTransaction(db, [&] {
        CSetEnvstyle set(&db);
        if (isNew) {
            IdAllocator ids(db);
            set.Open(QStringLiteral("SELECT * FROM ENVSTYLE WHERE 0"));
            set.AddNew();
            id = ids.Next(IdCounter::Envstyle);
            set.m_ID_ENVSTYLE_ENVSTYLE = id;
            style.ToRecord(set);
            set.m_LOGO = jpeg;
            set.Update();
            ids.Finish();
        } else {
            set.Open(SqlFormat(QStringLiteral("SELECT * FROM ENVSTYLE WHERE ID_ENVSTYLE_ENVSTYLE = %d"), id));
            if (set.IsEOF())
                throw DbException(QStringLiteral("the envelope style %1 is not stored").arg(id));
            set.Edit();
            style.ToRecord(set);
            set.m_LOGO = jpeg;
            set.Update();
        }
    });
    if (saved)
        style.id = id;
    return saved;
}

bool DeleteEnvelopeStyle(CDatabase &db, std::int32_t id)
{
    return DbTransaction(db, [&] {
        CSetEnvstyle set(&db);
        set.Open(SqlFormat(QStringLiteral("SELECT * FROM ENVSTYLE WHERE ID_ENVSTYLE_ENVSTYLE = %d"), id));
        if (!set.IsEOF())
            set.Delete();
    });
}

EnvelopePair ReadEnvelopePair(CDatabase &db)
{
    EnvelopePair pair;
    DbOperation(db, [&] {
        CSetEnvpair set(&db);
        set.Open(QStringLiteral("SELECT * FROM ENVPAIR"));
        if (!set.IsEOF()) {
            pair.size = set.m_ID_ENVPAIR_ENVSIZE;
            pair.style = set.m_ID_ENVPAIR_ENVSTYLE;
        }
    });
    return pair;
}

bool WriteEnvelopePair(CDatabase &db, std::int32_t size, std::int32_t style)
{
    return DbTransaction(db, [&] {
        CSetEnvpair set(&db);
        set.Open(QStringLiteral("SELECT * FROM ENVPAIR"));
        if (set.IsEOF())
            set.AddNew();
        else
            set.Edit();
        set.m_ID_ENVPAIR_ENVSIZE = size;
        set.m_ID_ENVPAIR_ENVSTYLE = style;
        set.Update();
    });
}
