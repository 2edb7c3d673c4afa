// Control wrappers: each method sends the one message it names.
#include "framework.h"

#include <vector>

namespace {

// Owner drawing reflected to the control's DrawItem.
template <class Control>
BOOL ReflectDrawItem(Control* control, UINT message, LPARAM lParam, LRESULT* pResult) {
  if (message != WM_DRAWITEM) return FALSE;
  control->DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
  *pResult = TRUE;
  return TRUE;
}

}  // namespace

// --- CButton ----------------------------------------------------------------

UINT CButton::GetState() const { return static_cast<UINT>(SendMessage(BM_GETSTATE)); }
void CButton::SetState(BOOL highlight) { SendMessage(BM_SETSTATE, highlight); }
int CButton::GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
void CButton::SetCheck(int check) { SendMessage(BM_SETCHECK, static_cast<WPARAM>(check)); }
UINT CButton::GetButtonStyle() const { return GetStyle() & 0xff; }
void CButton::SetButtonStyle(UINT style, BOOL redraw) { SendMessage(BM_SETSTYLE, style, redraw); }
BOOL CButton::OnChildNotify(UINT message, WPARAM, LPARAM lParam, LRESULT* pResult) {
  return ReflectDrawItem(this, message, lParam, pResult);
}

// --- CStatic ----------------------------------------------------------------

BOOL CStatic::Create(LPCSTR text, DWORD style, const RECT& rect, CWnd* pParent, UINT id) {
  return CreateEx(0, "STATIC", text, style, rect, pParent, id);
}

// --- CEdit ------------------------------------------------------------------

void CEdit::LimitText(int maxChars) { SendMessage(EM_LIMITTEXT, static_cast<WPARAM>(maxChars)); }
void CEdit::SetLimitText(UINT maxChars) { SendMessage(EM_LIMITTEXT, maxChars); }
UINT CEdit::GetLimitText() const { return static_cast<UINT>(SendMessage(EM_GETLIMITTEXT)); }
void CEdit::SetSel(int start, int end, BOOL noScroll) {
  SendMessage(EM_SETSEL, static_cast<WPARAM>(start), end);
  if (!noScroll) SendMessage(EM_SCROLLCARET);
}
BOOL CEdit::SetReadOnly(BOOL readOnly) { return static_cast<BOOL>(SendMessage(EM_SETREADONLY, readOnly)); }

// --- CComboBox --------------------------------------------------------------

int CComboBox::AddString(LPCSTR text) {
  return static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
}
int CComboBox::InsertString(int index, LPCSTR text) {
  return static_cast<int>(SendMessage(CB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text)));
}
int CComboBox::DeleteString(int index) {
  return static_cast<int>(SendMessage(CB_DELETESTRING, static_cast<WPARAM>(index)));
}
void CComboBox::ResetContent() { SendMessage(CB_RESETCONTENT); }
int CComboBox::SetCurSel(int index) {
  return static_cast<int>(SendMessage(CB_SETCURSEL, static_cast<WPARAM>(index)));
}
int CComboBox::GetCurSel() const { return static_cast<int>(SendMessage(CB_GETCURSEL)); }
int CComboBox::GetCount() const { return static_cast<int>(SendMessage(CB_GETCOUNT)); }
int CComboBox::GetLBText(int index, LPSTR buffer) const {
  return static_cast<int>(SendMessage(CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer)));
}
void CComboBox::GetLBText(int index, std::string& text) const {
  text.clear();
  int length = GetLBTextLen(index);
  if (length == CB_ERR) return;
  std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
  int got = GetLBText(index, buffer.data());
  if (got > 0) text.assign(buffer.data(), static_cast<size_t>(got));
}
int CComboBox::GetLBTextLen(int index) const {
  return static_cast<int>(SendMessage(CB_GETLBTEXTLEN, static_cast<WPARAM>(index)));
}
int CComboBox::FindStringExact(int startAfter, LPCSTR text) const {
  return static_cast<int>(SendMessage(CB_FINDSTRINGEXACT, static_cast<WPARAM>(startAfter), reinterpret_cast<LPARAM>(text)));
}
BOOL CComboBox::OnChildNotify(UINT message, WPARAM, LPARAM lParam, LRESULT* pResult) {
  return ReflectDrawItem(this, message, lParam, pResult);
}

// --- CListCtrl --------------------------------------------------------------

