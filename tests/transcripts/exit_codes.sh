#!/usr/bin/env bash
# lanthorn-trace's exit codes: the reader's own when it ends (1 when it
# refused to start or could not save), 2 for a bad script, with the bad
# line quoted short.
#   exit_codes.sh TRACE_BINARY
set -uo pipefail
binary=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0

# check NAME EXPECTED_CODE EXPECTED_STDERR SCRIPT: runs the script in a fresh
# folder prepared by the function "prepare", if set.
check() {
  local name=$1 code=$2 message=$3 script=$4
  local folder=$scratch/$name
  mkdir -p "$folder"
  (cd "$folder" && ${prepare:-true})
  local rc
  (cd "$folder" && printf '%b' "$script" | "$binary" >"$folder/out" 2>"$folder/err")
  rc=$?
  if [ $rc -ne "$code" ]; then
    echo "FAIL $name: exit code $rc, not $code"
    failures=$((failures + 1))
  elif [ "$(cat "$folder/err")" != "$message" ]; then
    echo "FAIL $name: said '$(head -c 300 "$folder/err")', not '$message'"
    failures=$((failures + 1))
  else
    echo "ok   $name"
  fi
}

check closed 0 "" 'start\ntimer\nclose\n'
check still-running 0 "" 'start\ntimer\ntimer\ncommand 511\n'

# Another copy holds the save file: the reader refuses to start. This shell
# holds the lock while the tool runs (the lock belongs to its own opening of
# the file, which the tool does not share).
mkdir -p "$scratch/refused-to-start"
exec 9>"$scratch/refused-to-start/TBV2lanthornfell.dat"
flock -x 9
check refused-to-start 1 "" 'start\ndump exitCode\n'
exec 9>&-
grep -qx '{"exitCode":1}' "$scratch/refused-to-start/out" ||
  { echo "FAIL refused-to-start: dump showed $(cat "$scratch/refused-to-start/out")"; failures=$((failures + 1)); }

# A save file that takes no bytes: the reader closes but cannot save.
full_disk() { ln -s /dev/full TBV2lanthornfell.dat; }
prepare=full_disk check could-not-save 1 "" 'start\nclose\n'

# The opening screens stop their timer on the details screen; a third
# "timer" there would move on to the story, which the program cannot do.
check timer-not-set 2 "lanthorn-trace: line 4: timer: no timer is set" \
  'start\ntimer\ntimer\ntimer\ndump shownPage\n'
check timer-after-close 2 "lanthorn-trace: line 3: timer: no timer is set" 'start\nclose\ntimer\n'
check bad-script-wins 2 "lanthorn-trace: line 3: unknown command 'jump'" 'start\nclose\njump\n'

long=$(head -c 100000 /dev/zero | tr '\0' 'x')
check long-line 2 "lanthorn-trace: line 2: unknown command '$(head -c 40 <<<"$long")...'" \
  "start\n${long}\n"
# Cut between whole characters: 39 "a" and a two-byte "é" make 41 bytes.
check long-utf8 2 "lanthorn-trace: line 1: no field '$(printf 'a%.0s' $(seq 39))...'" \
  "dump $(printf 'a%.0s' $(seq 39))\xc3\xa9\xc3\xa9\n"

[ $failures -eq 0 ] || { echo "$failures case(s) failed"; exit 1; }
