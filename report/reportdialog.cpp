#include "reportdialog.h"

#include "commands.h"
#include "dberror.h"
#include "printers.h"
#include "reporttable.h"
#include "tvmessage.h"

#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QResizeEvent>
#include <QTableView>
#include <new>

// The preview's place: the page picture centred on the window's background.
class ReportPreviewWidget : public QWidget {
public:
    using QWidget::QWidget;
    void SetPicture(const QImage *picture, const QRect &rect)
    {
        m_picture = picture;
        m_rect = rect;
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        if (!m_picture || m_picture->isNull())
            return;
        QPainter painter(this);
        painter.drawImage(m_rect.topLeft(), *m_picture);
        painter.setPen(palette().color(QPalette::Dark));
        painter.drawRect(m_rect.adjusted(0, 0, -1, -1));
    }

private:
    const QImage *m_picture = nullptr;
    QRect m_rect;
};

namespace {

constexpr int kSideMargin = 14;
constexpr int kTopMargin = 52;
constexpr int kBottomMargin = 50;
constexpr int kButtonWidth = 92;
constexpr int kButtonHeight = 26;
constexpr int kButtonGap = 8;

QPushButton *button(QWidget *parent, const QString &text, const char *name)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

} // namespace

ReportDialog::ReportDialog(CDatabase &db, const ReportCriteria &criteria, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("reportDialog"));
    setWindowTitle(QStringLiteral("Printout"));
    setSizeGripEnabled(true);
    setMinimumSize(630, 300);

    m_heading = new QLabel(ReportTitle(), this);
    m_heading->setObjectName(QStringLiteral("reportHeading"));

    m_model = new ReportTableModel(this);
    m_table = new QTableView(this);
    m_table->setObjectName(QStringLiteral("reportTable"));
    m_table->setModel(m_model);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setShowGrid(true);
    m_table->setWordWrap(false);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 4);
    QHeaderView *header = m_table->horizontalHeader();
    header->setStretchLastSection(false);
    header->setSectionsClickable(true);
    header->setHighlightSections(false);
    header->setMinimumSectionSize(1);
    for (std::size_t k = 0; k < 6; ++k)
        m_widths[k] = kReportInitialWidths[k];
    applyColumnWidths();
    connect(header, &QHeaderView::sectionClicked, this, [this](int column) { m_model->sort(column); });
    // A column the user widens or narrows keeps its new share.
    connect(header, &QHeaderView::sectionResized, this, [this](int column, int, int size) {
        if (!m_settingWidths && column >= 0 && column < 6)
            m_widths[std::size_t(column)] = size;
    });

    m_previewWidget = new ReportPreviewWidget(this);
    m_previewWidget->setObjectName(QStringLiteral("reportPreview"));
    m_previewWidget->hide();

    m_print = button(this, QStringLiteral("Print\u2026"), "printButton");
    m_preview = button(this, QStringLiteral("Preview"), "previewButton");
    m_printout = button(this, QStringLiteral("Printout"), "printoutButton");
    m_back = button(this, QStringLiteral("Back"), "backButton");
    m_next = button(this, QStringLiteral("Next"), "nextButton");
    m_cancel = button(this, QStringLiteral("Cancel"), "cancelButton");
    connect(m_print, &QPushButton::clicked, this, &ReportDialog::ChoosePrintForm);
    connect(m_preview, &QPushButton::clicked, this, &ReportDialog::StartPreview);
    connect(m_printout, &QPushButton::clicked, this, &ReportDialog::EndPreview);
    connect(m_back, &QPushButton::clicked, this, &ReportDialog::PreviousPage);
    connect(m_next, &QPushButton::clicked, this, &ReportDialog::NextPage);
    connect(m_cancel, &QPushButton::clicked, this, &ReportDialog::reject);

    resize(700, 440);
    placeChildren();
    fill(db, criteria);
    updateButtons();
}

ReportDialog::~ReportDialog() = default;

void ReportDialog::fill(CDatabase &db, const ReportCriteria &criteria)
{
    std::vector<AddressEntry> rows;
    if (!DbOperation(db, [&] { rows = LoadReportRows(db, criteria); }))
        return;
    try {
        m_model->reset(std::move(rows));
    } catch (const std::bad_alloc &) {
        CTVError::Show(7, TVB_OK);
        m_model->reset({});
        return;
    }
    m_filled = true;
}

int ReportDialog::exec()
{
    if (!m_filled) {
        setResult(Rejected);
        return Rejected;
    }
    return QDialog::exec();
}

const std::vector<AddressEntry> &ReportDialog::Rows() const
{
    return m_model->rows();
}

ReportColumnWidths ReportDialog::ColumnWidths() const
{
    ReportColumnWidths widths;
    for (int k = 0; k < 6; ++k)
        widths[std::size_t(k)] = m_table->columnWidth(k);
    return widths;
}

