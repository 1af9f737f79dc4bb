// The board-wide settings: one routine per group of the General tab, each reading into or
// writing from GeneralSettings (message type 112 reads, 96 writes; the command byte is the
// setting number). Reads switch "Bidirectional Comm." on first, so that replies are collected;
// a missing reply has been reported by the link already and shows nothing here. Replies are
// checked in the order validity, length, echoed type and command; a content error leaves
// that setting unchanged.
#pragma once

#include <string>

#include "operations/session.h"

namespace vela {

inline constexpr int kReadGeneralSetting = 112;
inline constexpr int kWriteGeneralSetting = 96;

// Setting numbers (the command byte).
inline constexpr int kSettingVersion = 0;  // read: firmware version; write: erase
inline constexpr int kSettingHardware = 1;
inline constexpr int kSettingXAddress = 2;
inline constexpr int kSettingGroupMask = 3;
inline constexpr int kSettingDccAddress = 4;
inline constexpr int kSettingDccOptions = 5;
inline constexpr int kSettingLedGreen = 6;
inline constexpr int kSettingLedOrange = 7;
inline constexpr int kSettingSerialAddressing = 8;
inline constexpr int kSettingIdString = 10;
inline constexpr int kSettingEventEnables = 11;
inline constexpr int kSettingXDccAddress = 12;
inline constexpr int kSettingSerialPort = 13;

// The board's own extended address that means "enforced extended addressing".
inline constexpr int kEnforcedXAddress = 127;
// Second serial-addressing byte while "Native Vela Mode" is checked.
inline constexpr int kNativeVelaFlag = 64;
inline constexpr int kIdStringMaxLength = 12;

// Version text, "Unknown" when the request fails.
bool GetVersion(Session& session);

// Identification string (setting 10). The write cuts the text to its first 12 characters
// (the cut text stays in the model) and refuses, before sending, a character that is not
// 7-bit text.
bool ReadIdString(Session& session);
bool WriteIdString(Session& session);

// DCC options, basic and extended decoder address (settings 5, 4, 12).
bool ReadDccSettings(Session& session);
bool WriteDccSettings(Session& session);

// Serial addressing, module extended address, extended group mask (settings 8, 2, 3; the
// write sends 8, 3, 2).
bool ReadAddressSettings(Session& session);
bool WriteAddressSettings(Session& session);

// Green and orange LED functions (settings 6, 7).
bool ReadLedConfig(Session& session);
bool WriteLedConfig(Session& session);

// Sink/source drivers per group of eight pins (setting 1).
bool ReadHardwareConfig(Session& session);
bool WriteHardwareConfig(Session& session);

// The board's own serial port (setting 13).
bool ReadSerialPortConfig(Session& session);
bool WriteSerialPortConfig(Session& session);

// Asks twice (warning, OK/Cancel) and erases the configuration memory only after OK, then
// Cancel. The erase is sent without waiting for a reply; true when it was sent.
bool EraseConfiguration(Session& session);

// The first 12 characters of a UTF-8 text (a character is counted once however many bytes it
// takes), as the ID string box keeps it before writing.
std::string CutIdString(const std::string& text);

// The question texts of the erase.
std::string EraseFirstQuestion();
std::string EraseSecondQuestion();

}  // namespace vela
