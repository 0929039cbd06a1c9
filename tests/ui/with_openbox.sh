#!/bin/sh
# Runs a command on this display under a window manager, as on a desktop: windows get a frame
# and a place from it.
openbox --sm-disable >/dev/null 2>&1 &
wm=$!
sleep 1
"$@"
status=$?
kill "$wm" 2>/dev/null
exit "$status"
