#!/usr/bin/env python3
"""End-to-end check of Quillon.exe under Wine on an X display: every control of the main
window with its class, geometry, texts and styles, the columns and menus, the five start-up
lines, the Thanks window from the menu, and a clean exit (code 0 within 5 s of closing).
With --screenshots DIR it also writes quillon-main.png and quillon-thanks.png there.

Run by CTest with the Wine environment (WINEPREFIX, ...) set; exits 77 (skipped) without a
display. Every wait is bounded."""
import argparse
import os
import re
import subprocess
import sys
import tempfile
import time

SKIP = 77
WINE = os.environ.get("QUILLON_WINE", "wine")
IMAGEMAGICK_CONVERT = "/usr/bin/convert-im6.q16" if os.path.exists("/usr/bin/convert-im6.q16") else "/usr/bin/convert"
IMPORT = "/usr/bin/import-im6.q16" if os.path.exists("/usr/bin/import-im6.q16") else "/usr/bin/import"

# id, class, x, y, width, height, text; in creation order (which is also the z-order, top first).
MAIN_CONTROLS = [
    (1001, "button", 800, 6, 120, 16, "打包为压缩文件"),
    (1002, "static", 7, 4, 419, 20, "2017年09月07日15：00更新"),
    (1003, "static", 561, 504, 64, 21, "解析链接："),
    (1004, "edit", 625, 504, 296, 21, ""),
    (1005, "edit", 827, 583, 91, 20, ""),
    (1006, "static", 753, 582, 91, 24, "验证码："),
    (1007, "quillonpicture", 768, 536, 152, 42, ""),
    (1008, "button", 10, 34, 14, 14, ""),
    (1009, "static", 8, 13, 912, 41, ""),
    (1010, "syslistview32", 5, 28, 916, 467, ""),
    (1011, "edit", 5, 501, 549, 146, None),  # the log box: checked line by line below
    (1012, "button", 567, 615, 352, 32, "解析"),
    (1013, "static", 561, 536, 66, 20, "提取密码："),
    (1014, "edit", 625, 536, 91, 20, ""),
]
# Style bits that must be set (mask, value) and that must be clear.
STYLE_SET = {
    1001: 0x0F, 1008: 0x0F,           # BS_AUTOCHECKBOX in the button type bits
    1005: 0x01,                       # ES_CENTER
    1011: 0x00200004,                 # WS_VSCROLL | ES_MULTILINE
    1010: 0x04000001,                 # WS_CLIPSIBLINGS | LVS_REPORT
}
STYLE_VALUE = {1001: 0x03, 1008: 0x03, 1005: 0x01, 1011: 0x00200004, 1010: 0x04000001}
ES_PASSWORD, ES_READONLY = 0x20, 0x800
EDITS = (1004, 1005, 1011, 1014)
COLUMNS = [("    文件名", 600), ("大小", 100), ("修改日期", 150), ("下载地址", 0)]
STARTUP_NOTES = [
    "06.17版：增加目录翻阅与文件压缩功能",
    "06.20版：支持解析链接： .../share/init?shareid",
    "09.05版：更新部分链接解析后目录为空不显示的问题",
    "09.07版：随百度更新修正解析方法.",
    "免费软件，请勿贩卖！！！！！！",
]
STAMP = re.compile(r"^\d{4}\.\d{2}\.\d{2}-\d{2}\.\d{2}\.\d{2}：")
# Thanks window: id, parent id, class, x, y, width, height (relative to the direct parent).
THANKS_CONTROLS = [
    (3001, 0, "button", 17, 8, 200, 200),
    (3011, 3001, "quillonpicture", 25, 28, 150, 150),
    (3002, 0, "button", 17, 215, 200, 200),
    (3012, 3002, "quillonpicture", 20, 24, 160, 160),
    (3003, 0, "static", 119, 426, 160, 32),
]
TEAL = (0, 128, 128)

failures = []


