#!/usr/bin/env python3
"""A small web server for the tests, on 127.0.0.1 only.

  test_server.py ROOT [--cert CERT --key KEY]

Prints the port it listens on, then serves:
  /files/NAME            the bytes of ROOT/NAME (404 when missing)
  /redirect/N            302 to /redirect/N-1; /redirect/0 answers "arrived"
  /status/N              an empty answer with status N
  /stall                 a 200 with a few bytes of body, then silence
  /slow/BYTES/CHUNK/MS   BYTES bytes in CHUNK-sized pieces, MS ms apart
  /count/PATH            how many requests PATH has had
"""
import http.server
import os
import ssl
import sys
import threading
import time

ROOT = sys.argv[1]
HITS = {}
LOCK = threading.Lock()


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def answer(self, status, body=b"", headers=None):
        self.send_response(status)
        for k, v in (headers or {}).items():
            self.send_header(k, v)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def do_GET(self):
        path = self.path.split("?")[0]
        if not path.startswith("/count/"):
            with LOCK:
                HITS[path] = HITS.get(path, 0) + 1
        parts = [p for p in path.split("/") if p]
        try:
            if parts[:1] == ["files"] and len(parts) >= 2:
                name = os.path.join(ROOT, *parts[1:])
                if not os.path.realpath(name).startswith(os.path.realpath(ROOT)) or not os.path.isfile(name):
                    return self.answer(404, b"missing")
                with open(name, "rb") as f:
                    return self.answer(200, f.read())
            if parts[:1] == ["update"]:
                name = os.path.join(ROOT, *parts)
                if not os.path.isfile(name):
                    return self.answer(404, b"missing")
                with open(name, "rb") as f:
                    return self.answer(200, f.read())
            if parts[:1] == ["redirect"]:
                n = int(parts[1])
                if n == 0:
                    return self.answer(200, b"arrived")
                return self.answer(302, b"", {"Location": "/redirect/%d" % (n - 1)})
            if parts[:1] == ["status"]:
                return self.answer(int(parts[1]), b"")
            if parts[:1] == ["stall"]:
                self.send_response(200)
                self.send_header("Content-Length", "100000")
                self.end_headers()
                self.wfile.write(b"<html><body>")
                self.wfile.flush()
                time.sleep(3600)
                return
            if parts[:1] == ["slow"]:
                total, chunk, ms = int(parts[1]), int(parts[2]), int(parts[3])
                self.send_response(200)
                self.send_header("Content-Length", str(total))
                self.end_headers()
                sent = 0
                while sent < total:
                    piece = min(chunk, total - sent)
                    self.wfile.write(b"x" * piece)
                    self.wfile.flush()
                    sent += piece
                    time.sleep(ms / 1000.0)
                return
            if parts[:1] == ["count"]:
                key = "/" + "/".join(parts[1:])
                with LOCK:
                    return self.answer(200, str(HITS.get(key, 0)).encode())
        except (BrokenPipeError, ConnectionResetError):
            return
        self.answer(404, b"unknown")


class Server(http.server.ThreadingHTTPServer):
    daemon_threads = True


def main():
    server = Server(("127.0.0.1", 0), Handler)
    if "--cert" in sys.argv:
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(sys.argv[sys.argv.index("--cert") + 1], sys.argv[sys.argv.index("--key") + 1])
        server.socket = context.wrap_socket(server.socket, server_side=True)
    print(server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
