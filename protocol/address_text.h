// Dotted-decimal address texts: the one parser of the protocol, the
// command-line client and the device simulator.
#pragma once
#include <cstdint>

// Four decimal fields of one to three digits joined by '.', with nothing
// before or after ("192.168.000.300" reads 192, 168, 0, 300). A field may
// exceed 255, as an address control's field does before the rules check
// it. False (fields untouched) for any other text or a null one.
bool ParseAddressFields(const char* text, int fields[4]);

// Dotted-decimal IPv4 text ("a.b.c.d", four decimal numbers 0..255 of one
// to three digits) into four octets, first octet first. False (octets
// untouched) for any other text.
bool ParseAddressText(const char* text, uint8_t octets[4]);
