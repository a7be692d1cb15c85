#!/usr/bin/env bash
# The installed layout, run from a private prefix: the program in libexec with its data
# files, found through the link in bin, and the menu entry with its icon; a reinstall
# keeps data files people edited; the manifest names everything installed, the link too;
# asked for, a link in a folder of screen saver programs and a MATE theme entry.
#   install.sh BUILD_DIR
set -uo pipefail
build=$1
work=$(mktemp -d)
manifest="$build/install_manifest.txt"
# Every install writes the build's manifest: the one of a real install of the person
# running the tests is put back afterwards, or none left behind.
[ -f "$manifest" ] && cp -p "$manifest" "$work/manifest.saved"
restore() {
  if [ -f "$work/manifest.saved" ]; then cp -p "$work/manifest.saved" "$manifest"; else rm -f "$manifest"; fi
  rm -rf "$work"
}
trap restore EXIT
prefix="$work/prefix"
fail() { echo "FAIL: $*"; exit 1; }

cmake --install "$build" --prefix "$prefix" >"$work/log" 2>&1 || { cat "$work/log"; fail "install failed"; }
dir="$prefix/libexec/quillmark"
for f in quillmark tabela.ini kzt.ini; do [ -f "$dir/$f" ] || fail "no $f in libexec/quillmark"; done
[ -f "$prefix/share/xscreensaver/config/quillmark.xml" ] || fail "no XScreenSaver description"
[ -f "$prefix/share/applications/quillmark-settings.desktop" ] || fail "no desktop entry"
problems=$(desktop-file-validate "$prefix/share/applications/quillmark-settings.desktop" 2>&1) ||
  fail "the desktop entry: $problems"
# The theme entry only comes with a folder to link the program into.
[ -e "$prefix/share/applications/screensavers" ] && fail "a theme entry without a hack folder"
[ "$(readlink "$prefix/bin/quillmark")" = "../libexec/quillmark/quillmark" ] || fail "bin/quillmark is no link to the program"

# Through the link the program finds the table beside its real self: a page of it has
# the first match of the shipped table on it, which an empty table would not draw.
export QUILLMARK_REGISTRY="$work/registry.reg" QUILLMARK_DRIVE_C="$work/drive_c"
"$prefix/bin/quillmark" --render 5 --size 640x480 --steps 1 --out "$work/with" >/dev/null || fail "render through the link failed"
printf '[A]\n' >"$dir/tabela.ini"
"$prefix/bin/quillmark" --render 5 --size 640x480 --steps 1 --out "$work/without" >/dev/null || fail "render failed"
[ -s "$work/with/step-0001.png" ] && [ -s "$work/without/step-0001.png" ] || fail "a render wrote no frame"
cmp -s "$work/with/step-0001.png" "$work/without/step-0001.png" && fail "the installed tabela.ini made no difference"

# A reinstall keeps both edited files.
printf '[1]\nLIGADO=1\n' >"$dir/kzt.ini"
cmake --install "$build" --prefix "$prefix" >"$work/log" 2>&1 || fail "reinstall failed"
[ "$(cat "$dir/kzt.ini")" = "$(printf '[1]\nLIGADO=1')" ] || fail "the reinstall replaced an edited kzt.ini"
[ "$(cat "$dir/tabela.ini")" = "[A]" ] || fail "the reinstall replaced an edited tabela.ini"

for f in libexec/quillmark/quillmark libexec/quillmark/tabela.ini libexec/quillmark/kzt.ini bin/quillmark \
         share/xscreensaver/config/quillmark.xml share/applications/quillmark-settings.desktop \
         share/icons/hicolor/32x32/apps/quillmark.png share/man/man1/quillmark.1; do
  grep -qx "$prefix/$f" "$manifest" || fail "the manifest lacks $f"
done

# The menu entry names the icon installed beside it: the red ring, 32 pixels, clear
# round it and in its hole, opaque on the ring (at its left edge, halfway down).
icon="$prefix/share/icons/hicolor/32x32/apps/quillmark.png"
grep -qx "Icon=quillmark" "$prefix/share/applications/quillmark-settings.desktop" ||
  fail "the desktop entry does not name the installed icon"
