#!/bin/bash
# A one-node Slurm cluster on this machine (munged, slurmctld, slurmd, with a
# configuration of its own in a temporary directory), a 4-task job array over
# 8 databases into one destination, and the merged report. Every daemon this
# test starts is stopped again. Exit 77: skipped (the reason is printed).
#   slurm_array_test.sh TESSELDOC_CLI ARRAY_SCRIPT
set -u
cli=$1
array_script=$2
here=$(cd "$(dirname "$0")" && pwd)
demo="$here/../../res/demo/demo-mail.dxl"

skip() { echo "SKIPPED: $*"; exit 77; }

for b in /usr/sbin/slurmctld /usr/sbin/slurmd /usr/sbin/munged /usr/sbin/mungekey; do
    [ -x "$b" ] || skip "Slurm not installed: apt-get install slurmctld slurmd slurm-client munge"
done
command -v sbatch >/dev/null || skip "Slurm not installed: apt-get install slurmctld slurmd slurm-client munge"
[ "$(id -u)" = 0 ] || skip "the one-node cluster is started as root"
command -v ss >/dev/null || skip "ss (iproute2) is needed to find free ports"
[ -f "$demo" ] || skip "demo database missing: $demo"

port_free() { [ -z "$(ss -Hltn "sport = :$1" 2>/dev/null)" ]; }
CPORT=""
for i in $(seq 50); do
    p=$((20000 + RANDOM % 20000))
    if port_free "$p" && port_free $((p + 1)); then CPORT=$p; DPORT=$((p + 1)); break; fi
done
[ -n "$CPORT" ] || skip "no free ports for the cluster"

D=$(mktemp -d /tmp/tesseldoc-slurm.XXXXXX)
export SLURM_CONF="$D/etc/slurm.conf"

stop_pids() {  # TERM the pids in the given pid files, wait up to 10 s, then KILL
    local pids="" f p i
    for f in "$@"; do [ -s "$f" ] && pids="$pids $(cat "$f")"; done
    [ -n "$pids" ] || return 0
    kill -TERM $pids 2>/dev/null
    for i in $(seq 100); do
        p=""
        for f in $pids; do kill -0 "$f" 2>/dev/null && p=1; done
        [ -z "$p" ] && return 0
        sleep 0.1
    done
    kill -KILL $pids 2>/dev/null
    return 1
}
cleanup() {
    stop_pids "$D/run/slurmd.pid" "$D/run/slurmctld.pid"
    stop_pids "$D/munge/munged.pid"
    rm -rf "$D"
}
trap cleanup EXIT

fail() {
    echo "FAILED: $*"
    for f in "$D"/out-*.txt; do [ -f "$f" ] && { echo "== $f"; cat "$f"; }; done
    exit 1
}

# ---- the cluster (all state, sockets and logs below $D; nothing under /etc)
chmod 0711 "$D"  # munged wants o+x on every directory above its socket
mkdir -p "$D"/etc "$D"/state "$D"/spool "$D"/log "$D"/run
install -d -m 0711 "$D/munge"
/usr/sbin/mungekey --create --keyfile="$D/munge/munge.key" || skip "mungekey failed"
cat > "$SLURM_CONF" <<EOC
ClusterName=tesseldoctest
SlurmctldHost=localhost(127.0.0.1)
SlurmctldPort=$CPORT
SlurmdPort=$DPORT
CommunicationParameters=NoInAddrAny,NoCtldInAddrAny
AuthType=auth/munge
CredType=cred/munge
AuthInfo=socket=$D/munge/munge.sock
StateSaveLocation=$D/state
SlurmdSpoolDir=$D/spool
SlurmctldPidFile=$D/run/slurmctld.pid
SlurmdPidFile=$D/run/slurmd.pid
SlurmctldLogFile=$D/log/slurmctld.log
SlurmdLogFile=$D/log/slurmd.log
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
JobAcctGatherType=jobacct_gather/none
SelectType=select/cons_tres
SelectTypeParameters=CR_Core
MailProg=/bin/true
ReturnToService=2
MinJobAge=5
SchedulerParameters=batch_sched_delay=0
NodeName=localhost NodeAddr=127.0.0.1 CPUs=2 State=UNKNOWN
PartitionName=debug Nodes=localhost Default=YES MaxTime=INFINITE State=UP
EOC
/usr/sbin/munged --socket="$D/munge/munge.sock" --key-file="$D/munge/munge.key" \
    --pid-file="$D/munge/munged.pid" --log-file="$D/munge/munged.log" \
    --seed-file="$D/munge/munged.seed" || skip "munged does not start"
