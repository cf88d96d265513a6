#!/bin/bash
# Rewrites the gallery's picture baselines (tests/gallery/picturecheck/baseline-*.bin) from the
# pictures the current code renders, in both languages. Run it only after looking at the changed
# pictures (the failing gallery_pictures_* test names them and leaves them in
# build/tests/gallery/picturecheck/pictures-*); it lists the scenes that change, then commits
# nothing itself.
#   scripts/update-gallery-baselines.sh [BUILD_DIR]      (default: build)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
cmake --build "$build" -j "${TAV_JOBS:-$(nproc)}" --target tav_gallery tav_picturecheck
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/config" "$scratch/data" "$scratch/cache" "$scratch/runtime"
chmod 700 "$scratch/runtime"
export QT_QPA_PLATFORM=offscreen TAVCFG_SYSTEM_PORTS=0 LANG=C.UTF-8 LC_ALL=C.UTF-8
# The fonts the tests render with (tests/CMakeLists.txt), whatever else this machine has.
export FONTCONFIG_FILE="$root/tests/support/fonts.conf"
export XDG_CONFIG_HOME="$scratch/config" XDG_DATA_HOME="$scratch/data"
export XDG_CACHE_HOME="$scratch/cache" XDG_RUNTIME_DIR="$scratch/runtime"
check="$build/tests/gallery/picturecheck/tav_picturecheck"
gallery="$build/tests/gallery/tav_gallery"
for language in ru en; do
  code=""
  [ "$language" = ru ] || code=$language
  baseline="$root/tests/gallery/picturecheck/baseline-$language.bin"
  pictures="$build/tests/gallery/picturecheck/pictures-$language"
  echo "== $language"
  if [ -f "$baseline" ]; then
    "$check" "$gallery" "$pictures" "$baseline" $code 2>&1 | grep -E '^[a-z0-9_]+: ' || true
  fi
  "$check" "$gallery" "$pictures" "$baseline" $code --update 2>&1 | tail -1
done
