// The font rows and the preview canvas that both style dialogs and both
// previews use.
#include "fontrow.h"
#include "previewcanvas.h"

#include <QDoubleSpinBox>
#include <QFontDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QFontDatabase>
#include <QListView>
#include <gtest/gtest.h>

namespace {

struct ChooserGuard {
    explicit ChooserGuard(FontRow::Chooser c) : previous(FontRow::SetChooser(std::move(c))) {}
    ~ChooserGuard() { FontRow::SetChooser(previous); }
    FontRow::Chooser previous;
};

int darkPixels(const QImage &image, const QRect &area)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qGray(image.pixel(x, y)) < 128)
                ++n;
    return n;
}

} // namespace

TEST(FontDescription, FaceSizeAndEffects)
{
    FontSpec spec;
    EXPECT_EQ(FontDescription(spec), QStringLiteral("Times New Roman, 12pt"));
    spec.lfHeight = 105;
    spec.lfWeight = 700;
    spec.lfItalic = true;
    EXPECT_EQ(FontDescription(spec), QStringLiteral("Times New Roman, 10pt, bold, italic"));
    spec.lfWeight = 600; // only exactly 700 is bold
    spec.lfItalic = false;
    spec.lfUnderline = true;
    spec.lfStrikeOut = true;
    EXPECT_EQ(FontDescription(spec), QStringLiteral("Times New Roman, 10pt, underline, strikeout"));
}

TEST(FontSpecFromDialog, TenthsOfAPointAndEffects)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(10.5);
    font.setBold(true);
    font.setUnderline(true);
    FontSpec base;
    base.lfCharSet = 1;
    const FontSpec spec = SpecFromFont(font, 0x0000FF, base);
    EXPECT_EQ(spec.lfHeight, 105);
    EXPECT_EQ(spec.lfWeight, 700);
    EXPECT_TRUE(spec.lfUnderline);
    EXPECT_FALSE(spec.lfItalic);
    EXPECT_EQ(spec.lfFaceName, QStringLiteral("Arial"));
    EXPECT_EQ(spec.color, 0x0000FFu);
    EXPECT_EQ(spec.lfCharSet, 1);
    // And the dialog opens at the stored size.
    EXPECT_DOUBLE_EQ(ScreenFontFromSpec(spec).pointSizeF(), 10.5);
}

TEST(FontChoiceDialog, ReturnsTheChosenFontAndColour)
{
    FontSpec spec;
    spec.lfHeight = 140;
    FontChoiceDialog dialog(nullptr, spec);
    EXPECT_DOUBLE_EQ(dialog.SizePart()->value(), 14.0);
    QFont chosen(QStringLiteral("Liberation Sans"));
    chosen.setPointSize(10);
    chosen.setItalic(true);
    dialog.FontPart()->setCurrentFont(chosen);
    EXPECT_DOUBLE_EQ(dialog.SizePart()->value(), 10.0); // the dialog keeps whole points
    dialog.SizePart()->setValue(10.5);
    dialog.SetColor(0x00FF00);
    const FontSpec out = dialog.Spec();
    EXPECT_EQ(out.lfHeight, 105);
    EXPECT_TRUE(out.lfItalic);
    EXPECT_EQ(out.color, 0x00FF00u);
}

// OK without a change gives back the stored font exactly, for every family
// installed here and for the faces the seeded styles name (which fontconfig
// may only stand in for), regular, bold and italic.
TEST(FontChoiceDialog, OkWithoutAChangeKeepsTheStoredFont)
{
    QStringList families = QFontDatabase::families();
    families << QStringLiteral("Times New Roman") << QStringLiteral("Arial") << QStringLiteral("Courier New");
    int checked = 0;
    for (const QString &family : families) {
        if (QFontDatabase::isPrivateFamily(family))
            continue;
        for (int style = 0; style < 3; ++style) {
            FontSpec spec;
            spec.lfFaceName = family.left(31);
            spec.lfHeight = 105;
            spec.lfWeight = style == 1 ? 700 : 400;
            spec.lfItalic = style == 2;
            spec.color = 0x123456;
            FontChoiceDialog dialog(nullptr, spec);
            EXPECT_EQ(dialog.Spec(), spec) << family.toStdString() << " style " << style;
            ++checked;
        }
    }
    EXPECT_GE(checked, 9);
}

