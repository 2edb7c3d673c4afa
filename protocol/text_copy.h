// Bounded copies of texts into fixed-size fields: the protocol's records,
// CommandBuffers, the program's state and the tools all copy through these.
#pragma once
#include <cstddef>
#include <cstring>

// Length of the text at src, reading at most max bytes.
inline size_t BoundedLength(const char* src, size_t max) {
  size_t n = 0;
  while (n < max && src[n] != 0) ++n;
  return n;
}

// Copies the text at src, read from a field of srcWidth bytes (it may fill
// the field without a terminator), into dst of capacity bytes. The copy is
// cut to capacity - 1 characters and always terminated; the rest of dst is
// zero-filled. A null src empties dst.
inline void CopyField(char* dst, size_t capacity, const char* src, size_t srcWidth) {
  if (capacity == 0) return;
  size_t n = src ? BoundedLength(src, srcWidth) : 0;
  if (n > capacity - 1) n = capacity - 1;
  if (n) std::memcpy(dst, src, n);
  std::memset(dst + n, 0, capacity - n);
}

// Copies the terminated text src into the fixed buffer dst of N bytes: cut
// to N - 1 characters, terminated, the rest zero-filled. A null src
// empties dst.
template <size_t N>
inline void CopyTextField(char (&dst)[N], const char* src) {
  CopyField(dst, N, src, static_cast<size_t>(-1));
}

// Copies at most N bytes of src into dst and zero-fills the rest (no
// terminator when src has N or more characters), as the request fields
// that are sent verbatim want it. A null src empties dst.
template <size_t N>
inline void CopyPaddedField(char (&dst)[N], const char* src) {
  const size_t n = src ? BoundedLength(src, N) : 0;
  if (n) std::memcpy(dst, src, n);
  std::memset(dst + n, 0, N - n);
}
