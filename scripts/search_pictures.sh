#!/usr/bin/env bash
# Screenshots of the search field for the README: everyday names, a typo of the same sound and
# words that also name parts, typed into the field of the program in the build's run folder
# under Xvfb. Writes docs/screenshots/search-<name>.png, the field and its list at the top right.
source "$(dirname "$0")/common.sh"

if [ "${1:-}" != "--inside" ]; then
  kiv_install_packages openbox trayer xdotool imagemagick
  exec xvfb-run -a -s "-screen 0 1280x800x24" bash "$0" --inside
fi

SCRATCH="$(mktemp -d)"
trap 'kill "$PROGRAM" 2>/dev/null; rm -rf "$SCRATCH"' EXIT
export ODBCINI="$SCRATCH/odbc.ini" ODBCSYSINI="$SCRATCH/odbcsys"
export XDG_CONFIG_HOME="$SCRATCH/config" XDG_DATA_HOME="$SCRATCH/data" XDG_RUNTIME_DIR="$SCRATCH/run"
mkdir -p "$ODBCSYSINI" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
OUT="$KIV_ROOT/docs/screenshots"

openbox >/dev/null 2>&1 &
sleep 1
# A tray for the program's icon, as a desktop has one.
trayer --edge bottom --align right --widthtype pixel --width 48 --heighttype pixel --height 24 >/dev/null 2>&1 &
sleep 1
"$KIV_BUILD/run/kivtree" &
PROGRAM=$!
timeout 20 xdotool search --sync --onlyvisible --name '^Kivtree V2.2$' >/dev/null || exit 1
WINDOW="$(xdotool search --onlyvisible --name '^Kivtree V2.2$' | head -1)"
xdotool windowsize "$WINDOW" 1280 600 windowmove "$WINDOW" 0 0
sleep 10 # the trees, then the index

for pair in "laptop-cn:笔记本电脑" "bluetooth:蓝牙耳机" "powerbank:充电宝" "typo:化装品" "phone:手机" "coffee:咖啡"; do
  name="${pair%%:*}" text="${pair#*:}"
  xdotool key --clearmodifiers ctrl+f
  sleep 0.5
  xdotool type --delay 250 "$text"
  sleep 4
  import -window root -crop 660x330+620+0 +repage "$OUT/search-$name.png"
  xdotool key Escape
  sleep 0.5
done
