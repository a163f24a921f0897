# Sourced by the harness scripts.
# kvr_run_child COMMAND...: runs COMMAND in the background and waits for it, so that a TERM or INT
# (a time-out, Ctrl-C) is acted on at once: COMMAND is killed and the wait ends, and the caller goes
# on to exit and clean up (its EXIT trap) instead of both waiting for COMMAND to finish by itself.
# Returns COMMAND's exit status (above 128 after a signal).
kvr_run_child() {
  "$@" &
  kvr_child=$!
  trap 'kill $kvr_child 2>/dev/null' TERM INT
  kvr_child_rc=0
  wait "$kvr_child" || kvr_child_rc=$?
  return $kvr_child_rc
}
