#pragma once
// Helpers of the label tests: folders and addresses in a test database. The
// root folder, the words of a PDF file and working a modal dialog come from
// tests/support (testsupport.h, pdfsupport.h).
#include "addressentry.h"
#include "pdfsupport.h"
#include "sizes.h"
#include "testsupport.h"

#include <QString>
#include <cstdint>

class CDatabase;

std::int32_t AddFolder(CDatabase &db, const QString &name, std::int32_t parent);
std::int32_t AddAddress(CDatabase &db, std::int32_t folder, const QString &name, const QString &town,
                        const QString &street = QString(), const QString &zip = QStringLiteral("11000"),
                        const QString &country = QString());

// The label size of a fresh database with this name.
LabelSize LabelSizeNamed(CDatabase &db, const QString &name);
inline constexpr const char *kSheet3x8 = "Avery Zweckform 3474 Labels 70 x 37 mm, 24 per sheet";
