#!/usr/bin/env python3
"""vcatool modes --json: the keys a script may rely on and the modes offered
for the shipped board profiles and a small timing database."""
import json
import os
import subprocess
import sys
import tempfile

from checks import expect, failures, finish, run, vcatool
DB = 'tests/data/modes/small.dat'

def modes(profile, *options, db=DB):
    out = subprocess.run([vcatool, 'modes', '--db', db, '--board', 'data/boards/' + profile, '--json', *options],
                         check=True, capture_output=True, text=True).stdout
    return json.loads(out)

KEYS = {'monitor', 'monitorCode', 'fixedRefresh', 'databaseUnreadable', 'databaseInvalid', 'fallback', 'messages',
        'diagnostics', 'accepted', 'modeTable', 'maxRateCount', 'ddcFullRates', 'monoView', 'stereoView',
        'activeView', 'anyStereoRates', 'allStereoOnly', 'descriptions'}


def table(report, key='modeTable'):
    return [(e['width'], e['height'], e['monoRates'], e.get('stereoRates', [])) for e in report[key]]

gli = modes('board201.profile')
expect('keys', KEYS - set(gli), set())
expect('no candidates without --explain', 'candidates' in gli, False)
expect('monitor', gli['monitor'], {'name': 'Generic 17-inch multi-sync', 'tagName': 'MS', 'tagIndex': 0})
expect('accepted before grouping', [(a['xres'], a['yres'], a['refresh'], a['flags'] & 4) for a in gli['accepted']],
       [(1024, 768, 60, 0), (1280, 1024, 60, 0), (1280, 1024, 72, 0), (1280, 512, 120, 4)])
expect('grouped table', table(gli), [(1024, 768, [60], []), (1280, 1024, [60], [120])])
expect('stereo query', (gli['anyStereoRates'], gli['allStereoOnly'], gli['activeView']), (True, False, 'mono'))
expect('descriptions', [d['text'] for d in gli['descriptions']],
       ['1024 x 768, 32-bit True Color, 60 Hz.', '1280 x 1024, 32-bit True Color, 60 Hz.'])

explained = modes('board201.profile', '--explain', '--stereo', '1')
expect('hfreq reason', [c['reason'] for c in explained['candidates'] if not c['accepted']], ['hfreq 77 > hfmax 64'])
expect('stereo chosen', (explained['activeView'], [d['refresh'] for d in explained['descriptions']]), ('stereo', [120]))

razor = modes('board205-dual-ddc.profile', '--explain')
expect('monitor limit reason', [c['reason'] for c in razor['candidates'] if not c['accepted']],
       ['hf 80.0 kHz > hfmax 64.0'])

ddc = modes('board205-dual-ddc.profile', '--description', 'DDC Monitor')
expect('DDC highest rate', table(ddc), [(640, 480, [60], []), (1024, 768, [75], []), (1280, 1024, [75], [])])
expect('DDC every rate', [(e['width'], e['monoRates']) for e in ddc['ddcFullRates']],
       [(640, [60]), (1024, [60, 75]), (1280, [60, 75])])

lumaris = modes('no-driver.profile', '--description', 'norvane LUMARIS 21')
expect('no driver, Lumaris', (lumaris['fixedRefresh'], table(lumaris)), (1, [(1280, 1024, [76], [])]))
expect('fixed refresh lines', [(d['refresh'], d['arrangement']) for d in lumaris['descriptions']],
       [(0, 0), (0, 1), (0, 2)])

with tempfile.TemporaryDirectory() as folder:
    broken = os.path.join(folder, 'broken.dat')
    with open(broken, 'w') as f:
        f.write('version 1\n')
    fallback = modes('board201.profile', db=broken)
    expect('broken database', (fallback['databaseInvalid'], fallback['fallback'], fallback['monitor']['name']),
           (True, True, 'Multi-sync Monitor'))
    expect('fallback table', table(fallback), [(640, 480, [60], [])])

finish()
