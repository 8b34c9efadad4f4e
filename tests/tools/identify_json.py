#!/usr/bin/env python3
"""vcatool identify --json: the keys and values a script may rely on, for the
shipped profiles."""
import json
import subprocess
import sys

from checks import expect, failures, finish, run, vcatool

def identify(profile):
    out = subprocess.run([vcatool, 'identify', '--board', 'data/boards/' + profile, '--json'],
                         check=True, capture_output=True, text=True).stdout
    return json.loads(out)

KEYS = {'result', 'boardCode', 'textureMemory', 'monitorCode', 'reportedMonitorCode', 'secondScreen',
        'optionFlag', 'pixelGranularity', 'boardNameString', 'gamma', 'modeRecords'}


dual = identify('board205-dual-ddc.profile')
expect('keys', KEYS - set(dual), set())
expect('result', dual['result'], 1)
expect('boardCode', dual['boardCode'], 205)
expect('monitorCode', dual['monitorCode'], 17)
expect('secondScreen', dual['secondScreen'], 0x10000)
expect('pixelGranularity', dual['pixelGranularity'], 4)
expect('boardNameString', dual['boardNameString'], 1210)
expect('gamma header', [g['header'] for g in dual['gamma']], [10, 10])
expect('gamma channel shape', [len(c) for c in dual['gamma'][0]['channels']], [3, 3, 3])
records = dual['modeRecords']
expect('mode record status', [r['status'] for r in records], [6, 6])
expect('record counts match', [r['count'] == len(r['records']) for r in records], [True, True])
expect('edid hex', [len(r['edid']) for r in records], [24, 24])
expect('record triples', all(len(t) == 3 for r in records for t in r['records']), True)

absent = identify('no-driver.profile')
expect('no driver result', absent['result'], -11)
expect('no driver board', absent['boardCode'], 0)
expect('no driver records', [(r['status'], r['records']) for r in absent['modeRecords']],
       [(2, [[640, 480, 60]])] * 2)

monitor = identify('unsupported-monitor.profile')
expect('unsupported monitor', monitor['result'], -10)

finish()
