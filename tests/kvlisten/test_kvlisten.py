#!/usr/bin/env python3
# kvlisten as a user runs it: the arguments it refuses, and one reception of untrusted datagrams
# through a filter, ended by Ctrl+C (SIGINT). Argument: the kvlisten binary.
import re, signal, socket, subprocess, sys

KVLISTEN = sys.argv[1]
failures = []
signal.alarm(60)   # a reception that never comes ends the run (SIGALRM) instead of hanging it

# Each gets the usage line and exit code 2.
for arguments in (["-p"], ["-p", "65536"], ["-p", "-1"], ["-p", "98x"], ["-b", "127.0.0"], ["-b", "127.0.0.256"],
                  ["-b", "localhost"], ["-x"], ["one", "two"], ["-b", "127.0.0.1", "--port"]):
    result = subprocess.run([KVLISTEN, *arguments], capture_output=True, timeout=10)
    if result.returncode != 2 or not result.stderr.startswith(b"usage: kvlisten") or result.stdout:
        failures.append(f"{arguments}: exit {result.returncode}, {result.stderr!r}")

# Three datagrams, one filtered out; the first shown carries bytes that would drive a terminal,
# the second is as long as IPv4 allows.
program = subprocess.Popen([KVLISTEN, "-b", "127.0.0.1", "--port", "0", "AUXMIDI"], stdout=subprocess.PIPE,
                           stderr=subprocess.PIPE)
port = int(re.match(rb"kvlisten: listening on 127\.0\.0\.1:(\d+);", program.stderr.readline()).group(1))
hostile = b'REMOTE: "MIDI" "" "AUXMIDI/0/144/60/100" 1\x1b[2J\\%s%n\x00\r\n\xff'
long_one = b"AUXMIDI" + b"a" * (65507 - 7)
with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as sender:
    sender.bind(("127.0.0.1", 0))
    for datagram in (b"SOMETHING/ELSE", hostile, long_one):
        sender.sendto(datagram, ("127.0.0.1", port))
    source = f"127.0.0.1:{sender.getsockname()[1]}"
lines = [program.stdout.readline().decode() for _ in range(2)]
program.send_signal(signal.SIGINT)
rest = program.communicate(timeout=10)[0].decode()
if program.returncode != 0 or rest:
    failures.append(f"exit {program.returncode}, then {rest[:80]!r}")
escaped = 'REMOTE: "MIDI" "" "AUXMIDI/0/144/60/100" 1\\x1B[2J\\\\%s%n\\x00\\x0D\\x0A\\xFF'
for line, ending in zip(lines, [escaped, long_one.decode()]):
    if not re.fullmatch(r"\d\d:\d\d:\d\d\.\d{3} " + re.escape(f"{source} {ending}"), line.rstrip("\n")):
        failures.append(f"line {line[:120]!r}")

sys.exit("\n".join(failures) if failures else 0)
