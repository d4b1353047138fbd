#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the Debian packages, checks what they hold, installs them into a scratch root and
# starts the installed program headless for a few seconds.
set -euo pipefail
build=${1:-build}
cd "$(dirname "$0")/.."

rm -f "$build"/*.deb
(cd "$build" && cpack -G DEB >/dev/null)
app_deb=$(ls "$build"/tandor-config_*.deb)
sim_deb=$(ls "$build"/tandor-sim_*.deb)
echo "packages: $(basename "$app_deb") $(basename "$sim_deb")"

fail() { echo "package-test: $*" >&2; exit 1; }

version=$(dpkg-deb -f "$app_deb" Version)
project_version=$(sed -n 's/^project(tandor-config VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ "$version" = "$project_version" ] || fail "package version $version, project version $project_version"
depends=$(dpkg-deb -f "$app_deb" Depends)
for lib in libqt6widgets6 libqt6serialport6 libudev1 libc6 fonts-wine fonts-liberation2; do
    grep -q "$lib" <<<"$depends" || fail "Depends lacks $lib: $depends"
done

# Each package's description opens with its own summary line.
app_summary=$(dpkg-deb -f "$app_deb" Description | head -n1)
sim_summary=$(dpkg-deb -f "$sim_deb" Description | head -n1)
grep -q "Tandor radio interface" <<<"$app_summary" || fail "tandor-config summary: $app_summary"
grep -q "^Simulator" <<<"$sim_summary" || fail "tandor-sim summary: $sim_summary"

contents=$(dpkg-deb -c "$app_deb" | awk '{print $6}')
for f in ./usr/bin/tandor-config \
         ./usr/share/applications/tandor-config.desktop \
         ./usr/share/icons/hicolor/256x256/apps/tandor-config.png \
         ./usr/share/icons/hicolor/scalable/apps/tandor-config.svg \
         ./usr/share/metainfo/org.tandorconfig.TandorConfig.metainfo.xml \
         ./usr/bin/tandor-cli \
         ./usr/share/man/man1/tandor-cli.1.gz \
         ./usr/share/bash-completion/completions/tandor-cli; do
    grep -qx "$f" <<<"$contents" || fail "missing $f"
done
dpkg-deb -c "$sim_deb" | awk '{print $6}' | grep -qx ./usr/bin/tandor-sim || fail "tandor-sim missing"

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$app_deb" "$root"
dpkg-deb -x "$sim_deb" "$root"
desktop-file-validate "$root/usr/share/applications/tandor-config.desktop"
appstreamcli validate --no-net --explain "$root/usr/share/metainfo/org.tandorconfig.TandorConfig.metainfo.xml" >/dev/null \
    || appstreamcli validate --no-net --explain "$root/usr/share/metainfo/org.tandorconfig.TandorConfig.metainfo.xml"
file "$root/usr/share/icons/hicolor/256x256/apps/tandor-config.png" | grep -q '256 x 256' || fail "icon is not 256x256"

# The packages' dependencies must be installable on this system.
if command -v apt-get >/dev/null; then
    apt-get install -s -qq "./$app_deb" "./$sim_deb" >/dev/null || fail "dependencies not installable"
fi

# Start the installed program headless in a private home; it must still run after 3 s.
home="$root/home"
mkdir -p "$home/runtime"
chmod 700 "$home/runtime"
HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_RUNTIME_DIR="$home/runtime" QT_QPA_PLATFORM=offscreen \
    "$root/usr/bin/tandor-config" &
pid=$!
sleep 3
kill -0 "$pid" 2>/dev/null || { wait "$pid" || true; fail "the installed program did not keep running"; }
kill -TERM "$pid"
wait "$pid" 2>/dev/null || true
# The installed command-line program answers --help, and its manual page formats cleanly.
"$root/usr/bin/tandor-cli" --help | grep -q '^Usage: tandor-cli' || fail "tandor-cli --help"
if command -v man >/dev/null; then
    warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l \
        "$root/usr/share/man/man1/tandor-cli.1.gz" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "tandor-cli manual page: $warnings"
fi
bash -n "$root/usr/share/bash-completion/completions/tandor-cli" || fail "bash completion"
echo "package-test: ok"
