#!/bin/sh
# A case run on a cluster through its Allrun.sbatch, on the local one-node Slurm that
# the test command starts (tests/slurm/local_slurm.sh): the job ends, every mesh solved,
# the finest decomposed across the allocation's two tasks and run by OpenMPI.
#   tests/slurm/slurm_case_test.sh NOZZLE_CLI
# Skipped (status 77) where no Slurm runs (SLURM_CONF unset).
set -eu
cli="$1"
[ -n "${SLURM_CONF:-}" ] || { echo "no local Slurm (SLURM_CONF unset): skipped"; exit 77; }
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
"$cli" --n 7 --dir "$work" --openfoam "$work/case" --cfd-cells 104 --cfd-jobs 2 >/dev/null
cd "$work/case"
fail() { echo "$1"; cat slurm.out 2>/dev/null; exit 1; }
sbatch --wait --output=slurm.out Allrun.sbatch >/dev/null || fail "the job failed"
[ "$(tail -n 1 slurm.out)" = done ] || fail "the job did not end its Allrun"
grep -q "^nProcs *: 2" fine/log.rhoCentralFoam || fail "the finest mesh did not run on the two tasks"
for mesh in coarse medium fine; do
    ls "$mesh" | grep -qv -e '^0$' -e '[^0-9]' || fail "no solution was written on the $mesh mesh"
done
echo "the case ran through Slurm: $(grep -c '^step:' slurm.out) steps"
