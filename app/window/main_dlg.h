// The main window (template 102): the device list, the selected device's
// address panel and shares, and the buttons that start every operation.
#pragma once
#include "framework.h"
#include "lan_rules.h"
#include "share_match.h"
#include "skin_button.h"
#include "skin_dialog.h"
#include "skin_list.h"

class CMainDlg : public CSkinDialog {
public:
  explicit CMainDlg(CWnd* pParent = nullptr);
  ~CMainDlg() override;

  BOOL OnInitDialog() override;
  // Posted by OnInitDialog: the first discovery, once the window shows.
  static constexpr UINT kFirstDiscoveryMessage = WM_APP + 1;
  void OnFirstDiscovery();

  // --- start-up, refresh, ways out ------------------------------------------
  // Rediscovers the devices and refills the device list; empties the panel.
  void OnRefresh();
  // What follows anything that changes the mappings or the device set: the
  // drive table and the drive-letter combo rescanned, the device list
  // rediscovered, no device selected.
  void RunRefreshSequence();
  void OnExit();
  void OnClose();

  // --- device selection and panel ---------------------------------------------
  void OnClickDeviceList();
  // A row that the keyboard selects in the device list (LVN_ITEMCHANGED
  // while the list handles a key) restarts a short one-shot timer; when it
  // fires the row then selected runs OnClickDeviceList once, so that keys
  // moving across many rows query only the device they stop on.
  void OnDeviceListItemChanged(const NMLISTVIEW& change);
  // The timer's end: runs the selection for the selected row, unless the
  // panel already shows that row (a click ran it) or another operation's
  // dialog is open (the timer fires again once it has closed).
  void OnKeyboardSelectionSettled();
  // The first selected row of a list, searched from its top visible row
  // down, as the lists report the user's choice; -1 when none is.
  static int FirstSelectedFromTop(const CListCtrl& list);
  // FirstSelectedFromTop of the device list.
  int SelectedDeviceRow() const;
  // Rebuilds the shares list from ShareList, each row with the drive letter
  // the share is mapped to (MappedDriveTable, matched as mode says).
  void FillShareList(const char* deviceName, const char* deviceAddress, bool skipRecycleBin,
                     HostMatch mode);
  // Refills the "Available Drive Letters :" combo from MappedDriveTable.
  void FillDriveLetterCombo();

  // --- LAN settings ------------------------------------------------------------
  void OnDhcpModeChange();
  void OnLanPortChange();
  void OnApplyLanSettings();
  // Copies the three address controls and the DHCP mode into the half of
  // CommandBuffers.lanConfig that portName names ("LAN2": the second).
  void StageLanPort(const char* portName);
  // Checks the address controls by the LAN rules; fills targetIp, netmask
  // and gateway. A refusal shows its message and focuses the field at
  // fault.
  bool ValidateLanSettings();
  // Field check of one address control (kind: an AddressField number, 1
  // address, 2 netmask, 3 gateway; other kinds pass); shows the message and
  // focuses the field at fault.
  bool CheckAddressFields(int kind, int f1, int f2, int f3, int f4);

  // --- flows of the other operations ---------------------------------------------
  void OnOpenWebConfig();
  void OnMapDrive();
  void OnUnmapDrive();
  void OnAbout();
  void OnLanguage();
  void OnBitTorrent();
  void OnWidget();

  // Members in the order the window builds them.
  CSkinButton exitButton;
  CSkinButton aboutButton;
  CSkinButton applyButton;
  CSkinButton btButton;
  CSkinButton closeButton;
  CSkinButton minimizeButton;
  CSkinButton languageButton;
  CSkinButton webButton;
  CSkinButton unmapButton;
  CSkinButton mapButton;
  CSkinButton widgetButton;
  CSkinButton refreshButton;
  CComboBox lanPortCombo;
  CComboBox dhcpCombo;
  CComboBox driveCombo;
  CSkinListCtrl shareListCtrl;
  CSkinListCtrl deviceListCtrl;
  CIPAddressCtrl ipEdit;
  CIPAddressCtrl netmaskEdit;
  CIPAddressCtrl gatewayEdit;
  // 1 while a device clicked in the list is the current one; 0 after every
  // refresh. Applying settings and the add-on flows refuse to act at 0.
  int deviceSelected = 0;
  // The device row whose selection the panel shows; -1 after every refresh.
  int panelRow = -1;
  HICON icon = nullptr;
  // Model of the clicked device (empty when it reported none).
  char selectedModel[34] = {};
  CFont deviceListFont;
  CFont shareListFont;

protected:
  void DoDataExchange(CDataExchange* pDX) override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  // Enter does not end the main window (Escape and the close button do).
  void OnOK() override {}

private:
  void OnPaint();
  CIPAddressCtrl* AddressControl(AddressField kind);
  // Message box of a LAN change on this window.
  void ShowLanMessage(const LanMessage& message);
  // Shows a refused check: its message box, and the focus on the field at
  // fault when it names one.
  void ShowRefusal(const LanCheckResult& result);
  // Shows an address text in a control; a text that is not a dotted IPv4
  // address, or 0.0.0.0 when zeroBlank, clears the control instead.
  static void ShowAddress(CIPAddressCtrl& control, const char* text, bool zeroBlank);
  // Enables or disables the address, gateway and netmask controls.
  void EnableAddressControls(BOOL enable);
  // Selects the DHCP mode of a mode text ('1' first: DHCP client).
  void ShowDhcpMode(const char* mode);
};

// The timer of a keyboard selection in the device list, and how long the
// selection must stay on one row before that device is queried.
constexpr UINT_PTR kKeyboardSelectionTimer = 1;
constexpr unsigned kKeyboardSelectionDelayMs = 300;

// Looks at DeviceReachability: 1 is reset to 0 and gives true; -1, or 0
// after two one-second waits, tells the user "Device is no longer
// available.", refreshes the drive table, the drive-letter combo and the
// device list, and gives false.
bool WaitForDeviceReachable(CMainDlg& window);
