#!/usr/bin/env bash
# ctest `atlas_folders`: rdsim-atlas under kills and signals, on folders that
# must never mix two sweeps, and its early stop against --no-skip.
#   tests/atlas/atlas_folders_check.sh <rdsim-atlas> <work dir> [<source dir>]
# ATLAS_KILL_DELAYS="0.2 0.5 0.9" repeats the kill moments of a failed run.
set -uo pipefail
atlas=$(realpath "$1")
work=$2
source=${3:+$(realpath "$3")}
. "$(dirname "$0")/../../scripts/design_coefficients.sh"
rm -rf "$work"
mkdir -p "$work"
cd "$work" || exit 1
failures=0
fail() {
  local message="$*"
  echo "FAIL ${message:0:400}" >&2
  failures=$((failures + 1))
}

P=$design_params
# The small sweep's flags in ARGS, with the values given as flag value pairs.
small() {
  local -A v=([--mode]=2d [--size]=12 [--steps]=300 [--params]=$P [--random]=5 [--x]=0:0.04:0.12:3 [--y]=4:0.03:0.1:3)
  while (($#)); do
    v[$1]=$2
    shift 2
  done
  ARGS=()
  for flag in --mode --size --steps --params --random --x --y; do ARGS+=("$flag" "${v[$flag]}"); done
}
small
SMALL=("${ARGS[@]}")
# Long enough to be caught mid-run: 25 points of about 30 ms each on one job.
SLOW=(--mode 2d --size 64 --steps 4000 --params "$P" --random 1 --x 0:0.02:0.16:5 --y 4:0.03:0.1:5 --jobs 1 --no-skip)

# Runs a command; its status must be `expected`. stdout in $work/out.txt,
# stderr in $work/err.txt.
call() {
  local expected=$1
  shift
  "$@" >"$work/out.txt" 2>"$work/err.txt"
  local status=$?
  [ "$status" = "$expected" ] || fail "$* exited $status, expected $expected: $(cat "$work/err.txt")"
}

# A refusal: exit 2 with one line on stderr that names every word given after --.
refused() {
  local names=()
  while [ "$1" != -- ]; do
    names+=("$1")
    shift
  done
  shift
  call 2 "$@"
  [ "$(wc -l <"$work/err.txt")" = 1 ] || fail "$*: stderr is not one line: $(cat "$work/err.txt")"
  for name in "${names[@]}"; do
    grep -qF -- "$name" "$work/err.txt" || fail "$*: stderr does not name $name: $(cat "$work/err.txt")"
  done
}

same_results() {
  for file in atlas.csv atlas.png; do
    cmp -s "$1/$file" "$2/$file" || fail "$1/$file and $2/$file differ"
  done
  diff -r -q -x '*.txt' "$1/points" "$2/points" >/dev/null 2>&1 || fail "$1/points and $2/points differ"
}

no_partial_files() {
  local left
  left=$(find "$1" -name '*.part*' -o -name '.*.tmp')
  [ -z "$left" ] || fail "partial files left in $1: $left"
}

# Every file with its bytes and time, to prove a folder untouched.
fingerprint() { find "$1" -type f -printf '%p %s %T@\n' -exec sha256sum {} \; | sort; }

# --- Killed at random moments, resumed, the bytes of a clean run -----------
call 0 "$atlas" run "${SLOW[@]}" --out clean
delays=${ATLAS_KILL_DELAYS:-$(for _ in 1 2 3; do printf '0.%02d ' $((5 + RANDOM % 60)); done)}
echo "SIGKILL after: $delays seconds"
resume=()
for delay in $delays; do
  "$atlas" run "${SLOW[@]}" --out killed "${resume[@]}" >/dev/null 2>&1 &
  pid=$!
  sleep "$delay"
  kill -KILL "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  echo "killed after $delay s: $(find killed/points -name '*.txt' 2>/dev/null | wc -l) points stored"
  resume=(--resume)
done
call 0 "$atlas" run "${SLOW[@]}" --out killed --resume
grep -q '^points=25 faults=0 kept=[0-9]* computed=[0-9]* ' out.txt || fail "resume summary: $(cat out.txt)"
same_results clean killed
no_partial_files killed
call 0 "$atlas" run "${SLOW[@]}" --out killed --resume
grep -q '^points=25 faults=0 kept=25 computed=0 ' out.txt || fail "a finished sweep resumed: $(cat out.txt)"
same_results clean killed

# --- SIGTERM and SIGINT: no new points, nothing half written, 143 and 130 ---
for signal in TERM INT; do
  rm -rf "sig$signal"
  "$atlas" run "${SLOW[@]}" --out "sig$signal" >"sig$signal.out" 2>"sig$signal.err" &
  pid=$!
  for _ in $(seq 100); do
    [ -n "$(find "sig$signal/points" -name '*.txt' 2>/dev/null)" ] && break
    sleep 0.05
  done
  kill -"$signal" "$pid"
  wait "$pid"
  status=$?
  expected=$([ "$signal" = TERM ] && echo 143 || echo 130)
  [ "$status" = "$expected" ] || fail "SIG$signal: exit $status, expected $expected"
  grep -q -- "--resume" "sig$signal.err" || fail "SIG$signal: stderr does not say how to go on: $(cat "sig$signal.err")"
  [ ! -e "sig$signal/atlas.csv" ] && [ ! -e "sig$signal/atlas.png" ] || fail "SIG$signal: an atlas of a partial sweep"
  no_partial_files "sig$signal"
  stored=$(find "sig$signal/points" -name '*.txt' | wc -l)
  [ "$stored" -ge 1 ] && [ "$stored" -lt 25 ] || fail "SIG$signal: $stored points stored"
  call 0 "$atlas" run "${SLOW[@]}" --out "sig$signal" --resume
  grep -q "^points=25 faults=0 kept=$stored computed=$((25 - stored)) " out.txt || fail "SIG$signal resume: $(cat out.txt)"
  same_results clean "sig$signal"
done

# --- One run per folder ------------------------------------------------------
"$atlas" run "${SLOW[@]}" --out busy >/dev/null 2>&1 &
pid=$!
for _ in $(seq 100); do
  [ -e busy/atlas-run.txt ] && break
  sleep 0.05
done
refused busy/atlas.lock -- "$atlas" run "${SMALL[@]}" --out busy
refused busy is\ being\ written -- "$atlas" merge --out busy-merged busy
kill -TERM "$pid"
wait "$pid"

# --- Folders that never mix two sweeps ---------------------------------------
refused --out -- "$atlas" run "${SMALL[@]}" --out ''
refused --out -- "$atlas" merge --out '' clean
call 0 "$atlas" run "${SMALL[@]}" --out whole
call 0 "$atlas" run "${SMALL[@]}" --shard 1/2 --out s1
call 0 "$atlas" run "${SMALL[@]}" --shard 2/2 --out s2
# A run of another sweep, a shard that writes no atlas: the old atlas goes.
cp -r whole stale
call 0 "$atlas" run --mode 2d --size 12 --steps 10 --params "$P" --random 5 --x 0:0.04:0.12:2 --y 4:0.03:0.1:2 \
  --shard 1/2 --out stale
[ ! -e stale/atlas.csv ] && [ ! -e stale/atlas.png ] || fail "a shard run left the previous sweep's atlas"
[ "$(find stale/points -name '*.txt' | wc -l)" = 2 ] || fail "a run kept another sweep's points"
# A merge into a folder that held a whole run: its points go, so it can never
# pass for a shard of the old sweep.
cp -r whole merged
call 0 "$atlas" merge --out merged s1 s2
cmp -s whole/atlas.png merged/atlas.png && cmp -s whole/atlas.csv merged/atlas.csv || fail "merge differs from the whole run"
[ ! -e merged/points ] || fail "merge kept the points of the folder's earlier run"
refused SHARD_DIR point\ 0 -- "$atlas" merge --out again merged
grep -q '^steps-computed [0-9]* of 2700$' merged/atlas-run.txt || fail "merged atlas-run.txt: $(cat merged/atlas-run.txt)"

# --- Folders the atlas did not make: refused untouched; its own mended -----
# name|what the refusal names|how the folder f is made from the whole run
foreign_cases=(
  "notes in points|points/survey|mkdir -p f/points/survey/2024 && echo kept >f/points/survey/2024/notes.txt"
  "a file of its own|notes.txt|echo kept >f/notes.txt"
  "sheet a folder|atlas.png|rm f/atlas.png && mkdir -p f/atlas.png/x && echo kept >f/atlas.png/x/y"
  "sheet a link|atlas.csv|rm f/atlas.csv && ln -s ../whole/atlas.csv f/atlas.csv"
  "a picture alone|atlas.png|rm -r f/* && cp whole/atlas.png f/"
)
for case in "${foreign_cases[@]}"; do
  IFS='|' read -r name names make <<<"$case"
  for command in run resume merge; do
    rm -rf f && cp -r whole f && bash -c "$make" || fail "$name: could not make the folder"
    before=$(fingerprint f)
    case $command in
      run) refused f "$names" -- "$atlas" run "${SMALL[@]}" --out f ;;
      resume) refused f "$names" -- "$atlas" run "${SMALL[@]}" --out f --resume ;;
      merge) refused f "$names" -- "$atlas" merge --out f s1 s2 ;;
    esac
    [ "$(fingerprint f)" = "$before" ] || fail "$name: $command changed the folder"
  done
