#!/usr/bin/env bash
# end_to_end.sh QUILLET_EXE DIALOG_BEHAVIOUR_EXE SOURCE_DIR BINARY_DIR [win32|win64]
#
# The Windows reference host under Wine on one virtual display (Xvfb):
#  * quillet.exe imports the example file through the real dialog in modes 1
#    and 0; the rows of LOGS (without ID) and the error file (without its
#    "# Created by:" line) equal those of the native quillet for the same
#    file (skipped with a message when build/native has no quillet);
#  * a second run updates only;
#  * mode 2 into a new database without dictionaries: refused before any
#    run, exit status 1, the command that fills them named;
#  * dialog_behaviour.exe checks the controls' rules and the remembered
#    settings, and holds the dialog after its run for the screenshot
#    BINARY_DIR/quillet-dialog.png.
# Wine (32- or 64-bit, as the build) runs in a prefix of its own
# (QUILLET_GUI_WINEPREFIX), so its server on this display never disturbs the
# headless unit tests; the server and Xvfb are stopped at the end whatever
# happens.
set -euo pipefail
quillet_exe="$1"
behaviour_exe="$2"
source_dir="$3"
binary_dir="$4"
arch="${5:-win32}"
native_quillet="${QUILLET_NATIVE_QUILLET:-$source_dir/build/native/bin/quillet}"
wine_run="$source_dir/scripts/wine-run"
work="$binary_dir/host_win32_end_to_end"
limit=60  # seconds for any one program

if [ "$arch" = win64 ]; then gui_prefix=.wine-quillet64-gui; else gui_prefix=.wine-quillet-gui; fi
export QUILLET_WINEPREFIX="${QUILLET_GUI_WINEPREFIX:-${HOME:-/root}/$gui_prefix}"
export QUILLET_WINE_ARCH="$arch"
export QUILLET_WINE_PERSIST=20
failures=0
xvfb_pid=""
helper_pid=""

cleanup() {
  [ -n "$helper_pid" ] && kill "$helper_pid" 2>/dev/null || true
  "$wine_run" --wineserver -k </dev/null >/dev/null 2>&1 || true
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
}
trap cleanup EXIT

pass() { echo "ok: $*"; }
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
expect() { local what="$1"; shift; if "$@"; then pass "$what"; else fail "$what"; fi; }
winpath() { local p="$1"; printf 'Z:%s' "${p//\//\\}"; }

start_display() {
  local file="$work/display"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$file" </dev/null >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do
    [ -s "$file" ] && break
    sleep 0.1
  done
  [ -s "$file" ] || { echo "Xvfb did not start"; exit 1; }
  export DISPLAY=":$(head -n1 "$file")"
  echo "virtual display $DISPLAY"
}

# win_import NAME MODE DB [more args]: quillet.exe import of work/NAME.adi;
# stdout and stderr in work/DB.out, work/DB.err-out; its status in $status.
win_import() {
  local name="$1" mode="$2" db="$3"
  shift 3
  status=0
  timeout "$limit" "$wine_run" "$quillet_exe" import "$(winpath "$work/$name.adi")" --mode "$mode" \
    --db "$(winpath "$work/$db.sqlite")" "$@" </dev/null >"$work/$db.out" 2>"$work/$db.err-out" || status=$?
}

native_import() {
  local name="$1" mode="$2" db="$3"
  mkdir -p "$work/native"
  cp "$work/$name.adi" "$work/native/$name.adi"
  "$native_quillet" import "$work/native/$name.adi" --mode "$mode" --db "$work/native/$db.sqlite" \
    </dev/null >"$work/native/$db.out" 2>"$work/native/$db.err-out"
  mv "$work/native/$name.err" "$work/native/$db.errfile" 2>/dev/null || true
}

log_rows() {
  local db="$1" columns
  columns="$(sqlite3 "$db" "SELECT group_concat(name, ', ') FROM pragma_table_info('LOGS') WHERE name <> 'ID'")"
  sqlite3 "$db" "SELECT $columns FROM LOGS ORDER BY $columns"
}
row_count() { sqlite3 "$1" "SELECT count(*) FROM LOGS"; }
error_file_body() { grep -v '^# Created by:' "$1" | tr -d '\r'; }
has() { tr -d '\r' <"$1" | grep -q -- "$2"; }
lacks() { ! has "$1" "$2"; }
# Rows of plain ASCII text: the same bytes whatever the ANSI code page is.
ascii_rows() { log_rows "$1" | LC_ALL=C grep -av $'[\x80-\xff]' || true; }

rm -rf "$work"
mkdir -p "$work"
cp "$source_dir/examples/dl1qlt-weekend.adi" "$work/"
start_display
started=$SECONDS

compare_native=1
if [ ! -x "$native_quillet" ]; then
  compare_native=0
  echo "note: no native quillet at $native_quillet: the comparison with the native run is skipped"
