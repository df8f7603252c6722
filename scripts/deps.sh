#!/bin/sh
# Installs the Debian packages the game (and, with "test", the test suite; with "playtest",
# the playtest tool and its plot; with "web", the browser build) needs, if missing.
set -e
pkgs="libsdl1.2-dev libsdl-image1.2-dev libsdl-mixer1.2-dev libpng-dev cmake g++ make pkg-config"
if [ "$1" = "test" ]; then
	pkgs="$pkgs libgtest-dev libbenchmark-dev clang clang-format clang-tidy libclang-rt-dev xvfb xauth xdotool x11-apps imagemagick valgrind"
	# the Debian package and its checks, and SDL 2 under the sdl12-compat run
	pkgs="$pkgs build-essential dpkg-dev debhelper lintian desktop-file-utils appstream man-db libsdl2-2.0-0"
	# the art tools' checks redraw the committed pictures and the font
	pkgs="$pkgs libfreetype-dev fonts-dejavu-core"
	# scripts/lint.sh checks the shell scripts (and the JavaScript, with ESLint: see below)
	pkgs="$pkgs shellcheck"
	# the window test and bench/play_cpu.sh --fullscreen: a small window manager that grants
	# full screen, as a player's desktop does, and xprop to see that it runs
	pkgs="$pkgs evilwm x11-utils"
fi
if [ "$1" = "test" ] || [ "$1" = "web" ]; then
	pkgs="$pkgs emscripten"
fi
if [ "$1" = "test" ]; then
	# the browser test: a real browser, driven by puppeteer-core (see below)
	pkgs="$pkgs chromium"
	command -v npm >/dev/null || pkgs="$pkgs npm"
fi
if [ "$1" = "playtest" ]; then
	pkgs="$pkgs gnuplot-nox"
fi
missing=""
for p in $pkgs; do
	dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
	echo "Installing:$missing"
	if [ "$(id -u)" = 0 ]; then SUDO=""; else SUDO="sudo"; fi
	# another install may hold the package lock for a while: wait for it rather than fail
	$SUDO apt-get -o DPkg::Lock::Timeout=600 update -qq
	# shellcheck disable=SC2086 # $missing is a list of package names, split into words on purpose
	DEBIAN_FRONTEND=noninteractive $SUDO apt-get -o DPkg::Lock::Timeout=600 install -y -qq $missing
fi
# The browser test drives Chromium with puppeteer-core, and scripts/lint.sh checks the JavaScript
# with ESLint (its recommended rules, and the globals of the browser and of node), none of which
# Debian packages at these versions: they come from the npm registry into a folder of the project
# that git ignores (node 18.18 or later). All in one install, when one is missing or at another
# version: an install of some alone would remove the others, which it does not save.
if [ "$1" = "test" ]; then
	npmdir="$(dirname "$0")/../build-web/npm"
	npmpkgs="puppeteer-core@24.6.0 eslint@9.39.5 @eslint/js@9.39.5 globals@17.15.0"
	for p in $npmpkgs; do
		if ! grep -qs "\"version\": \"${p##*@}\"" "$npmdir/node_modules/${p%@*}/package.json"; then
			# shellcheck disable=SC2086 # $npmpkgs is a list of packages, split into words on purpose
			npm install --prefix "$npmdir" --no-save --no-audit --no-fund --loglevel=error $npmpkgs
			break
		fi
	done
fi
