"""Walks the simulator's scenarios with the requests the resolver sends."""
import base64
import hashlib
import http.client
import io
import json
import os
import shutil
import signal
import socket
import ssl
import struct
import subprocess
import sys
import tempfile
import time
import unittest
import zipfile
import zlib
from urllib.parse import quote, unquote

from sim_client import Browser, SimProcess, digits, download_form, listening_sockets, logid, stamp13
from sim_client import text_between, url_encode_utf8
from sharesim.captcha_png import FONT, SCALE
from sharesim.content import file_bytes

SIM = None
CERTS = None


def setUpModule():
    global SIM, CERTS
    CERTS = tempfile.mkdtemp(prefix="share-sim-certs-")
    SIM = SimProcess(CERTS, "--time-limit", "600")


def tearDownModule():
    code = SIM.stop()
    shutil.rmtree(CERTS, ignore_errors=True)
    if code != 0:
        raise AssertionError(f"simulator ended with {code} on SIGTERM")


def link(surl):
    return f"https://{SIM.main}/s/1{surl}"


class SimTest(unittest.TestCase):
    def setUp(self):
        SIM.hook("reset")
        self.browser = Browser(SIM)

    def tearDown(self):
        self.browser.close()

    def open_share(self, surl, password=""):
        data, reply = self.browser.open_share(link(surl), password)
        self.assertIsNotNone(data, reply.body)
        return data

    def page_url(self, surl):
        return f"https://{SIM.main}/share/init?surl={surl}"


class ShareLinkTest(SimTest):
    def test_open_share_walk(self):
        first = self.browser.get(link("OpenShare2017"))
        self.assertEqual(302, first.status)
        self.assertEqual(self.page_url("OpenShare2017"), first.header("Location"))
        self.assertEqual(b"", first.body)
        cookie = first.header("Set-Cookie")
        self.assertRegex(cookie, r"^PANWEB=1; path=/; domain=localhost; expires=")
        page = self.browser.get(first.header("Location"))
        self.assertEqual(200, page.status)
        data = json.loads(text_between(page.text, "yunData.setData(", ");"))
        self.assertEqual((2871296401, 1487234455, None), (data["uk"], data["shareid"], data["bdstoken"]))
        self.assertRegex(data["sign"], r"^[0-9a-f]{40}$")
        self.assertLessEqual(abs(data["timestamp"] - time.time()), 5)
        names = [e["server_filename"] for e in data["file_list"]["list"]]
        self.assertEqual(["资料 2017", "150 个文件", "English docs", "大文件.bin", "hello.txt", "零字节.txt"], names)
        first_entry = data["file_list"]["list"][0]
        self.assertLessEqual({"fs_id", "app_id", "parent_path", "server_mtime", "server_filename", "size",
                              "isdir", "path"}, set(first_entry))
        self.assertEqual(("/资料 2017", "/", 1, 0, "250528"),
                         (first_entry["path"], first_entry["parent_path"], first_entry["isdir"],
                          first_entry["size"], first_entry["app_id"]))
        self.assertIn("资料 2017".encode("utf-8"), page.body, "the open share writes raw UTF-8 names")

    def test_escaped_share_page(self):
        data = self.open_share("PwdAscii", "ab12")
        self.assertEqual("/我的分享/合同 扫描.pdf", data["file_list"]["list"][0]["path"])
        raw = self.browser.get(f"https://{SIM.main}/share/link?shareid=1487234456&uk=2871296401")
        blob = text_between(raw.text, "yunData.setData(", ");")
        self.assertTrue(blob.isascii())
        self.assertIn("\\u6211\\u7684\\u5206\\u4eab", blob)
        self.assertIn("\\/", blob)

    def test_failure_pages(self):
        cases = [  # surl, status of the init page, text it holds, text it must not hold
            ("Removed", 200, "链接不存在", "页面不存在"),
            ("NoSuchShare", 200, "链接不存在", "页面不存在"),
            ("NoPage", 404, "页面不存在", "yunData.setData("),
            ("NoData", 200, "</html>", "yunData.setData("),
            ("BadJson", 200, "yunData.setData('<div", "请输入提取密码"),
        ]
        for surl, status, present, absent in cases:
            with self.subTest(surl=surl):
                walk = self.browser.get(link(surl))
                self.assertEqual(self.page_url(surl), walk.header("Location"))
                page = self.browser.get(walk.header("Location"))
                self.assertEqual(status, page.status)
                self.assertIn(present, page.text)
                self.assertNotIn(absent, page.text)

    def test_empty_share_and_thousand_entries(self):
        self.assertEqual([], self.open_share("EmptyShare")["file_list"]["list"])
        entries = self.open_share("Thousand")["file_list"]["list"]
        self.assertEqual(1000, len(entries))
        self.assertEqual(1000, len({e["fs_id"] for e in entries}))

    def test_name_with_paren_semicolon_cuts_the_page_data(self):
        page = self.browser.get(self.page_url("ParenName"))
        cut = text_between(page.text, "yunData.setData(", ");")
        self.assertTrue(cut.endswith('"path":"/第1集'), cut[-40:])
        with self.assertRaises(ValueError):
            json.loads(cut)

    def test_redirect_loop_never_reaches_a_share_page(self):
        url = link("Loop")
        for hop in range(1, 30):
            reply = self.browser.get(url)
            self.assertEqual(302, reply.status)
            url = reply.header("Location")
            self.assertEqual(f"https://{SIM.main}/s/1Loop?hop={hop}", url)
            self.assertNotIn("?surl=", url)

    def test_connection_reset(self):
        for scheme in ("http", "https"):
            with self.subTest(scheme=scheme):
                with self.assertRaises((ConnectionResetError, http.client.RemoteDisconnected, ssl.SSLError)):
                    self.browser.get(f"{scheme}://{SIM.main}/s/1Reset")

    def test_stall_is_bounded_and_ends_without_answer(self):
        SIM.hook("settings", "stall_seconds=1")
        started = time.monotonic()
        with self.assertRaises(http.client.RemoteDisconnected):
            self.browser.get(link("Stall"))
        self.assertGreaterEqual(time.monotonic() - started, 0.9)

    def test_http_and_https_on_one_port_and_keep_alive(self):
        plain = self.browser.get(f"http://{SIM.main}/s/1OpenShare2017")
        secure = self.browser.get(f"https://{SIM.main}/s/1OpenShare2017")
        self.assertEqual(plain.header("Location"), secure.header("Location"))
        conn = self.browser.conns[("https", SIM.main)]
        sock = conn.sock
        self.browser.get(self.page_url("OpenShare2017"))
        self.assertIs(sock, conn.sock, "the connection was not kept alive")

    def test_unknown_paths_answer_missing_page(self):
        for url in (f"https://{SIM.main}/nothing/here", f"http://{SIM.dl}/share/list?uk=1",
                    f"http://{SIM.main}/api/sharedownload?sign=x"):
            with self.subTest(url=url):
                reply = self.browser.get(url)
                self.assertEqual(404, reply.status)
                self.assertIn("页面不存在", reply.text)


