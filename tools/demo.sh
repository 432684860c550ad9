#!/usr/bin/env bash
# Installs what the native build needs, builds the renderer and the plug-in,
# and renders a demo tone: ten seconds of "Binaural - 7.83 (Schumann
# Resonance)" to thrumwell-demo.wav (or the file given).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh native
cmake --preset linux >/dev/null
cmake --build --preset linux --target thrumwell-render
out="${1:-thrumwell-demo.wav}"
build/linux/tools/render/thrumwell-render -o "$out" \
  --program "Binaural - 7.83 (Schumann Resonance)" --seconds 10
echo "wrote $out"
