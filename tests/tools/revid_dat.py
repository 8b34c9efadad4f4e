#!/usr/bin/env python3
"""The shipped timing database data/revid.dat, read through vcatool as the
applet reads it: it parses clean, it holds the monitors the applet looks
for, its keyword lines agree with its raster timings, no query makes
entries the applet reports as duplicates, every board profile gets a list
from it, each monitor gets the modes its class promises, and the file is
what scripts/make-revid.py writes.

    revid_dat.py VCATOOL     (run from the source folder)
"""
import json
import os
import subprocess
import sys
import tempfile

vcatool = sys.argv[1]
DATABASE = 'data/revid.dat'
failures = []
checks = 0
failed_checks = 0


def expect(what, got, want):
    if got != want:
        failures.append(f'{what}: got {got!r}, want {want!r}')


def check(function):
    global checks, failed_checks
    checks += 1
    before = len(failures)
    try:
        function()
    except Exception as error:  # a broken expectation must not hide the others
        failures.append(f'{function.__name__}: {type(error).__name__}: {error}')
    for failure in failures[before:]:
        print(f'FAIL {function.__name__}: {failure}')
    failed_checks += len(failures) > before
    return function


run = subprocess.run([vcatool, 'check', DATABASE, '--json'], capture_output=True, text=True)
db = json.loads(run.stdout)
records = db['records']
timings = {t['record']: t for t in db['timings']}
TF_INTERLACED, TF_STEREO, TF_MONID = 0x01, 0x04, 0x40


def line_khz(t):
    return t['pixelClock'] * 1000.0 / t['hTotal']


def field_hz(t):
    return t['pixelClock'] * 1e6 / (t['hTotal'] * t['vTotal'])


def frame_lines(t, flags):
    return t['vActive'] * 2 if flags & TF_INTERLACED else t['vActive']


@check
def reads_clean():
    expect('exit status', run.returncode, 0)
    expect('result', db['result'], 0)
    expect('diagnostics', db['diagnostics'], [])
    expect('every timing record has its raster values',
           sorted(timings), [i for i, r in enumerate(records) if r['type'] == 'timing'])


@check
def holds_the_monitors_the_applet_looks_for():
    monitors = db['monitors']
    names = [m['desc'] for m in monitors]
    expect('tags', db['tags'], ['MS', 'LM'])
    expect('at most 20 monitor blocks', len(monitors) <= 20, True)
    expect('names are unique', len(set(names)), len(names))
    expect('names survive the stored description (47 characters)', [n for n in names if len(n) > 47], [])
    # With no monitor chosen the applet takes the first MS entry whose name
    # contains "generic": it should be the first in the list too.
    generic = [m for m in monitors if m['tag'] == 'MS' and 'GENERIC' in m['desc'].upper()]
    expect('first entry is the generic multi-sync monitor', monitors[0] in generic[:1], True)
    ddc = [m for m in monitors if m['desc'] == 'DDC Monitor']
    expect('one "DDC Monitor"', len(ddc), 1)
    expect('the DDC monitor has no limits of its own', [v for v in ddc[0]['limits'].values() if v], [])
    expect('Lumaris monitors', len([m for m in monitors if m['tag'] == 'LM']) > 0, True)


@check
def serves_every_board_family():
    have = {}
    for r in records:
        have.setdefault((r['type'], r['tag'], r['monid'] if r['flags'] & TF_MONID else None), []).append(r)
    for family in ('vqx/gli', 'glm', 'timing'):
        expect(f'{family} multi-sync records', len(have.get((family, 'MS', None), [])) > 0, True)
        for monid in (8, 10, 11):
            expect(f'{family} Lumaris records for monitor id {monid}', len(have.get((family, 'LM', monid), [])) > 0,
                   True)
    expect('Lumaris records all carry a monitor id',
           [r['line'] for r in records if r['tag'] == 'LM' and not r['flags'] & TF_MONID], [])
    expect('multi-sync records carry none', [r['line'] for r in records if r['tag'] == 'MS' and r['monid']], [])
    expect('stereo records (vqx/gli, glm)',
           {f for f in ('vqx/gli', 'glm') if any(r['type'] == f and r['flags'] & TF_STEREO for r in records)},
           {'vqx/gli', 'glm'})
    expect('interlaced timing records', any(r['flags'] & TF_INTERLACED for r in records), True)


