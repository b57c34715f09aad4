// The library's own strings (ids 5-18), kept apart from the program's table
// because the program's ids overlap them. Read with TVLibraryString.
#include "tvstrings.h"

extern const TVStringEntry kLibraryStrings[];
extern const std::size_t kLibraryStringCount;

extern const TVStringEntry kLibraryStrings[] = {
    // Message boxes: fallback text
    {5, "Error in message displaying routine. Insufficient memory?"},
    // Image open dialog
    {6, "Loading of the directory tree failed. The list may contain errors."},
    {7, "Device not ready."},
    {8, "No graphics file selected. Please select one."},
    {9, "The selected file is not of a supported graphics format or it is corrupted."},
    {11, "all supported formats"},
    {12, "all files (*.*)"},
    {13, "Floppy disc (%s)"},
    {14, "Local disc (%s)"},
    {15, "CD-ROM drive (%s)"},
    {16, "Network drive (%s)"},
    {17, "File name"},
    {18, "Size [kB]"},
};

extern const std::size_t kLibraryStringCount = sizeof(kLibraryStrings) / sizeof(kLibraryStrings[0]);
