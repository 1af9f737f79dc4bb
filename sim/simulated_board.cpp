#include "sim/simulated_board.h"

#include <algorithm>
#include <span>

#include "sim/frame_sum.h"

namespace vela::sim {
namespace {

constexpr uint8_t kPreamble[9] = {0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xAA, 0xAA, 0xAA};

// Message types of the catalogue.
constexpr int kOutputCommand = 0;
constexpr int kWriteActive = 0x41;
constexpr int kReadActive = 0x51;
constexpr int kWriteSetting = 96;
constexpr int kWriteFlash = 0x61;
constexpr int kWriteAspectMode = 98;
constexpr int kWriteStep = 99;
constexpr int kWriteInitAndEventOn = 100;
constexpr int kWriteEventOff = 101;
constexpr int kWriteAddressConfig = 102;
constexpr int kReadSetting = 112;
constexpr int kReadFlash = 0x71;
constexpr int kReadAspectMode = 114;
constexpr int kReadStep = 115;
constexpr int kReadInitAndEventOn = 116;
constexpr int kReadEventOff = 117;
constexpr int kReadAddressConfig = 118;

// Configuration bytes a reply can carry: 15 message bytes less header and pin.
constexpr size_t kMaxConfigBytes = 13;
constexpr size_t kMaxIdLength = 12;

uint8_t Low7(int v) {
  return static_cast<uint8_t>(v & 0x7F);
}

std::vector<uint8_t> Ack(const std::vector<int>& message) {
  std::vector<uint8_t> ack;
  for (size_t i = 0; i < message.size() && i < 2; ++i) ack.push_back(Low7(message[i]));
  return ack;
}

// Kora addresses of the pins, counted from the board's first: pin p covers
// start[p] .. start[p] + kora_count - 1.
int PinOfKoraAddress(const BoardMemory& memory, int address) {
  int start = 0;
  for (int p = 0; p < 32; ++p) {
    const int count = memory.pins[p].kora_count & 0x07;
    if (address >= start && address < start + count) return p;
    start += count;
  }
  return -1;
}

int KoraTotal(const BoardMemory& memory) {
  int total = 0;
  for (const BoardPin& pin : memory.pins) total += pin.kora_count & 0x07;
  return total;
}

}  // namespace

WireStep EncodeWireStep(int instruction, int fade, int par0, int par1, int par2, int par3) {
  WireStep step{};
  step[0] = Low7(fade * 16 + instruction);
  if (instruction == 4 || instruction == 5 || instruction == 20) {
    step[1] = static_cast<uint8_t>((par1 >= 128 ? 1 : 0) + (par2 >= 128 ? 2 : 0));
    step[2] = Low7(par1 % 128);
    step[3] = Low7(par2 % 128);
  } else {
    step[1] = Low7(par0);
    step[2] = Low7(par1);
    step[3] = Low7(par2);
  }
  step[4] = Low7(par3);
  return step;
}

SimulatedBoard::SimulatedBoard(int module_address, int xaddress)
    : module_address_(module_address), xaddress_(xaddress) {
  memory_.xaddress = static_cast<uint8_t>(xaddress);
}

BoardMemory SimulatedBoard::FactoryMemory() const {
  BoardMemory factory;
  factory.version = memory_.version;
  factory.xaddress = static_cast<uint8_t>(xaddress_);
  return factory;
}

void SimulatedBoard::Restart() {
  for (BoardPin& pin : memory_.pins) {
    pin.active_config = pin.flash_config;
    pin.current_aspect = pin.init_nibble == 15 ? -1 : pin.init_nibble;
  }
}

void SimulatedBoard::QueueReport(std::array<uint8_t, 4> report) {
  reports_.push_back(report);
}

std::chrono::microseconds SimulatedBoard::TakeReplyDelay() {
  auto delay = pending_delay_;
  pending_delay_ = std::chrono::microseconds{0};
  return delay;
}

std::vector<std::vector<int>> SimulatedBoard::Messages() const {
  std::vector<std::vector<int>> messages;
  for (const ReceivedFrame& frame : received_) {
    if (frame.for_this_board && !frame.legacy && !frame.resync && !frame.message.empty()) {
      messages.push_back(frame.message);
    }
  }
  return messages;
}

bool SimulatedBoard::IsRead(const std::vector<int>& message) {
  if (message.empty()) return true;
  return message[0] == kReadActive || (message[0] >= 0x70 && message[0] <= 0x7F);
}

std::vector<uint8_t> SimulatedBoard::Receive(const std::vector<uint8_t>& bytes,
                                             std::chrono::microseconds now) {
  std::vector<uint8_t> out;
  for (uint8_t b : bytes) {
    std::vector<uint8_t> part = Receive(b, now);
    out.insert(out.end(), part.begin(), part.end());
  }
  return out;
}

std::vector<uint8_t> SimulatedBoard::Receive(uint8_t byte, std::chrono::microseconds now) {
  std::vector<uint8_t> out;
  last_bytes_.push_back(byte);
  if (last_bytes_.size() > 9) last_bytes_.pop_front();
  if (last_bytes_.size() == 9 && std::equal(last_bytes_.begin(), last_bytes_.end(), kPreamble)) {
    // Whatever the preamble's own bytes started is not a frame.
    frame_.clear();
    last_bytes_.clear();
    resync_next_ = true;
    ++resync_count_;
    return out;
  }
  if (byte < 0x80) {
    frame_.assign(1, byte);  // an address byte starts a frame, even inside another one
    return out;
  }
  if (frame_.empty()) return out;  // noise before an address byte
  frame_.push_back(byte);
  const uint8_t second = frame_[1];
  size_t total = 5;  // Kora-format: address, three data bytes, checksum
  if (second >= 0xC0) total = 2 + ((second & 0x10) ? 1 : 0) + (second & 0x0F) + 1;
  if (frame_.size() == total) {
    FrameComplete(now, out);
    frame_.clear();
  }
  return out;
}

void SimulatedBoard::FrameComplete(std::chrono::microseconds now, std::vector<uint8_t>& out) {
  ReceivedFrame frame;
  frame.time = now;
  frame.raw = frame_;
  frame.address_byte = frame_[0];
  frame.module = (frame_[0] & 0x3F) >> 2;
  frame.sequence_bit = frame_[0] & 0x40;
  frame.checksum_ok = detail::SumIsGood(frame_);
  frame.resync = resync_next_;
  resync_next_ = false;
  if (frame_[1] >= 0xC0) {
    DirectFrame(frame, out);
  } else {
    LegacyFrame(frame);
  }
  received_.push_back(std::move(frame));
}

void SimulatedBoard::DirectFrame(ReceivedFrame& frame, std::vector<uint8_t>& out) {
  const uint8_t header = frame.raw[1];
  frame.reply_wanted = (header & 0x20) != 0;
  size_t index = 2;
  if (header & 0x10) frame.xaddress = frame.raw[index++] & 0x7F;
  for (int i = 0; i < (header & 0x0F); ++i) frame.message.push_back(frame.raw[index++] & 0x7F);

  // Bits 0 and 1 of an address byte are always set; anything else is not a board address.
  const bool address_form = (frame.address_byte & 0x03) == 0x03;
  frame.for_this_board = frame.checksum_ok && address_form && frame.module == module_address_ &&
                         (!frame.xaddress || *frame.xaddress == xaddress_);
  if (!frame.for_this_board) return;
  if (frame.resync) {
    expected_sequence_ = 0x40;
    return;  // the empty frame after the preamble only sets the framing up
  }
  if (expected_sequence_) frame.sequence_ok = frame.sequence_bit == *expected_sequence_;
  expected_sequence_ = frame.sequence_bit ^ 0x40;

  if (!frame.reply_wanted) {
    // A poll without the reply bit cannot hand its report over: the report stays queued.
    if (frame.message.empty()) return;
    const bool unsupported = faults_.only_at_frame < 0 && IsUnsupported(frame.message);
    if (!unsupported) CarryOut(frame.message);
    return;
  }
  std::optional<std::vector<uint8_t>> reply = Answer(frame.message);
  if (!reply) return;
  const bool faulty = last_exchange_faulty_;
  uint8_t address = frame.address_byte;
  if (faulty && faults_.wrong_address_echo) address ^= 0x40;
  const std::optional<uint8_t> xaddress = ReplyXAddress(frame.xaddress, faulty);
  std::vector<uint8_t> good = {
      address, static_cast<uint8_t>(0xE0 | (xaddress ? 0x10 : 0) | (reply->size() & 0x0F))};
  if (xaddress) good.push_back(static_cast<uint8_t>(0x80 | *xaddress));
  for (uint8_t b : *reply) good.push_back(static_cast<uint8_t>(0x80 | b));
  detail::AppendChecksumTo(good);

  if (faulty) out.insert(out.end(), faults_.garbage_before.begin(), faults_.garbage_before.end());
  if (faulty && faults_.wrong_checksum) {
    std::vector<uint8_t> bad = good;
    bad.back() = static_cast<uint8_t>(0x80 | ((bad.back() + 1) & 0x7F));
    out.insert(out.end(), bad.begin(), bad.end());
    if (faults_.good_copy_after_bad) out.insert(out.end(), good.begin(), good.end());
  } else {
    out.insert(out.end(), good.begin(), good.end());
  }
  frame.answered = true;
}

void SimulatedBoard::LegacyFrame(ReceivedFrame& frame) {
  frame.legacy = true;
  frame.module = frame.address_byte >> 2;  // no sequence bit: modules up to 31 (flexible)
  frame.sequence_bit = 0;
  for (size_t i = 1; i <= 3; ++i) frame.message.push_back(frame.raw[i] & 0x7F);
  const bool address_form = (frame.address_byte & 0x03) == 0x03;
  frame.for_this_board = frame.checksum_ok && address_form && AcceptsLegacyModule(frame.module);
  if (frame.resync) {
    expected_sequence_ = 0x40;
    return;  // the all-zero frame after the preamble is no command
  }
  if (frame.for_this_board) {
    CarryOutLegacy(frame.address_byte, frame.message[0], frame.message[1], frame.message[2]);
  }
}

bool SimulatedBoard::AcceptsLegacyModule(int module) const {
  // Modules 0 and 15 are what the test panel's "Clear All 0", "Lamp Test 0", "Reset 15" and
  // "Lamp Test 15" address; the board takes them as broadcasts.
  if (module == module_address_ || module == 0 || module == 15) return true;
  if (memory_.serial_addressing[0] == 0) return false;
  // Flexible addressing: the board's Kora outputs start at base x 4 and may spill into the
  // next module of 32.
  const int first = memory_.serial_addressing[1] * 4;
  const int last = first + KoraTotal(memory_) - 1;
  return last >= first && module * 32 <= last && module * 32 + 31 >= first;
}

void SimulatedBoard::CarryOutLegacy(int address_byte, int d1, int d2, int d3) {
  outputs_.push_back({address_byte, d1, d2, d3});
  const int module = address_byte >> 2;
  const bool flexible = memory_.serial_addressing[0] != 0;
  switch (d1) {
    case 0:  // set aspect by pin
      if (module == module_address_ && d2 < 32) memory_.pins[d2].current_aspect = d3;
      break;
    case 1: {  // set aspect by Kora address
      const int base = flexible ? memory_.serial_addressing[1] * 4 : module_address_ * 32;
      const int pin = PinOfKoraAddress(memory_, module * 32 + d2 - base);
      if (pin >= 0) memory_.pins[pin].current_aspect = d3;
      break;
    }
    case 2:  // reset the module
      if (module == module_address_ || module == 15) Restart();
      break;
    case 8:  // clear one output
      if (d2 < 32) memory_.pins[d2].current_aspect = -1;
      break;
    default:
      break;
  }
}

bool SimulatedBoard::FaultApplies() const {
  return faults_.only_at_frame < 0 || faults_.only_at_frame == exchange_count_;
}

bool SimulatedBoard::IsUnsupported(const std::vector<int>& message) const {
  if (message.empty()) return false;
  if (faults_.unsupported_types.count(message[0])) return true;
  const int command = message.size() > 1 ? message[1] : 0;
  return faults_.unsupported_commands.count({message[0], command}) > 0;
}

std::optional<uint8_t> SimulatedBoard::ReplyXAddress(std::optional<int> request_xaddress,
                                                     bool faulty) const {
  const auto own = static_cast<uint8_t>(xaddress_ & 0x7F);
  const Faults::XAddress fault = faulty ? faults_.xaddress : Faults::XAddress::kNone;
  switch (fault) {
    case Faults::XAddress::kMissing:
      return std::nullopt;
    case Faults::XAddress::kWrong:
      if (!request_xaddress) return std::nullopt;
      return static_cast<uint8_t>((own + 1) & 0x7F);
    case Faults::XAddress::kUnexpected:
      return own;
    case Faults::XAddress::kNone:
      break;
  }
  if (!request_xaddress) return std::nullopt;
  return own;
}

std::optional<std::vector<uint8_t>> SimulatedBoard::Answer(const std::vector<int>& message) {
  const bool faulty = FaultApplies();
  last_exchange_faulty_ = faulty;
  ++exchange_count_;
  if (faulty && faults_.reply_delay.count() > 0) pending_delay_ = faults_.reply_delay;
  if (faulty && IsUnsupported(message)) {
    if (faults_.unsupported_answer == Faults::Unsupported::kEmpty) return std::vector<uint8_t>{};
    // Right size, wrong type: a read is answered (reads change nothing), a write only acked.
    std::vector<uint8_t> reply = IsRead(message) ? CarryOut(message) : Ack(message);
    if (!reply.empty()) reply[0] ^= 0x01;
    return reply;
  }
  std::vector<uint8_t> reply = CarryOut(message);
  if (faulty && faults_.no_reply) return std::nullopt;
  return reply;
}

std::optional<BoardReply> SimulatedBoard::ReceiveTunnelled(int module, std::optional<int> xaddress,
                                                           const std::vector<int>& message,
                                                           const std::vector<uint8_t>& payload,
                                                           std::chrono::microseconds now) {
  ReceivedFrame frame;
  frame.time = now;
  frame.raw = payload;
  frame.tunnelled = true;
  frame.module = module;
  frame.address_byte = static_cast<uint8_t>((module & 0x1F) * 4 + 3);
  frame.reply_wanted = IsRead(message);
  frame.xaddress = xaddress;
  frame.message = message;
  frame.for_this_board = module == module_address_ && (!xaddress || *xaddress == xaddress_);
  std::optional<BoardReply> result;
  if (frame.for_this_board) {
    std::optional<std::vector<uint8_t>> reply = Answer(message);
    if (reply) {
      result = BoardReply{*reply, ReplyXAddress(xaddress, last_exchange_faulty_)};
      frame.answered = frame.reply_wanted && !(message.empty() && reply->empty());
    }
  }
  received_.push_back(std::move(frame));
  return result;
}

void SimulatedBoard::ReceiveTunnelledLegacy(int address_byte, int d1, int d2, int d3,
                                            const std::vector<uint8_t>& payload,
                                            std::chrono::microseconds now) {
  ReceivedFrame frame;
  frame.time = now;
  frame.raw = payload;
  frame.tunnelled = true;
  frame.legacy = true;
  frame.address_byte = static_cast<uint8_t>(address_byte);
  frame.module = address_byte >> 2;
  frame.message = {d1, d2, d3};
  frame.for_this_board = AcceptsLegacyModule(frame.module);
  if (frame.for_this_board) CarryOutLegacy(address_byte, d1, d2, d3);
  received_.push_back(std::move(frame));
}

std::vector<uint8_t> SimulatedBoard::CarryOut(const std::vector<int>& message) {
  if (message.empty()) {
    // A poll collects the oldest report, or an empty reply when there is no news.
    if (reports_.empty()) return {};
    std::array<uint8_t, 4> report = reports_.front();
    reports_.pop_front();
    return {Low7(report[0]), Low7(report[1]), Low7(report[2]), Low7(report[3])};
  }
  switch (message[0]) {
    case kOutputCommand:
      OutputCommand(message);
      return Ack(message);
    case kWriteSetting:
      return GeneralSetting(true, message);
    case kReadSetting:
      return GeneralSetting(false, message);
    case kWriteActive:
    case kWriteFlash:
    case kReadActive:
    case kReadFlash:
    case kWriteAspectMode:
    case kWriteStep:
    case kWriteInitAndEventOn:
    case kWriteEventOff:
    case kWriteAddressConfig:
    case kReadAspectMode:
    case kReadStep:
    case kReadInitAndEventOn:
    case kReadEventOff:
    case kReadAddressConfig:
      return PinMessage(message);
    default:
      return {};  // a type this board does not know: an empty reply
  }
}

void SimulatedBoard::OutputCommand(const std::vector<int>& message) {
  outputs_.push_back(message);
  if (message.size() != 4) return;
  const int command = message[1];
  const int target = message[2];
  const int value = message[3];
  switch (command) {
    case 0:
      if (target < 32) memory_.pins[target].current_aspect = value;
      break;
    case 1: {
      const int pin = PinOfKoraAddress(memory_, target);
      if (pin >= 0) memory_.pins[pin].current_aspect = value;
      break;
    }
    case 38:
    case 54:
    case 39:
    case 55:
      // The live level or position is what the active store's position byte reports.
      if (target < 32) {
        std::vector<uint8_t>& active = memory_.pins[target].active_config;
        if (active.size() < 2) active.resize(2, 0);
        active[1] = Low7(value);
      }
      break;
    default:
      break;
  }
}

namespace {

// The memory bytes of general setting n that are kept as the messages carry them, written and
// read back alike; empty for setting 0 (erase when written, the version when read), 10 (the ID
// string, of any length up to 12) and unknown settings.
std::span<uint8_t> StoredSetting(BoardMemory& m, int n) {
  switch (n) {
    case 1:
      return m.hardware;
    case 2:
      return {&m.xaddress, 1};
    case 3:
      return m.group_mask;
    case 4:
      return m.dcc_address;
    case 5:
      return {&m.dcc_options, 1};
    case 6:
      return {&m.led_green, 1};
    case 7:
      return {&m.led_orange, 1};
    case 8:
      return m.serial_addressing;
    case 11:
      return m.event_disable;
    case 12:
      return m.xdcc_address;
    case 13:
      return m.serial_port;
    default:
      return {};
  }
}

}  // namespace

std::vector<uint8_t> SimulatedBoard::GeneralSetting(bool write, const std::vector<int>& message) {
  if (message.size() < 2) return Ack(message);
  const int n = message[1];
  BoardMemory& m = memory_;
  const std::span<uint8_t> stored = StoredSetting(m, n);
  if (write) {
    std::vector<uint8_t> data;
    for (size_t i = 2; i < message.size(); ++i) data.push_back(Low7(message[i]));
    if (n == 0) {
      if (std::equal(data.begin(), data.end(), kEraseBytes.begin(), kEraseBytes.end())) {
        const int erased = m.erase_count + 1;
        m = FactoryMemory();
        m.erase_count = erased;
      }
    } else if (n == 10) {
      m.id_string.assign(data.begin(), data.begin() + std::min(data.size(), kMaxIdLength));
    } else if (!stored.empty() && data.size() == stored.size()) {
      // Data of another length than the setting's is ignored.
      std::copy(data.begin(), data.end(), stored.begin());
    }
    return Ack(message);
  }
  // An unknown setting is answered with the echo alone.
  std::vector<uint8_t> reply = {kReadSetting, Low7(n)};
  if (n == 0) {
    reply.insert(reply.end(), m.version.begin(), m.version.end());
  } else if (n == 10) {
    for (char c : m.id_string) reply.push_back(Low7(static_cast<unsigned char>(c)));
  } else {
    reply.insert(reply.end(), stored.begin(), stored.end());
  }
  return reply;
}

namespace {

// What a pin message of type `type` stores in the pin; nothing for a read.
void StorePinMessage(int type, std::vector<uint8_t> data, BoardPin& pin) {
  switch (type) {
    case kWriteActive:
    case kWriteFlash:
      // Stored as carried: a plain output sends its kind alone, a servo twelve bytes.
      if (!data.empty()) {
        data.resize(std::min(data.size(), kMaxConfigBytes));
        (type == kWriteActive ? pin.active_config : pin.flash_config) = data;
      }
      break;
    case kWriteAspectMode:
      if (data.size() == 1) pin.aspect_mode = data[0];
      break;
    case kWriteStep:
      if (data.size() == 7 && data[0] < 12 && data[1] < 9) {
        std::copy(data.begin() + 2, data.end(), pin.steps[data[0]][data[1]].begin());
      }
      break;
    case kWriteInitAndEventOn:
      // One header for two things: 0x70 + nibble is the initial aspect, 16 x input + nibble
      // (input 0..3) an event-on action.
      for (uint8_t b : data) {
        if (b >= 0x70) {
          pin.init_nibble = b & 0x0F;
        } else if (b < 0x40) {
          pin.event_on[b >> 4] = b & 0x0F;
        }
      }
      break;
    case kWriteEventOff:
      for (uint8_t b : data) {
        if (b < 0x40) pin.event_off[b >> 4] = b & 0x0F;
      }
      break;
    case kWriteAddressConfig:
      // Tagged bytes, in any order.
      for (uint8_t b : data) {
        if (b < 0x10) {
          pin.dcc_nibble = b;
        } else if (b < 0x20) {
          pin.kora_count = b & 0x07;
        } else if (b >= 0x40 && b < 0x60) {
          pin.device_distance = b & 0x1F;
        }
      }
      break;
    default:
      break;
  }
}

// What the reply to a pin message of type `type` carries after the echo; nothing for a write.
void AddPinReply(int type, const std::vector<uint8_t>& data, const BoardPin& pin,
                 std::vector<uint8_t>& reply) {
  switch (type) {
    case kReadActive:
    case kReadFlash: {
      const std::vector<uint8_t>& config =
          type == kReadActive ? pin.active_config : pin.flash_config;
      reply.insert(reply.end(), config.begin(), config.end());
      break;
    }
    case kReadAspectMode:
      reply.push_back(pin.aspect_mode);
      break;
    case kReadStep:
      if (data.size() == 2 && data[0] < 12 && data[1] < 9) {
        reply.insert(reply.end(), data.begin(), data.end());
        const WireStep& step = pin.steps[data[0]][data[1]];
        reply.insert(reply.end(), step.begin(), step.end());
      }
      break;
    case kReadInitAndEventOn:
      reply.push_back(static_cast<uint8_t>(0x70 + pin.init_nibble));
      for (int i = 0; i < 4; ++i) reply.push_back(static_cast<uint8_t>(16 * i + pin.event_on[i]));
      break;
    case kReadEventOff:
      for (int i = 0; i < 4; ++i) reply.push_back(static_cast<uint8_t>(16 * i + pin.event_off[i]));
      break;
    case kReadAddressConfig:
      reply.push_back(pin.dcc_nibble);
      reply.push_back(static_cast<uint8_t>(0x10 + pin.kora_count));
      reply.push_back(static_cast<uint8_t>(0x40 + pin.device_distance));
      break;
    default:
      break;
  }
}

}  // namespace

std::vector<uint8_t> SimulatedBoard::PinMessage(const std::vector<int>& message) {
  if (message.size() < 2 || message[1] > 31) return Ack(message);
  const int type = message[0];
  BoardPin& pin = memory_.pins[message[1]];
  std::vector<uint8_t> data;
  for (size_t i = 2; i < message.size(); ++i) data.push_back(Low7(message[i]));
  std::vector<uint8_t> reply = Ack(message);
  AddPinReply(type, data, pin, reply);
  StorePinMessage(type, std::move(data), pin);
  return reply;
}

}  // namespace vela::sim
