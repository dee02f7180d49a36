"""Routes requests of both hosts, records them, and answers the /__sim/ test hooks."""
import time

from .content import file_md5
from .context import hook_reply, html_reply, not_found
from .download import Download
from .listing import Listing
from .share_pages import SharePages
from .state import SCENARIOS, SETTING_LIMITS
from .transport import Reply, Request
from .wire import cookie_pairs, parse_pairs, split_target
from . import pages

HOOK_PREFIX = "/__sim/"


class App:
    def __init__(self, ctx):
        self.ctx = ctx
        self.pages = SharePages(ctx)
        self.listing = Listing(ctx)
        self.download = Download(ctx)
        self.main_api = {"/share/verify": self.pages.verify, "/share/list": self.listing.list,
                         "/api/getcaptcha": self.listing.getcaptcha}
        self.dl_api = {"/api/sharedownload": self.download.sharedownload}

    def handle(self, request: Request) -> Reply:
        path, query = split_target(request.target)
        if path.startswith(HOOK_PREFIX):
            return self.hook(path[len(HOOK_PREFIX):], query)
        entry = self.ctx.state.record(self._record(request))
        try:
            reply = self.route(request, path, query)
        except Exception as e:  # a fault of the simulator must still answer
            reply = Reply(500, f"simulator fault: {e!r}".encode(), "text/plain")
        entry["status"] = reply.status if reply.action == "answer" else reply.action
        return reply

    def _record(self, request: Request) -> dict:
        host = self.ctx.main if request.host == "main" else self.ctx.dl
        return {"time": int(time.time() * 1000), "host": request.host, "scheme": request.scheme,
                "method": request.method, "target": request.target,
                "url": f"{request.scheme}://{host}{request.target}",
                "headers": [[k, v] for k, v in request.headers],
                "body": request.body.decode("latin-1"),
                "cookies": cookie_pairs(request.header_values("Cookie")), "status": None}

    def route(self, request, path, query) -> Reply:
        api = (self.main_api if request.host == "main" else self.dl_api).get(path)
        if api is not None:
            return self._api(api, request, query)
        if request.host == "main":
            if path.startswith("/s/1"):
                return self.pages.share_link(request, path, query)
            if path == "/share/init":
                return self.pages.init(request, query)
            if path == "/share/link":
                return self.pages.link(request, query)
            if path == "/cgi-bin/genimage":
                return self.listing.genimage(request, query)
        elif request.method in ("GET", "HEAD"):
            if path.startswith("/file/"):
                return self.download.serve_file(request, path, query)
            if path.startswith("/batch/"):
                return self.download.serve_batch(request, path, query)
        return not_found()

    def _api(self, handler, request, query) -> Reply:
        state = self.ctx.state
        if state.on("reset_api"):
            return Reply.reset()
        if state.on("stall_api"):
            state.stopping.wait(state.setting("stall_seconds"))
        if state.on("html_api"):
            return html_reply(pages.busy_page())
        return handler(request, query)

    # Test hooks.
    def hook(self, name, query) -> Reply:
        args = {k: v for k, v in parse_pairs(query) if v is not None}
        state = self.ctx.state
        if name == "requests":
            since = int(args["since"]) if args.get("since", "").isdigit() else 0
            return hook_reply({"requests": [r for r in state.recorded() if r["seq"] > since]})
        if name == "reset":
            state.reset()
            return hook_reply({"ok": True})
        if name == "captcha":
            token, code = state.captcha_code(args.get("vcode_str"))
            if code is None:
                return hook_reply({"error": "no such captcha"}, 404)
            return hook_reply({"vcode_str": token, "code": code})
        if name == "scenario":
            return self._scenario(args)
        if name == "settings":
            return self._settings(args)
        if name == "files":
            return hook_reply({"files": self._files()})
        return hook_reply({"error": "unknown hook"}, 404)

    def _scenario(self, args) -> Reply:
        state = self.ctx.state
        if "name" in args:
            if args["name"] not in SCENARIOS or args.get("on") not in ("0", "1"):
                return hook_reply({"error": "name must be one of " + ", ".join(SCENARIOS) + "; on 0 or 1"}, 400)
            state.scenarios[args["name"]] = args["on"] == "1"
        return hook_reply({"scenarios": dict(state.scenarios)})

    def _settings(self, args) -> Reply:
        state = self.ctx.state
        for name, value in args.items():
            if name not in SETTING_LIMITS or not value.isdigit():
                return hook_reply({"error": f"settings: {', '.join(SETTING_LIMITS)} as whole numbers"}, 400)
            state.set_setting(name, int(value))
        return hook_reply({"settings": dict(state.settings)})

    def _files(self):
        return [{"surl": share.surl, "path": e.path, "fs_id": e.fs_id, "size": e.size,
                 "md5": file_md5(e.fs_id, e.size)}
                for share, e in self.ctx.catalogue.by_fs_id.values() if not e.isdir]