DWORD CListCtrl::SetExtendedStyle(DWORD exStyle) {
  return static_cast<DWORD>(SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(exStyle)));
}
DWORD CListCtrl::GetExtendedStyle() const {
  return static_cast<DWORD>(SendMessage(LVM_GETEXTENDEDLISTVIEWSTYLE));
}
int CListCtrl::InsertColumn(int column, LPCSTR heading, int format, int width, int subItem) {
  LVCOLUMNA col{};
  col.mask = LVCF_TEXT | LVCF_FMT;
  col.pszText = const_cast<LPSTR>(heading);
  col.fmt = format;
  if (width != -1) {
    col.mask |= LVCF_WIDTH;
    col.cx = width;
  }
  if (subItem != -1) {
    col.mask |= LVCF_SUBITEM;
    col.iSubItem = subItem;
  }
  return static_cast<int>(SendMessage(LVM_INSERTCOLUMNA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&col)));
}
int CListCtrl::InsertItem(int item, LPCSTR text) {
  LVITEMA it{};
  it.mask = LVIF_TEXT;
  it.iItem = item;
  it.pszText = const_cast<LPSTR>(text);
  return InsertItem(&it);
}
int CListCtrl::InsertItem(const LVITEMA* item) {
  return static_cast<int>(SendMessage(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(item)));
}
BOOL CListCtrl::SetItemText(int item, int subItem, LPCSTR text) {
  LVITEMA it{};
  it.iSubItem = subItem;
  it.pszText = const_cast<LPSTR>(text);
  return static_cast<BOOL>(SendMessage(LVM_SETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&it)));
}
int CListCtrl::GetItemText(int item, int subItem, LPSTR buffer, int length) const {
  LVITEMA it{};
  it.iSubItem = subItem;
  it.pszText = buffer;
  it.cchTextMax = length;
  return static_cast<int>(SendMessage(LVM_GETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&it)));
}
std::string CListCtrl::GetItemText(int item, int subItem) const {
  // The message gives no length: grow the buffer until the text fits.
  for (int size = 256;; size *= 2) {
    std::vector<char> buffer(static_cast<size_t>(size), '\0');
    int got = GetItemText(item, subItem, buffer.data(), size);
    if (got < size - 1 || size >= (1 << 20)) return std::string(buffer.data(), static_cast<size_t>(got > 0 ? got : 0));
  }
}
BOOL CListCtrl::DeleteItem(int item) {
  return static_cast<BOOL>(SendMessage(LVM_DELETEITEM, static_cast<WPARAM>(item)));
}
BOOL CListCtrl::DeleteAllItems() { return static_cast<BOOL>(SendMessage(LVM_DELETEALLITEMS)); }
int CListCtrl::GetItemCount() const { return static_cast<int>(SendMessage(LVM_GETITEMCOUNT)); }
UINT CListCtrl::GetItemState(int item, UINT mask) const {
  return static_cast<UINT>(SendMessage(LVM_GETITEMSTATE, static_cast<WPARAM>(item), static_cast<LPARAM>(mask)));
}
BOOL CListCtrl::SetItemState(int item, UINT state, UINT mask) {
  LVITEMA it{};
  it.state = state;
  it.stateMask = mask;
  return static_cast<BOOL>(SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&it)));
}
int CListCtrl::GetNextItem(int item, int flags) const {
  return static_cast<int>(SendMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(item), flags));
}
int CListCtrl::GetTopIndex() const { return static_cast<int>(SendMessage(LVM_GETTOPINDEX)); }
int CListCtrl::GetCountPerPage() const { return static_cast<int>(SendMessage(LVM_GETCOUNTPERPAGE)); }
BOOL CListCtrl::GetItemRect(int item, LPRECT rect, UINT code) const {
  rect->left = static_cast<LONG>(code);
  return static_cast<BOOL>(SendMessage(LVM_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(rect)));
}
BOOL CListCtrl::Scroll(CSize size) {
  return static_cast<BOOL>(SendMessage(LVM_SCROLL, static_cast<WPARAM>(size.cx), size.cy));
}
BOOL CListCtrl::SetTextColor(COLORREF color) {
  return static_cast<BOOL>(SendMessage(LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(color)));
}
COLORREF CListCtrl::GetTextColor() const { return static_cast<COLORREF>(SendMessage(LVM_GETTEXTCOLOR)); }
BOOL CListCtrl::SetTextBkColor(COLORREF color) {
  return static_cast<BOOL>(SendMessage(LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(color)));
}
COLORREF CListCtrl::GetTextBkColor() const { return static_cast<COLORREF>(SendMessage(LVM_GETTEXTBKCOLOR)); }
BOOL CListCtrl::SetBkColor(COLORREF color) {
  return static_cast<BOOL>(SendMessage(LVM_SETBKCOLOR, 0, static_cast<LPARAM>(color)));
}
CHeaderCtrl* CListCtrl::GetHeaderCtrl() const {
  return FromHandleAs<CHeaderCtrl>(reinterpret_cast<HWND>(SendMessage(LVM_GETHEADER)));
}
BOOL CListCtrl::OnChildNotify(UINT message, WPARAM, LPARAM lParam, LRESULT* pResult) {
  return ReflectDrawItem(this, message, lParam, pResult);
}

