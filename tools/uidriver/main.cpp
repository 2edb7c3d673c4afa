// nexora-uidriver.exe: reads commands on standard input, one per line, and
// answers each with one line on standard output (see HelpText in commands.cpp).
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "driver.h"

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0 ||
        std::strcmp(argv[i], "/?") == 0) {
      std::fputs(uidriver::HelpText().c_str(), stdout);
      return 0;
    }
    std::fprintf(stderr, "nexora-uidriver: unknown argument %s (see --help)\n", argv[i]);
    return 2;
  }
  // Replies end in a bare '\n': in text mode the C runtime would add a '\r'
  // that a reader would take for part of the reply's last field.
  _setmode(_fileno(stdout), _O_BINARY);
  std::string line;
  int c;
  bool quit = false;
  while (!quit) {
    line.clear();
    while ((c = std::fgetc(stdin)) != EOF && c != '\n') line += static_cast<char>(c);
    if (c == EOF && line.empty()) break;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::string reply = uidriver::RunCommandLine(line, &quit);
    std::fputs(reply.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
    if (c == EOF) break;
  }
  return 0;
}
