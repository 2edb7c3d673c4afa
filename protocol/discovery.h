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

void DiscoverDevices(unsigned deviceClass, unsigned deviceSubclass);
NasDevice* FindDeviceByAddress(const char* ipText);
bool IsDeviceListEmpty();
// identity: 6 MAC bytes then 4 address octets.
void AppendDevice(const char* name, const char* ipText, const char* netmask,
                  const char* gateway, const char* dhcpFlag, const uint8_t identity[10],
                  const char* model, int interfaceIndex);
void ClearDeviceList();
void FreeDeviceRecords();
