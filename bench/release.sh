# Sourced by the benchmark scripts. releaseBuild BUILD ROOT TARGET...
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
