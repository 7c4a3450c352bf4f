#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan and UBSan) into build-fuzz/ and
# runs each for a while (FUZZ_SECONDS, 30 by default) from seed corpora made
# by the data generator. Any crash, leak, hang or sanitizer report fails.
set -eu
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-30}
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"$(nproc)"
cd build-fuzz
data=data
rm -rf corpus && mkdir -p corpus/{config,heightmap,tga,pcx,raw,md2,3ds,wav} artifacts
./datagen --seeds seeds
cp $data/Config.cfg corpus/config/
cp $data/Heightmaps/Landscape.tga corpus/heightmap/
cp $data/Textures/*.tga corpus/tga/
cp seeds/pcx/* corpus/pcx/
cp seeds/raw/* corpus/raw/
cp $data/Models/Weapon.md2 corpus/md2/
cp $data/models/*.3ds corpus/3ds/
cp $data/sounds/*.wav corpus/wav/
export ASAN_OPTIONS=allocator_may_return_null=1:detect_leaks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
status=0
for target in config heightmap tga pcx raw md2 3ds wav; do
    if tests/fuzz/fuzz_$target -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=262144 \
        -artifact_prefix=artifacts/$target- -print_final_stats=1 corpus/$target >fuzz_$target.log 2>&1; then
        echo "fuzz_$target: $(grep -E '^stat::number_of_executed_units' fuzz_$target.log | awk '{print $2}') runs, no failure"
    else
        echo "fuzz_$target FAILED:"
        grep -E 'ERROR|SUMMARY|runtime error|Test unit written' fuzz_$target.log | head -20
        status=1
    fi
done
exit $status
