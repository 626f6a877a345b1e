#!/bin/sh
# A Slurm cluster of one node, this machine, for the tests: munge with a key of its own,
# slurmctld and slurmd with a configuration in a folder of their own, talking over the
# loopback interface only.
#   tests/slurm/local_slurm.sh start DIR   starts it; prints the SLURM_CONF to export
#   tests/slurm/local_slurm.sh stop DIR    ends it and removes DIR
# Needs root and Debian's slurm-wlm and munge; exits 1 with the reason otherwise.
set -eu
action="$1"
dir="$2"
node="$(hostname -s)"
cpus="$(nproc)"

stop() {
    for daemon in slurmd slurmctld munged; do
        [ -f "$dir/$daemon.pid" ] && kill "$(cat "$dir/$daemon.pid")" 2>/dev/null || true
    done
    sleep 1
    rm -rf "$dir"
}

if [ "$action" = stop ]; then
    stop
    exit 0
fi
[ "$(id -u)" -eq 0 ] || { echo "a local Slurm needs root" >&2; exit 1; }
for program in slurmctld slurmd sbatch munged mungekey; do
    command -v "$program" >/dev/null || { echo "$program is not installed (slurm-wlm, munge)" >&2; exit 1; }
done
mkdir -p "$dir/spool" "$dir/state" "$dir/munge"
chmod 700 "$dir/munge"
mungekey --create --keyfile="$dir/munge/munge.key" --force 2>/dev/null
munged --key-file="$dir/munge/munge.key" --socket="$dir/munge/socket" --pid-file="$dir/munged.pid" \
    --log-file="$dir/munge/munged.log" --seed-file="$dir/munge/seed" --force
memory=$(awk '/MemTotal/ { print int($2 / 1024 / 2) }' /proc/meminfo)
cat > "$dir/slurm.conf" <<CONF
ClusterName=nozzle-tests
SlurmctldHost=$node(127.0.0.1)
AuthType=auth/munge
AuthInfo=socket=$dir/munge/socket
CredType=cred/munge
SlurmUser=root
SlurmdUser=root
SlurmctldPort=16817
SlurmdPort=16818
SlurmctldPidFile=$dir/slurmctld.pid
SlurmdPidFile=$dir/slurmd.pid
SlurmdSpoolDir=$dir/spool
StateSaveLocation=$dir/state
SlurmctldLogFile=$dir/slurmctld.log
SlurmdLogFile=$dir/slurmd.log
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
SelectType=select/cons_tres
SelectTypeParameters=CR_CPU
MpiDefault=none
JobAcctGatherType=jobacct_gather/none
AccountingStorageType=accounting_storage/none
ReturnToService=2
NodeName=$node NodeAddr=127.0.0.1 CPUs=$cpus RealMemory=$memory State=UNKNOWN
PartitionName=tests Nodes=$node Default=YES MaxTime=INFINITE State=UP
CONF
export SLURM_CONF="$dir/slurm.conf"
slurmctld -f "$SLURM_CONF"
slurmd -f "$SLURM_CONF"
for _ in $(seq 100); do
    if sinfo -h -o %T 2>/dev/null | grep -q idle; then
        echo "$SLURM_CONF"
        exit 0
    fi
    sleep 0.2
done
echo "the local Slurm did not come up:" >&2
tail -5 "$dir/slurmctld.log" "$dir/slurmd.log" >&2 || true
stop
exit 1
