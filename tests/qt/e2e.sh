#!/usr/bin/env bash
# End-to-end tests of the Linux program on a real X server, driven with xdotool.
#   e2e.sh CASE QUILLMARK QM_XPROBE
# Uses $DISPLAY when set (an Xvfb, as scripts/test.sh provides), else starts its own
# Xvfb. Every case gets its own registry file and drive C folder.
set -uo pipefail

case_name=$1
QM=$2
XPROBE=$3

work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL [$case_name]: $*" >&2
  [ -s "$work/stderr" ] && { echo "--- program stderr:" >&2; cat "$work/stderr" >&2; }
  exit 1
}

export QUILLMARK_REGISTRY=$work/registry.reg
export QUILLMARK_DRIVE_C=$work/drive_c
mkdir -p "$QUILLMARK_DRIVE_C"
export XDG_RUNTIME_DIR=$work/runtime XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset XSCREENSAVER_WINDOW

# A case that changes the server for every client (a window manager) has one of its own.
case $case_name in *_under_a_window_manager) unset DISPLAY ;; esac
if [ -z "${DISPLAY:-}" ]; then
  exec 3>"$work/display"
  Xvfb -displayfd 3 -screen 0 1280x720x24 -nolisten tcp -noreset >/dev/null 2>&1 &
  pids+=($!)
  exec 3>&-
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
  [ -s "$work/display" ] || fail "Xvfb did not start"
  export DISPLAY=":$(cat "$work/display")"
fi
read -r ROOT_W ROOT_H < <(xwininfo -root | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w, h}')

# ---- helpers
settings() {  # settings NAME VALUE ...: the saver's settings key with these values
  {
    printf 'Windows Registry Editor Version 5.00\n\n'
    printf '[HKEY_LOCAL_MACHINE\\SOFTWARE\\Quorvana\\Quorvana Saver]\n'
    while [ $# -ge 2 ]; do printf '"%s"="%s"\n' "$1" "$2"; shift 2; done
  } >"$QUILLMARK_REGISTRY"
}

start() {  # start ARGS...: runs the program in the background; sets $pid
  "$QM" "$@" 2>"$work/stderr" &
  pid=$!
  pids+=("$pid")
}

alive() { kill -0 "$pid" 2>/dev/null; }

# Waits up to $1 seconds for the program to end; sets $status.
wait_end() {
  local tenths=$(( $1 * 10 ))
  for _ in $(seq "$tenths"); do
    alive || break
    sleep 0.1
  done
  alive && return 1
  wait "$pid"
  status=$?
  return 0
}

# The program's visible top-level window; sets $win.
find_window() {
  win=""
  for _ in $(seq 50); do
    win=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -n1)
    [ -n "$win" ] && return 0
    alive || fail "the program ended before showing a window"
    sleep 0.1
  done
  fail "no window appeared"
}

geometry() {  # geometry WIN: "x y w h" in root coordinates
  xwininfo -id "$1" | awk '/Absolute upper-left X:/{x=$4} /Absolute upper-left Y:/{y=$4}
    /Width:/{w=$2} /Height:/{h=$2} END{print x, y, w, h}'
}

within() {  # within MS COMMAND...: true once COMMAND succeeds, tried until MS ms have passed
  local limit=$(($(date +%s%N) / 1000000 + $1))
  shift
  until "$@"; do
    [ $(($(date +%s%N) / 1000000)) -le $limit ] || return 1
    sleep 0.01
  done
}

still_running() {  # still_running WHAT: the saver must survive WHAT for half a second
  sleep 0.5
  alive || fail "the saver ended after $1"
}

ends_after() {  # ends_after WHAT: the saver must end within two seconds of WHAT
  wait_end 2 || fail "the saver did not end after $1"
  [ "$status" -eq 0 ] || fail "exit status $status after $1"
}

pointer_hidden() { "$XPROBE" pointer-hidden; }

looks_held() {  # looks_held N: of N looks at the saver's window 0.1 s apart, how many saw no change
  local last="" now held=0
  for _ in $(seq "$1"); do
    sleep 0.1
    now=$("$XPROBE" digest "$win")
    [ "$now" = "$last" ] && held=$((held + 1))
    last=$now
  done
  echo "$held"
}

window_named() {  # window_named NAME: a visible window with that title; sets $named
  named=""
  for _ in $(seq 50); do
    named=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1)
    [ -n "$named" ] && return 0
    sleep 0.1
  done
  return 1
}

host_window() {  # host_window W H [input-only]: a foreign window to embed into; sets $host, $host_pid
  rm -f "$work/host_id"  # not the id of an earlier host
  "$XPROBE" window "$@" >"$work/host_id" &
  host_pid=$!
  pids+=("$host_pid")
  for _ in $(seq 50); do [ -s "$work/host_id" ] && break; sleep 0.1; done
  host=$(cat "$work/host_id")
  [ -n "$host" ] || fail "could not create a host window"
}

wait_child_size() {  # wait_child_size HOST "W H": the embedded window reaches that size
  local got=""
  for _ in $(seq 30); do
    got=$("$XPROBE" child-size "$1" 2>/dev/null)
    [ "$got" = "$2" ] && return 0
    sleep 0.1
  done
  fail "embedded window is '$got', expected '$2'"
}

