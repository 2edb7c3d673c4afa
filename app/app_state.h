// Process-wide state that the main window's operations share, beside the
// protocol's CommandBuffers, DeviceList and ShareList and the drive table.
#pragma once
#include <cstddef>
#include <cstring>

// Address text of the device last picked for an operation (at most 15
// characters and the terminator). The add-on installers build their UNC
// paths from it.
extern char CurrentDeviceAddress[16];

// The LAN port combo's selection as last shown (0 LAN1, 1 LAN2).
extern int lanPortIndex;

// What the login dialog asks for: 1 the administrator password (LAN
// settings), 0 share credentials (drive mapping).
extern int LoginForAdmin;

// Copies the text src into the fixed buffer dst of N bytes: cut to N - 1
// characters, terminated, the rest zero-filled. A null src empties dst.
template <size_t N>
inline void CopyTextField(char (&dst)[N], const char* src) {
  size_t n = 0;
  if (src != nullptr)
    while (n < N - 1 && src[n] != '\0') ++n;
  if (n != 0) std::memcpy(dst, src, n);
  std::memset(dst + n, 0, N - n);
}

// Copies at most N bytes of src into dst and zero-fills the rest (no
// terminator when src has N or more characters), as the request fields
// that are sent verbatim want it.
template <size_t N>
inline void CopyPaddedField(char (&dst)[N], const char* src) {
  size_t n = 0;
  if (src != nullptr)
    while (n < N && src[n] != '\0') ++n;
  if (n != 0) std::memcpy(dst, src, n);
  std::memset(dst + n, 0, N - n);
}
