// Loads every resource of the program from the test's own module, the way the
// program does, and checks ids, sizes, dialog templates, combo-box item lists,
// the icon, the version record and the skin table's references into them.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "dialog_skins.h"
#include "resource.h"

namespace {

// ----------------------------------------------------------------- bitmaps

struct BitmapCase {
  int id;
  int width;
  int height;
};

const BitmapCase kBitmaps[] = {
    // Dialog backgrounds.
    {IDB_MAIN_BG, 430, 574},
    {IDB_ABOUT_BG, 366, 135},
    {IDB_WIDGET_ENGINE_BG, 515, 205},
    {IDB_DRIVE_IN_USE_BG, 248, 119},
    {IDB_RESTART_BG, 441, 169},
    {IDB_LOGIN_BG, 308, 147},
    {IDB_INSTALL_BG, 441, 178},
    {IDB_MODEL_SELECT_BG, 225, 201},
    // Main-window buttons.
    {IDB_SEARCH, 100, 25},
    {IDB_SEARCH_ACTIVE, 100, 25},
    {IDB_WEB, 100, 25},
    {IDB_WEB_ACTIVE, 100, 25},
    {IDB_APPLY, 100, 25},
    {IDB_APPLY_ACTIVE, 100, 25},
    {IDB_MAP, 100, 25},
    {IDB_MAP_ACTIVE, 100, 25},
    {IDB_UNMAP, 100, 25},
    {IDB_UNMAP_ACTIVE, 100, 25},
    {IDB_EXIT, 100, 25},
    {IDB_EXIT_ACTIVE, 100, 25},
    {IDB_ABOUT, 100, 25},
    {IDB_ABOUT_ACTIVE, 100, 25},
    {IDB_LANGUAGE, 93, 30},
    {IDB_LANGUAGE_ACTIVE, 93, 30},
    {IDB_BT, 93, 28},
    {IDB_BT_ACTIVE, 93, 28},
    {IDB_MINIMIZE, 16, 16},
    {IDB_MINIMIZE_ACTIVE, 16, 16},
    {IDB_CLOSE, 16, 16},
    {IDB_CLOSE_ACTIVE, 16, 16},
    // Buttons of the other dialogs.
    {IDB_OK, 100, 25},
    {IDB_OK_ACTIVE, 100, 25},
    {IDB_CANCEL, 93, 28},
    {IDB_CANCEL_ACTIVE, 93, 28},
    {IDB_DOWNLOAD, 93, 28},
    {IDB_DOWNLOAD_ACTIVE, 93, 28},
    {IDB_NEXT, 93, 28},
    {IDB_NEXT_ACTIVE, 93, 28},
    // Vertical scroll bar.
    {IDB_VSCROLL_TRACK, 14, 2},
    {IDB_VSCROLL_UP, 14, 16},
    {IDB_VSCROLL_DOWN, 14, 16},
    {IDB_VSCROLL_THUMB, 14, 26},
    {IDB_VSCROLL_TRACK_OFF, 14, 1},
    {IDB_VSCROLL_UP_OFF, 14, 16},
    {IDB_VSCROLL_DOWN_OFF, 14, 16},
    // Horizontal scroll bar.
    {IDB_HSCROLL_TRACK, 2, 14},
    {IDB_HSCROLL_LEFT, 16, 14},
    {IDB_HSCROLL_RIGHT, 16, 14},
    {IDB_HSCROLL_THUMB, 26, 14},
    {IDB_HSCROLL_TRACK_OFF, 1, 14},
    {IDB_HSCROLL_LEFT_OFF, 16, 14},
    {IDB_HSCROLL_RIGHT_OFF, 16, 14},
    // List header.
    {IDB_HEADER_STRIP, 1, 17},
    {IDB_HEADER_SEPARATOR, 12, 17},
};

HINSTANCE Module() { return GetModuleHandleA(nullptr); }

// The colour of one pixel of a loaded bitmap, as the screen would show it.
COLORREF PixelOf(HBITMAP bitmap, int x, int y) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(dc, bitmap);
  COLORREF c = GetPixel(dc, x, y);
  SelectObject(dc, old);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return c;
}

int Brightness(COLORREF c) { return (GetRValue(c) * 299 + GetGValue(c) * 587 + GetBValue(c) * 114) / 1000; }

TEST(Bitmaps, EveryBitmapLoadsWithItsSize) {
  for (const BitmapCase& b : kBitmaps) {
    HBITMAP h = LoadBitmapA(Module(), MAKEINTRESOURCEA(b.id));
    ASSERT_NE(h, nullptr) << "bitmap " << b.id << " did not load";
    BITMAP info{};
    ASSERT_EQ(GetObjectA(h, sizeof info, &info), static_cast<int>(sizeof info)) << "bitmap " << b.id;
    EXPECT_EQ(info.bmWidth, b.width) << "width of bitmap " << b.id;
    EXPECT_EQ(info.bmHeight, b.height) << "height of bitmap " << b.id;
    DeleteObject(h);
  }
}

