// Request builders: the discovery request and the query and set requests of
// the device commands, shared by discovery, the commands and the tests.
#pragma once
#include <cstddef>
#include <cstdint>
#include "packet.h"

// buffer holds kPacketBuffer bytes and is cleared first; data is cut to
// fit it. identity is the device's MAC (6 bytes) then its address octets.

// Discovery request: type 1 and ClientId. Returns its length (11).
size_t BuildDiscoverRequest(uint8_t* buffer);
// Query request: header for the device identity, code, data. Returns its
// length (28 + n).
size_t BuildQueryRequest(uint8_t* buffer, const uint8_t identity[10], CommandCode code,
                         const void* data, size_t n);
// Set request: netmask and gateway texts cut to 16 bytes (nullptr leaves
// zeros), data. Returns its length (60 + n).
size_t BuildSetRequest(uint8_t* buffer, const uint8_t identity[10], CommandCode code,
                       const char* netmask, const char* gateway, const void* data, size_t n);
