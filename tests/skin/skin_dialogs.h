// Test dialogs: the main window's template with its lists skinned and
// columns and rows like the program's, and a dialog of any other template.
#pragma once
#include "dialog_skins.h"
#include "resource.h"
#include "skin_list.h"

#include <vector>

namespace skintest {

// A skinned list that records the scroll requests it receives.
class RecordingList : public CSkinListCtrl {
public:
  struct Request {
    UINT message;
    UINT code;
    DWORD tick;
  };
  std::vector<Request> requests;
  int paints = 0;
  size_t Count(UINT message, UINT code) const {
    size_t n = 0;
    for (const Request& r : requests)
      if (r.message == message && r.code == code) ++n;
    return n;
  }

protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_VSCROLL || message == WM_HSCROLL)
      requests.push_back({message, LOWORD(wParam), GetTickCount()});
    if (message == WM_PAINT) ++paints;
    return CSkinListCtrl::WindowProc(message, wParam, lParam);
  }
};

// Template 102 with the device list (1000) and the shares list (1001)
// skinned, columns as in the program and `deviceRows` device rows.
class MainStyleDialog : public CSkinDialog {
public:
  explicit MainStyleDialog(int deviceRows = 3, int shareRows = 2);
  RecordingList devices;
  RecordingList shares;
  CFont listFont;

protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;

private:
  int m_deviceRows;
  int m_shareRows;
};

}  // namespace skintest
