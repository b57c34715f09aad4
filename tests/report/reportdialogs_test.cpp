// The report's windows driven as a user drives them: criteria, the result
// table, the preview and the print-form choice.
#include "appcontext.h"
#include "commands.h"
#include "folderops.h"
#include "folderwidgets.h"
#include "printers.h"
#include "printformdialog.h"
#include "reportcommands.h"
#include "reportdialog.h"
#include "reportoptionsdialog.h"
#include "reporttable.h"
#include "reporttest.h"
#include "testsupport.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class ReportWindows : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_printer = AppContext::CurrentPrinter();
        AppContext::SetCurrentPrinter(PdfPrinterName());
        root = RootFolder(db);
    }
    void TearDown() override
    {
        AppContext::SetCurrentPrinter(m_printer);
        RegisterPrintListRunner(QStringLiteral("labels"), {});
        RegisterPrintListRunner(QStringLiteral("envelopes"), {});
    }

    // n addresses "Person 000" ... in the root folder.
    void addPeople(int n)
    {
        for (int i = 0; i < n; ++i)
            AddAddress(db, root, QStringLiteral("Person %1").arg(i, 3, 10, QLatin1Char('0')),
                       QStringLiteral("Street %1").arg(i));
    }

    TempDatabase temp;
    CDatabase &db = temp.db();
    std::int32_t root = -1;
    MessageRecorder messages;
    QString m_printer;
};

void clickHeader(QTableView *table, int column)
{
    QHeaderView *header = table->horizontalHeader();
    const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(x, header->height() / 2));
}

} // namespace

TEST_F(ReportWindows, OptionsDialogStartsEmptyWithUniqueOn)
{
    ReportOptionsDialog dlg(db);
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Creating a printout"));
    EXPECT_FALSE(dlg.exactBox()->isChecked());
    EXPECT_TRUE(dlg.uniqueBox()->isChecked());
    EXPECT_EQ(dlg.exactBox()->text(), QStringLiteral("Exact match"));
    EXPECT_EQ(dlg.uniqueBox()->text(), QStringLiteral("Unique addresses only"));
    EXPECT_TRUE(dlg.locationEdit()->isReadOnly());
    EXPECT_TRUE(dlg.locationEdit()->text().isEmpty());
    const ReportCriteria c = dlg.Criteria();
    EXPECT_TRUE(c.folders.empty());
    EXPECT_TRUE(c.unique);
    EXPECT_FALSE(c.texts.exact);
}

TEST_F(ReportWindows, DisallowedCharacterKeepsTheDialogOpenAtTheFirstField)
{
    ReportOptionsDialog dlg(db);
    dlg.show();
    dlg.nameEdit()->setPlainText(QStringLiteral("O'Neil") + QChar(u'\0'));
    dlg.noteEdit()->setPlainText(QStringLiteral("100%") + QChar(u'\0'));
    dlg.countryEdit()->setPlainText(QStringLiteral("[x]") + QChar(u'\0'));
    dlg.accept();
    ASSERT_EQ(messages.OnlyId(), 11);
    EXPECT_TRUE(messages.Records()[0].text.endsWith(QStringLiteral("The disallowed characters are: U+0000 (NUL)")));
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_TRUE(dlg.Query().isEmpty());
    EXPECT_EQ(dlg.focusWidget(), dlg.countryEdit());

    messages.Clear();
    dlg.countryEdit()->clear();
    dlg.accept();
    EXPECT_EQ(messages.OnlyId(), 11);
    EXPECT_EQ(dlg.focusWidget(), dlg.nameEdit());

    messages.Clear();
    dlg.nameEdit()->setPlainText(QStringLiteral("ONeil"));
    dlg.accept();
    EXPECT_EQ(messages.OnlyId(), 11);
    EXPECT_EQ(dlg.focusWidget(), dlg.noteEdit());
}

TEST_F(ReportWindows, OkTrimsTheTextsAndBuildsTheStatement)
{
    ReportOptionsDialog dlg(db);
    dlg.show();
    dlg.townEdit()->setPlainText(QStringLiteral("  Prague  "));
    dlg.zipEdit()->setText(QStringLiteral(" 11 "));
    dlg.exactBox()->setChecked(true);
    dlg.accept();
    EXPECT_TRUE(messages.Empty());
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.townEdit()->toPlainText(), QStringLiteral("Prague"));
    EXPECT_EQ(dlg.zipEdit()->text(), QStringLiteral("11"));
    EXPECT_EQ(dlg.Query(),
              QStringLiteral("SELECT * FROM ADDRESS WHERE 1 AND TOWN = 'Prague' AND ZIP = '11' ORDER BY NAME"));
    EXPECT_EQ(dlg.Criteria().texts.town, QStringLiteral("Prague"));
}

