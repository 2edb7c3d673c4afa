#include "payload_facts.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

const char kStandInMarker[] = "NEXORA-STAND-IN: generated, not a device file";

namespace {

// ELF identification and header offsets (32-bit files).
constexpr size_t kElfClass = 4, kElfData = 5, kElfIdentVersion = 6, kElfOsAbi = 7;
constexpr size_t kElfType = 16, kElfMachine = 18, kElfVersion = 20, kElfPhOff = 28, kElfFlags = 36;
constexpr size_t kElfEhSize = 40, kElfPhEntSize = 42, kElfPhNum = 44;
constexpr size_t kElfHeaderBytes = 52, kProgramHeaderBytes = 32;
constexpr uint8_t kClass32 = 1, kLittle = 1, kBig = 2;
constexpr uint16_t kRelocatable = 1, kExecutable = 2;
constexpr uint16_t kMachinePpc = 20, kMachineArm = 40;
constexpr uint8_t kOsAbiNone = 0, kOsAbiArm = 97;
constexpr uint32_t kArmModuleFlags = 0x200, kArmProgramFlags = 0x2;
constexpr uint32_t kPtInterp = 3;

// Where a stand-in keeps its marker and its text fact.
constexpr size_t kMarkerAt = 96, kTextAt = 160, kFillerAt = 256;
constexpr size_t kMapNameAt = 2, kMapMarkerAt = 64, kMapFillerAt = 128;
constexpr size_t kTableHeaderBytes = 8;

struct ElfFacts {
  bool big;
  uint16_t type;
  uint16_t machine;
  uint8_t osAbi;
  uint32_t flags;
  bool checkFlags;
};

ElfFacts FactsOf(PayloadContent c) {
  switch (c) {
    case PayloadContent::PpcModule: return {true, kRelocatable, kMachinePpc, kOsAbiNone, 0, false};
    case PayloadContent::ArmModule: return {false, kRelocatable, kMachineArm, kOsAbiArm, kArmModuleFlags, true};
    default: return {false, kExecutable, kMachineArm, kOsAbiArm, kArmProgramFlags, true};
  }
}

void Put16(PayloadBytes& b, size_t at, uint16_t v, bool big) {
  b[at + (big ? 1 : 0)] = uint8_t(v);
  b[at + (big ? 0 : 1)] = uint8_t(v >> 8);
}
void Put32(PayloadBytes& b, size_t at, uint32_t v, bool big) {
  for (int i = 0; i < 4; ++i) b[at + (big ? 3 - i : i)] = uint8_t(v >> (8 * i));
}
uint16_t Get16(const PayloadBytes& b, size_t at, bool big) {
  return uint16_t(big ? (b[at] << 8 | b[at + 1]) : (b[at + 1] << 8 | b[at]));
}
uint32_t Get32(const PayloadBytes& b, size_t at, bool big) {
  uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v |= uint32_t(b[at + (big ? 3 - i : i)]) << (8 * i);
  return v;
}
void PutText(PayloadBytes& b, size_t at, const char* text) {
  std::memcpy(b.data() + at, text, std::strlen(text));
}
bool Contains(const PayloadBytes& b, const char* text) {
  const size_t n = std::strlen(text);
  return std::search(b.begin(), b.end(), text, text + n) != b.end();
}

// Deterministic bytes from `from` to the end, different for every row.
void Fill(PayloadBytes& b, size_t from, uint32_t seed) {
  uint32_t x = seed * 2654435761u + 1;
  for (size_t i = from; i < b.size(); ++i) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    b[i] = uint8_t(x);
  }
}

std::string Hex(uint32_t v) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%X", v);
  return text;
}

void CheckElf(const PayloadRow& row, const PayloadBytes& b, std::vector<std::string>& out) {
  const ElfFacts f = FactsOf(row.content);
  if (b.size() < kElfHeaderBytes || std::memcmp(b.data(),
                                                "\x7f"
                                                "ELF",
                                                4) != 0) {
    out.push_back("not an ELF file");
    return;
  }
  auto expect = [&out](const char* what, uint32_t want, uint32_t got) {
    if (want != got) out.push_back(std::string(what) + " " + std::to_string(got) + ", expected " + std::to_string(want));
  };
  expect("ELF class", kClass32, b[kElfClass]);
  expect("byte order", f.big ? kBig : kLittle, b[kElfData]);
  expect("OS/ABI", f.osAbi, b[kElfOsAbi]);
  if (b[kElfData] != kLittle && b[kElfData] != kBig) return;
  const bool big = b[kElfData] == kBig;
  expect("type", f.type, Get16(b, kElfType, big));
  expect("machine", f.machine, Get16(b, kElfMachine, big));
  if (f.checkFlags && Get32(b, kElfFlags, big) != f.flags)
    out.push_back("flags " + Hex(Get32(b, kElfFlags, big)) + ", expected " + Hex(f.flags));

  // The interpreter named by a PT_INTERP program header, if any.
  std::string interpreter;
  const uint32_t phoff = Get32(b, kElfPhOff, big);
  const uint16_t phentsize = Get16(b, kElfPhEntSize, big);
  const uint16_t phnum = Get16(b, kElfPhNum, big);
  for (uint32_t i = 0; i < phnum && phentsize >= kProgramHeaderBytes; ++i) {
    const size_t at = size_t(phoff) + size_t(i) * phentsize;
    if (at + kProgramHeaderBytes > b.size()) break;
    if (Get32(b, at, big) != kPtInterp) continue;
    const uint32_t off = Get32(b, at + 4, big), len = Get32(b, at + 16, big);
    if (off < b.size() && len <= b.size() - off)
      interpreter.assign(reinterpret_cast<const char*>(b.data() + off), strnlen(reinterpret_cast<const char*>(b.data() + off), len));
    else
      interpreter = "(outside the file)";
  }
  switch (row.content) {
    case PayloadContent::BtClient:
      if (interpreter != row.text) out.push_back("interpreter \"" + interpreter + "\", expected \"" + row.text + "\"");
      break;
    case PayloadContent::BtSupervisor:
      if (!interpreter.empty()) out.push_back("dynamically linked for \"" + interpreter + "\", expected static");
      if (!Contains(b, row.text)) out.push_back(std::string("no usage line \"") + row.text + "\"");
      break;
    default:
      if (!Contains(b, row.text)) out.push_back(std::string("no module text \"") + row.text + "\"");
      break;
  }
}

}  // namespace

