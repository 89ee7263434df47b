#!/bin/sh
# Runs every benchmark and prints a table of figures and ratios, then the download at a
# 20 ms round trip through bench/delayrelay.py.
# Usage: bench/run.sh [--quick]
#   --quick  fewer runs and a short timing benchmark (about a minute in all)
# The test server is nginx on 127.0.0.1, started here with its own configuration.
set -eu

cd "$(dirname "$0")/.."
QUICK="${1:-}"
BUILD_DIR=build-bench

sh tools/install-deps.sh cmake make g++ qtbase5-dev qtbase5-dev-tools qttools5-dev qttools5-dev-tools nginx curl xvfb python3

cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Release -DQUELVAN_BUILD_TESTS=OFF \
    -DQUELVAN_BUILD_BENCH=ON >/dev/null
cmake --build "$BUILD_DIR" --parallel "$(nproc)" --target quelvan-bench quelvan-maketest \
    quelvan-bench-results quelvan-results >/dev/null

# 7 documents and 101 pictures of about 30 KB; 100 series of 2 slides.
WORK="$(pwd)/$BUILD_DIR/bench-work"
SITE="$WORK/site"
rm -rf "$WORK"
mkdir -p "$WORK/tmp"
"$BUILD_DIR/tools/maketest/quelvan-maketest" --series 100 --slides 2 --slide-time 1 --pause 1 \
    --first 0,1,2,3,4,5,6,7,8,9 --second a,b,c,d,e,f,g,h,i,j --picture-size 800 --seed 7 \
    "$SITE" >/dev/null
chmod -R a+rX "$WORK"

PORT="$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')"
cat >"$WORK/nginx.conf" <<CONF
daemon off;
master_process off;
worker_processes 1;
pid $WORK/nginx.pid;
error_log $WORK/error.log;
events { worker_connections 64; }
http {
    log_format conn '\$connection \$request_uri';
    access_log $WORK/access.log conn;
    client_body_temp_path $WORK/tmp;
    keepalive_timeout 65;
    keepalive_requests 100000;
    server {
        listen 127.0.0.1:$PORT;
        root $SITE;
        location / { default_type application/octet-stream; }
    }
}
CONF
nginx -c "$WORK/nginx.conf" -p "$WORK" &
NGINX=$!
XVFB=""
RELAY=""
trap 'kill "$NGINX" $XVFB 2>/dev/null || true' EXIT INT TERM
sleep 0.5
URL="http://127.0.0.1:$PORT"

export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), Qt platform $QT_QPA_PLATFORM"
echo "server: nginx $(nginx -v 2>&1 | cut -d/ -f2) on $URL, $(ls "$SITE/quelvan/img" | wc -l) pictures, $(du -sk "$SITE/quelvan/img" | cut -f1) KiB"

# Connection reuse: one download as the server sees it.
before=$(wc -l <"$WORK/access.log")
"$BUILD_DIR/bench/quelvan-bench" download-once --url "$URL" --site "$SITE" >/dev/null
tail -n +"$((before + 1))" "$WORK/access.log" >"$WORK/once.log"
echo "one download: $(wc -l <"$WORK/once.log") requests on $(cut -d' ' -f1 "$WORK/once.log" | sort -u | wc -l) connection(s)"

if [ "$QUICK" = "--quick" ]; then
    "$BUILD_DIR/bench/quelvan-bench" all --url "$URL" --site "$SITE" --runs 3 --quick
else
    "$BUILD_DIR/bench/quelvan-bench" all --url "$URL" --site "$SITE" --runs 9
fi

# quelvan-results over a study of 10,000 runs of 40 trials (1,000 with --quick).
"$BUILD_DIR/bench/quelvan-bench-results" "$BUILD_DIR/tools/results/quelvan-results" \
    "$([ "$QUICK" = "--quick" ] && echo 1000 || echo 10000)" 40 | tail -n 1

# Latency: the same server behind a relay that holds every chunk 10 ms in each direction.
RELAY_PORT="$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')"
python3 bench/delayrelay.py "$RELAY_PORT" "$PORT" 10 >"$WORK/relay.log" 2>&1 &
RELAY=$!
trap 'kill "$NGINX" "$RELAY" $XVFB 2>/dev/null || true' EXIT INT TERM
for _ in 1 2 3 4 5 6 7 8 9 10; do grep -q ready "$WORK/relay.log" && break; sleep 0.3; done
before=$(wc -l <"$WORK/access.log")
"$BUILD_DIR/bench/quelvan-bench" latency --url "http://127.0.0.1:$RELAY_PORT" --site "$SITE" \
    --rtt 20 --runs "$([ "$QUICK" = "--quick" ] && echo 3 || echo 7)"
echo "latency runs: $(tail -n +"$((before + 1))" "$WORK/access.log" | cut -d' ' -f1 | sort -u | wc -l) connection(s) for $(($(wc -l <"$WORK/access.log") - before)) requests"
kill "$RELAY" 2>/dev/null || true

# A home link: 100 ms round trip, the download with 1, 4 and 6 connections beside curl
# fetching the same files with as many at once.
RELAY_PORT="$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')"
python3 bench/delayrelay.py "$RELAY_PORT" "$PORT" 50 >"$WORK/relay100.log" 2>&1 &
RELAY=$!
for _ in 1 2 3 4 5 6 7 8 9 10; do grep -q ready "$WORK/relay100.log" && break; sleep 0.3; done
"$BUILD_DIR/bench/quelvan-bench" parallel --url "http://127.0.0.1:$RELAY_PORT" --site "$SITE" \
    --rtt 100 --runs "$([ "$QUICK" = "--quick" ] && echo 2 || echo 5)"
kill "$RELAY" 2>/dev/null || true

# Start-up once more under a real X server, as a person starts it (Xvfb, no window manager).
rm -f "$WORK/display"
Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x1024x24 3>"$WORK/display" 2>/dev/null &
XVFB=$!
for _ in 1 2 3 4 5 6 7 8 9 10; do [ -s "$WORK/display" ] && break; sleep 0.3; done
if [ -s "$WORK/display" ]; then
    DISPLAY=":$(cat "$WORK/display")" QT_QPA_PLATFORM=xcb \
        "$BUILD_DIR/bench/quelvan-bench" startup --url "$URL" --site "$SITE" $QUICK
else
    echo "Xvfb did not start; start-up under X skipped"
fi
