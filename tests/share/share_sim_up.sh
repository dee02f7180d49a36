#!/bin/sh
# Starts the share-service simulator in the background for the share client's tests under
# Wine and waits until it listens: free ports, loopback only, stopping by itself after a time
# limit. Its ports land in DIR/ready.json ({"main_port":N,"dl_port":M,"pid":P}).
#   share_sim_up.sh SHARE_SIM_PY CERTS_DIR DIR
set -eu
sim=$1 certs=$2 dir=$3
mkdir -p "$dir"
"$(dirname "$0")/share_sim_down.sh" "$dir"
rm -f "$dir/ready.json"
nohup python3 "$sim" --port 0 --dl-port 0 --certs "$certs" --time-limit 900 \
  --ready-file "$dir/ready.json" </dev/null >"$dir/sim.log" 2>&1 &
echo $! >"$dir/pid"
i=0
while [ ! -s "$dir/ready.json" ]; do
  i=$((i + 1))
  if [ $i -gt 300 ] || ! kill -0 "$(cat "$dir/pid")" 2>/dev/null; then
    echo "share-sim did not start:" >&2
    cat "$dir/sim.log" >&2
    exit 1
  fi
  sleep 0.1
done
cat "$dir/ready.json"
