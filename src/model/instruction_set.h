// The vocabulary of the step programs: for every instruction code its name, list group, the
// fields it uses, the captions over the parameter columns, the Par 1 limits and its help tool;
// and the rules by which the step editor shows and stores each parameter.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/number_text.h"
#include "model/pin_table.h"

namespace vela {

struct InstructionRecord {
  int Group = 0;
  std::string Name;  // empty = unused code
  bool FadeUsed = false;
  bool Par0Used = false;
  bool Par1Used = false;
  bool Par2Used = false;
  bool Par3Used = false;
  std::string Par0Caption;
  std::string Par1Caption;
  std::string Par2Caption;
  std::string Par3Caption;
  int Par1Min = 0;
  int Par1Max = 0;
  int HelpTool = 0;  // 0 none, 2..7 pattern bits, 9 time, 16 event-input pattern
  int Par1Offset = 0;
};

// Help tools chosen by HelpTool.
inline constexpr int kHelpTime = 9;
inline constexpr int kHelpEventPattern = 16;
inline constexpr int kHelpLevel = 1;

// Instruction codes that the parameter rules single out.
inline constexpr int kCodeJump = 1;
inline constexpr int kCodeSendSerial1 = 4;
inline constexpr int kCodeSendSerial2 = 5;
inline constexpr int kCodeClone = 7;
inline constexpr int kCodeMXpulse = 18;
inline constexpr int kCodeSendSPI = 20;

// True for the codes whose Par 1 and Par 2 carry full 8-bit values.
inline bool HasEightBitParameters(int code) {
  return code == kCodeSendSerial1 || code == kCodeSendSerial2 || code == kCodeSendSPI;
}

// A parameter as the step row shows it: its text and the stored byte after a commit.
struct ParameterEntry {
  std::string text;
  int stored = 0;
};

class InstructionSet {
 public:
  InstructionSet();

  // The record of a code; codes outside 0..128 give the empty record.
  const InstructionRecord& operator[](int code) const;

  // The codes of the instruction lists, in list order (54 entries).
  const std::vector<int>& ListOrder() const { return list_order_; }

  // Shown values of the parameters of a step on a pin.
  int ShownPar0(const StepRecord& step, int current_pin, int number_base) const;
  int ShownPar1(const StepRecord& step, int number_base) const;

  // Limits of the shown values.
  int Par0Min(int code, int current_pin, int number_base) const;
  int Par0Max(int code, int current_pin, int number_base) const;
  int Par1ShownMin(int code, int number_base) const;
  int Par1ShownMax(int code, int number_base) const;
  static int Par2Max(int code);
  static int Par3Max() { return 3; }

  // Commit rules of the four parameter boxes: clamp the typed text, give the stored byte.
  ParameterEntry CommitPar0(int code, std::string_view text, int current_pin,
                            int number_base) const;
  ParameterEntry CommitPar1(int code, std::string_view text, int number_base) const;
  static ParameterEntry CommitPar2(int code, std::string_view text);
  static ParameterEntry CommitPar3(std::string_view text);

  // Forces the fields the instruction does not use to 0, as showing a step row does.
  void NormaliseStep(StepRecord& step) const;

  // The step time label: "00:00.00" for codes below 64, else Par2 x 8^Par3 ticks of 20 ms.
  static std::string StepTimeText(int code, int par2, int par3);

 private:
  std::array<InstructionRecord, 129> records_{};
  std::vector<int> list_order_;
};

// minutes:seconds.hundredths of a number of 20 ms ticks ("10:45.12"), computed wide enough
// for any parameter bytes.
std::string TicksText(int64_t ticks);

// Ticks of a time value and base: value x 8^base.
int64_t TimeTicks(int value, int base);

}  // namespace vela
