#!/usr/bin/env bash
# Runs a Windows program under wine in the wine prefix PREFIX (a folder):
#   scripts/wine-run.sh PREFIX PROGRAM.exe [ARGS...]        headless
#   scripts/wine-run.sh PREFIX --gui PROGRAM.exe [ARGS...]  with windows on a display
#   scripts/wine-run.sh PREFIX --init                       (only makes the prefix)
# The prefix is made on first use (that takes a while) under a lock, so that tests started
# together wait for one another instead of making it twice. No debug output, and no Mono or
# Gecko installer. A fresh prefix has no Japanese font behind the system's UI fonts (menus,
# message boxes, dialogs): the free IPA gothic fonts stand in for them (FontSubstitutes).
#
# Headless, the program has no display. With --gui it runs on $DISPLAY or, when none is set, on
# a virtual X server (xvfb-run) started for it and stopped after it; its windows live in one
# wine desktop window of 1024 x 768 at the display's top left, so that they look and take the
# focus the same way with or without a window manager. A --gui run has the prefix to itself
# (give it a prefix of its own): its wine processes end with it.
set -euo pipefail
prefix="$(realpath -m "$1")"
shift
gui=0
if [ "${1:-}" = "--gui" ]; then
  gui=1
  shift
  if [ -z "${DISPLAY:-}" ]; then
    if ! command -v xvfb-run >/dev/null; then
      echo "wine-run.sh: no display, and xvfb-run is missing (Debian package xvfb)" >&2
      exit 1
    fi
    exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$prefix" --gui "$@"
  fi
fi
export WINEPREFIX="$prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEARCH=win64
export HOME="${HOME:-$prefix}"  # wine wants a home folder; a bare CI shell may have none
if [ "$gui" = 0 ]; then
  export DISPLAY=
fi

# Imports registry settings (REGEDIT4 text on standard input) into the prefix.
import_registry() {
  local file="$prefix.reg"
  cat > "$file"
  DISPLAY= wine reg import "$(winepath -w "$file")" </dev/null >>"$prefix.log" 2>&1
  rm -f "$file"
}

if [ ! -f "$prefix/.vmk-ready" ]; then
  mkdir -p "$prefix"
  (
    flock 9
    if [ ! -f "$prefix/.vmk-ready" ]; then
      if ! DISPLAY= wineboot --init </dev/null >"$prefix.log" 2>&1 9>&-; then
        echo "wine-run.sh: cannot make the wine prefix $prefix:" >&2
        cat "$prefix.log" >&2
        exit 1
      fi
      import_registry 9>&- <<'REG'
REGEDIT4

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]
"MS Shell Dlg"="IPAPGothic"
"MS Shell Dlg 2"="IPAPGothic"
"Tahoma"="IPAPGothic"
"Segoe UI"="IPAPGothic"
"MS UI Gothic"="IPAPGothic"
"MS PGothic"="IPAPGothic"
"MS Gothic"="IPAGothic"
REG
      # wine's own fonts are not found where Debian installs them; the title bars' buttons
      # need its Marlett.
      for marlett in /usr/share/wine/fonts/marlett.ttf /usr/lib/wine/fonts/marlett.ttf; do
        if [ -f "$marlett" ]; then
          cp "$marlett" "$prefix/drive_c/windows/Fonts/"
          break
        fi
      done
      wineserver --wait
      touch "$prefix/.vmk-ready"
    fi
  ) 9>"$prefix.lock"
fi
if [ "${1:-}" = "--init" ]; then
  exit 0
fi

if [ "$gui" = 1 ]; then
  (
    flock 9
    if [ ! -f "$prefix/.vmk-desktop" ]; then
      import_registry 9>&- <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"Default"="1024x768"
REG
      wineserver --wait
      touch "$prefix/.vmk-desktop"
    fi
    status=0
    wine "$@" 9>&- || status=$?
    # The desktop and any process left end with the run, before its display does.
    wineserver -k 9>&- || true
    wineserver -w 9>&- || true
    exit "$status"
  ) 9>"$prefix.gui.lock"
  exit $?
fi

# The wine server outlives the program for a while. Started here with its own standard streams
# (and ready when the command returns), it does not hold the caller's open: a test runner would
# wait for it to end. It stays for 10 s after the last program, so that a test run starts it
# once; a server that is running already makes the command a no-op.
(
  flock 9
  wineserver -p10 </dev/null >/dev/null 2>&1 9>&- || true
) 9>"$prefix.lock"
# wine's own processes that the program starts (services, a hidden desktop, a console host)
# inherit its standard streams and outlive it: on the caller's pipes they would keep a test
# runner waiting for their end. The program writes into files instead, passed on when it ends.
out="$(mktemp)"
err="$(mktemp)"
trap 'rm -f "$out" "$err"' EXIT
status=0
wine "$@" >"$out" 2>"$err" || status=$?
cat "$out"
cat "$err" >&2
exit "$status"
