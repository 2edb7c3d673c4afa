// Function pointers that cross into Windows, checked by the compiler.
//
// On 32-bit Windows a callback's calling convention is part of its type:
// a window procedure must be __stdcall (CALLBACK), and one compiled as
// __cdecl leaves the stack unbalanced on every message. Handing a function
// to Windows with its own pointer type (WNDPROC, DLGPROC, a thread routine)
// lets the compiler check that; a cast to an integer or through void* would
// hide a mismatch. The helpers here are the only places where such a
// pointer becomes another type, and each first takes it as the type
// Windows expects. On 64-bit Windows there is one convention and every
// check passes.
#pragma once
#include <windows.h>

#include <type_traits>

// True for a pointer to a function with the Windows calling convention.
template <typename Fn>
struct IsWinApiFunction : std::false_type {};
template <typename R, typename... Args>
struct IsWinApiFunction<R(WINAPI*)(Args...)> : std::true_type {};

// The 32-bit compiler tells the conventions apart; the trait relies on it.
#ifndef _WIN64
static_assert(!IsWinApiFunction<int (*)(int)>::value, "a __cdecl function is not a Windows callback");
#endif
static_assert(IsWinApiFunction<WNDPROC>::value && IsWinApiFunction<DLGPROC>::value &&
                  IsWinApiFunction<LPTHREAD_START_ROUTINE>::value && IsWinApiFunction<TIMERPROC>::value,
              "Windows' callback types are WINAPI");

// A window procedure as the value that SetWindowLongPtrA(GWLP_WNDPROC) takes.
inline LONG_PTR WndProcValue(WNDPROC proc) { return reinterpret_cast<LONG_PTR>(proc); }

// A DLL's exported Windows function, as the pointer type it is declared
// with; null when the DLL does not export it. Fn must be a WINAPI pointer.
template <typename Fn>
Fn WinApiExport(HMODULE module, const char* name) {
  static_assert(IsWinApiFunction<Fn>::value, "Windows exports use the WINAPI convention");
  // FARPROC -> void* -> Fn: the one cast, after the convention is checked.
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

// A C-convention export, for the one such function read here: Wine's
// wine_get_dos_file_name (kernel32), which the UI driver uses when present.
template <typename Fn>
Fn CdeclExport(HMODULE module, const char* name) {
#ifndef _WIN64
  static_assert(!IsWinApiFunction<Fn>::value, "declare a C-convention export as CDECL");
#endif
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}
