#!/usr/bin/env bash
# End to end on Wayland, as in a desktop session: sway, headless, with Xwayland, so that the
# program finds both WAYLAND_DISPLAY and DISPLAY set; keys come from vortalux-vkbd, a keyboard
# with a physical US keyboard's keymap plugged into sway's seat through the virtual keyboard
# protocol (there is no /dev/uinput to make a device with); grim takes the screenshots.
#
#   wayland_e2e.sh wide|hidpi <runtime dir> <vortalux-vkbd> <work dir>
#       wide: one output of 2560x1080 at scale 1; hidpi: 2880x1800 at scale 2 (1440x900 for the
#       window system). With no option, the program's window is a native Wayland one (xdg_shell,
#       not Xwayland's) and covers the output in full screen; the screenshot, at the output's
#       device pixels, is vortalux-frame's render at that size of the start, then, after Up
#       is held, of the drive the program recorded (--record), which holds up steps; a tap of
#       Escape ends the program with exit code 1.
#
# sway refuses to run as root: the test, run as root, makes a user of its own and runs sway, the
# key client, grim and the program as that user, with a runtime folder of its own. <runtime dir>
# holds vortalux, vortalux-frame and gfx/; screenshots and logs go to <work dir>. Exits 0 when
# every check passes, 1 when one fails, 77 (skipped) when a tool is missing or the test is not
# run as root.
set -u
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=tests/e2e/e2e_lib.sh
source "$here/e2e_lib.sh"

usage() {
  echo "usage: $0 wide|hidpi <runtime dir> <vortalux-vkbd> <work dir>" >&2
  exit 2
}
[ $# -eq 4 ] || usage
case "$1" in
  wide) output=2560x1080 scale=1 logical=2560x1080 ;;
  hidpi) output=2880x1800 scale=2 logical=1440x900 ;;
  *) usage ;;
esac
runtime=$(cd "$2" && pwd)
vkbd=$3
work=$4
rm -rf "$work" && mkdir -p "$work"
[ -x "$runtime/vortalux" ] || die "no program at $runtime/vortalux"
[ -x "$runtime/vortalux-frame" ] || die "no vortalux-frame at $runtime to render the pictures"
[ -d "$runtime/gfx" ] || die "no gfx/ beside the program in $runtime"
[ -x "$vkbd" ] || die "no key client at $vkbd"
need_tools sway swaymsg Xwayland grim setpriv python3 compare identify mogrify
[ "$(id -u)" = 0 ] ||
  skip "not root: sway refuses root, and only root can make the user to run it as"
need_tools useradd

# The user, made once for every run of the test.
user=vortalux-e2e
if ! id -u "$user" >/dev/null 2>&1; then
  useradd --system --no-create-home --shell /usr/sbin/nologin "$user" ||
    id -u "$user" >/dev/null 2>&1 || die "cannot make the user $user"
fi

# The session's folder: the user's runtime folder and home, and what it writes.
session=$(mktemp -d /tmp/vortalux-wayland.XXXXXX) || die "no temporary folder"
trap 'cleanup; rm -rf "$session"' EXIT  # once the session's processes have ended
chmod 755 "$session"
mkdir -m 700 "$session/runtime" && mkdir -m 755 "$session/home" "$session/out"
chown "$user:" "$session/runtime" "$session/home" "$session/out"
# Xwayland's sockets go there; a desktop's boot makes it, this machine may not have.
[ -d /tmp/.X11-unix ] || { mkdir -p /tmp/.X11-unix && chmod 1777 /tmp/.X11-unix; }

# A command as the user, in the session's environment only; with WAYLAND_DISPLAY, DISPLAY and
# SWAYSOCK added once sway runs. An array, so that a background start's $! is the command's own.
as_user=(setpriv --reuid="$user" --regid="$user" --clear-groups env -i PATH="$PATH"
  HOME="$session/home" XDG_RUNTIME_DIR="$session/runtime")
as_user() { "${as_user[@]}" "$@"; }

# The program as the user runs it: from the build tree where the user can read it, else a copy.
bin=$runtime
if ! as_user test -x "$runtime/vortalux" -a -r "$runtime/gfx/Track.bmp"; then
  bin=$session/bin
  if ! mkdir -p "$bin" || ! cp -r "$runtime/vortalux" "$runtime/gfx" "$vkbd" "$bin/"; then
    die "cannot copy the program for $user"
  fi
  vkbd=$bin/$(basename "$vkbd")
  chmod -R a+rX "$bin"
