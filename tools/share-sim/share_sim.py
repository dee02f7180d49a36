#!/usr/bin/env python3
"""The loopback share service: share pages, password check, folder listing, captchas, download
links and the files behind them, on 127.0.0.1 only. See README.md for the command line, the
test hooks and the sample shares."""
import argparse
import fcntl
import json
import os
import signal
import ssl
import subprocess
import sys
import tempfile
import threading

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from sharesim.app import App  # noqa: E402
from sharesim.catalogue import Catalogue  # noqa: E402
from sharesim.content import file_bytes  # noqa: E402,F401  (tests and harnesses import it from here)
from sharesim.context import Context  # noqa: E402
from sharesim.state import SimState  # noqa: E402
from sharesim.transport import SimServer  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
MAKE_CERTS = os.path.join(HERE, "..", "testca", "make_certs.py")


def parse_args(argv):
    p = argparse.ArgumentParser(description="loopback share service")
    p.add_argument("--port", type=int, default=47443, help="main host, HTTP and HTTPS (0 = free port)")
    p.add_argument("--dl-port", type=int, default=47080, help="download host, HTTP (0 = free port)")
    p.add_argument("--certs", default=os.path.join(tempfile.gettempdir(), "share-sim-certs"))
    p.add_argument("--time-limit", type=float, default=3600.0, help="seconds until it stops by itself")
    p.add_argument("--ready-file")
    p.add_argument("--catalogue", default=os.path.join(HERE, "catalogue.json"))
    p.add_argument("--main-host-name", default="localhost")
    return p.parse_args(argv)


def ensure_certs(folder: str):
    """localhost.pem/.key in folder, made once by the test CA script; a lock keeps two
    simulators that start together from making them twice."""
    os.makedirs(folder, exist_ok=True)
    pem, key = os.path.join(folder, "localhost.pem"), os.path.join(folder, "localhost.key")
    with open(os.path.join(folder, ".share-sim.lock"), "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        if not (os.path.exists(pem) and os.path.exists(key)):
            subprocess.run([sys.executable, MAKE_CERTS, folder], check=True, stdout=subprocess.DEVNULL)
    return pem, key


def tls_context(pem: str, key: str) -> ssl.SSLContext:
    ctx = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    ctx.load_cert_chain(pem, key)
    return ctx


def write_ready_file(path: str, main_port: int, dl_port: int):
    folder = os.path.dirname(os.path.abspath(path))
    fd, tmp = tempfile.mkstemp(prefix=".share-sim-", dir=folder)
    with os.fdopen(fd, "w") as f:
        json.dump({"main_port": main_port, "dl_port": dl_port, "pid": os.getpid()}, f)
    os.replace(tmp, path)


def main(argv=None) -> int:
    args = parse_args(argv)
    catalogue = Catalogue.load(args.catalogue)
    tls = tls_context(*ensure_certs(args.certs))
    state = SimState()
    ctx = Context(catalogue, state, main_host_name=args.main_host_name)
    app = App(ctx)
    try:
        main_server = SimServer(args.port, "main", app, tls)
        dl_server = SimServer(args.dl_port, "dl", app)
    except OSError as e:
        print(f"share-sim: cannot listen on 127.0.0.1 port {args.port} or {args.dl_port}: {e.strerror}",
              file=sys.stderr)
        return 2
    ctx.main_port, ctx.dl_port = main_server.port, dl_server.port

    stop = threading.Event()
    for sig in (signal.SIGTERM, signal.SIGINT):
        signal.signal(sig, lambda *_: stop.set())
    threads = [threading.Thread(target=s.serve_forever, kwargs={"poll_interval": 0.2}, daemon=True)
               for s in (main_server, dl_server)]
    for t in threads:
        t.start()
    if args.ready_file:
        write_ready_file(args.ready_file, ctx.main_port, ctx.dl_port)
    print(f"share-sim ready main={ctx.main_port} dl={ctx.dl_port}", flush=True)

    stop.wait(args.time_limit)
    state.stopping.set()  # ends stalls at once
    for s in (main_server, dl_server):
        s.shutdown()
        s.server_close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
