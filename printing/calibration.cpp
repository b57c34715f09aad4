#include "calibration.h"

#include "appcontext.h"
#include "conversions.h"
#include "dberror.h"
#include "ids.h"
#include "printers.h"
#include "printjob.h"
#include "recordsets.h"
#include "sqlformat.h"
#include "tvmessage.h"
#include "tvstrings.h"

#include <QPrinter>

Calibration Calibration::FromRecord(const CSetKalibrace &s)
{
    Calibration c;
    c.id = s.m_ID_KALIBRACE_KALIBRACE;
    c.envelopeSize = s.m_ID_ENVSIZE;
    c.labelSize = s.m_ID_LABSIZE;
    c.X = s.m_X;
    c.Y = s.m_Y;
    c.isDefault = s.m_DEFAULT;
    c.landscape = s.m_LANDSCAPE;
    return c;
}

namespace {

std::optional<Calibration> findCalibration(CDatabase &db, const QString &ownSql)
{
    std::optional<Calibration> found;
    const bool ok = DbOperation(db, [&] {
        CSetKalibrace set(&db);
        set.Open(ownSql);
        if (set.IsEOF()) {
            set.Close();
            set.Open(QStringLiteral("SELECT * FROM KALIBRACE WHERE DEFAULT"));
        }
        if (!set.IsEOF())
            found = Calibration::FromRecord(set);
        set.Close();
    });
    if (!ok)
        return std::nullopt;
    return found;
}

QString kindQuery(CalibrationKind kind, std::int32_t sizeId)
{
    switch (kind) {
    case CalibrationKind::Label:
        return SqlFormat(QStringLiteral("SELECT * FROM KALIBRACE WHERE ID_LABSIZE = %d"), sizeId);
    case CalibrationKind::Envelope:
        return SqlFormat(QStringLiteral("SELECT * FROM KALIBRACE WHERE ID_ENVSIZE = %d"), sizeId);
    case CalibrationKind::Default:
        break;
    }
    return QStringLiteral("SELECT * FROM KALIBRACE WHERE DEFAULT");
}

} // namespace

std::optional<Calibration> FindEnvelopeCalibration(CDatabase &db, std::int32_t envelopeSizeId)
{
    return findCalibration(db, SqlFormat(QStringLiteral("SELECT * FROM KALIBRACE WHERE ID_ENVSIZE = %d"), envelopeSizeId));
}

std::optional<Calibration> FindLabelCalibration(CDatabase &db, std::int32_t labelSizeId)
{
    return findCalibration(db, SqlFormat(QStringLiteral("SELECT * FROM KALIBRACE WHERE ID_LABSIZE = %d"), labelSizeId));
}

std::optional<Calibration> FindEnvelopeCalibration(std::int32_t envelopeSizeId)
{
    CDatabase *db = AppContext::Database();
    if (!db) {
        CTVError::Show(MSG_DATABASE_ERROR, TVB_OK);
        return std::nullopt;
    }
    return FindEnvelopeCalibration(*db, envelopeSizeId);
}

std::optional<Calibration> FindLabelCalibration(std::int32_t labelSizeId)
{
    CDatabase *db = AppContext::Database();
    if (!db) {
        CTVError::Show(MSG_DATABASE_ERROR, TVB_OK);
        return std::nullopt;
    }
    return FindLabelCalibration(*db, labelSizeId);
}

CalibrationSave SaveCalibration(CDatabase &db, CalibrationKind kind, std::int32_t sizeId, double x, double y,
                                bool landscape)
{
    const QString query = kindQuery(kind, sizeId);
    bool exists = false;
    if (!DbOperation(db, [&] {
            CSetKalibrace set(&db);
            set.Open(query);
            exists = !set.IsEOF();
            set.Close();
        }))
        return CalibrationSave::Failed;

    if (exists) {
        const int question = kind == CalibrationKind::Label ? 85 : kind == CalibrationKind::Envelope ? 86 : 87;
        if (CTVQuestion::Show(question, TVB_YESNO) != TVB_YES)
            return CalibrationSave::Declined;
        const bool ok = DbTransaction(db, [&] {
            CSetKalibrace set(&db);
            set.Open(query);
            set.MoveFirst();
            set.Edit();
            set.m_X = x;
            set.m_Y = y;
            set.m_LANDSCAPE = landscape;
            set.Update();
            set.Close();
        });
        return ok ? CalibrationSave::Saved : CalibrationSave::Failed;
    }

    const bool ok = DbTransaction(db, [&] {
        CSetKalibrace set(&db);
        set.Open(QStringLiteral("SELECT * FROM KALIBRACE WHERE 0"));
        set.AddNew();
        IdAllocator ids(db);
        set.m_ID_KALIBRACE_KALIBRACE = ids.Next(IdCounter::Kalibrace);
        set.m_ID_ENVSIZE = kind == CalibrationKind::Envelope ? sizeId : -1;
        set.m_ID_LABSIZE = kind == CalibrationKind::Label ? sizeId : -1;
        set.m_DEFAULT = kind == CalibrationKind::Default;
        set.m_X = x;
        set.m_Y = y;
        set.m_LANDSCAPE = landscape;
        set.Update();
        ids.Finish();
        set.Close();
    });
    return ok ? CalibrationSave::Saved : CalibrationSave::Failed;
}

