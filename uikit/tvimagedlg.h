#pragma once
// The image-open dialog and the image preview control.
//
// CTVDlgImageOpen lets the user browse the folders of the machine (the file
// system root, the home folder and the mounted volumes stand where other
// systems show drives), see a folder's image files through a file-type
// filter, preview one and confirm it. With the load-on-OK flag the chosen file
// is loaded on OK and handed to the caller with GetImage.
//
// CTVImagePreview paints an image it is given, stretched into its whole
// contents rectangle; it does not own the image.
#include "tvexport.h"
#include "tvimage.h"
#include "tvimagefiles.h"

#include <QDialog>
#include <QFrame>
#include <memory>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

class TEVROKIT_EXPORT CTVImagePreview : public QFrame {
    Q_OBJECT
public:
    explicit CTVImagePreview(QWidget *parent = nullptr);
    // Shows `image` (nullptr: nothing). The image must outlive its showing or
    // be replaced first; the control never frees it.
    void SetImage(const CTVImage *image);
    const CTVImage *GetImage() const { return m_image; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    const CTVImage *m_image = nullptr;
};

class TEVROKIT_EXPORT CTVDlgImageOpen : public QDialog {
    Q_OBJECT
public:
    // `loadOnOk`: load the chosen file on OK (the program passes true).
    // `startFolder`: the folder shown first; the home folder when empty or
    // when it does not exist.
    explicit CTVDlgImageOpen(bool loadOnOk = true, QWidget *parent = nullptr, const QString &startFolder = {});
    ~CTVDlgImageOpen() override;

    // Runs the dialog modally: QDialog::Accepted for OK, QDialog::Rejected
    // for Cancel.
    int DoModal() { return exec(); }
    // The full path of the chosen file; empty when none is chosen.
    QString GetFileName() const { return m_fileName; }
    // The image loaded on OK when the load flag is set. Ownership passes to
    // the caller; the dialog then holds none and a second call gives nullptr.
    std::unique_ptr<CTVImage> GetImage() { return std::move(m_image); }

    // The folder whose files are listed.
    QString CurrentFolder() const { return m_folder; }
    // Opens the tree down to `folder` and lists its files; false when the
    // folder does not exist.
    bool SelectFolder(const QString &folder);
    // The filter items and the index of the chosen one.
    const std::vector<TVImageFilter> &Filters() const { return m_filters; }
    int FilterIndex() const;
    void SetFilterIndex(int index);
    // The file names of the list, top to bottom.
    QStringList ListedFiles() const;
    // Selects a listed file by name, as a click does; false when not listed.
    bool SelectFile(const QString &name);

    bool AutoPreview() const;
    void SetAutoPreview(bool on);
    // Previews the chosen file: library message 9 and an empty preview when
    // it cannot be read. False without a file or on failure.
    bool Preview();
    // "640 x 480" for the previewed image; empty without one.
    QString PreviewText() const;
    // The thumbnail shown (empty without a preview).
    const CTVImage &PreviewImage() const { return m_thumbnail; }

public slots:
    // OK: library message 8 without a chosen file; with the load flag, the
    // file is loaded and message 9 keeps the dialog open when that fails.
    void accept() override;

private:
    void buildTree();
    QTreeWidgetItem *addFolderItem(QTreeWidgetItem *parent, const QString &label, const QString &path);
    // Reads the children of a tree item once; false when the folder failed.
    bool populate(QTreeWidgetItem *item);
    void onFolderChanged(QTreeWidgetItem *current);
    void onItemExpanded(QTreeWidgetItem *item);
    void refillFiles();
    void onFileChanged();
    void onFileActivated();
    void onAutoPreviewToggled(bool on);
    void clearPreview();
    void updatePreviewButton();
    void reportFolderFailure(QTreeWidgetItem *item);

    bool m_loadOnOk;
    QString m_folder;
    QString m_fileName;
    CTVImage m_thumbnail;
    std::unique_ptr<CTVImage> m_image;
    std::vector<TVImageFilter> m_filters;

    QTreeWidget *m_tree = nullptr;
    QComboBox *m_filter = nullptr;
    QTreeWidget *m_files = nullptr;
    CTVImagePreview *m_preview = nullptr;
    QLabel *m_previewText = nullptr;
    QCheckBox *m_auto = nullptr;
    QPushButton *m_previewButton = nullptr;
};
