// Real mouse and keyboard input through SendInput: the program under test
// sees the same hardware messages as from a person at the keyboard.
#include <cctype>
#include <cstdlib>

#include "driver.h"

namespace uidriver {

namespace {

void Send(INPUT* inputs, UINT count) {
  if (SendInput(count, inputs, sizeof(INPUT)) != count)
    Fail("input", "SendInput failed (error " + std::to_string(GetLastError()) + ")");
}

INPUT MouseInput(DWORD flags, LONG dx = 0, LONG dy = 0) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dx = dx;
  in.mi.dy = dy;
  in.mi.dwFlags = flags;
  return in;
}

// Absolute coordinates are 0..65535 across the primary screen; round up so
// that the system's conversion back lands on the wanted pixel.
LONG Normalise(LONG v, int extent) {
  if (extent <= 1) return 0;
  return static_cast<LONG>((static_cast<long long>(v) * 65536 + extent - 1) / extent);
}

INPUT KeyInput(WORD vk, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  switch (vk) {
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
    case VK_HOME:
    case VK_END:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_INSERT:
    case VK_DELETE:
      in.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
      break;
    default:
      break;
  }
  return in;
}

}  // namespace

POINT CentreOf(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

void MouseMove(POINT pt) {
  int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  INPUT move = MouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, Normalise(pt.x, w), Normalise(pt.y, h));
  Send(&move, 1);
  POINT now{};
  GetCursorPos(&now);
  if (now.x != pt.x || now.y != pt.y) {
    // Rounding differs between systems: put the cursor exactly there.
    SetCursorPos(pt.x, pt.y);
    INPUT nudge = MouseInput(MOUSEEVENTF_MOVE, 0, 0);
    Send(&nudge, 1);
  }
  Sleep(15);
}

void MouseClick(POINT pt, const RECT& area, bool right, bool twice) {
  DWORD now = GetTickCount();
  int cx = GetSystemMetrics(SM_CXDOUBLECLK), cy = GetSystemMetrics(SM_CYDOUBLECLK);
  if (g.lastClickTick && now - g.lastClickTick < GetDoubleClickTime() + 50 && std::abs(pt.x - g.lastClick.x) <= cx &&
      std::abs(pt.y - g.lastClick.y) <= cy) {
    // Too close to the last click: the system would make a double click
    // of it. Move a little within the area, or wait the time out.
    if (pt.x + cx + 1 < area.right) {
      pt.x += cx + 1;
    } else if (pt.x - cx - 1 >= area.left) {
      pt.x -= cx + 1;
    } else if (pt.y + cy + 1 < area.bottom) {
      pt.y += cy + 1;
    } else if (pt.y - cy - 1 >= area.top) {
      pt.y -= cy + 1;
    } else {
      Sleep(static_cast<DWORD>(GetDoubleClickTime() + 60 - (now - g.lastClickTick)));
    }
  }
  MouseMove(pt);
  DWORD down = right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
  DWORD up = right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
  for (int i = 0; i < (twice ? 2 : 1); ++i) {
    INPUT press = MouseInput(down);
    Send(&press, 1);
    Sleep(30);
    INPUT release = MouseInput(up);
    Send(&release, 1);
    Sleep(twice && i == 0 ? 30 : 20);
  }
  g.lastClick = pt;
  g.lastClickTick = twice ? 0 : GetTickCount();
}

void KeyPress(WORD vk, bool shift, bool ctrl, bool alt) {
  INPUT seq[8];
  UINT n = 0;
  if (shift) seq[n++] = KeyInput(VK_SHIFT, false);
  if (ctrl) seq[n++] = KeyInput(VK_CONTROL, false);
  if (alt) seq[n++] = KeyInput(VK_MENU, false);
  seq[n++] = KeyInput(vk, false);
  seq[n++] = KeyInput(vk, true);
  if (alt) seq[n++] = KeyInput(VK_MENU, true);
  if (ctrl) seq[n++] = KeyInput(VK_CONTROL, true);
  if (shift) seq[n++] = KeyInput(VK_SHIFT, true);
  Send(seq, n);
  Sleep(4);
}

