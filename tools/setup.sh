#!/usr/bin/env bash
# Sets Waypost up on a Debian 12 machine and then runs it or tests it.
#   tools/setup.sh run    install what is missing, build, start Waypost
#   tools/setup.sh test   install what is missing, build, run every test
#                         (the normal build, then the sanitizer build)
# Both are safe to repeat: they install and rebuild only what changed.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
jobs=${WAYPOST_JOBS:-2}
mode=${1:-}

usage() { echo "usage: tools/setup.sh run|test" >&2; exit 2; }
[[ $mode == run || $mode == test ]] || usage

install_packages() {
    local wanted missing=()
    wanted=$(grep -v '^\s*#' "$root/tools/debian-packages.txt" | tr -s ' \n' ' ')
    for pkg in $wanted; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
    done
    [[ ${#missing[@]} -eq 0 ]] && return 0
    echo "== installing: ${missing[*]}"
    local sudo=()
    [[ $(id -u) -eq 0 ]] || sudo=(sudo)
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
}

configure() {  # configure DIR [cmake options...]
    local dir=$1; shift
    cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
}

build() {  # build DIR [cmake options...]: everything, tests included
    local dir=$1; shift
    echo "== building in $dir"
    configure "$dir" "$@"
    cmake --build "$dir" -j "$jobs"
}

run_tests() {  # run_tests DIR
    echo "== testing in $1"
    ctest --test-dir "$1" --output-on-failure -j "$jobs" --timeout 600
}

install_packages
case $mode in
run)
    echo "== building Waypost in $root/build"
    configure "$root/build"
    cmake --build "$root/build" -j "$jobs" --target waypost
    if [[ -z ${DISPLAY:-} && -z ${WAYLAND_DISPLAY:-} ]]; then
        cat <<TXT
Waypost is a desktop program and this session has no display.
Start it on a desktop with:
    $root/build/bin/waypost
or, on a machine without a display, inside a virtual one:
    xvfb-run -a -s "-screen 0 1280x1024x24" $root/build/bin/waypost
TXT
        exit 0
    fi
    exec "$root/build/bin/waypost"
    ;;
test)
    build "$root/build" -DWAYPOST_SANITIZE=OFF
    run_tests "$root/build"
    build "$root/build-asan" -DWAYPOST_SANITIZE=ON -DWAYPOST_BUILD_BENCH=OFF
    run_tests "$root/build-asan"
    ;;
esac
