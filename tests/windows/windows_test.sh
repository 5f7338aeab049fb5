#!/usr/bin/env bash
# The Windows build under wine, as scripts/windows test runs it:
#   - the renderer and display suites (the SSE2 code against its reference forms) built by
#     mingw-w64;
#   - the zip's programs import nothing but Windows' own DLLs;
#   - kra-capture.exe's frames at six seconds across the parts are the native kra-capture's,
#     byte for byte, and so are kra-view.exe's pictures kra-view's;
#   - kra-check.exe in the unzipped folder passes, names a damaged archive and fails, and
#     works from and on a folder named Demos/Ünïcode;
#   - the programs carry their manifest and version information, kra.exe its icon;
#   - kra-capture.exe --video starts ffmpeg.exe from the PATH (a stand-in here) with every
#     name as it is, and says so clearly when there is none;
#   - kra.exe in a window on an Xvfb server shows the swim scene, Space holds the picture,
#     Right moves on while paused, Escape ends it with 0; with no data, or with a broken
#     script, it prints what kra prints and exits as kra does (KRA_NO_MESSAGE_BOXES=1), and
#     without that variable the broken script's message box is a real one that ends it.
#
# Environment: KRA_WINDOWS_BUILD (the mingw-w64 build folder with the suites),
# KRA_NATIVE_BUILD (a native build with kra-capture and autoexec.bat), KRA_WINDOWS_ZIP_DIR
# (where scripts/windows wrote the zip).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
win_build=${KRA_WINDOWS_BUILD:?} native=${KRA_NATIVE_BUILD:?} zip_dir=${KRA_WINDOWS_ZIP_DIR:?}
scratch=$(mktemp -d)
xvfb_pid=""
cleanup() {
  wineserver -k 2>/dev/null || true
  # An Xvfb that has gone already is no failure of the checks.
  if [[ -n $xvfb_pid ]]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$scratch"
}
trap cleanup EXIT
fail() { echo "windows_test: $*" >&2; exit 1; }
step() { echo "windows_test: $*" >&2; }

# One wine prefix for the build, kept between runs (made in about 15 s); no Mono or Gecko.
export WINEPREFIX=$win_build/wine-prefix WINEDLLOVERRIDES="mscoree,mshtml=" WINEDEBUG=-all
# wine takes Unix file names through the locale's character set: without a UTF-8 locale (none
# is set on a bare machine) it cannot open the Ünïcode folder below.
export LC_ALL=C.UTF-8
# No sound card here: ALSA's default device is one that takes everything and plays nothing,
# set in the test's own HOME so nobody else's configuration is touched.
export HOME=$scratch/home
mkdir -p "$HOME"
printf 'pcm.!default { type null }\nctl.!default { type hw card 0 }\n' >"$HOME/.asoundrc"
wine=/usr/lib/wine/wine64

# An X server of our own for everything: wine keeps one display per wineserver.
# shellcheck source=scripts/xvfb.sh
. "$here/../../scripts/xvfb.sh"
start_xvfb || fail "Xvfb did not start"
export DISPLAY=$xvfb_display
wineserver -k 2>/dev/null || true
if [[ ! -f $WINEPREFIX/system.reg ]]; then
  step "making the wine prefix $WINEPREFIX"
  "$wine" wineboot -i >/dev/null 2>&1 || fail "wineboot could not make $WINEPREFIX"
fi
# One wineserver for the whole test, kept until cleanup: left to itself it quits a few
# seconds after its last program ends, and a program starting just then loses it ("wine
# client error: recvmsg: Connection reset by peer"). wineboot's own goes first.
wineserver -k 2>/dev/null || true
wineserver -p || fail "wineserver could not start for $WINEPREFIX"

step "the renderer and display suites under wine"
for suite in render display; do
  (cd "$win_build" && "$wine" "kra_${suite}_tests_win.exe" --gtest_brief=1) || fail "kra_${suite}_tests_win.exe failed"
done

zips=("$zip_dir"/kra-*-win64.zip)
[[ -f ${zips[0]} ]] || fail "no zip in $zip_dir"
unzip -q "${zips[0]}" -d "$scratch/unzipped"
folder=$(echo "$scratch"/unzipped/kra-*-win64)
for file in kra.exe kra-capture.exe kra-check.exe kra-view.exe autoexec.bat README.txt LICENSE.txt THIRD-PARTY-NOTICES.txt; do
  [[ -f $folder/$file ]] || fail "the zip has no $file"
done

