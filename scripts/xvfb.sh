# Sourced by what needs an X server of its own (scripts/test, tests/windows/windows_test.sh).
#
# start_xvfb starts Xvfb on a display number the server finds free itself (-displayfd). A
# look at /tmp/.X11-unix is not enough: the servers of another mount namespace (the root of
# scripts/fresh has a /tmp of its own) listen on abstract sockets that take the same numbers,
# and two test runs then ended up on one server. Sets xvfb_pid and xvfb_display (":N");
# returns 1 when no server was ready within 10 seconds.
start_xvfb() {
  local number_file
  number_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do
    [[ -s $number_file ]] && break
    sleep 0.1
  done
  xvfb_display=":$(tr -d '\n' <"$number_file")"
  rm -f "$number_file"
  [[ $xvfb_display != ":" ]]
}
