#include "reporttest.h"

#include "addressrecords.h"

AddressEntry AddAddress(CDatabase &db, std::int32_t folder, const QString &name, const QString &street,
                        const QString &town, const QString &zip, const QString &country, const QString &note)
{
    AddressEntry a;
    a.folder = folder;
    a.name = name;
    a.street = street;
    a.town = town;
    a.zip = zip;
    a.country = country;
    a.note = note;
    a.id = SaveNewAddress(db, a, {}, {}, folder);
    return a;
}

QStringList NamesOf(const std::vector<AddressEntry> &rows)
{
    QStringList names;
    for (const AddressEntry &r : rows)
        names << r.name;
    return names;
}
