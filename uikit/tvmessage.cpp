#include "tvmessage.h"
#include "tvstrings.h"

#include <QApplication>
#include <QDialog>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>
#include <cstdio>
#include <map>

namespace {

struct Registry {
    std::map<int, TVKindLook> kinds;
    std::map<unsigned, TVButtonLook> buttons;
    std::vector<QPixmap> images;
    std::function<void(int)> help;
    CTVMessage::Hook hook;
    QPointer<QWidget> parent;
};

Registry &registry()
{
    static Registry r;
    return r;
}

// The button bits in the order the box shows them.
constexpr unsigned kButtonOrder[] = {TVB_YES,    TVB_YESTOALL, TVB_RETRY, TVB_IGNORE, TVB_ABORT,  TVB_NO,
                                     TVB_NOTOALL, TVB_CANCEL,  TVB_OK,    TVB_HELP,   TVB_HELPPOPUP};

QColor fromColorRef(quint32 c)
{
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

const char *kindWord(TVMessageKind kind)
{
    switch (kind) {
    case TVMessageKind::Error: return "error";
    case TVMessageKind::Warning: return "warning";
    case TVMessageKind::Information: return "information";
    case TVMessageKind::Question: return "question";
    }
    return "error";
}

// The answer of a scripted run: the button named by TESMAR_AUTOANSWER when
// the box has it, otherwise its first button.
unsigned scriptedAnswer(unsigned buttons)
{
    static const std::map<QString, unsigned> names = {{"yes", TVB_YES},     {"no", TVB_NO},
                                                      {"ok", TVB_OK},       {"cancel", TVB_CANCEL},
                                                      {"yestoall", TVB_YESTOALL}, {"notoall", TVB_NOTOALL}};
    const QString wanted = qEnvironmentVariable("TESMAR_AUTOANSWER").trimmed().toLower();
    auto it = names.find(wanted);
    if (it != names.end() && (buttons & it->second))
        return it->second;
    for (unsigned bit : kButtonOrder)
        if ((buttons & bit) && bit != TVB_HELP && bit != TVB_HELPPOPUP)
            return bit;
    return TVB_CANCEL;
}

class MessageDialog : public QDialog {
public:
    MessageDialog(QWidget *parent, const QString &caption, const QString &title, const QString &text, unsigned buttons,
                  int imageIndex, int helpIndex, quint32 textColor, quint32 frameColor, quint32 backColor,
                  TVMessageKind kind)
        : QDialog(parent), m_helpIndex(helpIndex)
    {
        setWindowTitle(caption);
        setModal(true);
        auto *layout = new QVBoxLayout(this);

        // The heading in the kind's colours, with its picture.
        auto *heading = new QFrame(this);
        heading->setObjectName(QStringLiteral("tvHeading"));
        heading->setStyleSheet(QStringLiteral("QFrame#tvHeading { background: %1; border: 1px solid %2; }")
                                   .arg(fromColorRef(backColor).name(), fromColorRef(frameColor).name()));
        auto *headingLayout = new QHBoxLayout(heading);
        auto *picture = new QLabel(heading);
        QPixmap pixmap = CTVMessage::Image(imageIndex);
        if (pixmap.isNull()) {
            QStyle::StandardPixmap sp = QStyle::SP_MessageBoxCritical;
            if (kind == TVMessageKind::Warning)
                sp = QStyle::SP_MessageBoxWarning;
            else if (kind == TVMessageKind::Information)
                sp = QStyle::SP_MessageBoxInformation;
            else if (kind == TVMessageKind::Question)
                sp = QStyle::SP_MessageBoxQuestion;
            pixmap = style()->standardIcon(sp).pixmap(32, 32);
        }
        picture->setPixmap(pixmap);
        headingLayout->addWidget(picture);
        auto *titleLabel = new QLabel(title, heading);
        QFont bold = titleLabel->font();
        bold.setBold(true);
        bold.setPointSizeF(bold.pointSizeF() * 1.3);
        titleLabel->setFont(bold);
        titleLabel->setStyleSheet(QStringLiteral("color: %1; border: none;").arg(fromColorRef(textColor).name()));
        headingLayout->addWidget(titleLabel, 1);
        layout->addWidget(heading);

        // One centred label per line of the message.
        const QFontMetrics fm(font());
        int widest = 0;
        auto *textLayout = new QVBoxLayout;
        textLayout->setSpacing(int(fm.height() * 0.1));
        for (const QString &line : CTVMessage::SplitLines(text)) {
            auto *label = new QLabel(line, this);
            label->setAlignment(Qt::AlignHCenter);
            label->setTextInteractionFlags(Qt::TextSelectableByMouse);
            label->setMinimumHeight(int(fm.height() * 1.1));
            textLayout->addWidget(label);
            widest = std::max(widest, fm.horizontalAdvance(line));
        }
        layout->addSpacing(8);
        layout->addLayout(textLayout);
        layout->addSpacing(8);

        auto *row = new QHBoxLayout;
        row->addStretch(1);
        int count = 0;
        for (unsigned bit : kButtonOrder) {
            if (!(buttons & bit))
                continue;
            const TVButtonLook look = CTVMessage::ButtonLook(bit);
            auto *button = new QPushButton(look.text.isEmpty() ? CTVMessage::DefaultButtonText(bit) : look.text, this);
            button->setProperty("tvButtonBit", bit);
            button->setAutoDefault(count == 0);
            button->setDefault(count == 0);
            connect(button, &QPushButton::clicked, this, [this, bit] {
                if (bit == TVB_HELP || bit == TVB_HELPPOPUP) {
                    if (registry().help)
                        registry().help(m_helpIndex);
                    return;
                }
                m_result = bit;
                accept();
            });
            row->addWidget(button);
            ++count;
        }
        row->addStretch(1);
        layout->addLayout(row);
        setMinimumWidth(std::max(350, std::max(widest + 60, count * 100 + 40)));
    }

    unsigned result() const { return m_result; }

protected:
    void reject() override
    {
        m_result = TVB_CANCEL; // Escape and the close button
        QDialog::reject();
    }

private:
    unsigned m_result = TVB_CANCEL;
    int m_helpIndex;
};

} // namespace

CTVMessage::CTVMessage(TVMessageKind kind, const QString &caption, const QString &title, const QString &text,
                       unsigned buttons, int imageIndex, int helpIndex, quint32 textColor, quint32 frameColor,
                       quint32 backColor)
    : m_kind(kind), m_caption(caption), m_title(title), m_text(text), m_buttons(buttons), m_imageIndex(imageIndex),
      m_helpIndex(helpIndex), m_textColor(textColor), m_frameColor(frameColor), m_backColor(backColor)
{
}

unsigned CTVMessage::Show()
{
    return Present(m_kind, 0, m_caption, m_title, m_text, m_buttons, m_imageIndex, m_helpIndex, m_textColor,
                   m_frameColor, m_backColor);
}

unsigned CTVMessage::Present(TVMessageKind kind, int id, const QString &caption, const QString &title,
                             const QString &text, unsigned buttons, int imageIndex, int helpIndex, quint32 textColor,
                             quint32 frameColor, quint32 backColor)
{
    Registry &r = registry();
    if (r.hook)
        return r.hook(TVMessageRecord{kind, id, text, buttons});

    const bool scripted = qEnvironmentVariableIsSet("TESMAR_AUTOANSWER") ||
                          !qobject_cast<QApplication *>(QCoreApplication::instance());
    if (scripted) {
        QString oneLine = text;
        oneLine.replace(u'\n', QLatin1String("\\n"));
        std::fprintf(stderr, "%s %d: %s\n", kindWord(kind), id, oneLine.toUtf8().constData());
        std::fflush(stderr);
        return scriptedAnswer(buttons);
    }

    if (kind != TVMessageKind::Question)
        QApplication::beep();
    MessageDialog dialog(r.parent ? r.parent.data() : QApplication::activeWindow(), caption, title, text, buttons,
                         imageIndex, helpIndex, textColor, frameColor, backColor, kind);
    dialog.exec();
    return dialog.result();
}

void CTVMessage::RegisterButton(unsigned bit, int iconId, int shadeType, int granularity, int highlight,
                                int colouring, quint32 shadeColor, bool flat, const QString &text)
{
    registry().buttons[bit] = TVButtonLook{iconId, shadeType, granularity, highlight, colouring, shadeColor, flat, text};
}

void CTVMessage::RegisterImageList(const std::vector<QPixmap> &images)
{
    registry().images = images;
}

void CTVMessage::RegisterHelp(std::function<void(int)> help)
{
    registry().help = std::move(help);
}

CTVMessage::Hook CTVMessage::SetHook(Hook hook)
{
    Hook old = std::move(registry().hook);
    registry().hook = std::move(hook);
    return old;
}

QString CTVMessage::DefaultButtonText(unsigned bit)
{
    switch (bit) {
    case TVB_YES: return QStringLiteral("Yes");
    case TVB_YESTOALL: return QStringLiteral("Yes to all");
    case TVB_RETRY: return QStringLiteral("Retry");
    case TVB_IGNORE: return QStringLiteral("Ignore");
    case TVB_ABORT: return QStringLiteral("Abort");
    case TVB_NO: return QStringLiteral("No");
    case TVB_NOTOALL: return QStringLiteral("No to all");
    case TVB_CANCEL: return QStringLiteral("Cancel");
    case TVB_OK: return QStringLiteral("OK");
    case TVB_HELP: case TVB_HELPPOPUP: return QStringLiteral("Help");
    }
    return QString();
}

TVButtonLook CTVMessage::ButtonLook(unsigned bit)
{
    auto it = registry().buttons.find(bit);
    return it == registry().buttons.end() ? TVButtonLook{} : it->second;
}

QPixmap CTVMessage::Image(int index)
{
    const auto &images = registry().images;
    return (index >= 0 && std::size_t(index) < images.size()) ? images[std::size_t(index)] : QPixmap();
}

void CTVMessage::SetParentWindow(QWidget *parent)
{
    registry().parent = parent;
}

QStringList CTVMessage::SplitLines(const QString &text)
{
    QString t = text;
    t.replace(QLatin1String("\\n"), QLatin1String("\n"));
    return t.split(u'\n');
}

void CTVMessageKindBase::RegisterKind(TVMessageKind kind, const TVKindLook &look)
{
    registry().kinds[int(kind)] = look;
}

TVKindLook CTVMessageKindBase::KindLook(TVMessageKind kind)
{
    auto it = registry().kinds.find(int(kind));
    if (it != registry().kinds.end())
        return it->second;
    // Unregistered kinds still show sensible words.
    static const char *titles[] = {"Error", "Warning", "Information", "Question"};
    return TVKindLook{QString(), QString::fromLatin1(titles[int(kind)]), 0, 0, 0, 0xFFFFFF};
}

QString CTVMessageKindBase::Compose(int id, const std::vector<TVArg> &args)
{
    if (!TVHasStringResource(id))
        return TVLibraryString(5);
    return ComposeText(TVLoadStringResource(id), args);
}

QString CTVMessageKindBase::ComposeText(const QString &text, const std::vector<TVArg> &args)
{
    std::optional<QString> formatted = TVFormat(text, args);
    return formatted ? *formatted : TVLibraryString(5);
}

unsigned CTVMessageKindBase::Run(TVMessageKind kind, int id, const QString &text, unsigned buttons, int helpIndex)
{
    const TVKindLook look = KindLook(kind);
    return CTVMessage::Present(kind, id, look.caption, look.title, text, buttons, look.imageIndex, helpIndex,
                               look.textColor, look.frameColor, look.backColor);
}
