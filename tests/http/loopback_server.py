#!/usr/bin/env python3
"""Loopback HTTP/HTTPS server for the HTTP client's tests under Wine.

loopback_server.py --ports-file F --certs DIR [--time-limit S]

Listens on 127.0.0.1 only: one plain HTTP port, one HTTPS port with the trusted test CA's
localhost certificate, one HTTPS port with the rogue CA's, and names a "refused" port where
nothing listens. Writes "plain=N tls=N rogue=N refused=N" (one per line) to F once all listen,
and exits by itself after the time limit.

Every request is recorded under its first path segment (the test's token); GET /_log/TOKEN
returns them:  REQUEST <method> <path>  /  H <name>: <value>  /  B <body>  /  END  (CRLF lines).

Routes under /TOKEN/:
  echo                     200 "ok"
  utf8                     200 with the UTF-8 text of two Chinese characters
  redirect?to=LOC          302 Location: LOC (LOC percent-decoded); without "to" as echo
  chain/I?max=N            302 to chain/I+1 while I < N, then 200 "end"
  cookiehop/I              0: sets A=1, B=2 -> 1: deletes A -> 2: 200 "done"
  body?size=N&mode=M       N pattern bytes (byte p = (31p + 7) mod 256); M: length | close | chunked
  gzip?size=N              the pattern gzip-compressed, Content-Encoding: gzip, with its length
  reset?size=N             declares 2N bytes, sends N, then resets the connection
  hang?seconds=S           reads the request and answers nothing for S seconds
"""
import argparse
import gzip
import os
import socket
import ssl
import struct
import sys
import threading
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

LOCK = threading.Lock()
RECORDS = {}
BLOCK = bytes((p * 31 + 7) & 0xFF for p in range(1 << 20))


def pattern(n):
    whole, rest = divmod(n, len(BLOCK))
    return BLOCK * whole + BLOCK[:rest]


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def do_GET(self):
        self.handle_any()

    def do_POST(self):
        self.handle_any()

    def handle_any(self):
        length = int(self.headers.get("Content-Length", "0") or 0)
        body = self.rfile.read(length) if length > 0 else b""
        url = urllib.parse.urlsplit(self.path)
        parts = url.path.strip("/").split("/")
        query = urllib.parse.parse_qs(url.query, keep_blank_values=True)
        if parts[0] == "_log":
            return self.send_log(parts[1] if len(parts) > 1 else "")
        with LOCK:
            RECORDS.setdefault(parts[0], []).append((self.command, self.path, list(self.headers.items()), body))
        action = parts[1] if len(parts) > 1 else "echo"
        getattr(self, "route_" + action, self.route_echo)(parts, query)

    def reply(self, status, body=b"", headers=()):
        self.send_response(status)
        for name, value in headers:
            self.send_header(name, value)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def send_log(self, token):
        with LOCK:
            records = list(RECORDS.get(token, []))
        out = []
        for method, path, headers, body in records:
            out.append("REQUEST %s %s" % (method, path))
            out += ["H %s: %s" % (n, v) for n, v in headers]
            out.append("B " + body.decode("latin-1"))
            out.append("END")
        self.reply(200, ("\r\n".join(out) + "\r\n").encode("latin-1"))

    def route_echo(self, parts, query):
        self.reply(200, b"ok")

    def route_utf8(self, parts, query):
        self.reply(200, "你好".encode("utf-8"), [("Content-Type", "text/plain; charset=utf-8")])

    def route_redirect(self, parts, query):
        if "to" not in query:
            return self.route_echo(parts, query)
        self.reply(302, b"", [("Location", query["to"][0])])

    def route_chain(self, parts, query):
        i, n = int(parts[2]), int(query["max"][0])
        if i < n:
            self.reply(302, b"", [("Location", "/%s/chain/%d?max=%d" % (parts[0], i + 1, n))])
        else:
            self.reply(200, b"end")

    def route_cookiehop(self, parts, query):
        i = int(parts[2])
        nxt = ("Location", "/%s/cookiehop/%d" % (parts[0], i + 1))
        if i == 0:
            self.reply(302, b"", [("Set-Cookie", "A=1; path=/"), ("Set-Cookie", "B=2; path=/"), nxt])
        elif i == 1:
            self.reply(302, b"", [("Set-Cookie", "A=deleted; expires=Thu, 01 Jan 1970 00:00:00 GMT"), nxt])
        else:
            self.reply(200, b"done")

    def route_body(self, parts, query):
        n = int(query["size"][0])
        mode = query.get("mode", ["length"])[0]
        self.send_response(200)
        self.send_header("Content-Type", "application/octet-stream")
        if mode == "length":
            self.send_header("Content-Length", str(n))
        elif mode == "chunked":
            self.send_header("Transfer-Encoding", "chunked")
        else:
            self.send_header("Connection", "close")
            self.close_connection = True
        self.end_headers()
        for start in range(0, n, len(BLOCK)):
            piece = BLOCK[:min(len(BLOCK), n - start)]
            if mode == "chunked":
                self.wfile.write(b"%x\r\n" % len(piece) + piece + b"\r\n")
            else:
                self.wfile.write(piece)
        if mode == "chunked":
            self.wfile.write(b"0\r\n\r\n")

    def route_gzip(self, parts, query):
        packed = gzip.compress(pattern(int(query["size"][0])))
        self.reply(200, packed, [("Content-Encoding", "gzip")])

    def route_reset(self, parts, query):
        n = int(query["size"][0])
        self.send_response(200)
        self.send_header("Content-Length", str(2 * n))
        self.end_headers()
        self.wfile.write(pattern(n))
        self.wfile.flush()
        self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
        self.close_connection = True

    def route_hang(self, parts, query):
        time.sleep(float(query.get("seconds", ["10"])[0]))
        self.close_connection = True


def serve(certfile=None, keyfile=None):
    server = ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    if certfile:
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(certfile, keyfile)
        server.socket = context.wrap_socket(server.socket, server_side=True)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server.server_address[1]


def free_port():
    s = socket.socket()
    s.bind(("127.0.0.1", 0))
    port = s.getsockname()[1]
    s.close()
    return port


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--ports-file", required=True)
    parser.add_argument("--certs", required=True)
    parser.add_argument("--time-limit", type=float, default=300)
    args = parser.parse_args()
    certs = args.certs
    ports = {
        "plain": serve(),
        "tls": serve(os.path.join(certs, "localhost.pem"), os.path.join(certs, "localhost.key")),
        "rogue": serve(os.path.join(certs, "rogue-localhost.pem"), os.path.join(certs, "rogue-localhost.key")),
        "refused": free_port(),
    }
    tmp = args.ports_file + ".tmp"
    with open(tmp, "w") as f:
        f.write("".join("%s=%d\n" % kv for kv in ports.items()))
    os.replace(tmp, args.ports_file)
    time.sleep(args.time_limit)
    sys.exit(0)


if __name__ == "__main__":
    main()
