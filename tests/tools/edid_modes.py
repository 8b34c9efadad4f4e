#!/usr/bin/env python3
"""vcatool edid: the identification a board profile's driver hands over, the
inputs it refuses, and the path from an EDID to offered modes: a timing the
EDID's range limits allow is offered by vcatool modes from the database
--to-revid writes, one they forbid is not."""
import json
import os
import subprocess
import sys
import tempfile

from checks import expect, failures, finish, run, vcatool
SAMPLES = 'tests/data/edid/'
BOARDS = 'data/boards/'


def golden(name):
    with open(SAMPLES + name) as f:
        return json.load(f)


# The board's driver hands over the samples' identifications.
screen0 = run('edid', '--board', BOARDS + 'board205-dual-ddc.profile', '--json')
expect('board screen 0 exit', screen0.returncode, 0)
expect('board screen 0 is orx-p21', json.loads(screen0.stdout), {**golden('orx-p21.json'), 'input': 'identification'})
screen1 = run('edid', '--board', BOARDS + 'board205-dual-ddc.profile', '--screen', '1', '--json')
expect('board screen 1 is orx-17', json.loads(screen1.stdout), golden('orx-17.json'))
for profile in ('ddc-no-records.profile', 'ddc-refuses-fetch.profile', 'no-driver.profile'):
    refused = run('edid', '--board', BOARDS + profile)
    expect(f'{profile}: no identification', (refused.returncode, refused.stdout, 'no identification' in refused.stderr),
           (2, '', True))

with open(SAMPLES + 'orx-p21.bin', 'rb') as f:
    p21 = f.read()

with tempfile.TemporaryDirectory() as folder:
    def write(name, data):
        path = os.path.join(folder, name)
        with open(path, 'wb') as f:
            f.write(data)
        return path

    # Sizes: a block with an extension after it decodes its base block;
    # anything else is refused.
    extended = run('edid', '--file', write('extended.bin', p21 + bytes(128)), '--json')
    expect('base block of a 256-byte file', json.loads(extended.stdout) if extended.returncode == 0 else None,
           golden('orx-p21.json'))
    for size in (0, 119, 127, 129):
        refused = run('edid', '--file', write(f'size{size}.bin', p21[:size] if size <= 128 else p21 + b'\0'))
        expect(f'{size}-byte file refused', (refused.returncode, refused.stdout), (2, ''))

    # orx-p21 with its detailed timings alone (no established or standard
    # timings), so that what is offered is what its range limits leave.
    def patched(changes):
        data = bytearray(p21)
        data[35:38] = bytes(3)
        data[38:54] = bytes([1]) * 16
        for offset, value in changes.items():
            data[offset] = value
        data[127] = -sum(data[:127]) & 0xFF
        return bytes(data)

    def offered(sample, board='board206-granularity8.profile', description='ORX Pro 21'):
        database = write('monitor.dat', run('edid', '--file', sample, '--to-revid').stdout.encode())
        out = run('modes', '--db', database, '--board', BOARDS + board, '--description', description, '--json')
        if out.returncode != 0:
            return out.stderr
        report = json.loads(out.stdout)
        return report['monitor']['name'], sorted((e['width'], e['height'], r) for e in report['modeTable']
                                                 for r in e['monoRates'])

    # Range limits descriptor at 90: 95 min/96 max vertical Hz, 97 min/98 max
    # horizontal kHz, 99 pixel clock / 10 MHz. The timings: 1600 x 1200 at
    # 60 Hz (75.00 kHz, 162 MHz) and 1280 x 1024 at 75 Hz (79.98 kHz, 135 MHz).
    both = [(1280, 1024, 75), (1600, 1200, 60)]
    cases = [
        ('as shipped', {}, both),
        ('hfmax 79 forbids 79.98 kHz', {98: 79}, [(1600, 1200, 60)]),
        ('hfmax 80 allows it', {98: 80}, both),
        ('hfmin 76 forbids 75.00 kHz', {97: 76}, [(1280, 1024, 75)]),
        ('vfmax 74 forbids 75 Hz', {96: 74}, [(1600, 1200, 60)]),
        ('vfmin 61 forbids 60 Hz', {95: 61}, [(1280, 1024, 75)]),
        ('150 MHz forbids 162 MHz', {99: 15}, [(1280, 1024, 75)]),
        ('hf 80-79 writes no hf limit', {97: 80, 98: 79}, both),
    ]
    for what, changes, want in cases:
        expect(what, offered(write('case.bin', patched(changes))), ('ORX Pro 21', want))
    expect('board 205 cannot show 1600 x 1200', offered(write('p21.bin', patched({})), board='board205-dual-ddc.profile'),
           ('ORX Pro 21', [(1280, 1024, 75)]))
    expect('fixed-frequency monitor', offered(SAMPLES + 'orx-fp1960.bin', description='ORX FP1960'),
           ('ORX FP1960', [(1280, 1024, 60)]))
    # Rates above 255 through the offset flags; the interlaced timing is
    # offered among the stereo-or-interlaced rates, beside the established
    # and standard timings.
    out = run('modes', '--db', write('27g.dat', run('edid', '--file', SAMPLES + 'qvt-27g.bin', '--to-revid').stdout.encode()),
              '--board', BOARDS + 'board206-granularity8.profile', '--description', 'QVT 27G', '--json')
    expect('240 Hz and interlaced', [(e['width'], e['height'], e['monoRates'], e['stereoRates'])
                                     for e in json.loads(out.stdout)['modeTable']] if out.returncode == 0 else out.stderr,
           [(640, 480, [60], []), (1920, 1080, [60, 240], [60])])
    # A monitor named "DDC Monitor" must not become the applet's DDC monitor.
    ddc_name = patched({108 + 5 + i: c for i, c in enumerate(b'DDC Monitor\n ')})
    expect('DDC Monitor renamed', offered(write('ddc.bin', ddc_name), description='DDC Monitor (ORX 5021)'),
           ('DDC Monitor (ORX 5021)', both))

finish()
