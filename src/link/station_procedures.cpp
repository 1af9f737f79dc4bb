#include "link/station_procedures.h"

#include <string>

namespace vela {
namespace {

constexpr const char* kNotSupported = "Your system does not support this function";

bool AnswerStarts(const BoardLink& link, int length, int first, int second) {
  const auto& b = link.ReplyBuffer;
  return b[0] == length && b[1] == first && b[2] == second;
}

void Untunnel(BoardLink& link) {
  link.UseCorsanTunneling = false;
  if (link.ModuleAddress > ModuleAddressLimit(link))
    link.SetModuleAddress(ModuleAddressLimit(link));
}

}  // namespace

int StationVersion(int first, int second) {
  return (first >> 3) * 1000 + (first & 7) * 100 + (second >> 3) * 10 + (second & 7);
}

bool SetCorsanTunneling(BoardLink& link, bool checked) {
  if (!checked) {
    Untunnel(link);
    return false;
  }
  StationTunnel& tunnel = link.Tunnel();
  if (!link.IsLinkOpen()) {
    Untunnel(link);
    link.Dialogs().Message(kSelectCommunicationsPort, MessageIcon::kWarning);
    return false;
  }
  link.UseCorsanTunneling = true;
  tunnel.CorsanToggle = 1;
  if (!tunnel.SendCorsanFrame({})) {
    Untunnel(link);
    return false;
  }
  if (tunnel.SendCorsanFrame({1, 2})) {
    if (!AnswerStarts(link, 4, 1, 2)) {
      Untunnel(link);
      link.Dialogs().Message(kNotSupported, MessageIcon::kWarning);
    } else {
      const int protocol = StationVersion(link.ReplyBuffer[3], link.ReplyBuffer[4]);
      if (protocol < kTunnelProtocol) {
        link.Dialogs().Message(std::string(kNotSupported) + kCrLf +
                                   "Protocol = " + std::to_string(protocol / 1000) + "." +
                                   std::to_string(protocol % 1000),
                               MessageIcon::kWarning);
        Untunnel(link);
      }
    }
  }
  tunnel.SendCorsanFrame({});
  return link.UseCorsanTunneling;
}

bool ActivateTransparentMode(BoardLink& link) {
  StationTunnel& tunnel = link.Tunnel();
  UserDialogs& dialogs = link.Dialogs();
  if (!link.IsLinkOpen()) {
    dialogs.Message(kSelectCommunicationsPort, MessageIcon::kWarning);
    return false;
  }
  if (!tunnel.SendCorsanFrame({})) return false;
  if (!tunnel.SendCorsanFrame({1, 2})) return false;
  if (AnswerStarts(link, 4, 1, 2) &&
      StationVersion(link.ReplyBuffer[3], link.ReplyBuffer[4]) >= kTunnelProtocol) {
    tunnel.SendCorsanFrame({});
    Answer answer =
        dialogs.Question(std::string("Your Corsan system supports Vela Tunneling") + kCrLf +
                             "We recommend to use the Corsan Tunneling option instead" + kCrLf +
                             "Do you still want to activate Transparant Mode?",
                         QuestionButtons::kYesNo, MessageIcon::kQuestion);
    if (answer != Answer::kYes) return false;
  }
  if (!tunnel.SendCorsanFrame({1, 10})) return false;
  if (!AnswerStarts(link, 5, 1, 10)) {
    tunnel.SendCorsanFrame({});
    dialogs.Message(kNotSupported, MessageIcon::kWarning);
    return false;
  }
  const int type = link.ReplyBuffer[3];
  const int version = StationVersion(link.ReplyBuffer[4], link.ReplyBuffer[5]);
  std::string done_text;
  auto refuse = [&](const char* text) {
    tunnel.SendCorsanFrame({});
    dialogs.Message(text, MessageIcon::kWarning);
    return false;
  };
  switch (type) {
    case 2:
      if (version < 1020) return refuse("Your HB-X does not support this function");
      done_text = "Your HB-X has been put in Transparent Mode";
      break;
    case 3:
      done_text = "Your HB-Y has been put in Transparent Mode";
      break;
    case 10:
      if (version < 1030) return refuse("Your Zeto does not support this function");
      done_text = "Your Zeto has been put in Transparent Mode";
      break;
    default:
      return refuse(kNotSupported);
  }
  if (tunnel.SendCorsanFrame({1, 5, 16})) {
    // The box now passes the direct protocol; the board's framing starts afresh.
    link.SequenceState = kResyncPending;
    dialogs.Message(done_text, MessageIcon::kInformation);
    return true;
  }
  return false;
}

}  // namespace vela
