#include "tvimagedlg.h"
#include "tvformat.h"
#include "tvmessage.h"
#include "tvstrings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// Data kept on the folder tree's items.
enum FolderRole {
    PathRole = Qt::UserRole,
    VolumeRole,    // true on a volume's top item
    PopulatedRole, // true once the children have been read
};

// Data kept on the file list's items.
constexpr int SizeRole = Qt::UserRole;

constexpr int kNameColumnWidth = 139;
constexpr int kSizeColumnWidth = 72;
constexpr QSize kPreviewSize(200, 160);

// A file list row: names sort by plain string comparison, sizes by number.
class FileItem : public QTreeWidgetItem {
public:
    FileItem(const TVFileEntry &entry)
    {
        setText(0, entry.name);
        setText(1, QString::number(TVSizeInKilobytes(entry.size)));
        setData(1, SizeRole, entry.size);
        setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    }
    bool operator<(const QTreeWidgetItem &other) const override
    {
        const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
        const int byName = QString::compare(text(0), other.text(0), Qt::CaseSensitive);
        if (column == 1) {
            const qint64 a = data(1, SizeRole).toLongLong();
            const qint64 b = other.data(1, SizeRole).toLongLong();
            if (a != b)
                return a < b;
        }
        return byName < 0;
    }
};

QString joinPath(const QString &folder, const QString &name)
{
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

void showLibraryError(int id)
{
    CTVError::Show(TVLibraryString(id), TVB_OK);
}

} // namespace

// ---------------------------------------------------------------------------

CTVImagePreview::CTVImagePreview(QWidget *parent) : QFrame(parent)
{
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
}

void CTVImagePreview::SetImage(const CTVImage *image)
{
    m_image = image;
    update();
}

void CTVImagePreview::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    if (!m_image || !m_image->IsValid())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRect r = contentsRect();
    m_image->Draw2(&painter, r.x(), r.y(), r.width(), r.height());
}

// ---------------------------------------------------------------------------

