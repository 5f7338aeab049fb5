"""The demo's web page in headless Chromium, served from a subfolder as a static host would:
stills against the native capture's frames, console errors, the start button and the
player's keys, a missing, damaged or stalled data archive, a missing or broken program, and
the site's size.

    python3 tests/web/page_test.py SITE NATIVE_BUILD

SITE is what scripts/web writes (build/web); NATIVE_BUILD holds kra-capture and the
autoexec.bat the site was made from.
"""
import functools
import http.server
import io
import json
import os
import random
import subprocess
import sys
import tempfile
import threading
import unittest
import urllib.error
import urllib.request
import zipfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "web"))
from headless import Browser, Site, read_png  # noqa: E402

SITE = NATIVE = ""
# A second in each part: the intro, the mamma scene, the swim scene twice, the swam scene and
# its ending.
STILL_SECONDS = ["6", "25", "47.5", "64.5", "97", "112"]
# #t= as links write it, and what the page makes of it.
MOMENTS = [("97", 97), ("97.5", 97.5), (".5", 0.5), ("1m37s", 97), ("1M37S", 97), ("1m37", 97), ("1m", 60),
           ("37s", 37), ("1:37", 97), ("01:37.5", 97.5), ("0:00", 0), ("1:01:01", 3661)]
NOT_MOMENTS = ["", " ", "abc", "-3", "+3", "1e2", "1:75", "1:", ":37", "1s2m", "1m37s5", "1h37", "1:2:3:4", "..", "s"]


def native_frame(seconds, folder):
    """The first frame `kra-capture --fps 60 --from S` keeps (--to a frame later, so that one is in)."""
    last = "%g" % (float(seconds) + 1 / 60)
    subprocess.run([os.path.join(NATIVE, "kra-capture"), "--fps", "60", "--from", seconds, "--to", last,
                    "--frames", folder, "--quiet"], cwd=NATIVE, check=True)
    frames = sorted(os.listdir(folder))
    with open(os.path.join(folder, frames[0]), "rb") as f:
        return read_png(f.read())


class WebPageTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.scratch = tempfile.TemporaryDirectory()
        os.makedirs(os.path.join(cls.scratch.name, "www", "demos"))
        os.symlink(SITE, os.path.join(cls.scratch.name, "www", "demos", "kra"))
        cls.site = Site(os.path.join(cls.scratch.name, "www"))
        cls.browser = Browser()

    @classmethod
    def tearDownClass(cls):
        cls.browser.close()
        cls.site.close()
        cls.scratch.cleanup()

    def setUp(self):
        self.browser.errors.clear()

    def page(self, query="", folder="demos/kra"):
        self.browser.open(self.site.url + folder + "/index.html" + query)

    def test_stills_are_the_native_frames(self):
        for seconds in STILL_SECONDS:
            with self.subTest(seconds=seconds):
                self.page("?still=" + seconds)
                self.browser.wait_for("document.title == 'kra still %s'" % seconds, 120)
                web = read_png(self.browser.screenshot(512, 384))
                native = native_frame(seconds, os.path.join(self.scratch.name, "frames" + seconds))
                self.assertEqual(web[:2], native[:2])
                rows = [y for y in range(native[1]) if web[2][y] != native[2][y]]
                self.assertEqual(rows, [], "rows that differ from the native frame at %s s" % seconds)
        self.assertEqual(self.browser.errors, [])

    def test_start_button_starts_the_music_and_keys_seek(self):
        self.page()
        self.browser.wait_for("!document.getElementById('start').hidden", 60)
        self.assertEqual(self.browser.evaluate("Module._kra_audio_blocks()"), 0)
        self.browser.click("#start")
        self.browser.wait_for("Module._kra_audio_blocks() > 0", 20)
        self.browser.wait_for("Module._kra_frames_shown() > 10", 20)
        before = self.browser.evaluate("Module._kra_demo_seconds()")
        self.browser.press("ArrowRight", 39)
        self.browser.wait_for("Module._kra_demo_seconds() >= %f" % (before + 5), 10)
        self.browser.press("Space", 32)
        self.browser.pump(0.3)
        paused_at = self.browser.evaluate("Module._kra_demo_seconds()")
        self.browser.pump(0.5)
        self.assertEqual(self.browser.evaluate("Module._kra_demo_seconds()"), paused_at)
        self.assertEqual(self.browser.errors, [])

    def ready(self, query=""):
        self.page(query)
        self.browser.wait_for("!document.getElementById('start').hidden", 60)

    def seconds(self):
        return self.browser.evaluate("Module._kra_demo_seconds()")

    def test_moments_are_read_as_kra_reads_them(self):
        self.ready()
        for text, seconds in MOMENTS:
            self.assertEqual(self.browser.evaluate("parseMoment(%s)" % json.dumps(text)), seconds, text)
        for text in NOT_MOMENTS:
            self.assertIsNone(self.browser.evaluate("parseMoment(%s)" % json.dumps(text)), text)

    def test_a_link_to_a_moment_shows_it_and_plays_from_there(self):
        self.ready("?link#t=1m37s")
        self.assertAlmostEqual(self.seconds(), 97, delta=1 / 30)  # the poster is that second's frame
        self.browser.click("#start")
        self.browser.wait_for("Module._kra_audio_blocks() > 0", 20)
        self.assertTrue(97 <= self.seconds() < 100, self.seconds())
        self.browser.press("Space", 32)
        self.browser.wait_for("location.hash.startsWith('#t=')", 5)
        held = self.browser.evaluate("location.hash")
        self.assertAlmostEqual(float(held[3:]), self.seconds(), delta=0.06)
        self.browser.press("Space", 32)
        self.browser.wait_for("location.hash == ''", 5)
        self.assertEqual(self.browser.errors, [])

    def test_a_link_to_no_moment_is_warned_about_and_ignored(self):
        for hash_ in ("#t=1:75", "#t=200", "#t=soon"):
            with self.subTest(hash_=hash_):
                self.browser.console.clear()
                self.ready("?bad=" + hash_[3:] + hash_)
                self.assertTrue([line for line in self.browser.console
                                 if line.startswith("warning:") and hash_ in line], self.browser.console)
                self.browser.click("#start")
                self.browser.wait_for("Module._kra_frames_shown() > 3", 20)
                self.assertLess(self.seconds(), 5)
        self.assertEqual(self.browser.errors, [])

    def test_the_bar_seeks_the_picture_pauses_and_m_mutes(self):
        self.ready()
        self.browser.click("#start")
        self.browser.wait_for("Module._kra_frames_shown() > 3", 20)
        self.browser.click("canvas")
        self.browser.wait_for("Module._kra_paused() == 1", 5)
        for target in (60, 20, 80):
            x = self.browser.evaluate("document.getElementById('seek').getBoundingClientRect().left + xOfSeconds(%d)"
                                      % target)
            y = self.browser.evaluate("(r => r.top + r.height / 2)(document.getElementById('seek').getBoundingClientRect())")
            self.browser.click_at(x, y)
            self.browser.wait_for("Math.abs(Module._kra_demo_seconds() - %d) < 1" % target, 5)
            self.assertEqual(self.browser.evaluate("Module._kra_paused()"), 1)
        self.assertEqual(self.browser.evaluate("document.getElementById('play').getAttribute('aria-label')"), "Play")
        # The chapters are the program's timeline: a mark at each part's start after the first.
        self.assertEqual(self.browser.evaluate("CHAPTERS.map(c => c.join(' ')).join(', ')"),
                         "0 intro, 20 mamma1, 29 swim, 80 swam")
        self.assertEqual(self.browser.evaluate("document.querySelectorAll('.chapter').length"), 3)
        self.assertEqual(self.browser.evaluate("[10, 50, 85].map(chapterAt).join(' ')"), "intro swim swam")
        self.browser.press("KeyM", 77)
        self.assertEqual(self.browser.evaluate("Module.kraAudio.gain.gain.value"), 0)
        self.assertEqual(self.browser.evaluate("document.getElementById('mute').getAttribute('aria-pressed')"), "true")
        self.browser.click("canvas")
        self.browser.wait_for("Module._kra_paused() == 0", 5)
        self.assertEqual(self.browser.errors, [])

    def test_on_a_phone_nothing_overlaps_and_a_tap_pauses(self):
        with Browser(390, 844, touch=True) as phone:
            phone.open(self.site.url + "demos/kra/index.html")
            phone.wait_for("!document.getElementById('start').hidden", 60)
            box = phone.evaluate("(r => [r.x + r.width / 2, r.y + r.height / 2])"
                                 "(document.getElementById('start').getBoundingClientRect())")
            phone.tap_at(*box)
            phone.wait_for("Module._kra_frames_shown() > 3", 20)
            phone.tap_at(195, 300)  # wakes the controls
            rects = phone.evaluate("['canvas', '#play', '#track', '#time', '#mute', '#help', '#fullscreen'].map(s =>"
                                   " (r => [s, r.left, r.top, r.right, r.bottom])(document.querySelector(s)"
                                   ".getBoundingClientRect()))")
            for name, left, top, right, bottom in rects:
                self.assertTrue(0 <= left < right <= 390 and 0 <= top < bottom <= 844, (name, left, top, right, bottom))
            for i, a in enumerate(rects):
                for b in rects[i + 1:]:
                    apart = a[3] <= b[1] or b[3] <= a[1] or a[4] <= b[2] or b[4] <= a[2]
                    self.assertTrue(apart, "%s overlaps %s" % (a[0], b[0]))
            paused = phone.evaluate("Module._kra_paused()")
            phone.tap_at(195, 300)
            phone.wait_for("Module._kra_paused() == %d" % (1 - paused), 5)
            phone.tap_at(*phone.evaluate("(r => [r.x + r.width / 2, r.y + r.height / 2])"
                                         "(document.getElementById('help').getBoundingClientRect())"))
            self.assertEqual(phone.evaluate("getComputedStyle(document.querySelector('#keys .keyboard-only')).display"),
                             "none")
            self.assertNotEqual(phone.evaluate("getComputedStyle(document.querySelector('#keys .touch-only')).display"),
                                "none")
            self.assertEqual(phone.errors, [])

    def test_missing_archive_is_reported(self):
        bare = os.path.join(self.scratch.name, "www", "bare")
        os.makedirs(bare)
        for name in ("index.html", "kra.js", "kra.wasm"):
            os.symlink(os.path.join(SITE, name), os.path.join(bare, name))
        self.page(folder="bare")
        status = self.browser.wait_for(
            "(text => text.includes('Could not') && text)(document.getElementById('status').textContent)", 30)
        self.assertIn("autoexec.bat: 404", status)
        self.assertTrue(self.browser.errors)

    def bad_site(self, name, replaced):
        """A copy of the site in www/NAME with the files in replaced (name -> bytes) instead."""
        folder = os.path.join(self.scratch.name, "www", name)
        os.makedirs(folder)
        for file in os.listdir(SITE):
            if file.endswith((".gz", ".br")) and file[:-3] in replaced:
                continue  # a replaced file's compressed forms would be served instead of it
            if file in replaced:
                if replaced[file] is not None:
                    with open(os.path.join(folder, file), "wb") as f:
                        f.write(replaced[file])
            else:
                os.symlink(os.path.join(SITE, file), os.path.join(folder, file))
        return name

    def status_with(self, text, timeout=60):
        return self.browser.wait_for(
            "(t => t.includes(%r) && t)(document.getElementById('status').textContent)" % text, timeout)

    def assert_nothing_uncaught(self):
        self.assertEqual([e for e in self.browser.errors if e.startswith("uncaught")], [])

    def test_damaged_archives_are_said_with_no_play_button(self):
        with open(os.path.join(SITE, "autoexec.bat"), "rb") as f:
            archive = f.read()
        rows = [
            ("half", archive[:len(archive) // 2], "no zip end-of-directory record"),
            ("noise", random.Random(7).randbytes(5000), "no zip end-of-directory record"),
            ("html", b"<!doctype html><title>Not here</title><p>Try the home page.", "no zip end-of-directory"),
            ("empty", b"", "it is empty"),
        ]
        for name, data, reason in rows:
            with self.subTest(name):
                self.browser.errors.clear()
                folder = self.bad_site("damaged-" + name, {"autoexec.bat": data})
                self.page(folder=folder)
                status = self.status_with("is damaged")
                self.assertIn("The demo's data (autoexec.bat) is damaged: " + reason, status)
                self.assertTrue(self.browser.evaluate("document.getElementById('start').hidden"))
                self.assert_nothing_uncaught()
                self.page("?still=6", folder=folder)
                self.browser.wait_for("document.title.startsWith('kra still 6 failed: ')", 60)
                self.assertIn(reason, self.browser.evaluate("document.title"))

    def test_a_part_that_cannot_load_is_said_with_no_play_button(self):
        """Play runs the start-up a piece a task: a scene script that lost a mesh ends it there,
        said in the page, with no button to fail again."""
        with zipfile.ZipFile(os.path.join(SITE, "autoexec.bat")) as original:
            members = {name: original.read(name) for name in original.namelist()}
        script = members["swam.xml"].decode()
        heart = next(line for line in script.splitlines() if line.startswith('<loadlwo name="heart"'))
        members["swam.xml"] = script.replace(heart, "").encode()
        archive = io.BytesIO()
        with zipfile.ZipFile(archive, "w") as damaged:
            for name, data in members.items():
                damaged.writestr(name, data)
        self.page(folder=self.bad_site("short-script", {"autoexec.bat": archive.getvalue()}))
        self.browser.wait_for("!document.getElementById('start').hidden", 60)
        self.browser.click("#start")
        self.status_with("kra stopped (status ")
        self.assertTrue(self.browser.evaluate("document.getElementById('start').hidden"))
        said = "swam.xml:29: Error in XML:  No mesh with the name heart found!"
        self.assertTrue(any(said in line for line in self.browser.console), self.browser.console)
        self.assert_nothing_uncaught()

    def test_a_missing_or_broken_program_is_said(self):
        rows = [
            ("no-js", {"kra.js": None}, "kra.js did not load"),
            ("html-js", {"kra.js": b"<!doctype html><p>Not found"}, "kra.js: "),
            ("no-wasm", {"kra.wasm": None}, "kra.wasm: "),
            ("noise-wasm", {"kra.wasm": random.Random(3).randbytes(4000)}, "kra.wasm: "),
        ]
        for name, replaced, said in rows:
            with self.subTest(name):
                self.browser.errors.clear()
                self.page(folder=self.bad_site("program-" + name, replaced))
                status = self.status_with("could not start")
                self.assertIn(said, status)
                self.assertTrue(self.browser.evaluate("document.getElementById('start').hidden"))
                self.assert_nothing_uncaught()

    def test_a_stalled_download_is_said_and_a_retry_loads_it(self):
        served = threading.Event()  # set once the first, stalled answer has begun
        release = threading.Event()

        class Stalling(http.server.SimpleHTTPRequestHandler):
            def log_message(self, *args):
                pass

            def do_GET(self):
                if not self.path.endswith("autoexec.bat") or served.is_set():
                    return super().do_GET()
                served.set()
                with open(os.path.join(SITE, "autoexec.bat"), "rb") as f:
                    data = f.read()
                self.send_response(200)
                self.send_header("Content-Length", str(len(data)))
                self.end_headers()
                self.wfile.write(data[:100000])
                self.wfile.flush()
                release.wait(60)

        server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(Stalling, directory=SITE))
        threading.Thread(target=server.serve_forever, daemon=True).start()
        try:
            self.browser.open("http://127.0.0.1:%d/index.html?stall=2" % server.server_address[1])
            status = self.status_with("stalled", 30)
            self.assertIn("nothing came for 2 s, after 0.1 MB of ", status)
            self.assertFalse(self.browser.evaluate("document.getElementById('retry').hidden"))
            self.browser.click("#retry")
            self.browser.wait_for("!document.getElementById('start').hidden", 60)
            self.assert_nothing_uncaught()
        finally:
            release.set()
            server.shutdown()
            server.server_close()

    def test_the_title_card_is_there_before_the_program(self):
        # The card is the frame the program shows first, pixel for pixel: what replaces it is
        # the same picture.
        png = subprocess.run(["dwebp", "-quiet", os.path.join(SITE, "poster.webp"), "-o", "-"],
                             capture_output=True, check=True).stdout
        self.assertEqual(read_png(png), native_frame("7", os.path.join(self.scratch.name, "poster")))
        # With a program that never starts, the card is what the canvas shows, under the loading
        # bar; a link to a moment waits for that moment's frame instead.
        folder = self.bad_site("program-never-starts", {"kra.js": b"/* nothing */"})
        for query, card in (("?card", True), ("?moment#t=97", False)):
            with self.subTest(query=query):
                self.page(query, folder=folder)
                shown = self.browser.evaluate(
                    "(c => c.complete && c.naturalWidth > 0 && getComputedStyle(c).display != 'none' &&"
                    " c.getBoundingClientRect().width == canvas.getBoundingClientRect().width)"
                    "(document.getElementById('card'))")
                self.assertEqual(shown, card)
                self.assertFalse(self.browser.evaluate("document.getElementById('bar').hidden"))

    def test_the_program_and_the_archive_come_off_the_page_thread(self):
        # Workers fetch them (a worker's fetches are not in the page's resource timing), so the
        # page's thread neither compiles kra.wasm nor reads the archive off the network; a
        # browser without workers gets the page doing both, and the same still.
        for workers in (True, False):
            with self.subTest(workers=workers):
                script = self.browser._call("Page.addScriptToEvaluateOnNewDocument",
                                            source="" if workers else "delete window.Worker;")["identifier"]
                try:
                    self.page("?still=6")
                    self.browser.wait_for("document.title.startsWith('kra still 6')", 60)
                    self.assertEqual(self.browser.evaluate("document.title"), "kra still 6")
                    fetched = self.browser.evaluate(
                        "performance.getEntriesByType('resource').map(e => e.name.split('/').pop())")
                    self.assertIn("kra.js", fetched)
                    for name in ("kra.wasm", "autoexec.bat"):
                        self.assertEqual(name in fetched, not workers, name)
                    self.assert_nothing_uncaught()
                finally:
                    self.browser._call("Page.removeScriptToEvaluateOnNewDocument", identifier=script)

    def test_a_second_visit_plays_with_the_server_gone(self):
        # A host of its own (another origin, so another worker), stopped after the first visit.
        with Site(os.path.join(self.scratch.name, "www")) as host:
            url = host.url + "demos/kra/index.html"
            self.browser.open(url)
            self.browser.wait_for("!document.getElementById('start').hidden", 60)
            self.browser.wait_for("navigator.serviceWorker.controller !== null", 60)
        with self.assertRaises(OSError):
            urllib.request.urlopen(url, timeout=5)
        self.browser.errors.clear()
        self.browser.open(url)
        self.browser.wait_for("!document.getElementById('start').hidden", 60)
        self.assertTrue(self.browser.evaluate("document.getElementById('card').naturalWidth == 512"))
        self.browser.click("#start")
        self.browser.wait_for("Module._kra_frames_shown() > 3", 20)
        self.assert_nothing_uncaught()

    def test_a_new_build_replaces_the_offline_copy(self):
        folder = self.bad_site("new-build", {"sw.js": open(os.path.join(SITE, "sw.js"), "rb").read()})
        worker = os.path.join(self.scratch.name, "www", folder, "sw.js")
        caches = ("caches.keys().then(k => window.kept = k.filter(n => n.startsWith('kra ' + location.href"
                  ".replace(/[^/]*$/, ''))))")
        self.page(folder=folder)
        self.browser.wait_for("!document.getElementById('start').hidden", 60)
        self.browser.wait_for("navigator.serviceWorker.controller !== null", 60)
        self.browser.evaluate(caches)
        first = self.browser.wait_for("window.kept && window.kept.length == 1 && window.kept", 10)
        # The next build: another hash in its sw.js, the rest as it was.
        with open(worker, encoding="utf-8") as f:
            text = f.read()
        with open(worker, "w", encoding="utf-8") as f:
            f.write(text.replace('const BUILD = "', 'const BUILD = "next-'))
        self.browser.evaluate("window.kept = null; navigator.serviceWorker.getRegistration().then(r => r.update())")
        self.browser.wait_for("(%s, window.kept && window.kept.length == 1 && window.kept[0].includes(' next-'))"
                              % caches, 30)
        self.assertNotIn(first[0], self.browser.evaluate("window.kept"))
        self.assert_nothing_uncaught()

    def test_the_server_sends_compressed_forms_with_validators(self):
        url = self.site.url + "demos/kra/"
        rows = [  # file, Accept-Encoding, the encoding served, its type
            ("kra.wasm", "gzip, deflate, br", "br", "application/wasm"),
            ("kra.wasm", "gzip", "gzip", "application/wasm"),
            ("kra.wasm", "br;q=0, gzip", "gzip", "application/wasm"),
            ("kra.wasm", "", None, "application/wasm"),
            ("index.html", "br", "br", "text/html; charset=utf-8"),
            ("autoexec.bat", "br", None, "application/octet-stream"),
        ]
        for name, accepted, encoding, kind in rows:
            with self.subTest(name=name, accepted=accepted):
                headers = {"Accept-Encoding": accepted} if accepted else {}
                with urllib.request.urlopen(urllib.request.Request(url + name, headers=headers)) as answer:
                    body = answer.read()
                    self.assertEqual(answer.headers.get("Content-Encoding"), encoding)
                    self.assertEqual(answer.headers.get("Content-Type"), kind)
                    self.assertEqual(answer.headers.get("Cache-Control"), "no-cache")
                    tag = answer.headers["ETag"]
                suffix = {"br": ".br", "gzip": ".gz", None: ""}[encoding]
                with open(os.path.join(SITE, name + suffix), "rb") as f:
                    self.assertEqual(body, f.read())
                # The same tag again: nothing to send.
                request = urllib.request.Request(url + name, headers=dict(headers, **{"If-None-Match": tag}))
                with self.assertRaises(urllib.error.HTTPError) as unchanged:
                    urllib.request.urlopen(request)
                self.assertEqual(unchanged.exception.code, 304)

    def test_site_sizes(self):
        sizes = {name: os.path.getsize(os.path.join(SITE, name)) for name in os.listdir(SITE)}
        compressed = ["index.html", "kra.js", "kra.wasm", "LICENSE.txt", "THIRD-PARTY-NOTICES.txt",
                      "manifest.webmanifest", "sw.js"]
        self.assertEqual(sorted(sizes), sorted(["autoexec.bat", "poster.webp", "icon-64.png", "icon-256.png",
                                                "icon-512.png"] + compressed +
                                               [name + suffix for name in compressed for suffix in (".gz", ".br")]))
        with open(os.path.join(SITE, "manifest.webmanifest"), encoding="utf-8") as f:
            manifest = json.load(f)
        self.assertEqual((manifest["display"], manifest["orientation"]), ("fullscreen", "landscape"))
        for icon in manifest["icons"]:
            with open(os.path.join(SITE, icon["src"]), "rb") as f:
                self.assertEqual(read_png(f.read())[:2], tuple(int(n) for n in icon["sizes"].split("x")))
        # kra.wasm links libmpg123 statically: its notice, the LGPL in full and how to relink.
        with open(os.path.join(SITE, "THIRD-PARTY-NOTICES.txt"), encoding="utf-8") as f:
            notices = " ".join(f.read().split())  # the paragraphs are filled: lines end anywhere
        for text in ("libmpg123: LGPL-2.1", "GNU LESSER GENERAL PUBLIC LICENSE", "rebuild kra against it"):
            self.assertTrue(text in notices, f"THIRD-PARTY-NOTICES.txt does not say {text!r}")
        with open(os.path.join(SITE, "index.html"), encoding="utf-8") as f:
            page = f.read()
        self.assertIn('href="LICENSE.txt"', page)
        self.assertIn('href="THIRD-PARTY-NOTICES.txt"', page)
        self.assertLess(sizes["kra.wasm"], 2 << 20)
        self.assertLess(sum(sizes.values()), 8 << 20)



class AcceptEncodingTest(unittest.TestCase):
    def test_the_codings_a_header_takes(self):
        import serve
        rows = [("gzip, deflate, br", {"gzip", "deflate", "br"}), ("BR;q=1.0, GZip", {"br", "gzip"}),
                ("br;q=0, gzip;q=0.5", {"gzip"}), ("br; q=0.000", set()), ("", set()), (None, set()),
                (" , ,identity", {"identity"})]
        for header, taken in rows:
            self.assertEqual(serve.accepted_encodings(header), taken, header)

if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit("usage: page_test.py SITE NATIVE_BUILD [unittest options]")
    SITE, NATIVE = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    unittest.main(argv=sys.argv[:1] + sys.argv[3:], verbosity=2)