/usr/sbin/slurmctld || skip "slurmctld does not start"
/usr/sbin/slurmd || skip "slurmd does not start"
up=""
for i in $(seq 100); do
    if timeout 5 scontrol ping >/dev/null 2>&1 && [ "$(timeout 5 sinfo -h -o %T 2>/dev/null)" = idle ]; then up=1; break; fi
    sleep 0.1
done
if [ -z "$up" ]; then
    timeout 10 sinfo -N -o '%N %T %E' 2>&1
    grep -h -E 'fatal|error' "$D"/log/*.log | tail -n 20
    skip "the one-node cluster did not come up"
fi
sbatch --version 2>/dev/null | grep -q '^slurm-wlm 22\.05\.' || echo "note: untested Slurm version: $(sbatch --version 2>&1)"
timeout 60 sbatch --wait -o "$D/probe.out" --wrap 'echo ok' >/dev/null 2>&1
grep -q '^ok$' "$D/probe.out" 2>/dev/null || skip "the cluster runs no job (see the slurmd log)"

# ---- 8 databases, a 4-task array into one destination
mkdir -p "$D/dbs" "$D/dest"
: > "$D/manifest.txt"
for n in a b c d e f g h; do
    cp "$demo" "$D/dbs/$n.dxl"
    echo "$D/dbs/$n.dxl" >> "$D/manifest.txt"
done
chmod -R a+rX "$D/dbs"
submit() {
    timeout 600 sbatch --wait --array=0-3 --output="$D/out-%a.txt" \
        --export=ALL,TESSELDOC_CLI="$cli" "$array_script" "$D/manifest.txt" "$D/dest" --jobs 1 >/dev/null
}
submit || fail "the array failed (sbatch exit $?)"
for k in 0 1 2 3; do
    grep -q "task $k of 4" "$D/out-$k.txt" 2>/dev/null || fail "task $k did not run"
    grep -q 'items: .* 0 failed' "$D/out-$k.txt" || fail "task $k reported failures"
done

# Every database in its own sub-folder, each with the same documents (they are
# copies of one database): every item written once, by one task. Items without
# a subject take default names from counters that run on through a task, so
# the first databases of the four tasks (A-D) match each other, and so do the
# second ones (E-H).
ref=$(cd "$D/dest/A" && find . -name '*.doc' | sort)
[ -n "$ref" ] || fail "no documents in A"
per_db=$(printf '%s\n' "$ref" | wc -l)
second=$(cd "$D/dest/E" 2>/dev/null && find . -name '*.doc' | sort)
[ "$(printf '%s\n' "$second" | wc -l)" -eq "$per_db" ] || fail "E and A differ in number"
for n in A B C D; do
    got=$(cd "$D/dest/$n" 2>/dev/null && find . -name '*.doc' | sort)
    [ "$got" = "$ref" ] || fail "sub-folder $n differs from A"
done
for n in E F G H; do
    got=$(cd "$D/dest/$n" 2>/dev/null && find . -name '*.doc' | sort)
    [ "$got" = "$second" ] || fail "sub-folder $n differs from E"
done
total=$(find "$D/dest" -name '*.doc' | wc -l)
[ "$total" -eq $((8 * per_db)) ] || fail "$total documents, expected $((8 * per_db))"
[ "$(ls "$D"/dest/.tesseldoc-journal-shard-*-of-4 | wc -l)" -eq 4 ] || fail "not one journal per task"

report=$("$cli" report "$D/dest")
echo "$report"
echo "$report" | grep -q "^journals: 4$" || fail "report: journals"
echo "$report" | grep -q "^items: [0-9]* found, $total written, 0 failed$" || fail "report does not count $total written"

# The same array again: nothing is written twice.
submit || fail "the second array failed"
[ "$(find "$D/dest" -name '*.doc' | wc -l)" -eq "$total" ] || fail "documents written twice"
report=$("$cli" report "$D/dest")
echo "$report" | grep -q "^already written: $total$" || fail "second run: $report"
echo "PASSED: $total documents from 8 databases in 4 tasks, each written once"
exit 0
