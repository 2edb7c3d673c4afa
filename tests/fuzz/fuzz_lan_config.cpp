// ParseLanConfig on any text: a refused text leaves the record untouched;
// an accepted one names its first port.
#include <cstdlib>
#include <cstring>
#include <string>

#include "commands.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  const std::string text(reinterpret_cast<const char*>(bytes), size);  // cut at a zero byte
  LanConfig config;
  std::memset(&config, 0xA5, sizeof config);
  LanConfig before = config;
  if (!ParseLanConfig(text.c_str(), &config)) {
    if (std::memcmp(&config, &before, sizeof config) != 0) std::abort();
  } else if (!IsLanConfigPresent(config)) {
    std::abort();
  }
  return 0;
}
