#include "operations/pin_config_commands.h"

namespace vela {

bool ReadPinConfigParams(Session& session, int store, int pin) {
  BoardLink& link = session.link;
  link.BidirectionalComm = true;
  link.SendVLMessage(true, {kReadPinConfigActive + 0x20 * store, pin});
  const ReplyView reply = link.Reply();
  if (!reply.Valid()) return false;
  const int header = reply.Type();
  // Either store's header is accepted as the echo.
  if (reply.Length() < 3 || (header != kReadPinConfigActive && header != kReadPinConfigFlash) ||
      reply.Command() != pin) {
    session.link.RejectReply("No valid response");
    return false;
  }
  PinRecord& record = session.config.Pins[pin];
  const int n = reply.DataCount();
  const int kind_read = reply.Data(0);
  if (kind_read != record.PinConfig[kCfgKind]) {
    // Parameters of another kind mean nothing for the new one.
    for (int i = 1; i <= 12; ++i) record.PinConfig[i] = 0;
    if (kind_read == kServo) {
      record.CurrentValue = 64;
      record.PinConfig[kCfgPosition] = 64;
    }
  }
  for (int i = 0; i < n; ++i) {
    if (i == 1 && store == kActiveStore) {
      record.CurrentValue = static_cast<uint8_t>(reply.Data(1));
    } else {
      record.PinConfig[i] = static_cast<uint8_t>(reply.Data(i));
    }
  }
  const int kind = record.PinConfig[kCfgKind];
  if ((kind == kPwm || kind == kPwmInverted) && n <= kCfgPwmOnLevel) {
    SetDefaultPwmLevels(record.PinConfig);
  }
  if (kind == kServo) {
    record.PinConfig[kCfgServoFlags] =
        static_cast<uint8_t>(RewriteServoFlags(record.PinConfig[kCfgServoFlags]));
  }
  return true;
}

BoardMessage PinConfigMessage(const PinRecord& record, int store, int pin) {
  const int header = kWritePinConfigActive + 0x20 * store;
  const int position = store == kActiveStore ? record.CurrentValue : record.PinConfig[kCfgPosition];
  const auto& p = record.PinConfig;
  switch (record.PinConfig[kCfgKind]) {
    case kServo:
      return {header, pin,  kServo, position, p[kCfgServoFlags] & kServoFlagsSendMask,
              p[3],   p[4], p[5],   p[6],     p[7],
              p[8],   p[9], p[10],  p[11]};
    case kPwm:
    case kPwmInverted:
      return {header, pin,  p[kCfgKind],        position,
              p[2],   p[3], p[kCfgPwmOffLevel], p[kCfgPwmOnLevel]};
    case kInput:
    case kInputLowActive:
      return {header, pin, p[kCfgKind], position, p[2], p[3], p[4]};
    default:
      return {header, pin, kPlainOutput};
  }
}

bool WritePinConfigParams(Session& session, int store, int pin) {
  PinRecord& record = session.config.Pins[pin];
  if (record.PinConfig[kCfgKind] == kServo) record.PinConfig[kCfgServoFlags] &= kServoFlagsSendMask;
  return session.link.SendVLMessage(false, PinConfigMessage(record, store, pin));
}

}  // namespace vela