// --- CHeaderCtrl ------------------------------------------------------------

int CHeaderCtrl::GetItemCount() const { return static_cast<int>(SendMessage(HDM_GETITEMCOUNT)); }
BOOL CHeaderCtrl::GetItem(int index, HDITEMA* item) const {
  return static_cast<BOOL>(SendMessage(HDM_GETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(item)));
}
BOOL CHeaderCtrl::GetItemRect(int index, LPRECT rect) const {
  return static_cast<BOOL>(SendMessage(HDM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(rect)));
}
BOOL CHeaderCtrl::OnChildNotify(UINT message, WPARAM, LPARAM lParam, LRESULT* pResult) {
  return ReflectDrawItem(this, message, lParam, pResult);
}

// --- CProgressCtrl ----------------------------------------------------------

void CProgressCtrl::SetRange(short lower, short upper) {
  SendMessage(PBM_SETRANGE, 0, MAKELPARAM(lower, upper));
}
void CProgressCtrl::SetRange32(int lower, int upper) {
  SendMessage(PBM_SETRANGE32, static_cast<WPARAM>(lower), upper);
}
void CProgressCtrl::GetRange(int& lower, int& upper) const {
  PBRANGE range{};
  SendMessage(PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
  lower = range.iLow;
  upper = range.iHigh;
}
int CProgressCtrl::SetPos(int pos) { return static_cast<int>(SendMessage(PBM_SETPOS, static_cast<WPARAM>(pos))); }
int CProgressCtrl::GetPos() const { return static_cast<int>(SendMessage(PBM_GETPOS)); }
int CProgressCtrl::OffsetPos(int delta) {
  return static_cast<int>(SendMessage(PBM_DELTAPOS, static_cast<WPARAM>(delta)));
}
int CProgressCtrl::SetStep(int step) { return static_cast<int>(SendMessage(PBM_SETSTEP, static_cast<WPARAM>(step))); }
int CProgressCtrl::StepIt() { return static_cast<int>(SendMessage(PBM_STEPIT)); }

// --- CIPAddressCtrl ---------------------------------------------------------

void CIPAddressCtrl::SetAddress(BYTE field0, BYTE field1, BYTE field2, BYTE field3) {
  SetAddress(static_cast<DWORD>(MAKEIPADDRESS(field0, field1, field2, field3)));
}
void CIPAddressCtrl::SetAddress(DWORD address) { SendMessage(IPM_SETADDRESS, 0, static_cast<LPARAM>(address)); }
int CIPAddressCtrl::GetAddress(BYTE& field0, BYTE& field1, BYTE& field2, BYTE& field3) const {
  DWORD address = 0;
  int fields = GetAddress(address);
  field0 = static_cast<BYTE>(FIRST_IPADDRESS(address));
  field1 = static_cast<BYTE>(SECOND_IPADDRESS(address));
  field2 = static_cast<BYTE>(THIRD_IPADDRESS(address));
  field3 = static_cast<BYTE>(FOURTH_IPADDRESS(address));
  return fields;
}
int CIPAddressCtrl::GetAddress(DWORD& address) const {
  address = 0;
  return static_cast<int>(SendMessage(IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&address)));
}
void CIPAddressCtrl::ClearAddress() { SendMessage(IPM_CLEARADDRESS); }
BOOL CIPAddressCtrl::IsBlank() const { return SendMessage(IPM_ISBLANK) != 0; }
void CIPAddressCtrl::SetFieldFocus(WORD field) { SendMessage(IPM_SETFOCUS, field); }
void CIPAddressCtrl::SetFieldRange(int field, BYTE lower, BYTE upper) {
  SendMessage(IPM_SETRANGE, static_cast<WPARAM>(field), MAKEIPRANGE(lower, upper));
}
