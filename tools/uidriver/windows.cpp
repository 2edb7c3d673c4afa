// Finding and describing the windows of the program under test.
#include <algorithm>
#include <cstdlib>

#include "driver.h"

namespace uidriver {

Session g;

std::string ClassOf(HWND hwnd) {
  char buf[256] = "";
  GetClassNameA(hwnd, buf, sizeof buf);
  return buf;
}

std::string TextOf(HWND hwnd) {
  LRESULT len = SendTo(hwnd, WM_GETTEXTLENGTH, 0, 0);
  if (len < 0) len = 0;
  std::string text(static_cast<size_t>(len) + 1, '\0');
  LRESULT got = SendTo(hwnd, WM_GETTEXT, static_cast<WPARAM>(text.size()), reinterpret_cast<LPARAM>(&text[0]));
  text.resize(got > 0 ? std::min<size_t>(static_cast<size_t>(got), static_cast<size_t>(len)) : 0);
  return text;
}

std::string QuickTextOf(HWND hwnd) {
  // A thread that just let a text request time out is not asked again for
  // a moment, so that a listing of a busy window's controls stays quick.
  static DWORD busyThread = 0, busySince = 0;
  const DWORD thread = ThreadOf(hwnd);
  if (!(thread == busyThread && GetTickCount() - busySince < 2000)) {
    DWORD_PTR len = 0;
    if (SendMessageTimeoutA(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 200, &len)) {
      std::string text(static_cast<size_t>(len) + 1, '\0');
      DWORD_PTR got = 0;
      if (SendMessageTimeoutA(hwnd, WM_GETTEXT, static_cast<WPARAM>(text.size()),
                              reinterpret_cast<LPARAM>(&text[0]), SMTO_NORMAL, 200, &got)) {
        text.resize(std::min<size_t>(static_cast<size_t>(got), len));
        return text;
      }
    }
    busyThread = thread;
    busySince = GetTickCount();
  }
  char buf[1024] = "";
  GetWindowTextA(hwnd, buf, sizeof buf);
  return buf;
}

std::string StripMnemonic(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&') {
      if (i + 1 < text.size() && text[i + 1] == '&') {
        out += '&';
        ++i;
      }
      continue;
    }
    out += text[i];
  }
  return out;
}

DWORD ProcessOf(HWND hwnd) {
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  return pid;
}

DWORD ThreadOf(HWND hwnd) { return GetWindowThreadProcessId(hwnd, nullptr); }

namespace {

struct EnumState {
  DWORD pid;
  std::vector<HWND>* out;
};

BOOL CALLBACK CollectTopLevel(HWND hwnd, LPARAM lp) {
  EnumState* s = reinterpret_cast<EnumState*>(lp);
  if (s->pid == 0 || ProcessOf(hwnd) == s->pid) s->out->push_back(hwnd);
  return TRUE;
}

BOOL CALLBACK CollectChild(HWND hwnd, LPARAM lp) {
  reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
  return TRUE;
}

int OwnerDepth(HWND hwnd) {
  int depth = 0;
  for (HWND o = GetWindow(hwnd, GW_OWNER); o && depth < 64; o = GetWindow(o, GW_OWNER)) ++depth;
  return depth;
}

}  // namespace

std::vector<HWND> TopLevelWindows(DWORD pid) {
  std::vector<HWND> out;
  EnumState s{pid, &out};
  EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&s));
  return out;
}

std::vector<HWND> ChildWindows(HWND parent, bool descendants) {
  std::vector<HWND> out;
  if (descendants) {
    EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&out));
  } else {
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) out.push_back(c);
  }
  return out;
}

RECT WindowRectOf(HWND hwnd) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  return r;
}

RECT ClientRectOnScreen(HWND hwnd) {
  RECT r{};
  GetClientRect(hwnd, &r);
  POINT tl{r.left, r.top}, br{r.right, r.bottom};
  ClientToScreen(hwnd, &tl);
  ClientToScreen(hwnd, &br);
  return RECT{tl.x, tl.y, br.x, br.y};
}

