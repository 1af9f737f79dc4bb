#include "operations/pin_program_commands.h"

#include <string>

#include "model/instruction_set.h"
#include "operations/pin_config_commands.h"

namespace vela {
namespace {

bool ReplyIsFor(const BoardLink& link, int length, int header, int pin) {
  return link.Reply().Is(length, header, pin);
}

int ReplyData(const BoardLink& link, int i) {
  return link.Reply().Data(i);
}

// Sends one write of the pin program and pauses while unidirectional.
bool SendPaced(Session& session, const BoardMessage& message) {
  if (!session.link.SendVLMessage(false, message)) return false;
  session.link.PaceUnidirectionalWrite();
  return true;
}

// Asks for the address configuration of pin; true when a reply for it came. Says so when the
// reply is not one.
bool RequestAddressConfig(Session& session, int pin) {
  BoardLink& link = session.link;
  link.SendVLMessage(true, {kReadAddressConfig, pin});
  if (!link.Reply().Valid()) return false;
  if (!ReplyIsFor(link, 5, kReadAddressConfig, pin)) {
    session.link.RejectReply(kInvalidAddressConfig);
    return false;
  }
  return true;
}

bool IsDeviceByte(int x) {
  return x >= 64 && x < 96;
}

}  // namespace

WireStep EncodeWireStep(const StepRecord& step) {
  WireStep wire;
  wire.instruction = CombinedInstruction(step);
  if (HasEightBitParameters(step.Instruction)) {
    wire.a = (step.Par1 >= 128 ? 1 : 0) + (step.Par2 >= 128 ? 2 : 0);
    wire.b = step.Par1 % 128;
    wire.c = step.Par2 % 128;
  } else {
    wire.a = step.Par0;
    wire.b = step.Par1;
    wire.c = step.Par2;
  }
  wire.d = step.Par3;
  return wire;
}

StepRecord DecodeWireStep(const WireStep& wire) {
  StepRecord step;
  SplitWireInstruction(wire.instruction, step);
  if (HasEightBitParameters(step.Instruction)) {
    step.Par0 = 0;
    step.Par1 = static_cast<uint8_t>((wire.a % 2) * 128 + wire.b);
    step.Par2 = static_cast<uint8_t>(((wire.a / 2) % 2) * 128 + wire.c);
  } else {
    step.Par0 = static_cast<uint8_t>(wire.a);
    step.Par1 = static_cast<uint8_t>(wire.b);
    step.Par2 = static_cast<uint8_t>(wire.c);
  }
  step.Par3 = static_cast<uint8_t>(wire.d);
  return step;
}

int InitAspectNibble(const PinRecord& record) {
  return record.InitialAspect == 0 ? 15 : record.InitialAspect - 1;
}

int DecodeInitAspectByte(int byte) {
  if (byte / 16 == 7 && byte % 16 != 15) return byte % 16 + 1;
  return 0;
}

int DccNibble(const PinRecord& record) {
  return record.XDccCount * 8 + record.DccCount;
}

int DeviceDistance(int device_ref) {
  return ((device_ref % kPinCount) + kPinCount) % kPinCount;
}

bool ReadPinProgram(Session& session, int pin) {
  BoardLink& link = session.link;
  PinRecord& record = session.config.Pins[pin];
  link.BidirectionalComm = true;

  link.SendVLMessage(true, {kReadAspectMode, pin});
  if (!link.Reply().Valid()) return false;
  if (!ReplyIsFor(link, 3, kReadAspectMode, pin)) {
    session.link.RejectReply("No valid response");
    return false;
  }
  record.AspectMode = static_cast<uint8_t>(ReplyData(link, 0));

  const AspectRectangle rect = RectangleOf(record.AspectMode);
  for (int a = 0; a < rect.aspects; ++a) {
    for (int s = 0; s < rect.steps; ++s) {
      link.SendVLMessage(true, {kReadStep, pin, a, s});
      if (!link.Reply().Valid()) return false;
      if (!ReplyIsFor(link, 9, kReadStep, pin) || ReplyData(link, 0) != a ||
          ReplyData(link, 1) != s) {
        session.link.RejectReply("No valid response");
        return false;
      }
      record.Aspects[a].Steps[s] =
          DecodeWireStep({ReplyData(link, 2), ReplyData(link, 3), ReplyData(link, 4),
                          ReplyData(link, 5), ReplyData(link, 6)});
    }
  }

  link.SendVLMessage(true, {kReadInitAspect, pin});
  if (!link.Reply().Valid()) return false;
  // A board without initial aspects answers otherwise; that only means "none".
  record.InitialAspect = ReplyIsFor(link, 7, kReadInitAspect, pin)
                             ? static_cast<uint8_t>(DecodeInitAspectByte(ReplyData(link, 0)))
                             : 0;

  if (!RequestAddressConfig(session, pin)) return false;
  bool ok = true;
  for (int i = 0; i < 3 && ok; ++i) {
    const int x = ReplyData(link, i);
    if (x < 16) {
      record.DccCount = static_cast<uint8_t>(x % 8);
      record.XDccCount = static_cast<uint8_t>((x / 8) % 2);
    } else if (x < 32) {
      record.KoraCount = static_cast<uint8_t>(x % 8);
    } else if (IsDeviceByte(x)) {
      record.DeviceRef = static_cast<int16_t>((pin + x % 32) % kPinCount - pin);
    } else {
      session.link.RejectReply(kInvalidAddressConfig);
      ok = false;
    }
  }
  // The counts may have changed, and the bytes decoded before a bad one stay.
  session.config.ComputeAllStarts();
  return ok;
}

bool ReadPinComplete(Session& session, int pin) {
  if (!ReadPinProgram(session, pin)) return false;
  ReadPinConfigParams(session, kFlashStore, pin);
  return true;
}

bool ReadDeviceFromBoard(Session& session, int pin) {
  BoardLink& link = session.link;
  link.BidirectionalComm = true;
  if (!RequestAddressConfig(session, pin)) return false;
  int head = -1;
  for (int i = 0; i < 3; ++i) {
    const int x = ReplyData(link, i);
    if (IsDeviceByte(x)) head = (pin + x % 32) % kPinCount;
  }
  if (head < 0) {
    session.link.RejectReply("Cannot read DevicePointer from Pin " +
                             std::to_string(pin + session.config.NumberBase));
    return false;
  }
  for (int p = 0; p < kPinCount; ++p) {
    if (!RequestAddressConfig(session, p)) return false;
    bool member = false;
    for (int i = 0; i < 3; ++i) {
      const int x = ReplyData(link, i);
      if (IsDeviceByte(x) && (p + x % 32) % kPinCount == head) member = true;
    }
    // The reply's bytes are gone once ReadPinComplete talks to the board again.
    if (member && !ReadPinComplete(session, p)) return false;
  }
  return true;
}

bool WritePinProgram(Session& session, int pin) {
  const PinRecord& record = session.config.Pins[pin];
  if (!SendPaced(session, {kWriteAspectMode, pin, record.AspectMode})) return false;
  if (!SendPaced(session, {kWriteInitAspect, pin, 0x70 + InitAspectNibble(record)})) return false;
  if (!SendPaced(session, {kWriteAddressConfig, pin, DccNibble(record), 0x10 + record.KoraCount,
                           0x40 + DeviceDistance(record.DeviceRef)})) {
    return false;
  }
  const AspectRectangle rect = RectangleOf(record.AspectMode);
  for (int a = 0; a < rect.aspects; ++a) {
    if (!WriteAspectSteps(session, pin, a)) return false;
  }
  return true;
}

bool WriteAspectSteps(Session& session, int pin, int aspect) {
  const PinRecord& record = session.config.Pins[pin];
  const AspectRectangle rect = RectangleOf(record.AspectMode);
  if (rect.steps == 0) return false;
  for (int s = 0; s < rect.steps; ++s) {
    const WireStep w = EncodeWireStep(record.Aspects[aspect].Steps[s]);
    if (!SendPaced(session, {kWriteStep, pin, aspect, s, w.instruction, w.a, w.b, w.c, w.d})) {
      return false;
    }
  }
  return true;
}

bool WritePinComplete(Session& session, int pin) {
  if (!WritePinProgram(session, pin)) return false;
  WritePinConfigParams(session, kFlashStore, pin);
  return true;
}

bool WriteSingle(Session& session) {
  return WriteAspectSteps(session, session.config.CurrentPin, session.config.CurrentAspect);
}

}  // namespace vela
