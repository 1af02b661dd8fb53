#!/usr/bin/env python3
"""A small web server for the tests, on 127.0.0.1 only.

  test_server.py ROOT [--cert CERT --key KEY] [--control SECONDS]

Prints the port it listens on, then serves. With --control, for a parent that
can neither signal nor wait for it (a Windows test under wine): it prints a
second port, whose first connection ends the server, and ends by itself
after SECONDS. It serves:
  /files/NAME            the bytes of ROOT/NAME (404 when missing); with
                         ?pace=CHUNK,MS in CHUNK-sized pieces, MS ms apart
  /update/...            the same below ROOT/update; a file NAME.redirect beside
                         NAME makes it a 302 to the address the file holds
  /redirect/N            302 to /redirect/N-1; /redirect/0 answers "arrived"
  /status/N              an empty answer with status N
  /stall                 a 200 with a few bytes of body, then silence
  /slow/BYTES/CHUNK/MS   BYTES bytes in CHUNK-sized pieces, MS ms apart
  /count/PATH            how many requests PATH has had
Hostile answers:
  /goto?URL              302 to URL, whatever its scheme
  /pad/N                 an HTML page of exactly N bytes
  /chunked/N             N bytes of "x" in chunks, without a length
  /endless               an HTML page in chunks that never ends
  /nested/N              N <div> inside one another
  /unclosed/N            N unclosed <b>
  /table/N               a results table of N rows (the draw in row 3)
  /ftpport               the port of a listener that only counts connections
  /count/ftp             how many connections that listener has had
"""
import http.server
import os
import socket
import ssl
import sys
import threading
import time

ROOT = sys.argv[1]
HITS = {}
LOCK = threading.Lock()
FTP = {"port": 0, "connections": 0}


def ftp_listener():
    """Stands in for an ftp server: greets, counts, closes."""
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.bind(("127.0.0.1", 0))
    listener.listen(16)
    FTP["port"] = listener.getsockname()[1]

    def serve():
        while True:
            conn, _ = listener.accept()
            with LOCK:
                FTP["connections"] += 1
            try:
                conn.sendall(b"220 ready\r\n")
                conn.recv(1024)
            except OSError:
                pass
            conn.close()

    threading.Thread(target=serve, daemon=True).start()


def padded_page(n):
    head = b"<html><body><table class=\"kjtable\"><tbody><tr><td>x</td></tr></tbody></table><p>"
    tail = b"</p></body></html>"
    if n < len(head) + len(tail):
        return b"x" * n
    return head + b"y" * (n - len(head) - len(tail)) + tail


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
        query = self.path.split("?", 1)[1] if "?" in self.path else ""
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
                    body = f.read()
                if not query.startswith("pace="):
                    return self.answer(200, body)
                chunk, ms = (int(v) for v in query[5:].split(","))
                self.send_response(200)
                self.send_header("Content-Length", str(len(body)))
                self.end_headers()
                for at in range(0, len(body), chunk):
                    self.wfile.write(body[at:at + chunk])
                    self.wfile.flush()
                    time.sleep(ms / 1000.0)
                return
            if parts[:1] == ["update"]:
                name = os.path.join(ROOT, *parts)
                if os.path.isfile(name + ".redirect"):
                    with open(name + ".redirect") as f:
                        return self.answer(302, b"", {"Location": f.read().strip()})
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
                    if key == "/ftp":
                        return self.answer(200, str(FTP["connections"]).encode())
                    return self.answer(200, str(HITS.get(key, 0)).encode())
            if parts[:1] == ["ftpport"]:
                return self.answer(200, str(FTP["port"]).encode())
            if parts[:1] == ["goto"]:
                return self.answer(302, b"", {"Location": query})
            if parts[:1] == ["pad"]:
                return self.answer(200, padded_page(int(parts[1])), {"Content-Type": "text/html"})
            if parts[:1] == ["nested"]:
                n = int(parts[1])
                return self.answer(200, b"<html><body>" + b"<div>" * n + b"x" + b"</div>" * n + b"</body></html>")
            if parts[:1] == ["table"]:
                rows = b"".join(b"<tr><td>%d</td></tr>" % i for i in range(int(parts[1])))
                return self.answer(200, b"<html><body><table class=\"kjtable\"><tbody>" + rows +
                                   b"</tbody></table></body></html>")
            if parts[:1] == ["unclosed"]:
                return self.answer(200, b"<html><body>" + b"<b>" * int(parts[1]) + b"x</body></html>")
            if parts[:1] in (["chunked"], ["endless"]):
                self.send_response(200)
                self.send_header("Transfer-Encoding", "chunked")
                self.end_headers()
                endless = parts[0] == "endless"
                left = 0 if endless else int(parts[1])
                piece = b"<p>" + b"x" * 65533 if endless else None
                while endless or left > 0:
                    chunk = piece if endless else b"x" * min(65536, left)
                    self.wfile.write(b"%x\r\n%s\r\n" % (len(chunk), chunk))
                    if not endless:
                        left -= len(chunk)
                if not endless:
                    self.wfile.write(b"0\r\n\r\n")
                self.wfile.flush()
                return
        except (BrokenPipeError, ConnectionResetError):
            return
        self.answer(404, b"unknown")


def control_listener(lifetime):
    """Ends the server at its first connection, or after lifetime seconds."""
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.bind(("127.0.0.1", 0))
    listener.listen(1)

    def serve():
        listener.accept()
        os._exit(0)

    threading.Thread(target=serve, daemon=True).start()
    threading.Timer(lifetime, os._exit, (0,)).start()
    return listener.getsockname()[1]


class Server(http.server.ThreadingHTTPServer):
    daemon_threads = True


def main():
    ftp_listener()
    server = Server(("127.0.0.1", 0), Handler)
    if "--cert" in sys.argv:
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(sys.argv[sys.argv.index("--cert") + 1], sys.argv[sys.argv.index("--key") + 1])
        server.socket = context.wrap_socket(server.socket, server_side=True)
    ports = [server.server_address[1]]
    if "--control" in sys.argv:
        ports.append(control_listener(float(sys.argv[sys.argv.index("--control") + 1])))
    print(*ports, flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
