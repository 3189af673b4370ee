#!/usr/bin/python3
'''Chaos soak of the real tray app against a simulated world.

    soak.py --app PATH [--events N | --minutes M] [--seed S] [--max-growth-mb MB] [--log FILE]

Starts a private system bus with a simulated NetworkManager (one open cafe network, one secured home
network) and a simulated login manager, a loopback detection page whose behaviour the soak switches,
then the app. It then drives scripted events, one every couple of seconds, picked at random (seeded)
from what the world allows: leaving and re-joining, switching networks mid-probe, a captive portal
appearing and clearing, radio off and on, the detection page answering slowly, never, with garbage or
without end, NetworkManager going away and coming back, the scan/join permission taken and given back,
the keyring locked and unlocked, and the machine waking.

After every event it checks that the assistant loop keeps running and that the next checks complete;
whenever the world is back to plain (radio on, joined, internet answering) it checks that the app
publishes that within a few checks. At the end it asks the app to quit, and fails on any sanitizer
report, on a stuck loop, on a published state that never matched, or when resident memory grew by
more than the bound after warm-up. It prints one line per event and a summary.
'''

import argparse
import os
import random
import re
import signal
import subprocess
import sys
import tempfile
import threading
import time


HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
from soak_world import DetectionPage, SimulatedWorld  # noqa: E402

SANITIZER_REPORT = re.compile(r'ERROR: (AddressSanitizer|LeakSanitizer)|runtime error:|WARNING: ThreadSanitizer')
CHECK_STARTED = re.compile(r'Connectivity check started')
LOOP_TICK = re.compile(r'Auto-connect check (requested|blocked)|Connectivity check skipped')
PUBLISHED = re.compile(r'Publishing snapshot: connection=(\w+), portal=(\w+)')
WAKE = re.compile(r'System wake detected')


class AppWatch:
    '''Reads the app's log as it is written and keeps the counters the assertions need.'''

    def __init__(self, process, log_path):
        self.process = process
        self.lock = threading.Lock()
        self.checks = 0
        self.ticks = 0
        self.wakes = 0
        self.published = None
        self.sanitizer_lines = []
        self.log = open(log_path, 'w', encoding='utf-8', errors='replace')
        self.peak_kib = 0
        self.quitting = False
        self.thread = threading.Thread(target=self._read, daemon=True)
        self.thread.start()
        threading.Thread(target=self._sample, daemon=True).start()

    def _sample(self):
        # Memory counts while the app runs; the leak check at exit maps its own, and is not the app's.
        while self.alive() and not self.quitting:
            rss = resident_kib(self.process.pid)
            with self.lock:
                if not self.quitting:
                    self.peak_kib = max(self.peak_kib, rss)
            time.sleep(0.2)

    def stop_sampling(self):
        with self.lock:
            self.quitting = True

    def restart_peak(self):
        with self.lock:
            self.peak_kib = 0

    def _read(self):
        for raw in self.process.stderr:
            line = raw.decode('utf-8', 'replace')
            self.log.write(line)
            with self.lock:
                if CHECK_STARTED.search(line):
                    self.checks += 1
                if LOOP_TICK.search(line) or CHECK_STARTED.search(line):
                    self.ticks += 1
                if WAKE.search(line):
                    self.wakes += 1
                match = PUBLISHED.search(line)
                if match:
                    self.published = (match.group(1), match.group(2))
                if SANITIZER_REPORT.search(line):
                    self.sanitizer_lines.append(line.strip())
        self.log.flush()

    def tail(self, count):
        self.log.flush()
        with open(self.log.name, encoding='utf-8', errors='replace') as log:
            return log.readlines()[-count:]

    def counters(self):
        with self.lock:
            return self.checks, self.ticks, self.wakes, self.published

    def alive(self):
        return self.process.poll() is None


def resident_kib(pid):
    try:
        with open(f'/proc/{pid}/status', encoding='ascii') as status:
            for line in status:
                if line.startswith('VmRSS:'):
                    return int(line.split()[1])
    except OSError:
        pass
    return 0


