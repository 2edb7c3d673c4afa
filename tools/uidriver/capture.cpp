// Screen pictures: window or screen captures written as BMP files, and the
// recognition of a message box's icon from its pixels.
#include <cstdio>
#include <cstdlib>

#include "bmp_file.h"
#include "callbacks.h"
#include "driver.h"

namespace uidriver {

namespace {

// A 32-bit top-down DIB section selected into a memory DC.
struct Canvas {
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ old = nullptr;
  uint32_t* bits = nullptr;
  int width = 0, height = 0;

  Canvas(int w, int h) : width(w), height(h) {
    HDC screen = GetDC(nullptr);
    dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* p = nullptr;
    bitmap = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &p, nullptr, 0);
    if (!dc || !bitmap) Fail("capture", "cannot create a drawing surface");
    bits = static_cast<uint32_t*>(p);
    old = SelectObject(dc, bitmap);
  }
  // Owns the DC and bitmap: a copy would free them twice.
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;
  ~Canvas() {
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  Image ToImage() const {
    GdiFlush();
    Image img;
    img.width = width;
    img.height = height;
    img.pixels.assign(bits, bits + static_cast<size_t>(width) * height);
    for (uint32_t& px : img.pixels) px &= 0xffffff;
    return img;
  }
};

long long Difference(const Image& a, const Image& b) {
  long long sum = 0;
  for (size_t i = 0; i < a.pixels.size() && i < b.pixels.size(); ++i) {
    uint32_t p = a.pixels[i], q = b.pixels[i];
    for (int shift = 0; shift < 24; shift += 8)
      sum += std::abs(static_cast<int>((p >> shift) & 0xff) - static_cast<int>((q >> shift) & 0xff));
  }
  return sum;
}

}  // namespace

Image CaptureScreen(const RECT& area) {
  int w = area.right - area.left, h = area.bottom - area.top;
  if (w <= 0 || h <= 0) Fail("capture", "empty area " + RectText(area));
  Canvas canvas(w, h);
  HDC screen = GetDC(nullptr);
  BOOL ok = BitBlt(canvas.dc, 0, 0, w, h, screen, area.left, area.top, SRCCOPY | CAPTUREBLT);
  ReleaseDC(nullptr, screen);
  if (!ok) Fail("capture", "BitBlt from the screen failed");
  return canvas.ToImage();
}

std::wstring ToWindowsPath(const std::string& path) {
  if (!path.empty() && path[0] == '/') {
    typedef WCHAR*(CDECL * DosName)(const char*);
    DosName toDos = CdeclExport<DosName>(GetModuleHandleA("kernel32.dll"), "wine_get_dos_file_name");
    if (toDos) {
      if (WCHAR* dos = toDos(path.c_str())) {
        std::wstring out = dos;
        HeapFree(GetProcessHeap(), 0, dos);
        return out;
      }
    }
    std::wstring out = L"Z:";
    for (char c : path) out += (c == '/') ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c));
    return out;
  }
  std::wstring out;
  for (char c : path) out += static_cast<wchar_t>(static_cast<unsigned char>(c));
  return out;
}

void WriteBmp(const std::string& path, const Image& image) {
  const std::vector<uint8_t> data = bmp::Encode(image.width, image.height, image.pixels);
  if (data.empty()) Fail("io", "cannot encode a " + std::to_string(image.width) + "x" +
                                   std::to_string(image.height) + " picture for " + path);
  HANDLE f = CreateFileW(ToWindowsPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE)
    Fail("io", "cannot create " + path + " (error " + std::to_string(GetLastError()) + ")");
  DWORD done = 0;
  bool ok = WriteFile(f, data.data(), static_cast<DWORD>(data.size()), &done, nullptr) && done == data.size();
  CloseHandle(f);
  if (!ok) Fail("io", "cannot write " + path);
}

std::string ClassifyMessageBoxIcon(HWND box) {
  HWND iconStatic = nullptr;
  for (HWND c : ChildWindows(box, false)) {
    if (ClassOf(c) == "Static" && (GetWindowLongA(c, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
        IsWindowVisible(c)) {
      iconStatic = c;
      break;
    }
  }
  if (!iconStatic || !SendTo(iconStatic, STM_GETICON, 0, 0)) return "none";

  // Icon handles belong to the process that loaded them, so the icon is
  // recognised by its picture: each system icon is drawn here on the
  // static's own background and the closest one wins.
  RECT area = ClientRectOnScreen(iconStatic);
  Image shown = CaptureScreen(area);
  const uint32_t background = shown.pixels.empty() ? 0 : shown.pixels[0];
  struct Candidate {
    const char* name;
    LPCSTR id;
  } const candidates[] = {
      {"hand", IDI_HAND},
      {"exclamation", IDI_EXCLAMATION},
      {"information", IDI_ASTERISK},
      {"question", IDI_QUESTION},
  };
  std::string best = "unknown";
  long long bestDiff = -1;
  const int w = area.right - area.left, h = area.bottom - area.top;
  for (const Candidate& cand : candidates) {
    HICON icon = LoadIconA(nullptr, cand.id);
    if (!icon) continue;
    Canvas canvas(w, h);
    uint32_t bg = background;
    for (int i = 0; i < w * h; ++i) canvas.bits[i] = bg;
    DrawIconEx(canvas.dc, 0, 0, icon, w, h, 0, nullptr, DI_NORMAL);
    long long diff = Difference(shown, canvas.ToImage());
    if (bestDiff < 0 || diff < bestDiff) {
      bestDiff = diff;
      best = cand.name;
    }
  }
  // More than a quarter of full scale on average: none of them.
  if (bestDiff < 0 || bestDiff > static_cast<long long>(w) * h * 3 * 64) return "unknown";
  return best;
}

}  // namespace uidriver