def check(ok, what):
    if not ok:
        failures.append(what)
        print("FAIL:", what, flush=True)
    return ok


def unescape(s):
    out, i = [], 0
    while i < len(s):
        if s[i] == "\\" and i + 1 < len(s):
            out.append({"n": "\n", "r": "\r", "t": "\t"}.get(s[i + 1], s[i + 1]))
            i += 2
        else:
            out.append(s[i])
            i += 1
    return "".join(out)


class Driver:
    def __init__(self, exe):
        self.exe = exe

    def run(self, *args, ok=True):
        r = subprocess.run([WINE, self.exe, *map(str, args)], stdin=subprocess.DEVNULL, capture_output=True,
                           timeout=60)
        out = r.stdout.decode("utf-8", "replace").splitlines()
        if ok and r.returncode != 0:
            raise RuntimeError(f"gui-driver {' '.join(map(str, args))}: {r.returncode} {out}")
        return out

    def find_window(self, caption, children, attempts=3):
        """Waits for the window and its children. Right after another Wine program has ended,
        Wine's desktop process may be going away and a window search can then hang (seen under
        Xvfb): such a search is given up after 12 s and started again."""
        for attempt in range(attempts):
            try:
                r = subprocess.run([WINE, self.exe, "find", caption, str(children), "8000"],
                                   stdin=subprocess.DEVNULL, capture_output=True, timeout=12)
                if r.returncode == 0:
                    return
            except subprocess.TimeoutExpired:
                print(f"window search hung (attempt {attempt + 1})", flush=True)
        raise RuntimeError(f"the window {caption} did not come")

    def controls(self, caption):
        pattern = re.compile(r"control id=(-?\d+) parent=(-?\d+) class=(\S+) rect=(-?\d+),(-?\d+),(\d+),(\d+) "
                             r"visible=(\d) enabled=(\d) style=(0x[0-9a-f]+) exstyle=(0x[0-9a-f]+) text=(.*)$")
        found = []
        for line in self.run("controls", caption):
            m = pattern.match(line)
            if m:
                g = m.groups()
                found.append({"id": int(g[0]), "parent": int(g[1]), "class": g[2].lower(),
                              "rect": tuple(map(int, g[3:7])), "visible": g[7] == "1", "enabled": g[8] == "1",
                              "style": int(g[9], 16), "exstyle": int(g[10], 16), "text": unescape(g[11])})
        return found

    def screen_rect(self, caption, control=0):
        line = self.run("screen-rect", caption, control)[0]
        return tuple(map(int, line.split()[1].split(",")))


def pixel(shot, x, y):
    out = subprocess.run([IMAGEMAGICK_CONVERT, shot, "-crop", f"1x1+{x}+{y}", "-depth", "8", "txt:-"],
                         capture_output=True, text=True, timeout=30).stdout
    m = re.search(r"\((\d+),(\d+),(\d+)", out.splitlines()[-1])
    return tuple(int(v) for v in m.groups()) if m else None


def colour_count(shot, rect):
    out = subprocess.run([IMAGEMAGICK_CONVERT, shot, "-crop", "{2}x{3}+{0}+{1}".format(*rect), "+repage",
                          "-format", "%k", "info:"], capture_output=True, text=True, timeout=30).stdout
    return int(out.strip() or 0)


def take_screenshot(path, rect=None):
    args = [IMPORT, "-window", "root"]
    if rect:
        args += ["-crop", "{2}x{3}+{0}+{1}".format(*rect), "+repage"]
    subprocess.run(args + [path], check=True, timeout=30)


