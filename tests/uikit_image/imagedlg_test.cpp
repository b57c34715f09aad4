// The image-open dialog driven as a user would: folders, filters, the file
// list and its sorting, previews and OK.
#include "imagetest.h"
#include "testsupport.h"
#include "tvimagedlg.h"
#include "tvstrings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

const QString kNoFile = QStringLiteral("No graphics file selected. Please select one.");
const QString kBadFile = QStringLiteral("The selected file is not of a supported graphics format or it is corrupted.");

// A folder of pictures and other files.
class ImageDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        folder = QDir(dir.path()).canonicalPath();
        ASSERT_TRUE(WriteFile(path("photo.jpg"), EncodedWith(SolidImage(64, 32, Qt::red), "jpeg")));
        ASSERT_TRUE(WriteFile(path("PHOTO.JPEG"), EncodedWith(SolidImage(10, 10, Qt::blue), "jpeg")));
        ASSERT_TRUE(WriteFile(path("image.png"), EncodedWith(SolidImage(300, 100, Qt::green), "png")));
        ASSERT_TRUE(WriteFile(path("broken.png"), "This is a text file, not a picture.\n"));
        ASSERT_TRUE(WriteFile(path("README"), "Read me.\n"));
        ASSERT_TRUE(WriteFile(path("big.bmp"), QByteArray(10 * 1024, 'x')));
        ASSERT_TRUE(WriteFile(path("mid.bmp"), QByteArray(2 * 1024, 'x')));
        ASSERT_TRUE(WriteFile(path("Zsmall.bmp"), QByteArray(900, 'x')));
    }

    QString path(const QString &name) const { return folder + QLatin1Char('/') + name; }

    static int FilterIndexOf(const CTVDlgImageOpen &dlg, const QString &text)
    {
        for (std::size_t i = 0; i < dlg.Filters().size(); ++i)
            if (dlg.Filters()[i].text == text)
                return int(i);
        return -1;
    }

    static QPushButton *OkButton(CTVDlgImageOpen &dlg)
    {
        return dlg.findChild<QDialogButtonBox *>("buttons")->button(QDialogButtonBox::Ok);
    }

    static void ClickHeader(CTVDlgImageOpen &dlg, int section)
    {
        auto *list = dlg.findChild<QTreeWidget *>("fileList");
        QHeaderView *header = list->header();
        const QPoint at(header->sectionViewportPosition(section) + header->sectionSize(section) / 2,
                        header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    }

    QTemporaryDir dir;
    QString folder;
};

} // namespace

TEST_F(ImageDialogTest, OpensInTheGivenFolderWithItsColumns)
{
    CTVDlgImageOpen dlg(true, nullptr, folder);
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Open image"));
    EXPECT_EQ(dlg.CurrentFolder(), folder);
    EXPECT_EQ(dlg.FilterIndex(), 0);
    EXPECT_TRUE(dlg.GetFileName().isEmpty());

    auto *list = dlg.findChild<QTreeWidget *>("fileList");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->headerItem()->text(0), QStringLiteral("File name"));
    EXPECT_EQ(list->headerItem()->text(1), QStringLiteral("Size [kB]"));
    EXPECT_EQ(list->columnWidth(0), 139);
    EXPECT_EQ(list->columnWidth(1), 72);

    auto *filter = dlg.findChild<QComboBox *>("filterCombo");
    ASSERT_EQ(filter->count(), 10);
    EXPECT_EQ(filter->itemText(0), QStringLiteral("all supported formats"));
    EXPECT_EQ(filter->itemText(4), QStringLiteral("*.JPG, *.JPEG"));
    EXPECT_EQ(filter->itemText(9), QStringLiteral("all files (*.*)"));

    // The folder tree: the root file system first, then the home folder.
    auto *tree = dlg.findChild<QTreeWidget *>("folderTree");
    ASSERT_GE(tree->topLevelItemCount(), 1);
    EXPECT_EQ(tree->topLevelItem(0)->text(0), QStringLiteral("Local disc (/)"));
    if (QDir::homePath() != QLatin1String("/")) {
        ASSERT_GE(tree->topLevelItemCount(), 2);
        EXPECT_EQ(tree->topLevelItem(1)->text(0), QDir::homePath());
    }
    ASSERT_NE(tree->currentItem(), nullptr);
    EXPECT_EQ(tree->currentItem()->text(0), QFileInfo(folder).fileName());
}