TEST(Bitmaps, StoredAsUncompressed24BitDibs) {
  for (const BitmapCase& b : kBitmaps) {
    HRSRC r = FindResourceA(Module(), MAKEINTRESOURCEA(b.id), MAKEINTRESOURCEA(2) /* RT_BITMAP */);
    ASSERT_NE(r, nullptr) << "bitmap " << b.id;
    const auto* header = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(Module(), r)));
    ASSERT_NE(header, nullptr) << "bitmap " << b.id;
    EXPECT_EQ(header->biSize, sizeof(BITMAPINFOHEADER)) << "header size of bitmap " << b.id;
    EXPECT_EQ(header->biBitCount, 24) << "bits per pixel of bitmap " << b.id;
    EXPECT_EQ(header->biCompression, static_cast<DWORD>(BI_RGB)) << "compression of bitmap " << b.id;
  }
}

// The program draws black text on some pictures and white text on others;
// the pictures must leave those texts readable.
TEST(Bitmaps, GroundsUnderTextsHaveTheRightBrightness) {
  struct Spot {
    int bitmap;
    int x, y;
    bool light;
    const char* what;
  };
  // Main window: its labels are drawn black; positions are dialog units
  // scaled to the picture (x * 430 / 287, y * 574 / 329), at the label's middle.
  auto mx = [](int x) { return x * 430 / 287; };
  auto my = [](int y) { return y * 574 / 329; };
  const Spot spots[] = {
      {IDB_MAIN_BG, mx(20), my(152), true, "main window, \"I P :\""},
      {IDB_MAIN_BG, mx(30), my(168), true, "main window, \"Netmask :\""},
      {IDB_MAIN_BG, mx(30), my(184), true, "main window, \"Gateway :\""},
      {IDB_MAIN_BG, mx(190), my(151), true, "main window, \"Receive DHCP :\""},
      {IDB_MAIN_BG, mx(234), my(224), true, "main window, \"Available Drive Letters :\""},
      // Header text is drawn black on the strip; list rows are on white.
      {IDB_HEADER_STRIP, 0, 8, true, "header strip"},
      {IDB_HEADER_SEPARATOR, 8, 8, true, "header separator"},
      // Small dialogs: white texts on the dark gradient.
      {IDB_ABOUT_BG, 100, 40, false, "About box"},
      {IDB_LOGIN_BG, 30, 60, false, "Login"},
      {IDB_INSTALL_BG, 30, 60, false, "install progress"},
      {IDB_RESTART_BG, 60, 40, false, "restart wait"},
      {IDB_DRIVE_IN_USE_BG, 30, 30, false, "drive in use"},
      {IDB_WIDGET_ENGINE_BG, 30, 30, false, "widget engine prompt"},
      {IDB_MODEL_SELECT_BG, 30, 30, false, "model choice"},
  };
  for (const Spot& s : spots) {
    HBITMAP h = LoadBitmapA(Module(), MAKEINTRESOURCEA(s.bitmap));
    ASSERT_NE(h, nullptr) << s.what;
    int level = Brightness(PixelOf(h, s.x, s.y));
    if (s.light) {
      EXPECT_GE(level, 180) << s.what << ": expected a light ground under black text, got brightness " << level;
    } else {
      EXPECT_LE(level, 90) << s.what << ": expected a dark ground under white text, got brightness " << level;
    }
    DeleteObject(h);
  }
}

// The minimise and close glyphs are copied onto the main window's title
// band; their ground must be the band's own colour there.
TEST(Bitmaps, TitleGlyphsMatchTheTitleBand) {
  HBITMAP band = LoadBitmapA(Module(), MAKEINTRESOURCEA(IDB_MAIN_BG));
  ASSERT_NE(band, nullptr);
  for (int glyph : {IDB_MINIMIZE, IDB_CLOSE}) {
    HBITMAP g = LoadBitmapA(Module(), MAKEINTRESOURCEA(glyph));
    ASSERT_NE(g, nullptr) << "bitmap " << glyph;
    const int x0 = (glyph == IDB_MINIMIZE ? 258 : 271) * 430 / 287;
    const int y0 = 3 * 574 / 329;
    for (int y : {0, 15}) {
      for (int x : {0, 15}) {
        COLORREF want = PixelOf(band, x0 + x, y0 + y);
        COLORREF got = PixelOf(g, x, y);
        EXPECT_EQ(got, want) << "bitmap " << glyph << " at (" << x << ", " << y << "): expected the band's colour "
                             << std::hex << want << ", got " << got;
      }
    }
    DeleteObject(g);
  }
  DeleteObject(band);
}

