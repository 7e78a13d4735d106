#!/usr/bin/env bash
# Checks a Windows build, run under wine, against a Linux build of the same source. Run by the
# Windows build's tests (tests/CMakeLists.txt); every check prints what differs and fails.
#
#   compare-windows.sh calc SOURCE_DIR REFERENCE -- COMMAND...
#       vmk-calc's outputs byte for byte: standard output, standard error, exit status, the
#       report files and the plots, for the golden case files, the examples, profiles and the
#       usual mistakes. REFERENCE is the Linux vmk-calc; COMMAND runs the Windows one (for
#       example scripts/wine-run.sh PREFIX vmk-calc.exe).
#   compare-windows.sh pictures SOURCE_DIR LINUX_BIN WINDOWS_BIN -- EMULATOR...
#       the PNG pictures of vmk-calc --plot, vmk-met --rose/--stability-chart and the sample
#       site map (vmk-map-sample) look like the Linux build's: the same size, every pixel
#       matched by one of about its colour near it and the flat areas of the same colours
#       (vmk-picture-diff); vmk-met's SVG pictures byte for byte. LINUX_BIN and WINDOWS_BIN are the two builds' bin folders; EMULATOR runs
#       a Windows program (scripts/wine-run.sh PREFIX). VMK_PICTURES_DIR, when set, keeps both
#       systems' pictures there to look at.
#   compare-windows.sh site SOURCE_DIR LINUX_BIN WINDOWS_BIN -- EMULATOR...
#       vmk-site on the examples two-stacks and assessment: the same exit status, the CSV files
#       byte for byte, the same summary but for what a build without GDAL leaves out (its files
#       not listed, one note and the same line on standard error), and the maps of the
#       example without a basemap (each band classed pixel by pixel on Windows) looking like
#       the Linux build's polygons (vmk-picture-diff, as for the pictures).
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

# Runs the Linux command (the array linux_run) and the Windows one (windows_run) with the same
# arguments, each in its own fresh folder $work/run/linux and $work/run/windows that holds the
# cases ($work/cases, taken away afterwards) and io/ with an empty VMKIO1.csv; standard input
# from $stdin_file or nothing. Leaves out, err and status in each folder.
run_both() {
  local side
  for side in linux windows; do
    local dir="$work/run/$side"
    local -n run="${side}_run"
    rm -rf "$dir"
    mkdir -p "$dir/io"
    : > "$dir/io/VMKIO1.csv"
    cp -r "$work/cases" "$dir/cases"
    local status=0
    (cd "$dir" && "${run[@]}" "$@" < "${stdin_file:-/dev/null}" > out 2> err) || status=$?
    echo "$status" > "$dir/status"
    rm -rf "$dir/cases"
  done
}

# Compares the picture FILE of the run NAME, LINUX and WINDOWS: an SVG byte for byte, a PNG by
# eye (vmk-picture-diff with $radius, $fuzz and $limit); VMK_PICTURES_DIR, when set, keeps both.
compare_picture() {
  local name="$1" f="$2" linux="$3" windows="$4"
  if [ -n "${VMK_PICTURES_DIR:-}" ]; then
    mkdir -p "$VMK_PICTURES_DIR"
    cp "$linux" "$VMK_PICTURES_DIR/$name-$f-linux.${f##*.}"
    cp "$windows" "$VMK_PICTURES_DIR/$name-$f-windows.${f##*.}"
  fi
  case "$f" in
    *.svg) differs "$name: $f" "$linux" "$windows" ;;
    *.png)
      echo -n "$name: $f: "
      if ! "$linux_bin/vmk-picture-diff" "$linux" "$windows" "$radius" "$fuzz" "$limit"; then
        echo "DIFFERENT: $name: $f does not look like the Linux picture"
        fail=1
      fi
      ;;
  esac
}