fi

# vortalux-frame's render of the steps $1 at the output's size, into $2.
render() {
  timeout 60 "$runtime/vortalux-frame" --size "$output" --steps "$1" --gfx-dir "$runtime/gfx" \
    --out "$2" >/dev/null
}

# The start's render, made while sway and the program start.
render none*2 "$work/render-start.png" &
start_render=$!
cleanup_pids+=("$start_render")

# sway with one output of the size and scale of the run and Xwayland. Its exec line runs once it
# is up, with the session's variables set, and leaves them for the test.
cat >"$session/sway.conf" <<EOF
output HEADLESS-1 resolution $output scale $scale
xwayland enable
exec env | grep -E '^(WAYLAND_DISPLAY|DISPLAY|SWAYSOCK)=' >$session/out/session.env
EOF
"${as_user[@]}" WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
  timeout 170 sway -c "$session/sway.conf" >"$work/sway.log" 2>&1 &
sway=$!
cleanup_pids+=("$sway")
# The waits are bounded in wall-clock time: on a busy machine each call here can take seconds.
deadline=$((SECONDS + 30))
until [ -s "$session/out/session.env" ] || [ "$SECONDS" -ge "$deadline" ]; do
  kill -0 "$sway" 2>/dev/null || break
  sleep 0.1