namespace {

void TypeChar(char c) {
  SHORT scan = VkKeyScanA(c);
  if (scan != -1 && (scan & 0xff) != 0xff) {
    BYTE mods = static_cast<BYTE>(scan >> 8);
    KeyPress(static_cast<WORD>(scan & 0xff), mods & 1, (mods & 2) != 0, (mods & 4) != 0);
    return;
  }
  // No key on this layout makes the character: send it as a character.
  wchar_t wc = 0;
  MultiByteToWideChar(CP_ACP, 0, &c, 1, &wc, 1);
  INPUT seq[2]{};
  for (int i = 0; i < 2; ++i) {
    seq[i].type = INPUT_KEYBOARD;
    seq[i].ki.wScan = wc;
    seq[i].ki.dwFlags = KEYEVENTF_UNICODE | (i ? KEYEVENTF_KEYUP : 0);
  }
  Send(seq, 2);
  Sleep(4);
}

struct NamedKey {
  const char* name;
  WORD vk;
};

const NamedKey kKeys[] = {
    {"ENTER", VK_RETURN},
    {"RETURN", VK_RETURN},
    {"ESC", VK_ESCAPE},
    {"ESCAPE", VK_ESCAPE},
    {"TAB", VK_TAB},
    {"SPACE", VK_SPACE},
    {"BACK", VK_BACK},
    {"BACKSPACE", VK_BACK},
    {"DEL", VK_DELETE},
    {"DELETE", VK_DELETE},
    {"INS", VK_INSERT},
    {"INSERT", VK_INSERT},
    {"HOME", VK_HOME},
    {"END", VK_END},
    {"LEFT", VK_LEFT},
    {"RIGHT", VK_RIGHT},
    {"UP", VK_UP},
    {"DOWN", VK_DOWN},
    {"PGUP", VK_PRIOR},
    {"PGDN", VK_NEXT},
    {"F1", VK_F1},
    {"F2", VK_F2},
    {"F3", VK_F3},
    {"F4", VK_F4},
    {"F5", VK_F5},
    {"F6", VK_F6},
    {"F7", VK_F7},
    {"F8", VK_F8},
    {"F9", VK_F9},
    {"F10", VK_F10},
    {"F11", VK_F11},
    {"F12", VK_F12},
};

void SendNamedKey(const std::string& inner) {
  // inner: [MOD+]...NAME[ COUNT], e.g. "SHIFT+TAB", "DOWN 3", "CTRL+a".
  std::string body = inner;
  int count = 1;
  size_t space = body.rfind(' ');
  if (space != std::string::npos) {
    count = static_cast<int>(ParseInt(body.substr(space + 1), "key repeat count"));
    body.resize(space);
  }
  bool shift = false, ctrl = false, alt = false;
  size_t plus;
  while ((plus = body.find('+')) != std::string::npos && plus + 1 < body.size()) {
    std::string mod = body.substr(0, plus);
    if (mod == "SHIFT")
      shift = true;
    else if (mod == "CTRL")
      ctrl = true;
    else if (mod == "ALT")
      alt = true;
    else
      Fail("bad-args", "unknown modifier " + mod + " in {" + inner + "}");
    body = body.substr(plus + 1);
  }
  WORD vk = 0;
  for (const NamedKey& k : kKeys)
    if (body == k.name) vk = k.vk;
  if (!vk && body.size() == 1) {
    SHORT scan = VkKeyScanA(body[0]);
    if (scan == -1) Fail("bad-args", "no key for '" + body + "'");
    vk = static_cast<WORD>(scan & 0xff);
    if (scan & 0x100) shift = true;
  }
  if (!vk) Fail("bad-args", "unknown key {" + inner + "}");
  for (int i = 0; i < count; ++i) KeyPress(vk, shift, ctrl, alt);
}

}  // namespace

void TypeText(const std::string& text) {
  for (char c : text) TypeChar(c);
}

void SendKeys(const std::string& keys) {
  for (size_t i = 0; i < keys.size(); ++i) {
    if (keys[i] != '{') {
      TypeChar(keys[i]);
      continue;
    }
    size_t close = keys.find('}', i + 2);  // "{}}" is a closing brace
    if (close == std::string::npos) Fail("bad-args", "unclosed { in key sequence");
    std::string inner = keys.substr(i + 1, close - i - 1);
    if (inner == "{" || inner == "}")
      TypeChar(inner[0]);
    else
      SendNamedKey(inner);
    i = close;
  }
}

}  // namespace uidriver
