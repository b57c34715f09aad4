#include "appcontext.h"
#include "calibration.h"
#include "calibrationdialog.h"
#include "printers.h"
#include "printingtest.h"
#include "sizes.h"
#include "sqlformat.h"
#include "testsupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

std::vector<EnvelopeSize> envelopes(CDatabase &db)
{
    return ReadEnvelopeSizes(db, QStringLiteral("SELECT * FROM ENVSIZE ORDER BY NAME"));
}

std::vector<LabelSize> labels(CDatabase &db)
{
    return ReadLabelSizes(db, QStringLiteral("SELECT * FROM LABSIZE ORDER BY NAME"));
}

Calibration only(CDatabase &db, const QString &sql)
{
    CSetKalibrace set(&db);
    set.Open(sql);
    EXPECT_EQ(set.GetRecordCount(), 1);
    return Calibration::FromRecord(set);
}

void showActive(QDialog &dialog)
{
    dialog.show();
    dialog.activateWindow();
    QApplication::setActiveWindow(&dialog);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
}

} // namespace

TEST(CalibrationLookup, OwnRowThenDefaultThenNone)
{
    TempDatabase t;
    MessageRecorder rec;
    const auto env = envelopes(t.db());
    const auto lab = labels(t.db());
    t.db().ExecuteRaw(QStringLiteral("DELETE FROM KALIBRACE"));
    EXPECT_FALSE(FindEnvelopeCalibration(t.db(), env[0].id).has_value());
    EXPECT_FALSE(FindLabelCalibration(t.db(), lab[0].id).has_value());

    ASSERT_EQ(SaveCalibration(t.db(), CalibrationKind::Default, -1, -3.5, -4.2, false), CalibrationSave::Saved);
    const Calibration def = only(t.db(), QStringLiteral("SELECT * FROM KALIBRACE WHERE DEFAULT"));
    EXPECT_EQ(def.envelopeSize, -1);
    EXPECT_EQ(def.labelSize, -1);
    EXPECT_TRUE(def.isDefault);
    auto found = FindEnvelopeCalibration(t.db(), env[0].id);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->X, -3.5);
    EXPECT_EQ(found->Y, -4.2);
    EXPECT_FALSE(found->landscape);

    ASSERT_EQ(SaveCalibration(t.db(), CalibrationKind::Envelope, env[0].id, 1.5, 2.5, true), CalibrationSave::Saved);
    found = FindEnvelopeCalibration(t.db(), env[0].id);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->envelopeSize, env[0].id);
    EXPECT_EQ(found->labelSize, -1);
    EXPECT_FALSE(found->isDefault);
    EXPECT_TRUE(found->landscape);
    EXPECT_EQ(found->X, 1.5);
    // Another envelope size and any label size fall back to the default.
    EXPECT_TRUE(FindEnvelopeCalibration(t.db(), env[1].id)->isDefault);
    EXPECT_TRUE(FindLabelCalibration(t.db(), lab[0].id)->isDefault);

    ASSERT_EQ(SaveCalibration(t.db(), CalibrationKind::Label, lab[0].id, 7, 8, false), CalibrationSave::Saved);
    EXPECT_EQ(FindLabelCalibration(t.db(), lab[0].id)->labelSize, lab[0].id);
    EXPECT_EQ(FindLabelCalibration(t.db(), lab[0].id)->envelopeSize, -1);
    EXPECT_TRUE(rec.Empty());

    // Through the program's database.
    EXPECT_EQ(FindEnvelopeCalibration(env[0].id)->X, 1.5);
}

TEST(CalibrationSaving, NewRowsTakeTheNextIdentifier)
{
    TempDatabase t;
    MessageRecorder rec;
    CSetIDS ids(&t.db());
    ids.Open(QStringLiteral("SELECT * FROM IDS"));
    const std::int32_t next = ids.m_ID_KALIBRACE_FF;
    ids.Close();
    const auto env = envelopes(t.db());
    ASSERT_EQ(SaveCalibration(t.db(), CalibrationKind::Envelope, env[2].id, 0, 0, false), CalibrationSave::Saved);
    EXPECT_EQ(FindEnvelopeCalibration(t.db(), env[2].id)->id, next);
    ids.Open(QStringLiteral("SELECT * FROM IDS"));
    EXPECT_EQ(ids.m_ID_KALIBRACE_FF, next + 1);
}

