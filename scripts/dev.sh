#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds Corvane and then runs it or its tests.
#   scripts/dev.sh run [corvane arguments...]
#   scripts/dev.sh test
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
mode=${1:-}
[ $# -gt 0 ] && shift

packages=(build-essential cmake ninja-build pkg-config git
          qt6-base-dev qt6-multimedia-dev libgl-dev libssl-dev ca-certificates
          libgtest-dev libgmock-dev libbenchmark-dev
          xvfb xauth fonts-dejavu-core fonts-liberation)

install_missing() {
    local missing=()
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "== installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
}

build() {
    local dir=$1
    shift
    cmake -S . -B "$dir" -G Ninja "$@"
    cmake --build "$dir" --parallel "$(nproc)"
}

case "$mode" in
run)
    install_missing
    build build -DCMAKE_BUILD_TYPE=RelWithDebInfo
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
        echo "no display found: starting Corvane inside xvfb-run (see README)"
        exec xvfb-run -a -s "-screen 0 1280x900x24" "$here/build/app/corvane" "$@"
    fi
    exec "$here/build/app/corvane" "$@"
    ;;
test)
    install_missing
    build build-ci -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVANE_WERROR=ON
    echo "== tests"
    (cd build-ci && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 300 -j "$(nproc)")
    echo "== behaviour tests under AddressSanitizer and UndefinedBehaviorSanitizer"
    build build-asan -DCMAKE_BUILD_TYPE=Debug -DCORVANE_WERROR=ON -DCORVANE_SANITIZE=ON \
        -DCORVANE_BUILD_GUI=OFF -DCORVANE_BUILD_BENCH=OFF
    (cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
        ctest --output-on-failure --timeout 300 -j "$(nproc)")
    echo "== all tests passed"
    ;;
*)
    echo "usage: scripts/dev.sh run [corvane arguments...] | scripts/dev.sh test" >&2
    exit 2
    ;;
esac
