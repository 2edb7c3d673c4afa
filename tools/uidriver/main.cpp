// nexora-uidriver.exe: reads commands on standard input, one per line, and
// answers each with one line on standard output (see kHelpText).
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "driver.h"

namespace uidriver {

const char* const kHelpText =
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
    "Session\n"
    "  ping                                  ok (measures a round trip)\n"
    "  help                                  ok text=\"this text\"\n"
    "  set timeout=MS                        default for waits and messages (5000)\n"
    "  sleep MS\n"
    "  quit                                  ok, then the driver ends (also at EOF)\n"
    "Windows\n"
    "  attach TITLE [class=C] [timeout=MS]   wait for a visible top-level window with\n"
    "                                        exactly that title; its process becomes the\n"
    "                                        target, the window main and current\n"
    "                                        -> hwnd pid title class\n"
    "  wait-window [title=T] [class=C] [timeout=MS]\n"
    "                                        a visible top-level window of the target (any\n"
    "                                        but main when no filter); becomes current\n"
    "  wait-modal [timeout=MS]               the innermost modal window of the target (a\n"
    "                                        dialog or message box whose owner is disabled);\n"
    "                                        becomes current -> hwnd title class kind=msgbox|dialog\n"
    "  wait-gone [W] [timeout=MS]            until W is destroyed or hidden\n"
    "  use W                                 make W current\n"
    "  window [W]                            hwnd title class rect client visible enabled\n"
    "                                        foreground pid\n"
    "  windows                               visible top-level windows of the target\n"
    "                                        -> count windows=[[hwnd \"title\" \"class\" enabled] ...]\n"
    "  close [W]                             posts WM_CLOSE (as Alt+F4 or the task bar do)\n"
    "  sync [W] [timeout=MS]                 waits until W's thread is idle: it answers\n"
    "                                        messages at once (e.g. after a click that\n"
    "                                        blocks it, and the input queued meanwhile)\n"
    "  hung [W]                              Windows' own test for a hung window\n"
    "                                        (IsHungAppWindow) -> hung=0|1\n"
    "Every command on a window first waits (up to the timeout) while the target\n"
    "waits for a device (its window answers then, but is not settled); with\n"
    "during-wait=1 it goes at once, as a user acts during the wait.\n"
    "Controls\n"
    "  controls [W] [all=1]                  children (all=1: all descendants)\n"
    "                                        -> count controls=[[hwnd id \"class\" \"text\" visible\n"
    "                                        enabled [rect]] ...]\n"
    "  control C                             hwnd id class text visible enabled focused rect style\n"
    "  text C                                text=\"...\" (waits for a busy window; listings\n"
    "                                        do not, and show the stored text then)\n"
    "  click C [button=left|right] [double=1]\n"
    "                                        real mouse click at the centre of the visible\n"
    "                                        part; refused when C is hidden, disabled (or its\n"
    "                                        window is) or covered -> x y\n"
    "  click-at X Y [button=..] [double=1]   real click at screen pixel X,Y\n"
    "  move X Y                              move the real mouse\n"
    "  bm-click C                            posts BM_CLICK (reaches hidden buttons)\n"
    "  command C [code=N]                    posts WM_COMMAND(id, code, C) to C's parent\n"
    "                                        (code defaults to BN_CLICKED)\n"
    "List views\n"
    "  lv-read C                             rows cols columns=[\"..\"] items=[[\"..\" ..] ..]\n"
    "                                        selected (-1: none) top (first row in view)\n"
    "                                        per-page (rows that fit whole) scroll-x (pixels\n"
    "                                        the view is scrolled to the right) cols-in-view=[..]\n"
    "                                        (columns wholly in view across)\n"
    "  lv-selected C                         index focused\n"
    "  lv-click C ROW [col=N] [button=..] [double=1]\n"
    "                                        real click on the row's label (or column N)\n"
    "Combo boxes\n"
    "  cb-read C                             count items=[..] selected text dropped\n"
    "  cb-select C INDEX|TEXT [text=T] [via=mouse|keys] [timeout=MS]\n"
    "                                        opens the list with a click and clicks the item\n"
    "                                        (items out of view, or via=keys: arrow keys and\n"
    "                                        Enter), then waits for the selection -> as cb-read\n"
    "  cb-set C INDEX|TEXT [text=T]          for combo boxes no person can reach (hidden):\n"
    "                                        CB_SETCURSEL, then posts CBN_SELCHANGE to the\n"
    "                                        parent -> as cb-read\n"
    "IP address controls and edits\n"
    "  ip-read C                             address blank filled fields=[\"10\" ..]\n"
    "  ip-type C TEXT [field=N] [clear=1]    clicks into field N (0) and types TEXT as\n"
    "                                        keys (clear=1 first empties every field with\n"
    "                                        Home, Shift+End, Del) -> as ip-read\n"
    "  type C TEXT [clear=1]                 clicks into C, types TEXT -> text\n"
    "  keys SEQ                              keys to the focused window: characters and\n"
    "                                        {ENTER} {ESC} {TAB} {SPACE} {BACK} {DEL} {HOME}\n"
    "                                        {END} {LEFT} {RIGHT} {UP} {DOWN} {PGUP} {PGDN}\n"
    "                                        {INS} {F1}..{F12}, modifiers {SHIFT+TAB}\n"
    "                                        {CTRL+a} {ALT+F4}, repeats {DOWN 3}, {{} {}}\n"
    "  focus [W]                             the keyboard focus of W's thread: hwnd id class\n"
    "                                        [ip=ID field=0..3] window active foreground\n"
    "Message boxes\n"
    "  msgbox [timeout=MS]                   waits for a message box of the target; becomes\n"
    "                                        current -> hwnd caption text icon=hand|exclamation|\n"
    "                                        information|question|none|unknown buttons=[\"OK\" ..]\n"
    "                                        (press one with: click OK)\n"
    "Pictures and the process\n"
    "  screenshot PATH [W|screen]            BMP of the screen (default) or of W's rectangle;\n"
    "                                        Unix paths are accepted -> path width height\n"
    "  exit-code [timeout=MS]                waits for the target to end -> code (err running)\n";

}  // namespace uidriver

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0 ||
        std::strcmp(argv[i], "/?") == 0) {
      std::fputs(uidriver::kHelpText, stdout);
      return 0;
    }
    std::fprintf(stderr, "nexora-uidriver: unknown argument %s (see --help)\n", argv[i]);
    return 2;
  }
  // Replies end in a bare '\n': in text mode the C runtime would add a '\r'
  // that a reader would take for part of the reply's last field.
  _setmode(_fileno(stdout), _O_BINARY);
  std::string line;
  int c;
  bool quit = false;
  while (!quit) {
    line.clear();
    while ((c = std::fgetc(stdin)) != EOF && c != '\n') line += static_cast<char>(c);
    if (c == EOF && line.empty()) break;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::string reply = uidriver::RunCommandLine(line, &quit);
    std::fputs(reply.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
    if (c == EOF) break;
  }
  return 0;
}