// The small dialogs share one background: a graphite gradient that reaches
// black at half height.
TEST(Bitmaps, SmallDialogBackgroundsFadeToBlackAtHalfHeight) {
  const BitmapCase grounds[] = {{IDB_ABOUT_BG, 366, 135}, {IDB_WIDGET_ENGINE_BG, 515, 205}, {IDB_DRIVE_IN_USE_BG, 248, 119}, {IDB_RESTART_BG, 441, 169}, {IDB_LOGIN_BG, 308, 147}, {IDB_INSTALL_BG, 441, 178}, {IDB_MODEL_SELECT_BG, 225, 201}};
  for (const BitmapCase& g : grounds) {
    HBITMAP h = LoadBitmapA(Module(), MAKEINTRESOURCEA(g.id));
    ASSERT_NE(h, nullptr) << "bitmap " << g.id;
    COLORREF top = PixelOf(h, 3, 2);
    COLORREF quarter = PixelOf(h, 3, g.height / 4);
    COLORREF low = PixelOf(h, 3, g.height * 3 / 4);
    EXPECT_NEAR(GetRValue(top), 0x45, 8) << "top of bitmap " << g.id;
    EXPECT_NEAR(GetRValue(quarter), 0x30, 8) << "quarter height of bitmap " << g.id;
    EXPECT_EQ(low, RGB(0, 0, 0)) << "lower half of bitmap " << g.id;
    DeleteObject(h);
  }
}

// ----------------------------------------------------------- dialog templates

// One control of a dialog template, as read from the resource.
struct Item {
  DWORD style = 0;
  short x = 0, y = 0, cx = 0, cy = 0;
  int id = 0;
  std::string cls;  // class name, or "#<atom>" for the predefined classes
  std::string text;  // text, or "#<number>" for a resource number
};

struct Template {
  DWORD style = 0;
  short x = 0, y = 0, cx = 0, cy = 0;
  std::string caption;
  int pointSize = 0;
  std::string face;
  std::vector<Item> items;
};

class Reader {
public:
  explicit Reader(const BYTE* p) : m_base(p), m_p(p) {}
  WORD Word() {
    WORD w;
    std::memcpy(&w, m_p, 2);
    m_p += 2;
    return w;
  }
  DWORD Dword() {
    DWORD d;
    std::memcpy(&d, m_p, 4);
    m_p += 4;
    return d;
  }
  short Short() { return static_cast<short>(Word()); }
  std::string Text() {
    std::string s;
    for (WORD c = Word(); c != 0; c = Word()) s += static_cast<char>(c < 128 ? c : '?');
    return s;
  }
  std::string TextOrNumber() {
    WORD first;
    std::memcpy(&first, m_p, 2);
    if (first == 0xFFFF) {
      Word();
      return "#" + std::to_string(Word());
    }
    return Text();
  }
  void AlignDword() {
    while ((m_p - m_base) % 4 != 0) ++m_p;
  }
  void Skip(size_t n) { m_p += n; }

private:
  const BYTE* m_base;
  const BYTE* m_p;
};

bool LoadTemplate(int id, Template* t) {
  HRSRC r = FindResourceA(Module(), MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5) /* RT_DIALOG */);
  if (r == nullptr) return false;
  const BYTE* p = static_cast<const BYTE*>(LockResource(LoadResource(Module(), r)));
  if (p == nullptr) return false;
  Reader in(p);
  t->style = in.Dword();
  in.Dword();  // extended style
  WORD count = in.Word();
  t->x = in.Short();
  t->y = in.Short();
  t->cx = in.Short();
  t->cy = in.Short();
  in.TextOrNumber();  // menu
  in.TextOrNumber();  // class
  t->caption = in.Text();
  if (t->style & DS_SETFONT) {
    t->pointSize = in.Word();
    t->face = in.Text();
  }
  for (WORD i = 0; i < count; ++i) {
    in.AlignDword();
    Item item;
    item.style = in.Dword();
    in.Dword();  // extended style
    item.x = in.Short();
    item.y = in.Short();
    item.cx = in.Short();
    item.cy = in.Short();
    item.id = static_cast<short>(in.Word());
    item.cls = in.TextOrNumber();
    item.text = in.TextOrNumber();
    in.Skip(in.Word());  // creation data
    t->items.push_back(item);
  }
  return true;
}

const char* const kButton = "#128";
const char* const kEdit = "#129";
const char* const kStatic = "#130";
const char* const kCombo = "#133";
const char* const kList = "SysListView32";
const char* const kIp = "SysIPAddress32";
const char* const kProgress = "msctls_progress32";

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

struct ItemCase {
  int id;
  const char* cls;
  const char* text;
  short x, y, cx, cy;
  DWORD mustHave;  // style bits that must be set
  bool visible;
};

struct TemplateCase {
  int id;
  short cx, cy;
  const char* caption;
  int pointSize;
  std::vector<ItemCase> items;
};

const DWORD kListStyle = LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_BORDER | WS_TABSTOP;
const DWORD kDropList = CBS_DROPDOWNLIST | WS_VSCROLL;

