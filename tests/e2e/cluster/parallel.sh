#!/usr/bin/env bash
# The README's GNU parallel recipes on this machine: a local run, run again (every file skipped),
# and the --sshloginfile form with ":" (this machine, no ssh) and a joblog that tells the one
# corrupt source from the rest.
set -euo pipefail

bin=${VIDOMAR_BIN_DIR:?the folder of the built programs}
for tool in parallel ffmpeg ffprobe; do
  command -v "$tool" >/dev/null || { echo "parallel: $tool is missing (scripts/install-deps installs it)" >&2; exit 1; }
done
work=$(mktemp -d /tmp/vidomar-parallel.XXXXXX)
trap 'rm -rf "$work"' EXIT
cd "$work"
export PATH="$bin:$PATH"
ffmpeg -v error -nostdin -f lavfi -i testsrc2=size=160x120:rate=25:duration=1 -f lavfi -i sine=duration=1 \
  -c:v mpeg4 -c:a pcm_s16le a.avi
cp a.avi b.avi
cp a.avi "c d.avi"

fail() { echo "parallel: $*" >&2; exit 1; }
decodable() { ffprobe -v error -show_entries stream=codec_type -of csv=p=0 "$1" | grep -qx audio; }

# Locally, two at a time.
parallel -j 2 vidomar --preset "'MP3 Sound (MP3)'" -n -d mp3 {} ::: a.avi b.avi "c d.avi"
for f in a b "c d"; do decodable "mp3/$f.mp3" || fail "mp3/$f.mp3 is not decodable"; done
# Again: everything is there, so everything is skipped, and that is success.
before=$(stat -c %Y mp3/*.mp3 | sort | tr '\n' ' ')
parallel -j 2 vidomar --preset "'MP3 Sound (MP3)'" -n -d mp3 {} ::: a.avi b.avi "c d.avi"
[ "$(stat -c %Y mp3/*.mp3 | sort | tr '\n' ' ')" = "$before" ] || fail "a second run touched a result"

# The machines from a file (":" is this one), with a joblog: one corrupt source fails for good (1),
# and parallel's own status counts the failed jobs.
echo ':' > nodes
head -c 20000 /dev/urandom > bad.avi
status=0
printf '%s\n' a.avi bad.avi b.avi | parallel -q --sshloginfile nodes -j 2 --joblog convert.log \
  vidomar --preset "MP3 Sound (MP3)" --json -d joblog {} > events.jsonl || status=$?
[ "$status" -eq 1 ] || fail "parallel ended with $status, not one failed job"
awk -F'\t' 'NR > 1 && $7 == 1 { print $9 }' convert.log | grep -q 'bad.avi' || fail "the joblog does not name bad.avi"
[ "$(grep -c '"event":"done"' events.jsonl)" -eq 2 ] || fail "not two conversions in events.jsonl"
echo "parallel: the recipes ran"
