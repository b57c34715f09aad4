#pragma once
// printf-style formatting of message texts with type-safe arguments: "%s",
// "%d", "%i", "%u", "%x", "%c", "%f", "%.02f", "%%", with flags, width and
// precision. An argument of the wrong kind or a missing argument makes the
// formatting fail (std::nullopt) instead of reading garbage.
#include "tvexport.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class TEVROKIT_EXPORT TVArg {
public:
    enum class Type { Int, Double, String };
    TVArg(int v) : m_type(Type::Int), m_int(v) {}
    TVArg(unsigned v) : m_type(Type::Int), m_int(v) {}
    TVArg(long v) : m_type(Type::Int), m_int(v) {}
    TVArg(unsigned long v) : m_type(Type::Int), m_int(static_cast<std::int64_t>(v)) {}
    TVArg(long long v) : m_type(Type::Int), m_int(v) {}
    TVArg(double v) : m_type(Type::Double), m_double(v) {}
    TVArg(const QString &v) : m_type(Type::String), m_string(v) {}
    TVArg(const char *v) : m_type(Type::String), m_string(QString::fromUtf8(v ? v : "")) {}
    TVArg(const std::string &v) : m_type(Type::String), m_string(QString::fromStdString(v)) {}
    TVArg(const QByteArray &v) : m_type(Type::String), m_string(QString::fromUtf8(v)) {}

    Type type() const { return m_type; }
    std::int64_t toInt() const { return m_int; }
    double toDouble() const { return m_double; }
    const QString &toString() const { return m_string; }

private:
    Type m_type;
    std::int64_t m_int = 0;
    double m_double = 0;
    QString m_string;
};

// Formats `format` with `args`; nullopt when a conversion does not match its
// argument or an argument is missing.
TEVROKIT_EXPORT std::optional<QString> TVFormat(const QString &format, const std::vector<TVArg> &args);
