#pragma once

#include <QString>
#include <string_view>

namespace mibolan::ui {

inline QString ToQString(std::u16string_view text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

inline QString ToQString(std::string_view latin1) {
  return QString::fromLatin1(latin1.data(), static_cast<qsizetype>(latin1.size()));
}

// The QString's UTF-16 units, without a copy; valid while the string lives unchanged.
inline std::u16string_view ToU16View(const QString& text) {
  return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

}  // namespace mibolan::ui
