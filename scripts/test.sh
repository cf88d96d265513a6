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

# run_ctest DIR ARGS...: the tests of one tree. On a failure the failed checks and sanitizer
# reports are repeated last, so that whoever reads only the end of the log learns which row broke
# and where, not just which executable.
run_ctest() {
  local dir=$1 status=0
  shift
  (cd "$dir" && ctest "${ctest_args[@]}" "$@") || status=$?
  [ "$status" -eq 0 ] && return 0
  echo "== What failed in $(basename "$dir")"
  grep -h -A3 -E '^(FAIL!|QFATAL|XPASS)|Received signal|ERROR: (Address|Leak|Thread|Undefined)Sanitizer|runtime error:' \
    "$dir"/Testing/Temporary/LastTest*.log 2>/dev/null | cut -c1-300 | head -80 || true
  exit "$status"
}

# Every tree links with lld and carries only line tables as debug info: enough for the sanitizers'
# and fuzzers' stack traces (file and line per frame), at a fraction of the compile and link time.
fast=(-DTAV_LINKER=lld)
sanitized=(-DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-g1 "${fast[@]}")

echo "== ASan+UBSan build"
tav_build build-asan "${sanitized[@]}" -DTAV_SANITIZE=address,undefined
run_ctest "$TAV_ROOT/build-asan" -LE bench

echo "== TSan build (threaded tests)"
if grep -rqs 'LABELS.*threads' "$TAV_ROOT/tests" --include=CMakeLists.txt; then
  tav_configure build-tsan "${sanitized[@]}" -DTAV_SANITIZE=thread
  # Only the threaded tests run here: build just their executables (each test is named after its
  # executable).
  mapfile -t threaded < <(cd "$TAV_ROOT/build-tsan" && ctest -N -L threads | sed -n 's/^ *Test *#[0-9]*: //p')
  cmake --build "$TAV_ROOT/build-tsan" -j "$TAV_JOBS" --target "${threaded[@]}"
  run_ctest "$TAV_ROOT/build-tsan" -L threads
else
  echo "no threaded tests yet"
fi

echo "== Fuzz targets"
tav_build build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAV_FUZZ=ON \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -gline-tables-only -DNDEBUG" "${fast[@]}" \
  -DCMAKE_CXX_COMPILER=clang++
fuzz_seconds=${TAV_FUZZ_SECONDS:-20}
# fuzz_run NAME: one target for its bounded time; its log and exit status go to the scratch folder.
fuzz_run() {
  local name=$1 target="$TAV_ROOT/build-fuzz/tests/fuzz/$1"
  local corpus="$scratch/corpus-$name" seeds="$TAV_ROOT/tests/fuzz/corpus/$name"
  mkdir -p "$corpus"
  [ -d "$seeds" ] || seeds=""
  # Qt 5.15's JSON parser leaks the values of duplicate object keys, and its stripped frames cannot
  # be named in a suppression: targets that parse JSON text run without the per-input leak check
  # (their parsing is kept out of the check at exit, tests/fuzz/fuzzjson.h). Seeds: corpus/<name>.
  local leaks=1 status=0
  grep -qE 'QJsonDocument::fromJson|parseFuzzJson' "$TAV_ROOT/tests/fuzz/$name.cpp" && leaks=0
  (cd "$scratch" && "$target" -max_total_time="$fuzz_seconds" -timeout=10 -rss_limit_mb=2048 \
      -detect_leaks=$leaks -print_final_stats=0 "$corpus" $seeds 2>"$scratch/$name.log") || status=$?
  echo "$status" >"$scratch/$name.status"
}
# Each target is one process on one core: as many run at once as there are cores.
fuzzed=()
for target in "$TAV_ROOT"/build-fuzz/tests/fuzz/fuzz_*; do
  [ -f "$target" ] && [ -x "$target" ] || continue
  while [ "$(jobs -rp | wc -l)" -ge "$TAV_JOBS" ]; do wait -n || true; done
  name=$(basename "$target")
  echo "fuzzing $name for ${fuzz_seconds}s"
  fuzz_run "$name" &
  fuzzed+=("$name")
done
wait
for name in "${fuzzed[@]}"; do
  if [ "$(cat "$scratch/$name.status" 2>/dev/null)" != 0 ]; then
    tail -60 "$scratch/$name.log"
    echo "fuzz target $name failed"
    exit 1
  fi
done

echo "== Plain build"
tav_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" \
  "${fast[@]}"
run_ctest "$TAV_ROOT/build" -LE bench
