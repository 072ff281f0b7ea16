#!/usr/bin/env bash
# The main job: builds the Linux plug-ins and renders the demo song through
# both instruments into out/.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh --native
cmake --preset linux >/dev/null
cmake --build --preset linux -j "$(nproc)"

build=build/linux
render=$build/render/vornhalt-render
song=demo/demo.mid
mkdir -p out

echo
echo "Rendering $song:"
rendered=()

# Marrowglint two octaves down (G.Tune 0) with a short, plucked envelope and
# a softened filter.
if [[ -f $build/plugins/Marrowglint.so ]]; then
  "$render" --plugin "$build/plugins/Marrowglint.so" --midi "$song" --out out/demo-marrowglint.wav \
    --param G.Tune=0 --param AAt=0.99 --param ADe=0.9 --param ASu=0.6 --param Cut=0.5 --param Reso=0.3
  rendered+=(out/demo-marrowglint.wav)
else
  echo "  note: $build/plugins/Marrowglint.so is not built yet; skipped"
fi

# Sarnel plays the synthesised pluck, recorded at middle C: root note 60
# (parameter value 60 ÷ 127).
if [[ -f $build/plugins/Sarnel.so ]]; then
  "$render" --plugin "$build/plugins/Sarnel.so" --midi "$song" --out out/demo-sarnel.wav \
    --sample "$build/demo/pluck.wav" --param "root note=0.4724409" \
    --param attack=0 --param release=0.1 --param volume=0.4
  rendered+=(out/demo-sarnel.wav)
else
  echo "  note: $build/plugins/Sarnel.so is not built yet; skipped"
fi

echo
echo "Demo renders:"
if [[ ${#rendered[@]} -eq 0 ]]; then
  echo "  (none: no instrument is built yet)"
else
  for file in "${rendered[@]}"; do echo "  $PWD/$file"; done
fi
echo "Plug-ins:"
found=0
for plugin in "$build"/plugins/*.so; do
  [[ -e "$plugin" ]] || continue
  echo "  $PWD/$plugin"
  found=1
done
[[ $found -eq 1 ]] || echo "  (none yet)"
echo "Install them for Linux hosts with scripts/install-plugins.sh (copies to ~/.vst)."