TEST_F(ReportWindows, TwoLineCriterionKeepsItsLineBreak)
{
    ReportOptionsDialog dlg(db);
    dlg.nameEdit()->setPlainText(QStringLiteral("Alpha\nJan"));
    EXPECT_EQ(dlg.Criteria().texts.name, QStringLiteral("Alpha\r\nJan"));
}

TEST_F(ReportWindows, LocationFromThePickerAndClearedAgain)
{
    const std::int32_t a = CreateFolder(db, QStringLiteral("Clients"), root).id;
    const std::int32_t sub = CreateFolder(db, QStringLiteral("Local"), a).id;
    ReportOptionsDialog dlg(db);
    dlg.show();
    bool seen = false;
    OnModalDialog([&](QWidget *w) {
        auto *picker = dynamic_cast<CFolderPickerDlg *>(w);
        ASSERT_NE(picker, nullptr);
        seen = true;
        EXPECT_EQ(picker->windowTitle(), QStringLiteral("Choosing location"));
        ASSERT_TRUE(picker->tree()->SelectFolder(a));
        picker->includeBox()->setChecked(true);
        picker->accept();
    });
    QTest::mouseClick(dlg.chooseButton(), Qt::LeftButton);
    EXPECT_TRUE(seen);
    EXPECT_EQ(dlg.locationEdit()->text(), QStringLiteral("Addresses/Clients"));
    EXPECT_EQ(dlg.Criteria().folders, (std::set<std::int32_t>{a, sub}));
    EXPECT_EQ(dlg.Criteria().locationText, QStringLiteral("Addresses/Clients"));

    // The picker opens at the chosen folder; Cancel keeps the location.
    OnModalDialog([&](QWidget *w) {
        auto *picker = dynamic_cast<CFolderPickerDlg *>(w);
        ASSERT_NE(picker, nullptr);
        const auto selected = picker->tree()->SelectedFolder();
        ASSERT_TRUE(selected);
        EXPECT_EQ(selected->id, a);
        EXPECT_TRUE(picker->includeBox()->isChecked());
        picker->reject();
    });
    QTest::mouseClick(dlg.chooseButton(), Qt::LeftButton);
    EXPECT_EQ(dlg.Criteria().folders, (std::set<std::int32_t>{a, sub}));

    QTest::mouseClick(dlg.clearButton(), Qt::LeftButton);
    EXPECT_TRUE(dlg.locationEdit()->text().isEmpty());
    EXPECT_TRUE(dlg.Criteria().folders.empty());
}

