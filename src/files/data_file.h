// The configuration data file (".dat"): the whole configuration as tagged lines of items.
//
//   "VelaConfiguration 3100"            header; the last four characters are the version
//   "ID$" "DCC" "XAD" "HWC" "LED" "SPC"  general settings, one line each
//   "Eon" x 32, "Eof" x 32              event control, each action + 1
//   "Pin" / "Dev" / "Cfg" / "PAM"       per pin, then per aspect "Asp" and per step "Ins"
//   "End"
//
// The compact form leaves out pins and aspects without description and empty steps. Older
// versions lack some items (below 20: two PWM levels; 22 or below: the DCC options; 31 or
// below: the extended DCC address and count). A load reads into a copy and takes it only when
// the file was read whole up to "End"; a save writes beside the target and renames.
#pragma once

#include <string>
#include <string_view>

#include "dialogs/user_dialogs.h"
#include "files/item_reader.h"
#include "files/item_writer.h"
#include "files/load_observer.h"
#include "model/board_config.h"

namespace vela {

inline constexpr const char* kDataFileFilter = "Vela Config Data|*.dat";
inline constexpr const char* kDataFileHeader = "VelaConfiguration";
inline constexpr int kCurrentDataFileVersion = 3100;

// Builds the bytes of a data file, full or compact. Reduces every servo's ServoFlags modulo 64
// in config first, as a save does. Returns false with the reason, naming the field, when a
// value cannot be stored; config is then left as it was.
bool FormatDataFile(BoardConfig& config, bool compact, std::string& bytes, std::string& refusal);

// What reading data-file bytes came to.
struct DataFileRead {
  enum class Outcome { kLoaded, kInvalidHeader, kMalformed };
  Outcome outcome = Outcome::kLoaded;
  int version = 0;      // of a valid header
  FileProblem problem;  // when malformed
};

// Reads data-file bytes into config and recomputes the address start tables. Works in place:
// after kMalformed, config holds whatever was read up to the problem, so callers pass a copy.
DataFileRead ParseDataFile(std::string_view bytes, BoardConfig& config);

// Saves to path; on a refusal or a write failure shows one warning and leaves any previous
// file as it was.
bool SaveDataFile(BoardConfig& config, const std::string& path, bool compact, UserDialogs& dialogs);

// Loads path. Shows "Invalid configuration file" for a bad header, "Data File Version = N" for
// a version below 3100, and one warning naming the line and item for a file that is cut short,
// malformed or out of range; only a file read whole changes config.
bool LoadDataFile(BoardConfig& config, const std::string& path, UserDialogs& dialogs,
                  LoadObserver* observer = nullptr);

// "Save File" (compact with Shift) and "Load File": ask the file name first; a cancelled
// dialog ends silently.
bool SaveFileCommand(BoardConfig& config, bool compact, UserDialogs& dialogs);
bool LoadFileCommand(BoardConfig& config, UserDialogs& dialogs, LoadObserver* observer = nullptr);

// The items of a "Cfg" line after its tag, shared with the device definitions: the type, then
// servo 11, PWM 5, input 4 parameters, any other type none. Reduces the servo flags modulo 64
// in pin first.
void WriteConfigItems(ItemWriter& writer, PinRecord& pin);

// The "Cfg" and "PAM" lines of a pin and its "Asp" and "Ins" lines, indented by `indent`
// ("Ins" two more), shared with the device definitions. Compact leaves out aspects without
// description and empty steps. `name` names the pin in a refusal.
void WritePinProgramLines(ItemWriter& writer, PinRecord& pin, const std::string& name, int indent,
                          bool compact);

}  // namespace vela
