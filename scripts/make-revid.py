#!/usr/bin/env python3
"""Writes data/revid.dat, the timing database installed with the applet, from
the tables below. Reproducible: the same file every run.

    scripts/make-revid.py            write data/revid.dat
    scripts/make-revid.py --check    exit 1 when data/revid.dat differs from what
                                     the tables give (or the tables are wrong)
    scripts/make-revid.py --stdout   print the file instead of writing it

Before anything is written every raster timing is checked: its frequencies
against the published ones, its refresh against the nominal rate, and the
database against the reader's limits (tags, monitor blocks, text lengths)
and against entries the applet would report as duplicates.
"""
import argparse
import os
import sys
from collections import namedtuple

# One raster timing. h and v are (active, front porch, sync, back porch) in
# pixels and lines; for an interlaced timing v is one field (the porch may be
# a half line). hf and vf are the published line and field frequencies (kHz,
# Hz) that the totals must reproduce; rate is the nominal refresh rate.
Timing = namedtuple('Timing', 'key rate pc h v hpos vpos interlaced hf vf source')

DMT = 'VESA DMT'
STEREO = 'above-below stereo, per-eye field'
# The applet rounds the field rate of a timing to name it, and offers a DDC
# monitor only the rates that the monitor reports by name. The standard
# 640 x 480 at 72 Hz runs at 72.8 Hz and would be named 73 Hz; three more
# lines of vertical back porch bring it to 72.4 Hz with the same line timing.
DMT_72 = 'VESA DMT line timing, back porch 31 lines'


def T(width, height, rate, pc, h, v, pol, hf, vf, source=DMT, interlaced=False, key=None):
    return Timing(key or (width, height, rate), rate, pc, h, v, pol[0] == '+', pol[1] == '+', interlaced, hf, vf,
                  source)


# The published timings (VESA DMT, IBM, Apple), shared with vcatool.
PUBLISHED = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'tools', 'vcatool', 'published_timings.inc')


