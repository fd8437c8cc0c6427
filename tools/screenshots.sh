#!/usr/bin/env bash
# Takes screenshots of the editor window on a virtual X screen (Xvfb, with the openbox window
# manager for title bars), driving it with xdotool: the two-page sample score in page mode and
# in scroll mode, the title and font dialogs, the print preview and the about box, a song typed
# into a new score with a title, a tie and a volta bracket, saved and opened again, and the
# score at twice the pixel density.
#
# usage: tools/screenshots.sh [OUTPUT_DIR]      (default build/screenshots)
# Needs a built build/qanoredit and the packages xvfb, openbox, xdotool and imagemagick.
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-build/screenshots}
mkdir -p "$out"
program=$PWD/build/qanoredit
[ -x "$program" ] || { echo "build/qanoredit is not built" >&2; exit 1; }

work=$(mktemp -d)
xvfb_pid=""
wm_pid=""
editor_pid=""
cleanup() {
    [ -n "$editor_pid" ] && kill "$editor_pid" 2>/dev/null || true
    [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# A display number nobody uses.
display=90
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do
    display=$((display + 1))
done
Xvfb ":$display" -screen 0 1280x960x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
export DISPLAY=":$display"
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
if command -v openbox >/dev/null; then
    openbox >"$work/openbox.log" 2>&1 &
    wm_pid=$!
    sleep 1
fi

# Settings of their own, so that the screenshots show the defaults.
export XDG_CONFIG_HOME=$work/config
export XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
export QE_AUDIO_DRIVER=${QE_AUDIO_DRIVER:-null}
chmod 700 "$XDG_RUNTIME_DIR"
cp resources/samples/jasmine.qe "$work/jasmine.qe"

window=""
X=0
Y=0
start_editor() {
    "$program" "$@" >>"$work/editor.log" 2>&1 &
    editor_pid=$!
    window=$(xdotool search --sync --onlyvisible --pid "$editor_pid" --name "Qanor简谱编辑器" | head -1)
    xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"
    sleep 1.5
    # Where the window's inside begins on the screen; points below are relative to it.
    eval "$(xdotool getwindowgeometry --shell "$window")"
}
stop_editor() {
    kill "$editor_pid" 2>/dev/null || true
    wait "$editor_pid" 2>/dev/null || true
    editor_pid=""
}
keys() {
    xdotool key --delay 120 "$@"
    sleep 0.8
}
shot() {
    import -window root "$out/$1.png"
    echo "$out/$1.png"
}
# The same in the score window, with the caret lit: Esc moves nothing but shows the caret at
# once, whatever its blink.
shot_score() {
    xdotool key Escape
    sleep 0.2
    shot "$1"
}
# The sample score, page mode, first page, the caret before the first note; then further
# down, where page 1 meets page 2.
start_editor "$work/jasmine.qe"
keys ctrl+Home
shot_score 01-page-mode
keys Next Next
shot_score 02-page-mode-page-2
# Scroll mode: 视图 > 滚动视图.
keys alt+v l
shot_score 03-scroll-mode
keys alt+v p
# Playing from the start: the note sounding is tinted (no sound card here: the null driver).
keys shift+F5
sleep 1.5
shot_score 09-playing
keys F7
# The title dialog, then the font dialog and its font chooser: 谱面 > 标题, 谱面 > 字体.
keys alt+s t
shot 04-title-dialog
keys Escape
keys alt+s f
shot 05-font-dialog
keys alt+s
shot 06-font-chooser
keys Escape
# The font chooser gone, the keyboard goes back to the font settings dialog.
xdotool search --onlyvisible --name "字体设置" windowactivate --sync 2>/dev/null || true
keys Escape
# The print preview: 文件 > 打印预览.
keys alt+f v
sleep 2
shot 07-print-preview
keys Escape
# The about box: 帮助 > 关于.
keys alt+h a
shot 08-about
keys Escape
stop_editor

# A new score: the title block, then a song typed from the keyboard, a tie over its third and
# fourth notes and a volta bracket over its third measure, all with the mouse and menus.
start_editor
keys alt+s t
keys ctrl+a
xdotool type --delay 60 "小星星"
# 1=D, 2/4: the lists after the seven texts.
keys Tab Tab Tab Tab Tab Tab Tab Tab Up Up Up Tab Up Up Tab
keys Return
# Two beats to the measure.
for measure in 11 55 66 5- 44 33 22 1- 55 44 33 2- 55 44 33 2-; do
    xdotool type --delay 60 "$measure"
    xdotool key Return
done
sleep 0.8
shot_score 09-typed
# The third and fourth notes (the second measure) selected with Shift and tied; the third
# measure selected and bracketed. A measure of two notes has three caret places.
keys ctrl+Home Right Right Right shift+Right shift+Right
keys ctrl+a
keys ctrl+Home
xdotool key --delay 40 Right Right Right Right Right Right shift+Right shift+Right
keys ctrl+j
shot 10-bracket-label
keys Return
shot_score 11-tie-and-bracket
# Saved under a name of its own (文件 > 保存 asks for one), then opened again.
keys ctrl+s
sleep 1
xdotool type --delay 40 "$work/小星星.qe"
keys Return
sleep 1
shot_score 12-saved
stop_editor
start_editor "$work/小星星.qe"
shot_score 13-reopened
stop_editor

# The working window: the key guide (F1); the sample's one measure that does not add up, reached
# through 谱面 > 检查小节, tinted, with its status text and the note-input toolbar; the right-click
# menu; the page zoomed out and centred.
start_editor "$work/jasmine.qe"
keys ctrl+Home
keys F1
shot 15-key-guide
keys Escape
xdotool windowactivate --sync "$window" 2>/dev/null || true
keys alt+s m
keys Return
xdotool windowactivate --sync "$window" 2>/dev/null || true
shot_score 16-measure-check
xdotool search --onlyvisible --name "检查小节" windowactivate --sync 2>/dev/null || true
keys Escape
xdotool windowactivate --sync "$window" 2>/dev/null || true
xdotool mousemove $((X + 400)) $((Y + 340)) click 3
sleep 0.5
shot 17-context-menu
keys Escape
keys ctrl+minus ctrl+minus ctrl+minus
shot_score 18-zoomed-centred
stop_editor

# The sample at twice the pixel density: lines, digits and icons must stay sharp.
QT_SCALE_FACTOR=2 start_editor "$work/jasmine.qe"
shot_score 14-double-density
stop_editor
