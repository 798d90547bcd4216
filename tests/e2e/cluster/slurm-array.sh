#!/usr/bin/env bash
# The README's Slurm recipe on a real single-node Slurm started here for the run: a job array of
# three tasks over nine sources, each task its shard; every source converted exactly once and
# decodable, every task's exit status 0. munged, slurmctld and slurmd are stopped at the end,
# whatever happened.
set -euo pipefail

bin=${VIDOMAR_BIN_DIR:?the folder of the built programs}
for tool in munged slurmctld slurmd sbatch scontrol ffmpeg ffprobe; do
  command -v "$tool" >/dev/null || { echo "slurm-array: $tool is missing (scripts/install-deps installs it)" >&2; exit 1; }
done

work=$(mktemp -d /tmp/vidomar-slurm.XXXXXX)
chmod 0700 "$work"
pids=()
stop() {
  local status=$?
  for pid in "${pids[@]}"; do kill -TERM "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -KILL "$pid" 2>/dev/null || true
  done
  if [ "$status" -ne 0 ]; then
    for log in "$work"/*.log; do echo "== $log" >&2; tail -n 20 "$log" >&2 || true; done
  fi
  [ -n "${KEEP:-}" ] || rm -rf "$work"
  exit "$status"
}
trap stop EXIT

# munge: its own key, socket and files, as root (-f).
dd if=/dev/urandom of="$work/munge.key" bs=1024 count=1 status=none
chmod 0400 "$work/munge.key"
munged -f --key-file="$work/munge.key" --socket="$work/munge.socket" --pid-file="$work/munged.pid" \
  --log-file="$work/munged.log" --seed-file="$work/munged.seed"
for _ in $(seq 50); do [ -s "$work/munged.pid" ] && break; sleep 0.1; done
pids+=("$(cat "$work/munged.pid")")

# Ports of our own, away from a Slurm the machine may run.
base=$((20000 + RANDOM % 20000))
node=$(hostname -s)
mkdir -p "$work/ctld" "$work/spool"
cat > "$work/slurm.conf" <<CONF
ClusterName=vidomar
SlurmctldHost=$node(127.0.0.1)
SlurmUser=root
SlurmdUser=root
AuthType=auth/munge
AuthInfo=socket=$work/munge.socket
CredType=cred/munge
SlurmctldPort=$base
SlurmdPort=$((base + 1))
StateSaveLocation=$work/ctld
SlurmdSpoolDir=$work/spool
SlurmctldPidFile=$work/slurmctld.pid
SlurmdPidFile=$work/slurmd.pid
SlurmctldLogFile=$work/slurmctld.log
SlurmdLogFile=$work/slurmd.log
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
MpiDefault=none
SchedulerType=sched/builtin
SelectType=select/cons_tres
SelectTypeParameters=CR_Core
ReturnToService=2
JobCompType=jobcomp/none
AccountingStorageType=accounting_storage/none
JobAcctGatherType=jobacct_gather/none
MinJobAge=600
NodeName=$node NodeAddr=127.0.0.1 CPUs=$(nproc) State=UNKNOWN
PartitionName=local Nodes=ALL Default=YES MaxTime=INFINITE State=UP
CONF
export SLURM_CONF=$work/slurm.conf
slurmctld -c -i -f "$SLURM_CONF"
for _ in $(seq 100); do [ -s "$work/slurmctld.pid" ] && break; sleep 0.1; done
pids+=("$(cat "$work/slurmctld.pid")")
slurmd -f "$SLURM_CONF"
for _ in $(seq 100); do [ -s "$work/slurmd.pid" ] && break; sleep 0.1; done
pids+=("$(cat "$work/slurmd.pid")")
for _ in $(seq 300); do
  scontrol show node "$node" 2>/dev/null | grep -qE 'State=IDLE' && break
  sleep 0.1
done
scontrol show node "$node" | grep -qE 'State=IDLE' || { echo "slurm-array: the node did not come up" >&2; exit 1; }

# Nine sources, listed in no order.
mkdir -p "$work/videos"
ffmpeg -v error -nostdin -f lavfi -i testsrc2=size=160x120:rate=25:duration=1 -f lavfi -i sine=duration=1 \
  -c:v mpeg4 -c:a pcm_s16le "$work/videos/clip.avi"
for i in 5 2 8 1 9 3 7 4 6; do
  cp "$work/videos/clip.avi" "$work/videos/v$i.avi"
  echo "$work/videos/v$i.avi"
done > "$work/list"
rm "$work/videos/clip.avi"

# The README's job script.
cat > "$work/convert.sbatch" <<JOB
#!/bin/sh
#SBATCH --array=0-2
#SBATCH --output=$work/task-%a.log
exec "$bin/vidomar" --preset "MP3 Sound (MP3)" --shard \$SLURM_ARRAY_TASK_ID/\$SLURM_ARRAY_TASK_COUNT \\
  --files-from "$work/list" -n --json -d "$work/mp3"
JOB
job=$(sbatch --parsable --wait "$work/convert.sbatch")
echo "slurm-array: job $job finished"

# Each task ended with 0; each source converted once, and decodable.
exits=$(scontrol -o show job "$job" | grep -o 'ExitCode=[0-9:]*' | sort | uniq -c)
echo "$exits"
[ "$(scontrol -o show job "$job" | grep -c 'ExitCode=0:0')" -eq 3 ] || { echo "slurm-array: a task failed" >&2; exit 1; }
[ "$(cat "$work"/task-*.log | grep -c '"event":"done"')" -eq 9 ] || { echo "slurm-array: not nine conversions" >&2; exit 1; }
[ "$(ls "$work/mp3" | wc -l)" -eq 9 ] || { echo "slurm-array: not nine results" >&2; exit 1; }
for i in 1 2 3 4 5 6 7 8 9; do
  ffprobe -v error -show_entries stream=codec_type -of csv=p=0 "$work/mp3/v$i.mp3" | grep -qx audio \
    || { echo "slurm-array: mp3/v$i.mp3 is not decodable" >&2; exit 1; }
done
echo "slurm-array: nine sources, three tasks, each converted once"
