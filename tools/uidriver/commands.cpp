// The driver's commands. Each takes the words of one command line and
// returns the reply line; failures throw CommandError ("err ..." replies).
#include "driver.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>

#include "ui_wait.h"

namespace uidriver {

namespace {

using Handler = std::string (*)(const Args&);

DWORD TimeoutOf(const Args& a) {
  long long t = a.NamedInt("timeout", g.timeoutMs);
  if (t < 0) Fail("bad-args", "timeout must not be negative");
  return static_cast<DWORD>(t);
}

// Polls probe every 20 ms until it returns a non-null window or the time is
// up; returns null then.
HWND WaitForWindow(DWORD timeoutMs, const std::function<HWND()>& probe) {
  const DWORD start = GetTickCount();
  while (true) {
    if (HWND w = probe()) return w;
    if (GetTickCount() - start >= timeoutMs) return nullptr;
    Sleep(20);
  }
}

HWND Current() {
  // A closed message box or dialog hands the session back to the main window.
  if (g.current && (!IsWindow(g.current) || !IsWindowVisible(g.current)) && g.main && IsWindow(g.main))
    g.current = g.main;
  return ResolveWindow("");
}

HWND ControlArg(const Args& a, size_t index) { return ResolveControl(a.Positional(index, "control"), Current()); }

// Whether the event of the name format with the process id of hwnd is set.
bool ProcessMark(HWND hwnd, const char* format) {
  HANDLE event = OpenEventA(SYNCHRONIZE, FALSE, MarkEventName(format, ProcessOf(hwnd)).c_str());
  if (event == nullptr) return false;
  const bool set = WaitForSingleObject(event, 0) == WAIT_OBJECT_0;
  CloseHandle(event);
  return set;
}

// True while the process of hwnd is busy (protocol/ui_wait.h): it waits for
// a device or a platform call, or runs a device operation outside a modal
// window (its main window is enabled then). Its windows answer messages
// meanwhile, but what they show is not settled.
bool TargetBusy(HWND hwnd) {
  if (ProcessMark(hwnd, kWaitingEventNameFormat)) return true;
  HWND main = g.main != nullptr && IsWindow(g.main) ? g.main : hwnd;
  return ProcessMark(hwnd, kWorkingEventNameFormat) && IsWindowEnabled(main);
}

// Waits until hwnd's process is no longer busy, up to the session timeout.
void WaitWhileTargetBusy(HWND hwnd) {
  const DWORD start = GetTickCount();
  while (TargetBusy(hwnd)) {
    if (GetTickCount() - start >= g.timeoutMs)
      Fail("busy", "window " + HandleText(hwnd) + " was still waiting after " + std::to_string(g.timeoutMs) + " ms");
    Sleep(10);
  }
}

// Waits a moment for the target to take the input just sent, then until it
// answers a message and what `read` returns stops changing (at most 1 s).
std::string Settle(HWND hwnd, const std::function<std::string()>& read) {
  std::string last = read();
  for (int i = 0; i < 25; ++i) {
    Sleep(40);
    SendTo(hwnd, WM_NULL, 0, 0);
    std::string now = read();
    if (now == last && i >= 1) return now;
    last = now;
  }
  return last;
}

bool ChainEnabled(HWND hwnd) {
  for (HWND w = hwnd; w; w = GetParent(w)) {
    if (!IsWindowEnabled(w)) return false;
    if (!(GetWindowLongA(w, GWL_STYLE) & WS_CHILD)) break;
  }
  return true;
}

// The part of a control that can be seen: its rectangle clipped by the
// client areas of its ancestors.
RECT VisibleRect(HWND hwnd) {
  RECT r = WindowRectOf(hwnd);
  for (HWND w = hwnd; GetWindowLongA(w, GWL_STYLE) & WS_CHILD;) {
    HWND p = GetParent(w);
    if (!p) break;
    RECT client = ClientRectOnScreen(p);
    RECT clipped{};
    IntersectRect(&clipped, &r, &client);
    r = clipped;
    w = p;
  }
  return r;
}

void RequireClickable(HWND ctl) {
  if (!IsWindowVisible(ctl))
    Fail("hidden", "control " + HandleText(ctl) + " is not visible (bm-click or command reach hidden ones)");
  if (!ChainEnabled(ctl)) Fail("disabled", "control " + HandleText(ctl) + " or its window is disabled");
}

bool HitsControl(POINT pt, HWND ctl) {
  HWND hit = WindowFromPoint(pt);
  return hit == ctl || IsChild(ctl, hit);
}

std::string DescribeHit(POINT pt) {
  HWND hit = WindowFromPoint(pt);
  return HandleText(hit) + " (" + ClassOf(hit) + " \"" + QuickTextOf(hit) + "\")";
}

// Clicks at pt inside `area` of ctl after checking that a person could: the
// point must show the control, not something on top of it.
std::string ClickControlAt(HWND ctl, POINT pt, const RECT& area, const Args& a) {
  if (!HitsControl(pt, ctl))
    Fail("covered", "point " + std::to_string(pt.x) + "," + std::to_string(pt.y) + " shows " +
                        DescribeHit(pt) + ", not control " + HandleText(ctl));
  std::string button = a.Named("button", "left");
  if (button != "left" && button != "right") Fail("bad-args", "button must be left or right");
  MouseClick(pt, area, button == "right", a.NamedBool("double", false));
  return Reply().Int("x", g.lastClick.x).Int("y", g.lastClick.y).Line();
}

std::string ClickControl(HWND ctl, const Args& a) {
  RequireClickable(ctl);
  RECT area = VisibleRect(ctl);
  if (IsRectEmpty(&area)) Fail("hidden", "control " + HandleText(ctl) + " lies outside its window");
  return ClickControlAt(ctl, CentreOf(area), area, a);
}

std::vector<HWND> IpFields(HWND ip) {
  std::vector<HWND> fields;
  for (HWND c : ChildWindows(ip, false))
    if (ClassOf(c) == "Edit") fields.push_back(c);
  std::sort(fields.begin(), fields.end(),
            [](HWND x, HWND y) { return WindowRectOf(x).left < WindowRectOf(y).left; });
  return fields;
}

HWND RequireClass(HWND ctl, const char* cls, const char* what) {
  if (ClassOf(ctl) != cls)
    Fail("wrong-class", "control " + HandleText(ctl) + " is a " + ClassOf(ctl) + ", not " + what);
  return ctl;
}

// ---- session ----------------------------------------------------------------

std::string CmdPing(const Args& a) {
  a.Check(0, {});
  return "ok";
}

std::string CmdHelp(const Args& a) {
  a.Check(0, {});
  return Reply().Str("text", HelpText()).Line();
}

std::string CmdSet(const Args& a) {
  a.Check(0, {"timeout"});
  g.timeoutMs = TimeoutOf(a);
  return Reply().Int("timeout", g.timeoutMs).Line();
}

std::string CmdSleep(const Args& a) {
  a.Check(1, {});
  long long ms = ParseInt(a.Positional(0, "milliseconds"), "milliseconds");
  if (ms < 0) Fail("bad-args", "milliseconds must not be negative");
  Sleep(static_cast<DWORD>(ms));
  return "ok";
}

std::string WindowReply(HWND w) {
  return Reply().Handle("hwnd", w).Int("pid", ProcessOf(w)).Str("title", QuickTextOf(w)).Str("class", ClassOf(w)).Line();
}

std::string CmdAttach(const Args& a) {
  a.Check(1, {"class", "timeout"});
  const std::string& title = a.Positional(0, "window title");
  const std::string cls = a.Named("class", "");
  HWND w = WaitForWindow(TimeoutOf(a), [&]() -> HWND {
    for (HWND t : TopLevelWindows(0)) {
      if (!IsWindowVisible(t)) continue;
      char buf[1024] = "";
      GetWindowTextA(t, buf, sizeof buf);
      if (title == buf && (cls.empty() || ClassOf(t) == cls)) return t;
    }
    return nullptr;
  });
  if (!w) Fail("timeout", "no visible window titled \"" + title + "\" within " + std::to_string(TimeoutOf(a)) + " ms");
  if (g.process) CloseHandle(g.process);
  g.pid = ProcessOf(w);
  g.process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, g.pid);
  g.main = g.current = w;
  return WindowReply(w);
}

std::string CmdWindows(const Args& a) {
  a.Check(0, {});
  RequireTarget();
  std::vector<std::string> rows;
  for (HWND w : TopLevelWindows(g.pid)) {
    if (!IsWindowVisible(w)) continue;
    rows.push_back(ListOf({HandleText(w), Quote(QuickTextOf(w)), Quote(ClassOf(w)),
                           std::to_string(IsWindowEnabled(w) ? 1 : 0)}));
  }
  return Reply().Int("count", static_cast<long long>(rows.size())).List("windows", rows).Line();
}

std::string CmdWaitWindow(const Args& a) {
  a.Check(0, {"title", "class", "timeout"});
  RequireTarget();
  const bool byTitle = a.Has("title"), byClass = a.Has("class");
  const std::string title = a.Named("title", ""), cls = a.Named("class", "");
  HWND w = WaitForWindow(TimeoutOf(a), [&]() -> HWND {
    for (HWND t : TopLevelWindows(g.pid)) {
      if (!IsWindowVisible(t)) continue;
      if (byTitle && QuickTextOf(t) != title) continue;
      if (byClass && ClassOf(t) != cls) continue;
      if (!byTitle && !byClass && t == g.main) continue;
      return t;
    }
    return nullptr;
  });
  if (!w) Fail("timeout", "no such window of the program within " + std::to_string(TimeoutOf(a)) + " ms");
  g.current = w;
  return WindowReply(w);
}

std::string ModalReply(HWND w) {
  return Reply()
      .Handle("hwnd", w)
      .Str("title", QuickTextOf(w))
      .Str("class", ClassOf(w))
      .Word("kind", IsMessageBoxLike(w) ? "msgbox" : "dialog")
      .Line();
}

std::string CmdWaitModal(const Args& a) {
  a.Check(0, {"timeout"});
  RequireTarget();
  HWND w = WaitForWindow(TimeoutOf(a), FindModalWindow);
  if (!w) Fail("timeout", "no modal window of the program within " + std::to_string(TimeoutOf(a)) + " ms");
  g.current = w;
  return ModalReply(w);
}

std::string CmdWaitGone(const Args& a) {
  a.Check(1, {"timeout"});
  // A window that is already destroyed is gone: no fallback to main here.
  std::string ref = a.PositionalOr(0, "");
  HWND w = (ref.empty() || ref == "current") ? g.current : nullptr;
  if (!ref.empty() && ref != "current") {
    if (ref.size() > 2 && ref[0] == '0' && (ref[1] == 'x' || ref[1] == 'X'))
      w = reinterpret_cast<HWND>(static_cast<uintptr_t>(std::strtoull(ref.c_str() + 2, nullptr, 16)));
    else
      w = ResolveWindow(ref);
  }
  if (!w) Fail("no-target", "no current window (use attach or wait-window)");
  HWND still = WaitForWindow(TimeoutOf(a), [&]() -> HWND {
    return (IsWindow(w) && IsWindowVisible(w)) ? nullptr : w;
  });
  if (!still) Fail("timeout", "window " + HandleText(w) + " still shown after " + std::to_string(TimeoutOf(a)) + " ms");
  return "ok";
}

std::string CmdUse(const Args& a) {
  a.Check(1, {});
  g.current = ResolveWindow(a.Positional(0, "window"));
  return WindowReply(g.current);
}

std::string CmdWindow(const Args& a) {
  a.Check(1, {});
  HWND w = a.HasPositional(0) ? ResolveWindow(a.Positional(0, "window")) : Current();
  return Reply()
      .Handle("hwnd", w)
      .Str("title", QuickTextOf(w))
      .Str("class", ClassOf(w))
      .Word("rect", RectText(WindowRectOf(w)))
      .Word("client", RectText(ClientRectOnScreen(w)))
      .Bool("visible", IsWindowVisible(w))
      .Bool("enabled", IsWindowEnabled(w))
      .Bool("foreground", GetForegroundWindow() == w)
      .Int("pid", ProcessOf(w))
      .Line();
}

// ---- controls -----------------------------------------------------------------

std::string CmdControls(const Args& a) {
  a.Check(1, {"all"});
  HWND w = a.HasPositional(0) ? ResolveWindow(a.Positional(0, "window")) : Current();
  std::vector<std::string> rows;
  for (HWND c : ChildWindows(w, a.NamedBool("all", false))) {
    rows.push_back(ListOf({HandleText(c), std::to_string(GetDlgCtrlID(c)), Quote(ClassOf(c)), Quote(QuickTextOf(c)),
                           std::to_string(IsWindowVisible(c) ? 1 : 0),
                           std::to_string(IsWindowEnabled(c) ? 1 : 0), RectText(WindowRectOf(c))}));
  }
  return Reply().Int("count", static_cast<long long>(rows.size())).List("controls", rows).Line();
}

std::string CmdControl(const Args& a) {
  a.Check(1, {});
  HWND c = ControlArg(a, 0);
  GUITHREADINFO gti{};
  gti.cbSize = sizeof gti;
  GetGUIThreadInfo(ThreadOf(c), &gti);
  char style[16];
  snprintf(style, sizeof style, "0x%08lx", static_cast<unsigned long>(GetWindowLongA(c, GWL_STYLE)));
  return Reply()
      .Handle("hwnd", c)
      .Int("id", GetDlgCtrlID(c))
      .Str("class", ClassOf(c))
      .Str("text", TextOf(c))
      .Bool("visible", IsWindowVisible(c))
      .Bool("enabled", IsWindowEnabled(c))
      .Bool("focused", gti.hwndFocus == c || IsChild(c, gti.hwndFocus))
      .Word("rect", RectText(WindowRectOf(c)))
      .Word("style", style)
      .Line();
}

std::string CmdText(const Args& a) {
  a.Check(1, {});
  return Reply().Str("text", TextOf(ControlArg(a, 0))).Line();
}

std::string CmdClick(const Args& a) {
  a.Check(1, {"button", "double"});
  return ClickControl(ControlArg(a, 0), a);
}

std::string CmdClickAt(const Args& a) {
  a.Check(2, {"button", "double"});
  POINT pt{static_cast<LONG>(ParseInt(a.Positional(0, "x"), "x")),
           static_cast<LONG>(ParseInt(a.Positional(1, "y"), "y"))};
  RECT area{pt.x - 20, pt.y - 20, pt.x + 20, pt.y + 20};
  std::string button = a.Named("button", "left");
  if (button != "left" && button != "right") Fail("bad-args", "button must be left or right");
  MouseClick(pt, area, button == "right", a.NamedBool("double", false));
  return Reply().Int("x", g.lastClick.x).Int("y", g.lastClick.y).Line();
}

std::string CmdMove(const Args& a) {
  a.Check(2, {});
  POINT pt{static_cast<LONG>(ParseInt(a.Positional(0, "x"), "x")),
           static_cast<LONG>(ParseInt(a.Positional(1, "y"), "y"))};
  MouseMove(pt);
  POINT now{};
  GetCursorPos(&now);
  return Reply().Int("x", now.x).Int("y", now.y).Line();
}

std::string CmdBmClick(const Args& a) {
  a.Check(1, {});
  HWND c = ControlArg(a, 0);
  // Posted, so that a button that opens a modal window does not hold the
  // driver until that window closes.
  if (!PostMessageA(c, BM_CLICK, 0, 0)) Fail("gone", "cannot post to " + HandleText(c));
  return "ok";
}

std::string CmdCommand(const Args& a) {
  a.Check(1, {"code"});
  HWND c = ControlArg(a, 0);
  HWND parent = GetParent(c);
  if (!parent) Fail("bad-args", "control " + HandleText(c) + " has no parent window");
  WORD code = static_cast<WORD>(a.NamedInt("code", BN_CLICKED));
  if (!PostMessageA(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(c), code), reinterpret_cast<LPARAM>(c)))
    Fail("gone", "cannot post to " + HandleText(parent));
  return "ok";
}

