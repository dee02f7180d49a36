"""Share links, the init and link pages, and the password check.

Observed service behaviour kept here: a share link redirects to /share/init?surl=; a password
share shows the password page until the BDCLND cookie of a passed check comes back, and then
redirects to /share/link?shareid=N&uk=M, which carries the share data.
"""
import base64
import os
import re
from urllib.parse import quote

from . import pages
from .context import errno_reply, html_reply, json_reply, not_found, redirect
from .transport import Reply
from .wire import (CLIENT_TAIL, DIGITS, STAMP13, cookie_pairs, form_headers_ok, form_text, match_pairs,
                   page_json, parse_pairs)

SURL = re.compile(r"[A-Za-z0-9_-]{1,64}")
VERIFY_BODY = re.compile(r"pwd=([^&]*)&vcode=&vcode_str=")
VERIFY_TAIL = [("t", STAMP13), ("bdstoken", "null")] + CLIENT_TAIL + [("logid", "logid")]


def share_ids(pairs):
    """(surl, None) or (None, (shareid, uk)) from the leading keys of a page or verify query."""
    if pairs[:1] and pairs[0][0] == "surl" and pairs[0][1] and SURL.fullmatch(pairs[0][1]):
        return pairs[0][1], None, 1
    head = match_pairs(pairs[:2], [("shareid", DIGITS), ("uk", DIGITS)])
    if head:
        return None, (int(head["shareid"]), int(head["uk"])), 2
    return None, None, 0