std::vector<TemplateCase> Templates() {
  return {
      {IDD_MAIN, 287, 329, "", 8, {
                                      {IDC_DEVICE_LIST, kList, "", 14, 44, 179, 61, kListStyle, true},
                                      {IDC_REFRESH, kButton, "Search", 211, 44, 68, 16, WS_TABSTOP, true},
                                      {IDC_WEB, kButton, "Web", 211, 64, 68, 16, WS_TABSTOP, true},
                                      {-1, kStatic, "I P :", 14, 148, 14, 8, 0, true},
                                      {IDC_IP, kIp, "", 50, 145, 100, 13, WS_TABSTOP, true},
                                      {-1, kStatic, "Netmask :", 14, 164, 33, 8, 0, true},
                                      {IDC_NETMASK, kIp, "", 50, 161, 100, 13, WS_TABSTOP, true},
                                      {-1, kStatic, "Gateway :", 14, 180, 38, 8, 0, true},
                                      {IDC_GATEWAY, kIp, "", 50, 177, 100, 13, WS_TABSTOP, true},
                                      {-1, kStatic, "Receive DHCP :", 165, 147, 53, 8, 0, true},
                                      {IDC_DHCP_COMBO, kCombo, "", 219, 145, 59, 49, kDropList | WS_TABSTOP, true},
                                      {IDC_APPLY, kButton, "Apply", 211, 164, 68, 16, WS_TABSTOP, true},
                                      {IDC_SHARE_LIST, kList, "", 14, 221, 157, 61, kListStyle, true},
                                      {-1, kStatic, "Available Drive Letters :", 195, 220, 78, 8, 0, true},
                                      {IDC_DRIVE_COMBO, kCombo, "", 195, 232, 84, 110, kDropList | WS_TABSTOP, true},
                                      {IDC_MAP, kButton, "Map", 211, 250, 68, 16, WS_TABSTOP, true},
                                      {IDC_UNMAP, kButton, "Unmap", 211, 270, 68, 16, WS_TABSTOP, true},
                                      {IDC_ABOUT, kButton, "About", 133, 309, 68, 16, WS_TABSTOP, true},
                                      {IDC_EXIT, kButton, "Exit", 211, 309, 68, 16, WS_TABSTOP, true},
                                      {IDC_LANGUAGE, kButton, "Language", 133, 115, 62, 19, 0, false},
                                      {IDC_BT, kButton, "BitTorrent", 203, 109, 62, 20, 0, false},
                                      {IDC_MINIMIZE, kButton, "Minimize", 258, 3, 12, 10, WS_TABSTOP, true},
                                      {IDC_CLOSE, kButton, "Close", 271, 3, 12, 10, WS_TABSTOP, true},
                                      {IDC_WIDGET, kButton, "Widgets", 202, 102, 62, 21, 0, false},
                                      {IDC_LAN_PORT_COMBO, kCombo, "", 50, 120, 65, 49, kDropList, false},
                                  }},
      {IDD_LOGIN, 205, 84, "Login", 8, {
                                           {-1, kStatic, "User name :", 13, 29, 40, 8, 0, true},
                                           {IDC_LOGIN_USER, kEdit, "", 60, 26, 69, 14, ES_AUTOHSCROLL, true},
                                           {-1, kStatic, "Password :", 13, 50, 40, 8, 0, true},
                                           {IDC_LOGIN_PASSWORD, kEdit, "", 60, 47, 69, 14, ES_PASSWORD, true},
                                           {IDOK, kButton, "OK", 135, 26, 62, 16, WS_TABSTOP, true},
                                           {IDCANCEL, kButton, "Cancel", 135, 46, 62, 16, WS_TABSTOP, true},
                                       }},
      {IDD_LANGUAGE, 226, 64, "", 8, {
                                         {-1, kStatic, "Language :", 14, 21, 36, 8, 0, true},
                                         {IDC_LANGUAGE_COMBO, kCombo, "", 52, 19, 94, 59, kDropList, true},
                                         {IDOK, kButton, "OK", 151, 17, 62, 16, WS_TABSTOP, true},
                                         {IDCANCEL, kButton, "Cancel", 151, 34, 62, 16, WS_TABSTOP, true},
                                     }},
      {IDD_RESTART_WAIT, 202, 75, "", 8, {
                                             {-1, kStatic, "The system is restarting. Please wait a moment.", 25, 18, 158, 8, 0, true},
                                             {IDC_RESTART_PROGRESS, kProgress, "", 26, 41, 152, 10, 0, true},
                                         }},
      {IDD_INSTALL_PROGRESS, 220, 75, "", 8, {
                                                 {-1, kStatic, "Loading.....", 6, 11, 36, 8, 0, true},
                                                 {-1, kStatic, " Warning: Do not power down your device during this process.", 4, 28, 209, 8, 0, true},
                                                 {-1, kStatic, "Doing so may physically damage this device.", 6, 45, 145, 8, 0, true},
                                             }},
      {IDD_DRIVE_IN_USE, 165, 68, "", 8, {
                                             {IDOK, kButton, "OK", 15, 44, 62, 16, WS_TABSTOP, true},
                                             {IDCANCEL, kButton, "Cancel", 81, 44, 62, 16, WS_TABSTOP, true},
                                             {-1, kStatic, "The drive letter has been used.", 17, 13, 114, 8, 0, true},
                                             {-1, kStatic, "Do you still want to use this drive letter?", 17, 24, 139, 8, 0, true},
                                         }},
      {IDD_WIDGET_ENGINE, 343, 117, "", 8, {
                                               {IDOK, kButton, "Download", 206, 92, 61, 16, WS_TABSTOP, true},
                                               {IDCANCEL, kButton, "Next", 269, 92, 62, 16, WS_TABSTOP, true},
                                               {-1, kStatic, "You need to first download and install YAHOO! Widgets Engine.", 10, 14, 206, 8, 0, true},
                                               {-1, kStatic, "If you wish to download and install YAHOO! Widgets Engine, please click on the \"Download\" button.", 10, 34, 324, 8, 0, true},
                                               {-1, kStatic, "If you have already installed YAHOO! Widgets Engine, please click on the \"Next\" button to", 10, 54, 289, 8, 0, true},
                                               {-1, kStatic, "proceed to the next step.", 10, 74, 82, 8, 0, true},
                                           }},
      {IDD_MODEL_SELECT, 150, 115, "", 8, {
                                              {IDOK, kButton, "OK", 11, 90, 62, 16, WS_TABSTOP, true},
                                              {IDCANCEL, kButton, "Cancel", 75, 90, 62, 16, WS_TABSTOP, true},
                                              {IDC_MODEL_7100, kButton, "KX-7100", 11, 42, 45, 10, BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, true},
                                              {IDC_MODEL_7200, kButton, "KX-7200", 11, 56, 45, 10, BS_AUTORADIOBUTTON, true},
                                              {IDC_MODEL_7400, kButton, "KX-7400", 11, 70, 45, 10, BS_AUTORADIOBUTTON, true},
                                              {-1, kStatic, "The model type cannot be recognized.", 11, 15, 124, 8, WS_GROUP, true},
                                              {-1, kStatic, "Please select:", 11, 26, 46, 8, 0, true},
                                          }},
      {IDD_ABOUT, 267, 71, "", 9, {
                                      {IDOK, kButton, "OK", 191, 49, 68, 16, WS_TABSTOP, true},
                                      {-1, kStatic, "#128", 11, 25, 20, 20, SS_ICON, true},
                                      {-1, kStatic, "Nexora Storage Utility", 37, 18, 111, 8, 0, true},
                                      {-1, kStatic, "Copyright (C) Nexora Technology. All rights reserved.", 37, 29, 218, 9, 0, true},
                                      {-1, kStatic, "Version : 5.1.1.2", 37, 40, 88, 8, 0, true},
                                  }},
  };
}

