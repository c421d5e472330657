#!/usr/bin/env bash
# Fails on an include that runs upward between the layers of src/.
#
#   tools/check_layers.sh [SOURCE_FOLDER]     (default: the src/ beside tools/)
#
# The layers, lowest first. A unit may include its own headers and those of
# any unit on a lower line; units on one line do not include each other. A
# unit is a folder of src/, or the longer path given here (the Qt front end,
# the painters and the control names each sit apart from their folder).
# A program's main.cpp puts the pieces together and may include anything.
read -r -d '' LAYERS <<'EOF'
workspace
ui
plots
algorithm
minimize
model
covariance
evaluation checks
priors
ranking
report
ui/Names
workflow
plots/qt
batch ui/qt
app mpi
EOF

# Units that do not include each other although their lines would allow it:
# the analyses hand plot data over in the results header below both, and the
# model reaches no person.
read -r -d '' APART <<'EOF'
evaluation plots
model ui
EOF

# Includes that run upward today and are still to be taken away, as
# "FILE -> HEADER" (paths below src/). An entry that no longer occurs fails
# too, so that the list only shrinks.
read -r -d '' KNOWN <<'EOF'
EOF

set -uo pipefail
src="${1:-$(cd "$(dirname "$0")/../src" && pwd)}"

declare -A level=()
n=0
while read -r line; do
  n=$((n + 1))
  for unit in $line; do level[$unit]=$n; done
done <<<"$LAYERS"
declare -A apart=()
while read -r a b; do apart["$a $b"]=1 apart["$b $a"]=1; done <<<"$APART"

# The unit of a path below src/ into $unit: the longest unit that is a
# prefix of it, else its folder.
unit_of() {
  local path="$1" candidate
  unit=""
  for candidate in "${!level[@]}"; do
    if [[ "$path" == "$candidate"/* || "$path" == "$candidate".* ]] && ((${#candidate} > ${#unit})); then
      unit="$candidate"
    fi
  done
  [[ -n "$unit" ]] || unit="${path%%/*}"
}

status=0
found=""
while IFS= read -r file; do
  rel="${file#"$src"/}"
  [[ "$(basename "$rel")" == main.cpp ]] && continue
  unit_of "$rel"
  from="$unit"
  if [[ -z "${level[$from]:-}" ]]; then
    echo "$rel: the folder $from is not in the layers of $0"
    status=1
    continue
  fi
  while IFS= read -r header; do
    unit_of "$header"
    to="$unit"
    [[ "$to" == "$from" || -z "${level[$to]:-}" ]] && continue
    if ((level[$to] >= level[$from])) || [[ -n "${apart["$from $to"]:-}" ]]; then
      found+="$rel -> $header"$'\n'
    fi
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done < <(find "$src" -name '*.h' -o -name '*.cpp' | sort)

while IFS= read -r entry; do
  [[ -z "$entry" ]] && continue
  if ! grep -qxF "$entry" <<<"$KNOWN"; then
    echo "upward include: $entry"
    status=1
  fi
done <<<"$found"
while IFS= read -r entry; do
  [[ -z "$entry" ]] && continue
  if ! grep -qxF "$entry" <<<"$found"; then
    echo "gone, strike it from the known list: $entry"
    status=1
  fi
done <<<"$KNOWN"

known=$(grep -c . <<<"$KNOWN")
if ((status == 0)); then echo "ok: no upward include beyond the $known known"; fi
exit $status
