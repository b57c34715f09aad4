#include "labelproductdialog.h"

#include "dialogparts.h"
#include "tvmessage.h"

#include <QCoreApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace {

// Message shown when OK is pressed without a product selected.
constexpr int kNoProductSelected = 170;

// Moves the list's selection with the arrow and page keys while the focus
// stays in the search field.
class SearchKeys : public QObject {
public:
    SearchKeys(QObject *parent, QTreeWidget *list) : QObject(parent), m_list(list) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Down || key == Qt::Key_Up || key == Qt::Key_PageDown || key == Qt::Key_PageUp) {
                QKeyEvent copy(QEvent::KeyPress, key, static_cast<QKeyEvent *>(event)->modifiers());
                QCoreApplication::sendEvent(m_list, &copy);
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QTreeWidget *m_list;
};

} // namespace

LabelProductPicture::LabelProductPicture(QWidget *parent) : QWidget(parent)
{
    setMinimumSize(160, 200);
}

void LabelProductPicture::SetProduct(const LabelProduct *product)
{
    m_has = product != nullptr;
    if (product)
        m_product = *product;
    update();
}

QRectF LabelProductPicture::PaperRect() const
{
    if (!m_has || m_product.paperWidth <= 0 || m_product.paperHeight <= 0)
        return {};
    const QRectF area = QRectF(rect()).adjusted(6, 6, -6, -6);
    const double scale = std::min(area.width() / m_product.paperWidth, area.height() / m_product.paperHeight);
    const QSizeF size(m_product.paperWidth * scale, m_product.paperHeight * scale);
    return QRectF(area.center() - QPointF(size.width() / 2, size.height() / 2), size);
}

void LabelProductPicture::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    const QRectF paper = PaperRect();
    if (paper.isEmpty())
        return;
    const double s = paper.width() / m_product.paperWidth;
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(paper, Qt::white);
    p.setPen(QPen(QColor(90, 90, 90), 1));
    p.drawRect(paper);
    p.setPen(QPen(QColor(0xDC, 0xDC, 0x00), 1));
    p.setBrush(QColor(0xFF, 0xFF, 0xB4));
    for (int row = 0; row < m_product.M; ++row)
        for (int col = 0; col < m_product.N; ++col) {
            const double x = m_product.A + col * (m_product.B + m_product.C);
            const double y = m_product.D + row * (m_product.E + m_product.F);
            p.drawRect(QRectF(paper.left() + x * s, paper.top() + y * s, m_product.B * s, m_product.E * s));
        }
}

LabelProductDialog::LabelProductDialog(QWidget *parent, CDatabase &db) : QDialog(parent), m_db(db)
{
    TemplateScan scan;
    m_products = LoadLabelCatalogue(&scan);
    build(scan);
}

LabelProductDialog::LabelProductDialog(QWidget *parent, CDatabase &db, std::vector<LabelProduct> products,
                                       const TemplateScan &scan)
    : QDialog(parent), m_db(db), m_products(std::move(products))
{
    build(scan);
}