TEST_F(ReportWindows, TableShowsEveryAddressInReverseNameOrder)
{
    AddAddress(db, root, QStringLiteral("Brown"));
    AddAddress(db, root, QStringLiteral("Alpha s.r.o.\r\nJan Novák"), QStringLiteral("Polní 3\r\nP.O. Box 12"),
               QStringLiteral("Brno"), QStringLiteral("60200"), QStringLiteral("CZ"), QStringLiteral("VIP"));
    AddAddress(db, root, QStringLiteral("Clark"));
    ReportDialog dlg(db, ReportCriteria{});
    ASSERT_TRUE(dlg.IsFilled());
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Printout"));
    EXPECT_EQ(dlg.minimumSize(), QSize(630, 300));
    ReportTableModel *m = dlg.model();
    ASSERT_EQ(m->rowCount(), 3);
    EXPECT_EQ(m->data(m->index(0, 0), Qt::DisplayRole).toString(), QStringLiteral("Clark"));
    EXPECT_EQ(m->data(m->index(2, 0), Qt::DisplayRole).toString(), QStringLiteral("Alpha s.r.o., Jan Novák"));
    EXPECT_EQ(m->data(m->index(2, 1), Qt::DisplayRole).toString(), QStringLiteral("Polní 3, P.O. Box 12"));
    EXPECT_EQ(m->data(m->index(2, 4), Qt::DisplayRole).toString(), QStringLiteral("CZ"));
    EXPECT_EQ(m->data(m->index(2, 5), Qt::DisplayRole).toString(), QStringLiteral("VIP"));
    const QStringList titles = {QStringLiteral("Name (company name)"), QStringLiteral("Street, house NO."),
                                QStringLiteral("Town/City"),           QStringLiteral("ZIP"),
                                QStringLiteral("Other (country...)"),  QStringLiteral("Note")};
    for (int c = 0; c < 6; ++c)
        EXPECT_EQ(m->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString(), titles[c]);
    EXPECT_EQ(dlg.ColumnWidths(), kReportInitialWidths);
    EXPECT_EQ(dlg.table()->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_TRUE(dlg.table()->showGrid());
}

TEST_F(ReportWindows, HeaderClickSortsAscendingIgnoringCase)
{
    AddAddress(db, root, QStringLiteral("b-name"), QStringLiteral("zeta"));
    AddAddress(db, root, QStringLiteral("A-name"), QStringLiteral("Beta"));
    AddAddress(db, root, QStringLiteral("c-name"), QStringLiteral("alpha"));
    ReportDialog dlg(db, ReportCriteria{});
    dlg.show();
    ASSERT_EQ(NamesOf(dlg.Rows()),
              (QStringList{QStringLiteral("c-name"), QStringLiteral("b-name"), QStringLiteral("A-name")}));
    clickHeader(dlg.table(), 1);
    EXPECT_EQ(NamesOf(dlg.Rows()),
              (QStringList{QStringLiteral("c-name"), QStringLiteral("A-name"), QStringLiteral("b-name")}));
    clickHeader(dlg.table(), 0);
    EXPECT_EQ(NamesOf(dlg.Rows()),
              (QStringList{QStringLiteral("A-name"), QStringLiteral("b-name"), QStringLiteral("c-name")}));
    // A second click on the same column keeps the ascending order.
    clickHeader(dlg.table(), 0);
    EXPECT_EQ(NamesOf(dlg.Rows()),
              (QStringList{QStringLiteral("A-name"), QStringLiteral("b-name"), QStringLiteral("c-name")}));
}

TEST_F(ReportWindows, ResizingFillsTheWindowAndRescalesTheColumns)
{
    addPeople(3);
    ReportDialog dlg(db, ReportCriteria{});
    dlg.show();
    dlg.resize(700, 400);
    EXPECT_EQ(dlg.table()->geometry(), QRect(14, 52, 700 - 28, 400 - 102));
    const ReportColumnWidths before = dlg.ColumnWidths();
    dlg.resize(700 + 672, 500); // the table twice as wide
    EXPECT_EQ(dlg.table()->geometry(), QRect(14, 52, 1372 - 28, 500 - 102));
    const ReportColumnWidths after = dlg.ColumnWidths();
    for (std::size_t k = 0; k < 6; ++k)
        EXPECT_NEAR(after[k], 2 * before[k], 1) << k;
    // A column the user widened keeps its share.
    dlg.table()->setColumnWidth(3, 300);
    dlg.resize(700, 400);
    EXPECT_NEAR(dlg.ColumnWidths()[3], 150, 1);
    EXPECT_NEAR(dlg.ColumnWidths()[0], before[0], 1);
}

TEST_F(ReportWindows, ButtonsOfTheTableModeAndAnEmptyResult)
{
    {
        ReportDialog empty(db, ReportCriteria{});
        ASSERT_TRUE(empty.IsFilled());
        EXPECT_TRUE(messages.Empty()); // no rows is no error
        EXPECT_FALSE(empty.printButton()->isEnabled());
        EXPECT_FALSE(empty.previewButton()->isEnabled());
        EXPECT_FALSE(empty.printoutButton()->isEnabled());
        EXPECT_FALSE(empty.backButton()->isEnabled());
        EXPECT_FALSE(empty.nextButton()->isEnabled());
        EXPECT_TRUE(empty.cancelButton()->isEnabled());
        EXPECT_EQ(empty.printButton()->text(), QStringLiteral("Print\u2026"));
    }
    addPeople(2);
    ReportDialog dlg(db, ReportCriteria{});
    EXPECT_TRUE(dlg.printButton()->isEnabled());
    EXPECT_TRUE(dlg.previewButton()->isEnabled());
    EXPECT_FALSE(dlg.printoutButton()->isEnabled());
    EXPECT_FALSE(dlg.backButton()->isEnabled());
    EXPECT_FALSE(dlg.nextButton()->isEnabled());
}

TEST_F(ReportWindows, PreviewTurnsPagesAndReturnsToTheTable)
{
    addPeople(120);
    ReportDialog dlg(db, ReportCriteria{});
    dlg.show();
    dlg.resize(700, 500);
    QTest::mouseClick(dlg.previewButton(), Qt::LeftButton);
    ASSERT_TRUE(dlg.IsPreviewing());
    EXPECT_TRUE(messages.Empty());
    EXPECT_FALSE(dlg.table()->isVisible());
    EXPECT_GE(dlg.PreviewPageCount(), 2);
    EXPECT_EQ(dlg.PreviewPage(), 0);
    EXPECT_FALSE(dlg.previewButton()->isEnabled());
    EXPECT_TRUE(dlg.printoutButton()->isEnabled());
    EXPECT_FALSE(dlg.backButton()->isEnabled());
    EXPECT_TRUE(dlg.nextButton()->isEnabled());
    EXPECT_TRUE(dlg.printButton()->isEnabled());

    // The page picture has the page's proportions, fitted into the table's
    // place and centred there.
    const QRect area = dlg.TableArea();
    const QRect pic = dlg.PreviewPictureRect();
    EXPECT_EQ(pic.height(), area.height());
    EXPECT_NEAR(double(pic.width()) / pic.height(), 210.0 / 297.0, 0.01);
    EXPECT_NEAR(pic.center().x(), area.center().x(), 1);
    EXPECT_EQ(dlg.PreviewPicture().size(), pic.size());
    // A white page with dark text on it.
    const QImage &image = dlg.PreviewPicture();
    EXPECT_EQ(image.pixel(1, 1), qRgb(255, 255, 255));
    int dark = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            dark += qGray(image.pixel(x, y)) < 128;
    EXPECT_GT(dark, 100);

    const int pages = dlg.PreviewPageCount();
    for (int p = 1; p < pages; ++p)
        QTest::mouseClick(dlg.nextButton(), Qt::LeftButton);
    EXPECT_EQ(dlg.PreviewPage(), pages - 1);
    EXPECT_FALSE(dlg.nextButton()->isEnabled());
    EXPECT_TRUE(dlg.backButton()->isEnabled());
    QTest::mouseClick(dlg.backButton(), Qt::LeftButton);
    EXPECT_EQ(dlg.PreviewPage(), pages - 2);

    // Resizing the window redraws the page at its new size.
    dlg.resize(900, 700);
    EXPECT_EQ(dlg.PreviewPictureRect().height(), 700 - 102);
    EXPECT_EQ(dlg.PreviewPicture().height(), 700 - 102);
    EXPECT_EQ(dlg.PreviewPage(), pages - 2);

    QTest::mouseClick(dlg.printoutButton(), Qt::LeftButton);
    EXPECT_FALSE(dlg.IsPreviewing());
    EXPECT_TRUE(dlg.table()->isVisible());
    EXPECT_TRUE(dlg.PreviewPicture().isNull());
    EXPECT_TRUE(dlg.previewButton()->isEnabled());
    EXPECT_FALSE(dlg.printoutButton()->isEnabled());
    EXPECT_FALSE(dlg.nextButton()->isEnabled());
}

TEST_F(ReportWindows, PreviewWithoutAPrinterStaysInTableMode)
{
    addPeople(2);
    AppContext::SetCurrentPrinter(QStringLiteral("No such printer here"));
    ReportDialog dlg(db, ReportCriteria{});
    dlg.show();
    QTest::mouseClick(dlg.previewButton(), Qt::LeftButton);
    EXPECT_EQ(messages.OnlyId(), 43);
    EXPECT_FALSE(dlg.IsPreviewing());
    EXPECT_TRUE(dlg.table()->isVisible());
    EXPECT_TRUE(dlg.previewButton()->isEnabled());

    messages.Clear();
    dlg.RunPrintForm(ReportPrintForm::Printout);
    EXPECT_EQ(messages.OnlyId(), 43);
    EXPECT_FALSE(dlg.LastPrint().printerOpened);
}

TEST_F(ReportWindows, PrintFormChoiceWithoutLabelAndEnvelopePrinting)
{
    RegisterPrintListRunner(QStringLiteral("labels"), {});
    RegisterPrintListRunner(QStringLiteral("envelopes"), {});
    PrintFormDialog dlg;
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Printing printout data"));
    EXPECT_TRUE(dlg.printoutButton()->isChecked());
    EXPECT_TRUE(dlg.printoutButton()->isEnabled());
    EXPECT_FALSE(dlg.labelsButton()->isEnabled());
    EXPECT_FALSE(dlg.envelopesButton()->isEnabled());
    EXPECT_EQ(dlg.Choice(), ReportPrintForm::Printout);
}

TEST_F(ReportWindows, LabelsAndEnvelopesGetEveryRowInTheTablesOrder)
{
    std::vector<std::pair<QString, QStringList>> calls;
    RegisterPrintListRunner(QStringLiteral("labels"),
                            [&](QWidget *, const std::vector<AddressEntry> &list, bool preview) {
                                EXPECT_FALSE(preview);
                                calls.emplace_back(QStringLiteral("labels"), NamesOf(list));
                            });
    RegisterPrintListRunner(QStringLiteral("envelopes"),
                            [&](QWidget *, const std::vector<AddressEntry> &list, bool preview) {
                                EXPECT_FALSE(preview);
                                calls.emplace_back(QStringLiteral("envelopes"), NamesOf(list));
                            });
    AddAddress(db, root, QStringLiteral("Beta"), QStringLiteral("3"));
    AddAddress(db, root, QStringLiteral("Alpha"), QStringLiteral("2"));
    AddAddress(db, root, QStringLiteral("Gamma"), QStringLiteral("1"));
    ReportDialog dlg(db, ReportCriteria{});
    dlg.show();
    clickHeader(dlg.table(), 1); // by street: Gamma, Alpha, Beta
    dlg.table()->selectRow(0);   // the selection does not limit the list

    OnModalDialog([](QWidget *w) {
        auto *choice = dynamic_cast<PrintFormDialog *>(w);
        ASSERT_NE(choice, nullptr);
        EXPECT_TRUE(choice->labelsButton()->isEnabled());
        EXPECT_TRUE(choice->envelopesButton()->isEnabled());
        choice->labelsButton()->setChecked(true);
        choice->accept();
    });
    QTest::mouseClick(dlg.printButton(), Qt::LeftButton);
    OnModalDialog([](QWidget *w) {
        auto *choice = dynamic_cast<PrintFormDialog *>(w);
        ASSERT_NE(choice, nullptr);
        choice->envelopesButton()->setChecked(true);
        choice->accept();
    });
    QTest::mouseClick(dlg.printButton(), Qt::LeftButton);
    // Cancel runs nothing.
    OnModalDialog([](QWidget *w) {
        auto *choice = dynamic_cast<PrintFormDialog *>(w);
        ASSERT_NE(choice, nullptr);
        choice->envelopesButton()->setChecked(true);
        choice->reject();
    });
    QTest::mouseClick(dlg.printButton(), Qt::LeftButton);

    const QStringList order = {QStringLiteral("Gamma"), QStringLiteral("Alpha"), QStringLiteral("Beta")};
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0], std::make_pair(QStringLiteral("labels"), order));
    EXPECT_EQ(calls[1], std::make_pair(QStringLiteral("envelopes"), order));
}

