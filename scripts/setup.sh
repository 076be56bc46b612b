#!/usr/bin/env bash
# Installs the Debian packages that are missing, skipping what is already there.
#   scripts/setup.sh --demo   what building and the demo need
#   scripts/setup.sh          that and everything the tests need (real hosts, X tools, packaging)
# Extra package names may be given as further arguments.
set -euo pipefail

# Building and the demo: compilers, the libraries the plug-ins and tools link,
# GoogleTest (the build compiles the tests too) and the fonts of plots and editors.
demo_packages=(
  build-essential cmake pkg-config
  libgtest-dev libgmock-dev
  libsndfile1-dev libcairo2-dev libfftw3-dev fonts-dejavu-core fonts-liberation2
  libx11-dev
)
# The tests only: benchmarks, foreign plug-ins, X tools for the editors, the
# real hosts, the Debian packaging tools, and the LV2 headers, lilv (tools and
# library for our test host), the Turtle validator, jalv and the JACK server
# it needs. Without lv2-dev the build leaves the LV2 bundles out.
test_packages=(
  libbenchmark-dev binutils
  lsp-plugins-vst
  xvfb xdotool xauth
  ardour python3
  audacity x11-utils x11-apps
  g++-mingw-w64-x86-64-posix wine wine64 googletest
  dpkg-dev
  lv2-dev lilv-utils liblilv-dev sordi jalv jackd2
)

packages=("${demo_packages[@]}")
if [ "${1:-}" = "--demo" ]; then
  shift
else
  packages+=("${test_packages[@]}")
fi
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
  # jackd2 asks whether to allow real-time priority; the tests run it without.
  echo "jackd2 jackd/tweak_rt_limits boolean false" | $sudo_cmd debconf-set-selections 2>/dev/null || true
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