// A family picked with the mouse in the dialog's family list replaces the
// face; a size typed alone keeps the stored face, even one the list lacks.
TEST(FontChoiceDialog, OnlyWhatTheUserChangesIsTaken)
{
    FontSpec spec; // Times New Roman 12 pt
    spec.lfWeight = 700;
    {
        FontChoiceDialog dialog(nullptr, spec);
        dialog.SizePart()->setValue(9.5);
        const FontSpec out = dialog.Spec();
        EXPECT_EQ(out.lfFaceName, spec.lfFaceName);
        EXPECT_EQ(out.lfWeight, 700);
        EXPECT_EQ(out.lfHeight, 95);
    }
    FontChoiceDialog dialog(nullptr, spec);
    dialog.show();
    QListView *familyList = dialog.FontPart()->findChildren<QListView *>().value(0);
    ASSERT_TRUE(familyList);
    const QString shown = dialog.FontPart()->currentFont().family();
    QModelIndex other;
    for (int row = 0; row < familyList->model()->rowCount() && !other.isValid(); ++row) {
        const QModelIndex index = familyList->model()->index(row, 0);
        if (index.data().toString() != shown)
            other = index;
    }
    ASSERT_TRUE(other.isValid());
    familyList->scrollTo(other);
    QTest::mouseClick(familyList->viewport(), Qt::LeftButton, {}, familyList->visualRect(other).center());
    const FontSpec out = dialog.Spec();
    EXPECT_EQ(out.lfFaceName, other.data().toString().left(31));
    EXPECT_EQ(out.lfHeight, 120);
}

TEST(FontRow, ChangeStoresTheChoiceAndRefreshes)
{
    FontRow row(QStringLiteral("Name (company name)"));
    FontSpec spec;
    row.SetSpec(spec);
    EXPECT_EQ(row.DescriptionField()->text(), QStringLiteral("Times New Roman, 12pt"));
    EXPECT_TRUE(row.DescriptionField()->isReadOnly());
    ChooserGuard guard([](QWidget *, FontSpec &s) {
        s.lfHeight = 105;
        s.lfWeight = 700;
        s.color = 0x0000FF;
        return true;
    });
    QSignalSpy changed(&row, &FontRow::Changed);
    QTest::mouseClick(row.ChangeButton(), Qt::LeftButton);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(row.Spec().lfHeight, 105);
    EXPECT_EQ(row.DescriptionField()->text(), QStringLiteral("Times New Roman, 10pt, bold"));
    EXPECT_EQ(row.Preview()->Spec().color, 0x0000FFu);
}

TEST(FontRow, CancelChangesNothing)
{
    FontRow row(QStringLiteral("ZIP"));
    ChooserGuard guard([](QWidget *, FontSpec &s) {
        s.lfHeight = 300;
        return false;
    });
    EXPECT_FALSE(row.Change());
    EXPECT_EQ(row.Spec().lfHeight, 120);
}

TEST(FontPreview, SampleTextInTheColourOnWhite)
{
    FontPreview preview;
    FontSpec spec;
    spec.lfHeight = 140;
    spec.color = 0x0000FF; // red
    preview.SetSpec(spec);
    preview.resize(200, 40);
    const QImage image = preview.grab().toImage();
    EXPECT_EQ(image.pixelColor(image.width() - 3, 3), QColor(Qt::white));
    int red = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 150 && c.green() < 100 && c.blue() < 100)
                ++red;
        }
    EXPECT_GT(red, 20);
}

TEST(PreviewCanvas, FitsByProportions)
{
    EXPECT_EQ(PreviewCanvas::FitPicture({220, 110}, {600, 200}), QSize(400, 200));
    EXPECT_EQ(PreviewCanvas::FitPicture({220, 110}, {300, 400}), QSize(300, 150));
    EXPECT_EQ(PreviewCanvas::FitPicture({210, 297}, {500, 500}), QSize(353, 500));
    EXPECT_EQ(PreviewCanvas::FitPicture({0, 110}, {300, 400}), QSize(0, 0));
}

TEST(PreviewCanvas, CentresThePictureAndDrawsThePage)
{
    PreviewCanvas canvas;
    canvas.resize(600, 200);
    canvas.SetPageExtent({2200, 1100});
    canvas.SetProportions({220, 110});
    int painted = -1;
    canvas.SetPainter([&](PrintDevice &device, int page) {
        painted = page;
        device.FillRect(QRect(0, 0, 1100, 550), 0); // the top-left quarter black
    });
    EXPECT_TRUE(canvas.Picture().isNull()); // no page yet
    canvas.SetPage(2);
    EXPECT_EQ(canvas.PictureRect(), QRect(100, 0, 400, 200));
    const QImage picture = canvas.Picture();
    EXPECT_EQ(painted, 2);
    ASSERT_EQ(picture.size(), QSize(400, 200));
    EXPECT_EQ(darkPixels(picture, QRect(0, 0, 200, 100)), 200 * 100);
    EXPECT_EQ(darkPixels(picture, QRect(200, 0, 200, 200)), 0);
    EXPECT_EQ(darkPixels(picture, QRect(0, 100, 200, 100)), 0);
    const QImage shown = canvas.grab().toImage();
    EXPECT_EQ(qGray(shown.pixel(110, 10)), 0);
    EXPECT_EQ(qGray(shown.pixel(350, 150)), 255);
}
