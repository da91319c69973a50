# Sourced by the benchmark scripts.
#
# median: the median of the numbers on standard input, one per line.
median() { sort -g | awk '{ v[NR] = $1 } END { if (NR == 0) { print "nan"; exit }
    if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# releaseBuild BUILD ROOT TARGET...
# makes BUILD a Release build of ROOT with the windows (configured when it
# is not one yet: another build type, or the windows left out) and builds
# the TARGETs quietly.
releaseBuild() {
    local build=$1 root=$2
    shift 2
    local cache=$build/CMakeCache.txt
    if ! grep -qx 'CMAKE_BUILD_TYPE:STRING=Release' "$cache" 2>/dev/null ||
        ! grep -qx 'TALLOWICK_GUI:BOOL=ON' "$cache"; then
        echo "== configuring a Release build in $build"
        cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTALLOWICK_GUI=ON \
            -DTALLOWICK_TESTS=OFF >/dev/null
    fi
    echo "== building $* (Release)"
    cmake --build "$build" -j2 --target "$@" >/dev/null
}