class Soak:
    def __init__(self, args, world, page, watch):
        self.args = args
        self.world = world
        self.page = page
        self.watch = watch
        self.rng = random.Random(args.seed)
        self.failures = []
        self.events = 0
        self.checks_at_start = 0

    def wait_for(self, condition, seconds):
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            if not self.watch.alive():
                return False
            if condition():
                return True
            time.sleep(0.1)
        return condition()

    def fail(self, event, text):
        self.failures.append(f'{event}: {text}')
        print(f'soak: FAIL after {event}: {text}', flush=True)

    def expect_loop(self, event):
        '''The loop keeps ticking, and while the gate is open, two more checks start: so the one
        running at the event finished, and so did the one after it.'''
        checks, ticks, _, _ = self.watch.counters()
        if not self.wait_for(lambda: self.watch.counters()[1] >= ticks + 3, 20):
            self.fail(event, 'the assistant loop stopped ticking')
            return
        if not self.world.permitted:
            return
        if not self.wait_for(lambda: self.watch.counters()[0] >= checks + 2, 60):
            self.fail(event, 'no check completed within 60 s (a stuck check)')

    def expect_published(self, event):
        '''When the world is plain again, the app says so within a few checks.'''
        expected = self.world.expected_connection(self.page.mode)
        if expected is None:
            return
        if not self.wait_for(lambda: (self.watch.counters()[3] or ('', ''))[0] == expected, 45):
            self.fail(event, f'published {self.watch.counters()[3]}, the world says {expected}')
            # The app may catch up later and the run goes on, so what it logged meanwhile is kept now.
            print('soak: what the app logged while it lagged behind:\n' + ''.join(self.watch.tail(120)),
                  file=sys.stderr, flush=True)

    # Every heavy path once before memory is measured: the web engine, a re-join, the radio.
    WARM_UP = ['portal', 'leave', 'radio_off', 'radio_on', 'detection_endless', 'detection_back']

    def choose(self):
        if self.events < len(self.WARM_UP):
            return self.WARM_UP[self.events]
        w = self.world
        options = []
        if not w.radio:
            return 'radio_on'
        if not w.manager_running:
            return 'manager_back'
        if not w.permitted:
            return 'permission_back'
        if self.page.mode != 'online':
            return self.rng.choice(['detection_back', 'detection_back', 'leave'])
        if w.keyring_locked:
            return self.rng.choice(['portal', 'keyring_unlock'])  # a portal makes the app reach the keyring
        options += ['leave'] * 3 + ['switch_mid_probe'] * 2 + ['portal'] * 3 + ['radio_off'] * 2
        options += ['detection_slow', 'detection_silent', 'detection_garbage', 'detection_endless']
        options += ['manager_restart'] * 2 + ['permission_off'] * 2 + ['wake'] * 2
        if w.keyring:
            options.append('keyring_lock')
        return self.rng.choice(options)

    def apply(self, event):
        w, page = self.world, self.page
        if event == 'leave':
            w.leave()
        elif event == 'switch_mid_probe':
            page.set_mode('slow')
            time.sleep(self.rng.uniform(0.5, 2.5))
            w.join_home()
            time.sleep(self.rng.uniform(0.5, 2.0))
            page.set_mode('online')
            w.leave()
        elif event == 'portal':
            page.set_mode('portal')
            # A click-to-continue page with a terms box: the hidden attempt must pass it by itself.
            if not self.wait_for(lambda: page.mode == 'online', 60):
                self.fail(event, 'the hidden attempt did not pass a click-to-continue portal within 60 s')
                page.set_mode('online')
        elif event == 'detection_back':
            page.set_mode('online')
        elif event.startswith('detection_'):
            page.set_mode(event[len('detection_'):])
        elif event == 'radio_off':
            w.set_radio(False)
        elif event == 'radio_on':
            w.set_radio(True)
        elif event == 'manager_restart':
            w.stop_manager()
            time.sleep(self.rng.uniform(0.2, 3.0))
        elif event == 'manager_back':
            w.start_manager()
        elif event == 'permission_off':
            w.set_permitted(False)
        elif event == 'permission_back':
            w.set_permitted(True)
        elif event == 'wake':
            wakes = self.watch.counters()[2]
            w.wake()
            if not self.wait_for(lambda: self.watch.counters()[2] > wakes, 10):
                self.fail(event, 'the wake signal was not noticed')
        elif event == 'keyring_lock':
            w.lock_keyring()
        elif event == 'keyring_unlock':
            w.unlock_keyring()

    def run(self):
        if not self.wait_for(lambda: self.watch.counters()[0] >= 2, 90):
            self.fail('start', 'the app ran no check within 90 s')
            return
        self.expect_published('start')
        self.checks_at_start = self.watch.counters()[0]
        warm_events = len(self.WARM_UP)
        baseline = None
        deadline = time.monotonic() + self.args.minutes * 60 if self.args.minutes else None
        while self.watch.alive():
            if deadline is None and self.events >= self.args.events:
                break
            if deadline is not None and time.monotonic() >= deadline:
                break
            event = self.choose()
            self.apply(event)
            self.events += 1
            self.expect_loop(event)
            self.expect_published(event)
            checks, _, _, published = self.watch.counters()
            rss = resident_kib(self.watch.process.pid)
            if self.events == warm_events:
                baseline = rss
                self.watch.restart_peak()
            print(f'soak: event {self.events} {event}: checks={checks} published={published} rss={rss // 1024} MB',
                  flush=True)
            time.sleep(self.rng.uniform(0.5, 2.0))
        if not self.watch.alive():
            self.fail('run', f'the app exited with {self.watch.process.returncode}')
        return baseline


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument('--app', required=True)
    parser.add_argument('--events', type=int, default=40)
    parser.add_argument('--minutes', type=float, default=0, help='run for this long instead of --events')
    parser.add_argument('--seed', type=int, default=int(time.time()))
    parser.add_argument('--max-growth-mb', type=int, default=64, help='growth allowed from warm-up to the end')
    parser.add_argument('--max-peak-mb', type=int, default=300, help='growth allowed at any moment after warm-up')
    parser.add_argument('--log', help='keep the app log here (default: a temporary file, printed on failure)')
    args = parser.parse_args()

    run_dir = tempfile.mkdtemp(prefix='brewbeacon-soak-')
    log_path = args.log or os.path.join(run_dir, 'app.log')
    print(f'soak: seed {args.seed}, log {log_path}', flush=True)
    world = SimulatedWorld(HERE)
    page = DetectionPage()
    process = None
    try:
        world.start()
        page.start()
        env = dict(os.environ,
                   BREWBEACON_SYSTEM_BUS_ADDRESS=world.address,
                   BREWBEACON_DETECTION_URL=page.url('/hotspot-detect.html'),
                   BREWBEACON_SERVICE_URL=page.url('/'),
                   BREWBEACON_DISABLE_ANALYTICS='1',
                   BREWBEACON_LOG_STDERR='1', BREWBEACON_LOG_LEVEL='debug',
                   QT_QPA_PLATFORM=os.environ.get('QT_QPA_PLATFORM', 'offscreen'),
                   XDG_CONFIG_HOME=os.path.join(run_dir, 'config'), XDG_CACHE_HOME=os.path.join(run_dir, 'cache'))
        process = subprocess.Popen([args.app], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        watch = AppWatch(process, log_path)
        soak = Soak(args, world, page, watch)
        baseline = soak.run()
        end_rss = resident_kib(process.pid)
        checks = watch.counters()[0] - soak.checks_at_start

        watch.stop_sampling()
        if watch.alive():
            process.send_signal(signal.SIGTERM)
            try:
                code = process.wait(60)
            except subprocess.TimeoutExpired:
                process.kill()
                code = process.wait()
                soak.fail('quit', 'the app did not quit within 60 s of SIGTERM')
            if code != 0:
                soak.fail('quit', f'the app exited with {code}')
        watch.thread.join(30)
        if watch.sanitizer_lines:
            soak.fail('run', f'{len(watch.sanitizer_lines)} sanitizer report line(s): {watch.sanitizer_lines[0]}')
        if baseline and watch.peak_kib - baseline > args.max_peak_mb * 1024:
            soak.fail('run', f'resident memory peaked at {watch.peak_kib // 1024} MB after warm-up '
                             f'({baseline // 1024} MB at its end): an unbounded read or a leak under load')
        if baseline and end_rss - baseline > args.max_growth_mb * 1024:
            soak.fail('run', f'resident memory grew from {baseline // 1024} MB to {end_rss // 1024} MB after warm-up')

        print(f'soak: {soak.events} events survived, {checks} checks completed, memory after warm-up '
              f'{(baseline or 0) // 1024} MB, at the end {end_rss // 1024} MB (peak {watch.peak_kib // 1024} MB), '
              f'sanitizer reports '
              f'{len(watch.sanitizer_lines)}', flush=True)
        if soak.failures:
            with open(log_path, encoding='utf-8', errors='replace') as log:
                tail = log.readlines()[-60:]
            print('soak: the last lines the app logged:\n' + ''.join(tail), file=sys.stderr)
            print(f'soak: {len(soak.failures)} failure(s)', file=sys.stderr)
            return 1
        return 0
    finally:
        if process and process.poll() is None:
            process.kill()
        page.stop()
        world.stop()


if __name__ == '__main__':
    sys.exit(main())
