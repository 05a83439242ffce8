#!/usr/bin/env bash
# Installed into a fresh prefix, the installation holds every file, and both programs start from
# there: each loads the audio module of that prefix, the desktop program finds the manual of
# that prefix and opens a file the way its desktop entry's command line does.
# Usage: install_test.sh BUILD_FOLDER LIBDIR APP_ID
set -uo pipefail
source "$(dirname "$0")/package_support.sh"
build=$1 libdir=$2 app=$3

work=$(mktemp -d)
studio_pid=""
cleanup() {
    [ -z "$studio_pid" ] || kill "$studio_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null || { echo "cmake --install failed"; exit 1; }
while read -r file; do
    [ -f "$prefix/$file" ] || fail "not installed: $file"
done < <(expected_files "$libdir" "$app")

module=$(realpath -m "$prefix/$libdir/partita/partita_audio_ffmpeg.so")
# The audio module a run loaded, from the dynamic loader's report (LD_DEBUG=files).
loaded_module() {
    sed -nE 's/.*file=([^ ]*partita_audio_ffmpeg\.so) .*dynamically loaded.*/\1/p' "$1" |
        head -n 1 | xargs -r realpath
}
ffmpeg -loglevel error -f lavfi -i "sine=frequency=440:duration=2" "$work/tone.wav" ||
    { echo "ffmpeg failed"; exit 1; }
export PATH=$prefix/bin:$PATH QT_QPA_PLATFORM=offscreen

# The command line: its version, and a decode (a WAV file's facts) through the prefix's module.
[[ $(partita --version) == *"Partita Studio"* ]] || fail "partita --version"
LD_DEBUG=files partita --settings "$work/cli.ini" info "$work/tone.wav" >"$work/info.txt" \
    2>"$work/info.log" || fail "partita info: $(cat "$work/info.txt")"
[ "$(loaded_module "$work/info.log")" = "$module" ] || fail "partita did not load $module"

# The desktop program: its manual, then a start through the desktop entry's command line.
[[ $(partita-studio --version) == *"Partita Studio"* ]] || fail "partita-studio --version"
manual=$(partita-studio --settings "$work/studio.ini" --lang en --help | sed -n 's/^The user manual: //p')
[ "$manual" = "$prefix/share/partita-studio/manual/en/index.html" ] ||
    fail "partita-studio looks for its manual at '$manual'"
exec_line=$(sed -n 's/^Exec=//p' "$prefix/share/applications/$app.desktop")
read -ra command <<<"${exec_line//%f/$work/tone.wav}"
LD_DEBUG=files "${command[@]}" --settings "$work/studio.ini" 2>"$work/studio.log" &
studio_pid=$!
# Once the window is up it has stored the pane it shows.
for _ in $(seq 300); do
    grep -q "Initial%20Panel" "$work/studio.ini" 2>/dev/null && break
    kill -0 "$studio_pid" 2>/dev/null || break
    sleep 0.1
done
sleep 1
if kill -0 "$studio_pid" 2>/dev/null; then
    grep -q "Initial%20Panel" "$work/studio.ini" || fail "the window of '${command[*]}' did not open"
else
    fail "'${command[*]}' ended: $(grep -v '^ *[0-9]*:' "$work/studio.log")"
fi
[ "$(loaded_module "$work/studio.log")" = "$module" ] || fail "partita-studio did not load $module"
finish