void LabelProductDialog::build(const TemplateScan &scan)
{
    setWindowTitle(QStringLiteral("New label dimensions from a product"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Find the label sheet by brand, part number or size."), this));

    auto *searchRow = new QHBoxLayout;
    auto *searchLabel = new QLabel(QStringLiteral("&Search"), this);
    m_search = new QLineEdit(this);
    m_search->setPlaceholderText(QStringLiteral("for example L7163, Zweckform 3474 or 63.5 x 38.1"));
    m_search->setClearButtonEnabled(true);
    searchLabel->setBuddy(m_search);
    searchRow->addWidget(searchLabel);
    searchRow->addWidget(m_search, 1);
    layout->addLayout(searchRow);

    auto *body = new QHBoxLayout;
    m_list = new QTreeWidget(this);
    m_list->setColumnCount(4);
    m_list->setHeaderLabels({QStringLiteral("Brand"), QStringLiteral("Part number"), QStringLiteral("Description"),
                             QStringLiteral("Labels")});
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAllColumnsShowFocus(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->header()->setStretchLastSection(true);
    m_list->setColumnWidth(0, 120);
    m_list->setColumnWidth(1, 90);
    m_list->setColumnWidth(2, 300);
    m_list->setMinimumWidth(640);
    body->addWidget(m_list, 1);
    auto *side = new QVBoxLayout;
    m_picture = new LabelProductPicture(this);
    side->addWidget(m_picture, 1);
    m_details = new QLabel(this);
    m_details->setWordWrap(true);
    m_details->setMaximumWidth(240);
    m_details->setTextInteractionFlags(Qt::TextSelectableByMouse);
    side->addWidget(m_details);
    body->addLayout(side);
    layout->addLayout(body, 1);

    m_counts = new QLabel(this);
    m_counts->setWordWrap(true);
    int builtIn = 0;
    for (const LabelProduct &p : m_products)
        builtIn += p.BuiltIn() ? 1 : 0;
    QString counts = QStringLiteral("%1 products: %2 built in, %3 from gLabels templates")
                         .arg(m_products.size())
                         .arg(builtIn)
                         .arg(int(m_products.size()) - builtIn);
    if (scan.templates > 0) {
        counts += QStringLiteral(" (%1 templates read, %2 mapped, %3 skipped").arg(scan.templates).arg(scan.mapped).arg(scan.SkippedTotal());
        QStringList why;
        for (const auto &[reason, count] : scan.skipped)
            why << QStringLiteral("%1 %2").arg(count).arg(TemplateSkipText(reason));
        if (!why.isEmpty())
            counts += QStringLiteral(": ") + why.join(QStringLiteral(", "));
        counts += u')';
    }
    counts += u'.';
    if (!scan.errors.isEmpty()) {
        counts += QStringLiteral("\n%1 template file(s) could not be read completely: %2")
                      .arg(scan.errors.size())
                      .arg(scan.errors.front());
        m_counts->setToolTip(scan.errors.join(u'\n'));
    }
    m_counts->setText(counts);
    layout->addWidget(m_counts);

    auto *nameRow = new QHBoxLayout;
    auto *nameLabel = new QLabel(QStringLiteral("&Name"), this);
    m_name = new QLineEdit(this);
    m_name->setMaxLength(64);
    nameLabel->setBuddy(m_name);
    nameRow->addWidget(nameLabel);
    nameRow->addWidget(m_name, 1);
    layout->addLayout(nameRow);
    layout->addWidget(OkCancelButtons(this, m_ok));

    m_search->installEventFilter(new SearchKeys(this, m_list));
    connect(m_search, &QLineEdit::textChanged, this, [this] { refill(); });
    connect(m_list, &QTreeWidget::currentItemChanged, this, [this] { selectionChanged(); });
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, [this] { accept(); });
    refill();
    m_search->setFocus();
    resize(1000, 560);
}

void LabelProductDialog::refill()
{
    m_shown = SearchLabelProducts(m_products, m_search->text());
    m_list->setUpdatesEnabled(false);
    m_list->clear();
    QList<QTreeWidgetItem *> items;
    items.reserve(int(m_shown.size()));
    for (std::size_t i = 0; i < m_shown.size(); ++i) {
        const LabelProduct &p = *m_shown[i];
        auto *item = new QTreeWidgetItem({p.brand, p.part, p.description, p.Summary()});
        item->setData(0, Qt::UserRole, qulonglong(i));
        if (!p.BuiltIn())
            item->setToolTip(0, p.source);
        items << item;
    }
    m_list->addTopLevelItems(items);
    m_list->setUpdatesEnabled(true);
    if (!items.isEmpty())
        m_list->setCurrentItem(items.front());
    else
        selectionChanged();
}

const LabelProduct *LabelProductDialog::Selected() const
{
    const QTreeWidgetItem *item = m_list->currentItem();
    if (!item)
        return nullptr;
    const auto i = std::size_t(item->data(0, Qt::UserRole).toULongLong());
    return i < m_shown.size() ? m_shown[i] : nullptr;
}

void LabelProductDialog::selectionChanged()
{
    const LabelProduct *p = Selected();
    m_picture->SetProduct(p);
    if (!p) {
        m_details->clear();
        return;
    }
    m_name->setText(p->DefaultName());
    m_details->setText(QStringLiteral("%1 %2\n%3\nPaper %4 x %5 mm\nA = %6, B = %7, C = %8 mm\nD = %9, E = %10, F = %11 mm\n"
                                      "%12 x %13 labels\nSource: %14")
                           .arg(p->brand, p->part, p->Summary())
                           .arg(p->paperWidth, 0, 'f', 2)
                           .arg(p->paperHeight, 0, 'f', 2)
                           .arg(p->A, 0, 'f', 2)
                           .arg(p->B, 0, 'f', 2)
                           .arg(p->C, 0, 'f', 2)
                           .arg(p->D, 0, 'f', 2)
                           .arg(p->E, 0, 'f', 2)
                           .arg(p->F, 0, 'f', 2)
                           .arg(p->N)
                           .arg(p->M)
                           .arg(p->BuiltIn() ? QStringLiteral("makers' data sheets (built in)") : p->source));
}

void LabelProductDialog::accept()
{
    const LabelProduct *p = Selected();
    if (!p) {
        CTVError{kNoProductSelected};
        m_search->setFocus();
        return;
    }
    const QString name = m_name->text().trimmed();
    if (name.isEmpty()) {
        CTVError(50);
        m_name->setFocus();
        return;
    }
    if (LabelSizeNameExists(m_db, name)) {
        CTVError(51);
        m_name->setFocus();
        return;
    }
    LabelSize size = p->ToLabelSize();
    size.name = name;
    if (!SaveLabelSize(m_db, size, true)) {
        reject();
        return;
    }
    m_size = size;
    QDialog::accept();
}
