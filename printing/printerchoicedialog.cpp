#include "printerchoicedialog.h"

#include "appcontext.h"
#include "printers.h"
#include "tvmessage.h"
#include "tvstrings.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

PrinterChoiceDialog::PrinterChoiceDialog(QWidget *parent) : PrinterChoiceDialog(parent, InstalledPrinterNames()) {}

PrinterChoiceDialog::PrinterChoiceDialog(QWidget *parent, const QStringList &printers) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Choosing printer"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Choose the printer from the list."), this));
    layout->addWidget(new QLabel(QStringLiteral("Installed printers"), this));

    m_list = new QTableWidget(0, 2, this);
    m_list->setHorizontalHeaderLabels({QStringLiteral("Printer name"), QStringLiteral("Selected")});
    m_list->horizontalHeaderItem(0)->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_list->horizontalHeaderItem(1)->setTextAlignment(Qt::AlignCenter);
    m_list->setColumnWidth(0, 350);
    m_list->setColumnWidth(1, 78);
    m_list->verticalHeader()->hide();
    m_list->setShowGrid(true);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setMinimumSize(450, 220);
    layout->addWidget(m_list);

    const QString current = AppContext::CurrentPrinter();
    m_list->setRowCount(int(printers.size()));
    for (int r = 0; r < printers.size(); ++r) {
        auto *name = new QTableWidgetItem(printers[r]);
        const bool selected = printers[r] == current;
        name->setData(Qt::UserRole, selected);
        auto *mark = new QTableWidgetItem(selected ? TVLoadStringResource(99) : QString());
        mark->setTextAlignment(Qt::AlignCenter);
        m_list->setItem(r, 0, name);
        m_list->setItem(r, 1, mark);
    }
    connect(m_list->horizontalHeader(), &QHeaderView::sectionClicked, this, &PrinterChoiceDialog::SortByColumn);
    connect(m_list, &QTableWidget::cellDoubleClicked, this, [this] { accept(); });

    m_sourceBox = new QGroupBox(QStringLiteral("Paper source on the selected printer"), this);
    auto *form = new QFormLayout(m_sourceBox);
    const char *captions[] = {"&Envelopes:", "&Labels:"};
    for (std::size_t k = 0; k < m_sources.size(); ++k) {
        m_sources[k] = new QComboBox(m_sourceBox);
        m_sources[k]->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        m_sources[k]->setMinimumContentsLength(28);
        form->addRow(QString::fromLatin1(captions[k]), m_sources[k]);
    }
    layout->addWidget(m_sourceBox);
    connect(m_list, &QTableWidget::itemSelectionChanged, this, &PrinterChoiceDialog::showSourcesOfSelection);
    showSourcesOfSelection();

    auto *box = new QDialogButtonBox(this);
    m_ok = box->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    m_ok->setDefault(true);
    box->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(box);
}

QStringList PrinterChoiceDialog::Names() const
{
    QStringList names;
    for (int r = 0; r < m_list->rowCount(); ++r)
        names << m_list->item(r, 0)->text();
    return names;
}

void PrinterChoiceDialog::SortByColumn(int column)
{
    struct Row {
        QString name;
        bool current;
    };
    std::vector<Row> rows;
    for (int r = 0; r < m_list->rowCount(); ++r)
        rows.push_back({m_list->item(r, 0)->text(), m_list->item(r, 0)->data(Qt::UserRole).toBool()});
    QString selectedName;
    const auto selected = m_list->selectionModel()->selectedRows();
    if (!selected.isEmpty())
        selectedName = rows[std::size_t(selected.first().row())].name;
    if (column == 0)
        std::stable_sort(rows.begin(), rows.end(), [](const Row &a, const Row &b) {
            return a.name.compare(b.name, Qt::CaseInsensitive) < 0;
        });
    else
        std::stable_partition(rows.begin(), rows.end(), [](const Row &r) { return r.current; });
    m_list->clearSelection();
    for (int r = 0; r < int(rows.size()); ++r) {
        m_list->item(r, 0)->setText(rows[std::size_t(r)].name);
        m_list->item(r, 0)->setData(Qt::UserRole, rows[std::size_t(r)].current);
        m_list->item(r, 1)->setText(rows[std::size_t(r)].current ? TVLoadStringResource(99) : QString());
        if (!selectedName.isEmpty() && rows[std::size_t(r)].name == selectedName)
            m_list->selectRow(r);
    }
}