TEST(Dialogs, TemplatesHaveTheirFrameSizeFontAndControls) {
  for (const TemplateCase& want : Templates()) {
    SCOPED_TRACE("dialog " + std::to_string(want.id));
    Template got;
    ASSERT_TRUE(LoadTemplate(want.id, &got)) << "template not found";
    EXPECT_EQ(got.cx, want.cx) << "width";
    EXPECT_EQ(got.cy, want.cy) << "height";
    EXPECT_EQ(got.caption, want.caption) << "title";
    EXPECT_EQ(got.face, "Arial") << "font";
    EXPECT_EQ(got.pointSize, want.pointSize) << "font size";
    EXPECT_TRUE(got.style & DS_SETFONT) << "style " << std::hex << got.style;
    if (want.id == IDD_MAIN) {
      EXPECT_EQ(got.style & ~DS_SETFONT & ~DS_SETFOREGROUND, static_cast<DWORD>(WS_POPUP))
          << "main window style " << std::hex << got.style;
      EXPECT_TRUE(got.style & DS_SETFOREGROUND) << "style " << std::hex << got.style;
    } else {
      const DWORD frame = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU;
      EXPECT_EQ(got.style & frame, frame) << "style " << std::hex << got.style;
    }
    ASSERT_EQ(got.items.size(), want.items.size()) << "number of controls";
    for (size_t i = 0; i < want.items.size(); ++i) {
      const ItemCase& w = want.items[i];
      const Item& g = got.items[i];
      SCOPED_TRACE("control #" + std::to_string(i) + " (id " + std::to_string(w.id) + ")");
      EXPECT_EQ(g.id, w.id) << "id";
      // Class names are case-insensitive; windres stores them upper-cased.
      EXPECT_EQ(Upper(g.cls), Upper(w.cls)) << "class";
      EXPECT_EQ(g.text, w.text) << "text";
      EXPECT_EQ(g.x, w.x) << "x";
      EXPECT_EQ(g.y, w.y) << "y";
      EXPECT_EQ(g.cx, w.cx) << "width";
      EXPECT_EQ(g.cy, w.cy) << "height";
      EXPECT_EQ(g.style & w.mustHave, w.mustHave) << "style " << std::hex << g.style;
      EXPECT_EQ((g.style & WS_VISIBLE) != 0, w.visible) << "visibility, style " << std::hex << g.style;
      EXPECT_TRUE(g.style & WS_CHILD) << "style " << std::hex << g.style;
      if (g.cls == kButton && (w.mustHave & BS_TYPEMASK) == 0) {
        EXPECT_LE(g.style & 0x0F, static_cast<DWORD>(BS_DEFPUSHBUTTON)) << "push button, style " << std::hex << g.style;
      }
      if (g.cls == kCombo) {
        EXPECT_FALSE(g.style & CBS_SORT) << "combo boxes keep their item order, style " << std::hex << g.style;
      }
    }
  }
}

