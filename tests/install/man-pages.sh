#!/usr/bin/env bash
# Each man page given renders with no warning from groff.
status=0
for page in "$@"; do
  out=$(groff -man -Tutf8 -ww -z "$page" 2>&1)
  if [ $? -ne 0 ] || [ -n "$out" ]; then
    echo "$page: $out"
    status=1
  fi
done
exit $status
