#!/usr/bin/env python3
"""A loopback product web service for tests and demos.

Records analytics batches and feedback reports, serves the appcast and the update files of a folder,
and the people-facing pages. Behaviour can be changed per path while it runs.

  product_service.py [--host 127.0.0.1] [--port 0] [--updates DIR]

DIR holds "appcast.xml" and the files it names; they are served under "/updates/". The first line on
standard output is "listening on http://HOST:PORT/". Test hooks:
  GET  /__state                                JSON: analytics (list of batches), feedback (list), requests
  POST /__behave?path=/x&status=500&times=N&delay=S&body=TEXT&length=L
                                               the next N requests to /x (all, without times) answer with
                                               that status, after S seconds, with that body; with a length,
                                               the body is padded with spaces to L bytes and streamed, so
                                               a huge answer costs the service no memory
  POST /__reset                                records and behaviours cleared
"""
import argparse
import json
import os
import sys
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from urllib.parse import parse_qs, urlsplit

PAGES = {
    "/privacy": "Privacy: BrewBeacon sends coarse usage events only, never Wi-Fi names, portal URLs or form values.",
    "/terms": "Terms: BrewBeacon never bypasses passwords, payments, vouchers, accounts or other access controls.",
    "/support": "Support: write to us from the app's Send Feedback window.",
}
MAX_BODY = 20 * 1024 * 1024


class Service:
    def __init__(self, updates):
        self.lock = threading.Lock()
        self.updates = updates
        self.reset()

    def reset(self):
        with self.lock:
            self.analytics = []
            self.feedback = []
            self.requests = []
            self.behaviours = {}

    def behaviour_for(self, path):
        """The override for this request, spending one of its times."""
        with self.lock:
            rule = self.behaviours.get(path)
            if rule is None:
                return None
            if rule["times"] is not None:
                rule["times"] -= 1
                if rule["times"] <= 0:
                    del self.behaviours[path]
            return rule


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    service = None

    def log_message(self, *args):
        pass

    def reply(self, status, body=b"", content_type="text/plain; charset=utf-8"):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        if self.command != "HEAD":
            self.wfile.write(body)

    def body(self):
        length = int(self.headers.get("Content-Length") or 0)
        if length > MAX_BODY:
            return None
        return self.rfile.read(length)

    def record(self, path):
        with self.service.lock:
            self.service.requests.append({"method": self.command, "path": path,
                                          "userAgent": self.headers.get("User-Agent", ""),
                                          "accept": self.headers.get("Accept", ""),
                                          "contentType": self.headers.get("Content-Type", "")})

    def overridden(self, path):
        rule = self.service.behaviour_for(path)
        if rule is None:
            return False
        if rule["delay"]:
            time.sleep(rule["delay"])
        if rule["status"] and rule["length"]:
            self.stream(rule["status"], rule["body"].encode(), rule["length"])
            return True
        if rule["status"]:
            self.reply(rule["status"], rule["body"].encode())
            return True
        return False

    def stream(self, status, head, length):
        self.send_response(status)
        self.send_header("Content-Type", "application/xml")
        self.send_header("Content-Length", str(length))
        self.end_headers()
        if self.command == "HEAD":
            return
        try:
            self.wfile.write(head[:length])
            left = length - min(len(head), length)
            padding = b" " * (256 * 1024)
            while left > 0:
                chunk = padding[:min(left, len(padding))]
                self.wfile.write(chunk)
                left -= len(chunk)
        except (BrokenPipeError, ConnectionResetError):
            self.close_connection = True  # the client stopped reading, as a bounded client does

    def do_POST(self):
        path = urlsplit(self.path).path
        query = parse_qs(urlsplit(self.path).query)
        if path == "/__reset":
            self.body()
            self.service.reset()
            return self.reply(204)
        if path == "/__behave":
            self.body()
            target = query.get("path", ["/"])[0]
            times = query.get("times", [None])[0]
            with self.service.lock:
                self.service.behaviours[target] = {
                    "status": int(query.get("status", ["0"])[0]),
                    "delay": float(query.get("delay", ["0"])[0]),
                    "body": query.get("body", [""])[0],
                    "times": int(times) if times is not None else None,
                    "length": int(query.get("length", ["0"])[0]),
                }
            return self.reply(204)
        self.record(path)
        body = self.body()
        if self.overridden(path):
            return
        if body is None:
            return self.reply(413, b"too large")
        if path not in ("/api/analytics/app", "/api/feedback"):
            return self.reply(404, b"not found")
        if "application/json" not in self.headers.get("Content-Type", ""):
            return self.reply(415, b"JSON only")
        try:
            payload = json.loads(body)
        except ValueError:
            return self.reply(400, b"bad JSON")
        with self.service.lock:
            if path == "/api/analytics/app":
                self.service.analytics.append(payload)
            else:
                self.service.feedback.append({"userAgent": self.headers.get("User-Agent", ""), "report": payload})
        if path == "/api/feedback":
            return self.reply(201, json.dumps({"ok": True}).encode(), "application/json")
        return self.reply(202, b"")

    def do_GET(self):
        path = urlsplit(self.path).path
        if path == "/__state":
            with self.service.lock:
                state = {"analytics": self.service.analytics, "feedback": self.service.feedback,
                         "requests": self.service.requests}
                data = json.dumps(state).encode()
            return self.reply(200, data, "application/json")
        self.record(path)
        if self.overridden(path):
            return
        if path in PAGES:
            html = "<!doctype html><html><head><meta charset='utf-8'><title>BrewBeacon</title></head>" \
                   "<body><p>%s</p></body></html>" % PAGES[path]
            return self.reply(200, html.encode(), "text/html; charset=utf-8")
        if path == "/appcast.xml":
            return self.file(os.path.join(self.service.updates or "", "appcast.xml"), "application/xml")
        if path.startswith("/updates/"):
            name = path[len("/updates/"):]
            if not name or "/" in name or name.startswith("."):
                return self.reply(404, b"not found")
            return self.file(os.path.join(self.service.updates or "", name), "application/octet-stream")
        return self.reply(404, b"not found")

    do_HEAD = do_GET

    def file(self, path, content_type):
        if not self.service.updates or not os.path.isfile(path):
            return self.reply(404, b"not found")
        with open(path, "rb") as f:
            return self.reply(200, f.read(), content_type)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--host", default="127.0.0.1")
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--updates", help="folder with appcast.xml and the files it names")
    args = parser.parse_args()
    Handler.service = Service(args.updates)
    server = ThreadingHTTPServer((args.host, args.port), Handler)
    server.daemon_threads = True
    print("listening on http://%s:%d/" % server.server_address[:2], flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    sys.exit(main())
