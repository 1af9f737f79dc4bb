#include <cstdint>
#include <string_view>

#include "files/item_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  vela::ItemReader reader(bytes);
  size_t guard = 0;
  while (!reader.AtEnd() && guard++ <= size + 1) reader.Next();
  vela::FieldReader fields(bytes);
  guard = 0;
  while (!fields.AtEnd() && !fields.failed() && guard++ <= size + 1) {
    fields.NextTag();
    fields.Integer("value", -1000, 1000);
    fields.Text("text");
  }
  return 0;
}