std::string CmdClose(const Args& a) {
  a.Check(1, {});
  HWND w = a.HasPositional(0) ? ResolveWindow(a.Positional(0, "window")) : Current();
  if (!PostMessageA(w, WM_CLOSE, 0, 0)) Fail("gone", "cannot post to " + HandleText(w));
  return "ok";
}

std::string CmdHung(const Args& a) {
  a.Check(1, {});
  HWND w = a.HasPositional(0) ? ResolveWindow(a.Positional(0, "window")) : Current();
  return Reply().Bool("hung", IsHungAppWindow(w) != FALSE).Line();
}

std::string CmdSync(const Args& a) {
  a.Check(1, {"timeout"});
  HWND w = a.HasPositional(0) ? ResolveWindow(a.Positional(0, "window")) : Current();
  // Idle means: W's thread answers a message at once twice in a row, 30 ms
  // apart. One answer is not enough: a thread that was busy takes our
  // message before the input that queued up meanwhile.
  const DWORD timeout = TimeoutOf(a), start = GetTickCount();
  int quick = 0;
  while (quick < 2) {
    Sleep(30);
    DWORD spent = GetTickCount() - start;
    DWORD_PTR result = 0;
    DWORD sent = GetTickCount();
    if (spent >= timeout ||
        !SendMessageTimeoutA(w, WM_NULL, 0, 0, SMTO_NORMAL, timeout - spent, &result)) {
      if (!IsWindow(w)) Fail("gone", "window " + HandleText(w) + " no longer exists");
      Fail("busy", "window " + HandleText(w) + " was not idle within " + std::to_string(timeout) + " ms");
    }
    // A thread that waits for a device answers at once too: not idle.
    quick = GetTickCount() - sent < 15 && !TargetBusy(w) ? quick + 1 : 0;
  }
  return "ok";
}