def check_main_window(driver, tmp):
    rect = driver.screen_rect("Quillon")
    check(rect == (50, 50, 932, 710), f"main window at 50,50 sized 932x710, got {rect}")
    controls = driver.controls("Quillon")
    top = [c for c in controls if c["parent"] == 0]
    check([c["id"] for c in top] == [c[0] for c in MAIN_CONTROLS],
          f"controls in creation order: {[c['id'] for c in top]}")
    by_id = {c["id"]: c for c in top}
    for cid, cls, x, y, w, h, text in MAIN_CONTROLS:
        c = by_id.get(cid)
        if not check(c is not None, f"control {cid} exists"):
            continue
        check(c["class"] == cls, f"control {cid} class {cls}, got {c['class']}")
        check(c["rect"] == (x, y, w, h), f"control {cid} at {(x, y, w, h)}, got {c['rect']}")
        check(c["visible"] and c["enabled"], f"control {cid} visible and enabled")
        if text is not None:
            check(c["text"] == text, f"control {cid} text {text!r}, got {c['text']!r}")
        if cid in STYLE_SET:
            check(c["style"] & STYLE_SET[cid] == STYLE_VALUE[cid], f"control {cid} style {c['style']:#x}")
        if cid in EDITS:
            check(c["style"] & (ES_PASSWORD | ES_READONLY) == 0, f"edit {cid} neither masked nor read-only")
    headers = [c for c in controls if c["parent"] == 1010 and c["class"] == "sysheader32"]
    check(len(headers) == 1, "the list has its header")
    columns = []
    for line in driver.run("list-columns", "Quillon", 1010):
        m = re.match(r"column \d+ width=(\d+) text=(.*)$", line)
        if m:
            columns.append((unescape(m.group(2)), int(m.group(1))))
    check(columns == COLUMNS, f"columns {columns}")
    check(driver.run("list-count", "Quillon", 1010) == ["count 0"], "the list starts empty")
    zorder = driver.run("zorder", "Quillon")[0].split()[1:]
    check(zorder.index("1008") < zorder.index("1010"), f"SelectAll above the list: {zorder}")
    check_startup_notes(driver)
    check_colours(driver, tmp)


def check_startup_notes(driver):
    log = unescape(driver.run("get-text", "Quillon", 1011)[0][len("text "):])
    check(not log.startswith("\r\n") and not log.endswith("\r\n"), "no leading or trailing line break")
    lines = log.split("\r\n")
    check(len(lines) == 5, f"five start-up lines, got {lines!r}")
    for line, note in zip(lines, STARTUP_NOTES):
        check(STAMP.match(line) is not None and line[STAMP.match(line).end():] == note if STAMP.match(line) else False,
              f"stamped line {note!r}, got {line!r}")


def check_colours(driver, tmp):
    """Teal edit boxes, and SelectAll's white box drawn over the grey header."""
    shot = os.path.join(tmp, "root.png")
    take_screenshot(shot)
    for cid in EDITS:
        x, y, w, h = driver.screen_rect("Quillon", cid)
        colour = pixel(shot, x + 3, y + h - 3)  # bottom left: no text there, no scroll bar
        check(colour == TEAL, f"edit {cid} teal, got {colour}")
    # SelectAll lies over the list header: it must stay visible when the list repaints, and a
    # real click there must reach it rather than the header or the strip label.
    driver.run("redraw", "Quillon", 1010)
    time.sleep(0.2)
    take_screenshot(shot)
    x, y, w, h = driver.screen_rect("Quillon", 1008)
    colour = pixel(shot, x + 6, y + 7)
    check(colour == (255, 255, 255), f"SelectAll's box shows above the repainted header, got {colour}")
    driver.run("mouse-click", "Quillon", 1008)
    check(driver.run("checked", "Quillon", 1008) == ["checked 1"], "a click on SelectAll ticks it")
    driver.run("mouse-click", "Quillon", 1008)
    check(driver.run("checked", "Quillon", 1008) == ["checked 0"], "a second click clears it")


