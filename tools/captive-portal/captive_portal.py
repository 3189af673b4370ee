#!/usr/bin/env python3
"""A loopback captive portal for tests and demos.

Until a page's form is submitted with every field it requires, "/hotspot-detect.html" answers with a
redirect to the portal (or, with --detect page, with the portal page itself); afterwards it answers
"Success". Pages live in a page set directory: one HTML file per page plus manifest.json, which says
for each page which form fields a submission must carry ("requires"), must not carry ("forbids"), must
leave empty ("empty") or must carry with an exact value ("equals"), how long the page takes to answer
("delay", seconds) and, for multi-step portals, the next page. A refused submission gets the same page
again, as real portals answer a wrong or unregistered entry. Submissions arrive as POST (form or JSON)
or as GET with a query (click-to-continue links and GET forms).

  captive_portal.py [--host 127.0.0.1] [--port 0] [--pages DIR] [--page NAME] [--detect redirect|page] [--online]

The first line on standard output is "listening on http://HOST:PORT/". Test hooks:
  GET  /__state                 JSON: captive, page, submissions (page, fields, accepted), requests
  POST /__reset?page=NAME       back to captive, submissions cleared, optionally another start page
"""
import argparse
import json
import os
import sys
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from urllib.parse import parse_qs, urlsplit

SUCCESS = b"<HTML><HEAD><TITLE>Success</TITLE></HEAD><BODY>Success</BODY></HTML>"
WELCOME = "<!doctype html><html><head><meta charset='utf-8'><title>Online</title></head>" \
          "<body><h1>You are online</h1><p>Enjoy your visit.</p></body></html>"


class PortalState:
    def __init__(self, pages_dir, page, detect):
        self.lock = threading.Lock()
        self.pages_dir = pages_dir
        self.detect = detect
        with open(os.path.join(pages_dir, "manifest.json"), encoding="utf-8") as f:
            self.manifest = json.load(f)
        self.reset(page)

    def reset(self, page):
        with self.lock:
            if page is not None:
                if page not in self.manifest:
                    raise KeyError(page)
                self.page = page
            self.captive = True
            self.submissions = []
            self.requests = []

    def snapshot(self):
        with self.lock:
            return {"captive": self.captive, "page": self.page,
                    "submissions": list(self.submissions), "requests": list(self.requests)}

    def delay(self, name):
        entry = self.manifest.get(name) or {}
        return min(float(entry.get("delay", 0)), 30.0)

    def page_html(self, name):
        if name not in self.manifest:
            return None
        with open(os.path.join(self.pages_dir, self.manifest[name].get("file", name + ".html")), "rb") as f:
            return f.read()

    def submit(self, name, fields):
        """Records a submission; returns the page to go to next (None when access is granted or refused)."""
        entry = self.manifest.get(name)
        if entry is None:
            return False, None
        required = entry.get("requires", [])
        forbidden = entry.get("forbids", [])
        empty = entry.get("empty", [])
        equals = entry.get("equals", {})
        accepted = all(fields.get(key, "").strip() for key in required) and \
            not any(key in fields for key in forbidden) and \
            not any(fields.get(key, "").strip() for key in empty) and \
            all(fields.get(key, "").strip() == value for key, value in equals.items())
        with self.lock:
            self.submissions.append({"page": name, "fields": fields, "accepted": accepted})
            if accepted and entry.get("next") is None:
                self.captive = False
        return accepted, entry.get("next") if accepted else None


class Handler(BaseHTTPRequestHandler):
    server_version = "LoopbackPortal/1"

    def log_message(self, format, *args):
        if self.server.verbose:
            sys.stderr.write("portal: " + (format % args) + "\n")

    def send(self, status, body=b"", content_type="text/html; charset=utf-8", headers=()):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Cache-Control", "no-store")
        for key, value in headers:
            self.send_header(key, value)
        self.end_headers()
        if self.command != "HEAD":
            self.wfile.write(body)

    def record(self):
        with self.server.state.lock:
            self.server.state.requests.append({"method": self.command, "path": self.path})

    def do_HEAD(self):
        self.do_GET()

    def do_GET(self):
        state = self.server.state
        path = urlsplit(self.path).path
        if path == "/__state":
            return self.send(200, json.dumps(state.snapshot()).encode(), "application/json")
        self.record()
        if path == "/hotspot-detect.html":
            if not state.snapshot()["captive"]:
                return self.send(200, SUCCESS)
            if state.detect == "page":
                return self.send(200, state.page_html(state.page))
            return self.send(302, headers=[("Location", "/portal/" + state.page)])
        if path == "/welcome":
            return self.send(200, WELCOME.encode())
        if path.startswith("/portal/"):
            name = path[len("/portal/"):]
            time.sleep(state.delay(name))
            html = state.page_html(name)
            return self.send(200, html) if html is not None else self.send(404, b"no such page")
        if path.startswith("/submit/"):
            fields = {k: v[-1] for k, v in parse_qs(urlsplit(self.path).query, keep_blank_values=True).items()}
            return self.answer_submission(path[len("/submit/"):], fields)
        if path == "/portal" or path == "/":
            return self.send(302, headers=[("Location", "/portal/" + state.page)])
        return self.send(404, b"not found")

    def do_POST(self):
        state = self.server.state
        parts = urlsplit(self.path)
        length = int(self.headers.get("Content-Length") or 0)
        raw = self.rfile.read(length).decode("utf-8", "replace") if length else ""
        if parts.path == "/__reset":
            page = parse_qs(parts.query).get("page", [None])[0]
            try:
                state.reset(page)
            except KeyError:
                return self.send(404, b"no such page")
            return self.send(204)
        self.record()
        if parts.path.startswith("/submit/"):
            name = parts.path[len("/submit/"):]
            if (self.headers.get("Content-Type") or "").startswith("application/json"):
                try:
                    fields = {str(k): str(v) for k, v in json.loads(raw or "{}").items()}
                except (ValueError, AttributeError):
                    return self.send(400, b"bad json")
            else:
                fields = {k: v[-1] for k, v in parse_qs(raw, keep_blank_values=True).items()}
            return self.answer_submission(name, fields)
        return self.send(404, b"not found")

    def answer_submission(self, name, fields):
        state = self.server.state
        accepted, next_page = state.submit(name, fields)
        if not accepted:
            return self.send(200, (state.page_html(name) or b"rejected"))
        return self.send(303, headers=[("Location", "/portal/" + next_page if next_page else "/welcome")])


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description="Loopback captive portal")
    parser.add_argument("--host", default="127.0.0.1")
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--pages", default=os.path.join(here, "pages"))
    parser.add_argument("--page", default="simple-en")
    parser.add_argument("--detect", choices=["redirect", "page"], default="redirect")
    parser.add_argument("--online", action="store_true", help="start as if the portal had been passed")
    parser.add_argument("--verbose", action="store_true")
    args = parser.parse_args()

    server = ThreadingHTTPServer((args.host, args.port), Handler)
    server.daemon_threads = True
    server.state = PortalState(args.pages, args.page, args.detect)
    if args.online:
        server.state.captive = False
    server.verbose = args.verbose
    print("listening on http://%s:%d/" % server.server_address[:2], flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    main()
