// What the header of each catalogue payload must say, the stand-in files
// the build makes when no device files are supplied, and the check of a
// folder of payload files against the catalogue.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "payload_rows.h"

using PayloadBytes = std::vector<uint8_t>;

// The text every generated stand-in carries, so that nobody mistakes one
// for a device file. The 8-byte tables of the double-byte code pages have
// no room for it: their header facts fix every byte, so the generated file
// is the device's file.
extern const char kStandInMarker[];

// A deterministic stand-in for row: its exact size and every header fact.
// copied is the file of row.sameAs for a CopyOfRow row.
PayloadBytes GenerateStandIn(const PayloadRow& row);

// Mismatches of bytes against row (size and header facts), one text each;
// empty when the file matches. copied: the file of row.sameAs (CopyOfRow).
std::vector<std::string> CheckPayload(const PayloadRow& row, const PayloadBytes& bytes,
                                      const PayloadBytes* copied);

bool IsStandIn(const PayloadBytes& bytes);