TEST_F(ImageDialogTest, StartsInTheHomeFolderWithoutAValidStartFolder)
{
    CTVDlgImageOpen dlg(true, nullptr, folder + "/does-not-exist");
    EXPECT_EQ(dlg.CurrentFolder(), QDir::cleanPath(QDir::homePath()));
    CTVDlgImageOpen plain;
    EXPECT_EQ(plain.CurrentFolder(), QDir::cleanPath(QDir::homePath()));
}

TEST_F(ImageDialogTest, JpegFilterListsBothSpellingsAndNothingElse)
{
    CTVDlgImageOpen dlg(true, nullptr, folder);
    dlg.SetFilterIndex(FilterIndexOf(dlg, "*.JPG, *.JPEG"));
    QStringList listed = dlg.ListedFiles();
    listed.sort();
    EXPECT_EQ(listed, (QStringList{"PHOTO.JPEG", "photo.jpg"}));
}

TEST_F(ImageDialogTest, AFileWithoutSuffixIsListedOnlyUnderAllFiles)
{
    CTVDlgImageOpen dlg(true, nullptr, folder);
    for (int i = 0; i < int(dlg.Filters().size()); ++i) {
        dlg.SetFilterIndex(i);
        const bool last = i + 1 == int(dlg.Filters().size());
        EXPECT_EQ(dlg.ListedFiles().contains("README"), last) << dlg.Filters()[std::size_t(i)].text.toStdString();
    }
    dlg.SetFilterIndex(0);
    QStringList supported = dlg.ListedFiles();
    supported.sort();
    EXPECT_EQ(supported,
              (QStringList{"PHOTO.JPEG", "Zsmall.bmp", "big.bmp", "broken.png", "image.png", "mid.bmp", "photo.jpg"}));
}

TEST_F(ImageDialogTest, HeaderClicksSortNamesAsStringsAndSizesAsNumbers)
{
    CTVDlgImageOpen dlg(true, nullptr, folder);
    dlg.SetFilterIndex(FilterIndexOf(dlg, "*.BMP"));
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    auto *list = dlg.findChild<QTreeWidget *>("fileList");

    // Plain string order puts upper case first.
    EXPECT_EQ(dlg.ListedFiles(), (QStringList{"Zsmall.bmp", "big.bmp", "mid.bmp"}));

    ClickHeader(dlg, 1);
    EXPECT_EQ(list->sortColumn(), 1);
    EXPECT_EQ(dlg.ListedFiles(), (QStringList{"Zsmall.bmp", "mid.bmp", "big.bmp"}))
        << "900 B, 2 kB, 10 kB: as numbers, not as the texts 1, 2, 10";
    EXPECT_EQ(list->topLevelItem(0)->text(1), QStringLiteral("1"));
    EXPECT_EQ(list->topLevelItem(2)->text(1), QStringLiteral("10"));

    ClickHeader(dlg, 0);
    EXPECT_EQ(list->sortColumn(), 0);
    EXPECT_EQ(dlg.ListedFiles(), (QStringList{"Zsmall.bmp", "big.bmp", "mid.bmp"}));
}

TEST_F(ImageDialogTest, OkWithNothingSelectedAsksForAFileAndStaysOpen)
{
    MessageRecorder rec;
    CTVDlgImageOpen dlg(true, nullptr, folder);
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    QTest::mouseClick(OkButton(dlg), Qt::LeftButton);
    ASSERT_EQ(rec.Records().size(), 1u);
    EXPECT_EQ(rec.Records()[0].text, kNoFile);
    EXPECT_EQ(rec.Records()[0].kind, TVMessageKind::Error);
    EXPECT_EQ(rec.Records()[0].buttons, unsigned(TVB_OK));
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), int(QDialog::Rejected));
    EXPECT_EQ(dlg.GetImage(), nullptr);
}

