#!/usr/bin/env python3
"""vcatool merge: a monitor written by vcatool edid --to-revid merged into
revid.dat is offered by the applet; merging it again adds nothing; a tag
that another monitor already has is renamed; records already there are
skipped; a merge past the format's limits or of a file that does not parse
is refused with nothing written, even with -o BASE."""
import json
import os
import re
import tempfile

from checks import expect, finish, run

BASE = 'data/revid.dat'
BOARD = 'data/boards/board206-granularity8.profile'

with open(BASE, 'rb') as f:
    base_bytes = f.read()


def offered(database, description):
    out = run('modes', '--db', database, '--board', BOARD, '--description', description, '--json')
    if out.returncode != 0:
        return out.stderr
    report = json.loads(out.stdout)
    return report['monitor']['name'], sorted((e['width'], e['height'], r) for e in report['modeTable']
                                             for r in e['monoRates'])


def merge(base, add, out):
    result = run('merge', base, add, '-o', out, '--json')
    return result, json.loads(result.stdout) if result.stdout.startswith('{') else None


with tempfile.TemporaryDirectory() as folder:
    def path(name, text=None):
        p = os.path.join(folder, name)
        if text is not None:
            with open(p, 'w') as f:
                f.write(text)
        return p

    monitor = run('edid', '--file', 'tests/data/edid/orx-p21.bin', '--to-revid').stdout
    add = path('p21.dat', monitor)
    alone = offered(add, 'ORX Pro 21')

    # A new monitor: added, offered as from its own database, the default
    # monitor unchanged, and the result accepted by the reader.
    first, report = merge(BASE, add, path('one.dat'))
    expect('new monitor', (first.returncode, report['monitors'], report['records_added'], report['records_skipped']),
           (0, [{'desc': 'ORX Pro 21', 'tag': 'ORX5021', 'action': 'added', 'from': 'ORX5021'}], 12, []))
    expect('merged result checks', run('check', path('one.dat')).returncode, 0)
    expect('merged monitor offered', offered(path('one.dat'), 'ORX Pro 21'), alone)
    default = lambda db: json.loads(run('modes', '--db', db, '--board', BOARD, '--json').stdout)['monitor']['name']
    expect('default monitor kept', default(path('one.dat')), default(BASE))

    # The same monitor again: nothing added, every record reported, the
    # text unchanged.
    again, report = merge(path('one.dat'), add, path('two.dat'))
    with open(path('one.dat')) as a, open(path('two.dat')) as b:
        same = a.read() == b.read()
    expect('same monitor again', (again.returncode, report['monitors'][0]['action'], report['records_added'],
                                  len(report['records_skipped']), same), (0, 'already in base', 0, 12, True))

    # Records already there: a base holding seven of the monitor's records
    # (its two detailed timings and five established ones) takes the five
    # others.
    cut = monitor[:[m.start() for m in re.finditer(r'\n; (established|standard)', monitor)][5]]
    merge(BASE, path('seven.dat', cut), path('seven-base.dat'))
    partial, report = merge(path('seven-base.dat'), add, path('twelve.dat'))
    expect('duplicate records skipped', (report['records_added'], len(report['records_skipped'])), (5, 7))
    expect('all twelve offered', offered(path('twelve.dat'), 'ORX Pro 21'), alone)

    # A tag that another monitor of the base has: renamed, said, offered.
    collide, report = merge(BASE, path('ms.dat', monitor.replace('ORX5021', 'MS')), path('ms-out.dat'))
    expect('tag collision renamed', (collide.returncode, report['monitors'][0]['action'], report['monitors'][0]['tag']),
           (0, 'renamed', 'MS-2'))
    expect('renamed monitor offered', offered(path('ms-out.dat'), 'ORX Pro 21'), alone)
    text = run('merge', BASE, path('ms.dat'), '-o', path('ms-text.dat'))
    expect('renaming said', 'added as tag MS-2' in text.stdout, True)

    # Refused: past the tag and block limits, or an input that does not
    # parse (with the reader's FILE:LINE); nothing written, BASE unchanged
    # even when it is the output.
    many = 'version 1\ndisplay {\n' + ''.join(f' {{\n  tag=T{n}\n  desc="Monitor {n}"\n }}\n' for n in range(18)) + '}\n'
    broken = monitor.replace('type timing', 'type timings', 1)
    broken_line = monitor[:monitor.index('type timing')].count('\n') + 1
    for what, add_text, message in (('tag limit', many, 'distinct tags'),
                                    ('unparsable input', broken, f'{path("bad.dat")}:{broken_line}: error')):
        add_path = path('bad.dat', add_text)
        refused = run('merge', BASE, add_path, '-o', path('never.dat'))
        expect(f'{what} refused', (refused.returncode != 0, message in refused.stderr, os.path.exists(path('never.dat'))),
               (True, True, False))
        in_place = path('in-place.dat')
        with open(in_place, 'wb') as f:
            f.write(base_bytes)
        run('merge', in_place, add_path, '-o', in_place)
        with open(in_place, 'rb') as f:
            expect(f'{what}: BASE as output unchanged', f.read() == base_bytes, True)
        expect(f'{what}: no temporary left', sorted(n for n in os.listdir(folder) if 'merge' in n), [])

finish()