TEST(CalibrationSaving, OverwritingAsksFirst)
{
    TempDatabase t;
    MessageRecorder rec;
    const auto env = envelopes(t.db());
    const auto lab = labels(t.db());
    ASSERT_EQ(SaveCalibration(t.db(), CalibrationKind::Envelope, env[0].id, 1, 1, false), CalibrationSave::Saved);
    const Calibration first = *FindEnvelopeCalibration(t.db(), env[0].id);

    rec.Queue(TVB_NO);
    EXPECT_EQ(SaveCalibration(t.db(), CalibrationKind::Envelope, env[0].id, 9, 9, true), CalibrationSave::Declined);
    EXPECT_EQ(rec.OnlyId(), 86);
    EXPECT_EQ(FindEnvelopeCalibration(t.db(), env[0].id)->X, 1);

    rec.Clear();
    rec.Queue(TVB_YES);
    EXPECT_EQ(SaveCalibration(t.db(), CalibrationKind::Envelope, env[0].id, 9, 8, true), CalibrationSave::Saved);
    EXPECT_EQ(rec.OnlyId(), 86);
    const Calibration changed = *FindEnvelopeCalibration(t.db(), env[0].id);
    EXPECT_EQ(changed.id, first.id);
    EXPECT_EQ(changed.X, 9);
    EXPECT_EQ(changed.Y, 8);
    EXPECT_TRUE(changed.landscape);
    EXPECT_EQ(CountCalibrations(t.db(), SqlFormat(QStringLiteral("SELECT * FROM KALIBRACE WHERE ID_ENVSIZE = %d"), env[0].id)), 1);

    ASSERT_EQ(SaveCalibration(t.db(), CalibrationKind::Label, lab[0].id, 1, 1, false), CalibrationSave::Saved);
    rec.Clear();
    rec.Queue(TVB_YES);
    SaveCalibration(t.db(), CalibrationKind::Label, lab[0].id, 2, 2, false);
    EXPECT_EQ(rec.OnlyId(), 85);
    rec.Clear();
    rec.Queue(TVB_YES);
    SaveCalibration(t.db(), CalibrationKind::Default, -1, 2, 3, true);
    EXPECT_EQ(rec.OnlyId(), 87);
    const Calibration def = only(t.db(), QStringLiteral("SELECT * FROM KALIBRACE WHERE DEFAULT"));
    EXPECT_EQ(def.Y, 3);
    EXPECT_TRUE(def.isDefault);
}

TEST(CalibrationDialog, StartsEmptyOnTheDefaultAndChecksInOrder)
{
    TempDatabase t;
    MessageRecorder rec;
    CalibrationDialog d(nullptr, t.db());
    showActive(d);
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Printer calibration"));
    EXPECT_TRUE(d.XField()->text().isEmpty());
    EXPECT_TRUE(d.YField()->text().isEmpty());
    EXPECT_EQ(d.XField()->maxLength(), 9);
    EXPECT_FALSE(d.LandscapeBox()->isChecked());
    EXPECT_TRUE(d.DefaultRadio()->isChecked());
    EXPECT_FALSE(d.LabelCombo()->isEnabled());
    EXPECT_FALSE(d.EnvelopeCombo()->isEnabled());
    EXPECT_EQ(d.EnvelopeCombo()->count(), int(envelopes(t.db()).size()));
    EXPECT_EQ(d.LabelCombo()->itemText(0), labels(t.db())[0].name);
    EXPECT_EQ(d.PrintButton()->text(), QStringLiteral("Print"));

    d.accept();
    EXPECT_EQ(rec.OnlyId(), 83);
    EXPECT_EQ(d.focusWidget(), d.XField());

    d.XField()->setText(QStringLiteral("-3.5"));
    d.YField()->setText(QStringLiteral("1.2.3"));
    rec.Clear();
    d.accept();
    EXPECT_EQ(rec.OnlyId(), 83);
    EXPECT_EQ(d.focusWidget(), d.YField());

    d.YField()->setText(QStringLiteral("-4"));
    QTest::mouseClick(d.LabelRadio(), Qt::LeftButton);
    EXPECT_TRUE(d.LabelRadio()->isChecked());
    EXPECT_TRUE(d.LabelCombo()->isEnabled());
    EXPECT_EQ(d.LabelCombo()->currentIndex(), -1);
    rec.Clear();
    d.accept();
    EXPECT_EQ(rec.OnlyId(), 84);
    EXPECT_EQ(d.focusWidget(), d.LabelCombo());

    d.LabelCombo()->setCurrentIndex(1);
    QTest::mouseClick(d.EnvelopeRadio(), Qt::LeftButton);
    EXPECT_FALSE(d.LabelCombo()->isEnabled());
    EXPECT_EQ(d.LabelCombo()->currentIndex(), -1); // loses its selection
    rec.Clear();
    d.accept();
    EXPECT_EQ(rec.OnlyId(), 84);
    EXPECT_EQ(d.focusWidget(), d.EnvelopeCombo());
    EXPECT_TRUE(d.isVisible());
}