TEST_F(ImageDialogTest, ATextFileNamedPngIsRefusedAndTheDialogStaysOpen)
{
    MessageRecorder rec;
    CTVDlgImageOpen dlg(true, nullptr, folder);
    dlg.SetAutoPreview(false);
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    ASSERT_TRUE(dlg.SelectFile("broken.png"));
    EXPECT_EQ(dlg.GetFileName(), path("broken.png"));
    EXPECT_TRUE(rec.Empty()) << "no preview without Auto preview";

    QTest::mouseClick(OkButton(dlg), Qt::LeftButton);
    ASSERT_EQ(rec.Records().size(), 1u);
    EXPECT_EQ(rec.Records()[0].text, kBadFile);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(dlg.GetImage(), nullptr);

    // A good file then closes it.
    ASSERT_TRUE(dlg.SelectFile("image.png"));
    QTest::mouseClick(OkButton(dlg), Qt::LeftButton);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), int(QDialog::Accepted));
    EXPECT_EQ(rec.Records().size(), 1u);
}

TEST_F(ImageDialogTest, AutoPreviewShowsSizeAndThumbnailOnWhite)
{
    MessageRecorder rec;
    CTVDlgImageOpen dlg(true, nullptr, folder);
    ASSERT_TRUE(dlg.AutoPreview());
    auto *button = dlg.findChild<QPushButton *>("previewButton");
    auto *box = dlg.findChild<CTVImagePreview *>("preview");
    EXPECT_FALSE(button->isEnabled());

    ASSERT_TRUE(dlg.SelectFile("image.png"));
    EXPECT_EQ(dlg.PreviewText(), QStringLiteral("300 x 100"));
    EXPECT_EQ(dlg.findChild<QLabel *>("previewText")->text(), QStringLiteral("300 x 100"));
    EXPECT_FALSE(button->isEnabled());
    const CTVImage &thumb = dlg.PreviewImage();
    ASSERT_TRUE(thumb.IsValid());
    EXPECT_EQ(QSize(thumb.GetWidth(), thumb.GetHeight()), box->contentsRect().size());
    EXPECT_EQ(box->GetImage(), &thumb);
    // 3:1 across the whole width, white above and below.
    EXPECT_EQ(thumb.Image().pixel(thumb.GetWidth() / 2, 1), qRgb(255, 255, 255));
    EXPECT_EQ(thumb.Image().pixel(thumb.GetWidth() / 2, thumb.GetHeight() - 2), qRgb(255, 255, 255));
    EXPECT_TRUE(NearColour(thumb.Image().pixel(1, thumb.GetHeight() / 2), Qt::green, 0));

    // The control paints the thumbnail into its rectangle.
    const QImage painted = box->grab().toImage();
    const QPoint middle = box->contentsRect().center();
    EXPECT_TRUE(NearColour(painted.pixel(middle), Qt::green, 8));
    EXPECT_TRUE(NearColour(painted.pixel(middle.x(), box->contentsRect().top() + 2), Qt::white, 8));

    // A bad file: message 9 and the preview is cleared.
    ASSERT_TRUE(dlg.SelectFile("broken.png"));
    EXPECT_EQ(rec.OnlyId(), 0);
    ASSERT_EQ(rec.Records().size(), 1u);
    EXPECT_EQ(rec.Records()[0].text, kBadFile);
    EXPECT_TRUE(dlg.PreviewText().isEmpty());
    EXPECT_FALSE(dlg.PreviewImage().IsValid());
    EXPECT_EQ(box->GetImage(), nullptr);
}

