#include "dialogs.h"
#include "addressrecords.h"
#include "dberror.h"
#include "icons.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

AboutDialog::AboutDialog(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("About Corvelle"));
    auto *layout = new QVBoxLayout(this);
    auto *picture = new QLabel(this);
    picture->setPixmap(PagePicture(3));
    layout->addWidget(picture, 0, Qt::AlignHCenter);
    auto *text = new QLabel(QStringLiteral("<h2>Corvelle</h2>"
                                           "<p>Version %1</p>"
                                           "<p>Address book and envelope and label printing<br>"
                                           "for small offices and households.</p>"
                                           "<p>Darvenix<br>support@darvenix.example<br>"
                                           "<a href=\"https://darvenix.example/corvelle\">darvenix.example/corvelle</a></p>")
                                .arg(QStringLiteral(CORVELLE_VERSION)),
                            this);
    text->setAlignment(Qt::AlignHCenter);
    text->setOpenExternalLinks(true);
    layout->addWidget(text);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}

FolderInformationDialog::FolderInformationDialog(CDatabase &db, std::int32_t folder, QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Information"));
    auto *layout = new QVBoxLayout(this);
    auto *heading = new QLabel(QStringLiteral("<b>Address location</b>"), this);
    layout->addWidget(heading);
    layout->addWidget(new QLabel(QStringLiteral("The selected address belongs to the following folder:"), this));
    auto *tree = new QTreeWidget(this);
    tree->setObjectName(QStringLiteral("locationTree"));
    tree->setHeaderHidden(true);
    tree->setSelectionMode(QAbstractItemView::NoSelection);
    layout->addWidget(tree);
    QStringList path;
    DbOperation(db, [&] { path = FolderPathNames(db, folder); });
    QTreeWidgetItem *parentItem = nullptr;
    QIcon icon(TreeImage(0));
    icon.addPixmap(TreeImage(1), QIcon::Selected);
    for (const QString &name : path) {
        auto *item = parentItem ? new QTreeWidgetItem(parentItem, {name}) : new QTreeWidgetItem(tree, {name});
        item->setIcon(0, icon);
        parentItem = item;
    }
    tree->expandAll();
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
    resize(360, 300);
}
