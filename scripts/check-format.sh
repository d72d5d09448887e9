#!/bin/sh
# Checks every C++ source file against the repository's .clang-format with
# Debian's clang-format 14 (other versions lay some constructs out
# differently). Lists the files that differ and fails if there is one;
# `clang-format -i FILE` formats a file in place.
set -eu
cd "$(dirname "$0")/.."
format="${CLANG_FORMAT:-clang-format}"
version=$("$format" --version)
case "$version" in
  *"version 14."*) ;;
  *) echo "check-format: needs clang-format 14, found: $version" >&2; exit 2 ;;
esac

differ=$(find src tests bench \( -name '*.h' -o -name '*.cpp' \) | sort | while IFS= read -r file; do
  "$format" --dry-run --Werror "$file" >/dev/null 2>&1 || echo "$file"
done)

if [ -n "$differ" ]; then
  echo "Files that differ from .clang-format ($(echo "$differ" | wc -l)):"
  echo "$differ" | sed 's/^/  /'
  exit 1
fi
echo "Every source file follows .clang-format."
