"""CPU time of a process from each thread's schedstat (nanoseconds): the stat file's 10 ms clock ticks
are too coarse for an idle process over half a minute. A thread that ends between two readings takes its
time with it, which at idle does not happen."""
import os


def thread_cpu_seconds(pid):
    try:
        tasks = os.listdir("/proc/%d/task" % pid)
    except OSError:
        return 0.0
    total = 0.0
    for task in tasks:
        try:
            with open("/proc/%d/task/%s/schedstat" % (pid, task), encoding="utf-8") as handle:
                total += int(handle.read().split()[0]) / 1e9
        except (OSError, IndexError, ValueError):
            continue
    return total
