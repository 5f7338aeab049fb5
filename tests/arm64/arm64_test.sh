#!/usr/bin/env bash
# The ARM build against the native one, as scripts/arm64 test runs it:
#   - the data archive its own kra-assets made (under qemu) holds the same members as the
#     native one, every byte the same but the soundtrack's MP3 (the encoder's floating point
#     rounds otherwise on ARM; the loudness test meters the ARM one);
#   - kra-capture under qemu writes, at 7, 25, 64.5, 97 and 110 s, the very PNG files the
#     native kra-capture writes, each build from its own archive.
#
#   KRA_ARM64_BUILD=DIR KRA_NATIVE_BUILD=DIR tests/arm64/arm64_test.sh
set -euo pipefail
arm64=${KRA_ARM64_BUILD:?the ARM build folder}
native=${KRA_NATIVE_BUILD:?the native build folder}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "arm64_test: $*" >&2; exit 1; }

python3 - "$arm64/autoexec.bat" "$native/autoexec.bat" <<'PY' || fail "the data archives differ"
import sys, zipfile
arm, native = (zipfile.ZipFile(name) for name in sys.argv[1:])
if arm.namelist() != native.namelist():
    sys.exit(f"members: {arm.namelist()} against {native.namelist()}")
differ = [n for n in arm.namelist() if arm.read(n) != native.read(n)]
if differ != ["zibo.mp3"] and differ != []:
    sys.exit(f"members that differ: {differ}")
print(f"arm64_test: {len(arm.namelist())} members, the same bytes but {differ or 'none'}")
PY

for second in 7 25 64.5 97 110; do
  for side in arm64 native; do
    dir=$scratch/$side-$second
    if [[ $side == arm64 ]]; then
      (cd "$arm64" && qemu-aarch64-static ./kra-capture --quiet --from "$second" --to "$second" --frames "$dir") ||
        fail "kra-capture under qemu failed at $second s"
    else
      (cd "$native" && ./kra-capture --quiet --from "$second" --to "$second" --frames "$dir") ||
        fail "the native kra-capture failed at $second s"
    fi
    [[ -f $dir/frame_000000.png ]] || fail "no frame at $second s from the $side build"
  done
  cmp -s "$scratch/arm64-$second/frame_000000.png" "$scratch/native-$second/frame_000000.png" ||
    fail "the frame at $second s differs between ARM and x86-64"
  echo "arm64_test: the frame at $second s is the same file, $(md5sum <"$scratch/native-$second/frame_000000.png" | cut -c1-12)"
done
