#!/usr/bin/env bash
# Runs a program with a private Xvfb as its display: with_xvfb.sh PROGRAM [ARGS...]
. "$(dirname "$0")/lib.sh"
start_xvfb
"$@" &
APP_PID=$!
wait $APP_PID
status=$?
APP_PID=
exit $status