CTVDlgImageOpen::CTVDlgImageOpen(bool loadOnOk, QWidget *parent, const QString &startFolder)
    : QDialog(parent), m_loadOnOk(loadOnOk), m_filters(TVImageFilters())
{
    setWindowTitle(QStringLiteral("Open image"));

    m_tree = new QTreeWidget(this);
    m_tree->setObjectName(QStringLiteral("folderTree"));
    m_tree->setHeaderHidden(true);
    m_tree->setColumnCount(1);
    m_tree->setMinimumWidth(200);

    m_filter = new QComboBox(this);
    m_filter->setObjectName(QStringLiteral("filterCombo"));
    for (const TVImageFilter &f : m_filters)
        m_filter->addItem(f.text);

    m_files = new QTreeWidget(this);
    m_files->setObjectName(QStringLiteral("fileList"));
    m_files->setColumnCount(2);
    m_files->setHeaderLabels({TVLibraryString(17), TVLibraryString(18)});
    m_files->setRootIsDecorated(false);
    m_files->setUniformRowHeights(true);
    m_files->setAllColumnsShowFocus(true);
    m_files->setSelectionMode(QAbstractItemView::SingleSelection);
    m_files->header()->setStretchLastSection(false);
    m_files->header()->setSectionsClickable(true);
    m_files->setColumnWidth(0, kNameColumnWidth);
    m_files->setColumnWidth(1, kSizeColumnWidth);
    m_files->setSortingEnabled(true);
    m_files->sortByColumn(0, Qt::AscendingOrder);

    m_preview = new CTVImagePreview(this);
    m_preview->setObjectName(QStringLiteral("preview"));
    m_preview->setFixedSize(kPreviewSize);
    m_previewText = new QLabel(this);
    m_previewText->setObjectName(QStringLiteral("previewText"));
    m_previewText->setAlignment(Qt::AlignCenter);
    m_auto = new QCheckBox(QStringLiteral("&Auto preview"), this);
    m_auto->setObjectName(QStringLiteral("autoPreview"));
    m_auto->setChecked(true);
    m_previewButton = new QPushButton(QStringLiteral("&Preview"), this);
    m_previewButton->setObjectName(QStringLiteral("previewButton"));
    m_previewButton->setAutoDefault(false);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("buttons"));
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);

    auto *treeLabel = new QLabel(QStringLiteral("F&olders:"), this);
    treeLabel->setBuddy(m_tree);
    auto *filterLabel = new QLabel(QStringLiteral("Files of &type:"), this);
    filterLabel->setBuddy(m_filter);
    auto *filesLabel = new QLabel(QStringLiteral("&Files:"), this);
    filesLabel->setBuddy(m_files);

    auto *grid = new QGridLayout;
    grid->addWidget(treeLabel, 0, 0);
    grid->addWidget(m_tree, 1, 0, 3, 1);
    grid->addWidget(filterLabel, 0, 1);
    grid->addWidget(m_filter, 1, 1);
    grid->addWidget(filesLabel, 2, 1);
    grid->addWidget(m_files, 3, 1);
    auto *side = new QVBoxLayout;
    side->addWidget(m_preview);
    side->addWidget(m_previewText);
    side->addWidget(m_auto);
    side->addWidget(m_previewButton);
    side->addStretch(1);
    grid->addLayout(side, 1, 2, 3, 1);
    grid->setColumnStretch(0, 2);
    grid->setColumnStretch(1, 3);
    grid->setRowStretch(3, 1);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);

    setTabOrder(m_tree, m_filter);
    setTabOrder(m_filter, m_files);
    setTabOrder(m_files, m_auto);
    setTabOrder(m_auto, m_previewButton);
    setTabOrder(m_previewButton, buttons);
    resize(760, 440);

    connect(buttons, &QDialogButtonBox::accepted, this, &CTVDlgImageOpen::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CTVDlgImageOpen::reject);
    connect(m_tree, &QTreeWidget::itemExpanded, this, &CTVDlgImageOpen::onItemExpanded);
    connect(m_tree, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem *current) { onFolderChanged(current); });
    connect(m_filter, &QComboBox::currentIndexChanged, this, [this] { refillFiles(); });
    connect(m_files, &QTreeWidget::itemSelectionChanged, this, &CTVDlgImageOpen::onFileChanged);
    connect(m_files, &QTreeWidget::itemDoubleClicked, this, [this] { onFileActivated(); });
    connect(m_auto, &QCheckBox::toggled, this, &CTVDlgImageOpen::onAutoPreviewToggled);
    connect(m_previewButton, &QPushButton::clicked, this, [this] { Preview(); });

    buildTree();
    if (startFolder.isEmpty() || !SelectFolder(startFolder))
        SelectFolder(QDir::homePath());
    updatePreviewButton();
    m_files->setFocus();
}

CTVDlgImageOpen::~CTVDlgImageOpen()
{
    m_preview->SetImage(nullptr);
}

QTreeWidgetItem *CTVDlgImageOpen::addFolderItem(QTreeWidgetItem *parent, const QString &label, const QString &path)
{
    auto *item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(m_tree);
    item->setText(0, label);
    item->setData(0, PathRole, path);
    item->setIcon(0, style()->standardIcon(QStyle::SP_DirIcon));
    item->setChildIndicatorPolicy(TVHasSubfolder(path) ? QTreeWidgetItem::ShowIndicator
                                                       : QTreeWidgetItem::DontShowIndicator);
    return item;
}

