#!/usr/bin/env bash
# Configures and builds into a build folder: build.sh [BUILD_DIR] [extra cmake options...]
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
shift || true
werror=OFF
[ "${CI:-}" = "true" ] && werror=ON
launcher=()
# A compiler cache, where the machine has one, makes rebuilds in several work trees cheap.
if command -v ccache >/dev/null 2>&1; then
  export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$(dirname "$PWD")}
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMX_WERROR=$werror "${launcher[@]}" "$@" >/dev/null
cmake --build "$dir" --parallel "$(nproc)"
