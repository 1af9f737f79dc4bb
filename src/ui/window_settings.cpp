#include "ui/window_settings.h"

#include <QSettings>
#include <QStringList>
#include <algorithm>

#include "link/connection_options.h"

namespace vela::ui {
namespace {

constexpr const char* kRecentFiles = "Files/Recent";
constexpr const char* kPort = "Link/Port";
constexpr const char* kBitRate = "Link/BitRate";
constexpr const char* kModuleAddress = "Link/ModuleAddress";
constexpr const char* kGeometry = "Window/Geometry";

}  // namespace

WindowSettings::WindowSettings() = default;

WindowSettings::WindowSettings(const QString& path)
    : file_(std::make_unique<QSettings>(path, QSettings::IniFormat)) {
  Read();
}

WindowSettings::~WindowSettings() = default;

std::unique_ptr<WindowSettings> WindowSettings::User() {
  const QSettings where(QSettings::IniFormat, QSettings::UserScope, "VelaConfig", "velaconfig");
  return std::make_unique<WindowSettings>(where.fileName());
}

QString WindowSettings::FileName() const {
  return file_ ? file_->fileName() : QString();
}

// Values are checked by the rules of the command line; whatever fails them (an edited file, an
// older version's) is left out, as if it were not there.
void WindowSettings::Read() {
  ReadRecentFiles();
  port_ = file_->value(kPort).toString().toStdString();
  bit_rate_index_ = ParseBitRate(file_->value(kBitRate).toString().toStdString()).value;
  module_address_ =
      ParseModuleAddress(file_->value(kModuleAddress).toString().toStdString(), false, nullptr)
          .value;
  geometry_ = file_->value(kGeometry).toByteArray();
}

void WindowSettings::ReadRecentFiles() {
  if (!file_) return;
  file_->sync();
  recent_files_.clear();
  for (const QString& file : file_->value(kRecentFiles).toStringList()) {
    const std::string path = file.toStdString();
    if (path.empty() || recent_files_.size() >= kMaxRecentFiles ||
        std::ranges::find(recent_files_, path) != recent_files_.end()) {
      continue;
    }
    recent_files_.push_back(path);
  }
}

// Written at each change, so that a run that ends abruptly keeps what it had. A file that
// cannot be written changes nothing else: the values stay in memory for this run.
void WindowSettings::Write() {
  if (!file_) return;
  QStringList files;
  for (const std::string& path : recent_files_) files << QString::fromStdString(path);
  file_->setValue(kRecentFiles, files);
  file_->setValue(kPort, QString::fromStdString(port_));
  if (bit_rate_index_)
    file_->setValue(kBitRate, QString::fromStdString(BitRateText(*bit_rate_index_)));
  if (module_address_) file_->setValue(kModuleAddress, *module_address_);
  if (!geometry_.isEmpty()) file_->setValue(kGeometry, geometry_);
  file_->sync();
  written_ = file_->status() == QSettings::NoError;
}

void WindowSettings::AddRecentFile(const std::string& path) {
  ReadRecentFiles();
  std::erase(recent_files_, path);
  recent_files_.insert(recent_files_.begin(), path);
  if (recent_files_.size() > kMaxRecentFiles) recent_files_.resize(kMaxRecentFiles);
  Write();
}

void WindowSettings::RemoveRecentFile(const std::string& path) {
  ReadRecentFiles();
  std::erase(recent_files_, path);
  Write();
}

void WindowSettings::SetPort(const std::string& port) {
  if (port == port_) return;
  port_ = port;
  Write();
}

void WindowSettings::SetBitRateIndex(int index) {
  if (bit_rate_index_ == index || BitRateText(index).empty()) return;
  bit_rate_index_ = index;
  Write();
}

void WindowSettings::SetModuleAddress(int address) {
  if (module_address_ == address) return;
  module_address_ = address;
  Write();
}

void WindowSettings::SetGeometry(const QByteArray& geometry) {
  if (geometry == geometry_) return;
  geometry_ = geometry;
  Write();
}

}  // namespace vela::ui
