#!/usr/bin/env bash
# The release under each Windows version that Wine can report to it
# (HKCU\Software\Wine\AppDefaults\NexoraStorageUtility.exe, value Version),
# with the real GetVersionExA: NT 4.0, 98, 2000, XP, Vista and 7. For each
# one, in one program start:
#   - a share of a device without a domain is mapped: the credentials and
#     flags of every attempt (read from the mpr.dll stand-in's log), whether
#     the login dialog comes and what its user name shows, the companion's
#     credentials; on NT 4.0 a wrong password first, for its six attempts;
#   - a share of a device in a domain is mapped;
#   - a password-protected device's address is changed: the login dialog
#     shows "admin", greyed, and the set request reaches the device.
# A line per version summarises what it showed. Needs root and the native
# and windows-x86 builds.
set -uo pipefail
export LC_ALL=C
here=$(cd "$(dirname "$0")" && pwd)
source "$here/app-lib.sh"
source "$here/mpr_standin/standin-lib.sh"

app_setup
cat >"$E2E_WORK/devices.ini" <<'INI'
[device plain]
name = NAS-Plain
mac = 00:14:fd:40:00:01
address = 10.203.0.31
netmask = 255.255.255.0
gateway = 10.203.0.254
shares = Public:Recycle Bin - Public

[device domain]
name = NAS-Domain
mac = 00:14:fd:40:00:02
address = 10.203.0.32
netmask = 255.255.255.0
gateway = 10.203.0.254
domain = OFFICE
shares = Data:Recycle Bin - Data

[device secure]
name = NAS-Secure
mac = 00:14:fd:40:00:03
address = 10.203.0.33
netmask = 255.255.255.0
gateway = 10.203.0.254
password = s3cret
shares = Vault
INI
devsim_start "$E2E_WORK/devices.ini"
mpr_standin_setup "$APP_EXE" "$E2E_WORK/program" "$E2E_WORK/devices.ini" || exit 1
APP_EXE=$MPR_EXE
# What Windows networking accepts here: password "pw" with any user; the
# logged-on user of the domain without a password; and Windows' own prompt
# (flags 9, CONNECT_UPDATE_PROFILE | CONNECT_INTERACTIVE), as if the user
# answered it. The empty user and password of the first attempt are refused.
export NEXORA_MPR_ACCEPT='*|pw;OFFICE\wineuser|<null>;||9;<null>|<null>|9'

# The stand-in's connect calls since mpr_mark.
mpr_adds() { mpr_calls | grep '^WNetAddConnection2A' || true; }

# login_dialog USER_TEXT ENABLED [USER] PASSWORD: the Login dialog is up, its
# user name shows USER_TEXT (enabled 0 or 1); types USER (when the edit is
# enabled) and PASSWORD and presses OK.
login_dialog() {
  local shown=$1 enabled=$2 user password
  if [ "$enabled" = 1 ]; then user=$3 password=$4; else password=$3; fi
  e2e_expect 'wait-modal timeout=20000' 'title="Login"' 'kind=dialog'
  e2e_expect 'control 1016' "text=\"$shown\"" "enabled=$enabled"
  [ "$enabled" = 1 ] && e2e_expect "type 1016 $user" "text=\"$user\""
  e2e_expect "type 1017 $password" "text=\"$password\""
  e2e_expect 'click 1'
  e2e_expect 'wait-gone'
  drive use main >/dev/null
}

# map_share DEVICE SHARE: the device clicked, SHARE chosen and Map pressed on
# the first free letter; sets LETTER and SPARE (the companion's letter).
map_share() {
  click_device "$1" || return 1
  e2e_expect "lv-click 1001 $(lv_row_of 1001 "$2")"
  drive cb-read 1013
  LETTER=$(grep -o 'text="[A-Z]:"' <<<"$DRIVE_REPLY" | head -n1 | cut -d'"' -f2)
  SPARE=$(next_letter "$LETTER")
  mpr_mark
  wire_mark
  e2e_expect 'click 1003'
}