TEST_F(ImageDialogTest, WithoutAutoPreviewTheButtonOrADoubleClickPreviews)
{
    MessageRecorder rec;
    CTVDlgImageOpen dlg(true, nullptr, folder);
    dlg.SetAutoPreview(false);
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    auto *button = dlg.findChild<QPushButton *>("previewButton");
    EXPECT_FALSE(button->isEnabled()) << "nothing chosen yet";

    ASSERT_TRUE(dlg.SelectFile("photo.jpg"));
    EXPECT_TRUE(dlg.PreviewText().isEmpty());
    EXPECT_TRUE(button->isEnabled());
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(dlg.PreviewText(), QStringLiteral("64 x 32"));

    ASSERT_TRUE(dlg.SelectFile("PHOTO.JPEG"));
    EXPECT_TRUE(dlg.PreviewText().isEmpty()) << "a new choice drops the old preview";
    auto *list = dlg.findChild<QTreeWidget *>("fileList");
    const QRect row = list->visualItemRect(list->currentItem());
    // A widget double click in QTest is the second click only: press first.
    QTest::mousePress(list->viewport(), Qt::LeftButton, Qt::NoModifier, row.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, row.center());
    EXPECT_EQ(dlg.PreviewText(), QStringLiteral("10 x 10"));

    // Ticking the box previews the chosen file and disables the button.
    ASSERT_TRUE(dlg.SelectFile("image.png"));
    EXPECT_TRUE(dlg.PreviewText().isEmpty());
    QTest::mouseClick(dlg.findChild<QCheckBox *>("autoPreview"), Qt::LeftButton);
    EXPECT_TRUE(dlg.AutoPreview());
    EXPECT_EQ(dlg.PreviewText(), QStringLiteral("300 x 100"));
    EXPECT_FALSE(button->isEnabled());
    EXPECT_TRUE(rec.Empty());
}

TEST_F(ImageDialogTest, OkHandsTheLoadedImageToTheCaller)
{
    MessageRecorder rec;
    CTVDlgImageOpen dlg(true, nullptr, folder);
    ASSERT_TRUE(dlg.SelectFile("photo.jpg"));
    QTest::mouseClick(OkButton(dlg), Qt::LeftButton);
    EXPECT_EQ(dlg.result(), int(QDialog::Accepted));
    EXPECT_EQ(dlg.GetFileName(), path("photo.jpg"));
    std::unique_ptr<CTVImage> image = dlg.GetImage();
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->GetWidth(), 64);
    EXPECT_EQ(image->GetHeight(), 32) << "the full picture, not the thumbnail";
    EXPECT_EQ(dlg.GetImage(), nullptr) << "ownership passed once";
    EXPECT_TRUE(rec.Empty());
}

TEST_F(ImageDialogTest, WithoutTheLoadFlagOkOnlyGivesTheName)
{
    MessageRecorder rec;
    CTVDlgImageOpen dlg(false, nullptr, folder);
    dlg.SetAutoPreview(false);
    ASSERT_TRUE(dlg.SelectFile("broken.png"));
    QTest::mouseClick(OkButton(dlg), Qt::LeftButton);
    EXPECT_EQ(dlg.result(), int(QDialog::Accepted));
    EXPECT_EQ(dlg.GetFileName(), path("broken.png"));
    EXPECT_EQ(dlg.GetImage(), nullptr);
    EXPECT_TRUE(rec.Empty());
}

TEST_F(ImageDialogTest, ChangingFilterOrFolderDropsTheChoice)
{
    MessageRecorder rec;
    QDir(folder).mkdir("other");
    CTVDlgImageOpen dlg(true, nullptr, folder);
    ASSERT_TRUE(dlg.SelectFile("photo.jpg"));
    EXPECT_FALSE(dlg.PreviewText().isEmpty());
    dlg.SetFilterIndex(FilterIndexOf(dlg, "*.PNG"));
    EXPECT_TRUE(dlg.GetFileName().isEmpty());
    EXPECT_TRUE(dlg.PreviewText().isEmpty());

    ASSERT_TRUE(dlg.SelectFile("image.png"));
    ASSERT_TRUE(dlg.SelectFolder(folder + "/other"));
    EXPECT_TRUE(dlg.GetFileName().isEmpty());
    EXPECT_TRUE(dlg.ListedFiles().isEmpty());
    QTest::mouseClick(OkButton(dlg), Qt::LeftButton);
    EXPECT_EQ(rec.Records().back().text, kNoFile);
}

