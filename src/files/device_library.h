// The device library: the device names offered for loading, each remembered with the
// definitions file it was listed from; and the device commands of the pin editor that use it
// ("Load Device", "Save Device", "Reload DD", the "Device Pin" and "Device Name" fields).
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "dialogs/user_dialogs.h"
#include "files/load_observer.h"
#include "model/board_config.h"

namespace vela {

inline constexpr const char* kDeviceFileFilter = "Vela Device Definitions|*.def";
inline constexpr const char* kStandardDeviceFile = "VelaDevices.def";

// The folder the installed program keeps its data in (VelaDevices.def).
std::filesystem::path InstalledDataDir();

// The device list with the file of each entry, and the state of the last file opened.
class DeviceLibrary {
 public:
  // The device list ("cboDevice"), in the order read.
  const std::vector<std::string>& Devices() const { return devices_; }
  // The file of each entry; grows as entries arrive and is never shrunk, so it may be longer
  // than the list after a replacing reload.
  const std::vector<std::string>& DeviceSources() const { return sources_; }
  const std::string& DeviceFilePath() const { return file_path_; }
  const std::string& DeviceFileVersion() const { return file_version_; }
  // The caption beside "Definitions Loaded:".
  const std::string& VersionLabel() const { return version_label_; }

  // Start-up: lists VelaDevices.def from the program's folder, else from the installed data
  // folder, else from a file the user picks.
  void LoadAtStartUp(const std::filesystem::path& program_dir, UserDialogs& dialogs);
  // The same over an explicit list of folders, searched in order (pass a vector: a braced
  // single path selects the overload above).
  void LoadAtStartUp(const std::vector<std::filesystem::path>& folders, UserDialogs& dialogs);

  // "Reload DD": asks for a file and lists its devices instead of (append: after) the current
  // ones. On any failure the library is unchanged.
  bool Reload(bool append, UserDialogs& dialogs);
  bool ReloadFrom(const std::string& path, bool append, UserDialogs& dialogs);

  // "Load Device": copies the device `name` (the list's text) onto the pins from CurrentPin.
  // The entry is the selected one when its name matches, else the first entry of that name.
  // Nothing changes unless the device was found and read whole.
  bool LoadDevice(BoardConfig& config, const std::string& name, int selected_index,
                  UserDialogs& dialogs, LoadObserver* observer = nullptr) const;

 private:
  // Lists the devices of a file that passed the header check; false after a message.
  bool ListFile(const std::string& path, const std::string& bytes, UserDialogs& dialogs,
                std::vector<std::string>& names, std::string& header) const;
  void Append(const std::vector<std::string>& names, const std::string& path);

  std::vector<std::string> devices_;
  std::vector<std::string> sources_;
  std::string file_path_;
  std::string file_version_;
  std::string version_label_ = "None";
};

// The overwritten-pins warning of "Load Device" for the pins given (shown + NumberBase).
std::string OverwrittenPinsMessage(const std::vector<int>& pins, int number_base);

// "Save Device": writes the device that contains CurrentPin to a file the user picks; refuses
// with "Referral is not a device" when CurrentPin does not refer to a device's first pin.
bool SaveDeviceCommand(BoardConfig& config, UserDialogs& dialogs);
// The same to a given path.
bool SaveDevice(BoardConfig& config, const std::string& path, UserDialogs& dialogs);

}  // namespace vela
