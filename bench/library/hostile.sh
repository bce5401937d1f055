#!/usr/bin/env bash
# Memory of `reelhaven --list` (empty Caches) over hostile media, each file alone and in folders of
# eight listed side by side, counting the app and every process it starts: the peak of their
# proportional set sizes summed (shared libraries count once), and the peak of the largest single
# process (`tree_memory.py`). The bound: 400 MiB for one hostile file, 1 GiB for a folder of eight.
#
# The crafted shapes are the tests' own (tests/support/hostile_media.*, written here at full size
# by `bench_write_hostile_media`): a movie header in a `hoov` box, sample encryption claiming 2
# million entries, uncompressed sound without a sound handler, chunk offsets filling a 200 MB
# file, 990 H.264 streams, an SVG text under a `.mkv` name, a 200 MB `avcC`, a TIFF's deflated
# strip, and Matroska attachments of unknown size or behind void elements; eight different ones
# in one folder; eight of a smaller claim of the first three (10 million samples, a million
# entries, 100 MB).
# The earlier rows: one huge H.264 picture (16000 x 16000) in a transport stream, in M2TS, as a
# raw stream and in an MPEG program stream, none of which gives its size before decoding; the same
# in HEVC; a 12000 x 12000 picture under a Matroska header that claims 64 x 64, with a length and
# without; an 8000 x 8000 stream of sixteen references; a huge progressive JPEG, a 200 MB
# attachment, 500 streams and a large AV1 picture.
# ROWS=crafted or ROWS=earlier runs only those (default: both). OTHER="label=path ..." adds other
# builds' launchers; LAUNCHER=path measures that launcher instead of this build's. TIMEOUT (300)
# stops a listing that runs longer; it is printed as "killed".
# Usage: [ROWS=...] [OTHER=...] [LAUNCHER=...] bench/library/hostile.sh [build folder]
set -euo pipefail
[[ -n ${1:-} ]] && export BENCH_BUILD=$1
source "$(dirname "$0")/../lib.sh"
media=$build/hostile-media
work=$build/hostile-work
bench_build bench_write_hostile_media $([[ -n ${LAUNCHER:-} ]] || echo reelhaven)
launchers=("this=${LAUNCHER:-$build/src/app/reelhaven}")
read -r -a others <<<"${OTHER:-}"
launchers+=("${others[@]}")
mkdir -p "$media" "$work"
cd "$media"

rows=${ROWS:-all}
# The crafted shapes at full size, and the smaller claims listed eight at a time.
"$build/bench/bench_write_hostile_media" "$media/crafted" full >"$work/crafted.txt"
mkdir -p "$media/crafted-eights"
"$build/bench/bench_write_hostile_media" "$media/crafted-eights" full hoov=10000000 senc=1000000 stco=100000000 \
  >/dev/null
crafted=()
while IFS=$'\t' read -r name path _; do crafted+=("$name=$path"); done <"$work/crafted.txt"

ff() { ffmpeg -hide_banner -loglevel error -nostdin -y "$@"; }
if [[ $rows != crafted ]]; then
# A Matroska file's PixelWidth and PixelHeight (two-byte values) patched to 64 x 64.
false_size() { # source target size
  python3 - "$@" <<'PY'
import sys
source, target, size = sys.argv[1], sys.argv[2], int(sys.argv[3])
data = bytearray(open(source, 'rb').read())
for element in (b'\xb0', b'\xba'):
    at = data.index(element + b'\x82' + size.to_bytes(2, 'big'))
    data[at + 2:at + 4] = (64).to_bytes(2, 'big')
open(target, 'wb').write(data)
PY
}
if [[ ! -s raw.h264 ]]; then
  ff -f lavfi -i "color=c=blue:size=16000x16000:rate=25:duration=0.04" -frames:v 1 -c:v libx264 -preset ultrafast \
     -pix_fmt yuv420p raw.tmp.h264
  mv raw.tmp.h264 raw.h264
fi
[[ -s h264.ts ]] || ff -f h264 -r 25 -i raw.h264 -c copy h264.ts
[[ -s h264.m2ts ]] || ff -f h264 -r 25 -i raw.h264 -c copy -f mpegts -mpegts_m2ts_mode 1 h264.m2ts
[[ -s h264.mpg ]] || ff -f h264 -r 25 -i raw.h264 -c copy -f mpeg h264.mpg 2>/dev/null
[[ -s raw-h264.mp4 ]] || cp raw.h264 raw-h264.mp4 # found by its content, listed by its name
if [[ ! -s hevc.ts ]]; then
  ff -f lavfi -i "color=c=red:size=16000x16000:rate=25:duration=0.04" -frames:v 1 -c:v libx265 -preset ultrafast \
     -x265-params log-level=error -pix_fmt yuv420p hevc.ts
fi
if [[ ! -s false-size.mkv || ! -s false-size-no-length.mkv ]]; then
  ff -f lavfi -i "color=c=yellow:size=12000x12000:rate=25:duration=0.08" -c:v libx264 -preset ultrafast \
     -pix_fmt yuv420p big.tmp.mkv
  ff -i big.tmp.mkv -c copy -f matroska pipe:1 >big-no-length.tmp.mkv
  false_size big.tmp.mkv false-size.mkv 12000
  false_size big-no-length.tmp.mkv false-size-no-length.mkv 12000
  rm big.tmp.mkv big-no-length.tmp.mkv