class PasswordTest(SimTest):
    def test_password_share_flow(self):
        cases = [("PwdAscii", "ab12", 1487234456, 2871296401),
                 ("PwdChinese", "口令 9", 1487234457, 3390102811)]
        for surl, password, shareid, uk in cases:
            with self.subTest(surl=surl):
                browser = Browser(SIM)
                self.addCleanup(browser.close)
                page_url = browser.get(link(surl)).header("Location")
                self.assertIn("请输入提取密码", browser.get(page_url).text)
                checked = browser.verify(page_url, password)
                self.assertEqual(0, checked.json()["errno"])
                set_cookie = checked.header("Set-Cookie")
                self.assertRegex(set_cookie, r"^BDCLND=[^;]+; path=/; domain=localhost; expires=")
                value = browser.cookie("BDCLND")
                self.assertIn("%2B", value)
                self.assertIn("/", value)
                moved = browser.get(page_url)
                self.assertEqual(f"https://{SIM.main}/share/link?shareid={shareid}&uk={uk}",
                                 moved.header("Location"))
                data = json.loads(text_between(browser.get(moved.header("Location")).text,
                                               "yunData.setData(", ");"))
                self.assertEqual((uk, shareid), (data["uk"], data["shareid"]))

    def test_wrong_passwords(self):
        cases = [("PwdAscii", "ab13", -9), ("PwdAscii", "AB12", -9), ("PwdAscii", "", -12),
                 ("PwdChinese", "口令9", -9), ("PwdChinese", "口令+9", -9)]
        for surl, password, errno in cases:
            with self.subTest(surl=surl, password=password):
                checked = self.browser.verify(self.page_url(surl), password)
                self.assertEqual(errno, checked.json()["errno"])
                self.assertIsNone(checked.header("Set-Cookie"))

    def browser_verify_url(self, query, t=None, log=None):
        return (f"https://{SIM.main}/share/verify?{query}&t={t or stamp13()}&bdstoken=null"
                f"&channel=chunlei&clienttype=0&web=1&app_id=250528&logid={log or logid()}")

    def test_malformed_verify_requests_are_refused(self):
        good_body = "pwd=ab12&vcode=&vcode_str="
        referer = self.page_url("PwdAscii")
        cases = [  # what is wrong, method, URL, body, referer
            ("GET", "GET", self.browser_verify_url("surl=PwdAscii"), None, referer),
            ("logid not Base64", "POST", self.browser_verify_url("surl=PwdAscii", log="abc"), good_body, referer),
            ("logid of a 10-digit time", "POST", self.browser_verify_url(
                "surl=PwdAscii", log=base64.b64encode(b"1504767600.1234567890123456789").decode()), good_body, referer),
            ("t of 10 digits", "POST", self.browser_verify_url("surl=PwdAscii", t="1504767600"), good_body, referer),
            ("no share key", "POST", self.browser_verify_url("x=1"), good_body, referer),
            ("keys reordered", "POST", f"https://{SIM.main}/share/verify?surl=PwdAscii&bdstoken=null&t={stamp13()}"
             f"&channel=chunlei&clienttype=0&web=1&app_id=250528&logid={logid()}", good_body, referer),
            ("no Referer", "POST", self.browser_verify_url("surl=PwdAscii"), good_body, None),
            ("Referer of another host", "POST", self.browser_verify_url("surl=PwdAscii"), good_body,
             "https://example.invalid/share/init?surl=PwdAscii"),
            ("vcode missing", "POST", self.browser_verify_url("surl=PwdAscii"), "pwd=ab12&vcode_str=", referer),
            ("password in GBK percent form", "POST", self.browser_verify_url("surl=PwdChinese"),
             "pwd=" + quote("口令 9".encode("gbk")) + "&vcode=&vcode_str=", self.page_url("PwdChinese")),
        ]
        for what, method, url, body, ref in cases:
            with self.subTest(what):
                reply = self.browser.request(method, url, body, referer=ref)
                self.assertEqual(2, reply.json()["errno"])
        unknown = self.browser.post(self.browser_verify_url("surl=NoSuchShare"), good_body, referer=referer)
        self.assertEqual(-7, unknown.json()["errno"])

    def test_init_form_link(self):
        init = f"https://{SIM.main}/share/init?shareid=1487234458&uk=3390102811"
        walk = self.browser.get(init)
        self.assertEqual(self.page_url("InitForm"), walk.header("Location"))
        self.assertIn("请输入提取密码", self.browser.get(walk.header("Location")).text)
        self.assertEqual(0, self.browser.verify(init, "init").json()["errno"])
        moved = self.browser.get(init)
        self.assertEqual(f"https://{SIM.main}/share/link?shareid=1487234458&uk=3390102811",
                         moved.header("Location"))
        data, _ = self.browser.open_share(init, "init")
        self.assertEqual(["旧版链接.txt", "归档"], [e["server_filename"] for e in data["file_list"]["list"]])

    def test_cookie_of_one_share_does_not_open_another(self):
        self.assertEqual(0, self.browser.verify(self.page_url("PwdAscii"), "ab12").json()["errno"])
        self.assertIn("请输入提取密码", self.browser.get(self.page_url("PwdChinese")).text)
        self.assertIn("请输入提取密码", self.browser.get(
            f"https://{SIM.main}/share/link?shareid=1487234457&uk=3390102811").text)


