#include "printingtest.h"

#include "database.h"

DeviceMetrics A4Metrics(int dpi)
{
    DeviceMetrics m;
    m.LOGPIXELSX = m.LOGPIXELSY = dpi;
    m.HORZRES = int(210 / 25.4 * dpi);
    m.VERTRES = int(297 / 25.4 * dpi);
    m.HORZSIZE = 210;
    m.VERTSIZE = 297;
    return m;
}

void InsertCalibration(CDatabase &db, int id, int envsize, int labsize, double x, double y, bool isDefault,
                       bool landscape)
{
    db.BeginTrans();
    CSetKalibrace set(&db);
    set.Open(QStringLiteral("SELECT * FROM KALIBRACE WHERE 0"));
    set.AddNew();
    set.m_ID_KALIBRACE_KALIBRACE = id;
    set.m_ID_ENVSIZE = envsize;
    set.m_ID_LABSIZE = labsize;
    set.m_X = x;
    set.m_Y = y;
    set.m_DEFAULT = isDefault;
    set.m_LANDSCAPE = landscape;
    set.Update();
    set.Close();
    db.CommitTrans();
}

int CountCalibrations(CDatabase &db, const QString &sql)
{
    CSetKalibrace set(&db);
    set.Open(sql);
    const int n = int(set.GetRecordCount());
    set.Close();
    return n;
}
