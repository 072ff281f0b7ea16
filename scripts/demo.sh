#!/usr/bin/env bash
# The main job: builds the Linux plug-ins and shows what was built.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh --native
cmake --preset linux >/dev/null
cmake --build --preset linux -j "$(nproc)"

echo
echo "Built plug-ins:"
found=0
for plugin in build/linux/plugins/*.so; do
  [[ -e "$plugin" ]] || continue
  echo "  $plugin"
  found=1
done
[[ $found -eq 1 ]] || echo "  (none yet)"
