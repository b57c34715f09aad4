#include "sizedialogs.h"

#include "dialogparts.h"
#include "sizepictures.h"
#include "tvmessage.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <iterator>

namespace {

// A group of rows "X = [field] unit".
QGroupBox *fieldGroup(QWidget *parent, const QString &title, const std::vector<std::pair<QString, QString>> &rows,
                      std::vector<QLineEdit *> &edits, int maxLength)
{
    auto *group = new QGroupBox(title, parent);
    auto *grid = new QGridLayout(group);
    int row = 0;
    for (const auto &[label, unit] : rows) {
        auto *edit = new QLineEdit(group);
        if (maxLength > 0)
            edit->setMaxLength(maxLength);
        edit->setFixedWidth(80);
        auto *caption = new QLabel(label, group);
        caption->setBuddy(edit);
        grid->addWidget(caption, row, 0);
        grid->addWidget(edit, row, 1);
        grid->addWidget(new QLabel(unit, group), row, 2);
        edits.push_back(edit);
        ++row;
    }
    return group;
}

QString twoDecimals(double v)
{
    return QString::asprintf("%.02f", v);
}

} // namespace

EnvelopeSizeDialog::EnvelopeSizeDialog(QWidget *parent, CDatabase &db, const EnvelopeSize *existing)
    : QDialog(parent), m_db(db), m_isNew(existing == nullptr)
{
    setWindowTitle(QStringLiteral("Setting envelope dimensions"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Enter the dimensions of the envelope"), this));

    auto *body = new QHBoxLayout;
    auto *pictureGroup = new QGroupBox(QStringLiteral("Example of an envelope with dimensions"), this);
    auto *pictureLayout = new QVBoxLayout(pictureGroup);
    pictureLayout->addWidget(new EnvelopeExamplePicture(pictureGroup));
    body->addWidget(pictureGroup, 1);

    std::vector<QLineEdit *> edits;
    auto row = [](const char *letter) {
        return std::pair<QString, QString>(QString::fromLatin1(letter) + QStringLiteral(" = "), QStringLiteral("mm"));
    };
    auto *fields = new QVBoxLayout;
    fields->addWidget(fieldGroup(this, QStringLiteral("Envelope dimensions"), {row("A"), row("B")}, edits, 0));
    fields->addWidget(fieldGroup(this, QStringLiteral("Address"), {row("C"), row("D"), row("E"), row("F")}, edits, 0));
    fields->addWidget(
        fieldGroup(this, QStringLiteral("Return address"), {row("G"), row("H"), row("K"), row("L")}, edits, 0));
    body->addLayout(fields);
    layout->addLayout(body);
    for (std::size_t i = 0; i < m_fields.size(); ++i)
        m_fields[i] = edits[i];

    auto *nameRow = new QHBoxLayout;
    auto *nameLabel = new QLabel(QStringLiteral("Name"), this);
    m_name = new QLineEdit(this);
    m_name->setMaxLength(64);
    nameLabel->setBuddy(m_name);
    nameRow->addWidget(nameLabel);
    nameRow->addWidget(m_name, 1);
    layout->addLayout(nameRow);
    layout->addWidget(OkCancelButtons(this, m_ok));

    if (existing) {
        m_size = *existing;
        m_originalName = existing->name;
        const auto values = existing->Values();
        for (std::size_t i = 0; i < values.size(); ++i)
            m_fields[i]->setText(twoDecimals(values[i]));
        m_name->setText(existing->name);
    }
}

void EnvelopeSizeDialog::accept()
{
    std::array<QString, 10> texts;
    for (std::size_t i = 0; i < texts.size(); ++i)
        texts[i] = m_fields[i]->text();
    QString name = m_name->text();
    std::array<double, 10> values{};
    const SizeCheck check = CheckEnvelopeFields(texts, name, values);
    if (!check.ok()) {
        CTVError(check.message);
        (check.field == kNameField ? m_name : m_fields[std::size_t(check.field)])->setFocus();
        return;
    }
    const bool sameName = !m_isNew && name == m_originalName;
    if (!sameName && EnvelopeSizeNameExists(m_db, name)) {
        CTVError(57);
        m_name->setFocus();
        return;
    }
    EnvelopeSize size = m_size;
    size.name = name;
    size.SetValues(values);
    if (!SaveEnvelopeSize(m_db, size, m_isNew)) {
        reject();
        return;
    }
    m_size = size;
    QDialog::accept();
}

LabelSizeDialog::LabelSizeDialog(QWidget *parent, CDatabase &db, const LabelSize *existing)
    : QDialog(parent), m_db(db), m_isNew(existing == nullptr)
{
    setWindowTitle(QStringLiteral("Setting label dimensions"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Enter the label dimension"), this));

    auto *body = new QHBoxLayout;
    auto *pictureGroup = new QGroupBox(QStringLiteral("Example of a page with labels"), this);
    auto *pictureLayout = new QVBoxLayout(pictureGroup);
    pictureLayout->addWidget(new LabelSheetExamplePicture(pictureGroup));
    body->addWidget(pictureGroup, 1);

    auto row = [](const char *letter, const char *unit) {
        return std::pair<QString, QString>(QString::fromLatin1(letter) + QStringLiteral(" = "), QString::fromUtf8(unit));
    };
    std::vector<QLineEdit *> horizontal, vertical;
    auto *fields = new QVBoxLayout;
    fields->addWidget(fieldGroup(this, QStringLiteral("Horizontal dimensions "),
                                 {row("A", "mm"), row("B", "mm"), row("C", "mm"), row("N", "pcs.")}, horizontal, 8));
    fields->addWidget(fieldGroup(this, QStringLiteral("Vertical dimensions "),
                                 {row("D", "mm"), row("E", "mm"), row("F", "mm"), row("M", "pcs.")}, vertical, 8));
    auto *paperGroup = new QGroupBox(QStringLiteral("Paper"), this);
    auto *paperGrid = new QGridLayout(paperGroup);
    m_paper = new QComboBox(paperGroup);
    for (const LabelPaper &p : kLabelPapers)
        m_paper->addItem(QString::fromLatin1(p.name));
    m_paper->addItem(QStringLiteral("Custom"));
    auto *paperCaption = new QLabel(QStringLiteral("&Sheet"), paperGroup);
    paperCaption->setBuddy(m_paper);
    paperGrid->addWidget(paperCaption, 0, 0);
    paperGrid->addWidget(m_paper, 0, 1, 1, 2);
    auto paperField = [&](int row, const QString &caption) {
        auto *edit = new QLineEdit(paperGroup);
        edit->setMaxLength(8);
        edit->setFixedWidth(80);
        auto *label = new QLabel(caption, paperGroup);
        label->setBuddy(edit);
        paperGrid->addWidget(label, row, 0);
        paperGrid->addWidget(edit, row, 1);
        paperGrid->addWidget(new QLabel(QStringLiteral("mm"), paperGroup), row, 2);
        return edit;
    };
    m_paperWidth = paperField(1, QStringLiteral("&Width"));
    m_paperHeight = paperField(2, QStringLiteral("&Height"));
    fields->addWidget(paperGroup);
    connect(m_paper, &QComboBox::currentIndexChanged, this, &LabelSizeDialog::paperChosen);

    auto *notice = new QLabel(QStringLiteral("Notice: In case of landscape paper orientation the horizontal "
                                             "dimensions A, B, C, N relate to the longer side of the paper."),
                              this);
    notice->setWordWrap(true);
    notice->setMaximumWidth(260);
    fields->addWidget(notice);
    fields->addStretch();
    body->addLayout(fields);
    layout->addLayout(body);
    // Field order A, B, C, D, E, F, M, N.
    m_fields = {horizontal[0], horizontal[1], horizontal[2], vertical[0], vertical[1], vertical[2], vertical[3],
                horizontal[3]};

    auto *nameRow = new QHBoxLayout;
    auto *nameLabel = new QLabel(QStringLiteral("Name"), this);
    m_name = new QLineEdit(this);
    m_name->setMaxLength(64);
    nameLabel->setBuddy(m_name);
    nameRow->addWidget(nameLabel);
    nameRow->addWidget(m_name, 1);
    layout->addLayout(nameRow);
    layout->addWidget(OkCancelButtons(this, m_ok));

    if (existing) {
        m_size = *existing;
        m_originalName = existing->name;
        const double lengths[6] = {existing->A, existing->B, existing->C, existing->D, existing->E, existing->F};
        for (int i = 0; i < 6; ++i)
            m_fields[std::size_t(i)]->setText(twoDecimals(lengths[i]));
        m_fields[6]->setText(QString::number(existing->M));
        m_fields[7]->setText(QString::number(existing->N));
        m_name->setText(existing->name);
    }
    const int paper = LabelPaperIndex(m_size.paperWidth, m_size.paperHeight);
    m_paperWidth->setText(twoDecimals(m_size.paperWidth));
    m_paperHeight->setText(twoDecimals(m_size.paperHeight));
    m_paper->setCurrentIndex(paper >= 0 ? paper : m_paper->count() - 1);
    paperChosen(m_paper->currentIndex());
}

void LabelSizeDialog::paperChosen(int index)
{
    const bool custom = index < 0 || index >= int(std::size(kLabelPapers));
    if (!custom) {
        m_paperWidth->setText(twoDecimals(kLabelPapers[index].width));
        m_paperHeight->setText(twoDecimals(kLabelPapers[index].height));
    }
    m_paperWidth->setEnabled(custom);
    m_paperHeight->setEnabled(custom);
}

void LabelSizeDialog::accept()
{
    std::array<QString, 8> texts;
    for (std::size_t i = 0; i < texts.size(); ++i)
        texts[i] = m_fields[i]->text();
    QString name = m_name->text();
    LabelValues v;
    const SizeCheck check = CheckLabelFields(texts, name, v);
    if (!check.ok()) {
        CTVError(check.message);
        (check.field == kNameField ? m_name : m_fields[std::size_t(check.field)])->setFocus();
        return;
    }
    QString paperWidth = m_paperWidth->text(), paperHeight = m_paperHeight->text();
    double width = 0, height = 0;
    const SizeCheck paper = CheckLabelPaperFields(paperWidth, paperHeight, width, height);
    if (!paper.ok()) {
        CTVError(paper.message);
        (paper.field == kPaperWidthField ? m_paperWidth : m_paperHeight)->setFocus();
        return;
    }
    const bool sameName = !m_isNew && name == m_originalName;
    if (!sameName && LabelSizeNameExists(m_db, name)) {
        CTVError(51);
        m_name->setFocus();
        return;
    }
    LabelSize size = m_size;
    size.name = name;
    size.paperWidth = width;
    size.paperHeight = height;
    size.A = v.A; size.B = v.B; size.C = v.C; size.D = v.D; size.E = v.E; size.F = v.F;
    size.M = v.M; size.N = v.N;
    if (!SaveLabelSize(m_db, size, m_isNew)) {
        reject();
        return;
    }
    m_size = size;
    QDialog::accept();
}
