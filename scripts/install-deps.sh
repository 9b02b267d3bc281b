#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the missing Debian packages of the named lists of scripts/packages.txt
# (run, build, dev), after checking that it can: root or a working sudo, and
# free disk space for the packages and for the build. Says in Russian what is
# missing and stops before installing anything.
#   scripts/install-deps.sh run build        what ./run needs
#   scripts/install-deps.sh run build dev    what ./test needs
#   scripts/install-deps.sh --list run       only print the packages of the lists
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
repo="$(dirname "$here")"
packages="${HEATX_PACKAGES_FILE:-$here/packages.txt}"
list_only=0
if [ "${1:-}" = --list ]; then list_only=1; shift; fi
(($#)) || set -- run build dev

# Space in MiB: the packages unpacked plus their downloaded archives on the
# system's disk (measured on a fresh Debian 12 minbase root: 813 + 222 MB for
# run and build, 493 + 99 MB more for dev), and the build folders in the
# repository (release 6 MB; the sanitizer build 260 MB).
need_sys_mb=1200
need_build_mb=100
for list in "$@"; do
  case "$list" in
    run | build) ;;
    dev) need_sys_mb=1900 need_build_mb=400 ;;
    *) echo "install-deps.sh: неизвестный список «$list» (есть run, build, dev)" >&2; exit 2 ;;
  esac
done

# The packages of the named lists: a line "[name]" starts a list.
wanted=()
while IFS= read -r pkg; do wanted+=("$pkg"); done < <(
  awk -v want=" $* " '
    /^[[:space:]]*(#|$)/ { next }
    /^\[[a-z]+\]/ { gsub(/[][[:space:]]/, ""); section = $0; next }
    index(want, " " section " ") { print $1 }' "$packages")
if ((list_only)); then
  printf '%s\n' "${wanted[@]}"
  exit 0
fi

missing=()
for pkg in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
done

# The tests of the reports need the Russian locale (decimal comma, Russian dates).
need_locale=0
if [[ " $* " == *" dev "* ]] && ! locale -a 2>/dev/null | grep -qi '^ru_RU\.utf-\?8$'; then
  need_locale=1
fi

((${#missing[@]} || need_locale)) || exit 0

problems=()
if ((${#missing[@]})); then
  echo "Не хватает пакетов Debian (${#missing[@]}): ${missing[*]}"
  command -v apt-get >/dev/null || problems+=("нет apt-get: эта система не Debian; поставьте пакеты из scripts/packages.txt её средствами.")

  # Free space, in MiB, on the file system that holds a folder.
  free_mb() { df -Pm "$1" 2>/dev/null | awk 'NR == 2 { print $4 }'; }
  mount_of() { df -P "$1" 2>/dev/null | awk 'NR == 2 { print $6 }'; }
  sys_free=$(free_mb /var/cache/apt || free_mb /)
  build_free=$(free_mb "$repo")
  if [ "$(mount_of /var/cache/apt)" = "$(mount_of "$repo")" ]; then
    if ((sys_free < need_sys_mb + need_build_mb)); then
      problems+=("мало места на диске: свободно ${sys_free} МБ, нужно около $((need_sys_mb + need_build_mb)) МБ (пакеты — ${need_sys_mb} МБ, сборка — ${need_build_mb} МБ).")
    fi
  else
    ((sys_free >= need_sys_mb)) ||
      problems+=("мало места для пакетов: в /var/cache/apt и /usr свободно ${sys_free} МБ, нужно около ${need_sys_mb} МБ.")
    ((build_free >= need_build_mb)) ||
      problems+=("мало места для сборки: в ${repo} свободно ${build_free} МБ, нужно около ${need_build_mb} МБ.")
  fi
fi

# Root, or a sudo that works: without a password, or with one typed at a terminal.
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null && { sudo -n true 2>/dev/null || { [ -t 0 ] && sudo -v; }; }; then
    sudo_cmd=(sudo)
  else
    cmd="$(printf '%q ' "$here/install-deps.sh" "$@")"
    cmd="${cmd% }"
    quote="'\\''"
    cmd="${cmd//\'/$quote}"
    problems+=("ставить пакеты может только root, а sudo здесь нет или он вам не разрешён.
  Выполните (su спросит пароль root):
    su -c '$cmd'
  и затем снова ${HEATX_CALLER:-$0}.")
  fi
fi

if ((${#problems[@]})); then
  echo "Установить пакеты нельзя:" >&2
  for p in "${problems[@]}"; do echo "- $p" >&2; done
  exit 1
fi

if ((${#missing[@]})); then
  echo "Ставятся пакеты Debian; это займёт несколько минут."
  "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update
  "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
fi

if ((need_locale)); then
  echo "Создаётся русская локаль ru_RU.UTF-8 для тестов отчётов."
  "${sudo_cmd[@]}" sed -i 's/^# *ru_RU.UTF-8 UTF-8/ru_RU.UTF-8 UTF-8/' /etc/locale.gen
  "${sudo_cmd[@]}" grep -q '^ru_RU.UTF-8 UTF-8' /etc/locale.gen ||
    echo 'ru_RU.UTF-8 UTF-8' | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
  "${sudo_cmd[@]}" locale-gen
fi
