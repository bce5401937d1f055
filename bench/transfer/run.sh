#!/usr/bin/env bash
# Measures the transfer server against nginx on loopback, side by side in one run:
#   1. download of a 1 GiB file (nginx: sendfile on)
#   2. upload of a 1 GiB file (ours: multipart POST /upload; nginx: PUT written to disk with
#      client_body_in_file_only on)
#   3. GET /list of a folder of 10,000 entries (nginx: autoindex, autoindex_format json)
#   4. wrk, 64 connections for 30 s, on /list and on a 1 MiB download: errors, and the server's
#      memory and open descriptors before and after.
# Figures go to standard output and bench/out/transfer.txt. Needs nginx, wrk and curl (installed
# here when missing). Not part of tools/test.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build="$root/build/bench-transfer"
work=${BENCH_WORK:-$root/build/bench-transfer/work}
duration=${WRK_SECONDS:-30}
out="$root/bench/out"
mkdir -p "$out"
report="$out/transfer.txt"

for tool in nginx wrk curl; do
  command -v "$tool" >/dev/null || { apt-get install -y -qq "$tool" >/dev/null; }
done

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target uploader_test_server >/dev/null

rm -rf "$work"
mkdir -p "$work/docs/many" "$work/nginx/root/many" "$work/nginx/logs" "$work/nginx/tmp" "$work/nginx/upload"
echo "preparing files" >&2
head -c 1073741824 /dev/urandom >"$work/big.bin"
head -c 1048576 /dev/urandom >"$work/docs/one.bin"
ln "$work/big.bin" "$work/docs/big.bin"
ln "$work/big.bin" "$work/nginx/root/big.bin"
cp "$work/docs/one.bin" "$work/nginx/root/one.bin"
python3 - "$work/docs/many" "$work/nginx/root/many" <<'PY'
import os, sys
for folder in sys.argv[1:]:
    for i in range(10000):
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
  client_max_body_size 2g;
  proxy_temp_path $work/nginx/tmp;
  fastcgi_temp_path $work/nginx/tmp;
  uwsgi_temp_path $work/nginx/tmp;
  scgi_temp_path $work/nginx/tmp;
  server {
    listen 127.0.0.1:18080;
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
# The server prints its port and then a line per delegate event: into a file, so it never blocks.
mkfifo "$work/stdin"
"$build/tests/transfer/uploader_test_server" "$work/docs" "$root/resources/WebUploader.bundle" \
  <"$work/stdin" >"$work/server.out" 2>/dev/null &
server_pid=$!
exec 3>"$work/stdin"
until grep -q '^PORT ' "$work/server.out" 2>/dev/null; do sleep 0.1; done
port=$(awk '/^PORT /{print $2}' "$work/server.out")
cleanup() {
  kill "$nginx_pid" 2>/dev/null || true
  kill "$server_pid" 2>/dev/null || true
}
trap cleanup EXIT
sleep 0.5
ours="http://127.0.0.1:$port"
theirs="http://127.0.0.1:18080"

# Runs `ours` and `nginx` alternately five times (so both meet the same background load) and prints
# the median MB/s of each: "ours nginx". The argument is a shell function that runs one transfer for
# "ours" or "nginx" and prints curl's bytes per second.
compare() {
  local run=$1 a=() b=()
  for _ in 1 2 3 4 5; do
    a+=("$($run ours)")
    b+=("$($run nginx)")
  done
  python3 - "${a[@]}" "${b[@]}" <<'PY'
import statistics, sys
values = [float(v) for v in sys.argv[1:]]
half = len(values) // 2
print(f"{statistics.median(values[:half]) / 1e6:.0f} {statistics.median(values[half:]) / 1e6:.0f}")
PY
}
download() {
  if [[ $1 == ours ]]; then
    curl -s -o /dev/null -w '%{speed_download}' "$ours/download?path=big.bin"
  else
    curl -s -o /dev/null -w '%{speed_download}' "$theirs/big.bin"
  fi
}
upload() {
  if [[ $1 == ours ]]; then
    curl -s -o /dev/null -w '%{speed_upload}' -F "files[]=@$work/big.bin;filename=up.bin" -F path=/ "$ours/upload"
    rm -f "$work/docs/up"*.bin
  else
    curl -s -o /dev/null -w '%{speed_upload}' -T "$work/big.bin" "$theirs/upload/up.bin"
  fi
}
ratio() { python3 -c "print(f'{100 * $1 / $2:.0f}%')"; }
rss() { awk '/VmRSS/ {print $2 " kB"}' "/proc/$server_pid/status"; }
fds() { ls "/proc/$server_pid/fd" | wc -l; }

{
echo "transfer server vs nginx $(nginx -v 2>&1 | sed 's/.*\///'), loopback, $(nproc) CPUs, $(date -u +%FT%TZ)"

read -r ours_down nginx_down < <(compare download)
echo "1 GiB download (median of 5): ours $ours_down MB/s   nginx $nginx_down MB/s   ratio $(ratio "$ours_down" "$nginx_down")"
read -r ours_up nginx_up < <(compare upload)
echo "1 GiB upload (median of 5):   ours $ours_up MB/s   nginx $nginx_up MB/s   ratio $(ratio "$ours_up" "$nginx_up")"

list_ours=$(curl -s "$ours/list?path=/many" | python3 -c "import json,sys; print(len(json.load(sys.stdin)))")
list_nginx=$(curl -s "$theirs/many/" | python3 -c "import json,sys; print(len(json.load(sys.stdin)))")
listing() {
  if [[ $1 == ours ]]; then
    wrk -t2 -c4 -d5s "$ours/list?path=/many" | awk '/Requests\/sec/ {print $2 * 1e6}'
  else
    wrk -t2 -c4 -d5s "$theirs/many/" | awk '/Requests\/sec/ {print $2 * 1e6}'
  fi
}
read -r ours_list nginx_list < <(compare listing)  # "MB/s" here reads requests per second
echo "GET /list of 10,000:   ours $ours_list req/s ($list_ours entries, sorted)   nginx $nginx_list req/s ($list_nginx entries)   ratio $(ratio "$ours_list" "$nginx_list")"

curl -s -o /dev/null "$ours/list?path=/" && curl -s -o /dev/null "$ours/download?path=one.bin"
sleep 1
echo "server before wrk:     rss $(rss), fds $(fds)"
for round in 1 2; do
  for target in "/list?path=/" "/download?path=one.bin"; do
    result=$(wrk -t4 -c64 -d"${duration}s" "$ours$target")
    requests=$(awk '/Requests\/sec/ {print $2}' <<<"$result")
    errors=$(grep -E 'Socket errors|Non-2xx' <<<"$result" | tr -s ' ' | paste -sd';' || true)
    echo "wrk 64 x ${duration}s $target (round $round): $requests req/s, errors: ${errors:-none}"
  done
  sleep 3
  echo "server after round $round:  rss $(rss), fds $(fds)"
done
} | tee "$report"
