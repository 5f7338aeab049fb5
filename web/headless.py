"""Headless Chromium driven over its DevTools pipe, for scripts/web bench and the page tests.

The command-line modes of headless Chromium (--dump-dom, --screenshot) take the page as it
is when it has loaded, or after a budget of virtual time, during which the page's clocks
stand still; the bench needs a real clock and the tests need a real click on the start
button. So this opens one tab and speaks the DevTools protocol (JSON messages ending in a
NUL byte, on file descriptors 3 and 4 of the browser): load a page, wait for a condition,
evaluate, click, take a screenshot, and keep every console error and uncaught exception.

Also a static server for a folder (as any static host would serve the site) and a PNG reader
for 8-bit RGB and RGBA images (the screenshots and kra-capture's frames).

As a command: `headless.py bench SITE [RUNS]` serves the site, opens index.html?bench in
headless Chromium RUNS times (default 3) and prints each result line.
"""
import base64
import json
import os
import select
import shutil
import struct
import subprocess
import sys
import tempfile
import threading
import time
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import serve  # noqa: E402


class BrowserError(Exception):
    pass


class Browser:
    def __init__(self, width=512, height=384, touch=False):
        chromium = shutil.which("chromium") or shutil.which("chromium-browser")
        if not chromium:
            raise BrowserError("chromium is not installed (scripts/web installs it)")
        self._profile = tempfile.mkdtemp(prefix="kra-chromium-")
        to_browser_read, self._to_browser = os.pipe()
        self._from_browser, from_browser_write = os.pipe()
        # The browser reads commands from its fd 3 and writes answers to its fd 4 (placed after
        # the fork; close_fds would close them again, as it runs after preexec_fn).
        def place_pipes():
            os.dup2(to_browser_read, 3)
            os.dup2(from_browser_write, 4)
            os.set_inheritable(3, True)  # dup2 onto itself keeps close-on-exec
            os.set_inheritable(4, True)
        self._process = subprocess.Popen(
            [chromium, "--headless", "--no-sandbox", "--disable-gpu", "--remote-debugging-pipe",
             "--user-data-dir=" + self._profile, "--no-first-run", "--hide-scrollbars",
             "--window-size=%d,%d" % (width, height), "about:blank"],
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            preexec_fn=place_pipes, close_fds=False)
        os.close(to_browser_read)
        os.close(from_browser_write)
        self._buffer = b""
        self._next_id = 0
        self._session = None
        self._loaded = False
        self.errors = []  # console errors and uncaught exceptions, as text
        self.console = []  # every console message, as text
        targets = self._call("Target.getTargets")["targetInfos"]
        page = next(t for t in targets if t["type"] == "page")
        self._session = self._call("Target.attachToTarget", targetId=page["targetId"], flatten=True)["sessionId"]
        for domain in ("Page", "Runtime", "Log"):
            self._call(domain + ".enable")
        # The window's size is not the page's: the page gets exactly this, one pixel per CSS pixel.
        self._call("Emulation.setDeviceMetricsOverride", width=width, height=height, deviceScaleFactor=1,
                   mobile=touch)
        if touch:  # a phone: a coarse pointer, taps instead of clicks
            self._call("Emulation.setTouchEmulationEnabled", enabled=True, maxTouchPoints=5)

    def close(self):
        try:
            self._call("Browser.close")
        except (BrowserError, OSError):
            pass
        try:
            self._process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self._process.kill()
            self._process.wait()
        os.close(self._to_browser)
        os.close(self._from_browser)
        shutil.rmtree(self._profile, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    # --- protocol

    def _send(self, method, params, session):
        self._next_id += 1
        message = {"id": self._next_id, "method": method, "params": params}
        if session:
            message["sessionId"] = session
        os.write(self._to_browser, json.dumps(message).encode() + b"\0")
        return self._next_id

    def _receive(self, timeout):
        deadline = time.monotonic() + timeout
        while b"\0" not in self._buffer:
            if self._process.poll() is not None:
                raise BrowserError("chromium ended (status %d)" % self._process.returncode)
            ready, _, _ = select.select([self._from_browser], [], [], max(0.0, deadline - time.monotonic()))
            if not ready:
                return None
            chunk = os.read(self._from_browser, 1 << 20)
            if not chunk:
                raise BrowserError("chromium closed its DevTools pipe")
            self._buffer += chunk
        message, self._buffer = self._buffer.split(b"\0", 1)
        return json.loads(message)

    def _note_event(self, message):
        method, params = message.get("method"), message.get("params", {})
        if method == "Page.loadEventFired":
            self._loaded = True
        elif method == "Runtime.consoleAPICalled":
            text = " ".join(str(a.get("value", a.get("description", ""))) for a in params.get("args", []))
            self.console.append("%s: %s" % (params.get("type"), text))
            if params.get("type") in ("error", "assert"):
                self.errors.append("console.%s: %s" % (params["type"], text))
        elif method == "Runtime.exceptionThrown":
            details = params["exceptionDetails"]
            self.errors.append("uncaught: " + details.get("exception", {}).get("description", details.get("text", "")))
        elif method == "Log.entryAdded" and params["entry"].get("level") == "error":
            entry = params["entry"]
            self.errors.append("%s: %s %s" % (entry.get("source"), entry.get("text"), entry.get("url", "")))

    def _call(self, method, timeout=60, **params):
        wanted = self._send(method, params, self._session if not method.startswith(("Target.", "Browser.")) else None)
        deadline = time.monotonic() + timeout
        while True:
            message = self._receive(max(0.0, deadline - time.monotonic()))
            if message is None:
                raise BrowserError("no answer to %s within %d s" % (method, timeout))
            if message.get("id") == wanted:
                if "error" in message:
                    raise BrowserError("%s: %s" % (method, message["error"].get("message")))
                return message.get("result", {})
            self._note_event(message)

    def pump(self, seconds):
        """Takes the browser's events for the given time."""
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            message = self._receive(deadline - time.monotonic())
            if message is not None:
                self._note_event(message)

    # --- the page

    def open(self, url, timeout=60):
        """Loads the page and waits for its load event."""
        self._loaded = False
        self._call("Page.navigate", url=url)
        deadline = time.monotonic() + timeout
        while not self._loaded:
            if time.monotonic() > deadline:
                raise BrowserError("%s did not load within %d s" % (url, timeout))
            self.pump(0.05)

    def evaluate(self, expression):
        result = self._call("Runtime.evaluate", expression=expression, returnByValue=True)
        if "exceptionDetails" in result:
            raise BrowserError("%s: %s" % (expression, result["exceptionDetails"].get("text")))
        return result["result"].get("value")

    def wait_for(self, expression, timeout):
        """Evaluates the expression every 50 ms until it is truthy; returns its value."""
        deadline = time.monotonic() + timeout
        while True:
            value = self.evaluate(expression)
            if value:
                return value
            if time.monotonic() > deadline:
                raise BrowserError("waited %d s for %s" % (timeout, expression))
            self.pump(0.05)

    def click(self, selector, at=0.5):
        """A real mouse click (a user gesture, as a browser counts them) on the element, at the
        fraction at of its width (its middle by default) and half its height."""
        box = self.evaluate("(() => { const r = document.querySelector(%s).getBoundingClientRect();"
                            " return [r.x + r.width * %f, r.y + r.height / 2]; })()" % (json.dumps(selector), at))
        self.click_at(box[0], box[1])

    def click_at(self, x, y):
        self._call("Input.dispatchMouseEvent", type="mouseMoved", x=x, y=y)
        for kind in ("mousePressed", "mouseReleased"):
            self._call("Input.dispatchMouseEvent", type=kind, x=x, y=y, button="left", clickCount=1)

    def tap_at(self, x, y):
        """A finger's tap."""
        for kind, points in (("touchStart", [{"x": x, "y": y}]), ("touchEnd", [])):
            self._call("Input.dispatchTouchEvent", type=kind, touchPoints=points)

    def press(self, code, key_code):
        """A key press as the keyboard sends it: code as in KeyboardEvent.code, the key's Windows code."""
        for kind in ("keyDown", "keyUp"):
            self._call("Input.dispatchKeyEvent", type=kind, code=code, key=code, windowsVirtualKeyCode=key_code)

    def screenshot(self, width, height):
        """The page's top-left width x height pixels, as a PNG."""
        data = self._call("Page.captureScreenshot", format="png",
                          clip={"x": 0, "y": 0, "width": width, "height": height, "scale": 1})["data"]
        return base64.b64decode(data)


class Site:
    """Serves a folder on 127.0.0.1 at a free port, from a thread of this process, as
    scripts/web serve does (serve.py: the compressed forms, validators)."""

    def __init__(self, directory):
        self._server = serve.serve(directory, 0)
        self.url = "http://127.0.0.1:%d/" % self._server.server_address[1]
        threading.Thread(target=self._server.serve_forever, daemon=True).start()

    def close(self):
        self._server.shutdown()
        self._server.server_close()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()


def read_png(data):
    """(width, height, rows of R, G, B bytes) of an 8-bit, non-interlaced RGB or RGBA PNG."""
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("not a PNG")
    at, idat = 8, b""
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        if kind == b"IHDR":
            width, height, depth, color, _, _, interlace = struct.unpack(">IIBBBBB", body)
            if depth != 8 or color not in (2, 6) or interlace:
                raise ValueError("only 8-bit RGB or RGBA PNGs without interlacing")
            channels = 3 if color == 2 else 4
        elif kind == b"IDAT":
            idat += body
        at += 12 + length
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, previous = [], bytearray(stride)
    for y in range(height):
        line = raw[y * (stride + 1):(y + 1) * (stride + 1)]
        kind, row = line[0], bytearray(line[1:])
        for x in range(stride):
            left = row[x - channels] if x >= channels else 0
            up = previous[x]
            corner = previous[x - channels] if x >= channels else 0
            if kind == 1:
                row[x] = (row[x] + left) & 255
            elif kind == 2:
                row[x] = (row[x] + up) & 255
            elif kind == 3:
                row[x] = (row[x] + (left + up) // 2) & 255
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                row[x] = (row[x] + (left if pa <= pb and pa <= pc else up if pb <= pc else corner)) & 255
        previous = row
        rows.append(bytes(row) if channels == 3 else bytes(b for i, b in enumerate(row) if i % 4 != 3))
    return width, height, rows


def bench(site_dir, runs):
    with Site(site_dir) as site, Browser() as browser:
        for _ in range(runs):
            browser.open(site.url + "index.html?bench")
            print(browser.wait_for("document.getElementById('result').textContent", 900), flush=True)
        if browser.errors:
            raise BrowserError("; ".join(browser.errors))


if __name__ == "__main__":
    if len(sys.argv) not in (3, 4) or sys.argv[1] != "bench":
        sys.exit("usage: headless.py bench SITE [RUNS]")
    try:
        bench(sys.argv[2], int(sys.argv[3]) if len(sys.argv) == 4 else 3)
    except BrowserError as error:
        sys.exit("headless.py: %s" % error)
