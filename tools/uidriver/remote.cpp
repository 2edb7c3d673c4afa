// Buffers in the address space of the program under test. Messages of the
// common controls (list views, headers, IP address controls) carry raw
// pointers that neither Windows nor Wine translate between processes, so
// their structures and texts must live in the target process.
#include "driver.h"

namespace uidriver {

RemoteBuffer::RemoteBuffer(HWND owner, size_t size) : m_size(size) {
  DWORD pid = ProcessOf(owner);
  if (!pid) Fail("gone", "window " + HandleText(owner) + " has no process");
  m_process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE |
                              PROCESS_QUERY_INFORMATION,
                          FALSE, pid);
  if (!m_process) Fail("access", "cannot open process " + std::to_string(pid) + " (error " +
                                     std::to_string(GetLastError()) + ")");
  // The structures written here are laid out for this driver's own word
  // size: a 64-bit driver cannot fill them for a 32-bit program, or back.
  BOOL selfWow = FALSE, targetWow = FALSE;
  IsWow64Process(GetCurrentProcess(), &selfWow);
  IsWow64Process(m_process, &targetWow);
  if (selfWow != targetWow) {
    CloseHandle(m_process);
    m_process = nullptr;
    Fail("bitness",
         "the program and the driver differ in word size (32/64 bit); use the driver of the "
         "program's build");
  }
  m_base = VirtualAllocEx(m_process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  if (!m_base) {
    DWORD err = GetLastError();
    CloseHandle(m_process);
    Fail("access", "VirtualAllocEx failed (error " + std::to_string(err) + ")");
  }
}

RemoteBuffer::~RemoteBuffer() {
  if (m_base) VirtualFreeEx(m_process, m_base, 0, MEM_RELEASE);
  if (m_process) CloseHandle(m_process);
}

void* RemoteBuffer::Address(size_t offset) const { return static_cast<char*>(m_base) + offset; }

void RemoteBuffer::Write(const void* data, size_t size, size_t offset) {
  if (offset + size > m_size) Fail("internal", "remote write past the buffer");
  SIZE_T done = 0;
  if (!WriteProcessMemory(m_process, Address(offset), data, size, &done) || done != size)
    Fail("access", "WriteProcessMemory failed (error " + std::to_string(GetLastError()) + ")");
}

void RemoteBuffer::Read(void* data, size_t size, size_t offset) const {
  if (offset + size > m_size) Fail("internal", "remote read past the buffer");
  SIZE_T done = 0;
  if (!ReadProcessMemory(m_process, Address(offset), data, size, &done) || done != size)
    Fail("access", "ReadProcessMemory failed (error " + std::to_string(GetLastError()) + ")");
}

}  // namespace uidriver
