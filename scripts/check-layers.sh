#!/usr/bin/env bash
# Fails when a file includes a header from a layer above its own. Layers, lowest first:
# core <- stats, mapping <- engine <- app, cli; core <- chart <- app, cli. predictors/ stand apart (they lean on core
# only); tools/ sit on top; fuzz/ targets sit on the engine. tests/ and bench/ follow the folder they test, plus
# tests/support.
set -euo pipefail
cd "$(dirname "$0")/.."

allowed() {
  case "$1" in
    core) echo "core" ;;
    stats) echo "core stats" ;;
    mapping) echo "core mapping" ;;
    engine) echo "core stats mapping engine" ;;
    app/logic) echo "core stats mapping engine app/logic" ;;
    chart) echo "core chart" ;;
    app) echo "core stats mapping engine chart app" ;;
    cli) echo "core stats mapping engine chart cli" ;;
    predictors) echo "core predictors" ;;
    tools) echo "core stats mapping engine chart app tools" ;;
    fuzz) echo "core stats mapping engine fuzz" ;;
  esac
}

layer_of() {
  local file=$1
  case "$file" in
    tests/support/*) echo "engine" ;;
    tests/* | bench/*) file=${file#*/} ;;
  esac
  case "$file" in
    app/logic/*) echo "app/logic" ;;
    */*) echo "${file%%/*}" ;;
  esac
}

status=0
while IFS= read -r file; do
  layer=$(layer_of "$file")
  [ -n "$layer" ] || continue
  permitted=$(allowed "$layer")
  [ -n "$permitted" ] || continue
  case "$file" in tests/* | bench/*) permitted="$permitted tests/support tests/$layer" ;; esac
  while IFS= read -r included; do
    top=${included%%/*}
    case "$top" in core | stats | mapping | engine | chart | app | cli | predictors | tools | tests | fuzz) ;; *) continue ;; esac
    ok=0
    for prefix in $permitted; do
      case "$included" in "$prefix" | "$prefix"/*) ok=1 ;; esac
    done
    if [ "$ok" -eq 0 ]; then
      echo "$file includes $included, which lies above its layer ($layer)" >&2
      status=1
    fi
  done < <(sed -n 's/^#include "\([^"]*\)".*/\1/p' "$file")
done < <(git ls-files '*.h' '*.cpp')
[ "$status" -eq 0 ] && echo "layers: every include points down"
exit "$status"
