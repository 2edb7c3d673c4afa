// Bounded text copies into the protocol's fixed-size fields. Internal to
// the protocol library.
#pragma once
#include <cstddef>
#include <cstring>

namespace protocol_detail {

// Length of the text at src, reading at most max bytes.
inline size_t BoundedLength(const char* src, size_t max) {
    size_t n = 0;
    while (n < max && src[n] != 0) ++n;
    return n;
}

// Copies the text at src, read from a field of srcWidth bytes (it may fill
// the field without a terminator), into dst of capacity bytes. The copy is
// cut to capacity - 1 characters and always terminated; the rest of dst is
// zero-filled.
inline void CopyField(char* dst, size_t capacity, const char* src, size_t srcWidth) {
    if (capacity == 0) return;
    size_t n = src ? BoundedLength(src, srcWidth) : 0;
    if (n > capacity - 1) n = capacity - 1;
    if (n) std::memcpy(dst, src, n);
    std::memset(dst + n, 0, capacity - n);
}

// CopyField for a terminated source text of any length.
inline void CopyText(char* dst, size_t capacity, const char* src) {
    CopyField(dst, capacity, src, static_cast<size_t>(-1));
}

template <size_t N>
inline void CopyText(char (&dst)[N], const char* src) {
    CopyText(dst, N, src);
}

}  // namespace protocol_detail
