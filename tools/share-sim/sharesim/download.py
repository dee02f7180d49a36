"""The download host: /api/sharedownload and the dlinks it hands out.

Link requests are checked the way the service checks them, in this order: request shape (2),
share (-7), sign (2), time stamp age (112), sekey of a password share (-11), ids (-33, -3, 2),
captcha (-20) and rate limit (5).
"""
import hmac
import json
import os
import re
from urllib.parse import quote, unquote

from .content import batch_zip, file_bytes, file_md5
from .context import errno_reply, json_reply, not_found
from .transport import Reply
from .wire import CLIENT_TAIL, DIGITS, form_headers_ok, form_text, match_pairs, parse_pairs

MAX_IDS = 999
QUERY = ([("sign", re.compile(r"[0-9a-f]{40}")), ("timestamp", re.compile(r"\d{10}")),
          ("bdstoken", "null")] + CLIENT_TAIL + [("logid", "logid")])
FORM = re.compile(r"encrypt=0&product=share&uk=(\d{1,19})&primaryid=(\d{1,19})"
                  r"&vcode_input=([^&]*)&vcode_str=([^&]*)&extra=(.*?)"
                  r"&fid_list=%5B([^&]*)%5D(&type=batch)?")
RANGE = re.compile(r"bytes=(\d*)-(\d*)")


class LinkError(Exception):
    def __init__(self, errno):
        self.errno = errno


class Download:
    def __init__(self, ctx):
        self.ctx = ctx

    # /api/sharedownload
    def sharedownload(self, request, query) -> Reply:
        headers = []
        if self.ctx.state.on("content_location"):
            headers.append(("Content-Location", f"http://{self.ctx.dl}/api/elsewhere"))
        try:
            share, entries, batch = self._checked(request, query)
        except LinkError as e:
            return errno_reply(e.errno, headers)
        request_id = int.from_bytes(os.urandom(4), "big")
        if batch:
            return json_reply({"errno": 0, "request_id": request_id,
                               "dlink": self.batch_link(share, entries)}, headers)
        listed = [{"fs_id": e.fs_id, "server_filename": e.name, "size": e.size,
                   "dlink": self.file_link(share, e)} for e in entries]
        return json_reply({"errno": 0, "request_id": request_id, "list": listed}, headers)

    def _checked(self, request, query):
        q = match_pairs(parse_pairs(query), QUERY)
        form = FORM.fullmatch(request.body.decode("latin-1"))
        if request.method != "POST" or q is None or form is None or not form_headers_ok(request, self.ctx.main):
            raise LinkError(2)
        uk, shareid, vcode_input, vcode_str, extra, fids, batch = form.groups()
        share = self.ctx.catalogue.find_ids(int(shareid), int(uk))
        if share is None:
            raise LinkError(-7)
        timestamp = int(q["timestamp"])
        if not hmac.compare_digest(q["sign"], self.ctx.sign(share.shareid, share.uk, timestamp)):
            raise LinkError(2)
        if self.ctx.now() - timestamp > self.ctx.state.setting("sign_ttl"):
            raise LinkError(112)
        self._check_sekey(share, extra)
        entries = self._entries(share, fids, bool(batch))
        self._check_captcha(share, vcode_input, vcode_str)
        return share, entries, bool(batch)

    def _check_sekey(self, share, extra):
        try:
            sekey = json.loads(form_text(extra) or "")["sekey"]
        except (ValueError, KeyError, TypeError):
            raise LinkError(2)
        if not isinstance(sekey, str):
            raise LinkError(2)
        # The page sends the BDCLND cookie's value; the sekey is its percent-decoded form.
        if share.has_password and sekey not in [unquote(v) for v in self.ctx.state.session_values(share.id)]:
            raise LinkError(-11)

    def _entries(self, share, fids, batch):
        ids = fids.split(",") if fids else []
        if not ids or not all(DIGITS.fullmatch(i) for i in ids):
            raise LinkError(2)
        if len(ids) > MAX_IDS:
            raise LinkError(-33)
        entries = [share.by_fs_id.get(int(i)) for i in ids]
        if any(e is None for e in entries):
            raise LinkError(-3)
        if not batch and any(e.isdir for e in entries):
            raise LinkError(2)
        return entries

    def _check_captcha(self, share, vcode_input, vcode_str):
        state = self.ctx.state
        if vcode_input or vcode_str:
            if not state.use_captcha(vcode_str, vcode_input):
                raise LinkError(-20)
        elif share.captcha:
            raise LinkError(-20)
        elif not state.count_uncaptcha_request():
            raise LinkError(5)

    # Dlinks.
    def file_link(self, share, entry) -> str:
        dstime = self.ctx.now()
        sign = self.ctx.sign("file", share.uk, entry.fs_id, dstime)
        return (f"http://{self.ctx.dl}/file/{file_md5(entry.fs_id, entry.size)}"
                f"?fid={share.uk}-250528-{entry.fs_id}&dstime={dstime}&rt=sh&sign={sign}"
                f"&expires=8h&chkv=1&r={int.from_bytes(os.urandom(4), 'big')}")

    def batch_link(self, share, entries) -> str:
        dstime = self.ctx.now()
        fids = ",".join(str(e.fs_id) for e in entries)
        sign = self.ctx.sign("batch", share.uk, share.shareid, fids, dstime)
        return (f"http://{self.ctx.dl}/batch/{share.shareid}.zip?uk={share.uk}&shareid={share.shareid}"
                f"&fids={fids}&dstime={dstime}&sign={sign}")

    def serve_file(self, request, path, query) -> Reply:
        q = dict(p for p in parse_pairs(query) if p[1] is not None)
        fid = q.get("fid", "").split("-")
        if len(fid) != 3 or not all(part.isdigit() for part in fid) or not q.get("dstime", "").isdigit():
            return not_found()
        uk, fs_id = int(fid[0]), int(fid[2])
        found = self.ctx.catalogue.by_fs_id.get(fs_id)
        want = self.ctx.sign("file", uk, fs_id, int(q["dstime"]))
        if found is None or found[0].uk != uk or not hmac.compare_digest(q.get("sign", ""), want):
            return Reply(403, b"forbidden", "text/plain")
        entry = found[1]
        if path != f"/file/{file_md5(entry.fs_id, entry.size)}":
            return Reply(403, b"forbidden", "text/plain")
        return ranged(request, entry, entry.name)

    def serve_batch(self, request, path, query) -> Reply:
        q = dict(p for p in parse_pairs(query) if p[1] is not None)
        try:
            uk, shareid, dstime = int(q["uk"]), int(q["shareid"]), int(q["dstime"])
        except (KeyError, ValueError):
            return not_found()
        share = self.ctx.catalogue.find_ids(shareid, uk)
        want = self.ctx.sign("batch", uk, shareid, q.get("fids", ""), dstime)
        if share is None or not hmac.compare_digest(q.get("sign", ""), want):
            return Reply(403, b"forbidden", "text/plain")
        entries = [share.by_fs_id[int(i)] for i in q["fids"].split(",")]
        name = f"{entries[0].name}等{len(entries)}个文件.zip"
        return Reply(200, batch_zip(entries), "application/zip", [disposition(name)])