class ListingTest(SimTest):
    OPEN = (2871296401, 1487234455)

    def names(self, reply):
        body = reply.json()
        self.assertEqual(0, body["errno"], body)
        return [e["server_filename"] for e in body["list"]]

    def test_folders(self):
        cases = [
            ("/资料 2017", ["说明.txt", "照片", "年度报告(终版).docx"]),
            ("/资料 2017/照片", ["海边 日落.jpg", "a b c.png", "2017-09-07 合影.jpg"]),
            ("/English docs/deep/deeper", ["bottom.txt"]),
            ("/150 个文件", [f"文件 {i:03d}.txt" for i in range(150, 50, -1)]),
        ]
        for folder, names in cases:
            with self.subTest(folder=folder):
                self.assertEqual(names, self.names(self.browser.list_folder(*self.OPEN, folder)))

    def test_entries_carry_file_entry_fields(self):
        reply = self.browser.list_folder(*self.OPEN, "/English docs")
        self.assertTrue(reply.body.isascii(), "answers escape non-ASCII")
        self.assertIn(b"\\/English docs", reply.body)
        entries = {e["server_filename"]: e for e in reply.json()["list"]}
        self.assertEqual({"readme first.txt", "notes-v1.2_final~.md", "a);b.txt", "한글 😀.txt", "deep"},
                         set(entries))
        emoji = entries["한글 😀.txt"]
        self.assertEqual(("/English docs/한글 😀.txt", "/English docs", 0, 128),
                         (emoji["path"], emoji["parent_path"], emoji["isdir"], emoji["size"]))
        self.assertIn(b"\\ud83d\\ude00", reply.body)

    def test_listing_errors(self):
        cases = [  # what, reply, errno
            ("unknown share", self.browser.list_folder(2871296401, 99, "/资料 2017"), -7),
            ("share root is not a shared folder", self.browser.list_folder(*self.OPEN, "/"), -3),
            ("a file", self.browser.list_folder(*self.OPEN, "/hello.txt"), -3),
            ("unknown folder", self.browser.list_folder(*self.OPEN, "/资料"), -3),
            ("password share without its cookie", self.browser.list_folder(2871296401, 1487234456, "/我的分享/图纸"), -11),
            ("dir percent-encoded as GBK", self.raw_list(dir=quote("/资料 2017".encode("gbk"))), 2),
            ("num=50", self.raw_list(num="50"), 2),
            ("bdstoken not the page's", self.raw_list(bdstoken="abc"), 2),
            ("t without 0.", self.raw_list(t="1234567890123456"), 2),
            ("showempty=1", self.raw_list(showempty="1"), 2),
        ]
        for what, reply, errno in cases:
            with self.subTest(what):
                self.assertEqual(errno, reply.json()["errno"])

    def raw_list(self, num="100", bdstoken="null", t=None, showempty="0", dir=None):
        dir = dir or url_encode_utf8("/资料 2017")
        return self.browser.get(
            f"http://{SIM.main}/share/list?uk=2871296401&shareid=1487234455&order=server_filename&desc=1"
            f"&showempty={showempty}&web=1&page=1&num={num}&dir={dir}&t={t or '0.' + digits(16)}"
            f"&bdstoken={bdstoken}&channel=chunlei&clienttype=0&web=1&app_id=250528&logid={logid()}")

    def test_password_share_lists_with_its_cookie(self):
        self.open_share("PwdAscii", "ab12")
        self.assertEqual(["二层平面.dwg", "一层平面.dwg"],
                         self.names(self.browser.list_folder(2871296401, 1487234456, "/我的分享/图纸")))
        self.assertEqual(-3, self.browser.list_folder(2871296401, 1487234456, "/我的分享").json()["errno"],
                         "the owner's folder above the share stays closed")


