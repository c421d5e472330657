#!/bin/bash
# kalvex-batch posterior on two MPI ranks. "same-files": two threads each
# against a run on one core: the same .pos and .grd files byte for byte and
# the same summary lines, printed once. "rank-fault": one rank of two fails
# alone (its data file is missing on its machine): its message is printed
# and the whole job ends with exit 1 within seconds, not with the other rank
# waiting for it for ever; rank 1 fails, then rank 0. Exit code 77: skipped.
# Arguments: kalvex-batch, whether the build has MPI (1/0), the source
# folder, a scratch folder, the check (default same-files).
set -u
batch=$1 mpi=$2 source=$3 work=$4 check=${5:-same-files}
if [ "$mpi" != 1 ]; then
  echo "skipped: this build has no MPI (configure with -DKALVEX_MPI=ON)"
  exit 77
fi
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1
launcher=(mpirun -n 2 --oversubscribe)
[ "$(id -u)" = 0 ] && launcher+=(--allow-run-as-root)
args=(posterior --species 2 --alg "$source/tests/data/evaluation/posterior_ranks.alg" --constant 0.5
      --parameter 1 --points 9 --grid-points 501 --out "$work/out.pos")
status=0

if [ "$check" = rank-fault ]; then
  cp "$source/examples/two_species.dat" present.dat
  # Every rank runs the same command; the failing one is handed a missing file.
  cat > on_rank.sh <<'SCRIPT'
failing=$1; shift
data=present.dat
[ "${OMPI_COMM_WORLD_RANK:-0}" = "$failing" ] && data=missing.dat
exec "$@" --data "$data"
SCRIPT
  for failing in 1 0; do
    prefix=""
    [ "$failing" != 0 ] && prefix="rank $failing: "
    started=$SECONDS
    timeout 120 "${launcher[@]}" bash on_rank.sh "$failing" "$batch" "${args[@]}" > out.txt 2> err.txt
    code=$? elapsed=$((SECONDS - started))
    echo "rank $failing failing: exit $code after $elapsed s"
    [ "$code" = 1 ] || { echo "exit $code, not 1"; cat err.txt; status=1; }
    [ "$elapsed" -le 30 ] || { echo "the job took $elapsed s to end"; status=1; }
    grep -q "^${prefix}Problem with the data file: The data file missing.dat could not be opened" err.txt ||
      { echo "the failing rank's message is missing:"; cat err.txt; status=1; }
    [ -e out.pos ] && { echo "a failed job wrote its report"; status=1; }
  done
  exit $status
fi

args+=(--data "$source/examples/two_species.dat" --grid "$work/out.grd")
# The files name themselves: both runs write the same paths, one after the other.
"$batch" "${args[@]}" --threads 1 > one.txt 2> one.err || { cat one.err; exit 1; }
mv out.pos one.pos && mv out.grd one.grd

"${launcher[@]}" "$batch" "${args[@]}" --threads 2 > ranks.txt 2> ranks.err || { cat ranks.err; exit 1; }

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