windows_user=
summary=()
for version in nt40 win98 win2k winxp vista win7; do
  echo "== Windows version $version"
  e2e_reg_add 'HKCU\Software\Wine\AppDefaults\NexoraStorageUtility.exe' /v Version /d "$version" ||
    { echo "FAIL cannot set the Windows version"; exit 1; }
  : >"$MPR_STATE"
  app_start
  line="$version:"

  echo "-- a share of a device without a domain"
  map_share NAS-Plain Public
  plain='\\10.203.0.31\Public'
  companion='\\10.203.0.31\Recycle Bin - Public'
  case $version in
    nt40)
      # The login comes first; six attempts with a wrong password.
      login_dialog '' 1 bob nope
      expect_box Error 'Failed to map drive.' hand
      e2e_check "$version: six attempts with what was typed, no more" \
        "$(for _ in 1 2 3 4 5 6; do mpr_add_line "$LETTER" "$plain" '"nope"' '"bob"' 1 1326; done)" "$(mpr_adds)"
      e2e_check "$version: no domain query" 0 "$(wire_count 3 18)"
      map_share NAS-Plain Public
      login_dialog '' 1 bob pw
      expect_box Confirm 'Successfully mapped drive.' information
      e2e_check "$version: the typed credentials, then the companion with them" \
        "$(mpr_add_line "$LETTER" "$plain" '"pw"' '"bob"' 1 0; mpr_add_line "$SPARE" "$companion" '"pw"' '"bob"' 1 0)" \
        "$(mpr_adds)"
      line+=" share: login first (user editable), 6 attempts then \"Failed to map drive.\", typed user/password, companion alike;"
      ;;
    win98)
      # The login shows the logged-on Windows user, greyed.
      e2e_expect 'wait-modal timeout=20000' 'title="Login"'
      drive control 1016
      windows_user=$(drive_field text)
      e2e_check "$version: the login shows a Windows user name" 1 "$([ -n "$windows_user" ] && echo 1 || echo 0)"
      login_dialog "$windows_user" 0 pw
      expect_box Confirm 'Successfully mapped drive.' information
      e2e_check "$version: empty texts first, then the Windows user with the password; the companion alike" \
        "$(mpr_add_line "$LETTER" "$plain" '""' '""' 1 1326
           mpr_add_line "$LETTER" "$plain" '"pw"' "\"$windows_user\"" 1 0
           mpr_add_line "$SPARE" "$companion" '"pw"' "\"$windows_user\"" 1 0)" "$(mpr_adds)"
      e2e_check "$version: one domain query" 1 "$(wire_count 3 18)"
      line+=" share: empty user/password, then login with the Windows user ($windows_user) greyed, companion alike;"
      ;;
    win2k | winxp)
      login_dialog '' 1 bob pw
      expect_box Confirm 'Successfully mapped drive.' information
      e2e_check "$version: empty texts first, then what was typed; the companion alike" \
        "$(mpr_add_line "$LETTER" "$plain" '""' '""' 1 1326
           mpr_add_line "$LETTER" "$plain" '"pw"' '"bob"' 1 0
           mpr_add_line "$SPARE" "$companion" '"pw"' '"bob"' 1 0)" "$(mpr_adds)"
      e2e_check "$version: one domain query" 1 "$(wire_count 3 18)"
      line+=" share: empty user/password, then login (user editable), companion alike;"
      ;;
    vista | win7)
      # No login dialog: Windows' own prompt (flags 9).
      expect_box Confirm 'Successfully mapped drive.' information
      e2e_check "$version: empty texts, then Windows' prompt; the companion with null credentials and flags 9" \
        "$(mpr_add_line "$LETTER" "$plain" '""' '""' 1 1326
           mpr_add_line "$LETTER" "$plain" '""' '""' 9 0
           mpr_add_line "$SPARE" "$companion" NULL NULL 9 0)" "$(mpr_adds)"
      e2e_check "$version: one domain query" 1 "$(wire_count 3 18)"
      line+=" share: empty user/password, then Windows' prompt (flags 9, no login dialog), companion null/null flags 9;"
      ;;
  esac

  echo "-- a share of a device in a domain"
  map_share NAS-Domain Data
  data='\\10.203.0.32\Data'
  dcompanion='\\10.203.0.32\Recycle Bin - Data'
  if [ "$version" = nt40 ]; then
    login_dialog '' 1 bob pw
    expect_box Confirm 'Successfully mapped drive.' information
    e2e_check "$version: the login, whatever the domain" \
      "$(mpr_add_line "$LETTER" "$data" '"pw"' '"bob"' 1 0; mpr_add_line "$SPARE" "$dcompanion" '"pw"' '"bob"' 1 0)" \
      "$(mpr_adds)"
    line+=" domain share: login;"
  else
    expect_box Confirm 'Successfully mapped drive.' information
    e2e_check "$version: the domain's logged-on user without a password, no dialog; the companion alike" \
      "$(mpr_add_line "$LETTER" "$data" NULL '"OFFICE\wineuser"' 1 0
         mpr_add_line "$SPARE" "$dcompanion" NULL '"OFFICE\wineuser"' 1 0)" "$(mpr_adds)"
    line+=" domain share: OFFICE\wineuser without password, no dialog;"
  fi

  echo "-- the address of a password-protected device"
  click_device NAS-Secure
  drive ip-read 1006
  old=$(drive_field address)
  new=10.203.0.$((40 + ${#summary[@]}))
  e2e_expect "ip-type 1006 $new clear=1" "address=\"$new\""
  wire_mark
  e2e_expect 'click 1007'
  login_dialog admin 0 s3cret
  e2e_wait_for 'lv-read 1000' "[\"NAS-Secure\" \"$new\"" 20 ||
    e2e_check "$version: the device is listed at its new address" "$new" "$DRIVE_REPLY"
  e2e_check "$version: a login with admin and what was typed, then one set request with the new address" \
    "$(hex_text admin)55aa$(hex_text s3cret) 1 $(hex_text "$new")" \
    "$(wire_rx 3 4 00:14:fd:40:00:03 | tail -n1 | cut -c57-) $(wire_count 5 1 00:14:fd:40:00:03) $(wire_rx 5 1 00:14:fd:40:00:03 | cut -c121-)"
  line+=" address change ($old to $new): login with \"admin\" greyed"
  summary+=("$line")
  app_exit
done

echo "== what each version showed"
printf '%s\n' "${summary[@]}"
e2e_summary