// ---- list views -----------------------------------------------------------------

constexpr size_t kTextCap = 1024;

std::string ListViewColumnTitle(HWND lv, RemoteBuffer& buf, int col) {
  LVCOLUMNA c{};
  c.mask = LVCF_TEXT;
  c.pszText = static_cast<char*>(buf.Address(sizeof(LVCOLUMNA) + sizeof(LVITEMA)));
  c.cchTextMax = kTextCap;
  buf.Write(&c, sizeof c);
  char text[kTextCap] = "";
  buf.Write(text, 1, sizeof(LVCOLUMNA) + sizeof(LVITEMA));
  if (!SendTo(lv, LVM_GETCOLUMNA, col, reinterpret_cast<LPARAM>(buf.Address()))) return "";
  buf.Read(text, kTextCap, sizeof(LVCOLUMNA) + sizeof(LVITEMA));
  text[kTextCap - 1] = 0;
  return text;
}

std::string ListViewCell(HWND lv, RemoteBuffer& buf, int row, int col) {
  LVITEMA it{};
  it.iSubItem = col;
  it.pszText = static_cast<char*>(buf.Address(sizeof(LVCOLUMNA) + sizeof(LVITEMA)));
  it.cchTextMax = kTextCap;
  buf.Write(&it, sizeof it, sizeof(LVCOLUMNA));
  LRESULT n = SendTo(lv, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(buf.Address(sizeof(LVCOLUMNA))));
  if (n <= 0) return "";
  std::string text(static_cast<size_t>(std::min<LRESULT>(n, kTextCap - 1)), '\0');
  buf.Read(&text[0], text.size(), sizeof(LVCOLUMNA) + sizeof(LVITEMA));
  return text;
}

