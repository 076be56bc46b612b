#!/usr/bin/env bash
# Installs the Debian packages the build, tests, tools and demo need, skipping
# what is already there. Extra package names may be given as arguments.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  binutils
  libsndfile1-dev libcairo2-dev libfftw3-dev fonts-dejavu-core fonts-liberation2
  lsp-plugins-vst
  libx11-dev xvfb xdotool xauth
  ardour python3
  audacity x11-utils x11-apps
  g++-mingw-w64-x86-64-posix wine wine64
)
packages+=("$@")

missing=()
for pkg in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$pkg")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  sudo_cmd=""
  if [ "$(id -u)" -ne 0 ]; then sudo_cmd="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $sudo_cmd apt-get -o DPkg::Lock::Timeout=900 update -q
  # Optional packages may be unavailable on some machines; the tests that need
  # them say so and skip. The build packages must install.
  if ! $sudo_cmd apt-get -o DPkg::Lock::Timeout=900 install -y -q --no-install-recommends "${missing[@]}"; then
    echo "setup: some packages could not be installed; retrying one by one"
    for pkg in "${missing[@]}"; do
      $sudo_cmd apt-get -o DPkg::Lock::Timeout=900 install -y -q --no-install-recommends "$pkg" || echo "setup: could not install $pkg"
    done
  fi
fi
