// The payload catalogue: the add-on files the program carries as resources
// of types "CODEPAGE" and "BT", read in place from the program image.
#pragma once
#include <cstddef>
#include <cstdint>

struct PayloadView {
  const uint8_t* data = nullptr;  // inside the loaded image; never freed
  size_t size = 0;
  bool found() const { return data != nullptr; }
};

// The payload of (kind, number), the kind compared without regard to case
// ("Codepage" finds "CODEPAGE"). Not found (data null) for a kind or number
// the catalogue does not hold, or a program built without its payloads.
PayloadView LookupPayload(const char* kind, int number);