# ---- cases
case_fullscreen_covers_screen() {
  settings Saver 1 BolasNum 20
  xdotool mousemove 200 200
  start /s
  find_window
  [ "$(geometry "$win")" = "0 0 $ROOT_W $ROOT_H" ] ||
    fail "window geometry $(geometry "$win"), screen ${ROOT_W}x$ROOT_H"
  sleep 0.5
  pointer_hidden || fail "the pointer shows over the saver"
  # Keys must reach the saver whatever had the focus; the pointer is free without a
  # password.
  [ "$("$XPROBE" grabbed | tr '\n' ' ')" = "keyboard " ] ||
    fail "grabs without a password: '$("$XPROBE" grabbed | tr '\n' ' ')'"
  local drawn
  drawn=$("$XPROBE" nonblack "$win")
  [ "${drawn:-0}" -gt 0 ] || fail "nothing of the scene was drawn"
  # The red ring for window switchers: 32 x 32, so 2 + 1024 values.
  [ "$(xprop -id "$win" -notype 32c _NET_WM_ICON | tr ',' '\n' | wc -l)" -ge 1026 ] ||
    fail "the saver window has no 32 x 32 icon"
  # A window mapped later is covered again at once: four tries, at other moments of any
  # timer the saver might keep, and far enough apart not to look like another program
  # fighting to stay on top (which the saver gives way to).
  local try covered
  for try in 1 2 3 4; do
    covered=$("$XPROBE" covered 300) || fail "try $try: a window mapped later stays above the saver ($covered)"
    [ "$("$XPROBE" top)" = "$win" ] || fail "try $try: another window than the saver went on top"
    sleep "1.$((try + 5))"
  done
  # Another program that raises its window whenever it is covered: the saver gives way,
  # raising its own further and further apart, down to once a second, instead of the two
  # raising each other (and the saver repainting the screen) without end. Over four
  # seconds that is about seven raises (100, 200, 400, 800 ms apart, then a second).
  local fights
  fights=$("$XPROBE" fight 4000)
  [ "$fights" -ge 3 ] && [ "$fights" -le 12 ] ||
    fail "a window that fights to stay on top was covered $fights times in 4 s"
  covered=$("$XPROBE" covered 1500) || fail "the saver no longer covers a window after a fight ($covered)"
  xdotool key a
  ends_after "a key"
}

# The screen changes size under the saver (a monitor plugged in, a mode switched): the
# window follows it, growing and shrinking. Xvfb's screen keeps its size, so the saver
# runs on a nested Xephyr, whose screen takes the size of its window on the outer one.
case_fullscreen_follows_screen_size() {
  command -v Xephyr >/dev/null || fail "Xephyr is not installed (scripts/deps.sh)"
  exec 3>"$work/nested"
  Xephyr -displayfd 3 -resizeable -screen 640x480 -nolisten tcp -noreset >/dev/null 2>&1 &
  pids+=($!)
  exec 3>&-
  for _ in $(seq 100); do [ -s "$work/nested" ] && break; sleep 0.05; done
  [ -s "$work/nested" ] || fail "Xephyr did not start"
  local outer=$DISPLAY nested=":$(cat "$work/nested")" frame=""
  for _ in $(seq 50); do
    # Its title names the display it asked for, not the one -displayfd gave it.
    frame=$(xdotool search --onlyvisible --class '^Xephyr$' 2>/dev/null | head -n1)
    [ -n "$frame" ] && break
    sleep 0.1
  done
  [ -n "$frame" ] || fail "Xephyr's window did not appear"
  export DISPLAY=$nested
  settings Saver 1 BolasNum 20 Mouse 1
  start /s
  find_window
  local size
  [ "$(geometry "$win")" = "0 0 640 480" ] ||
    fail "window geometry $(geometry "$win") on a 640x480 screen"
  for size in "800 600" "560 400" "1024 700"; do
    read -r w h <<<"$size"
    DISPLAY=$outer xdotool windowsize "$frame" "$w" "$h"
    for _ in $(seq 30); do
      [ "$(geometry "$win")" = "0 0 $w $h" ] && break
      sleep 0.1
    done
    [ "$(geometry "$win")" = "0 0 $w $h" ] ||
      fail "window geometry $(geometry "$win") on a ${w}x$h screen"
    alive || fail "the saver ended when the screen became ${w}x$h"
  done
  # Balls keep flying on the new screen (a sample may fall between frames or catch the
  # window mid-change, so a few are taken).
  local drawn=0
  for _ in $(seq 10); do
    sleep 0.3
    drawn=$("$XPROBE" nonblack "$win")
    [ "${drawn:-0}" -gt 0 ] && break
  done
  [ "${drawn:-0}" -gt 0 ] || fail "nothing drawn after the screen changed size"
  xdotool key a
  ends_after "a key"

  # With the password on, a prompt that is up while the screen shrinks stays in sight.
  local secret='Kz98-final!'
  set_password "$secret"
  start /s
  find_window
  sleep 0.3
  xdotool key a
  window_named "Quillmark" || fail "no password prompt after a key"
  DISPLAY=$outer xdotool windowsize "$frame" 400 300
  for _ in $(seq 30); do
    [ "$(geometry "$win")" = "0 0 400 300" ] && break
    sleep 0.1
  done
  [ "$(geometry "$win")" = "0 0 400 300" ] || fail "window geometry $(geometry "$win") on a 400x300 screen"
  sleep 0.3
  local px py pw ph
  read -r px py pw ph < <(geometry "$named")
  [ "$px" -ge 0 ] && [ "$py" -ge 0 ] && [ $((px + pw)) -le 400 ] && [ $((py + ph)) -le 300 ] ||
    fail "the prompt lies at $px,$py (${pw}x$ph), off the 400x300 screen"
  type_into "$named" "$secret"
  xdotool key Return
  ends_after "the right password"
}

# The match table's panel lies over the surface, so this frame is composed and sent
# whole: the 202 x 250 panel (3030 x 3750 twips) is all that shows, nearly every pixel
# of it lit, and nothing beside it.
case_match_table_presented_whole() {
  # A page a second, each at a place of its own: what the last page covered goes black,
  # so the screen holds one panel at any time. A look that falls while a page is being
  # sent is taken again.
  settings Saver 5 Mouse 1 SS05Vel 1
  start /s
  find_window
  local drawn
  one_panel() {
    drawn=$("$XPROBE" nonblack "$win")
    [ "${drawn:-0}" -ge 45000 ] && [ "${drawn:-0}" -le 50500 ]
  }
  sleep 1.5
  within 500 one_panel || fail "$drawn pixels lit, expected the 202 x 250 panel alone"
  sleep 2
  within 500 one_panel ||
    fail "$drawn pixels lit two pages on, expected the last 202 x 250 panel alone"
  xdotool key a
  ends_after "a key"
}

