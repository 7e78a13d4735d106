#!/usr/bin/env bash
# Checks a Windows build, run under wine, against a Linux build of the same source. Run by the
# Windows build's tests (tests/CMakeLists.txt); every check prints what differs and fails.
#
#   compare-windows.sh calc SOURCE_DIR REFERENCE -- COMMAND...
#       vmk-calc's outputs byte for byte: standard output, standard error, exit status, the
#       report files and the plots, for the golden case files, the examples, profiles and the
#       usual mistakes. REFERENCE is the Linux vmk-calc; COMMAND runs the Windows one (for
#       example scripts/wine-run.sh PREFIX vmk-calc.exe).
#   compare-windows.sh table REFERENCE -- COMMAND...
#       the code page 932 tables of the two vmk-cp932-table programs.
#   compare-windows.sh dlls OBJDUMP PROGRAM...
#       each program imports only DLLs of Windows itself (the C and C++ runtimes are linked in).
set -euo pipefail

mode="$1"
shift

fail=0
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# Shows how two files differ (at most a few lines) and records the failure.
differs() {
  local what="$1" a="$2" b="$3"
  if cmp -s "$a" "$b"; then
    return 0
  fi
  echo "DIFFERENT: $what"
  diff <(od -An -c "$a") <(od -An -c "$b") | head -n 12 || true
  fail=1
}

case "$mode" in
calc)
  source_dir="$(realpath "$1")"
  reference="$(realpath "$2")"
  shift 3  # SOURCE_DIR REFERENCE --
  command=("$@")

  # The case files sit in the work folder under short relative names, so that both programs
  # see (and print) the same paths.
  mkdir -p "$work/cases/golden" "$work/cases/examples"
  cp "$source_dir"/tests/golden/*.json "$work/cases/golden/"
  cp "$source_dir"/examples/*.json "$work/cases/examples/"
  rm -f "$work"/cases/golden/*.expected.json
  printf '{"memoOption": "@WA:1@ x"}\x1A trailing bytes' > "$work/cases/eof-mark.bin"
  printf '{"QgEdit": " 1\r\n' > "$work/cases/broken.bin"

  # One run of each program in its own folder: io/ holds an empty VMKIO1.csv.
  runs=0
  compare_run() {
    local name="$1"
    shift
    local side
    for side in linux windows; do
      local dir="$work/run/$side"
      rm -rf "$dir"
      mkdir -p "$dir/io"
      : > "$dir/io/VMKIO1.csv"
      cp -r "$work/cases" "$dir/cases"
      local status=0
      if [ "$side" = linux ]; then
        (cd "$dir" && "$reference" "$@" < "${stdin_file:-/dev/null}" > out 2> err) || status=$?
      else
        (cd "$dir" && "${command[@]}" "$@" < "${stdin_file:-/dev/null}" > out 2> err) || status=$?
      fi
      echo "$status" > "$dir/status"
      rm -rf "$dir/cases"
    done
    local a="$work/run/linux" b="$work/run/windows"
    local f
    for f in status out err; do
      differs "$name: $f" "$a/$f" "$b/$f"
    done
    (cd "$a" && find . -type f ! -name out ! -name err ! -name status | sort) > "$work/files-a"
    (cd "$b" && find . -type f ! -name out ! -name err ! -name status | sort) > "$work/files-b"
    differs "$name: files written" "$work/files-a" "$work/files-b"
    while read -r f; do
      [ -f "$b/$f" ] && differs "$name: $f" "$a/$f" "$b/$f"
    done < "$work/files-a"
    runs=$((runs + 1))
  }

  for case_file in "$work"/cases/*/*.json; do
    name="${case_file#"$work/"}"
    compare_run "$name --json" --json --report-dir io/ "$name"
    compare_run "$name" --report-dir io/ "$name"
    stdin_file="$case_file" compare_run "$name from standard input" --json --report-dir io/ -
  done
  compare_run "profile, log, SVG" --profile 10:20000:40 --log --plot site.svg \
    cases/examples/site.json
  compare_run "profile, linear" --profile 0.09999:100001:500 --report-dir io/ \
    cases/examples/site-no2-report.json
  compare_run "profile of a sequence" --profile 50:5000:30 --report-dir io/ \
    cases/golden/sequence.json
  compare_run "template" --template
  compare_run "help" --help
  compare_run "version" --version
  compare_run "missing case file" --json cases/no-such-case.json
  compare_run "folder as case file" cases
  compare_run "missing report folder" --report-dir no-folder/ cases/examples/site-no2-report.json
  compare_run "unknown option" --bogus cases/examples/site.json
  compare_run "bad profile" --profile 1:1:3 cases/examples/site.json
  stdin_file="$work/cases/eof-mark.bin" compare_run "0x1A in standard input" --json -
  stdin_file="$work/cases/broken.bin" compare_run "broken case file" -
  echo "compared $runs runs of vmk-calc"
  ;;

table)
  reference="$1"
  shift 2  # REFERENCE --
  "$reference" > "$work/linux.txt"
  "$@" > "$work/windows.txt"
  if ! cmp -s "$work/linux.txt" "$work/windows.txt"; then
    echo "DIFFERENT: the code page 932 tables (Linux <, Windows >)"
    diff "$work/linux.txt" "$work/windows.txt" | head -n 40 || true
    fail=1
  fi
  echo "$(wc -l < "$work/linux.txt") lines; $(tail -n 1 "$work/linux.txt")"
  ;;

dlls)
  objdump="$1"
  shift
  for program in "$@"; do
    imports="$("$objdump" -p "$program" | awk '/DLL Name:/ {print $3}')"
    echo "$(basename "$program"): $(echo $imports)"
    for dll in $imports; do
      case "${dll,,}" in
        kernel32.dll | msvcrt.dll | shell32.dll | user32.dll | advapi32.dll | ws2_32.dll | \
          gdiplus.dll | ole32.dll | ucrtbase.dll | api-ms-win-*.dll) ;;
        *) echo "NOT A DLL OF WINDOWS: $dll"; fail=1 ;;
      esac
    done
  done
  ;;

*)
  echo "unknown mode $mode" >&2
  exit 2
  ;;
esac
exit "$fail"