case "$mode" in
calc)
  source_dir="$(realpath "$1")"
  linux_run=("$(realpath "$2")")
  shift 3  # SOURCE_DIR REFERENCE --
  windows_run=("$@")

  # The case files sit in the work folder under short relative names, so that both programs
  # see (and print) the same paths.
  mkdir -p "$work/cases/golden" "$work/cases/examples"
  cp "$source_dir"/tests/golden/*.json "$work/cases/golden/"
  cp "$source_dir"/examples/*.json "$work/cases/examples/"
  rm -f "$work"/cases/golden/*.expected.json
  printf '{"memoOption": "@WA:1@ x"}\x1A trailing bytes' > "$work/cases/eof-mark.bin"
  printf '{"QgEdit": " 1\r\n' > "$work/cases/broken.bin"

  runs=0
  compare_run() {
    local name="$1"
    shift
    run_both "$@"
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

pictures)
  source_dir="$(realpath "$1")"
  linux_bin="$(realpath "$2")"
  windows_bin="$(realpath "$3")"
  shift 4  # SOURCE_DIR LINUX_BIN WINDOWS_BIN --
  emulator=("$@")
  # Two painters draw the same scene: Qt's antialiases every edge, GDI+ under wine only the
  # texts, and the glyphs' hinting and advances differ by a pixel. vmk-picture-diff counts the
  # pixels with none of about their colour (55 %) within 3 px in the other picture (a 1 px black
  # line drawn as two grey rows still matches) and those of flat areas that changed colour.
  # These pictures of the two builds give 0 to 7; a missing 10 px label gives about 20, a
  # missing 12 to 14 px label 60 to 120, a layout moved by 3 px about 90, bars or bands of
  # another colour thousands.
  radius=3 fuzz=55 limit=12

  mkdir -p "$work/cases/met"
  cp "$source_dir"/examples/*.json "$work/cases/"
  cp "$source_dir"/tests/golden/sequence.json "$work/cases/"
  cp "$source_dir"/examples/met/hourly-sample.csv "$source_dir"/tests/met/agency-sample.csv \
    "$work/cases/met/"

  # Runs a program of each build with the same arguments; then compares the exit status, each
  # PNG picture by eye (vmk-picture-diff) and each SVG picture byte for byte.
  pictures=0
  compare_pictures() {
    local name="$1" program="$2"
    shift 2
    linux_run=("$linux_bin/$program")
    windows_run=("${emulator[@]}" "$windows_bin/$program.exe")
    run_both "$@"
    local a="$work/run/linux" b="$work/run/windows"
    differs "$name: exit status" "$a/status" "$b/status"
    local f
    for f in $(cd "$a" && ls *.png *.svg 2>/dev/null); do
      if [ ! -f "$b/$f" ]; then
        echo "MISSING: $name: $f not written on Windows"
        cat "$b/err"
        fail=1
        continue
      fi
      compare_picture "$name" "$f" "$a/$f" "$b/$f"
      pictures=$((pictures + 1))
    done
  }

  compare_pictures profile-log vmk-calc --profile 10:20000:40 --log --plot profile.png \
    --report-dir io/ cases/site.json
  compare_pictures profile-linear vmk-calc --profile 0.09999:100001:500 --plot profile.png \
    --report-dir io/ cases/site-no2-report.json
  compare_pictures profile-edge vmk-calc --profile 50:5000:30 --plot profile.png \
    --report-dir io/ cases/sequence.json
  compare_pictures met-sample vmk-met cases/met/hourly-sample.csv --rose rose.png \
    --stability-chart stability.png
  compare_pictures met-agency vmk-met cases/met/agency-sample.csv --rose rose.png \
    --stability-chart stability.png
  compare_pictures met-svg vmk-met cases/met/hourly-sample.csv --rose rose.svg \
    --stability-chart stability.svg
  compare_pictures site-map vmk-map-sample map.png
  echo "compared $pictures pictures"
  ;;

site)
  source_dir="$(realpath "$1")"
  linux_bin="$(realpath "$2")"
  windows_bin="$(realpath "$3")"
  shift 4  # SOURCE_DIR LINUX_BIN WINDOWS_BIN --
  linux_run=("$linux_bin/vmk-site")
  windows_run=("$@" "$windows_bin/vmk-site.exe")
  gis_files=(grid.tif isopleths.gpkg isopleths.geojson)
  # The bands' edges (polygons antialiased by Qt on Linux, whole pixels on Windows) match within
  # the radius. The maps' long names (to 200 px) come out up to 7 px longer from GDI+ under wine
  # (whole-pixel advances), and their halos with them: up to about 190 pixels unmatched along
  # them. A band of another colour or a missing one gives thousands.
  radius=3 fuzz=55 limit=250
  runs=0
  mkdir -p "$work/cases"
  cp -r "$source_dir/examples/two-stacks" "$source_dir/examples/assessment" "$work/cases/"
  for example in two-stacks assessment; do
    run_both "cases/$example/site.json" --out files --threads 2
    a="$work/run/linux" b="$work/run/windows"
    differs "$example: exit status" "$a/status" "$b/status"
    if [ "$(cat "$a/status")" != 0 ]; then
      echo "FAILED: $example on Linux:"; cat "$a/err"; fail=1; continue
    fi
    (cd "$a/files" && ls -A | grep -vxF -e "${gis_files[0]}" -e "${gis_files[1]}" -e "${gis_files[2]}") \
      > "$work/files-a"
    (cd "$b/files" && ls -A) > "$work/files-b"
    differs "$example: files written (Linux less the GIS files)" "$work/files-a" "$work/files-b"
    for f in $(cd "$a/files" && ls *.csv); do
      differs "$example: $f" "$a/files/$f" "$b/files/$f"
    done
    # The summary: the Linux one less the GIS files' names; the Windows one less its one note
    # of what it left out, which is also its standard error.
    note="$(grep -a '^note       : .* not made: this build has no GDAL$' "$b/out" || true)"
    if [ "$(printf '%s' "$note" | grep -c '^' || true)" != 1 ]; then
      echo "DIFFERENT: $example: the Windows summary has not one note of what it left out"
      fail=1
    fi
    # Standard error less the progress lines (a run of more than a second prints them).
    printf 'vmk-site: %s\n' "${note#note       : }" > "$work/err-expected"
    grep -av '^vmk-site: *[0-9]* % computed$' "$b/err" > "$work/err-b" || true
    grep -av '^vmk-site: *[0-9]* % computed$' "$a/err" > "$work/err-a" || true
    differs "$example: standard error on Windows" "$work/err-expected" "$work/err-b"
    differs "$example: standard error on Linux" /dev/null "$work/err-a"
    sed -e "/^files      :/{s/ ${gis_files[0]}//;s/ ${gis_files[1]}//;s/ ${gis_files[2]}//}" \
      "$a/out" > "$work/summary-a"
    grep -avxF -e "$note" "$b/out" > "$work/summary-b" || true
    differs "$example: summary" "$work/summary-a" "$work/summary-b"
    if [ "$example" = assessment ]; then  # no basemap: the same picture but for the bands' edges
      for f in $(cd "$a/files" && ls *.png); do
        if [ ! -f "$b/files/$f" ]; then
          echo "MISSING: $example: $f not written on Windows"; fail=1; continue
        fi
        compare_picture "site-$example" "$f" "$a/files/$f" "$b/files/$f"
      done
    fi
    runs=$((runs + 1))
  done
  echo "compared $runs runs of vmk-site"
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
          gdiplus.dll | ole32.dll | gdi32.dll | comctl32.dll | comdlg32.dll | ucrtbase.dll | \
          api-ms-win-*.dll) ;;
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
