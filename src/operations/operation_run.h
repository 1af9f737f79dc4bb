// One run of a long operation as the dispatcher drives it: where it is (the general settings,
// a pin, the event control...), the progress in words that the observer gets, and after a
// cancel the one message that says what was done and what the configuration now holds.
// A cancelled read never leaves a part half read: the part it was in gets its earlier values back.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "operations/operation_dispatcher.h"
#include "operations/verification.h"

namespace vela {

enum class OperationKind { kRead, kWrite, kVerification };

// The parts of the configuration an operation goes through, in the order it may meet them.
enum class Stage {
  kNone,
  kGeneral,  // the general settings
  kPins,     // pin n of all 32
  kEvents,   // the event control
  kAddress,  // the address settings (written last)
  kPin,      // the current pin alone
  kAspects,  // the current pin's aspects
  kDevice,   // the pins of the current pin's device
};

class OperationRun {
 public:
  // `title` is the operation as the user knows it ("Read All"); `stages` the parts it goes
  // through, e.g. {kGeneral, kPins, kEvents}, padded with kNone.
  OperationRun(Session& session, const char* title, OperationKind kind,
               const std::array<Stage, 4>& stages, OperationObserver* observer);

  Session& s;
  const int current;                     // the pin shown when the run started
  VerificationReport* report = nullptr;  // a verification's report

  // The run enters `stage` (at `pin` for kPins and kDevice): tells the observer in words and,
  // for a read, remembers the configuration so that a cancel can put this part back.
  void Enter(Stage stage, int pin = -1);
  // Whether the user cancelled and an exchange was refused for it.
  bool Cancelled() const;
  // After a cancelled read: the part being read gets its earlier values back.
  void KeepWholeParts();
  // What a cancel left: "Read All cancelled at pin 12: ...". Empty when not cancelled.
  std::string CancelText() const;

 private:
  std::string PartName(Stage stage) const;
  std::string Pins(int first, int last) const;
  std::string Pin(int pin) const;

  const char* title_;
  OperationKind kind_;
  std::vector<Stage> stages_;
  OperationObserver* observer_;
  Stage stage_ = Stage::kNone;
  int pin_ = -1;
  BoardConfig part_start_;
};

}  // namespace vela
