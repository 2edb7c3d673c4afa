// The model's desktop widget.

#include "widget_launcher.h"

#include <cstring>
#include <string>

#include "addon_entry.h"
#include "addon_state.h"
#include "model_select_dlg.h"
#include "shell_platform.h"
#include "web_config.h"
#include "widget_engine_dlg.h"

namespace {

// The widget file of each model, opened by name from the current folder,
// and the model dialog's choice that stands for it (-1: not offered).
struct WidgetModel {
  const char* model;
  const char* file;
  int choice;
};
constexpr WidgetModel kWidgetModels[] = {
    {"KX-7100", "NXORAEu_KX7100_Widget.widget", 0},
    {"KX-7200", "NXORAEu_KX7200_Widget.widget", 1},
    {"KX-7300", "NXORAEu_KX7300_Widget", -1},  // this one has no extension
    {"KX-7400", "NXORAEu_KX7400_Widget.widget", 2},
};

// Exact comparison: a model text differing in case is not recognised.
const char* WidgetFileOfModel(const char* model) {
  for (const WidgetModel& m : kWidgetModels)
    if (std::strcmp(m.model, model) == 0) return m.file;
  return nullptr;
}

const char* WidgetFileOfChoice(int choice) {
  for (const WidgetModel& m : kWidgetModels)
    if (choice >= 0 && m.choice == choice) return m.file;
  return nullptr;
}

}  // namespace

void RunWidgetAddon(CWnd* parent, const char* address, const char* model) {
  ShellPlatform& shell = ActiveShellPlatform();
  // A widget started without this file would read an older address and show
  // another device, so nothing is opened when it cannot be written.
  if (!shell.WriteTextFile(kWidgetAddressFile, address)) {
    parent->MessageBox("Failed to write the device address for the widget.", "Error", MB_ICONHAND);
    return;
  }

  // Each answer is cleared before its dialog runs, so that a dialog that
  // fails to show counts as Next (and as no model), not as the last answer.
  AddonFlowState.WidgetPromptChoice = 0;
  {
    CWidgetEngineDlg prompt(parent);
    prompt.DoModal();
  }
  if (AddonFlowState.WidgetPromptChoice == 1) {
    OpenWithExplorer(kWidgetEngineDownloadUrl);
    return;
  }

  const char* file = WidgetFileOfModel(model);
  if (file == nullptr) {
    AddonFlowState.ModelChoice = -1;
    {
      CModelSelectDlg choose(parent);
      choose.DoModal();
    }
    file = WidgetFileOfChoice(AddonFlowState.ModelChoice);
    if (file == nullptr) return;
  }

  if (shell.OpenDocument(parent->GetSafeHwnd(), file) <= 32)
    parent->MessageBox("Execute widget file error!", "Warning", MB_ICONINFORMATION);
}
