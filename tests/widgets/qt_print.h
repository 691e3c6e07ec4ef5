#pragma once

#include <QByteArray>
#include <QString>
#include <cstdio>
#include <ostream>

// Readable failure messages for Qt's strings: GoogleTest finds these by
// argument-dependent lookup, so they live beside the types.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QByteArray& bytes, std::ostream* out) {
    *out << '"';
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == '\r') {
            *out << "\\r";
        } else if (byte == '\n') {
            *out << "\\n";
        } else if (byte == '\\' || byte == '"') {
            *out << '\\' << c;
        } else if (byte >= 32 && byte < 127) {
            *out << c;
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", byte);
            *out << hex;
        }
    }
    *out << '"';
}
