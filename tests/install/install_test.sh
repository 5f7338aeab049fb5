#!/usr/bin/env bash
# The installed programs, run as a user would run them: installed into a scratch prefix and
# started from an empty folder, they find the installed data; no path of the build is
# compiled into their constants; a folder with an autoexec.bat of its own still wins.
#
#   install_test.sh BUILD_DIR SOURCE_DIR [--sanitized]
#
# --sanitized: AddressSanitizer keeps the source file of every global among the constants,
# so the paths are not looked for.
set -euo pipefail
build=$1 source=$2 sanitized=${3:-}
here=$(cd "$(dirname "$0")" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "install_test: $*" >&2; exit 1; }

prefix=$scratch/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
for program in kra kra-capture kra-check kra-view kra-assets; do
  [[ -x $prefix/bin/$program ]] || fail "bin/$program is not installed"
  [[ -n $sanitized ]] && continue
  objcopy -O binary --only-section=.rodata "$prefix/bin/$program" "$scratch/constants"
  ! grep -qF -e "$build" -e "$source" "$scratch/constants" || fail "bin/$program holds a path of the build"
done

mkdir "$scratch/empty"
cd "$scratch/empty"
"$prefix/bin/kra-capture" --quiet --fps 2 --from 64 --to 65 --frames "$scratch/frames" ||
  fail "kra-capture from an empty folder failed"
frames=("$scratch"/frames/frame_*.png)
[[ -e ${frames[0]} ]] || fail "kra-capture kept no frame from 64 to 65 s"
python3 "$here/swim_frame.py" "${frames[@]}" || fail "the frames from 64 to 65 s are not the swim scene"

report=$("$prefix/bin/kra-check") || fail "kra-check from an empty folder: $report"
expected="kra-check: checked the files in $scratch/empty, its data/ and $prefix/share/kra/autoexec.bat"
grep -qxF "$expected" <<<"$report" || fail "kra-check does not say it checked the installed archive: $report"
"$prefix/bin/kra-view" swim.xml --png "$scratch/swim.png" || fail "kra-view does not find swim.xml"

# A content maker's own archive wins, even a broken one: it is reported, not replaced.
mkdir "$scratch/mine"
cd "$scratch/mine"
echo "not a zip" >autoexec.bat
if report=$("$prefix/bin/kra-check"); then fail "kra-check took the installed archive over the folder's own"; fi
grep -qxF "kra-check: checked the files in $scratch/mine, its data/ and its autoexec.bat" <<<"$report" ||
  fail "kra-check does not say it checked the folder's autoexec.bat: $report"
echo "install_test: the installed programs play, check and view from any folder"
