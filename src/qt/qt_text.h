#pragma once

#include <QString>
#include <string>

namespace corvane {

inline QString toQt(const std::string& utf8) { return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())); }
inline std::string fromQt(const QString& text) { return text.toStdString(); }

} // namespace corvane
