#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Takes the pictures of the README and the user guide again: builds the screenshot tool and
# runs it under Xvfb at 96 dpi. The tool works in a private home folder of its own.
#
#   scripts/screenshots.sh [BUILD_DIR] [OUTPUT_FOLDER]     (defaults: build, docs/images)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
out=${2:-docs/images}

if [ ! -f "$build/build.ninja" ]; then
    cmake -S . -B "$build" -G Ninja -DTANDOR_BUILD_SCREENSHOTS=ON
fi
cmake --build "$build" -j2 --target tandor-screenshots tandor-sim

mkdir -p "$out"
xvfb-run --auto-servernum --server-args="-screen 0 1280x1024x24 -dpi 96" \
    "$build/tools/screenshots/tandor-screenshots" "$out" "$build/tools/tandor-sim/tandor-sim"
