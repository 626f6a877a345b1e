#!/bin/sh
#@ The batch script of every OpenFOAM case the designer writes, made from this file as
#@ Allrun is (lines that begin with "#@" left out, @JOBS@ replaced by the cores the case
#@ runs on by default).
# Runs this case on a cluster with Slurm: its ./Allrun on the tasks Slurm gives, the
# solver with OpenMPI across the nodes of the allocation.
#   sbatch Allrun.sbatch                          @JOBS@ tasks
#   sbatch --ntasks=64 --nodes=4 Allrun.sbatch    64 tasks on 4 nodes
# The steps' logs are in <mesh>/log.<step>, Slurm's own in slurm-<job>.out.
#SBATCH --job-name=nozzle-check
#SBATCH --ntasks=@JOBS@
cd "${SLURM_SUBMIT_DIR:-$(dirname "$0")}" || exit 1
exec sh ./Allrun "${SLURM_NTASKS:-@JOBS@}"
