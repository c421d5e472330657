#!/usr/bin/env bash
# Builds the fuzz targets of fuzz/ with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs each for a number of executions.
#
#   tools/fuzz.sh [RUNS] [TARGET...]     default: 1000000 runs of every target
#   FUZZ_SEED=1 tools/fuzz.sh 2000       the same mutations every time (CI)
#
# Each target starts from a seed corpus of the real files named by its
# "Fuzz seeds:" line (a "Fuzz seed prefix: species" line puts the species
# count read from the file's label line before each seed, "Fuzz seed
# prefix: printf FORMAT" the bytes FORMAT gives) and of the inputs
# that once crashed it, kept in tests/data/fuzz/TARGET. Corpora grow in
# build-fuzz/corpus/TARGET, crash inputs land in build-fuzz/crashes/TARGET.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
runs="${1:-1000000}"
shift || true
build="$root/build-fuzz"
cxx="${CXX_FUZZ:-clang++-14}"
if ! command -v "$cxx" >/dev/null; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq && DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq clang-14
fi

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER="$cxx" \
      -DKALVEX_FUZZ=ON -DKALVEX_SANITIZE=ON -DKALVEX_GUI=OFF -DKALVEX_TESTS=OFF -DKALVEX_BENCH=OFF >/dev/null
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for src in fuzz/*.cpp; do targets+=("$(basename "$src" .cpp)"); done
fi
cmake --build "$build" -j "$(nproc)" --target "${targets[@]/#/fuzz_}"

# The species count of a data file: the labels of its first line less Year,
# Effort, V and Index.
species_of() {
  local words
  words=$(head -n 1 "$1" | tr -d '\r' | wc -w)
  local s=$((words - 4))
  [ "$s" -lt 1 ] && s=1
  [ "$s" -gt 25 ] && s=25
  echo "$s"
}

seed_corpus() {
  local target=$1 dir=$2
  local source="fuzz/$target.cpp"
  local patterns prefix
  patterns=$(sed -n 's|^// Fuzz seeds: ||p' "$source")
  prefix=$(sed -n 's|^// Fuzz seed prefix: ||p' "$source")
  mkdir -p "$dir"
  # Inputs that once crashed the target, kept in its own input format.
  for file in "tests/data/fuzz/$target"/*; do
    if [ -f "$file" ]; then cp "$file" "$dir/regression-$(basename "$file")"; fi
  done
  for file in $patterns; do
    [ -f "$file" ] || continue
    local seed
    seed="$dir/seed-$(echo "$file" | tr '/' '_')"
    if [ "$prefix" = species ]; then
      printf "\\$(printf '%03o' $(($(species_of "$file") - 1)))" >"$seed"
      cat "$file" >>"$seed"
    elif [ "${prefix%% *}" = printf ]; then
      # shellcheck disable=SC2059  # the target's line is the format
      printf "${prefix#printf }" >"$seed"
      cat "$file" >>"$seed"
    else
      cp "$file" "$seed"
    fi
  done
}

status=0
for target in "${targets[@]}"; do
  corpus="$build/corpus/$target" crashes="$build/crashes/$target" log="$build/fuzz_$target.log"
  seed_corpus "$target" "$corpus"
  mkdir -p "$crashes"
  echo "== fuzz_$target: $runs runs (log: $log)"
  start=$(date +%s)
  if ! "$build/fuzz/fuzz_$target" -runs="$runs" ${FUZZ_SEED:+-seed="$FUZZ_SEED"} -max_len=16384 -timeout=10 -rss_limit_mb=2048 \
         -artifact_prefix="$crashes/" -print_final_stats=1 "$corpus" >"$log" 2>&1; then
    status=1
    grep -E "ERROR|runtime error|SUMMARY|Test unit written" "$log" || tail -n 20 "$log"
  fi
  grep -E "^stat::number_of_executed_units|^Done [0-9]+ runs" "$log" || true
  echo "   $(( $(date +%s) - start )) s"
done
exit $status
