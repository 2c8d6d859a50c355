#!/usr/bin/env bash
# Fails when a tracked C++ file is not as clang-format (with the repository's .clang-format)
# writes it, and names each such file. `make format` rewrites them.
set -euo pipefail
cd "$(dirname "$0")/.."

command -v clang-format >/dev/null || { echo "format-check: clang-format is missing (make deps)" >&2; exit 2; }

# Many files to a process and a process to a core: one process per file spent a minute starting up.
report=$(git ls-files -z -- '*.cpp' '*.h' |
  xargs -0 -n 64 -P "$(nproc)" clang-format --dry-run --Werror 2>&1 >/dev/null || true)
mapfile -t unformatted < <(printf '%s\n' "$report" | sed -n 's/^\(.*\):[0-9]*:[0-9]*: error: code should be clang-formatted.*/\1/p' | sort -u)
if [ -n "$report" ] && [ ${#unformatted[@]} -eq 0 ]; then
  # clang-format failed for another reason (a bad style file, an unreadable file): show it.
  printf '%s\n' "$report" >&2
  exit 2
fi

if [ ${#unformatted[@]} -ne 0 ]; then
  printf 'format-check: not formatted: %s\n' "${unformatted[@]}" >&2
  echo "format-check: ${#unformatted[@]} file(s); make format rewrites them" >&2
  exit 1
fi
echo "format-check: every tracked .cpp and .h file is formatted"