case_mouse_threshold() {
  settings Mouse 0
  xdotool mousemove 100 100
  start /s
  find_window
  sleep 0.3
  xdotool mousemove 300 300
  still_running "the first mouse event, however far"
  xdotool mousemove 304 300
  still_running "a 4-pixel move"
  # Each small move takes the reference along: 8 and then 12 pixels from where the
  # pointer was first seen, but only 4 from the last place.
  xdotool mousemove 308 300
  still_running "a second 4-pixel move (the reference moved along)"
  xdotool mousemove 312 300
  still_running "a third 4-pixel move"
  xdotool mousemove 317 300
  ends_after "a 5-pixel move"

  # A button ends it, but the program stays until the button is let go: the release
  # must not reach the window beneath, which never saw the press and may take a lone
  # release as a click of its own (a right button's as a context menu, a side button's
  # as "Back"). A side button ends it only when let go.
  xev -geometry "${ROOT_W}x${ROOT_H}+0+0" -event button >"$work/beneath" 2>&1 &
  pids+=($!)
  sleep 0.5
  for button in 3 8; do
    start /s
    find_window
    sleep 0.3
    xdotool mousedown "$button"
    still_running "button $button pressed and held"
    xdotool mouseup "$button"
    ends_after "button $button was let go"
  done
  # Two buttons held: the saver waits for the last.
  start /s
  find_window
  sleep 0.3
  xdotool mousedown 1
  xdotool mousedown 3
  still_running "buttons 1 and 3 pressed and held"
  xdotool mouseup 1
  still_running "button 1 let go with button 3 still held"
  xdotool mouseup 3
  ends_after "both buttons were let go"
  sleep 0.3
  ! grep -q ButtonRelease "$work/beneath" ||
    fail "the window beneath the saver got a button's release: $(grep -A2 ButtonRelease "$work/beneath")"
  # ...which does see a click of its own: it was there, under the pointer, listening.
  xdotool click 1
  sleep 0.3
  grep -q ButtonRelease "$work/beneath" || fail "the window beneath saw no click of its own"

  # A button that stays down (a stuck one, or a hand resting on it) does not keep the
  # saver up for good: it stops waiting for the release after three seconds.
  start /s
  find_window
  sleep 0.3
  xdotool mousedown 1
  still_running "button 1 pressed and held"
  wait_end 6 || fail "the saver still waited for a button held down six seconds on"
  [ "$status" -eq 0 ] || fail "exit status $status after a button held down"
  xdotool mouseup 1
}

# Scaled desktop: the window still covers every device pixel, and the mouse rule
# counts device pixels, not scaled ones.
case_scaled_screen() {
  export QT_SCALE_FACTOR=2
  settings Mouse 0
  xdotool mousemove 100 100
  start /s
  find_window
  [ "$(geometry "$win")" = "0 0 $ROOT_W $ROOT_H" ] ||
    fail "window geometry $(geometry "$win"), screen ${ROOT_W}x$ROOT_H"
  sleep 0.3
  xdotool mousemove 300 300
  still_running "the first mouse event"
  xdotool mousemove 304 300
  still_running "a 4-device-pixel move"
  xdotool mousemove 309 300
  ends_after "a 5-device-pixel move"
}

case_password_set_while_the_change_dialog_is_open() {
  settings Saver 1
  start /a
  window_named "Change Password" || fail "no change-password dialog"
  local first=$named first_pid=$pid second=""
  # Meanwhile a second dialog sets a password.
  start /a
  for _ in $(seq 50); do
    second=$(xdotool search --onlyvisible --name "^Change Password\$" 2>/dev/null |
      grep -vx "$first" | head -n1)
    [ -n "$second" ] && break
    sleep 0.1
  done
  [ -n "$second" ] || fail "no second change-password dialog"
  type_into "$second" "first"
  xdotool key Tab
  xdotool type --delay 20 "first"
  xdotool key Return
  ends_after "the second dialog set a password"
  local hash
  hash=$(grep ScreenSavePasswordHash "$QUILLMARK_REGISTRY")
  [ -n "$hash" ] || fail "the second dialog stored no password"
  # The first dialog opened with no password set: OK must now ask for the old one.
  pid=$first_pid
  type_into "$first" "mine"
  xdotool key Tab
  xdotool type --delay 20 "mine"
  xdotool key Return
  still_running "OK after another program set a password"
  [ "$(grep ScreenSavePasswordHash "$QUILLMARK_REGISTRY")" = "$hash" ] ||
    fail "the password changed without the old one"
  type_into "$first" "first"
  xdotool key Return
  ends_after "the old password was given"
  [ "$(grep ScreenSavePasswordHash "$QUILLMARK_REGISTRY")" != "$hash" ] ||
    fail "the new password was not stored"
}

case_mouse_off_ignores_mouse_not_keys() {
  settings Mouse 1
  xdotool mousemove 100 100
  start /s
  find_window
  sleep 0.3
  xdotool mousemove 400 400
  xdotool mousemove 700 500
  still_running "mouse moves with Mouse=1"
  xdotool click 1
  still_running "a click with Mouse=1"
  xdotool click --repeat 2 3
  still_running "a double click with Mouse=1"
  # Tab too: it is a key like any other, not a move between controls.
  xdotool key Tab
  ends_after "Tab with Mouse=1"
}

case_fullscreen_shown_again_when_unmapped() {
  # Another client hides the saver: it comes back, with its grabs, and a key still ends it.
  settings Saver 1 Mouse 1
  start /s
  find_window
  sleep 0.5
  local remapped
  remapped=$("$XPROBE" unmap "$win" 300) || fail "the unmapped saver window was not shown again within 0.3 s ($remapped)"
  xwininfo -id "$win" | grep -q IsViewable || fail "the saver window is not shown"
  keyboard_grabbed() { [ "$("$XPROBE" grabbed | tr '\n' ' ')" = "keyboard " ]; }
  within 500 keyboard_grabbed ||
    fail "the keyboard is not grabbed again: $("$XPROBE" grabbed | tr '\n' ' ')"
  xdotool key a
  ends_after "a key after the window came back"
}