TEST(CalibrationDialog, CommaValueIsStoredForTheChosenEnvelope)
{
    TempDatabase t;
    MessageRecorder rec;
    const auto env = envelopes(t.db());
    CalibrationDialog d(nullptr, t.db());
    showActive(d);
    QTest::keyClicks(d.XField(), QStringLiteral("12,5"));
    QTest::keyClicks(d.YField(), QStringLiteral(" -0,3 "));
    d.LandscapeBox()->setChecked(true);
    d.EnvelopeRadio()->setChecked(true);
    d.EnvelopeCombo()->setCurrentIndex(1);
    QTest::mouseClick(d.OkButton(), Qt::LeftButton);
    EXPECT_TRUE(rec.Empty());
    EXPECT_EQ(d.result(), int(QDialog::Accepted));
    const auto found = FindEnvelopeCalibration(t.db(), env[1].id);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->envelopeSize, env[1].id);
    EXPECT_EQ(found->X, 12.5);
    EXPECT_EQ(found->Y, -0.3);
    EXPECT_TRUE(found->landscape);
}

TEST(CalibrationDialog, DecliningTheOverwriteClosesWithoutWriting)
{
    TempDatabase t; // a new database has a default calibration
    MessageRecorder rec;
    const Calibration before = only(t.db(), QStringLiteral("SELECT * FROM KALIBRACE WHERE DEFAULT"));
    CalibrationDialog d(nullptr, t.db());
    d.XField()->setText(QStringLiteral("5"));
    d.YField()->setText(QStringLiteral("6"));
    rec.Queue(TVB_NO);
    d.accept();
    EXPECT_EQ(rec.OnlyId(), 87);
    EXPECT_EQ(d.result(), int(QDialog::Rejected));
    const Calibration after = only(t.db(), QStringLiteral("SELECT * FROM KALIBRACE WHERE DEFAULT"));
    EXPECT_EQ(after.X, before.X);
    EXPECT_EQ(after.Y, before.Y);
}

TEST(CalibrationDialog, PrintButtonPrintsThePatternToPdf)
{
    TempDatabase t;
    MessageRecorder rec;
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("pattern.pdf"));
    const QString saved = AppContext::CurrentPrinter();
    AppContext::SetCurrentPrinter(PdfPrinterName());
    SetPdfOutputFile(file);
    CalibrationDialog d(nullptr, t.db());
    showActive(d);
    d.LandscapeBox()->setChecked(true);
    QTest::mouseClick(d.PrintButton(), Qt::LeftButton);
    SetPdfOutputFile(QString());
    AppContext::SetCurrentPrinter(saved);
    EXPECT_TRUE(rec.Empty());
    EXPECT_TRUE(d.isEnabled());
    EXPECT_TRUE(d.isVisible());
    ASSERT_EQ(PdfPageCount(file), 1);
    bool wide = false;
    for (const PdfWord &w : PdfWords(file))
        if (w.text == QStringLiteral("X=280,"))
            wide = true; // only a landscape A4 page is 280 mm wide
    EXPECT_TRUE(wide);
}

