// Sessions for the board-command tests: one on a scripted board behind the byte-level fake
// port, for replies that must be exactly so, and one on the simulated board, for round trips.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "link/board_link.h"
#include "link/framing.h"
#include "link/traffic_log.h"
#include "model/board_config.h"
#include "operations/session.h"
#include "sim/demo_board.h"
#include "sim/simulated_board.h"
#include "sim/simulated_port.h"
#include "support/fake_port.h"
#include "support/recording_dialogs.h"

namespace vela::testing {

using Message = std::vector<int>;
using Bytes = std::vector<uint8_t>;

// Counts the redisplay requests of the operations.
class RecordingView final : public ConfigView {
 public:
  void ShowPin() override { ++show_pin; }
  void ShowPinConfig() override { ++show_pin_config; }
  void RefreshEventControl() override { ++refresh_event_control; }
  void ShowGeneralSettings() override { ++show_general; }
  void HideLabelAction() override { ++hide_label; }

  int show_pin = 0;
  int show_pin_config = 0;
  int refresh_event_control = 0;
  int show_general = 0;
  int hide_label = 0;
};

// Decodes the direct frames the tool writes and answers them from a script: `answer` returns
// the reply message, or nothing for no reply. Kora-format frames are kept apart.
class ScriptedBoard {
 public:
  explicit ScriptedBoard(FakePort& port) : port_(port) {
    port_.responder = [this](const Bytes& written) { Take(written); };
  }

  std::function<std::optional<Message>(const Message&)> answer;
  std::vector<Message> messages;  // direct messages, in order, without the resync frame
  std::vector<Bytes> legacy;      // Kora-format frames: address, three data bytes, checksum
  std::vector<bool> reply_wanted;

 private:
  void Take(const Bytes& written) {
    size_t i = 0;
    if (written.size() >= kResyncPreamble.size() &&
        std::equal(kResyncPreamble.begin(), kResyncPreamble.end(), written.begin())) {
      i = kResyncPreamble.size();
      // The empty direct frame (3 bytes) or the all-zero Kora-format frame (5 bytes).
      i += (written[i + 1] & 0x40) != 0 ? 3 : 5;
    }
    while (i < written.size()) {
      const uint8_t address = written[i];
      const uint8_t header = written[i + 1];
      if ((header & 0x40) == 0) {
        legacy.emplace_back(written.begin() + i, written.begin() + i + 5);
        i += 5;
        continue;
      }
      const size_t size = header & 0x0F;
      const size_t first = i + 2 + ((header & 0x10) ? 1 : 0);
      Message message;
      for (size_t k = 0; k < size; ++k) message.push_back(written[first + k] & 0x7F);
      i = first + size + 1;
      messages.push_back(message);
      const bool wanted = (header & 0x20) != 0;
      reply_wanted.push_back(wanted);
      if (!wanted || !answer) continue;
      std::optional<Message> reply = answer(message);
      if (!reply) continue;
      Bytes frame = {address, static_cast<uint8_t>(0xE0 + reply->size())};
      for (int b : *reply) frame.push_back(static_cast<uint8_t>(0x80 + b));
      AppendChecksum(frame);
      port_.Feed(frame);
    }
  }

  FakePort& port_;
};

// A session on the scripted board; the port is open and already resynchronised.
class ScriptedSessionTest : public ::testing::Test {
 protected:
  ScriptedSessionTest()
      : port_(clock_),
        board_(port_),
        link_(port_, clock_, dialogs_, log_),
        session_{link_, config_, view_} {
    link_.OpenPort("/dev/ttyFAKE", 1, nullptr);
  }

  // Answers every request with the same reply.
  void AnswerAlways(const Message& reply) {
    board_.answer = [reply](const Message&) { return std::optional<Message>(reply); };
  }
  // Answers a request from replies_ when it is listed there (nullopt = no reply), otherwise
  // from the fallback (none = no reply).
  void AnswerFromTable(std::function<std::optional<Message>(const Message&)> fallback) {
    board_.answer = [this, fallback](const Message& request) -> std::optional<Message> {
      auto it = replies_.find(request);
      if (it != replies_.end()) return it->second;
      return fallback ? fallback(request) : std::nullopt;
    };
  }

  std::map<Message, std::optional<Message>> replies_;

  ManualClock clock_;
  FakePort port_;
  ScriptedBoard board_;
  RecordingDialogs dialogs_;
  MemoryTrafficLog log_;
  BoardLink link_;
  BoardConfig config_;
  RecordingView view_;
  Session session_;
};

// A session on the simulated board, port open.
class SimSessionTest : public ::testing::Test {
 protected:
  SimSessionTest()
      : port_(board_, clock_),
        link_(port_, clock_, dialogs_, log_),
        session_{link_, config_, view_} {
    link_.OpenPort(sim::kDemoBoardName, 1, nullptr);
  }

  ManualClock clock_;
  sim::SimulatedBoard board_;
  sim::SimulatedPort port_;
  RecordingDialogs dialogs_;
  MemoryTrafficLog log_;
  BoardLink link_;
  BoardConfig config_;
  RecordingView view_;
  Session session_;
};

}  // namespace vela::testing
