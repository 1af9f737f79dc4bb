#include "operations/event_commands.h"

#include <string>

#include "model/general_settings.h"
#include "operations/general_commands.h"

namespace vela {
namespace {

struct EventKind {
  int event;       // kEventOn / kEventOff
  int read;        // request header
  int write;       // write header
  int length;      // reply length
  int first_byte;  // reply data index of input 0
};
constexpr EventKind kOn{kEventOn, kReadEventOn, kWriteEventOn, 7, 1};
constexpr EventKind kOff{kEventOff, kReadEventOff, kWriteEventOff, 6, 0};

enum class ReadResult { kNoReply, kUnsupported, kStored };

// Reads one event of one pin into the table.
ReadResult ReadPinEvent(Session& session, const EventKind& kind, int pin) {
  BoardLink& link = session.link;
  link.SendVLMessage(true, {kind.read, pin});
  const ReplyView reply = link.Reply();
  if (!reply.Valid()) return ReadResult::kNoReply;
  if (!reply.Is(kind.length, kind.read, pin)) return ReadResult::kUnsupported;
  for (int i = 0; i < 4; ++i) {
    session.config.Events.At(pin, kind.event, i) =
        static_cast<int16_t>(DecodeEventByte(reply.Data(kind.first_byte + i), i));
  }
  return ReadResult::kStored;
}

bool WritePinEvent(Session& session, const EventKind& kind, int pin) {
  const EventControlTable& events = session.config.Events;
  return session.link.SendVLMessage(
      false,
      {kind.write, pin, EventByte(0, events.At(pin, kind.event, 0)),
       EventByte(1, events.At(pin, kind.event, 1)), EventByte(2, events.At(pin, kind.event, 2)),
       EventByte(3, events.At(pin, kind.event, 3))});
}

}  // namespace

int EventByte(int input, int action) {
  return 16 * input + (action == -1 ? 15 : action);
}

int DecodeEventByte(int byte, int input) {
  if (byte / 16 == input && byte % 16 != 15) return byte % 16;
  return -1;
}

bool ReadAllEvents(Session& session) {
  session.link.BidirectionalComm = true;
  for (int pin = 0; pin < kPinCount; ++pin) {
    ReadResult r = ReadPinEvent(session, kOn, pin);
    if (r == ReadResult::kNoReply) return false;
    if (r == ReadResult::kUnsupported) {
      session.link.RejectReply("Read Event-On: Function not supported by Device");
    }
  }
  for (int pin = 0; pin < kPinCount; ++pin) {
    ReadResult r = ReadPinEvent(session, kOff, pin);
    if (r == ReadResult::kNoReply) return false;
    if (r == ReadResult::kUnsupported) {
      session.link.RejectReply("Read Event-Off: Function not supported by Device");
    }
  }
  session.view.RefreshEventControl();
  return true;
}

bool WriteAllEvents(Session& session) {
  for (const EventKind* kind : {&kOn, &kOff}) {
    for (int pin = 0; pin < kPinCount; ++pin) {
      if (!WritePinEvent(session, *kind, pin)) {
        session.view.HideLabelAction();
        return false;
      }
      session.link.PaceUnidirectionalWrite();
    }
  }
  session.view.HideLabelAction();
  return true;
}

bool ReadEnableMap(Session& session) {
  BoardLink& link = session.link;
  link.BidirectionalComm = true;
  link.SendVLMessage(true, {kReadGeneralSetting, kSettingEventEnables});
  const ReplyView reply = link.Reply();
  if (!reply.Valid()) return false;
  if (reply.Length() != 4) {
    session.link.RejectReply("No valid response size");
  } else if (!reply.Echoes(kReadGeneralSetting, kSettingEventEnables)) {
    session.link.RejectReply("No valid response type");
  } else {
    GeneralSettings& g = session.config.General;
    const int on_disable = reply.Data(0);
    const int off_disable = reply.Data(1);
    for (int k = 0; k < 4; ++k) {
      g.InitEE[k] = ((on_disable >> k) & 1) == 0;
      g.InitEE[4 + k] = ((off_disable >> k) & 1) == 0;
    }
    session.view.ShowGeneralSettings();
  }
  return true;
}

bool WriteEnableMap(Session& session) {
  const GeneralSettings& g = session.config.General;
  return session.link.SendVLMessage(
      false, {kWriteGeneralSetting, kSettingEventEnables, OnDisableMask(g), OffDisableMask(g)});
}

bool ReadSinglePinEvents(Session& session) {
  const int pin = session.config.ECSelectedPin;
  session.link.BidirectionalComm = true;
  ReadResult r = ReadPinEvent(session, kOn, pin);
  if (r == ReadResult::kNoReply) return false;
  if (r == ReadResult::kUnsupported) {
    session.link.RejectReply("Function not supported by Device");
    return false;
  }
  r = ReadPinEvent(session, kOff, pin);
  if (r == ReadResult::kNoReply) return false;
  if (r == ReadResult::kUnsupported) session.link.RejectReply("Function not supported by Device");
  session.view.RefreshEventControl();
  return r == ReadResult::kStored;
}

bool WriteSinglePinEvents(Session& session) {
  const int pin = session.config.ECSelectedPin;
  if (!WritePinEvent(session, kOn, pin)) {
    session.view.HideLabelAction();
    return false;
  }
  session.link.PaceUnidirectionalWrite();
  if (!WritePinEvent(session, kOff, pin)) {
    session.view.HideLabelAction();
    return false;
  }
  session.link.PaceUnidirectionalWrite();
  return true;
}

}  // namespace vela
