#!/usr/bin/env python3
"""An HTTP peer for the replies a real web server will not produce: chunked bodies in
several forms, close-delimited bodies, stalls, garbage and broken headers.

The reply is chosen by the request path (an absolute URI, as sent to a proxy, works too).
Usage: http_peer.py PORT  (binds 127.0.0.1; PORT 0 picks a free port and prints it)."""

import socket
import socketserver
import sys
import time

LARGE_CHUNK = bytes(range(256)) * 40  # 10240 bytes, sent as one chunk of a five-digit size


def fixed(body, extra=b""):
    return b"HTTP/1.0 200 OK\r\n" + extra + b"Content-Length: %d\r\n\r\n" % len(body) + body


# Path -> list of byte strings sent with a short pause between them, then the peer closes.
REPLIES = {
    "/chunked4": [b"HTTP/1.0 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
                  b"0005\r\nhello\r\n0006\r\n world\r\n0000\r\n\r\n"],
    "/chunked": [b"HTTP/1.1 200 OK\r\ntransfer-encoding:  Chunked\r\n\r\n"
                 b"5;name=value\r\nhello\r\n00000006\r\n world\r\n",
                 b"%x\r\n" % len(LARGE_CHUNK) + LARGE_CHUNK + b"\r\n0\r\nX-Trailer: t\r\n\r\n"],
    "/chunked-negative": [b"HTTP/1.0 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n-5\r\nhello\r\n0\r\n\r\n"],
    "/chunked-overflow": [b"HTTP/1.0 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
                          b"FFFFFFFFFFFFFFFFFFFFFFFF\r\nhello\r\n0\r\n\r\n"],
    "/chunked-cut": [b"HTTP/1.0 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n0010\r\nonly8byt"],
    "/close": [b"HTTP/1.0 200 OK\r\nServer: peer\r\n\r\nclose-delimited body"],
    "/split": [b"HTTP/1.0 200 OK\r\nCont", b"ent-Length: 5\r", b"\n\r\nhel", b"lo"],
    "/empty200": [b"HTTP/1.0 200 OK\r\nContent-Length: 0\r\n\r\n"],
    "/nobody": [b"HTTP/1.0 200 OK\r\n\r\n"],
    "/doctype": [fixed(b"<!DOCTYPE html><html><body>not the file</body></html>")],
    "/garbage": [b"\x00\x01\x02 not http at all\r\n\r\nmore garbage"],
    "/garbage-endless": [b"x" * 65536] * 64,
    "/huge-length": [b"HTTP/1.0 200 OK\r\nContent-Length: 99999999999999999999999\r\n\r\nhello"],
    "/negative-length": [b"HTTP/1.0 200 OK\r\nContent-Length: -5\r\n\r\nhello"],
    "/short-body": [b"HTTP/1.0 200 OK\r\nContent-Length: 1000000000000\r\n\r\nonly a little"],
    "/long-body": [fixed(b"z" * 100000)],
    "/close-mid-header": [b"HTTP/1.0 200 OK\r\nContent-Le"],
    "/location-no-host": [b"HTTP/1.0 302 Found\r\nLocation: http:///x.bin\r\n\r\n"],
    "/location-empty": [b"HTTP/1.0 302 Found\r\nLocation: \r\n\r\n"],
    "/not-found": [b"HTTP/1.0 404 Not Found\r\nContent-Length: 9\r\n\r\nnot found"],
}

# Replies after which the peer keeps the connection open for a while instead of closing.
KEEP_OPEN = {
    "/mixed-case": [b"HTTP/1.0 200 OK\r\ncontent-LENGTH: 5\r\n\r\nhello"],
    "/stall-body": [b"HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\n0123456789"],
    "/stall": [],
}
KEEP_OPEN_SECONDS = 60


def read_request(conn):
    data = bytearray()
    while b"\r\n\r\n" not in data:
        more = conn.recv(65536)
        if not more:
            return bytes(data)
        data += more
    head, _, rest = bytes(data).partition(b"\r\n\r\n")
    length = 0
    for line in head.split(b"\r\n")[1:]:
        name, _, value = line.partition(b":")
        if name.strip().lower() == b"content-length":
            length = int(value.strip())
    body = bytearray(rest)
    while len(body) < length:
        more = conn.recv(1 << 20)
        if not more:
            break
        body += more
    return head + b"\r\n\r\n" + bytes(body)


def request_path(request):
    line = request.split(b"\r\n", 1)[0].decode("latin-1")
    parts = line.split(" ")
    target = parts[1] if len(parts) > 1 else "/"
    if target.lower().startswith("http://"):
        slash = target.find("/", 7)
        target = target[slash:] if slash >= 0 else "/"
    return target.split("?", 1)[0]


class Handler(socketserver.BaseRequestHandler):
    def handle(self):
        conn = self.request
        conn.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        request = read_request(conn)
        path = request_path(request)
        try:
            if path.startswith("/echo"):
                conn.sendall(fixed(request))
            elif path in REPLIES:
                self.send_parts(REPLIES[path])
            elif path in KEEP_OPEN:
                self.send_parts(KEEP_OPEN[path])
                self.wait_for_close()
            else:
                conn.sendall(b"HTTP/1.0 404 Not Found\r\nContent-Length: 0\r\n\r\n")
        except OSError:
            pass

    def send_parts(self, parts):
        for index, part in enumerate(parts):
            if index:
                time.sleep(0.05)
            self.request.sendall(part)

    def wait_for_close(self):
        self.request.settimeout(KEEP_OPEN_SECONDS)
        try:
            while self.request.recv(4096):
                pass
        except OSError:
            pass


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True
    request_queue_size = 64


def main():
    port = int(sys.argv[1]) if len(sys.argv) > 1 else 0
    with Server(("127.0.0.1", port), Handler) as server:
        print(server.server_address[1], flush=True)
        server.serve_forever()


if __name__ == "__main__":
    main()
