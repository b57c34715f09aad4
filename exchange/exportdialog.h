#pragma once
// "Export to Excel": the format list, the output file with "...", the folder
// tree with "Include subfolders", OK and Cancel.
#include "excelexport.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class CDatabase;
class ExchangeFolderTree;

class ExportDialog : public QDialog {
public:
    ExportDialog(CDatabase &db, QWidget *parent = nullptr);
    // Creates the Export folder, fills the tree and selects its top; false
    // (after the message) when the tree cannot be filled.
    bool Initialize();

    QComboBox *FormatList() const { return m_format; }
    QLineEdit *FileEdit() const { return m_file; }
    ExchangeFolderTree *Tree() const { return m_tree; }
    QCheckBox *Subfolders() const { return m_subfolders; }
    QPushButton *OkButton() const { return m_ok; }
    // The measure of the column widths (tests give a fixed one).
    TextMeasure measure = TextMeasure::Default();

private:
    void ok();
    void browse();
    SheetFormat format() const;

    CDatabase &m_db;
    QComboBox *m_format;
    QLineEdit *m_file;
    QPushButton *m_browse, *m_ok;
    ExchangeFolderTree *m_tree;
    QCheckBox *m_subfolders;
};

void RunExportDialog(QWidget *parent);