step "the programs import only Windows' own DLLs"
system_dlls=" kernel32.dll user32.dll gdi32.dll advapi32.dll shell32.dll ole32.dll oleaut32.dll imm32.dll"
system_dlls+=" winmm.dll version.dll setupapi.dll shlwapi.dll rpcrt4.dll msvcrt.dll cfgmgr32.dll "
for exe in "$folder"/*.exe; do
  imports=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z')
  [[ -n $imports ]] || fail "$(basename "$exe") lists no imports"
  for dll in $imports; do
    [[ $system_dlls == *" $dll "* ]] || fail "$(basename "$exe") imports $dll, which Windows does not have"
  done
done
subsystem() { x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^Subsystem\s*//p'; }
[[ $(subsystem "$folder/kra.exe") == 00000002* ]] || fail "kra.exe is not a GUI-subsystem program"
[[ $(subsystem "$folder/kra-check.exe") == 00000003* ]] || fail "kra-check.exe is not a console program"
# Resources: 3 icon, 14 icon group, 16 version information, 24 manifest.
for exe in "$folder"/*.exe; do
  resources=$(wrestool -l "$exe")
  for type in 16 24; do
    grep -q -- "--type=$type " <<<"$resources" || fail "$(basename "$exe") has no resource of type $type"
  done
done
grep -q -- "--type=14 " <<<"$(wrestool -l "$folder/kra.exe")" || fail "kra.exe has no icon"

step "kra-capture.exe's frames against the native kra-capture's"
for second in 3 21 42 64.5 97 110; do
  to=$(awk -v s="$second" 'BEGIN { print s + 0.05 }')
  (cd "$native" && ./kra-capture --quiet --fps 60 --from "$second" --to "$to" --frames "$scratch/linux/$second") ||
    fail "native kra-capture at $second s failed"
  (cd "$folder" && "$wine" kra-capture.exe --quiet --fps 60 --from "$second" --to "$to" \
    --frames "$scratch/windows/$second") || fail "kra-capture.exe at $second s failed"
  count=0
  for frame in "$scratch/linux/$second"/frame_*.png; do
    other=$scratch/windows/$second/$(basename "$frame")
    [[ -f $other ]] || fail "kra-capture.exe wrote no $(basename "$frame") at $second s"
    cmp -s "$frame" "$other" || fail "$(basename "$frame") at $second s differs from the native frame"
    count=$((count + 1))
  done
  ((count > 0)) || fail "no frames at $second s"
  [[ $(ls "$scratch/windows/$second" | wc -l) == "$count" ]] ||
    fail "kra-capture.exe kept another number of frames at $second s"
done

step "kra-view.exe's pictures against the native kra-view's"
for view in "swim.xml --time 3" "zibo.lwo --time 1.5 --env --outline" "mamma.lwo --blend 6 --background bg_sky.png"; do
  name=$(tr -c 'a-z0-9' _ <<<"$view")
  # shellcheck disable=SC2086
  (cd "$native" && ./kra-view $view --png "$scratch/view-linux-$name.png") || fail "native kra-view $view failed"
  # shellcheck disable=SC2086
  (cd "$folder" && "$wine" kra-view.exe $view --png "$scratch/view-windows-$name.png") ||
    fail "kra-view.exe $view failed"
  cmp -s "$scratch/view-linux-$name.png" "$scratch/view-windows-$name.png" ||
    fail "kra-view.exe $view draws another picture than kra-view"
done

step "kra-check.exe finds the data beside it, and names a damaged archive"
(cd "$folder" && "$wine" kra-check.exe >"$scratch/check.txt" 2>&1) ||
  fail "kra-check.exe failed: $(cat "$scratch/check.txt")"
grep -q "autoexec.bat" "$scratch/check.txt" || fail "kra-check.exe does not say which archive it checked"
(cd "$scratch" && "$wine" "$folder/kra-check.exe" >"$scratch/check-away.txt" 2>&1) ||
  fail "kra-check.exe from another folder does not find the archive beside it: $(cat "$scratch/check-away.txt")"
cp -r "$folder" "$scratch/damaged"
size=$(stat -c %s "$scratch/damaged/autoexec.bat")
printf '\xde\xad\xbe\xef%.0s' $(seq 256) | dd of="$scratch/damaged/autoexec.bat" bs=1 seek=$((size / 2)) conv=notrunc \
  status=none
if (cd "$scratch/damaged" && "$wine" kra-check.exe >"$scratch/damaged.txt" 2>&1); then
  fail "kra-check.exe passed a damaged archive"
fi
grep -q "autoexec.bat.*damaged\|damaged.*autoexec.bat\|autoexec.bat.*not a zip" "$scratch/damaged.txt" ||
  fail "kra-check.exe does not name the damaged archive: $(cat "$scratch/damaged.txt")"

step "a folder named Demos/Ünïcode"
unicode=$scratch/Demos/Ünïcode
mkdir -p "$scratch/Demos"
cp -r "$folder" "$unicode"
(cd "$scratch" && "$wine" "$unicode/kra-check.exe" "Demos/Ünïcode" >"$scratch/unicode.txt" 2>&1) ||
  fail "kra-check.exe on Demos/Ünïcode failed: $(cat "$scratch/unicode.txt")"
(cd "$unicode" && "$wine" kra-capture.exe --quiet --fps 2 --from 64 --to 65 --frames "Bilder/Ünïcode") ||
  fail "kra-capture.exe in Demos/Ünïcode failed"
compgen -G "$unicode/Bilder/Ünïcode/frame_*.png" >/dev/null ||
  fail "kra-capture.exe wrote no frames to Bilder/Ünïcode"
python3 "$here/../install/swim_frame.py" "$unicode"/Bilder/Ünïcode/frame_*.png ||
  fail "the frames from Demos/Ünïcode are not the swim scene"

step "kra-capture.exe --video: without ffmpeg.exe on the PATH, and through a stand-in"
video="$unicode/Film mit Ton.mp4"
status=0
(cd "$unicode" && "$wine" kra-capture.exe --quiet --fps 2 --from 64 --to 65 --video "$video" \
  >"$scratch/video.txt" 2>&1) || status=$?
((status == 1)) && grep -q "needs ffmpeg" "$scratch/video.txt" ||
  fail "kra-capture.exe --video without ffmpeg: status $status, $(cat "$scratch/video.txt")"
(cd "$unicode" && WINEPATH=$("$wine" winepath -w "$win_build/fake-ffmpeg" 2>/dev/null) "$wine" kra-capture.exe \
  --quiet --fps 2 --from 64 --to 65 --video "$video") || fail "kra-capture.exe --video through the stand-in failed"
# The muxing's arguments, then the silent video's: its arguments and the frames' bytes.
[[ -f $video ]] || fail "no $video"
grep -qxF -- "-nostdin" "$video" || fail "the muxing was not started with -nostdin: $(cat "$video")"
grep -qxF -- "$video" "$video" || fail "the video's name did not arrive as it is: $(cat "$video")"
grep -qxF -- "$video.silent.mp4" "$video" || fail "the silent video's name did not arrive as it is"
bytes=$(sed -n 's/^frame bytes //p' "$video")
frame_bytes=$((512 * 384 * 4))
[[ -n $bytes ]] && ((bytes > 0 && bytes % frame_bytes == 0)) ||
  fail "the frames piped to ffmpeg are not whole frames: ${bytes:-none} bytes"
[[ ! -e $video.silent.mp4 ]] || fail "the silent video was left behind"
status=0
(cd "$unicode" && KRA_FAKE_FFMPEG_STATUS=7 WINEPATH=$("$wine" winepath -w "$win_build/fake-ffmpeg" 2>/dev/null) \
  "$wine" kra-capture.exe --quiet --fps 2 --from 64 --to 65 --video "$video" >"$scratch/video.txt" 2>&1) || status=$?
((status == 1)) && grep -q "ffmpeg failed (status 7)" "$scratch/video.txt" ||
  fail "a failing ffmpeg.exe is not told: status $status, $(cat "$scratch/video.txt")"

step "kra.exe in a window on Xvfb"
kra_log=$scratch/kra.txt
(cd "$folder" && exec "$wine" kra.exe --window --from 64) >"$kra_log" 2>&1 &
kra_pid=$!
window=$(timeout 60 xdotool search --sync --name '^kra$' 2>/dev/null | head -1) || true
[[ -n $window ]] || { kill "$kra_pid" 2>/dev/null; fail "kra.exe showed no window: $(cat "$kra_log")"; }
sleep 3
shot() { import -window root "$1" 2>/dev/null || fail "import could not take a screenshot"; }
shot "$scratch/swim.png"
cp "$scratch/swim.png" "$win_build/windows-swim.png"
mean=$(convert "$scratch/swim.png" -colorspace gray -format '%[fx:mean]' info:)
awk -v m="$mean" 'BEGIN { exit !(m > 0.25) }' || fail "the window is dark (mean $mean): not the swim scene"
blue=$(convert "$scratch/swim.png" -format '%[fx:mean.b - mean.r]' info:)
awk -v b="$blue" 'BEGIN { exit !(b > 0.05) }' || fail "the window is not blue with sky and sea (blue - red $blue)"
xdotool key --window "$window" space 2>/dev/null
sleep 1
shot "$scratch/paused1.png"
sleep 1
shot "$scratch/paused2.png"
cmp -s <(convert "$scratch/paused1.png" rgb:-) <(convert "$scratch/paused2.png" rgb:-) ||
  fail "the picture moves after Space"
xdotool key --window "$window" Right 2>/dev/null
sleep 1
shot "$scratch/ahead1.png"
sleep 1
shot "$scratch/ahead2.png"
! cmp -s <(convert "$scratch/paused2.png" rgb:-) <(convert "$scratch/ahead1.png" rgb:-) || fail "Right did not move on"
cmp -s <(convert "$scratch/ahead1.png" rgb:-) <(convert "$scratch/ahead2.png" rgb:-) ||
  fail "the player did not stay paused after Right"
xdotool key --window "$window" Escape 2>/dev/null
status=0
for _ in $(seq 100); do kill -0 "$kra_pid" 2>/dev/null || break; sleep 0.2; done
if kill -0 "$kra_pid" 2>/dev/null; then kill "$kra_pid"; fail "kra.exe did not end on Escape"; fi
wait "$kra_pid" || status=$?
((status == 0)) || fail "kra.exe ended with $status on Escape: $(cat "$kra_log")"

step "kra.exe with no data ends as kra does"
mkdir -p "$scratch/nodata"
cp "$folder/kra.exe" "$scratch/nodata/"
status=0
(cd "$scratch/nodata" && KRA_NO_MESSAGE_BOXES=1 timeout 60 "$wine" kra.exe --window >"$scratch/nodata.txt" 2>&1) ||
  status=$?
((status != 124)) || fail "kra.exe with no data hangs"
native_status=0
(cd "$scratch/nodata" && SDL_AUDIODRIVER=dummy KRA_NO_MESSAGE_BOXES=1 timeout 60 "$native/kra" --window \
  >"$scratch/nodata-native.txt" 2>&1) || native_status=$?
((status == native_status)) ||
  fail "kra.exe with no data exits with $status, kra with $native_status: $(cat "$scratch/nodata.txt")"
grep -q "swim.xml" "$scratch/nodata-native.txt" ||
  fail "kra with no data does not name swim.xml: $(cat "$scratch/nodata-native.txt")"
# The first line says where the program looked, in each system's own paths; the rest is the
# same word for word.
grep -q '^kra: no data: ' "$scratch/nodata.txt" || fail "kra.exe with no data does not say where it looked"
diff <(tr -d '\r' <"$scratch/nodata.txt" | tail -n +2) <(tail -n +2 "$scratch/nodata-native.txt") >&2 ||
  fail "kra.exe with no data says something else than kra"

step "a broken scene script: a Windows message box, or with KRA_NO_MESSAGE_BOXES the lines kra prints"
broken=$scratch/broken
mkdir -p "$broken/data"
cp "$folder/kra.exe" "$folder/autoexec.bat" "$broken/"
"$native/kra-assets" --only swim.xml --out "$scratch/loose" >/dev/null
sed 's/filename="zibo.lwo"/filename="nothere.lwo"/' "$scratch/loose/swim.xml" >"$broken/data/swim.xml"
grep -q nothere.lwo "$broken/data/swim.xml" || fail "swim.xml no longer names zibo.lwo: the broken script is not broken"
status=0
(cd "$broken" && KRA_NO_MESSAGE_BOXES=1 timeout 60 "$wine" kra.exe --window >"$scratch/broken.txt" 2>&1) || status=$?
native_status=0
(cd "$broken" && SDL_AUDIODRIVER=dummy KRA_NO_MESSAGE_BOXES=1 timeout 60 "$native/kra" --window \
  >"$scratch/broken-native.txt" 2>&1) || native_status=$?
((status == native_status && status != 124)) ||
  fail "kra.exe with a broken script exits with $status, kra with $native_status: $(cat "$scratch/broken.txt")"
diff <(tr -d '\r' <"$scratch/broken.txt") "$scratch/broken-native.txt" >&2 ||
  fail "kra.exe with a broken script says something else than kra"
(cd "$broken" && exec "$wine" kra.exe --window) >"$scratch/box.txt" 2>&1 &
kra_pid=$!
box=$(timeout 60 xdotool search --sync --name '^Error in XML$' 2>/dev/null | head -1) || true
if [[ -z $box ]]; then
  kill "$kra_pid" 2>/dev/null
  fail "no message box titled 'Error in XML': $(cat "$scratch/box.txt")"
fi
sleep 1
shot "$win_build/windows-message-box.png"
xdotool key --window "$box" Return 2>/dev/null
for _ in $(seq 100); do kill -0 "$kra_pid" 2>/dev/null || break; sleep 0.2; done
if kill -0 "$kra_pid" 2>/dev/null; then kill "$kra_pid"; fail "kra.exe did not end when its message box was closed"; fi
status=0
wait "$kra_pid" || status=$?
((status == native_status)) || fail "kra.exe ended with $status after its message box, kra with $native_status"

step "all passed"
