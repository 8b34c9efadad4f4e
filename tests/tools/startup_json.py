#!/usr/bin/env python3
"""vcatool startup --json: a start-up on an empty key writes a complete set of
defaults; a second start-up on the key it wrote writes nothing; the no-driver
mode, a read-only key and a missing timing database behave as the applet
does."""
import json
import os
import subprocess
import sys
import tempfile

from checks import expect, failures, finish, run, vcatool

def startup(*args, db=('--db', 'data/revid.dat')):
    run = subprocess.run([vcatool, 'startup', *db, '--json', *args],
                         capture_output=True, text=True)
    return json.loads(run.stdout), run.returncode


with tempfile.TemporaryDirectory() as folder:
    key = os.path.join(folder, 'device0.reg')
    first, code = startup('--board', 'data/boards/board207.profile', '--out', key)
    expect('first start-up', (first['result'], code, first['exitCode']), (True, 0, None))
    names = [w['name'] for w in first['registryWrites']]
    for name in ('Stereo', 'Preferences', 'DualScreen', 'XResolution', 'YResolution', 'VRefresh',
                 'BitsPerPel', 'Contrast0', 'Contrast1', 'GammaDataSource0', 'GammaCorrectionTable1'):
        expect(f'{name} written', 'DefaultSettings.' + name in names, True)
    expect('resolution', (first['loadedSettings']['XResolution'], first['loadedSettings']['YResolution']),
           (1024, 768))
    expect('linear gamma', [g['linear'] for g in first['gamma']], [True, True])
    expect('modes offered', first['modeCount'] > 0 and first['modeCount'] == len(first['activeView']), True)

    second, code = startup('--board', 'data/boards/board207.profile', '--registry', key)
    expect('second start-up writes nothing', second['registryWrites'], [])
    expect('second start-up loads the same', second['loadedSettings'], first['loadedSettings'])

    readonly, code = startup('--board', 'data/boards/board207.profile', '--registry', key, '--read-only', '--save')
    expect('read-only key', (readonly['result'], readonly['readOnlySettings'], readonly['saveResult']),
           (True, True, 1))
    expect('read-only writes', readonly['registryWrites'], [])

absent, code = startup('--board', 'data/boards/no-driver.profile')
expect('no driver', (absent['result'], absent['driverAbsent'], absent['boardCode']), (True, True, 0))
expect('no driver hardware', absent['hardwareInfo']['company'], 'Norvane Corporation')

monitor, code = startup('--board', 'data/boards/unsupported-monitor.profile')
expect('unsupported monitor', (monitor['result'], code, [m['type'] for m in monitor['messages']]), (False, 1, [16]))

missing, code = startup('--board', 'data/boards/board205-dual-ddc.profile', db=('--no-db',))
expect('no revid.dat', (missing['result'], code, [m['type'] for m in missing['messages']], missing['modeCount']),
       (True, 0, [64], 1))

finish()
