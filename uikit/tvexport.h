#pragma once
// Symbol visibility of the Tevrokit shared library.
#if defined(TEVROKIT_BUILD)
#define TEVROKIT_EXPORT __attribute__((visibility("default")))
#else
#define TEVROKIT_EXPORT
#endif
