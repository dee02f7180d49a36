#!/bin/sh
# Stops the simulator that e2e_sim_up.sh started in DIR (by its process id, and only when that
# process is still the simulator).
#   e2e_sim_down.sh DIR
dir=$1
[ -f "$dir/pid" ] || exit 0
pid=$(cat "$dir/pid")
if grep -q share_sim.py "/proc/$pid/cmdline" 2>/dev/null; then
  kill "$pid" 2>/dev/null
  i=0
  while kill -0 "$pid" 2>/dev/null && [ $i -lt 50 ]; do i=$((i + 1)); sleep 0.1; done
fi
rm -f "$dir/pid"
exit 0
