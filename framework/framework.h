// The program's dialog framework: a thin C++ layer over USER32, GDI32 and
// COMCTL32 with the class names of the classic Windows application frameworks
// (CWinApp, CWnd, CDialog, CButton, CListCtrl, CDC, ...). ANSI throughout.
//
// Each wrapper method stands for one Win32 call or message and does nothing
// else; where a method does more, its comment says so.
//
// ---------------------------------------------------------------------------
// How a window class is written: one virtual dispatch per class
// ---------------------------------------------------------------------------
// There are no message-map tables. Every window that the framework knows
// (a dialog run by CDialog::DoModal, a control attached with DDX_Control,
// SubclassWindow or SubclassDlgItem, a window made with CWnd::CreateEx) has its
// window procedure replaced by the framework's. That procedure calls the
// object's virtual WindowProc with every message. A class that handles
// messages overrides WindowProc with one switch, calls its On... handlers and
// hands everything else to its base class's WindowProc. CWnd::WindowProc ends
// in Default(), which passes the message being handled to the window's
// original procedure (for a dialog: the system's dialog procedure).
//
//   class CLoginDlg : public CSkinDialog {
//   public:
//     CLoginDlg() : CSkinDialog(134) {}
//   protected:
//     void DoDataExchange(CDataExchange* pDX) override {
//       CSkinDialog::DoDataExchange(pDX);
//       DDX_Control(pDX, IDOK, okButton);          // subclasses control 1
//       DDX_Text(pDX, 1016, userName);
//       DDV_MaxChars(pDX, userName, 16);
//     }
//     BOOL OnInitDialog() override;                  // base first, then own set-up
//     void OnOK() override;                          // IDOK, Enter
//     LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
//       switch (msg) {
//       case WM_COMMAND:
//         if (LOWORD(wParam) == 1003 && HIWORD(wParam) == BN_CLICKED) { OnMapDrive(); return 0; }
//         break;
//       case WM_NOTIFY:
//         if (wParam == 1000 && reinterpret_cast<NMHDR*>(lParam)->code == NM_CLICK) {
//           OnClickDeviceList(); return 0;
//         }
//         break;
//       case WM_ERASEBKGND:
//         return OnEraseBkgnd(reinterpret_cast<HDC>(wParam));
//       }
//       return CSkinDialog::WindowProc(msg, wParam, lParam);
//     }
//   };
//
// CDialog::WindowProc already routes WM_INITDIALOG to OnInitDialog, WM_COMMAND
// IDOK / IDCANCEL (buttons, Enter, Escape) to OnOK / OnCancel and WM_CTLCOLOR*
// to OnCtlColor. WM_CLOSE reaches the system dialog procedure through
// Default(), which turns it into IDCANCEL, so OnCancel also handles the
// window's close command. Inside a handler, Default() runs the original
// procedure on the message being handled and returns its result.
//
// ---------------------------------------------------------------------------
// Reflection: the control that sent a notification handles it first
// ---------------------------------------------------------------------------
// Before a window's WindowProc sees WM_COMMAND (from a control), WM_NOTIFY,
// WM_DRAWITEM, WM_MEASUREITEM, WM_COMPAREITEM, WM_DELETEITEM, WM_CTLCOLOR*,
// WM_HSCROLL or WM_VSCROLL (from a scroll-bar control), the framework finds the
// sending control's object (it must be a framework window: attached with
// DDX_Control or subclassed) and calls its OnChildNotify with the original
// message. If that returns TRUE, *pResult is the answer to the message and the
// parent's WindowProc never sees it. Otherwise the parent's WindowProc runs as
// usual. So a skinned list answers its own NM_CUSTOMDRAW while NM_CLICK on the
// same list reaches the dialog's handler, and WM_DRAWITEM reaches the
// control's virtual DrawItem (CButton, CListCtrl, CHeaderCtrl). Do not call
// Default() inside OnChildNotify: the message being handled there belongs to
// the parent.
//
// ---------------------------------------------------------------------------
// Object and window lifetimes
// ---------------------------------------------------------------------------
// Objects of framework classes are not copyable. A window object is joined to
// its HWND in a process-wide permanent map while attached; FromHandle gives the
// permanent object, or else a non-owning temporary wrapper that the framework
// keeps until its window is gone (do not store temporary pointers). When a
// subclassed window receives WM_NCDESTROY the framework restores the original
// procedure, removes the object from the map, sets m_hWnd to null and calls
// PostNcDestroy. Destroying an object whose window still exists unsubclasses
// it; a window made by CreateEx is also destroyed.
//
// GDI wrappers own what they hold: CGdiObject deletes its object and CDC
// deletes its DC when destroyed (Detach first to hand the handle on). CPaintDC,
// CClientDC and CWindowDC end or release their DC instead; CDCHandle never
// owns. SelectObject returns the previously selected handle, which is how the
// previous object is put back: `HBITMAP old = dc.SelectObject(&bmp); ...
// dc.SelectObject(old);`.
//
// The program entry point WinMain is part of this library (winapp.cpp): it
// initialises the common controls, calls the single application object's
// InitInstance and then ExitInstance (or Run, when InitInstance returns TRUE)
// and returns the exit code.
//
// Message boxes and modal dialogs report to the DialogObserver when one is
// installed (tests answer and drive them through it); the program installs none.
#pragma once

#include "gdi.h"
#include "wnd.h"
#include "dialog.h"
#include "controls.h"
#include "winapp.h"
