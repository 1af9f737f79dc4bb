// The whole-board buttons under the connection strip: "Read All", "Write All", "Verify All"
// (queued operations), "Save File" (Shift: compact), "Load File" and the "Recent" menu of the
// files saved or loaded in this session.
#pragma once

#include <QWidget>
#include <string>
#include <vector>

#include "ui/window_context.h"

class QMenu;
class QToolButton;

namespace vela::ui {

class BoardButtons : public QWidget {
  Q_OBJECT

 public:
  BoardButtons(WindowContext& context, QWidget* parent = nullptr);

  // Loads a data file over the configuration and announces the replacement.
  void LoadFile(const std::string& path);

 signals:
  // The configuration was saved to a file.
  void saved();
  // A data file was loaded over the configuration.
  void loaded();

 private:
  void OnSaveFile(Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
  void OnLoadFile();
  void RememberFile(const std::string& path);

  WindowContext& context_;
  std::vector<std::string> recent_files_;
  QToolButton* recent_button_ = nullptr;
  QMenu* recent_menu_ = nullptr;
};

}  // namespace vela::ui
