#include "labeltest.h"

#include "addressrecords.h"
#include "database.h"
#include "folderops.h"
#include "recordsets.h"
#include "sqlformat.h"

std::int32_t AddFolder(CDatabase &db, const QString &name, std::int32_t parent)
{
    return CreateFolder(db, name, parent).id;
}

std::int32_t AddAddress(CDatabase &db, std::int32_t folder, const QString &name, const QString &town,
                        const QString &street, const QString &zip, const QString &country)
{
    AddressEntry a;
    a.name = name;
    a.town = town;
    a.street = street;
    a.zip = zip;
    a.country = country;
    return SaveNewAddress(db, a, {}, {}, folder);
}

LabelSize LabelSizeNamed(CDatabase &db, const QString &name)
{
    const auto rows = ReadLabelSizes(db, SqlFormat(QStringLiteral("SELECT * FROM LABSIZE WHERE NAME = '%s'"), name));
    return rows.empty() ? LabelSize{} : rows.front();
}
