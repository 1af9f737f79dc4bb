#include "operations/pin_config_commands.h"

namespace vela {

int RewriteServoFlags(int flags) {
  if (flags > 15 && (flags & 0x08) == 0) return flags / 16 + 40;
  return flags;
}

bool ReadPinConfigParams(Session& session, int store, int pin) {
  BoardLink& link = session.link;
  link.BidirectionalComm = true;
  link.SendVLMessage(true, {kReadPinConfigActive + 0x20 * store, pin});
  if (!link.ReplyValid) return false;
  const int length = link.ReplyLength();
  const int header = link.ReplyBuffer[2];
  // Either store's header is accepted as the echo.
  if (length < 3 || (header != kReadPinConfigActive && header != kReadPinConfigFlash) ||
      link.ReplyBuffer[3] != pin) {
    session.link.RejectReply("No valid response");
    return false;
  }
  PinRecord& record = session.config.Pins[pin];
  const int n = length - 2;
  const uint8_t* c = &link.ReplyBuffer[4];
  if (c[0] != record.PinConfig[0]) {
    // Parameters of another kind mean nothing for the new one.
    for (int i = 1; i <= 12; ++i) record.PinConfig[i] = 0;
    if (c[0] == kServo) {
      record.CurrentValue = 64;
      record.PinConfig[1] = 64;
    }
  }
  for (int i = 0; i < n; ++i) {
    if (i == 1 && store == kActiveStore) {
      record.CurrentValue = c[1];
    } else {
      record.PinConfig[i] = c[i];
    }
  }
  const int kind = record.PinConfig[0];
  if ((kind == kPwm || kind == kPwmInverted) && n < 6) {
    record.PinConfig[4] = 0;
    record.PinConfig[5] = 31;
  }
  if (kind == kServo)
    record.PinConfig[2] = static_cast<uint8_t>(RewriteServoFlags(record.PinConfig[2]));
  return true;
}

BoardMessage PinConfigMessage(const PinRecord& record, int store, int pin) {
  const int header = kWritePinConfigActive + 0x20 * store;
  const int position = store == kActiveStore ? record.CurrentValue : record.PinConfig[1];
  const auto& p = record.PinConfig;
  switch (record.PinConfig[0]) {
    case kServo:
      return {header, pin,  kServo, position, p[2] & kServoFlagsSendMask,
              p[3],   p[4], p[5],   p[6],     p[7],
              p[8],   p[9], p[10],  p[11]};
    case kPwm:
    case kPwmInverted:
      return {header, pin, p[0], position, p[2], p[3], p[4], p[5]};
    case kInput:
    case kInputLowActive:
      return {header, pin, p[0], position, p[2], p[3], p[4]};
    default:
      return {header, pin, kPlainOutput};
  }
}

bool WritePinConfigParams(Session& session, int store, int pin) {
  PinRecord& record = session.config.Pins[pin];
  if (record.PinConfig[0] == kServo) record.PinConfig[2] &= kServoFlagsSendMask;
  return session.link.SendVLMessage(false, PinConfigMessage(record, store, pin));
}

}  // namespace vela
