// Reads what a Windows program asks of the system before it can start: the
// functions named in its import table and the subsystem version in its
// optional header. Enough of the PE format for 32- and 64-bit images.
#pragma once
#include <cstdint>
#include <set>
#include <string>
#include <vector>

struct PeImport {
  std::string dll;
  std::string function;  // "#<ordinal>" for an import by ordinal
};

struct PeImage {
  uint16_t subsystemMajor = 0;
  uint16_t subsystemMinor = 0;
  std::vector<PeImport> imports;
};

// Parses image (the whole file). Returns false and says why in error when the
// image is not a PE file or a table points outside it.
bool ReadPeImage(const std::vector<uint8_t>& image, PeImage* out, std::string* error);

// Function names, one a line; '#' starts a comment, blank lines are skipped.
std::set<std::string> ReadFunctionList(const std::string& text);

// "DLL!Function" for each import whose function is in missing, in table order.
std::vector<std::string> ImportsAmong(const PeImage& image, const std::set<std::string>& missing);
