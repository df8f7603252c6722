#!/bin/sh
# Checks the repository's shell scripts with shellcheck and its JavaScript with ESLint (the rules
# of eslint.config.js), prints what is wrong, and fails on any finding. The files are the ones
# git tracks, so a new script is checked without naming it here: the shell scripts are the *.sh
# files and those whose first line runs sh, bash, dash or ksh; the JavaScript is every *.js.
# Exits 0 when all is clean, 1 on a finding, 2 when a checker is missing
# (sh scripts/deps.sh test installs both). Run from anywhere.
set -e
cd "$(dirname "$0")/.."
eslint=build-web/npm/node_modules/.bin/eslint
command -v shellcheck >/dev/null || { echo "lint: shellcheck is missing (sh scripts/deps.sh test installs it)"; exit 2; }
[ -x "$eslint" ] || { echo "lint: ESLint is missing from build-web/npm (sh scripts/deps.sh test installs it)"; exit 2; }

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
# One file name a line, from one reading of git's list; a tracked file deleted in the work tree
# has nothing to check.
git -c core.quotePath=false ls-files | while IFS= read -r f; do
	[ -f "$f" ] || continue
	case "$f" in
	*.sh) echo "$f" >>"$tmp/shell" ;;
	*.js) echo "$f" >>"$tmp/js" ;;
	*)
		if head -n 1 "$f" | grep -Eqs '^#! *[^ ]*/(env +)?(ba|da|k)?sh( |$)'; then
			echo "$f" >>"$tmp/shell"
		fi
		;;
	esac
done
touch "$tmp/shell" "$tmp/js"

# Runs the command after the list over every file of the list, if there is any.
each() {
	list=$1
	shift
	tr '\n' '\0' <"$list" | xargs -0 -r "$@"
}

found=""
echo "shellcheck: $(wc -l <"$tmp/shell") shell scripts"
each "$tmp/shell" shellcheck || found="$found shellcheck"
echo "ESLint: $(wc -l <"$tmp/js") JavaScript files"
each "$tmp/js" "$eslint" --max-warnings 0 || found="$found ESLint"
if [ -n "$found" ]; then
	echo "lint: findings from$found (above)"
	exit 1
fi
echo "lint: no findings"
