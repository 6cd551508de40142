#!/bin/bash
# Takes the guide's pictures from the running programmer on a virtual screen:
#   xvfb-run -a -s "-screen 0 1024x768x24" docs/images/screenshots.sh build/bin
# Needs openbox, xdotool and ImageMagick (apt-get install openbox xdotool imagemagick).
# Pictures are cropped to the main window and written beside this script.
set -eu
bin=$(cd "$1" && pwd) out=$(cd "$(dirname "$0")" && pwd)
work=/tmp/kq-guide   # a short folder: the window titles show it
rm -rf "$work" && mkdir "$work" && cd "$work"
export PATH=$bin:$PATH
kqtool new -o fleet.KQ
kqtool fill fleet.KQ --from 0 --to 11 --start 146.0125 --step 12.5
kqtool fill fleet.KQ --from 12 --to 13 --start 155.5 --step 25

openbox >/dev/null 2>&1 &
sleep 1   # a window mapped while the window manager starts may never be shown
read -r port < <(exec kqradio)
radio=$!
trap 'kill "$radio" 2>/dev/null || true' EXIT
kqprogrammer --port "$port" fleet.KQ >/dev/null 2>&1 &
for _ in $(seq 150); do
    main=$(xdotool search --onlyvisible --name "^KQ Serial PC Programmer$" 2>/dev/null | tail -n1)
    [ -n "$main" ] && break
    sleep 0.2
done
xdotool windowmove --sync "$main" 0 0 windowsize --sync "$main" 560 470
sleep 1
# The main window and its frame, as it stands on the screen.
shot() { sleep "${2:-1.5}"; import -window root -crop 562x495+0+0 +repage -strip -colors 64 "PNG8:$out/$1.png"; }

shot first-session
xdotool mousemove 100 330 click --repeat 2 --delay 80 1   # channel 12's row
shot channel-edit
xdotool key Escape
xdotool mousemove 175 28 click 1                           # DEVICE
shot device-menu
xdotool mousemove 210 71 click 1                           # DOWNLOAD
shot download
for _ in $(seq 100); do xdotool search --name "^Download$" >/dev/null 2>&1 || break; sleep 0.2; done
shot downloaded 0.3