PayloadBytes GenerateStandIn(const PayloadRow& row) {
  if (row.content == PayloadContent::CopyOfRow) {
    const PayloadRow* source = FindPayloadRow(row.kind, row.sameAs);
    return source != nullptr ? GenerateStandIn(*source) : PayloadBytes(row.size, 0);
  }
  PayloadBytes b(row.size, 0);
  switch (row.content) {
    case PayloadContent::CodePageTable:
      Put16(b, 0, 1, false);
      Put16(b, 2, row.codePage, false);
      Put32(b, 4, row.entryBytes, false);
      if (row.entryBytes >= sizeof kStandInMarker) {
        PutText(b, kTableHeaderBytes, kStandInMarker);
        Fill(b, kTableHeaderBytes + sizeof kStandInMarker, row.number);
      }
      break;
    case PayloadContent::UnicodeMap:
      b[0] = 0x01;
      b[1] = 0x80;
      PutText(b, kMapNameAt, row.text);
      PutText(b, kMapMarkerAt, kStandInMarker);
      Fill(b, kMapFillerAt, row.number);
      break;
    default: {
      const ElfFacts f = FactsOf(row.content);
      std::memcpy(b.data(),
                  "\x7f"
                  "ELF",
                  4);
      b[kElfClass] = kClass32;
      b[kElfData] = f.big ? kBig : kLittle;
      b[kElfIdentVersion] = 1;
      b[kElfOsAbi] = f.osAbi;
      Put16(b, kElfType, f.type, f.big);
      Put16(b, kElfMachine, f.machine, f.big);
      Put32(b, kElfVersion, 1, f.big);
      Put32(b, kElfFlags, f.flags, f.big);
      Put16(b, kElfEhSize, kElfHeaderBytes, f.big);
      if (row.content == PayloadContent::BtClient) {
        // One PT_INTERP program header naming the interpreter text.
        Put32(b, kElfPhOff, kElfHeaderBytes, f.big);
        Put16(b, kElfPhEntSize, kProgramHeaderBytes, f.big);
        Put16(b, kElfPhNum, 1, f.big);
        const size_t ph = kElfHeaderBytes;
        Put32(b, ph, kPtInterp, f.big);
        Put32(b, ph + 4, kTextAt, f.big);
        Put32(b, ph + 16, uint32_t(std::strlen(row.text) + 1), f.big);
        Put32(b, ph + 20, uint32_t(std::strlen(row.text) + 1), f.big);
        Put32(b, ph + 24, 4, f.big);
        Put32(b, ph + 28, 1, f.big);
      }
      PutText(b, kMarkerAt, kStandInMarker);
      PutText(b, kTextAt, row.text);
      Fill(b, kFillerAt, row.number);
      break;
    }
  }
  return b;
}

std::vector<std::string> CheckPayload(const PayloadRow& row, const PayloadBytes& b, const PayloadBytes* copied) {
  std::vector<std::string> out;
  if (b.size() != row.size) out.push_back("size " + std::to_string(b.size()) + ", expected " + std::to_string(row.size));
  switch (row.content) {
    case PayloadContent::CodePageTable:
      if (b.size() < kTableHeaderBytes) {
        out.push_back("shorter than the 8-byte table header");
        break;
      }
      if (Get16(b, 0, false) != 1) out.push_back("table version " + std::to_string(Get16(b, 0, false)) + ", expected 1");
      if (Get16(b, 2, false) != row.codePage)
        out.push_back("code page " + std::to_string(Get16(b, 2, false)) + ", expected " + std::to_string(row.codePage));
      if (Get32(b, 4, false) != row.entryBytes)
        out.push_back("entry area " + std::to_string(Get32(b, 4, false)) + " bytes, expected " + std::to_string(row.entryBytes));
      break;
    case PayloadContent::UnicodeMap: {
      const size_t n = std::strlen(row.text);
      if (b.size() < kMapNameAt + n + 1 || b[0] != 0x01 || b[1] != 0x80 ||
          std::memcmp(b.data() + kMapNameAt, row.text, n) != 0 || b[kMapNameAt + n] != 0)
        out.push_back(std::string("not a unicode map named \"") + row.text + "\"");
      break;
    }
    case PayloadContent::CopyOfRow:
      if (copied == nullptr || *copied != b) out.push_back("not the same bytes as entry " + std::to_string(row.sameAs));
      break;
    default:
      CheckElf(row, b, out);
      break;
  }
  return out;
}

bool IsStandIn(const PayloadBytes& bytes) { return Contains(bytes, kStandInMarker); }