TEST_F(ImageDialogTest, TreeShowsExpandButtonsOnlyWhereThereAreSubfolders)
{
    QDir root(folder);
    ASSERT_TRUE(root.mkpath("withsub/inner"));
    ASSERT_TRUE(root.mkdir("empty"));
    MessageRecorder rec;
    CTVDlgImageOpen dlg(true, nullptr, folder);
    auto *tree = dlg.findChild<QTreeWidget *>("folderTree");
    QTreeWidgetItem *current = tree->currentItem();
    ASSERT_NE(current, nullptr);
    current->setExpanded(true);
    ASSERT_EQ(current->childCount(), 2);
    EXPECT_EQ(current->child(0)->text(0), QStringLiteral("empty"));
    EXPECT_EQ(current->child(0)->childIndicatorPolicy(), QTreeWidgetItem::DontShowIndicator);
    EXPECT_EQ(current->child(1)->text(0), QStringLiteral("withsub"));
    EXPECT_EQ(current->child(1)->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
    EXPECT_EQ(current->child(1)->childCount(), 0) << "children are read when the node is opened";
    current->child(1)->setExpanded(true);
    ASSERT_EQ(current->child(1)->childCount(), 1);
    EXPECT_EQ(current->child(1)->child(0)->text(0), QStringLiteral("inner"));

    // Choosing a folder in the tree lists its files.
    ASSERT_TRUE(WriteFile(folder + "/withsub/inner/in.png", EncodedWith(SolidImage(4, 4, Qt::red), "png")));
    tree->setCurrentItem(current->child(1)->child(0));
    EXPECT_EQ(dlg.CurrentFolder(), folder + "/withsub/inner");
    EXPECT_EQ(dlg.ListedFiles(), QStringList{"in.png"});
    EXPECT_TRUE(rec.Empty());
}

TEST_F(ImageDialogTest, AFolderThatVanishedReportsTheTreeFailure)
{
    QDir root(folder);
    ASSERT_TRUE(root.mkpath("gone/sub"));
    MessageRecorder rec;
    CTVDlgImageOpen dlg(true, nullptr, folder);
    auto *tree = dlg.findChild<QTreeWidget *>("folderTree");
    QTreeWidgetItem *current = tree->currentItem();
    current->setExpanded(true);
    ASSERT_EQ(current->childCount(), 1);
    QTreeWidgetItem *gone = current->child(0);
    ASSERT_EQ(gone->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);

    ASSERT_TRUE(QDir(folder + "/gone").removeRecursively());
    gone->setExpanded(true);
    ASSERT_EQ(rec.Records().size(), 1u);
    EXPECT_EQ(rec.Records()[0].text,
              QStringLiteral("Loading of the directory tree failed. The list may contain errors."));
    EXPECT_FALSE(gone->isExpanded());
    EXPECT_EQ(gone->childIndicatorPolicy(), QTreeWidgetItem::DontShowIndicator);
}

TEST_F(ImageDialogTest, KeyboardChoosesAFileAndConfirms)
{
    MessageRecorder rec;
    CTVDlgImageOpen dlg(true, nullptr, folder);
    dlg.SetFilterIndex(FilterIndexOf(dlg, "*.PNG"));
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    auto *list = dlg.findChild<QTreeWidget *>("fileList");
    // broken.png, image.png: a click on the first, then Down to the second.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                      list->visualItemRect(list->topLevelItem(0)).center());
    EXPECT_EQ(dlg.GetFileName(), path("broken.png"));
    EXPECT_EQ(rec.Records().size(), 1u) << "Auto preview refuses the text file";
    QTest::keyClick(list, Qt::Key_Down);
    ASSERT_EQ(dlg.GetFileName(), path("image.png"));
    rec.Clear();
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(dlg.result(), int(QDialog::Accepted));
    EXPECT_TRUE(rec.Empty());

    CTVDlgImageOpen cancelled(true, nullptr, folder);
    cancelled.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&cancelled));
    QTest::keyClick(&cancelled, Qt::Key_Escape);
    EXPECT_FALSE(cancelled.isVisible());
    EXPECT_EQ(cancelled.result(), int(QDialog::Rejected));
}