TEST(CalibrationDialog, PrintWithoutAPrinterShowsMessage43)
{
    TempDatabase t;
    MessageRecorder rec;
    const QString saved = AppContext::CurrentPrinter();
    AppContext::SetCurrentPrinter(QStringLiteral(",,,"));
    CalibrationDialog d(nullptr, t.db());
    d.PrintButton()->click();
    AppContext::SetCurrentPrinter(saved);
    EXPECT_EQ(rec.OnlyId(), 43);
}

TEST(RemoveCalibrationDialog, OnlyADefaultCalibration)
{
    TempDatabase t;
    MessageRecorder rec;
    RemoveCalibrationDialog d(nullptr, t.db());
    showActive(d);
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Removing printer calibration"));
    EXPECT_TRUE(d.DefaultRadio()->isChecked());
    EXPECT_TRUE(d.DefaultRadio()->isEnabled());
    EXPECT_FALSE(d.LabelCombo()->isEnabled());
    EXPECT_FALSE(d.EnvelopeCombo()->isEnabled());
    EXPECT_EQ(d.LabelCombo()->count(), 0);
    EXPECT_EQ(d.EnvelopeCombo()->count(), 0);
    QTest::mouseClick(d.LabelRadio(), Qt::LeftButton);
    d.accept();
    EXPECT_EQ(rec.OnlyId(), 84);
    EXPECT_EQ(d.focusWidget(), d.LabelCombo());

    d.DefaultRadio()->setChecked(true);
    rec.Clear();
    d.accept();
    EXPECT_TRUE(rec.Empty());
    EXPECT_EQ(d.result(), int(QDialog::Accepted));
    EXPECT_EQ(CountCalibrations(t.db(), QStringLiteral("SELECT * FROM KALIBRACE")), 0);
}

TEST(RemoveCalibrationDialog, RemovesTheChosenSizesCalibration)
{
    TempDatabase t;
    MessageRecorder rec;
    const auto env = envelopes(t.db());
    const auto lab = labels(t.db());
    t.db().ExecuteRaw(QStringLiteral("DELETE FROM KALIBRACE"));
    InsertCalibration(t.db(), 50, -1, lab[1].id, 0, 0, false, false);
    InsertCalibration(t.db(), 51, env[2].id, -1, 0, 0, false, false);
    InsertCalibration(t.db(), 52, env[3].id, -1, 0, 0, false, false);
    InsertCalibration(t.db(), 53, 99999, -1, 0, 0, false, false); // its size is gone

    RemoveCalibrationDialog d(nullptr, t.db());
    // No default: that choice is disabled and the label choice is taken.
    EXPECT_FALSE(d.DefaultRadio()->isEnabled());
    EXPECT_TRUE(d.LabelRadio()->isChecked());
    EXPECT_TRUE(d.LabelCombo()->isEnabled());
    ASSERT_EQ(d.LabelCombo()->count(), 1);
    EXPECT_EQ(d.LabelCombo()->itemText(0), lab[1].name);
    EXPECT_EQ(d.LabelCombo()->itemData(0).toInt(), 50);
    ASSERT_EQ(d.EnvelopeCombo()->count(), 2);
    EXPECT_EQ(d.EnvelopeCombo()->itemText(1), env[3].name);

    d.EnvelopeRadio()->setChecked(true);
    EXPECT_FALSE(d.LabelCombo()->isEnabled());
    d.EnvelopeCombo()->setCurrentIndex(1);
    d.accept();
    EXPECT_TRUE(rec.Empty());
    EXPECT_EQ(d.result(), int(QDialog::Accepted));
    EXPECT_EQ(CountCalibrations(t.db(), QStringLiteral("SELECT * FROM KALIBRACE WHERE ID_KALIBRACE_KALIBRACE = 52")), 0);
    EXPECT_EQ(CountCalibrations(t.db(), QStringLiteral("SELECT * FROM KALIBRACE")), 3);
}
