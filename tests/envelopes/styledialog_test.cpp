// The envelope style dialogs: validation messages, the return mode rules,
// the logo stored as a 24-bit JPEG file, the font rows, the lists, and the
// print options dialog.
#include "envelopeoptionsdialog.h"
#include "envelopestyledialog.h"
#include "fontrow.h"
#include "recordsets.h"
#include "testsupport.h"
#include "tvimagedlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <QTextCursor>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

// How the LOGO column of a style is stored: "null", "blob" (with bytes) or
// another type name ("blob" of no bytes is "empty").
std::string logoStorage(CDatabase &db, const QString &name)
{
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(db.Handle(), "SELECT typeof(LOGO), length(LOGO) FROM ENVSTYLE WHERE ENVSTYLE_NAME = ?", -1,
                           &stmt, nullptr) != SQLITE_OK)
        return "error";
    const QByteArray utf8 = name.toUtf8();
    sqlite3_bind_text(stmt, 1, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    std::string result = "missing";
    if (sqlite3_step(stmt) == SQLITE_ROW) {
        result = reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0));
        if (result == "blob" && sqlite3_column_int(stmt, 1) == 0)
            result = "empty";
    }
    sqlite3_finalize(stmt);
    return result;
}

struct StoredStyle {
    bool found = false;
    EnvelopeStyle style;
    QByteArray logo;
};

StoredStyle stored(CDatabase &db, const QString &name)
{
    StoredStyle s;
    CSetEnvstyle set(&db);
    set.Open(QStringLiteral("SELECT * FROM ENVSTYLE WHERE ENVSTYLE_NAME = '%1'").arg(name));
    if (!set.IsEOF()) {
        s.found = true;
        s.style = EnvelopeStyle::FromRecord(set);
        s.logo = set.m_LOGO;
    }
    return s;
}

int styleCount(CDatabase &db)
{
    CSetEnvstyle set(&db);
    set.Open(QStringLiteral("SELECT * FROM ENVSTYLE"));
    return int(set.GetRecordCount());
}

CTVImage pngLogo(int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(QColor(0, 0, 255, 255));
    for (int x = 0; x < w / 2; ++x)
        image.setPixelColor(x, 0, QColor(255, 0, 0, 0)); // a transparent row start
    QByteArray png;
    CTVImage source(image);
    EXPECT_TRUE(source.Encode(png, TVImageFormat::Png));
    CTVImage decoded;
    EXPECT_TRUE(decoded.Decode(png, TVImageFormat::Unknown));
    return decoded;
}

struct ChooserGuard {
    explicit ChooserGuard(FontRow::Chooser c) : previous(FontRow::SetChooser(std::move(c))) {}
    ~ChooserGuard() { FontRow::SetChooser(previous); }
    FontRow::Chooser previous;
};

} // namespace

TEST(EnvelopeStyleDialog, NewStyleDefaultsAndSaving)
{
    TempDatabase temp;
    MessageRecorder messages;
    EnvelopeStyleDialog dialog(nullptr, temp.db());
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Setting envelope style"));
    EXPECT_TRUE(dialog.ReturnRadio(RETURN_NOTHING)->isChecked());
    EXPECT_TRUE(dialog.HorizontalRadio(HORZ_LEFT)->isChecked());
    EXPECT_TRUE(dialog.VerticalRadio(VERT_TOP)->isChecked());
    EXPECT_FALSE(dialog.PaddingField()->isEnabled());
    EXPECT_EQ(dialog.Font(ADDR_NAME)->DescriptionField()->text(), QStringLiteral("Times New Roman, 12pt"));
    EXPECT_EQ(dialog.NameField()->maxLength(), 64);
    EXPECT_EQ(dialog.PaddingField()->maxLength(), 8);

    ChooserGuard guard([](QWidget *, FontSpec &s) {
        s.lfFaceName = QStringLiteral("Arial");
        s.lfHeight = 105; // 10.5 pt
        s.color = 0x0000FF;
        return true;
    });
    dialog.Font(ADDR_ZIP)->ChangeButton()->click();
    dialog.VerticalRadio(VERT_EXPAND)->setChecked(true);
    dialog.HorizontalRadio(HORZ_CENTER)->setChecked(true);
    dialog.JoinZipCheck()->setChecked(true);
    dialog.NameField()->setText(QStringLiteral("  Company  "));
    dialog.OkButton()->click();
    EXPECT_TRUE(messages.Empty());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    const StoredStyle s = stored(temp.db(), QStringLiteral("Company"));
    ASSERT_TRUE(s.found);
    EXPECT_EQ(s.style.vertical, VERT_EXPAND);
    EXPECT_EQ(s.style.horizontal, HORZ_CENTER);
    EXPECT_TRUE(s.style.joinZip);
    EXPECT_EQ(s.style.returnMode, RETURN_NOTHING);
    EXPECT_EQ(s.style.fonts[LINE_ZIP].lfHeight, 105);
    EXPECT_EQ(s.style.fonts[LINE_ZIP].lfFaceName, QStringLiteral("Arial"));
    EXPECT_EQ(s.style.fonts[LINE_ZIP].color, 0x0000FFu);
    EXPECT_EQ(s.style.fonts[LINE_NAME].lfWeight, 0);
    EXPECT_EQ(s.style.fonts[LINE_NAME].lfCharSet, 1);
    EXPECT_TRUE(s.logo.isEmpty());
    EXPECT_EQ(s.style.id, dialog.Style().id);
}