# grabs_after_probe HOLD WHAT: another client holds the keyboard and pointer (HOLD
# hold-grab) or the pointer alone (hold-pointer) for 2.5 s while the saver starts; the
# saver's first grabs are refused, and it must hold both once they are free.
grabs_after_probe() {
  rm -f "$work/held"
  "$XPROBE" "$1" 2500 >"$work/held" &
  local probe=$!
  pids+=("$probe")
  for _ in $(seq 50); do [ -s "$work/held" ] && break; sleep 0.1; done
  [ -s "$work/held" ] || fail "the probe could not $1"
  start /s
  find_window
  sleep 0.5
  kill -0 "$probe" 2>/dev/null || fail "the probe let go before the saver was up"
  sleep 3
  alive || fail "the saver ended"
  [ "$("$XPROBE" grabbed | tr '\n' ' ')" = "keyboard pointer " ] ||
    fail "the saver did not take $2 once free: '$("$XPROBE" grabbed | tr '\n' ' ')'"
}

case_grabs_taken_once_another_client_lets_go() {
  printf 'Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Control Panel\\Desktop]\n"ScreenSaveUsePassword"="1"\n' \
    >"$QUILLMARK_REGISTRY"
  # Started from a hot key whose program still holds the keyboard for a moment.
  grabs_after_probe hold-grab "the grabs"
  kill "$pid"
  wait_end 2
  # The pointer alone held elsewhere (as a game may): the keyboard grab is granted at
  # once, and the pointer must still be taken.
  grabs_after_probe hold-pointer "the pointer"
}

case_preview_ignores_input_and_follows_host() {
  settings Saver 1
  host_window 300 200
  start /p "$host"
  for _ in $(seq 50); do
    [ "$("$XPROBE" children "$host")" = 1 ] && break
    alive || fail "the preview ended at once"
    sleep 0.1
  done
  wait_child_size "$host" "300 200"
  xdotool mousemove --window "$host" 50 50
  xdotool mousemove --window "$host" 150 120
  xdotool click 1
  xdotool key a Escape
  still_running "input over the preview"
  pointer_hidden && fail "the pointer is hidden over the preview"
  xdotool windowsize "$host" 420 260
  wait_child_size "$host" "420 260"
  # The next scene step draws after the resize; a loaded machine may take a while.
  local drawn=0
  for _ in $(seq 30); do
    drawn=$("$XPROBE" child-nonblack "$host")
    [ "${drawn:-0}" -gt 0 ] && break
    sleep 0.1
  done
  [ "${drawn:-0}" -gt 0 ] || fail "nothing was drawn in the preview"
  # A host larger than the screen: the preview draws a screen's worth of it, no more.
  xdotool windowsize "$host" $((ROOT_W * 3)) $((ROOT_H * 3))
  wait_child_size "$host" "$ROOT_W $ROOT_H"
  "$XPROBE" destroy "$host" || fail "could not destroy the host window"
  ends_after "the host window was destroyed"

  # A request to close the preview's own window ends it cleanly too.
  host_window 300 200
  start /p "$host"
  wait_child_size "$host" "300 200"
  find_window
  "$XPROBE" close "$win" || fail "could not ask the preview's window to close"
  ends_after "the preview's window was asked to close"

  # Another client destroying the preview's own window ends it too, host or no host.
  start /p "$host"
  wait_child_size "$host" "300 200"
  find_window
  "$XPROBE" destroy "$win" || fail "could not destroy the preview's window"
  ends_after "the preview's window was destroyed"
}

case_fullscreen_ends_with_its_window() {
  # Any X client may destroy the saver's window: with it gone (and its grabs with it)
  # the saver ends rather than linger unseen, password or not.
  settings Saver 1
  for password in no yes; do
    [ "$password" = yes ] && set_password "Gone-4u"
    start /s
    find_window
    sleep 0.3
    "$XPROBE" destroy "$win" || fail "could not destroy the saver's window"
    ends_after "its window was destroyed (password: $password)"
  done
  # So does a saver that a press ended, waiting for the button's release, which will
  # not come to a window that is gone: within the 2 s here, not after its 3 s wait.
  settings Saver 1 Mouse 0
  start /s
  find_window
  sleep 0.3
  xdotool mousedown 3
  still_running "button 3 pressed and held"
  "$XPROBE" destroy "$win" || fail "could not destroy the saver's window"
  ends_after "its window was destroyed while a button was held"
  xdotool mouseup 3
}

case_preview_bad_window() {
  local t0 t1
  host_window 200 150 input-only  # it exists, but nothing can be drawn in it
  for args in "/p" "/p 999999999" "/p:abc" "/p $host"; do
    t0=$(date +%s%N)
    # shellcheck disable=SC2086
    timeout 10 "$QM" $args 2>"$work/stderr"
    status=$?
    t1=$(date +%s%N)
    [ "$status" -eq 1 ] || fail "'$args' ended with $status, expected 1"
    [ "$(wc -l <"$work/stderr")" -eq 1 ] || fail "'$args' should say one line on stderr"
    # Ending needs an X round trip besides the start-up, hence more time than "/x".
    [ $(( (t1 - t0) / 1000000 )) -lt 2000 ] || fail "'$args' took too long to end"
  done
  # xwininfo prints ids in hexadecimal; "/p" reads the digits at the end as decimal.
  timeout 10 "$QM" /p:0x999999 2>"$work/stderr"
  grep -q "no window 999999 to draw in (the id after /p is read as a decimal number)" \
    "$work/stderr" || fail "a hexadecimal id after /p: no word on how the id is read"
}

case_saver_windows_ignore_another_qt_platform() {
  # A session that asks Qt for another platform (Wayland, say, or here one that shows
  # nothing) still gets the saver's windows on X.
  settings Saver 1
  QT_QPA_PLATFORM=offscreen "$QM" /s 2>"$work/stderr" &
  pid=$!
  pids+=("$pid")
  find_window
  sleep 0.3
  xdotool key a
  ends_after "a key"
  for args in "/p" "--window-id"; do
    host_window 200 150
    QT_QPA_PLATFORM=offscreen "$QM" $args "$host" 2>"$work/stderr" &
    pid=$!
    pids+=("$pid")
    wait_child_size "$host" "200 150"
    kill "$host_pid"
    wait_end 3 || fail "'$args' did not end with its host window"
  done
}

