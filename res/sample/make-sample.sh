#!/usr/bin/env bash
# Makes res/sample/sample.mp3, the bundled sample: PCM written by tools/make_sample_pcm.cpp,
# encoded by lame as VBR (so it carries a Xing/LAME header) with ID3v1 and ID3v2 tags.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

c++ -std=c++20 -O2 -o "$work/make_sample_pcm" "$root/tools/make_sample_pcm.cpp"
"$work/make_sample_pcm" "$work/sample.wav"
lame --quiet -V 4 --add-id3v2 \
  --tt "Three Phrases" --ta "Partita Studio" --tl "Samples" --ty 2026 \
  --tn 1 --tg "Classical" \
  "$work/sample.wav" "$here/sample.mp3"
echo "wrote $here/sample.mp3"
