# shellcheck shell=bash
# shellcheck disable=SC2154  # out, window and pid are set by the caller
# Sourced by the end-to-end scripts that load a large file into the running
# viewer: the file, the window's pixels, the wait for the file to show with
# the progress painted meanwhile, and the end with Escape. The caller has
# sourced e2e_desktop.sh, defines fail MESSAGE and sets out, window and pid.

# A large Pascal file: a comment first (navy once shown), then short lines.
write_big_source() { # FILE MEGABYTES
  {
    printf '{ a comment first }\n'
    head -c $(($2 * 1024 * 1024)) < <(yes "x := 'abc' + 12; { note } if a then b := c;")
  } >"$1"
}

# The window's part of the screen, into $out/window.png.
shoot() {
  # shellcheck disable=SC2034  # SCREEN: set by the eval, not used
  local X Y WIDTH HEIGHT SCREEN
  eval "$(xdotool getwindowgeometry --shell "$window")"
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out/window.png" 2>/dev/null
}

comment_colour="rgb(0,0,128)"    # navy
progress_colour="rgb(48,140,198)" # the progress bar's chunks

# Pixels of COLOUR in the view (below the caption and the toolbar, above the
# scroll bar and the status bar) or in the status bar's right half, of the
# last screenshot.
pixels_in() { # view|status COLOUR
  local crop
  case $1 in
    view) crop='%[fx:w-40]x%[fx:h-110]+8+56' ;;
    status) crop='%[fx:w/2]x16+%[fx:w/2]+%[fx:h-18]' ;;
  esac
  convert "$out/window.png" -crop "$(identify -format "$crop" "$out/window.png")" +repage \
    -fuzz 12% -fill black +opaque "$2" -fill white -opaque "$2" \
    -format "%[fx:round(mean*w*h)]" info:
}

# Waits for the coloured file in the view, noting whether the progress was
# painted before it; fails otherwise. Sets took (ms since SINCE, in ns).
await_file_with_progress() { # SINCE
  local painted=0 shown=0
  for _ in $(seq 400); do
    shoot || continue
    if (($(pixels_in view "$comment_colour") > 20)); then
      shown=1
      break
    fi
    (($(pixels_in status "$progress_colour") > 20)) && painted=1
    sleep 0.1
  done
  took=$((($(date +%s%N) - $1) / 1000000))
  ((shown)) || fail "the file was not shown after ${took} ms"
  ((painted)) || fail "no progress was painted while the file loaded"
}

# Escape ends the program, with status 0.
end_with_escape() {
  xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
  xdotool key Escape
  for _ in $(seq 50); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$pid" 2>/dev/null && fail "the program did not end after Escape"
  wait "$pid" || fail "the program ended with status $?"
}
