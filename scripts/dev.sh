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
          qt6-base-dev qt6-multimedia-dev qtkeychain-qt6-dev libgl-dev libssl-dev libzstd-dev ca-certificates
          libgtest-dev libgmock-dev libbenchmark-dev libpcre2-dev nlohmann-json3-dev libhunspell-dev hunspell-en-us
          liblua5.4-dev zlib1g-dev qt6-speech-dev
          xvfb xauth fonts-dejavu-core fonts-liberation desktop-file-utils)
# The tests also fuzz, which takes clang and its libFuzzer runtime, and
# check the keyring against a real Secret Service.
# The package is checked with lintian and appstream; ccache keeps a rebuild on
# the same machine short.
test_packages=(clang libclang-rt-14-dev gnome-keyring dbus lintian appstream ccache)

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

# Builds every fuzz target of fuzz/ with clang and runs each for
# FUZZ_SECONDS (30), as many at a time as there are cores. A crash, a leak or
# an input slower than 10 s fails; its input is left in build-fuzz/runs/NAME.
fuzz() {
    local seconds=${FUZZ_SECONDS:-30}
    cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -gline-tables-only -DNDEBUG" \
        -DCORVANE_WERROR=ON -DCORVANE_BUILD_FUZZ=ON -DCORVANE_BUILD_GUI=OFF -DCORVANE_BUILD_BENCH=OFF -DCORVANE_UNITY_TESTS=ON
    cmake --build build-fuzz --target fuzz/all --parallel "$(nproc)"
    local targets=()
    mapfile -t targets < <(find build-fuzz/fuzz -maxdepth 1 -type f -perm -u+x | sort)
    if [ ${#targets[@]} -eq 0 ]; then
        echo "no fuzz targets were built" >&2
        return 1
    fi
    echo "== fuzzing ${#targets[@]} targets for ${seconds} s each"
    rm -rf build-fuzz/runs
    local target name
    for target in "${targets[@]}"; do
        while [ "$(jobs -rp | wc -l)" -ge "$(nproc)" ]; do
            wait -n || true
        done
        name=$(basename "$target")
        mkdir -p "build-fuzz/runs/$name/corpus"
        # Seed inputs kept in fuzz/seeds/NAME, when there are any, start it off.
        local seeds=()
        [ -d "fuzz/seeds/$name" ] && seeds=("$here/fuzz/seeds/$name")
        # A dictionary fuzz/NAME.dict, when there is one, tells it the words that matter.
        local dict=()
        [ -f "fuzz/$name.dict" ] && dict=(-dict="$here/fuzz/$name.dict")
        (cd "build-fuzz/runs/$name" &&
            if "$here/$target" corpus "${seeds[@]}" "${dict[@]}" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
                >log 2>&1; then
                echo "   $name: $(grep -m1 '^Done' log)"
            else
                echo "   $name: FAILED" && touch failed
            fi) &
    done
    wait
    local failed=0
    for target in "${targets[@]}"; do
        name=$(basename "$target")
        if [ -e "build-fuzz/runs/$name/failed" ]; then
            echo "== $name failed; its input: $(ls build-fuzz/runs/"$name"/crash-* build-fuzz/runs/"$name"/timeout-* \
                build-fuzz/runs/"$name"/leak-* 2>/dev/null | tr '\n' ' ')"
            tail -n 60 "build-fuzz/runs/$name/log"
            failed=1
        fi
    done
    return $failed
}

# Makes the Debian package from build-ci and checks it as a player gets it:
# lintian and appstream on the package, then apt installs it on this machine,
# the installed programs run (the client offscreen, logged in to the practice
# world), and the package is removed again, also when a step fails.
package_check() {
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    rm -f build-ci/corvane_*.deb
    (cd build-ci && cpack -G DEB >cpack.log 2>&1) || { cat build-ci/cpack.log; return 1; }
    local deb
    deb=$(echo build-ci/corvane_*.deb)
    echo "-- $deb: $(du -k "$deb" | cut -f1) KiB"
    # Every warning lintian may give is overridden with its reason in
    # packaging/lintian-overrides, so a new one fails here.
    lintian --fail-on error,warning "$deb"
    local unpacked
    unpacked=$(mktemp -d)
    dpkg-deb -x "$deb" "$unpacked"
    # The desktop file, the icons and the AppStream data together, as a
    # software centre reads them.
    appstreamcli validate-tree --no-net "$unpacked"
    rm -rf "$unpacked"
    (
        # shellcheck disable=SC2317 # run by the trap
        remove() { "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get purge -y -q corvane >/dev/null; }
        trap remove EXIT
        "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --reinstall \
            -o DPkg::Lock::Timeout=120 "$here/$deb" >/dev/null
        (cd / && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM corvane --version)
        desktop-file-validate /usr/share/applications/corvane.desktop
        tests/install/installed_e2e.sh /usr/bin/corvane /usr/bin/corvane-practice-world
    )
}

build() {
    local dir=$1
    shift
    local launcher=()
    if command -v ccache >/dev/null; then
        # Paths below the checkout are hashed relative to it, so a fresh clone
        # in another folder still finds what an earlier build compiled.
        export CCACHE_BASEDIR="$here"
        launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
    fi
    cmake -S . -B "$dir" -G Ninja "${launcher[@]}" "$@"
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
    packages+=("${test_packages[@]}")
    install_missing
    # Tests need no debugger information, and leaving it out saves a third of
    # the build; failures still name file and line. The sanitizer and fuzz
    # builds keep line tables for their reports.
    build build-ci -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -DNDEBUG" \
        -DCORVANE_WERROR=ON -DCORVANE_CTEST_PER_CASE=OFF -DCORVANE_UNITY_TESTS=ON
    echo "== tests"
    (cd build-ci && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 300 -j "$(nproc)")
    echo "== the package"
    package_check
    echo "== behaviour tests under AddressSanitizer and UndefinedBehaviorSanitizer"
    build build-asan -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g1" -DCORVANE_WERROR=ON -DCORVANE_SANITIZE=ON \
        -DCORVANE_BUILD_GUI=OFF -DCORVANE_BUILD_BENCH=OFF -DCORVANE_UNITY_TESTS=ON
    # Each test program runs whole, once: started once per case, as ctest
    # does, the sanitizers' start-up cost minutes for what takes seconds.
    for program in build-asan/tests/corvane_behaviour_tests \
                   build-asan/tools/practice-world/corvane_practice_world_tests; do
        echo "-- $program"
        ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
            timeout 900 "$program" --gtest_brief=1
    done
    echo "== fuzzing"
    fuzz
    echo "== all tests passed"
    ;;
*)
    echo "usage: scripts/dev.sh run [corvane arguments...] | scripts/dev.sh test" >&2
    exit 2
    ;;
esac
