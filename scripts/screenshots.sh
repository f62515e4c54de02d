#!/usr/bin/env bash
# Screenshots of the program's windows under Xvfb with a real window manager
# (openbox), to look at before a change to the windows is called done:
#   backup-folder.png   the backup window's folder dialog (Qt's texts in Japanese)
#   error-box.png       a long error, broken into lines by the program
#   listing-*.png       the journal listing of a 100,000-line year, its progress bar
#   journal-saved.png   the journal after 保存
#   import-*.png        the journal's 取込: the button, the column mapping of an
#                       Excel file, its refused rows, an exported file imported
#   focus-*-opened.png, focus-*-loaded.png, focus-*-saved.png
#                       each entry window just opened, loaded and saved (where the focus is)
#   login.png           the login window
#   kaihi-*.png         the dues ledger's windows on the sample organisation (and the
#                       journal window handed a collection's line), and
#   kaihi-*.xlsx        its workbooks
#   styles-*.png        the budget window with an amendment typed, and the
#                       budget and settlement signature tabs' title and signs of 増減
#                       walked by keyboard
#   budget-*.png, settlement-*.png
#                       the budget and settlement windows on the sample
#                       organisation's year, one shot per tab
#   balances-*.png      the sample's 2025 year-end: the 残高内訳 tab, 決算書出力 walked
#                       by keyboard to its 残高内訳 check box, the year's close and
#                       reopen questions, the years window with the closed year
# Usage: [SCREENS_BUILD=build/test] [SCREENS_MODES="import …"] scripts/screenshots.sh [OUTDIR] [DISPLAY]
#        (default /tmp/tsubaki-screens, :92, every mode: backup error journal import statements styles focus login balances kaihi)
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-/tmp/tsubaki-screens}")
display=${2:-:92}
scripts/install-deps.sh xvfb openbox x11-apps imagemagick
mkdir -p "$out"

