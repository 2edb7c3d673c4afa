#include "address_text.h"

bool ParseAddressFields(const char* text, int fields[4]) {
  if (!text) return false;
  int parsed[4];
  const char* p = text;
  for (int part = 0; part < 4; ++part) {
    if (part > 0) {
      if (*p != '.') return false;
      ++p;
    }
    int digits = 0;
    int value = 0;
    while (*p >= '0' && *p <= '9') {
      if (++digits > 3) return false;
      value = value * 10 + (*p - '0');
      ++p;
    }
    if (digits == 0) return false;
    parsed[part] = value;
  }
  if (*p != 0) return false;
  for (int i = 0; i < 4; ++i) fields[i] = parsed[i];
  return true;
}

bool ParseAddressText(const char* text, uint8_t octets[4]) {
  int fields[4];
  if (!ParseAddressFields(text, fields)) return false;
  for (int v : fields)
    if (v > 255) return false;
  for (int i = 0; i < 4; ++i) octets[i] = static_cast<uint8_t>(fields[i]);
  return true;
}
