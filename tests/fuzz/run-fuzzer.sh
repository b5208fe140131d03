#!/usr/bin/env bash
# Builds the telemetry and settings fuzzer with clang (libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) into OUTDIR, seeds it with the unit tests' inputs and runs it
# for SECONDS seconds (20 in the test suite; run longer by hand:
#   tests/fuzz/run-fuzzer.sh build/fuzz 600).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
repo="$(cd "$here/../.." && pwd)"
out="${1:?usage: run-fuzzer.sh OUTDIR [SECONDS]}"
seconds="${2:-20}"
mkdir -p "$out/corpus"

sources=(
  "$here/TelemetryAndSettingsFuzzer.cpp"
  "$repo/telemetry/TelemetryParser.cpp"
  "$repo/telemetry/CTextData.cpp"
  "$repo/telemetry/TelemetrySampleText.cpp"
  "$repo/settings/SettingsRecord.cpp"
  "$repo/settings/FactoryFile.cpp"
  "$repo/settings/CardFiles.cpp"
  "$repo/platform/CardPath.cpp"
  "$repo/platform/FileOperations.cpp"
  "$repo/texts/TextCatalogue.cpp"
  "$repo/texts/AppValues.cpp"
)
binary="$out/telemetry-settings-fuzzer"
newest=$(ls -t "${sources[@]}" "$0" | head -1)
if [ ! -x "$binary" ] || [ "$newest" -nt "$binary" ]; then
  clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -DVELOMIRA_VERSION='"fuzz"' -I"$repo" "${sources[@]}" -o "$binary"
fi

# Seeds: the inputs of the unit tests.
seed() { printf '%b' "$2" > "$out/corpus/$1"; }
seed rmc-full '$GPRMC,123519.000,A,3733.1234,N,12700.5000,E,10.0,54.7,150312,,,A*6C'
seed rmc-south-west '$GPRMC,123519.000,A,3733.1234,S,12700.5000,W,10.0,54.7,150312,,,A*6C'
seed rmc-no-fix '$GPRMC,123519.000,V,,,,,,,150312,,,N'
seed rmc-gnrmc-lower '$gnrmc,1,A,1,n,2,e,3'
seed gga '$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47'
seed gsensor 'M\x00\x08\x00\x0c\x00\x04\x00\x02\x00\xfc\x00\x00\x01\x00\x00\x0c\x22\x38\x3c\x00\x15\x16\x17\x18\x19\x1a\x1b\x1c\x1d\x1e\x1f\x20\x21\x22\x23\x24\x25\x26\x27\x28'
seed gsensor-short 'A\x00\x08\x00'
seed sample-text '0 4d000800\n40 $GNRMC,1,A,3733.1,N,12700.5,E,10.0\n'
printf 'PLK\x1d' > "$out/corpus/settings"
head -c 196 /dev/zero >> "$out/corpus/settings"

"$binary" -max_total_time="$seconds" -print_final_stats=1 -rss_limit_mb=2048 \
  -timeout=10 "$out/corpus" 2>&1 | tail -n 15