done
# A folder of an older atlas (no marker) is taken; a sheet without its table
# (a merge killed between its renames) is mended by the next run.
rm -rf f && cp -r whole f && rm f/atlas-folder.txt f/atlas.csv && touch f/.atlas.csv.1.0.tmp
call 0 "$atlas" run "${SMALL[@]}" --out f --resume
same_results whole f
no_partial_files f
[ -f f/atlas-folder.txt ] || fail "an older atlas folder was not marked"

# --- --resume: the same sweep however written; another one untouched -------
before=$(fingerprint whole)
small --steps 301
refused --steps whole -- "$atlas" run "${ARGS[@]}" --out whole --resume
small --x 0:0.04:0.12:4
refused --x whole -- "$atlas" run "${ARGS[@]}" --out whole --resume
refused --shard whole -- "$atlas" run "${SMALL[@]}" --shard 1/2 --out whole --resume
[ "$(fingerprint whole)" = "$before" ] || fail "a refused resume changed the folder"
cp -r whole written
small --steps 0300 --x 0:.04:.120:3 --random 05 --size 12.4 --mode 2D
call 0 "$atlas" run "${ARGS[@]}" --out written --resume
grep -q '^points=9 faults=0 kept=9 computed=0 ' out.txt || fail "the same sweep written differently: $(cat out.txt)"
# The tiles' colours are no result: the points stay, the sheet is redrawn.
call 0 "$atlas" run "${SMALL[@]}" --palette viridis --out written --resume
grep -q '^points=9 faults=0 kept=9 computed=0 ' out.txt || fail "another palette: $(cat out.txt)"
cmp -s whole/atlas.png written/atlas.png && fail "--palette viridis drew the grey sheet"
cmp -s whole/atlas.csv written/atlas.csv || fail "--palette changed atlas.csv"
cp -r whole crlf
sed -i 's/$/\r/' crlf/atlas-run.txt
call 0 "$atlas" run "${SMALL[@]}" --out crlf --resume
grep -q '^points=9 faults=0 kept=9 computed=0 ' out.txt || fail "a CRLF atlas-run.txt: $(cat out.txt)"
same_results whole crlf
call 0 "$atlas" run "${SMALL[@]}" --out fresh --resume
grep -q '^points=9 faults=0 kept=0 computed=9 ' out.txt || fail "a resume into a new folder: $(cat out.txt)"

