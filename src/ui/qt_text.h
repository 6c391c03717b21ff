// Strings are UTF-8 inside the program; Qt holds UTF-16. These two cross the line.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace vexa::ui {

inline QString Qs(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string Utf8(const QString& text) {
  return text.toStdString();
}

}  // namespace vexa::ui
