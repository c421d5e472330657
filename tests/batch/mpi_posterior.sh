#!/bin/bash
# kalvex-batch posterior on two MPI ranks (two threads each) against a run
# on one core: the same .pos and .grd files byte for byte and the same
# summary lines, printed once. Exit code 77: skipped.
# Arguments: kalvex-batch, whether the build has MPI (1/0), the source
# folder, a scratch folder.
set -u
batch=$1 mpi=$2 source=$3 work=$4
if [ "$mpi" != 1 ]; then
  echo "skipped: this build has no MPI (configure with -DKALVEX_MPI=ON)"
  exit 77
fi
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1
args=(posterior --species 2 --data "$source/examples/two_species.dat"
      --alg "$source/tests/data/evaluation/posterior_ranks.alg" --constant 0.5
      --parameter 1 --points 9 --grid-points 501 --out "$work/out.pos" --grid "$work/out.grd")
# The files name themselves: both runs write the same paths, one after the other.
"$batch" "${args[@]}" --threads 1 > one.txt 2> one.err || { cat one.err; exit 1; }
mv out.pos one.pos && mv out.grd one.grd

launcher=(mpirun -n 2 --oversubscribe)
[ "$(id -u)" = 0 ] && launcher+=(--allow-run-as-root)
"${launcher[@]}" "$batch" "${args[@]}" --threads 2 > ranks.txt 2> ranks.err || { cat ranks.err; exit 1; }

status=0
for pair in "one.pos out.pos" "one.grd out.grd" "one.txt ranks.txt" "one.err ranks.err"; do
  set -- $pair
  if [ "$2" = ranks.err ]; then  # mpirun may add its own lines: compare those of kalvex-batch
    grep -v -e '^--' -e '^\[' -e '^ ' ranks.err > ranks.own.err
    set -- one.err ranks.own.err
  fi
  cmp -s "$1" "$2" || { echo "$1 and $2 differ"; diff "$1" "$2" | head -5; status=1; }
done
[ -s one.txt ] || { echo "no summary lines"; status=1; }
exit $status