fi
if [[ ! -s references.ts ]]; then
  ff -f lavfi -i "color=c=green:size=8000x8000:rate=25:duration=1" -c:v libx264 -preset ultrafast \
     -x264-params ref=16 -pix_fmt yuv420p references.ts
fi
# An 11520 x 11520 progressive JPEG at 4:4:4 (made by the test media's own generator) in Matroska
# and AVI; a clip carrying a 200 MB attachment; one of 500 video streams; a 4096 x 4096 AV1 picture.
if [[ ! -s progressive.mkv || ! -s progressive.avi || ! -s av1.mkv ]]; then
  "$root/tools/make-test-media" "$media/test-media" >/dev/null
  cp "$media/test-media/huge-progressive-jpeg.mkv" progressive.mkv
  cp "$media/test-media/huge-progressive-jpeg.avi" progressive.avi
  cp "$media/test-media/large-av1.mkv" av1.mkv
fi
[[ -s clip.mkv ]] || ff -f lavfi -i "testsrc2=size=320x180:rate=25:duration=2" -c:v libx264 -preset ultrafast \
  -pix_fmt yuv420p -g 25 clip.mkv
if [[ ! -s attachment.mkv ]]; then
  truncate -s 200M blob.tmp.bin
  ff -i clip.mkv -attach blob.tmp.bin -metadata:s:t mimetype=application/octet-stream -c copy attachment.mkv
  rm blob.tmp.bin
fi
if [[ ! -s streams.mkv ]]; then
  maps=()
  for _ in $(seq 500); do maps+=(-map 0:v); done
  ff -i clip.mkv "${maps[@]}" -c copy streams.mkv
fi
fi
files=(h264.ts h264.m2ts raw-h264.mp4 h264.mpg hevc.ts false-size.mkv false-size-no-length.mkv references.ts)
new_files=(progressive.mkv progressive.avi attachment.mkv streams.mkv av1.mkv)

# The tree's summed and largest memory in MiB, as "SUM / LARGEST", of one listing of the files
# given, in a home of their own.
peak() { # launcher files...
  local launcher=$1 home=$work/home
  shift
  rm -rf "$home" && mkdir -p "$home/Documents"
  local i=0
  for file in "$@"; do
    i=$((i + 1))
    # Copies, not links: links of one file share its identity, and the app would read it once.
    cp --sparse=always "$file" "$home/Documents/$i-${file##*/}"
  done
  local sum largest seconds status
  read -r sum largest seconds status _ < <("$root/bench/library/tree_memory.py" --timeout "${TIMEOUT:-300}" -- \
    "$launcher" --home "$home" --list)
  local mark=""
  [[ $status == 0 ]] || mark=" ($status)"
  echo "$sum / $largest$mark"
}

# The path of the crafted shape named.
shape() {
  local entry
  for entry in "${crafted[@]}"; do
    if [[ ${entry%%=*} == "$1" ]]; then echo "${entry#*=}"; fi
  done
}

bench_machine
bench_load
echo "MiB: the tree's proportional set sizes summed / the largest process; bound 400 alone, 1024 for eight"
printf '%-32s' file
for entry in "${launchers[@]}"; do printf '%22s' "${entry%%=*}"; done
echo
table=()
if [[ $rows != earlier ]]; then
  for entry in "${crafted[@]}"; do table+=("${entry%%=*}"); done
  table+=("eight different" "hoov of 10 million x 8" "senc of a million x 8" "stco of 100 MB x 8")
fi
if [[ $rows != crafted ]]; then
  table+=("${files[@]}" "the eight" "references.ts x 8" "${new_files[@]}")
  for file in "${new_files[@]}"; do table+=("$file x 8"); done
fi
eight_different=(hoov senc twos stco streams avcC tiff attachment-unknown-size)
for row in "${table[@]}"; do
  printf '%-32s' "$row"
  for entry in "${launchers[@]}"; do
    launcher=${entry#*=}
    case $row in
      "eight different")
        paths=()
        for name in "${eight_different[@]}"; do paths+=("$(shape "$name")"); done
        value=$(peak "$launcher" "${paths[@]}") ;;
      *" of "*" x 8")
        file=$media/crafted-eights/$(basename "$(shape "${row%% *}")")
        value=$(peak "$launcher" "$file" "$file" "$file" "$file" "$file" "$file" "$file" "$file") ;;
      "the eight") value=$(peak "$launcher" "${files[@]}") ;;
      *" x 8")
        file=${row% x 8}
        value=$(peak "$launcher" "$file" "$file" "$file" "$file" "$file" "$file" "$file" "$file") ;;
      *)
        file=$(shape "$row")
        value=$(peak "$launcher" "${file:-$row}") ;;
    esac
    printf '%22s' "$value"
  done
  echo
done
bench_load "at the end"
