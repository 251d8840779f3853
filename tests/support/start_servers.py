#!/usr/bin/env python3
"""Starts the servers that network tests talk to, on loopback ports:

  NGINX    nginx serving a generated document root (files, redirects, statuses)
  PROXY    tinyproxy, an HTTP proxy
  PEER     tests/data/net/http_peer.py, for replies nginx will not produce
  REFUSED  a port on which nothing listens

and writes NAME=127.0.0.1:PORT lines (and NGINX_ROOT=folder) to --state and standard output.

  start_servers.py --state FILE [--root DIR] [--nginx-port N --proxy-port N --peer-port N]
      runs in the foreground until standard input ends or it is terminated (the tests start it
      with a pipe on its standard input, so the servers go away with the test process);
  start_servers.py --detach --state FILE ...   starts in the background and returns;
  start_servers.py --stop --state FILE         stops a detached instance.

Ports default to free ones. With --root, nginx serves that folder instead of the generated
fixtures (the redirect and status locations stay)."""

import argparse
import os
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import threading
import time

HERE = os.path.dirname(os.path.abspath(__file__))
PEER = os.path.join(HERE, "..", "data", "net", "http_peer.py")
LARGE_SIZE = 12 * 1024 * 1024


def large_pattern(size):
    # Byte i is ((i % 251) * 7 + 3) % 256: a prime period, so misplaced blocks show.
    period = bytes(((i * 7) + 3) % 256 for i in range(251))
    return (period * (size // 251 + 1))[:size]


def write_fixtures(root):
    files = os.path.join(root, "files")
    os.makedirs(files, exist_ok=True)
    with open(os.path.join(files, "hello.txt"), "wb") as out:
        out.write(b"hello")
    with open(os.path.join(files, "page.html"), "wb") as out:
        out.write(b"<!DOCTYPE html><html><body>a page</body></html>")
    with open(os.path.join(files, "large.bin"), "wb") as out:
        out.write(large_pattern(LARGE_SIZE))


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def wait_until_accepting(port, process, name):
    deadline = time.time() + 15
    while time.time() < deadline:
        if process.poll() is not None:
            sys.exit("%s exited at start (code %s)" % (name, process.returncode))
        try:
            with socket.create_connection(("127.0.0.1", port), timeout=0.5):
                return
        except OSError:
            time.sleep(0.05)
    sys.exit("%s did not accept connections on port %d" % (name, port))


NGINX_CONF = """
worker_processes 1;
master_process off;
daemon off;
error_log {scratch}/error.log;
pid {scratch}/nginx.pid;
events {{ worker_connections 256; }}
http {{
    access_log off;
    client_body_temp_path {scratch}/body;
    proxy_temp_path {scratch}/proxy;
    fastcgi_temp_path {scratch}/fastcgi;
    uwsgi_temp_path {scratch}/uwsgi;
    scgi_temp_path {scratch}/scgi;
    default_type application/octet-stream;
    sendfile on;
    absolute_redirect off;
    server {{
        listen 127.0.0.1:{port};
        root {root};
        location = /r/abs {{ return 302 http://127.0.0.1:{port}/r/to/abs; }}
        location = /r/rooted {{ return 301 /r/to/rooted; }}
        location = /r/rel {{ return 302 to/rel; }}
        location = /r/loop {{ return 302 /r/loop; }}
        location ^~ /r/to/ {{ default_type text/plain; return 200 "$request_uri"; }}
        location = /status/500 {{ return 500; }}
    }}
}}
"""

TINYPROXY_CONF = """
Port {port}
Listen 127.0.0.1
Timeout 60
MaxClients 64
LogLevel Critical
Allow 127.0.0.1
DisableViaHeader Yes
"""


def start(args):
    scratch = tempfile.mkdtemp(prefix="updater-servers-")
    root = args.root or os.path.join(scratch, "www")
    if not args.root:
        write_fixtures(root)
    processes = []

    nginx_port = args.nginx_port or free_port()
    with open(os.path.join(scratch, "nginx.conf"), "w") as conf:
        conf.write(NGINX_CONF.format(scratch=scratch, port=nginx_port, root=os.path.abspath(root)))
    processes.append(subprocess.Popen(
        ["nginx", "-p", scratch, "-c", os.path.join(scratch, "nginx.conf")],
        stdin=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
    wait_until_accepting(nginx_port, processes[-1], "nginx")

    proxy_port = args.proxy_port or free_port()
    with open(os.path.join(scratch, "tinyproxy.conf"), "w") as conf:
        conf.write(TINYPROXY_CONF.format(port=proxy_port))
    processes.append(subprocess.Popen(
        ["tinyproxy", "-d", "-c", os.path.join(scratch, "tinyproxy.conf")],
        stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
    wait_until_accepting(proxy_port, processes[-1], "tinyproxy")

    peer_port = args.peer_port or free_port()
    processes.append(subprocess.Popen(
        [sys.executable, PEER, str(peer_port)],
        stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL))
    wait_until_accepting(peer_port, processes[-1], "http_peer")

    lines = ["NGINX=127.0.0.1:%d" % nginx_port, "PROXY=127.0.0.1:%d" % proxy_port,
             "PEER=127.0.0.1:%d" % peer_port, "REFUSED=127.0.0.1:%d" % free_port(),
             "NGINX_ROOT=%s" % os.path.abspath(root), "PID=%d" % os.getpid()]
    temporary = args.state + ".tmp"
    with open(temporary, "w") as state:
        state.write("\n".join(lines) + "\n")
    os.replace(temporary, args.state)
    print("\n".join(lines), flush=True)
    return scratch, processes


def stop_all(scratch, processes):
    for process in processes:
        process.terminate()
    for process in processes:
        try:
            process.wait(timeout=5)
        except subprocess.TimeoutExpired:
            process.kill()
    shutil.rmtree(scratch, ignore_errors=True)


def run(args):
    scratch, processes = start(args)
    finished = threading.Event()
    signal.signal(signal.SIGTERM, lambda *_: finished.set())
    signal.signal(signal.SIGINT, lambda *_: finished.set())
    if not args.detached:
        # The starter holds our standard input; its end (even a crash) stops the servers.
        threading.Thread(target=lambda: (sys.stdin.buffer.read(), finished.set()),
                         daemon=True).start()
    finished.wait()
    stop_all(scratch, processes)
    try:
        os.remove(args.state)
    except OSError:
        pass


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--state", required=True)
    parser.add_argument("--root")
    parser.add_argument("--nginx-port", type=int, default=0)
    parser.add_argument("--proxy-port", type=int, default=0)
    parser.add_argument("--peer-port", type=int, default=0)
    parser.add_argument("--detach", action="store_true")
    parser.add_argument("--detached", action="store_true", help=argparse.SUPPRESS)
    parser.add_argument("--stop", action="store_true")
    args = parser.parse_args()

    if args.stop:
        with open(args.state) as state:
            pid = [int(line[4:]) for line in state if line.startswith("PID=")][0]
        os.kill(pid, signal.SIGTERM)
        deadline = time.time() + 10
        while os.path.exists(args.state) and time.time() < deadline:
            time.sleep(0.05)
        return
    if args.detach:
        if os.path.exists(args.state):
            os.remove(args.state)
        command = [sys.executable, os.path.abspath(__file__), "--detached"] + \
            [a for a in sys.argv[1:] if a != "--detach"]
        # No inherited output either: whoever waits for our output (ctest) would wait for
        # the servers too.
        subprocess.Popen(command, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                         stderr=subprocess.DEVNULL, start_new_session=True)
        deadline = time.time() + 30
        while not os.path.exists(args.state):
            if time.time() > deadline:
                sys.exit("servers did not start")
            time.sleep(0.05)
        with open(args.state) as state:
            sys.stdout.write(state.read())
        return
    run(args)


if __name__ == "__main__":
    main()
