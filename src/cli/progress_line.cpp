#include "cli/progress_line.h"

#include <cstdio>
#include <ostream>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace vela::cli {

bool StderrIsTerminal() {
#ifdef _WIN32
  return _isatty(_fileno(stderr)) != 0;
#else
  return isatty(STDERR_FILENO) == 1;
#endif
}

void ProgressLine::OnProgress(const std::string& operation, const std::string& step, int /*done*/,
                              int /*total*/) {
  // The step says the count in words ("Reading pin 22 of 32").
  if (enabled_) Draw(operation + ": " + step);
}

void ProgressLine::Finish() {
  if (shown_ > 0) Draw("");
}

void ProgressLine::Draw(const std::string& text) {
  // Blanks over what a longer previous text left, then back to the start of the line.
  err_ << '\r' << text;
  if (shown_ > text.size()) err_ << std::string(shown_ - text.size(), ' ');
  if (text.empty()) err_ << '\r';
  err_ << std::flush;
  shown_ = text.size();
}

}  // namespace vela::cli