[ "$(identify -format '%wx%h' "$icon")" = "32x32" ] || fail "the icon is not 32x32"
alpha() { convert "$icon" -format "%[fx:int(255*p{$1,$2}.a)]" info:; }
[ "$(alpha 0 0)" = 0 ] && [ "$(alpha 16 16)" = 0 ] || fail "the icon is not clear round the ring"
[ "$(alpha 3 16)" = 255 ] || fail "the icon's ring is not opaque"

# The manual page formats without a warning and names every switch and option the
# program's own --help lists, so neither can be changed without the other.
page="$prefix/share/man/man1/quillmark.1"
warnings=$(groff -man -ww -z "$page" 2>&1) && [ -z "$warnings" ] || fail "the manual page: $warnings"
text=$(groff -man -Tascii -rLL=1000n -rHY=0 -P-cbou "$page" 2>/dev/null)
listed=$("$prefix/bin/quillmark" --help | grep -oE '(^|[ [])(/[a-z]|--[a-z-]+|\$[A-Z_]+)' | tr -d ' [$' | sort -u)
[ "$(printf '%s\n' "$listed" | grep -c .)" -ge 12 ] || fail "--help listed too little to compare: $listed"
for option in $listed; do
  grep -qF -- "$option" <<<"$text" || fail "the manual page does not mention $option"
done

# Under DESTDIR, as a package is built, the manifest names every file where it will
# be, without DESTDIR, on a first install and on one over it.
for round in first second; do
  DESTDIR="$work/staged" cmake --install "$build" --prefix /usr >"$work/log" 2>&1 ||
    fail "$round staged install failed"
  grep -q "$work/staged" "$manifest" && fail "the $round staged manifest names DESTDIR: $(cat "$manifest")"
  grep -qx "/usr/bin/quillmark" "$manifest" && grep -qx "/usr/libexec/quillmark/kzt.ini" "$manifest" ||
    fail "the $round staged manifest lacks the link or a data file"
done
# With a folder of screen saver programs given to the install script: the program linked
# there, and a theme entry whose command runs that link as a hack reading the window from
# $XSCREENSAVER_WINDOW, as the MATE screen saver runs it (with its own short
# environment: no PATH of ours). A window id it cannot use is refused before any display
# is opened.
hacks="$work/hacks"
cmake -DCMAKE_INSTALL_PREFIX="$work/with-hack" -DQM_HACK_DIR="$hacks" -P "$build/cmake_install.cmake" \
  >"$work/log" 2>&1 || { cat "$work/log"; fail "install with a hack folder failed"; }
[ "$(readlink -f "$hacks/quillmark")" = "$(readlink -f "$work/with-hack/libexec/quillmark/quillmark")" ] ||
  fail "the hack folder has no link to the program"
theme="$work/with-hack/share/applications/screensavers/quillmark.desktop"
problems=$(desktop-file-validate "$theme" 2>&1) || fail "the theme entry: $problems"
command=$(sed -n 's/^Exec=//p' "$theme")
said=$(cd "$work" && env -i XSCREENSAVER_WINDOW=nowindow QUILLMARK_REGISTRY="$work/registry.reg" \
  QUILLMARK_DRIVE_C="$work/drive_c" sh -c "$command" 2>&1)
grep -qF '"nowindow" is not a window id' <<<"$said" ||
  fail "the theme's command ($command) does not run the linked program as a hack: $said"
for f in "$hacks/quillmark" "$theme"; do
  grep -qx "$f" "$manifest" || fail "the manifest lacks $f"
done
cmake -DCMAKE_INSTALL_PREFIX="$work/bad" -DQM_HACK_DIR=relative/folder -P "$build/cmake_install.cmake" \
  >"$work/log" 2>&1 && fail "a relative hack folder was taken"
grep -q "QM_HACK_DIR must be an absolute path" "$work/log" || fail "no word on the relative hack folder"
# The command line of the theme entry would split a folder name with a blank in it.
cmake -DCMAKE_INSTALL_PREFIX="$work/bad" -DQM_HACK_DIR="$work/hack folder" -P "$build/cmake_install.cmake" \
  >"$work/log" 2>&1 && fail "a hack folder with a blank was taken"
grep -q "QM_HACK_DIR may hold only" "$work/log" || fail "no word on the hack folder's blank"

echo "install layout ok"
