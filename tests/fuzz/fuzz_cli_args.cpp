// nexora-cli's argument and address checks: argv is the fuzzer's bytes cut
// at zero bytes. The network behind it has one silent interface, so a
// command line that passes the checks ends in a quick failed discovery.
#include <cstdio>
#include <string>
#include <vector>

#include "commands.h"
#include "discovery.h"
#include "fuzz_sockets.h"

int NexoraCliMain(int argc, char** argv);

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  fuzz::Install();
  std::vector<std::string> args{"nexora-cli"};
  std::string current;
  for (size_t i = 0; i < size; ++i) {
    if (bytes[i] == 0) {
      args.push_back(current);
      current.clear();
    } else {
      current.push_back(static_cast<char>(bytes[i]));
    }
  }
  args.push_back(current);
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  NexoraCliMain(static_cast<int>(args.size()), argv.data());
  return 0;
}
