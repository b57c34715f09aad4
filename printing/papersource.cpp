#include "papersource.h"

#include <QPrintEngine>
#include <QPrinter>
#include <QSettings>
#include <QStringDecoder>
#include <QUrl>
#include <unistd.h>

#include <cups/cups.h>
// The PPD functions are marked deprecated in favour of the destination
// functions, but a PPD-driven queue takes its tray only as the PPD's own
// option: CUPS does not turn the IPP media-source into InputSlot for such a
// queue's filters. They are the only way to learn those choices.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <cups/ppd.h>
#pragma GCC diagnostic pop

namespace {

// Qt's CUPS print engine takes the options of a job as this property: a
// list of name, value pairs sent with cupsPrintFile.
constexpr auto kCupsOptionsProperty = QPrintEngine::PrintEnginePropertyKey(0xfe00);

// A queue is not asked for more choices than any tray list has.
constexpr int kMaxChoices = 64;

// PPD texts are in the file's LanguageEncoding (mostly ISOLatin1); the
// translations of newer PPDs are UTF-8.
QString ppdText(const char *text)
{
    const QByteArray bytes(text);
    QStringDecoder utf8(QStringConverter::Utf8);
    const QString decoded = utf8(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : decoded;
}

QString settingsKey(const QString &printer, PaperSourceJob job)
{
    // Printer names may hold "/" (an instance), which QSettings reads as a group.
    return QStringLiteral("PaperSource/%1/%2")
        .arg(QString::fromLatin1(QUrl::toPercentEncoding(printer)),
             job == PaperSourceJob::Envelopes ? QStringLiteral("Envelopes") : QStringLiteral("Labels"));
}

// The source choices of the queue's PPD; false when it has no PPD or no such option.
bool fromPpd(const QByteArray &queue, PaperSourceOffer &offer)
{
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    char file[1024] = "";
    time_t modified = 0;
    if (cupsGetPPD3(CUPS_HTTP_DEFAULT, queue.constData(), &modified, file, sizeof file) != HTTP_STATUS_OK)
        return false;
    ppd_file_t *ppd = ppdOpenFile(file);
    unlink(file); // a temporary copy (or link) made for this call
    if (!ppd)
        return false;
    ppdLocalize(ppd);
    ppd_option_t *option = ppdFindOption(ppd, "InputSlot");
    if (!option)
        option = ppdFindOption(ppd, "HPPaperSource");
    if (option && option->num_choices > 0) {
        offer.option = QString::fromLatin1(option->keyword);
        offer.defaultKeyword = QString::fromLatin1(option->defchoice);
        for (int i = 0; i < option->num_choices && i < kMaxChoices; ++i) {
            const ppd_choice_t &c = option->choices[i];
            const QString keyword = QString::fromLatin1(c.choice);
            const QString text = ppdText(c.text).trimmed();
            offer.choices.push_back({keyword, text.isEmpty() ? keyword : text});
        }
    }
    ppdClose(ppd);
#pragma GCC diagnostic pop
    return !offer.choices.empty();
}

// The media-source values the printer supports (a driverless queue).
bool fromDestination(const QByteArray &queue, const QByteArray &instance, PaperSourceOffer &offer)
{
    cups_dest_t *dest =
        cupsGetNamedDest(CUPS_HTTP_DEFAULT, queue.constData(), instance.isEmpty() ? nullptr : instance.constData());
    if (!dest)
        return false;
    if (cups_dinfo_t *info = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest)) {
        if (ipp_attribute_t *supported = cupsFindDestSupported(CUPS_HTTP_DEFAULT, dest, info, "media-source")) {
            for (int i = 0; i < ippGetCount(supported) && i < kMaxChoices; ++i) {
                const char *value = ippGetString(supported, i, nullptr);
                if (!value || !*value)
                    continue;
                const QString keyword = QString::fromUtf8(value);
                const char *localized = cupsLocalizeDestValue(CUPS_HTTP_DEFAULT, dest, info, "media-source", value);
                const QString text = localized ? QString::fromUtf8(localized) : QString();
                offer.choices.push_back({keyword, text.isEmpty() || text == keyword ? MediaSourceText(keyword) : text});
            }
            if (ipp_attribute_t *def = cupsFindDestDefault(CUPS_HTTP_DEFAULT, dest, info, "media-source"))
                if (const char *value = ippGetString(def, 0, nullptr))
                    offer.defaultKeyword = QString::fromUtf8(value);
            if (!offer.choices.empty())
                offer.option = QStringLiteral("media-source");
        }
        cupsFreeDestInfo(info);
    }
    cupsFreeDests(1, dest);
    return !offer.choices.empty();
}

} // namespace

