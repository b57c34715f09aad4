#pragma once
// Paper sources: the trays and feeds a CUPS queue offers (from its PPD's
// InputSlot option, or the IPP attribute media-source of a queue without
// one), the source the user chose for envelope jobs and for label jobs of
// each printer (kept in the user's settings), and the CUPS option that sends
// that choice with every job of the kind.
#include <QString>
#include <QStringList>
#include <vector>

class QPrinter;

struct PaperSourceChoice {
    QString keyword; // what the queue is sent ("Manual", "tray-1")
    QString text;    // what the user reads ("Manual Feed", "Tray 1")
};

// What one queue offers. `option` is the CUPS option that selects the source
// ("InputSlot" or "HPPaperSource" of the PPD, else "media-source"); empty
// when the queue offers no choice (the built-in PDF printer, a queue without
// trays, a printer that cannot be reached).
struct PaperSourceOffer {
    QString option;
    QString defaultKeyword; // the queue's own default, when it names one
    std::vector<PaperSourceChoice> choices;
    bool Offers(const QString &keyword) const;
};

// Asks the CUPS server what `printer` (a name as InstalledPrinterNames lists
// it, "name" or "name/instance") offers.
PaperSourceOffer QueuePaperSources(const QString &printer);

// A readable text for an IPP media-source keyword the server does not
// translate ("tray-2" → "Tray 2", "by-pass-tray" → "Bypass tray").
QString MediaSourceText(const QString &keyword);

// The kinds of job that each have a source of their own.
enum class PaperSourceJob { Envelopes, Labels };

// A stored choice: the option and the keyword sent with the jobs. Empty: the
// printer's default source (nothing is sent).
struct PaperSourceSetting {
    QString option;
    QString keyword;
    bool IsEmpty() const { return option.isEmpty() || keyword.isEmpty(); }
    bool operator==(const PaperSourceSetting &) const = default;
};

// The user's choice for `printer` and `job` (QSettings, group "PaperSource").
PaperSourceSetting StoredPaperSource(const QString &printer, PaperSourceJob job);
// Stores it; an empty setting removes the entry.
void StorePaperSource(const QString &printer, PaperSourceJob job, const PaperSourceSetting &setting);

// Adds (or replaces) one CUPS option of the job `printer` will send. Only a
// printer on a CUPS queue sends options; the PDF printer ignores them.
void SetCupsOption(QPrinter &printer, const QString &name, const QString &value);
// The CUPS options set on `printer` so far, as name, value pairs.
QStringList CupsOptions(const QPrinter &printer);
