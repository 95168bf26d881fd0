#!/usr/bin/env bash
# Installs every Debian package that the build, the program and the tests need.
# Safe to run again: packages already present are left as they are.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev libqt6sql6-sqlite
  libxml2-dev zlib1g-dev libuchardet-dev libicu-dev
  clang-14 libclang-rt-14-dev
  fonts-noto-cjk qt6-translations-l10n
  desktop-file-utils
  xvfb xauth
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
  sudo=()
elif command -v sudo >/dev/null 2>&1; then
  sudo=(sudo)
else
  echo "setup: these packages are missing and neither root nor sudo is available: ${missing[*]}" >&2
  exit 1
fi

echo "setup: installing ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq "${missing[@]}" </dev/null
