// One pin's program between the model and the board: AspectMode (98 write / 114 read), the
// steps (99 / 115, aspect-major), the initial aspect (100 with 0x70 + nibble / 116) and the
// address configuration (102 / 118: DCC nibble, 0x10 + KoraCount, 0x40 + device distance,
// read back in any order). Writes sent while "Bidirectional Comm." is off are paced by a
// 100 ms pause, so that the board keeps up without acknowledging.
//
// A step travels as an instruction byte Fade x 16 + Instruction and four bytes A, B, C, D.
// Codes 4, 5 and 20 carry 8-bit Par1 and Par2: their top bits go in A, so Par0 is lost.
#pragma once

#include "model/pin_table.h"
#include "operations/session.h"

namespace vela {

inline constexpr int kWriteAspectMode = 98;
inline constexpr int kWriteStep = 99;
inline constexpr int kWriteInitAspect = 100;
inline constexpr int kWriteAddressConfig = 102;
inline constexpr int kReadAspectMode = 114;
inline constexpr int kReadStep = 115;
inline constexpr int kReadInitAspect = 116;
inline constexpr int kReadAddressConfig = 118;

inline constexpr const char* kInvalidAddressConfig =
    "Read Pin Address Configuration: Invalid Response";

// The five bytes of a step on the wire.
struct WireStep {
  int instruction = 0;
  int a = 0;
  int b = 0;
  int c = 0;
  int d = 0;
  bool operator==(const WireStep&) const = default;
};
WireStep EncodeWireStep(const StepRecord& step);
StepRecord DecodeWireStep(const WireStep& wire);

// The initial-aspect nibble: aspect, or 15 for none; and its reading from the byte a 116 reply
// carries (0 unless the high nibble is 7 and the low one is not 15).
int InitAspectNibble(const PinRecord& record);
int DecodeInitAspectByte(int byte);

// The address-configuration bytes of a pin.
int DccNibble(const PinRecord& record);
// DeviceRef as a 5-bit forward distance to the head (two's complement modulo 32).
int DeviceDistance(int device_ref);

bool ReadPinProgram(Session& session, int pin);
// ReadPinProgram, then the flash-store configuration; true whenever the program was read.
bool ReadPinComplete(Session& session, int pin);
// Reads every pin that the board says belongs to the same device as pin.
bool ReadDeviceFromBoard(Session& session, int pin);

bool WritePinProgram(Session& session, int pin);
// All steps of one aspect; false without sending for a pin without aspects.
bool WriteAspectSteps(Session& session, int pin, int aspect);
// WritePinProgram, then the flash-store configuration; true whenever the program was written.
bool WritePinComplete(Session& session, int pin);
// "Write Single" of the aspect editor: the current aspect of the current pin.
bool WriteSingle(Session& session);

}  // namespace vela