# --- Every merge refusal names the shard and the point; no atlas is written --
other=(--mode 2d --size 12 --steps 299 --params "$P" --random 5 --x 0:0.04:0.12:3 --y 4:0.03:0.1:3)
call 0 "$atlas" run "${other[@]}" --shard 2/2 --out other2
damage_cases=(
  "other-sweep|c/s2 --steps|rm -rf c/s2 && cp -r other2 c/s2"
  "duplicate|c/s2 point 0 c/s1|cp c/s1/points/000000.* c/s2/points/"
  "missing|point 1 SHARD_DIR|rm c/s2/points/000001.txt"
  "raw-short|c/s1 point 2 000002.raw|truncate -s -1 c/s1/points/000002.raw"
  "raw-flipped|c/s1 point 4 checksum|printf '\\x01' | dd of=c/s1/points/000004.raw bs=1 seek=100 conv=notrunc status=none"
  "row-edited|c/s2 point 3 checksum|sed -i 's/,ok,/,OK,/' c/s2/points/000003.txt"
  "raw-dev-zero|c/s1 point 0 regular|rm c/s1/points/000000.raw && ln -s /dev/zero c/s1/points/000000.raw"
  "raw-fifo|c/s1 point 6 regular|rm c/s1/points/000006.raw && mkfifo c/s1/points/000006.raw"
  "record-fifo|c/s2 point 5 regular|rm c/s2/points/000005.txt && mkfifo c/s2/points/000005.txt"
  "description-fifo|c/s2 atlas-run.txt|rm c/s2/atlas-run.txt && mkfifo c/s2/atlas-run.txt"
  "out-is-a-shard|--out c/out|rm -rf c/out && ln -s s1 c/out"
)
for case in "${damage_cases[@]}"; do
  IFS='|' read -r name names damage <<<"$case"
  rm -rf c && mkdir c && cp -r s1 s2 c/
  bash -c "$damage" || fail "$name: could not damage"
  read -ra words <<<"$names"
  refused "${words[@]}" -- timeout 20 "$atlas" merge --out c/out c/s1 c/s2
  [ ! -e c/out/atlas.csv ] && [ ! -e c/out/atlas.png ] && [ ! -e c/s1/atlas.csv ] || fail "$name: an atlas was written"