void PrinterChoiceDialog::keepShownSources()
{
    if (m_shown.isEmpty() || !m_visited.contains(m_shown))
        return;
    Sources &s = m_visited[m_shown];
    for (std::size_t k = 0; k < m_sources.size(); ++k) {
        const QString keyword = m_sources[k]->currentData().toString();
        if (keyword.isEmpty())
            s.chosen[k] = {};
        else if (keyword != s.chosen[k].keyword) // a stored choice keeps its own option
            s.chosen[k] = {s.offer.option, keyword};
    }
}

void PrinterChoiceDialog::fillSourceCombo(QComboBox *combo, const Sources &sources, const PaperSourceSetting &chosen)
{
    combo->clear();
    QString fallback = QStringLiteral("Printer's default");
    for (const PaperSourceChoice &c : sources.offer.choices)
        if (c.keyword == sources.offer.defaultKeyword)
            fallback += QStringLiteral(" (%1)").arg(c.text);
    combo->addItem(fallback, QString());
    for (const PaperSourceChoice &c : sources.offer.choices)
        combo->addItem(c.text, c.keyword);
    if (chosen.IsEmpty())
        return;
    if (chosen.option == sources.offer.option && sources.offer.Offers(chosen.keyword)) {
        combo->setCurrentIndex(combo->findData(chosen.keyword));
        return;
    }
    // A stored tray the queue no longer lists stays chosen until the user
    // picks another; the queue ignores a source it does not know.
    combo->addItem(QStringLiteral("%1 (not offered by the printer now)").arg(chosen.keyword), chosen.keyword);
    combo->setCurrentIndex(combo->count() - 1);
}

void PrinterChoiceDialog::showSourcesOfSelection()
{
    keepShownSources();
    const auto selected = m_list->selectionModel()->selectedRows();
    m_shown = selected.isEmpty() ? QString() : m_list->item(selected.first().row(), 0)->text();
    if (!m_shown.isEmpty() && !m_visited.contains(m_shown)) {
        Sources s;
        if (!IsPdfPrinterName(m_shown)) {
            s.offer = QueuePaperSources(m_shown);
            s.chosen = {StoredPaperSource(m_shown, PaperSourceJob::Envelopes),
                        StoredPaperSource(m_shown, PaperSourceJob::Labels)};
        }
        m_visited.insert(m_shown, s);
    }
    const Sources shown = m_shown.isEmpty() ? Sources{} : m_visited.value(m_shown);
    for (std::size_t k = 0; k < m_sources.size(); ++k) {
        fillSourceCombo(m_sources[k], shown, shown.chosen[k]);
        m_sources[k]->setEnabled(m_sources[k]->count() > 1);
    }
}

void PrinterChoiceDialog::accept()
{
    const auto selected = m_list->selectionModel()->selectedRows();
    if (selected.isEmpty()) {
        CTVError(42);
        return;
    }
    keepShownSources();
    for (auto it = m_visited.cbegin(); it != m_visited.cend(); ++it) {
        if (IsPdfPrinterName(it.key()))
            continue;
        for (const PaperSourceJob job : {PaperSourceJob::Envelopes, PaperSourceJob::Labels}) {
            const PaperSourceSetting &chosen = it->chosen[job == PaperSourceJob::Envelopes ? 0 : 1];
            if (!(chosen == StoredPaperSource(it.key(), job)))
                StorePaperSource(it.key(), job, chosen);
        }
    }
    AppContext::SetCurrentPrinter(m_list->item(selected.first().row(), 0)->text());
    QDialog::accept();
}
