# The virtual X display of the scripts that draw windows, sourced by them:
#   start_display [--log FILE] [XVFB OPTION...]   a new Xvfb on a free display number
#                                                 (1024x768, 24 bits), exported as DISPLAY
#   stop_display                                  stops that Xvfb, and nothing else
# Xvfb picks the free number itself (-displayfd) and writes it once it accepts clients,
# so two scripts started at once never race for one number.
display_pid=

start_display() {
  local log=/dev/null number fd
  if [ "${1:-}" = --log ]; then log=$2; shift 2; fi
  exec {fd}<> <(:)
  Xvfb -displayfd "$fd" -screen 0 1024x768x24 -nolisten tcp "$@" >"$log" 2>&1 &
  display_pid=$!
  if ! read -r -t 20 number <&"$fd"; then
    exec {fd}<&-
    echo "$(basename "$0"): Xvfb did not start" >&2
    exit 1
  fi
  exec {fd}<&-
  export DISPLAY=:$number
}

stop_display() {
  if [ -n "$display_pid" ]; then
    kill "$display_pid" 2>/dev/null
    wait "$display_pid" 2>/dev/null
    display_pid=
  fi
  true
}