def read_png(data: bytes):
    """Rows of (r, g, b) from an 8-bit RGB PNG with filter type 0, checking every chunk's CRC."""
    assert data[:8] == b"\x89PNG\r\n\x1a\n"
    pos, idat, size = 8, b"", None
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        chunk = data[pos + 8:pos + 8 + length]
        crc, = struct.unpack(">I", data[pos + 8 + length:pos + 12 + length])
        assert crc == zlib.crc32(kind + chunk), kind
        if kind == b"IHDR":
            size = struct.unpack(">IIBBBBB", chunk)
        elif kind == b"IDAT":
            idat += chunk
        pos += 12 + length
    width, height, depth, colour = size[:4]
    assert (depth, colour) == (8, 2)
    raw = zlib.decompress(idat)
    stride = 1 + 3 * width
    rows = []
    for y in range(height):
        line = raw[y * stride:(y + 1) * stride]
        assert line[0] == 0
        rows.append([tuple(line[1 + 3 * x:4 + 3 * x]) for x in range(width)])
    return rows


def trimmed(bitmap):
    rows = [r for r in bitmap if "#" in r]
    cols = [i for i in range(len(rows[0])) if any(r[i] == "#" for r in rows)]
    return tuple("".join(r[i] for i in range(cols[0], cols[-1] + 1)) for r in rows)


def read_captcha(rows):
    """The characters a reader sees: dark columns grouped into glyphs, matched to the font."""
    dark = lambda px: sum(px) < 360  # noqa: E731
    columns = [x for x in range(len(rows[0])) if any(dark(r[x]) for r in rows)]
    groups, text = [], ""
    for x in columns:
        if groups and x == groups[-1][-1] + 1:
            groups[-1].append(x)
        else:
            groups.append([x])
    shapes = {trimmed(glyph): ch for ch, glyph in FONT.items()}
    for group in groups:
        ys = [y for y in range(len(rows)) if any(dark(rows[y][x]) for x in group)]
        cells = tuple("".join("#" if dark(rows[y][x]) else " " for x in group[::SCALE])
                      for y in range(ys[0], ys[-1] + 1, SCALE))
        text += shapes.get(trimmed(cells), "?")
    return text


class CaptchaTest(SimTest):
    def test_captcha_picture_shows_its_code(self):
        for scheme in ("http", "https"):
            with self.subTest(scheme=scheme):
                reply = self.browser.getcaptcha(scheme).json()
                self.assertEqual(0, reply["errno"])
                self.assertRegex(reply["vcode_str"], r"^[0-9A-F]{40}$")
                self.assertEqual(f"{scheme}://{SIM.main}/cgi-bin/genimage?{reply['vcode_str']}", reply["vcode_img"])
                image = self.browser.get(reply["vcode_img"])
                self.assertEqual("image/png", image.header("Content-Type"))
                code = SIM.hook("captcha", "vcode_str=" + reply["vcode_str"])["code"]
                self.assertEqual(code, read_captcha(read_png(image.body)))
                self.assertEqual(code, SIM.hook("captcha")["code"], "the last issued one")

    def test_malformed_captcha_request(self):
        reply = self.browser.get(f"http://{SIM.main}/api/getcaptcha?prod=pan&web=1&t=0.{digits(16)}"
                                 f"&bdstoken=null&channel=chunlei&clienttype=0&web=1&app_id=250528")
        self.assertEqual(2, reply.json()["errno"])
        self.assertEqual(404, self.browser.get(f"http://{SIM.main}/cgi-bin/genimage?{'0' * 40}").status)


