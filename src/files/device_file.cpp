#include "files/device_file.h"

#include "files/cp1252.h"
#include "files/data_file.h"
#include "files/item_writer.h"

namespace vela {
namespace {

// Reads a whole definitions file into its device sections.
class DeviceFileParser {
 public:
  explicit DeviceFileParser(std::string_view bytes) : in_(bytes) {}

  DeviceFileRead Run();

 private:
  void ReadCfg(DeviceLine& line);
  void Bytes(DeviceLine& line, std::string_view what, int count);

  FieldReader in_;
};

void DeviceFileParser::Bytes(DeviceLine& line, std::string_view what, int count) {
  for (int i = 0; i < count; ++i) line.numbers.push_back(in_.Byte(what));
}

void DeviceFileParser::ReadCfg(DeviceLine& line) {
  int type = in_.Byte("configuration type");
  line.numbers.push_back(type);
  switch (type) {
    case kServo:
      Bytes(line, "configuration parameter", 11);
      break;
    case kPwm:
    case kPwmInverted: {
      Bytes(line, "configuration parameter", 3);
      if (in_.failed() || in_.AtEnd()) break;
      // Old files stop after three parameters; then this item is already the next tag.
      Item next = in_.NextItem();
      if (IsIntegerItem(next) && next.line == in_.TagLine()) {
        line.numbers.push_back(in_.IntegerOf(next, "configuration parameter", 0, 255));
        line.numbers.push_back(in_.Byte("configuration parameter"));
      } else {
        in_.PushBack(std::move(next));
      }
      break;
    }
    case kInput:
    case kInputLowActive:
      Bytes(line, "configuration parameter", 4);
      break;
    default:
      break;
  }
}

DeviceFileRead DeviceFileParser::Run() {
  DeviceFileRead result;
  result.header = in_.NextItem().text;
  if (Utf8Head(result.header, 21) != kDeviceFileHeader) {
    result.outcome = DeviceFileRead::Outcome::kInvalidHeader;
    return result;
  }
  DeviceSection* device = nullptr;
  for (;;) {
    if (in_.AtEnd()) {
      in_.FailAtEnd("End");
      break;
    }
    std::string tag = in_.NextTag().text;
    if (tag == "End") {
      // Whatever follows a stray "End" would silently drop out of the library.
      while (!in_.failed() && !in_.AtEnd()) {
        Item next = in_.NextItem();
        // Empty lines, and the end-of-file mark of old editors, are not items.
        if (next.quoted || (!next.text.empty() && next.text != "\x1a")) {
          in_.Fail(next.line, "the file goes on after \"End\"");
        }
      }
      break;
    }
    if (tag == "Dev") {
      result.devices.push_back({in_.Text("device name"), {}});
      device = &result.devices.back();
      if (in_.failed()) break;
      continue;
    }
    const bool member = tag == "Pin" || tag == "Pab" || tag == "Cfg" || tag == "PAM" ||
                        tag == "Asp" || tag == "Ins";
    if (member && device == nullptr) {
      in_.Fail(in_.TagLine(), "a member line before the first \"Dev\"");
      break;
    }
    if (device == nullptr) continue;  // nothing before the first device means anything
    DeviceLine line;
    if (tag == "Pin" || tag == "Pab") {
      line.kind = tag == "Pin" ? DeviceLine::Kind::kPin : DeviceLine::Kind::kPab;
      line.numbers.push_back(in_.Byte("pin number"));
      line.numbers.push_back(in_.Byte("aspect mode"));
      line.numbers.push_back(in_.Byte("initial aspect"));
      line.text = in_.Text("description");
    } else if (tag == "Cfg") {
      line.kind = DeviceLine::Kind::kCfg;
      ReadCfg(line);
    } else if (tag == "PAM") {
      line.kind = DeviceLine::Kind::kPam;
      line.numbers.push_back(in_.Byte("extended DCC count"));
      line.numbers.push_back(in_.Byte("DCC count"));
      line.numbers.push_back(in_.Byte("Kora count"));
    } else if (tag == "Asp") {
      line.kind = DeviceLine::Kind::kAsp;
      line.numbers.push_back(in_.Integer("aspect number", 0, kAspectEntries - 1));
      line.text = in_.Text("aspect description");
    } else if (tag == "Ins") {
      line.kind = DeviceLine::Kind::kIns;
      line.numbers.push_back(in_.Integer("step number", 0, kStepEntries - 1));
      line.numbers.push_back(in_.Byte("instruction"));
      for (int i = 0; i < 4; ++i)
        line.numbers.push_back(in_.Byte("parameter " + std::to_string(i)));
    } else {
      continue;  // unknown items are skipped
    }
    if (in_.failed()) break;
    device->lines.push_back(std::move(line));
  }
  if (in_.failed()) {
    result.outcome = DeviceFileRead::Outcome::kMalformed;
    result.problem = in_.problem();
    result.devices.clear();
  }
  return result;
}

void ResetPinProgram(PinRecord& pin) {
  for (int a = 0; a <= 11; ++a) {
    pin.Aspects[a].Description.clear();
    for (int s = 0; s <= 8; ++s) pin.Aspects[a].Steps[s] = StepRecord{};
  }
  pin.DccCount = pin.XDccCount = pin.KoraCount = 1;
}

void ApplyConfig(PinRecord& pin, const std::vector<int>& numbers) {
  auto& cfg = pin.PinConfig;
  int type = numbers[kCfgKind];
  if (type < kServo || type > kInputLowActive) {
    // As the data file reads it: a pin of no known type becomes a plain output.
    for (int i = 0; i <= 11; ++i) cfg[i] = 0;
    return;
  }
  // Parameters the line does not carry (the levels of an old PWM line) keep their values.
  for (size_t i = 0; i < numbers.size(); ++i) cfg[i] = static_cast<uint8_t>(numbers[i]);
}

void WriteMemberBlock(ItemWriter& w, BoardConfig& config, int head, int g) {
  PinRecord& pin = config.Pins[g];
  std::string name = config.PinName(g);
  w.BeginLine(2);
  w.Tag("Pin");
  w.Number(((g - head) % kPinCount + kPinCount) % kPinCount);
  w.Number(pin.AspectMode);
  w.Number(pin.InitialAspect);
  w.Text(pin.Description, "the description of " + name);
  w.EndLine();

  // The device writer is always compact.
  WritePinProgramLines(w, pin, name, 4, true);
}

}  // namespace

DeviceFileRead ParseDeviceFile(std::string_view bytes) {
  return DeviceFileParser(bytes).Run();
}

std::string DeviceFileVersionOf(const std::string& header) {
  if (Utf8Length(header) < 23) return {};
  return Utf8Tail(header, 22);
}

std::vector<int> ApplyDevice(BoardConfig& config, const DeviceSection& device) {
  const int head = config.CurrentPin;
  std::vector<int> overwritten;
  config.ReleaseDevice(head);
  config.Pins[head].DeviceName = device.name;
  int target = head;  // lines before the first "Pin" line go to the head
  int aspect = 0;
  for (const DeviceLine& line : device.lines) {
    PinRecord& pin = config.Pins[target];
    const std::vector<int>& n = line.numbers;
    switch (line.kind) {
      case DeviceLine::Kind::kPin:
      case DeviceLine::Kind::kPab: {
        target = line.kind == DeviceLine::Kind::kPin ? (head + n[0]) % kPinCount : n[0] % kPinCount;
        if (target != head) config.ReleaseDevice(target);
        PinRecord& member = config.Pins[target];
        member.DeviceRef = static_cast<int16_t>(head - target);
        if (!member.Description.empty() && overwritten.size() < kPinCount) {
          overwritten.push_back(target);
        }
        member.AspectMode = static_cast<uint8_t>(n[1]);
        member.InitialAspect = static_cast<uint8_t>(n[2]);
        member.Description = line.text;
        ResetPinProgram(member);
        break;
      }
      case DeviceLine::Kind::kCfg:
        ApplyConfig(pin, n);
        break;
      case DeviceLine::Kind::kPam:
        pin.XDccCount = static_cast<uint8_t>(n[0]);
        pin.DccCount = static_cast<uint8_t>(n[1]);
        pin.KoraCount = static_cast<uint8_t>(n[2]);
        break;
      case DeviceLine::Kind::kAsp:
        aspect = n[0];
        pin.Aspects[aspect].Description = line.text;
        break;
      case DeviceLine::Kind::kIns: {
        StepRecord& step = pin.Aspects[aspect].Steps[n[0]];
        step.Par0 = static_cast<uint8_t>(n[2]);
        step.Par1 = static_cast<uint8_t>(n[3]);
        step.Par2 = static_cast<uint8_t>(n[4]);
        step.Par3 = static_cast<uint8_t>(n[5]);
        SplitFileInstruction(n[1], step);
        break;
      }
    }
  }
  config.ComputeDccStarts();
  config.ComputeXDccStarts();
  config.ComputeKoraStarts();
  return overwritten;
}

bool FormatDevice(BoardConfig& config, int head, std::string& bytes, std::string& refusal) {
  BoardConfig saved = config;
  const std::string& name = saved.Pins[head].DeviceName;
  std::string field = "the device name of pin " + std::to_string(head + saved.NumberBase);
  ItemWriter w;
  w.BeginLine();
  w.Text(std::string(kDeviceFileHeader) + " " + name, field);
  w.EndLine();
  w.BeginLine();
  w.Tag("Dev");
  w.Text(name, field);
  w.EndLine();
  WriteMemberBlock(w, saved, head, head);
  for (int g = 0; g < kPinCount; ++g) {
    if (g != head && g + saved.Pins[g].DeviceRef == head) WriteMemberBlock(w, saved, head, g);
  }
  w.BeginLine();
  w.Tag("End");
  w.EndLine();
  if (!w.ok()) {
    refusal = w.refusal();
    return false;
  }
  config = std::move(saved);  // the servo flags of the members written are reduced
  bytes = w.bytes();
  return true;
}

}  // namespace vela
