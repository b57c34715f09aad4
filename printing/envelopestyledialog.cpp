#include "envelopestyledialog.h"

#include "dberror.h"
#include "dialogparts.h"
#include "fontrow.h"
#include "recordsets.h"
#include "tvimagedlg.h"
#include "tvmessage.h"
#include "tvparse.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QTextCursor>
#include <algorithm>
#include <new>

namespace {

QString twoDecimals(double v)
{
    return QString::asprintf("%.02f", v);
}

QString toStored(const QString &fieldText)
{
    QString text = fieldText;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\n', QStringLiteral("\r\n"));
    return text;
}

QString toField(const QString &stored)
{
    QString text = stored;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

} // namespace

// ---------------------------------------------------------------- return address

ReturnAddressDialog::ReturnAddressDialog(QWidget *parent, const QString &text, const FontSpec &font, bool frame,
                                         double padding)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Return address"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Enter the return address"), this));
    m_textEdit = new QPlainTextEdit(this);
    m_textEdit->setTabChangesFocus(true);
    m_textEdit->setMinimumSize(360, 120);
    m_textEdit->setPlainText(toField(text).left(kMaxLength));
    while (StoredText().size() > kMaxLength) // CR LF pairs count twice
        m_textEdit->setPlainText(m_textEdit->toPlainText().chopped(1));
    m_accepted = m_textEdit->toPlainText();
    connect(m_textEdit, &QPlainTextEdit::textChanged, this, &ReturnAddressDialog::limitText);
    layout->addWidget(m_textEdit);

    m_font = new FontRow(QStringLiteral("Font to use:"), this);
    m_font->SetSpec(font);
    layout->addWidget(m_font);

    auto *frameRow = new QHBoxLayout;
    m_frame = new QCheckBox(QStringLiteral("Print border"), this);
    m_paddingEdit = new QLineEdit(this);
    m_paddingEdit->setMaxLength(8);
    m_paddingEdit->setFixedWidth(80);
    auto *paddingLabel = new QLabel(QStringLiteral("Border padding (mm)"), this);
    paddingLabel->setBuddy(m_paddingEdit);
    frameRow->addWidget(m_frame);
    frameRow->addSpacing(20);
    frameRow->addWidget(paddingLabel);
    frameRow->addWidget(m_paddingEdit);
    frameRow->addStretch(1);
    layout->addLayout(frameRow);
    layout->addWidget(OkCancelButtons(this, m_ok));

    m_frame->setChecked(frame);
    m_paddingEdit->setEnabled(frame);
    m_paddingEdit->setText(frame ? twoDecimals(padding) : QString());
    connect(m_frame, &QCheckBox::toggled, this, [this](bool on) {
        m_paddingEdit->setEnabled(on);
        if (on) {
            m_paddingEdit->setText(twoDecimals(0));
            m_paddingEdit->setFocus();
        } else {
            m_paddingEdit->clear();
        }
    });
}

QString ReturnAddressDialog::StoredText() const
{
    return toStored(m_textEdit->toPlainText());
}

void ReturnAddressDialog::limitText()
{
    if (m_limiting)
        return;
    if (StoredText().size() <= kMaxLength) {
        m_accepted = m_textEdit->toPlainText();
        return;
    }
    // Refuse what went over the limit: the field goes back to its last text.
    m_limiting = true;
    const int position = m_textEdit->textCursor().position();
    const int removed = int(m_textEdit->toPlainText().size() - m_accepted.size());
    m_textEdit->setPlainText(m_accepted);
    QTextCursor cursor = m_textEdit->textCursor();
    cursor.setPosition(std::clamp(position - removed, 0, int(m_accepted.size())));
    m_textEdit->setTextCursor(cursor);
    m_limiting = false;
}

FontSpec ReturnAddressDialog::Font() const
{
    return m_font->Spec();
}