void CTVDlgImageOpen::buildTree()
{
    const std::vector<TVVolume> volumes = TVMountedVolumes();
    auto volumeIcon = [this](TVVolumeKind kind) {
        switch (kind) {
        case TVVolumeKind::Removable: return style()->standardIcon(QStyle::SP_DriveFDIcon);
        case TVVolumeKind::CdRom: return style()->standardIcon(QStyle::SP_DriveCDIcon);
        case TVVolumeKind::Network: return style()->standardIcon(QStyle::SP_DriveNetIcon);
        case TVVolumeKind::Local: break;
        }
        return style()->standardIcon(QStyle::SP_DriveHDIcon);
    };
    auto addVolume = [&](const TVVolume &v) {
        QTreeWidgetItem *item = addFolderItem(nullptr, TVVolumeLabel(v.kind, v.rootPath), v.rootPath);
        item->setData(0, VolumeRole, true);
        item->setIcon(0, volumeIcon(v.kind));
        // A volume that cannot be read keeps its button, so that opening it
        // says why it shows nothing.
        if (!v.ready)
            item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    };
    addVolume(volumes.front()); // the root file system
    const QString home = QDir::homePath();
    if (home != QLatin1String("/"))
        addFolderItem(nullptr, home, home)->setIcon(0, style()->standardIcon(QStyle::SP_DirHomeIcon));
    for (std::size_t i = 1; i < volumes.size(); ++i)
        if (volumes[i].rootPath != home)
            addVolume(volumes[i]);
}

bool CTVDlgImageOpen::populate(QTreeWidgetItem *item)
{
    if (item->data(0, PopulatedRole).toBool())
        return true;
    item->setData(0, PopulatedRole, true);
    const QString path = item->data(0, PathRole).toString();
    const std::optional<QStringList> names = TVSubfolders(path);
    if (!names) {
        item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicator);
        return false;
    }
    for (const QString &name : *names)
        addFolderItem(item, name, joinPath(path, name));
    if (names->isEmpty())
        item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicator);
    return true;
}

void CTVDlgImageOpen::reportFolderFailure(QTreeWidgetItem *item)
{
    showLibraryError(item->data(0, VolumeRole).toBool() ? 7 : 6);
}

void CTVDlgImageOpen::onItemExpanded(QTreeWidgetItem *item)
{
    if (item->data(0, PopulatedRole).toBool())
        return;
    if (!populate(item)) {
        item->setExpanded(false);
        reportFolderFailure(item);
    }
}

bool CTVDlgImageOpen::SelectFolder(const QString &folder)
{
    const QFileInfo info(folder);
    if (!info.isDir())
        return false;
    const QString target = QDir::cleanPath(info.absoluteFilePath());

    // The top item whose folder holds the target most closely.
    QTreeWidgetItem *best = nullptr;
    QString bestPath;
    for (int i = 0; i < m_tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem *top = m_tree->topLevelItem(i);
        const QString path = top->data(0, PathRole).toString();
        const bool holds = target == path || path == QLatin1String("/") ||
                           target.startsWith(path + QLatin1Char('/'));
        if (holds && path.size() > bestPath.size()) {
            best = top;
            bestPath = path;
        }
    }
    if (!best)
        return false;

    QTreeWidgetItem *item = best;
    const QString rest = target.mid(bestPath.size());
    const QStringList parts = rest.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString path = bestPath;
    for (const QString &part : parts) {
        populate(item);
        path = joinPath(path, part);
        QTreeWidgetItem *next = nullptr;
        for (int c = 0; c < item->childCount(); ++c)
            if (item->child(c)->text(0) == part) {
                next = item->child(c);
                break;
            }
        if (!next) {
            // A hidden folder (or one made since the tree was read).
            next = addFolderItem(item, part, path);
            item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
        }
        item->setExpanded(true);
        item = next;
    }
    m_tree->setCurrentItem(item);
    m_tree->scrollToItem(item);
    if (m_folder != target) {
        m_folder = target;
        refillFiles();
    }
    return true;
}

void CTVDlgImageOpen::onFolderChanged(QTreeWidgetItem *current)
{
    if (!current)
        return;
    const QString path = current->data(0, PathRole).toString();
    if (path == m_folder)
        return;
    m_folder = path;
    refillFiles();
    if (current->data(0, VolumeRole).toBool() && !QDir(path).isReadable())
        showLibraryError(7);
}

