// The rows of the payload catalogue: every add-on file the program carries,
// the name it is written under on the device and what its header says.
// Portable: the program, the payload generator and the checker share it.
#pragma once
#include <cstddef>
#include <cstdint>

enum class PayloadContent {
  CodePageTable,  // little-endian: version 1, code page, entry-area length, entries
  UnicodeMap,  // 01 80, the code-page name in ASCII, zero-padded
  PpcModule,  // ELF32 big-endian PowerPC relocatable, kernel 2.4 module
  ArmModule,  // ELF32 little-endian ARM relocatable, kernel 2.6 module
  BtClient,  // ELF32 little-endian ARM executable, dynamically linked
  BtSupervisor,  // ELF32 little-endian ARM executable, statically linked
  CopyOfRow,  // byte for byte the file of row `sameAs`
};

struct PayloadRow {
  const char* kind;  // "CODEPAGE" or "BT"
  uint16_t number;  // resource number
  uint32_t size;  // bytes
  const char* writtenAs;  // file name on the device
  PayloadContent content;
  uint16_t codePage;  // CodePageTable: its number
  uint32_t entryBytes;  // CodePageTable: length of the entry area
  const char* text;  // UnicodeMap: the name; modules: the version text
  uint16_t sameAs;  // CopyOfRow: the row copied
};

extern const char kCodePageKind[];  // "CODEPAGE"
extern const char kBtKind[];  // "BT"

extern const PayloadRow kPayloadRows[];
extern const size_t kPayloadRowCount;

// The row of (kind, number), the kind compared without regard to case;
// null when the catalogue has no such row.
const PayloadRow* FindPayloadRow(const char* kind, int number);
// The catalogue's own spelling of kind ("CODEPAGE" for "Codepage"), or null.
const char* CanonicalPayloadKind(const char* kind);
