// The framework's application and threads: CWinApp and the Afx... functions
// around it (WinMain, message boxes), CWinThread with AfxBeginThread, and the
// DialogObserver that tests install. Defined in winapp.cpp; how the framework
// is used is in framework/README.md.
#pragma once

#include <string>

#include "wnd.h"

class CDialog;

// ===========================================================================
// Threads
// ===========================================================================

typedef UINT(__cdecl* AFX_THREADPROC)(LPVOID);

// A thread started by AfxBeginThread. The caller owns the object; deleting it
// closes the handle and leaves the thread running (so `delete
// AfxBeginThread(...)` starts a thread nobody waits for).
class CWinThread {
public:
  HANDLE m_hThread = nullptr;
  DWORD m_nThreadID = 0;

  CWinThread() = default;
  ~CWinThread();
  CWinThread(const CWinThread&) = delete;
  CWinThread& operator=(const CWinThread&) = delete;

  operator HANDLE() const { return m_hThread; }
  DWORD ResumeThread();  // ::ResumeThread
  BOOL SetThreadPriority(int priority);
  int GetThreadPriority() const;
  DWORD Wait(DWORD milliseconds = INFINITE) const;  // ::WaitForSingleObject
};

// ::CreateThread running fn(param) at the given priority; CREATE_SUSPENDED in
// createFlags leaves it suspended. Null when the thread could not be made.
CWinThread* AfxBeginThread(AFX_THREADPROC fn, LPVOID param, int priority = THREAD_PRIORITY_NORMAL,
                           UINT stackSize = 0, DWORD createFlags = 0,
                           LPSECURITY_ATTRIBUTES security = nullptr);

// ===========================================================================
// The application
// ===========================================================================

// Derive, and define exactly one static instance (`CUtilityApp theApp;`).
class CWinApp {
public:
  // appName: the application's name (captions of message boxes given none);
  // the executable's base name when null.
  explicit CWinApp(LPCSTR appName = nullptr);
  virtual ~CWinApp();
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;

  // FALSE ends the program (ExitInstance runs); TRUE runs the message loop.
  virtual BOOL InitInstance() { return FALSE; }
  virtual int ExitInstance() { return m_nExitCode; }  // the process exit code
  virtual int Run();  // GetMessage loop, then ExitInstance

  // Stores the dialog background colour and text colour. CDialog::OnCtlColor
  // paints the dialog background (CTLCOLOR_DLG) with them; the text colour
  // goes only into that DC and never into controls or message boxes, so even a
  // white-on-white pair cannot make any text unreadable.
  void SetDialogBkColor(COLORREF background = RGB(192, 192, 192), COLORREF text = RGB(0, 0, 0));
  HBRUSH GetDialogBkBrush() const { return m_hDlgBkBrush; }  // null until set
  COLORREF GetDialogBkColor() const { return m_clrDlgBk; }
  COLORREF GetDialogTextColor() const { return m_clrDlgText; }

  HICON LoadIcon(UINT resourceId) const;  // ::LoadIconA from AfxGetResourceHandle()

  CWnd* m_pMainWnd = nullptr;
  HINSTANCE m_hInstance = nullptr;
  LPCSTR m_pszAppName = nullptr;
  LPSTR m_lpCmdLine = nullptr;
  int m_nCmdShow = SW_SHOWNORMAL;
  int m_nExitCode = 0;  // returned by ExitInstance; set by WM_QUIT in Run

private:
  std::string m_appName;
  HBRUSH m_hDlgBkBrush = nullptr;
  COLORREF m_clrDlgBk = RGB(192, 192, 192);
  COLORREF m_clrDlgText = RGB(0, 0, 0);
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE hInstance);
// ::InitCommonControlsEx for list views, IP-address controls, progress bars and
// the other Windows 95 classes. WinMain calls it; tests call it themselves.
BOOL AfxInitCommonControls();
// The body of WinMain: AfxInitCommonControls, InitInstance, then ExitInstance
// (FALSE) or Run (TRUE). -1 when there is no application object.
int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR cmdLine, int cmdShow);

// Every message box of the program goes through here: ::MessageBoxA, unless
// the installed DialogObserver answers it. A null owner means
// CWnd::GetSafeOwner(); a null caption means the application's name.
int AfxMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
// Owned by GetSafeOwner(), captioned with the application's name.
int AfxMessageBox(LPCSTR text, UINT type = MB_OK, UINT helpId = 0);

// ===========================================================================
// Dialog observer
// ===========================================================================

// Told about every message box and modal dialog, so that a test can answer
// and drive them in place of a user. All calls come on the thread that shows
// the box or runs the dialog.
class DialogObserver {
public:
  virtual ~DialogObserver() = default;
  // A message box is about to be shown, with the owner, text and caption it
  // would show (the application's name when none was given). Returning true
  // with *answer set answers it and nothing is shown; false shows it.
  virtual bool OnMessageBox(HWND owner, const std::string& text, const std::string& caption,
                            UINT type, int* answer) = 0;
  // A modal dialog has handled WM_INITDIALOG and is still open; its message
  // loop runs next.
  virtual void OnModalStarted(CDialog& dlg) = 0;
  // DoModal of dlg is about to return: its window is gone. Also comes for a
  // dialog that failed before OnModalStarted.
  virtual void OnModalEnded(CDialog& dlg) = 0;
};

// Installs an observer (not owned); nullptr: none. Not thread-safe: set it
// before the code under test runs.
void SetDialogObserver(DialogObserver* observer);
DialogObserver* GetDialogObserver();
