#!/usr/bin/env bash
# Runs one show program on a virtual display of its own and checks that it
# shows the frame and ends on Escape.
#   e2e_display.sh PROGRAM WORKDIR DATA START_LIMIT EXIT_LIMIT
# PROGRAM runs in WORKDIR beside a copy of the archive DATA ("-" for none),
# with the arguments in E2E_ARGS. The first frame must appear within
# START_LIMIT seconds; after Escape the program must end with status 0 within
# EXIT_LIMIT seconds. With E2E_QUADRANTS set, the frame must be the probe's;
# with E2E_VIEW set, the viewing keys are tried while the show runs.
set -euo pipefail
[ -z "${E2E_TRACE:-}" ] || set -x

if [ "${1:-}" != "--inside" ]; then
  # Each program on its own server: focus never comes back to a window that
  # lost it to another client. -br gives a black root to tell frames from.
  exec xvfb-run -a -s "-screen 0 1280x1024x24 -br -nolisten tcp" "$0" --inside "$@"
fi
shift
here=$(cd "$(dirname "$0")" && pwd)
program=$(readlink -f "$1")
workdir=$2
data=$3
[ "$data" = "-" ] || data=$(readlink -f "$data")
start_limit=$4
exit_limit=$5
title="${E2E_TITLE:-Vorlane by Pexil}"

rm -rf "$workdir"
mkdir -p "$workdir"
if [ "$data" != "-" ]; then
  cp "$data" "$workdir/data.dat"
fi
cd "$workdir"

export SDL_AUDIODRIVER=dummy
export VORLANE_NO_MESSAGE_BOX=1
supp="$here/lsan.supp"
export LSAN_OPTIONS="suppressions=$supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"

# shellcheck disable=SC2086
"$program" ${E2E_ARGS:-} >stdout.txt 2>stderr.txt &
pid=$!
finish() {
  if kill -0 "$pid" 2>/dev/null; then
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  fi
}
trap finish EXIT
fail() {
  echo "FAIL: $*"
  echo "--- standard output"
  tail -n 20 stdout.txt || true
  echo "--- standard error"
  tail -n 40 stderr.txt || true
  exit 1
}

# The window, focused (a focus taken by another client never comes back by itself).
# The search is repeated: a window that goes away while xdotool walks the
# tree (SDL makes and drops helper windows at start-up) fails one search.
# A window found may be gone before it takes the focus: search again then.
deadline=$((SECONDS + start_limit))
window=""
until [ -n "$window" ] && timeout 10 xdotool windowfocus --sync "$window" 2>/dev/null; do
  [ $SECONDS -lt $deadline ] || fail "no window named '$title' that takes the focus"
  kill -0 "$pid" 2>/dev/null || fail "the program ended before opening its window"
  window=""
  if xdotool search --name "$title" >window.txt 2>/dev/null && [ -s window.txt ]; then
    window=$(head -n 1 window.txt)
  else
    sleep 0.2
  fi
done

# Screenshots until one shows a frame: not black, and made of whole blocks of
# one colour each, as a nearest-neighbour scaled frame is (garbage is not).
deadline=$((SECONDS + start_limit))
shown=""
while [ $SECONDS -lt $deadline ]; do
  kill -0 "$pid" 2>/dev/null || fail "the program ended before showing a frame"
  import -window root shot.png 2>/dev/null || { sleep 0.2; continue; }
  mean=$(convert shot.png -colorspace Gray -format "%[fx:int(mean*100000)]" info:)
  if [ "$mean" -gt 500 ]; then
    shown=yes
    break
  fi
  sleep 0.2
done
[ -n "$shown" ] || fail "no frame on the screen within $start_limit s"
echo "a frame on the screen, mean grey $mean/100000"

# Where the frame is: inside the window, 4:3, centred. Sets fx fy fw fh and,
# where the frame is a whole multiple of 320x240, checks that it is made of
# whole blocks (sharp scaling) and that nothing is drawn outside it; with
# "smooth" as argument, that it is not made of whole blocks.
check_picture() {
  import -window root shot.png
  eval "$(xdotool getwindowgeometry --shell "$window")"
  if [ $((WIDTH * 3)) -le $((HEIGHT * 4)) ]; then
    fw=$WIDTH
    fh=$((WIDTH * 3 / 4))
  else
    fh=$HEIGHT
    fw=$((HEIGHT * 4 / 3))
  fi
  fx=$((X + (WIDTH - fw) / 2))
  fy=$((Y + (HEIGHT - fh) / 2))
  echo "window ${WIDTH}x${HEIGHT}+${X}+${Y}, frame ${fw}x${fh}+${fx}+${fy}"
  if [ $((fw % 320)) -eq 0 ] && [ $((fh % 240)) -eq 0 ] && [ $fw -gt 320 ]; then
    # Shrink by sampling one pixel per block and grow again: a frame made of
    # whole blocks of one colour comes back unchanged; garbage does not.
    convert shot.png -crop "${fw}x${fh}+${fx}+${fy}" +repage frame.png
    convert frame.png -sample "320x240!" -sample "${fw}x${fh}!" blocks.png
    differ=$(compare -metric AE frame.png blocks.png null: 2>&1 || true)
    total=$((fw * fh))
    if [ "${1:-}" = smooth ]; then
      [ "${differ%%.*}" -gt $((total / 50)) ] || fail "smooth scaling still shows whole blocks ($differ of $total pixels differ)"
    else
      # The screenshot may catch a present half done: allow a sliver.
      [ "${differ%%.*}" -le $((total / 50)) ] || fail "the frame is not a nearest-neighbour scaled picture ($differ of $total pixels differ)"
    fi
    # Outside the frame stays black.
    outside=$(convert shot.png -fill black -draw "rectangle $fx,$fy $((fx + fw - 1)),$((fy + fh - 1))" \
      -format "%[fx:int(maxima*255)]" info:)
    [ "$outside" -le 8 ] || fail "something is drawn outside the frame (brightest $outside)"
  fi
}
check_picture

