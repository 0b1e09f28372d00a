#!/usr/bin/env bash
# Runs a Windows binary under Wine for CTest. Its output goes through a file: the processes
# Wine starts on the way (services, the desktop) inherit the descriptors and would hold a
# pipe open long after the test has ended.
output=$(mktemp)
wine "$@" >"$output" 2>&1 </dev/null
status=$?
cat "$output"
rm -f "$output"
exit $status