int CTVDlgImageOpen::FilterIndex() const
{
    return m_filter->currentIndex();
}

void CTVDlgImageOpen::SetFilterIndex(int index)
{
    m_filter->setCurrentIndex(index);
}

void CTVDlgImageOpen::refillFiles()
{
    const QSignalBlocker block(m_files);
    m_files->clear();
    m_fileName.clear();
    clearPreview();
    const int index = m_filter->currentIndex();
    if (!m_folder.isEmpty() && index >= 0 && index < int(m_filters.size())) {
        const auto files = TVListImageFiles(m_folder, m_filters[std::size_t(index)]);
        if (files) {
            m_files->setSortingEnabled(false);
            for (const TVFileEntry &entry : *files)
                m_files->addTopLevelItem(new FileItem(entry));
            m_files->setSortingEnabled(true);
        }
    }
    updatePreviewButton();
}

QStringList CTVDlgImageOpen::ListedFiles() const
{
    QStringList names;
    for (int i = 0; i < m_files->topLevelItemCount(); ++i)
        names << m_files->topLevelItem(i)->text(0);
    return names;
}

bool CTVDlgImageOpen::SelectFile(const QString &name)
{
    for (int i = 0; i < m_files->topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = m_files->topLevelItem(i);
        if (item->text(0) == name) {
            m_files->setCurrentItem(item);
            item->setSelected(true);
            return true;
        }
    }
    return false;
}

void CTVDlgImageOpen::onFileChanged()
{
    const QList<QTreeWidgetItem *> selected = m_files->selectedItems();
    const QString chosen = selected.isEmpty() ? QString() : joinPath(m_folder, selected.front()->text(0));
    if (chosen == m_fileName)
        return;
    m_fileName = chosen;
    clearPreview();
    updatePreviewButton();
    if (!m_fileName.isEmpty() && m_auto->isChecked())
        Preview();
}

void CTVDlgImageOpen::onFileActivated()
{
    // With Auto preview on, the file is already shown.
    if (!m_auto->isChecked())
        Preview();
}

bool CTVDlgImageOpen::AutoPreview() const
{
    return m_auto->isChecked();
}

void CTVDlgImageOpen::SetAutoPreview(bool on)
{
    m_auto->setChecked(on);
}

void CTVDlgImageOpen::onAutoPreviewToggled(bool on)
{
    updatePreviewButton();
    if (on && !m_fileName.isEmpty())
        Preview();
}

void CTVDlgImageOpen::updatePreviewButton()
{
    m_previewButton->setEnabled(!m_auto->isChecked() && !m_fileName.isEmpty());
}

void CTVDlgImageOpen::clearPreview()
{
    m_preview->SetImage(nullptr);
    m_thumbnail.Destroy();
    m_previewText->clear();
}

bool CTVDlgImageOpen::Preview()
{
    clearPreview();
    if (m_fileName.isEmpty())
        return false;
    CTVImage image;
    if (!image.Load(m_fileName)) {
        showLibraryError(9);
        return false;
    }
    const QString size =
        TVFormat(QStringLiteral("%d x %d"), {TVArg(image.GetWidth()), TVArg(image.GetHeight())}).value_or(QString());
    const QSize box = m_preview->contentsRect().size();
    if (!image.Thumbnail(box.width(), box.height(), QColor(255, 255, 255)))
        return false;
    m_thumbnail = std::move(image);
    m_previewText->setText(size);
    m_preview->SetImage(&m_thumbnail);
    return true;
}

QString CTVDlgImageOpen::PreviewText() const
{
    return m_previewText->text();
}

void CTVDlgImageOpen::accept()
{
    if (m_fileName.isEmpty()) {
        showLibraryError(8);
        return;
    }
    if (m_loadOnOk) {
        auto image = std::make_unique<CTVImage>();
        if (!image->Load(m_fileName)) {
            showLibraryError(9);
            return;
        }
        m_image = std::move(image);
    }
    QDialog::accept();
}
