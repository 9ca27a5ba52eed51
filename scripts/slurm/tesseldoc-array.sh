#!/bin/bash
# Converts many Notes databases on a Slurm cluster: each task of a job array
# converts one shard of the manifest into one shared destination (a file
# system every node sees), resuming whatever an earlier attempt left.
#
#   sbatch --array=0-15 scripts/slurm/tesseldoc-array.sh MANIFEST DEST [convert-many options]
#
# MANIFEST holds one database per line (a path, or SERVER!!PATH); task K of N
# takes the databases whose position (from 0) is K modulo N, so the tasks
# write disjoint sub-folders and journals. Resubmitting the same array after a
# failure or a time-out only does what is left. When all tasks have ended:
#
#   tesseldoc-cli report DEST
#
# The program is found as $TESSELDOC_CLI, else as tesseldoc-cli on the PATH.
# Office instances per task: --cpus-per-task (at most 4), unless --jobs is given.
#SBATCH --job-name=tesseldoc
#SBATCH --cpus-per-task=1
set -eu

if [ $# -lt 2 ]; then
    echo "usage: sbatch --array=0-N $0 MANIFEST DEST [convert-many options]" >&2
    exit 2
fi
manifest=$1
dest=$2
shift 2

if [ -z "${SLURM_ARRAY_TASK_ID:-}" ] || [ -z "${SLURM_ARRAY_TASK_COUNT:-}" ]; then
    echo "$0: not a task of a job array; submit it with sbatch --array=0-N" >&2
    exit 2
fi
# Arrays numbered from another start (--array=1-8) count from their first task.
shard=$((SLURM_ARRAY_TASK_ID - ${SLURM_ARRAY_TASK_MIN:-0}))
count=$SLURM_ARRAY_TASK_COUNT

jobs=${SLURM_CPUS_PER_TASK:-1}
[ "$jobs" -gt 4 ] && jobs=4
cli=${TESSELDOC_CLI:-tesseldoc-cli}

echo "tesseldoc: task $shard of $count on $(hostname)"
exec "$cli" convert-many "$dest" --manifest "$manifest" --shard "$shard/$count" --resume --jobs "$jobs" "$@"
