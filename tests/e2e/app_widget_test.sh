#!/usr/bin/env bash
# End-to-end test of the widget launcher: NexoraStorageUtility.exe under Wine
# against nexora-devsim, its hidden Widget button's command (1032) sent to
# the main window. The test prefix registers the ".widget" type to
# nexora-recorder.exe, which logs the command line it was started with, and
# the widget files lie in the program's current folder. Checked: the address
# file "C:\ip.txt", the engine prompt (Next, Esc), the model table (a known
# model, the model choice for an unknown one, the extension-less KX-7300 file
# that nothing opens), and the messages of a missing selection and of an
# address file that cannot be written. Needs root and the native and
# windows-x86 builds.
set -uo pipefail
export LC_ALL=C
here=$(cd "$(dirname "$0")" && pwd)
source "$here/app-lib.sh"

RECORDER=$E2E_WINDOWS_BIN/nexora-recorder.exe
if [ ! -f "$RECORDER" ]; then
  echo "missing $RECORDER: build the windows-x86 preset first" >&2
  exit 1
fi

app_setup
cat >"$E2E_WORK/devices.ini" <<'INI'
[device widget]
name = NAS-Widget
mac = 00:14:fd:30:00:01
address = 10.203.0.2
model = KX-7100

[device plain]
name = NAS-Plain
mac = 00:14:fd:30:00:02
address = 10.203.0.3
model = NS-2300

[device old]
name = NAS-Old
mac = 00:14:fd:30:00:03
address = 10.203.0.4
model = KX-7300
INI
devsim_start "$E2E_WORK/devices.ini"

# The widget files, and the program the shell opens ".widget" files with.
widgets=$E2E_WORK/widgets
mkdir -p "$widgets"
for f in NXORAEu_KX7100_Widget.widget NXORAEu_KX7400_Widget.widget NXORAEu_KX7300_Widget; do
  printf 'widget\n' >"$widgets/$f"
done
e2e_reg_add 'HKCR\.widget' /ve /d NexoraWidget || { echo "FAIL cannot register .widget" >&2; exit 1; }
e2e_reg_add 'HKCR\NexoraWidget\shell\open\command' /ve /d "\"Z:${RECORDER//\//\\}\" \"%1\"" ||
  { echo "FAIL cannot register the recorder" >&2; exit 1; }
recorder_log=$WINEPREFIX/drive_c/recorder.log
address_file=$WINEPREFIX/drive_c/ip.txt

# Widget files are opened by name from the program's current folder.
cd "$widgets" || exit 1
app_start

# recorded_count NAME: lines of the recorder's log naming NAME.
recorded_count() { grep -c -- "$1" "$recorder_log" 2>/dev/null || true; }

# expect_opened NAME COUNT: waits up to 10 s until the recorder has logged
# NAME COUNT times.
expect_opened() {
  local i
  for i in $(seq 100); do
    [ "$(recorded_count "$1")" -ge "$2" ] && break
    sleep 0.1
  done
  e2e_check "the shell opened $1 (time $2)" "$2" "$(recorded_count "$1")"
}

# prompt_answer KEYS|CLICK: the engine prompt (dialog 264) comes up; answered
# with a click on control C ("click 2": Next) or with keys ("keys {ESC}").
prompt_answer() {
  e2e_expect 'wait-modal timeout=20000' 'kind=dialog'
  e2e_expect 'control 1' 'visible=1'
  e2e_expect "$1"
  e2e_expect 'wait-gone'
  drive use main >/dev/null
}

address_is() {
  e2e_check "C:\\ip.txt holds $1 without a line end" "$1" "$(cat "$address_file" 2>/dev/null; printf '|')"
}

echo "== no device selected"
e2e_expect 'command 1032'
expect_box Warning 'Please select a server.' exclamation
e2e_check 'nothing written without a selection' no "$([ -e "$address_file" ] && echo yes || echo no)"

echo "== a known model: its widget file, after the address file"
click_device NAS-Widget
e2e_expect 'command 1032'
e2e_expect 'wait-modal timeout=20000' 'kind=dialog'
address_is '10.203.0.2|'
e2e_expect 'click 2'
e2e_expect 'wait-gone'
drive use main >/dev/null
expect_opened NXORAEu_KX7100_Widget.widget 1

echo "== Esc in the engine prompt counts as Next"
e2e_expect 'command 1032'
prompt_answer 'keys {ESC}'
expect_opened NXORAEu_KX7100_Widget.widget 2

echo "== an unknown model: the model choice"
click_device NAS-Plain
e2e_expect 'command 1032'
prompt_answer 'click 2'
e2e_expect 'wait-modal timeout=20000' 'kind=dialog'
e2e_expect 'control 1031' 'text="KX-7400"'
e2e_expect 'click 1031'
e2e_expect 'click 1'
e2e_expect 'wait-gone'
drive use main >/dev/null
expect_opened NXORAEu_KX7400_Widget.widget 1
address_is '10.203.0.3|'

echo "== KX-7300: a widget file without extension that nothing opens"
click_device NAS-Old
e2e_expect 'command 1032'
prompt_answer 'click 2'
expect_box Warning 'Execute widget file error!' information
e2e_check 'the extension-less file was not opened by the recorder' 0 "$(recorded_count NXORAEu_KX7300_Widget)"
address_is '10.203.0.4|'

echo "== the address file cannot be written: no widget"
rm -f "$address_file"
mkdir "$address_file"
before=$(grep -c . "$recorder_log" 2>/dev/null || true)
click_device NAS-Widget
e2e_expect 'command 1032'
expect_box Error 'Failed to write the device address for the widget.' hand
e2e_check 'no widget opened' "$before" "$(grep -c . "$recorder_log" 2>/dev/null || true)"
rmdir "$address_file"

app_exit
e2e_summary
