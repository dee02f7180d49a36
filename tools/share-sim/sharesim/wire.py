"""Reading requests the way the service's web page sends them, and writing answers.

Queries are compared key by key, in order, on their raw (still percent-encoded) values: the
service's web page always sends the same keys in the same order.
"""
import base64
import binascii
import json
import re
from typing import Dict, List, Optional, Sequence, Tuple, Union
from urllib.parse import unquote_plus

Pairs = List[Tuple[str, Optional[str]]]
Check = Union[str, "re.Pattern", None]

DIGITS = re.compile(r"\d{1,19}")
FRACTION16 = re.compile(r"0\.\d{16}")
STAMP13 = re.compile(r"\d{13}")
LOGID_TEXT = re.compile(r"\d{13}\.\d{19}")
ANY = re.compile(r".*", re.S)

# Fragments every API request of the web page ends with.
CLIENT_TAIL = [("channel", "chunlei"), ("clienttype", "0"), ("web", "1"), ("app_id", "250528")]


def split_target(target: str) -> Tuple[str, str]:
    path, _, query = target.partition("?")
    return path, query


def parse_pairs(query: str) -> Pairs:
    if query == "":
        return []
    pairs = []
    for piece in query.split("&"):
        key, eq, value = piece.partition("=")
        pairs.append((key, value if eq else None))
    return pairs


def valid_logid(value: str) -> bool:
    """The log id is Base64 of "<13-digit ms time>.<19 digits>", sent without URL encoding."""
    try:
        text = base64.b64decode(value.encode("ascii"), validate=True).decode("ascii")
    except (binascii.Error, UnicodeError, ValueError):
        return False
    return LOGID_TEXT.fullmatch(text) is not None


def _value_ok(value: Optional[str], check: Check) -> bool:
    if value is None:
        return False
    if check is None:
        return True
    if check == "logid":
        return valid_logid(value)
    if isinstance(check, str):
        return value == check
    return check.fullmatch(value) is not None


def match_pairs(pairs: Pairs, expected: Sequence[Tuple[str, Check]]) -> Optional[Dict[str, str]]:
    """The values by key when pairs has exactly the expected keys in order and every value passes."""
    if len(pairs) != len(expected):
        return None
    out = {}
    for (key, value), (want_key, check) in zip(pairs, expected):
        if key != want_key or not _value_ok(value, check):
            return None
        out.setdefault(key, value)
    return out


def form_text(value: str) -> Optional[str]:
    """A form or query value decoded as the UTF-8 percent form ("+" is a space)."""
    try:
        return unquote_plus(value, encoding="utf-8", errors="strict")
    except UnicodeDecodeError:
        return None


def cookie_pairs(header_values: List[str]) -> List[List[str]]:
    """name/value pairs of every Cookie line, in order ("a=b; c=d", with or without blanks)."""
    out = []
    for line in header_values:
        for piece in line.split(";"):
            piece = piece.strip()
            if piece:
                name, _, value = piece.partition("=")
                out.append([name, value])
    return out


def api_json(obj) -> bytes:
    """JSON as the service writes it: non-ASCII as \\u escapes and "/" as "\\/"."""
    return json.dumps(obj, ensure_ascii=True, separators=(",", ":")).replace("/", "\\/").encode("ascii")


def page_json(obj, escape: str) -> str:
    """Share data inside a page: raw UTF-8 names, or \\u escapes like the API."""
    if escape == "raw":
        return json.dumps(obj, ensure_ascii=False, separators=(",", ":"))
    return api_json(obj).decode("ascii")


def form_headers_ok(request, main: str) -> bool:
    """The web page posts forms with the form content type and a page of the main host as Referer."""
    content_type = (request.header("Content-Type") or "").strip().lower()
    referer = (request.header("Referer") or "").strip()
    return (content_type.startswith("application/x-www-form-urlencoded")
            and (referer.startswith(f"https://{main}/") or referer.startswith(f"http://{main}/")))