// A row's cell in column col (its label part), in the list's client
// coordinates; false when the list gives no rectangle.
bool ListViewCellRect(HWND lv, RemoteBuffer& buf, int row, int col, RECT* cell) {
  RECT r{};
  r.left = LVIR_LABEL;
  r.top = static_cast<LONG>(col);
  buf.Write(&r, sizeof r);
  UINT msg = col == 0 ? LVM_GETITEMRECT : LVM_GETSUBITEMRECT;
  if (!SendTo(lv, msg, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(buf.Address()))) return false;
  buf.Read(cell, sizeof *cell);
  return true;
}

int ListViewColumns(HWND lv) {
  HWND header = reinterpret_cast<HWND>(SendTo(lv, LVM_GETHEADER, 0, 0));
  if (!header) return 1;
  LRESULT n = SendTo(header, HDM_GETITEMCOUNT, 0, 0);
  return n > 0 ? static_cast<int>(n) : 1;
}

std::string CmdLvRead(const Args& a) {
  a.Check(1, {});
  HWND lv = RequireClass(ControlArg(a, 0), WC_LISTVIEWA, "a list view");
  int rows = static_cast<int>(SendTo(lv, LVM_GETITEMCOUNT, 0, 0));
  int cols = ListViewColumns(lv);
  RemoteBuffer buf(lv, sizeof(LVCOLUMNA) + sizeof(LVITEMA) + kTextCap);
  std::vector<std::string> titles;
  for (int c = 0; c < cols; ++c) titles.push_back(ListViewColumnTitle(lv, buf, c));
  std::vector<std::string> items;
  for (int r = 0; r < rows; ++r) {
    std::vector<std::string> cells;
    for (int c = 0; c < cols; ++c) cells.push_back(ListViewCell(lv, buf, r, c));
    items.push_back(QuotedList(cells));
  }
  int selected = static_cast<int>(SendTo(lv, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  // The rows in view: the first one and how many fit whole.
  int top = static_cast<int>(SendTo(lv, LVM_GETTOPINDEX, 0, 0));
  int perPage = static_cast<int>(SendTo(lv, LVM_GETCOUNTPERPAGE, 0, 0));
  // How far the view is scrolled to the right: the first row starts that
  // many pixels left of the client area.
  int scrollX = 0;
  RECT bounds{};
  bounds.left = LVIR_BOUNDS;
  buf.Write(&bounds, sizeof bounds);
  if (rows > 0 && SendTo(lv, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(buf.Address()))) {
    buf.Read(&bounds, sizeof bounds);
    scrollX = -bounds.left;
  }
  // The columns wholly in view from left to right: those whose cells of the
  // first row in view lie across inside the client area.
  std::vector<std::string> colsInView;
  RECT client{};
  GetClientRect(lv, &client);
  for (int c = 0; rows > 0 && c < cols; ++c) {
    RECT cell{};
    if (ListViewCellRect(lv, buf, top, c, &cell) && cell.left >= client.left && cell.right <= client.right)
      colsInView.push_back(std::to_string(c));
  }
  return Reply()
      .Int("rows", rows)
      .Int("cols", cols)
      .Word("columns", QuotedList(titles))
      .List("items", items)
      .Int("selected", selected)
      .Int("top", top)
      .Int("per-page", perPage)
      .Int("scroll-x", scrollX)
      .List("cols-in-view", colsInView)
      .Line();
}

std::string CmdLvSelected(const Args& a) {
  a.Check(1, {});
  HWND lv = RequireClass(ControlArg(a, 0), WC_LISTVIEWA, "a list view");
  int selected = static_cast<int>(SendTo(lv, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  int focused = static_cast<int>(SendTo(lv, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
  return Reply().Int("index", selected).Int("focused", focused).Line();
}

std::string CmdLvClick(const Args& a) {
  a.Check(2, {"col", "button", "double"});
  HWND lv = RequireClass(ControlArg(a, 0), WC_LISTVIEWA, "a list view");
  long long row = ParseInt(a.Positional(1, "row index"), "row index");
  long long col = a.NamedInt("col", 0);
  RequireClickable(lv);
  int rows = static_cast<int>(SendTo(lv, LVM_GETITEMCOUNT, 0, 0));
  if (row < 0 || row >= rows)
    Fail("not-found", "row " + std::to_string(row) + " does not exist (" + std::to_string(rows) + " rows)");
  if (col < 0 || col >= ListViewColumns(lv)) Fail("not-found", "column " + std::to_string(col) + " does not exist");
  RemoteBuffer buf(lv, sizeof(RECT));
  RECT r{};
  if (!ListViewCellRect(lv, buf, static_cast<int>(row), static_cast<int>(col), &r))
    Fail("not-found", "the list gave no rectangle for row " + std::to_string(row));
  POINT tl{r.left, r.top}, br{r.right, r.bottom};
  ClientToScreen(lv, &tl);
  ClientToScreen(lv, &br);
  RECT cell{tl.x, tl.y, br.x, br.y};
  // Only the part below the column headers and inside the list is shown.
  RECT shown = VisibleRect(lv);
  RECT client = ClientRectOnScreen(lv);
  IntersectRect(&shown, &shown, &client);
  HWND header = reinterpret_cast<HWND>(SendTo(lv, LVM_GETHEADER, 0, 0));
  if (header && IsWindowVisible(header)) shown.top = std::max(shown.top, WindowRectOf(header).bottom);
  RECT area{};
  if (!IntersectRect(&area, &cell, &shown))
    Fail("not-visible", "row " + std::to_string(row) + " is scrolled out of view " + RectText(cell));
  return ClickControlAt(lv, CentreOf(area), area, a);
}

// ---- combo boxes ------------------------------------------------------------

std::vector<std::string> ComboItems(HWND cb) {
  std::vector<std::string> items;
  int count = static_cast<int>(SendTo(cb, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    // CB_GETLBTEXT is one of the messages whose text is carried across
    // processes, so a local buffer is right. The Unicode form is used:
    // Wine hands the ANSI form back unconverted (UTF-16) across processes.
    DWORD_PTR len = 0;
    if (!SendMessageTimeoutW(cb, CB_GETLBTEXTLEN, i, 0, SMTO_NORMAL, g.timeoutMs, &len))
      Fail("busy", "combo box " + HandleText(cb) + " did not answer");
    if (static_cast<LRESULT>(len) < 0) len = 0;
    std::wstring wide(static_cast<size_t>(len) + 1, L'\0');
    DWORD_PTR got = 0;
    if (!SendMessageTimeoutW(cb, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(&wide[0]), SMTO_NORMAL,
                             g.timeoutMs, &got))
      Fail("busy", "combo box " + HandleText(cb) + " did not answer");
    size_t n = static_cast<LRESULT>(got) > 0 ? std::min<size_t>(static_cast<size_t>(got), len) : 0;
    std::string text(n * 2 + 1, '\0');
    int bytes = n ? WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(n), &text[0],
                                        static_cast<int>(text.size()), nullptr, nullptr)
                  : 0;
    text.resize(bytes > 0 ? static_cast<size_t>(bytes) : 0);
    items.push_back(text);
  }
  return items;
}

std::string ComboReply(HWND cb) {
  std::vector<std::string> items = ComboItems(cb);
  int sel = static_cast<int>(SendTo(cb, CB_GETCURSEL, 0, 0));
  return Reply()
      .Int("count", static_cast<long long>(items.size()))
      .Word("items", QuotedList(items))
      .Int("selected", sel)
      .Str("text", sel >= 0 && sel < static_cast<int>(items.size()) ? items[sel] : "")
      .Bool("dropped", SendTo(cb, CB_GETDROPPEDSTATE, 0, 0) != 0)
      .Line();
}

std::string CmdCbRead(const Args& a) {
  a.Check(1, {});
  return ComboReply(RequireClass(ControlArg(a, 0), WC_COMBOBOXA, "a combo box"));
}

// The drop-down list of an open combo box of the program. (GetComboBoxInfo
// cannot be used across processes under Wine: its structure pointer is not
// carried over.)
HWND OpenDropDown(HWND cb) {
  DWORD tid = ThreadOf(cb);
  for (HWND w : TopLevelWindows(g.pid ? g.pid : ProcessOf(cb)))
    if (ThreadOf(w) == tid && ClassOf(w) == "ComboLBox" && IsWindowVisible(w)) return w;
  return nullptr;
}

// The item that a cb-select or cb-set names: its index (a number) or its
// text (any other word, or text=...).
int ComboItemArg(const Args& a, const std::vector<std::string>& items) {
  if (a.Has("text") || !IsInteger(a.PositionalOr(1, ""))) {
    std::string wanted = a.Has("text") ? a.Named("text", "") : a.Positional(1, "item index or text");
    for (size_t i = 0; i < items.size(); ++i)
      if (items[i] == wanted) return static_cast<int>(i);
    Fail("not-found", "no item \"" + wanted + "\" in " + QuotedList(items));
  }
  int index = static_cast<int>(ParseInt(a.Positional(1, "item index"), "item index"));
  if (index < 0 || index >= static_cast<int>(items.size()))
    Fail("not-found", "no item " + std::to_string(index) + " (" + std::to_string(items.size()) + " items)");
  return index;
}

// For a combo box that no person can reach (hidden): selects the item and
// sends the parent the selection-change notification a user's choice sends.
std::string CmdCbSet(const Args& a) {
  a.Check(2, {"text"});
  HWND cb = RequireClass(ControlArg(a, 0), WC_COMBOBOXA, "a combo box");
  int index = ComboItemArg(a, ComboItems(cb));
  HWND parent = GetParent(cb);
  if (!parent) Fail("bad-args", "combo box " + HandleText(cb) + " has no parent window");
  SendTo(cb, CB_SETCURSEL, index, 0);
  if (!PostMessageA(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(cb), CBN_SELCHANGE), reinterpret_cast<LPARAM>(cb)))
    Fail("gone", "cannot post to " + HandleText(parent));
  return ComboReply(cb);
}

std::string CmdCbSelect(const Args& a) {
  a.Check(2, {"text", "via", "timeout"});
  HWND cb = RequireClass(ControlArg(a, 0), WC_COMBOBOXA, "a combo box");
  std::vector<std::string> items = ComboItems(cb);
  const int index = ComboItemArg(a, items);
  std::string via = a.Named("via", "mouse");
  if (via != "mouse" && via != "keys") Fail("bad-args", "via must be mouse or keys");

  // Open the list the way a person does: a click on the box.
  if (!SendTo(cb, CB_GETDROPPEDSTATE, 0, 0)) ClickControl(cb, Args("click", {}));
  HWND list = WaitForWindow(2000, [&] { return OpenDropDown(cb); });
  if (!list) Fail("timeout", "the drop-down list of " + HandleText(cb) + " did not open");

  bool clicked = false;
  if (via == "mouse") {
    RECT item{};
    if (SendTo(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item)) != LB_ERR) {
      RECT client{};
      GetClientRect(list, &client);
      RECT shown{};
      if (IntersectRect(&shown, &item, &client) && shown.bottom - shown.top >= (item.bottom - item.top) / 2) {
        POINT tl{shown.left, shown.top}, br{shown.right, shown.bottom};
        ClientToScreen(list, &tl);
        ClientToScreen(list, &br);
        RECT area{tl.x, tl.y, br.x, br.y};
        ClickControlAt(list, CentreOf(area), area, Args("click", {}));
        clicked = true;
      }
    }
  }
  if (!clicked) {
    // Out of view (or asked for): walk there with the arrow keys and
    // take it with Enter, as a person would in a long list.
    int at = static_cast<int>(SendTo(list, LB_GETCURSEL, 0, 0));
    if (at < 0) {
      KeyPress(VK_HOME, false, false, false);
      at = 0;
    }
    for (; at < index; ++at) KeyPress(VK_DOWN, false, false, false);
    for (; at > index; --at) KeyPress(VK_UP, false, false, false);
    KeyPress(VK_RETURN, false, false, false);
  }
  HWND done = WaitForWindow(TimeoutOf(a), [&]() -> HWND {
    return (SendTo(cb, CB_GETCURSEL, 0, 0) == index && !SendTo(cb, CB_GETDROPPEDSTATE, 0, 0)) ? cb : nullptr;
  });
  if (!done) Fail("timeout", "item " + std::to_string(index) + " was not taken: " + ComboReply(cb));
  return ComboReply(cb);
}

// ---- IP address controls and edits ------------------------------------------

std::string IpReply(HWND ip) {
  std::vector<std::string> texts;
  for (HWND f : IpFields(ip)) texts.push_back(TextOf(f));
  RemoteBuffer buf(ip, sizeof(DWORD));
  DWORD zero = 0, value = 0;
  buf.Write(&zero, sizeof zero);
  LRESULT filled = SendTo(ip, IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(buf.Address()));
  buf.Read(&value, sizeof value);
  char address[20];
  snprintf(address, sizeof address, "%lu.%lu.%lu.%lu", (value >> 24) & 0xff, (value >> 16) & 0xff,
           (value >> 8) & 0xff, value & 0xff);
  return Reply()
      .Str("address", address)
      .Bool("blank", SendTo(ip, IPM_ISBLANK, 0, 0) != 0)
      .Int("filled", filled)
      .Word("fields", QuotedList(texts))
      .Line();
}

HWND IpArg(const Args& a) { return RequireClass(ControlArg(a, 0), WC_IPADDRESSA, "an IP address control"); }

std::string CmdIpRead(const Args& a) {
  a.Check(1, {});
  return IpReply(IpArg(a));
}

void ClearFocusedEdit() {
  KeyPress(VK_HOME, false, false, false);
  KeyPress(VK_END, true, false, false);
  KeyPress(VK_DELETE, false, false, false);
}

std::string CmdIpType(const Args& a) {
  a.Check(2, {"field", "clear"});
  HWND ip = IpArg(a);
  const std::string& text = a.Positional(1, "text to type");
  std::vector<HWND> fields = IpFields(ip);
  if (fields.size() != 4) Fail("wrong-class", "IP address control " + HandleText(ip) + " has no four fields");
  long long field = a.NamedInt("field", 0);
  if (field < 0 || field > 3) Fail("bad-args", "field must be 0 to 3");
  if (a.NamedBool("clear", false)) {
    for (int i = 3; i >= 0; --i) {
      ClickControl(fields[i], Args("click", {}));
      ClearFocusedEdit();
    }
  }
  ClickControl(fields[static_cast<size_t>(field)], Args("click", {}));
  TypeText(text);
  Settle(ip, [&] { return IpReply(ip); });
  return IpReply(ip);
}

std::string CmdType(const Args& a) {
  a.Check(2, {"clear"});
  HWND c = ControlArg(a, 0);
  const std::string& text = a.Positional(1, "text to type");
  ClickControl(c, Args("click", {}));
  if (a.NamedBool("clear", false)) ClearFocusedEdit();
  TypeText(text);
  std::string now = Settle(c, [&] { return TextOf(c); });
  return Reply().Str("text", now).Line();
}

std::string CmdKeys(const Args& a) {
  a.Check(1, {});
  SendKeys(a.Positional(0, "key sequence"));
  return "ok";
}

std::string CmdFocus(const Args& a) {
  a.Check(1, {});
  HWND w = a.HasPositional(0) ? ResolveWindow(a.Positional(0, "window")) : Current();
  GUITHREADINFO gti{};
  gti.cbSize = sizeof gti;
  if (!GetGUIThreadInfo(ThreadOf(w), &gti)) Fail("access", "GetGUIThreadInfo failed");
  Reply r;
  HWND f = gti.hwndFocus;
  r.Handle("hwnd", f);
  if (f) {
    r.Int("id", GetDlgCtrlID(f)).Str("class", ClassOf(f));
    HWND parent = GetParent(f);
    if (parent && ClassOf(parent) == WC_IPADDRESSA) {
      std::vector<HWND> fields = IpFields(parent);
      int index = static_cast<int>(std::find(fields.begin(), fields.end(), f) - fields.begin());
      r.Int("ip", GetDlgCtrlID(parent)).Int("field", index < 4 ? index : -1);
    } else if (ClassOf(f) == WC_IPADDRESSA) {
      r.Int("ip", GetDlgCtrlID(f)).Int("field", -1);
    }
    r.Handle("window", GetAncestor(f, GA_ROOT));
  }
  r.Handle("active", gti.hwndActive).Handle("foreground", GetForegroundWindow());
  return r.Line();
}

// ---- message boxes ------------------------------------------------------------

std::string CmdMsgbox(const Args& a) {
  a.Check(0, {"timeout"});
  RequireTarget();
  HWND modal = nullptr;
  HWND box = WaitForWindow(TimeoutOf(a), [&]() -> HWND {
    modal = FindModalWindow();
    return modal && IsMessageBoxLike(modal) ? modal : nullptr;
  });
  if (!box) {
    if (modal) Fail("not-msgbox", "the modal window is a dialog: " + ModalReply(modal).substr(3));
    Fail("timeout", "no message box of the program within " + std::to_string(TimeoutOf(a)) + " ms");
  }
  g.current = box;
  std::vector<std::string> texts;
  std::vector<std::pair<LONG, std::string>> buttons;
  for (HWND c : ChildWindows(box, false)) {
    if (!IsWindowVisible(c)) continue;
    std::string cls = ClassOf(c);
    if (cls == "Static" && (GetWindowLongA(c, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) {
      std::string t = TextOf(c);
      if (!t.empty()) texts.push_back(t);
    } else if (cls == "Button") {
      buttons.emplace_back(WindowRectOf(c).left, StripMnemonic(TextOf(c)));
    }
  }
  std::sort(buttons.begin(), buttons.end());
  std::vector<std::string> names;
  for (auto& b : buttons) names.push_back(b.second);
  std::string text;
  for (size_t i = 0; i < texts.size(); ++i) text += (i ? "\n" : "") + texts[i];
  return Reply()
      .Handle("hwnd", box)
      .Str("caption", TextOf(box))
      .Str("text", text)
      .Word("icon", ClassifyMessageBoxIcon(box))
      .Word("buttons", QuotedList(names))
      .Line();
}

// ---- pictures and the process ---------------------------------------------------

std::string CmdScreenshot(const Args& a) {
  a.Check(2, {});
  const std::string& path = a.Positional(0, "file path");
  RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (a.HasPositional(1) && a.Positional(1, "window") != "screen") area = WindowRectOf(ResolveWindow(a.Positional(1, "window")));
  Image img = CaptureScreen(area);
  WriteBmp(path, img);
  return Reply().Str("path", path).Int("width", img.width).Int("height", img.height).Line();
}

std::string CmdExitCode(const Args& a) {
  a.Check(0, {"timeout"});
  RequireTarget();
  if (!g.process) Fail("access", "the program's process could not be opened at attach");
  DWORD wait = WaitForSingleObject(g.process, TimeoutOf(a));
  if (wait == WAIT_TIMEOUT) Fail("running", "the program is still running after " + std::to_string(TimeoutOf(a)) + " ms");
  DWORD code = 0;
  if (!GetExitCodeProcess(g.process, &code)) Fail("access", "GetExitCodeProcess failed");
  return Reply().Int("code", code).Line();
}

std::string CmdQuit(const Args& a) {
  a.Check(0, {});
  return "ok";
}

// One verb of the command language: its handler, and its entry in the help
// text (the one list of the verbs).
struct Command {
  const char* verb;
  Handler run;
  // Waits first while the target waits for a device (unless during-wait=1).
  bool waitsForTarget;
  const char* section;  // the help's heading; rows of one section stand together
  const char* usage;  // the arguments after the verb
  const char* help;  // what it does and replies; lines separated by '\n'
};

const Command kCommands[] = {
    {"ping", CmdPing, false, "Session", "",
     "ok (measures a round trip)"},
    {"help", CmdHelp, false, "Session", "",
     "ok text=\"this text\""},
    {"set", CmdSet, false, "Session", "timeout=MS",
     "default for waits and messages (5000)"},
    {"sleep", CmdSleep, false, "Session", "MS",
     ""},
    {"quit", CmdQuit, false, "Session", "",
     "ok, then the driver ends (also at EOF)"},
    {"attach", CmdAttach, false, "Windows", "TITLE [class=C] [timeout=MS]",
     "wait for a visible top-level window with\n"
     "exactly that title; its process becomes the\n"
     "target, the window main and current\n"
     "-> hwnd pid title class"},
    {"wait-window", CmdWaitWindow, false, "Windows", "[title=T] [class=C] [timeout=MS]",
     "a visible top-level window of the target (any\n"
     "but main when no filter); becomes current"},
    {"wait-modal", CmdWaitModal, false, "Windows", "[timeout=MS]",
     "the innermost modal window of the target (a\n"
     "dialog or message box whose owner is disabled);\n"
     "becomes current -> hwnd title class kind=msgbox|dialog"},
    {"wait-gone", CmdWaitGone, false, "Windows", "[W] [timeout=MS]",
     "until W is destroyed or hidden"},
    {"use", CmdUse, false, "Windows", "W",
     "make W current"},
    {"window", CmdWindow, true, "Windows", "[W]",
     "hwnd title class rect client visible enabled\n"
     "foreground pid"},
    {"windows", CmdWindows, false, "Windows", "",
     "visible top-level windows of the target\n"
     "-> count windows=[[hwnd \"title\" \"class\" enabled] ...]"},
    {"close", CmdClose, true, "Windows", "[W]",
     "posts WM_CLOSE (as Alt+F4 or the task bar do)"},
    {"sync", CmdSync, false, "Windows", "[W] [timeout=MS]",
     "waits until W's thread is idle: it answers\n"
     "messages at once (e.g. after a click that\n"
     "blocks it, and the input queued meanwhile)"},
    {"hung", CmdHung, false, "Windows", "[W]",
     "Windows' own test for a hung window\n"
     "(IsHungAppWindow) -> hung=0|1"},
    {"controls", CmdControls, true, "Controls", "[W] [all=1]",
     "children (all=1: all descendants)\n"
     "-> count controls=[[hwnd id \"class\" \"text\" visible\n"
     "enabled [rect]] ...]"},
    {"control", CmdControl, true, "Controls", "C",
     "hwnd id class text visible enabled focused rect style"},
    {"text", CmdText, true, "Controls", "C",
     "text=\"...\" (waits for a busy window; listings\n"
     "do not, and show the stored text then)"},
    {"click", CmdClick, true, "Controls", "C [button=left|right] [double=1]",
     "real mouse click at the centre of the visible\n"
     "part; refused when C is hidden, disabled (or its\n"
     "window is) or covered -> x y"},
    {"click-at", CmdClickAt, true, "Controls", "X Y [button=..] [double=1]",
     "real click at screen pixel X,Y"},
    {"move", CmdMove, true, "Controls", "X Y",
     "move the real mouse"},
    {"bm-click", CmdBmClick, true, "Controls", "C",
     "posts BM_CLICK (reaches hidden buttons)"},
    {"command", CmdCommand, true, "Controls", "C [code=N]",
     "posts WM_COMMAND(id, code, C) to C's parent\n"
     "(code defaults to BN_CLICKED)"},
    {"lv-read", CmdLvRead, true, "List views", "C",
     "rows cols columns=[\"..\"] items=[[\"..\" ..] ..]\n"
     "selected (-1: none) top (first row in view)\n"
     "per-page (rows that fit whole) scroll-x (pixels\n"
     "the view is scrolled to the right) cols-in-view=[..]\n"
     "(columns wholly in view across)"},
    {"lv-selected", CmdLvSelected, true, "List views", "C",
     "index focused"},
    {"lv-click", CmdLvClick, true, "List views", "C ROW [col=N] [button=..] [double=1]",
     "real click on the row's label (or column N)"},
    {"cb-read", CmdCbRead, true, "Combo boxes", "C",
     "count items=[..] selected text dropped"},
    {"cb-select", CmdCbSelect, true, "Combo boxes", "C INDEX|TEXT [text=T] [via=mouse|keys] [timeout=MS]",
     "opens the list with a click and clicks the item\n"
     "(items out of view, or via=keys: arrow keys and\n"
     "Enter), then waits for the selection -> as cb-read"},
    {"cb-set", CmdCbSet, true, "Combo boxes", "C INDEX|TEXT [text=T]",
     "for combo boxes no person can reach (hidden):\n"
     "CB_SETCURSEL, then posts CBN_SELCHANGE to the\n"
     "parent -> as cb-read"},
    {"ip-read", CmdIpRead, true, "IP address controls and edits", "C",
     "address blank filled fields=[\"10\" ..]"},
    {"ip-type", CmdIpType, true, "IP address controls and edits", "C TEXT [field=N] [clear=1]",
     "clicks into field N (0) and types TEXT as\n"
     "keys (clear=1 first empties every field with\n"
     "Home, Shift+End, Del) -> as ip-read"},
    {"type", CmdType, true, "IP address controls and edits", "C TEXT [clear=1]",
     "clicks into C, types TEXT -> text"},
    {"keys", CmdKeys, true, "IP address controls and edits", "SEQ",
     "keys to the focused window: characters and\n"
     "{ENTER} {ESC} {TAB} {SPACE} {BACK} {DEL} {HOME}\n"
     "{END} {LEFT} {RIGHT} {UP} {DOWN} {PGUP} {PGDN}\n"
     "{INS} {F1}..{F12}, modifiers {SHIFT+TAB}\n"
     "{CTRL+a} {ALT+F4}, repeats {DOWN 3}, {{} {}}"},
    {"focus", CmdFocus, true, "IP address controls and edits", "[W]",
     "the keyboard focus of W's thread: hwnd id class\n"
     "[ip=ID field=0..3] window active foreground"},
    {"msgbox", CmdMsgbox, false, "Message boxes", "[timeout=MS]",
     "waits for a message box of the target; becomes\n"
     "current -> hwnd caption text icon=hand|exclamation|\n"
     "information|question|none|unknown buttons=[\"OK\" ..]\n"
     "(press one with: click OK)"},
    {"screenshot", CmdScreenshot, false, "Pictures and the process", "PATH [W|screen]",
     "BMP of the screen (default) or of W's rectangle;\n"
     "Unix paths are accepted -> path width height"},
    {"exit-code", CmdExitCode, false, "Pictures and the process", "[timeout=MS]",
     "waits for the target to end -> code (err running)"},
};

// The column where the help of a verb starts.
constexpr size_t kHelpColumn = 40;

// The help text: what the language is, then every verb of kCommands by
// section, its usage in a column of 38 and its help beside and below.
std::string BuildHelpText() {
  std::string text =
      "nexora-uidriver: drives a Win32 program as a person would (real mouse and keys\n"
      "through SendInput), for end-to-end tests. Run it under wine in the same Wine\n"
      "prefix and display as the program. It reads one command per line on stdin and\n"
      "writes exactly one reply line per command on stdout. Use the driver of the\n"
      "program's build (same word size: 32 or 64 bit).\n"
      "\n"
      "Command lines: VERB ARG... Words are separated by spaces; double quotes group a\n"
      "word and take \\\" \\\\ \\n \\t \\r \\xHH. Options are key=value (value may be quoted).\n"
      "Replies: 'ok key=value ...' or 'err CODE \"message\"'. Values are numbers, words,\n"
      "handles (0x...), quoted strings, or lists [a b c]; rectangles are [left top right\n"
      "bottom] in screen pixels. Error codes: bad-args unknown-command no-target timeout\n"
      "not-found gone busy hidden disabled covered not-visible not-msgbox wrong-class\n"
      "running access bitness input capture io.\n"
      "\n"
      "Windows (W): main (the attached window), current (default; the window chosen by\n"
      "the last attach/wait-window/wait-modal/msgbox/use; falls back to main once it is\n"
      "gone), or a 0x handle. Controls (C), looked up in the current window: a dialog id\n"
      "(1002), a handle (0x...), or a text (OK, \"Cancel\", text=123; '&' ignored).\n"
      "\n"
      "Every command on a window first waits (up to the timeout) while the target\n"
      "waits for a device (its window answers then, but is not settled); with\n"
      "during-wait=1 it goes at once, as a user acts during the wait.\n"
      "\n";
  const char* section = "";
  for (const Command& c : kCommands) {
    if (std::strcmp(c.section, section) != 0) {
      section = c.section;
      text += std::string(section) + "\n";
    }
    std::string usage = std::string("  ") + c.verb + (*c.usage != '\0' ? " " : "") + c.usage;
    const char* line = c.help;
    bool first = true;
    while (first || *line != '\0') {
      const char* end = std::strchr(line, '\n');
      const std::string part = end != nullptr ? std::string(line, end) : std::string(line);
      if (first) {
        if (part.empty()) {
          text += usage + "\n";
        } else if (usage.size() + 1 < kHelpColumn) {
          text += usage + std::string(kHelpColumn - usage.size(), ' ') + part + "\n";
        } else {  // a long usage has its help on the next line
          text += usage + "\n" + std::string(kHelpColumn, ' ') + part + "\n";
        }
      } else {
        text += std::string(kHelpColumn, ' ') + part + "\n";
      }
      first = false;
      line = end != nullptr ? end + 1 : line + part.size();
    }
  }
  return text;
}

}  // namespace

const std::string& HelpText() {
  static const std::string text = BuildHelpText();
  return text;
}

std::string RunCommandLine(const std::string& line, bool* quit) {
  *quit = false;
  std::vector<Arg> words;
  std::string error;
  if (!SplitLine(line, &words, &error)) return "err bad-args " + Quote(error);
  if (words.empty()) return "err bad-args " + Quote("empty command");
  if (words[0].named) return "err bad-args " + Quote("a command starts with its verb");
  std::string verb = words[0].value;
  words.erase(words.begin());
  for (const Command& c : kCommands) {
    if (verb != c.verb) continue;
    try {
      const Args args(verb, words);
      // during-wait=1: the command goes to the window also while the target
      // waits (input then is what a user does meanwhile); by default every
      // command on a window first waits until the target no longer waits.
      if (c.waitsForTarget && !args.NamedBool(kDuringWaitOption, false) && (g.current != nullptr || g.main != nullptr))
        WaitWhileTargetBusy(Current());
      std::string reply = c.run(args);
      if (verb == "quit") *quit = true;
      return reply;
    } catch (const CommandError& e) {
      return "err " + e.code + " " + Quote(e.message);
    }
  }
  return "err unknown-command " + Quote("no command \"" + verb + "\" (see help)");
}

}  // namespace uidriver
