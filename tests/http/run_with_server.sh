#!/bin/sh
# run_with_server.sh WORKDIR CERTDIR TIME_LIMIT -- COMMAND...
# Starts loopback_server.py (its output in WORKDIR/server.log), waits until it has written its
# ports, runs COMMAND with QUILLON_HTTP_PORTS="plain=N tls=N rogue=N refused=N" in the
# environment (Wine hands it to the Windows program), then stops the server. The server also
# stops by itself after TIME_LIMIT seconds.
set -u
work=$1 certs=$2 limit=$3
shift 4
here=$(dirname "$0")
mkdir -p "$work"
ports="$work/ports.txt"
rm -f "$ports"
python3 "$here/loopback_server.py" --ports-file "$ports" --certs "$certs" --time-limit "$limit" \
  </dev/null >"$work/server.log" 2>&1 &
server=$!
tries=0
while [ ! -s "$ports" ]; do
  tries=$((tries + 1))
  if [ "$tries" -gt 100 ] || ! kill -0 "$server" 2>/dev/null; then
    echo "loopback server did not start:"; cat "$work/server.log"
    kill "$server" 2>/dev/null
    exit 1
  fi
  sleep 0.1
done
QUILLON_HTTP_PORTS=$(tr '\n' ' ' <"$ports")
export QUILLON_HTTP_PORTS
"$@"
status=$?
kill "$server" 2>/dev/null
wait "$server" 2>/dev/null
exit $status
