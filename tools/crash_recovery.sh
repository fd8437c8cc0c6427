#!/usr/bin/env bash
# A real crash and its recovery, on a virtual X screen (Xvfb) driven with xdotool's real key
# events: the editor opens a score, a phrase is typed into it, the autosave interval (one
# second here) passes, and the process is killed with SIGKILL. A second editor started
# meanwhile must not offer the first one's live recovery file. Started again, the editor
# offers the score back; Enter accepts, Ctrl+S saves it over its own file, and the saved
# records must be those of the same keys typed through --type. A normal quit leaves no
# recovery file behind.
#
# usage: tools/crash_recovery.sh [PROGRAM]        (default build/qanoredit)
# Needs the packages xvfb, x11-utils and xdotool (openbox when present); exits 77, skipped,
# without them.
set -euo pipefail
cd "$(dirname "$0")/.."
# The windows are found by the Chinese interface's titles, which a locale that names no
# language gives.
export LC_ALL=C.UTF-8 LANG=C.UTF-8
program=$(realpath "${1:-build/qanoredit}")
[ -x "$program" ] || { echo "$program is not built" >&2; exit 1; }
for tool in Xvfb xdotool xdpyinfo; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do
        { kill -TERM "$pid" && wait "$pid"; } 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    echo "--- editor output:" >&2
    cat "$work/editor.log" >&2 2>/dev/null || true
    exit 1
}
# Waits up to $1 seconds for the command after it to succeed.
wait_for() {
    local seconds=$1
    shift
    local tries=$((seconds * 10))
    until "$@"; do
        tries=$((tries - 1))
        [ "$tries" -gt 0 ] || return 1
        sleep 0.1
    done
}

# The server picks a display nobody uses and says which.
Xvfb -displayfd 3 -screen 0 1280x960x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
pids+=($!)
wait_for 10 test -s "$work/display" || fail "Xvfb did not start"
export DISPLAY=":$(head -1 "$work/display")"
wait_for 10 xdpyinfo >/dev/null 2>&1 || fail "the X server does not answer"
if command -v openbox >/dev/null; then
    openbox >"$work/openbox.log" 2>&1 &
    pids+=($!)
    sleep 0.5
fi

# The editor on the X screen, with settings and data of its own: a one-second interval.
export QT_QPA_PLATFORM=xcb
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$XDG_CONFIG_HOME/OrmindoSoftware" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
printf '[Settings]\nAutosaveSeconds=1\n' >"$XDG_CONFIG_HOME/OrmindoSoftware/QanorEdit.conf"
recovery=$XDG_DATA_HOME/OrmindoSoftware/QanorEdit/recovery
cp resources/samples/jasmine.qe "$work/original.qe"
cp resources/samples/jasmine.qe "$work/song.qe"

editor_pid=""
start_editor() {
    "$program" "$@" >>"$work/editor.log" 2>&1 &
    editor_pid=$!
    pids+=("$editor_pid")
}
# The first visible window of the editor whose title holds $1.
window_of() {
    timeout 20 xdotool search --sync --onlyvisible --pid "$editor_pid" --name "$1" | head -1
}
activate() {
    xdotool windowactivate --sync "$1" 2>/dev/null || xdotool windowfocus --sync "$1"
    sleep 0.5
}
recovery_files() {
    find "$recovery" -maxdepth 1 -type f \( -name '*.json' -o -name '*.qe' \) 2>/dev/null
}
written_since_marker() {
    [ -n "$(find "$recovery" -maxdepth 1 -name '*.json' -newer "$work/marker" 2>/dev/null)" ]
}

# 1. The editor on the score; the phrase typed from the caret at the start of the score.
start_editor "$work/song.qe"
first=$editor_pid
main=$(window_of "Qanor简谱编辑器") || fail "the editor's window did not show"
activate "$main"
xdotool type --delay 80 "1155665-"
xdotool key --delay 80 Return
xdotool type --delay 80 "4433221-"
touch "$work/marker"
# 2. Past the interval, the recovery file holds the whole phrase.
wait_for 15 written_since_marker || fail "no recovery file was written after the typing"
sleep 0.5

# 3. A second editor meanwhile offers nothing: the first one's file is locked.
start_editor
second=$editor_pid
window_of "Qanor简谱编辑器" >/dev/null || fail "the second editor's window did not show"
sleep 1
if xdotool search --onlyvisible --name "恢复文档" >/dev/null 2>&1; then
    fail "a second editor offered the running editor's recovery file"
fi
kill -KILL "$second"
wait "$second" 2>/dev/null || true

# 4. The crash.
kill -KILL "$first"
wait "$first" 2>/dev/null || true
[ -n "$(recovery_files)" ] || fail "the killed editor left no recovery file"
cmp -s "$work/song.qe" "$work/original.qe" || fail "the score's own file changed before saving"

# 5. Started again on the same score: the recovery is offered, Enter takes it, Ctrl+S saves
# it where it came from.
start_editor "$work/song.qe"
dialog=$(window_of "恢复文档") || fail "the recovery was not offered"
activate "$dialog"
xdotool key Return
main=$(window_of "Qanor简谱编辑器") || fail "the editor's window did not show"
activate "$main"
title=$(xdotool getwindowname "$main")
echo "window after recovery: $title"
xdotool key ctrl+s
wait_for 10 sh -c "! cmp -s '$work/song.qe' '$work/original.qe'" ||
    fail "Ctrl+S did not write the recovered score to its file"
wait_for 5 sh -c "[ -z \"\$(find '$recovery' -maxdepth 1 -type f \\( -name '*.json' -o -name '*.qe' \\))\" ]" ||
    fail "saving left the recovery file behind: $(recovery_files)"

# 6. A normal quit (文件 > 退出) asks nothing and leaves no recovery file.
xdotool key alt+f
sleep 0.5
xdotool key x
wait_for 10 sh -c "! kill -0 $editor_pid 2>/dev/null" || fail "the editor did not quit"
[ -z "$(find "$recovery" -maxdepth 1 -type f 2>/dev/null)" ] ||
    fail "a normal quit left files behind: $(find "$recovery" -maxdepth 1 -type f)"

# 7. The saved score against the same keys typed headless.
"$program" --type '1155665-\n4433221-' "$work/original.qe" -o "$work/expected.qe"
"$program" --info "$work/expected.qe" >"$work/expected.json"
"$program" --info "$work/song.qe" >"$work/recovered.json"
if ! diff -u "$work/expected.json" "$work/recovered.json" >"$work/records.diff"; then
    head -40 "$work/records.diff" >&2
    fail "the recovered and saved score differs from the keys typed through --type"
fi
echo "crash recovery: the recovered score was saved with the typed phrase"
