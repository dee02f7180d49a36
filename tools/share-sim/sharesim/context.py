"""What every handler needs: the catalogue, the state, the host names and the signing secret."""
import hashlib
import hmac
import json
import os
import time
from dataclasses import dataclass

from .transport import Reply
from .wire import api_json
from . import pages

COOKIE_TAIL = "; path=/; domain={domain}; expires=Thu, 31-Dec-2037 23:55:55 GMT; max-age=315360000"


@dataclass
class Context:
    catalogue: object
    state: object
    main_host_name: str = "localhost"
    main_port: int = 0
    dl_port: int = 0
    secret: bytes = b""

    def __post_init__(self):
        if not self.secret:
            self.secret = os.urandom(16)

    @property
    def main(self) -> str:
        return f"{self.main_host_name}:{self.main_port}"

    @property
    def dl(self) -> str:
        return f"127.0.0.1:{self.dl_port}"

    def sign(self, *parts) -> str:
        text = ":".join(str(p) for p in parts).encode("utf-8")
        return hmac.new(self.secret, text, hashlib.sha1).hexdigest()

    def cookie(self, name: str, value: str) -> tuple:
        return ("Set-Cookie", f"{name}={value}" + COOKIE_TAIL.format(domain=self.main_host_name))

    def now(self) -> int:
        return int(time.time())


def json_reply(obj, headers=None) -> Reply:
    return Reply(200, api_json(obj), "application/json; charset=UTF-8", list(headers or []))


def errno_reply(errno: int, headers=None) -> Reply:
    return json_reply({"errno": errno, "request_id": int(time.time() * 1000) % 10**12}, headers)


def html_reply(body: bytes, status: int = 200, headers=None) -> Reply:
    return Reply(status, body, "text/html; charset=utf-8", list(headers or []))


def redirect(location: str, headers=None) -> Reply:
    return Reply(302, b"", "text/html; charset=utf-8", [("Location", location)] + list(headers or []))


def not_found() -> Reply:
    return html_reply(pages.missing_page(), 404)


def hook_reply(obj, status: int = 200) -> Reply:
    return Reply(status, json.dumps(obj, ensure_ascii=False).encode("utf-8"),
                 "application/json; charset=UTF-8")
