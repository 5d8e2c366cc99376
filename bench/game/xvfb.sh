# Sourced by the game benchmarks: starts a private Xvfb display on a number the
# server picks itself (-displayfd: never one that is taken), points DISPLAY at
# it, makes a scratch folder $work, and cleans both up on exit.
work="$(mktemp -d)"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true; rm -rf "$work"' EXIT
# The server writes its display number once it is ready for clients.
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
[ -s "$work/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n 1 "$work/display")"
