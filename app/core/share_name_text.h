// A device's share name (UTF-8) as the main window shows it: in the ANSI
// code page of the computer.
#pragma once
#include <string>

// The two conversions behind it. The Windows build uses MultiByteToWideChar
// (CP_UTF8) and WideCharToMultiByte (CP_ACP); elsewhere the default decodes
// nothing, so names are shown as the device sent them. Tests and the fuzz
// target install their own.
struct TextCodec {
  virtual ~TextCodec() = default;
  // UTF-8 bytes (length of them, no terminator needed) to UTF-16; empty
  // when the conversion fails or needs more than capacity units.
  virtual std::u16string Utf8ToUtf16(const char* utf8, int length, int capacity) = 0;
  // The first count units in the ANSI code page into out, no terminator;
  // the number of bytes written, 0 when the conversion fails or the result
  // needs more than outSize bytes.
  virtual int Utf16ToAnsi(const char16_t* wide, int count, char* out, int outSize) = 0;
};
TextCodec& SystemTextCodec();

constexpr int kShareNameBytes = 256;  // a share name as the device sends it
constexpr int kWideShareName = 1024;  // the name in UTF-16, at most
constexpr int kAnsiShareName = 256;  // the name shown, with its terminator

// The name converted through codec. Characters the code page lacks become
// its default character; a name too long for kAnsiShareName - 1 bytes is cut
// at a character boundary (never inside a double-byte character or between
// the halves of a surrogate pair). A name that does not convert is shown as
// its bytes, at most kShareNameBytes of them.
std::string ShareNameForDisplay(const char* utf8, TextCodec& codec = SystemTextCodec());