class DownloadTest(SimTest):
    def entries(self, data):
        return {e["server_filename"]: e for e in data["file_list"]["list"]}

    def test_file_links_serve_the_listed_bytes(self):
        data = self.open_share("OpenShare2017")
        chosen = [self.entries(data)[n] for n in ("hello.txt", "大文件.bin", "零字节.txt")]
        reply = self.browser.sharedownload(data, [e["fs_id"] for e in chosen]).json()
        self.assertEqual(0, reply["errno"])
        self.assertEqual([e["fs_id"] for e in chosen], [x["fs_id"] for x in reply["list"]])
        for entry, item in zip(chosen, reply["list"]):
            with self.subTest(name=entry["server_filename"]):
                self.assertTrue(item["dlink"].startswith(f"http://{SIM.dl}/file/"))
                got = self.browser.get(item["dlink"])
                self.assertEqual(200, got.status)
                self.assertEqual(entry["size"], len(got.body))
                self.assertEqual(str(entry["size"]), got.header("Content-Length"))
                self.assertEqual(file_bytes(entry["fs_id"], entry["size"]), got.body)
                self.assertIn(hashlib.md5(got.body).hexdigest(), item["dlink"])
        bodies = {self.browser.get(x["dlink"]).body[:32] for x in reply["list"][:2]}
        self.assertEqual(2, len(bodies), "different files have different bytes")

    def test_ranges(self):
        data = self.open_share("OpenShare2017")
        hello = self.entries(data)["hello.txt"]
        dlink = self.browser.sharedownload(data, [hello["fs_id"]]).json()["list"][0]["dlink"]
        whole = self.browser.get(dlink).body
        cases = [("bytes=0-99", 206, whole[:100], "bytes 0-99/1024"),
                 ("bytes=1000-", 206, whole[1000:], "bytes 1000-1023/1024"),
                 ("bytes=-10", 206, whole[-10:], "bytes 1014-1023/1024"),
                 ("bytes=1000-5000", 206, whole[1000:], "bytes 1000-1023/1024"),
                 ("bytes=1024-", 416, b"", "bytes */1024"),
                 ("bytes=-0", 416, b"", "bytes */1024"),
                 ("pages=1-2", 416, b"", "bytes */1024")]
        for asked, status, body, content_range in cases:
            with self.subTest(asked):
                got = self.browser.get(dlink, headers=[("Range", asked)])
                self.assertEqual((status, body, content_range),
                                 (got.status, got.body, got.header("Content-Range")))
        forged = dlink.replace("sign=", "sign=0")
        self.assertEqual(403, self.browser.get(forged).status)

    def test_batch_zip(self):
        data = self.open_share("OpenShare2017")
        entries = self.entries(data)
        chosen = [entries["资料 2017"], entries["hello.txt"]]
        reply = self.browser.sharedownload(data, [e["fs_id"] for e in chosen], zip=True).json()
        self.assertEqual(0, reply["errno"])
        self.assertNotIn("list", reply)
        got = self.browser.get(reply["dlink"])
        self.assertEqual("application/zip", got.header("Content-Type"))
        archive = zipfile.ZipFile(io.BytesIO(got.body))
        self.assertIsNone(archive.testzip())
        self.assertEqual({"资料 2017/", "资料 2017/照片/", "资料 2017/照片/海边 日落.jpg",
                          "资料 2017/照片/a b c.png", "资料 2017/照片/2017-09-07 合影.jpg",
                          "资料 2017/空文件夹/", "资料 2017/说明.txt", "资料 2017/年度报告(终版).docx",
                          "hello.txt"}, set(archive.namelist()))
        files = {f["path"]: f for f in SIM.hook("files")["files"] if f["surl"] == "OpenShare2017"}
        for name in ("资料 2017/照片/海边 日落.jpg", "hello.txt"):
            with self.subTest(name=name):
                info = files["/" + name]
                content = archive.read(name)
                self.assertEqual((info["size"], info["md5"]), (len(content), hashlib.md5(content).hexdigest()))

    def test_link_request_errors(self):
        data = self.open_share("OpenShare2017")
        hello = self.entries(data)["hello.txt"]["fs_id"]
        folder = self.entries(data)["资料 2017"]["fs_id"]
        thousand = self.open_share("Thousand")
        many = [e["fs_id"] for e in thousand["file_list"]["list"]]
        other = dict(data, sign="0" * 40)
        stranger = dict(data, shareid=99)
        cases = [  # what, share data, ids, zip, errno
            ("sign not issued", other, [hello], False, 2),
            ("unknown share", stranger, [hello], False, -7),
            ("empty id list", data, [], False, 2),
            ("folder without batch", data, [folder], False, 2),
            ("id of another share", data, [many[0]], False, -3),
            ("1000 ids", thousand, many, True, -33),
        ]
        for what, info, ids, zip, errno in cases:
            with self.subTest(what):
                self.assertEqual(errno, self.browser.sharedownload(info, ids, zip).json()["errno"])

    def test_malformed_link_requests(self):
        data = self.open_share("OpenShare2017")
        hello = self.entries(data)["hello.txt"]["fs_id"]
        url = (f"http://{SIM.dl}/api/sharedownload?sign={data['sign']}&timestamp={data['timestamp']}"
               f"&bdstoken=null&channel=chunlei&clienttype=0&web=1&app_id=250528&logid={logid()}")
        form = download_form(data, [hello], "")
        referer = self.page_url("OpenShare2017")
        cases = [  # what, url, body, referer, extra headers
            ("no encrypt", url, form.replace("encrypt=0&", ""), referer, []),
            ("brackets not encoded", url, form.replace("%5B", "[").replace("%5D", "]"), referer, []),
            ("extra not JSON", url, form.replace('{"sekey":""}', "sekey"), referer, []),
            ("no Referer", url, form, None, []),
            ("app_id missing", url.replace("&app_id=250528", ""), form, referer, []),
            ("JSON body", url, json.dumps({"fid_list": [hello]}), referer, []),
        ]
        for what, target, body, ref, headers in cases:
            with self.subTest(what):
                reply = self.browser.post(target, body, referer=ref, headers=headers)
                self.assertEqual(2, reply.json()["errno"])
        self.assertEqual(2, self.browser.get(url).json()["errno"], "GET")

    def test_stale_timestamp(self):
        data = self.open_share("OpenShare2017")
        SIM.hook("settings", "sign_ttl=0")
        time.sleep(1.1)
        hello = self.entries(data)["hello.txt"]["fs_id"]
        self.assertEqual(112, self.browser.sharedownload(data, [hello]).json()["errno"])

    def test_password_share_needs_its_sekey(self):
        data = self.open_share("PwdChinese", "口令 9")
        fs_id = self.entries(data)["课件.ppt"]["fs_id"]
        cookie = self.browser.cookie("BDCLND")
        url = (f"http://{SIM.dl}/api/sharedownload?sign={data['sign']}&timestamp={data['timestamp']}"
               f"&bdstoken=null&channel=chunlei&clienttype=0&web=1&app_id=250528&logid={logid()}")
        cases = [("cookie value as in the jar", cookie, 0),
                 ("no sekey", "", -11),
                 ("percent-decoded once more", unquote(cookie), -11),
                 ("percent-encoded once more", quote(cookie, safe=""), -11)]
        for what, sekey, errno in cases:
            with self.subTest(what):
                reply = self.browser.post(url, download_form(data, [fs_id], sekey),
                                          referer=self.page_url("PwdChinese"))
                self.assertEqual(errno, reply.json()["errno"])

    def captcha(self):
        token = self.browser.getcaptcha().json()["vcode_str"]
        return token, SIM.hook("captcha", "vcode_str=" + token)["code"]

    def test_captcha_share(self):
        data = self.open_share("NeedCaptcha")
        fs_id = self.entries(data)["热门资源.mp4"]["fs_id"]
        self.assertEqual(-20, self.browser.sharedownload(data, [fs_id]).json()["errno"])
        token, code = self.captcha()
        self.assertEqual(-20, self.browser.sharedownload(data, [fs_id], answer="ZZZZ" if code != "ZZZZ" else "YYYY",
                                                         vcode_str=token).json()["errno"])
        self.assertEqual(-20, self.browser.sharedownload(data, [fs_id], answer=code, vcode_str=token).json()["errno"],
                         "a captcha answers one request only")
        token, code = self.captcha()
        ok = self.browser.sharedownload(data, [fs_id], answer=code.lower(), vcode_str=token).json()
        self.assertEqual(0, ok["errno"])
        self.assertEqual(2222, len(self.browser.get(ok["list"][0]["dlink"]).body))
        self.assertEqual(-20, self.browser.sharedownload(data, [fs_id]).json()["errno"])

    def test_rate_limit(self):
        SIM.hook("settings", "rate_limit=2")
        data = self.open_share("OpenShare2017")
        hello = [self.entries(data)["hello.txt"]["fs_id"]]
        answers = [self.browser.sharedownload(data, hello).json()["errno"] for _ in range(3)]
        self.assertEqual([0, 0, 5], answers)
        token, code = self.captcha()
        self.assertEqual(0, self.browser.sharedownload(data, hello, answer=code, vcode_str=token).json()["errno"])
        self.assertEqual(0, self.browser.sharedownload(data, hello).json()["errno"], "the captcha reset the count")