fi

for mode in 1 0; do
  db="mode$mode"
  win_import dl1qlt-weekend "$mode" "$db"
  cp "$work/dl1qlt-weekend.err" "$work/$db.errfile" 2>/dev/null || true
  expect "mode $mode: exit status 0" test "$status" = 0
  expect "mode $mode: the memo's transcript on stdout" has "$work/$db.out" '^\* Done\. Elapsed time'
  expect "mode $mode: the journal line of a processed run" has "$work/$db.err-out" ' processed ('
  expect "mode $mode: rows imported" test "$(row_count "$work/$db.sqlite")" -gt 0
  if ((compare_native)); then
    native_import dl1qlt-weekend "$mode" "$db"
    # Without a byte-order mark the file is read in the ANSI code page:
    # Windows-1252 here, UTF-8 natively; its non-ASCII rows differ.
    expect "mode $mode: as many LOGS rows as the native run" \
      test "$(row_count "$work/$db.sqlite")" = "$(row_count "$work/native/$db.sqlite")"
    expect "mode $mode: the ASCII rows of LOGS equal the native run's" \
      cmp -s <(ascii_rows "$work/$db.sqlite") <(ascii_rows "$work/native/$db.sqlite")
    expect "mode $mode: the error file equals the native one" \
      cmp -s <(error_file_body "$work/$db.errfile") <(error_file_body "$work/native/$db.errfile")
  fi
done

# With a UTF-8 byte-order mark both read the same characters: every row equal.
if ((compare_native)); then
  { printf '\xef\xbb\xbf'; cat "$work/dl1qlt-weekend.adi"; } >"$work/weekend-bom.adi"
  win_import weekend-bom 1 bom
  native_import weekend-bom 1 bom
  expect "UTF-8 with BOM: exit status 0" test "$status" = 0
  expect "UTF-8 with BOM: LOGS rows equal the native run's" \
    cmp -s <(log_rows "$work/bom.sqlite") <(log_rows "$work/native/bom.sqlite")
fi

# A second run of the same file: nothing new, the changed rows updated.
rows_before="$(row_count "$work/mode1.sqlite")"
cp "$work/mode1.sqlite" "$work/again.sqlite"
win_import dl1qlt-weekend 1 again
expect "second run: exit status 0" test "$status" = 0
expect "second run: nothing inserted" lacks "$work/again.out" 'Inserted to log: [1-9]'
expect "second run: rows updated" grep -Eq 'Updated in log: [1-9]' "$work/again.out"
expect "second run: the row count unchanged" test "$(row_count "$work/again.sqlite")" = "$rows_before"

# Mode 2 into a new database, whose dictionaries are empty: refused before
# the database is created, with the command that fills them.
win_import dl1qlt-weekend 2 mode2
expect "mode 2, empty dictionaries: exit status 1" test "$status" = 1
# A run that never started leaves no database behind.
expect "mode 2, empty dictionaries: no database created" test ! -e "$work/mode2.sqlite"
expect "mode 2, empty dictionaries: the host names dict import" has "$work/mode2.err-out" 'quillet dict import'

# The controls, the remembered settings and the screenshot.
mkdir -p "$work/other" "$work/shot"
cp "$work/dl1qlt-weekend.adi" "$work/other/second.adi"
behaviour_status=0
timeout "$limit" "$wine_run" "$behaviour_exe" "$(winpath "$work/dl1qlt-weekend.adi")" "$(winpath "$work/other")" \
  "$(winpath "$work/other/second.adi")" "$(winpath "$work/behaviour.sqlite")" \
  "$(winpath "$(dirname "$quillet_exe")/Quillet.ext")" "$(winpath "$work/shot")" \
  </dev/null >"$work/behaviour.out" 2>"$work/behaviour.err-out" &
helper_pid=$!
for _ in $(seq 600); do
  [ -f "$work/shot/ready" ] && break
  kill -0 "$helper_pid" 2>/dev/null || break
  sleep 0.1
done
screenshot="$binary_dir/quillet-dialog.png"
rm -f "$screenshot"
if [ -f "$work/shot/ready" ]; then
  sleep 0.5  # the last repaint
  if [ -x /usr/bin/import ]; then
    expect "screenshot $screenshot" timeout 30 /usr/bin/import -display "$DISPLAY" -window root "$screenshot"
  else
    echo "note: /usr/bin/import (ImageMagick) is missing: no screenshot"
  fi
fi
touch "$work/shot/go"
wait "$helper_pid" || behaviour_status=$?
helper_pid=""
tr -d '\r' <"$work/behaviour.out"
expect "dialog behaviour: every check passed" test "$behaviour_status" = 0

echo "Wine end to end: $((SECONDS - started)) s"
if ((failures)); then
  echo "$failures check(s) failed; outputs in $work"
  exit 1
fi