TEST(EnvelopeStyleDialog, BorderPaddingRange)
{
    TempDatabase temp;
    MessageRecorder messages;
    EnvelopeStyleDialog dialog(nullptr, temp.db());
    dialog.NameField()->setText(QStringLiteral("Framed"));
    dialog.BorderCheck()->setChecked(true);
    EXPECT_TRUE(dialog.PaddingField()->isEnabled());
    dialog.PaddingField()->setText(QStringLiteral("100.5"));
    dialog.OkButton()->click();
    EXPECT_EQ(messages.OnlyId(), 95);
    EXPECT_TRUE(dialog.isVisible() || dialog.result() != QDialog::Accepted);
    EXPECT_FALSE(stored(temp.db(), QStringLiteral("Framed")).found);
    messages.Clear();
    dialog.PaddingField()->setText(QString());
    dialog.OkButton()->click();
    EXPECT_EQ(messages.OnlyId(), 95);
    messages.Clear();
    dialog.PaddingField()->setText(QStringLiteral(" 100 "));
    dialog.OkButton()->click();
    EXPECT_TRUE(messages.Empty());
    const StoredStyle s = stored(temp.db(), QStringLiteral("Framed"));
    ASSERT_TRUE(s.found);
    EXPECT_TRUE(s.style.printFrame);
    EXPECT_DOUBLE_EQ(s.style.offset, 100.0);
}

TEST(EnvelopeStyleDialog, BorderOffIgnoresThePadding)
{
    TempDatabase temp;
    MessageRecorder messages;
    EnvelopeStyleDialog dialog(nullptr, temp.db());
    dialog.NameField()->setText(QStringLiteral("Plain"));
    dialog.BorderCheck()->setChecked(true);
    dialog.PaddingField()->setText(QStringLiteral("nonsense"));
    dialog.BorderCheck()->setChecked(false);
    EXPECT_TRUE(dialog.PaddingField()->text().isEmpty());
    EXPECT_FALSE(dialog.PaddingField()->isEnabled());
    dialog.OkButton()->click();
    EXPECT_TRUE(messages.Empty());
    const StoredStyle s = stored(temp.db(), QStringLiteral("Plain"));
    ASSERT_TRUE(s.found);
    EXPECT_FALSE(s.style.printFrame);
    EXPECT_DOUBLE_EQ(s.style.offset, 0.0);
}

TEST(EnvelopeStyleDialog, NameMessages)
{
    TempDatabase temp;
    MessageRecorder messages;
    EnvelopeStyleDialog dialog(nullptr, temp.db());
    dialog.NameField()->setText(QStringLiteral("   "));
    dialog.OkButton()->click();
    EXPECT_EQ(messages.OnlyId(), 78);
    messages.Clear();
    dialog.NameField()->setText(QStringLiteral("standard")); // names compare without letter case
    dialog.OkButton()->click();
    EXPECT_EQ(messages.OnlyId(), 79);
    EXPECT_EQ(styleCount(temp.db()), 1);
}

