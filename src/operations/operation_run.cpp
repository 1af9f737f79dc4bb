#include "operations/operation_run.h"

#include <algorithm>

namespace vela {
namespace {

constexpr const char* kEnDash = "\xE2\x80\x93";

// "a", "a and b", "a, b and c".
std::string Join(const std::vector<std::string>& parts) {
  std::string text;
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) text += i + 1 == parts.size() ? " and " : ", ";
    text += parts[i];
  }
  return text;
}

// One pin ("pin 5") and the event control take the singular verb.
bool Plural(const std::vector<std::string>& parts) {
  if (parts.size() != 1) return true;
  const std::string& part = parts[0];
  const bool one_pin = part.rfind("pin ", 0) == 0 && part.find(" and ") == std::string::npos;
  return !one_pin && part != "the event control";
}

}  // namespace

OperationRun::OperationRun(Session& session, const char* title, OperationKind kind,
                           const std::array<Stage, 4>& stages, OperationObserver* observer)
    : s(session),
      current(session.config.CurrentPin),
      title_(title),
      kind_(kind),
      observer_(observer) {
  for (Stage stage : stages) {
    if (stage != Stage::kNone) stages_.push_back(stage);
  }
}

std::string OperationRun::Pin(int pin) const {
  return s.config.PinName(pin);
}

std::string OperationRun::Pins(int first, int last) const {
  if (first == last) return Pin(first);
  return "pins " + std::to_string(first + s.config.NumberBase) + kEnDash +
         std::to_string(last + s.config.NumberBase);
}

std::string OperationRun::PartName(Stage stage) const {
  switch (stage) {
    case Stage::kGeneral:
      return "the general settings";
    case Stage::kPins:
      return "the pins";
    case Stage::kEvents:
      return "the event control";
    case Stage::kAddress:
      return "the address settings";
    case Stage::kPin:
      return Pin(current);
    case Stage::kAspects:
      return "the aspects of " + Pin(current);
    case Stage::kDevice:
      return "the pins of the device of " + Pin(current);
    case Stage::kNone:
      break;
  }
  return {};
}

void OperationRun::Enter(Stage stage, int pin) {
  stage_ = stage;
  pin_ = pin;
  if (kind_ == OperationKind::kRead) part_start_ = s.config;
  if (!observer_) return;
  static const char* const kVerbs[] = {"Reading ", "Writing ", "Verifying "};
  std::string text = kVerbs[static_cast<int>(kind_)];
  int done = 0;
  int total = 0;
  if (stage == Stage::kPins) {
    const std::string of = " of " + std::to_string(kPinCount);
    // "pin 22 of 32" reads as a count only when the numbering starts at 1.
    text += Pin(pin) + (s.config.NumberBase == 1 ? of : " (" + std::to_string(pin + 1) + of + ")");
    done = pin;
    total = kPinCount;
  } else if (stage == Stage::kDevice && pin >= 0) {
    text += Pin(pin) + " of the device";
  } else {
    text += PartName(stage);
  }
  observer_->OnProgress(title_, text, done, total);
}

bool OperationRun::Cancelled() const {
  return s.link.Tally().cancelled > 0;
}

void OperationRun::KeepWholeParts() {
  if (kind_ == OperationKind::kRead && stage_ != Stage::kNone && Cancelled()) {
    s.config = part_start_;
  }
}

std::string OperationRun::CancelText() const {
  if (!Cancelled()) return {};
  std::string text = std::string(title_) + " cancelled";
  const bool at_pin = (stage_ == Stage::kPins || stage_ == Stage::kDevice) && pin_ >= 0;
  if (at_pin) {
    text += " at " + Pin(pin_);
  } else if (stage_ == Stage::kGeneral || stage_ == Stage::kEvents || stage_ == Stage::kAddress) {
    text += " in " + PartName(stage_);
  }
  std::vector<std::string> done;
  std::vector<std::string> rest;
  bool passed = stage_ == Stage::kNone;
  for (Stage stage : stages_) {
    if (stage == stage_ && !passed) {
      passed = true;
      if (stage == Stage::kPins) {
        if (pin_ > 0) done.push_back(Pins(0, pin_ - 1));
        rest.push_back(Pins(std::max(pin_, 0), kPinCount - 1));
      } else if (at_pin) {
        rest.push_back(Pin(pin_) + " and the device's pins after it");
      } else {
        rest.push_back(PartName(stage));
      }
    } else if (passed) {
      rest.push_back(PartName(stage));
    } else {
      done.push_back(stage == Stage::kPins ? "all " + std::to_string(kPinCount) + " pins"
                                           : PartName(stage));
    }
  }
  static const char* const kDone[] = {" read", " written", " compared"};
  static const char* const kRest[][2] = {
      {" keeps its earlier values", " keep their earlier values"},
      {" was not written", " were not written"},
      {" was not compared", " were not compared"}};
  const int kind = static_cast<int>(kind_);
  text += ": ";
  if (!done.empty()) text += Join(done) + (Plural(done) ? " were" : " was") + kDone[kind] + "; ";
  text += Join(rest) + kRest[kind][Plural(rest) ? 1 : 0] + ".";
  return text;
}

}  // namespace vela
