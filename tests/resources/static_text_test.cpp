// Text as the windows draw it. Every text static of every dialog template
// must show its whole text: each one is measured in the dialog's font,
// wrapped as the static control wraps it, against the control's own
// rectangle, and a failure names the template, the control and the width in
// dialog units that its text needs. (Skin buttons carry names for screen
// readers that they never draw, so buttons are not measured.) The fonts of
// the caption glyphs and the lists must be installed.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

HINSTANCE Module() { return GetModuleHandleA(nullptr); }

BOOL CALLBACK CollectDialog(HMODULE, LPCSTR, LPSTR name, LONG_PTR out) {
  // windres gives every template a numeric id.
  if (IS_INTRESOURCE(name)) reinterpret_cast<std::vector<int>*>(out)->push_back(static_cast<int>(reinterpret_cast<UINT_PTR>(name)));
  return TRUE;
}

std::vector<int> DialogIds() {
  std::vector<int> ids;
  EnumResourceNamesA(Module(), MAKEINTRESOURCEA(5) /* RT_DIALOG */, CollectDialog, reinterpret_cast<LONG_PTR>(&ids));
  return ids;
}

INT_PTR CALLBACK NoDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

BOOL CALLBACK CollectChild(HWND child, LPARAM out) {
  reinterpret_cast<std::vector<HWND>*>(out)->push_back(child);
  return TRUE;
}

// The DrawText flags a static of this style draws its text with; false for
// statics that show no text (icons, bitmaps, frames, owner-drawn).
bool TextFormat(DWORD style, UINT* format) {
  switch (style & SS_TYPEMASK) {
    case SS_LEFT: *format = DT_LEFT | DT_EXPANDTABS | DT_WORDBREAK; break;
    case SS_CENTER: *format = DT_CENTER | DT_EXPANDTABS | DT_WORDBREAK; break;
    case SS_RIGHT: *format = DT_RIGHT | DT_EXPANDTABS | DT_WORDBREAK; break;
    case SS_SIMPLE: *format = DT_LEFT | DT_SINGLELINE; break;
    case SS_LEFTNOWORDWRAP: *format = DT_LEFT | DT_EXPANDTABS; break;
    default: return false;
  }
  if (style & SS_NOPREFIX) *format |= DT_NOPREFIX;
  if ((style & SS_TYPEMASK) != SS_SIMPLE && (style & SS_CENTERIMAGE)) *format |= DT_SINGLELINE | DT_VCENTER;
  return true;
}

// The smallest width in dialog units that covers `pixels` in this dialog.
int DialogUnitsFor(HWND dialog, int pixels) {
  for (int units = 1;; ++units) {
    RECT r{0, 0, units, 0};
    MapDialogRect(dialog, &r);
    if (r.right >= pixels) return units;
  }
}

// The rectangle DrawText fills with `text` in the control's font, starting
// from `bounds` (its width is where word wrap breaks lines).
RECT Measure(HWND control, const char* text, UINT format, RECT bounds) {
  HDC dc = GetDC(control);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
  DrawTextA(dc, text, -1, &bounds, format | DT_CALCRECT);
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  return bounds;
}

struct Cut {
  std::string text;
  int width, needs;  // dialog units
  int height, needsHeight;  // pixels
};

// The text statics of one created dialog whose text does not fit.
std::vector<Cut> CutStatics(HWND dialog) {
  std::vector<HWND> children;
  EnumChildWindows(dialog, CollectChild, reinterpret_cast<LPARAM>(&children));
  std::vector<Cut> cuts;
  for (HWND c : children) {
    char cls[32] = {};
    GetClassNameA(c, cls, sizeof cls);
    UINT format = 0;
    if (lstrcmpiA(cls, "Static") != 0 || !TextFormat(static_cast<DWORD>(GetWindowLongA(c, GWL_STYLE)), &format)) continue;
    char text[512] = {};
    GetWindowTextA(c, text, sizeof text);
    if (text[0] == '\0') continue;
    RECT client;
    GetClientRect(c, &client);
    const RECT wrapped = Measure(c, text, format, {0, 0, client.right, 0});
    if (wrapped.right <= client.right && wrapped.bottom <= client.bottom) continue;
    // A text wrapped beyond the control's height needs the width of one line.
    int needs = wrapped.right;
    if (wrapped.bottom > client.bottom) needs = Measure(c, text, (format & ~DT_WORDBREAK) | DT_SINGLELINE, {}).right;
    cuts.push_back({text, DialogUnitsFor(dialog, client.right), DialogUnitsFor(dialog, needs), static_cast<int>(client.bottom),
                    static_cast<int>(wrapped.bottom)});
  }
  return cuts;
}

TEST(StaticTexts, EveryStaticShowsItsWholeText) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES | ICC_INTERNET_CLASSES | ICC_PROGRESS_CLASS};
  ASSERT_TRUE(InitCommonControlsEx(&icc));
  const std::vector<int> ids = DialogIds();
  ASSERT_FALSE(ids.empty()) << "no dialog templates in the module";
  for (int id : ids) {
    HWND dialog = CreateDialogParamA(Module(), MAKEINTRESOURCEA(id), nullptr, NoDialogProc, 0);
    ASSERT_NE(dialog, nullptr) << "dialog " << id << " could not be created, error " << GetLastError();
    for (const Cut& cut : CutStatics(dialog)) {
      ADD_FAILURE() << "dialog " << id << ": static \"" << cut.text << "\" is cut: width " << cut.width
                    << " dialog units, its text needs " << cut.needs << " (height " << cut.height << " px, needs "
                    << cut.needsHeight << " px)";
    }
    DestroyWindow(dialog);
  }
}

// The caption buttons draw their glyphs in Marlett (without it the close
// glyph shows as the letter "r"), and the lists and headers ask for Tahoma.
int CALLBACK FoundFace(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

TEST(Fonts, CaptionGlyphAndListFontsAreInstalled) {
  HDC screen = GetDC(nullptr);
  for (const char* face : {"Marlett", "Tahoma"}) {
    LOGFONTA want{};
    want.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(want.lfFaceName, face, LF_FACESIZE);
    bool found = false;
    EnumFontFamiliesExA(screen, &want, FoundFace, reinterpret_cast<LPARAM>(&found), 0);
    EXPECT_TRUE(found) << face << " is not installed";
  }
  ReleaseDC(nullptr, screen);
}

}  // namespace
