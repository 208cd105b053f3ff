#!/usr/bin/env bash
# Runs a book tool on hostile book sources: each must end with exit code 1
# and the expected message, never with a crash, a hang or success.
#   run_hostile.sh FIXTURES_DIR TOOL [ARG...]
# The tool gets the book directory as its last argument (bookc BOOK, or
# lanthorn-trace --book BOOK).
#
# Each folder beside this script is a case: the "crossing" fixture book with
# the files in its book/ laid over it and the paths in its "remove" file
# taken away; "expected" holds the error line, with BOOK for the book's
# folder. The cases that need a file-system trick (a symbolic link loop, an
# unreadable file, a fifo, a source too large to commit) are made here.
set -uo pipefail
fixtures=$1
shift
tool=("$@")
case ${tool[0]} in */*) tool[0]=$(cd "$(dirname "${tool[0]}")" && pwd)/$(basename "${tool[0]}") ;; esac
fixtures=$(cd "$fixtures" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
scratch=$(mktemp -d)
trap 'chmod -R u+rwx "$scratch" 2>/dev/null; rm -rf "$scratch"' EXIT
failures=0

fresh_book() {
  local book=$scratch/$1
  rm -rf "$book"
  cp -r "$fixtures/crossing" "$book"
  echo "$book"
}

# expect NAME BOOK EXPECTED_LINE: runs the tool on BOOK.
expect() {
  local name=$1 book=$2 expected=${3//BOOK/$2}
  local output rc
  output=$(cd "$scratch" && timeout 120 "${tool[@]}" "$book" 2>&1 </dev/null)
  rc=$?
  if [ $rc -ne 1 ]; then
    echo "FAIL $name: exit code $rc, not 1"
    echo "$output" | head -n 5
    failures=$((failures + 1))
  elif ! grep -qxF -- "$expected" <<<"$output"; then
    echo "FAIL $name: no line '$expected' in:"
    echo "$output" | head -n 5
    failures=$((failures + 1))
  else
    echo "ok   $name"
  fi
}

for case_dir in "$here"/*/; do
  name=$(basename "$case_dir")
  book=$(fresh_book "$name")
  if [ -f "$case_dir/remove" ]; then
    while read -r path; do rm -rf "${book:?}/$path"; done <"$case_dir/remove"
  fi
  [ -d "$case_dir/book" ] && cp -r "$case_dir/book/." "$book/"
  expect "$name" "$book" "$(head -n 1 "$case_dir/expected")"
done

book=$(fresh_book symlink-loop)
ln -s loop.txt "$book/paragraphs/loop.txt"
expect symlink-loop "$book" \
  "BOOK/paragraphs/loop.txt: error: cannot be read: Too many levels of symbolic links"

ln -s book-loop "$scratch/book-loop"
expect book-folder-loop "$scratch/book-loop" \
  "BOOK: error: cannot be read: Too many levels of symbolic links"

book=$(fresh_book fifo)
mkfifo "$book/paragraphs/waiting.txt"
expect fifo "$book" "BOOK/paragraphs/waiting.txt: error: is not a regular file"

book=$(fresh_book too-large)
# 1 MiB and one byte of paragraph source in two files.
head -c 1048576 /dev/zero | tr '\0' 'x' >"$book/paragraphs/padding.txt"
expect too-large "$book" "BOOK/paragraphs: error: the paragraph files hold more than 1048576 \
bytes; a book's 361 paragraphs hold at most 825607 characters when joined"

book=$(fresh_book toml-too-large)
{ echo '# padding'; head -c 262144 /dev/zero | tr '\0' '#'; echo; } >>"$book/items.toml"
expect toml-too-large "$book" \
  "BOOK/items.toml: error: a metadata file of more than 262144 bytes is not a book's"

if [ "$(id -u)" -eq 0 ]; then
  echo "skip unreadable-file, unreadable-folder, unreadable-book: running as root, who reads every file"
else
  book=$(fresh_book unreadable-file)
  chmod 000 "$book/paragraphs/crossing.txt"
  expect unreadable-file "$book" \
    "BOOK/paragraphs/crossing.txt: error: cannot be read: Permission denied"
  book=$(fresh_book unreadable-folder)
  chmod 000 "$book/paragraphs"
  expect unreadable-folder "$book" "BOOK/paragraphs: error: cannot be read: Permission denied"
  book=$(fresh_book unreadable-book)
  chmod 000 "$book"
  expect unreadable-book "$book" "BOOK/book.toml: error: cannot be read: Permission denied"
fi

# The fixture itself is a good book: the cases fail for what was done to it.
output=$(cd "$scratch" && "${tool[@]}" "$fixtures/crossing" 2>&1 </dev/null)
rc=$?
if [ $rc -ne 0 ]; then
  echo "FAIL the crossing book itself: exit code $rc"
  echo "$output" | head -n 5
  failures=$((failures + 1))
fi

[ $failures -eq 0 ] || { echo "$failures hostile case(s) failed"; exit 1; }