def disposition(name: str):
    encoded = quote(name, safe="")
    return ("Content-Disposition", f"attachment; filename=\"{encoded}\"; filename*=UTF-8''{encoded}")


def ranged(request, entry, name) -> Reply:
    """The file's bytes, or the single range asked for (206), or 416 for a range outside it."""
    size = entry.size
    headers = [("Accept-Ranges", "bytes"), ("ETag", f'"{file_md5(entry.fs_id, size)}"'), disposition(name)]
    asked = request.header("Range")
    if asked is None:
        return Reply(200, file_bytes(entry.fs_id, size), "application/octet-stream", headers)
    m = RANGE.fullmatch(asked.strip())
    if m is None or (m.group(1) == "" and m.group(2) == ""):
        return Reply(416, b"", "text/plain", headers + [("Content-Range", f"bytes */{size}")])
    if m.group(1) == "":
        start, end = max(0, size - int(m.group(2))), size - 1
    else:
        start = int(m.group(1))
        end = min(int(m.group(2)), size - 1) if m.group(2) else size - 1
    if start >= size or end < start or (m.group(1) == "" and int(m.group(2)) == 0):
        return Reply(416, b"", "text/plain", headers + [("Content-Range", f"bytes */{size}")])
    return Reply(206, file_bytes(entry.fs_id, size, start, end + 1), "application/octet-stream",
                 headers + [("Content-Range", f"bytes {start}-{end}/{size}")])