class SharePages:
    def __init__(self, ctx):
        self.ctx = ctx

    # Helpers.
    def _page_headers(self):
        headers = []
        if self.ctx.state.on("decoy_cookie"):
            headers.append(self.ctx.cookie("BDCLNDX", "decoy"))
        if self.ctx.state.on("content_location"):
            headers.append(("Content-Location", f"https://{self.ctx.main}/share/elsewhere"))
        return headers

    def has_session(self, request, share) -> bool:
        cookies = cookie_pairs(request.header_values("Cookie"))
        return any(name == "BDCLND" and self.ctx.state.session_share(value) == share.id
                   for name, value in cookies)

    def _stall_then_drop(self) -> Reply:
        self.ctx.state.stopping.wait(self.ctx.state.setting("stall_seconds"))
        return Reply.drop()

    def _failure_kind(self, share):
        kind = share.kind
        if kind == "removed":
            return html_reply(pages.removed_page(), headers=self._page_headers())
        if kind == "nopage":
            return html_reply(pages.missing_page(), 404)
        if kind == "nodata":
            return html_reply(pages.no_marker_page(), headers=self._page_headers())
        if kind == "badjson":
            return html_reply(pages.html_data_page(), headers=self._page_headers())
        if kind == "loop":
            return redirect(f"https://{self.ctx.main}/s/1{share.surl}?hop=1")
        if kind == "reset":
            return Reply.reset()
        return self._stall_then_drop()

    def data_page(self, share) -> Reply:
        timestamp = self.ctx.now()
        data = {
            "loginstate": 0, "linkusername": "sample_owner", "share_page_type": "single_file_page",
            "uk": share.uk, "shareid": share.shareid,
            "sign": self.ctx.sign(share.shareid, share.uk, timestamp), "timestamp": timestamp,
            "bdstoken": None, "public": 0, "expiredType": 0,
            "file_list": {"errno": 0, "list": [entry.record() for entry in share.items]},
        }
        title = share.items[0].name if share.items else "分享文件"
        return html_reply(pages.share_page(title, page_json(data, share.escape)),
                          headers=self._page_headers())

    def _locked_or_data(self, request, share) -> Reply:
        if share.has_password and not self.has_session(request, share):
            return html_reply(pages.password_page(), headers=self._page_headers())
        return self.data_page(share)

    def _link_url(self, share) -> str:
        return f"https://{self.ctx.main}/share/link?shareid={share.shareid}&uk={share.uk}"

    # Routes.
    def share_link(self, request, path, query) -> Reply:
        surl = path[len("/s/1"):]
        if not SURL.fullmatch(surl):
            return not_found()
        share = self.ctx.catalogue.by_surl.get(surl)
        if share is not None and share.kind == "loop":
            hop = parse_pairs(query)
            n = int(hop[0][1]) if hop and hop[0][0] == "hop" and (hop[0][1] or "").isdigit() else 0
            return redirect(f"https://{self.ctx.main}/s/1{surl}?hop={n + 1}")
        if share is not None and share.kind in ("reset", "stall"):
            return self._failure_kind(share)
        headers = [self.ctx.cookie("PANWEB", "1")] + self._page_headers()
        return redirect(f"https://{self.ctx.main}/share/init?surl={surl}", headers)

    def init(self, request, query) -> Reply:
        pairs = parse_pairs(query)
        surl, ids, used = share_ids(pairs)
        if used == 0 or len(pairs) != used:
            return not_found()
        if ids is not None:
            return self._init_form(request, ids)
        share = self.ctx.catalogue.by_surl.get(surl)
        if share is None:
            return html_reply(pages.removed_page(), headers=self._page_headers())
        if share.kind != "share":
            return self._failure_kind(share)
        if share.has_password and self.has_session(request, share):
            return redirect(self._link_url(share), self._page_headers())
        return self._locked_or_data(request, share)

    def _init_form(self, request, ids) -> Reply:
        share = self.ctx.catalogue.find_ids(*ids)
        if share is None:
            return html_reply(pages.removed_page(), headers=self._page_headers())
        if share.has_password and self.has_session(request, share):
            return redirect(self._link_url(share), self._page_headers())
        return redirect(f"https://{self.ctx.main}/share/init?surl={share.surl}", self._page_headers())

    def link(self, request, query) -> Reply:
        ids = match_pairs(parse_pairs(query), [("shareid", DIGITS), ("uk", DIGITS)])
        if ids is None:
            return not_found()
        share = self.ctx.catalogue.find_ids(int(ids["shareid"]), int(ids["uk"]))
        if share is None:
            return html_reply(pages.removed_page(), headers=self._page_headers())
        return self._locked_or_data(request, share)

    def verify(self, request, query) -> Reply:
        extra = []
        if self.ctx.state.on("content_location"):
            extra.append(("Content-Location", f"https://{self.ctx.main}/share/elsewhere"))
        pairs = parse_pairs(query)
        surl, ids, used = share_ids(pairs)
        form = VERIFY_BODY.fullmatch(request.body.decode("latin-1"))
        if (request.method != "POST" or used == 0 or match_pairs(pairs[used:], VERIFY_TAIL) is None
                or not form_headers_ok(request, self.ctx.main) or form is None):
            return errno_reply(2, extra)
        share = (self.ctx.catalogue.by_surl.get(surl) if surl else self.ctx.catalogue.find_ids(*ids))
        if share is None or share.kind != "share":
            return errno_reply(-7, extra)
        password = form_text(form.group(1))
        if password is None:
            return errno_reply(2, extra)
        if share.has_password and password == "":
            return errno_reply(-12, extra)
        if share.has_password and password != share.password:
            return errno_reply(-9, extra)
        value = new_bdclnd()
        self.ctx.state.open_session(value, share.id)
        return json_reply({"errno": 0, "err_msg": "", "request_id": int.from_bytes(os.urandom(4), "big"),
                           "randsk": value}, [self.ctx.cookie("BDCLND", value)] + extra)


def new_bdclnd() -> str:
    """A BDCLND value as the service sets it: Base64 in percent form, so it holds "%2B" and
    "%3D", and a raw "/" (the service leaves "/" alone). Its decoded form is the sekey."""
    raw = base64.b64encode(os.urandom(30)).decode("ascii")
    raw = raw[:6] + "+" + raw[7:13] + "/" + raw[14:] + "="
    return quote(raw, safe="/")
