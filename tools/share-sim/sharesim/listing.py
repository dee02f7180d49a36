"""Folder listing and captcha issue on the main host."""
import os
import random
import re

from .captcha_png import captcha_png, random_code
from .context import errno_reply, json_reply, not_found
from .share_pages import SharePages
from .transport import Reply
from .wire import CLIENT_TAIL, DIGITS, FRACTION16, form_text, match_pairs, parse_pairs

PAGE_SIZE = 100

LIST_QUERY = ([("uk", DIGITS), ("shareid", DIGITS), ("order", "server_filename"), ("desc", "1"),
               ("showempty", "0"), ("web", "1"), ("page", "1"), ("num", "100"),
               ("dir", re.compile(r".+")), ("t", FRACTION16), ("bdstoken", "null")]
              + CLIENT_TAIL + [("logid", "logid")])
CAPTCHA_QUERY = ([("prod", "pan"), ("web", "1"), ("t", FRACTION16), ("bdstoken", "null")]
                 + CLIENT_TAIL + [("logid", "logid")])
TOKEN = re.compile(r"[0-9A-F]{40}")


def visible_entries(folder):
    """Page 1 of a folder as the service lists it: by name descending, empty folders hidden."""
    shown = [e for e in folder.children if not (e.isdir and not e.children)]
    shown.sort(key=lambda e: e.name, reverse=True)
    return shown[:PAGE_SIZE]


class Listing:
    def __init__(self, ctx):
        self.ctx = ctx
        self.pages = SharePages(ctx)

    def list(self, request, query) -> Reply:
        q = match_pairs(parse_pairs(query), LIST_QUERY)
        folder_path = form_text(q["dir"]) if q else None
        if request.method != "GET" or folder_path is None:
            return errno_reply(2)
        share = self.ctx.catalogue.find_ids(int(q["shareid"]), int(q["uk"]))
        if share is None:
            return errno_reply(-7)
        if share.has_password and not self.pages.has_session(request, share):
            return errno_reply(-11)
        folder = share.folders.get(folder_path)
        if folder is None:
            return errno_reply(-3)
        return json_reply({"errno": 0, "request_id": int.from_bytes(os.urandom(4), "big"),
                           "server_time": self.ctx.now(), "cfrom_id": 0, "title": folder.path,
                           "list": [e.record() for e in visible_entries(folder)]})

    def getcaptcha(self, request, query) -> Reply:
        if request.method != "GET" or match_pairs(parse_pairs(query), CAPTCHA_QUERY) is None:
            return errno_reply(2)
        vcode_str = os.urandom(20).hex().upper()
        self.ctx.state.issue_captcha(vcode_str, random_code(random.Random(os.urandom(8))))
        image = f"{request.scheme}://{self.ctx.main}/cgi-bin/genimage?{vcode_str}"
        return json_reply({"errno": 0, "request_id": int.from_bytes(os.urandom(4), "big"),
                           "vcode_str": vcode_str, "vcode_img": image})

    def genimage(self, request, query) -> Reply:
        token, code = self.ctx.state.captcha_code(query) if TOKEN.fullmatch(query) else (None, None)
        if code is None:
            return not_found()
        return Reply(200, captcha_png(code, int(token[:8], 16)), "image/png",
                     [("Cache-Control", "no-cache")])
