#include "files/device_library.h"

#include "files/cp1252.h"
#include "files/device_file.h"
#include "files/file_io.h"

namespace vela {
namespace {

constexpr size_t kLabelLimit = 50;
constexpr size_t kLabelTail = 48;

std::string CutLabel(const std::string& label) {
  size_t length = Utf8Length(label);
  if (length <= kLabelLimit) return label;
  return ".." + Utf8Tail(label, length - kLabelTail);
}

// The first pin of the device the current pin refers to, or -1 when that is not a device's
// first pin (the check of "Save Device" and "Write Device").
int DeviceHeadOf(const BoardConfig& config) {
  if (!config.RefersToDeviceHead(config.CurrentPin)) return -1;
  int head = config.CurrentPin + config.Current().DeviceRef;
  return head < kPinCount ? head : -1;
}

}  // namespace

std::filesystem::path InstalledDataDir() {
#ifdef VELA_DATA_DIR
  return PathFromUtf8(VELA_DATA_DIR);
#else
  return {};
#endif
}

bool DeviceLibrary::ListFile(const std::string& path, const std::string& bytes,
                             UserDialogs& dialogs, std::vector<std::string>& names,
                             std::string& header) const {
  DeviceFileRead read = ParseDeviceFile(bytes);
  if (read.outcome == DeviceFileRead::Outcome::kInvalidHeader) {
    dialogs.Message("Invalid definition file", MessageIcon::kWarning);
    return false;
  }
  if (read.outcome == DeviceFileRead::Outcome::kMalformed) {
    dialogs.Message("Cannot load " + path + ": " + read.problem.Text(), MessageIcon::kWarning);
    return false;
  }
  names.clear();
  for (const DeviceSection& device : read.devices) names.push_back(device.name);
  header = read.header;
  return true;
}

void DeviceLibrary::Append(const std::vector<std::string>& names, const std::string& path) {
  for (const std::string& name : names) {
    size_t i = devices_.size();
    devices_.push_back(name);
    if (i < sources_.size()) {
      sources_[i] = path;
    } else {
      sources_.push_back(path);
    }
  }
}

void DeviceLibrary::LoadAtStartUp(const std::filesystem::path& program_dir, UserDialogs& dialogs) {
  LoadAtStartUp(std::vector<std::filesystem::path>{program_dir, InstalledDataDir()}, dialogs);
}

void DeviceLibrary::LoadAtStartUp(const std::vector<std::filesystem::path>& folders,
                                  UserDialogs& dialogs) {
  file_version_ = "Unknown";
  devices_.clear();
  std::string bytes;
  bool opened = false;
  for (const std::filesystem::path& folder : folders) {
    if (folder.empty()) continue;
    file_path_ = PathToUtf8(folder / kStandardDeviceFile);
    if (ReadWholeFile(file_path_, bytes)) {
      opened = true;
      break;
    }
  }
  if (!opened) {
    dialogs.Message("Can not find Device Configuration file at standard location",
                    MessageIcon::kWarning);
    file_path_ = dialogs.OpenFileName(kDeviceFileFilter, kStandardDeviceFile);
    std::string reason;
    ReadOutcome outcome = ReadInputFile(file_path_, bytes, reason);
    if (outcome == ReadOutcome::kRefused) {
      dialogs.Message("Cannot load " + file_path_ + ": " + reason, MessageIcon::kWarning);
    }
    if (outcome != ReadOutcome::kRead) {
      dialogs.Message("No Device Configuration available", MessageIcon::kWarning);
      return;
    }
  }
  std::vector<std::string> names;
  std::string header;
  if (!ListFile(file_path_, bytes, dialogs, names, header)) return;
  if (Utf8Length(header) >= 23) file_version_ = DeviceFileVersionOf(header);
  if (!file_version_.empty()) version_label_ = file_version_;
  Append(names, file_path_);
}

bool DeviceLibrary::Reload(bool append, UserDialogs& dialogs) {
  return ReloadFrom(dialogs.OpenFileName(kDeviceFileFilter, ""), append, dialogs);
}

bool DeviceLibrary::ReloadFrom(const std::string& path, bool append, UserDialogs& dialogs) {
  std::string bytes;
  std::string reason;
  ReadOutcome outcome = ReadInputFile(path, bytes, reason);
  if (outcome == ReadOutcome::kRefused) {
    dialogs.Message("Cannot load " + path + ": " + reason, MessageIcon::kWarning);
    return false;
  }
  if (outcome != ReadOutcome::kRead) {
    dialogs.Message("No Device Configuration file selected", MessageIcon::kWarning);
    return false;
  }
  std::vector<std::string> names;
  std::string header;
  if (!ListFile(path, bytes, dialogs, names, header)) return false;
  file_path_ = path;
  file_version_ = DeviceFileVersionOf(header);
  if (append) {
    version_label_ += " + " + file_version_;
  } else {
    devices_.clear();
    version_label_ = file_version_;
  }
  version_label_ = CutLabel(version_label_);
  Append(names, path);
  return true;
}

bool DeviceLibrary::LoadDevice(BoardConfig& config, const std::string& name, int selected_index,
                               UserDialogs& dialogs, LoadObserver* observer) const {
  if (name.empty()) {
    dialogs.Message("Select Devicename to load", MessageIcon::kNone);
    return false;
  }
  int entry = -1;
  if (selected_index >= 0 && static_cast<size_t>(selected_index) < devices_.size() &&
      devices_[selected_index] == name) {
    entry = selected_index;
  } else {
    for (size_t i = 0; i < devices_.size() && entry < 0; ++i) {
      if (devices_[i] == name) entry = static_cast<int>(i);
    }
  }
  // A name typed into the list that no entry has is as unknown as one missing from its file.
  if (entry < 0) {
    dialogs.Message("No match found", MessageIcon::kNone);
    return false;
  }
  const std::string& source = sources_[entry];
  std::string bytes;
  std::string reason;
  ReadOutcome outcome = ReadInputFile(source, bytes, reason);
  if (outcome == ReadOutcome::kRefused) {
    dialogs.Message("Cannot load device \"" + Excerpt(name) + "\" from " + source + ": " + reason,
                    MessageIcon::kWarning);
    return false;
  }
  if (outcome != ReadOutcome::kRead) {
    dialogs.Message(
        "Cannot load device \"" + Excerpt(name) + "\": the file " + source + " cannot be opened",
        MessageIcon::kWarning);
    return false;
  }
  DeviceFileRead read = ParseDeviceFile(bytes);
  if (read.outcome == DeviceFileRead::Outcome::kInvalidHeader) {
    dialogs.Message("Invalid definition file", MessageIcon::kWarning);
    return false;
  }
  if (read.outcome == DeviceFileRead::Outcome::kMalformed) {
    dialogs.Message("Cannot load " + source + ": " + read.problem.Text(), MessageIcon::kWarning);
    return false;
  }
  const DeviceSection* device = nullptr;
  for (const DeviceSection& section : read.devices) {
    if (section.name == name) {
      device = &section;
      break;
    }
  }
  if (device == nullptr) {
    dialogs.Message("No match found", MessageIcon::kNone);
    return false;
  }
  BoardConfig loaded = config;
  std::vector<int> overwritten = ApplyDevice(loaded, *device);
  config = std::move(loaded);
  if (observer) observer->DeviceLoaded();
  if (!overwritten.empty()) {
    dialogs.Message(OverwrittenPinsMessage(overwritten, config.NumberBase), MessageIcon::kWarning);
  }
  return true;
}

std::string OverwrittenPinsMessage(const std::vector<int>& pins, int number_base) {
  std::string text =
      "Information: The following Pin numbers were\n\ralready used and have been overwritten:\n\r";
  for (size_t i = 0; i < pins.size(); ++i) {
    if (i > 0) text += ",";
    text += " " + std::to_string(pins[i] + number_base);
  }
  return text;
}

bool SaveDeviceCommand(BoardConfig& config, UserDialogs& dialogs) {
  if (DeviceHeadOf(config) < 0) {
    dialogs.Message("Referral is not a device", MessageIcon::kWarning);
    return false;
  }
  std::string path = dialogs.SaveFileName(kDeviceFileFilter, "");
  if (path.empty()) return false;
  return SaveDevice(config, path, dialogs);
}

bool SaveDevice(BoardConfig& config, const std::string& path, UserDialogs& dialogs) {
  int head = DeviceHeadOf(config);
  if (head < 0) {
    dialogs.Message("Referral is not a device", MessageIcon::kWarning);
    return false;
  }
  std::string bytes;
  std::string problem;
  if (!FormatDevice(config, head, bytes, problem) || !SaveFileSafely(path, bytes, problem)) {
    dialogs.Message("Cannot save " + path + ": " + problem, MessageIcon::kWarning);
    return false;
  }
  return true;
}

}  // namespace vela