TEST(EnvelopeStyleDialog, EditKeepsItsOwnNameAndReadsTheRow)
{
    TempDatabase temp;
    MessageRecorder messages;
    const StoredStyle standard = stored(temp.db(), QStringLiteral("Standard"));
    ASSERT_TRUE(standard.found);
    EnvelopeStyleDialog dialog(nullptr, temp.db(), standard.style.id);
    ASSERT_TRUE(dialog.Loaded());
    EXPECT_EQ(dialog.NameField()->text(), QStringLiteral("Standard"));
    EXPECT_EQ(dialog.Font(ADDR_NAME)->DescriptionField()->text(), QStringLiteral("Times New Roman, 12pt, bold"));
    dialog.VerticalRadio(VERT_BOTTOM)->setChecked(true);
    dialog.OkButton()->click();
    EXPECT_TRUE(messages.Empty());
    EXPECT_EQ(stored(temp.db(), QStringLiteral("Standard")).style.vertical, VERT_BOTTOM);
    EXPECT_EQ(styleCount(temp.db()), 1);

    EnvelopeStyleDialog missing(nullptr, temp.db(), 4711);
    EXPECT_FALSE(missing.Loaded());
    EXPECT_EQ(missing.exec(), QDialog::Rejected);
    EXPECT_EQ(messages.OnlyId(), 8);
}

TEST(EnvelopeStyleDialog, LogoModeWithoutPictureSavesNothing)
{
    TempDatabase temp;
    MessageRecorder messages;
    EnvelopeStyleDialog dialog(nullptr, temp.db());
    dialog.NameField()->setText(QStringLiteral("No logo"));
    dialog.ReturnRadio(RETURN_LOGO)->setChecked(true);
    dialog.OkButton()->click();
    EXPECT_TRUE(messages.Empty());
    EXPECT_TRUE(dialog.ReturnRadio(RETURN_NOTHING)->isChecked());
    const StoredStyle s = stored(temp.db(), QStringLiteral("No logo"));
    ASSERT_TRUE(s.found);
    EXPECT_EQ(s.style.returnMode, RETURN_NOTHING);
    EXPECT_TRUE(s.logo.isEmpty());
    EXPECT_EQ(logoStorage(temp.db(), QStringLiteral("No logo")), "null");
}

TEST(EnvelopeStyleDialog, BlankReturnAddressFallsBackToNothing)
{
    TempDatabase temp;
    MessageRecorder messages;
    EnvelopeStyleDialog dialog(nullptr, temp.db());
    dialog.NameField()->setText(QStringLiteral("Blank"));
    dialog.ReturnRadio(RETURN_ADDRESS)->setChecked(true);
    dialog.SetReturnAddress(QStringLiteral("  \r\n \r\n "), FontSpec(), false, 0);
    dialog.OkButton()->click();
    const StoredStyle s = stored(temp.db(), QStringLiteral("Blank"));
    ASSERT_TRUE(s.found);
    EXPECT_EQ(s.style.returnMode, RETURN_NOTHING);
    EXPECT_TRUE(s.style.returnText.isEmpty());
}

TEST(EnvelopeStyleDialog, ReturnAddressIsStoredWithItsFont)
{
    TempDatabase temp;
    MessageRecorder messages;
    EnvelopeStyleDialog dialog(nullptr, temp.db());
    dialog.NameField()->setText(QStringLiteral("Sender"));
    dialog.ReturnRadio(RETURN_ADDRESS)->setChecked(true);
    FontSpec font;
    font.lfHeight = 90;
    dialog.SetReturnAddress(QStringLiteral("Sender Ltd\r\nMain Street 1"), font, true, 1.5);
    dialog.SetLogo(pngLogo(10, 10)); // dropped: the mode is the address
    dialog.OkButton()->click();
    const StoredStyle s = stored(temp.db(), QStringLiteral("Sender"));
    ASSERT_TRUE(s.found);
    EXPECT_EQ(s.style.returnMode, RETURN_ADDRESS);
    EXPECT_EQ(s.style.returnText, QStringLiteral("Sender Ltd\r\nMain Street 1"));
    EXPECT_EQ(s.style.fonts[LINE_RETURN].lfHeight, 90);
    EXPECT_TRUE(s.style.frameReturn);
    EXPECT_DOUBLE_EQ(s.style.offsetReturn, 1.5);
    EXPECT_TRUE(s.logo.isEmpty());
}

