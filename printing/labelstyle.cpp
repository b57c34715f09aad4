#include "labelstyle.h"

#include "dberror.h"
#include "ids.h"
#include "recordsets.h"
#include "sqlformat.h"
#include "tvparse.h"

LabelStyle LabelStyle::FromRecord(const CSetLabstyle &set)
{
    LabelStyle s;
    s.id = set.m_ID_LABSTYLE_LABSTYLE;
    s.name = set.m_LABSTYLE_NAME;
    s.frameOffset = set.m_OFFSET_FRAME;
    s.addressX = set.m_OFFSET_ADDRESSX;
    s.addressY = set.m_OFFSET_ADDRESSY;
    s.horizontal = set.m_HORIZONTAL;
    s.vertical = set.m_VERTICAL;
    s.printFrame = set.m_PRINT_FRAME;
    s.joinZip = set.m_JOIN_ZIP;
    for (int i = 0; i < kLabelLines; ++i)
        s.fonts[std::size_t(i)] = set.m_fonts[std::size_t(i)];
    return s;
}

void LabelStyle::ToRecord(CSetLabstyle &set) const
{
    set.m_LABSTYLE_NAME = name;
    set.m_OFFSET_FRAME = frameOffset;
    set.m_OFFSET_ADDRESSX = addressX;
    set.m_OFFSET_ADDRESSY = addressY;
    set.m_HORIZONTAL = horizontal;
    set.m_VERTICAL = vertical;
    set.m_PRINT_FRAME = printFrame;
    set.m_JOIN_ZIP = joinZip;
    for (int i = 0; i < kLabelLines; ++i)
        set.m_fonts[std::size_t(i)] = fonts[std::size_t(i)];
}

LabelStyle DefaultLabelStyle()
{
    LabelStyle s;
    s.frameOffset = 3.0;
    s.addressX = 10.0;
    s.addressY = 10.0;
    s.printFrame = true;
    s.joinZip = false;
    s.horizontal = 0;
    s.vertical = 0;
    FontSpec f;
    f.lfFaceName = QStringLiteral("Times New Roman");
    f.lfHeight = 120;
    f.lfWidth = 0;
    f.lfEscapement = 0;
    f.lfOrientation = 0;
    f.lfWeight = 0;
    f.lfItalic = f.lfUnderline = f.lfStrikeOut = false;
    f.lfCharSet = 1; // DEFAULT_CHARSET
    f.lfOutPrecision = f.lfClipPrecision = f.lfQuality = f.lfPitchAndFamily = 0;
    f.color = 0;
    s.fonts.fill(f);
    return s;
}

std::vector<LabelStyle> ReadLabelStyles(CDatabase &db, const QString &sql)
{
    std::vector<LabelStyle> out;
    CSetLabstyle set(&db);
    set.Open(sql);
    for (; !set.IsEOF(); set.MoveNext())
        out.push_back(LabelStyle::FromRecord(set));
    set.Close();
    return out;
}

LabelStyleCheck CheckLabelStyleFields(QString &addressX, QString &addressY, QString &border, QString &name,
                                      bool printFrame, LabelStyle &style)
{
    name = name.trimmed();
    addressX = addressX.trimmed();
    addressY = addressY.trimmed();
    border = border.trimmed();

    if (addressX.isEmpty())
        return {67, LabelStyleField::AddressX};
    if (addressY.isEmpty())
        return {67, LabelStyleField::AddressY};
    if (printFrame && border.isEmpty())
        return {67, LabelStyleField::Border};

    double x = 0, y = 0, frame = 0;
    if (!TVIsDouble(addressX, x, 0, 100))
        return {68, LabelStyleField::AddressX};
    if (!TVIsDouble(addressY, y, 0, 100))
        return {68, LabelStyleField::AddressY};
    if (printFrame && !TVIsDouble(border, frame, 0, 100))
        return {68, LabelStyleField::Border};

    if (name.isEmpty())
        return {69, LabelStyleField::Name};

    style.addressX = x;
    style.addressY = y;
    style.frameOffset = printFrame ? frame : 0.0;
    style.printFrame = printFrame;
    style.name = name;
    return {};
}

bool LabelStyleNameExists(CDatabase &db, const QString &name)
{
    bool exists = false;
    DbOperation(db, [&] {
        CSetLabstyle set(&db);
        set.Open(SqlFormat(QStringLiteral("SELECT * FROM LABSTYLE WHERE LABSTYLE_NAME = '%s'"), name));
        exists = !set.IsEOF();
        set.Close();
    });
    return exists;
}

bool SaveLabelStyle(CDatabase &db, LabelStyle &style, bool isNew)
{
    std::int32_t newId = style.id;
    const bool saved = DbTransaction(db, [&] {
        CSetLabstyle set(&db);
        if (isNew) {
            IdAllocator ids(db);
            set.Open(QStringLiteral("SELECT * FROM LABSTYLE WHERE 0"));
            set.AddNew();
            newId = ids.Next(IdCounter::Labstyle);
            set.m_ID_LABSTYLE_LABSTYLE = newId;
            style.ToRecord(set);
            ids.Finish();
            set.Update();
        } else {
            set.Open(SqlFormat(QStringLiteral("SELECT * FROM LABSTYLE WHERE ID_LABSTYLE_LABSTYLE = %d"), style.id));
            set.MoveFirst();
            set.Edit();
            style.ToRecord(set);
            set.Update();
        }
        set.Close();
    });
    if (saved)
        style.id = newId;
    return saved;
}

bool DeleteLabelStyle(CDatabase &db, std::int32_t id)
{
    return DbTransaction(db, [&] {
        CSetLabstyle set(&db);
        set.Open(SqlFormat(QStringLiteral("SELECT * FROM LABSTYLE WHERE ID_LABSTYLE_LABSTYLE = %d"), id));
        set.MoveFirst();
        set.Delete();
        set.Close();
    });
}

LabelPair ReadLabelPair(CDatabase &db)
{
    LabelPair pair;
    CSetLabpair set(&db);
    set.Open(QStringLiteral("SELECT * FROM LABPAIR"));
    if (!set.IsEOF()) {
        pair.size = set.m_ID_LABPAIR_LABSIZE;
        pair.style = set.m_ID_LABPAIR_LABSTYLE;
    }
    set.Close();
    return pair;
}

bool WriteLabelPair(CDatabase &db, const LabelPair &pair)
{
    return DbTransaction(db, [&] {
        CSetLabpair set(&db);
        set.Open(QStringLiteral("SELECT * FROM LABPAIR"));
        if (set.IsEOF()) {
            set.AddNew();
        } else {
            set.MoveFirst();
            set.Edit();
        }
        set.m_ID_LABPAIR_LABSIZE = pair.size;
        set.m_ID_LABPAIR_LABSTYLE = pair.style;
        set.Update();
        set.Close();
    });
}
