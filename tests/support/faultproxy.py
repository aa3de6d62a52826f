#!/usr/bin/python3
"""A print server that misbehaves at a chosen moment, for the printing tests.

    faultproxy.py LISTEN SERVER COUNTS KIND DIRECTION AT

stands on the socket LISTEN (a path, or HOST:PORT for TCP) in front of the print server on the
socket SERVER and passes every
byte between them, until byte AT of what the clients send (DIRECTION "requests") or of what the
server answers ("answers"), counted over all connections. From there on, on every connection:
  none     nothing changes
  freeze   nothing more passes; the connections stay open
  trickle  answers pass a byte every 0.2 seconds, requests not at all
  close    the connections are shut down, and new ones as soon as they come
  garbage  the client gets bytes that are no answer, then its connection is shut down
  babble   the client gets bytes that are no answer, and its connection stays open
or only on the connection that carries byte AT, all others passing as before:
  cut      the connection is shut down
  stall    nothing more passes on it; it stays open
SILENCE seconds after byte AT, the connections kept open but silent (freeze, trickle, babble,
stall) are shut, and new ones too: a client that never gives up then ends late, which its test
sees by the time it took, long before the test runner's own time limit.
The bytes passed so far each way and the moment byte AT passed on the monotonic clock in seconds
(-1 before), "requests answers moment", are kept in the file COUNTS.
"""
import os
import socket
import sys
import threading
import time

listen, server, counts, kind, direction, at = sys.argv[1:7]
at = int(at)
passed = {"requests": 0, "answers": 0}
lock = threading.Lock()
misbehaving = threading.Event()
reached = threading.Event()
ONE_CONNECTION = ("cut", "stall")
KEPT_OPEN = ("freeze", "trickle", "babble")
SILENCE = 30  # longer than any deadline of the tests, the cancel's grace included
reached_at = 0.0


def silence_over():
    return reached.is_set() and time.monotonic() > reached_at + SILENCE


def stay_silent():
    time.sleep(max(0.0, reached_at + SILENCE - time.monotonic()))


def shut(*sockets):
    for s in sockets:
        try:
            s.shutdown(socket.SHUT_RDWR)
        except OSError:
            pass


def count(way, data):
    """The part of `data` that still passes as it is, and whether AT lies in it (the first time):
    then `misbehaving` is set, unless only that connection misbehaves."""
    global reached_at
    with lock:
        first = passed[way]
        passed[way] += len(data)
        hit = (kind != "none" and way == direction and first + len(data) > at
               and not reached.is_set())
        if hit:
            reached_at = time.monotonic()
            reached.set()
        moment = reached_at if reached.is_set() else -1
        with open(counts + ".new", "w") as out:
            out.write(f"{passed['requests']} {passed['answers']} {moment}\n")
        os.replace(counts + ".new", counts)
    if hit:
        if kind not in ONE_CONNECTION:
            misbehaving.set()
        return data[:max(0, at - first)], True
    return data, False


def misbehave(way, data, source, target, client):
    if kind == "freeze" or (kind == "trickle" and way == "requests"):
        stay_silent()
    elif kind == "trickle":
        for byte in data:
            if silence_over():
                break
            target.sendall(bytes([byte]))
            time.sleep(0.2)
        else:
            return
    elif kind in ("garbage", "babble"):
        client.sendall(b"\x00\xffgarbage\r\n\r\n" * 64)
        if kind == "babble":
            stay_silent()
    shut(source, target)


def pump(way, source, target, client, stalled):
    try:
        while (data := source.recv(65536)) and not stalled.is_set():
            if misbehaving.is_set():
                misbehave(way, data, source, target, client)
                continue
            passing, hit = count(way, data)
            target.sendall(passing)
            if hit and kind == "stall":
                stalled.set()
                break
            if hit and kind == "cut":
                break
            if misbehaving.is_set():
                misbehave(way, data[len(passing):], source, target, client)
    except OSError:
        pass
    # A connection that stays open stays so whatever its other end does: the server, too, may
    # give up on a request that stopped halfway, and its close must not reach the client.
    if stalled.is_set() or (misbehaving.is_set() and kind in KEPT_OPEN):
        stay_silent()
    shut(source, target)


def main():
    if listen.startswith("/"):
        if os.path.exists(listen):
            os.unlink(listen)
        stand_in = socket.socket(socket.AF_UNIX)
        stand_in.bind(listen)
    else:
        host, port = listen.rsplit(":", 1)
        stand_in = socket.socket(socket.AF_INET)
        stand_in.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        stand_in.bind((host, int(port)))
    stand_in.listen(64)
    # The counts file tells the tests that the stand-in takes connections: only now.
    count("requests", b"")
    while True:
        client, _ = stand_in.accept()
        if misbehaving.is_set() and (kind in ("close", "garbage") or silence_over()):
            shut(client)
            continue
        upstream = socket.socket(socket.AF_UNIX)
        upstream.connect(server)
        stalled = threading.Event()
        for way, source, target in (("requests", client, upstream), ("answers", upstream, client)):
            threading.Thread(target=pump, args=(way, source, target, client, stalled),
                             daemon=True).start()


main()
