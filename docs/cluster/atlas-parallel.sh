#!/bin/bash
# The README's design sweep in four shards with GNU parallel, on this machine
# or on hosts that share the folder (add -S host1,host2), then the merge. A
# shard that was stopped continues where it stopped when run again (--resume).
set -euo pipefail
atlas=${ATLAS:-rdsim-atlas}
parallel -j 4 "$atlas" run --mode 2d --size 64 --steps 20000 --random 1 \
  --params "0.08,-0.08,0.04,0.03,0.06,-0.03,-0.15,0.01,0.25,0.2,0.5" \
  --x 0:0.02:0.16:8 --y 4:0.03:0.1:8 --jobs 1 --shard {}/4 --out shards/{} --resume ::: 1 2 3 4
"$atlas" merge --out atlas shards/1 shards/2 shards/3 shards/4