class ScenarioTest(SimTest):
    def test_api_scenarios(self):
        data = self.open_share("OpenShare2017")
        hello = [e["fs_id"] for e in data["file_list"]["list"] if e["server_filename"] == "hello.txt"]
        calls = [lambda: self.browser.list_folder(2871296401, 1487234455, "/资料 2017"),
                 lambda: self.browser.getcaptcha(),
                 lambda: self.browser.sharedownload(data, hello),
                 lambda: self.browser.verify(self.page_url("PwdAscii"), "ab12")]
        SIM.hook("scenario", "name=html_api&on=1")
        for call in calls:
            reply = call()
            self.assertTrue(reply.header("Content-Type").startswith("text/html"))
            self.assertRaises(ValueError, reply.json)
        SIM.hook("scenario", "name=html_api&on=0")
        SIM.hook("scenario", "name=reset_api&on=1")
        for call in calls:
            self.assertRaises((ConnectionResetError, http.client.RemoteDisconnected, ssl.SSLError), call)
        SIM.hook("scenario", "name=reset_api&on=0")
        SIM.hook("settings", "stall_seconds=1")
        SIM.hook("scenario", "name=stall_api&on=1")
        started = time.monotonic()
        self.assertEqual(0, calls[0]().json()["errno"])
        self.assertGreaterEqual(time.monotonic() - started, 0.9)

    def test_header_scenarios(self):
        SIM.hook("scenario", "name=decoy_cookie&on=1")
        SIM.hook("scenario", "name=content_location&on=1")
        walk = self.browser.get(link("PwdAscii"))
        self.assertIn("BDCLNDX=decoy", " ".join(walk.header_values("Set-Cookie")))
        page = self.browser.get(walk.header("Location"))
        self.assertIsNotNone(page.header("Content-Location"))
        self.assertIsNone(page.header("Location"))
        checked = self.browser.verify(walk.header("Location"), "ab12")
        self.assertIsNotNone(checked.header("Content-Location"))
        self.assertEqual(["PANWEB", "BDCLNDX", "BDCLND"], [n for n, _ in self.browser.jar])

    def test_scenario_hook_refuses_unknown_names(self):
        self.assertIn("error", SIM.hook("scenario", "name=nope&on=1"))
        self.assertIn("error", SIM.hook("settings", "rate_limit=many"))
        self.assertFalse(any(SIM.hook("scenario")["scenarios"].values()), "reset switches all off")