TEST(EnvelopeStyleDialog, PngLogoReadsBackAsJpegOfTheSameSize)
{
    TempDatabase temp;
    MessageRecorder messages;
    std::int32_t id = 0;
    {
        EnvelopeStyleDialog dialog(nullptr, temp.db());
        dialog.NameField()->setText(QStringLiteral("Logo"));
        dialog.ReturnRadio(RETURN_LOGO)->setChecked(true);
        dialog.SetReturnAddress(QStringLiteral("dropped"), FontSpec(), false, 0);
        dialog.SetLogo(pngLogo(123, 45));
        dialog.OkButton()->click();
        EXPECT_TRUE(messages.Empty());
        id = dialog.Style().id;
    }
    StoredStyle s = stored(temp.db(), QStringLiteral("Logo"));
    ASSERT_TRUE(s.found);
    EXPECT_EQ(s.style.returnMode, RETURN_LOGO);
    EXPECT_TRUE(s.style.returnText.isEmpty());
    ASSERT_TRUE(CTVImage::IsCompleteJpeg(s.logo));
    QImage jpeg;
    ASSERT_TRUE(jpeg.loadFromData(s.logo, "JPEG"));
    EXPECT_EQ(jpeg.size(), QSize(123, 45));
    EXPECT_FALSE(jpeg.hasAlphaChannel());
    // Transparent parts lie on white.
    EXPECT_GT(qGray(jpeg.pixel(2, 0)), 200);
    EXPECT_EQ(logoStorage(temp.db(), QStringLiteral("Logo")), "blob");

    // Edit reads it back; switching to "No return address" clears LOGO.
    EnvelopeStyleDialog edit(nullptr, temp.db(), id);
    ASSERT_TRUE(edit.Loaded());
    EXPECT_TRUE(edit.ReturnRadio(RETURN_LOGO)->isChecked());
    EXPECT_EQ(edit.Style().logo.GetWidth(), 123);
    edit.ReturnRadio(RETURN_NOTHING)->setChecked(true);
    edit.OkButton()->click();
    s = stored(temp.db(), QStringLiteral("Logo"));
    EXPECT_EQ(s.style.returnMode, RETURN_NOTHING);
    EXPECT_TRUE(s.logo.isEmpty());
    EXPECT_EQ(logoStorage(temp.db(), QStringLiteral("Logo")), "null");
}

TEST(EnvelopeStyleDialog, PaletteLogoIsStoredAs24BitJpeg)
{
    QImage indexed(16, 8, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(255, 0, 0), qRgb(0, 255, 0)});
    indexed.fill(1);
    QByteArray jpeg;
    ASSERT_TRUE(EncodeLogo(CTVImage(indexed), jpeg));
    CTVImage back;
    ASSERT_TRUE(back.Decode(jpeg, TVImageFormat::Jpeg));
    EXPECT_EQ(back.GetBpp(), 24);
    EXPECT_EQ(back.GetWidth(), 16);
    QImage rgb565(8, 8, QImage::Format_RGB16);
    rgb565.fill(Qt::green);
    ASSERT_TRUE(EncodeLogo(CTVImage(rgb565), jpeg));
    ASSERT_TRUE(back.Decode(jpeg, TVImageFormat::Jpeg));
    EXPECT_EQ(back.GetBpp(), 24);
    EXPECT_FALSE(EncodeLogo(CTVImage(), jpeg));
}

TEST(EnvelopeStyleDialog, UndecodableLogoStopsTheEdit)
{
    TempDatabase temp;
    MessageRecorder messages;
    std::int32_t id = 0;
    {
        CSetEnvstyle set(&temp.db());
        set.Open(QStringLiteral("SELECT * FROM ENVSTYLE"));
        id = set.m_ID_ENVSTYLE_ENVSTYLE;
        set.Edit();
        set.m_RETURN = RETURN_LOGO;
        set.m_LOGO = QByteArray("\xFF\xD8\xFF not a picture");
        set.Update();
    }
    EnvelopeStyleDialog dialog(nullptr, temp.db(), id);
    EXPECT_FALSE(dialog.Loaded());
    EXPECT_EQ(messages.OnlyId(), 9);
}