# A tree of its own (Release), or an existing one given as SCREENS_BUILD (the
# benchmarks' targets are added to it).
build=${SCREENS_BUILD:-build/screens}
if [ -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -DTSUBAKI_BENCH=ON >/dev/null
else
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DTSUBAKI_BENCH=ON >/dev/null
fi
cmake --build "$build" -j2 --target screens journal_bench templates
bin=$build/bench
# The program folder of the harness: the templates, the statement lists and a settings file whose
# empty viewer makes a workbook only saved.
ln -sfn "$(realpath "$build/app/Template")" "$bin/Template"
for list in YosansyoList.txt KessansyoList.txt; do ln -sfn "$(realpath "$build/app/$list")" "$bin/$list"; done
work=$(mktemp -d)
printf '[Report]\nOutputFolder=%s\nViewer=\n' "$work/帳票" > "$bin/Tsubaki.ini"

Xvfb "$display" -screen 0 1280x900x24 -nolisten tcp &
xvfb=$!
sleep 1
DISPLAY=$display openbox &
wm=$!
cleanup() { kill "$wm" "$xvfb" 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT
sleep 1
export DISPLAY=$display QT_QPA_PLATFORM=xcb FIREBIRD_LOCK=$work/lock
shot() { import -window root "$out/$1.png"; echo "$out/$1.png"; }

modes=" ${SCREENS_MODES:-backup error journal import statements styles focus login balances kaihi} "
wants() { [[ $modes == *" $1 "* ]]; }
if wants backup || wants journal; then
  "$bin/journal_bench" make "$work/TSUBAKI.FDB"
fi

# Each step is shot a moment after the harness names it on its output.
run() {
  local mode=$1; shift
  "$bin/screens" "$mode" "${SCREENS_DB:-$work/TSUBAKI.FDB}" "$work" > "$work/$mode.log" 2>&1 &
  local pid=$!
  "$@"
  # The embedded engine catches SIGTERM and may wait on a modal window: no mercy.
  kill -KILL "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}
wait_for() { for _ in $(seq 1 600); do grep -qx "$2" "$work/$1.log" 2>/dev/null && return 0; sleep 0.1; done; return 1; }

wants backup && run backup bash -c "$(declare -f wait_for shot); out=$out work=$work; wait_for backup folder; sleep 2; shot backup-folder"
wants error && run error bash -c "$(declare -f wait_for shot); out=$out work=$work; wait_for error error; sleep 1.5; shot error-box"
wants journal && run journal bash -c "$(declare -f wait_for shot); out=$out work=$work
  wait_for journal listing
  for i in 1 2 3 4 5 6 7 8; do sleep 0.6; shot listing-\$i; done
  wait_for journal saved; sleep 1; shot journal-saved"
if wants import; then
  cp "$build/app/OrgDB/SampleDB/TSUBAKI.FDB" "$work/sample.fdb"
  chmod u+w "$work/sample.fdb"
  SCREENS_DB=$work/sample.fdb run import bash -c "$(declare -f wait_for shot); out=$out work=$work
    wait_for import button; sleep 1; shot import-journal
    wait_for import mapping; sleep 1.5; shot import-mapping
    wait_for import refused; sleep 1.5; shot import-refused
    wait_for import import; sleep 1.5; shot import-imported
    wait_for import imported; sleep 1; shot import-done"
fi
if wants focus; then
  cp "$build/app/OrgDB/SampleDB/TSUBAKI.FDB" "$work/focus.fdb"
  chmod u+w "$work/focus.fdb"
  SCREENS_DB=$work/focus.fdb run focus bash -c "$(declare -f wait_for shot); out=$out work=$work
    for w in journal budget settlement interim years; do
      wait_for focus focus-\$w-opened; sleep 0.8; shot focus-\$w-opened
      wait_for focus focus-\$w-loaded; sleep 0.3; shot focus-\$w-loaded
      wait_for focus focus-\$w-saved; sleep 1.5; shot focus-\$w-saved
    done"
fi
wants login && run login bash -c "$(declare -f wait_for shot); out=$out work=$work; wait_for login login; sleep 0.5; shot login"
if wants styles; then
  cp "$build/app/OrgDB/SampleDB/TSUBAKI.FDB" "$work/styles.fdb"
  chmod u+w "$work/styles.fdb"
  SCREENS_DB=$work/styles.fdb run styles bash -c "$(declare -f wait_for shot); out=$out work=$work
    for step in budget-hosei budget-hosei-payments budget-style-title budget-style-syunyu budget-style-open \\
                budget-style-chosen settlement-style-title settlement-style-open settlement-style-chosen; do
      wait_for styles \$step; sleep 1.2; shot styles-\$step
    done"
fi
if wants statements; then
  cp "$build/app/OrgDB/SampleDB/TSUBAKI.FDB" "$work/statements.fdb"
  chmod u+w "$work/statements.fdb"
  SCREENS_DB=$work/statements.fdb run statements bash -c "$(declare -f wait_for shot); out=$out work=$work
    for page in budget-1 budget-2 budget-3 budget-4 settlement-1 settlement-2 settlement-3 settlement-4; do
      wait_for statements \$page; sleep 1.5; shot \$page
    done"
fi
if wants balances; then
  cp "$build/app/OrgDB/SampleDB/TSUBAKI.FDB" "$work/balances.fdb"
  chmod u+w "$work/balances.fdb"
  SCREENS_DB=$work/balances.fdb run balances bash -c "$(declare -f wait_for shot); out=$out work=$work
    wait_for balances balances-tab; sleep 1.5; shot balances-tab
    wait_for balances balances-choice; sleep 1; shot balances-choice
    wait_for balances balances-close; sleep 1; shot balances-close
    wait_for balances balances-reopen; sleep 1; shot balances-reopen
    wait_for balances balances-years; sleep 1; shot balances-years"
fi
if wants kaihi; then
  cp "$build/app/OrgDB/SampleDB/TSUBAKI.FDB" "$work/kaihi.fdb"
  chmod u+w "$work/kaihi.fdb"
  SCREENS_DB=$work/kaihi.fdb run kaihi bash -c "$(declare -f wait_for shot); out=$out work=$work
    for page in kaihi-setai kaihi-setai-search kaihi-han kaihi-cyosyu kaihi-journal kaihi-ryosyu; do
      wait_for kaihi \$page; sleep 0.8; shot \$page
    done"
  cp "$work"/kaihi-*.xlsx "$out"/ 2>/dev/null || true
fi