QRect ReportDialog::TableArea() const
{
    return QRect(kSideMargin, kTopMargin, std::max(1, width() - 2 * kSideMargin),
                 std::max(1, height() - kTopMargin - kBottomMargin));
}

QRect ReportDialog::PreviewPictureRect() const
{
    if (!m_previewing)
        return QRect();
    return FitPageInto(QSize(m_printerMetrics.HORZRES, m_printerMetrics.VERTRES), TableArea());
}

void ReportDialog::applyColumnWidths()
{
    m_settingWidths = true;
    const ReportColumnWidths rounded = RoundColumnWidths(m_widths);
    for (int k = 0; k < 6; ++k)
        m_table->setColumnWidth(k, rounded[std::size_t(k)]);
    m_settingWidths = false;
}

void ReportDialog::placeChildren()
{
    const QRect area = TableArea();
    m_heading->setGeometry(kSideMargin, 14, std::max(1, width() - 2 * kSideMargin), 24);
    m_table->setGeometry(area);
    m_previewWidget->setGeometry(area);
    int x = kSideMargin;
    const int y = height() - kBottomMargin + (kBottomMargin - kButtonHeight) / 2;
    for (QPushButton *b : {m_print, m_preview, m_printout, m_back, m_next, m_cancel}) {
        b->setGeometry(x, y, kButtonWidth, kButtonHeight);
        x += kButtonWidth + kButtonGap;
    }
    // The columns keep their shares of the table's width.
    const int tableWidth = area.width();
    if (m_tableWidth > 0 && tableWidth != m_tableWidth) {
        m_widths = RescaleColumnWidths(m_widths, m_tableWidth, tableWidth);
        applyColumnWidths();
    }
    m_tableWidth = tableWidth;
}

void ReportDialog::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    placeChildren();
    if (m_previewing)
        renderPreview();
}

void ReportDialog::updateButtons()
{
    const bool hasRows = m_model->rowCount() > 0;
    m_print->setEnabled(hasRows);
    m_preview->setEnabled(!m_previewing && hasRows);
    m_printout->setEnabled(m_previewing);
    m_back->setEnabled(m_previewing && m_page > 0);
    m_next->setEnabled(m_previewing && m_page + 1 < m_pages);
}

void ReportDialog::StartPreview()
{
    if (m_previewing || m_model->rowCount() == 0)
        return;
    std::unique_ptr<QPrinter> printer = CreatePrinterDCOrReport(this, false);
    if (!printer)
        return;
    m_printerMetrics = MetricsOf(*printer);
    if (m_printerMetrics.HORZRES <= 0 || m_printerMetrics.VERTRES <= 0) {
        CTVError::Show(43, TVB_OK);
        return;
    }
    m_previewing = true;
    m_page = 0;
    renderPreview();
    m_table->hide();
    m_previewWidget->show();
    updateButtons();
}

void ReportDialog::renderPreview()
{
    const QRect target = PreviewPictureRect();
    m_picture = RenderReportPreview(m_printerMetrics, target.size(), m_page, m_model->rows(), ColumnWidths(),
                                    &m_pages);
    m_page = std::clamp(m_page, 0, std::max(0, m_pages - 1));
    m_previewWidget->SetPicture(&m_picture, target.translated(-TableArea().topLeft()));
}

void ReportDialog::NextPage()
{
    if (!m_previewing || m_page + 1 >= m_pages)
        return;
    ++m_page;
    renderPreview();
    updateButtons();
}

void ReportDialog::PreviousPage()
{
    if (!m_previewing || m_page <= 0)
        return;
    --m_page;
    renderPreview();
    updateButtons();
}

void ReportDialog::releasePreview()
{
    m_previewing = false;
    m_page = 0;
    m_pages = 0;
    m_picture = QImage();
    m_previewWidget->SetPicture(nullptr, QRect());
}

void ReportDialog::EndPreview()
{
    if (!m_previewing)
        return;
    releasePreview();
    m_previewWidget->hide();
    m_table->show();
    updateButtons();
}

void ReportDialog::ChoosePrintForm()
{
    if (m_model->rowCount() == 0)
        return;
    PrintFormDialog choice(this);
    if (choice.exec() != QDialog::Accepted)
        return;
    RunPrintForm(choice.Choice());
}

void ReportDialog::RunPrintForm(ReportPrintForm form)
{
    if (m_model->rowCount() == 0)
        return;
    if (form == ReportPrintForm::Printout) {
        EndPreview();
        m_lastPrint = PrintReport(this, m_model->rows(), ColumnWidths());
        return;
    }
    // A copy: the label or envelope flow may run its own event loops.
    const std::vector<AddressEntry> rows = m_model->rows();
    RunPrintList(PrintListKind(form), this, rows, false);
}
