#!/usr/bin/env bash
# check_desktop_install.sh BUILD_DIR: installs the build into a temporary prefix whose path
# holds a space and a dollar sign (the entry's Exec must quote and escape them) and checks
# that the desktop entry is valid, starts the installed program, and finds its icon.
set -euo pipefail
build=$1
if ! command -v desktop-file-validate >/dev/null 2>&1; then
  echo "desktop-file-validate is not installed: skipped"
  exit 77
fi
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
prefix="$root/明心 Reader \$1"
fail() { echo "FAIL: $*"; exit 1; }

cmake --install "$build" --prefix "$prefix" >"$root/install.log" || {
  cat "$root/install.log"; fail "cmake --install"; }

entry="$prefix/share/applications/mxreader.desktop"
[ -f "$entry" ] || fail "no desktop entry at $entry"
report=$(desktop-file-validate "$entry" 2>&1) || fail "desktop-file-validate: $report"
[ -z "$report" ] || fail "desktop-file-validate has remarks: $report"

# Exec: one quoted argument; undo the string escaping, then the quoting.
exec_line=$(sed -n 's/^Exec=//p' "$entry")
case $exec_line in
  \"*\") ;;
  *) fail "Exec is not one quoted argument: $exec_line" ;;
esac
inner=${exec_line:1:${#exec_line}-2}
unescaped=$(printf '%s' "$inner" | sed -e 's/\\\\/\\/g' -e 's/\\\([\\"`$]\)/\1/g' -e 's/%%/%/g')
[ "$unescaped" = "$prefix/mxreader" ] || fail "Exec names '$unescaped', not '$prefix/mxreader'"
[ -x "$unescaped" ] || fail "Exec names no executable program"
tryexec=$(sed -n 's/^TryExec=//p' "$entry")
[ "$tryexec" = "$prefix/mxreader" ] || fail "TryExec names '$tryexec'"
grep -qx 'Icon=mxreader' "$entry" || fail "Icon is not the themed name mxreader"
grep -qx 'Name\[zh_CN\]=明心轩阅读器' "$entry" || fail "no Chinese name"

# The icon in every hicolor size, each a PNG of its stated size.
for size in 16 22 24 32 48 64 128 256; do
  icon="$prefix/share/icons/hicolor/${size}x${size}/apps/mxreader.png"
  [ -f "$icon" ] || fail "no icon $icon"
  signature=$(od -An -tx1 -N8 "$icon" | tr -d ' \n')
  [ "$signature" = 89504e470d0a1a0a ] || fail "$icon is no PNG"
  width=$(od -An -tu1 -j16 -N4 "$icon" | awk '{print $1*16777216+$2*65536+$3*256+$4}')
  height=$(od -An -tu1 -j20 -N4 "$icon" | awk '{print $1*16777216+$2*65536+$3*256+$4}')
  [ "$width" = "$size" ] && [ "$height" = "$size" ] || fail "$icon is ${width}x${height}"
done

# The application folder beside the program: themes and the help page.
[ -f "$prefix/themes/xpsilver.sui" ] || fail "no default theme"
[ -f "$prefix/help/index.html" ] || fail "no help page"
echo "desktop entry, program and icons installed and valid"