TEST(ReturnAddressDialog, PaddingAndText)
{
    MessageRecorder messages;
    ReturnAddressDialog dialog(nullptr, QStringLiteral("A\r\nB"), FontSpec(), false, 0);
    EXPECT_EQ(dialog.TextField()->toPlainText(), QStringLiteral("A\nB"));
    EXPECT_TRUE(dialog.PaddingField()->text().isEmpty());
    EXPECT_FALSE(dialog.PaddingField()->isEnabled());
    dialog.FrameCheck()->setChecked(true);
    EXPECT_EQ(dialog.PaddingField()->text(), QStringLiteral("0.00"));
    dialog.PaddingField()->setText(QStringLiteral("101"));
    dialog.OkButton()->click();
    EXPECT_EQ(messages.OnlyId(), 109);
    messages.Clear();
    dialog.PaddingField()->setText(QStringLiteral("2,5"));
    dialog.TextField()->setPlainText(QStringLiteral("  Sender\n Street  \n\n"));
    dialog.OkButton()->click();
    EXPECT_TRUE(messages.Empty());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Text(), QStringLiteral("Sender\r\n Street"));
    EXPECT_TRUE(dialog.Frame());
    EXPECT_DOUBLE_EQ(dialog.Padding(), 2.5);

    ReturnAddressDialog framed(nullptr, QString(), FontSpec(), true, 3);
    EXPECT_EQ(framed.PaddingField()->text(), QStringLiteral("3.00"));
}

TEST(ReturnAddressDialog, AtMost255Characters)
{
    ReturnAddressDialog dialog(nullptr, QString(254, u'x'), FontSpec(), false, 0);
    dialog.show();
    QTextCursor atEnd = dialog.TextField()->textCursor();
    atEnd.movePosition(QTextCursor::End);
    dialog.TextField()->setTextCursor(atEnd);
    QTest::keyClicks(dialog.TextField(), QStringLiteral("yz"));
    EXPECT_EQ(dialog.StoredText().size(), 255);
    EXPECT_EQ(dialog.StoredText().right(2), QStringLiteral("xy"));
    // A line break is stored as CR LF: two characters.
    ReturnAddressDialog breaks(nullptr, QString(253, u'x'), FontSpec(), false, 0);
    breaks.show();
    QTextCursor end = breaks.TextField()->textCursor();
    end.movePosition(QTextCursor::End);
    breaks.TextField()->setTextCursor(end);
    QTest::keyClick(breaks.TextField(), Qt::Key_Return);
    EXPECT_EQ(breaks.StoredText().size(), 255);
    QTest::keyClick(breaks.TextField(), Qt::Key_A);
    EXPECT_EQ(breaks.StoredText().size(), 255);
}

TEST(LogoDialog, ThumbnailOnWhiteAndOwnCopy)
{
    CTVImage logo = pngLogo(400, 100);
    LogoDialog dialog(nullptr, logo);
    ASSERT_TRUE(dialog.Ready());
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Choosing logo"));
    EXPECT_EQ(dialog.Thumbnail().GetWidth(), LogoDialog::PictureSize().width());
    EXPECT_EQ(dialog.Thumbnail().GetHeight(), LogoDialog::PictureSize().height());
    EXPECT_EQ(dialog.Thumbnail().Image().pixelColor(5, 5), QColor(Qt::white)); // above the picture
    EXPECT_EQ(dialog.Image().GetWidth(), 400); // kept at its own size
    ASSERT_TRUE(dialog.SetImage(pngLogo(30, 60)));
    EXPECT_EQ(dialog.Image().GetHeight(), 60);
    EXPECT_EQ(logo.GetWidth(), 400);
    LogoDialog empty(nullptr, CTVImage());
    EXPECT_TRUE(empty.Ready());
    EXPECT_FALSE(empty.Thumbnail().IsValid());
    EXPECT_EQ(empty.Picture()->GetImage(), nullptr);
}

