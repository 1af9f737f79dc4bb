// The whole-board buttons under the connection strip: "Read All", "Write All", "Verify All"
// (queued operations), "Save File" (Shift: compact), "Load File" and the "Recent" menu of the
// files last saved or loaded, remembered between runs.
#pragma once

#include <QWidget>
#include <string>

#include "ui/window_context.h"

class QMenu;
class QToolButton;

namespace vela::ui {

class WindowSettings;

class BoardButtons : public QWidget {
  Q_OBJECT

 public:
  // The recent files are `settings`'s.
  BoardButtons(WindowContext& context, WindowSettings& settings, QWidget* parent = nullptr);

  // Loads a data file over the configuration and announces the replacement.
  void LoadFile(const std::string& path);
  // "Load File": asks before unsaved edits are replaced, then for the file.
  void ChooseAndLoadFile();
  // kCurrent saves to the file in use without asking (asks when there is none); kAs and
  // kCompact ask for the name, offering the file in use. True when saved.
  enum class SaveKind { kCurrent, kAs, kCompact };
  bool SaveFile(SaveKind kind);
  // The file last saved or loaded; empty before either.
  const std::string& CurrentFile() const { return current_file_; }
  QMenu* RecentMenu() const { return recent_menu_; }

 signals:
  // The configuration was saved to a file.
  void saved();
  // A data file was loaded over the configuration.
  void loaded();

 private:
  void OnSaveFile(Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
  void OpenRecentFile(const std::string& path);
  void RememberFile(const std::string& path);
  void ShowRecentFiles();

  WindowContext& context_;
  WindowSettings& settings_;
  std::string current_file_;
  QToolButton* recent_button_ = nullptr;
  QMenu* recent_menu_ = nullptr;
};

}  // namespace vela::ui
