#include <cstdint>
#include <string>
#include <string_view>

#include "files/data_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  vela::BoardConfig config;
  vela::DataFileRead read = vela::ParseDataFile(bytes, config);
  if (read.outcome == vela::DataFileRead::Outcome::kLoaded) {
    // Whatever loaded must save again.
    std::string out, refusal;
    vela::FormatDataFile(config, false, out, refusal);
    vela::FormatDataFile(config, true, out, refusal);
  }
  return 0;
}
