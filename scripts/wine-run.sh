#!/usr/bin/env bash
# Runs a Windows program under wine in the wine prefix PREFIX (a folder), headless:
#   scripts/wine-run.sh PREFIX PROGRAM.exe [ARGS...]
#   scripts/wine-run.sh PREFIX --init        (only makes the prefix)
# The prefix is made on first use (that takes a while) under a lock, so that tests started
# together wait for one another instead of making it twice. Nothing is shown: no display, no
# debug output, and no Mono or Gecko installer.
set -euo pipefail
prefix="$(realpath -m "$1")"
shift
export WINEPREFIX="$prefix"
export WINEDEBUG=-all
export DISPLAY=
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEARCH=win64
export HOME="${HOME:-$prefix}"  # wine wants a home folder; a bare CI shell may have none

if [ ! -f "$prefix/.vmk-ready" ]; then
  mkdir -p "$prefix"
  (
    flock 9
    if [ ! -f "$prefix/.vmk-ready" ]; then
      if ! wineboot --init </dev/null >"$prefix.log" 2>&1 9>&-; then
        echo "wine-run.sh: cannot make the wine prefix $prefix:" >&2
        cat "$prefix.log" >&2
        exit 1
      fi
      wineserver --wait
      touch "$prefix/.vmk-ready"
    fi
  ) 9>"$prefix.lock"
fi
if [ "${1:-}" = "--init" ]; then
  exit 0
fi
# The wine server outlives the program for a while. Started here with its own standard streams
# (and ready when the command returns), it does not hold the caller's open: a test runner would
# wait for it to end. It stays for 10 s after the last program, so that a test run starts it
# once; a server that is running already makes the command a no-op.
(
  flock 9
  wineserver -p10 </dev/null >/dev/null 2>&1 9>&- || true
) 9>"$prefix.lock"
exec wine "$@"
