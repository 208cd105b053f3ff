#!/usr/bin/env bash
# Runs one lanthorn-trace transcript in a scratch directory and compares what
# it prints with the expected output beside it.
#   run_transcript.sh TRACE_BINARY TRANSCRIPT [--update]
# A transcript's "# args:" line gives the tool's arguments; {fixtures} stands
# for tests/fixtures.
set -euo pipefail
binary=$1
transcript=$2
here=$(cd "$(dirname "$transcript")" && pwd)
transcript="$here/$(basename "$transcript")"
binary=$(cd "$(dirname "$binary")" && pwd)/$(basename "$binary")
expected="$here/$(basename "$transcript" .trace).expected"
args=$(sed -n 's/^# args: *//p' "$transcript" | head -n 1)
args=${args//\{fixtures\}/$here/../fixtures}

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
# shellcheck disable=SC2086
(cd "$scratch" && "$binary" $args < "$transcript") > "$scratch/actual.txt"

if [ "${3:-}" = "--update" ]; then
  cp "$scratch/actual.txt" "$expected"
  exit 0
fi
if ! diff -u "$expected" "$scratch/actual.txt"; then
  echo "transcript $(basename "$transcript") differs from its expected output" >&2
  exit 1
fi
