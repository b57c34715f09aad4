#pragma once
// Formats one of the program's SQL texts with printf arguments. Every "%s"
// value has its single quotes doubled, so a value always stays one string
// literal and can never change the statement.
#include "../uikit/tvformat.h"

#include <QString>
#include <vector>

QString SqlFormatArgs(const QString &sql, std::vector<TVArg> args);

template <typename... A> QString SqlFormat(const QString &sql, A &&...args)
{
    return SqlFormatArgs(sql, {TVArg(args)...});
}
