#include "appcontext.h"
#include "commands.h"
#include "papersource.h"
#include "printerchoicedialog.h"
#include "printingcommands.h"
#include "testsupport.h"

#include <QHeaderView>
#include <QSettings>
#include <QTemporaryDir>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct CurrentPrinter {
    explicit CurrentPrinter(const QString &name) : saved(AppContext::CurrentPrinter())
    {
        AppContext::SetCurrentPrinter(name);
    }
    ~CurrentPrinter() { AppContext::SetCurrentPrinter(saved); }
    QString saved;
};

const QStringList kPrinters = {QStringLiteral("zeta"), QStringLiteral("Alpha"), QStringLiteral("laser"),
                               QStringLiteral("PDF file")};

} // namespace

TEST(PrinterChoiceDialog, ListsThePrintersAndMarksTheCurrentOne)
{
    CurrentPrinter current(QStringLiteral("laser"));
    PrinterChoiceDialog d(nullptr, kPrinters);
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Choosing printer"));
    QTableWidget *list = d.List();
    EXPECT_EQ(list->horizontalHeaderItem(0)->text(), QStringLiteral("Printer name"));
    EXPECT_EQ(list->horizontalHeaderItem(1)->text(), QStringLiteral("Selected"));
    EXPECT_EQ(list->columnWidth(0), 350);
    EXPECT_EQ(list->columnWidth(1), 78);
    EXPECT_EQ(d.Names(), kPrinters);
    EXPECT_EQ(list->item(2, 1)->text(), QStringLiteral("Yes"));
    EXPECT_TRUE(list->item(0, 1)->text().isEmpty());
    EXPECT_EQ(list->selectionModel()->selectedRows().size(), 0);
}

TEST(PrinterChoiceDialog, HeaderClicksSort)
{
    CurrentPrinter current(QStringLiteral("laser"));
    PrinterChoiceDialog d(nullptr, kPrinters);
    d.show();
    d.List()->selectRow(0); // zeta
    QTest::mouseClick(d.List()->horizontalHeader()->viewport(), Qt::LeftButton, {},
                      QPoint(d.List()->horizontalHeader()->sectionViewportPosition(0) + 20, 5));
    EXPECT_EQ(d.Names(), (QStringList{QStringLiteral("Alpha"), QStringLiteral("laser"), QStringLiteral("PDF file"),
                                      QStringLiteral("zeta")}));
    EXPECT_EQ(d.List()->item(1, 1)->text(), QStringLiteral("Yes"));
    EXPECT_EQ(d.List()->selectionModel()->selectedRows().first().row(), 3); // still zeta
    d.SortByColumn(1);
    EXPECT_EQ(d.Names().front(), QStringLiteral("laser"));
    EXPECT_EQ(d.List()->item(0, 1)->text(), QStringLiteral("Yes"));
    EXPECT_EQ(d.Names().mid(1), (QStringList{QStringLiteral("Alpha"), QStringLiteral("PDF file"), QStringLiteral("zeta")}));
}

TEST(PrinterChoiceDialog, OkNeedsASelectionAndChangesTheCurrentPrinter)
{
    CurrentPrinter current(QStringLiteral("laser"));
    MessageRecorder rec;
    {
        PrinterChoiceDialog d(nullptr, kPrinters);
        d.accept();
        EXPECT_EQ(rec.OnlyId(), 42);
        EXPECT_EQ(d.result(), 0);
        d.List()->selectRow(3);
        d.accept();
        EXPECT_EQ(d.result(), int(QDialog::Accepted));
        EXPECT_EQ(AppContext::CurrentPrinter(), QStringLiteral("PDF file"));
    }
    {
        PrinterChoiceDialog d(nullptr, kPrinters);
        EXPECT_EQ(d.List()->item(3, 1)->text(), QStringLiteral("Yes"));
        d.List()->selectRow(1);
        d.reject();
        EXPECT_EQ(AppContext::CurrentPrinter(), QStringLiteral("PDF file"));
    }
}

// The trays chosen under "Printer setup..." are kept per printer and kind of
// job, for names CUPS allows (an instance after "/", dots, "=").
TEST(PaperSource, KeptPerPrinterAndKindOfJob)
{
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    const QStringList names = {QStringLiteral("Laser"), QStringLiteral("Laser/draft"), QStringLiteral("hp.lj=4"),
                               QStringLiteral("Kanceláø")};
    for (int i = 0; i < names.size(); ++i) {
        StorePaperSource(names[i], PaperSourceJob::Envelopes, {QStringLiteral("InputSlot"), QStringLiteral("E%1").arg(i)});
        StorePaperSource(names[i], PaperSourceJob::Labels, {QStringLiteral("media-source"), QStringLiteral("tray-%1").arg(i)});
    }
    for (int i = 0; i < names.size(); ++i) {
        EXPECT_EQ(StoredPaperSource(names[i], PaperSourceJob::Envelopes),
                  (PaperSourceSetting{QStringLiteral("InputSlot"), QStringLiteral("E%1").arg(i)}))
            << names[i].toStdString();
        EXPECT_EQ(StoredPaperSource(names[i], PaperSourceJob::Labels),
                  (PaperSourceSetting{QStringLiteral("media-source"), QStringLiteral("tray-%1").arg(i)}))
            << names[i].toStdString();
    }
    StorePaperSource(names[0], PaperSourceJob::Labels, {});
    EXPECT_TRUE(StoredPaperSource(names[0], PaperSourceJob::Labels).IsEmpty());
    EXPECT_FALSE(StoredPaperSource(names[0], PaperSourceJob::Envelopes).IsEmpty());
    EXPECT_FALSE(StoredPaperSource(names[1], PaperSourceJob::Labels).IsEmpty());
    EXPECT_TRUE(StoredPaperSource(QStringLiteral("Other"), PaperSourceJob::Envelopes).IsEmpty());

    // A damaged settings file gives the printer's default, not half a choice.
    QSettings().setValue(QStringLiteral("PaperSource/Broken/Envelopes"), QStringLiteral("InputSlot="));
    QSettings().setValue(QStringLiteral("PaperSource/Broken/Labels"), QStringLiteral("=Manual"));
    EXPECT_TRUE(StoredPaperSource(QStringLiteral("Broken"), PaperSourceJob::Envelopes).IsEmpty());
    EXPECT_TRUE(StoredPaperSource(QStringLiteral("Broken"), PaperSourceJob::Labels).IsEmpty());
}

TEST(PaperSource, ReadableTextsForIppKeywords)
{
    EXPECT_EQ(MediaSourceText(QStringLiteral("manual")), QStringLiteral("Manual feed"));
    EXPECT_EQ(MediaSourceText(QStringLiteral("envelope")), QStringLiteral("Envelope feeder"));
    EXPECT_EQ(MediaSourceText(QStringLiteral("tray-2")), QStringLiteral("Tray 2"));
    EXPECT_EQ(MediaSourceText(QStringLiteral("roll-10")), QStringLiteral("Roll 10"));
    EXPECT_EQ(MediaSourceText(QString()), QString());
}

TEST(PrintingCommands, AllRegisteredAndEnabledWithADatabase)
{
    RegisterPrintingCommands();
    for (int id : {32777, 32778, 32817, 32802, 32803, 32804, 32805, 32806, 32807})
        ASSERT_NE(FindCommand(id), nullptr) << id;
    EXPECT_FALSE(FindCommand(32777)->enabled); // always available
    {
        TempDatabase t;
        EXPECT_TRUE(FindCommand(32803)->enabled());
    }
    EXPECT_FALSE(FindCommand(32803)->enabled());
}