def check_thanks_window(driver):
    """Opened from the menu; its geometry, texts, and both pictures drawn."""
    # As a person does it: a click on "mene" in the menu bar, which lies right above the client
    # area, then on the popup's one entry. (Wine keeps menus inside their process, so their
    # captions are checked in-process by shell_win_test.)
    x, y, _, _ = driver.screen_rect("Quillon", 1001)
    client_left, client_top = x - 800, y - 6
    driver.run("screen-click", client_left + 15, client_top - 9)
    left, top, width, _ = map(int, driver.run("popup-menu", 5000)[0].split()[1].split(","))
    driver.run("screen-click", left + width // 2, top + 11)
    driver.find_window("Thanks", 5)
    rect = driver.screen_rect("Thanks")
    check(rect == (50, 50, 240, 496), f"Thanks window at 50,50 sized 240x496, got {rect}")
    by_id = {c["id"]: c for c in driver.controls("Thanks")}
    for cid, parent, cls, x, y, w, h in THANKS_CONTROLS:
        c = by_id.get(cid)
        if not check(c is not None, f"Thanks control {cid} exists"):
            continue
        check((c["parent"], c["class"], c["rect"]) == (parent, cls, (x, y, w, h)),
              f"Thanks control {cid}: {(parent, cls, (x, y, w, h))}, got {(c['parent'], c['class'], c['rect'])}")
    check(by_id.get(3003, {}).get("text") == "愿风指引你的道路...", "farewell label text")
    for gid in (3001, 3002):
        check(bool(by_id.get(gid, {}).get("text")), f"group {gid} names its payment service")
    time.sleep(0.3)
    with tempfile.TemporaryDirectory() as tmp:
        shot = os.path.join(tmp, "thanks.png")
        take_screenshot(shot)
        for pid in (3011, 3012):
            colours = colour_count(shot, driver.screen_rect("Thanks", pid))
            check(colours > 3, f"picture {pid} shows its payment code ({colours} colours)")


def use_unmanaged_windows():
    """Xvfb has no window manager, yet Wine treats top-level windows as managed: it then waits
    2 s for the missing manager at every close, and leaves the frame undrawn. For Quillon.exe
    only (its AppDefaults key in the prefix) Wine manages the windows itself: the frame with
    caption and icon is drawn and closing takes a tenth of a second."""
    key = r"HKCU\Software\Wine\AppDefaults\Quillon.exe\X11 Driver"
    subprocess.run([WINE, "reg", "add", key, "/v", "Managed", "/t", "REG_SZ", "/d", "N", "/f"],
                   stdin=subprocess.DEVNULL, capture_output=True, timeout=60, check=True)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--quillon", required=True)
    ap.add_argument("--driver", required=True)
    ap.add_argument("--screenshots")
    args = ap.parse_args()
    if not os.environ.get("DISPLAY"):
        print("no DISPLAY: skipped")
        return SKIP
    driver = Driver(args.driver)
    use_unmanaged_windows()
    started = time.monotonic()
    program = subprocess.Popen([WINE, args.quillon], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    try:
        driver.find_window("Quillon", len(MAIN_CONTROLS) + 1)
        print(f"main window ready after {time.monotonic() - started:.2f} s", flush=True)
        with tempfile.TemporaryDirectory() as tmp:
            check_main_window(driver, tmp)
        if args.screenshots:
            take_screenshot(os.path.join(args.screenshots, "quillon-main.png"), driver.screen_rect("Quillon"))
        check_thanks_window(driver)
        if args.screenshots:
            time.sleep(0.3)
            take_screenshot(os.path.join(args.screenshots, "quillon-thanks.png"), driver.screen_rect("Thanks"))
        closing = time.monotonic()
        driver.run("close", "Quillon")
        try:
            code = program.wait(timeout=5)
            print(f"exited with {code} after {time.monotonic() - closing:.2f} s", flush=True)
            check(code == 0, f"exit code 0, got {code}")
        except subprocess.TimeoutExpired:
            check(False, "the program ended within 5 s of closing its window")
    finally:
        if program.poll() is None:
            program.kill()
            program.wait(timeout=10)
    if failures:
        print(f"{len(failures)} check(s) failed")
        return 1
    print("all checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
