#!/usr/bin/env python3
"""kvlisten as a user runs it: which arguments it takes, and one reception of untrusted
datagrams through a filter, ended by Ctrl+C (SIGINT). Argument: the kvlisten binary."""
import signal
import socket
import subprocess
import sys
import threading

KVLISTEN = sys.argv[1]
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)


def start(*arguments):
    program = subprocess.Popen([KVLISTEN, *arguments], stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    return program, program.stderr.readline().decode()


def read_lines(program, count, seconds=10):
    lines = []
    reader = threading.Thread(target=lambda: lines.extend(program.stdout.readline().decode() for _ in range(count)),
                              daemon=True)
    reader.start()
    reader.join(seconds)
    return lines


def stop(program):
    program.send_signal(signal.SIGINT)
    out, err = program.communicate(timeout=10)
    return program.returncode, out.decode()


# Accepted arguments show in the listening line; the rest get the usage line and exit code 2.
ACCEPTED = [
    (["-b", "127.0.0.1", "-p", "0"], "listening on 127.0.0.1:"),
    (["--bind", "127.0.0.1", "--port", "0", "REMOTE"], "listening on 127.0.0.1:"),
]
REFUSED = [["-p"], ["-p", "65536"], ["-p", "-1"], ["-p", "98x"], ["-b", "127.0.0"], ["-b", "127.0.0.256"],
           ["-b", "localhost"], ["-x"], ["one", "two"], ["-b", "127.0.0.1", "--port"]]

for arguments, expected in ACCEPTED:
    program, listening = start(*arguments)
    code, _ = stop(program)
    check(expected in listening and code == 0, f"{arguments}: {listening!r}, exit {code}")
for arguments in REFUSED:
    result = subprocess.run([KVLISTEN, *arguments], capture_output=True, timeout=10)
    check(result.returncode == 2 and result.stderr.startswith(b"usage: kvlisten") and not result.stdout,
          f"{arguments}: exit {result.returncode}, {result.stderr!r}")

# Three datagrams, one filtered out; the last is as long as IPv4 allows and carries bytes
# that would drive a terminal.
program, listening = start("-b", "127.0.0.1", "-p", "0", "AUXMIDI")
port = int(listening.split(";")[0].rsplit(":", 1)[1])
hostile = b'REMOTE: "MIDI" "" "AUXMIDI/0/144/60/100" 1\x1b[2J\\%s%n\x00\r\n\xff'
long_one = b"AUXMIDI" + b"a" * (65507 - 7)
with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as sender:
    sender.bind(("127.0.0.1", 0))
    for datagram in (b"SOMETHING/ELSE", hostile, long_one):
        sender.sendto(datagram, ("127.0.0.1", port))
    sender_port = sender.getsockname()[1]
    lines = [line.rstrip("\n") for line in read_lines(program, 2)]
code, rest = stop(program)
expected_hostile = 'REMOTE: "MIDI" "" "AUXMIDI/0/144/60/100" 1\\x1B[2J\\\\%s%n\\x00\\x0D\\x0A\\xFF'
check(code == 0 and len(lines) == 2 and rest == "", f"exit {code}, {len(lines)} lines, then {rest[:80]!r}")
lines += ["", ""]
check(lines[0].endswith(f" 127.0.0.1:{sender_port} {expected_hostile}"), f"first line {lines[0][:120]!r}")
check(lines[1].endswith(f" 127.0.0.1:{sender_port} " + long_one.decode()), "the long datagram is not whole")
check(len(lines[0]) > 12 and lines[0][2] == ":" and lines[0][8] == ".", f"no time: {lines[0][:20]!r}")

print("\n".join(failures) if failures else "kvlisten: all checks passed")
sys.exit(1 if failures else 0)
