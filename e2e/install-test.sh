#!/usr/bin/env bash
# Runs the setup's scenarios in a Wine prefix made afresh for this run, so
# the setup meets a machine that never had the program.
#   install-test.sh <pmharness.exe> <setup.exe> [standard-user | event-log]
# Without a third argument: the install-uninstall scenario. With
# "standard-user": Windows' rules on the system keys, a silent setup, then
# the configuration tool's scenarios (and the add-ons the wizard starts) with
# the programs run by a standard user (a restricted token), saving through
# the service. With "event-log": the setup, then the service's events read
# back from Wine's trace of ReportEvent.
# Uses $DISPLAY when the caller (scripts/test.sh) provides one, else starts
# a virtual display of its own.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
harness=$1
setup=$2
mode=${3:-install-uninstall}
prefix=$(cd "$(dirname "$setup")" && pwd)/installprefix

export PMP_WINEPREFIX=$prefix
[ -n "${DISPLAY:-}" ] && export PMP_USE_DISPLAY=1
source "$root/scripts/wine-env.sh"
# The shortcut the setup makes stays inside the prefix: no menu entries in
# the desktop of the machine running the tests.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"
trap pmp_stop_wine EXIT

if [ -d "$prefix" ]; then
  WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 || true
  rm -rf "$prefix"
fi
pmp_start_display
started=$(date +%s)
pmp_init_prefix
pmp_start_wineserver
echo "fresh prefix $prefix ready in $(($(date +%s) - started)) s"
status=0
if [ "$mode" = standard-user ]; then
  installed='C:\Program Files\Pelmora Pro\pmpro.exe'
  "$pmp_wine" "$harness" harden-prefix x || status=$?
  # The fault the service mends: the built engine, run by a standard user
  # with no service installed, cannot save.
  [ "$status" -eq 0 ] && { "$pmp_wine" "$harness" apply-refused-without-service \
    "$(dirname "$harness")/pmpro.exe" --standard-user || status=$?; }
  [ "$status" -eq 0 ] && { "$pmp_wine" "$setup" /S || status=$?; }
  for scenario in setup-window tool-first-click change-password export-import prompt-picture addons \
      program-items; do
    [ "$status" -eq 0 ] || break
    "$pmp_wine" "$harness" "$scenario" "$installed" --standard-user || status=$?
  done
  for scenario in service-guards script-attacks passwords-with-the-service startup-lock-service; do
    [ "$status" -eq 0 ] || break
    "$pmp_wine" "$harness" "$scenario" "$installed" || status=$?
  done
elif [ "$mode" = event-log ]; then
  installed='C:\Program Files\Pelmora Pro\pmpro.exe'
  "$pmp_wine" "$harness" harden-prefix x || status=$?
  [ "$status" -eq 0 ] && { "$pmp_wine" "$setup" /S || status=$?; }
  # Wine's ReportEvent only traces: names the event on the advapi channel,
  # prints its inserts on the eventlog channel, to the standard error of the
  # process that writes. Services take their environment from the system's
  # (the registry), so the channels go there; Wine starts again with the
  # story as its first program, whose standard error its services share.
  trace=$prefix/eventlog-trace.txt
  channels=-all,fixme+advapi,+eventlog
  "$pmp_wine" reg add 'HKLM\System\CurrentControlSet\Control\Session Manager\Environment' \
    /v WINEDEBUG /d "$channels" /f >/dev/null 2>&1 || status=$?
  "$pmp_wineserver" -k || true
  "$pmp_wineserver" -w || true
  if [ "$status" -eq 0 ]; then
    PMP_EVENTLOG_TRACE=$trace WINEDEBUG=$channels \
      "$pmp_wine" "$harness" event-log "$installed" 2>"$trace" || status=$?
    grep -c 'ReportEventW' "$trace" | sed 's/^/event-log: ReportEvent lines traced: /' || true
  fi
else
  "$pmp_wine" "$harness" install-uninstall "$setup" || status=$?
fi

# The prefix is large: kept only to look into after a failure.
pmp_stop_wine
trap - EXIT
wineserver -w >/dev/null 2>&1 || true
if [ "$status" -eq 0 ]; then
  rm -rf "$prefix"
else
  echo "the prefix stays for a look: $prefix"
fi
exit "$status"
