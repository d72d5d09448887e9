#!/bin/sh
# Checks that includes follow the layers, bottom to top:
#   hardening, core <- generator <- results <- export <- ui <- main.cpp
#                                            <- cli (zentavo-cli, never the window)
# A folder of src/ may include from itself and from the folders below it,
# never from above; includes name their folder and never climb with "../".
# The build enforces the same (each library sees only its own folder and
# those below it); this check says it in one list and also covers tests/
# and bench/. Prints every offending include and fails if there is one.
set -eu
cd "$(dirname "$0")/.."

rank() {
  case "$1" in
    hardening | core) echo 0 ;;
    generator) echo 1 ;;
    results) echo 2 ;;
    export) echo 3 ;;
    ui) echo 4 ;;
    cli) echo 5 ;;
  esac
}

problems=$(
  grep -rn --include='*.h' --include='*.cpp' '#[[:space:]]*include[[:space:]]*"\.\./' src tests bench |
    sed 's/$/   <- climbs with "..\/"/' || true
  find src -mindepth 2 \( -name '*.h' -o -name '*.cpp' \) | sort | while IFS= read -r file; do
    folder=$(echo "$file" | cut -d/ -f2)
    own=$(rank "$folder")
    if [ -z "$own" ]; then
      echo "$file   <- src/$folder/ is not a layer"
      continue
    fi
    grep -n '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" | while IFS= read -r line; do
      target=$(echo "$line" | sed -E 's/^[^"]*"([^"]*)".*/\1/')
      case "$target" in
        */*) theirs=$(rank "${target%%/*}") ;;
        *) theirs="" ;;
      esac
      if [ -z "$theirs" ]; then
        echo "$file:$line   <- names no layer's folder"
      elif [ "$folder" = cli ] && [ "${target%%/*}" = ui ]; then
        echo "$file:$line   <- the command line has no window"
      elif [ "$theirs" -gt "$own" ]; then
        echo "$file:$line   <- ${target%%/*}/ is a layer above $folder/"
      fi
    done
  done
)

if [ -n "$problems" ]; then
  echo "Includes that break the layers (core <- generator <- results <- export <- ui, and cli beside ui):"
  echo "$problems"
  exit 1
fi
echo "Includes follow the layers."
