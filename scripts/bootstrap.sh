#!/usr/bin/env bash
# Installs what building and running the launcher needs on a Debian machine, and nothing
# when everything is already there. Never touches ~/.wine: every run uses the project's prefix.
set -euo pipefail

# wine64 and the x86_64 compiler serve machines that run no 32-bit code (scripts/target-arch).
packages=(wine wine32:i386 wine64 g++-mingw-w64-i686 g++-mingw-w64-x86-64 cmake ninja-build xvfb xauth x11-utils
          fonts-noto-cjk fonts-wine locales doctest-dev imagemagick python3 make
          fp-utils)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
need_i386=0
dpkg --print-foreign-architectures | grep -qx i386 || need_i386=1
need_locale=0
locale -a 2>/dev/null | grep -qiE '^ja_JP\.utf-?8$' || need_locale=1

if [ ${#missing[@]} -eq 0 ] && [ $need_i386 -eq 0 ] && [ $need_locale -eq 0 ]; then
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "bootstrap: root or sudo is needed to install: ${missing[*]}" >&2; exit 1; }
  sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
echo "bootstrap: installing ${missing[*]:-} (i386: $need_i386, locale: $need_locale)"
if [ $need_i386 -eq 1 ]; then
  $sudo dpkg --add-architecture i386
fi
if [ ${#missing[@]} -gt 0 ] || [ $need_i386 -eq 1 ]; then
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
fi
if ! locale -a 2>/dev/null | grep -qiE '^ja_JP\.utf-?8$'; then
  if [ -f /etc/locale.gen ] && grep -q '^# *ja_JP.UTF-8' /etc/locale.gen; then
    $sudo sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  else
    echo 'ja_JP.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  fi
  $sudo locale-gen >/dev/null
fi
echo "bootstrap: done"
