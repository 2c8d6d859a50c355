#!/usr/bin/env bash
# Runs clang-tidy (the repository's .clang-tidy) over the sources of src/ and tools/ that the
# build compiles, in parallel; fails, with the findings, when it finds anything.
# Usage: scripts/tidy.sh BUILD_DIR [all|changed]
#   all (the default): every source.
#   changed: the sources changed against the main branch (since the merge-base, uncommitted
#   changes included), a header's own .cpp standing for it. On the main branch itself, as in a
#   fresh clone, that is nothing; then the last commit's changes count (for a merge, everything
#   it brought in), and with no commit before it, every source.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${1:-build}
mode=${2:-all}
tidy=$(command -v clang-tidy-14 || command -v clang-tidy || true)
[ -n "$tidy" ] || { echo "tidy: clang-tidy is missing (make deps)" >&2; exit 2; }
[ -f "$build_dir/compile_commands.json" ] || { echo "tidy: no $build_dir/compile_commands.json (make configure)" >&2; exit 2; }

# Every source of src/ and tools/ that the build compiles, relative to here.
mapfile -t compiled < <(python3 - "$build_dir/compile_commands.json" "$PWD" <<'PY'
import json, os, sys
root = sys.argv[2]
seen = set()
for entry in json.load(open(sys.argv[1])):
    path = os.path.relpath(os.path.join(entry["directory"], entry["file"]), root)
    if path.startswith(("src/", "tools/")) and path not in seen:
        seen.add(path)
        print(path)
PY
)

files=("${compiled[@]}")
if [ "$mode" = changed ]; then
  base=""
  for ref in main origin/main; do
    if git rev-parse -q --verify "$ref^{commit}" >/dev/null; then
      base=$(git merge-base HEAD "$ref")
      break
    fi
  done
  if [ -z "$base" ] || [ "$base" = "$(git rev-parse HEAD)" ]; then
    base=$(git rev-parse -q --verify 'HEAD^1^{commit}' || true)
  fi
  if [ -n "$base" ]; then
    declare -A wanted=()
    while IFS= read -r path; do
      wanted["${path%.*}.cpp"]=1
    done < <(git diff --name-only "$base" -- src tools)
    files=()
    for path in "${compiled[@]}"; do
      [ -n "${wanted[$path]:-}" ] && files+=("$path")
    done
    echo "tidy: ${#files[@]} changed source(s) since ${base:0:12}"
  fi
fi
[ ${#files[@]} -gt 0 ] || { echo "tidy: nothing to check"; exit 0; }

log_dir=$(mktemp -d)
trap 'rm -rf "$log_dir"' EXIT
export tidy build_dir log_dir
# One log per source; a source with findings keeps its log as .failed.
printf '%s\n' "${files[@]}" | xargs -P "$(nproc)" -I{} bash -c '
  log="$log_dir/$(echo "$1" | tr / _)"
  "$tidy" -p "$build_dir" --quiet "$1" >"$log.log" 2>&1 || mv "$log.log" "$log.failed"' _ {}
failed=("$log_dir"/*.failed)
if [ -e "${failed[0]}" ]; then
  # The findings alone: the counts of warnings from outside the checked folders are noise.
  grep -hv -E '^[0-9]+ (warnings?|errors?)( and [0-9]+ errors?)? generated\.$|^Suppressed [0-9]+ warnings|^Use -header-filter|^Use -system-headers' \
    "${failed[@]}" >&2 || true
  echo "tidy: findings in ${#failed[@]} of ${#files[@]} source(s)" >&2
  exit 1
fi
echo "tidy: ${#files[@]} source(s), no findings"
