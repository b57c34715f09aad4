#pragma once
// The program's string table: messages, captions, labels and status-bar
// prompts by id. CorvelleRegisterStrings hands the table to the library's
// string service once at start-up; texts are then read with
// TVLoadStringResource(id) and shown through the message boxes.
#include "tvstrings.h"

#include <cstddef>

extern const TVStringEntry kProgramStrings[];
extern const std::size_t kProgramStringCount;

// Registers kProgramStrings with TVSetStringTable.
void CorvelleRegisterStrings();
