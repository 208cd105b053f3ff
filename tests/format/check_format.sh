#!/usr/bin/env bash
# Fails when a C++ file of the repository differs from what clang-format
# makes of it with the repository's .clang-format, naming each such file.
# Prints "N passed, M failed" last.
set -uo pipefail
root=${1:-$(cd "$(dirname "$0")/../.." && pwd)}
cd "$root" || exit 2
passed=0
failed=0
while IFS= read -r file; do
  if clang-format --style=file --dry-run --Werror "$file" >/dev/null 2>&1; then
    passed=$((passed + 1))
  else
    echo "not formatted: $file (clang-format -i $file)"
    failed=$((failed + 1))
  fi
done < <(git ls-files '*.cpp' '*.h' '*.mm' | grep -v '^fuzz/corpus/')
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
