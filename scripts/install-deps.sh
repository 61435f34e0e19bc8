#!/usr/bin/env bash
# Installs the Debian 12 packages that building, testing and running Trackwright need.
# Packages already present are not touched; nothing is fetched from anywhere but Debian.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config ccache
  clang libclang-rt-14-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev libgl-dev
  nlohmann-json3-dev libyaml-dev nettle-dev
  xvfb xauth
  g++-mingw-w64-x86-64 wine64 fonts-dejavu-core
  zip python3 python3-pil
  gettext libgettextpo-dev
  patchelf lintian desktop-file-utils appstream man-db
)
if [ "${1:-}" != "" ]; then packages=("$@"); fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