case_unknown_switches_end_at_once() {
  local t0 t1
  # Any window made on the screen, even one shown and gone at once, is logged here.
  xev -root -event substructure >"$work/made" 2>&1 &
  pids+=($!)
  sleep 0.5
  for args in "/x" "hello" "/X 12"; do
    t0=$(date +%s%N)
    # shellcheck disable=SC2086
    "$QM" $args >"$work/stdout" 2>"$work/stderr"
    status=$?
    t1=$(date +%s%N)
    [ "$status" -eq 0 ] || fail "'$args' ended with $status"
    [ -s "$work/stderr" ] && fail "'$args' wrote to stderr"
    [ $(( (t1 - t0) / 1000000 )) -lt 1000 ] || fail "'$args' took $(( (t1 - t0) / 1000000 )) ms"
  done
  sleep 0.3
  ! grep -q CreateNotify "$work/made" || fail "a window was made: $(grep -m1 -A2 CreateNotify "$work/made")"
  # ...as this one is.
  host_window 10 10
  sleep 0.3
  grep -q CreateNotify "$work/made" || fail "the log of windows made saw none made"
  # No display is needed to decide there is nothing to do.
  env -u DISPLAY "$QM" /x || fail "'/x' without a display failed"
  # And a saver without a display says so and ends, rather than aborting.
  env -u DISPLAY "$QM" /s 2>"$work/stderr"
  status=$?
  [ "$status" -eq 1 ] || fail "'/s' without a display ended with $status"
  grep -q "cannot open the X display: DISPLAY is not set" "$work/stderr" ||
    fail "'/s' without a display: no message"
}

type_into() {  # type_into WIN TEXT: focus the dialog and type
  xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1"
  sleep 0.2
  xdotool type --delay 20 "$2"
}

press_in() {  # press_in WIN KEY: focus the dialog and press a key
  xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1"
  sleep 0.2
  xdotool key "$2"
}

set_password() {  # set_password SECRET: through the change dialog, none set before
  start /a
  window_named "Change Password" || fail "no change-password dialog"
  type_into "$named" "$1"
  xdotool key Tab
  xdotool type --delay 20 "$1"
  xdotool key Return
  ends_after "the new password was confirmed"
}

case_password_dialog_over_its_parent() {
  # A host of 800x600 at (10, 10): its inside's centre is at (410, 310), away from the
  # screen's centre and its corner.
  host_window 800 600
  start /a "$host"
  window_named "Change Password" || fail "no change-password dialog"
  sleep 0.3
  local x y w h
  read -r x y w h < <(geometry "$named")
  [ $(( (x + w / 2 - 410) ** 2 <= 4 && (y + h / 2 - 310) ** 2 <= 4 )) -eq 1 ] ||
    fail "the dialog (${w}x${h} at $x,$y) is not centred over its parent at (410, 310)"
  # Like the program's other dialogs: one size only, and the program's icon.
  local hints least most
  hints=$(xprop -id "$named" WM_NORMAL_HINTS)
  least=$(sed -n 's/.*minimum size: //p' <<<"$hints")
  most=$(sed -n 's/.*maximum size: //p' <<<"$hints")
  [ -n "$least" ] && [ "$least" = "$most" ] || fail "the dialog can be resized: $hints"
  xprop -id "$named" _NET_WM_ICON | grep -q "Icon (" || fail "the dialog has no icon"
  press_in "$named" Escape
  ends_after "Esc in the change dialog"
}

