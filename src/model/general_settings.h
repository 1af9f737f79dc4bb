// The board-wide settings that the General tab and the Event Control tab's enable rows show.
// The tabs display and edit this struct; the board commands and the data file read and write it.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace vela {

// A check box that can also show the grayed third state (LED rows, box 7).
enum class CheckState : uint8_t { kUnchecked, kChecked, kGrayed };

inline constexpr const char* kBaudTexts[8] = {"9600",  "14400", "19200", "28800",
                                              "38400", "57600", "76800", "115200"};

// Captions of the option buttons and check boxes of the General tab, which show the values.
inline constexpr const char* kPacketRetentionTexts[4] = {"62.5ms", "125ms", "250ms", "500ms"};
inline constexpr const char* kGreenLedCaptions[8] = {
    "Basic DCC Packet", "eXtd DCC Packet", "Kora Message", "Vela Message",
    "Green 4",          "Green 5",         "Green 6",      "Idle Flash"};
inline constexpr const char* kOrangeLedCaptions[8] = {
    "DCC Checksum Error", "Orange 1", "Orange 2", "Orange 3",
    "Orange 4",           "Orange 5", "Orange 6", "All Received Datagrams"};
inline constexpr const char* kDataBitsTexts[2] = {"7", "8"};
inline constexpr const char* kStopBitsTexts[2] = {"1", "2"};
// OptionGenSerialParity(0) "No", (2) "Even", (3) "Odd"; any other index shows "No".
const char* ParityText(int parity_index);

struct GeneralSettings {
  // "ID String"
  std::string IdString;  // UTF-8; only 7-bit text can be sent

  // "DCC"
  int DccAddress = 1;       // TextGenDCCAddress
  int XDccAddress = 1;      // TextGenXDCCAddress
  int PacketRetention = 2;  // OptGenDCC_PRP: 0 "62.5ms", 1 "125ms", 2 "250ms", 3 "500ms"
  bool BasicPacketStateInvert = false;  // ChkGenDCC_BPSI
  bool AllowAddress0 = false;           // ChkGenDCCAllow0

  // "Serial Addressing Options"
  bool ForceXA = false;   // CheckGenForceXA "Enforced eXtended Address"
  bool VLNative = false;  // CheckGenVLNative "Native Vela Mode"
  bool KRaddr = false;    // CheckGenKRaddr "Kora Flex-Addresss"
  int KoraFlexAddress = 0;
  int GenXAddress = 0;
  std::array<bool, 16> XGM{};  // CheckGenXGM(0..15)

  // "LED Control": boxes 0..6 are functions, box 7 is grayed when none is selected
  std::array<CheckState, 8> LedGreen{};
  std::array<CheckState, 8> LedOrange{};

  // "Hardware Config", one pair per group of eight pins
  std::array<bool, 4> HwcSink{};
  std::array<bool, 4> HwcSource{};

  // "Serial Port"
  bool SerialEnable = false;
  int BaudIndex = 0;      // ComboGenBaud 0..7
  int DataBitsIndex = 0;  // OptionGenSerialDatabits: 0 "7", 1 "8"
  int ParityIndex = 0;    // OptionGenSerialParity: 0 "No", 2 "Even", 3 "Odd"
  int StopIndex = 0;      // OptionGenSerialStop: 0 "1", 1 "2"

  // "Firmware Version:"
  std::string VersionText = "Unknown";

  // Event Control tab: CheckInitEE(0..3) event-on enables, (4..7) event-off enables
  std::array<bool, 8> InitEE{true, true, true, true, true, true, true, true};

  GeneralSettings() {
    LedGreen[7] = CheckState::kGrayed;
    LedOrange[7] = CheckState::kGrayed;
  }
  bool operator==(const GeneralSettings&) const = default;
};

// The DCC options byte: retention index + 4 x invert + 8 x allow-0. A retention index other
// than 0, 1 or 3 counts as 2, as the option group is read.
int DccOptionsByte(const GeneralSettings& g);
// The packet retention option a settings struct selects: 0, 1 or 3, and 2 for any other.
int RetentionOption(const GeneralSettings& g);
void ApplyDccOptionsByte(GeneralSettings& g, int value);

// Limits of the decoder address boxes: (1 - allow0) .. 510 and (1 - allow0) .. 2046.
inline constexpr int kMaxDccAddress = 510;
inline constexpr int kMaxXDccAddress = 2046;
inline int MinDecoderAddress(const GeneralSettings& g) {
  return g.AllowAddress0 ? 0 : 1;
}
int ClampDccAddress(const GeneralSettings& g, double value);
int ClampXDccAddress(const GeneralSettings& g, double value);

// LED byte of a row: bit k for checked box k = 0..6.
int LedByte(const std::array<CheckState, 8>& row);
// A non-zero byte sets boxes 0..6 and clears box 7; zero clears them and grays box 7.
void ApplyLedByte(std::array<CheckState, 8>& row, int value);
// A click on box k of a row, after the box took its new state: keeps box 7 grayed exactly
// when no function is selected.
void ClickLedBox(std::array<CheckState, 8>& row, int k);

// Hardware byte of group g: 1 x sink + 2 x source.
int HardwareByte(const GeneralSettings& g, int group);

// Extended group mask byte k: bit j is XGM(4k + j).
int GroupMaskByte(const GeneralSettings& g, int k);

// Board serial port byte 2: baud index, 8 data bits, parity, 2 stop bits.
int SerialPortByte(const GeneralSettings& g);

// Initial event disable masks: bit k set when CheckInitEE(k) (or 4 + k) is unchecked.
int OnDisableMask(const GeneralSettings& g);
int OffDisableMask(const GeneralSettings& g);

// Which controls of the serial addressing frame are visible.
struct SerialAddressingVisibility {
  bool vl_native = true;   // CheckGenVLNative
  bool kr_addr = true;     // CheckGenKRaddr
  bool kora_base = false;  // LabelGenXA(4), TextGenKRaddr, UpDownGenKRaddr
  bool xaddress = true;    // LabelGenXA(1), TextGenXaddr, UpDownGenXaddr
  bool group_mask = true;  // LabelGenXA(2), LabelGenXGMlbl, CheckGenXGM(0..15)
};
SerialAddressingVisibility VisibilityOf(const GeneralSettings& g);

}  // namespace vela