bool IsMessageBoxLike(HWND hwnd) {
  // A system message box: one text static (id 0xFFFF), perhaps an icon,
  // and push buttons with standard ids and texts. Dialogs of the program
  // have more statics, other controls, or owner-drawn skinned buttons.
  if (ClassOf(hwnd) != "#32770") return false;
  int texts = 0, buttons = 0;
  for (HWND c : ChildWindows(hwnd, false)) {
    if (!IsWindowVisible(c)) continue;
    std::string cls = ClassOf(c);
    LONG style = GetWindowLongA(c, GWL_STYLE);
    if (cls == "Static") {
      if ((style & SS_TYPEMASK) == SS_ICON) continue;
      if (GetDlgCtrlID(c) != 0xFFFF) return false;
      ++texts;
    } else if (cls == "Button") {
      LONG type = style & BS_TYPEMASK;
      int id = GetDlgCtrlID(c);
      if ((type != BS_PUSHBUTTON && type != BS_DEFPUSHBUTTON) || id < IDOK || id > 11 || QuickTextOf(c).empty())
        return false;
      ++buttons;
    } else {
      return false;
    }
  }
  return texts == 1 && buttons >= 1;
}

HWND FindModalWindow() {
  HWND best = nullptr;
  int bestDepth = -1;
  for (HWND w : TopLevelWindows(g.pid)) {
    if (w == g.main || !IsWindowVisible(w) || !IsWindowEnabled(w)) continue;
    HWND owner = GetWindow(w, GW_OWNER);
    if (!owner || IsWindowEnabled(owner)) continue;
    int depth = OwnerDepth(w);
    if (depth > bestDepth) {
      best = w;
      bestDepth = depth;
    }
  }
  return best;
}

void RequireTarget() {
  if (!g.pid) Fail("no-target", "no program attached yet (use attach)");
}

HWND ResolveWindow(const std::string& ref) {
  HWND w = nullptr;
  if (ref.empty() || ref == "current") {
    w = g.current;
    if (!w) Fail("no-target", "no current window (use attach or wait-window)");
  } else if (ref == "main") {
    w = g.main;
    if (!w) Fail("no-target", "no program attached yet (use attach)");
  } else if (ref.size() > 2 && ref[0] == '0' && (ref[1] == 'x' || ref[1] == 'X')) {
    w = reinterpret_cast<HWND>(static_cast<uintptr_t>(std::strtoull(ref.c_str() + 2, nullptr, 16)));
  } else {
    Fail("bad-args", "window must be main, current or a 0x handle, got \"" + ref + "\"");
  }
  if (!IsWindow(w)) Fail("gone", "window " + HandleText(w) + " no longer exists");
  return w;
}

HWND ResolveControl(const std::string& ref, HWND within) {
  if (ref.empty()) Fail("bad-args", "empty control reference");
  if (ref.size() > 2 && ref[0] == '0' && (ref[1] == 'x' || ref[1] == 'X')) {
    HWND w = reinterpret_cast<HWND>(static_cast<uintptr_t>(std::strtoull(ref.c_str() + 2, nullptr, 16)));
    if (!IsWindow(w)) Fail("not-found", "no window " + ref);
    return w;
  }
  if (IsInteger(ref)) {
    int id = static_cast<int>(ParseInt(ref, "control id"));
    if (HWND c = GetDlgItem(within, id)) return c;
    for (HWND c : ChildWindows(within, true))
      if (GetDlgCtrlID(c) == id) return c;
    Fail("not-found", "no control with id " + ref + " in window " + HandleText(within));
  }
  std::string text = ref.compare(0, 5, "text=") == 0 ? ref.substr(5) : ref;
  HWND hidden = nullptr;
  for (HWND c : ChildWindows(within, true)) {
    if (StripMnemonic(QuickTextOf(c)) != text) continue;
    if (IsWindowVisible(c)) return c;
    if (!hidden) hidden = c;
  }
  if (hidden) return hidden;
  Fail("not-found", "no control with text \"" + text + "\" in window " + HandleText(within));
}

LRESULT SendTo(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(hwnd, msg, wp, lp, SMTO_NORMAL, g.timeoutMs, &result)) {
    if (!IsWindow(hwnd)) Fail("gone", "window " + HandleText(hwnd) + " no longer exists");
    Fail("busy", "window " + HandleText(hwnd) + " did not answer within " +
                     std::to_string(g.timeoutMs) + " ms");
  }
  return static_cast<LRESULT>(result);
}

}  // namespace uidriver
