#pragma once
// Menu and toolbar commands provided by the subsystems. Each subsystem
// registers a handler per command id (the ids of the command table) at
// start-up; the main window dispatches its actions to them and asks them
// whether a command is available. A command without a handler is shown
// disabled.
#include "addressentry.h"

#include <functional>
#include <optional>
#include <vector>

#include <QString>

class QWidget;

struct CommandHandler {
    std::function<void(QWidget *parent)> run;
    // Empty: always available.
    std::function<bool()> enabled;
};

void RegisterCommand(int id, CommandHandler handler);
const CommandHandler *FindCommand(int id);

// The address the print-one and preview-one commands take: from the Quick
// printing page when it is active, else the selection in the panes. The main
// window provides it; nullopt when there is none (a message was shown).
void SetAddressToPrintProvider(std::function<std::optional<AddressEntry>()> provider);
std::optional<AddressEntry> AddressToPrint();

// Printing a list of addresses, as the print and preview commands and the
// report's print-form choice do it: the envelope and label parts register
// one runner each ("envelopes", "labels"); `preview` opens the preview
// first. The list is printed in its order. False when no runner exists.
using PrintListRunner = std::function<void(QWidget *parent, const std::vector<AddressEntry> &list, bool preview)>;
void RegisterPrintListRunner(const QString &kind, PrintListRunner runner);
bool RunPrintList(const QString &kind, QWidget *parent, const std::vector<AddressEntry> &list, bool preview);
bool HasPrintListRunner(const QString &kind);
