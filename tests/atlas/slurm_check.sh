#!/usr/bin/env bash
# ctest `atlas_slurm`: docs/cluster/atlas.sbatch on a real Slurm. Starts a
# private single-node cluster (munged with its own key and socket, slurmctld
# and slurmd on ports of their own, all state in a temporary folder), submits
# a small sweep as a 4-task array, cancels one task while it runs, submits it
# again, merges in a dependent job and compares the bytes with a whole run.
# Every daemon it started is stopped by its PID at the end, also on failure.
#   tests/atlas/slurm_check.sh <rdsim-atlas> <source dir>
# Exit 77 (skipped) without Slurm and munge or without root.
set -uo pipefail
atlas=$(realpath "$1")
sbatch_file=$(realpath "$2/docs/cluster/atlas.sbatch")
. "$2/scripts/design_coefficients.sh"

for tool in munged slurmctld slurmd sbatch scancel squeue scontrol sinfo; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is missing (Debian's slurm-wlm and munge)"; exit 77; }
done
[ "$(id -u)" = 0 ] || { echo "skipped: slurmd must run as root to start jobs"; exit 77; }

# A short path: munge's socket name must fit in 108 bytes.
tmp=$(mktemp -d /tmp/rdsim-slurm.XXXXXX)
chmod 700 "$tmp"
export SLURM_CONF=$tmp/slurm.conf
started=$(date +%s)
failures=0
fail() {
  echo "FAIL $*" >&2
  failures=$((failures + 1))
}
show_logs() {
  for log in "$tmp"/*.log "$tmp"/run/*.log; do
    [ -f "$log" ] && { echo "--- $log"; tail -n 25 "$log"; }
  done
}

# The PID in a pid file, if that process still runs.
pid_of() { [ -s "$1" ] && kill -0 "$(cat "$1")" 2>/dev/null && cat "$1"; }
stop_pid() {
  local pid=$1
  kill -TERM "$pid" 2>/dev/null || return 0
  for _ in $(seq 50); do
    kill -0 "$pid" 2>/dev/null || return 0
    sleep 0.1
  done
  kill -KILL "$pid" 2>/dev/null
}
# Step daemons that slurmd left behind: only those of this cluster, found by
# the SLURM_CONF they inherited.
our_step_daemons() {
  for environ in /proc/[0-9]*/environ; do
    grep -qzx "SLURM_CONF=$SLURM_CONF" "$environ" 2>/dev/null || continue
    pid=${environ#/proc/}
    pid=${pid%/environ}
    [ "$pid" != $$ ] && grep -q '^slurmstepd' "/proc/$pid/cmdline" 2>/dev/null && echo "$pid"
  done
}
cleanup() {
  local status=$?
  if [ -n "$(pid_of "$tmp/slurmctld.pid")" ]; then
    scancel --quiet --user=root 2>/dev/null
    for _ in $(seq 50); do
      [ -z "$(squeue -h 2>/dev/null)" ] && break
      sleep 0.2
    done
  fi
  for daemon in slurmd slurmctld; do
    pid=$(pid_of "$tmp/$daemon.pid") && stop_pid "$pid"
  done
  for pid in $(our_step_daemons); do stop_pid "$pid"; done
  pid=$(pid_of "$tmp/munged.pid") && stop_pid "$pid"
  ((status != 0 || failures != 0)) && show_logs
  rm -rf "$tmp"
  exit "$status"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

# Two free ports, apart from the well-known ones.
free_port() {
  local port
  while :; do
    port=$((20000 + RANDOM % 30000))
    [ -z "$(ss -Hltn "sport = :$port" 2>/dev/null)" ] && [ "$port" != "${1:-}" ] && echo "$port" && return
  done
}
ctld_port=$(free_port)
slurmd_port=$(free_port "$ctld_port")

# munge: its own key and socket.
dd if=/dev/urandom of="$tmp/munge.key" bs=1024 count=1 status=none
chmod 400 "$tmp/munge.key"
munged --force --key-file="$tmp/munge.key" --socket="$tmp/munge.sock" --pid-file="$tmp/munged.pid" \
  --log-file="$tmp/munged.log" --seed-file="$tmp/munged.seed" || { echo "munged did not start"; exit 1; }

# The node as slurmd sees this machine: its name, CPUs and memory.
node=$(slurmd -C | head -n 1)
host=$(hostname -s)
case "$node" in NodeName=*" CPUs="*" RealMemory="*) ;; *) echo "slurmd -C says: $node"; exit 1 ;; esac
mkdir -p "$tmp/state" "$tmp/spool" "$tmp/run"
cat >"$SLURM_CONF" <<EOF
ClusterName=rdsimtest
SlurmctldHost=$host(127.0.0.1)
SlurmctldPort=$ctld_port
SlurmdPort=$slurmd_port
SlurmUser=root
SlurmdUser=root
AuthType=auth/munge
CredType=cred/munge
AuthInfo=socket=$tmp/munge.sock
StateSaveLocation=$tmp/state
SlurmdSpoolDir=$tmp/spool
SlurmctldPidFile=$tmp/slurmctld.pid
SlurmdPidFile=$tmp/slurmd.pid
SlurmctldLogFile=$tmp/slurmctld.log
SlurmdLogFile=$tmp/slurmd.log
ProctrackType=proctrack/linuxproc
TaskPlugin=task/affinity
JobAcctGatherType=jobacct_gather/none
AccountingStorageType=accounting_storage/none
JobCompType=jobcomp/none
SelectType=select/cons_tres
SelectTypeParameters=CR_CPU
SchedulerParameters=sched_interval=1
MpiDefault=none
ReturnToService=2
KillWait=5
MinJobAge=600
$node NodeAddr=127.0.0.1 State=UNKNOWN
PartitionName=atlas Nodes=$host Default=YES MaxTime=INFINITE State=UP
EOF
slurmctld -i || { echo "slurmctld did not start"; exit 1; }
slurmd || { echo "slurmd did not start"; exit 1; }
for _ in $(seq 150); do
  [ "$(sinfo -h -o %T 2>/dev/null)" = idle ] && break
  sleep 0.2
done
[ "$(sinfo -h -o %T)" = idle ] || { echo "the node did not come up: $(sinfo 2>&1)"; exit 1; }
echo "Slurm up in $(($(date +%s) - started)) s: $node"

# Twelve points of about a second each (--no-skip), three per task.
export ATLAS=$atlas ATLAS_SHARDS=4
export ATLAS_SWEEP="--mode 2d --size 64 --steps 100000 --random 1 --no-skip
  --params $design_params --x 0:0.02:0.16:4 --y 4:0.03:0.1:3"
cd "$tmp/run" || exit 1
job=$(sbatch --parsable --array=1-4 --cpus-per-task=1 "$sbatch_file") || { echo "sbatch failed"; exit 1; }

# Task 3 starts when a CPU is free; cancel it once it has stored one point.
stored=0
for _ in $(seq 600); do
  stored=$(find shards/3/points -name '*.txt' 2>/dev/null | wc -l)
  [ "$stored" -ge 1 ] && break
  sleep 0.1
done
state=$(squeue -h -j "${job}_3" -o %T 2>/dev/null)
[ "$stored" -ge 1 ] && [ "$state" = RUNNING ] || fail "task 3 was not caught running with a point stored ($stored, $state)"
scancel "${job}_3"
for _ in $(seq 100); do
  [ -z "$(squeue -h -j "${job}_3" 2>/dev/null)" ] && break
  sleep 0.1
done
kept=$(find shards/3/points -name '*.txt' | wc -l)
[ "$kept" -ge 1 ] && [ "$kept" -lt 3 ] || fail "the cancelled task left $kept points"
partial=$(find shards -name '*.part*' -o -name '.*.tmp')
[ -z "$partial" ] || fail "the cancelled task left partial files: $partial"
echo "task 3 cancelled with $kept of its 3 points stored"
grep -q 'stopped by SIGTERM' "atlas-${job}_3.log" || fail "task 3's log: $(cat "atlas-${job}_3.log")"

again=$(sbatch --parsable --array=3 --cpus-per-task=1 "$sbatch_file") || fail "sbatch of task 3 failed"
merge=$(sbatch --parsable --dependency="afterok:${job}_1:${job}_2:${job}_4:$again" --output=merge.log \
  --wrap "$atlas merge --out atlas shards/1 shards/2 shards/3 shards/4") || fail "sbatch of the merge failed"
for _ in $(seq 900); do
  [ -z "$(squeue -h 2>/dev/null)" ] && break
  sleep 0.1
done
[ -z "$(squeue -h)" ] || fail "jobs still queued: $(squeue)"
echo "Slurm jobs done after $(($(date +%s) - started)) s"

grep -q "^points=3 faults=0 kept=$kept computed=$((3 - kept)) steps=[0-9/]* seconds=[0-9.]* jobs=1 " \
  "atlas-${again}_3.log" || fail "the resubmitted task: $(cat "atlas-${again}_3.log")"
for task in 1 2 4; do
  grep -q '^points=3 faults=0 kept=0 computed=3 .* jobs=1 ' "atlas-${job}_$task.log" ||
    fail "task $task: $(cat "atlas-${job}_$task.log")"
done
grep -q '^points=12 shards=4 ' merge.log || fail "merge job $merge: $(cat merge.log)"

read -r -d '' -a sweep <<<"$ATLAS_SWEEP"
"$atlas" run "${sweep[@]}" --out whole >whole.log 2>&1 || fail "the whole run: $(cat whole.log)"
for file in atlas.csv atlas.png; do
  cmp -s "whole/$file" "atlas/$file" || fail "$file of the Slurm jobs differs from the whole run's"
done
echo "Slurm check: $failures failures in $(($(date +%s) - started)) s"
[ "$failures" = 0 ]
