#!/usr/bin/env bash
# Builds the native benchmarks and prints the JPEG and pixel-engine figures
# beside their anchors, all from one run: libjpeg-turbo (TurboJPEG, single
# thread) for saving JPEG files, ImageMagick for the Floyd-Steinberg remap.
# Runs at the lowest priority; on a shared machine compare CPU times.
#
# Usage: scripts/bench.sh [repetitions]   (default 5; medians are reported)
set -euo pipefail
cd "$(dirname "$0")/.."
REPS=${1:-5}
BUILD=${PIXTREL_BUILD:-build}/bench

cmake -S . -B "$BUILD" -DPIXTREL_BENCH=ON -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$BUILD" -j2 --target JpegBench PixelEngineBench >/dev/null

aggregate=(--benchmark_repetitions="$REPS" --benchmark_report_aggregates_only=true)
echo "== JPEG, quality 90 (file sizes and PSNR, then speed)"
nice -n 19 "$BUILD/bench/JpegBench" --benchmark_filter='3840|1920/1080/0/1/0|LibjpegTurbo/1920' "${aggregate[@]}"
echo
echo "== Pixel engine"
nice -n 19 "$BUILD/bench/PixelEngineBench" \
  --benchmark_filter='BrightnessContrast|Memcpy|CountColors|FloydSteinberg|Mirror|Rotate|ImageMagick' "${aggregate[@]}"
