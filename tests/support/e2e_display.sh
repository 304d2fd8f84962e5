# shellcheck shell=bash
# Sourced by the end-to-end scripts: the virtual X display they run on, a
# settings store of their own, and pixels read from screenshots.

# Runs the calling script again under a virtual X display of its own unless
# it already runs under one; inside, Qt takes the display, not offscreen.
#   run_on_virtual_display OUTDIR "$0" "$@"
run_on_virtual_display() {
  local out=$1
  shift
  if [[ ${LUMIVANE_E2E_INSIDE:-} != 1 ]]; then
    mkdir -p "$out"
    export LUMIVANE_E2E_INSIDE=1
    exec xvfb-run -a -s "-screen 0 1024x768x24" "$@"
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