bool PaperSourceOffer::Offers(const QString &keyword) const
{
    for (const PaperSourceChoice &c : choices)
        if (c.keyword == keyword)
            return true;
    return false;
}

PaperSourceOffer QueuePaperSources(const QString &printer)
{
    PaperSourceOffer offer;
    const qsizetype slash = printer.indexOf(QLatin1Char('/'));
    const QByteArray queue = printer.left(slash < 0 ? printer.size() : slash).toUtf8();
    const QByteArray instance = slash < 0 ? QByteArray() : printer.mid(slash + 1).toUtf8();
    if (queue.isEmpty())
        return offer;
    if (fromPpd(queue, offer))
        return offer;
    offer = PaperSourceOffer();
    if (fromDestination(queue, instance, offer))
        return offer;
    return PaperSourceOffer();
}

QString MediaSourceText(const QString &keyword)
{
    static const struct {
        const char *keyword, *text;
    } known[] = {
        {"auto", "Automatic"},
        {"main", "Main tray"},
        {"manual", "Manual feed"},
        {"envelope", "Envelope feeder"},
        {"by-pass-tray", "Bypass tray"},
        {"large-capacity", "Large capacity tray"},
        {"alternate", "Alternate tray"},
        {"top", "Top tray"},
        {"middle", "Middle tray"},
        {"bottom", "Bottom tray"},
        {"upper", "Upper tray"},
        {"lower", "Lower tray"},
        {"side", "Side tray"},
        {"rear", "Rear tray"},
        {"photo", "Photo tray"},
    };
    for (const auto &k : known)
        if (keyword == QLatin1String(k.keyword))
            return QString::fromLatin1(k.text);
    // tray-2 → Tray 2, roll-1 → Roll 1, anything else with its dashes as spaces.
    QString text = keyword;
    text.replace(QLatin1Char('-'), QLatin1Char(' '));
    if (!text.isEmpty())
        text[0] = text[0].toUpper();
    return text;
}

PaperSourceSetting StoredPaperSource(const QString &printer, PaperSourceJob job)
{
    const QString value = QSettings().value(settingsKey(printer, job)).toString();
    const qsizetype eq = value.indexOf(QLatin1Char('='));
    if (eq <= 0 || eq + 1 >= value.size())
        return {};
    return {value.left(eq), value.mid(eq + 1)};
}

void StorePaperSource(const QString &printer, PaperSourceJob job, const PaperSourceSetting &setting)
{
    QSettings settings;
    if (setting.IsEmpty())
        settings.remove(settingsKey(printer, job));
    else
        settings.setValue(settingsKey(printer, job), setting.option + QLatin1Char('=') + setting.keyword);
}

void SetCupsOption(QPrinter &printer, const QString &name, const QString &value)
{
    QPrintEngine *engine = printer.printEngine();
    if (!engine || printer.outputFormat() != QPrinter::NativeFormat)
        return;
    QStringList options = engine->property(kCupsOptionsProperty).toStringList();
    bool replaced = false;
    for (qsizetype i = 0; i + 1 < options.size(); i += 2)
        if (options[i] == name) {
            options[i + 1] = value;
            replaced = true;
        }
    if (!replaced)
        options << name << value;
    engine->setProperty(kCupsOptionsProperty, options);
}

QStringList CupsOptions(const QPrinter &printer)
{
    QPrintEngine *engine = printer.printEngine();
    return engine ? engine->property(kCupsOptionsProperty).toStringList() : QStringList();
}
