#!/usr/bin/env bash
# Installs what is missing, builds everything, performs the install step
# (creates the product key in the per-user settings store) and starts the
# viewer on the bundled sample. Extra arguments replace the sample file.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$root/build"

# The install step: the product key's existence is what the program checks
# before it stores a window placement.
"$root/build/bin/lumivane-reg" add 'HKCU\Software\QD\Lumivane' /f

if [[ -x "$root/build/bin/lumivane" ]]; then
  if (($# == 0)); then
    set -- "$root/samples/Sample.pas"
  fi
  exec "$root/build/bin/lumivane" "$@"
fi
echo "run: the viewer is not built yet; programs are in $root/build/bin"
