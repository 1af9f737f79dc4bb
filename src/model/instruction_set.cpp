#include "model/instruction_set.h"

#include <cstdint>
#include <cstdio>

namespace vela {
namespace {

const InstructionRecord kEmpty{};

struct Row {
  int code;
  const char* name;
  int group;
  bool fade;
  const char* par0;  // nullptr = unused
  const char* par1;
  int par1_max;
  const char* par2;
  const char* par3;
  int help;
  int par1_offset;
};

// Codes and their fields; a parameter named nullptr is unused.
constexpr Row kRows[] = {
    {1, "Jump", 3, false, "P.O.", "Asp#", 11, "Ins#", nullptr, 0, 0},
    {3, "NS G->Y->R", 4, true, "P.O.", "Type", 1, nullptr, nullptr, 0, 0},
    {4, "SendSerial 1", 5, false, nullptr, "Byte", 255, nullptr, nullptr, 0, 0},
    {5, "SendSerial 2", 5, false, nullptr, "Byte1", 255, "Byte2", nullptr, 0, 0},
    {6, "Blink alt", 0, true, "P.O.", "T(/60)", 127, nullptr, nullptr, 0, 0},
    {7, "Clone", 4, true, "P.O.", "Source", 31, nullptr, nullptr, 0, 0},
    {8, "Off", 0, true, "P.O.", "T(/60)", 127, nullptr, nullptr, 0, 0},
    {9, "On", 0, true, "P.O.", "T(/60)", 127, nullptr, nullptr, 0, 0},
    {10, "Invert", 0, true, "P.O.", "T(/60)", 127, nullptr, nullptr, 0, 0},
    {11, "Random", 0, true, "P.O.", "T(/60)", 127, nullptr, nullptr, 0, 0},
    {12, "Multibit 2", 0, true, "P.O.", "Patt.", 127, nullptr, nullptr, 2, 0},
    {13, "Multibit 3", 0, true, "P.O.", "Patt.", 127, nullptr, nullptr, 3, 0},
    {14, "Multibit 4", 0, true, "P.O.", "Patt.", 127, nullptr, nullptr, 4, 0},
    {15, "Multibit 5", 0, true, "P.O.", "Patt.", 127, nullptr, nullptr, 5, 0},
    {16, "Event Input", 3, false, nullptr, "ETImap", 127, nullptr, nullptr, 16, 0},
    {17, "Feedback", 5, false, "P.O.", "Aspect", 11, nullptr, nullptr, 0, 0},
    {18, "MXpulse", 5, false, "MXpin", "T(/60)", 127, "Level", nullptr, 0, 0},
    {20, "SendSPI", 5, false, nullptr, "Byte1", 255, "Byte2", nullptr, 0, 0},
    {32, "Multibit 6", 0, true, "P.O.", "Patt.", 127, nullptr, nullptr, 6, 0},
    {33, "Multibit 7", 0, true, "P.O.", "Patt.", 127, nullptr, nullptr, 7, 0},
    {34, "Multibit 6 AD", 0, true, "P.O.", "Patt.", 127, nullptr, nullptr, 6, 0},
    {35, "Multibit 7 AD", 0, true, "P.O.", "Patt.", 127, nullptr, nullptr, 7, 0},
    {36, "Multibit 6 ND", 0, true, "P.O.", "Patt.", 127, nullptr, nullptr, 6, 0},
    {37, "Multibit 7 ND", 0, true, "P.O.", "Patt.", 127, nullptr, nullptr, 7, 0},
    {38, "Set Level", 1, true, "P.O.", "Level", 31, nullptr, nullptr, 0, 0},
    {39, "Set Servo", 2, true, "P.O.", "Pos.", 127, nullptr, nullptr, 0, -64},
    {42, "Multiblink 2", 0, true, "P.O.", "T(/60)", 127, nullptr, nullptr, 0, 0},
    {43, "Multiblink 3", 0, true, "P.O.", "T(/60)", 127, nullptr, nullptr, 0, 0},
    {44, "Multiblink 4", 0, true, "P.O.", "T(/60)", 127, nullptr, nullptr, 0, 0},
    {45, "Multiblink 5", 0, true, "P.O.", "T(/60)", 127, nullptr, nullptr, 0, 0},
    {46, "Multiblink 6", 0, true, "P.O.", "T(/60)", 127, nullptr, nullptr, 0, 0},
    {47, "Multiblink 7", 0, true, "P.O.", "T(/60)", 127, nullptr, nullptr, 0, 0},
    {96, "SetLevel & Wait", 1, false, "Accel", "Level", 31, "Time", "Base", 9, 0},
    {97, "SetLevel & WtRnd", 1, false, "Accel", "Level", 31, "Time", "Base", 9, 0},
    {98, "SetRnd & Wait", 1, false, "Accel", "Chance", 31, "Time", "Base", 9, 0},
    {99, "SetRnd & WtRnd", 1, false, "Accel", "Chance", 31, "Time", "Base", 9, 0},
    {100, "SetServo & Wait", 2, false, nullptr, "Pos", 127, "Time", "Base", 9, -64},
    {101, "SetServo & WtRnd", 2, false, nullptr, "Pos", 127, "Time", "Base", 9, -64},
    {102, "Wait", 3, false, nullptr, nullptr, 0, "Time", "Base", 9, 0},
    {103, "Wait Random", 3, false, nullptr, nullptr, 0, "Time", "Base", 9, 0},
    {127, "Suspend Servo", 2, false, "P.O.", nullptr, 0, "Time", "Base", 9, 0},
};

bool IsAccelCode(int code) {
  return code >= 96 && code <= 99;
}

std::string TwoDigits(int64_t v) {
  char buffer[24];
  std::snprintf(buffer, sizeof buffer, "%02lld", static_cast<long long>(v));
  return buffer;
}

ParameterEntry FromBox(const BoxEntry& box, int stored) {
  return {box.text, stored};
}

}  // namespace

InstructionSet::InstructionSet() {
  InstructionRecord& none = records_[0];
  none.Name = "-";
  for (const Row& row : kRows) {
    InstructionRecord& r = records_[row.code];
    r.Name = row.name;
    r.Group = row.group;
    r.FadeUsed = row.fade;
    r.Par0Used = row.par0 != nullptr;
    r.Par1Used = row.par1 != nullptr;
    r.Par2Used = row.par2 != nullptr;
    r.Par3Used = row.par3 != nullptr;
    r.Par0Caption = row.par0 ? row.par0 : "";
    r.Par1Caption = row.par1 ? row.par1 : "";
    r.Par2Caption = row.par2 ? row.par2 : "";
    r.Par3Caption = row.par3 ? row.par3 : "";
    r.Par1Max = row.par1 ? row.par1_max : 0;
    r.HelpTool = row.help;
    r.Par1Offset = row.par1_offset;
  }
  for (int n = 0; n <= 11; ++n) {
    InstructionRecord& r = records_[112 + n];
    r.Name = "SetAspect " + std::to_string(n);
    r.Group = 3;
    r.Par0Used = r.Par2Used = r.Par3Used = true;
    r.Par0Caption = "P.O.";
    r.Par2Caption = "Time";
    r.Par3Caption = "Base";
    r.HelpTool = kHelpTime;
  }
  for (int group = 0; group <= 5; ++group) {
    for (int code = 0; code <= 127; ++code) {
      if (!records_[code].Name.empty() && records_[code].Group == group) {
        list_order_.push_back(code);
      }
    }
  }
}

const InstructionRecord& InstructionSet::operator[](int code) const {
  if (code < 0 || code > 128) return kEmpty;
  return records_[code];
}

int InstructionSet::ShownPar0(const StepRecord& step, int current_pin, int number_base) const {
  int code = step.Instruction;
  if (IsAccelCode(code)) return step.Par0 == 127 ? -1 : step.Par0;
  if (code == kCodeMXpulse) return step.Par0 + number_base;
  if (current_pin + step.Par0 < 32) return step.Par0;
  return step.Par0 - 32;
}

int InstructionSet::ShownPar1(const StepRecord& step, int number_base) const {
  int code = step.Instruction;
  return step.Par1 + (*this)[code].Par1Offset + (code == kCodeClone ? number_base : 0);
}

int InstructionSet::Par0Min(int code, int current_pin, int number_base) const {
  if (code == kCodeMXpulse) return number_base;
  if (IsAccelCode(code)) return -1;
  return -current_pin;
}

int InstructionSet::Par0Max(int code, int current_pin, int number_base) const {
  if (code == kCodeMXpulse) return number_base + 31;
  if (IsAccelCode(code)) return 31;
  return 31 - current_pin;
}

int InstructionSet::Par1ShownMin(int code, int number_base) const {
  const InstructionRecord& r = (*this)[code];
  return r.Par1Min + r.Par1Offset + (code == kCodeClone ? number_base : 0);
}

int InstructionSet::Par1ShownMax(int code, int number_base) const {
  const InstructionRecord& r = (*this)[code];
  return r.Par1Max + r.Par1Offset + (code == kCodeClone ? number_base : 0);
}

int InstructionSet::Par2Max(int code) {
  if (code == kCodeJump) return 8;
  if (HasEightBitParameters(code)) return 255;
  if (code == kCodeMXpulse) return 31;
  return 63;
}

ParameterEntry InstructionSet::CommitPar0(int code, std::string_view text, int current_pin,
                                          int number_base) const {
  BoxEntry box = CommitBox(text, Par0Min(code, current_pin, number_base),
                           Par0Max(code, current_pin, number_base));
  if (code == kCodeMXpulse) return FromBox(box, box.value - number_base);
  if (IsAccelCode(code)) return FromBox(box, (box.value + 128) % 128);
  return FromBox(box, (box.value + 32) % 32);
}

ParameterEntry InstructionSet::CommitPar1(int code, std::string_view text, int number_base) const {
  BoxEntry box = CommitBox(text, Par1ShownMin(code, number_base), Par1ShownMax(code, number_base));
  int b = code == kCodeClone ? number_base : 0;
  return FromBox(box, box.value - (*this)[code].Par1Offset - b);
}

ParameterEntry InstructionSet::CommitPar2(int code, std::string_view text) {
  BoxEntry box = CommitBox(text, 0, Par2Max(code));
  return FromBox(box, box.value);
}

ParameterEntry InstructionSet::CommitPar3(std::string_view text) {
  BoxEntry box = CommitBox(text, 0, Par3Max());
  return FromBox(box, box.value);
}

void InstructionSet::NormaliseStep(StepRecord& step) const {
  const InstructionRecord& r = (*this)[step.Instruction];
  if (!r.Par0Used) step.Par0 = 0;
  if (!r.Par1Used) step.Par1 = 0;
  if (!r.Par2Used) step.Par2 = 0;
  if (!r.Par3Used) step.Par3 = 0;
  if (!r.FadeUsed) step.Fade = 0;
}

int64_t TimeTicks(int value, int base) {
  // Bases above 3 come only from files; the product saturates instead of overflowing.
  constexpr int64_t kLimit = INT64_MAX / 8;
  int64_t ticks = value < 0 ? 0 : value;
  for (int i = 0; i < base; ++i) {
    if (ticks > kLimit) return INT64_MAX;
    ticks *= 8;
  }
  return ticks;
}

std::string TicksText(int64_t ticks) {
  if (ticks < 0) ticks = 0;
  int64_t hundredths = (ticks % 50) * 2;
  int64_t seconds = (ticks / 50) % 60;
  int64_t minutes = (ticks / 50) / 60;
  return TwoDigits(minutes) + ":" + TwoDigits(seconds) + "." + TwoDigits(hundredths);
}

std::string InstructionSet::StepTimeText(int code, int par2, int par3) {
  if (code < 64) return "00:00.00";
  return TicksText(TimeTicks(par2, par3));
}

}  // namespace vela
