#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
tav_install "${tav_packages[@]}"
tav_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo
exec "$TAV_ROOT/build/src/TavConfigurator" "$@"
