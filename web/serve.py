#!/usr/bin/env python3
"""Serves the site as a host should serve it:

    python3 web/serve.py SITE [PORT]       (scripts/web serve runs it; port 8000 by default)

- the compressed form scripts/web wrote beside a file (NAME.br, else NAME.gz) when the
  browser takes that encoding, with Content-Encoding and Vary: Accept-Encoding, and the
  type of the file itself (kra.wasm as application/wasm, so the browser compiles it while it
  downloads);
- validators rather than names with hashes in them: every answer carries an ETag (the file's
  time and size, and the encoding) and Cache-Control: no-cache, so a browser keeps what it
  fetched, asks again each visit and gets 304 Not Modified until a new build changes a file.
"""
import functools
import http.server
import os
import sys

# The types the site's files are served as; anything else is application/octet-stream.
TYPES = {
    ".html": "text/html; charset=utf-8",
    ".js": "text/javascript; charset=utf-8",
    ".wasm": "application/wasm",
    ".webmanifest": "application/manifest+json",
    ".webp": "image/webp",
    ".png": "image/png",
    ".txt": "text/plain; charset=utf-8",
    ".bat": "application/octet-stream",
}
# Encodings in the order they are preferred, with the suffix of their files.
ENCODINGS = (("br", ".br"), ("gzip", ".gz"))


def accepted_encodings(header):
    """The content codings an Accept-Encoding header takes (those given q=0 refused)."""
    taken = set()
    for item in (header or "").split(","):
        name, _, params = item.strip().partition(";")
        q = params.strip()
        if q.startswith("q=") and q[2:].strip() in ("0", "0.0", "0.00", "0.000"):
            continue
        if name.strip():
            taken.add(name.strip().lower())
    return taken


class SiteHandler(http.server.SimpleHTTPRequestHandler):
    protocol_version = "HTTP/1.1"  # connections kept open between a page's requests

    def log_message(self, *args):
        pass

    def send_head(self):
        path = self.translate_path(self.path)
        if os.path.isdir(path):
            if not self.path.split("?", 1)[0].endswith("/"):
                return super().send_head()  # the redirect to the folder's own address
            path = os.path.join(path, "index.html")
        if not os.path.isfile(path):
            self.send_error(404, "File not found")
            return None
        encoding, served = None, path
        taken = accepted_encodings(self.headers.get("Accept-Encoding"))
        for name, suffix in ENCODINGS:
            if name in taken and os.path.isfile(path + suffix):
                encoding, served = name, path + suffix
                break
        stat = os.stat(served)
        tag = '"%x-%x%s"' % (stat.st_mtime_ns, stat.st_size, "-" + encoding if encoding else "")
        compressible = any(os.path.isfile(path + suffix) for _, suffix in ENCODINGS)
        if tag in [t.strip() for t in (self.headers.get("If-None-Match") or "").split(",")]:
            self.send_response(304)
            self._send_cache_headers(tag, compressible)
            self.end_headers()
            return None
        f = open(served, "rb")
        self.send_response(200)
        self.send_header("Content-Type", TYPES.get(os.path.splitext(path)[1], "application/octet-stream"))
        self.send_header("Content-Length", str(stat.st_size))
        if encoding:
            self.send_header("Content-Encoding", encoding)
        self.send_header("Last-Modified", self.date_time_string(stat.st_mtime))
        self._send_cache_headers(tag, compressible)
        self.end_headers()
        return f

    def _send_cache_headers(self, tag, compressible):
        self.send_header("ETag", tag)
        self.send_header("Cache-Control", "no-cache")
        if compressible:
            self.send_header("Vary", "Accept-Encoding")


def serve(site, port, bind="127.0.0.1"):
    handler = functools.partial(SiteHandler, directory=site)
    return http.server.ThreadingHTTPServer((bind, port), handler)


def main(argv):
    if len(argv) not in (2, 3) or not os.path.isfile(os.path.join(argv[1], "index.html")):
        print("usage: serve.py SITE [PORT] (SITE: a folder scripts/web wrote, with its index.html)",
              file=sys.stderr)
        return 2
    server = serve(argv[1], int(argv[2]) if len(argv) == 3 else 8000)
    print("kra-web: serving %s at http://127.0.0.1:%d/ (Ctrl+C ends it)" % (argv[1], server.server_address[1]),
          file=sys.stderr)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
