"""Sample shares read from catalogue.json.

A share's items form a tree of folders and files. Paths are the owner's drive paths: the share's
root folder followed by the names ("/" + name for a share rooted at "/"). fs_ids are derived from
shareid and path, so they stay the same from run to run.
"""
import hashlib
import json
from dataclasses import dataclass, field
from typing import Dict, List, Optional

APP_ID = "250528"

# Share kinds other than "share" answer a failure page instead of share data.
FAILURE_KINDS = ("removed", "nopage", "nodata", "badjson", "loop", "reset", "stall")


@dataclass
class Entry:
    name: str
    path: str
    parent_path: str
    isdir: bool
    size: int
    fs_id: int
    mtime: int
    children: List["Entry"] = field(default_factory=list)

    def record(self) -> dict:
        """The entry as the service lists it (page file_list and /share/list)."""
        return {
            "app_id": APP_ID,
            "category": 6,
            "fs_id": self.fs_id,
            "isdir": 1 if self.isdir else 0,
            "parent_path": self.parent_path,
            "path": self.path,
            "server_ctime": self.mtime,
            "server_filename": self.name,
            "server_mtime": self.mtime,
            "size": self.size,
        }

    def walk(self):
        yield self
        for child in self.children:
            yield from child.walk()


@dataclass
class Share:
    id: str
    surl: str
    kind: str = "share"
    uk: int = 0
    shareid: int = 0
    password: Optional[str] = None
    captcha: bool = False
    escape: str = "unicode"
    root: str = "/"
    items: List[Entry] = field(default_factory=list)
    by_fs_id: Dict[int, Entry] = field(default_factory=dict)
    folders: Dict[str, Entry] = field(default_factory=dict)

    @property
    def has_password(self) -> bool:
        return bool(self.password)

    def index(self):
        for top in self.items:
            for entry in top.walk():
                self.by_fs_id[entry.fs_id] = entry
                if entry.isdir:
                    self.folders[entry.path] = entry


def make_fs_id(shareid: int, path: str) -> int:
    digest = hashlib.sha1(f"{shareid}:{path}".encode("utf-8")).digest()
    return 10**14 + int.from_bytes(digest[:8], "big") % (9 * 10**14)


def join_path(folder: str, name: str) -> str:
    return folder.rstrip("/") + "/" + name


class _Builder:
    def __init__(self, shareid: int, mtime: int):
        self.shareid = shareid
        self.mtime = mtime
        self.count = 0

    def entries(self, specs, folder: str) -> List[Entry]:
        out = []
        for spec in specs:
            if "generate" in spec:
                gen = spec["generate"]
                for i in range(1, gen["count"] + 1):
                    out.append(self.entry({"name": gen["name"].format(i), "size": gen["size"]}, folder))
            else:
                out.append(self.entry(spec, folder))
        return out

    def entry(self, spec, folder: str) -> Entry:
        path = join_path(folder, spec["name"])
        self.count += 1
        isdir = "items" in spec
        entry = Entry(name=spec["name"], path=path, parent_path=folder, isdir=isdir,
                      size=0 if isdir else int(spec.get("size", 0)),
                      fs_id=make_fs_id(self.shareid, path), mtime=self.mtime + 3600 * self.count)
        if isdir:
            entry.children = self.entries(spec["items"], path)
        return entry


def share_from_spec(spec: dict) -> Share:
    kind = spec.get("kind", "share")
    if kind != "share" and kind not in FAILURE_KINDS:
        raise ValueError(f"unknown share kind {kind!r}")
    share = Share(id=spec["id"], surl=spec["surl"], kind=kind, uk=spec.get("uk", 0),
                  shareid=spec.get("shareid", 0), password=spec.get("password"),
                  captcha=bool(spec.get("captcha", False)), escape=spec.get("escape", "unicode"),
                  root=spec.get("root", "/"))
    if kind == "share":
        share.items = _Builder(share.shareid, spec.get("mtime", 1504767600)).entries(
            spec.get("items", []), share.root)
        share.index()
    return share


class Catalogue:
    def __init__(self, shares: List[Share]):
        self.shares = shares
        self.by_surl = {s.surl: s for s in shares}
        self.by_ids = {(s.shareid, s.uk): s for s in shares if s.kind == "share"}
        self.by_fs_id = {fs_id: (s, e) for s in shares for fs_id, e in s.by_fs_id.items()}

    @classmethod
    def load(cls, path: str) -> "Catalogue":
        with open(path, encoding="utf-8") as f:
            data = json.load(f)
        return cls([share_from_spec(s) for s in data["shares"]])

    def find_ids(self, shareid: int, uk: int) -> Optional[Share]:
        return self.by_ids.get((shareid, uk))
