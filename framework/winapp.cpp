// The application object, the program entry point, message boxes and threads.
//
// WinMain lives in this file together with the CWinApp constructor: a program
// that defines its application object links this file, and with it the entry
// point, out of the static library.
#include "framework.h"
#include "framework_internal.h"

#include <memory>

namespace {

CWinApp* g_app = nullptr;
HINSTANCE g_resourceHandle = nullptr;

}  // namespace

std::string fwinternal::ModuleBaseName() {
  char path[MAX_PATH] = {};
  DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return "program";
  std::string name(path, length);
  size_t slash = name.find_last_of("\\/:");
  if (slash != std::string::npos) name.erase(0, slash + 1);
  size_t dot = name.find_last_of('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  return name.empty() ? std::string("program") : name;
}

std::string fwinternal::AppName() {
  if (g_app != nullptr && g_app->m_pszAppName != nullptr) return g_app->m_pszAppName;
  return ModuleBaseName();
}

// --- CWinApp ----------------------------------------------------------------

CWinApp::CWinApp(LPCSTR appName)
    : m_appName(appName ? std::string(appName) : fwinternal::ModuleBaseName()) {
  m_pszAppName = m_appName.c_str();
  m_hInstance = ::GetModuleHandleA(nullptr);
  if (g_app == nullptr) g_app = this;
}

CWinApp::~CWinApp() {
  if (m_hDlgBkBrush != nullptr) ::DeleteObject(m_hDlgBkBrush);
  if (g_app == this) g_app = nullptr;
}

int CWinApp::Run() {
  MSG msg;
  BOOL got;
  while ((got = ::GetMessageA(&msg, nullptr, 0, 0)) != 0 && got != -1) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
  if (got == 0) m_nExitCode = static_cast<int>(msg.wParam);
  return ExitInstance();
}

void CWinApp::SetDialogBkColor(COLORREF background, COLORREF text) {
  HBRUSH brush = ::CreateSolidBrush(background);
  if (brush == nullptr) return;
  if (m_hDlgBkBrush != nullptr) ::DeleteObject(m_hDlgBkBrush);
  m_hDlgBkBrush = brush;
  m_clrDlgBk = background;
  m_clrDlgText = text;
}

HICON CWinApp::LoadIcon(UINT resourceId) const {
  return ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(resourceId));
}

CWinApp* AfxGetApp() { return g_app; }

CWnd* AfxGetMainWnd() { return g_app ? g_app->m_pMainWnd : nullptr; }

HINSTANCE AfxGetInstanceHandle() {
  if (g_app != nullptr && g_app->m_hInstance != nullptr) return g_app->m_hInstance;
  return ::GetModuleHandleA(nullptr);
}

HINSTANCE AfxGetResourceHandle() {
  return g_resourceHandle != nullptr ? g_resourceHandle : AfxGetInstanceHandle();
}

void AfxSetResourceHandle(HINSTANCE hInstance) { g_resourceHandle = hInstance; }

BOOL AfxInitCommonControls() {
  INITCOMMONCONTROLSEX icc{};
  icc.dwSize = sizeof icc;
  icc.dwICC = ICC_WIN95_CLASSES | ICC_INTERNET_CLASSES;
  if (::InitCommonControlsEx(&icc)) return TRUE;
  ::InitCommonControls();
  return FALSE;
}

int AfxWinMain(HINSTANCE hInstance, HINSTANCE, LPSTR cmdLine, int cmdShow) {
  AfxInitCommonControls();
  CWinApp* app = AfxGetApp();
  if (app == nullptr) return -1;
  if (hInstance != nullptr) app->m_hInstance = hInstance;
  app->m_lpCmdLine = cmdLine;
  app->m_nCmdShow = cmdShow;
  if (!app->InitInstance()) {
    if (app->m_pMainWnd != nullptr && app->m_pMainWnd->m_hWnd != nullptr)
      app->m_pMainWnd->DestroyWindow();
    return app->ExitInstance();
  }
  return app->Run();
}

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nShowCmd) {
  return AfxWinMain(hInstance, hPrevInstance, lpCmdLine, nShowCmd);
}

// --- Dialog observer and message boxes -------------------------------------

namespace {
DialogObserver* g_dialogObserver = nullptr;
}  // namespace

void SetDialogObserver(DialogObserver* observer) { g_dialogObserver = observer; }
DialogObserver* GetDialogObserver() { return g_dialogObserver; }

int AfxMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  if (owner == nullptr) owner = fwinternal::SafeOwner(nullptr);
  std::string shownCaption = caption ? std::string(caption) : fwinternal::AppName();
  std::string shownText = text ? std::string(text) : std::string();
  int answer = 0;
  if (DialogObserver* observer = GetDialogObserver();
      observer != nullptr && observer->OnMessageBox(owner, shownText, shownCaption, type, &answer))
    return answer;
  return ::MessageBoxA(owner, shownText.c_str(), shownCaption.c_str(), type);
}

int AfxMessageBox(LPCSTR text, UINT type, UINT) { return AfxMessageBox(nullptr, text, nullptr, type); }

// --- Threads ----------------------------------------------------------------

namespace {

struct ThreadStart {
  AFX_THREADPROC fn;
  LPVOID param;
};

DWORD WINAPI ThreadEntry(LPVOID p) {
  std::unique_ptr<ThreadStart> start(static_cast<ThreadStart*>(p));
  return start->fn(start->param);
}

}  // namespace

CWinThread::~CWinThread() {
  if (m_hThread != nullptr) ::CloseHandle(m_hThread);
}

DWORD CWinThread::ResumeThread() { return ::ResumeThread(m_hThread); }
BOOL CWinThread::SetThreadPriority(int priority) { return ::SetThreadPriority(m_hThread, priority); }
int CWinThread::GetThreadPriority() const { return ::GetThreadPriority(m_hThread); }
DWORD CWinThread::Wait(DWORD milliseconds) const { return ::WaitForSingleObject(m_hThread, milliseconds); }

CWinThread* AfxBeginThread(AFX_THREADPROC fn, LPVOID param, int priority, UINT stackSize,
                           DWORD createFlags, LPSECURITY_ATTRIBUTES security) {
  if (fn == nullptr) return nullptr;
  auto* start = new ThreadStart{fn, param};
  DWORD id = 0;
  HANDLE thread = ::CreateThread(security, stackSize, &ThreadEntry, start, CREATE_SUSPENDED, &id);
  if (thread == nullptr) {
    delete start;
    return nullptr;
  }
  ::SetThreadPriority(thread, priority);
  auto* result = new CWinThread;
  result->m_hThread = thread;
  result->m_nThreadID = id;
  if (!(createFlags & CREATE_SUSPENDED)) ::ResumeThread(thread);
  return result;
}
