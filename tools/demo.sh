#!/usr/bin/env bash
# Installs the dependencies, builds the native preset and renders a demo tone:
# ten seconds of "Binaural - 7.83 (Schumann Resonance)" to thrumwell-demo.wav.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake --preset linux >/dev/null
cmake --build --preset linux --target thrumwell-render
out="${1:-thrumwell-demo.wav}"
build/linux/tools/render/thrumwell-render -o "$out" \
  --program "Binaural - 7.83 (Schumann Resonance)" --seconds 10
echo "wrote $out"
