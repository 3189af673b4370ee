#!/usr/bin/python3
'''One end-to-end case against a real captive portal: the portal lab (scripts/portal-lab) in network
namespaces of its own, taken down again whatever happens. Exits 77 (skipped) with the reason on a
machine that cannot run the lab.

    run_field_case.py cli          the command-line companion before and after a person signs in
    run_field_case.py app-click    the real app passes the click-to-continue portal by itself
    run_field_case.py app-form     the real app passes the name-and-e-mail portal by itself
    run_field_case.py fill-only    the page script with auto-submit off fills and presses nothing
'''

import html.parser
import json
import os
import signal
import subprocess
import sys
import time
import urllib.parse

SOURCE = os.environ.get('BREWBEACON_SOURCE_DIR') or os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
LAB = os.path.join(SOURCE, 'scripts', 'portal-lab')
DETECTION = 'http://198.51.100.10/hotspot-detect.html'
GATEWAY = 'http://192.0.2.1:2050'
LAPTOP = '192.0.2.10'
CAFE = 'Highlands Coffee Guest'
SKIPPED = 77


class Failure(Exception):
    pass


def expect(condition, message):
    if not condition:
        raise Failure(message)


def lab(*args, timeout=90, env=None):
    '''Runs a lab command; its output, and a failure when it fails.'''
    done = subprocess.run([LAB, *args], capture_output=True, text=True, timeout=timeout, env=env)
    if done.returncode != 0:
        raise Failure(f'portal-lab {" ".join(args[:3])} failed ({done.returncode}):\n{done.stdout}{done.stderr}')
    return done.stdout


def on_laptop(*args, timeout=60, env=None):
    return subprocess.run([LAB, 'exec', *args], capture_output=True, text=True, timeout=timeout, env=env)


def laptop_client():
    '''The laptop's entry in the portal's own client list.'''
    # ndsctl refuses while the daemon's own status run holds its lock: ask again for a few seconds.
    for attempt in range(20):
        try:
            clients = json.loads(lab('ndsctl', 'json', timeout=30)).get('clients', {})
            break
        except Failure:
            if attempt == 19:
                raise
            time.sleep(0.5)
    for client in clients.values():
        if client.get('ip') == LAPTOP:
            return client
    raise Failure(f'the portal does not list the laptop: {clients}')


class Answer:
    def __init__(self, status, headers, body):
        self.status, self.headers, self.body = status, headers, body


def fetch(url, timeout=40):
    '''One GET from the laptop, as a browser would send it, without following redirects.'''
    marker = '\n--status--'
    done = on_laptop('curl', '-s', '-D', '/dev/stderr', '--max-time', str(timeout), '-w', marker + '%{http_code}', url,
                     timeout=timeout + 20)
    expect(marker in done.stdout, f'GET {url} from the laptop got no answer: {done.stderr}')
    body, status = done.stdout.rsplit(marker, 1)
    headers = {}
    for line in done.stderr.splitlines():
        name, sep, value = line.partition(':')
        if sep:
            headers[name.strip().lower()] = value.strip()
    return Answer(int(status), headers, body)


class Forms(html.parser.HTMLParser):
    '''The forms of a portal page: action, fields, and the label of their submit button.'''

    def __init__(self, text):
        super().__init__()
        self.forms = []
        self.feed(text)

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        if tag == 'form':
            self.forms.append({'action': attrs.get('action') or '', 'fields': {}, 'button': None})
        elif tag == 'input' and self.forms:
            if attrs.get('type') == 'submit':
                self.forms[-1]['button'] = (attrs.get('value') or '').strip()
            elif attrs.get('name'):
                self.forms[-1]['fields'][attrs['name']] = attrs.get('value') or ''

    def submit(self, button, base, **values):
        for form in self.forms:
            if form['button'] == button:
                fields = dict(form['fields'], **values)
                return urllib.parse.urljoin(base, form['action']) + '?' + urllib.parse.urlencode(fields)
        raise Failure(f'no "{button}" button; the page has {[form["button"] for form in self.forms]}')


def wait_for(condition, seconds, what):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if condition():
            return
        time.sleep(0.5)
    raise Failure(f'{what} within {seconds} s')


