#include "model/config_compare.h"

#include <algorithm>
#include <string_view>

#include "model/aspect_editor_rules.h"
#include "model/event_control_rules.h"
#include "model/general_rules.h"
#include "model/pin_config_rules.h"

namespace vela {
namespace {

constexpr const char* kNone = "(none)";  // a place outside the aspect rectangle

std::string Quoted(const std::string& text) {
  return "\"" + text + "\"";
}

std::string CheckText(bool checked) {
  return checked ? "checked" : "unchecked";
}

// A caption as a field name: without the blanks and the colon after it.
std::string Trimmed(std::string_view text) {
  while (!text.empty() && (text.back() == ' ' || text.back() == ':')) text.remove_suffix(1);
  return std::string(text);
}

bool Bit(int value, int bit) {
  return ((value >> bit) & 1) != 0;
}

class Comparer {
 public:
  Comparer(const BoardConfig& a, const BoardConfig& b, const InstructionSet& set,
           std::vector<ConfigDifference>& out)
      : a_(a), b_(b), set_(set), nb_(a.NumberBase), out_(out) {}

  void General();
  void Enables();
  void Pin(int pin);

 private:
  // Adds a difference when the stored values differ. Values that show alike but are stored
  // differently (out of the editor's range, from a file or a board) name what is stored.
  void Differ(const std::string& field, long stored_a, long stored_b, std::string shown_a,
              std::string shown_b);
  void Check(const std::string& field, bool a, bool b) {
    Differ(field, a, b, CheckText(a), CheckText(b));
  }
  void Number(const std::string& field, long a, long b) {
    Differ(field, a, b, std::to_string(a), std::to_string(b));
  }
  void Text(const std::string& field, const std::string& a, const std::string& b) {
    if (a != b) Add(field, Quoted(a), Quoted(b));
  }
  void Add(const std::string& field, std::string a, std::string b) {
    out_.push_back({pin_, aspect_, step_, field, std::move(a), std::move(b)});
  }

  void PinConfiguration(const std::string& where, const PinRecord& a, const PinRecord& b);
  void Steps(const std::string& where, int pin, const PinRecord& a, const PinRecord& b);
  bool SameStep(const StepRecord& a, const StepRecord& b) const;
  std::string StepText(const StepRecord& step, int pin) const;
  std::string TimeText(const StepRecord& step) const;
  std::string InstructionName(int code) const;

