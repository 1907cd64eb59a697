#!/usr/bin/env python3
"""A stand-in for the maker's update service, on loopback only.

The programs ask GET /api.init.php with identification headers and read the
"update" member of a JSON answer. This server answers any GET path from a
script of steps, records every request (path and headers in the order they
arrived), and answers with a default step once the script is used up.

A step is a dict:
    {"drop": true}                      close the connection without answering
    {"status": 500, "headers": [["Content-Type", "text/html"]],
     "body": "text", "body_base64": "...", "pad_to": 2000}
                                        an answer; the body is UTF-8 text or
                                        raw bytes, padded with spaces to
                                        pad_to bytes when given
    {"redirect": "/elsewhere", "status": 302}
                                        a redirect (Location as given)
The default step answers 200 with {"update":""} (no update).

In-process use (the end-to-end tests):
    with UpdateService() as service:
        service.script([drop(), offer("https://example.invalid/dl/new.exe")])
        ... start a program with MIRVEX_WEB_HOST=service.url ...
        service.requests  # [Request(path, headers), ...]

As a program (the Windows tests, by hand):
    python3 tools/update_service.py [--port N] [--port-file FILE]
It prints its address, then serves until it is ended. Besides the service
paths it takes two control requests, so a test in another process can script
it:
    POST /_stand-in/script   body {"steps": [...], "default": {...}}:
                             a new script; the recorded requests are cleared
    GET  /_stand-in/requests the recorded requests as JSON:
                             [{"path": ..., "headers": [[name, value], ...]}]
Control requests are not recorded.
"""

import argparse
import base64
import json
import sys
import threading
from collections import namedtuple
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from pathlib import Path

LOOPBACK = "127.0.0.1"
CONTROL_PREFIX = "/_stand-in/"
SCRIPT_PATH = CONTROL_PREFIX + "script"
REQUESTS_PATH = CONTROL_PREFIX + "requests"
JSON_TYPE = "application/json; charset=utf-8"
NO_UPDATE = {"status": 200, "headers": [["Content-Type", JSON_TYPE]], "body": '{"update":""}'}
MAX_CONTROL_BODY = 16 * 1024 * 1024

Request = namedtuple("Request", "path headers")


def answer(body="", status=200, content_type=JSON_TYPE, headers=None, pad_to=None):
    """An answer step with a text body."""
    step = {"status": status, "headers": [["Content-Type", content_type], *(headers or [])],
            "body": body}
    if pad_to is not None:
        step["pad_to"] = pad_to
    return step


def raw_answer(data, status=200, content_type=JSON_TYPE):
    """An answer step with a body of raw bytes."""
    return {"status": status, "headers": [["Content-Type", content_type]],
            "body_base64": base64.b64encode(data).decode("ascii")}


def offer(link, status=200):
    """An answer that offers `link` as the download, JSON-escaped like a real
    service would write it (slashes as \\/)."""
    escaped = json.dumps(link)[1:-1].replace("/", "\\/")
    return answer('{"result":true,"update":"%s","notice":""}' % escaped, status)


def drop():
    """A connection closed without an answer: a failed request."""
    return {"drop": True}


def redirect(location, status=302):
    return {"redirect": location, "status": status}


def step_body(step):
    if "body_base64" in step:
        data = base64.b64decode(step["body_base64"])
    else:
        data = step.get("body", "").encode("utf-8")
    pad_to = step.get("pad_to")
    if pad_to is not None and len(data) < pad_to:
        data += b" " * (pad_to - len(data))
    return data


class UpdateService:
    """The server, its script and its record of requests; thread-safe."""

    def __init__(self, port=0):
        self._lock = threading.Lock()
        self._steps = []
        self._default = dict(NO_UPDATE)
        self._requests = []
        self._server = ThreadingHTTPServer((LOOPBACK, port), self._handler_class())
        self._server.daemon_threads = True
        self._thread = None

    # --- life cycle ---------------------------------------------------------

    @property
    def port(self):
        return self._server.server_address[1]

    @property
    def url(self):
        """The value for MIRVEX_WEB_HOST: scheme, loopback address, port."""
        return f"http://{LOOPBACK}:{self.port}"

    def start(self):
        self._thread = threading.Thread(target=self._server.serve_forever, daemon=True)
        self._thread.start()
        return self

    def stop(self):
        self._server.shutdown()
        self._server.server_close()
        if self._thread:
            self._thread.join(10)

    def __enter__(self):
        return self.start()

    def __exit__(self, *exc):
        self.stop()

    # --- script and record --------------------------------------------------

    def script(self, steps, default=None):
        """Steps for the next requests, in order; `default` answers once they
        are used up (no update when not given). Clears the record."""
        with self._lock:
            self._steps = list(steps)
            self._default = dict(default or NO_UPDATE)
            self._requests = []

    @property
    def requests(self):
        with self._lock:
            return list(self._requests)

    def _next_step(self, path, headers):
        with self._lock:
            self._requests.append(Request(path, headers))
            return self._steps.pop(0) if self._steps else self._default

    # --- HTTP ---------------------------------------------------------------

    def _handler_class(self):
        service = self

        class Handler(BaseHTTPRequestHandler):
            protocol_version = "HTTP/1.1"

            def log_message(self, *args):  # quiet: tests read the record instead
                pass

            def do_GET(self):
                if self.path == REQUESTS_PATH:
                    record = [{"path": r.path, "headers": r.headers} for r in service.requests]
                    self._send(200, [["Content-Type", JSON_TYPE]],
                               json.dumps(record).encode("utf-8"))
                    return
                headers = [[name, value] for name, value in self.headers.items()]
                self._play(service._next_step(self.path, headers))

            def do_POST(self):
                if self.path != SCRIPT_PATH:
                    self._send(404, [["Content-Type", "text/plain"]], b"not found")
                    return
                length = int(self.headers.get("Content-Length") or 0)
                if not 0 <= length <= MAX_CONTROL_BODY:
                    self._send(413, [["Content-Type", "text/plain"]], b"too large")
                    return
                try:
                    request = json.loads(self.rfile.read(length) or b"{}")
                    service.script(request.get("steps", []), request.get("default"))
                except (ValueError, AttributeError) as error:
                    self._send(400, [["Content-Type", "text/plain"]], str(error).encode())
                    return
                self._send(200, [["Content-Type", JSON_TYPE]], b'{"ok":true}')

            def _play(self, step):
                if step.get("drop"):
                    self.close_connection = True
                    return  # nothing written: the client sees the connection close
                if "redirect" in step:
                    self._send(step.get("status", 302), [["Location", step["redirect"]]], b"")
                    return
                self._send(step.get("status", 200), step.get("headers", []), step_body(step))

            def _send(self, status, headers, body):
                self.send_response(status)
                for name, value in headers:
                    self.send_header(name, value)
                self.send_header("Content-Length", str(len(body)))
                self.end_headers()
                self.wfile.write(body)

        return Handler


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--port", type=int, default=0, help="0 (default): any free port")
    parser.add_argument("--port-file", help="write the port to this file once serving")
    args = parser.parse_args()
    service = UpdateService(args.port).start()
    if args.port_file:
        Path(args.port_file).write_text(f"{service.port}\n", encoding="ascii")
    print(service.url, flush=True)
    try:
        service._thread.join()
    except KeyboardInterrupt:
        pass
    finally:
        service.stop()
    return 0


if __name__ == "__main__":
    sys.exit(main())
