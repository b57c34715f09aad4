#pragma once
// The parts of a ZIP package (.xlsx, .ods) read from the file's bytes with
// minizip (the same library libxlsxwriter writes its packages with), each
// with a limit on its unpacked size so that a small hostile file cannot
// unpack into gigabytes (a "zip bomb"): a part over its limit, a damaged
// entry or a wrong checksum is refused with a reason. Also writes packages.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>

class ZipPackage {
public:
    // The bytes of the whole package; they must outlive the object.
    explicit ZipPackage(const QByteArray &bytes);
    ~ZipPackage();
    ZipPackage(const ZipPackage &) = delete;
    ZipPackage &operator=(const ZipPackage &) = delete;

    // False when the bytes are not a readable ZIP archive.
    bool IsOpen() const { return m_open; }
    // True when the package holds a part of this name (letter case ignored,
    // as the package formats ask).
    bool Has(const QString &name) const;
    // The names of all parts, in the archive's order.
    QStringList Names() const;
    // The unpacked bytes of a part; false (with a reason) when it is absent,
    // damaged, encrypted, or more than `limit` bytes, or when all parts read
    // so far unpack to more than the package's overall limit.
    bool Read(const QString &name, QByteArray &out, QString *why = nullptr, qint64 limit = kPartLimit);

    static constexpr qint64 kPartLimit = qint64(256) << 20;   // 256 MiB
    static constexpr qint64 kTotalLimit = qint64(512) << 20;  // 512 MiB

    // The bytes as minizip's I/O functions read them.
    struct Stream;

private:
    std::unique_ptr<Stream> m_stream;
    void *m_zip = nullptr; // minizip's unzFile
    bool m_open = false;
    qint64 m_total = 0;
};

// A ZIP package being written to a file: entries in the order they are
// added, compressed except where asked otherwise (the "mimetype" entry of
// an OpenDocument file must be first and stored).
class ZipWriter {
public:
    explicit ZipWriter(const QString &path);
    ~ZipWriter();
    ZipWriter(const ZipWriter &) = delete;
    ZipWriter &operator=(const ZipWriter &) = delete;

    bool IsOpen() const { return m_open; }
    bool Add(const QString &name, const QByteArray &data, bool compress = true);
    // Writes the central directory; false when anything failed.
    bool Close();

private:
    void *m_zip = nullptr; // minizip's zipFile
    bool m_open = false;
    bool m_failed = false;
};

// Days since 1899-12-30 (the day count spreadsheets store) of an ISO date
// or date and time ("2024-03-15", "2024-03-15T13:45:30.5"); false when the
// text is not one.
bool IsoDateToSerial(const QString &text, double &serial);
// Days of an ISO 8601 duration as OpenDocument stores times
// ("PT13H45M30S", "P1DT2H", "-PT0.5S"); false when the text is not one.
bool IsoDurationToDays(const QString &text, double &days);
