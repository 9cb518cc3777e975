#!/usr/bin/env bash
# Screenshots of the desktop application: the splash, the chooser with the sample project,
# the main window with its sketch, the main window after Calcular (the Informe tab), the sketch
# zoomed with the pointer's text, the entry windows, the datum window with fifty points, the
# options dialog and the about box. Runs `korvo` on a virtual X display (xvfb-run) with a small window manager so the
# captions show, and takes each picture with ImageMagick's `import -window root`.
#
#   scripts/screenshots.sh [output folder] [project file]
#
# Defaults: build/screenshots and examples/red_ejemplo.txt. The program walks through its
# windows by itself when KORVO_TOUR_DIR is set (see app/screen_tour.h): at each stage it
# creates <stage>.ready in that folder and goes on once <stage>.done appears.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KORVO_BUILD_DIR:-$root/build}
out=$(realpath -m "${1:-$build/screenshots}")
project=$(realpath "${2:-$root/examples/red_ejemplo.txt}")

"$root/scripts/install-deps.sh"
if ! command -v twm >/dev/null 2>&1; then
  sudo_cmd=()
  if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends twm ||
    { "${sudo_cmd[@]}" apt-get update -q && DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends twm; }
fi
if [ ! -x "$build/korvo" ]; then
  "$root/scripts/build.sh" >/dev/null
  cmake --build "$build" --target korvo
fi

mkdir -p "$out"
tour=$(mktemp -d)
trap 'rm -rf "$tour"' EXIT
cat > "$tour/twmrc" <<'TWM'
RandomPlacement
UsePPosition "on"
NoGrabServer
DecorateTransients
BorderWidth 1
TitleFont "-misc-fixed-bold-r-normal--15-*-*-*-*-*-iso10646-1"
TWM

cat > "$tour/session.sh" <<'SESSION'
#!/usr/bin/env bash
set -u
tour=$1; out=$2; korvo=$3; project=$4
twm -f "$tour/twmrc" >/dev/null 2>&1 &
wm=$!
sleep 1
KORVO_TOUR_DIR=$tour KORVO_TOUR_PROJECT=$project LANG=C.UTF-8 "$korvo" >"$tour/korvo.log" 2>&1 &
app=$!
for stage in splash chooser sketch results zoom entry datum options about; do
  for _ in $(seq 1 600); do
    [ -e "$tour/$stage.ready" ] && break
    kill -0 "$app" 2>/dev/null || break
    sleep 0.1
  done
  if [ ! -e "$tour/$stage.ready" ]; then
    echo "La etapa $stage no llegó" >&2
    break
  fi
  import -window root "$out/$stage.png"
  echo "$out/$stage.png"
  touch "$tour/$stage.done"
done
wait "$app" || true
kill "$wm" 2>/dev/null || true
SESSION
chmod +x "$tour/session.sh"

xvfb-run -a -s "-screen 0 1280x860x24" "$tour/session.sh" "$tour" "$out" "$build/korvo" "$project"
if [ -s "$tour/korvo.log" ]; then
  echo "--- salida de korvo ---" >&2
  cat "$tour/korvo.log" >&2
fi
