#!/usr/bin/env bash
# tarvelin_render --video, read back by the real ffmpeg and ffprobe: the
# lossless video's frames are the PNG shots' pixels, the MP4 file has its
# frames at 60 a second and its index in front, and the progress line shows
# on a terminal only.
set -u
render=$1
command -v ffmpeg >/dev/null && command -v ffprobe >/dev/null || { echo "render_video: no ffmpeg"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# framemd5 INPUT...: one line per decoded frame with the MD5 of its RGB pixels.
framemd5() {
  ffmpeg -v error "$@" -map 0:v -pix_fmt rgb24 -f framemd5 - | grep -v '^#' | awk -F, '{print $NF}'
}

# 300 frames, every one also a PNG shot: the video decodes to exactly their pixels.
"$render" --frames 300 --size 512x384 --video "$work/all.mkv" --shot all --out "$work/shots" 2>"$work/err" ||
  fail "--video all.mkv --shot all failed: $(cat "$work/err")"
[ -s "$work/err" ] && fail "a run whose standard error is a file printed on it: $(head -c 300 "$work/err")"
framemd5 -i "$work/all.mkv" >"$work/video.md5"
framemd5 -framerate 60 -start_number 1 -i "$work/shots/frame-%06d.png" >"$work/shots.md5"
[ "$(wc -l <"$work/video.md5")" -eq 300 ] || fail "all.mkv decodes to $(wc -l <"$work/video.md5") frames, not 300"
[ "$(wc -l <"$work/shots.md5")" -eq 300 ] || fail "$(wc -l <"$work/shots.md5") shots decoded, not 300"
first=$(diff "$work/video.md5" "$work/shots.md5" | grep -m1 -o '^[0-9]*')
[ -z "$first" ] || fail "all.mkv's frame $first differs from its PNG shot"

# Frames with no shot go to the video in the rows' order as they are read
# back; --from starts the video there: frames 281 to 300, the same pixels.
"$render" --frames 300 --size 512x384 --from 281 --shot 290 --out "$work/few" --video "$work/end.mkv" ||
  fail "--from 281 failed"
framemd5 -i "$work/end.mkv" >"$work/end.md5"
tail -n 20 "$work/video.md5" | cmp -s - "$work/end.md5" || fail "--from 281 gave other frames than 281 to 300"

# H.264 in 4:2:0 from an odd size, padded by a pixel each way; 300 frames at
# 60 a second from --from 11; the index in front, as browsers want it.
"$render" --frames 310 --from 11 --size 321x241 --shot 310 --out "$work/odd" --video "$work/odd.mp4" ||
  fail "--video odd.mp4 failed"
probe=$(ffprobe -v error -count_frames -select_streams v:0 -of default=noprint_wrappers=1 \
  -show_entries stream=codec_name,pix_fmt,width,height,r_frame_rate,nb_read_frames "$work/odd.mp4" | sort | tr '\n' ' ')
want="codec_name=h264 height=242 nb_read_frames=300 pix_fmt=yuv420p r_frame_rate=60/1 width=322 "
[ "$probe" = "$want" ] || fail "ffprobe odd.mp4: '$probe', expected '$want'"
head -c 64 "$work/odd.mp4" | grep -qa moov || fail "odd.mp4 does not start with its index (moov)"
# Its last frame against the shot: lossy, but close (about 29.5 dB; the frame
# before scores 25, the picture upside down 17).
psnr=$(ffmpeg -v info -i "$work/odd.mp4" -i "$work/odd/frame-000310.png" -filter_complex \
  "[0:v]select=eq(n\,299),format=rgb24,crop=321:241:0:0[a];[1:v]format=rgb24[b];[a][b]psnr" -f null - 2>&1 |
  grep -o 'average:[0-9.]*' | cut -d: -f2)
awk -v p="${psnr:-0}" 'BEGIN { exit !(p >= 27) }' || fail "odd.mp4's last frame is not its shot (PSNR '$psnr' dB)"

# On a terminal, a run longer than a second shows a progress line that ends
# before the next output; where the run took under a second it may not show.
start=$(date +%s%N)
script -qec "'$render' --frames 600 --bench --video '$work/tty.webm' --size 320x240" "$work/typescript" >/dev/null ||
  fail "the run under script failed"
took=$((($(date +%s%N) - start) / 1000000))
if grep -qa $'\rframe [0-9]* of 600 ([0-9]*%)' "$work/typescript"; then
  grep -qa $'\rframe 600 of 600 (100%), [0-9]* frames/s *\r*$' "$work/typescript" ||
    fail "the progress line does not end at frame 600 with a new line: $(tr '\r' '|' <"$work/typescript" | head -c 400)"
  grep -qa '^renderer: ' "$work/typescript" || fail "--bench's figures do not start a line of their own"
elif [ "$took" -gt 2000 ]; then
  fail "a run of $took ms on a terminal showed no progress line"
fi

echo "render_video: $failures failure(s)"
[ $failures -eq 0 ]