void ReturnAddressDialog::accept()
{
    double padding = 0;
    if (m_frame->isChecked()) {
        if (!TVIsDouble(m_paddingEdit->text().trimmed(), padding, 0, 100)) {
            CTVError::Show(109, TVB_OK);
            m_paddingEdit->setFocus();
            return;
        }
    }
    m_frameValue = m_frame->isChecked();
    m_padding = padding;
    m_text = StoredText().trimmed();
    QDialog::accept();
}

// ---------------------------------------------------------------- logo

LogoDialog::LogoDialog(QWidget *parent, const CTVImage &logo) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Choosing logo"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Open or change logo"), this));
    auto *body = new QHBoxLayout;
    auto *group = new QGroupBox(QStringLiteral("Current logo"), this);
    auto *groupLayout = new QVBoxLayout(group);
    m_picture = new CTVImagePreview(group);
    m_picture->setFixedSize(PictureSize());
    groupLayout->addWidget(m_picture);
    body->addWidget(group);
    auto *buttons = new QVBoxLayout;
    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_open = new QPushButton(QStringLiteral("Open..."), this);
    ok->setDefault(true);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addSpacing(12);
    buttons->addWidget(m_open);
    buttons->addStretch(1);
    body->addLayout(buttons);
    layout->addLayout(body);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_open, &QPushButton::clicked, this, &LogoDialog::openImage);

    bool copied = true;
    try {
        copied = !logo.IsValid() || m_image.Copy(logo);
    } catch (const std::bad_alloc &) {
        copied = false;
    }
    if (!copied) {
        CTVError::Show(7, TVB_OK);
        m_image.Destroy();
        m_ready = false;
        return;
    }
    refresh();
}

int LogoDialog::exec()
{
    if (!m_ready)
        return QDialog::Rejected;
    return QDialog::exec();
}

bool LogoDialog::refresh()
{
    m_picture->SetImage(nullptr);
    m_thumbnail.Destroy();
    if (!m_image.IsValid())
        return true;
    bool made = false;
    try {
        made = m_thumbnail.Copy(m_image) &&
               m_thumbnail.Thumbnail(PictureSize().width(), PictureSize().height(), QColor(255, 255, 255));
    } catch (const std::bad_alloc &) {
        made = false;
    }
    if (!made) {
        CTVError::Show(7, TVB_OK);
        m_thumbnail.Destroy();
        m_image.Destroy();
        m_ready = false;
        reject();
        return false;
    }
    m_picture->SetImage(&m_thumbnail);
    return true;
}

bool LogoDialog::SetImage(const CTVImage &image)
{
    m_image = image;
    return refresh();
}

void LogoDialog::openImage()
{
    CTVDlgImageOpen dialog(true, this);
    if (dialog.DoModal() != QDialog::Accepted)
        return;
    std::unique_ptr<CTVImage> image = dialog.GetImage();
    if (image)
        SetImage(*image);
}

// ---------------------------------------------------------------- style

