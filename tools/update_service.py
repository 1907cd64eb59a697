#!/usr/bin/env python3
"""A stand-in for the maker's update service, on loopback only.

The programs ask GET /api.init.php with identification headers and read the
"update" member of a JSON answer. This server answers any GET path from a
script of steps, records every request (path and headers in the order they
arrived), and answers with a default step once the script is used up.

Besides its plain HTTP port it can serve HTTPS on further loopback ports,
one per named certificate (tools/test_certificates.py makes them); all of
them play the same script into the same record, and each counts the
connections it accepted, a refused TLS handshake included.

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
        service.requests  # [Request(path, headers, listener), ...]
    with UpdateService(tls={"untrusted": (certificate_file, key_file)}) as service:
        ... MIRVEX_WEB_HOST=service.tls_url("untrusted") ...
        service.connections("untrusted")

As a program (the Windows tests, by hand):
    python3 tools/update_service.py [--port N] [--port-file FILE]
                                    [--tls NAME=CERTIFICATE_FILE,KEY_FILE ...]
It prints its address, then serves until it is ended. Besides the service
paths it takes control requests, so a test in another process can script
it:
    POST /_stand-in/script   body {"steps": [...], "default": {...}}:
                             a new script; the recorded requests are cleared
    GET  /_stand-in/requests the recorded requests as JSON:
                             [{"path": ..., "headers": [[name, value], ...],
                               "listener": "http" or a certificate's name}]
    GET  /_stand-in/listeners every listener's port and connections so far:
                             {"http": {"port": N, "connections": N}, ...}
Control requests are not recorded.
"""

import argparse
import base64
import json
import ssl
import sys
import threading
from collections import namedtuple
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from pathlib import Path

LOOPBACK = "127.0.0.1"
CONTROL_PREFIX = "/_stand-in/"
SCRIPT_PATH = CONTROL_PREFIX + "script"
REQUESTS_PATH = CONTROL_PREFIX + "requests"
LISTENERS_PATH = CONTROL_PREFIX + "listeners"
SERVICE_PATH = "/api.init.php"
PLAIN_LISTENER = "http"
JSON_TYPE = "application/json; charset=utf-8"
NO_UPDATE = {"status": 200, "headers": [["Content-Type", JSON_TYPE]], "body": '{"update":""}'}
MAX_CONTROL_BODY = 16 * 1024 * 1024

Request = namedtuple("Request", "path headers listener", defaults=(PLAIN_LISTENER,))


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


def refused_over_https(plain_url, link):
    """What an HTTPS client must refuse, as (what, listener, step): an offer
    of `link` over the untrusted certificate, and a redirect from the trusted
    listener to `plain_url` (an offering stand-in over plain http)."""
    return [
        ("self-signed certificate", "untrusted", offer(link)),
        ("redirect to plain http", "trusted", redirect(plain_url + SERVICE_PATH)),
    ]


def step_body(step):
    if "body_base64" in step:
        data = base64.b64decode(step["body_base64"])
    else:
        data = step.get("body", "").encode("utf-8")
    pad_to = step.get("pad_to")
    if pad_to is not None and len(data) < pad_to:
        data += b" " * (pad_to - len(data))
    return data


class _Listener(ThreadingHTTPServer):
    """One port of the service; with a TLS context, every connection first
    completes a handshake (in its own thread) or is dropped."""

    daemon_threads = True

    def __init__(self, name, port, handler, service, context=None):
        super().__init__((LOOPBACK, port), handler)
        self.name = name
        self.service = service
        self.context = context

    def finish_request(self, request, client_address):
        self.service._count_connection(self.name)
        if self.context is None:
            super().finish_request(request, client_address)
            return
        try:
            secure = self.context.wrap_socket(request, server_side=True)
        except (ssl.SSLError, OSError):
            return  # the client refused the certificate, or went away
        try:
            self.RequestHandlerClass(secure, client_address, self)
        finally:
            secure.close()


class UpdateService:
    """The server, its script and its record of requests; thread-safe."""

    def __init__(self, port=0, tls=None):
        """`tls` maps a listener's name to (certificate file, key file): an
        HTTPS port each, beside the plain one."""
        self._lock = threading.Lock()
        self._steps = []
        self._default = dict(NO_UPDATE)
        self._requests = []
        self._connections = {}
        handler = self._handler_class()
        self._listeners = {PLAIN_LISTENER: _Listener(PLAIN_LISTENER, port, handler, self)}
        for name, (certificate, key) in (tls or {}).items():
            context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
            context.load_cert_chain(certificate, key)
            self._listeners[name] = _Listener(name, 0, handler, self, context)
        self._threads = []

    # --- life cycle ---------------------------------------------------------

    @property
    def port(self):
        return self._listeners[PLAIN_LISTENER].server_address[1]

    @property
    def url(self):
        """The value for MIRVEX_WEB_HOST: scheme, loopback address, port."""
        return f"http://{LOOPBACK}:{self.port}"

    def tls_url(self, name):
        """The same for the HTTPS listener `name`."""
        return f"https://{LOOPBACK}:{self._listeners[name].server_address[1]}"

    def start(self):
        for listener in self._listeners.values():
            thread = threading.Thread(target=listener.serve_forever, daemon=True)
            thread.start()
            self._threads.append(thread)
        return self

    def stop(self):
        for listener in self._listeners.values():
            listener.shutdown()
            listener.server_close()
        for thread in self._threads:
            thread.join(10)

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

    def connections(self, name=PLAIN_LISTENER):
        """Connections the listener `name` accepted since the start, control
        requests and refused TLS handshakes included."""
        with self._lock:
            return self._connections.get(name, 0)

    def listeners(self):
        return {name: {"port": listener.server_address[1], "connections": self.connections(name)}
                for name, listener in self._listeners.items()}

    def _count_connection(self, name):
        with self._lock:
            self._connections[name] = self._connections.get(name, 0) + 1

    def _next_step(self, path, headers, listener):
        with self._lock:
            self._requests.append(Request(path, headers, listener))
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
                    record = [{"path": r.path, "headers": r.headers, "listener": r.listener}
                              for r in service.requests]
                    self._send_json(record)
                    return
                if self.path == LISTENERS_PATH:
                    self._send_json(service.listeners())
                    return
                headers = [[name, value] for name, value in self.headers.items()]
                self._play(service._next_step(self.path, headers, self.server.name))

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

            def _send_json(self, value):
                self._send(200, [["Content-Type", JSON_TYPE]], json.dumps(value).encode("utf-8"))

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
    parser.add_argument("--tls", action="append", default=[], metavar="NAME=CERTIFICATE,KEY",
                        help="also serve HTTPS with this certificate on a port of its own")
    args = parser.parse_args()
    tls = {}
    for option in args.tls:
        name, _, files = option.partition("=")
        certificate, _, key = files.partition(",")
        if not (name and certificate and key):
            parser.error(f"--tls {option}: expected NAME=CERTIFICATE,KEY")
        tls[name] = (certificate, key)
    service = UpdateService(args.port, tls).start()
    if args.port_file:
        Path(args.port_file).write_text(f"{service.port}\n", encoding="ascii")
    print(service.url, flush=True)
    try:
        threading.Event().wait()
    except KeyboardInterrupt:
        pass
    finally:
        service.stop()
    return 0


if __name__ == "__main__":
    sys.exit(main())
