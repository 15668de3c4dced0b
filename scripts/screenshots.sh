#!/usr/bin/env bash
# Pictures of the program for the README, the manual and the AppStream file:
# starts tunebase under a private Xvfb display and HOME on a collection made
# by the benchmark generator (never the user's own data), opens windows by
# their menu keys and photographs each one into docs/screenshots/.
#   scripts/screenshots.sh BUILD_DIR
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
out=$(cd "$(dirname "$0")/.." && pwd)/docs/screenshots
app=$build/src/app/tunebase
for tool in Xvfb xdotool import; do
    command -v $tool >/dev/null || { echo "screenshots: $tool is missing" >&2; exit 1; }
done

home=$(mktemp -d)
xvfb=; pid=
trap '[ -n "$pid" ] && kill $pid 2>/dev/null; [ -n "$xvfb" ] && kill $xvfb 2>/dev/null; rm -rf "$home"' EXIT
export HOME=$home XDG_CONFIG_HOME=$home/.config XDG_DATA_HOME=$home/.local/share \
       XDG_CACHE_HOME=$home/.cache XDG_RUNTIME_DIR=$home/run LANG=C.UTF-8
mkdir -p "$home/run" "$home/Music"; chmod 700 "$home/run"

# A collection of generated tracks, and a folder of small real MP3 files for
# the explorer and the add window.
"$build/bench/bench_collectionfile" --write "$home/Music.tbx" --tracks 3000 >/dev/null
TUNEBASE_BENCH_TREE=$home/Music/Generated "$build/bench/bench_scan" 400 >/dev/null

display=:$((150 + RANDOM % 50))
Xvfb $display -screen 0 1280x800x24 >/dev/null 2>&1 & xvfb=$!
export DISPLAY=$display
sleep 1
"$app" "$home/Music.tbx" >"$home/log" 2>&1 & pid=$!

window_named() {  # waits up to 10 s for a visible window whose title matches $1
    local id
    for _ in $(seq 40); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -1) && [ -n "$id" ] && { echo "$id"; return; }
        sleep 0.25
    done
    return 1
}
keys() { for k in "$@"; do case $k in wait:*) sleep "${k#wait:}" ;; *) xdotool key --clearmodifiers "$k"; sleep 0.4 ;; esac; done; }
shot() {  # shot NAME WINDOW-ID: the window with its frame, as PNG
    sleep 0.8
    import -window "$2" "$out/$1.png"
    echo "$out/$1.png"
}

main=$(window_named 'Tunebase') || { echo "no main window"; cat "$home/log"; exit 1; }
xdotool windowsize "$main" 1200 760 windowmove "$main" 20 20
sleep 1
# A fresh HOME is a first run: the program offers to start a collection.
keys Escape
# Down the tree to an album, so the list shows its tracks.
xdotool mousemove --window "$main" 80 121 click 1
sleep 0.5
keys Right Down Right Down
shot main-window "$main"

# Each further picture: the keys that open a window, its title, its name.
step() {
    local name=$1 title=$2; shift 2
    # No window manager gives the focus back: a click on the list's first
    # row does, and selects a track for the windows that edit one.
    xdotool mousemove --window "$main" 600 86 click 1
    sleep 0.3
    keys "$@"
    local id
    if id=$(window_named "$title"); then
        shot "$name" "$id"
        keys Escape
    else
        echo "screenshots: no window '$title' for $name" >&2
        keys Escape Escape
    fi
}
step track-window 'Edit Track' alt+e e
step statistics 'Statistics' alt+f t
step print-preview 'Preview' alt+f p e wait:2 alt+v wait:2
# The preview closes to the print window; without a window manager that
# window does not get the keyboard back by itself.
for id in $(xdotool search --onlyvisible --name 'Print List' 2>/dev/null); do
    xdotool windowfocus "$id"; sleep 0.3; keys Escape
done

# The MP3 explorer below the collection and the playlist: down to the
# first album of the generated folder, whose files are then offered to the
# collection through the add window (Edit > Add to Collection > Current
# Folder).
xdotool mousemove --window "$main" 100 67 click 1
sleep 0.5
keys Left Down Down Right Down Down Right Down wait:1 Right Down wait:1 Right Down wait:2
shot mp3-explorer "$main"
step add-window 'Add MP3 Files' alt+e Right Return wait:2