INT_PTR CALLBACK NoDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// The dialogs must be creatable: every control class exists once the common
// controls are registered, as the program does at start-up.
TEST(Dialogs, EveryTemplateCreatesAWindow) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES | ICC_INTERNET_CLASSES | ICC_PROGRESS_CLASS};
  ASSERT_TRUE(InitCommonControlsEx(&icc));
  for (const TemplateCase& t : Templates()) {
    HWND w = CreateDialogParamA(Module(), MAKEINTRESOURCEA(t.id), nullptr, NoDialogProc, 0);
    ASSERT_NE(w, nullptr) << "dialog " << t.id << " could not be created, error " << GetLastError();
    for (const ItemCase& c : t.items) {
      if (c.id > 0) {
        EXPECT_NE(GetDlgItem(w, c.id), nullptr) << "dialog " << t.id << " control " << c.id;
      }
    }
    DestroyWindow(w);
  }
}

// Tab visits the controls a person can reach in the order they are seen:
// top to bottom, within a panel its left column before its right one,
// coming round from the last to the first. Each list starts at the stop
// that has the focus when the window opens (the main window's frame buttons
// come round after Exit, so that the device list has it). Shift+Tab goes
// the same way back.
struct TabOrderCase {
  int id;
  std::vector<int> controls;
};

const TabOrderCase kTabOrders[] = {
    {IDD_MAIN, {IDC_DEVICE_LIST, IDC_REFRESH, IDC_WEB, IDC_IP, IDC_NETMASK, IDC_GATEWAY, IDC_DHCP_COMBO, IDC_APPLY, IDC_SHARE_LIST, IDC_DRIVE_COMBO, IDC_MAP, IDC_UNMAP, IDC_ABOUT, IDC_EXIT, IDC_MINIMIZE, IDC_CLOSE}},
    {IDD_LOGIN, {IDC_LOGIN_USER, IDC_LOGIN_PASSWORD, IDOK, IDCANCEL}},
    {IDD_LANGUAGE, {IDC_LANGUAGE_COMBO, IDOK, IDCANCEL}},
    {IDD_RESTART_WAIT, {}},
    {IDD_INSTALL_PROGRESS, {}},
    {IDD_DRIVE_IN_USE, {IDOK, IDCANCEL}},
    {IDD_WIDGET_ENGINE, {IDOK, IDCANCEL}},
    {IDD_MODEL_SELECT, {IDOK, IDCANCEL, IDC_MODEL_7100}},
    {IDD_ABOUT, {IDOK}},
};

// The ids of the controls that Tab (or Shift+Tab, back) visits from the
// first one until it comes round again.
std::vector<int> TabCycle(HWND dialog, bool back) {
  std::vector<int> ids;
  HWND first = GetNextDlgTabItem(dialog, nullptr, FALSE);
  HWND at = first;
  while (at != nullptr && ids.size() < 64) {
    ids.push_back(GetDlgCtrlID(at));
    at = GetNextDlgTabItem(dialog, at, back ? TRUE : FALSE);
    if (at == first) break;
  }
  return ids;
}

std::string IdList(const std::vector<int>& ids) {
  std::string text;
  for (int id : ids) text += (text.empty() ? "" : " ") + std::to_string(id);
  return "[" + text + "]";
}

TEST(Dialogs, TabVisitsTheControlsInTheirVisualOrder) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES | ICC_INTERNET_CLASSES | ICC_PROGRESS_CLASS};
  ASSERT_TRUE(InitCommonControlsEx(&icc));
  for (const TabOrderCase& t : kTabOrders) {
    HWND w = CreateDialogParamA(Module(), MAKEINTRESOURCEA(t.id), nullptr, NoDialogProc, 0);
    ASSERT_NE(w, nullptr) << "dialog " << t.id << " could not be created, error " << GetLastError();
    EXPECT_EQ(IdList(t.controls), IdList(TabCycle(w, false))) << "dialog " << t.id << ": Tab";
    std::vector<int> back = t.controls;
    if (!back.empty()) std::reverse(back.begin() + 1, back.end());
    EXPECT_EQ(IdList(back), IdList(TabCycle(w, true))) << "dialog " << t.id << ": Shift+Tab";
    DestroyWindow(w);
  }
}

