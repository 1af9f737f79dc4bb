// What the window remembers between runs: the recent files, the last port opened, the bit rate,
// the module address and the window's geometry. Kept in an INI file (VelaConfig/velaconfig.ini
// in the user's configuration folder), or only in memory (tests and --no-settings). Nothing a
// board or a file receives depends on them; they only preset the window.
#pragma once

#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QSettings;

namespace vela::ui {

class WindowSettings {
 public:
  static constexpr size_t kMaxRecentFiles = 8;

  // In memory only: starts empty and writes nothing.
  WindowSettings();
  // Read from and written to the INI file at `path`.
  explicit WindowSettings(const QString& path);
  ~WindowSettings();
  WindowSettings(const WindowSettings&) = delete;
  WindowSettings& operator=(const WindowSettings&) = delete;

  // The user's file: VelaConfig/velaconfig.ini in the platform's configuration folder.
  static std::unique_ptr<WindowSettings> User();

  // Most recent first, at most kMaxRecentFiles.
  const std::vector<std::string>& RecentFiles() const { return recent_files_; }
  // Puts `path` first (once).
  void AddRecentFile(const std::string& path);
  void RemoveRecentFile(const std::string& path);

  // Empty, or what was last opened.
  const std::string& Port() const { return port_; }
  void SetPort(const std::string& port);
  // An index into kLineSettings.
  std::optional<int> BitRateIndex() const { return bit_rate_index_; }
  void SetBitRateIndex(int index);
  // As on the wire, for the direct link.
  std::optional<int> ModuleAddress() const { return module_address_; }
  void SetModuleAddress(int address);
  // QWidget::saveGeometry's bytes; empty when none.
  const QByteArray& Geometry() const { return geometry_; }
  void SetGeometry(const QByteArray& geometry);

  // Where the values are written; empty in memory.
  QString FileName() const;
  // False after a write that failed (a read-only folder): the values stay for this run.
  bool Written() const { return written_; }

 private:
  void Read();
  // The recent files as the file holds them now (another window may have added some).
  void ReadRecentFiles();
  void Write();

  std::unique_ptr<QSettings> file_;
  bool written_ = true;
  std::vector<std::string> recent_files_;
  std::string port_;
  std::optional<int> bit_rate_index_;
  std::optional<int> module_address_;
  QByteArray geometry_;
};

}  // namespace vela::ui
