// The dialogs of a label job: options with LABPAIR and the checks 89–91,
// the sheet picker and the first-label dialog, the preview with its page
// counter, and the whole command from the options to the PDF.
#include "appcontext.h"
#include "commands.h"
#include "firstlabeldialog.h"
#include "labeloptionsdialog.h"
#include "labelpreviewdialog.h"
#include "labelprinting.h"
#include "labeltest.h"
#include "previewcanvas.h"
#include "privatecups.h"
#include "printers.h"
#include "sheetpicker.h"
#include "sqlformat.h"
#include "testsupport.h"

#include <QApplication>
#include <QPrinter>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

int comboIndex(QComboBox *combo, const QString &text)
{
    return combo->findText(text);
}

LabelStyle standardStyle(CDatabase &db)
{
    return ReadLabelStyles(db, QStringLiteral("SELECT * FROM LABSTYLE WHERE LABSTYLE_NAME = 'Standard'")).front();
}

DeviceMetrics a4(int dpi)
{
    DeviceMetrics m;
    m.LOGPIXELSX = m.LOGPIXELSY = dpi;
    m.HORZRES = int(210 / 25.4 * dpi);
    m.VERTRES = int(297 / 25.4 * dpi);
    return m;
}

} // namespace

TEST(LabelPrintOptionsDialog, ChecksInOrderAndRemembersThePair)
{
    TempDatabase t;
    MessageRecorder rec;
    LabelPrintOptionsDialog d(nullptr, t.db());
    ASSERT_TRUE(d.IsUsable());
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Printing labels"));
    // No pair stored yet: nothing preselected; copies 1, not collated.
    EXPECT_EQ(d.SizeCombo()->currentIndex(), -1);
    EXPECT_EQ(d.StyleCombo()->currentIndex(), -1);
    EXPECT_EQ(d.CopiesField()->text(), QStringLiteral("1"));
    EXPECT_TRUE(d.CollateNo()->isChecked());
    // Sorted by name.
    QStringList names;
    for (int i = 0; i < d.SizeCombo()->count(); ++i)
        names << d.SizeCombo()->itemText(i);
    QStringList sorted = names;
    std::sort(sorted.begin(), sorted.end(), [](const QString &a, const QString &b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    EXPECT_EQ(names, sorted);

    d.show();
    QApplication::setActiveWindow(&d);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
    d.accept();
    EXPECT_EQ(rec.OnlyId(), 89);
    EXPECT_EQ(d.focusWidget(), d.SizeCombo());
    rec.Clear();
    d.SizeCombo()->setCurrentIndex(comboIndex(d.SizeCombo(), QString::fromLatin1(kSheet3x8)));
    d.accept();
    EXPECT_EQ(rec.OnlyId(), 90);
    rec.Clear();
    d.StyleCombo()->setCurrentIndex(0);
    for (const char *bad : {"", "0", "1001", "2.5", "x"}) {
        d.CopiesField()->setText(QString::fromLatin1(bad));
        d.accept();
        EXPECT_EQ(rec.OnlyId(), 91) << bad;
        EXPECT_EQ(d.focusWidget(), d.CopiesField());
        rec.Clear();
    }
    d.CopiesField()->setText(QStringLiteral("1000"));
    d.CollateYes()->setChecked(true);
    d.accept();
    EXPECT_TRUE(rec.Empty());
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(d.Size().name, QString::fromLatin1(kSheet3x8));
    EXPECT_EQ(d.Style().name, QStringLiteral("Standard"));
    EXPECT_EQ(d.Copies(), 1000);
    EXPECT_TRUE(d.Collate());
    const LabelPair pair = ReadLabelPair(t.db());
    EXPECT_EQ(pair.size, d.Size().id);
    EXPECT_EQ(pair.style, d.Style().id);

    // The next dialog preselects the pair.
    LabelPrintOptionsDialog again(nullptr, t.db());
    EXPECT_EQ(again.SizeCombo()->currentText(), QString::fromLatin1(kSheet3x8));
    EXPECT_EQ(again.StyleCombo()->currentText(), QStringLiteral("Standard"));
}

TEST(LabelPrintOptionsDialog, APairNamingADeletedStyleSelectsNoStyle)
{
    TempDatabase t;
    MessageRecorder rec;
    const LabelSize size = LabelSizeNamed(t.db(), QString::fromLatin1(kSheet3x8));
    ASSERT_TRUE(WriteLabelPair(t.db(), {size.id, 999}));
    LabelPrintOptionsDialog d(nullptr, t.db());
    EXPECT_EQ(d.SizeCombo()->currentText(), QString::fromLatin1(kSheet3x8));
    EXPECT_EQ(d.StyleCombo()->currentIndex(), -1);
    EXPECT_TRUE(rec.Empty());
}

TEST(LabelSheetPicker, FitsTheSheetAndPlacesTheLabels)
{
    LabelSize s;
    s.A = 10;
    s.B = 60;
    s.C = 5;
    s.D = 20;
    s.E = 30;
    s.F = 2;
    s.M = 8;
    s.N = 3;
    // W = 2 × 5 + 3 × 60 + 2 × 10 = 210, H = 7 × 2 + 8 × 30 + 2 × 20 = 294.
    // A tall sheet in a wide client: s = 294 ÷ 294 = 1 mm per pixel.
    const SheetPickerGeometry g = FitLabelSheet(s, QSize(400, 294));
    EXPECT_DOUBLE_EQ(g.mmPerPixel, 1.0);
    EXPECT_EQ(g.sheet, QRect((400 - 210) / 2, 0, 210, 294));
    ASSERT_EQ(g.labels.size(), 24u);
    EXPECT_EQ(g.labels[0], QRect(95 + 10, 20, 60, 30));
    EXPECT_EQ(g.labels[4], QRect(95 + 10 + 65, 20 + 32, 60, 30));
    // A wide client height: the sheet takes the full width, centred vertically.
    const SheetPickerGeometry h = FitLabelSheet(s, QSize(105, 300));
    EXPECT_DOUBLE_EQ(h.mmPerPixel, 2.0);
    EXPECT_EQ(h.sheet, QRect(0, (300 - 147) / 2, 105, 147));
    // trunc(value ÷ s + 0.2): 10 ÷ 2 = 5, 60 ÷ 2 = 30, 5 ÷ 2 + 0.2 = 2.7 → 2.
    EXPECT_EQ(h.labels[1], QRect(5 + 32, h.sheet.top() + 10, 30, 15));
}

TEST(FirstLabelDialog, OneSelectionWithTheCross)
{
    TempDatabase t;
    const LabelSize size = LabelSizeNamed(t.db(), QStringLiteral("Avery L7160 Address labels 63.5 x 38.1 mm, 21 per sheet"));
    FirstLabelDialog d(nullptr, size);
    EXPECT_EQ(d.windowTitle(), QStringLiteral("First label to print"));
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
    LabelSheetPicker *picker = d.Picker();
    picker->EnsureLaidOut();
    ASSERT_EQ(picker->LabelCount(), 21);
    ASSERT_NE(picker->LabelButton(20), nullptr);
    EXPECT_EQ(d.FirstLabel(), 0);
    EXPECT_TRUE(picker->LabelButton(0)->isChecked());

    QTest::mouseClick(picker->LabelButton(7), Qt::LeftButton);
    EXPECT_EQ(d.FirstLabel(), 7);
    int checked = 0;
    for (int i = 0; i < 21; ++i)
        checked += picker->LabelButton(i)->isChecked();
    EXPECT_EQ(checked, 1);
    EXPECT_TRUE(picker->LabelButton(7)->isChecked());

    // The selected label shows the green cross on white; the sheet is yellow.
    QImage image = picker->grab().toImage();
    const QRect r = picker->LabelButton(7)->geometry();
    const QPoint centre = r.center();
    EXPECT_EQ(QColor(image.pixel(centre)), QColor(0, 255, 0));
    EXPECT_EQ(QColor(image.pixel(r.left() + r.width() / 2, r.top() + 2)), QColor(255, 255, 255));
    EXPECT_EQ(QColor(image.pixel(r.topLeft())), QColor(0xDC, 0xDC, 0));
    const QRect sheet = picker->Geometry().sheet;
    EXPECT_EQ(QColor(image.pixel(sheet.left() + 1, sheet.top() + 1)), QColor(0xFF, 0xFF, 0xB4));

    // The label under the mouse turns yellow.
    QTest::mouseMove(picker->LabelButton(3), QPoint(5, 5));
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(picker->LabelButton(3), &enter);
    EXPECT_TRUE(picker->LabelButton(3)->IsHovered());
    image = picker->grab().toImage();
    const QRect hovered = picker->LabelButton(3)->geometry();
    EXPECT_EQ(QColor(image.pixel(hovered.left() + hovered.width() / 2, hovered.top() + 2)), QColor(255, 255, 0));

    QTest::mouseClick(d.OkButton(), Qt::LeftButton);
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(d.FirstLabel(), 7);
}

TEST(LabelPreviewDialog, OnePageForOneLabel)
{
    TempDatabase t;
    LabelJob job;
    job.size = LabelSizeNamed(t.db(), QStringLiteral("Avery L7163 Address labels 99.1 x 38.1 mm, 14 per sheet"));
    job.style = standardStyle(t.db());
    AddressEntry a;
    a.id = 1;
    a.name = QStringLiteral("Somebody");
    job.addresses = {a};
    LabelPreviewDialog d(nullptr, job, a4(600));
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Print preview"));
    EXPECT_EQ(d.Counter()->text(), QStringLiteral("1 / 1"));
    EXPECT_FALSE(d.BackButton()->isEnabled());
    EXPECT_FALSE(d.NextButton()->isEnabled());
    EXPECT_TRUE(d.PrintButton()->isDefault());
}

TEST(LabelPreviewDialog, ThirtyPositionsOnTwoPages)
{
    TempDatabase t;
    LabelJob job;
    job.size = LabelSizeNamed(t.db(), QString::fromLatin1(kSheet3x8));
    job.style = standardStyle(t.db());
    for (int i = 0; i < 3; ++i) {
        AddressEntry a;
        a.id = i + 1;
        a.name = QStringLiteral("Person%1").arg(i);
        job.addresses.push_back(a);
    }
    job.copies = 10;
    LabelPreviewDialog d(nullptr, job, a4(600));
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
    EXPECT_EQ(d.LastPage(), 1);
    EXPECT_EQ(d.Counter()->text(), QStringLiteral("1 / 2"));
    EXPECT_FALSE(d.BackButton()->isEnabled());
    EXPECT_TRUE(d.NextButton()->isEnabled());
    EXPECT_EQ(d.Canvas()->PageExtent(), LabelPreviewExtent(job.size, false, a4(600)));
    EXPECT_EQ(d.Canvas()->Proportions(), QSize(210, 297));

    const QImage first = d.Canvas()->Picture();
    ASSERT_FALSE(first.isNull());
    QTest::mouseClick(d.NextButton(), Qt::LeftButton);
    EXPECT_EQ(d.CurrentPage(), 1);
    EXPECT_EQ(d.Counter()->text(), QStringLiteral("2 / 2"));
    EXPECT_TRUE(d.BackButton()->isEnabled());
    EXPECT_FALSE(d.NextButton()->isEnabled());
    const QImage second = d.Canvas()->Picture();
    ASSERT_FALSE(second.isNull());
    // The second page holds 6 labels: the lower part of its picture is blank,
    // that of the first is not.
    auto inkBelow = [](const QImage &image, double fraction) {
        int ink = 0;
        for (int y = int(image.height() * fraction); y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                ink += QColor(image.pixel(x, y)).lightness() < 128;
        return ink;
    };
    EXPECT_GT(inkBelow(first, 0.5), 0);
    EXPECT_EQ(inkBelow(second, 0.5), 0);
    EXPECT_GT(inkBelow(second, 0.0), 0);
    QTest::mouseClick(d.BackButton(), Qt::LeftButton);
    EXPECT_EQ(d.Counter()->text(), QStringLiteral("1 / 2"));
}

TEST(LabelCommands, PreviewThenPrintWritesThePdf)
{
    TempDatabase t;
    MessageRecorder rec;
    AppContext::SetCurrentPrinter(PdfPrinterName());
    const QString pdf = t.dir() + QStringLiteral("/command.pdf");
    SetPdfOutputFile(pdf);
    AddressEntry a;
    a.id = 42;
    a.name = QStringLiteral("Zebediah");
    a.town = QStringLiteral("Ashford");
    a.zip = QStringLiteral("TN23");

    // Options, then the first label, then the preview's Print.
    OnModalDialog([](QWidget *w) {
        auto *options = qobject_cast<LabelPrintOptionsDialog *>(w);
        ASSERT_NE(options, nullptr);
        options->SizeCombo()->setCurrentIndex(options->SizeCombo()->findText(QString::fromLatin1(kSheet3x8)));
        options->StyleCombo()->setCurrentIndex(options->StyleCombo()->findText(QStringLiteral("Standard")));
        options->CopiesField()->setText(QStringLiteral("2"));
        OnModalDialog([](QWidget *w2) {
            auto *first = qobject_cast<FirstLabelDialog *>(w2);
            ASSERT_NE(first, nullptr);
            first->Picker()->EnsureLaidOut();
            first->Picker()->Select(23);
            OnModalDialog([](QWidget *w3) {
                auto *preview = qobject_cast<LabelPreviewDialog *>(w3);
                ASSERT_NE(preview, nullptr);
                EXPECT_EQ(preview->Counter()->text(), QStringLiteral("1 / 2"));
                preview->PrintButton()->click();
            });
            first->accept();
        });
        options->accept();
    });
    EXPECT_TRUE(PrintLabelList(nullptr, {a}, true));
    SetPdfOutputFile(QString());
    EXPECT_TRUE(rec.Empty());
    EXPECT_EQ(PdfPageCount(pdf), 2);
    int found = 0;
    for (const PdfWord &w : PdfWords(pdf))
        found += w.text == QLatin1String("Zebediah");
    EXPECT_EQ(found, 2);
}

TEST(LabelCommands, NoCalibrationStopsWithMessage96)
{
    TempDatabase t;
    MessageRecorder rec;
    t.db().BeginTrans();
    t.db().ExecuteRaw(QStringLiteral("DELETE FROM KALIBRACE"));
    t.db().CommitTrans();
    AddressEntry a;
    a.id = 1;
    a.name = QStringLiteral("X");
    OnModalDialog([](QWidget *w) {
        auto *options = qobject_cast<LabelPrintOptionsDialog *>(w);
        ASSERT_NE(options, nullptr);
        options->SizeCombo()->setCurrentIndex(0);
        options->StyleCombo()->setCurrentIndex(0);
        options->accept();
    });
    EXPECT_FALSE(PrintLabelList(nullptr, {a}, false));
    EXPECT_EQ(rec.OnlyId(), 96);
    EXPECT_EQ(rec.Records().front().kind, TVMessageKind::Information);
}

TEST(LabelCommands, RegisteredCommandsAndRunner)
{
    TempDatabase t;
    RegisterLabelPrinting();
    for (int id : {32795, 32797, 32798, 32799, 32800, 32801, 32811, 32812, 32813})
        EXPECT_NE(FindCommand(id), nullptr) << id;
    EXPECT_TRUE(HasPrintListRunner(QStringLiteral("labels")));
    EXPECT_TRUE(FindCommand(32799)->enabled());
    EXPECT_TRUE(FindCommand(32811)->enabled());
}

namespace {

// Top and bottom rows holding ink (darker than mid-grey), as a share of the
// picture's height; {-1, -1} without ink.
std::pair<double, double> inkRows(const QImage &picture)
{
    const QImage grey = picture.convertToFormat(QImage::Format_Grayscale8);
    int top = -1, bottom = -1;
    for (int y = 0; y < grey.height(); ++y) {
        const uchar *line = grey.constScanLine(y);
        for (int x = 0; x < grey.width(); ++x)
            if (line[x] < 128) {
                if (top < 0)
                    top = y;
                bottom = y;
                break;
            }
    }
    if (top < 0)
        return {-1, -1};
    return {double(top) / grey.height(), double(bottom + 1) / grey.height()};
}

} // namespace

TEST(LabelPreviewDialog, TextStandsToTheLabelAsOnThePrintout)
{
    TempDatabase t;
    MessageRecorder rec;
    struct Sheet {
        const char *name;
        double a, b, d, e;
        int m, n;
        double paperW, paperH;
    };
    // 80 × 40 mm with one label, A4 with 3 × 8, and a sheet 300 mm wide (turned A3-like paper).
    const Sheet sheets[] = {{"single", 0, 80, 0, 40, 1, 1, 80, 40},
                            {"a4", 7.2, 63.5, 12.9, 33.9, 8, 3, 210, 297},
                            {"wide", 5, 95, 5, 90, 2, 3, 195, 300}};
    for (const Sheet &s : sheets) {
        LabelJob job;
        job.size.name = QString::fromLatin1(s.name);
        job.size.A = s.a;
        job.size.B = s.b;
        job.size.D = s.d;
        job.size.E = s.e;
        job.size.M = s.m;
        job.size.N = s.n;
        job.size.paperWidth = s.paperW;
        job.size.paperHeight = s.paperH;
        job.calibration.landscape = std::string(s.name) == "wide"; // 300 mm across
        job.style = standardStyle(t.db());
        job.style.printFrame = false;
        AddressEntry a;
        a.id = 1;
        a.name = QStringLiteral("Ingrid Weber");
        a.street = QStringLiteral("Hauptstr. 12");
        a.town = QStringLiteral("Munich");
        a.zip = QStringLiteral("80331");
        a.country = QStringLiteral("GERMANY");
        job.addresses = {a};

        const QString pdf = t.dir() + QStringLiteral("/%1.pdf").arg(job.size.name);
        SetPdfOutputFile(pdf);
        const QString saved = AppContext::CurrentPrinter();
        AppContext::SetCurrentPrinter(PdfPrinterName());
        auto printer = CreatePrinterDC(nullptr, job.calibration.landscape,
                                       PaperRequest::ForLabelSheet(s.paperW, s.paperH));
        ASSERT_TRUE(printer);
        const DeviceMetrics metrics = MetricsOf(*printer);
        ASSERT_TRUE(LabelPrinter(job, metrics).Print(*printer, nullptr));
        SetPdfOutputFile(QString());
        AppContext::SetCurrentPrinter(saved);
        const QImage printed = RenderPdfPage(pdf, 150);
        ASSERT_FALSE(printed.isNull()) << s.name;

        LabelPreviewDialog d(nullptr, job, metrics);
        d.resize(1100, 1100);
        d.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
        const QImage preview = d.Canvas()->Picture();
        ASSERT_FALSE(preview.isNull());

        // The address block's height against the page's, and where it starts.
        const auto [pTop, pBottom] = inkRows(printed);
        const auto [vTop, vBottom] = inkRows(preview);
        ASSERT_GT(pBottom, pTop) << s.name;
        ASSERT_GT(vBottom, vTop) << s.name;
        EXPECT_NEAR((vBottom - vTop) / (pBottom - pTop), 1.0, 0.05) << s.name;
        EXPECT_NEAR(vTop, pTop, 0.02) << s.name;
    }
    EXPECT_TRUE(rec.Empty());
}
