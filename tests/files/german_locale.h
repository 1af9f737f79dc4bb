// A German locale for tests of number reading: the machine's, or one generated with localedef
// into a folder of the test's own. Programs built on Qt take the C library's locale from the
// environment, so "." stops being the decimal point there.
#pragma once

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace vela::testing {

// Switches the C library to a German UTF-8 locale; false with the reason when there is none.
// `folder` receives a generated locale and must outlive its use.
inline bool UseGermanLocale([[maybe_unused]] const std::filesystem::path& folder,
                            std::string& reason) {
  for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "German_Germany.1252"}) {
    if (std::setlocale(LC_ALL, name) != nullptr) return true;
  }
#ifdef _WIN32
  reason = "no German locale on this machine";
  return false;
#else
  if (std::system("command -v localedef >/dev/null 2>&1") != 0) {
    reason = "no German locale on this machine, and no localedef to make one";
    return false;
  }
  const std::filesystem::path made = folder / "de_DE.UTF-8";
  const std::string command = "localedef -i de_DE -f UTF-8 '" + made.string() + "' >/dev/null 2>&1";
  // localedef warns about some locale sources but still writes the locale.
  std::system(command.c_str());
  setenv("LOCPATH", folder.c_str(), 1);
  if (std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr) return true;
  reason = "localedef could not make a German locale";
  return false;
#endif
}

}  // namespace vela::testing
