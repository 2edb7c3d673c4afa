# shellcheck shell=bash
# Wine for this project's programs: the settings every run shares and the
# one builder of Wine prefixes. Source it from bash:
#
#   source scripts/wine-lib.sh
#   wine_env                          # WINEDEBUG, WINEDLLOVERRIDES
#   wine_prefix_make PREFIX [LOG]     # made once; later calls only check

# shellcheck source=xvfb-lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/xvfb-lib.sh"

# What a finished prefix holds: the Wine version and the settings made by
# wine_prefix_make. A prefix with another stamp is made again.
WINE_PREFIX_STAMP_FILE=.nexora-prefix

# Debian's fonts-wine: Marlett draws the caption buttons' glyphs (without it
# the close and minimise glyphs come out as letters) and Tahoma serves the
# lists and headers that ask for it.
WINE_FONTS_DIR=/usr/share/wine/fonts
WINE_PREFIX_FONTS=(marlett.ttf tahoma.ttf tahomabd.ttf)

# wine_env: Wine quiet by default, and no Mono or Gecko installers (the
# programs here need neither); a new prefix is 64-bit, where the 32-bit
# release runs through WoW64 and the 64-bit build check could run too.
# Exports WINEDEBUG, WINEDLLOVERRIDES and WINEARCH.
wine_env() {
  export WINEDEBUG=${WINEDEBUG:--all}
  export WINEARCH=${WINEARCH:-win64}
  case ";${WINEDLLOVERRIDES:-};" in
    *";mscoree,mshtml=;"*) ;;
    *) WINEDLLOVERRIDES="mscoree,mshtml=${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}" ;;
  esac
  export WINEDLLOVERRIDES
}

wine_prefix_stamp() {
  printf '%s win64-wow64 unmanaged-windows marlett-tahoma\n' "$(wine --version 2>/dev/null | head -n1)"
}

# wine_prefix_ready PREFIX: the prefix is complete and made by this Wine.
wine_prefix_ready() {
  [ -f "$1/system.reg" ] && [ "$(cat "$1/$WINE_PREFIX_STAMP_FILE" 2>/dev/null)" = "$(wine_prefix_stamp)" ]
}

# wine_prefix_make PREFIX [LOG]: makes PREFIX (about 10-20 s) unless it is
# ready, under a lock so that parallel callers wait for one another; Wine's
# output goes to LOG (default nowhere). Uses DISPLAY, or a private Xvfb
# while it works when there is none.
wine_prefix_make() {
  local prefix=$1 log=${2:-/dev/null} font
  wine_prefix_ready "$prefix" && return 0
  for font in "${WINE_PREFIX_FONTS[@]}"; do
    if [ ! -f "$WINE_FONTS_DIR/$font" ]; then
      echo "wine: $WINE_FONTS_DIR/$font is missing (fonts-wine; run scripts/setup)" >&2
      return 1
    fi
  done
  mkdir -p "$(dirname "$prefix")" || return 1
  (
    flock 9
    wine_prefix_ready "$prefix" && exit 0
    echo "wine: making the Wine prefix $prefix (once)" >&2
    rm -rf "$prefix"
    wine_env
    if [ -z "${DISPLAY:-}" ]; then
      xvfb_start /dev/null || exit 1
      trap xvfb_stop EXIT
    fi
    WINEPREFIX=$prefix wine wineboot -i >"$log" 2>&1 || exit 1
    # Without a window manager on Xvfb, Wine waits 2 s for one each time a
    # managed (captioned) window is hidden; windows it draws itself avoid that.
    WINEPREFIX=$prefix wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >>"$log" 2>&1 || exit 1
    WINEPREFIX=$prefix wineserver -w
    # Fonts in the prefix's Fonts folder are found at the next start.
    mkdir -p "$prefix/drive_c/windows/Fonts" || exit 1
    for font in "${WINE_PREFIX_FONTS[@]}"; do
      cp "$WINE_FONTS_DIR/$font" "$prefix/drive_c/windows/Fonts/" || exit 1
    done
    wine_prefix_stamp >"$prefix/$WINE_PREFIX_STAMP_FILE"
  ) 9>"$prefix.lock"
}
