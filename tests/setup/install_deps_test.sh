#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The package lists and the prerequisite check of scripts/install-deps.sh:
# ./run gets what running and building need and nothing of the test tools, a
# package belongs to one list only, and a user who cannot install is stopped
# at once with the su -c line instead of reaching apt.
set -uo pipefail
script="$1/scripts/install-deps.sh"
packages="$1/scripts/packages.txt"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
has() { grep -qx -- "$2" <<<"$1"; }

run_build=$("$script" --list run build)
run=$("$script" --list run)
dev=$("$script" --list dev)
all=$("$script" --list run build dev)

for pkg in qt6-qpa-plugins qt6-translations-l10n fonts-liberation cmake qt6-base-dev librsvg2-bin help2man \
           libpoppler-cpp0v5 libpoppler-cpp-dev; do
  has "$run_build" "$pkg" || fail "./run does not install $pkg"
done
for pkg in libgtest-dev clang hyperfine xvfb openbox xdotool imagemagick lintian; do
  has "$run_build" "$pkg" && fail "./run installs the development package $pkg"
  has "$dev" "$pkg" || fail "$pkg is not in the dev list"
done
has "$run" cmake && fail "the run list holds the compiler tools"

# Every package line of the file is in exactly one list.
in_file=$(grep -v -E '^[[:space:]]*(#|$|\[)' "$packages" | awk '{ print $1 }' | sort)
[ "$in_file" = "$(sort <<<"$all")" ] || fail "the three lists do not cover the file: $(diff <(echo "$in_file") <(sort <<<"$all") | tr '\n' ' ')"
dups=$(sort <<<"$all" | uniq -d)
[ -z "$dups" ] || fail "in more than one list: $dups"

"$script" --list nosuchlist >/dev/null 2>&1
[ $? -eq 2 ] || fail "an unknown list is not a usage error"

# A user without root and without a usable sudo: stopped before apt, told the
# exact command. Run as nobody when we are root (as in CI), on a copy of the
# script that nobody can read wherever the repository lies.
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir "$tmp/scripts"
cp "$script" "$tmp/scripts/"
script="$tmp/scripts/install-deps.sh"
printf '[run]\nheatx-test-no-such-package\n' > "$tmp/packages.txt"
printf '[run]\nbash\n' > "$tmp/present.txt"
chmod -R a+rX "$tmp"
if [ "$(id -u)" -eq 0 ]; then
  as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups --)
elif command -v sudo >/dev/null && sudo -n true 2>/dev/null; then
  echo "SKIPPED: this user has sudo without a password; the stop for users without it cannot be seen"
  exit 77
else
  as_user=()
fi
out=$(HEATX_PACKAGES_FILE="$tmp/packages.txt" HEATX_CALLER=./run "${as_user[@]}" "$script" run </dev/null 2>&1)
status=$?
[ $status -eq 1 ] || fail "a user who cannot install: exit $status, not 1"
grep -q "heatx-test-no-such-package" <<<"$out" || fail "the missing package is not named: $out"
grep -qF "su -c '$script run'" <<<"$out" || fail "no su -c line: $out"
grep -q "затем снова ./run" <<<"$out" || fail "does not say to run ./run again: $out"
grep -q -E '^(Get|Hit|Reading)' <<<"$out" && fail "apt was started: $out"

# A nearly full disk is named before anything is installed.
mkdir "$tmp/bin"
printf '#!/bin/sh\necho "Filesystem 1M-blocks Used Available Capacity Mounted on"\necho "/dev/x 100 90 10 90%% /"\n' > "$tmp/bin/df"
chmod 755 "$tmp/bin/df"
out=$(PATH="$tmp/bin:$PATH" HEATX_PACKAGES_FILE="$tmp/packages.txt" "${as_user[@]}" "$script" run </dev/null 2>&1)
status=$?
[ $status -eq 1 ] || fail "a full disk: exit $status, not 1"
grep -q "мало места на диске: свободно 10 МБ" <<<"$out" || fail "a full disk is not named: $out"

# Nothing missing: no root needed, nothing asked.
out=$(HEATX_PACKAGES_FILE="$tmp/present.txt" "${as_user[@]}" "$script" run </dev/null 2>&1)
status=$?
[ $status -eq 0 ] && [ -z "$out" ] || fail "with every package present: exit $status, output: $out"

((failures == 0)) || exit 1
echo "install-deps.sh: lists and prerequisite check pass"
