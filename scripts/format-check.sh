#!/usr/bin/env bash
# Fails when a tracked C++ file is not as clang-format (with the repository's .clang-format)
# writes it, and names each such file. `make format` rewrites them.
set -euo pipefail
cd "$(dirname "$0")/.."

command -v clang-format >/dev/null || { echo "format-check: clang-format is missing (make deps)" >&2; exit 2; }

unformatted=()
while IFS= read -r -d '' file; do
  if ! clang-format --dry-run --Werror "$file" >/dev/null 2>&1; then
    unformatted+=("$file")
  fi
done < <(git ls-files -z -- '*.cpp' '*.h')

if [ ${#unformatted[@]} -ne 0 ]; then
  printf 'format-check: not formatted: %s\n' "${unformatted[@]}" >&2
  echo "format-check: ${#unformatted[@]} file(s); make format rewrites them" >&2
  exit 1
fi
echo "format-check: every tracked .cpp and .h file is formatted"
