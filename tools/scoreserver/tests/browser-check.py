#!/usr/bin/python3
"""Opens a page of the score server in Debian's headless Chromium, through the DevTools protocol, and
checks what a visitor sees: the table laid out within the window in rows that do not overlap, a
hostile name shown as text (no element made of it), verified results marked in the bright green and
linked to their replay, unchecked ones not, and nothing in the console. Prints what it found, one
line a check, "FAIL: ..." for each that failed; exit status 1 when any did.

  browser-check.py URL SCREENSHOT.png HOSTILE-NAME VERIFIED-NAME UNCHECKED-NAME
"""
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

import websocket  # Debian: python3-websocket

FLAGS = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
         "--disable-background-networking", "--disable-component-update", "--disable-sync",
         "--remote-debugging-port=0", "--window-size=1280,900"]

# Run in the page: the facts the checks below judge.
FACTS = r"""(() => {
  const box = e => { const r = e.getBoundingClientRect(); return [r.left, r.top, r.right, r.bottom]; };
  const rows = [...document.querySelectorAll('tr')].slice(1).map(tr => ({
    box: box(tr),
    cells: [...tr.children].map(td => ({ text: td.textContent, box: box(td) })),
    mark: (tr.querySelector('.verified') || {}).textContent || '',
    markColour: tr.querySelector('.verified') ? getComputedStyle(tr.querySelector('.verified')).color : '',
    link: (tr.querySelector('a[href$=".vtxreplay"]') || {}).href || '',
    download: !!tr.querySelector('a[download]'),
  }));
  return JSON.stringify({
    title: document.title,
    scrollWidth: document.documentElement.scrollWidth, width: innerWidth,
    made: document.querySelectorAll('body script, body img, body iframe, body i, body b').length,
    rows,
  });
})()"""


class Browser:
    def __init__(self):
        self.profile = tempfile.mkdtemp(prefix="vantorix-chromium-")
        self.process = subprocess.Popen(["/usr/bin/chromium", *FLAGS, "--user-data-dir=" + self.profile,
                                         "about:blank"], stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                                        text=True)
        address = None
        deadline = time.time() + 30
        while address is None and time.time() < deadline:
            line = self.process.stderr.readline()
            if not line and self.process.poll() is not None:
                break
            found = re.search(r"DevTools listening on (ws://\S+)", line)
            address = found.group(1) if found else None
        if address is None:
            self.close()
            raise RuntimeError("Chromium did not start")
        self.socket = websocket.create_connection(address, timeout=30)
        self.next_id = 0
        self.events = []

    def send(self, method, session=None, **params):
        self.next_id += 1
        message = {"id": self.next_id, "method": method, "params": params}
        if session:
            message["sessionId"] = session
        self.socket.send(json.dumps(message))
        while True:
            reply = json.loads(self.socket.recv())
            if reply.get("id") == self.next_id:
                if "error" in reply:
                    raise RuntimeError(method + ": " + reply["error"]["message"])
                return reply["result"]
            self.events.append(reply)

    def wait_for(self, method, seconds=20):
        deadline = time.time() + seconds
        while time.time() < deadline:
            for event in self.events:
                if event.get("method") == method:
                    return event
            self.events.append(json.loads(self.socket.recv()))
        raise RuntimeError("no " + method)

    def close(self):
        if getattr(self, "socket", None):
            self.socket.close()
        self.process.kill()
        self.process.wait()
        shutil.rmtree(self.profile, ignore_errors=True)


def console_errors(events):
    errors = []
    for event in events:
        method, params = event.get("method"), event.get("params", {})
        if method == "Runtime.exceptionThrown":
            errors.append(params["exceptionDetails"].get("text", "exception"))
        elif method == "Runtime.consoleAPICalled" and params.get("type") in ("error", "warning", "assert"):
            errors.append(" ".join(str(arg.get("value", "")) for arg in params.get("args", [])))
        elif method == "Log.entryAdded" and params["entry"]["level"] in ("error", "warning"):
            errors.append(params["entry"]["text"] + " " + params["entry"].get("url", ""))
    return errors


def overlaps(a, b):
    return a[0] < b[2] - 0.5 and b[0] < a[2] - 0.5 and a[1] < b[3] - 0.5 and b[1] < a[3] - 0.5


def check(url, screenshot, hostile, verified, unchecked):
    browser = Browser()
    try:
        session = browser.send("Target.attachToTarget", flatten=True,
                               targetId=browser.send("Target.createTarget", url="about:blank")["targetId"])["sessionId"]
        for domain in ("Page", "Runtime", "Log"):
            browser.send(domain + ".enable", session)
        browser.send("Page.navigate", session, url=url)
        browser.wait_for("Page.loadEventFired")
        time.sleep(0.5)  # a favicon or a late error comes in meanwhile
        facts = json.loads(browser.send("Runtime.evaluate", session, expression=FACTS)["result"]["value"])
        shot = browser.send("Page.captureScreenshot", session, format="png")["data"]
        with open(screenshot, "wb") as file:
            import base64
            file.write(base64.b64decode(shot))
        browser.send("Runtime.evaluate", session, expression="1")  # gathers events that came meanwhile
        errors = console_errors(browser.events)
    finally:
        browser.close()

    results = []
    def expect(ok, what):
        results.append(("ok: " if ok else "FAIL: ") + what)

    rows = facts["rows"]
    by_name = {row["cells"][1]["text"]: row for row in rows if len(row["cells"]) > 1}
    expect(facts["title"].startswith("VANTORIX"), "the title is " + facts["title"])
    expect(len(rows) >= 3, "%d rows in the table" % len(rows))
    expect(facts["scrollWidth"] <= facts["width"], "the page fits the window's width (%d of %d)"
           % (facts["scrollWidth"], facts["width"]))
    expect(all(a["box"][3] <= b["box"][1] + 0.5 for a, b in zip(rows, rows[1:])), "rows follow one another")
    expect(all(not overlaps(c["box"], d["box"]) for row in rows for c, d in zip(row["cells"], row["cells"][1:])),
           "no cell overlaps its neighbour")
    expect(all(c["box"][2] > c["box"][0] for row in rows for c in row["cells"]), "every cell has a width")
    expect(hostile in by_name, "the hostile name reads as the text it is")
    expect(facts["made"] == 0, "no element was made of a name (%d)" % facts["made"])
    mark = by_name.get(verified, {})
    expect("verified" in mark.get("mark", ""), "the verified result is marked: " + mark.get("mark", "(none)"))
    expect(mark.get("markColour") == "rgb(0, 255, 0)", "its mark is bright green: " + mark.get("markColour", ""))
    expect(mark.get("link", "").endswith(".vtxreplay") and mark.get("download"),
           "it links to its replay: " + mark.get("link", "(none)"))
    other = by_name.get(unchecked, {})
    expect(other != {} and not other.get("mark") and not other.get("link"), "the unchecked result has no mark or link")
    expect(not errors, "nothing in the console" + ("" if not errors else ": " + " | ".join(errors)))
    print("\n".join(results))
    return all(line.startswith("ok") for line in results)


if __name__ == "__main__":
    if len(sys.argv) != 6:
        sys.exit(__doc__)
    sys.exit(0 if check(*sys.argv[1:]) else 1)
