#!/usr/bin/env python3
"""vcatool edid over the samples of tests/data/edid: the decoded JSON and the
timing database of each sample against its golden files, the exit status
against the findings (also of the text output), every announced mode
accounted for, every written database through vcatool check and the
applet's validation against its own monitor, and the established and
standard timings against edid-decode's listing of the same block (when
edid-decode is installed).

Usage: edid_golden.py VCATOOL [--update]   (--update rewrites the golden files)
"""
import json
import os
import re
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


# edid-decode's listing of the established and standard timings of a block,
# as (heading, clock MHz, h front, sync, back, v front, sync, back), borders
# counted in the porches. None when edid-decode is not installed.
def edid_decode_listing(path):
    with open(path, 'rb') as f:
        data = f.read()
    if len(data) == 120:
        data = bytes([0, 255, 255, 255, 255, 255, 255, 0]) + data
    try:
        out = subprocess.run(['edid-decode', '-L', '-s', '-'], input=data, capture_output=True).stdout.decode()
    except FileNotFoundError:
        return None
    entries, section = [], None
    lines = out.splitlines()
    for i, line in enumerate(lines):
        if line.strip().startswith(('Established Timings', 'Standard Timings')):
            section = line.strip()
        elif line.startswith('  ') and not line.startswith('    ') or 'Descriptor' in line:
            section = None
        elif section and re.match(r'\s+(DMT|IBM|Apple|GTF|CVT)', line):
            clock = float(re.search(r'([\d.]+) MHz', line).group(1))
            values = []
            for axis, text in (('H', lines[i + 1]), ('V', lines[i + 2])):
                m = re.search(axis + r'front\s+(\d+) ' + axis + r'sync\s+(\d+) ' + axis + r'back\s+(\d+)', text)
                border = re.search(axis + r'border (\d+)', text)
                b = int(border.group(1)) if border else 0
                front = int(m.group(1)) + b + (0.5 if '+0.5 Odd' in text else 0)
                values += [front, int(m.group(2)), int(m.group(3)) + b]
            entries.append((line.strip(), clock, *values))
    return entries


def compare_with_edid_decode(name, modes, header_valid):
    """Our established and standard timings against edid-decode's listing of
    the same block; returns how many were compared. (edid-decode lists
    nothing for a block whose header is not one.)"""
    listing = edid_decode_listing(os.path.join(FOLDER, name))
    if listing is None or not header_valid:
        return 0
    ours = [m for m in modes if not m['origin'].startswith('detailed')]
    compared, j, groups = 0, 0, 0
    for m in ours:
        groups += 1
        # For a 1.4 block edid-decode lists a timing without a DMT twice,
        # CVT and GTF; ours is the one the block's range limits ask for.
        if j + 1 < len(listing) and 'EDID 1.4 source' in listing[j][0] and 'EDID 1.3 source' in listing[j + 1][0]:
            pick = listing[j] if m['formula'].startswith('CVT') else listing[j + 1]
            j += 2
        else:
            pick, j = listing[j] if j < len(listing) else None, j + 1
        if m['formula'] == 'secondary GTF':
            continue  # edid-decode lists the default curve; the formula test covers the secondary one
        got = (round(m['pixel_clock_mhz'], 3), m['h_front_porch_px'], m['h_sync_px'], m['h_back_porch_px'],
               m['v_front_porch_lines'], m['v_sync_lines'], m['v_back_porch_lines'])
        expect(f"{name} {m['origin']} as edid-decode lists it", got, pick and tuple(pick[1:]))
        compared += 1
    expect(f'{name} edid-decode lists as many', (j, groups), (len(listing), len(ours)))
    return compared


scratch = tempfile.mkdtemp()
totals = {'announced': 0, 'written': 0, 'detailed': 0}
compared = 0
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
    expect(f'{name} --to-revid exit status and warnings', (revid.returncode, revid.stderr.count('warning')),
           (0, len(report['findings'])))
    database = os.path.join(scratch, 'monitor.dat')
    with open(database, 'w') as f:
        f.write(revid.stdout)
    checked = run('check', database, '--json')
    result = json.loads(checked.stdout)
    expect(f'{name} database accepted', (checked.returncode, result['result']), (0, 0))

    # Every announced mode is accounted for: written, or left out with its
    # reason; the written ones are the database's records, in order.
    modes = json.loads(run('edid', '--file', os.path.join(FOLDER, name), '--to-revid', '--json').stdout)['modes']
    announced = (sum(d['type'] == 'detailed-timing' for d in report['descriptors']) +
                 len(report['established_timings']) + len(report['standard_timings']))
    expect(f'{name} every announced mode', (len(modes), [m for m in modes if not m['written'] and not m['left_out']]),
           (announced, []))
    written = [m for m in modes if m['written']]
    expect(f'{name} one record per written mode',
           [(round(r['pixelClock'], 3), r['hActive'], r['vActive']) for r in result['timings']],
           [(round(m['pixel_clock_mhz'], 3), m['h_active_px'], m['v_active_lines']) for m in written])
    totals['announced'] += announced
    totals['written'] += len(written)
    totals['detailed'] += sum(m['formula'] == 'detailed' and m['left_out'] != 'not a raster a monitor can be driven with'
                              for m in modes)

    # The applet offers them: none is refused for a limit the monitor sets.
    explained = run('modes', '--db', database, '--board', 'data/boards/board206-granularity8.profile',
                    '--description', result['monitors'][0]['desc'], '--explain', '--json')
    refused = [c for c in json.loads(explained.stdout)['candidates']
               if any(c['reason'].startswith(limit) for limit in ('hf', 'vf', 'pcf'))]
    expect(f'{name} no record refused by its own monitor', refused, [])

    compared += compare_with_edid_decode(name, modes, report['header_valid'])

print(f"announced modes {totals['announced']}, written {totals['written']} "
      f"(detailed timings alone: {totals['detailed']}); {compared} compared with edid-decode")
shutil.rmtree(scratch)
finish()
