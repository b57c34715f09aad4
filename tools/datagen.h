#pragma once
// Synthetic address books: names, streets and towns from several countries
// (Czech, German, French, English, some Chinese and Japanese), multi-line
// names and streets, phones and e-mails with notes, spread over a folder
// tree. Only values the address pages accept: required fields filled, no
// disallowed character, trimmed, at most 255 characters.
#include <QString>

struct DataGenOptions {
    long long addresses = 1000;
    long long folders = -1; // -1: addresses / 100, at least 1
    unsigned seed = 1;
};

struct DataGenResult {
    long long addresses = 0, phones = 0, emails = 0, folders = 0;
};

// Adds the address book to the database at `path`, in one transaction.
DataGenResult GenerateAddressBook(const QString &path, const DataGenOptions &options);
