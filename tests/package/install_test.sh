#!/usr/bin/env bash
# The Debian package, made from this build by CPack, unpacked into a scratch
# root with dpkg -x and started from there:
#
#   install_test.sh BUILD_DIR LANTHORN_TRACE PROBE_PLUGIN_DIR APP_ID VERSION SCREENSHOT
#
# Checks the package's fields and dependencies (every one installable from
# what this machine has), its files (the stripped program, the desktop entry,
# the metainfo, an icon at each theme size), the tree with
# `appstreamcli validate-tree`, and then runs the unpacked reader on the
# offscreen platform in a fresh folder and home with the probe plugin, which plays
# the opening screens to the first story page and exits by the menu. The
# page must show the choices the core gives page 2, and the save file must
# hold the same bytes as the headless reader's after the same moves.
set -euo pipefail
build=$1 trace=$2 probe=$3 app_id=$4 version=$5 screenshot=$6

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# ---- the package
cpack --config "$build/CPackConfig.cmake" -B "$work/cpack" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; echo "FAIL: cpack could not make the package" >&2; exit 1; }
shopt -s nullglob
debs=("$work"/cpack/*.deb)
shopt -u nullglob
[ ${#debs[@]} -eq 1 ] || { echo "FAIL: cpack made ${#debs[@]} .deb files, expected 1" >&2; exit 1; }
deb=${debs[0]}
echo "package: $(basename "$deb"), $(stat -c %s "$deb") bytes"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = lanthorn-fell ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)', expected $version"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture is '$(field Architecture)'"
depends=$(field Depends)
echo "depends: $depends"
names=" $(tr ',|' '\n\n' <<<"$depends" | awk '{print $1}' | tr '\n' ' ')"
for needed in libqt6widgets6 libqt6multimedia6 libqt6network6 libqt6svg6 libstdc++6 qt6-qpa-plugins; do
  [[ $names == *" $needed "* ]] || fail "Depends does not name $needed"
done
# Every dependency is met by a package installed here, so that a machine
# like this one installs the .deb without anything else.
while IFS= read -r group; do
  met=0
  IFS='|' read -ra alternatives <<<"$group"
  for alternative in "${alternatives[@]}"; do
    name=$(awk '{print $1}' <<<"$alternative")
    dpkg-query -W -f='${Status}' "$name" 2>/dev/null | grep -q "install ok installed" && met=1
  done
  [ $met = 1 ] || fail "dependency '$group' is not installed here"
done < <(tr ',' '\n' <<<"$depends" | sed 's/^ *//')

# ---- its files, unpacked
root=$work/root
dpkg -x "$deb" "$root"
program=$root/usr/bin/lanthorn-qt
[ -x "$program" ] || fail "no executable usr/bin/lanthorn-qt"
readelf -S "$program" | grep -q '\.debug_info' && fail "usr/bin/lanthorn-qt is not stripped"
desktop=$root/usr/share/applications/$app_id.desktop
if [ -f "$desktop" ]; then
  grep -qx 'Name=Lanthorn Fell' "$desktop" || fail "the desktop entry's Name is not 'Lanthorn Fell'"
  grep -qx "Icon=$app_id" "$desktop" || fail "the desktop entry's Icon is not $app_id"
  exec_line=$(sed -n 's/^Exec=//p' "$desktop")
  [ -x "$root/usr/bin/${exec_line%% *}" ] || fail "the desktop entry runs '$exec_line', which is not in usr/bin"
else
  fail "no usr/share/applications/$app_id.desktop"
fi
[ -f "$root/usr/share/metainfo/$app_id.metainfo.xml" ] || fail "no usr/share/metainfo/$app_id.metainfo.xml"
grep -q "<release version=\"$version\"" "$root/usr/share/metainfo/$app_id.metainfo.xml" ||
  fail "the metainfo names no release $version"
for size in 16 24 32 48 64 128 256; do
  icon=$root/usr/share/icons/hicolor/${size}x$size/apps/$app_id.png
  [ -f "$icon" ] || { fail "no hicolor ${size}x$size icon"; continue; }
  [ "$(file -b "$icon" | grep -o '[0-9]* x [0-9]*')" = "$size x $size" ] ||
    fail "the hicolor ${size}x$size icon is $(file -b "$icon")"
done
[ -f "$root/usr/share/icons/hicolor/scalable/apps/$app_id.svg" ] || fail "no scalable icon"
unexpected=$(cd "$root" && find . -type f | grep -Ev "^\./usr/(bin/lanthorn-qt|share/(applications|metainfo|icons/hicolor)/)" || true)
[ -z "$unexpected" ] || fail "files the package should not hold: $unexpected"
appstreamcli validate-tree --no-net "$root" >"$work/validate.log" 2>&1 ||
  { cat "$work/validate.log" >&2; fail "appstreamcli validate-tree finds problems in the installed tree"; }

# ---- the installed reader, started in a fresh folder
# A home of its own, so that nothing the reader keeps there (settings, or
# a save file in the desktop's data folder) touches the real one.
mkdir -p "$work/play" "$work/headless" "$work/home" "$(dirname "$screenshot")"
status=0
(cd "$work/play" && env HOME="$work/home" XDG_DATA_HOME="$work/home/.local/share" \
  XDG_CONFIG_HOME="$work/home/.config" XDG_CACHE_HOME="$work/home/.cache" \
  QT_QPA_PLATFORM=offscreen QT_PLUGIN_PATH="$probe" \
  QT_QPA_GENERIC_PLUGINS=lanthornprobe LANTHORN_PROBE_SCREENSHOT="$screenshot" \
  timeout -s KILL 60 "$program" >"$work/run.log" 2>&1) || status=$?
grep '^probe:' "$work/run.log" || true
[ $status = 0 ] || { cat "$work/run.log" >&2; fail "the installed reader ended with exit code $status"; }
grep -q '^probe: window "Lanthorn Fell"$' "$work/run.log" || fail "the window is not titled Lanthorn Fell"
# Its names: the dialogs' title, and the desktop entry the dock matches it to.
grep -qx "probe: application \"Lanthorn Fell\" of \"Tallowlight Studio\", desktop entry $app_id" \
  "$work/run.log" || fail "the application's names are not Lanthorn Fell, Tallowlight Studio and $app_id"

# What the core shows after the same moves.
moves='start\ntimer\ntimer\ncommand 511\n'
expected_choices=$(cd "$work/headless" && printf "${moves}dump shownPage buttons\nclose\n" | "$trace" |
  python3 -c 'import json, sys
d = json.loads(sys.stdin.readline())
assert d["shownPage"] == 2, d
print(sum(1 for b in d["buttons"] if 5000 <= b["id"] < 6000))')
grep -q "^probe: story page with $expected_choices choices$" "$work/run.log" ||
  fail "the installed reader did not show page 2's $expected_choices choices"
# The save file, in the desktop's data folder under the home, and nothing
# left in the folder the reader was started in.
save=TBV2lanthornfell.dat
data_folder="$work/home/.local/share/Tallowlight Studio/Lanthorn Fell"
mapfile -t saves < <(find "$work/play" "$work/home" -name "$save")
if [ ${#saves[@]} = 1 ] && [ "${saves[0]}" = "$data_folder/$save" ]; then
  echo "save file: ${saves[0]#"$work/"}"
  cmp -s "${saves[0]}" "$work/headless/$save" ||
    fail "the save file ($(stat -c %s "${saves[0]}") bytes) differs from the headless reader's after the same moves"
else
  fail "the installed reader wrote ${#saves[@]} save files (${saves[*]}), expected one in $data_folder"
fi

[ $failures = 0 ] || { echo "$failures failures" >&2; exit 1; }
echo "the package installs, and its reader reaches page 2 and saves its place"