@check
def keyword_lines_name_the_raster_timing():
    # The applet derives resolution and refresh of a "timing" record from
    # its raster values; the record's own lines must say the same.
    wrong = []
    for index, t in timings.items():
        r = records[index]
        derived = (t['hActive'], frame_lines(t, r['flags']), int(field_hz(t) + 0.5), int(line_khz(t) + 0.5))
        stated = (r['xres'], r['yres'], r['refresh'], r['hfreq'])
        if derived != stated:
            wrong.append((r['line'], stated, derived))
    expect('records whose lines disagree with their data (line, stated, derived)', wrong, [])


@check
def no_duplicate_entries():
    seen, duplicates = {}, []
    for index, r in enumerate(records):
        t = timings.get(index)
        shape = (t['hActive'], frame_lines(t, r['flags']), int(field_hz(t) + 0.5)) if t else (
            r['xres'], r['yres'], r['refresh'])
        key = (r['type'], r['tag'], r['monid'], r['flags'], shape, r['hfreq'])
        if key in seen:
            duplicates.append((seen[key], r['line']))
        seen[key] = r['line']
    expect('duplicate records (lines)', duplicates, [])


def modes(profile, description=None):
    command = [vcatool, 'modes', '--db', DATABASE, '--board', 'data/boards/' + profile, '--json']
    if description is not None:
        command += ['--description', description]
    return json.loads(subprocess.run(command, check=True, capture_output=True, text=True).stdout)


def offered(result):
    return {(e['width'], e['height'], rate) for e in result['modeTable'] for rate in e['monoRates'] + e['stereoRates']}


@check
def every_board_profile_gets_a_list():
    # Each profile the applet starts with gets the generic monitor's list
    # from the database: not the one-mode fallback, no reader diagnostic
    # (a duplicate warning would be one).
    profiles = sorted(p for p in os.listdir('data/boards') if p.endswith('.profile'))
    for profile in profiles:
        if profile == 'unsupported-monitor.profile':
            continue
        result = modes(profile)
        name = profile[:-len('.profile')]
        expect(f'{name}: monitor', result['monitor']['name'], 'Generic multi-sync monitor')
        expect(f'{name}: fallback or invalid', (result['fallback'], result['databaseInvalid']), (False, False))
        expect(f'{name}: diagnostics', result['diagnostics'], '')
        expect(f'{name}: 640 x 480 at 60 Hz up to 1280 x 1024 at 60 Hz',
               {(640, 480, 60), (1024, 768, 60), (1280, 1024, 60)} <= offered(result), True)


@check
def no_query_makes_duplicate_entries():
    # The applet sorts the entries of each query, before its monitor filter,
    # and warns on its diagnostic output about duplicates. The DDC monitor
    # has no limits, so its queries sort every multi-sync entry a board can
    # show; a Lumaris monitor on a board that reports no Lumaris code sorts
    # the entries of every monitor id. One board of each record type.
    for profile in ('board201.profile', 'board204-lumaris.profile', 'board206-granularity8.profile'):
        for monitor in ('DDC Monitor', 'Norvane Lumaris 21-inch monitor'):
            result = modes(profile, monitor)
            expect(f'{profile} with {monitor}: diagnostics', result['diagnostics'], '')
            expect(f'{profile} with {monitor}: fallback', result['fallback'], False)