// ------------------------------------------------------------- skin table

SIZE LoadedSize(UINT id) {
  SIZE size{0, 0};
  HBITMAP h = LoadBitmapA(Module(), MAKEINTRESOURCEA(id));
  if (h == nullptr) return size;
  BITMAP info{};
  if (GetObjectA(h, sizeof info, &info) == static_cast<int>(sizeof info)) size = {info.bmWidth, info.bmHeight};
  DeleteObject(h);
  return size;
}

// Every skinned template names a background and button faces that exist in
// the program, on controls its template has; the two faces of a button are
// drawn over the same rectangle, so they have one size.
TEST(DialogSkins, EverySkinnedTemplateFindsItsBitmapsAndControls) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES | ICC_INTERNET_CLASSES | ICC_PROGRESS_CLASS};
  ASSERT_TRUE(InitCommonControlsEx(&icc));
  for (UINT id : kSkinnedTemplates) {
    const SkinDialogSettings s = DialogSkinSettings(id);
    const SIZE ground = LoadedSize(s.backgroundId);
    EXPECT_GT(ground.cx, 0) << "template " << id << ": background " << s.backgroundId << " did not load";
    HWND w = CreateDialogParamA(Module(), MAKEINTRESOURCEA(id), nullptr, NoDialogProc, 0);
    ASSERT_NE(w, nullptr) << "template " << id << " could not be created, error " << GetLastError();
    for (const SkinButtonFaces& b : s.buttons) {
      EXPECT_NE(GetDlgItem(w, b.controlId), nullptr) << "template " << id << ": no control " << b.controlId;
      if (b.normal == 0 && b.active == 0) continue;  // a skin button that keeps the plain face
      const SIZE normal = LoadedSize(b.normal), active = LoadedSize(b.active);
      EXPECT_GT(normal.cx, 0) << "template " << id << " control " << b.controlId << ": face " << b.normal;
      EXPECT_GT(active.cx, 0) << "template " << id << " control " << b.controlId << ": face " << b.active;
      EXPECT_TRUE(normal.cx == active.cx && normal.cy == active.cy)
          << "template " << id << " control " << b.controlId << ": expected faces of one size, got " << normal.cx
          << "x" << normal.cy << " and " << active.cx << "x" << active.cy;
    }
    std::vector<int> named = s.excludedIds;
    for (int control : {s.minimizeButtonId, s.closeButtonId})
      if (control != 0) named.push_back(control);
    for (int control : named) {
      EXPECT_NE(GetDlgItem(w, control), nullptr) << "template " << id << ": no control " << control;
    }
    DestroyWindow(w);
  }
}

// A skin button draws only its bitmap; its window text is what a screen
// reader says for it, so every skin button of the skin table carries the
// name that the template table gives it.
TEST(DialogSkins, EverySkinButtonIsNamedByItsFunction) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES | ICC_INTERNET_CLASSES | ICC_PROGRESS_CLASS};
  ASSERT_TRUE(InitCommonControlsEx(&icc));
  const std::vector<TemplateCase> templates = Templates();
  for (UINT id : kSkinnedTemplates) {
    const TemplateCase* want = nullptr;
    for (const TemplateCase& t : templates)
      if (t.id == static_cast<int>(id)) want = &t;
    ASSERT_NE(want, nullptr) << "template " << id << " is missing from the template table";
    HWND w = CreateDialogParamA(Module(), MAKEINTRESOURCEA(id), nullptr, NoDialogProc, 0);
    ASSERT_NE(w, nullptr) << "template " << id << " could not be created, error " << GetLastError();
    for (const SkinButtonFaces& b : DialogSkinSettings(id).buttons) {
      const char* name = nullptr;
      for (const ItemCase& c : want->items)
        if (c.id == b.controlId && std::string(c.cls) == kButton) name = c.text;
      if (name == nullptr || name[0] == '\0') {
        ADD_FAILURE() << "template " << id << ": skin button " << b.controlId << " has no name in the template table";
        continue;
      }
      char text[64] = {};
      GetDlgItemTextA(w, b.controlId, text, sizeof text);
      EXPECT_STREQ(name, text) << "template " << id << ": window text of skin button " << b.controlId;
    }
    DestroyWindow(w);
  }
}

// ----------------------------------------------------------- combo-box lists

struct InitEntry {
  int control;
  int message;
  std::string text;
};