frame_of() {  # frame_of WIN: "x y w h" of the frame the window manager drew around WIN
  local extents="" x y w h left right top bottom
  for _ in $(seq 30); do
    extents=$(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= //p' | tr -d ,)
    [ -n "$extents" ] && break
    sleep 0.1
  done
  [ -n "$extents" ] || fail "window $1 has no frame"
  read -r left right top bottom <<<"$extents"
  read -r x y w h < <(geometry "$1")
  echo $(( x - left )) $(( y - top )) $(( w + left + right )) $(( h + top + bottom ))
}

centred_on() {  # centred_on WHAT "x y w h" "x y w h": the first rectangle's centre is the second's
  local x y w h ox oy ow oh
  read -r x y w h <<<"$2"
  read -r ox oy ow oh <<<"$3"
  # Doubled centres, so that odd sizes leave no halves; a pixel either way is rounding.
  local dx=$(( 2 * x + w - 2 * ox - ow )) dy=$(( 2 * y + h - 2 * oy - oh ))
  [ $(( dx * dx <= 4 && dy * dy <= 4 )) -eq 1 ] ||
    fail "$1's frame ($2) is not centred on ($3)"
}

case_dialogs_centred_under_a_window_manager() {
  openbox --sm-disable >/dev/null 2>&1 &
  pids+=($!)
  for _ in $(seq 50); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
    sleep 0.1
  done
  xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id" || fail "openbox did not start"
  settings Saver 1
  start /c
  window_named "Quillmark Desktop Theme - Screen Saver" || fail "no setup dialog"
  local setup=$named screen="0 0 $ROOT_W $ROOT_H"
  centred_on "the setup dialog" "$(frame_of "$setup")" "$screen"

  # Moved away from the centre, the setup dialog takes its scene dialogs along.
  xdotool windowmove --sync "$setup" 40 60 2>/dev/null || xdotool windowmove "$setup" 40 60
  sleep 0.3
  local x y
  read -r x y _ < <(geometry "$setup")
  # The "+" of "Flying Balls": its frame's corner (1800, 60) plus its own (1980, 360),
  # 255 twips square, 15 twips a pixel: the centre is about (260, 36).
  xdotool mousemove $(( x + 260 )) $(( y + 36 )) click 1
  window_named "Flying Balls - Settings" || fail "no scene dialog"
  centred_on "the scene dialog" "$(frame_of "$named")" "$(frame_of "$setup")"
  press_in "$named" Escape
  sleep 0.3

  # "About" at (3720, 3840), 1515 x 615 twips: its centre is about (298, 276).
  xdotool mousemove $(( x + 298 )) $(( y + 276 )) click 1
  window_named "About" || fail "no About box"
  centred_on "the About box" "$(frame_of "$named")" "$screen"
  press_in "$named" Escape
  sleep 0.3
  # "Cancel" at (5700, 3840): its centre is about (430, 276). (Esc is "About" here.)
  xdotool mousemove $(( x + 430 )) $(( y + 276 )) click 1
  ends_after "Cancel in the setup dialog"

  # The password dialog of a settings program's window: over that window's inside.
  host_window 600 400
  sleep 0.3
  start /a "$host"
  window_named "Change Password" || fail "no change-password dialog"
  centred_on "the change-password dialog" "$(frame_of "$named")" "$(geometry "$host")"
  press_in "$named" Escape
  ends_after "Esc in the change dialog"
}

case_password_not_stored_past_a_file_size_limit() {
  settings Saver 1
  cp "$QUILLMARK_REGISTRY" "$work/before.reg"
  # No file of ours may grow by a byte: the store's write fails as on a full disk.
  # (Its stderr goes through a pipe, the one file that may grow.)
  bash -c 'ulimit -f 0; exec "$0" /a' "$QM" 2> >(cat >"$work/stderr") &
  pid=$!
  pids+=("$pid")
  window_named "Change Password" || fail "no change-password dialog"
  # Any file but the lock, which stays by design.
  local files
  files=$(ls -A "$work" | grep -v '^registry\.reg\.lock$')
  type_into "$named" "Kz98"
  xdotool key Tab
  xdotool type --delay 20 "Kz98"
  xdotool key Return
  still_running "a password the store could not take"
  grep -q "could not be stored" "$work/stderr" || fail "no message that the password was not stored"
  cmp -s "$work/before.reg" "$QUILLMARK_REGISTRY" || fail "the settings file changed"
  local now
  now=$(ls -A "$work" | grep -v '^registry\.reg\.lock$')
  [ "$now" = "$files" ] || fail "a file was left beside the settings: $(diff <(echo "$files") <(echo "$now"))"
  press_in "$named" Escape
  ends_after "Esc in the change dialog"
}

case_password_change_and_prompt() {
  local secret='Kz98-final!'
  settings Saver 1
  # Set a password through the change dialog: no old one yet, so new, confirm. A
  # confirmation that differs stores nothing and empties both fields for a fresh start.
  start /a
  window_named "Change Password" || fail "no change-password dialog"
  type_into "$named" "one"
  xdotool key Tab
  xdotool type --delay 20 "two"
  xdotool key Return
  still_running "a confirmation that differs"
  grep -q 'ScreenSave' "$QUILLMARK_REGISTRY" && fail "a confirmation that differs was stored"
  xdotool type --delay 20 "$secret"
  xdotool key Tab
  xdotool type --delay 20 "$secret"
  xdotool key Return
  ends_after "the new password was confirmed, after a confirmation that differed"
  grep -q "$secret" "$QUILLMARK_REGISTRY" && fail "the password is in the store in clear text"
  grep -q '"ScreenSaveUsePassword"' "$QUILLMARK_REGISTRY" || fail "the password flag was not set"
  grep -q '"ScreenSavePasswordHash"="\$y\$' "$QUILLMARK_REGISTRY" || fail "no yescrypt hash stored"

  xdotool mousemove 100 100
  start /s
  find_window
  sleep 0.5
  # No core file could hold a typed password.
  [ "$(awk '/^Max core file size/ {print $5 $6}' "/proc/$pid/limits")" = "00" ] ||
    fail "the saver may write core files: $(grep '^Max core' "/proc/$pid/limits")"
  pointer_hidden || fail "pointer shows over the saver"
  [ "$("$XPROBE" grabbed | tr '\n' ' ')" = "keyboard pointer " ] ||
    fail "with the password on, keyboard and pointer must be grabbed"
  xdotool key a
  window_named "Quillmark" || fail "no password prompt after a key"
  sleep 0.3
  # No scene step runs while the prompt is up: the balls stand still behind it (the
  # prompt's blinking text cursor may change a look or two).
  local held
  held=$(looks_held 10)
  [ "$held" -ge 7 ] || fail "the scene went on behind the password prompt ($held of 10 looks unchanged)"
  pointer_hidden && fail "the pointer is hidden over the password prompt"
  [ "$("$XPROBE" grabbed | tr '\n' ' ')" = "keyboard pointer " ] ||
    fail "the grabs were let go while the prompt is up"
  # The field's menu key opens no popup, whose closing would let the grabs go; Esc then
  # cancels the prompt, and the saver has the grabs back.
  xdotool key Menu
  sleep 0.3
  xdotool key Escape
  sleep 0.3
  [ "$("$XPROBE" grabbed | tr '\n' ' ')" = "keyboard pointer " ] ||
    fail "the grabs were let go after the menu key and Esc in the prompt"
  alive || fail "Esc in the prompt closed the saver"
  # The key that brought the prompt up asked once: none comes back after Esc.
  xdotool search --onlyvisible --name "^Quillmark\$" >/dev/null &&
    fail "a prompt is up again after Esc"
  held=$(looks_held 10)
  [ "$held" -le 3 ] || fail "the scene stood still after the prompt was cancelled ($held of 10 looks unchanged)"
  xdotool key a
  window_named "Quillmark" || fail "no password prompt after Esc and a key"
  sleep 0.3
  # A window mapped while the prompt is up goes under the saver at once, the prompt on
  # top.
  host_window 300 200
  local stack
  host_saver_prompt() {
    stack=$("$XPROBE" stack)
    [ "$(tail -n1 <<<"$stack")" = "$named" ] &&
      [ "$(grep -nx "$win" <<<"$stack" | cut -d: -f1)" -gt "$(grep -nx "$host" <<<"$stack" | cut -d: -f1)" ]
  }
  within 300 host_saver_prompt ||
    fail "0.3 s after a window was mapped during the prompt, the stack is not it, saver, prompt: $(echo $stack)"
  kill "$host_pid" 2>/dev/null
  # Something that raises the saver itself over the prompt: the prompt, which has the
  # keyboard, comes back on top.
  sleep 0.3
  xdotool windowraise "$win"
  prompt_on_top() { [ "$("$XPROBE" top)" = "$named" ]; }
  within 1000 prompt_on_top || fail "the prompt stayed under the saver raised over it"
  type_into "$named" "wrong password"
  xdotool key Return
  # Esc during the wrong-password pause neither closes the prompt nor lets the grabs go.
  sleep 0.3
  xdotool key Escape
  sleep 0.2
  xdotool search --onlyvisible --name "^Quillmark\$" >/dev/null || fail "Esc closed the prompt during its pause"
  [ "$("$XPROBE" grabbed | tr '\n' ' ')" = "keyboard pointer " ] ||
    fail "the grabs were let go during the wrong-password pause"
  sleep 1.5
  alive || fail "a wrong password closed the saver"
  pointer_hidden || fail "the pointer stayed visible after a wrong password"
  [ "$("$XPROBE" grabbed | tr '\n' ' ')" = "keyboard pointer " ] ||
    fail "the grabs were not taken back after the prompt"
  xdotool search --onlyvisible --name "^Quillmark\$" >/dev/null && fail "the prompt stayed up"

  # A request to close the window, which any X client can send, asks for the password
  # too; cancelled, it leaves the saver up, shown, with its grabs.
  "$XPROBE" close "$win" || fail "could not ask the saver's window to close"
  window_named "Quillmark" || fail "no password prompt after a request to close the saver"
  sleep 0.3
  xdotool key Escape
  sleep 0.5
  alive || fail "a request to close ended the saver, the prompt cancelled"
  xwininfo -id "$win" | grep -q IsViewable ||
    fail "a request to close hid the saver, the prompt cancelled"
  [ "$("$XPROBE" grabbed | tr '\n' ' ')" = "keyboard pointer " ] ||
    fail "the grabs were not taken back after a request to close"

  xdotool key a
  window_named "Quillmark" || fail "no password prompt the second time"
  type_into "$named" "$secret"
  xdotool key Return
  ends_after "the right password"

  # Turning it off needs the old password: a wrong one keeps the dialog and the store.
  cp "$QUILLMARK_REGISTRY" "$work/before.reg"
  start /a
  window_named "Change Password" || fail "no change-password dialog the second time"
  type_into "$named" "not it"
  xdotool key Return
  still_running "a wrong old password"
  cmp -s "$QUILLMARK_REGISTRY" "$work/before.reg" || fail "a wrong old password changed the store"
  type_into "$named" "$secret"  # the old field has the focus again, emptied
  xdotool key Return            # both new fields empty: asked before turning it off
  window_named "Turn Password Off" || fail "no question before turning the password off"
  press_in "$named" alt+n
  still_running "declining to turn the password off"
  cmp -s "$QUILLMARK_REGISTRY" "$work/before.reg" || fail "declining changed the store"
  local gone=""
  for _ in $(seq 30); do
    xdotool search --onlyvisible --name "^Turn Password Off\$" >/dev/null || { gone=1; break; }
    sleep 0.1
  done
  [ -n "$gone" ] || fail "the question stayed up after declining"
  window_named "Change Password" || fail "the dialog went away after declining"
  press_in "$named" Return  # the old password is still there
  window_named "Turn Password Off" || fail "no question the second time"
  press_in "$named" alt+y
  ends_after "the password was cleared"
  grep -q 'ScreenSave' "$QUILLMARK_REGISTRY" && fail "flag or hash left after clearing"
  return 0
}

# The click that wakes the saver asks for the password and its release goes to the
# prompt. A button still held when the right password is entered keeps the saver up
# until it is let go, so that the release reaches neither the window beneath nor
# anything else.
case_password_right_with_a_button_held() {
  local secret='Held-98'
  set_password "$secret"
  xdotool mousemove 100 100
  xev -geometry "${ROOT_W}x${ROOT_H}+0+0" -event button >"$work/beneath" 2>&1 &
  pids+=($!)
  sleep 0.5
  start /s
  find_window
  sleep 0.5
  xdotool mousedown 1
  window_named "Quillmark" || fail "no password prompt after a click"
  xdotool mouseup 1
  alive || fail "the click's release ended the saver behind the prompt"
  type_into "$named" "$secret"
  xdotool mousedown 3
  xdotool key Return
  still_running "the right password entered with a button held"
  xdotool mouseup 3
  ends_after "the button held over the right password was let go"
  sleep 0.3
  ! grep -q ButtonRelease "$work/beneath" ||
    fail "the window beneath the saver got a release: $(grep -A2 ButtonRelease "$work/beneath")"
  xdotool click 1
  sleep 0.3
  grep -q ButtonRelease "$work/beneath" || fail "the window beneath saw no click of its own"
}

# A move made with a button held counts like any other, also when the saver never saw
# that button go down: held since before it started, or since the password prompt.
case_moves_with_a_button_held() {
  settings Mouse 0
  xdotool mousemove 100 100 mousedown 1
  start /s
  find_window
  sleep 0.3
  xdotool mousemove 103 100
  still_running "the first move, with a button held since before the start"
  xdotool mousemove 160 100
  sleep 0.3
  xdotool mouseup 1
  ends_after "a move of 57 pixels with a button held, then its release"

  set_password 'Held-98'
  xdotool mousemove 100 100
  start /s
  find_window
  sleep 0.3
  xdotool mousemove 103 100
  sleep 0.3
  xdotool mousedown 1
  window_named "Quillmark" || fail "no password prompt after a click"
  xdotool key Escape
  sleep 0.5
  xdotool search --onlyvisible --name "^Quillmark\$" >/dev/null && fail "Esc left the prompt up"
  xdotool mousemove 160 100
  window_named "Quillmark" || fail "no password prompt after a move of 57 pixels with the button held"
  xdotool key Escape
  xdotool mouseup 1
}

# A pointer creeping a pixel at a time, under the move that ends the saver, reaches the
# form more often than its 50 ms tick. The scene must go on stepping meanwhile: a move
# that set the tick's timer going again would hold the flying balls still.
case_scene_steps_while_the_pointer_creeps() {
  settings Saver 1 BolasNum 20 Mouse 0
  xdotool mousemove 300 300
  start /s
  find_window
  sleep 1
  local creep=() i
  for i in $(seq 400); do creep+=(mousemove $((300 + i % 2)) 300 sleep 0.02); done
  xdotool "${creep[@]}" &
  local mover=$!
  pids+=("$mover")
  local held
  held=$(looks_held 20)
  kill -0 "$mover" 2>/dev/null || fail "the pointer stopped creeping before the last look"
  kill "$mover"
  alive || fail "the saver ended while the pointer crept a pixel at a time"
  # Two ticks come between two looks; a busy machine may hold up one of them now and then.
  [ "$held" -le 3 ] || fail "the screen stood still $held times in 20 looks 0.1 s apart"
  xdotool key a
  ends_after "a key"
}

# --render reads a setting's number in the user's locale, as the saver does: "2,0" is
# the World Cup trophy where the comma is the decimal separator, and no number (no
# trophy at all) where it is not.
case_render_reads_numbers_in_the_locale() {
  settings TrofeusTipo "2,0"
  local lang lit
  for lang in de_DE.UTF-8 C; do
    LC_ALL=$lang "$QM" --render 2 --size 320x240 --steps 30 --out "$work/$lang" >/dev/null 2>&1 ||
      fail "--render failed under LC_ALL=$lang"
    # Over all the steps, brightest first: the flight is random, and a single step can
    # have every trophy just launched from the centre, where none is drawn.
    lit=$(convert "$work/$lang"/step-*.png -evaluate-sequence max \
      -fill white +opaque black -fill black -opaque black -format '%[fx:int(mean*w*h+0.5)]' info:)
    case $lang in
      C) [ "$lit" -eq 0 ] || fail "\"2,0\" read as a number where '.' is the separator ($lit pixels)" ;;
      *) [ "$lit" -gt 50 ] || fail "no trophy drawn for \"2,0\" under $lang ($lit pixels)" ;;
    esac
  done
}

