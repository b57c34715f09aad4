#pragma once
// The three ways TVHyperlink opens a link, replaceable so tests can see the
// order in which they are tried.
#include "tvexport.h"

#include <QString>
#include <functional>

struct TVHyperlinkWays {
    std::function<bool(const QString &)> desktop; // way A: QDesktopServices
    std::function<bool(const QString &)> opener;  // way B: xdg-open
    std::function<bool(const QString &)> browser; // way C: $BROWSER
};

// Replaces the ways (an empty `desktop` restores the defaults); returns the old.
TEVROKIT_EXPORT TVHyperlinkWays TVSetHyperlinkWays(const TVHyperlinkWays &ways);
