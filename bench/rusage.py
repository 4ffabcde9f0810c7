"""Usage: rusage.py OUT COMMAND [ARG...]. Runs the command and writes to OUT its processor time (user + system,
of all its threads and of the children it waited for), its wall time, in seconds, and its page faults (minor +
major), as "CPU WALL FAULTS". The kernel keeps the times to the microsecond; /usr/bin/time prints them to the
hundredth, too coarse beside a difference of some tens of milliseconds. Exits with the command's status."""
import os
import sys
import time

out, command = sys.argv[1], sys.argv[2:]
open(out, "w").close()  # a command that cannot start leaves no figures of an earlier one to be read as its own
start = time.monotonic()
# Spawned, not forked: a forked copy of this interpreter would fault in pages of its own before the exec, and
# they would count as the command's.
pid = os.posix_spawnp(command[0], command, os.environ)
_, status, usage = os.wait4(pid, 0)
wall = time.monotonic() - start
with open(out, "w") as f:
    f.write(f"{usage.ru_utime + usage.ru_stime:.4f} {wall:.2f} {usage.ru_minflt + usage.ru_majflt}\n")
sys.exit(os.waitstatus_to_exitcode(status) if os.WIFEXITED(status) else 1)
