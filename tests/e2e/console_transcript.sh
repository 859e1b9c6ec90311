#!/bin/bash
# Whole console transcripts of the built program, compared byte for byte.
# Usage: console_transcript.sh <path of brackenholmer> <repository root>
set -u
bin=$(realpath "$1")
root=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

banner() {
  printf '\n\n\t-------------------------------------\n'
  printf '\t|   Welcome to Brackenholmer 1.0    |\n'
  printf '\t-------------------------------------\n\n'
}
loading() { printf '\tLoading terrain file %s ..\n\n' "$1"; }
report() { printf '\t%s\n\n' "$1"; }

# check NAME EXPECTED-STATUS ACTUAL-STATUS: compares $work/expected with $work/out
# (exactly, or only its first bytes with PREFIX=1) and wants nothing on stderr.
check() {
  local name=$1 want_status=$2 status=$3 ok=1
  if [ "${PREFIX:-0}" = 1 ]; then
    head -c "$(stat -c %s "$work/expected")" "$work/out" > "$work/compared"
  else
    cp "$work/out" "$work/compared"
  fi
  if ! cmp -s "$work/expected" "$work/compared"; then
    echo "FAIL $name: transcript differs (expected, then actual; ^I is a tab, \$ a line end)"
    cat -A "$work/expected"; echo "----"; cat -A "$work/out"
    ok=0
  fi
  if [ "$want_status" != any ] && [ "$status" != "$want_status" ]; then
    echo "FAIL $name: exit status $status, expected $want_status"; ok=0
  fi
  if [ "${PREFIX:-0}" != 1 ] && [ -s "$work/err" ]; then
    echo "FAIL $name: unexpected output on stderr:"; cat "$work/err"; ok=0
  fi
  if [ $ok = 1 ]; then echo "ok   $name"; else failures=$((failures + 1)); fi
}

# Without arguments: banner and usage with the program's own argv[0], status 1.
"$bin" > "$work/out" 2> "$work/err"; status=$?
{ banner; printf '\t!!! Usage: %s [TERRAIN FILE] [TEXTURE FILE]!!!\n\n' "$bin"; } > "$work/expected"
check "no arguments" 1 $status

(exec -a "my-viewer" "$bin") > "$work/out" 2> "$work/err"; status=$?
{ banner; printf '\t!!! Usage: %s [TERRAIN FILE] [TEXTURE FILE]!!!\n\n' "my-viewer"; } > "$work/expected"
check "no arguments, argv[0] as called" 1 $status

# A file that does not exist: the open report and its reason, status 1. A third file is
# refused before anything is loaded, status 2.
missing="$work/no such terrain.asc"
{ banner; loading "$missing"; report "Could not open the file $missing"; report "No such file or directory"; } > "$work/expected"
"$bin" "$missing" > "$work/out" 2> "$work/err"; status=$?
check "missing file" 1 $status
report '!!! "third" is one file too many: GRID and TEXTURE are the only files !!!' > "$work/expected"
"$bin" "$missing" "$work/texture.bmp" third fourth > "$work/out" 2> "$work/err"; status=$?
check "a third file" 2 $status

# A text that neither the ASCII reader nor GDAL takes is no valid grid.
bad="$work/notes.asc"
printf 'Heights of the garden\n1 2\n3 4\n' > "$bad"
{ banner; loading "$bad"; report "The file $bad is no valid ARC|Info ASCII file."
  report "line 1: expected 'ncols', found 'Heights'"; } > "$work/expected"
"$bin" "$bad" > "$work/out" 2> "$work/err"; status=$?
check "invalid header" 1 $status