EnvelopeStyleDialog::EnvelopeStyleDialog(QWidget *parent, CDatabase &db, std::optional<std::int32_t> editId)
    : QDialog(parent), m_db(db), m_isNew(!editId), m_style(EnvelopeStyle::Defaults())
{
    setWindowTitle(QStringLiteral("Setting envelope style"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Enter the envelope style."), this));

    auto *fontGroup = new QGroupBox(QStringLiteral("Font to use"), this);
    auto *fontLayout = new QVBoxLayout(fontGroup);
    const char *captions[] = {"Name (company name)", "Street, house No.", "Town/City", "ZIP",
                              "Other (countries\u2026)"};
    for (std::size_t i = 0; i < m_fonts.size(); ++i) {
        m_fonts[i] = new FontRow(QString::fromUtf8(captions[i]), fontGroup);
        fontLayout->addWidget(m_fonts[i]);
        connect(m_fonts[i], &FontRow::Changed, this, [this, i] { m_style.fonts[i] = m_fonts[i]->Spec(); });
    }
    layout->addWidget(fontGroup);

    auto *middle = new QHBoxLayout;
    auto *options = new QGroupBox(QStringLiteral("Other options"), this);
    auto *optionsLayout = new QGridLayout(options);
    m_border = new QCheckBox(QStringLiteral("Print border"), options);
    m_padding = new QLineEdit(options);
    m_padding->setMaxLength(8);
    m_padding->setFixedWidth(80);
    auto *paddingLabel = new QLabel(QStringLiteral("Border padding"), options);
    paddingLabel->setBuddy(m_padding);
    m_joinZip = new QCheckBox(QStringLiteral("City and ZIP on single line"), options);
    optionsLayout->addWidget(m_border, 0, 0, 1, 2);
    optionsLayout->addWidget(paddingLabel, 1, 0);
    optionsLayout->addWidget(m_padding, 1, 1);
    optionsLayout->addWidget(m_joinZip, 2, 0, 1, 2);
    middle->addWidget(options);

    auto *returnGroup = new QGroupBox(QStringLiteral("Return address"), this);
    auto *returnLayout = new QGridLayout(returnGroup);
    auto *returnButtons = new QButtonGroup(this);
    const char *modes[] = {"Logo", "Address", "No return address"};
    for (int i = 0; i < 3; ++i) {
        m_return[std::size_t(i)] = new QRadioButton(QString::fromLatin1(modes[i]), returnGroup);
        returnButtons->addButton(m_return[std::size_t(i)], i);
        returnLayout->addWidget(m_return[std::size_t(i)], i, 0);
    }
    m_logoButton = new QPushButton(QStringLiteral("..."), returnGroup);
    m_addressButton = new QPushButton(QStringLiteral("..."), returnGroup);
    m_logoButton->setFixedWidth(32);
    m_addressButton->setFixedWidth(32);
    returnLayout->addWidget(m_logoButton, 0, 1);
    returnLayout->addWidget(m_addressButton, 1, 1);
    middle->addWidget(returnGroup);

    auto *horizontalGroup = new QGroupBox(QStringLiteral("Horizontal alignment"), this);
    auto *horizontalLayout = new QVBoxLayout(horizontalGroup);
    auto *horizontalButtons = new QButtonGroup(this);
    m_horizontal[HORZ_LEFT] = new QRadioButton(QStringLiteral("Left"), horizontalGroup);
    m_horizontal[HORZ_CENTER] = new QRadioButton(QStringLiteral("Center"), horizontalGroup);
    for (QRadioButton *b : m_horizontal) {
        horizontalButtons->addButton(b);
        horizontalLayout->addWidget(b);
    }
    middle->addWidget(horizontalGroup);

    auto *verticalGroup = new QGroupBox(QStringLiteral("Vertical alignment"), this);
    auto *verticalLayout = new QVBoxLayout(verticalGroup);
    auto *verticalButtons = new QButtonGroup(this);
    m_vertical[VERT_TOP] = new QRadioButton(QStringLiteral("Top"), verticalGroup);
    m_vertical[VERT_BOTTOM] = new QRadioButton(QStringLiteral("Bottom"), verticalGroup);
    m_vertical[VERT_EXPAND] = new QRadioButton(QStringLiteral("Expand"), verticalGroup);
    m_vertical[VERT_CENTER] = new QRadioButton(QStringLiteral("Center"), verticalGroup);
    for (QRadioButton *b : m_vertical) {
        verticalButtons->addButton(b);
        verticalLayout->addWidget(b);
    }
    middle->addWidget(verticalGroup);
    layout->addLayout(middle);

    auto *nameRow = new QHBoxLayout;
    auto *nameLabel = new QLabel(QStringLiteral("Name"), this);
    m_name = new QLineEdit(this);
    m_name->setMaxLength(64);
    nameLabel->setBuddy(m_name);
    nameRow->addWidget(nameLabel);
    nameRow->addWidget(m_name, 1);
    layout->addLayout(nameRow);
    layout->addWidget(OkCancelButtons(this, m_ok));

    connect(m_border, &QCheckBox::toggled, this, [this](bool on) {
        m_padding->setEnabled(on);
        if (!on) {
            m_padding->clear();
            m_style.offset = 0;
        }
    });
    connect(m_addressButton, &QPushButton::clicked, this, &EnvelopeStyleDialog::EditReturnAddress);
    connect(m_logoButton, &QPushButton::clicked, this, &EnvelopeStyleDialog::EditLogo);

    if (editId) {
        const int failure = LoadEnvelopeStyle(db, *editId, m_style);
        if (failure) {
            CTVError::Show(failure, TVB_OK);
            m_loaded = false;
            return;
        }
        m_originalName = m_style.name;
    }
    showStyle();
}

int EnvelopeStyleDialog::exec()
{
    if (!m_loaded)
        return QDialog::Rejected;
    return QDialog::exec();
}

void EnvelopeStyleDialog::showStyle()
{
    for (std::size_t i = 0; i < m_fonts.size(); ++i)
        m_fonts[i]->SetSpec(m_style.fonts[i]);
    m_border->setChecked(m_style.printFrame);
    m_padding->setEnabled(m_style.printFrame);
    m_padding->setText(m_style.printFrame ? twoDecimals(m_style.offset) : QString());
    m_joinZip->setChecked(m_style.joinZip);
    showReturnMode(m_style.returnMode);
    m_horizontal[m_style.horizontal == HORZ_CENTER ? HORZ_CENTER : HORZ_LEFT]->setChecked(true);
    m_vertical[m_style.vertical <= VERT_CENTER ? std::size_t(m_style.vertical) : std::size_t(VERT_CENTER)]->setChecked(true);
    m_name->setText(m_style.name);
}

void EnvelopeStyleDialog::showReturnMode(int mode)
{
    m_return[std::size_t(mode >= RETURN_LOGO && mode <= RETURN_NOTHING ? mode : RETURN_NOTHING)]->setChecked(true);
}

void EnvelopeStyleDialog::SetReturnAddress(const QString &text, const FontSpec &font, bool frame, double padding)
{
    m_style.returnText = text;
    m_style.fonts[LINE_RETURN] = font;
    m_style.frameReturn = frame;
    m_style.offsetReturn = frame ? padding : 0;
}

void EnvelopeStyleDialog::SetLogo(const CTVImage &logo)
{
    m_style.logo = logo;
}

void EnvelopeStyleDialog::EditReturnAddress()
{
    showReturnMode(RETURN_ADDRESS);
    ReturnAddressDialog dialog(this, m_style.returnText, m_style.fonts[LINE_RETURN], m_style.frameReturn,
                               m_style.offsetReturn);
    if (dialog.exec() == QDialog::Accepted)
        SetReturnAddress(dialog.Text(), dialog.Font(), dialog.Frame(), dialog.Padding());
}

void EnvelopeStyleDialog::EditLogo()
{
    showReturnMode(RETURN_LOGO);
    LogoDialog dialog(this, m_style.logo);
    if (dialog.exec() == QDialog::Accepted)
        SetLogo(dialog.Image());
}

void EnvelopeStyleDialog::accept()
{
    EnvelopeStyle style = m_style;
    for (std::size_t i = 0; i < m_fonts.size(); ++i)
        style.fonts[i] = m_fonts[i]->Spec();
    // 1. The radio buttons.
    style.vertical = m_vertical[VERT_TOP]->isChecked()      ? VERT_TOP
                     : m_vertical[VERT_BOTTOM]->isChecked() ? VERT_BOTTOM
                     : m_vertical[VERT_EXPAND]->isChecked() ? VERT_EXPAND
                                                            : VERT_CENTER;
    style.horizontal = m_horizontal[HORZ_LEFT]->isChecked() ? HORZ_LEFT : HORZ_CENTER;
    style.returnMode = m_return[RETURN_LOGO]->isChecked()      ? RETURN_LOGO
                       : m_return[RETURN_ADDRESS]->isChecked() ? RETURN_ADDRESS
                                                               : RETURN_NOTHING;
    style.printFrame = m_border->isChecked();
    style.joinZip = m_joinZip->isChecked();
    // 2. The border padding.
    style.offset = 0;
    if (style.printFrame && !TVIsDouble(m_padding->text().trimmed(), style.offset, 0, 100)) {
        CTVError::Show(95, TVB_OK);
        m_padding->setFocus();
        return;
    }
    // 3. The name.
    style.name = m_name->text().trimmed();
    if (style.name.isEmpty()) {
        CTVError::Show(78, TVB_OK);
        m_name->setFocus();
        return;
    }
    // 4. A name of its own.
    const bool sameName = !m_isNew && style.name == m_originalName;
    if (!sameName && EnvelopeStyleNameExists(m_db, style.name)) {
        CTVError::Show(79, TVB_OK);
        m_name->setFocus();
        return;
    }
    // 5. The return area keeps only what its mode uses.
    MakeReturnModeConsistent(style);
    showReturnMode(style.returnMode);
    m_style = style;

    if (!SaveEnvelopeStyle(m_db, m_style, m_isNew)) {
        reject();
        return;
    }
    QDialog::accept();
}

// ---------------------------------------------------------------- lists

EnvelopeStyleListDialog::EnvelopeStyleListDialog(QWidget *parent, CDatabase &db, Action action)
    : QDialog(parent), m_db(db), m_action(action)
{
    const bool edit = action == Action::Edit;
    setWindowTitle(edit ? QStringLiteral("Modifying envelope style") : QStringLiteral("Deleting envelope style"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(edit ? QStringLiteral("Choose the envelope style you want to modify.")
                                      : QStringLiteral("Choose the envelope style you want to delete."),
                                 this));
    m_list = NewNameList(this);
    layout->addWidget(m_list);
    layout->addWidget(OkCancelButtons(this, m_ok, edit ? QStringLiteral("OK") : QStringLiteral("  Delete")));
    if (edit)
        connect(m_list, &QTableWidget::cellDoubleClicked, this, [this] { accept(); });

    // Descending order, each row put at the top: the list reads ascending.
    std::vector<EnvelopeStyle> rows;
    m_loaded = DbOperation(db, [&] {
        rows = ReadEnvelopeStyles(db, QStringLiteral("SELECT * FROM ENVSTYLE ORDER BY ENVSTYLE_NAME DESC"));
    });
    std::reverse(rows.begin(), rows.end());
    QStringList names;
    for (const EnvelopeStyle &style : rows) {
        m_ids.push_back(style.id);
        names << style.name;
    }
    FillNameList(m_list, names);
}

int EnvelopeStyleListDialog::exec()
{
    if (!m_loaded)
        return QDialog::Rejected;
    return QDialog::exec();
}

QStringList EnvelopeStyleListDialog::Names() const
{
    return NameListNames(m_list);
}

bool EnvelopeStyleListDialog::SelectName(const QString &name)
{
    return SelectNameListRow(m_list, name);
}

void EnvelopeStyleListDialog::accept()
{
    const int index = SelectedNameListRow(m_list);
    if (index < 0) {
        CTVError::Show(m_action == Action::Edit ? 80 : 81, TVB_OK);
        m_list->setFocus();
        return;
    }
    const std::int32_t id = m_ids[std::size_t(index)];
    if (m_action == Action::Edit) {
        EnvelopeStyleDialog dialog(this, m_db, id);
        done(dialog.exec());
        return;
    }
    if (CTVQuestion::Show(82, TVB_YESNO) != TVB_YES)
        return;
    if (DeleteEnvelopeStyle(m_db, id))
        QDialog::accept();
    else
        reject();
}
