#!/bin/sh
# SPDX-License-Identifier: MIT
# Runs tandor-config against the interface simulator: starts tandor-sim on the virtual port
# sim0, then the program, and stops the simulator when the program exits.
#
#   scripts/run-with-sim.sh [BUILD_DIR] [tandor-sim options...]
#
# Options after the build folder go to the simulator, for example --verbose or --silent-after 5.
set -eu

build=${1:-build}
[ $# -gt 0 ] && shift

sim="$build/tools/tandor-sim/tandor-sim"
app="$build/src/app/tandor-config"
for program in "$sim" "$app"; do
    if [ ! -x "$program" ]; then
        echo "run-with-sim: $program is missing; build first (make build)" >&2
        exit 1
    fi
done

# Virtual ports live in the per-user runtime folder, which Qt only accepts when it belongs to
# the user and nobody else may enter it. Make a private one when there is none fit for use.
private_runtime=
runtime=${XDG_RUNTIME_DIR:-}
if [ -z "$runtime" ] || [ ! -d "$runtime" ] || [ ! -O "$runtime" ] ||
    [ "$(stat -c %a "$runtime")" != 700 ]; then
    private_runtime=$(mktemp -d "${TMPDIR:-/tmp}/tandor-runtime-XXXXXX")
    chmod 700 "$private_runtime"
    XDG_RUNTIME_DIR=$private_runtime
    export XDG_RUNTIME_DIR
fi

"$sim" --port sim0 "$@" &
sim_pid=$!

stop_sim() {
    if kill -0 "$sim_pid" 2>/dev/null; then
        kill -TERM "$sim_pid" 2>/dev/null || true
        wait "$sim_pid" 2>/dev/null || true
    fi
    if [ -n "$private_runtime" ]; then
        rm -rf "$private_runtime"
    fi
}
trap stop_sim EXIT

# The program lists the ports it finds at start: wait until the simulator has published its
# port (or has given up).
tries=0
while [ ! -L "$XDG_RUNTIME_DIR/tandor/ports/sim0" ]; do
    if ! kill -0 "$sim_pid" 2>/dev/null; then
        echo "run-with-sim: tandor-sim did not start" >&2
        exit 1
    fi
    tries=$((tries + 1))
    if [ "$tries" -gt 50 ]; then
        echo "run-with-sim: tandor-sim did not publish sim0" >&2
        exit 1
    fi
    sleep 0.1
done

# The program runs in the background so that a signal to this script is passed on to it and
# neither it nor the simulator is left running.
"$app" &
app_pid=$!
trap 'kill -TERM "$app_pid" 2>/dev/null || true' INT TERM
status=0
wait "$app_pid" || status=$?
while kill -0 "$app_pid" 2>/dev/null; do
    status=0
    wait "$app_pid" || status=$?
done
exit "$status"
