#!/usr/bin/env bash
# Installs the Debian packages Tallowick needs to build, test, package and
# show its window, when they are missing. Uses sudo when not run as root.
set -euo pipefail

packages=(
    cmake make g++ pkg-config
    qt6-base-dev libgl-dev       # Qt 6 Widgets and QtTest
    libgtest-dev                 # core tests
    zlib1g-dev                   # the image check's CRC-32 (crc32, crc32_combine)
    libgcrypt20-dev              # the image check's SHA-1 (SHA instructions; already loaded
                                 # in every Qt Widgets process, so the window maps nothing more)
    libexpat1-dev                # the header database: a stream XML parser, no recursion,
                                 # guarded against entity expansion
    rapidjson-dev                # the command line's JSON: a streaming writer that escapes
                                 # strings for us, an order faster than QJsonDocument
    rhash                        # the check tests and benchmarks compare hashes with it
    libxml2-utils                # xmllint: the yardstick of the database load benchmark
    clang libclang-rt-14-dev     # fuzzing with libFuzzer and sanitizers
    fonts-liberation             # sans and monospace fonts with the classic metrics
    xvfb xauth imagemagick       # a virtual display and screenshots
    time                         # peak memory in the benchmarks
    dpkg-dev file                # cpack's DEB generator: dpkg-shlibdeps finds the
                                 # package's dependencies, file finds the programs
    desktop-file-utils appstream # validate the desktop entry and AppStream metadata
    lintian                      # checks the .deb in scripts/package.sh
    librsvg2-bin                 # rsvg-convert: dist/make-icons.sh renders the icon's PNGs
    help2man                     # the manual pages, made from the programs' --help
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed"; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
