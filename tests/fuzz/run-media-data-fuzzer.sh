#!/usr/bin/env bash
# Builds the media data fuzzer (the index rebuilder of recordings cut short) with clang
# (libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer) into OUTDIR, seeds it with the
# test set's cut recordings and runs it for SECONDS seconds against the test set in
# TESTDATA (20 in the test suite; run longer by hand:
#   tests/fuzz/run-media-data-fuzzer.sh build/fuzz build/testdata 600).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
repo="$(cd "$here/../.." && pwd)"
out="${1:?usage: run-media-data-fuzzer.sh OUTDIR TESTDATA [SECONDS]}"
testdata="${2:?usage: run-media-data-fuzzer.sh OUTDIR TESTDATA [SECONDS]}"
seconds="${3:-20}"
corpus="$out/media-data-corpus"
mkdir -p "$corpus"

sources=("$here/MediaDataFuzzer.cpp" "$repo"/playback/recovery/*.cpp)
binary="$out/media-data-fuzzer"
newest=$(ls -t "${sources[@]}" "$repo"/playback/recovery/*.h "$0" | head -1)
if [ ! -x "$binary" ] || [ "$newest" -nt "$binary" ]; then
  clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -I"$repo" "${sources[@]}" -o "$binary"
fi

# Seeds: the start of each cut recording (the walk's whole variety lies in its first
# kilobytes) and one whole short cut.
for layout in two-cameras front-only timed-text no-audio; do
  head -c 12000 "$testdata/cut/$layout/first-second.mp4" > "$corpus/$layout-start"
done
cp "$testdata/cut/no-audio/first-second.mp4" "$corpus/no-audio-whole"

VELOMIRA_FUZZ_DATA="$testdata" "$binary" -max_total_time="$seconds" -print_final_stats=1 \
  -rss_limit_mb=2048 -timeout=10 -max_len=65536 "$corpus" 2>&1 | tail -n 15