done
[ -s "$session/out/session.env" ] || die "sway did not start (see $work/sway.log)"
mapfile -t -O ${#as_user[@]} as_user <"$session/out/session.env"
cp "$session/out/session.env" "$work/"
grep -q '^DISPLAY=:' "$session/out/session.env" || die "sway started no Xwayland (no DISPLAY)"
outputs=$(as_user timeout 10 swaymsg -r -t get_outputs) || die "swaymsg cannot reach sway"
actual=$(python3 -c 'import json, sys
o = json.load(sys.stdin)[0]
print("%dx%d %g" % (o["current_mode"]["width"], o["current_mode"]["height"], o["scale"]))' \
  <<<"$outputs")
[ "$actual" = "$output $scale" ] || die "sway's output is $actual, not $output at scale $scale"
pass "sway runs with Xwayland ($(tr '\n' ' ' <"$session/out/session.env"))," \
  "output $output at scale $scale"

# Screenshots of the whole output at its device pixels, as binary PPM (the quickest to write and
# read). One takes seconds on a busy machine at 2880x1800.
shot() {
  as_user timeout 30 grim -t ppm - >"$1" 2>/dev/null || die "grim took no screenshot ($1)"
}

# Takes screenshots into $2 until the test "$3 <shot> <shot before>" passes, for at most $1
# seconds; the shot before is empty at first.
await_shot() {
  local deadline=$((SECONDS + $1)) out=$2 previous=$2.previous
  shift 2
  : >"$previous"
  shot "$out"
  until "$@" "$out" "$previous"; do
    [ "$SECONDS" -lt "$deadline" ] || { rm -f "$previous"; return 1; }
    mv "$out" "$previous"
    shot "$out"
  done
  rm -f "$previous"
}
lit() { awk -v m="$(mean_of "$1" "$output+0+0")" 'BEGIN { exit !(m > 0.03) }'; }
steady() { [ -s "$2" ] && [ "$(differing_pixels "$1" "$2")" -eq 0 ]; }
moved() {  # from the start, in more than 1% of the pixels
  [ "$(differing_pixels "$work/1-start.ppm" "$1")" -gt $((${output%x*} * ${output#*x} / 100)) ]
}

# The program's window in sway's tree: "<shell> <fullscreen mode> WxH+X+Y", empty while none.
window_in_tree() {
  as_user timeout 5 swaymsg -r -t get_tree 2>/dev/null | python3 -c 'import json, sys
def find(node):
    if node.get("name") == "Vortalux" and node.get("shell"):
        return node
    for child in node.get("nodes", []) + node.get("floating_nodes", []):
        found = find(child)
        if found:
            return found
try:
    w = find(json.load(sys.stdin))
except ValueError:
    w = None
if w:
    r = w["rect"]
    print("%s %d %dx%d+%d+%d" % (w["shell"], w["fullscreen_mode"],
                                 r["width"], r["height"], r["x"], r["y"]))'
}

# Passes when the picture $1 is the render $2 (of the steps $3), but for 0.1% of its pixels, as
# linux_e2e.sh allows (the window's depth buffer has more bits than the offscreen one's 16, which
# may settle a rare tie between two surfaces the other way).
check_render() {
  local picture=$1 reference=$2 steps=$3 what=$4 off
  [ -s "$reference" ] || { fail "$what: vortalux-frame could not render '$steps'"; return; }
  off=$(differing_pixels "$picture" "$reference")
  if [ "$off" -le $((${output%x*} * ${output#*x} / 1000)) ]; then
    pass "$what: $off pixels off the $output render of '$steps'"
  else
    fail "$what: the picture differs from the $output render of '$steps' in $off pixels"
  fi
}

# The keyboard, plugged in before the program starts as a person's is, and kept for the session:
# vortalux-vkbd reads lines of actions and answers each once played.
coproc KEYBOARD { exec "${as_user[@]}" "$vkbd" - 2>"$work/vkbd.err"; }
cleanup_pids+=("$KEYBOARD_PID")
keys() {
  local reply=""
  echo "$*" >&"${KEYBOARD[1]}" && read -r -t 30 reply <&"${KEYBOARD[0]}"
  [ "$reply" = "done" ] ||
    fail "vortalux-vkbd did not play '$*': ${reply:-$(tail -n1 "$work/vkbd.err")}"
}
reply=""
read -r -t 20 reply <&"${KEYBOARD[0]}"
[ "$reply" = ready ] || die "no keyboard could be plugged in: $(cat "$work/vkbd.err")"

# Niced, so that the screenshots and comparisons get the cores the demo otherwise keeps busy.
(cd "$bin" &&
  exec "${as_user[@]}" nice -n 15 timeout 150 ./vortalux --record "$session/out/drive.txt") \
  >"$work/program.out" 2>"$work/program.err" &
program=$!
cleanup_pids+=("$program")

window=""
deadline=$((SECONDS + 60))
until [ -n "$window" ] || [ "$SECONDS" -ge "$deadline" ]; do
  kill -0 "$program" 2>/dev/null || break
  sleep 0.2
  window=$(window_in_tree)
done
[ -n "$window" ] || die "no window named Vortalux appeared in sway's tree"
read -r shell fullscreen rect <<<"$window"
if [ "$shell" = xdg_shell ]; then
  pass "the window is a native Wayland one (shell $shell)"
else
  fail "the window's shell is $shell, not xdg_shell: the program did not take Wayland"
fi
if [ "$fullscreen" = 1 ] && [ "$rect" = "$logical+0+0" ]; then
  pass "it is full screen on the output ($rect in the window system's units)"
else
  fail "the window is at $rect, full screen mode $fullscreen, not full screen at $logical+0+0"
fi

await_shot 30 "$work/1-start.ppm" lit || fail "the output stays black"
size=$(identify -format '%wx%h' "$work/1-start.ppm" 2>/dev/null)
[ "$size" = "$output" ] || fail "grim's screenshot is $size, not the output's $output"
await_shot 30 "$work/1-start.ppm" steady || fail "the picture does not hold still with no key held"
wait "$start_render"
check_render "$work/1-start.ppm" "$work/render-start.png" none*2 \
  "the start fills the output at its device pixels"

# Up held for 2 s, the time a frame takes here at worst several times over: the press and the
# release must reach the program in different passes.
keys hold up 2000
if await_shot 30 "$work/2-drive.ppm" moved; then
  changed=$(differing_pixels "$work/1-start.ppm" "$work/2-drive.ppm")
  pass "holding Up drives: $changed pixels changed"
else
  fail "holding Up does not change the picture"
fi
await_shot 30 "$work/2-drive.ppm" steady || fail "the picture keeps changing after Up is released"

keys tap escape
await_exit "$program" 20
if [ "$EXIT_CODE" = 1 ]; then
  pass "a tap of Escape ends the program with exit code 1"
else
  fail "after a tap of Escape the program's exit code is $EXIT_CODE, not 1"
fi
drive=$(cat "$session/out/drive.txt" 2>/dev/null)
echo "$drive" >"$work/drive.txt"
if [[ "$drive" =~ (^| )up\*([0-9]+) ]]; then
  pass "the recorded drive holds up steps: $drive"
  render "$drive" "$work/render-drive.png"
  check_render "$work/2-drive.ppm" "$work/render-drive.png" "$drive" \
    "after the drive the picture is the render of it"
else
  fail "the recorded drive holds no up steps: '$drive'"
fi

# The screenshots are kept, as PNG, when a check failed.
[ "$failures" -eq 0 ] || timeout 60 mogrify -format png "$work"/*.ppm
rm -f "$work"/*.ppm
report_and_exit
