#!/usr/bin/env python3
"""Audits the page as a visitor's browser meets it, and fails below the goals:

    python3 web/audit.py SITE TOOLS [RUNS]      (scripts/web audit runs it)

SITE is what scripts/web writes; TOOLS the folder where scripts/web installed Lighthouse and
axe-core (npm ci from web/audit's lockfile). The site is served by web/serve.py, as
scripts/web serve serves it; Lighthouse runs RUNS times (3 by default) with its mobile preset
(a slow 4G network, a processor four times slower) and with its desktop preset, and the
median of each figure is held against the goal; axe-core checks the page once.
"""
import json
import os
import statistics
import subprocess
import sys
import tempfile
import threading

import serve

CHROME = "/usr/bin/chromium"
CHROME_FLAGS = ("--headless=new --no-sandbox --disable-gpu --disable-quic --no-first-run "
                "--disable-background-networking --disable-component-update --disable-sync")
CATEGORIES = ("performance", "accessibility", "best-practices", "seo")
# preset -> (figure, the worst it may be, whether more is better)
GOALS = {
    "mobile": [("performance", 90, True), ("accessibility", 100, True), ("best-practices", 100, True),
               ("seo", 100, True), ("largest-contentful-paint", 2500, False), ("total-blocking-time", 200, False),
               ("cumulative-layout-shift", 0, False)],
    "desktop": [("performance", 98, True)],
}


def lighthouse(tools, url, preset, scratch):
    report = os.path.join(scratch, "%s.json" % preset)
    command = [os.path.join(tools, "node_modules", ".bin", "lighthouse"), url, "--quiet", "--output=json",
               "--output-path=" + report, "--only-categories=" + ",".join(CATEGORIES),
               "--chrome-flags=" + CHROME_FLAGS]
    if preset == "desktop":
        command.append("--preset=desktop")
    subprocess.run(command, check=True, env=dict(os.environ, CHROME_PATH=CHROME),
                   stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    with open(report, encoding="utf-8") as f:
        result = json.load(f)
    figures = {name: round(100 * result["categories"][name]["score"]) for name in CATEGORIES}
    for name in ("largest-contentful-paint", "total-blocking-time", "cumulative-layout-shift",
                 "first-contentful-paint", "total-byte-weight"):
        figures[name] = result["audits"][name]["numericValue"]
    return figures


def axe(tools, url):
    """The violations axe-core finds, as 'rule: where' lines."""
    out = subprocess.run([os.path.join(tools, "node_modules", ".bin", "axe"), url, "--stdout",
                          "--chromedriver-path", "/usr/bin/chromedriver",
                          "--chrome-options=headless=new,no-sandbox,disable-gpu"],
                         check=True, capture_output=True, text=True).stdout
    found = []
    for page in json.loads(out):
        for violation in page["violations"]:
            found.append("%s: %s" % (violation["id"], ", ".join(n["target"][0] for n in violation["nodes"])))
    return found


def main(argv):
    if len(argv) not in (3, 4):
        print(__doc__, file=sys.stderr)
        return 2
    site, tools = argv[1], argv[2]
    runs = int(argv[3]) if len(argv) == 4 else 3
    server = serve.serve(site, 0)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    url = "http://127.0.0.1:%d/" % server.server_address[1]
    failed = []
    with tempfile.TemporaryDirectory() as scratch:
        for preset, goals in GOALS.items():
            results = [lighthouse(tools, url, preset, scratch) for _ in range(runs)]
            median = {name: statistics.median(r[name] for r in results) for name in results[0]}
            print("%s (median of %d): %s" % (preset, runs, ", ".join(
                "%s %s" % (name, round(value, 3)) for name, value in median.items())))
            for name, limit, more_is_better in goals:
                value = median[name]
                if (value < limit) if more_is_better else (value > limit):
                    failed.append("%s %s is %s; the goal is %s %s" % (preset, name, round(value, 3),
                                                                       "at least" if more_is_better else "at most",
                                                                       limit))
    violations = axe(tools, url)
    print("axe-core: %s" % ("; ".join(violations) if violations else "no violation"))
    failed += ["axe-core: " + v for v in violations]
    server.shutdown()
    for line in failed:
        print("audit: " + line, file=sys.stderr)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
