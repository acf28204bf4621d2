#!/usr/bin/env python3
"""How long a normal lookup takes while slow clients hold connections.

    bench/server/slow_clients.py PORT [CONNECTIONS] [SECONDS]

Opens CONNECTIONS (600) connections to 127.0.0.1:PORT that send a request
head one byte every 3 s, and meanwhile times plain lookups on fresh
connections for SECONDS (12). Prints the slowest and median lookup time, and
how many of the slow connections the server had closed by the end.
"""
import socket
import statistics
import sys
import time

port = int(sys.argv[1])
count = int(sys.argv[2]) if len(sys.argv) > 2 else 600
seconds = float(sys.argv[3]) if len(sys.argv) > 3 else 12

slow = []
for _ in range(count):
    s = socket.create_connection(("127.0.0.1", port))
    s.sendall(b"GET /apps HTTP/1.1\r\nHost: x\r\n")
    s.setblocking(False)
    slow.append(s)

def lookup():
    start = time.monotonic()
    with socket.create_connection(("127.0.0.1", port), timeout=10) as c:
        c.sendall(b"GET /zentra/decode.php?address=Paris HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n")
        data = b""
        while True:
            part = c.recv(4096)
            if not part:
                break
            data += part
    if not data.startswith(b"HTTP/1.1 200"):
        raise SystemExit("lookup failed: %r" % data[:80])
    return time.monotonic() - start

times = []
closed = set()
end = time.monotonic() + seconds
next_drip = time.monotonic() + 3
while time.monotonic() < end:
    if time.monotonic() >= next_drip:
        for i, s in enumerate(slow):
            if i in closed:
                continue
            try:
                s.send(b"X")
            except OSError:
                closed.add(i)
        next_drip += 3
    try:
        times.append(lookup())
    except socket.timeout:
        raise SystemExit("%d slow connections: a lookup got no answer within 10 s" % count)
    time.sleep(0.1)
for i, s in enumerate(slow):
    try:
        if s.recv(1) == b"":
            closed.add(i)
    except BlockingIOError:
        pass
    except OSError:
        closed.add(i)
    s.close()
print("%d slow connections: %d lookups, median %.1f ms, slowest %.1f ms; %d slow ones closed by the server"
      % (count, len(times), statistics.median(times) * 1000, max(times) * 1000, len(closed)))
