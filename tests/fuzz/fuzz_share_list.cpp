// The share list split: one stamped query reply whose text is the fuzzer's
// bytes. Every stored name is non-empty, holds no ':', is at most 255
// characters and appears once.
#include <cstdlib>
#include <cstring>

#include "commands.h"
#include "fuzz_sockets.h"
#include "packet.h"
#include "transport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  using namespace ProtocolPacket;
  fuzz::Install();
  fuzz::SelectOneDevice();
  fuzz::Event reply;
  reply.bytes.assign(kQueryData, 0);
  reply.bytes[kType] = kQueryReply;
  std::memcpy(&reply.bytes[kClientId], ClientId, 6);
  std::memcpy(&reply.bytes[kDeviceAddress], fuzz::kDeviceOctets, 4);
  reply.bytes[kCommand] = kCodeShareList;
  reply.bytes.insert(reply.bytes.end(), bytes, bytes + size);
  fuzz::ActiveSocketLayer().script.push_back(reply);

  if (QueryShareList() != 1) std::abort();  // a reply of the right type always counts
  for (ShareEntry* e = ShareList.head; e; e = e->next) {
    const size_t n = strnlen(e->name, sizeof e->name);
    if (n == 0 || n >= sizeof e->name || std::memchr(e->name, ':', n)) std::abort();
    for (ShareEntry* f = e->next; f; f = f->next)
      if (std::strcmp(e->name, f->name) == 0) std::abort();
  }
  ClearShareList();
  return 0;
}
