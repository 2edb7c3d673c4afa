// Buffers in the address space of the program under test. Messages of the
// common controls (list views, headers, IP address controls) carry raw
// pointers that neither Windows nor Wine translate between processes, so
// their structures and texts must live in the target process.
#include "driver.h"

namespace uidriver {

RemoteBuffer::RemoteBuffer(HWND owner, size_t size) : size_(size) {
  DWORD pid = ProcessOf(owner);
  if (!pid) Fail("gone", "window " + HandleText(owner) + " has no process");
  process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE |
                             PROCESS_QUERY_INFORMATION,
                         FALSE, pid);
  if (!process_) Fail("access", "cannot open process " + std::to_string(pid) + " (error " +
                                    std::to_string(GetLastError()) + ")");
  // The structures written here are laid out for this driver's own word
  // size: a 64-bit driver cannot fill them for a 32-bit program, or back.
  BOOL selfWow = FALSE, targetWow = FALSE;
  IsWow64Process(GetCurrentProcess(), &selfWow);
  IsWow64Process(process_, &targetWow);
  if (selfWow != targetWow) {
    CloseHandle(process_);
    process_ = nullptr;
    Fail("bitness",
         "the program and the driver differ in word size (32/64 bit); use the driver of the "
         "program's build");
  }
  base_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  if (!base_) {
    DWORD err = GetLastError();
    CloseHandle(process_);
    Fail("access", "VirtualAllocEx failed (error " + std::to_string(err) + ")");
  }
}

RemoteBuffer::~RemoteBuffer() {
  if (base_) VirtualFreeEx(process_, base_, 0, MEM_RELEASE);
  if (process_) CloseHandle(process_);
}

void* RemoteBuffer::Address(size_t offset) const { return static_cast<char*>(base_) + offset; }

void RemoteBuffer::Write(const void* data, size_t size, size_t offset) {
  if (offset + size > size_) Fail("internal", "remote write past the buffer");
  SIZE_T done = 0;
  if (!WriteProcessMemory(process_, Address(offset), data, size, &done) || done != size)
    Fail("access", "WriteProcessMemory failed (error " + std::to_string(GetLastError()) + ")");
}

void RemoteBuffer::Read(void* data, size_t size, size_t offset) const {
  if (offset + size > size_) Fail("internal", "remote read past the buffer");
  SIZE_T done = 0;
  if (!ReadProcessMemory(process_, Address(offset), data, size, &done) || done != size)
    Fail("access", "ReadProcessMemory failed (error " + std::to_string(GetLastError()) + ")");
}

}  // namespace uidriver