def published_timings():
    """The VESA DMT timings of the shared table, by (width, height, rate),
    or (width, height, 'i') for an interlaced one."""
    out = {}
    with open(PUBLISHED) as f:
        for line in f:
            if not line.startswith('VESA_TIMING('):
                continue
            fields = [x.strip() for x in line.strip()[len('VESA_TIMING('):-1].split(',')]
            if fields[0] != 'DMT':
                continue
            w, h, rate, ilace, pc_khz = (int(x) for x in fields[3:8])
            hfp, hs, hbp = (int(x) for x in fields[8:11])
            vfp = float(fields[11]) if '.' in fields[11] else int(fields[11])
            vs, vbp = int(fields[12]), int(fields[13])
            pol = fields[14].strip("'") + fields[15].strip("'")
            t = T(w, h, rate, pc_khz / 1000.0, (w, hfp, hs, hbp), (h // 2 if ilace else h, vfp, vs, vbp), pol,
                  float(fields[16]), float(fields[17]), interlaced=bool(ilace),
                  key=(w, h, 'i') if ilace else None)
            out[t.key] = t
    return out


DMT_TABLE = published_timings()


def dmt(width, height, rate, **changes):
    return DMT_TABLE[(width, height, rate)]._replace(**changes)


# The industry-standard timings. The stereo formats show each eye's half of
# the frame buffer (1024 x 384 of 1024 x 768) as one field at 120 fields a
# second, with the line timing and vertical blanking of the 60 Hz format.
TIMINGS = {t.key: t for t in [
    dmt(640, 480, 60), dmt(640, 480, 72, v=(480, 9, 3, 31), vf=72.391, source=DMT_72), dmt(640, 480, 75),
    dmt(640, 480, 85), dmt(800, 600, 56), dmt(800, 600, 60), dmt(800, 600, 72), dmt(800, 600, 75),
    dmt(800, 600, 85), DMT_TABLE[(1024, 768, 'i')], dmt(1024, 768, 60), dmt(1024, 768, 70), dmt(1024, 768, 75),
    dmt(1024, 768, 85), dmt(1152, 864, 75), dmt(1280, 960, 60), dmt(1280, 960, 85), dmt(1280, 1024, 60),
    dmt(1280, 1024, 75), dmt(1280, 1024, 85), dmt(1600, 1200, 60), dmt(1600, 1200, 65), dmt(1600, 1200, 70),
    dmt(1600, 1200, 75), dmt(1600, 1200, 85), dmt(1920, 1080, 60),
    T(1024, 768, 120, 68.0, (1024, 24, 136, 160), (384, 3, 6, 29), '--', 50.595, 119.894, STEREO,
      key=(1024, 768, 's')),
    T(1280, 1024, 120, 112.2, (1280, 48, 112, 248), (512, 1, 3, 38), '++', 66.469, 119.981, STEREO,
      key=(1280, 1024, 's')),
]}

# Monitor blocks in the order the applet lists them. The applet's catalogue
# holds the blocks in the reverse of their order in the file, so they are
# written last first: the generic monitor, which the applet takes when no
# monitor was chosen yet, then comes first in the list.
LIMIT_ORDER = ['hfmax', 'hfmin', 'pcfmax', 'pcfmin', 'hbmax', 'hbmin', 'hfpmax', 'hfpmin', 'hsmax', 'hsmin',
               'hbpmax', 'hbpmin', 'hs%max', 'hs%min', 'vfmax', 'vfmin', 'vbmax', 'vbmin', 'vfpmax', 'vfpmin',
               'vsmax', 'vsmin', 'vbpmax', 'vbpmin', 'vs%max', 'vs%min']

Monitor = namedtuple('Monitor', 'tag desc limits note')


def M(tag, desc, note, **limits):
    return Monitor(tag, desc, limits, note)


MONITORS = [
    M('MS', 'Generic multi-sync monitor', 'any multi-sync monitor up to 1280 x 1024 at 60 Hz',
      hfmin=30, hfmax=70, vfmin=50, vfmax=100, pcfmax=110),
    M('MS', '14-inch multi-sync monitor, 31-38 kHz', 'VGA and SVGA up to 800 x 600 at 60 Hz, 1024 x 768 interlaced',
      hfmin=31, hfmax=38, vfmin=50, vfmax=90, pcfmax=45),
    M('MS', '15-inch multi-sync monitor, 30-54 kHz', 'up to 1024 x 768 at 60 Hz',
      hfmin=30, hfmax=54, vfmin=50, vfmax=100, pcfmax=80),
    M('MS', '17-inch multi-sync monitor, 30-70 kHz', 'up to 1280 x 1024 at 60 Hz, 1024 x 768 at 85 Hz',
      hfmin=30, hfmax=70, vfmin=50, vfmax=120, pcfmax=135),
    M('MS', '19-inch multi-sync monitor, 30-86 kHz', 'up to 1600 x 1200 at 60 Hz, 1280 x 1024 at 75 Hz',
      hfmin=30, hfmax=86, vfmin=50, vfmax=150, pcfmax=165),
    M('MS', '21-inch multi-sync monitor, 30-96 kHz', 'up to 1600 x 1200 at 75 Hz, 1280 x 1024 at 85 Hz',
      hfmin=30, hfmax=96, vfmin=50, vfmax=160, pcfmax=210),
    M('MS', '21-inch multi-sync monitor, 30-110 kHz', 'up to 1600 x 1200 at 85 Hz',
      hfmin=30, hfmax=110, vfmin=50, vfmax=160, pcfmax=250),
    M('LM', 'Norvane Lumaris 17-inch monitor', 'monitor id 8', hfmin=30, hfmax=70, vfmin=50, vfmax=120, pcfmax=135),
    M('LM', 'Norvane Lumaris 19-inch monitor', 'monitor id 10', hfmin=30, hfmax=86, vfmin=50, vfmax=150, pcfmax=165),
    M('LM', 'Norvane Lumaris 21-inch monitor', 'monitor id 11', hfmin=30, hfmax=96, vfmin=50, vfmax=160, pcfmax=210),
    M('MS', 'DDC Monitor', 'offers the timings that the monitor reports through DDC'),
]

# Records. A key names a timing of TIMINGS; 's' keys are stereo formats
# (records of the board types "vqx/gli" and "glm" only), 'i' interlaced ones
# ("timing" records only).
VQX_GLI_MS = [(640, 480, 60), (640, 480, 72), (640, 480, 75), (800, 600, 56), (800, 600, 60), (800, 600, 72),
              (800, 600, 75), (1024, 768, 60), (1024, 768, 70), (1024, 768, 75), (1152, 864, 75),
              (1280, 1024, 60), (1280, 1024, 75), (1600, 1200, 60), (1024, 768, 's'), (1280, 1024, 's')]
GLM_MS = [(640, 480, 60), (640, 480, 72), (640, 480, 75), (640, 480, 85), (800, 600, 60), (800, 600, 72),
          (800, 600, 75), (800, 600, 85), (1024, 768, 60), (1024, 768, 70), (1024, 768, 75), (1024, 768, 85),
          (1152, 864, 75), (1280, 1024, 60), (1280, 1024, 75), (1280, 1024, 85), (1600, 1200, 60),
          (1024, 768, 's'), (1280, 1024, 's')]
TIMING_MS = [k for k in TIMINGS if k[2] != 's']

# The Lumaris monitors, by the monitor id that the boards ask for: the
# 21-inch model (id 11), the 19-inch model (id 10) and the 17-inch model (id 8).
LUMARIS = {
    11: [(1024, 768, 75), (1024, 768, 85), (1280, 1024, 60), (1280, 1024, 75), (1280, 1024, 85),
         (1600, 1200, 60), (1600, 1200, 75), (1024, 768, 's'), (1280, 1024, 's')],
    10: [(1024, 768, 75), (1024, 768, 85), (1280, 1024, 60), (1280, 1024, 75), (1600, 1200, 60),
         (1024, 768, 's'), (1280, 1024, 's')],
    8: [(800, 600, 75), (1024, 768, 75), (1024, 768, 85), (1152, 864, 75), (1280, 1024, 60), (1024, 768, 's')],
}

Record = namedtuple('Record', 'type tag monid timing')


def records():
    out = []
    for family, ms in (('vqx/gli', VQX_GLI_MS), ('glm', GLM_MS), ('timing', TIMING_MS)):
        out += [Record(family, 'MS', None, TIMINGS[k]) for k in ms]
        for monid in sorted(LUMARIS, reverse=True):
            keys = [k for k in LUMARIS[monid] if family != 'timing' or k[2] != 's']
            out += [Record(family, 'LM', monid, TIMINGS[k]) for k in keys]
    return out


# Quantities as the applet derives them from the nine values of a timing.
def totals(t):
    return sum(t.h), sum(t.v)


def line_khz(t):
    return t.pc * 1000.0 / totals(t)[0]


def field_hz(t):
    htotal, vtotal = totals(t)
    return t.pc * 1e6 / (htotal * vtotal)


def applet_refresh(t):
    return int(field_hz(t) + 0.5)


def frame_lines(t):
    return t.v[0] * 2 if t.interlaced else t.v[0]


def hfreq(t):
    return int(line_khz(t) + 0.5)


def number(value):
    return ('%.3f' % value).rstrip('0').rstrip('.') if isinstance(value, float) else str(value)


def nine_values(t):
    htotal, vtotal = totals(t)
    h_active, h_fp, h_sync, _ = t.h
    v_active, v_fp, v_sync, _ = t.v
    return [(t.pc, 'pixel clock, MHz'), (htotal, 'horizontal total'), (h_active, 'horizontal active'),
            (h_sync, 'horizontal sync'), (h_fp, 'horizontal front porch'),
            (vtotal, 'vertical total' + (' (one field)' if t.interlaced else '')),
            (v_active, 'vertical active' + (' (one field)' if t.interlaced else '')),
            (v_sync, 'vertical sync'), (v_fp, 'vertical front porch')]


def check_tables():
    """Every problem found in the tables, as text; empty when they are sound."""
    problems = []
    for t in TIMINGS.values():
        name = '%dx%d@%s' % t.key
        if abs(line_khz(t) - t.hf) > 0.0015:
            problems.append('%s: line frequency %.4f kHz, published %.3f' % (name, line_khz(t), t.hf))
        if abs(field_hz(t) - t.vf) > 0.0015:
            problems.append('%s: field frequency %.4f Hz, published %.3f' % (name, field_hz(t), t.vf))
        frame_hz = field_hz(t) / 2 if t.interlaced else field_hz(t)
        if abs(frame_hz - t.rate) >= 1.0:
            problems.append('%s: frame frequency %.3f Hz is not the nominal %d' % (name, frame_hz, t.rate))
        for value, what in nine_values(t):
            if len(number(value)) > 19 or (not isinstance(value, float) and value < 0):
                problems.append('%s: %s %r cannot be written' % (name, what, value))
    tags = sorted({m.tag.lower() for m in MONITORS})
    if len(tags) > 19:
        problems.append('%d tags, the reader keeps 19' % len(tags))
    if len(MONITORS) > 20:
        problems.append('%d monitor blocks, the catalogue holds 20' % len(MONITORS))
    for m in MONITORS:
        if len(m.desc) > 47 or '"' in m.desc:
            problems.append('monitor name %r: at most 47 characters, no double quote' % m.desc)
        for limit in m.limits:
            if limit not in LIMIT_ORDER:
                problems.append('%s: unknown limit %s' % (m.desc, limit))
        for high, low in zip(LIMIT_ORDER[0::2], LIMIT_ORDER[1::2]):
            if high in m.limits and low in m.limits and m.limits[high] <= m.limits[low]:
                problems.append('%s: %s not above %s' % (m.desc, high, low))
    if not any(m.tag == 'MS' and 'generic' in m.desc.lower() for m in MONITORS):
        problems.append('no generic multi-sync monitor')
    if sum(m.desc == 'DDC Monitor' for m in MONITORS) != 1:
        problems.append('exactly one monitor must be named "DDC Monitor"')
    # The applet warns about entries that agree in type, tag, monitor id,
    # flags, resolution, refresh and line frequency.
    seen = {}
    for r in records():
        stereo = r.timing.key[2] == 's'
        if stereo and r.type == 'timing':
            problems.append('a "timing" record cannot be stereo: %s' % (r.timing.key,))
        if r.timing.interlaced and r.type != 'timing':
            problems.append('only "timing" records can be interlaced: %s' % (r.timing.key,))
        key = (r.type, r.tag, r.monid, stereo, r.timing.interlaced, r.timing.h[0], frame_lines(r.timing),
               applet_refresh(r.timing), hfreq(r.timing))
        if key in seen:
            problems.append('duplicate record %s' % (key,))
        seen[key] = True
    for monid in LUMARIS:
        if monid not in (8, 10, 11):
            problems.append('Lumaris monitor id %d is never asked for' % monid)
    return problems


HEADER = """\
; revid.dat: the timing database of the Norvane video configuration applet.
; Written by scripts/make-revid.py; change the tables there and run it again.
;
; The DISPLAY section lists the monitors. The applet shows them in the
; reverse of their order here: the generic multi-sync monitor, which it takes
; while no monitor has been chosen, comes first. Tag MS: multi-sync monitors,
; whose limits decide which timings they get; "DDC Monitor" gets the timings
; that the monitor reports through DDC. Tag LM: the Lumaris monitors; their
; records carry the monitor id that the board asks for (11: 21-inch,
; 10: 19-inch, 8: 17-inch).
;
; Records: "vqx/gli" for boards 201 to 203, "glm" for board 204, "timing"
; for boards 205 to 210. The data block of a "timing" record holds the raster
; timing from which the applet derives resolution, refresh and line rate;
; the xres, yres, refresh and hfreq lines of every record name the same
; values (hfreq in kHz, rounded). The other records carry the same nine
; values for reference; the applet reads only their keyword lines.
; Timings are the VESA DMT ones, but for 640 x 480 at 72 Hz, which has three
; more lines of vertical back porch so that the applet names it 72 Hz and not
; 73 Hz. The stereo formats show each eye's half of the frame (1024 x 384 of
; 1024 x 768) as a field at 120 fields a second.
"""


def monitor_block(m):
    lines = [' {', '  tag=%s' % m.tag, '  desc="%s"' % m.desc]
    pairs = [(high, low) for high, low in zip(LIMIT_ORDER[0::2], LIMIT_ORDER[1::2])
             if high in m.limits or low in m.limits]
    for high, low in pairs:
        fields = ['%s=%s' % (name, number(m.limits[name])) for name in (low, high) if name in m.limits]
        lines.append('  ' + ' '.join(fields))
    lines.append(' }')
    return lines


def record_text(r):
    t = r.timing
    stereo = t.key[2] == 's'
    width, height = t.key[0], t.key[1]
    what = 'stereo' if stereo else '%d Hz interlaced' % t.rate if t.interlaced else '%d Hz' % t.rate
    lines = ['; %d x %d %s: %s, %s MHz, %.3f kHz, %.3f Hz' % (width, height, what, t.source, number(t.pc),
                                                            line_khz(t), field_hz(t)),
             'tag %s' % r.tag, 'type %s' % r.type, 'xres %d' % t.h[0],
             'yres %d' % (t.v[0] if stereo else frame_lines(t)), 'refresh %d' % applet_refresh(t),
             'hfreq %d' % hfreq(t)]
    monid = ' monid=%d' % r.monid if r.monid is not None else ''
    if r.type == 'timing':
        lines.append('flags { ilace=%s hspos=%s vspos=%s%s }' % (
            'true' if t.interlaced else 'false', 'true' if t.hpos else 'false', 'true' if t.vpos else 'false', monid))
        lines.append('data {')
        lines += ['%-12s; %s' % (number(value), what) for value, what in nine_values(t)]
    else:
        lines.append('flags { stereo=%s%s }' % ('true' if stereo else 'false', monid))
        lines.append('data {')
        lines += [number(value) for value, _ in nine_values(t)]
    lines.append('}')
    return lines


def database_text():
    lines = HEADER.split('\n')[:-1] + [';', '; Monitors, in the order the applet lists them:']
    lines += [';   %-40s %s' % (m.desc, m.note) for m in MONITORS]
    lines += ['', 'version 1', '', 'display {']
    for m in reversed(MONITORS):
        lines += monitor_block(m)
    lines.append('}')
    family_titles = {'vqx/gli': 'boards 201 to 203', 'glm': 'board 204', 'timing': 'boards 205 to 210'}
    current = None
    for r in records():
        if (r.type, r.tag, r.monid) != current:
            current = (r.type, r.tag, r.monid)
            who = 'multi-sync monitors' if r.tag == 'MS' else 'Lumaris monitor id %d' % r.monid
            lines += ['', ';' + '-' * 72, '; "%s" records, %s: %s' % (r.type, family_titles[r.type], who),
                      ';' + '-' * 72]
        lines += [''] + record_text(r)
    return '\n'.join(lines) + '\n'


def main():
    parser = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    parser.add_argument('--check', action='store_true', help='compare with the file instead of writing it')
    parser.add_argument('--stdout', action='store_true', help='print the file instead of writing it')
    parser.add_argument('--output', default=os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'data',
                                                         'revid.dat'))
    args = parser.parse_args()
    problems = check_tables()
    for problem in problems:
        print('make-revid: %s' % problem, file=sys.stderr)
    if problems:
        return 1
    text = database_text()
    if args.stdout:
        sys.stdout.write(text)
        return 0
    if args.check:
        try:
            with open(args.output, 'rb') as f:
                current = f.read().decode('latin-1')
        except OSError:
            current = None
        if current != text:
            print('make-revid: %s is not what scripts/make-revid.py writes' % args.output, file=sys.stderr)
            return 1
        return 0
    with open(args.output, 'wb') as f:
        f.write(text.encode('latin-1'))
    return 0


if __name__ == '__main__':
    sys.exit(main())
