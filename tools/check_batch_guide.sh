#!/usr/bin/env bash
# Runs every command example of the batch guide (the ```sh blocks of
# docs/batch.md, in order, as one script) and fails on the first that fails.
#
#   tools/check_batch_guide.sh GUIDE.md BUILD_FOLDER EXAMPLES_FOLDER WORK_FOLDER
#
# The guide runs from a folder "run" beside "build" and "examples"; the work
# folder gets links of those names.
set -euo pipefail
guide="$1" build="$2" examples="$3" work="$4"
rm -rf "$work"
mkdir -p "$work"
ln -s "$build" "$work/build"
ln -s "$examples" "$work/examples"
script="$work/guide.sh"
{
  echo 'set -euo pipefail'
  awk '/^```sh$/ { inside = 1; next } /^```/ { inside = 0; next } inside' "$guide"
} >"$script"
cd "$work"
PATH="$build:$PATH" bash "$script" >"$work/out.txt" 2>"$work/err.txt" || {
  echo "a batch example of $guide failed:"; tail -5 "$work/err.txt"; exit 1;
}
echo "ok: $(grep -c '\$K\|kalvex-batch' "$script") commands"
