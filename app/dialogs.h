#pragma once
// Small dialogs of the main window: the about box and the "Information"
// dialog that shows where an address is filed.
#include <QDialog>
#include <cstdint>

class CDatabase;

class AboutDialog : public QDialog {
public:
    explicit AboutDialog(QWidget *parent = nullptr);
};

class FolderInformationDialog : public QDialog {
public:
    FolderInformationDialog(CDatabase &db, std::int32_t folder, QWidget *parent = nullptr);
};
