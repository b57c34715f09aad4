#include "tesmarview.h"
#include "icons.h"
#include "tvmessage.h"
#include "tvstrings.h"
#include "addresspanes.h"

#include <QLabel>
#include <QResizeEvent>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {
constexpr int kSheetWidth = 600, kSheetHeight = 574;
}

CTesmarView::CTesmarView(CDatabase &db, AddressPanes *panes, QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("tesmarView"));
    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("sheetScroll"));
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setWidgetResizable(true);
    m_canvas = new QWidget;
    m_canvas->setObjectName(QStringLiteral("sheetCanvas"));
    m_canvas->setMinimumSize(WholeSheetSize());
    m_canvas->installEventFilter(this);
    m_scroll->setWidget(m_canvas);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(m_scroll);
    m_sheet = new QTabWidget(m_canvas);
    m_sheet->setObjectName(QStringLiteral("addressSheet"));
    m_sheet->setGeometry(10, 10, kSheetWidth, kSheetHeight);
    const AddressPage::Kind kinds[] = {AddressPage::View, AddressPage::New, AddressPage::Edit, AddressPage::Quick};
    for (int i = 0; i < 4; ++i) {
        auto *holder = new QWidget(m_sheet);
        auto *layout = new QVBoxLayout(holder);
        // The page head: picture and description.
        auto *head = new QHBoxLayout;
        auto *picture = new QLabel(holder);
        picture->setPixmap(PagePicture(i));
        auto *description = new QLabel(TVLoadStringResource(57346 + i), holder);
        QFont f(QStringLiteral("Arial"));
        f.setPointSize(14);
        f.setBold(true);
        description->setFont(f);
        head->addWidget(picture);
        head->addWidget(description, 1);
        layout->addLayout(head);
        m_pages[std::size_t(i)] = new AddressPage(kinds[i], db, panes, holder);
        connect(m_pages[std::size_t(i)], &AddressPage::helpRequested, this, &CTesmarView::helpRequested);
        layout->addWidget(m_pages[std::size_t(i)], 1);
        m_sheet->addTab(holder, QIcon(PagePicture(i)), TVLoadStringResource(57350 + i));
    }
    m_sheet->setCurrentIndex(0);
    connect(m_sheet, &QTabWidget::currentChanged, this, &CTesmarView::onTabChanged);
}

AddressPage *CTesmarView::page(AddressPage::Kind kind) const
{
    return m_pages[std::size_t(kind - AddressPage::View)];
}

AddressPage *CTesmarView::activePage() const
{
    return m_pages[std::size_t(m_sheet->currentIndex())];
}

void CTesmarView::ActivatePage(int dialogId)
{
    const int index = dialogId - AddressPage::View;
    if (index < 0 || index > 3 || index == m_sheet->currentIndex())
        return;
    m_sheet->setCurrentIndex(index);
}

void CTesmarView::onTabChanged(int index)
{
    if (m_current >= 0 && m_current < 4)
        m_pages[std::size_t(m_current)]->Deactivated();
    m_current = index;
    m_pages[std::size_t(index)]->Activated();
}

void CTesmarView::SelectionChanged(AddressEntry *entry)
{
    AddressPage *p = activePage();
    if (p->kind() == AddressPage::View || p->kind() == AddressPage::Edit)
        p->Fill(entry);
}

std::optional<AddressEntry> CTesmarView::AddressToPrint(AddressPanes *panes)
{
    if (IsQuickPrintingActive())
        return page(AddressPage::Quick)->QuickAddress();
    if (AddressEntry *e = panes->SelectedAddress(false))
        return *e;
    CTVInfo(97);
    return std::nullopt;
}

QPoint CTesmarView::SheetOrigin(QSize viewSize)
{
    return QPoint(std::max(10, (viewSize.width() - kSheetWidth) / 2), std::max(10, (viewSize.height() - kSheetHeight) / 2));
}

QSize CTesmarView::WholeSheetSize()
{
    return QSize(kSheetWidth + 20, kSheetHeight + 20);
}

bool CTesmarView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_canvas && event->type() == QEvent::Resize)
        m_sheet->move(SheetOrigin(static_cast<QResizeEvent *>(event)->size()));
    return QWidget::eventFilter(watched, event);
}