@check
def each_monitor_gets_what_it_promises():
    # (profile, monitor, offered, not offered): resolution and rate, mono or
    # stereo. Board 206 has the widest frame buffer, so its lists show what
    # the monitor limits let through.
    cases = [
        ('board206-granularity8', '14-inch multi-sync monitor, 31-38 kHz',
         [(640, 480, 60), (640, 480, 72), (800, 600, 56), (800, 600, 60), (1024, 768, 87)],
         [(640, 480, 85), (1024, 768, 60)]),
        ('board206-granularity8', '15-inch multi-sync monitor, 30-54 kHz', [(800, 600, 85), (1024, 768, 60)],
         [(1024, 768, 70)]),
        ('board206-granularity8', '17-inch multi-sync monitor, 30-70 kHz', [(1024, 768, 85), (1280, 1024, 60)],
         [(1280, 1024, 75), (1920, 1080, 60)]),
        ('board206-granularity8', '19-inch multi-sync monitor, 30-86 kHz',
         [(1280, 1024, 75), (1600, 1200, 60), (1920, 1080, 60)], [(1280, 1024, 85), (1600, 1200, 65)]),
        ('board206-granularity8', '21-inch multi-sync monitor, 30-96 kHz', [(1280, 1024, 85), (1600, 1200, 75)],
         [(1600, 1200, 85)]),
        ('board206-granularity8', '21-inch multi-sync monitor, 30-110 kHz', [(1600, 1200, 85)], []),
        ('board206-granularity8', 'Generic multi-sync monitor', [(640, 480, 60), (1024, 768, 85), (1280, 1024, 60)],
         [(1280, 1024, 75), (1600, 1200, 60)]),
        ('board201', None, [(1024, 768, 120), (1280, 1024, 120)], [(1600, 1200, 60)]),
        ('board204-lumaris', 'Norvane Lumaris 21-inch monitor', [(1280, 1024, 85), (1280, 1024, 120),
                                                                 (1600, 1200, 75)], [(640, 480, 60)]),
        ('board207', 'Norvane Lumaris 17-inch monitor', [(800, 600, 75), (1152, 864, 75), (1280, 1024, 60)],
         [(1280, 1024, 75), (640, 480, 60)]),
        ('board210', 'Norvane Lumaris 19-inch monitor', [(1024, 768, 85), (1280, 1024, 75)],
         [(1600, 1200, 60), (800, 600, 75)]),
    ]
    for profile, monitor, yes, no in cases:
        got = offered(modes(profile + '.profile', monitor))
        expect(f'{profile} with {monitor} offers', [m for m in yes if m not in got], [])
        expect(f'{profile} with {monitor} does not offer', [m for m in no if m in got], [])


@check
def ddc_monitor_gets_the_reported_modes_the_board_can_show():
    result = modes('board205-dual-ddc.profile', 'DDC Monitor')
    full = {(e['width'], e['height']): sorted(e['monoRates']) for e in result['ddcFullRates'] or [] if e['width']}
    # Screen 0 also reports 1600 x 1200, too large for this board's frame buffer.
    expect('every rate', full, {(640, 480): [60, 72, 75], (800, 600): [60, 72, 75], (1024, 768): [60, 70, 75],
                                (1280, 1024): [60, 75]})
    expect('offered', sorted(offered(result)), [(640, 480, 75), (800, 600, 75), (1024, 768, 75), (1280, 1024, 75)])


@check
def is_what_the_generator_writes():
    generator = subprocess.run([sys.executable, 'scripts/make-revid.py', '--check'], capture_output=True, text=True)
    expect('make-revid.py --check', (generator.returncode, generator.stderr), (0, ''))


@check
def large_file_is_checked_whole():
    # Past 2 MB `check` reads the file into memory of large pages: every byte
    # is read, and the verdict alone (no --json) still sees the last line.
    text = open(DATABASE, 'rb').read() + (b';' + b'x' * 999 + b'\n') * 2100
    lines = text.count(b'\n')
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, 'large.dat')
        bad_values = b'tag MS\ntype timing\ndata {\n1\n2\n}\n'  # the block ends on its third line
        for tail, want in ((b'', (0, f'{path}: ok: {db["version"]} version, {len(db["tags"])} tags, '
                                     f'{len(db["monitors"])} monitors, {len(records)} records\n')),
                           (bad_values, (1, f'{path}:{lines + 6}: error\n'))):
            with open(path, 'wb') as out:
                out.write(text + tail)
            run = subprocess.run([vcatool, 'check', path], capture_output=True, text=True)
            expect(f'check of {len(text + tail)} bytes', (run.returncode, run.stdout), want)


print(f'{checks - failed_checks} passed, {failed_checks} failed')
sys.exit(1 if failures else 0)
