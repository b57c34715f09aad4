#pragma once
// The application object: finds and opens the database, prepares the message
// boxes and shows the main window. It owns the open database for the run.
#include "database.h"

#include <QPixmap>
#include <QString>
#include <memory>
#include <vector>

class QMainWindow;

class CTesmarApp {
public:
    CTesmarApp();
    ~CTesmarApp();

    // The start-up sequence up to (not including) the main window; false when
    // the program must end (message 1 has been shown).
    bool InitInstance();
    // Creates and shows the main window.
    bool ShowMainWindow();

    CDatabase &Database() { return m_db; }
    QString ProgramDirectory() const { return m_programDir; }
    QString DatabasePath() const;
    QString TempSpreadsheetPath() const { return m_tempSpreadsheet; }
    QString CurrentPrinter() const;
    void SetCurrentPrinter(const QString &name);
    const std::vector<QPixmap> &Images32() const { return m_images32; }
    const std::vector<QPixmap> &Images16() const { return m_images16; }
    QMainWindow *MainWindow() const { return m_mainWindow.get(); }
    // Set when this start created the database in the user's data folder: the
    // notice the status bar (or, without a window, standard error) shows.
    QString NewDatabaseNotice() const { return m_newDatabaseNotice; }

    static CTesmarApp *Instance();

private:
    void buildImageLists();
    void registerMessageBoxes();

    CDatabase m_db;
    QString m_programDir;
    QString m_configuredDatabase;
    QString m_tempSpreadsheet;
    QString m_newDatabaseNotice;
    std::vector<QPixmap> m_images32, m_images16;
    std::unique_ptr<QMainWindow> m_mainWindow;
};
