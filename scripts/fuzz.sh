#!/usr/bin/env bash
# Fuzzes one target for a while, then keeps what it found:
#   scripts/fuzz.sh fuzz_extract 600        (or fuzz_command_line; the time in seconds)
# Builds the fuzz preset and runs the target on one core at low priority with its limits
# (tests/fuzz/<target>.flags) over a work corpus outside the repository (build/fuzz/work/<target>), starting
# from the named seeds (tests/fuzz/seeds/<target>) and the saved corpus (tests/fuzz/corpus/<target>). At the
# end the saved corpus is rebuilt as the smallest set of inputs that reaches everything the seeds do not;
# ctest --preset fuzz replays seeds and corpus. A crash stops the script before that step and leaves the
# input under build/fuzz/artifacts/<target>/; replay it with build/fuzz/<target> <file>.
set -euo pipefail
cd "$(dirname "$0")/.."

usage="usage: scripts/fuzz.sh fuzz_extract|fuzz_command_line SECONDS"
target=${1:?$usage}
seconds=${2:?$usage}
flags_file=tests/fuzz/$target.flags
if [ ! -f "$flags_file" ]; then
  echo "fuzz: no target $target (no $flags_file)" >&2
  exit 2
fi
mapfile -t limits < <(grep '^-' "$flags_file")
fuzzer=build/fuzz/$target
# Reports with file and line: Debian installs the symbolizer under a versioned name only.
export ASAN_SYMBOLIZER_PATH=${ASAN_SYMBOLIZER_PATH:-/usr/lib/llvm-14/bin/llvm-symbolizer}

cmake --preset fuzz >/dev/null
nice -n 10 cmake --build --preset fuzz --target "$target" -j 1

seeds=tests/fuzz/seeds/$target
saved=tests/fuzz/corpus/$target
work=build/fuzz/work/$target
artifacts=build/fuzz/artifacts/$target
mkdir -p "$saved" "$work" "$artifacts"

# New inputs go to the first folder only: seeds and saved corpus are read, never written, while fuzzing.
nice -n 10 "$fuzzer" "${limits[@]}" -max_total_time="$seconds" -print_final_stats=1 \
  -artifact_prefix="$artifacts/" "$work" "$saved" "$seeds"

# Merging into a folder that starts with the seeds keeps only what adds to them; the seeds come out again,
# and what remains replaces the saved corpus.
merged=build/fuzz/merge/$target
rm -rf "$merged"
mkdir -p "$merged"
cp "$seeds"/* "$merged"/
nice -n 10 "$fuzzer" "${limits[@]}" -merge=1 "$merged" "$saved" "$work" 2>&1 \
  | grep -E "^MERGE-OUTER: [0-9]+ new files" || true
for seed in "$seeds"/*; do rm "$merged/$(basename "$seed")"; done
before=$(find "$saved" -type f | wc -l)
find "$saved" -type f -delete
cp "$merged"/* "$saved"/ 2>/dev/null || true
echo "fuzz: $saved holds $(find "$saved" -type f | wc -l) files ($before before)"
