#!/usr/bin/env python3
"""vcatool edid over the samples of tests/data/edid: the decoded JSON and the
timing database of each sample against its golden files, the exit status
against the findings (also of the text output), and every written database
through vcatool check.

Usage: edid_golden.py VCATOOL [--update]   (--update rewrites the golden files)
"""
import json
import os
import shutil
import subprocess
import sys
import tempfile

from checks import expect, failures, finish, run, vcatool
update = '--update' in sys.argv[2:]
FOLDER = 'tests/data/edid'


def golden(path, text, what):
    if update:
        with open(path, 'w') as f:
            f.write(text)
    elif not os.path.exists(path):
        failures.append(f'{what}: no golden file {path}')
    else:
        with open(path) as f:
            want = f.read().splitlines()
        got = text.splitlines()
        for number, (a, b) in enumerate(zip(got + [None] * len(want), want + [None] * len(got)), 1):
            if a != b:
                failures.append(f'{what}: line {number}: got {a!r}, want {b!r} ({path})')
                break


scratch = tempfile.mkdtemp()
samples = sorted(n for n in os.listdir(FOLDER) if n.endswith(('.bin', '.id')))
with open(os.path.join(FOLDER, 'README.md')) as f:
    readme = f.read()
expect('samples', len(samples) >= 7, True)
for name in samples:
    stem = os.path.join(FOLDER, name.rsplit('.', 1)[0])
    expect(f'{name} described in README.md', f'`{name}`' in readme, True)

    decoded = run('edid', '--file', os.path.join(FOLDER, name), '--json')
    report = json.loads(decoded.stdout)
    golden(stem + '.json', decoded.stdout, f'{name} decoded')
    expect(f'{name} exit status', decoded.returncode, 1 if report['findings'] else 0)
    expect(f'{name} input', report['input'], 'identification' if name.endswith('.id') else 'block')

    plain = run('edid', '--file', os.path.join(FOLDER, name))
    count = f"{len(report['findings'])} finding(s)"
    expect(f'{name} text output', (plain.returncode, count in plain.stdout.splitlines()),
           (decoded.returncode, True))

    revid = run('edid', '--file', os.path.join(FOLDER, name), '--to-revid')
    golden(stem + '.revid', revid.stdout, f'{name} timing database')
    database = os.path.join(scratch, 'monitor.dat')
    with open(database, 'w') as f:
        f.write(revid.stdout)
    checked = run('check', database, '--json')
    result = json.loads(checked.stdout)
    expect(f'{name} database accepted', (checked.returncode, result['result']), (0, 0))
    timings = [d for d in report['descriptors'] if d['type'] == 'detailed-timing']
    written = [t for t in timings if t['h_active_px'] and t['v_active_lines'] and
               t['h_front_porch_px'] + t['h_sync_width_px'] <= t['h_blank_px'] and
               t['v_front_porch_lines'] + t['v_sync_width_lines'] <= t['v_blank_lines']]
    expect(f'{name} one record per drivable detailed timing',
           [(r['pixelClock'], r['hActive'], r['vActive']) for r in result['timings']],
           [(t['pixel_clock_khz'] / 1000, t['h_active_px'], t['v_active_lines']) for t in written])

shutil.rmtree(scratch)
finish()