class RecordingTest(SimTest):
    def test_requests_are_recorded_as_sent(self):
        page_url = self.page_url("PwdAscii")
        self.browser.get(link("PwdAscii"))
        self.browser.verify(page_url, "ab12")
        records = SIM.hook("requests")["requests"]
        self.assertEqual(["GET", "POST"], [r["method"] for r in records])
        post = records[1]
        self.assertEqual(("main", "https", 200), (post["host"], post["scheme"], post["status"]))
        self.assertTrue(post["url"].startswith(f"https://{SIM.main}/share/verify?surl=PwdAscii&t="))
        self.assertEqual("pwd=ab12&vcode=&vcode_str=", post["body"])
        self.assertEqual(["Referer", "Cookie", "Accept", "Accept-Language", "Content-Type", "Host",
                          "Content-Length", "User-Agent", "Cache-Control"], [h[0] for h in post["headers"]])
        self.assertEqual(["Referer", page_url], post["headers"][0])
        self.assertEqual([["PANWEB", "1"]], post["cookies"])
        self.assertEqual([], records[0]["cookies"], "an empty Cookie line holds no cookie")
        self.assertEqual([post], SIM.hook("requests", f"since={records[0]['seq']}")["requests"])

    def test_reset_clears_records_and_hooks_are_not_recorded(self):
        self.browser.get(link("OpenShare2017"))
        SIM.hook("captcha")
        self.assertEqual(1, len(SIM.hook("requests")["requests"]))
        SIM.hook("reset")
        self.assertEqual([], SIM.hook("requests")["requests"])

    def test_failed_connections_are_recorded_with_their_fate(self):
        with self.assertRaises(Exception):
            self.browser.get(f"http://{SIM.main}/s/1Reset")
        self.assertEqual(["reset"], [r["status"] for r in SIM.hook("requests")["requests"]])


