#!/bin/sh
# Starts the share-service simulator in the background for the end-to-end tests, on the fixed
# ports the loopback Quillon.exe was built for, and waits until it listens. It stops by itself
# after a time limit; e2e_sim_down.sh stops it sooner.
#   e2e_sim_up.sh SHARE_SIM_PY CERTS_DIR DIR MAIN_PORT DL_PORT
set -eu
sim=$1 certs=$2 dir=$3 port=$4 dlport=$5
mkdir -p "$dir"
"$(dirname "$0")/e2e_sim_down.sh" "$dir"
rm -f "$dir/ready.json"
nohup python3 "$sim" --port "$port" --dl-port "$dlport" --certs "$certs" --time-limit 900 \
  --ready-file "$dir/ready.json" </dev/null >"$dir/sim.log" 2>&1 &
echo $! >"$dir/pid"
i=0
while [ ! -s "$dir/ready.json" ]; do
  i=$((i + 1))
  if [ $i -gt 300 ] || ! kill -0 "$(cat "$dir/pid")" 2>/dev/null; then
    echo "share-sim did not start on $port/$dlport:" >&2
    cat "$dir/sim.log" >&2
    exit 1
  fi
  sleep 0.1
done
cat "$dir/ready.json"
