#!/usr/bin/env bash
# Makes sure the tools that the builds and tests need are present. Only when something is
# missing does it install exactly the missing Debian packages with apt-get (through sudo when
# not run as root), saying what it installs. With everything present it prints nothing.
#   scripts/setup.sh             check, and install what is missing
#   scripts/setup.sh --dry-run   check, and say what would be installed
#   scripts/setup.sh --list      the table below: what is looked for, and its package
# Runs on bash built-ins alone, so it works before anything is installed.
set -euo pipefail

# What is looked for (a command on PATH, or an absolute path that may hold a *) and the Debian
# package that provides it. One line per entry.
table='
cmake                                                   cmake
ninja                                                   ninja-build
g++                                                     g++
/usr/src/googletest/CMakeLists.txt                      googletest
/usr/lib/*/cmake/GTest/GTestConfig.cmake                libgtest-dev
x86_64-w64-mingw32-g++-posix                            g++-mingw-w64-x86-64-posix
x86_64-w64-mingw32-gcc-posix                            gcc-mingw-w64-x86-64-posix
x86_64-w64-mingw32-windres                              binutils-mingw-w64-x86-64
/usr/x86_64-w64-mingw32/include/windows.h               mingw-w64-x86-64-dev
wine                                                    wine
/usr/lib/wine/wine64                                    wine64
clang                                                   clang
/usr/lib/llvm-14/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a  libclang-rt-14-dev
valgrind                                                valgrind
gcovr                                                   gcovr
ccache                                                  ccache
/usr/include/benchmark/benchmark.h                      libbenchmark-dev
python3                                                 python3
osslsigncode                                            osslsigncode
openssl                                                 openssl
'

mode=${1:-install}
case $mode in
install | --dry-run) ;;
--list)
    printf '%s' "${table#$'\n'}"
    exit 0
    ;;
*)
    echo "usage: $0 [--dry-run | --list]" >&2
    exit 2
    ;;
esac

present() {
    case $1 in
    /*) compgen -G "$1" >/dev/null ;;
    *) command -v "$1" >/dev/null ;;
    esac
}

# Fills missing_tools and missing_packages (each package once).
find_missing() {
    missing_tools=() missing_packages=()
    local what package known
    while read -r what package; do
        [[ -n $what ]] || continue
        present "$what" && continue
        missing_tools+=("$what")
        for known in "${missing_packages[@]}"; do
            [[ $known == "$package" ]] && continue 2
        done
        missing_packages+=("$package")
    done <<<"$table"
}

find_missing
((${#missing_tools[@]})) || exit 0

echo "setup: missing: ${missing_tools[*]}" >&2
if [[ $mode == --dry-run ]]; then
    echo "setup: would install: ${missing_packages[*]}" >&2
    exit 0
fi

stop() {
    echo "setup: $1" >&2
    echo "setup: install these Debian packages (or your system's equivalents): ${missing_packages[*]}" >&2
    exit 1
}
command -v apt-get >/dev/null || stop "there is no apt-get here to install them"
apt=(apt-get)
if ((EUID != 0)); then
    command -v sudo >/dev/null || stop "installing needs root, and there is no sudo"
    apt=(sudo DEBIAN_FRONTEND=noninteractive apt-get)
fi
export DEBIAN_FRONTEND=noninteractive

echo "setup: installing with apt-get: ${missing_packages[*]} (this can take minutes)" >&2
"${apt[@]}" update -qq >/dev/null || stop "apt-get update failed"
"${apt[@]}" install -y -qq "${missing_packages[@]}" >/dev/null || stop "apt-get install failed"

find_missing
((${#missing_tools[@]} == 0)) || stop "still missing after installing: ${missing_tools[*]}"
echo "setup: done" >&2
