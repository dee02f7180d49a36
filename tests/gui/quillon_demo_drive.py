#!/usr/bin/env python3
"""The demo's own hands, for a machine without a display: drives the loopback Quillon.exe
(already started, its window up) through a session with the simulator on the loopback ports and
writes a screenshot of each step into a folder:

  1-resolved.png  the open share resolved
  2-folder.png    a folder opened by a double-click
  3-captcha.png   the captcha step, the picture shown, the answer being typed
  4-links.png     the direct links in the log box

  quillon_demo_drive.py --driver GUI_DRIVER_EXE --certs DIR --out DIR"""
import argparse
import os
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import quillon_e2e_test as e2e  # noqa: E402
import quillon_gui_test as gui  # noqa: E402


class Attached(e2e.Quillon):
    """The running program, found by its window rather than started here."""

    def __init__(self, driver):
        self.d = gui.Driver(driver)
        self.proc = None
        self.wait_for_window()


def shot(q, out, name):
    time.sleep(0.4)
    path = os.path.join(out, name)
    gui.take_screenshot(path, q.screen_rect(0))
    print(f"  screenshot {path}", flush=True)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--driver", required=True)
    ap.add_argument("--certs", required=True)
    ap.add_argument("--out", required=True)
    args = ap.parse_args()
    os.makedirs(args.out, exist_ok=True)
    sim = e2e.Sim(args.certs)
    sim.hook("reset")
    q = Attached(args.driver)

    print("step 1: the open share", e2e.LINK + "OpenShare2017", flush=True)
    if not q.resolve("OpenShare2017"):
        return fail(q, "the open share did not resolve")
    shot(q, args.out, "1-resolved.png")

    print("step 2: a double-click on the folder 资料 2017", flush=True)
    names = [cells[0] for _, cells in q.rows()]
    q.double_click_row(names.index("资料 2017"))
    if not q.wait_log("目录解析完成"):
        return fail(q, "the folder did not open")
    shot(q, args.out, "2-folder.png")

    print("step 3: the captcha share", e2e.LINK + "NeedCaptcha", flush=True)
    if not q.resolve("NeedCaptcha"):
        return fail(q, "the captcha share did not resolve")
    q.click_row_box(0)
    q.click_row_box(1)
    q.popup_entry(1, e2e.RESOLVE_SELECTED)
    if not q.wait_log("请输入验证码"):
        return fail(q, "no captcha step")
    code = sim.hook("captcha")["code"]
    q.run("mouse-click", "Quillon", e2e.CAPTCHA)
    q.xdo("type", "--delay", 80, code[:3])
    shot(q, args.out, "3-captcha.png")

    print(f"step 4: the fourth character of {code}, then the links", flush=True)
    q.xdo("type", code[3])
    if not q.wait_log("http://", 5000):
        return fail(q, "no links")
    shot(q, args.out, "4-links.png")
    for link in q.text(e2e.LOG).split("\r\n"):
        print("  link", link, flush=True)
    q.run("close", "Quillon")
    return 0


def fail(q, why):
    print("demo: " + why + "; the log says: " + " / ".join(q.log()), file=sys.stderr)
    q.run("close", "Quillon", ok=False)
    return 1


if __name__ == "__main__":
    sys.exit(main())
