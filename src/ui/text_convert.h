// Text between the core, which holds std::string (UTF-8), and the widgets, which hold QString.
#pragma once

#include <QString>
#include <string>

namespace vela::ui {

inline QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

inline std::string S(const QString& text) {
  return text.toStdString();
}

}  // namespace vela::ui