case_xscreensaver_window() {
  settings Saver 1 Mouse 0
  host_window 640 480
  XSCREENSAVER_WINDOW=$host start --root -fps
  wait_child_size "$host" "640 480"
  xdotool mousemove --window "$host" 100 100
  xdotool mousemove --window "$host" 300 300
  xdotool click 1
  xdotool key a
  still_running "input (it belongs to XScreenSaver)"
  pointer_hidden && fail "the module hid the pointer"
  "$XPROBE" destroy "$host"
  ends_after "its window was destroyed"

  # Run by hand with --root (no window of XScreenSaver's): the module covers the screen
  # but lies under the windows already there, so the terminal it was started from stays
  # in sight.
  host_window 400 300
  local terminal=$host
  start --root
  find_window
  [ "$(geometry "$win")" = "0 0 $ROOT_W $ROOT_H" ] || fail "--root window at $(geometry "$win")"
  sleep 1.5
  [ "$("$XPROBE" top)" = "$terminal" ] || fail "--root by hand covers the other windows"
  kill -TERM "$pid"
  wait_end 2 || fail "SIGTERM did not end the module"

  host_window 200 150
  start --window-id "$(printf '0x%x' "$host")"
  wait_child_size "$host" "200 150"
  # Under 320 pixels wide: XScreenSaver's preview box, drawn as the preview is.
  window_named "Preview" || fail "a module in a 200 x 150 window does not draw as a preview"
  kill -TERM "$pid"
  wait_end 2 || fail "SIGTERM did not end the module"
  [ "$status" -eq 143 ] || fail "SIGTERM gave status $status"

  # Locking is XScreenSaver's: with the password flag on, a request to close a module's
  # window drawn by the full-screen rules ends it, with no prompt and no grab.
  settings Saver 1
  printf '\n[HKEY_CURRENT_USER\\Control Panel\\Desktop]\n"ScreenSaveUsePassword"="1"\n' \
    >>"$QUILLMARK_REGISTRY"
  host_window 700 500
  start --window-id "$host"
  wait_child_size "$host" "700 500"
  find_window
  xdotool search --onlyvisible --name "^Preview\$" >/dev/null &&
    fail "a module in a 700 x 500 window draws as a preview"
  sleep 0.5
  [ -z "$("$XPROBE" grabbed)" ] || fail "the module took a grab"
  "$XPROBE" close "$win" || fail "could not ask the module's window to close"
  sleep 0.5
  xdotool search --onlyvisible --name "^Quillmark\$" >/dev/null && fail "the module asked for a password"
  ends_after "its window was asked to close"
}