class SimulatedNetworkManager:
    '''The simulated NetworkManager on the laptop, joined to the cafe network.'''

    def __init__(self, env_file):
        self.env_file = env_file
        self.process = subprocess.Popen(
            [LAB, 'exec', '/usr/bin/python3', os.path.join(SOURCE, 'tools', 'simulated-networkmanager.py'),
             '--networks', os.path.join(SOURCE, 'tools', 'demo', 'networks.json'), '--joined', CAFE,
             '--env-file', env_file], stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
        wait_for(lambda: os.path.exists(env_file) and os.path.getsize(env_file) > 0, 30,
                 'the simulated NetworkManager did not start')
        name, _, value = open(env_file, encoding='utf-8').read().strip().partition('=')
        self.env = dict(os.environ, **{name: value})

    def stop(self):
        self.process.terminate()
        try:
            self.process.wait(10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()


def cli_check(nm):
    done = on_laptop(os.environ['BREWBEACON_CLI'], 'check', '--json', env=nm.env, timeout=90)
    try:
        return done.returncode, json.loads(done.stdout)
    except json.JSONDecodeError:
        raise Failure(f'check printed no JSON (exit {done.returncode}): {done.stdout}{done.stderr}')


def case_cli():
    lab('up', '--theme', 'click')
    env_file = os.path.join(os.environ.get('XDG_RUNTIME_DIR', '/tmp'), f'field-nm-{os.getpid()}.env')
    nm = SimulatedNetworkManager(env_file)
    try:
        code, report = cli_check(nm)
        portal = report.get('snapshot', {}).get('portal', {})
        expect(code == 3, f'check before sign-in: exit {code}, expected 3 (portal): {report}')
        expect(report['snapshot']['connection']['state'] == 'captive', f'check before sign-in: {report}')
        expect(portal.get('url', '').startswith(GATEWAY + '/opennds_preauth/'),
               f'check before sign-in names no portal page on the gateway: {portal}')

        # A person signs in with a browser: two pages, two presses.
        redirect = fetch(DETECTION)
        expect(redirect.status == 307, f'detection page before sign-in: {redirect.status}, expected 307')
        expect(fetch(GATEWAY + '/').status == 511, 'the gateway root does not answer 511 before sign-in')
        page_url = redirect.headers['location']
        page = fetch(page_url)
        expect(page.status == 200, f'portal page: {page.status}')
        thanks = fetch(Forms(page.body).submit('Accept Terms of Service', page_url))
        expect('Continue' in thanks.body, 'no thank-you page after accepting')
        expect(laptop_client()['state'] == 'Preauthenticated', 'the first press alone let the laptop through')
        fetch(Forms(thanks.body).submit('Continue', page_url))
        wait_for(lambda: laptop_client()['state'] == 'Authenticated', 30, 'the portal did not let the laptop through')
        online = fetch(DETECTION)
        expect(online.status == 200 and 'Success' in online.body, f'detection page after sign-in: {online.status}')

        code, report = cli_check(nm)
        expect(code == 0, f'check after sign-in: exit {code}, expected 0: {report}')
        expect(report['snapshot']['portal']['state'] == 'online', f'check after sign-in: {report}')
    finally:
        nm.stop()
        if os.path.exists(env_file):
            os.remove(env_file)


def sign_in_requests():
    '''The sign-in pages the laptop asked for, in order, each as its fields; the first page has none.'''
    requests = []
    for line in lab('requests', timeout=30).splitlines():
        fields = {}
        for part in line.split(', '):
            name, sep, value = part.partition('=')
            if sep:
                fields[name] = value
        requests.append(fields)
    return requests


def describe(requests):
    '''The requests in order, repeats of the same one counted.'''
    runs = []
    for fields in requests:
        text = ', '.join(f'{name}={value}' for name, value in fields.items()) or '(first page)'
        if runs and runs[-1][0] == text:
            runs[-1][1] += 1
        else:
            runs.append([text, 1])
    return '; '.join(text if count == 1 else f'{text} (x{count})' for text, count in runs) or 'none'


# What each login page's two presses send: the first accepts (with name and address on the form page),
# the second is the thank-you page's Continue, which signs the laptop in.
def first_press(theme, fields):
    if theme == 'click':
        return fields.get('continue') == 'clicked'
    return 'username' in fields and 'emailaddress' in fields and 'landing' not in fields


def second_press(fields):
    return fields.get('landing') == 'yes'


class SecondStepLost(Failure):
    '''The thank-you page's press went out of the app's view but never reached the portal.'''


def case_app(theme):
    # Seen a few times in fifty runs, only on a machine loaded far beyond its cores: the second step's
    # press is made, but its request never reaches openNDS. One more run, said aloud, tells that
    # apart from an app that cannot pass the portal.
    try:
        app_passes(theme)
    except SecondStepLost as lost:
        print(f'app-{theme}: first run lost the second step ({str(lost).splitlines()[0]}); running once more',
              file=sys.stderr)
        lab('down')
        app_passes(theme)


def app_passes(theme):
    lab('up', '--theme', theme)
    env = dict(os.environ, BREWBEACON_LOG_PRIVATE='1')
    done = on_laptop(os.path.join(SOURCE, 'scripts', 'demo'), '--check', env=env, timeout=200)
    sys.stdout.write(done.stdout)
    requests = sign_in_requests()
    presses = [fields for fields in requests if fields]
    client = laptop_client()
    facts = f'the portal says {client["state"]}; sign-in requests: {describe(requests)}'
    if done.returncode != 0:
        verdict = ('the portal let the laptop through, but the app never confirmed it in its hidden attempt'
                   if client['state'] == 'Authenticated' else 'the portal still holds the laptop')
        handed = [line for line in done.stderr.splitlines() if 'revealing window' in line]
        lost_second = (client['state'] == 'Preauthenticated' and len(presses) == 1 and
                       first_press(theme, presses[0]))
        raise (SecondStepLost if lost_second else Failure)(f'the app did not pass the {theme} portal: {verdict} ({facts})'
                      f'{"; " + handed[0] if handed else ""}; the app said:\n{done.stderr}')
    expect(client['state'] == 'Authenticated', f'the app verified the internet, yet {facts}')
    online = fetch(DETECTION)
    expect(online.status == 200 and 'Success' in online.body, f'detection page after the app: {online.status}')
    expect(len(presses) == 2 and first_press(theme, presses[0]) and second_press(presses[1]),
           f'expected each of the two steps pressed once; {facts}')
    if theme == 'form':
        # The name and address the app typed reach the portal with the sign-in.
        expect(presses[0]['username'].strip(), f'the portal got no name: {facts}')
        expect('@' in presses[0]['emailaddress'], f'the portal got no e-mail address: {facts}')


def case_fill_only():
    lab('up', '--theme', 'form')
    done = on_laptop(os.environ['BREWBEACON_FIELD_PAGE_TESTS'], timeout=150)
    sys.stdout.write(done.stdout[-4000:])
    expect(done.returncode == 0, f'the page test failed:\n{done.stderr[-4000:]}')
    presses = [fields for fields in sign_in_requests() if fields]
    expect(not presses, f'nothing was to be pressed, yet the portal got: {describe(presses)}')
    client = laptop_client()
    expect(client['state'] == 'Preauthenticated', f'nothing was to be pressed, yet the portal says {client["state"]}')


CASES = {
    'cli': case_cli,
    'app-click': lambda: case_app('click'),
    'app-form': lambda: case_app('form'),
    'fill-only': case_fill_only,
}


def main():
    if len(sys.argv) != 2 or sys.argv[1] not in CASES:
        print(__doc__, file=sys.stderr)
        return 2
    reason = subprocess.run([LAB, 'unavailable-reason'], capture_output=True, text=True)
    if reason.returncode != 0:
        print(f'SKIPPED: the portal lab cannot run here: {reason.stdout.strip()}')
        return SKIPPED
    # ctest ends a test that runs too long with a signal: take the lab down on the way out.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit('stopped'))
    # A run killed outright (ctest's time limit) could not take its lab down.
    subprocess.run([LAB, 'down'], capture_output=True, timeout=120)
    status = 0
    try:
        CASES[sys.argv[1]]()
        print(f'{sys.argv[1]}: passed')
    except (Failure, subprocess.TimeoutExpired) as error:
        print(f'{sys.argv[1]}: FAILED: {error}', file=sys.stderr)
        status = 1
    finally:
        down = subprocess.run([LAB, 'down'], capture_output=True, text=True, timeout=120)
        if down.returncode != 0:
            print(f'the lab left things behind:\n{down.stderr}', file=sys.stderr)
            status = 1
    return status


if __name__ == '__main__':
    sys.exit(main())
