#!/usr/bin/env bash
# Installs what the build needs on Debian 12, only what is missing; safe to
# run again. `--native` installs only what the Linux build and demo need;
# without it, also the cross compilers, wine and the test tools.
set -euo pipefail

native=(build-essential cmake ninja-build pkg-config googletest libgtest-dev libbenchmark-dev
        libsndfile1-dev libstb-dev libx11-dev libxtst-dev fonts-liberation2)
cross=(g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix clang libclang-rt-14-dev
       wine wine32:i386 wine64 xvfb xauth x11-utils valgrind ccache)

wanted=("${native[@]}")
if [[ "${1:-}" != "--native" ]]; then
  wanted+=("${cross[@]}")
fi

run_as_root() {
  if [[ $(id -u) -eq 0 ]]; then "$@"; else sudo "$@"; fi
}

missing=()
for package in "${wanted[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done

if [[ ${#missing[@]} -eq 0 ]]; then
  echo "setup: everything needed is installed"
  exit 0
fi

echo "setup: installing ${missing[*]}"
if printf '%s\n' "${missing[@]}" | grep -q ':i386$'; then
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    run_as_root dpkg --add-architecture i386
  fi
fi
run_as_root apt-get update -qq
run_as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
