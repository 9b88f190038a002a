#!/usr/bin/env bash
# Holds the direction of dependencies: every #include "folder/..." of a program folder must
# name a folder that the table allows, and the standard-C++ layers include no Qt header.
# Prints each violation as file:line and exits 1 when there is one.
set -euo pipefail
cd "$(dirname "$0")/.."

# folder: the folders its files may include (itself always).
declare -A allowed=(
  [base]=""
  [xml]="base"
  [model]="xml base"
  [export]="model xml base"
  [app]="base"
  [ui]="app base"
  [dialogs]="ui export model app base"
  [mainwindow]="dialogs ui export model app base"
  [plugins]="app base"
  [tools]="ui export model app base"
)
# Layers that build and test without Qt.
standard=(base xml model export)

status=0
for folder in "${!allowed[@]}"; do
  [ -d "$folder" ] || continue
  while IFS=: read -r file line text; do
    target=$(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^/"]*\)\/.*/\1/p' <<<"$text")
    [ -n "$target" ] || continue
    [ "$target" = "$folder" ] && continue
    case " ${allowed[$folder]} " in
      *" $target "*) ;;
      *) echo "$file:$line: $folder/ may not include $target/: $text"; status=1 ;;
    esac
  done < <(grep -rn --include='*.h' --include='*.cpp' -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$folder" || true)
done

for folder in "${standard[@]}"; do
  [ -d "$folder" ] || continue
  if grep -rn --include='*.h' --include='*.cpp' -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*<Q' "$folder"; then
    echo "$folder/ is standard C++ and may not include Qt headers (above)"
    status=1
  fi
done

# Every folder of the program must have a row above, so a new one cannot slip past.
for dir in */; do
  dir=${dir%/}
  case "$dir" in build*|tests|bench|fuzz|scripts|docs|examples) continue ;; esac
  if ! ls "$dir"/*.h "$dir"/*.cpp >/dev/null 2>&1 && ! ls "$dir"/*/*.cpp >/dev/null 2>&1; then
    continue
  fi
  [ -n "${allowed[$dir]+set}" ] || { echo "$dir/: no row in the layer table"; status=1; }
done

[ $status -eq 0 ] && echo "layers: every include points downwards"
exit $status
