// Discovery acceptance through DiscoverDevices: the fuzzer's bytes are the
// datagrams (types 2, 7, 8 and any other) and receive faults that one
// interface hears. Every record's texts stay terminated in their fields
// and no address is listed twice.
#include <cstdlib>
#include <cstring>

#include "discovery.h"
#include "fuzz_sockets.h"
#include "text_copy.h"

namespace {

template <size_t N>
void CheckTerminated(const char (&field)[N]) {
  if (BoundedLength(field, N) >= N) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  FuzzedDataProvider data(bytes, size);
  fuzz::Install();
  const unsigned deviceClass = data.ConsumeIntegral<uint8_t>();
  const unsigned deviceSubclass = data.ConsumeIntegral<uint8_t>();
  fuzz::FillScript(data, data.ConsumeBool());

  DiscoverDevices(deviceClass, deviceSubclass);

  int count = 0;
  for (NasDevice* d = DeviceList.head; d; d = d->next, ++count) {
    CheckTerminated(d->name);
    CheckTerminated(d->ipText);
    CheckTerminated(d->netmask);
    CheckTerminated(d->gateway);
    CheckTerminated(d->dhcpFlag);
    CheckTerminated(d->model);
    for (NasDevice* e = d->next; e; e = e->next)
      if (std::strcmp(d->ipText, e->ipText) == 0) std::abort();
  }
  if (count != DeviceList.count) std::abort();
  FreeDeviceRecords();
  return 0;
}
