// Device discovery and the process-wide list of discovered devices.
#pragma once
#include <cstdint>
#include "packet.h"

struct NasDevice {
  char name[256];
  char ipText[kAddressText];
  char netmask[kAddressText];
  char gateway[kAddressText];
  char dhcpFlag[8];
  uint8_t mac[6];
  uint8_t ipBytes[4];
  char model[34];
  int interfaceIndex;
  NasDevice* next;
};

struct DeviceListRecord {
  int count;
  NasDevice* head;
  NasDevice* tail;
};
extern DeviceListRecord DeviceList;

// The class and subclass of the storage devices, which the program and
// nexora-cli discover.
constexpr unsigned kStorageDeviceClass = 3;
constexpr unsigned kStorageDeviceSubclass = 3;

// Rebuilds DeviceList: one request through every interface, a 50 ms pause,
// then one listening window of 32 cycles for all interfaces together: a wait
// of up to 10 ms for any receive socket, every datagram then waiting on
// each (more only while the cycle's 10 ms last), a 20 ms pause. Records
// stand by interface, then by arrival; the first reply per address wins.
// Class or subclass 0 means any. A reply shorter than its layout's fixed
// part is ignored; its name is bounded to the bytes received and to 255
// characters.
void DiscoverDevices(unsigned deviceClass, unsigned deviceSubclass);
NasDevice* FindDeviceByAddress(const char* ipText);
bool IsDeviceListEmpty();
// identity: 6 MAC bytes then 4 address octets.
void AppendDevice(const char* name, const char* ipText, const char* netmask,
                  const char* gateway, const char* dhcpFlag, const uint8_t identity[10],
                  const char* model, int interfaceIndex);
void ClearDeviceList();
void FreeDeviceRecords();
