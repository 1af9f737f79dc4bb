// The records of one board configuration: 32 pins (33 entries, entry 32 spare), each with its
// hardware configuration, address counts and aspect program.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace vela {

inline constexpr int kPinCount = 32;       // pins 0..31 are the board's outputs
inline constexpr int kPinEntries = 33;     // entry 32 is spare, its counts stay 0
inline constexpr int kAspectEntries = 13;  // aspects 0..11 are used
inline constexpr int kStepEntries = 10;    // steps 0..8 are used

// PinConfig[0] values.
enum ConfigType : uint8_t {
  kPlainOutput = 0,
  kServo = 1,
  kPwm = 2,
  kPwmInverted = 3,
  kInput = 4,
  kInputLowActive = 5,
};

// Named PinConfig positions; the others are the kind's parameters in the order the board keeps
// them.
inline constexpr int kCfgKind = 0;
inline constexpr int kCfgPosition = 1;     // the initial position or level
inline constexpr int kCfgServoFlags = 2;   // servo range and suspend bits
inline constexpr int kCfgPwmModes = 2;     // PWM drive and acceleration modes
inline constexpr int kCfgPwmOffLevel = 4;  // PWM
inline constexpr int kCfgPwmOnLevel = 5;   // PWM

// The levels a PWM configuration gets when its source has none (an older data file, a board
// whose reply stops before them).
inline constexpr int kPwmDefaultOffLevel = 0;
inline constexpr int kPwmDefaultOnLevel = 31;

// Older firmware and older data files keep the servo flags without bit 3, range in the high
// nibble: a byte above 15 with bit 3 clear becomes (byte div 16) + 40 (range, bit 3 and
// "Suspended"). Other bytes are returned unchanged.
int RewriteServoFlags(int flags);

// One step of an aspect program: instruction code, fade flag and four parameter bytes.
struct StepRecord {
  uint8_t Instruction = 0;
  uint8_t Fade = 0;
  uint8_t Par0 = 0;
  uint8_t Par1 = 0;
  uint8_t Par2 = 0;
  uint8_t Par3 = 0;

  bool operator==(const StepRecord&) const = default;
};

// One aspect: a description and its steps.
struct AspectRecord {
  std::string Description;
  std::array<StepRecord, kStepEntries> Steps{};

  bool operator==(const AspectRecord&) const = default;
};

// One output pin: description, device membership, hardware configuration and aspect program.
struct PinRecord {
  std::string Description;
  std::string DeviceName;
  int16_t DeviceRef = 0;  // first pin of the device minus this pin; 0 = head or no device
  std::array<uint8_t, 13> PinConfig{};
  uint8_t CurrentValue = 0;
  uint8_t InitialAspect = 0;  // aspect + 1; 0 = none
  uint8_t DccCount = 0;
  uint8_t XDccCount = 0;
  uint8_t KoraCount = 0;
  uint8_t AspectMode = 0;  // 0 none, 3 = 4 aspects x 9 steps, 2 = 12 aspects x 3 steps
  std::array<AspectRecord, kAspectEntries> Aspects{};

  bool operator==(const PinRecord&) const = default;
};

using PinTable = std::array<PinRecord, kPinEntries>;

// The rectangle of aspects and steps that an AspectMode uses (0 x 0 for any other mode).
struct AspectRectangle {
  int aspects = 0;
  int steps = 0;
};
AspectRectangle RectangleOf(int aspect_mode);

// Highest aspect number the editor allows for a mode (3 or 11; 11 for modes without aspects).
int MaxAspectOf(int aspect_mode);

// The instruction byte of a step on file and wire: Fade * 16 + Instruction.
inline int CombinedInstruction(const StepRecord& step) {
  return step.Fade * 16 + step.Instruction;
}

// Splits an instruction byte read from a file: 21..63 carry the fade flag in bit 4, and 19 is
// the fade form of code 3 ("NS G->Y->R"), which the writer produces as well.
void SplitFileInstruction(int value, StepRecord& step);

// Splits an instruction byte read from the board: bit 4 set and 21..63 means fade.
void SplitWireInstruction(int value, StepRecord& step);

// Sets a PWM configuration's levels to the defaults above.
void SetDefaultPwmLevels(std::array<uint8_t, 13>& config);
// True when a PWM configuration's levels are the defaults.
bool HasDefaultPwmLevels(const std::array<uint8_t, 13>& config);

// Clears a pin as "Clear Pin" does (device already released by the caller); counts are kept.
void ClearPinProgram(PinRecord& pin);

}  // namespace vela