if [ -n "${E2E_QUADRANTS:-}" ]; then
  # The probe's frame: red, green above; blue, white below; upright and with
  # the channels in place.
  probe() { convert shot.png -format "%[fx:int(p{$1,$2}.r*255)] %[fx:int(p{$1,$2}.g*255)] %[fx:int(p{$1,$2}.b*255)]" info:; }
  check() {
    local got
    got=$(probe "$1" "$2")
    read -r r g b <<<"$got"
    for pair in "r $r $3" "g $g $4" "b $b $5"; do
      read -r name value want <<<"$pair"
      if [ "$want" = 1 ] && [ "$value" -lt 200 ]; then fail "$6 quadrant: $name is $value ($got)"; fi
      if [ "$want" = 0 ] && [ "$value" -gt 40 ]; then fail "$6 quadrant: $name is $value ($got)"; fi
    done
  }
  check $((fx + fw / 4)) $((fy + fh / 4)) 1 0 0 "top-left"
  check $((fx + fw * 3 / 4)) $((fy + fh / 4)) 0 1 0 "top-right"
  check $((fx + fw / 4)) $((fy + fh * 3 / 4)) 0 0 1 "bottom-left"
  check $((fx + fw * 3 / 4)) $((fy + fh * 3 / 4)) 1 1 1 "bottom-right"
  echo "quadrants in place"
fi

if [ -n "${E2E_VIEW:-}" ]; then
  # The viewing keys: F11 and Alt+Enter switch between window and full screen
  # and back, F10 between sharp and smooth scaling; the show goes on. The
  # show is paused meanwhile (p), so that a short test show cannot end first,
  # on a frame with something in it (a black one looks the same sharp or
  # smooth): where the pause caught a dark moment, play on a little and try
  # again.
  deadline=$((SECONDS + start_limit))
  while :; do
    xdotool key p
    sleep 0.3
    import -window root shot.png
    mean=$(convert shot.png -colorspace Gray -format "%[fx:int(mean*100000)]" info:)
    [ "$mean" -le 500 ] || break
    [ $SECONDS -lt $deadline ] || fail "no paused frame with something in it within $start_limit s"
    kill -0 "$pid" 2>/dev/null || fail "the program ended before a frame could be paused"
    xdotool key p
    sleep 0.1
  done
  geometry() {
    eval "$(xdotool getwindowgeometry --shell "$window")"
    echo "${WIDTH}x${HEIGHT}"
  }
  screen=$(xdpyinfo | awk '/dimensions:/ && !seen { print $2; seen = 1 }')
  start_geometry=$(geometry)
  wait_geometry() { # wanted, "equal" or "differ", what for
    local deadline=$((SECONDS + 10)) now
    while :; do
      now=$(geometry)
      if [ "$2" = equal ] && [ "$now" = "$1" ]; then return 0; fi
      if [ "$2" = differ ] && [ "$now" != "$1" ]; then return 0; fi
      [ $SECONDS -lt $deadline ] || fail "$3: the window is $now"
      kill -0 "$pid" 2>/dev/null || fail "$3: the program ended"
      sleep 0.1
    done
  }
  switch_twice() { # the key as xdotool names it
    if [ "$start_geometry" = "$screen" ]; then
      xdotool key "$1"
      wait_geometry "$screen" differ "$1 leaves full screen"
    else
      xdotool key "$1"
      wait_geometry "$screen" equal "$1 goes full screen"
    fi
    echo "$1: ${start_geometry} -> $(geometry)"
    xdotool key "$1"
    wait_geometry "$start_geometry" equal "$1 a second time goes back"
  }
  switch_twice F11
  switch_twice alt+Return
  # Full screen, then a window of another shape: the frame keeps 4:3 on black.
  if [ "$start_geometry" != "$screen" ]; then
    xdotool key F11
    wait_geometry "$screen" equal "F11 goes full screen"
  fi
  sleep 0.3
  check_picture
  xdotool key F11
  wait_geometry "$screen" differ "F11 leaves full screen"
  xdotool windowsize "$window" 1200 480
  wait_geometry 1200x480 equal "the window takes another shape"
  sleep 0.3
  check_picture
  xdotool key F10
  sleep 0.3
  check_picture smooth
  xdotool key F10
  sleep 0.3
  check_picture
  # The show still runs: resumed, the picture changes (once the loading is
  # over, where the machine is slow), and the program lives.
  xdotool key p
  import -window root before.png
  deadline=$((SECONDS + start_limit))
  while :; do
    sleep 0.5
    kill -0 "$pid" 2>/dev/null || fail "the program ended after the viewing keys"
    import -window root after.png
    changed=$(compare -metric AE before.png after.png null: 2>&1 || true)
    [ "${changed%%.*}" -eq 0 ] || break
    [ $SECONDS -lt $deadline ] || fail "the picture stands still after the viewing keys"
  done
  echo "viewing keys: the show goes on ($changed pixels changed)"
fi

# Escape ends the show.
now_ms() { date +%s%3N; }
escape_at=$(now_ms)
xdotool key Escape
status=""
end=$((escape_at + exit_limit * 1000))
while [ "$(now_ms)" -le $end ]; do
  if ! kill -0 "$pid" 2>/dev/null; then
    set +e
    wait "$pid"
    status=$?
    set -e
    break
  fi
  sleep 0.05
done
[ -n "$status" ] || fail "still running $exit_limit s after Escape"
[ "$status" -eq 0 ] || fail "exit status $status"
echo "ended with status 0, $(($(now_ms) - escape_at)) ms after Escape"
