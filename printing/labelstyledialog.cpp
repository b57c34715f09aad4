#include "labelstyledialog.h"

#include "dberror.h"
#include "dialogparts.h"
#include "fontrow.h"
#include "tvmessage.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QLabel *boldLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

QString margin(double mm)
{
    return QString::asprintf("%.02f", mm);
}

} // namespace

LabelStyleDialog::LabelStyleDialog(QWidget *parent, CDatabase &db)
    : QDialog(parent), m_db(db), m_isNew(true), m_style(DefaultLabelStyle())
{
    build();
    showStyle(m_style);
}

LabelStyleDialog::LabelStyleDialog(QWidget *parent, CDatabase &db, const LabelStyle &style)
    : QDialog(parent), m_db(db), m_isNew(false), m_style(style), m_originalName(style.name)
{
    build();
    showStyle(m_style);
}

void LabelStyleDialog::build()
{
    setWindowTitle(QStringLiteral("Setting label style"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(boldLabel(QStringLiteral("Enter the label style."), this));

    auto *fonts = new QGroupBox(QStringLiteral("Font to use"), this);
    auto *fontsLayout = new QVBoxLayout(fonts);
    const char *captions[kLabelLines] = {"Name (company name)", "Street, house No.", "Town/City", "ZIP",
                                         "Other (country\u2026)"};
    for (int i = 0; i < kLabelLines; ++i) {
        m_fonts[std::size_t(i)] = new FontRow(QString::fromUtf8(captions[i]), fonts);
        fontsLayout->addWidget(m_fonts[std::size_t(i)]);
    }
    layout->addWidget(fonts);

    auto *middle = new QHBoxLayout;
    auto *options = new QGroupBox(QStringLiteral("Other options"), this);
    auto *optionsLayout = new QVBoxLayout(options);
    m_frame = new QCheckBox(QStringLiteral("Print border"), options);
    m_joinZip = new QCheckBox(QStringLiteral("City and ZIP on single line"), options);
    optionsLayout->addWidget(m_frame);
    optionsLayout->addWidget(m_joinZip);
    optionsLayout->addStretch(1);
    middle->addWidget(options);

    auto *margins = new QGroupBox(QStringLiteral("Margin from the label (mm)"), this);
    auto *marginsLayout = new QGridLayout(margins);
    m_border = new QLineEdit(margins);
    m_border->setMaxLength(8);
    m_addressX = new QLineEdit(margins);
    m_addressX->setMaxLength(6);
    m_addressY = new QLineEdit(margins);
    m_addressY->setMaxLength(6);
    auto *borderLabel = new QLabel(QStringLiteral("Border"), margins);
    borderLabel->setBuddy(m_border);
    auto *xLabel = new QLabel(QStringLiteral("&Address  X ="), margins);
    xLabel->setBuddy(m_addressX);
    auto *yLabel = new QLabel(QStringLiteral("Y ="), margins);
    yLabel->setBuddy(m_addressY);
    marginsLayout->addWidget(borderLabel, 0, 0);
    marginsLayout->addWidget(m_border, 0, 1);
    marginsLayout->addWidget(xLabel, 1, 0);
    marginsLayout->addWidget(m_addressX, 1, 1);
    marginsLayout->addWidget(yLabel, 1, 2);
    marginsLayout->addWidget(m_addressY, 1, 3);
    middle->addWidget(margins);
    layout->addLayout(middle);

    auto *alignments = new QHBoxLayout;
    auto *horizontal = new QGroupBox(QStringLiteral("Horizontal alignment"), this);
    auto *hLayout = new QVBoxLayout(horizontal);
    auto *hGroup = new QButtonGroup(this);
    const char *hNames[2] = {"Left", "Center"};
    for (int i = 0; i < 2; ++i) {
        m_horizontal[std::size_t(i)] = new QRadioButton(QString::fromLatin1(hNames[i]), horizontal);
        hGroup->addButton(m_horizontal[std::size_t(i)], i);
        hLayout->addWidget(m_horizontal[std::size_t(i)]);
    }
    alignments->addWidget(horizontal);
    auto *vertical = new QGroupBox(QStringLiteral("Vertical alignment"), this);
    auto *vLayout = new QVBoxLayout(vertical);
    auto *vGroup = new QButtonGroup(this);
    const char *vNames[4] = {"Top", "Bottom", "Expand", "Center"};
    for (int i = 0; i < 4; ++i) {
        m_vertical[std::size_t(i)] = new QRadioButton(QString::fromLatin1(vNames[i]), vertical);
        vGroup->addButton(m_vertical[std::size_t(i)], i);
        vLayout->addWidget(m_vertical[std::size_t(i)]);
    }
    alignments->addWidget(vertical);
    layout->addLayout(alignments);

    auto *nameRow = new QHBoxLayout;
    auto *nameLabel = new QLabel(QStringLiteral("Name"), this);
    m_name = new QLineEdit(this);
    m_name->setMaxLength(64);
    nameLabel->setBuddy(m_name);
    nameRow->addWidget(nameLabel);
    nameRow->addWidget(m_name, 1);
    layout->addLayout(nameRow);

    layout->addWidget(OkCancelButtons(this, m_ok));

    connect(m_frame, &QCheckBox::toggled, this, &LabelStyleDialog::frameToggled);
}

void LabelStyleDialog::showStyle(const LabelStyle &style)
{
    for (int i = 0; i < kLabelLines; ++i)
        m_fonts[std::size_t(i)]->SetSpec(style.fonts[std::size_t(i)]);
    m_addressX->setText(margin(style.addressX));
    m_addressY->setText(margin(style.addressY));
    m_frame->setChecked(style.printFrame);
    m_border->setText(style.printFrame ? margin(style.frameOffset) : QString());
    m_border->setEnabled(style.printFrame);
    m_joinZip->setChecked(style.joinZip);
    m_horizontal[style.horizontal == 0 ? 0 : 1]->setChecked(true);
    m_vertical[style.vertical <= 3 ? style.vertical : 3]->setChecked(true);
    m_name->setText(style.name);
}

void LabelStyleDialog::frameToggled(bool on)
{
    m_border->setEnabled(on);
    if (!on) {
        m_border->clear();
        m_style.frameOffset = 0;
    }
}

void LabelStyleDialog::accept()
{
    QString x = m_addressX->text(), y = m_addressY->text(), border = m_border->text(), name = m_name->text();
    LabelStyle style = m_style;
    const LabelStyleCheck check = CheckLabelStyleFields(x, y, border, name, m_frame->isChecked(), style);
    if (!check.ok()) {
        CTVError::Show(check.message, TVB_OK);
        QLineEdit *field = check.field == LabelStyleField::AddressX  ? m_addressX
                           : check.field == LabelStyleField::AddressY ? m_addressY
                           : check.field == LabelStyleField::Border   ? m_border
                                                                      : m_name;
        field->setFocus();
        field->selectAll();
        return;
    }
    // The name is checked against the other styles unless an edited style
    // keeps its name exactly.
    if (m_isNew || name != m_originalName) {
        if (LabelStyleNameExists(m_db, name)) {
            CTVError::Show(70, TVB_OK);
            m_name->setFocus();
            m_name->selectAll();
            return;
        }
    }

    style.vertical = m_vertical[0]->isChecked()   ? 0
                     : m_vertical[1]->isChecked() ? 1
                     : m_vertical[2]->isChecked() ? 2
                                                  : 3;
    style.horizontal = m_horizontal[0]->isChecked() ? 0 : 1;
    style.joinZip = m_joinZip->isChecked();
    for (int i = 0; i < kLabelLines; ++i)
        style.fonts[std::size_t(i)] = m_fonts[std::size_t(i)]->Spec();

    if (!SaveLabelStyle(m_db, style, m_isNew)) {
        done(QDialog::Rejected);
        return;
    }
    m_style = style;
    QDialog::accept();
}

LabelStyleListDialog::LabelStyleListDialog(QWidget *parent, CDatabase &db, Action action)
    : QDialog(parent), m_db(db), m_action(action)
{
    const bool edit = action == Action::Edit;
    setWindowTitle(edit ? QStringLiteral("Modifying label style") : QStringLiteral("Deleting label style"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(boldLabel(edit ? QStringLiteral("Choose the label style you want to modify.")
                                     : QStringLiteral("Choose the label style you want to delete."),
                                this));

    m_list = NewNameList(this);
    layout->addWidget(m_list);

    layout->addWidget(OkCancelButtons(this, m_ok, edit ? QStringLiteral("OK") : QStringLiteral("  Delete")));
    if (edit)
        connect(m_list, &QTableWidget::cellDoubleClicked, this, [this] { accept(); });

    // Read in descending name order, each row put at the top: ascending.
    m_loaded = DbOperation(db, [&] {
        const auto rows = ReadLabelStyles(db, QStringLiteral("SELECT * FROM LABSTYLE ORDER BY LABSTYLE_NAME DESC"));
        m_styles.assign(rows.rbegin(), rows.rend());
    });
    QStringList names;
    for (const LabelStyle &style : m_styles)
        names << style.name;
    FillNameList(m_list, names);
}

int LabelStyleListDialog::exec()
{
    if (!m_loaded)
        return QDialog::Rejected;
    return QDialog::exec();
}

QStringList LabelStyleListDialog::Names() const
{
    return NameListNames(m_list);
}

bool LabelStyleListDialog::SelectName(const QString &name)
{
    return SelectNameListRow(m_list, name);
}

int LabelStyleListDialog::selectedIndex() const
{
    return SelectedNameListRow(m_list);
}

void LabelStyleListDialog::accept()
{
    const int index = selectedIndex();
    if (index < 0) {
        CTVError::Show(m_action == Action::Edit ? 71 : 72, TVB_OK);
        m_list->setFocus();
        return;
    }
    const LabelStyle &style = m_styles[std::size_t(index)];
    if (m_action == Action::Edit) {
        LabelStyleDialog dialog(this, m_db, style);
        done(dialog.exec() == QDialog::Accepted ? QDialog::Accepted : QDialog::Rejected);
        return;
    }
    if (CTVQuestion::Show(73, TVB_YESNO) != TVB_YES)
        return;
    done(DeleteLabelStyle(m_db, style.id) ? QDialog::Accepted : QDialog::Rejected);
}
