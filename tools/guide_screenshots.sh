#!/usr/bin/env bash
# Takes the user guide's pictures (docs/images/*.png) by driving the real
# workbench on the two-species example under a virtual screen, so that the
# pictures follow the program. Rerun it after a change to a window.
#
#   tools/guide_screenshots.sh [BUILD_FOLDER]      (default: build)
#
# Needs Xvfb, openbox, xdotool and ImageMagick (Debian: xvfb openbox xdotool
# imagemagick; `./build.sh screenshots` installs them and runs this). The
# screen is 1600x1000 on display :18 (KALVEX_SHOT_DISPLAY to change it); the
# windows open where the workbench places them, so the crops below are fixed.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
images="$root/docs/images"
display="${KALVEX_SHOT_DISPLAY:-:18}"
work="$build/guide-work"
batch="$build/kalvex-batch"
examples="$build/examples"
rm -rf "$work"
mkdir -p "$work/models" "$images"
# --example copies the example into the user's data folder: here, a folder of the run's own.
export XDG_DATA_HOME="$work/data"

pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
}
trap cleanup EXIT

Xvfb "$display" -screen 0 1600x1000x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
export DISPLAY="$display"
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
openbox >"$work/openbox.log" 2>&1 &
pids+=($!)
sleep 1

# ---------------------------------------------------------------- helpers
pause() { sleep "${1:-0.8}"; }
click() { xdotool mousemove "$1" "$2" click 1; pause "${3:-0.8}"; }
key() { xdotool key "$@"; pause; }
type_text() { xdotool type --delay 15 "$1"; pause 0.3; }
answer() { type_text "$1"; key Return; }  # an input box or a file dialog's name field
# A window of the workbench: its rectangle (WxH+X+Y) on the screen.
window() {
  import -window root "$work/screen.png"
  convert "$work/screen.png" -crop "$2" +repage "$images/$1.png"
}
# The box or dialog in front.
box() {
  import -window "$(xdotool getactivewindow)" "$images/$1.png"
}
start() {
  kalvex_pid=""
  (cd "$work" && exec "$build/kalvex" "$@" >>"$work/kalvex.log" 2>&1) &
  kalvex_pid=$!
  pids+=("$kalvex_pid")
  pause 3
}
stop() { kill "$kalvex_pid"; wait "$kalvex_pid" 2>/dev/null || true; }

# The main menu's buttons, the close box of an analysis window at x 440.
menu_button() {
  local y
  case "$1" in
    initialize) y=142 ;; load) y=170 ;; edit) y=198 ;; save) y=226 ;;
    jitter) y=300 ;; results) y=328 ;; onecall) y=356 ;; covariance) y=384 ;; priors) y=412 ;;
    evaluate) y=440 ;; multimodel) y=468 ;;
  esac
  click 214 "$y" "${2:-1.5}"
}
close_analysis() { click 1255 48 1; }
finish_editing() { click 844 712 1; key Return; }  # and "Just so you know"

# ---------------------------------------------------------------- the models
# Three models of the ranking, fitted and with their covariance files beside:
# the full model, all measurement error (Omega 0) and all process error (Omega 1).
ex="--species 2 --data $examples/two_species.dat"
for model in full:two_species.alg me:two_species_me.alg pe:two_species_pe.alg; do
  name="${model%%:*}"
  "$batch" simplex $ex --alg "$examples/${model#*:}" --out "$work/models/$name.alg" >/dev/null
  "$batch" covariance $ex --alg "$work/models/$name.alg" --constant 0.5 --grid-factors 0.05,0.01,0.001 \
    --out "$work/models/$name.cov" >/dev/null
done

# The distribution plot as a file gets it: a likelihood profile of parameter 1.
"$batch" profile $ex --alg "$work/models/full.alg" --constant 0.5 --parameter 1 --steps-from-grid 3 \
  --out "$work/models/full.mlc" --plot "$images/profile-paper.png" >/dev/null

# ---------------------------------------------------------------- a first start
start
window menu-start 430x560+0+36
menu_button initialize
window initialize 640x560+440+36
stop

# ---------------------------------------------------------------- the example
start --example
window menu 430x560+0+36
menu_button edit
window editor 900x700+0+36
finish_editing

click 112 272 3
box simplex-minimum
key Return
window simplex 830x640+440+36
close_analysis

