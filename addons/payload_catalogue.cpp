#include "payload_catalogue.h"

#include "framework.h"
#include "payload_rows.h"

PayloadView LookupPayload(const char* kind, int number) {
  // Resource type names are matched in the catalogue's own spelling.
  const char* canonical = CanonicalPayloadKind(kind);
  if (canonical == nullptr || number <= 0 || number > 0xFFFF) return {};
  HMODULE module = AfxGetResourceHandle();
  HRSRC found = ::FindResourceA(module, MAKEINTRESOURCEA(number), canonical);
  if (found == nullptr) return {};
  HGLOBAL loaded = ::LoadResource(module, found);
  if (loaded == nullptr) return {};
  const void* data = ::LockResource(loaded);
  if (data == nullptr) return {};
  return {static_cast<const uint8_t*>(data), static_cast<size_t>(::SizeofResource(module, found))};
}