class MisbehavingClientTest(SimTest):
    def raw(self, port):
        sock = socket.create_connection(("127.0.0.1", port), timeout=10)
        self.addCleanup(sock.close)
        return sock

    def test_server_keeps_serving_after_bad_clients(self):
        big = next(f for f in SIM.hook("files")["files"] if f["path"] == "/大文件.bin")
        data = self.open_share("OpenShare2017")
        dlink = self.browser.sharedownload(data, [big["fs_id"]]).json()["list"][0]["dlink"]
        target = dlink.split(SIM.dl, 1)[1]

        def leaves_mid_download():
            sock = self.raw(SIM.ready["dl_port"])
            sock.sendall(f"GET {target} HTTP/1.1\r\nHost: {SIM.dl}\r\n\r\n".encode())
            sock.recv(1024)
            sock.close()

        def half_handshake():
            self.raw(SIM.ready["main_port"]).sendall(b"\x16\x03\x01\x00\xff\x01")

        def garbage_line():
            sock = self.raw(SIM.ready["main_port"])
            sock.sendall(b"HELLO\r\n\r\n")
            answer = sock.recv(4096)
            self.assertTrue(answer.startswith(b"HTTP/1.1 400"), answer[:40])
            self.assertIn(b"Content-Length:", answer)

        def huge_body():
            sock = self.raw(SIM.ready["main_port"])
            sock.sendall(b"POST /share/verify?surl=PwdAscii HTTP/1.1\r\nHost: x\r\nContent-Length: 99999999\r\n\r\n")
            self.assertTrue(sock.recv(4096).startswith(b"HTTP/1.1 400"))

        cases = [("connects and leaves", lambda: self.raw(SIM.ready["main_port"]).close()),
                 ("leaves mid-download", leaves_mid_download),
                 ("half a TLS handshake", half_handshake),
                 ("garbage request line", garbage_line),
                 ("body beyond 1 MiB", huge_body)]
        for what, misbehave in cases:
            with self.subTest(what):
                misbehave()
                fresh = Browser(SIM)
                self.addCleanup(fresh.close)
                self.assertEqual(302, fresh.get(link("OpenShare2017")).status)
                self.assertEqual(big["size"], len(fresh.get(dlink, headers=[("Range", "bytes=0-")]).body))


class ProcessTest(unittest.TestCase):
    def test_listens_on_loopback_only(self):
        for port in (SIM.ready["main_port"], SIM.ready["dl_port"]):
            with self.subTest(port=port):
                self.assertEqual(["0100007F"], listening_sockets(port))

    def test_ready_file_and_line(self):
        self.assertEqual(f"share-sim ready main={SIM.ready['main_port']} dl={SIM.ready['dl_port']}", SIM.ready_line)
        self.assertEqual(SIM.proc.pid, SIM.ready["pid"])
        self.assertEqual([], [n for n in os.listdir(SIM.folder) if n != "ready.json"], "no temp file left")

    def test_time_limit_ends_the_process(self):
        other = SimProcess(CERTS, "--time-limit", "1")
        try:
            self.assertEqual(0, other.proc.wait(15))
        finally:
            other.stop()

    def test_sigterm_during_a_stall_ends_at_once(self):
        other = SimProcess(CERTS, "--time-limit", "60")
        try:
            conn = http.client.HTTPConnection("127.0.0.1", other.ready["main_port"], timeout=20)
            conn.putrequest("GET", "/s/1Stall")
            conn.endheaders()
            time.sleep(0.3)
            started = time.monotonic()
            self.assertEqual(0, other.stop(signal.SIGTERM))
            self.assertLess(time.monotonic() - started, 4, "a stall of 5 s held the process")
            conn.close()
        finally:
            other.stop()

    def test_port_in_use_fails_at_once(self):
        taken = SIM.ready["main_port"]
        run = subprocess.run([sys.executable, os.path.join(os.path.dirname(os.path.abspath(__file__)), "share_sim.py"),
                              "--port", str(taken), "--dl-port", "0", "--certs", CERTS, "--time-limit", "30"],
                             capture_output=True, text=True, timeout=30, stdin=subprocess.DEVNULL)
        self.assertEqual(2, run.returncode)
        self.assertIn(f"port {taken}", run.stderr)
        self.assertEqual("", run.stdout, "no ready line")

    def test_missing_certificates_are_made(self):
        folder = tempfile.mkdtemp(prefix="share-sim-newcerts-")
        self.addCleanup(shutil.rmtree, folder, True)
        other = SimProcess(folder, "--time-limit", "30")
        try:
            self.assertTrue(os.path.exists(os.path.join(folder, "localhost.key")))
            tls = ssl.create_default_context(cafile=os.path.join(folder, "ca.pem"))
            conn = http.client.HTTPSConnection("localhost", other.ready["main_port"], timeout=20, context=tls)
            conn.request("GET", "/s/1OpenShare2017")
            self.assertEqual(302, conn.getresponse().status)
            conn.close()
        finally:
            self.assertEqual(0, other.stop())


if __name__ == "__main__":
    unittest.main()