click 316 272 1        # Marquardt: numerical derivatives, no derivative display
key alt+n
key Return
key alt+n
pause 3
box marquardt-minimum
key Return
window marquardt 984x640+440+36
close_analysis

menu_button jitter     # "Check the minimum...": 50 starts, J 0.1, seed 1, by the Simplex
key Return; key Return; key Return; key Return
pause 3
window jitter 830x840+440+36
close_analysis

menu_button results 2
key alt+y              # "View plots?"
pause 1
key alt+y              # the forecast
pause 1.5
key Return             # "Summary completed as requested"
click 1048 362 1.5     # "Plot it!"
window xyplot 1196x830+0+36
click 1048 848 1       # "Quit plots"
window summary 830x640+440+36
click 800 400 0.3
key ctrl+End
key Prior Prior
window summary-forecast 830x640+440+36
click 1078 75 2        # "Diagnostics...": the plots, then the report
window diagnostics 1200x800+40+36
click 144 117 0.5
window diagnostics-report 1200x800+40+36
click 1186 81 1        # "Close"
click 1202 75 2        # "Hindcast...": five peels by the Simplex
click 534 81 2         # "Run hindcast"
window hindcast 1092x744+58+36
click 220 113 0.5      # the estimates by peel
window hindcast-estimates 1092x744+58+36
click 318 113 0.5      # the report
window hindcast-report 1092x744+58+36
click 1105 81 1        # "Close"
close_analysis

menu_button onecall 2
window onecall 830x560+440+36
close_analysis

# The covariance grids with the factors 0.05, 0.01 and 0.001.
menu_button covariance
key alt+n              # numerically
key Return             # the introduction
pause 1
finish_editing
pause 0.5
key ctrl+a; answer 0.05
key ctrl+a; answer 0.01
key ctrl+a; answer 0.001
pause 0.5
key alt+y              # the factors are right
box enter-constant
answer 0.5
key alt+n              # not the optimistic SEs only
pause 3
window covariance-log 1100x640+440+36
click 210 98 2         # "Display results on screen"
window covariance 1100x640+440+36
window covariance-data 432x422+0+36
click 210 154 1.5      # "Finish display"

# The prior editor.
menu_button priors
window priors-loader 420x200+0+36
click 210 126 2
key alt+y
pause 1
window prior-editor 1020x520+0+36
click 766 70 1         # "Finished"
key Return

# A likelihood profile of parameter 1, steps from covariance grid 3.
menu_button evaluate
window evaluation-chooser 440x330+200+116
click 420 212 1.5
key Return             # the plot list
key alt+y
answer 0.5
answer 1
key Return             # 25 points
key alt+y              # by the Simplex
answer 3
pause 1
finish_editing
pause 4
key Return             # "Your algorithm file may have been automatically edited"
click 900 48 0.5       # the report in front
window profile-report 900x420+440+36
click 1058 646 1.5     # "Plot it!"
window profile-plot 760x417+440+456
click 1058 848 1       # "Done"

# A posterior of parameter 1 with parameter 2 integrated, and its bivariate plot.
menu_button load 1
key alt+y
answer "$examples/two_species_pair.alg"
pause 1
menu_button evaluate
click 420 240 1.5
key Return
key alt+y
answer 0.5
answer 1
key Return             # 25 points
key Return             # 25 grid points
pause 1
finish_editing
pause 4
key alt+y              # the bivariate plot
answer "$work/models/posterior.grd"
pause 1.5
key Return             # the reminder
window bivariate 840x417+440+456
click 1266 468 1       # closed
click 900 48 0.5
window posterior-report 900x420+440+36
click 1058 646 2       # "Plot it!"
window posterior-plot 760x417+440+456
click 1058 848 1

# The ranking and averaging of the three models.
menu_button load 1
key alt+y
answer "$work/models/full.alg"
pause 1
menu_button multimodel
answer 0.5
click 124 220 1.2
answer "$work/models/me.alg"
pause 1
click 124 220 1.2
answer "$work/models/pe.alg"
pause 1
click 124 140 1.2      # "Rank competing models"
click 124 166 2        # "Average across models"
window ranking 1180x760+0+36
stop

# Small pictures: 8-bit palettes are plenty for window shots.
for picture in "$images"/*.png; do
  convert "$picture" -strip -colors 256 PNG8:"$picture"
done
echo "Pictures in $images"