TEST(EnvelopeStyleList, MessagesAndDelete)
{
    TempDatabase temp;
    MessageRecorder messages;
    EnvelopeStyle extra = EnvelopeStyle::Defaults();
    extra.name = QStringLiteral("Another");
    ASSERT_TRUE(SaveEnvelopeStyle(temp.db(), extra, true));
    {
        EnvelopeStyleListDialog edit(nullptr, temp.db(), EnvelopeStyleListDialog::Action::Edit);
        EXPECT_EQ(edit.Names(), (QStringList{"Another", "Standard"}));
        edit.OkButton()->click();
        EXPECT_EQ(messages.OnlyId(), 80);
    }
    messages.Clear();
    EnvelopeStyleListDialog remove(nullptr, temp.db(), EnvelopeStyleListDialog::Action::Delete);
    EXPECT_EQ(remove.OkButton()->text(), QStringLiteral("  Delete"));
    remove.OkButton()->click();
    EXPECT_EQ(messages.OnlyId(), 81);
    messages.Clear();
    ASSERT_TRUE(remove.SelectName(QStringLiteral("Another")));
    messages.Queue(TVB_NO);
    remove.OkButton()->click();
    EXPECT_EQ(messages.OnlyId(), 82);
    EXPECT_EQ(styleCount(temp.db()), 2);
    messages.Clear();
    messages.Queue(TVB_YES);
    remove.OkButton()->click();
    EXPECT_EQ(messages.OnlyId(), 82);
    EXPECT_EQ(remove.result(), QDialog::Accepted);
    EXPECT_EQ(styleCount(temp.db()), 1);
    EXPECT_FALSE(stored(temp.db(), QStringLiteral("Another")).found);
}

TEST(EnvelopePrintOptions, ChecksAndThePair)
{
    TempDatabase temp;
    MessageRecorder messages;
    {
        EnvelopePrintOptionsDialog dialog(nullptr, temp.db());
        ASSERT_TRUE(dialog.Loaded());
        EXPECT_EQ(dialog.SizeCombo()->currentIndex(), -1);
        EXPECT_EQ(dialog.SizeCombo()->itemText(0), QStringLiteral("C4 (324 x 229 mm)"));
        EXPECT_TRUE(dialog.CollateNo()->isChecked());
        EXPECT_EQ(dialog.CopiesField()->text(), QStringLiteral("1"));
        EXPECT_EQ(dialog.CopiesField()->maxLength(), 10);
        dialog.OkButton()->click();
        EXPECT_EQ(messages.OnlyId(), 92);
        messages.Clear();
        dialog.SizeCombo()->setCurrentIndex(dialog.SizeCombo()->findText(QStringLiteral("DL (220 x 110 mm)")));
        dialog.OkButton()->click();
        EXPECT_EQ(messages.OnlyId(), 93);
        messages.Clear();
        dialog.StyleCombo()->setCurrentIndex(0);
        for (const char *bad : {"0", "1001", "two", ""}) {
            dialog.CopiesField()->setText(QString::fromLatin1(bad));
            dialog.OkButton()->click();
            EXPECT_EQ(messages.OnlyId(), 94) << bad;
            messages.Clear();
        }
        dialog.CopiesField()->setText(QStringLiteral(" 3 "));
        dialog.CollateYes()->setChecked(true);
        dialog.OkButton()->click();
        EXPECT_TRUE(messages.Empty());
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(dialog.Copies(), 3);
        EXPECT_TRUE(dialog.Collate());
        EXPECT_EQ(dialog.Size().name, QStringLiteral("DL (220 x 110 mm)"));
        EXPECT_EQ(dialog.Style().name, QStringLiteral("Standard"));
        const EnvelopePair pair = ReadEnvelopePair(temp.db());
        EXPECT_EQ(pair.size, dialog.Size().id);
        EXPECT_EQ(pair.style, dialog.Style().id);
    }
    EnvelopePrintOptionsDialog again(nullptr, temp.db());
    EXPECT_EQ(again.SizeCombo()->currentText(), QStringLiteral("DL (220 x 110 mm)"));
    EXPECT_EQ(again.StyleCombo()->currentText(), QStringLiteral("Standard"));
}

TEST(EnvelopePrintOptions, UndecodableLogoCancelsAfterWritingThePair)
{
    TempDatabase temp;
    MessageRecorder messages;
    std::int32_t id = 0;
    {
        CSetEnvstyle set(&temp.db());
        set.Open(QStringLiteral("SELECT * FROM ENVSTYLE"));
        id = set.m_ID_ENVSTYLE_ENVSTYLE;
        set.Edit();
        set.m_RETURN = RETURN_LOGO;
        set.m_LOGO = QByteArray("broken");
        set.Update();
    }
    EnvelopePrintOptionsDialog dialog(nullptr, temp.db());
    dialog.SizeCombo()->setCurrentIndex(0);
    dialog.StyleCombo()->setCurrentIndex(0);
    dialog.OkButton()->click();
    EXPECT_EQ(messages.OnlyId(), 9);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(ReadEnvelopePair(temp.db()).style, id);
}
