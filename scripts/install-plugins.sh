#!/usr/bin/env bash
# Copies the built Linux plug-ins to ~/.vst, where Linux hosts look for VST 2
# plug-ins (or to the folder given as the first argument).
set -euo pipefail

# A relative folder means one relative to where the command was typed.
target=${1:-$HOME/.vst}
[[ "$target" == /* ]] || target="$PWD/$target"
cd "$(dirname "$0")/.."

plugins=(build/linux/plugins/*.so)
if [[ ! -e "${plugins[0]}" ]]; then
  echo "install-plugins: no plug-ins in build/linux/plugins; run scripts/demo.sh first" >&2
  exit 1
fi
mkdir -p "$target"
for plugin in "${plugins[@]}"; do
  cp -f "$plugin" "$target/"
  echo "installed $target/$(basename "$plugin")"
done
