#!/usr/bin/env bash
# Measures the transfer server as a user runs it (`reelhaven --transfer` on a home folder) against
# nginx on loopback, side by side in one run:
#   1. download of a large file (both: sendfile)
#   2. upload of the same file as the same multipart body made by curl -F (ours: POST /upload,
#      parsed and stored; nginx: PUT, the body written to disk as it is with
#      client_body_in_file_only on), each round to a fresh name for both, with the disk synced
#      before each round so no round pays for the writeback of the one before, and both servers
#      idle before each; also each server's CPU time per uploaded GiB (ours: the process; nginx:
#      its workers), and ours' until it is idle again (its library following the new file)
#   3. GET /list of a folder of 10,000 entries (nginx: autoindex, autoindex_format json), with 16
#      connections from one address (the per-client limit) and one request at a time
#   4. GET /list of 100,000 entries: time of one request, answer size, and the server's memory per
#      request in flight (peak resident size over 4 concurrent requests, less the idle size, / 4)
#   5. wrk, 16 connections, on /list of the 10,000 and on a 1 MiB download: errors (a 503 is one),
#      and the server's memory and open descriptors before and after.
# Made fair: the two peers run in interleaved rounds (who goes first alternates, so both meet the
# same background load), figures are medians, and the load average is recorded around every part.
# nginx runs with its default buffers (an 8 KiB body buffer on x86-64: bodies go to a temporary
# file as ours do), its access log off and reuseport on its listening socket; both listings are
# sorted by name.
#
# Usage: bench/transfer/run.sh [BUILD_DIR [OUT_DIR]]
#   BUILD_DIR (or $BENCH_BUILD): the shared Release build of bench/lib.sh (default build/bench)
#   OUT_DIR (or $BENCH_OUT): where transfer.txt and the work files go (default BUILD_DIR/out)
# BENCH_MB sets the file size (default 1024), ROUNDS the rounds per comparison (default 5),
# WRK_SECONDS the load test's length (default 10), ONLY=upload the upload alone. Each round of the
# download and the upload is listed with the load average before it. Needs nginx, wrk and curl. Not part of tools/test.
set -euo pipefail
if [[ $# -ge 1 ]]; then export BENCH_BUILD=$1; fi
if [[ $# -ge 2 ]]; then export BENCH_OUT=$2; fi
# shellcheck source=bench/lib.sh
source "$(dirname "$0")/../lib.sh"
work="$out/transfer-work"
duration=${WRK_SECONDS:-10}
megabytes=${BENCH_MB:-1024}
rounds=${ROUNDS:-5}
report="$out/transfer.txt"

for tool in nginx wrk curl; do
  command -v "$tool" >/dev/null || { echo "bench/transfer: $tool is missing (apt-get install $tool)" >&2; exit 1; }
done

bench_build reelhaven

rm -rf "$work"
# The app's home folder: the server serves its Documents and stages uploads in its tmp, on the
# same filesystem as nginx's folders.
docs="$work/home/Documents"
mkdir -p "$docs/many" "$docs/huge" "$work/nginx/root/many" "$work/nginx/logs" "$work/nginx/tmp" "$work/nginx/upload"
echo "preparing files" >&2
head -c $((megabytes * 1048576)) /dev/urandom >"$work/big.bin"
head -c 1048576 /dev/urandom >"$docs/one.bin"
ln "$work/big.bin" "$docs/big.bin"
ln "$work/big.bin" "$work/nginx/root/big.bin"
cp "$docs/one.bin" "$work/nginx/root/one.bin"
python3 - "$work" "$docs" <<'PY'
import os, sys
work, docs = sys.argv[1], sys.argv[2]
for folder, count in ((f"{docs}/many", 10000), (f"{work}/nginx/root/many", 10000), (f"{docs}/huge", 100000)):
    for i in range(count):
        with open(os.path.join(folder, f"Episode {i}.mkv"), "wb") as f:
            f.write(b"x" * (i % 100))
PY
cat /dev/null "$work/big.bin" >/dev/null  # warm the page cache

cat >"$work/nginx/nginx.conf" <<CONF
worker_processes auto;
error_log $work/nginx/logs/error.log;
pid $work/nginx/nginx.pid;
events { worker_connections 4096; }
http {
  access_log off;
  sendfile on;
  tcp_nopush on;
  client_body_temp_path $work/nginx/tmp;
  client_max_body_size 4g;
  proxy_temp_path $work/nginx/tmp;
  fastcgi_temp_path $work/nginx/tmp;
  uwsgi_temp_path $work/nginx/tmp;
  scgi_temp_path $work/nginx/tmp;
  server {
    listen 127.0.0.1:18080 reuseport;
    root $work/nginx/root;
    location /many/ { autoindex on; autoindex_format json; }
    location /upload/ {
      root $work/nginx;
      client_body_in_file_only on;
      dav_methods PUT;
      create_full_put_path on;
    }
  }
}
CONF
nginx -p "$work/nginx" -c "$work/nginx/nginx.conf" -g 'daemon off;' &
nginx_pid=$!
# The app switches the server on as its user would, prints the address and then what the library
# screen shows: into a file, so it never blocks. The server keeps its default limit of 16
# connections per client address. Its input stays open (a fifo) as a terminal's would.
mkfifo "$work/stdin"
"$build/src/app/reelhaven" --home "$work/home" --transfer --port 0 <"$work/stdin" >"$work/server.out" 2>/dev/null &
server_pid=$!
exec 3>"$work/stdin"
cleanup() {
  kill "$nginx_pid" 2>/dev/null || true
  kill "$server_pid" 2>/dev/null || true
}
trap cleanup EXIT
# Waits up to 180 s for a command to succeed: a server that never comes up ends the benchmark.
# (The app's first start on a fresh home of 110,000 files took over 30 s on a loaded machine.)
wait_for() {
  local what=$1
  shift
  for _ in $(seq 1800); do
    "$@" && return 0
    sleep 0.1
  done
  echo "bench/transfer: $what did not start" >&2
  exit 1
}
started=$(date +%s.%N)
wait_for "our server" grep -qs '(port [0-9]*)' "$work/server.out"
started=$(python3 -c "print(f'{$(date +%s.%N) - $started:.1f}')")
port=$(grep -o -m1 '(port [0-9]*)' "$work/server.out" | tr -dc '0-9')
wait_for nginx curl -s -o /dev/null "http://127.0.0.1:18080/one.bin"
ours="http://127.0.0.1:$port"
theirs="http://127.0.0.1:18080"

load() { echo "load $(cut -d' ' -f1-3 /proc/loadavg)"; }
# Runs `ours` and `nginx` in $rounds interleaved rounds (who goes first alternates, so both meet
# the same background load) and prints the median of each: "ours nginx". The argument is a shell
# function that runs one measurement for "ours" or "nginx" in round N and prints a number.
# Each round's figures, with the load average before it, go to $work/rounds-<function>.
compare() {
  local run=$1 a=() b=() before
  rm -f "$work/rounds-$run"
  for ((round = 1; round <= rounds; round++)); do
    before=$(load)
    if ((round % 2)); then
      a+=("$($run ours "$round")")
      b+=("$($run nginx "$round")")
    else
      b+=("$($run nginx "$round")")
      a+=("$($run ours "$round")")
    fi
    echo "  round $round, $before: ours ${a[-1]}, nginx ${b[-1]}" >>"$work/rounds-$run"
  done
  python3 - "${a[@]}" "${b[@]}" <<'PY'
import statistics, sys
values = [float(v) for v in sys.argv[1:]]
half = len(values) // 2
print(f"{statistics.median(values[:half]):.3f} {statistics.median(values[half:]):.3f}")
PY
}
megabytesPerSecond() { python3 -c "print(f'{$1 / 1e6:.0f}')"; }
# CPU seconds (user + system) used so far by the processes given.
cpuSeconds() {
  local ticks=0
  for pid in "$@"; do
    read -r -a fields <"/proc/$pid/stat"
    ticks=$((ticks + fields[13] + fields[14]))
  done
  python3 -c "print($ticks / $(getconf CLK_TCK))"
}
nginxWorkers() { pgrep -P "$nginx_pid" | tr '\n' ' '; }
# Waits (up to 60 s) until the processes given use no CPU for a second: what a round leaves running
# (our app's library following the file just uploaded, 1.6-2.3 s of CPU after 1 GiB) must not
# count in the next round, as it did when ours ran twice in a row.
settle() {
  local before after
  for _ in $(seq 60); do
    before=$(cpuSeconds "$@")
    sleep 1
    after=$(cpuSeconds "$@")
    python3 -c "import sys; sys.exit(0 if $after - $before < 0.02 else 1)" && return
  done
}
download() {
  if [[ $1 == ours ]]; then
    curl -s -o /dev/null -w '%{speed_download}' "$ours/download?path=big.bin"
  else
    curl -s -o /dev/null -w '%{speed_download}' "$theirs/big.bin"
  fi
}
# Each round writes a new name for both; the file is removed after curl has reported its speed.
# The disk is synced first, so the writeback of the round before (1 GiB of dirty pages) does not
# spill into this one. Prints the speed and records the server's CPU seconds per GiB in
# $work/cpu-<peer>.
upload() {
  local pids before speed after
  sync
  # shellcheck disable=SC2046
  settle "$server_pid" $(nginxWorkers)
  if [[ $1 == ours ]]; then pids=$server_pid; else pids=$(nginxWorkers); fi
  # shellcheck disable=SC2086
  before=$(cpuSeconds $pids)
  if [[ $1 == ours ]]; then
    speed=$(curl -s -o /dev/null -w '%{speed_upload}' -F "files[]=@$work/big.bin;filename=up-$2.bin" -F path=/ \
      "$ours/upload")
    rm -f "$docs/up-$2"*.bin
  else
    speed=$(curl -s -o /dev/null -w '%{speed_upload}' -X PUT -F "files[]=@$work/big.bin;filename=up-$2.bin" -F path=/ \
      "$theirs/upload/up-$2.bin")
    rm -f "$work/nginx/upload/up-$2.bin"
  fi
  # shellcheck disable=SC2086
  after=$(cpuSeconds $pids)
  python3 -c "print(($after - $before) * 1024 / $megabytes)" >>"$work/cpu-$1"
  if [[ $1 == ours ]]; then
    # The whole app's cost of the upload: until it is idle again, its library's work included.
    settle "$server_pid"
    python3 -c "print(($(cpuSeconds "$server_pid") - $before) * 1024 / $megabytes)" >>"$work/cpu-ours-whole"
  fi
  echo "$speed"
}
listingRate() {
  local url=$ours/list?path=/many
  [[ $1 == nginx ]] && url=$theirs/many/
  wrk -t2 -c16 -d5s "$url" | awk '/Requests\/sec/ {print $2}'
}
listingTime() {
  local url=$ours/list?path=/many
  [[ $1 == nginx ]] && url=$theirs/many/
  curl -s -o /dev/null "$url"  # warm
  python3 -c "import sys; print(float(sys.argv[1]) * 1000)" "$(curl -s -o /dev/null -w '%{time_total}' "$url")"
}
median() { python3 -c "import statistics, sys; print(f'{statistics.median(map(float, sys.argv[1:])):.2f}')" "$@"; }
ratio() { python3 -c "print(f'{$1 / $2:.2f}x')"; }
rss() { awk '/VmRSS/ {print $2 " kB"}' "/proc/$server_pid/status"; }
fds() { ls "/proc/$server_pid/fd" | wc -l; }

{
echo "reelhaven --transfer vs nginx $(nginx -v 2>&1 | sed 's/.*\///') (default buffers, access log off, reuseport), loopback, $(nproc) CPUs, $(date -u +%FT%TZ)"
echo "$(load) before; our server printed its address $started s after its start"

if [[ -z ${ONLY:-} ]]; then
  read -r ours_down nginx_down < <(compare download)
  echo "$megabytes MiB download (median of $rounds): ours $(megabytesPerSecond "$ours_down") MB/s   nginx $(megabytesPerSecond "$nginx_down") MB/s   ratio $(ratio "$ours_down" "$nginx_down")   ($(load) after)"
  echo "each round (bytes/s):"
  cat "$work/rounds-download"
fi
rm -f "$work/cpu-ours" "$work/cpu-nginx" "$work/cpu-ours-whole"
read -r ours_up nginx_up < <(compare upload)
# shellcheck disable=SC2046
cpu_ours=$(median $(cat "$work/cpu-ours"))
# shellcheck disable=SC2046
cpu_nginx=$(median $(cat "$work/cpu-nginx"))
echo "$megabytes MiB upload (median of $rounds):   ours $(megabytesPerSecond "$ours_up") MB/s   nginx $(megabytesPerSecond "$nginx_up") MB/s   ratio $(ratio "$ours_up" "$nginx_up")   ($(load) after)"
echo "server CPU per uploaded GiB (median):  ours $cpu_ours s   nginx $cpu_nginx s   ratio $(ratio "$cpu_ours" "$cpu_nginx")"
# shellcheck disable=SC2046
echo "ours, the whole app until idle again (its library following the new file) per uploaded GiB: median $(median $(cat "$work/cpu-ours-whole")) s (each: $(paste -sd' ' "$work/cpu-ours-whole"))"
echo "each round (bytes/s; then each server's CPU seconds per GiB in that round, ours and nginx):"
paste -d' ' "$work/rounds-upload" <(paste -d' ' "$work/cpu-ours" "$work/cpu-nginx" | awk '{printf "   cpu per GiB %.2f s, %.2f s (%.2fx)\n", $1, $2, $1 / $2}')
if [[ ${ONLY:-} == upload ]]; then
  echo "$(load) at the end"
  exit 0
fi

list_ours=$(curl -s "$ours/list?path=/many" | python3 -c "import json,sys; print(len(json.load(sys.stdin)))")
list_nginx=$(curl -s "$theirs/many/" | python3 -c "import json,sys; print(len(json.load(sys.stdin)))")
bytes_ours=$(curl -s -o /dev/null -w '%{size_download}' "$ours/list?path=/many")
bytes_nginx=$(curl -s -o /dev/null -w '%{size_download}' "$theirs/many/")
read -r ours_list nginx_list < <(compare listingRate)
echo "GET /list of 10,000, 16 connections: ours $ours_list req/s ($list_ours entries, sorted, $bytes_ours bytes)   nginx $nginx_list req/s ($list_nginx entries, sorted, $bytes_nginx bytes)   ratio $(ratio "$ours_list" "$nginx_list")   ($(load) after)"
read -r ours_one nginx_one < <(compare listingTime)
echo "GET /list of 10,000, one at a time: ours $ours_one ms   nginx $nginx_one ms   ratio (nginx/ours) $(ratio "$nginx_one" "$ours_one")   ($(load) after)"

huge="$ours/list?path=/huge"
huge_bytes=$(curl -s -o /dev/null -w '%{size_download}' "$huge")
huge_times=()
for _ in 1 2 3 4 5; do huge_times+=("$(curl -s -o /dev/null -w '%{time_total}' "$huge")"); done
huge_time=$(python3 -c "import statistics, sys; print(f'{statistics.median(map(float, sys.argv[1:])):.3f}')" "${huge_times[@]}")
sleep 1
echo 5 >"/proc/$server_pid/clear_refs"  # resets the peak resident size
idle=$(awk '/VmRSS/ {print $2}' "/proc/$server_pid/status")
for _ in 1 2 3 4; do curl -s -o /dev/null "$huge" & done
wait
peak=$(awk '/VmHWM/ {print $2}' "/proc/$server_pid/status")
echo "GET /list of 100,000: $huge_time s (median of 5), answer $((huge_bytes / 1024)) KiB, memory per request in flight $(((peak - idle) / 4)) KiB (4 at once: idle $idle kB, peak $peak kB)   ($(load) after)"

curl -s -o /dev/null "$ours/list?path=/many" && curl -s -o /dev/null "$ours/download?path=one.bin"
sleep 1
echo "server before wrk:     rss $(rss), fds $(fds)"
for round in 1 2; do
  for target in "/list?path=/many" "/download?path=one.bin"; do
    result=$(wrk -t4 -c16 -d"${duration}s" "$ours$target")
    requests=$(awk '/Requests\/sec/ {print $2}' <<<"$result")
    errors=$(grep -E 'Socket errors|Non-2xx' <<<"$result" | tr -s ' ' | paste -sd';' || true)
    echo "wrk 16 x ${duration}s $target (round $round): $requests req/s, errors: ${errors:-none}"
  done
  sleep 3
  echo "server after round $round:  rss $(rss), fds $(fds)"
done
echo "$(load) at the end"
} | tee "$report"
