#!/usr/bin/env bash
# Builds Quillmark.scr with mingw-w64 and tests it under Wine on a virtual X display:
#  - smoke tests of every switch: "/s" draws the chosen scene over the whole screen and a
#    key ends it, "/c" opens the setup dialog whose OK stores the settings in the
#    registry, "/p" runs inside a host window and ends with it, "/a" and unknown switches
#    end quietly;
#  - the differential profile-reader test: the portable reader (native build) and
#    Windows' GetPrivateProfileStringA (through Wine) answer the same queries on the
#    tricky INI corpus in tests/data/ini-corpus, and must give the same bytes.
# Installs nothing (scripts/deps.sh with QM_WITH_WINDOWS=1 does). Exits non-zero when
# anything failed. Run from anywhere; builds use -j2.
set -uo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
cross="$root/build/mingw"
jobs="${QM_JOBS:-2}"
failures=0
passes=0

say() { printf '%s\n' "$*"; }
pass() { passes=$((passes + 1)); say "  ok    $*"; }
fail() { failures=$((failures + 1)); say "  FAIL  $*"; }

# ---------------------------------------------------------------- inside the X display
if [ "${1:-}" = "--smoke" ]; then
  scr="$cross/platform/win32/Quillmark.scr"
  work="$cross/wine-smoke"
  xprobe="$root/build/win32-native/qm_xprobe"
  rm -rf "$work" && mkdir -p "$work"
  key='HKLM\SOFTWARE\Quorvana\Quorvana Saver'

  regset() { timeout 60 wine reg add "$key" /v "$1" /d "$2" /f >/dev/null 2>&1; }
  # The REG_SZ text of a settings value; "<missing>" when there is none. reg prints
  # "    <name>    REG_SZ    <data>", four blanks apart. A value found missing is asked
  # for once more: right after a program ends, a query has been seen to come back empty
  # once in many runs (the Wine server of the ended program still going down).
  regget() {
    local got attempt
    for attempt in 1 2; do
      got=$(timeout 60 wine reg query "$key" /v "$1" 2>/dev/null | tr -d '\r' |
        awk -v name="$1" 'index($0, "    " name "    REG_SZ    ") == 1 {
                            print substr($0, length("    " name "    REG_SZ    ") + 1); found = 1 }
                          END { if (!found) print "<missing>" }')
      [ "$got" != "<missing>" ] && break
      [ "$attempt" = 1 ] && sleep 1
    done
    printf '%s\n' "$got"
  }
  # Waits until an X window with exactly this title exists; prints its id. Generous:
  # Wine's first window of a session can take many seconds on a busy machine.
  wait_window() {
    local title="$1" id=""
    for _ in $(seq 1 300); do
      id=$(xdotool search --onlyvisible --name "^${title}\$" 2>/dev/null | head -1)
      [ -n "$id" ] && { echo "$id"; return 0; }
      sleep 0.1
    done
    return 1
  }
  # Waits up to $2 seconds for process $1 to end; true when it did.
  wait_exit() {
    for _ in $(seq 1 $(($2 * 10))); do
      kill -0 "$1" 2>/dev/null || return 0
      sleep 0.1
    done
    return 1
  }
  # Plays what the system does to the window titled $1 (quill_window_probe's request $2,
  # with its arguments after it); prints the probe's answer. Fails when the probe found
  # no window or got no answer.
  probe_window() {
    timeout 60 wine "$cross/platform/win32/quill_window_probe.exe" "$@" 2>&1 | tr -d '\r'
  }
  probe_saver() { probe_window "Screen Saver" "$1"; }
  # Keys go in as real (XTEST) events to the focused window: events sent to one window
  # leave Wine's idea of the keyboard half-pressed for the next program.
  # How many pixels of picture $1 are not black: all of them, or those of region $2
  # (WxH+X+Y).
  non_black() {
    convert "$1" ${2:+-crop "$2" +repage} -fill white +opaque black \
      -format '%[fx:round(mean*w*h)]' info:
  }
  # How many of $1 looks at the screen, 0.1 s apart, find it changed since the look
  # before; the first look before them is taken at once.
  screen_changes() {
    local rootwin last now changed=0
    rootwin=$(xwininfo -root | awk '/Window id:/ { print $4 }')
    last=$("$xprobe" digest "$rootwin")
    for _ in $(seq "$1"); do
      sleep 0.1
      now=$("$xprobe" digest "$rootwin")
      [ "$now" != "$last" ] && changed=$((changed + 1))
      last=$now
    done
    echo "$changed"
  }
  # How many pixels of region $2 (WxH+X+Y) of picture $1 are about colour $3.
  colour_count() {
    convert "$1" -crop "$2" +repage -fuzz 20% -fill black +opaque "$3" -fill white -opaque "$3" \
      -format '%[fx:round(mean*w*h)]' info:
  }

  say "smoke tests (Wine $(wine --version), display $DISPLAY)"
  # The pointer rests in the middle of the screen until the mouse test moves it: Wine
  # believes it is there until one of its windows sees it move, and any other place
  # would look like a jump to the first window that opens.
  xdotool mousemove 512 384

  # Runs the program with switches that show nothing; true when it ended with status 0
  # (a crash ends too, but not so). Wine's own errors are kept in $work/<name>.log and
  # shown on failure: "/x" ended with 1 once, and nothing was left to say why.
  ends_quietly() {
    local name="$1" rc
    shift
    WINEDEBUG=-all,err+all timeout 20 wine "$scr" "$@" >"$work/$name.log" 2>&1
    rc=$?
    [ $rc -eq 0 ] && return 0
    say "  (ended with $rc; its output's last lines:)"
    tail -n 15 "$work/$name.log" | sed 's/^/    /'
    return 1
  }
  # Unknown switch and preview without a host window: nothing is shown, the program ends.
  start=$(date +%s)
  ends_quietly unknown-switch /x && pass "/x ends at once ($(($(date +%s) - start)) s)" ||
    fail "/x did not end with status 0"
  ends_quietly preview-no-host /p 0 && pass "/p with no host window ends quietly" ||
    fail "/p 0 did not end with status 0"
  # Wine has no password.cpl and its PwdChangePasswordA shows nothing: "/a" must just end.
  ends_quietly change-password /a 0 && pass "/a ends after the password-change request" ||
    fail "/a did not end with status 0"

  # Full screen: the past World Cups collage, one poster a second, so the screen fills
  # with pictures that the flying balls (a few 30-pixel sprites) could never cover. The
  # scene's number is stored as a DWORD, as a hand-made value may be: it reads as the
  # number it holds.
  timeout 60 wine reg delete "$key" /f >/dev/null 2>&1
  timeout 60 wine reg add "$key" /v Saver /t REG_DWORD /d 3 /f >/dev/null 2>&1
  regset SS03Vel 1
  regset Mouse 1   # the pointer of the virtual display must not end the saver
  wine "$scr" /s >"$work/s.log" 2>&1 &
  pid=$!
  if id=$(wait_window "Screen Saver"); then
    pass "/s shows its window"
    geometry=$(xdotool getwindowgeometry "$id" | awk '/Geometry/ { print $2 }')
    [ "$geometry" = "1024x768" ] && pass "/s covers the whole screen ($geometry)" ||
      fail "/s window is $geometry, not the screen's 1024x768"
    hidden=no
    for _ in $(seq 20); do "$xprobe" pointer-hidden && hidden=yes && break; sleep 0.1; done
    [ "$hidden" = yes ] && pass "/s hides the pointer" || fail "the pointer shows over /s"
    # A screen that changes size: the window is shrunk and told of it, and covers
    # the whole screen again.
    got=$(probe_saver display-change)
    [ "$got" = "1024x768" ] && pass "/s covers the screen again after a display change" ||
      fail "/s window is $got after a display change, not the screen's 1024x768"
    sleep 4
    import -window root "$work/s.png" 2>/dev/null
    lit=$(non_black "$work/s.png")
    # Four seconds at a poster a second: at least two 110 x 154 posters on screen.
    if [ "${lit:-0}" -ge 20000 ]; then
      pass "/s draws the chosen scene ($lit pixels not black)"
    else
      fail "/s drew too little for the poster collage (${lit:-0} pixels not black, see $work/s.png)"
    fi
    xdotool key space
    if wait_exit "$pid" 10; then pass "/s ends on a key"; else fail "/s still runs after a key"; fi
  else
    fail "/s showed no window (log: $work/s.log)"
  fi
  kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null

  # Windows starts savers through their short 8.3 path: the same program, installed in
  # a folder with blanks and a long name, started that way, runs as usual.
  longdir="$WINEPREFIX/drive_c/Program Files/Quill Mark Saver"
  mkdir -p "$longdir" && cp "$scr" "$longdir/Quillmark.scr"
  # GetShortPathName through winepath: the same 8.3 names Windows hands to a saver.
  short=$(timeout 60 wine winepath -s 'C:\Program Files\Quill Mark Saver\Quillmark.scr' 2>/dev/null |
    tr -d '\r')
  case "$short" in
    ""|*" "*) fail "no short path for the installed saver (got \"$short\")" ;;
    *)
      wine "$short" /s >"$work/short.log" 2>&1 &
      pid=$!
      if wait_window "Screen Saver" >/dev/null; then
        pass "/s starts through the short path $short"
        sleep 0.5
        xdotool key space
        wait_exit "$pid" 10 || fail "/s through the short path did not end on a key"
      else
        fail "/s through the short path $short showed no window"
      fi
      kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null ;;
  esac

  # A sponsor banner: switched on in the kzt.ini beside the program, named in the one in
  # C:\windows\system\, shown at the bottom edge, centred, one interval after the start.
  # The balls' scene with no balls leaves the rest of the screen black.
  bannerdir="$WINEPREFIX/drive_c/Banner Probe"
  sysdir="$WINEPREFIX/drive_c/windows/system"
  made_sysdir=no
  [ -d "$sysdir" ] || { mkdir -p "$sysdir" && made_sysdir=yes; }
  mkdir -p "$bannerdir" && cp "$scr" "$bannerdir/Quillmark.scr"
  printf '[1]\r\nLIGADO=1\r\nTEMPO=300\r\n' >"$bannerdir/kzt.ini"
  printf '[1]\r\nARQUIVO00=pampa.bmp\r\nPOSICAO=0\r\n' >"$sysdir/kzt.ini"
  cp "$root/data/banners/pampa.bmp" "$sysdir/"
  regset Saver 1
  regset BolasNum 0
  regset Mouse 1
  wine "$bannerdir/Quillmark.scr" /s >"$work/banner.log" 2>&1 &
  pid=$!
  if wait_window "Screen Saver" >/dev/null; then
    sleep 1.5
    import -window root "$work/banner.png" 2>/dev/null
    # 468 x 60 pixels: left 1024 / 2 - 468 / 2 = 278, top 768 - 60 = 708.
    inside=$(non_black "$work/banner.png" 468x60+278+708)
    lit=$(non_black "$work/banner.png")
    if [ "${inside:-0}" -ge 27000 ] && [ "$((${lit:-0} - ${inside:-0}))" -eq 0 ]; then
      pass "/s shows the banner at the bottom edge, centred ($inside pixels)"
    else
      fail "banner: ${inside:-0} pixels not black in its place, $((${lit:-0} - ${inside:-0}))" \
        "elsewhere (see $work/banner.png)"
    fi
    xdotool key space
    wait_exit "$pid" 10 || fail "/s with a banner did not end on a key"
  else
    fail "/s with a banner showed no window (log: $work/banner.log)"
  fi
  kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
  rm -rf "$bannerdir" "$sysdir/kzt.ini" "$sysdir/pampa.bmp"
  [ "$made_sysdir" = yes ] && rmdir "$sysdir"
  timeout 60 wine reg delete "$key" /v BolasNum /f >/dev/null 2>&1

  # tabela.ini is opened by an 8-bit name: in a folder whose name the code page cannot
  # spell (Cyrillic on a Western system), the program finds it through the short name.
  for folder in "Copa Probe" "Кубок мира"; do
    dir="$WINEPREFIX/drive_c/$folder"
    mkdir -p "$dir" && cp "$cross/platform/win32/quill_folder_probe.exe" "$dir/" &&
      printf '[Probe]\r\nKey=found\r\n' >"$dir/tabela.ini"
    got=$(timeout 60 wine "C:\\$folder\\quill_folder_probe.exe" 2>/dev/null | tr -d '\r')
    if [ "$got" = found ]; then
      pass "tabela.ini found beside the program in C:\\$folder"
    else
      fail "tabela.ini not found beside the program in C:\\$folder (read \"$got\")"
    fi
    rm -rf "$dir"
  done

  # A picture scene's pace is a number of seconds read in the user's locale: with a
  # decimal comma, "0,05" is a new poster every 50 ms, where a text that is no number
  # keeps the scene's own pace of one a second.
  intl='HKCU\Control Panel\International'
  regset Saver 3
  regset SS03Vel "0,05"
  timeout 60 wine reg add "$intl" /v sDecimal /d , /f >/dev/null 2>&1
  wine "$scr" /s >"$work/comma.log" 2>&1 &
  pid=$!
  if wait_window "Screen Saver" >/dev/null; then
    sleep 1
    changed=$(screen_changes 19)
    [ "$changed" -ge 10 ] &&
      pass "with a decimal comma, \"0,05\" s changed the posters at $changed of 19 looks" ||
      fail "with a decimal comma, \"0,05\" s changed the screen at $changed of 19 looks 0.1 s apart"
    xdotool key space
    wait_exit "$pid" 10 || fail "/s with a decimal comma did not end on a key"
  else
    fail "/s showed no window (log: $work/comma.log)"
  fi
  kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
  timeout 60 wine reg add "$intl" /v sDecimal /d . /f >/dev/null 2>&1
  timeout 60 wine reg delete "$key" /v SS03Vel /f >/dev/null 2>&1

  # Mouse input enabled ("Mouse" 0) and the desktop's password flag set: the first move
  # only records the pointer, a move of 5 pixels or more asks to close, and with no
  # password.cpl in the system folder (Wine has none) the close goes on without a prompt.
  # The saver starts from a folder that holds a password.cpl of somebody else's, which it
  # must not load (that one leaves a mark when it runs).
  regset Saver 1
  regset Mouse 0
  timeout 60 wine reg add 'HKCU\Control Panel\Desktop' /v ScreenSaveUsePassword /d 1 /f >/dev/null 2>&1
  planted="$work/planted" && mkdir -p "$planted"
  cp "$cross/platform/win32/planted/password.cpl" "$planted/"
  (cd "$planted" && exec wine "$scr" /s) >"$work/m.log" 2>&1 &
  pid=$!
  if id=$(wait_window "Screen Saver"); then
    sleep 1
    xdotool mousemove 514 385   # under 5 pixels: only moves the reference point
    sleep 1
    if kill -0 "$pid" 2>/dev/null; then pass "/s stays up for small mouse moves"; else fail "/s ended on a move under 5 pixels"; fi
    # A pointer creeping a pixel every 20 ms reaches the window more often than the 50 ms
    # tick; the balls must go on flying meanwhile (two ticks between two looks, of which
    # a busy machine may hold one up now and then).
    creep=()
    for i in $(seq 400); do creep+=(mousemove $((514 + i % 2)) 385 sleep 0.02); done
    xdotool "${creep[@]}" &
    mover=$!
    held=$((19 - $(screen_changes 19)))
    kill -0 "$mover" 2>/dev/null || fail "the pointer stopped creeping before the last look"
    kill "$mover" 2>/dev/null; wait "$mover" 2>/dev/null
    xdotool mousemove 514 385
    [ "$held" -le 3 ] && pass "/s steps on while the pointer creeps ($held of 20 looks unchanged)" ||
      fail "the screen stood still $held times in 20 looks 0.1 s apart while the pointer crept"
    xdotool mousemove 540 385
    sleep 0.3
    xdotool mousemove 570 385
    if wait_exit "$pid" 10; then pass "/s ends on a mouse move, password flag set but no prompt available"
    else fail "/s still runs after mouse moves"; fi
    [ -e "$planted/planted-password-cpl-ran" ] &&
      fail "/s ran the password.cpl of the folder it started from" ||
      pass "/s leaves a password.cpl outside the system folder alone"
  else
    fail "/s showed no window (log: $work/m.log)"
  fi
  kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null

  # Logging off closes the saver as any other request does, through the password check
  # (the flag is still set; with no prompt available the close goes on): the session
  # may end, and the saver has ended by the time it does.
  regset Mouse 1
  wine "$scr" /s >"$work/e.log" 2>&1 &
  pid=$!
  if wait_window "Screen Saver" >/dev/null; then
    got=$(probe_saver end-session)
    [ "$got" = 1 ] && pass "/s lets the session end" || fail "/s answered '$got' to the end of the session"
    if wait_exit "$pid" 10; then pass "/s ends with the session"
    else fail "/s still runs after letting the session end"; fi
  else
    fail "/s showed no window (log: $work/e.log)"
  fi
  kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
  timeout 60 wine reg delete 'HKCU\Control Panel\Desktop' /v ScreenSaveUsePassword /f >/dev/null 2>&1

  # With the system's password.cpl refusing (a wrong password typed), nothing closes the
  # saver: not logging off, not another program's request, not a quick pair of right
  # clicks, whose second press the window's class reports as a double click. Each of
  # the four asks once; the stand-in adds a line to C:\refusing-cpl.log when asked.
  sys32="$WINEPREFIX/drive_c/windows/system32"
  asked="$WINEPREFIX/drive_c/refusing-cpl.log"
  cp "$cross/platform/win32/refusing/password.cpl" "$sys32/password.cpl"
  rm -f "$asked"
  timeout 60 wine reg add 'HKCU\Control Panel\Desktop' /v ScreenSaveUsePassword /d 1 /f >/dev/null 2>&1
  regset Mouse 0
  wine "$scr" /s >"$work/r.log" 2>&1 &
  pid=$!
  if wait_window "Screen Saver" >/dev/null; then
    got=$(probe_saver end-session)
    [ "$got" = 0 ] && pass "/s keeps the session going when the password is refused" ||
      fail "/s answered '$got' to the end of the session, the password refused"
    probe_saver close >/dev/null || fail "/s did not answer a request to close"
    sleep 1
    xdotool click --repeat 2 --delay 80 3
    sleep 1
    kill -0 "$pid" 2>/dev/null && pass "/s stays up while the password is refused" ||
      fail "/s ended although the password was refused"
    n=$(grep -c asked "$asked" 2>/dev/null)
    [ "$n" = 4 ] && pass "the system's password.cpl was asked once a request, 4 times" ||
      fail "the system's password.cpl was asked ${n:-0} times for 4 requests"
  else
    fail "/s showed no window (log: $work/r.log)"
  fi
  kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
  rm -f "$sys32/password.cpl" "$asked"
  timeout 60 wine reg delete 'HKCU\Control Panel\Desktop' /v ScreenSaveUsePassword /f >/dev/null 2>&1

  # A button ends the saver, but its window stays until the button is let go: the
  # release must not reach the window beneath, which never saw the press and would take
  # a lone release as its own (a right button's opens a context menu, a side button's,
  # X's 8 and Windows' first extra one, is "Back"). A side button ends it when let go.
  regset Mouse 0
  xev -geometry 1024x768+0+0 -event button >"$work/beneath" 2>&1 &
  xev_pid=$!
  sleep 0.5
  for button in 3 8; do
    wine "$scr" /s >"$work/x.log" 2>&1 &
    pid=$!
    if wait_window "Screen Saver" >/dev/null; then
      sleep 1
      xdotool mousedown "$button"
      sleep 0.5
      kill -0 "$pid" 2>/dev/null || fail "/s ended while button $button was still held"
      xdotool mouseup "$button"
      if wait_exit "$pid" 10; then pass "/s ends on button $button, once it is let go"
      else fail "/s still runs after button $button"; fi
    else
      fail "/s showed no window (log: $work/x.log)"
    fi
    kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
  done
  # A quick click, whose release may be queued already when the press is handled.
  wine "$scr" /s >"$work/x.log" 2>&1 &
  pid=$!
  if wait_window "Screen Saver" >/dev/null; then
    sleep 1
    xdotool click 3
    wait_exit "$pid" 10 || fail "/s still runs after a quick click of button 3"
  else
    fail "/s showed no window (log: $work/x.log)"
  fi
  kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
  sleep 0.3
  if grep -q ButtonRelease "$work/beneath"; then
    fail "the window beneath the saver got a button's release"
  else
    # ...which does see a click of its own: it was there, under the pointer, listening.
    xdotool click 1
    sleep 0.3
    if grep -q ButtonRelease "$work/beneath"; then
      pass "no button's release reaches the window beneath the saver"
    else
      fail "the window beneath the saver saw no click of its own"
    fi
  fi
  kill "$xev_pid" 2>/dev/null; wait "$xev_pid" 2>/dev/null

  # A button that is never let go (a lost release, a stuck button) keeps the ended
  # saver's window up for 3 seconds at most.
  wine "$scr" /s >"$work/x.log" 2>&1 &
  pid=$!
  if wait_window "Screen Saver" >/dev/null; then
    sleep 1
    xdotool mousedown 3
    if wait_exit "$pid" 6; then pass "/s ends within seconds while a button stays held"
    else fail "/s still runs 6 s after a press of button 3 that was never let go"; fi
    xdotool mouseup 3
  else
    fail "/s showed no window (log: $work/x.log)"
  fi
  kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null

  # The About box's "System info..." starts the program the registry names for it, here
  # in a folder whose name has a blank, as "Program Files" has: its command line holds
  # its path quoted, and no message says the program is unavailable. Where that program
  # is missing, the message says so over the About box, which it belongs to (owned by
  # the setup dialog, it would leave the About box usable). A click on the e-mail line
  # opens a mail to the address shown ("kzt@qv.example" when none is stored), through
  # the program registered for mailto: addresses, here the same stand-in. The About
  # box's OK then stores the settings in a key it creates, which outlasts the Wine
  # session.
  timeout 60 wine reg delete "$key" /f >/dev/null 2>&1
  started="$WINEPREFIX/drive_c/started-probe.log"
  msinfo='HKLM\SOFTWARE\Microsoft\Shared Tools\MSINFO'
  mkdir -p "$WINEPREFIX/drive_c/Sys Info"
  cp "$cross/platform/win32/quill_started_probe.exe" "$WINEPREFIX/drive_c/Sys Info/started probe.exe"
  rm -f "$started"
  timeout 60 wine reg add "$msinfo" /v PATH /d 'C:\Sys Info\started probe.exe' /f >/dev/null 2>&1
  timeout 60 wine reg add 'HKCR\mailto\shell\open\command' /ve \
    /d '"C:\Sys Info\started probe.exe" %1' /f >/dev/null 2>&1
  wine "$scr" /c >"$work/sysinfo.log" 2>&1 &
  pid=$!
  if wait_window "Quillmark Desktop Theme - Screen Saver" >/dev/null; then
    xdotool key Escape
    if wait_window "About" >/dev/null; then
      sleep 0.5
      xdotool key alt+s
      for _ in $(seq 100); do [ -s "$started" ] && break; sleep 0.1; done
      got=$(tr -d '\r' <"$started" 2>/dev/null)
      [ "$got" = '"C:\Sys Info\started probe.exe"' ] &&
        pass "System info starts the program the registry names, its path quoted" ||
        fail "System info started ${got:-nothing}; expected \"C:\\Sys Info\\started probe.exe\" once"
      sleep 1
      xdotool search --onlyvisible --name '^SCRNSAVE:Quillmark Screen Save$' >/dev/null 2>&1 &&
        fail "a message calls the system information unavailable although it started"
      timeout 60 wine reg add "$msinfo" /v PATH /d 'C:\Sys Info\missing.exe' /f >/dev/null 2>&1
      xdotool key alt+s
      if wait_window "SCRNSAVE:Quillmark Screen Save" >/dev/null; then
        got=$(probe_window "SCRNSAVE:Quillmark Screen Save" owner)
        [ "$got" = "About" ] && pass "a missing System info program is reported over the About box" ||
          fail "the message of a missing System info program belongs to \"$got\", not the About box"
        xdotool key Return
        sleep 0.5
      else
        fail "no message for a System info program that is missing"
      fi
      # The e-mail line: 232 x 148 pixels into the client area, 2 x 19 into the window.
      about=$(xdotool search --onlyvisible --name '^About$' 2>/dev/null | head -1)
      xdotool mousemove --window "$about" 254 174 click 1
      for _ in $(seq 100); do [ "$(grep -c . "$started" 2>/dev/null)" -ge 2 ] && break; sleep 0.1; done
      got=$(sed -n 2p "$started" | tr -d '\r')
      case "$got" in
        '"C:\Sys Info\started probe.exe" '*mailto:kzt@qv.example*)
          pass "a click on the e-mail line opens a mail to its address" ;;
        *) fail "a click on the e-mail line started ${got:-nothing}" ;;
      esac
      xdotool mousemove --window "$about" 12 200 click 1   # the keyboard back to the box
      sleep 0.3
      xdotool key Escape
    else
      fail "Esc opened no About box (log: $work/sysinfo.log)"
    fi
    sleep 0.5
    xdotool key alt+F4
    if wait_exit "$pid" 10; then
      timeout 30 wineserver -w   # the session ends once its last program has
      tela=$(regget Tela)
      [ "$tela" = "0" ] && pass "settings stored in a new key outlast the session" ||
        fail "Tela is \"$tela\" once the session ended; the About box's OK stored \"0\""
    else
      fail "/c still open after its window was closed (System info)"
    fi
  else
    fail "/c showed no setup dialog (log: $work/sysinfo.log)"
  fi
  kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
  timeout 60 wine reg delete "$msinfo" /v PATH /f >/dev/null 2>&1
  rm -rf "$started" "$WINEPREFIX/drive_c/Sys Info"

  # Esc in the setup dialog opens the About box. Its close box (Alt+F4) closes it without
  # storing anything; its OK (Esc) stores every setting as loaded. Closing the setup
  # dialog's window is a Cancel and stores nothing.
  timeout 60 wine reg delete "$key" /f >/dev/null 2>&1
  regset Saver 2
  wine "$scr" /c >"$work/about.log" 2>&1 &
  pid=$!
  if id=$(wait_window "Quillmark Desktop Theme - Screen Saver"); then
    xdotool key Escape
    if wait_window "About" >/dev/null; then
      pass "Esc in the setup dialog opens the About box"
      sleep 0.5
      xdotool key alt+F4
      sleep 1
      xdotool search --onlyvisible --name '^About$' >/dev/null 2>&1 && fail "Alt+F4 leaves the About box open"
      # Saver, set above, shows that the store can be read: an empty answer is no proof.
      saver=$(regget Saver) tela=$(regget Tela)
      [ "$saver" = "2" ] && [ "$tela" = "<missing>" ] && pass "the About box's close box stored nothing" ||
        fail "Saver \"$saver\", Tela \"$tela\" after closing the About box by its close box; expected 2 and none"
    else
      fail "Esc opened no About box"
    fi
    xdotool key Escape
    if wait_window "About" >/dev/null; then
      sleep 0.5
      import -window root "$work/about.png" 2>/dev/null
      # The contact lines are the blue text inside the About box. The pointer on the
      # first turns it red, and leaving the box straight from it (no move over the
      # background on the way) turns it blue again.
      about=$(xdotool search --onlyvisible --name '^About$' 2>/dev/null | head -1)
      X=0 Y=0 WIDTH=0 HEIGHT=0
      [ -n "$about" ] && eval "$(xdotool getwindowgeometry --shell "$about" 2>/dev/null)"
      # The icon goes over the dialog's face through its mask: the corners of its red
      # ring's bounds, outside the ring, show the face, not the black of the picture
      # outside its shape. The ring is found below the title bar's small one.
      ring=$(convert "$work/about.png" -crop "50x50+$X+$((Y + 22))" +repage -fuzz 20% \
        -fill white +opaque "#FF0000" -fill black -opaque "#FF0000" -negate -trim \
        -format '%w %X %Y' info: 2>/dev/null)
      read -r rw rx ry <<<"$ring"
      corner=$(convert "$work/about.png" -crop "4x4+$((X + ${rx:-0}))+$((Y + 22 + ${ry:-0}))" \
        +repage -colorspace Gray -threshold 25% -negate -format '%[fx:round(mean*w*h)]' info: 2>/dev/null)
      [ "${rw:-0}" -ge 20 ] && [ "${corner:-16}" -eq 0 ] &&
        pass "the About box's icon shows the face around its ring" ||
        fail "no ring, or the corner of the About box's icon is black (ring ${rw:-0} wide, ${corner:-?} of 16 pixels dark)"
      # The title is in its own 12-point bold font: "Quillmark - France'98" is about 158
      # pixels wide in it, 100 in the dialog's 8-point font. Its label is 291 x 24 pixels,
      # 48 x 12 into the client area.
      title=$(convert "$work/about.png" -crop "291x24+$((X + 50))+$((Y + 31))" +repage \
        -colorspace Gray -threshold 50% -negate -trim -format '%w' info: 2>/dev/null)
      [ "${title:-0}" -ge 150 ] && pass "the About box's title is in its larger font ($title pixels wide)" ||
        fail "the About box's title is ${title:-?} pixels wide, as if in the dialog's own font"
      links=$(convert "$work/about.png" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage \
        -fuzz 10% -fill white +opaque "#0000FF" -trim -format '%w %h %X %Y' info: 2>/dev/null)
      read -r lw lh lx ly <<<"$links"
      # An image with no blue at all trims to a single pixel.
      if [ "${lw:-0}" -gt 1 ] && [ "${lh:-0}" -gt 1 ]; then
        lx=$((X + ${lx#+})) ly=$((Y + ${ly#+}))
        region="${lw}x${lh}+${lx}+${ly}"
        xdotool mousemove $((lx + lw / 2)) $((ly + 4))
        sleep 0.5
        import -window root "$work/about-hover.png" 2>/dev/null
        red=$(colour_count "$work/about-hover.png" "$region" "#FF0000")
        [ "${red:-0}" -gt 20 ] && pass "the pointer on a contact line turns it red ($red pixels)" ||
          fail "the pointer on a contact line left it as it was (red pixels: ${red:-none})"
        xdotool mousemove 5 5
        sleep 0.6
        import -window root "$work/about-left.png" 2>/dev/null
        red=$(colour_count "$work/about-left.png" "$region" "#FF0000")
        [ "${red:-1}" -eq 0 ] && pass "leaving the About box from a contact line turns it blue" ||
          fail "a contact line stays red after the pointer left the About box ($red pixels)"
      else
        fail "no blue contact line found in the About box"
      fi
      xdotool key Escape
      sleep 1
      xdotool search --onlyvisible --name '^About$' >/dev/null 2>&1 && fail "the About box stays open on Esc" ||
        pass "Esc closes the About box"
    else
      fail "Esc opened no About box the second time"
    fi
    xdotool key alt+F4
    if wait_exit "$pid" 10; then
      pass "closing the setup dialog ends /c"
      # The About box's OK (Esc) stores every setting as loaded: Saver stays "2", and
      # Tela keeps the default "0" because the setup dialog's OK never ran.
      tela=$(regget Tela)
      [ "$tela" = "0" ] && pass "the About box's OK stored the settings as loaded; closing stored no choice" ||
        fail "Tela is \"$tela\" after About's OK and closing the setup dialog; expected \"0\""
    else
      fail "/c still open after its window was closed"
    fi
  else
    fail "/c showed no setup dialog (log: $work/about.log)"
  fi
  kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null

  # The About box's contact lines, opened with Email "abcd", "a&b&c&d" and an address
  # wider than its line: an "&" in a stored address shows as it is (three more blue
  # signs the second time), the long one is cut off at the line's end rather than moved
  # to a second line that does not show (more blue than "abcd", not less), and a line
  # acts on a click, pressed and released over it, not on a press dragged off it.
  timeout 60 wine reg delete "$key" /f >/dev/null 2>&1
  regset Url notepad.exe
  blue=()
  for email in abcd 'a&b&c&d' contato@quorvanastudio.com; do
    regset Email "$email"
    wine "$scr" /c >"$work/contact.log" 2>&1 &
    pid=$!
    if wait_window "Quillmark Desktop Theme - Screen Saver" >/dev/null; then
      sleep 1  # until the dialog has the keyboard
      xdotool key Escape
      if about=$(wait_window "About"); then
        sleep 0.5
        X=0 Y=0 WIDTH=0 HEIGHT=0
        eval "$(xdotool getwindowgeometry --shell "$about" 2>/dev/null)"
        shot="$work/contact-${#blue[@]}.png"
        import -window root "$shot" 2>/dev/null
        blue+=("$(colour_count "$shot" "${WIDTH}x${HEIGHT}+${X}+${Y}" "#0000FF")")
        # The web line is the lower contact line; its left end is the blue's.
        links=$(convert "$shot" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage \
          -fuzz 10% -fill white +opaque "#0000FF" -trim -format '%w %h %X %Y' info: 2>/dev/null)
        read -r lw lh lx ly <<<"$links"
        if [ "$email" = 'a&b&c&d' ] && [ "${lw:-0}" -gt 1 ]; then
          webx=$((X + ${lx#+} + 8)) weby=$((Y + ${ly#+} + lh - 6))
          xdotool mousemove "$webx" "$weby" mousedown 1
          sleep 1.5
          xdotool mousemove 5 5 mouseup 1
          sleep 2
          if xdotool search --onlyvisible --name 'Notepad' >/dev/null 2>&1; then
            fail "a press on the web line, released off it, opened its address"
          else
            pass "a press on the web line, released off it, opens nothing"
          fi
          xdotool mousemove "$webx" "$weby" click 1
          opened=no
          for _ in $(seq 1 100); do
            xdotool search --onlyvisible --name 'Notepad' >/dev/null 2>&1 && { opened=yes; break; }
            sleep 0.1
          done
          [ $opened = yes ] && pass "a click on the web line opens its address" ||
            fail "a click on the web line opened nothing"
          for w in $(xdotool search --name 'Notepad' 2>/dev/null); do xdotool windowkill "$w"; done
          sleep 0.5
          # Back to the About box: a click on its background gives it the keyboard.
          xdotool mousemove $((X + 12)) $((Y + HEIGHT - 12)) click 1
          sleep 0.5
        fi
        xdotool key Escape
      else
        fail "Esc opened no About box (Email \"$email\")"
      fi
      sleep 1
      xdotool key alt+F4
      wait_exit "$pid" 10 || fail "/c still open after the About box's test"
    else
      fail "/c showed no setup dialog (log: $work/contact.log)"
    fi
    kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
  done
  if [ ${#blue[@]} -ge 2 ] && [ "${blue[1]}" -gt $((blue[0] + 25)) ]; then
    pass "an \"&\" in the e-mail address shows (${blue[0]} then ${blue[1]} blue pixels)"
  else
    fail "an \"&\" in the e-mail address does not show (blue pixels: ${blue[*]:-none})"
  fi
  if [ ${#blue[@]} -eq 3 ] && [ "${blue[2]}" -gt $((blue[0] + 100)) ]; then
    pass "a long e-mail address shows on its line, cut off (${blue[0]} then ${blue[2]} blue pixels)"
  else
    fail "a long e-mail address does not show on its line (blue pixels: ${blue[*]:-none})"
  fi
  timeout 60 wine reg delete "$key" /f >/dev/null 2>&1

  # A scene's "+" opens its settings dialog modally over the setup dialog, centred on
  # it wherever it was moved; its slider starts at the stored count, shown beside it,
  # one step right shows and Ok stores the new count at once, and closing the setup
  # dialog afterwards does not take it back. The "+" of Flying Balls is where the design
  # puts it, 260 x 36 pixels into the client area, below the title.
  timeout 60 wine reg delete "$key" /f >/dev/null 2>&1
  regset BolasNum 6
  regset BolasVel 9
  wine "$scr" /c >"$work/plus.log" 2>&1 &
  pid=$!
  setup="Quillmark Desktop Theme - Screen Saver"
  balls="Flying Balls - Settings"
  if id=$(wait_window "$setup"); then
    sleep 1
    probe_window "$setup" move 40 30 >/dev/null
    sleep 0.5
    xdotool mousemove --window "$id" 262 55 click 1
    if wait_window "$balls" >/dev/null; then
      pass "\"+\" opens the Flying Balls settings"
      sleep 0.5
      import -window root "$work/plus.png" 2>/dev/null
      read -r ol ot or ob < <(probe_window "$setup" rect)
      read -r bl bt br bb < <(probe_window "$balls" rect)
      dx=$(((bl + br) - (ol + or))) dy=$(((bt + bb) - (ot + ob)))
      [ "$ol" = 40 ] && [ "${dx#-}" -le 2 ] && [ "${dy#-}" -le 2 ] &&
        pass "the settings open centred on the moved setup dialog" ||
        fail "the settings at $bl,$bt-$br,$bb are not centred on the setup dialog" \
          "at $ol,$ot-$or,$ob"
      # Each slider's value beside it, count then speed: the controls whose text is a
      # number.
      shown=$(probe_window "$balls" texts | grep -xE '[0-9]+' | tr '\n' ' ')
      [ "$shown" = "6 9 " ] && pass "the stored count 6 and speed 9 show beside their sliders" ||
        fail "beside the sliders: \"$shown\"; expected the stored 6 and 9"
      # The sliders' thumbs where the values say, on the design's range.
      got=$(probe_window "$balls" sliders | tr '\n' ' ')
      [ "$got" = "1 20 6 1 20 9 " ] &&
        pass "the sliders run from 1 to 20, their thumbs at the stored 6 and 9" ||
        fail "the sliders (min max position) are \"$got\"; expected 1 20 6 and 1 20 9"
      got=$(probe_window "$balls" default-button)
      [ "$got" = "Ok" ] && pass "\"Ok\" is the Flying Balls settings' default button" ||
        fail "the Flying Balls settings' default button is \"$got\"; expected \"Ok\""
      xdotool key Right   # the slider has the focus first
      sleep 0.5
      shown=$(probe_window "$balls" texts | grep -xE '[0-9]+' | tr '\n' ' ')
      [ "$shown" = "7 9 " ] && pass "one step right shows 7 beside the count's slider" ||
        fail "beside the sliders after one step right: \"$shown\"; expected 7 and 9"
      xdotool key Return   # Enter means Ok
      sleep 1
      got=$(regget BolasNum)
      [ "$got" = "7" ] && pass "the slider moved from the stored 6 and Enter stored 7" ||
        fail "BolasNum is \"$got\" after one step right and Enter; expected \"7\""
      # The close box, like Cancel, stores nothing.
      xdotool mousemove --window "$id" 262 55 click 1
      if wait_window "$balls" >/dev/null; then
        sleep 0.5
        xdotool key Right
        sleep 0.5
        probe_window "$balls" close >/dev/null
        sleep 1
        got=$(regget BolasNum)
        [ "$got" = "7" ] && pass "the Flying Balls settings' close box stores nothing" ||
          fail "BolasNum is \"$got\" after a step right and the close box; expected \"7\""
      else
        fail "\"+\" opened no Flying Balls settings dialog after Enter closed it"
      fi
      # Esc cancels: the dialog closes and the count stays.
      xdotool mousemove --window "$id" 262 55 click 1
      if wait_window "$balls" >/dev/null; then
        sleep 0.5
        xdotool key Right Escape
        sleep 1
        if xdotool search --onlyvisible --name '^Flying Balls - Settings$' >/dev/null 2>&1; then
          fail "Esc leaves the Flying Balls settings open"
        else
          got=$(regget BolasNum)
          [ "$got" = "7" ] && pass "Esc closes the Flying Balls settings, storing nothing" ||
            fail "BolasNum is \"$got\" after Esc; expected \"7\""
        fi
      else
        fail "\"+\" opened no Flying Balls settings dialog for Esc"
      fi
    else
      fail "\"+\" opened no Flying Balls settings dialog"
    fi
    xdotool key alt+F4
    wait_exit "$pid" 10 || fail "/c still open after its window was closed"
    got=$(regget BolasNum)
    [ "$got" = "7" ] && pass "Cancel in the setup dialog keeps what the scene dialog stored" ||
      fail "BolasNum is \"$got\" after closing the setup dialog; expected \"7\""
  else
    fail "/c showed no setup dialog (log: $work/plus.log)"
  fi
  kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null

  # Tab visits the setup dialog's controls in the design's order, whatever overlaps
  # (each wide option ends under its scene's "+" button). Of the options, as in any
  # dialog, only the selected one is a stop.
  timeout 60 wine reg delete "$key" /f >/dev/null 2>&1
  regset Saver 2
  wine "$scr" /c >"$work/tab.log" 2>&1 &
  pid=$!
  if wait_window "Quillmark Desktop Theme - Screen Saver" >/dev/null; then
    sleep 1
    want="OK|Cancel|Flying Trophy|Jules Rimet|World Cup|About|Disable mouse movement|"
    want+="+|+|+|+|+|Use Startup and Shutdown screens of theme.|"
    got=$(timeout 60 wine "$cross/platform/win32/quill_tab_probe.exe" \
      "Quillmark Desktop Theme - Screen Saver" 2>&1 | tr -d '\r' | tr '\n' '|')
    [ "$got" = "$want" ] && pass "Tab visits the setup dialog's controls in the design's order" ||
      fail "the setup dialog's tab order is $got; expected $want"
    got=$(probe_window "Quillmark Desktop Theme - Screen Saver" default-button)
    [ "$got" = "OK" ] && pass "\"OK\" is the setup dialog's default button" ||
      fail "the setup dialog's default button is \"$got\"; expected \"OK\""
    xdotool key alt+F4
    wait_exit "$pid" 10 || fail "/c still open after its window was closed"
  else
    fail "/c showed no setup dialog (log: $work/tab.log)"
  fi
  kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null

  # Opens /c with Saver $1 stored (nothing for ""), presses the keys $2 (ending with
  # Return, OK) and expects Saver $3 stored: passes saying $4, or fails saying $5.
  setup_keys() {
    timeout 60 wine reg delete "$key" /f >/dev/null 2>&1
    [ -n "$1" ] && regset Saver "$1"
    wine "$scr" /c >"$work/arrows.log" 2>&1 &
    local pid=$! got
    if wait_window "Quillmark Desktop Theme - Screen Saver" >/dev/null; then
      sleep 1
      # shellcheck disable=SC2086  # one key name a word
      xdotool key $2
      wait_exit "$pid" 10 || fail "/c still open after OK"
      got=$(regget Saver)
      if [ "$got" = "$3" ]; then pass "$4"; else fail "$5: Saver = \"$got\", expected \"$3\""; fi
    else
      fail "/c showed no setup dialog (log: $work/arrows.log)"
    fi
    kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
  }

  # The arrow keys move among the scene options in tab order and select each: from the
  # Champions option (the fourth Tab stop from OK, past the two trophy boxes) Down
  # reaches the match table, the next in tab order, and Down again the flying balls,
  # which come last; Enter stores that one.
  setup_keys 4 "Tab Tab Tab Tab Down Down Return" 1 \
    "the arrow keys select the scene options in tab order" \
    "after Down, Down and OK from the Champions option"

  # Down from the last option in tab order, the flying balls, goes round to the first,
  # the flying trophy: from the match table option (the fourth Tab stop from OK), the
  # first Down reaches the flying balls and the second goes round.
  setup_keys 5 "Tab Tab Tab Tab Down Down Return" 2 \
    "Down from the last scene option goes round to the first" \
    "after Down, Down and OK from the match table option"

  # From the "World Cup" box (the third Tab stop from OK), Down goes on to the next
  # control, the Past World Cups option, and selects it: the keyboard never rests on an
  # option that is not the chosen one.
  setup_keys "" "Tab Tab Tab Down Return" 3 "Down from a trophy box selects the option it reaches" \
    "after Down and OK from the World Cup box"

  # Configuration: the dialog loads the stored choices into its controls and OK (Enter,
  # the default button) writes every setting back from them. The screens option goes
  # from the stored "0" to " 0", which only OK's own rule produces; "Disable mouse
  # movement", checked for the stored 1, is clicked off first (132 x 212 pixels into
  # the client area, below the title).
  timeout 60 wine reg delete "$key" /f >/dev/null 2>&1
  regset Saver 4
  regset Mouse 1
  regset TrofeusTipo 1
  regset BolasNum 07
  wine "$scr" /c >"$work/c.log" 2>&1 &
  pid=$!
  if id=$(wait_window "Quillmark Desktop Theme - Screen Saver"); then
    pass "/c opens the setup dialog"
    sleep 1
    import -window root "$work/c.png" 2>/dev/null
    # The controls inside the "Type" frame show: its inside (from 130 to 570 pixels
    # right of the window's corner, 40 to 190 down, below the caption and the frame's
    # own title) holds the options' black text; a frame stacked over them hid them all.
    read -r wx wy < <(xdotool getwindowgeometry "$id" |
      awk '/Position/ {split($2, p, ","); print p[1], p[2]}')
    dark=$(convert "$work/c.png" -crop "440x150+$((wx + 130))+$((wy + 40))" -colorspace Gray \
      -threshold 25% -negate -format '%[fx:round(mean*w*h)]' info:)
    [ "${dark:-0}" -gt 500 ] && pass "the setup dialog's frames show their controls" ||
      fail "the Type frame looks empty (${dark:-0} dark pixels, see $work/c.png)"
    # The design's client area is 8865 twips, 591 pixels, wide; the window adds only
    # its edges, a pixel or more a side. Dialog units would make it as wide as the bold
    # dialog font is.
    width=$(xdotool getwindowgeometry "$id" | awk '/Geometry/ {split($2, g, "x"); print g[1]}')
    [ "${width:-0}" -ge 593 ] && [ "${width:-0}" -le 603 ] &&
      pass "the setup dialog is as wide as designed ($width pixels with its edges)" ||
      fail "the setup dialog is ${width:-?} pixels wide with its edges; its client area alone should be 591"
    # It opens in the middle of the screen, which Wine's work area fills.
    height=$(xdotool getwindowgeometry "$id" | awk '/Geometry/ {split($2, g, "x"); print g[2]}')
    if [ $((2 * wx + width - 1024)) -ge -2 ] && [ $((2 * wx + width - 1024)) -le 2 ] &&
      [ $((2 * wy + height - 768)) -ge -2 ] && [ $((2 * wy + height - 768)) -le 2 ]; then
      pass "the setup dialog opens in the middle of the screen"
    else
      fail "the setup dialog's ${width}x${height} window opens at $wx,$wy, not in the middle of the screen"
    fi
    xdotool mousemove --window "$id" 144 239 click 1
    sleep 0.3
    xdotool key Return
    if wait_exit "$pid" 10; then pass "/c ends after OK"; else fail "/c still open after OK"; fi
    expect() {
      local got; got=$(regget "$1")
      [ "$got" = "$2" ] && pass "after OK $1 = \"$2\"" || fail "after OK $1 = \"$got\", expected \"$2\""
    }
    expect Saver 4
    expect Mouse 0
    expect TrofeusTipo 1
    expect Tela " 0"
    expect BolasNum 07        # untouched by the setup dialog, stored as loaded
    expect SpriteCount 8      # a default, written because OK stores all settings
    expect SizeRandom TRUE
  else
    fail "/c showed no setup dialog (log: $work/c.log)"
  fi
  kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null

  # A user's own copy of the settings (where Windows keeps machine-wide keys for a user
  # who may not write them) is read first; a write that the machine key takes removes it.
  vkey='HKCU\Software\Classes\VirtualStore\MACHINE\SOFTWARE\Quorvana\Quorvana Saver'
  timeout 60 wine reg delete "$key" /f >/dev/null 2>&1
  timeout 60 wine reg delete "$vkey" /f >/dev/null 2>&1
  regset Saver 1
  timeout 60 wine reg add "$vkey" /v Saver /d 3 /f >/dev/null 2>&1
  wine "$scr" /c >"$work/v.log" 2>&1 &
  pid=$!
  if wait_window "Quillmark Desktop Theme - Screen Saver" >/dev/null; then
    sleep 1
    xdotool key Return
    wait_exit "$pid" 10 || fail "/c still open after OK"
    got=$(regget Saver)
    [ "$got" = "3" ] && pass "the user's copy of Saver is read before the machine's" ||
      fail "after OK Saver = \"$got\"; the user's copy held \"3\", the machine's \"1\""
    if timeout 60 wine reg query "$vkey" /v Saver >/dev/null 2>&1; then
      fail "the user's copy of Saver stays after the machine key took the write"
    else
      pass "a write the machine key took removes the user's copy"
    fi
  else
    fail "/c showed no setup dialog (log: $work/v.log)"
  fi
  kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
  timeout 60 wine reg delete "$vkey" /f >/dev/null 2>&1

  # Preview: inside a host window of the same process (Wine shows nothing of a child
  # window in another process's window). Looked at for four seconds: the default
  # balls start as specks at the centre, and on a loaded machine a two-second look
  # once saw none of them.
  timeout 60 wine reg delete "$key" /f >/dev/null 2>&1
  if timeout 60 wine "$cross/platform/win32/quill_preview_test.exe" 4000 >"$work/p.log" 2>&1; then
    pass "/p preview draws inside its host and ends with it"
  else
    fail "/p preview test failed:"
  fi
  tr -d '\r' <"$work/p.log" | sed 's/^/        /'
  # A host process that ends without destroying the preview's parent: the preview ends
  # within a second or two, not left running unseen. The host prints the box once the
  # preview has started and keeps the box two seconds more: the preview is looked for
  # then, so that the end looked for later is the end of a preview that ran.
  # (Into a file: a preview left running would hold a pipe open, and the test with it.)
  rm -f "$work/orphan.out"  # no box of an earlier run
  timeout 60 wine "$cross/platform/win32/quill_orphan_host.exe" \
    "$(timeout 60 wine winepath -w "$cross/platform/win32/Quillmark.scr" 2>/dev/null | tr -d '\r')" \
    >"$work/orphan.out" 2>"$work/orphan.log" &
  host_pid=$!
  touch "$work/orphan.out"  # read below before the host may have made it
  box=""
  for _ in $(seq 100); do
    box=$(tr -d '\r' <"$work/orphan.out")
    [ -n "$box" ] && break
    kill -0 "$host_pid" 2>/dev/null || break
    sleep 0.1
  done
  if [ -z "$box" ]; then
    wait "$host_pid"
    fail "the orphaning host did not start a preview: $(tr -d '\r' <"$work/orphan.log")"
  else
    pgrep -f "Quillmark\.scr\"? /p $box\$" >/dev/null ||
      fail "no preview of box $box running while its host was up"
    wait "$host_pid"
    for _ in $(seq 50); do pgrep -f "Quillmark\.scr\"? /p $box\$" >/dev/null || break; sleep 0.1; done
    if pgrep -f "Quillmark\.scr\"? /p $box\$" >/dev/null; then
      fail "the preview of a host process that ended is still running 5 s later"
      pkill -f "Quillmark\.scr\"? /p $box\$"
    else
      pass "the preview ends when its host process ends without destroying it"
    fi
  fi
  # A host far larger than the screen: the preview draws a screen's worth, no more.
  if timeout 60 wine "$cross/platform/win32/quill_preview_test.exe" 3000 huge >"$work/ph.log" 2>&1; then
    pass "/p in a host larger than the screen draws no more than a screen's worth"
  else
    fail "/p preview test in a huge host failed:"
  fi
  tr -d '\r' <"$work/ph.log" | sed 's/^/        /'

  say "SMOKE $passes passed, $failures failed"
  [ $failures -eq 0 ]
  exit $?
fi

# ---------------------------------------------------------------- driver
for tool in x86_64-w64-mingw32-g++-posix x86_64-w64-mingw32-windres wine wineboot wineserver \
            xvfb-run xdotool import convert cmake g++; do
  command -v "$tool" >/dev/null 2>&1 || {
    say "platform/win32/test.sh: $tool is missing; run QM_WITH_WINDOWS=1 scripts/deps.sh"
    exit 2
  }
done
started=$(date +%s)

# 1. Native pieces: the artwork PNGs the cross build embeds, and the portable profile
#    reader for the differential test. A finished release build is reused as it is;
#    otherwise a small native build of our own makes them.
native="$root/build/release"
if [ ! -f "$native/assets/art/icon.png" ] || [ ! -f "$native/libquill_core.a" ]; then
  native="$root/build/win32-native"
  say "== native build ($native)"
  mkdir -p "$root/build"
  cmake -S "$root" -B "$native" -DCMAKE_BUILD_TYPE=Release -DQM_BUILD_QT=OFF \
    -DQM_BUILD_TESTS=OFF -DQM_BUILD_BENCH=OFF >"$native.log" 2>&1 &&
    cmake --build "$native" -j"$jobs" --target quill_art quill_core >>"$native.log" 2>&1 ||
    { say "native build failed, see $native.log"; exit 1; }
fi
probe_native="$root/build/win32-native/ini_probe"
mkdir -p "$(dirname "$probe_native")"
g++ -std=c++20 -O1 -Wall -Wextra -Wpedantic -Wshadow -Werror -I"$root/src" \
  "$root/platform/win32/IniProbe.cpp" "$native/libquill_core.a" "$native/assets/libquill_art.a" \
  -lcrypt -o "$probe_native" || { say "native profile-reader probe failed to build"; exit 1; }
# The end-to-end tests' X probe, which the smoke tests ask whether the pointer shows.
g++ -std=c++20 -O1 -Wall -Wextra -Wpedantic -Wshadow -Werror "$root/tests/qt/XProbe.cpp" \
  -lXfixes -lX11 -o "$root/build/win32-native/qm_xprobe" || { say "the X probe failed to build"; exit 1; }

# 2. The cross build.
say "== cross build ($cross)"
cmake --preset mingw -S "$root" -DQM_ART_DIR="$native/assets/art" >"$cross.log" 2>&1 &&
  cmake --build "$cross" -j"$jobs" --target Quillmark quill_preview_test quill_vector_test quill_tab_probe quill_window_probe \
    quill_folder_probe quill_orphan_host quill_ansi_probe ini_probe quill_planted_cpl quill_refusing_cpl \
    quill_started_probe >>"$cross.log" 2>&1 ||
  { tail -30 "$cross.log"; say "cross build failed, see $cross.log"; exit 1; }
scr="$cross/platform/win32/Quillmark.scr"
dlls=$(x86_64-w64-mingw32-objdump -p "$scr" | awk '/DLL Name/ { print tolower($3) }' | sort | tr '\n' ' ')
say "built $scr ($(stat -c %s "$scr") bytes); imports: $dlls"
for dll in $dlls; do
  case "$dll" in
    advapi32.dll|comctl32.dll|gdi32.dll|kernel32.dll|msvcrt.dll|ole32.dll|shell32.dll|user32.dll) ;;
    *) fail "Quillmark.scr needs $dll, which Windows does not ship" ;;
  esac
done
# Windows aligns the stack to 16 bytes: a 256- or 512-bit register spilled with an
# aligned move would fault, so the build writes every vector move unaligned.
x86_64-w64-mingw32-objdump -d "$scr" >"$cross/scr.asm" && [ -s "$cross/scr.asm" ] ||
  fail "Quillmark.scr could not be disassembled"
aligned=$(grep -cE '[[:space:]]vmov(aps|apd|dqa|dqa32|dqa64)[[:space:]]' "$cross/scr.asm" || true)
[ "$aligned" -eq 0 ] && pass "no aligned vector moves in Quillmark.scr" ||
  fail "$aligned aligned vector moves in Quillmark.scr, which fault on a 16-byte-aligned stack"
# The icon's directory: every image 4 bits a pixel (the word at 6 of its 16-byte entry).
ico="$cross/platform/win32/Quillmark.ico"
icons=$(od -An -tu2 -j4 -N2 "$ico" | tr -d ' ')
depths=$(for ((i = 0; i < icons; i++)); do od -An -tu2 -j$((6 + 16 * i + 6)) -N2 "$ico"; done |
  tr -s ' \n' ' ')
[ "$icons" -ge 1 ] && [ -z "$(printf '%s' "$depths" | tr -d ' 4')" ] &&
  pass "the icon's $icons images are 4 bits a pixel" ||
  fail "the icon's images are not all 4 bits a pixel: $icons images, depths$depths"
# String 1 of the string table: its block starts with string 0, empty (a zero length),
# then string 1 as a length and UTF-16 text; the version block's "Quillmark" texts are
# laid out otherwise.
LC_ALL=C grep -qaP '\x00\x00\x09\x00Q\x00u\x00i\x00l\x00l\x00m\x00a\x00r\x00k\x00' "$scr" &&
  pass "string 1, the saver list's name, is \"Quillmark\"" ||
  fail "string 1 of the resources is not \"Quillmark\""

# 3. Wine, in a prefix of our own.
export WINEPREFIX="$cross/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=C.UTF-8
# Creates the prefix; on failure shows wineboot's last words and leaves no half-made
# prefix behind, which a later run would otherwise take as made.
make_prefix() {
  timeout 300 wineboot -i >"$cross/wineboot.log" 2>&1 && return 0
  say "wineboot failed (exit $?); its last output:"
  tail -n 20 "$cross/wineboot.log" | sed 's/^/    /'
  wineserver -k >/dev/null 2>&1
  rm -rf "$WINEPREFIX"
  return 1
}
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  say "== creating the Wine prefix"
  # Once, in a fresh clone's run, wineboot failed and the same step passed when run
  # again; a second try in a clean prefix costs seconds.
  make_prefix || make_prefix || exit 1
  # Without a window manager, hiding a managed window stalls for seconds; a crash must
  # not wait on a dialog nobody sees.
  timeout 60 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  timeout 60 wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  wineserver -w
fi

# 4. The differential profile-reader test.
say "== profile reader: portable vs GetPrivateProfileStringA on the INI corpus"
corpus="$root/tests/data/ini-corpus"
out="$cross/ini-diff"
mkdir -p "$out"
"$probe_native" "$corpus" "$corpus/queries.tsv" / >"$out/portable.txt" 2>"$out/portable.err" ||
  fail "the portable probe failed: $(cat "$out/portable.err")"
wincorpus="Z:$(printf '%s' "$corpus" | tr / '\\')"
timeout 120 wine "$cross/platform/win32/ini_probe.exe" "$wincorpus" "$wincorpus\\queries.tsv" '\' 2>"$out/windows.err" |
  tr -d '\r' >"$out/windows.txt" || fail "the Windows probe failed: $(tr -d '\r' <"$out/windows.err")"
files=$(ls "$corpus"/*.ini | wc -l)
queries=$(grep -vc '^#' "$corpus/queries.tsv")
answered=$(wc -l <"$out/windows.txt")
[ "$answered" -eq "$queries" ] || fail "Windows answered $answered of $queries queries"
differing=$(diff "$out/portable.txt" "$out/windows.txt" | awk '/^[<>]/ { print $2 }' | sort -u)
ndiff=$(printf '%s' "$differing" | grep -c . || true)
if [ "$ndiff" -eq 0 ] && [ "$answered" -eq "$queries" ]; then
  pass "all $queries answers agree on $files files"
else
  fail "$((files - ndiff)) of $files files agree; answers differ on: $(echo $differing)"
  diff "$out/portable.txt" "$out/windows.txt" | sed -n 's/^< /        portable: /p; s/^> /        Windows:  /p'
fi

# 4b. File names in the code page: a banner named with an en dash and the shut-down
#     screens in a Windows folder with a euro sign, both bytes of the Western code page
#     that Latin-1 spells otherwise, are found where the program looks them up.
say "== file names in the 8-bit code page"
ansi="$WINEPREFIX/drive_c/ansi-probe"
rm -rf "$ansi" && mkdir -p "$ansi"
timeout 120 wine "$cross/platform/win32/quill_ansi_probe.exe" 'C:\ansi-probe' >"$out/ansi.txt" 2>&1
got=$(tr -d '\r' <"$out/ansi.txt" | tr '\n' ' ')
[ "$got" = "picture loaded screens installed " ] &&
  pass "a banner and the shut-down screens named in the code page are found" ||
  fail "8-bit names: $got"
rm -rf "$ansi"

# 5. The drawing loops as built for Windows: every vector form the processor has draws
#    what the portable form draws.
say "== drawing: vector forms against the portable form"
if vec=$(timeout 120 wine "$cross/platform/win32/quill_vector_test.exe" 2>&1); then
  pass "$(printf '%s' "$vec" | tr -d '\r' | tail -1)"
else
  fail "vector forms: $(printf '%s' "$vec" | tr -d '\r' | tail -1)"
fi

# 6. The smoke tests, on a virtual display of their own. The Wine server of the probe
#    above must be gone first: a server started without a display would serve the
#    smoke tests' windows to nowhere.
say "== smoke tests"
wineserver -k >/dev/null 2>&1
wineserver -w
xvfb-run -a -s "-screen 0 1024x768x24 -noreset" "$0" --smoke
smoke=$?
wineserver -k >/dev/null 2>&1
[ $smoke -eq 0 ] && pass "smoke tests" || fail "smoke tests"

say "== Windows: $passes passed, $failures failed in $(($(date +%s) - started)) s"
[ $failures -eq 0 ]
