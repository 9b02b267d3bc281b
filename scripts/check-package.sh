#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the release .deb and checks it as a Debian archive would: lintian
# (no errors, no warnings), the menu entry (desktop-file-validate, not even a
# hint), the AppStream file (appstreamcli validate), the manual pages (listed
# by man -k) and the icons (each the size its folder says). A check whose tool
# is missing is skipped and says so; ./test installs them all.
set -euo pipefail
cd "$(dirname "$0")/.."

echo "Сборка пакета .deb (сборка release, на 2 ядрах около 3 минут в первый раз)."
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)"
rm -f build/release/heatx_*.deb
(cd build/release && cpack >/dev/null)
debs=(build/release/heatx_*_amd64.deb)
deb=${debs[0]}
[ -f "$deb" ] || { echo "ОШИБКА: cpack не сделал пакет" >&2; exit 1; }
echo "Пакет: $deb"

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
dpkg-deb -x "$deb" "$tmp/root"
share="$tmp/root/usr/share"

failed=0
ok() { echo "проверено: $1"; }
bad() { echo "ОШИБКА: $1" >&2; failed=1; }
have() { command -v "$1" >/dev/null || { echo "ПРОПУЩЕНО: $2 — нет программы $1 (пакет $3)"; return 1; }; }

for f in usr/bin/heatx usr/bin/heatx-batch usr/share/doc/heatx/copyright \
         usr/share/doc/heatx/changelog.Debian.gz usr/share/applications/heatx.desktop \
         usr/share/man/man1/heatx.1.gz usr/share/man/ru/man1/heatx-batch.1.gz; do
  [ -f "$tmp/root/$f" ] || bad "в пакете нет /$f"
done

if have lintian "lintian" lintian; then
  if lintian --fail-on error,warning --display-info "$deb"; then ok "lintian: ни ошибок, ни предупреждений"
  else bad "lintian нашёл ошибки или предупреждения"; fi
fi

if have desktop-file-validate "пункт меню" desktop-file-utils; then
  desktop="$share/applications/heatx.desktop"
  if out=$(desktop-file-validate "$desktop" 2>&1) && [ -z "$out" ]; then ok "пункт меню (desktop-file-validate)"
  else printf '%s\n' "$out"; bad "desktop-file-validate: $desktop"; fi
  grep -qx 'Name=Расчёт испарителя (демонстрация)' "$desktop" &&
    grep -qx 'Exec=env HEATX_EVAPORATOR=1 heatx' "$desktop" ||
    bad "в пункте меню нет действия «Расчёт испарителя (демонстрация)»"
fi

if have appstreamcli "описание AppStream" appstream; then
  if appstreamcli validate --no-net --pedantic "$share"/metainfo/*.metainfo.xml; then ok "описание AppStream"
  else bad "appstreamcli validate"; fi
fi

if have lexgrog "страницы руководства" man-db; then
  for page in "$share"/man/man1/*.1.gz "$share"/man/ru/man1/*.1.gz; do
    # man -k finds a page by the line of its NAME section, which lexgrog reads.
    if lexgrog "$page" >/dev/null; then ok "страница руководства ${page#"$share"/}"
    else bad "man -k не найдёт ${page#"$share"/}"; fi
  done
fi

if have file "значки" file; then
  for size in 16 32 48 64 128 256; do
    icon="$share/icons/hicolor/${size}x${size}/apps/heatx.png"
    file -b "$icon" 2>/dev/null | grep -q "PNG image data, $size x $size," || bad "значок $size px: $(file -b "$icon" 2>&1)"
  done
  ((failed)) || ok "значки 16–256 px"
fi

# heatx-batch check of the package on PDF bombs, under ulimit -v.
scripts/check-pdf-bombs.sh "$tmp/root" || bad "heatx-batch check на бомбах PDF"
[ -x "$tmp/root/usr/lib/x86_64-linux-gnu/heatx/heatx-batch-pdftext" ] || bad "в пакете нет программы чтения PDF"

if ((failed)); then echo "Пакет не прошёл проверку." >&2; exit 1; fi
echo "Пакет прошёл проверку."
