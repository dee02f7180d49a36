"""A test client that sends the requests the resolver sends, the way Wine's WinINet writes them,
and a runner that starts a simulator on free ports.

Header order on the wire, as Wine's WinINet writes the resolver's requests: headers the caller
sets (Referer), the Cookie line (always; "Cookie: " when the jar is empty), Accept,
Accept-Language, Content-Type for a POST, then Host, Content-Length (POST), User-Agent and
Cache-Control: no-cache (POST).
"""
import base64
import http.client
import json
import os
import random
import signal
import ssl
import subprocess
import sys
import tempfile
import time
from dataclasses import dataclass
from typing import List, Tuple
from urllib.parse import urlsplit

HERE = os.path.dirname(os.path.abspath(__file__))
USER_AGENT = "Mozilla/5.0 (compatible; MSIE 10.0; Windows NT 6.2)"
TAIL = "&channel=chunlei&clienttype=0&web=1&app_id=250528"
TIMEOUT = 20


def digits(n: int) -> str:
    return "".join(random.choice("0123456789") for _ in range(n))


def stamp13() -> str:
    return str(int(time.time() * 1000))


def logid() -> str:
    return base64.b64encode(f"{stamp13()}.{digits(19)}".encode()).decode()


def url_encode_utf8(text: str) -> str:
    """Letters and digits kept, space as "+", every other UTF-8 byte as %XX (upper case)."""
    out = []
    for b in text.encode("utf-8"):
        c = chr(b)
        out.append(c if c.isascii() and c.isalnum() else "+" if c == " " else "%%%02X" % b)
    return "".join(out)


def text_between(text: str, begin: str, end: str) -> str:
    b = text.find(begin)
    if b < 0:
        return ""
    e = text.find(end, b + len(begin))
    return "" if e < 0 else text[b + len(begin):e]


@dataclass
class Response:
    status: int
    headers: List[Tuple[str, str]]
    body: bytes
    url: str

    def header(self, name: str):
        return next((v for k, v in self.headers if k.lower() == name.lower()), None)

    def header_values(self, name: str):
        return [v for k, v in self.headers if k.lower() == name.lower()]

    @property
    def text(self) -> str:
        return self.body.decode("utf-8")

    def json(self):
        return json.loads(self.body)


class Browser:
    """One resolver conversation: a cookie jar for every host and kept-alive connections."""

    def __init__(self, sim):
        self.sim = sim
        self.jar: List[List[str]] = []
        self.conns = {}
        self.tls = ssl.create_default_context(cafile=os.path.join(sim.certs, "ca.pem"))

    def close(self):
        for conn in self.conns.values():
            conn.close()

    def cookie(self, name: str):
        return next((v for n, v in self.jar if n == name), None)

    def _merge(self, set_cookies):
        for line in set_cookies:
            name, _, value = line.split(";", 1)[0].strip().partition("=")
            for pair in self.jar:
                if pair[0] == name:
                    pair[1] = value
                    break
            else:
                self.jar.append([name, value])

    def _connection(self, scheme, netloc):
        key = (scheme, netloc)
        if key not in self.conns:
            host, port = netloc.rsplit(":", 1)
            if scheme == "https":
                self.conns[key] = http.client.HTTPSConnection(host, int(port), timeout=TIMEOUT, context=self.tls)
            else:
                self.conns[key] = http.client.HTTPConnection(host, int(port), timeout=TIMEOUT)
        return self.conns[key]

    def request(self, method, url, body=None, referer=None, headers=None, follow=False,
                cookie=True) -> Response:
        for _ in range(21):
            reply = self._once(method, url, body, referer, headers, cookie)
            location = reply.header("Location")
            if not follow or not location:
                return reply
            method, url, body, referer = "GET", location, None, None
        return reply

    def _once(self, method, url, body, referer, headers, cookie) -> Response:
        parts = urlsplit(url)
        conn = self._connection(parts.scheme, parts.netloc)
        target = parts.path + ("?" + parts.query if parts.query else "")
        data = body.encode("latin-1") if isinstance(body, str) else body
        try:
            self._send(conn, method, target, parts.netloc, data, referer, headers, cookie)
            raw = conn.getresponse()
            reply = Response(raw.status, raw.getheaders(), raw.read(), url)
        except Exception:
            conn.close()
            raise
        if method != "HEAD" and reply.header("Content-Length") is None:
            raise AssertionError(f"reply without Content-Length: {url}")
        self._merge(reply.header_values("Set-Cookie"))
        return reply

    def _send(self, conn, method, target, netloc, data, referer, headers, cookie):
        conn.putrequest(method, target, skip_host=True, skip_accept_encoding=True)
        if referer:
            conn.putheader("Referer", referer)
        for name, value in (headers or []):
            conn.putheader(name, value)
        if cookie:
            conn.putheader("Cookie", "; ".join(f"{n}={v}" for n, v in self.jar))
        conn.putheader("Accept", "*/*")
        conn.putheader("Accept-Language", "zh-cn")
        if method == "POST":
            conn.putheader("Content-Type", "application/x-www-form-urlencoded")
        conn.putheader("Host", netloc)
        if method == "POST":
            conn.putheader("Content-Length", str(len(data or b"")))
        conn.putheader("User-Agent", USER_AGENT)
        if method == "POST":
            conn.putheader("Cache-Control", "no-cache")
        conn.endheaders(data)

    def get(self, url, **kw) -> Response:
        return self.request("GET", url, **kw)

    def post(self, url, body, **kw) -> Response:
        return self.request("POST", url, body, **kw)

    # The resolver's requests.
    def verify(self, page_url: str, password: str, query: str = None) -> Response:
        query = query if query is not None else page_url.rsplit("init?", 1)[-1]
        url = (f"https://{self.sim.main}/share/verify?{query}&t={stamp13()}&bdstoken=null"
               f"{TAIL}&logid={logid()}")
        return self.post(url, f"pwd={url_encode_utf8(password)}&vcode=&vcode_str=", referer=page_url)

    def list_folder(self, uk, shareid, folder, bdstoken="null") -> Response:
        url = (f"http://{self.sim.main}/share/list?uk={uk}&shareid={shareid}"
               f"&order=server_filename&desc=1&showempty=0&web=1&page=1&num=100"
               f"&dir={url_encode_utf8(folder)}&t=0.{digits(16)}&bdstoken={bdstoken}"
               f"&channel=chunlei&clienttype=0&web=1&app_id=250528&logid={logid()}")
        return self.get(url)

    def getcaptcha(self, scheme="http") -> Response:
        return self.get(f"{scheme}://{self.sim.main}/api/getcaptcha?prod=pan&web=1&t=0.{digits(16)}"
                        f"&bdstoken=null{TAIL}&logid={logid()}")

    def sharedownload(self, info, ids, zip=False, answer="", vcode_str="", page_url=None) -> Response:
        url = (f"http://{self.sim.dl}/api/sharedownload?sign={info['sign']}&timestamp={info['timestamp']}"
               f"&bdstoken=null&channel=chunlei&clienttype=0&web=1&app_id=250528&logid={logid()}")
        return self.post(url, download_form(info, ids, self.cookie("BDCLND") or "", zip, answer, vcode_str),
                         referer=page_url or f"https://{self.sim.main}/share/init?surl=x")

    def open_share(self, link: str, password: str = ""):
        """The share data of a link: the redirect walk, the password check when asked, the page."""
        page_url, reply = link, self.get(link)
        while reply.header("Location"):
            page_url = reply.header("Location")
            reply = self.get(page_url)
        if "请输入提取密码" in reply.text:
            if "shareid=" in link:
                page_url = link
            checked = self.verify(page_url, password)
            if checked.json()["errno"] != 0:
                return None, checked
            page_url = self.get(page_url).header("Location")
            reply = self.get(page_url)
        return json.loads(text_between(reply.text, "yunData.setData(", ");")), reply


