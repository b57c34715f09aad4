#include "sqlformat.h"
#include "database.h"

QString SqlFormatArgs(const QString &sql, std::vector<TVArg> args)
{
    for (TVArg &arg : args)
        if (arg.type() == TVArg::Type::String) {
            QString value = arg.toString();
            value.replace(QLatin1String("'"), QLatin1String("''"));
            arg = TVArg(value);
        }
    std::optional<QString> text = TVFormat(sql, args);
    if (!text)
        throw DbException(QStringLiteral("SQL text does not match its values: %1").arg(sql));
    return *text;
}