  const BoardConfig& a_;
  const BoardConfig& b_;
  const InstructionSet& set_;
  const int nb_;
  std::vector<ConfigDifference>& out_;
  int pin_ = -1;
  int aspect_ = -1;
  int step_ = -1;
};

void Comparer::Differ(const std::string& field, long stored_a, long stored_b, std::string shown_a,
                      std::string shown_b) {
  if (stored_a == stored_b) return;
  if (shown_a == shown_b) {
    shown_a += " (stored " + std::to_string(stored_a) + ")";
    shown_b += " (stored " + std::to_string(stored_b) + ")";
  }
  Add(field, std::move(shown_a), std::move(shown_b));
}

void Comparer::General() {
  const GeneralSettings& ga = a_.General;
  const GeneralSettings& gb = b_.General;
  Text("ID String", ga.IdString, gb.IdString);

  Number("DCC, Basic Decoder Addr", ga.DccAddress, gb.DccAddress);
  Number("DCC, Extended Dec. Addr", ga.XDccAddress, gb.XDccAddress);
  Differ("DCC, Packet Retention", RetentionOption(ga), RetentionOption(gb),
         kPacketRetentionTexts[RetentionOption(ga)], kPacketRetentionTexts[RetentionOption(gb)]);
  Check("DCC, Basic Packet State Invert", ga.BasicPacketStateInvert, gb.BasicPacketStateInvert);
  Check("DCC, Allow Address 0", ga.AllowAddress0, gb.AllowAddress0);

  const std::string serial = "Serial Addressing Options, ";
  Check(serial + "Enforced eXtended Address", ga.ForceXA, gb.ForceXA);
  // Enforced extended addressing writes fixed values in place of the frame's other fields,
  // and the window hides them.
  if (!ga.ForceXA && !gb.ForceXA) {
    // Native mode is hidden, and not kept, while Kora flexible addressing is on.
    Check(serial + "Native Vela Mode", ga.VLNative && !ga.KRaddr, gb.VLNative && !gb.KRaddr);
    Check(serial + "Kora Flex-Addresss", ga.KRaddr, gb.KRaddr);
    if (ga.KRaddr && gb.KRaddr) {
      Differ(serial + "Start", ga.KoraFlexAddress, gb.KoraFlexAddress,
             KoraBaseText(ga.KoraFlexAddress, nb_), KoraBaseText(gb.KoraFlexAddress, nb_));
    }
    Differ(serial + "Module eXtended Address", ga.GenXAddress, gb.GenXAddress,
           std::to_string(ga.GenXAddress + nb_), std::to_string(gb.GenXAddress + nb_));
    for (int i = 0; i < 16; ++i) {
      Check(serial + "eXt Group Mask " + std::to_string(i), ga.XGM[i], gb.XGM[i]);
    }
  }

  // Box 7 of a row follows boxes 0..6.
  const int green_a = LedByte(ga.LedGreen), green_b = LedByte(gb.LedGreen);
  const int orange_a = LedByte(ga.LedOrange), orange_b = LedByte(gb.LedOrange);
  for (int k = 0; k < 7; ++k) {
    Check(std::string("LED Control, Green LED function, ") + kGreenLedCaptions[k], Bit(green_a, k),
          Bit(green_b, k));
  }
  for (int k = 0; k < 7; ++k) {
    Check(std::string("LED Control, Orange LED function, ") + kOrangeLedCaptions[k],
          Bit(orange_a, k), Bit(orange_b, k));
  }

  for (int group = 0; group < 4; ++group) {
    const std::string pins =
        ", Pin " + std::to_string(group * 8 + nb_) + ".." + std::to_string(group * 8 + 7 + nb_);
    Check("Hardware Config, Sink Driver" + pins, ga.HwcSink[group], gb.HwcSink[group]);
    Check("Hardware Config, Source Driver" + pins, ga.HwcSource[group], gb.HwcSource[group]);
  }

  Check("Serial Port, Enable", ga.SerialEnable, gb.SerialEnable);
  const int baud_a = std::clamp(ga.BaudIndex, 0, 7), baud_b = std::clamp(gb.BaudIndex, 0, 7);
  Differ("Serial Port, Baudrate", baud_a, baud_b, kBaudTexts[baud_a], kBaudTexts[baud_b]);
  const std::string parity_a = ParityText(ga.ParityIndex), parity_b = ParityText(gb.ParityIndex);
  if (parity_a != parity_b) Add("Serial Port, Parity", parity_a, parity_b);
  const int bits_a = ga.DataBitsIndex == 1, bits_b = gb.DataBitsIndex == 1;
  Differ("Serial Port, Bits", bits_a, bits_b, kDataBitsTexts[bits_a], kDataBitsTexts[bits_b]);
  const int stop_a = ga.StopIndex == 1, stop_b = gb.StopIndex == 1;
  Differ("Serial Port, Stop", stop_a, stop_b, kStopBitsTexts[stop_a], kStopBitsTexts[stop_b]);
}

void Comparer::Enables() {
  for (int k = 0; k < 8; ++k) {
    Check(Trimmed(kInitialEnableCaptions[k / 4]) + ", Input " + std::to_string(k % 4),
          a_.General.InitEE[k], b_.General.InitEE[k]);
  }
}

void Comparer::Pin(int pin) {
  const PinRecord& a = a_.Pins[pin];
  const PinRecord& b = b_.Pins[pin];
  pin_ = pin;
  aspect_ = step_ = -1;
  const std::string where = "Pin " + std::to_string(pin + nb_);

  Text(where + ", Description", a.Description, b.Description);
  // The board keeps the distance to the head modulo 32; the window shows the unwrapped sum.
  Differ(where + ", Device Pin", a_.DeviceHead(pin), b_.DeviceHead(pin),
         std::to_string(pin + a.DeviceRef + nb_), std::to_string(pin + b.DeviceRef + nb_));
  // A member's own name is given up when it is shown; the head's name is the device's.
  Text(where + ", Device Name", a.DeviceRef == 0 ? a.DeviceName : std::string(),
       b.DeviceRef == 0 ? b.DeviceName : std::string());
  const int option_a = OptionOfAspectMode(a.AspectMode);
  const int option_b = OptionOfAspectMode(b.AspectMode);
  Differ(where + ", Aspects", option_a, option_b, kAspectModeOptionTexts[option_a],
         kAspectModeOptionTexts[option_b]);
  Differ(where + ", Init", a.InitialAspect, b.InitialAspect, std::to_string(a.InitialAspect - 1),
         std::to_string(b.InitialAspect - 1));
  Number(where + ", Nr Of Addresses, Serial", a.KoraCount, b.KoraCount);
  Number(where + ", Nr Of Addresses, B-DCC", a.DccCount, b.DccCount);
  Number(where + ", Nr Of Addresses, X-DCC", a.XDccCount, b.XDccCount);

  PinConfiguration(where, a, b);

  for (int event : {kEventOn, kEventOff}) {
    for (int input = 0; input < 4; ++input) {
      Number(where + ", Event " + Trimmed(kEventRowCaptions[event]) + ", Input " +
                 std::to_string(input),
             a_.Events.At(pin, event, input), b_.Events.At(pin, event, input));
    }
  }

  Steps(where, pin, a, b);
}

void Comparer::PinConfiguration(const std::string& where, const PinRecord& a, const PinRecord& b) {
  const int type_a = a.PinConfig[kCfgKind], type_b = b.PinConfig[kCfgKind];
  const int page_a = PageOfConfigType(type_a), page_b = PageOfConfigType(type_b);
  auto type_text = [](int type, int page) {
    return page < 0 ? "Unknown configuration: " + std::to_string(type)
                    : std::string(kConfigPageTexts[page]);
  };
  if (page_a != page_b || (page_a < 0 && type_a != type_b)) {
    Differ(where + ", Configuration", type_a, type_b, type_text(type_a, page_a),
           type_text(type_b, page_b));
    return;
  }
  if (page_a <= kPageClear) return;
  const std::string page = where + ", " + kConfigPageTexts[page_a] + ", ";
  auto box = [&](PinConfigBox field) {
    const PinConfigField& f = FieldOf(field);
    Differ(page + f.caption, a.PinConfig[f.byte], b.PinConfig[f.byte],
           std::to_string(ShownValue(a, field)), std::to_string(ShownValue(b, field)));
  };
  // The servo flags or the PWM modes, by the page.
  const int flags_a = a.PinConfig[kCfgServoFlags], flags_b = b.PinConfig[kCfgServoFlags];
  if (page_a == kPageServo) {
    for (PinConfigBox field :
         {PinConfigBox::kSrvMaxSpd, PinConfigBox::kSrvMaxAccel, PinConfigBox::kSrvAntiMass,
          PinConfigBox::kSrvFriction, PinConfigBox::kMidpoint, PinConfigBox::kBounceDown,
          PinConfigBox::kBounceDownFactor, PinConfigBox::kBounceUp, PinConfigBox::kBounceUpFactor,
          PinConfigBox::kSrvInitPos}) {
      box(field);
    }
    // Bit 3 only marks a composed byte and bits 6 and 7 are the board's state.
    Differ(page + "Range", flags_a & kServoRangeMask, flags_b & kServoRangeMask,
           kServoRangeTexts[ServoRangeOf(flags_a)], kServoRangeTexts[ServoRangeOf(flags_b)]);
    Check(page + "Suspended", flags_a & kServoSuspended, flags_b & kServoSuspended);
    Check(page + "Auto Suspend", flags_a & kServoAutoSuspend, flags_b & kServoAutoSuspend);
  } else if (page_a == kPagePwm) {
    Check(page + "Inverted", type_a == kPwmInverted, type_b == kPwmInverted);
    for (PinConfigBox field : {PinConfigBox::kPwmInitLevel, PinConfigBox::kPwmOnLevel,
                               PinConfigBox::kPwmOffLevel, PinConfigBox::kPwmAccel}) {
      box(field);
    }
    Differ(page + "Drive Mode", flags_a & 1, flags_b & 1, kPwmModeTexts[flags_a & 1],
           kPwmModeTexts[flags_b & 1]);
    const int accel_a = (flags_a >> 1) & 1, accel_b = (flags_b >> 1) & 1;
    Differ(page + "Acceleration Mode", accel_a, accel_b, kPwmModeTexts[accel_a],
           kPwmModeTexts[accel_b]);
  } else {
    Check(page + "Low Active", type_a == kInputLowActive, type_b == kInputLowActive);
    box(PinConfigBox::kInputDelay0);
    box(PinConfigBox::kInputDelay1);
  }
}

std::string Comparer::InstructionName(int code) const {
  const std::string& name = set_[code].Name;
  return name.empty() ? "code " + std::to_string(code) : name;
}

// The step time as the row shows it, with the two boxes it comes from.
std::string Comparer::TimeText(const StepRecord& step) const {
  const InstructionRecord& r = set_[step.Instruction];
  return InstructionSet::StepTimeText(step.Instruction, step.Par2, step.Par3) + " (" +
         r.Par2Caption + " " + std::to_string(step.Par2) + ", " + r.Par3Caption + " " +
         std::to_string(step.Par3) + ")";
}

bool IsTimed(const InstructionRecord& r, int code) {
  return code >= 64 && r.Par2Used;
}

// Equal as the row shows them: the fields the instruction does not use are not part of it.
bool Comparer::SameStep(const StepRecord& a, const StepRecord& b) const {
  if (a.Instruction != b.Instruction) return false;
  const InstructionRecord& r = set_[a.Instruction];
  return (!r.FadeUsed || a.Fade == b.Fade) && (!r.Par0Used || a.Par0 == b.Par0) &&
         (!r.Par1Used || a.Par1 == b.Par1) && (!r.Par2Used || a.Par2 == b.Par2) &&
         (!r.Par3Used || a.Par3 == b.Par3);
}

std::string Comparer::StepText(const StepRecord& step, int pin) const {
  const InstructionRecord& r = set_[step.Instruction];
  std::string text = InstructionName(step.Instruction);
  if (r.FadeUsed && step.Fade != 0) text += ", Fade";
  if (r.Par0Used)
    text += ", " + r.Par0Caption + " " + std::to_string(set_.ShownPar0(step, pin, nb_));
  if (r.Par1Used) text += ", " + r.Par1Caption + " " + std::to_string(set_.ShownPar1(step, nb_));
  if (IsTimed(r, step.Instruction)) {
    text += ", " + TimeText(step);
  } else {
    if (r.Par2Used) text += ", " + r.Par2Caption + " " + std::to_string(step.Par2);
    if (r.Par3Used) text += ", " + r.Par3Caption + " " + std::to_string(step.Par3);
  }
  return text;
}

void Comparer::Steps(const std::string& where, int pin, const PinRecord& a, const PinRecord& b) {
  const AspectRectangle ra = RectangleOf(a.AspectMode), rb = RectangleOf(b.AspectMode);
  const int aspects = std::max(ra.aspects, rb.aspects);
  const int steps = std::max(ra.steps, rb.steps);
  static const AspectRecord kEmptyAspect{};
  for (int x = 0; x < aspects; ++x) {
    aspect_ = x;
    step_ = -1;
    const bool in_a = x < ra.aspects, in_b = x < rb.aspects;
    const AspectRecord& asp_a = in_a ? a.Aspects[x] : kEmptyAspect;
    const AspectRecord& asp_b = in_b ? b.Aspects[x] : kEmptyAspect;
    const std::string aspect_where = where + ", Aspect " + std::to_string(x);
    if (asp_a.Description != asp_b.Description) {
      Add(aspect_where + ", Description", in_a ? Quoted(asp_a.Description) : kNone,
          in_b ? Quoted(asp_b.Description) : kNone);
    }
    for (int s = 0; s < steps; ++s) {
      const bool step_in_a = in_a && s < ra.steps, step_in_b = in_b && s < rb.steps;
      const StepRecord& sa = step_in_a ? asp_a.Steps[s] : kEmptyAspect.Steps[0];
      const StepRecord& sb = step_in_b ? asp_b.Steps[s] : kEmptyAspect.Steps[0];
      if (SameStep(sa, sb)) continue;
      step_ = s;
      const std::string step_where = aspect_where + ", Step " + std::to_string(s);
      if (!step_in_a || !step_in_b || sa.Instruction != sb.Instruction) {
        Add(step_where, step_in_a ? StepText(sa, pin) : kNone,
            step_in_b ? StepText(sb, pin) : kNone);
        continue;
      }
      // The same instruction: each field the row shows, under its column caption.
      const InstructionRecord& r = set_[sa.Instruction];
      const std::string field = step_where + " (" + InstructionName(sa.Instruction) + "), ";
      if (r.FadeUsed) Check(field + "Fade", sa.Fade != 0, sb.Fade != 0);
      if (r.Par0Used) {
        Differ(field + r.Par0Caption, sa.Par0, sb.Par0,
               std::to_string(set_.ShownPar0(sa, pin, nb_)),
               std::to_string(set_.ShownPar0(sb, pin, nb_)));
      }
      if (r.Par1Used) {
        Differ(field + r.Par1Caption, sa.Par1, sb.Par1, std::to_string(set_.ShownPar1(sa, nb_)),
               std::to_string(set_.ShownPar1(sb, nb_)));
      }
      if (IsTimed(r, sa.Instruction)) {
        if (sa.Par2 != sb.Par2 || (r.Par3Used && sa.Par3 != sb.Par3)) {
          Add(field + r.Par2Caption, TimeText(sa), TimeText(sb));
        }
      } else {
        if (r.Par2Used) Number(field + r.Par2Caption, sa.Par2, sb.Par2);
        if (r.Par3Used) Number(field + r.Par3Caption, sa.Par3, sb.Par3);
      }
    }
  }
  aspect_ = step_ = -1;
}

}  // namespace

std::string ConfigDifference::Line() const {
  return field + ": " + a + " | " + b;
}

std::vector<ConfigDifference> CompareConfigs(const BoardConfig& a, const BoardConfig& b,
                                             const InstructionSet& instructions) {
  std::vector<ConfigDifference> out;
  Comparer comparer(a, b, instructions, out);
  comparer.General();
  comparer.Enables();
  for (int pin = 0; pin < kPinCount; ++pin) comparer.Pin(pin);
  return out;
}

std::vector<std::string> DifferenceLines(const std::vector<ConfigDifference>& differences) {
  std::vector<std::string> lines;
  lines.reserve(differences.size());
  for (const ConfigDifference& d : differences) lines.push_back(d.Line());
  return lines;
}

std::string DifferenceCount(size_t count) {
  if (count == 0) return "no difference";
  return std::to_string(count) + (count == 1 ? " difference" : " differences");
}

}  // namespace vela
