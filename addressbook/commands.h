#pragma once
// Menu and toolbar commands provided by the subsystems. Each subsystem
// registers a handler per command id (the ids of the command table) at
// start-up; the main window dispatches its actions to them and asks them
// whether a command is available. A command without a handler is shown
// disabled.
#include <functional>

class QWidget;

struct CommandHandler {
    std::function<void(QWidget *parent)> run;
    // Empty: always available.
    std::function<bool()> enabled;
};

void RegisterCommand(int id, CommandHandler handler);
const CommandHandler *FindCommand(int id);
