// Base class of every skinned dialog: bitmap background, transparent static
// texts in a fixed colour, skin buttons, and for the main window a rounded
// window region, client-area dragging and its own minimise / close buttons.
#pragma once
#include <memory>
#include <vector>

#include "framework.h"
#include "skin_button.h"

enum class SkinPaintMode {
  Stretch,  // the whole bitmap stretched over the client rectangle
  Natural,  // the bitmap at its own size at the client origin
};

// Faces of one skin button of a dialog. SetSkin gets (normal, active,
// active, active), or (normal, active, active, normal) with
// disabledShowsNormal, as the main window's buttons do.
struct SkinButtonFaces {
  int controlId;
  UINT normal;
  UINT active;
  bool disabledShowsNormal;
};

struct SkinDialogSettings {
  UINT templateId = 0;  // the dialog template these settings skin
  UINT backgroundId = 0;
  SkinPaintMode paintMode = SkinPaintMode::Stretch;
  COLORREF staticTextColor = RGB(255, 255, 255);
  std::vector<int> excludedIds;  // keep the dialog's default colours
  bool clientDrag = false;  // client area moves the window (main window)
  bool roundedFrame = false;  // rounded window region (main window)
  int minimizeButtonId = 0;  // this button minimises the window (0: none)
  int closeButtonId = 0;  // this button cancels the dialog (0: none)
  std::vector<SkinButtonFaces> buttons;
};

class CSkinDialog : public CDialog {
public:
  // The dialog of settings.templateId.
  CSkinDialog(CWnd* pParent, const SkinDialogSettings& settings);
  ~CSkinDialog() override;

  // Base OnInitDialog (DoDataExchange, so derived classes' DDX_Control runs
  // first), then SetSkin on every skin button of the settings. A button id
  // that no derived class attached is attached here to a CSkinButton the
  // dialog owns. Returns TRUE.
  BOOL OnInitDialog() override;

  // WM_CTLCOLOR*: static controls not excluded get a transparent background,
  // the static text colour and the hollow brush; everything else the base
  // dialog's colours.
  HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT ctlColor) override;

  // The skin button of control id (attached by a derived class or by this
  // dialog), or null.
  CSkinButton* SkinButton(int controlId) const;

  const SkinDialogSettings& Settings() const { return m_settings; }
  // The background bitmap; empty until loaded (Stretch: first erase).
  HBITMAP Background() const { return m_background; }

  // Builds the main window's rounded region for a client of width x height
  // and gives it to the window. Sizes too small for the outline (a minimised
  // window reports 0 x 0) leave the current region alone.
  void FrameRegion(int width, int height);

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
  BOOL OnEraseBkgnd(CDC* pDC);

private:
  BOOL EraseStretch(CDC* pDC);
  BOOL EraseNatural(CDC* pDC);
  bool IsExcluded(int id) const;

  CBitmap m_background;
  SkinDialogSettings m_settings;
  std::vector<std::unique_ptr<CSkinButton>> m_ownButtons;
};