CalibrationInventory ReadCalibrationInventory(CDatabase &db)
{
    CalibrationInventory inventory;
    CSetKalibrace cal(&db);
    cal.Open(QStringLiteral("SELECT * FROM KALIBRACE"));
    for (; !cal.IsEOF(); cal.MoveNext()) {
        if (cal.m_ID_LABSIZE != -1) {
            CSetLabsize size(&db);
            size.Open(SqlFormat(QStringLiteral("SELECT * FROM LABSIZE WHERE ID_LABSIZE_LABSIZE = %d"), cal.m_ID_LABSIZE));
            if (!size.IsEOF())
                inventory.labels.push_back({cal.m_ID_KALIBRACE_KALIBRACE, size.m_NAME});
            size.Close();
        } else if (cal.m_ID_ENVSIZE == -1) {
            inventory.hasDefault = true;
        } else {
            CSetEnvsize size(&db);
            size.Open(SqlFormat(QStringLiteral("SELECT * FROM ENVSIZE WHERE ID_ENVSIZE_ENVSIZE = %d"), cal.m_ID_ENVSIZE));
            if (!size.IsEOF())
                inventory.envelopes.push_back({cal.m_ID_KALIBRACE_KALIBRACE, size.m_NAME});
            size.Close();
        }
    }
    cal.Close();
    return inventory;
}

bool RemoveCalibration(CDatabase &db, CalibrationKind kind, std::int32_t calibrationId)
{
    const QString sql =
        kind == CalibrationKind::Default
            ? QStringLiteral("SELECT * FROM KALIBRACE WHERE DEFAULT")
            : SqlFormat(QStringLiteral("SELECT * FROM KALIBRACE WHERE ID_KALIBRACE_KALIBRACE = %d"), calibrationId);
    return DbTransaction(db, [&] {
        CSetKalibrace set(&db);
        set.Open(sql);
        if (!set.IsEOF())
            set.Delete();
        set.Close();
    });
}

void DrawCalibrationPattern(PrintDevice &device)
{
    const DeviceMetrics m = device.Metrics();
    const UnitConverter units(m);

    // The 20 mm grid.
    for (int k = 0;; ++k) {
        const int x = units.LenX(20.0 * k);
        if (x >= m.HORZRES)
            break;
        device.DrawLine(x, 0, x, m.VERTRES);
    }
    for (int k = 0;; ++k) {
        const int y = units.LenY(20.0 * k);
        if (y >= m.VERTRES)
            break;
        device.DrawLine(0, y, m.HORZRES, y);
    }

    // Labelled circles every 40 mm.
    FontSpec arial;
    arial.lfFaceName = QStringLiteral("Arial");
    arial.lfPitchAndFamily = 0x20; // swiss
    const DeviceFont font = device.CreatePointFont(arial, 80);
    const DeviceFont previous = device.SelectFont(font);
    device.SetTextColor(0);
    const TextMetrics tm = device.GetTextMetrics();
    const int r = tm.tmAveCharWidth;
    const int dy = static_cast<int>(tm.tmHeight / 3.0 + 0.5);
    for (int xmm = 0;; xmm += 40) {
        const int x = units.LenX(xmm);
        if (x >= m.HORZRES)
            break;
        for (int ymm = 0;; ymm += 40) {
            const int y = units.LenY(ymm);
            if (y >= m.VERTRES)
                break;
            device.DrawEllipse(x - r, y - r, x + r, y + r);
            device.DrawTextLine(GdiRect(x + r, y + dy, m.HORZRES, m.VERTRES),
                                QStringLiteral("X=%1, Y=%2").arg(xmm).arg(ymm), false);
        }
    }
    device.SelectFont(previous);
}

bool PrintCalibrationPattern(QWidget *owner, bool landscape, const PaperRequest &paper)
{
    auto printer = CreatePrinterDCOrReport(owner, landscape, paper);
    if (!printer)
        return false;
    PrintJob job(*printer, owner);
    if (!job.StartDoc(TVLoadStringResource(88)))
        return false;
    bool printed = false;
    if (job.StartPage(1)) {
        DrawCalibrationPattern(job.Device());
        printed = job.EndPage();
    }
    job.EndDoc();
    return printed && !job.IsAborted();
}