bool ReadDlgInit(int id, std::vector<InitEntry>* out, std::string* problem) {
  HRSRC r = FindResourceA(Module(), MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(240));
  if (r == nullptr) {
    *problem = "no item list resource";
    return false;
  }
  const BYTE* p = static_cast<const BYTE*>(LockResource(LoadResource(Module(), r)));
  const DWORD size = SizeofResource(Module(), r);
  DWORD at = 0;
  for (;;) {
    if (at + 2 > size) {
      *problem = "list runs past the resource without its end word";
      return false;
    }
    WORD control;
    std::memcpy(&control, p + at, 2);
    at += 2;
    if (control == 0) return true;
    if (at + 6 > size) {
      *problem = "truncated entry";
      return false;
    }
    WORD message;
    DWORD length;
    std::memcpy(&message, p + at, 2);
    std::memcpy(&length, p + at + 2, 4);
    at += 6;
    if (length == 0 || at + length > size || p[at + length - 1] != 0) {
      *problem = "entry text without its terminator inside its length";
      return false;
    }
    out->push_back({control, message, std::string(reinterpret_cast<const char*>(p + at), length - 1)});
    at += length;
  }
}

TEST(ComboLists, ItemListsHoldTheItemsInOrder) {
  struct Case {
    int dialog;
    int control;
    std::vector<std::string> items;
  };
  const Case cases[] = {
      {IDD_MAIN, IDC_DHCP_COMBO, {"Disable", "Enable"}},
      {IDD_LANGUAGE, IDC_LANGUAGE_COMBO, {"Traditional Chinese", "Simplified Chinese", "Western European", "Northern European", "Central European", "Turkish", "Korean Hangul", "Cyrillic", "Japanese SJIS"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("dialog " + std::to_string(c.dialog));
    std::vector<InitEntry> entries;
    std::string problem;
    ASSERT_TRUE(ReadDlgInit(c.dialog, &entries, &problem)) << problem;
    ASSERT_EQ(entries.size(), c.items.size()) << "number of items";
    for (size_t i = 0; i < entries.size(); ++i) {
      EXPECT_EQ(entries[i].control, c.control) << "item " << i;
      EXPECT_EQ(entries[i].message, 0x0403) << "item " << i;
      EXPECT_EQ(entries[i].text, c.items[i]) << "item " << i;
    }
  }
}

// --------------------------------------------------------- icon and version

TEST(IconAndVersion, IconHasItsSizes) {
  for (int size : {16, 32, 48}) {
    HANDLE icon = LoadImageA(Module(), MAKEINTRESOURCEA(IDI_APP), IMAGE_ICON, size, size, 0);
    ASSERT_NE(icon, nullptr) << "icon " << IDI_APP << " at " << size << " pixels";
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(static_cast<HICON>(icon), &info));
    BITMAP bm{};
    GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, size) << "icon width";
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    DestroyIcon(static_cast<HICON>(icon));
  }
  // The group lists three sizes in two colour depths.
  HRSRC group = FindResourceA(Module(), MAKEINTRESOURCEA(IDI_APP), MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */);
  ASSERT_NE(group, nullptr);
  const BYTE* g = static_cast<const BYTE*>(LockResource(LoadResource(Module(), group)));
  WORD count;
  std::memcpy(&count, g + 4, 2);
  EXPECT_EQ(count, 6) << "images in the icon group";
}

std::string VersionValue(const BYTE* block, const char* name) {
  char path[128];
  std::snprintf(path, sizeof path, "\\StringFileInfo\\040904b0\\%s", name);
  char* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(block, path, reinterpret_cast<void**>(&value), &length) || value == nullptr) return "<missing>";
  return std::string(value);
}

TEST(IconAndVersion, VersionRecordNamesTheProduct) {
  HRSRC r = FindResourceA(Module(), MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(16) /* RT_VERSION */);
  ASSERT_NE(r, nullptr);
  const DWORD size = SizeofResource(Module(), r);
  // VerQueryValue wants a writable copy.
  std::vector<BYTE> block(size * 2);
  std::memcpy(block.data(), LockResource(LoadResource(Module(), r)), size);
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00050001u) << std::hex << fixed->dwFileVersionMS;
  EXPECT_EQ(fixed->dwFileVersionLS, 0x00010002u) << std::hex << fixed->dwFileVersionLS;
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00050001u) << std::hex << fixed->dwProductVersionMS;
  EXPECT_EQ(fixed->dwProductVersionLS, 0x00010002u) << std::hex << fixed->dwProductVersionLS;
  EXPECT_EQ(VersionValue(block.data(), "ProductName"), "Nexora Storage Utility");
  EXPECT_EQ(VersionValue(block.data(), "ProductVersion"), "5.1.1.2");
  EXPECT_EQ(VersionValue(block.data(), "FileVersion"), "5.1.1.2");
  EXPECT_NE(VersionValue(block.data(), "CompanyName"), "<missing>");
  EXPECT_NE(VersionValue(block.data(), "FileDescription"), "<missing>");
}

}  // namespace
