#!/bin/sh
# The Debian package from end to end: the desktop entry, AppStream metadata and manual pages
# validate; dpkg-buildpackage builds the package from a copy of the tree (in build-deb/, so
# that nothing is written beside the repository); lintian finds no error or warning; the
# package installs with both licences in its copyright file; the checker and the playtest run
# from another folder on the installed data; the launcher starts the game from another folder
# under Xvfb, Escape ends it with status 0 and vorska-replay plays its run back; removing the
# package leaves none of its files behind.
# Needs root (or sudo) to install and remove. Usage: tests/package_test.sh
set -e
cd "$(dirname "$0")/.."
root=$PWD
out=$root/build-deb
if [ "$(id -u)" = 0 ]; then SUDO=""; else SUDO="sudo"; fi
apt="$SUDO env DEBIAN_FRONTEND=noninteractive apt-get -y -qq -o DPkg::Lock::Timeout=600"
fail() { echo "FAIL: $*"; exit 1; }

desktop-file-validate dist/vorska.desktop
appstreamcli validate --no-net dist/*.metainfo.xml
for page in man/*.[1-8]; do
	warn=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
	[ -z "$warn" ] || fail "$page: $warn"
done

rm -rf "$out"
mkdir -p "$out/src"
tar --exclude='./build*' --exclude=./.git -cf - . | tar -C "$out/src" -xf -
(cd "$out/src" && DEB_BUILD_OPTIONS=nocheck dpkg-buildpackage -us -uc -b -Pnocheck -jauto >"$out/build.log" 2>&1) ||
	{ tail -30 "$out/build.log"; fail "dpkg-buildpackage"; }
deb=$(ls "$out"/vorska_*_"$(dpkg --print-architecture)".deb)
echo "built $deb"
lintian --fail-on error,warning "$out"/vorska_*.changes
echo "lintian: no errors or warnings"

$apt install "$deb" >"$out/apt.log" 2>&1 || { cat "$out/apt.log"; fail "apt-get install"; }
echo "installed $(dpkg-query -W vorska)"
for f in /usr/games/vorska /usr/games/vorska-check /usr/games/vorska-playtest /usr/games/vorska-replay \
	/usr/share/applications/vorska.desktop \
	/usr/share/metainfo/*vorska*.metainfo.xml /usr/share/icons/hicolor/32x32/apps/vorska.png /usr/share/icons/hicolor/256x256/apps/vorska.png; do
	[ -f "$f" ] || fail "$f not installed"
done
for page in vorska vorska-check vorska-playtest vorska-replay; do man -w "$page" >/dev/null || fail "man $page finds no page"; done
# both licences, each with its text: ours for everything, Bitstream Vera's for the font
for want in '^Files: \*' '^License: Expat' 'copies or substantial portions of the Software' \
	'^Files: font_sm/\*' '^License: Bitstream-Vera' 'renamed to names not containing'; do
	grep -q "$want" /usr/share/doc/vorska/copyright || fail "/usr/share/doc/vorska/copyright lacks $want"
done
# the designer's programs find the installed data from any folder (vorska-replay below, with the
# window test's run)
mkdir -p "$out/elsewhere"
(cd "$out/elsewhere" && /usr/games/vorska-check >/dev/null) || fail "vorska-check on the installed data"
(cd "$out/elsewhere" && /usr/games/vorska-playtest --runs 1 --cycles 300 --tsv >"$out/playtest.tsv") ||
	fail "vorska-playtest on the installed data"
[ "$(cut -f1 "$out/playtest.tsv" | tr '\n' ' ')" = "still novice skilled " ] ||
	fail "vorska-playtest: $(cat "$out/playtest.tsv")"
dpkg -L vorska | while read -r f; do if [ ! -d "$f" ]; then echo "$f"; fi; done >"$out/installed"
status=0
(cd "$out/elsewhere" && sh "$root/tests/window_test.sh" /usr/games/vorska /usr/games/vorska-replay) || status=$?
$apt remove vorska >>"$out/apt.log" 2>&1 || { cat "$out/apt.log"; fail "apt-get remove"; }
[ "$status" = 0 ] || fail "the installed game under Xvfb"
left=$(while read -r f; do if [ -e "$f" ]; then echo "$f"; fi; done <"$out/installed")
[ -z "$left" ] || fail "left behind after removal: $left"
for d in /usr/lib/games/vorska /usr/share/games/vorska /usr/share/doc/vorska; do
	[ ! -e "$d" ] || fail "$d left behind after removal"
done
if dpkg-query -W vorska >/dev/null 2>&1; then fail "dpkg still lists vorska after removal"; fi
echo "package test passed"
