"""HTTP/1.1 on loopback: the main host speaks HTTP and TLS on one port (a first byte of 0x16 is
a TLS handshake), the download host plain HTTP. One thread per connection, keep-alive, and a
Content-Length on every reply."""
import http.server
import socket
import socketserver
import ssl
import struct
from dataclasses import dataclass, field
from typing import List, Optional, Tuple

TLS_HANDSHAKE = 0x16
MAX_BODY = 1 << 20
IDLE_TIMEOUT = 60


@dataclass
class Request:
    host: str  # "main" or "dl"
    scheme: str
    method: str
    target: str
    headers: List[Tuple[str, str]]
    body: bytes

    def header(self, name: str) -> Optional[str]:
        name = name.lower()
        return next((v for k, v in self.headers if k.lower() == name), None)

    def header_values(self, name: str) -> List[str]:
        name = name.lower()
        return [v for k, v in self.headers if k.lower() == name]


@dataclass
class Reply:
    status: int = 200
    body: bytes = b""
    content_type: Optional[str] = None
    headers: List[Tuple[str, str]] = field(default_factory=list)
    action: str = "answer"  # "answer", "reset" (RST), "drop" (close without answer)

    @classmethod
    def reset(cls):
        return cls(status=0, action="reset")

    @classmethod
    def drop(cls):
        return cls(status=0, action="drop")


class _Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    default_request_version = "HTTP/1.1"  # even a garbled request line gets a status line back
    server_version = "share-sim"
    sys_version = ""
    timeout = IDLE_TIMEOUT

    def log_message(self, format, *args):
        pass

    def version_string(self):
        return self.server_version

    def _read_body(self) -> Optional[bytes]:
        if "chunked" in (self.headers.get("Transfer-Encoding") or "").lower():
            return self._read_chunked()
        length = self.headers.get("Content-Length")
        if length is None:
            return b""
        try:
            n = int(length)
        except ValueError:
            return None
        if n < 0 or n > MAX_BODY:
            return None
        return self.rfile.read(n)

    def _read_chunked(self) -> Optional[bytes]:
        body = b""
        while True:
            line = self.rfile.readline(1024)
            try:
                n = int(line.split(b";")[0].strip(), 16)
            except ValueError:
                return None
            if n == 0:
                while self.rfile.readline(1024) not in (b"\r\n", b"\n", b""):
                    pass
                return body
            body += self.rfile.read(n)
            self.rfile.readline(1024)
            if len(body) > MAX_BODY:
                return None

    def _serve(self):
        body = self._read_body()
        if body is None:
            self.close_connection = True
            self._send(Reply(400, b"bad request body", "text/plain"))
            return
        request = Request(host=self.server.role, scheme=self.server.scheme_of(self.connection),
                          method=self.command, target=self.path,
                          headers=[(k, v) for k, v in self.headers.items()], body=body)
        reply = self.server.app.handle(request)
        if reply.action == "reset":
            self._reset()
        elif reply.action == "drop":
            self.close_connection = True
        else:
            self._send(reply)

    def _send(self, reply: Reply):
        self.send_response(reply.status)
        if reply.content_type:
            self.send_header("Content-Type", reply.content_type)
        for name, value in reply.headers:
            self.send_header(name, value)
        self.send_header("Content-Length", str(len(reply.body)))
        if self.close_connection:
            self.send_header("Connection", "close")
        self.end_headers()
        if self.command != "HEAD":
            self.wfile.write(reply.body)

    def _reset(self):
        self.close_connection = True
        try:
            self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
        except OSError:
            pass
        self.connection.close()

    do_GET = do_POST = do_HEAD = do_PUT = do_DELETE = do_OPTIONS = _serve

    def handle_one_request(self):
        try:
            super().handle_one_request()
        except (ConnectionError, ssl.SSLError, socket.timeout, OSError):
            self.close_connection = True


class SimServer(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True
    block_on_close = False
    allow_reuse_address = True

    def __init__(self, port: int, role: str, app, tls: Optional[ssl.SSLContext] = None):
        self.role = role
        self.app = app
        self.tls = tls
        super().__init__(("127.0.0.1", port), _Handler)

    def server_bind(self):
        # HTTPServer.server_bind would look the host name up; loopback needs no name.
        socketserver.TCPServer.server_bind(self)
        self.server_name, self.server_port = self.server_address[:2]

    @property
    def port(self) -> int:
        return self.server_address[1]

    def scheme_of(self, connection) -> str:
        return "https" if isinstance(connection, ssl.SSLSocket) else "http"

    def finish_request(self, request, client_address):
        connection = self._maybe_tls(request)
        if connection is None:
            return
        try:
            self.RequestHandlerClass(connection, client_address, self)
        finally:
            if connection is not request:
                connection.close()

    def _maybe_tls(self, request):
        if self.tls is None:
            return request
        try:
            request.settimeout(IDLE_TIMEOUT)
            first = request.recv(1, socket.MSG_PEEK)
            if not first or first[0] != TLS_HANDSHAKE:
                return request
            return self.tls.wrap_socket(request, server_side=True)
        except (OSError, ssl.SSLError):
            return None

    def handle_error(self, request, client_address):
        pass  # clients that vanish mid-request are normal here
