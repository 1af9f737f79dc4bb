// Verification: re-read the board and compare it with the configuration held here. Each
// difference becomes one line of the report; nothing is corrected. A missing reply stops a
// verification silently in the report (the link has already shown its message box); where the
// verification goes on past one (hardware configuration, enable masks, ID string), the report
// names what was not compared and only the ID string may still end in a pass.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "operations/session.h"

namespace vela {

// The report text, lines ended by CR LF.
class VerificationReport {
 public:
  void AppendReportLine(const std::string& line);
  // The closing words that the whole-board verifications add without a line end.
  void AppendText(const std::string& text) { text_ += text; }
  void Clear() { text_.clear(); }
  const std::string& Text() const { return text_; }

 private:
  std::string text_;
};

// Called with each pin 0..31 as its verification starts.
using PinProgress = std::function<void(int pin)>;

bool VerifyGeneralSettings(Session& session, VerificationReport& report);
// The event-control verification: actions of every pin and the initial enable masks.
bool ECInit(Session& session, VerificationReport& report);
bool VerifyPins(Session& session, VerificationReport& report, const PinProgress& progress = {});

}  // namespace vela