done

# --- The early stop: the bytes of --no-skip, fewer steps ---------------------
for sweep in "2d 16 4600" "1d 32 5400"; do
  read -r mode size steps <<<"$sweep"
  SETTLE=(--mode "$mode" --size "$size" --steps "$steps" --params "$P" --random 1 --x 0:0.02:0.16:4 --y 4:0.03:0.1:3)
  call 0 "$atlas" run "${SETTLE[@]}" --out "skip$mode"
  skipped=$(grep -o 'steps=[0-9]*/[0-9]*' out.txt)
  call 0 "$atlas" run "${SETTLE[@]}" --out "full$mode" --no-skip
  full=$(grep -o 'steps=[0-9]*/[0-9]*' out.txt)
  same_results "skip$mode" "full$mode"
  [ "$full" = "steps=$((12 * steps))/$((12 * steps))" ] || fail "$mode --no-skip: $full"
  computed=${skipped#steps=}
  computed=${computed%/*}
  [ "$computed" -lt $((12 * steps)) ] || fail "$mode: no point stopped early: $skipped"
  grep -q "^steps-computed $computed of $((12 * steps))$" "skip$mode/atlas-run.txt" ||
    fail "$mode atlas-run.txt: $(cat "skip$mode/atlas-run.txt")"
done

# --- Jobs from the affinity mask; a long --params makes no giant sheet ------
if command -v taskset >/dev/null; then
  call 0 taskset -c 0 "$atlas" run "${SMALL[@]}" --out one-cpu
  grep -q ' jobs=1 ' out.txt || fail "one allowed CPU: $(cat out.txt)"
fi
long="0.04$(printf '0%.0s' $(seq 20000))"
small --params "0.08,-0.08,$long,0.03,0.06,-0.03,-0.15,0.01,0.25,0.2,${long}1"
call 0 "$atlas" run "${ARGS[@]}" --out long
read -r w1 w2 w3 w4 h1 h2 h3 h4 < <(od -An -tu1 -j16 -N8 long/atlas.png)
width=$(((w1 << 24) + (w2 << 16) + (w3 << 8) + w4))
height=$(((h1 << 24) + (h2 << 16) + (h3 << 8) + h4))
[ "$width" -le 1100 ] && [ "$height" -le 600 ] || fail "a long --params made a sheet of $width x $height"

# --- The README shows the cluster recipes as they are shipped ---------------
if [ -n "$source" ]; then
  for recipe in atlas.sbatch atlas-parallel.sh; do
    shown=$(sed 's/^./    &/' "$source/docs/cluster/$recipe")
    readme=$(cat "$source/README.md")
    [[ "$readme" == *"$shown"* ]] || fail "README.md does not show docs/cluster/$recipe as shipped"
  done
fi

echo "atlas folders check: $failures failures"
[ "$failures" = 0 ]
