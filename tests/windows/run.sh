#!/usr/bin/env bash
# Runs the tests under Wine against any tilvane.exe, outside ctest: boots a throw-away prefix in a new
# directory, runs every scene there (screenshots and Wine's output stay in that directory), then ends the
# prefix's wineserver. The exit status is that of the first failing scene, or 0.
#
#   tests/windows/run.sh TILVANE.EXE [SCENE...]   (board menu-max about-exit command-line; all by default)
set -uo pipefail

[[ $# -ge 1 && -f "$1" ]] || { echo "usage: tests/windows/run.sh TILVANE.EXE [SCENE...]" >&2; exit 2; }
here=$(cd "$(dirname "$0")" && pwd)
exe=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
shift
scenes=("$@")
[[ ${#scenes[@]} -gt 0 ]] || scenes=(board menu-max about-exit command-line)

out=$(mktemp -d "${TMPDIR:-/tmp}/tilvane-wine.XXXXXX")
export PYTHONDONTWRITEBYTECODE=1 TILVANE_WINE_PREFIX="$out/wine-prefix"
# Stopping removes the prefix itself (some 700 MB); the screenshots and logs stay.
trap 'python3 "$here/prefix.py" stop "$TILVANE_WINE_PREFIX" >/dev/null' EXIT
python3 "$here/prefix.py" boot "$TILVANE_WINE_PREFIX" || exit 3

status=0
for scene in "${scenes[@]}"; do
  harness=(--wm openbox)
  [[ "$scene" == board ]] && harness=()
  echo "== $scene"
  (cd "$out" && bash "$here/../e2e/harness.sh" "${harness[@]}" -- python3 "$here/test_wine.py" "$exe" "$scene")
  result=$?
  [[ $status -ne 0 || $result -eq 0 ]] || status=$result
done
echo "screenshots and logs: $out"
exit "$status"
