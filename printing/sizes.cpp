#include "sizes.h"

#include "dberror.h"
#include "ids.h"
#include "recordsets.h"
#include "sqlformat.h"
#include "tvparse.h"

#include <cmath>
#include <iterator>

EnvelopeSize EnvelopeSize::FromRecord(const CSetEnvsize &s)
{
    EnvelopeSize e;
    e.id = s.m_ID_ENVSIZE_ENVSIZE;
    e.name = s.m_NAME;
    e.SetValues({s.m_A, s.m_B, s.m_C, s.m_D, s.m_E, s.m_F, s.m_G, s.m_H, s.m_K, s.m_L});
    return e;
}

void EnvelopeSize::ToRecord(CSetEnvsize &s) const
{
    s.m_NAME = name;
    s.m_A = A; s.m_B = B; s.m_C = C; s.m_D = D; s.m_E = E;
    s.m_F = F; s.m_G = G; s.m_H = H; s.m_K = K; s.m_L = L;
}

void EnvelopeSize::SetValues(const std::array<double, 10> &v)
{
    A = v[0]; B = v[1]; C = v[2]; D = v[3]; E = v[4];
    F = v[5]; G = v[6]; H = v[7]; K = v[8]; L = v[9];
}

QRectF EnvelopeSize::AddressArea() const
{
    return QRectF(QPointF(A - D - C, B - E - F), QPointF(A - D, B - E));
}

QRectF EnvelopeSize::ReturnArea() const
{
    return QRectF(QPointF(H, K), QPointF(H + G, K + L));
}

LabelSize LabelSize::FromRecord(const CSetLabsize &s)
{
    LabelSize l;
    l.id = s.m_ID_LABSIZE_LABSIZE;
    l.name = s.m_NAME;
    l.A = s.m_A; l.B = s.m_B; l.C = s.m_C; l.D = s.m_D; l.E = s.m_E; l.F = s.m_F;
    l.M = s.m_M; l.N = s.m_N;
    l.paperWidth = s.m_PAPERW; l.paperHeight = s.m_PAPERH;
    return l;
}

void LabelSize::ToRecord(CSetLabsize &s) const
{
    s.m_NAME = name;
    s.m_A = A; s.m_B = B; s.m_C = C; s.m_D = D; s.m_E = E; s.m_F = F;
    s.m_M = M; s.m_N = N;
    s.m_PAPERW = paperWidth; s.m_PAPERH = paperHeight;
}

QRectF LabelSize::LabelRect(int index) const
{
    const int columns = N > 0 ? N : 1;
    const int column = index % columns, row = index / columns;
    return QRectF(A + column * (B + C), D + row * (E + F), B, E);
}

QSizeF LabelSize::SheetSize() const
{
    return QSizeF((N - 1) * C + N * B + 2 * A, (M - 1) * F + M * E + 2 * D);
}

QSizeF LabelSize::PageSize(bool landscape) const
{
    return landscape ? QSizeF(paperHeight, paperWidth) : QSizeF(paperWidth, paperHeight);
}

int LabelPaperIndex(double width, double height)
{
    for (std::size_t i = 0; i < std::size(kLabelPapers); ++i)
        if (std::abs(kLabelPapers[i].width - width) < 0.05 && std::abs(kLabelPapers[i].height - height) < 0.05)
            return int(i);
    return -1;
}

std::vector<EnvelopeSize> ReadEnvelopeSizes(CDatabase &db, const QString &sql)
{
    std::vector<EnvelopeSize> sizes;
    CSetEnvsize set(&db);
    set.Open(sql);
    while (!set.IsEOF()) {
        sizes.push_back(EnvelopeSize::FromRecord(set));
        set.MoveNext();
    }
    set.Close();
    return sizes;
}

std::vector<LabelSize> ReadLabelSizes(CDatabase &db, const QString &sql)
{
    std::vector<LabelSize> sizes;
    CSetLabsize set(&db);
    set.Open(sql);
    while (!set.IsEOF()) {
        sizes.push_back(LabelSize::FromRecord(set));
        set.MoveNext();
    }
    set.Close();
    return sizes;
}

SizeCheck CheckEnvelopeFields(std::array<QString, 10> &texts, QString &name, std::array<double, 10> &values)
{
    for (QString &t : texts)
        t = t.trimmed();
    name = name.trimmed();
    for (std::size_t i = 0; i < texts.size(); ++i)
        if (texts[i].isEmpty())
            return {54, int(i)};
    // A, B, C, E, G, L from 1 mm; D, F, H, K (distances and the address
    // height) from 0 mm.
    static constexpr double minimum[10] = {1, 1, 1, 0, 1, 0, 1, 0, 0, 1};
    for (std::size_t i = 0; i < texts.size(); ++i)
        if (!TVIsDouble(texts[i], values[i], minimum[i], 500))
            return {55, int(i)};
    if (name.isEmpty())
        return {56, kNameField};
    return {};
}

