#include "tesmarapp.h"
#include "subsystems.h"
#include "appcontext.h"
#include "mainframe.h"
#include "startup.h"
#include "strings/strings.h"
#include "tvformat.h"
#include "tvmessage.h"
#include "tvstrings.h"

#include <QApplication>
#include <QGuiApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMainWindow>
#include <QPrinterInfo>
#include <QStatusBar>
#include <QProxyStyle>
#include <QStyle>
#include <new>

namespace {
CTesmarApp *g_app = nullptr;

// The style the user chose (-style, or the platform's), with one habit of
// desktop programs added: Alt pressed and released alone opens the menu bar
// for the keyboard.
class MenuKeyStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *data) const override
    {
        if (hint == SH_MenuBar_AltKeyNavigation)
            return 1;
        return QProxyStyle::styleHint(hint, option, widget, data);
    }
};
} // namespace

CTesmarApp::CTesmarApp()
{
    g_app = this;
}

CTesmarApp::~CTesmarApp()
{
    m_mainWindow.reset();
    AppContext::SetDatabase(nullptr);
    if (g_app == this)
        g_app = nullptr;
}

CTesmarApp *CTesmarApp::Instance()
{
    return g_app;
}

QString CTesmarApp::DatabasePath() const
{
    return m_configuredDatabase.isEmpty() ? m_programDir + QStringLiteral("/envdb.mdb") : m_configuredDatabase;
}

QString CTesmarApp::CurrentPrinter() const
{
    return AppContext::CurrentPrinter();
}

void CTesmarApp::SetCurrentPrinter(const QString &name)
{
    AppContext::SetCurrentPrinter(name);
}

bool CTesmarApp::InitInstance()
{
    CorvelleRegisterStrings();

    // 1. The program directory is the working directory at start-up; an
    // installed program started elsewhere keeps its files in the user's data
    // folder and, on its first start there, creates the database.
    const ProgramDirectoryChoice place = ChooseProgramDirectory(QDir::currentPath(), RunningInstalled(), UserDataHome());
    m_newDatabaseNotice.clear();
    if (place.userDataFolder && PrepareUserDataFolder(place.directory, InstalledSoundFile(), nullptr))
        m_newDatabaseNotice = TVFormat(TVLoadStringResource(59470), {QDir::toNativeSeparators(place.directory)})
                                  .value_or(place.directory);
    AppContext::SetProgramDirectory(place.directory);
    m_programDir = AppContext::ProgramDirectory();

    // 2. envelope.ini may name the database on its first line. In the user's
    // data folder a relative name is taken from that folder, where the file is.
    m_configuredDatabase = ReadConfiguredDatabasePath(AppContext::ProgramFile(QStringLiteral("envelope.ini")));
    if (place.userDataFolder && !m_configuredDatabase.isEmpty())
        m_configuredDatabase = QDir(m_programDir).absoluteFilePath(m_configuredDatabase);

    // 3. A temporary spreadsheet left by an earlier run is removed.
    m_tempSpreadsheet = AppContext::TempSpreadsheetPath();
    QFile::remove(m_tempSpreadsheet);

    // 4. Pictures of the message boxes and the address tree.
    buildImageLists();

    // 5. The current printer starts as the system's default; without one the
    // built-in PDF printer, so that a new user can print at once.
    QString printer = PrinterNameFromProfileEntry(QPrinterInfo::defaultPrinterName());
    if (printer.isEmpty())
        printer = QString::fromLatin1(kPdfPrinterName);
    AppContext::SetCurrentPrinter(printer);

    // 6. The look of the message boxes.
    registerMessageBoxes();

    // 9. The database, shared and read-write.
    if (!HoldDatabaseInUse(DatabasePath()))
        return false;
    try {
        m_db.Open(DatabasePath(), false);
    } catch (const DbException &) {
        CTVError(1);
        return false;
    } catch (const std::bad_alloc &) {
        CTVError(1);
        return false;
    }
    AppContext::SetDatabase(&m_db);

    // 10. Per-user settings under the company and profile names.
    QCoreApplication::setOrganizationName(TVLoadStringResource(59405));
    QCoreApplication::setApplicationName(TVLoadStringResource(59400));
    return true;
}

void CTesmarApp::buildImageLists()
{
    // The message boxes take their pictures from the 32 x 32 list by index:
    // 2 information, 3 question, 16 error, 17 warning.
    m_images32.assign(18, QPixmap());
    m_images16.clear();
    if (auto *gui = qobject_cast<QApplication *>(QCoreApplication::instance())) {
        QStyle *style = gui->style();
        m_images32[2] = style->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32);
        m_images32[3] = style->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(32, 32);
        m_images32[16] = style->standardIcon(QStyle::SP_MessageBoxCritical).pixmap(32, 32);
        m_images32[17] = style->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(32, 32);
    }
}

void CTesmarApp::registerMessageBoxes()
{
    // Seven button looks, each with the library's default text.
    const struct {
        unsigned bit;
        int icon;
    } buttons[] = {{TVB_YES, 368}, {TVB_NO, 363}, {TVB_CANCEL, 208}, {TVB_OK, 368},
                   {0x2000, 0},    {TVB_YESTOALL, 368}, {TVB_NOTOALL, 363}};
    for (const auto &b : buttons)
        CTVMessage::RegisterButton(b.bit, b.icon, 6, 8, 35, 50, 0xA0DCF0, true, QString());
    CTVMessage::RegisterImageList(m_images32);
    const QString caption = TVLoadStringResource(59400);
    CTVError::Register(caption, TVLoadStringResource(59401), 16, 0x000080, 0, 0xDCDCFF);
    CTVWarning::Register(caption, TVLoadStringResource(59402), 17, 0x000000, 0, 0xDCFFFF);
    CTVInfo::Register(caption, TVLoadStringResource(59403), 2, 0x800000, 0, 0xFFDCDC);
    CTVQuestion::Register(caption, TVLoadStringResource(59404), 3, 0x008000, 0, 0xDCFFDC);
}

bool CTesmarApp::ShowMainWindow()
{
    if (!dynamic_cast<MenuKeyStyle *>(QApplication::style()))
        QApplication::setStyle(new MenuKeyStyle(QApplication::style()->name()));
    auto frame = std::make_unique<CMainFrame>(m_db);
    if (!frame->Create())
        return false;
    frame->resize(CMainFrame::FirstSize(QGuiApplication::primaryScreen()));
    CTVMessage::SetParentWindow(frame.get());
    frame->show();
    if (!m_newDatabaseNotice.isEmpty())
        frame->statusBar()->showMessage(m_newDatabaseNotice);
    m_mainWindow = std::move(frame);
    return true;
}
