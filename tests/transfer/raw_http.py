#!/usr/bin/env python3
"""Sends the bytes read from standard input to 127.0.0.1:PORT over a raw socket and writes
everything the server answers to standard output (used by the transfer tests)."""
import socket
import sys

port = int(sys.argv[1])
request = sys.stdin.buffer.read()
with socket.create_connection(("127.0.0.1", port), timeout=10) as connection:
    connection.sendall(request)
    connection.shutdown(socket.SHUT_WR)
    answer = b""
    while True:
        try:
            chunk = connection.recv(65536)
        except ConnectionResetError:
            break
        if not chunk:
            break
        answer += chunk
sys.stdout.buffer.write(answer)