TEST_F(ReportWindows, DatabaseFailureClosesTheReport)
{
    addPeople(1);
    db.Close();
    ReportDialog dlg(db, ReportCriteria{});
    EXPECT_FALSE(dlg.IsFilled());
    EXPECT_EQ(messages.OnlyId(), 8);
    EXPECT_EQ(dlg.exec(), QDialog::Rejected);
    db.Open(temp.path());
}

TEST_F(ReportWindows, ReportCommandIsRegisteredWhileTheDatabaseIsOpen)
{
    RegisterReportCommands();
    const CommandHandler *handler = FindCommand(32785);
    ASSERT_NE(handler, nullptr);
    ASSERT_TRUE(handler->run);
    ASSERT_TRUE(handler->enabled);
    EXPECT_TRUE(handler->enabled());
    AppContext::SetDatabase(nullptr);
    EXPECT_FALSE(handler->enabled());
    AppContext::SetDatabase(&db);
}

TEST_F(ReportWindows, CommandRunsCriteriaThenTheTable)
{
    AddAddress(db, root, QStringLiteral("Smith"));
    AddAddress(db, root, QStringLiteral("Smithson"));
    AddAddress(db, root, QStringLiteral("Jones"));
    QStringList listed;
    OnModalDialog([&](QWidget *w) {
        auto *options = dynamic_cast<ReportOptionsDialog *>(w);
        ASSERT_NE(options, nullptr);
        options->nameEdit()->setPlainText(QStringLiteral("smith"));
        OnModalDialog([&](QWidget *w2) {
            auto *report = dynamic_cast<ReportDialog *>(w2);
            ASSERT_NE(report, nullptr);
            listed = NamesOf(report->Rows());
            report->reject();
        });
        options->accept();
    });
    RunReportCommand(nullptr);
    EXPECT_EQ(listed, (QStringList{QStringLiteral("Smithson"), QStringLiteral("Smith")}));
}
