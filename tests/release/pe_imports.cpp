#include "pe_imports.h"

#include <sstream>

namespace {

// Little-endian fields at a file offset; every read is bounds-checked.
class Reader {
public:
  explicit Reader(const std::vector<uint8_t>& bytes) : m_bytes(bytes) {}
  bool Fits(uint64_t offset, uint64_t size) const { return offset <= m_bytes.size() && size <= m_bytes.size() - offset; }
  uint64_t Le(uint64_t offset, int size) const {
    uint64_t v = 0;
    for (int i = size - 1; i >= 0; --i) v = (v << 8) | m_bytes[offset + i];
    return v;
  }
  // Zero-terminated text at offset; false when it runs off the end.
  bool Text(uint64_t offset, std::string* out) const {
    out->clear();
    for (uint64_t i = offset; i < m_bytes.size(); ++i) {
      if (m_bytes[i] == 0) return true;
      out->push_back(static_cast<char>(m_bytes[i]));
    }
    return false;
  }

private:
  const std::vector<uint8_t>& m_bytes;
};

struct Section {
  uint32_t virtualAddress, virtualSize, rawOffset, rawSize;
};

bool RvaToOffset(const std::vector<Section>& sections, uint64_t rva, uint64_t* offset) {
  for (const Section& s : sections) {
    const uint32_t span = s.virtualSize ? s.virtualSize : s.rawSize;
    if (rva >= s.virtualAddress && rva - s.virtualAddress < span && rva - s.virtualAddress < s.rawSize) {
      *offset = s.rawOffset + (rva - s.virtualAddress);
      return true;
    }
  }
  return false;
}

bool Fail(std::string* error, const std::string& why) {
  *error = why;
  return false;
}

}  // namespace

bool ReadPeImage(const std::vector<uint8_t>& image, PeImage* out, std::string* error) {
  *out = PeImage();
  Reader r(image);
  if (!r.Fits(0, 0x40) || r.Le(0, 2) != 0x5A4D) return Fail(error, "no MZ header");
  const uint64_t pe = r.Le(0x3C, 4);
  if (!r.Fits(pe, 24) || r.Le(pe, 4) != 0x00004550) return Fail(error, "no PE signature");
  const uint64_t sectionCount = r.Le(pe + 6, 2);
  const uint64_t optionalSize = r.Le(pe + 20, 2);
  const uint64_t opt = pe + 24;
  if (!r.Fits(opt, optionalSize) || optionalSize < 2) return Fail(error, "optional header outside the file");
  const uint64_t magic = r.Le(opt, 2);
  if (magic != 0x10B && magic != 0x20B) return Fail(error, "unknown optional header magic");
  const bool wide = magic == 0x20B;
  const uint64_t directories = opt + (wide ? 112 : 96);
  if (directories + 16 > opt + optionalSize) return Fail(error, "optional header too short");
  out->subsystemMajor = static_cast<uint16_t>(r.Le(opt + 48, 2));
  out->subsystemMinor = static_cast<uint16_t>(r.Le(opt + 50, 2));
  const uint64_t directoryCount = r.Le(directories - 4, 4);
  if (directoryCount < 2) return true;  // no import directory at all
  const uint64_t importRva = r.Le(directories + 8, 4);
  if (importRva == 0) return true;

  std::vector<Section> sections;
  const uint64_t table = opt + optionalSize;
  if (!r.Fits(table, sectionCount * 40)) return Fail(error, "section table outside the file");
  for (uint64_t i = 0; i < sectionCount; ++i) {
    const uint64_t s = table + i * 40;
    sections.push_back({static_cast<uint32_t>(r.Le(s + 12, 4)), static_cast<uint32_t>(r.Le(s + 8, 4)),
                        static_cast<uint32_t>(r.Le(s + 20, 4)), static_cast<uint32_t>(r.Le(s + 16, 4))});
  }

  const int thunkSize = wide ? 8 : 4;
  const uint64_t ordinalFlag = wide ? (1ull << 63) : (1ull << 31);
  uint64_t descriptor;
  if (!RvaToOffset(sections, importRva, &descriptor)) return Fail(error, "import directory outside every section");
  for (;; descriptor += 20) {
    if (!r.Fits(descriptor, 20)) return Fail(error, "import descriptor outside the file");
    const uint64_t lookupRva = r.Le(descriptor, 4), nameRva = r.Le(descriptor + 12, 4);
    const uint64_t addressRva = r.Le(descriptor + 16, 4);
    if (nameRva == 0 && addressRva == 0) break;  // the all-zero terminator
    uint64_t at;
    std::string dll;
    if (!RvaToOffset(sections, nameRva, &at) || !r.Text(at, &dll)) return Fail(error, "DLL name outside the file");
    uint64_t thunk;
    if (!RvaToOffset(sections, lookupRva ? lookupRva : addressRva, &thunk))
      return Fail(error, "import lookup table of " + dll + " outside every section");
    for (;; thunk += thunkSize) {
      if (!r.Fits(thunk, thunkSize)) return Fail(error, "import lookup table of " + dll + " runs off the file");
      const uint64_t entry = r.Le(thunk, thunkSize);
      if (entry == 0) break;
      std::string function;
      if (entry & ordinalFlag) {
        function = "#" + std::to_string(entry & 0xFFFF);
      } else if (!RvaToOffset(sections, entry & 0x7FFFFFFF, &at) || !r.Text(at + 2, &function)) {
        return Fail(error, "function name of " + dll + " outside the file");
      }
      out->imports.push_back({dll, function});
    }
  }
  return true;
}

std::set<std::string> ReadFunctionList(const std::string& text) {
  std::set<std::string> names;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    line = line.substr(0, line.find('#'));
    std::istringstream words(line);
    std::string name;
    if (words >> name) names.insert(name);
  }
  return names;
}

std::vector<std::string> ImportsAmong(const PeImage& image, const std::set<std::string>& missing) {
  std::vector<std::string> found;
  for (const PeImport& i : image.imports)
    if (missing.count(i.function)) found.push_back(i.dll + "!" + i.function);
  return found;
}