SizeCheck CheckLabelFields(std::array<QString, 8> &texts, QString &name, LabelValues &v)
{
    for (QString &t : texts)
        t = t.trimmed();
    name = name.trimmed();
    for (std::size_t i = 0; i < texts.size(); ++i)
        if (texts[i].isEmpty())
            return {48, int(i)};
    double *lengths[6] = {&v.A, &v.B, &v.C, &v.D, &v.E, &v.F};
    static constexpr double minimum[6] = {0, 1, 0, 0, 1, 0};
    for (int i = 0; i < 6; ++i)
        if (!TVIsDouble(texts[std::size_t(i)], *lengths[i], minimum[i], 500))
            return {49, i};
    if (!TVIsLong(texts[6], v.M, 1, 15))
        return {49, 6};
    if (!TVIsLong(texts[7], v.N, 1, 20))
        return {49, 7};
    if (name.isEmpty())
        return {50, kNameField};
    return {};
}

SizeCheck CheckLabelPaperFields(QString &width, QString &height, double &widthMm, double &heightMm)
{
    width = width.trimmed();
    height = height.trimmed();
    if (width.isEmpty())
        return {48, kPaperWidthField};
    if (height.isEmpty())
        return {48, kPaperHeightField};
    if (!TVIsDouble(width, widthMm, 1, 1000))
        return {49, kPaperWidthField};
    if (!TVIsDouble(height, heightMm, 1, 1000))
        return {49, kPaperHeightField};
    return {};
}

namespace {

template <typename Set> bool nameExists(CDatabase &db, const QString &sql, const QString &name)
{
    bool exists = false;
    DbOperation(db, [&] {
        Set set(&db);
        set.Open(SqlFormat(sql, name));
        exists = !set.IsEOF();
        set.Close();
    });
    return exists;
}

} // namespace

bool EnvelopeSizeNameExists(CDatabase &db, const QString &name)
{
    return nameExists<CSetEnvsize>(db, QStringLiteral("SELECT * FROM ENVSIZE WHERE NAME = '%s'"), name);
}

bool LabelSizeNameExists(CDatabase &db, const QString &name)
{
    return nameExists<CSetLabsize>(db, QStringLiteral("SELECT * FROM LABSIZE WHERE NAME = '%s'"), name);
}

namespace {

// Saves a size row: a new one takes its identifier from the counters, an
// existing one is rewritten in place; one transaction either way.
template <typename Set, typename Size>
bool saveSize(CDatabase &db, Size &size, bool isNew, IdCounter counter, std::int32_t Set::*idMember,
              const QString &emptySql, const char *oneRowSql)
{
    std::int32_t newId = size.id;
    const bool saved = DbTransaction(db, [&] {
        Set set(&db);
        if (isNew) {
            IdAllocator ids(db);
            set.Open(emptySql);
            set.AddNew();
            newId = ids.Next(counter);
            set.*idMember = newId;
            size.ToRecord(set);
            ids.Finish();
            set.Update();
        } else {
            set.Open(SqlFormat(QString::fromLatin1(oneRowSql), size.id));
            set.MoveFirst();
            set.Edit();
            size.ToRecord(set);
            set.Update();
        }
        set.Close();
    });
    if (saved)
        size.id = newId;
    return saved;
}

} // namespace

bool SaveEnvelopeSize(CDatabase &db, EnvelopeSize &size, bool isNew)
{
    return saveSize(db, size, isNew, IdCounter::Envsize, &CSetEnvsize::m_ID_ENVSIZE_ENVSIZE,
                    QStringLiteral("SELECT * FROM ENVSIZE WHERE 0"),
                    "SELECT * FROM ENVSIZE WHERE ID_ENVSIZE_ENVSIZE = %d");
}

bool SaveLabelSize(CDatabase &db, LabelSize &size, bool isNew)
{
    return saveSize(db, size, isNew, IdCounter::Labsize, &CSetLabsize::m_ID_LABSIZE_LABSIZE,
                    QStringLiteral("SELECT * FROM LABSIZE WHERE 0"),
                    "SELECT * FROM LABSIZE WHERE ID_LABSIZE_LABSIZE = %d");
}

namespace {

// Deletes every KALIBRACE row the query yields.
void deleteCalibrations(CDatabase &db, const QString &sql)
{
    CSetKalibrace cal(&db);
    cal.Open(sql);
    while (!cal.IsEOF()) {
        cal.Delete();
        cal.MoveNext();
    }
    cal.Close();
}

} // namespace

bool DeleteEnvelopeSize(CDatabase &db, std::int32_t id)
{
    return DbTransaction(db, [&] {
        CSetEnvsize set(&db);
        set.Open(SqlFormat(QStringLiteral("SELECT * FROM ENVSIZE WHERE ID_ENVSIZE_ENVSIZE = %d"), id));
        set.MoveFirst();
        set.Delete();
        set.Close();
        deleteCalibrations(db, SqlFormat(QStringLiteral("SELECT * FROM KALIBRACE WHERE ID_ENVSIZE = %d"), id));
    });
}

bool DeleteLabelSize(CDatabase &db, std::int32_t id)
{
    return DbTransaction(db, [&] {
        CSetLabsize set(&db);
        set.Open(SqlFormat(QStringLiteral("SELECT * FROM LABSIZE WHERE ID_LABSIZE_LABSIZE = %d"), id));
        set.MoveFirst();
        set.Delete();
        set.Close();
        deleteCalibrations(db, SqlFormat(QStringLiteral("SELECT * FROM KALIBRACE WHERE ID_LABSIZE = %d"), id));
    });
}