# A header in capitals goes to GDAL, which says what it read; without a display the
# program then ends with status 1.
caps="$work/capitals.asc"
printf 'NCOLS 2\nNROWS 2\nxllcorner 0\nyllcorner 0\ncellsize 1\nNODATA_value -9999\n1 2\n3 4\n' > "$caps"
{ banner; loading "$caps"; report "The file $caps has a header the ASCII reader does not take; GDAL reads it."
  report "The file $caps was loaded succesfully (ARC/INFO ASCII grid, 2 x 2, spacing 108000)."
  report 'The grid is in degrees around latitude 1.0000: its columns are drawn 0.9998 times as far apart as its rows ("Square Cells" draws them square).'
  report "No display found: Brackenholmer needs a graphical desktop (DISPLAY is not set)."; } > "$work/expected"
env -u DISPLAY "$bin" "$caps" > "$work/out" 2> "$work/err"; status=$?
check "header in capitals, read through GDAL" 1 $status

# A grid of NODATA alone loads, with a line saying that there is nothing to draw; whole
# and NaN NODATA values alike. Without a display the program then ends with status 1.
for value in -9999 nan; do
  empty="$work/empty_$value.asc"
  printf 'ncols 3\nnrows 2\nxllcorner 0\nyllcorner 0\ncellsize 0.000833333333\nNODATA_value %s\n' "$value" > "$empty"
  printf '%s %s %s\n' "$value" "$value" "$value" "$value" "$value" "$value" >> "$empty"
  { banner; loading "$empty"; report "The file $empty was loaded succesfully."
    report "The grid holds no heights: every cell is NODATA."
    report "No display found: Brackenholmer needs a graphical desktop (DISPLAY is not set)."; } > "$work/expected"
  env -u DISPLAY "$bin" "$empty" > "$work/out" 2> "$work/err"; status=$?
  check "every cell NODATA ($value)" 1 $status
done

# --help and --version answer without the banner and end with status 0.
"$bin" --version > "$work/out" 2> "$work/err"; status=$?
printf 'Brackenholmer 1.0\n' > "$work/expected"
check "version" 0 $status
"$bin" --help > "$work/out" 2> "$work/err"; status=$?
printf 'Usage: %s GRID [TEXTURE] [SETTINGS]\n' "$bin" > "$work/expected"
PREFIX=1 check "help" 0 $status
grep -q '^  + -  *one subdivision level more or less$' "$work/out" || { echo "FAIL help: no key table"; failures=$((failures + 1)); }
grep -q '^Screen Error (panel check box, --screen-error PX): the mesh follows the camera,$' "$work/out" ||
  { echo "FAIL help: no Screen Error paragraph"; failures=$((failures + 1)); }

# Too few heights: the reader's own one-line report, status 1.
short="$work/short.asc"
printf 'ncols 2\nnrows 2\nxllcorner 0\nyllcorner 0\ncellsize 1\nNODATA_value -9999\n1 2 3\n' > "$short"
{ banner; loading "$short"; report "The file $short holds only 3 of 4 heights (2 rows x 2 columns)."; } > "$work/expected"
"$bin" "$short" > "$work/out" 2> "$work/err"; status=$?
check "too few heights" 1 $status

# A successful load hands over to the window, which does not return: only the console
# lines printed before it are compared, and the window is closed by a timeout.
sample="$root/data/jacksboro_403x344.asc"
{ banner; loading "$sample"; report "The file $sample was loaded succesfully."
  report 'The grid is in degrees around latitude 36.5896: its columns are drawn 0.8029 times as far apart as its rows ("Square Cells" draws them square).'
} > "$work/expected"
if command -v xvfb-run > /dev/null; then
  timeout -k 5 60 xvfb-run -a timeout -k 2 5 "$bin" "$sample" > "$work/out" 2> "$work/err"; status=$?
else
  env -u DISPLAY -u WAYLAND_DISPLAY timeout -k 2 5 "$bin" "$sample" > "$work/out" 2> "$work/err"; status=$?
fi
PREFIX=1 check "successful load (console lines before the window)" any $status

if [ $failures -gt 0 ]; then
  echo "$failures transcript(s) differ"
  exit 1
fi
echo "all transcripts match"