def download_form(info, ids, sekey, zip=False, answer="", vcode_str="") -> str:
    extra = '{"sekey":"' + sekey + '"}'
    body = f"encrypt=0&product=share&uk={info['uk']}&primaryid={info['shareid']}"
    body += (f"&vcode_input=&vcode_str=&extra={extra}" if not answer
             else f"&vcode_input={answer}&vcode_str={vcode_str}&extra={extra}")
    body += "&fid_list=%5B" + ",".join(str(i) for i in ids) + "%5D"
    return body + ("&type=batch" if zip else "")


class SimProcess:
    """A simulator on free ports, with its own ready file; certs shared by the test run."""

    def __init__(self, certs: str, *extra):
        self.certs = certs
        self.folder = tempfile.mkdtemp(prefix="share-sim-test-")
        self.ready_file = os.path.join(self.folder, "ready.json")
        self.proc = subprocess.Popen(
            [sys.executable, os.path.join(HERE, "share_sim.py"), "--port", "0", "--dl-port", "0",
             "--certs", certs, "--ready-file", self.ready_file, *extra],
            stdout=subprocess.PIPE, stderr=subprocess.PIPE, stdin=subprocess.DEVNULL, text=True)
        self.ready_line = self.proc.stdout.readline().strip()
        if not os.path.exists(self.ready_file):
            self.proc.kill()
            raise RuntimeError("simulator did not start: " + self.proc.stderr.read())
        with open(self.ready_file) as f:
            self.ready = json.load(f)
        self.main = f"localhost:{self.ready['main_port']}"
        self.dl = f"127.0.0.1:{self.ready['dl_port']}"

    def hook(self, name: str, query: str = ""):
        conn = http.client.HTTPConnection("127.0.0.1", self.ready["dl_port"], timeout=TIMEOUT)
        try:
            conn.request("GET", f"/__sim/{name}" + (f"?{query}" if query else ""))
            return json.loads(conn.getresponse().read())
        finally:
            conn.close()

    def stop(self, sig=signal.SIGTERM, timeout=15) -> int:
        if self.proc.poll() is None:
            self.proc.send_signal(sig)
        try:
            return self.proc.wait(timeout)
        finally:
            if self.proc.poll() is None:
                self.proc.kill()
                self.proc.wait()
            self.proc.stdout.close()
            self.proc.stderr.close()


def listening_sockets(port: int):
    """(local address hex, port) of the LISTEN sockets on port, from /proc/net/tcp and tcp6."""
    found = []
    for table in ("/proc/net/tcp", "/proc/net/tcp6"):
        try:
            with open(table) as f:
                rows = f.readlines()[1:]
        except OSError:
            continue
        for row in rows:
            local, state = row.split()[1], row.split()[3]
            address, hexport = local.split(":")
            if state == "0A" and int(hexport, 16) == port:
                found.append(address)
    return found
