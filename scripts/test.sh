#!/usr/bin/env bash
# Installs what is missing, builds every configuration and runs the whole test suite:
# the sanitizer build (ASan+UBSan), the fuzz targets for a bounded time, then the plain build,
# whose CTest summary is printed last.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
tav_install "${tav_packages[@]}" "${tav_test_packages[@]}"

export QT_QPA_PLATFORM=offscreen
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export XDG_CONFIG_HOME="$scratch/config" XDG_DATA_HOME="$scratch/data" XDG_CACHE_HOME="$scratch/cache"
export XDG_RUNTIME_DIR="$scratch/runtime"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:halt_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$TAV_ROOT/tests/sanitizer/lsan.supp:print_suppressions=0"
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:suppressions=$TAV_ROOT/tests/sanitizer/tsan.supp"

ctest_args=(--output-on-failure --no-tests=error -j "$TAV_JOBS" --timeout 600)

echo "== ASan+UBSan build"
tav_build build-asan -DCMAKE_BUILD_TYPE=Debug -DTAV_SANITIZE=address,undefined
(cd "$TAV_ROOT/build-asan" && ctest "${ctest_args[@]}" -LE bench)

echo "== TSan build (threaded tests)"
if grep -rqs 'LABELS.*threads' "$TAV_ROOT/tests" --include=CMakeLists.txt; then
  tav_configure build-tsan -DCMAKE_BUILD_TYPE=Debug -DTAV_SANITIZE=thread
  # Only the threaded tests run here: build just their executables (each test is named after its
  # executable).
  mapfile -t threaded < <(cd "$TAV_ROOT/build-tsan" && ctest -N -L threads | sed -n 's/^ *Test *#[0-9]*: //p')
  cmake --build "$TAV_ROOT/build-tsan" -j "$TAV_JOBS" --target "${threaded[@]}"
  (cd "$TAV_ROOT/build-tsan" && ctest "${ctest_args[@]}" -L threads)
else
  echo "no threaded tests yet"
fi

echo "== Fuzz targets"
tav_build build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAV_FUZZ=ON \
  -DCMAKE_CXX_COMPILER=clang++
fuzz_seconds=${TAV_FUZZ_SECONDS:-20}
for target in "$TAV_ROOT"/build-fuzz/tests/fuzz/fuzz_*; do
  [ -f "$target" ] && [ -x "$target" ] || continue
  name=$(basename "$target")
  corpus="$scratch/corpus-$name"
  mkdir -p "$corpus"
  seeds="$TAV_ROOT/tests/fuzz/corpus/$name"
  [ -d "$seeds" ] || seeds=""
  # Qt 5.15's JSON parser leaks the values of duplicate object keys, and its stripped frames cannot
  # be named in a suppression: targets that parse JSON text run without the per-input leak check
  # (their parsing is kept out of the check at exit, tests/fuzz/fuzzjson.h). Seeds: corpus/<name>.
  leaks=1
  grep -qE 'QJsonDocument::fromJson|parseFuzzJson' "$TAV_ROOT/tests/fuzz/$name.cpp" && leaks=0
  echo "fuzzing $name for ${fuzz_seconds}s"
  (cd "$scratch" && "$target" -max_total_time="$fuzz_seconds" -timeout=10 -rss_limit_mb=2048 \
      -detect_leaks=$leaks -print_final_stats=0 "$corpus" $seeds 2>"$scratch/$name.log") || {
    tail -60 "$scratch/$name.log"
    echo "fuzz target $name failed"
    exit 1
  }
done

echo "== Plain build"
tav_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cd "$TAV_ROOT/build" && ctest "${ctest_args[@]}" -LE bench
