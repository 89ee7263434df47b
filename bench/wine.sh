#!/bin/sh
# The download and slide-switch benchmarks of the Windows build under Wine, beside the same
# benchmarks of the Linux build, in one run against one nginx on 127.0.0.1. Wine figures,
# not Windows ones. curl has no Windows program here: its row reads 0 ms under Wine.
# Usage: bench/wine.sh [--quick]
set -eu

cd "$(dirname "$0")/.."
RUNS=9
[ "${1:-}" = "--quick" ] && RUNS=3
. tools/windows/common.sh
sh tools/install-deps.sh cmake make g++ qtbase5-dev qtbase5-dev-tools qttools5-dev qttools5-dev-tools nginx curl python3
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DQUELVAN_BUILD_TESTS=OFF \
    -DQUELVAN_BUILD_BENCH=ON >/dev/null
cmake --build build-bench --parallel "$(nproc)" --target quelvan-bench quelvan-maketest >/dev/null
cmake -S . -B build-windows-bench -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64.cmake" \
    -DQUELVAN_QT_MINGW="$QT" -DCMAKE_BUILD_TYPE=Release -DQUELVAN_BUILD_TESTS=OFF \
    -DQUELVAN_BUILD_BENCH=ON >/dev/null
cmake --build build-windows-bench --parallel "$(nproc)" --target quelvan-bench >/dev/null

# The site of bench/run.sh: 7 documents and 101 pictures of about 30 KB.
WORK="$(mktemp -d /tmp/quelvan-wine-bench-XXXXXX)"
SITE="$WORK/site"
mkdir -p "$WORK/tmp"
build-bench/tools/maketest/quelvan-maketest --series 100 --slides 2 --slide-time 1 --pause 1 \
    --first 0,1,2,3,4,5,6,7,8,9 --second a,b,c,d,e,f,g,h,i,j --picture-size 800 --seed 7 \
    "$SITE" >/dev/null
chmod -R a+rX "$WORK"
PORT="$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')"
cat >"$WORK/nginx.conf" <<CONF
daemon off; master_process off; worker_processes 1; pid $WORK/nginx.pid;
error_log $WORK/error.log; events { worker_connections 64; }
http { access_log off; client_body_temp_path $WORK/tmp; keepalive_requests 100000;
  server { listen 127.0.0.1:$PORT; root $SITE; location / { default_type application/octet-stream; } } }
CONF
nginx -c "$WORK/nginx.conf" -p "$WORK" &
NGINX=$!
trap 'kill "$NGINX" 2>/dev/null; wine_done; rm -rf "$WORK"' EXIT INT TERM
wine_offscreen_prefix "$WORK"
sleep 0.5

for mode in download slides; do
    echo "== $mode, Linux"
    QT_QPA_PLATFORM=offscreen build-bench/bench/quelvan-bench "$mode" --url "http://127.0.0.1:$PORT" \
        --site "$SITE" --runs "$RUNS"
    echo "== $mode, Wine"
    wine build-windows-bench/bench/quelvan-bench.exe "$mode" --url "http://127.0.0.1:$PORT" \
        --site "Z:$SITE" --runs "$RUNS" 2>&1 | tr -d '\r'
done
