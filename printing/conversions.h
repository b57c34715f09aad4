#pragma once
// Millimetres to device pixels.
//
// device unit conversion, for a length v in mm:
//   lenX(v) = trunc(v × LOGPIXELSX × 0.03937007874015748 + 0.5)
//   lenY(v) = trunc(v × LOGPIXELSY × 0.03937007874015748 + 0.5)
// position conversion, for a position on the paper in mm:
//   posX(x) = trunc((x + X) × LOGPIXELSX × 0.03937007874015748 + 0.5), posY alike with Y,
// X and Y being the calibration shifts, added when a print job is drawn on the
// printer; a preview adds no shifts (posX = lenX, posY = lenY).
// trunc drops the fraction toward zero, also for negative values.
#include "device.h"

inline constexpr double kInchesPerMillimetre = 0.03937007874015748;

// trunc(mm × pixelsPerInch × 0.03937007874015748 + 0.5)
int DeviceUnits(double mm, int pixelsPerInch);

class UnitConverter {
public:
    UnitConverter() = default;
    // Without shifts: positions are converted like lengths (preview).
    explicit UnitConverter(const DeviceMetrics &metrics) : m_metrics(metrics) {}
    // With the calibration shifts X and Y in mm (print job).
    UnitConverter(const DeviceMetrics &metrics, double shiftX, double shiftY)
        : m_metrics(metrics), m_shiftX(shiftX), m_shiftY(shiftY)
    {
    }

    int LenX(double mm) const { return DeviceUnits(mm, m_metrics.LOGPIXELSX); }
    int LenY(double mm) const { return DeviceUnits(mm, m_metrics.LOGPIXELSY); }
    int PosX(double mm) const { return DeviceUnits(mm + m_shiftX, m_metrics.LOGPIXELSX); }
    int PosY(double mm) const { return DeviceUnits(mm + m_shiftY, m_metrics.LOGPIXELSY); }

    const DeviceMetrics &Metrics() const { return m_metrics; }
    double ShiftX() const { return m_shiftX; }
    double ShiftY() const { return m_shiftY; }

private:
    DeviceMetrics m_metrics;
    double m_shiftX = 0;
    double m_shiftY = 0;
};
