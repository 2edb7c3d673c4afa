// The device simulator's configuration reader: the whole file, its check,
// and one command-line override, on any text.
#include <sstream>
#include <string>

#include <fuzzer/FuzzedDataProvider.h>

#include "devsim_config.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  FuzzedDataProvider data(bytes, size);
  const std::string override = data.ConsumeRandomLengthString(256);
  std::istringstream in(data.ConsumeRandomLengthString(size));
  devsim::SimConfig config;
  std::string error;
  if (devsim::ParseConfig(in, &config, &error)) {
    devsim::ValidateConfig(config, &error);
    devsim::ApplyOverride(&config, override, &error);
  }
  uint8_t mac[6];
  devsim::ParseMac(override, mac);
  return 0;
}
