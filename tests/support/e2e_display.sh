# shellcheck shell=bash
# Sourced by the end-to-end scripts: the virtual X display they run on, a
# settings store of their own, and pixels read from screenshots.

# Runs the calling script again under a virtual X display of its own unless
# it already runs under one; inside, Qt takes the display, not offscreen.
# The X server picks a free display number itself and reports it once it
# accepts clients (-displayfd): two tests starting at the same moment cannot
# end up on one display, as they could when the number was guessed first.
#   run_on_virtual_display OUTDIR "$0" "$@"
run_on_virtual_display() {
  local out=$1
  shift
  if [[ ${LUMIVANE_E2E_INSIDE:-} != 1 ]]; then
    mkdir -p "$out"
    local number_file xvfb number="" status
    number_file=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp \
      3>"$number_file" 2>"$out/xvfb.log" &
    xvfb=$!
    for _ in $(seq 200); do
      number=$(head -n1 "$number_file")
      [[ -n $number ]] && break
      kill -0 "$xvfb" 2>/dev/null || break
      sleep 0.05
    done
    rm -f "$number_file"
    if [[ -z $number ]]; then
      echo "e2e: the virtual X server did not start (see $out/xvfb.log)"
      kill "$xvfb" 2>/dev/null || true
      exit 1
    fi
    set +e
    DISPLAY=:$number LUMIVANE_E2E_INSIDE=1 "$@"
    status=$?
    kill "$xvfb" 2>/dev/null
    wait "$xvfb" 2>/dev/null
    exit "$status"
  fi
  unset QT_QPA_PLATFORM
}

# An empty settings store in OUTDIR for the programs started from here.
use_fresh_store() { # OUTDIR
  export LUMIVANE_REGISTRY=$1/user.reg
  rm -f "$LUMIVANE_REGISTRY"
}

# "R G B" of the pixel at X Y of the screenshot IMAGE.
pixel_in() { # IMAGE X Y
  convert "$1" -crop "1x1+$2+$3" -depth 8 txt:- |
    sed -n 's/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3/p' | head -n1
}
