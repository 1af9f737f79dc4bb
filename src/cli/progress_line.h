// The progress line velacli draws on stderr while a board operation runs.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <string>

#include "operations/operation_dispatcher.h"

namespace vela::cli {

// True when stderr is a terminal (a console on Windows), where a progress line helps.
bool StderrIsTerminal();

// Rewrites one line in place with a carriage return and blanks, so it needs no escape codes a
// console may not understand; draws nothing unless enabled.
class ProgressLine final : public OperationObserver {
 public:
  ProgressLine(std::ostream& err, bool enabled) : err_(err), enabled_(enabled) {}
  ~ProgressLine() override { Finish(); }

  void OnProgress(const std::string& operation, const std::string& step, int done,
                  int total) override;
  // Clears the line, leaving the cursor where it started.
  void Finish();

 private:
  void Draw(const std::string& text);

  std::ostream& err_;
  bool enabled_;
  std::size_t shown_ = 0;  // length of the text on the line now
};

}  // namespace vela::cli
