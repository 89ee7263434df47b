#!/bin/sh
# Installs what is missing, builds quelvan, generates the sample
# test, serves it on 127.0.0.1 with Python's http.server and starts quelvan. The server
# stops when the window closes.
# Usage: tools/run-demo.sh        (port from QUELVAN_DEMO_PORT, default 8080)
set -eu

cd "$(dirname "$0")/.."
PORT="${QUELVAN_DEMO_PORT:-8080}"
BUILD_DIR=build-demo

sh tools/install-deps.sh cmake make g++ qtbase5-dev qtbase5-dev-tools qttools5-dev qttools5-dev-tools python3

if ! python3 - "$PORT" <<'PY'
import socket, sys
s = socket.socket()
# As the server will: connections of an earlier demo in TIME_WAIT do not make the port taken.
s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
try:
    s.bind(("127.0.0.1", int(sys.argv[1])))
except OSError:
    sys.exit(1)
PY
then
    echo "run-demo: port $PORT on 127.0.0.1 is taken; stop what uses it or choose another" \
         "port with QUELVAN_DEMO_PORT=8081 $0" >&2
    exit 1
fi

cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUELVAN_BUILD_TESTS=OFF
cmake --build "$BUILD_DIR" --parallel "$(nproc)"

SITE="$BUILD_DIR/sample-site"
rm -rf "$SITE"
"$BUILD_DIR/tools/maketest/quelvan-maketest" --series 3 --slides 10 --slide-time 5 --pause 10 \
    --seed 1 "$SITE"
"$BUILD_DIR/tools/maketest/quelvan-maketest" --check "$SITE"

python3 -m http.server --bind 127.0.0.1 --directory "$SITE" "$PORT" >"$BUILD_DIR/server.log" 2>&1 &
SERVER=$!
trap 'kill "$SERVER" 2>/dev/null || true' EXIT INT TERM
sleep 0.5
if ! kill -0 "$SERVER" 2>/dev/null; then
    echo "run-demo: the test server did not start; see $BUILD_DIR/server.log" >&2
    exit 1
fi
echo "run-demo: serving $SITE at http://127.0.0.1:$PORT"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "run-demo: no display found (DISPLAY is not set); run it in a desktop session" >&2
    exit 1
fi

# quelvan stores the pictures in img/ below its working folder.
mkdir -p "$BUILD_DIR/run"
cd "$BUILD_DIR/run"
../src/quelvan --server "http://127.0.0.1:$PORT"
