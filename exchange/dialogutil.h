#pragma once
// Small helpers shared by the exchange dialogs.
#include <QString>

class QWidget;

// A filter of the string table ("Backup files (*.env)|*.env||") as the file
// dialog takes it ("Backup files (*.env)"), one line per description.
QString FileDialogFilter(const QString &tableFilter);

// The save-style file dialog: title, filter, default suffix, start folder
// and initial name; the working directory is left alone. Empty on Cancel.
QString AskSaveFileName(QWidget *parent, const QString &title, const QString &filter, const QString &suffix,
                        const QString &startFolder, const QString &initialName, bool confirmOverwrite,
                        int filterIndex = 0);
// The open-style file dialog.
QString AskOpenFileName(QWidget *parent, const QString &title, const QString &filter, const QString &suffix);
