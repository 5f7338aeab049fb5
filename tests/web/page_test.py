"""The demo's web page in headless Chromium, served from a subfolder as a static host would:
stills against the native capture's frames, console errors, the start button and the
player's keys, a missing data archive, and the site's size.

    python3 tests/web/page_test.py SITE NATIVE_BUILD

SITE is what scripts/web writes (build/web); NATIVE_BUILD holds kra-capture and the
autoexec.bat the site was made from.
"""
import os
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "web"))
from headless import Browser, Site, read_png  # noqa: E402

SITE = NATIVE = ""
# A second in each part: the intro, the mamma scene, the swim scene twice, the swam scene and
# its ending.
STILL_SECONDS = ["6", "25", "47.5", "64.5", "97", "112"]


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

    def test_site_sizes(self):
        sizes = {name: os.path.getsize(os.path.join(SITE, name)) for name in os.listdir(SITE)}
        self.assertEqual(sorted(sizes), ["autoexec.bat", "index.html", "kra.js", "kra.wasm"])
        self.assertLess(sizes["kra.wasm"], 2 << 20)
        self.assertLess(sum(sizes.values()), 8 << 20)


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit("usage: page_test.py SITE NATIVE_BUILD [unittest options]")
    SITE, NATIVE = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    unittest.main(argv=sys.argv[:1] + sys.argv[3:], verbosity=2)