# XScreenSaver's --scene: the scene asked for brings its own banner settings, not the
# stored scene's. Stored scene 3 keeps banners off; scene 1 shows a 4 x 4 banner of
# colour 123456 every 200 ms, at the top centre of the 640-pixel window: columns 318
# to 321, rows 0 to 3, above whatever the scene draws.
case_xscreensaver_scene_brings_its_banners() {
  settings Saver 3 Mouse 1
  local program=$work/program system=$QUILLMARK_DRIVE_C/windows/system colour=""
  mkdir -p "$program" "$system"
  cp "$QM" "$program/quillmark"
  printf '[3]\r\nLIGADO=0\r\nTEMPO=200\r\n[1]\r\nLIGADO=1\r\nTEMPO=200\r\n' >"$program/kzt.ini"
  printf '[1]\r\nARQUIVO00=mark.bmp\r\nPOSICAO=1\r\n' >"$system/kzt.ini"
  # A 4 x 4 bitmap, 24 bits a pixel, rows bottom up, each pixel blue, green, red.
  {
    printf 'BM\x66\x00\x00\x00\x00\x00\x00\x00\x36\x00\x00\x00'
    printf '\x28\x00\x00\x00\x04\x00\x00\x00\x04\x00\x00\x00\x01\x00\x18\x00'
    printf '\x00\x00\x00\x00\x30\x00\x00\x00\x13\x0b\x00\x00\x13\x0b\x00\x00'
    printf '\x00\x00\x00\x00\x00\x00\x00\x00'
    for _ in $(seq 16); do printf '\x56\x34\x12'; done
  } >"$system/mark.bmp"
  host_window 640 480
  local installed=$QM
  QM=$program/quillmark
  start --window-id "$host" --scene 1
  QM=$installed
  wait_child_size "$host" "640 480"
  for _ in $(seq 30); do
    colour=$("$XPROBE" child-pixel "$host" 319 1)
    [ "$colour" = 123456 ] && break
    sleep 0.1
  done
  [ "$colour" = 123456 ] || fail "no banner of scene 1 at the top centre (found '$colour')"
  kill -TERM "$pid"
  wait_end 2 || fail "SIGTERM did not end the module"
}

"case_$case_name"
echo "PASS [$case_name]"
