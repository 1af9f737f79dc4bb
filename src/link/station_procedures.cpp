#include "link/station_procedures.h"

#include <string>

namespace vela {
namespace {

constexpr const char* kNotSupported = "Your system does not support this function";

bool AnswerStarts(const StationAnswer& answer, int length, int first, int second) {
  return answer.Length() == length && answer.Payload(0) == first && answer.Payload(1) == second;
}

// The station version an answer to {1, 2} or {1, 10} carries from payload byte `at` on.
int AnswerVersion(const StationAnswer& answer, int at) {
  return StationVersion(answer.Payload(at), answer.Payload(at + 1));
}

void Untunnel(BoardLink& link) {
  link.SetTunnelling(false);
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
  link.SetTunnelling(true);
  tunnel.SetToggle(1);
  if (!tunnel.SendCorsanFrame({})) {
    Untunnel(link);
    return false;
  }
  if (tunnel.SendCorsanFrame({1, 2})) {
    if (!AnswerStarts(tunnel.Answer(), 4, 1, 2)) {
      Untunnel(link);
      link.Dialogs().Message(kNotSupported, MessageIcon::kWarning);
    } else {
      const int protocol = AnswerVersion(tunnel.Answer(), 2);
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
  return link.Tunnelling();
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
  if (AnswerStarts(tunnel.Answer(), 4, 1, 2) &&
      AnswerVersion(tunnel.Answer(), 2) >= kTunnelProtocol) {
    tunnel.SendCorsanFrame({});
    Answer answer =
        dialogs.Question(std::string("Your Corsan system supports Vela Tunneling") + kCrLf +
                             "We recommend to use the Corsan Tunneling option instead" + kCrLf +
                             "Do you still want to activate Transparant Mode?",
                         QuestionButtons::kYesNo, MessageIcon::kQuestion);
    if (answer != Answer::kYes) return false;
  }
  if (!tunnel.SendCorsanFrame({1, 10})) return false;
  if (!AnswerStarts(tunnel.Answer(), 5, 1, 10)) {
    tunnel.SendCorsanFrame({});
    dialogs.Message(kNotSupported, MessageIcon::kWarning);
    return false;
  }
  const int type = tunnel.Answer().Payload(2);
  const int version = AnswerVersion(tunnel.Answer(), 3);
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
    link.ResyncFraming();
    dialogs.Message(done_text, MessageIcon::kInformation);
    return true;
  }
  return false;
}

}  // namespace vela
