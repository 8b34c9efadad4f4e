#!/usr/bin/env python3
"""Writes the EDID samples of this folder (see README.md), byte by byte from
the monitors described below, and prints the `edid =` lines of a sample's
120-byte identification for a board profile.

Run from this folder:  python3 make_samples.py
                       python3 make_samples.py --profile orx-p21
"""
import sys

HEADER = [0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00]

# Bit positions of the established timings: (byte 35..37, mask).
ESTABLISHED = {
    '720x400@70': (0, 0x80), '720x400@88': (0, 0x40), '640x480@60': (0, 0x20), '640x480@67': (0, 0x10),
    '640x480@72': (0, 0x08), '640x480@75': (0, 0x04), '800x600@56': (0, 0x02), '800x600@60': (0, 0x01),
    '800x600@72': (1, 0x80), '800x600@75': (1, 0x40), '832x624@75': (1, 0x20), '1024x768@87i': (1, 0x10),
    '1024x768@60': (1, 0x08), '1024x768@70': (1, 0x04), '1024x768@75': (1, 0x02), '1280x1024@75': (1, 0x01),
    '1152x870@75': (2, 0x80),
}
ASPECT = {'16:10': 0, '4:3': 1, '5:4': 2, '16:9': 3}


def manufacturer(letters):
    code = 0
    for letter in letters:
        code = code << 5 | (ord(letter) - 64)
    return [code >> 8, code & 0xFF]


def le16(value):
    return [value & 0xFF, value >> 8]


def le32(value):
    return [value >> (8 * i) & 0xFF for i in range(4)]


def chromaticity(red, green, blue, white):
    v = [round(c * 1024) for point in (red, green, blue, white) for c in point]
    lo = lambda a, b, c, d: (a & 3) << 6 | (b & 3) << 4 | (c & 3) << 2 | (d & 3)
    return [lo(*v[0:4]), lo(*v[4:8])] + [x >> 2 for x in v]


def established(*names):
    out = [0, 0, 0]
    for name in names:
        byte, mask = ESTABLISHED[name]
        out[byte] |= mask
    return out


def standard(*timings):
    """(width, aspect, refresh) triples; the rest of the eight slots unused."""
    out = []
    for width, aspect, refresh in timings:
        out += [width // 8 - 31, ASPECT[aspect] << 6 | (refresh - 60)]
    return out + [0x01, 0x01] * (8 - len(timings))


def dtd(clock_khz, h, v, image_mm, flags):
    """h and v: (active, blanking, front porch, sync)."""
    ha, hb, hfp, hs = h
    va, vb, vfp, vs = v
    hmm, vmm = image_mm
    return (le16(clock_khz // 10) +
            [ha & 0xFF, hb & 0xFF, (ha >> 8) << 4 | hb >> 8,
             va & 0xFF, vb & 0xFF, (va >> 8) << 4 | vb >> 8,
             hfp & 0xFF, hs & 0xFF, (vfp & 15) << 4 | (vs & 15),
             (hfp >> 8) << 6 | (hs >> 8) << 4 | (vfp >> 4) << 2 | vs >> 4,
             hmm & 0xFF, vmm & 0xFF, (hmm >> 8) << 4 | vmm >> 8, 0, 0, flags])


def text(tag, value):
    data = list(value.encode('ascii'))
    if len(data) < 13:
        data += [0x0A] + [0x20] * (12 - len(data))
    return [0, 0, 0, tag, 0] + data


def range_limits(v_hz, h_khz, clock_mhz, formula=0x00, tail=None, offsets=0):
    tail = tail if tail is not None else [0x0A] + [0x20] * 6
    return [0, 0, 0, 0xFD, offsets, v_hz[0], v_hz[1], h_khz[0], h_khz[1], clock_mhz // 10, formula] + tail


def block(vendor, version, video_input, size_cm, gamma, features, chroma, est, std, descriptors, extensions=0):
    letters, product, serial, week, year = vendor
    data = (HEADER + manufacturer(letters) + le16(product) + le32(serial) + [week, year - 1990] + list(version) +
            [video_input, size_cm[0], size_cm[1], round(gamma * 100) - 100, features] + chroma + est + std)
    for d in descriptors:
        assert len(d) == 18, d
        data += d
    data += [extensions]
    data += [-sum(data) & 0xFF]
    assert len(data) == 128, len(data)
    return bytes(data)


CRT_CHROMA = chromaticity((0.625, 0.340), (0.280, 0.595), (0.155, 0.070), (0.283, 0.298))
SRGB_CHROMA = chromaticity((0.640, 0.330), (0.300, 0.600), (0.150, 0.060), (0.3127, 0.3290))
POS = 0x1E  # digital separate sync, both polarities positive

# VESA monitor timings used below: (clock kHz, horizontal, vertical).
T1600x1200_60 = (162000, (1600, 560, 64, 192), (1200, 50, 1, 3))
T1280x1024_75 = (135000, (1280, 408, 16, 144), (1024, 42, 1, 3))
T1280x1024_60 = (108000, (1280, 408, 48, 112), (1024, 42, 1, 3))
T1024x768_75 = (78750, (1024, 288, 16, 96), (768, 32, 1, 3))
T800x600_75 = (49500, (800, 256, 16, 80), (600, 25, 1, 3))
T640x480_75 = (31500, (640, 200, 16, 64), (480, 20, 1, 3))
T1920x1200_60RB = (154000, (1920, 160, 48, 32), (1200, 35, 3, 6))
T1920x1080_240 = (555360, (1920, 80, 8, 32), (1080, 77, 3, 5))
T1920x1080_60I = (74250, (1920, 280, 88, 44), (540, 22, 2, 5))   # per field


def orx_p21():
    return block(('ORX', 0x5021, 8317245, 37, 1998), (1, 1), 0x0E, (40, 30), 2.2, 0xEA, CRT_CHROMA,
                 established('640x480@60', '640x480@72', '640x480@75', '800x600@60', '800x600@72', '800x600@75',
                             '1024x768@60', '1024x768@70', '1024x768@75', '1280x1024@75'),
                 standard((1280, '5:4', 60), (1600, '4:3', 60)),
                 [dtd(*T1600x1200_60, (400, 300), POS), dtd(*T1280x1024_75, (400, 300), POS),
                  range_limits((50, 160), (30, 96), 230), text(0xFC, 'ORX Pro 21')])


def orx_17():
    return block(('ORX', 0x3017, 6122093, 12, 1997), (1, 0), 0x0C, (32, 24), 2.2, 0xE8, CRT_CHROMA,
                 established('640x480@60', '640x480@75', '800x600@60', '800x600@75', '1024x768@60', '1024x768@75'),
                 standard((1280, '5:4', 60)),
                 [dtd(*T1280x1024_60, (320, 240), POS), dtd(*T1024x768_75, (320, 240), POS),
                  dtd(*T800x600_75, (320, 240), POS), dtd(*T640x480_75, (320, 240), 0x18)])


def qvt_2410():
    cvt = [0x11, 0x00, 1920 // 8, 0xE0, 0x58, 0x00, 60]
    return block(('QVT', 0x2410, 0, 255, 2014), (1, 4), 0xA5, (52, 32), 2.2, 0x2F, SRGB_CHROMA,
                 established('640x480@60', '800x600@60', '1024x768@60'),
                 standard((1280, '5:4', 60), (1680, '16:10', 60), (1920, '16:9', 60), (1920, '16:10', 60)),
                 [dtd(*T1920x1200_60RB, (518, 324), 0x1A), range_limits((56, 76), (30, 94), 170, 0x04, cvt),
                  text(0xFC, 'QVT 2410W'), text(0xFF, 'QV4K2210583')], extensions=1)


def qvt_27g():
    # Rates above 255 need the offset flags of byte 4: +255 on both maxima.
    return block(('QVT', 0x2724, 1, 20, 2019), (1, 4), 0xA5, (60, 34), 2.2, 0x2F, SRGB_CHROMA,
                 established('640x480@60'), standard((1920, '16:9', 60)),
                 [dtd(*T1920x1080_240, (597, 336), 0x1A), dtd(*T1920x1080_60I, (597, 336), 0x9E),
                  range_limits((48, 280 - 255), (30, 290 - 255), 600, 0x01, offsets=0x0A),
                  text(0xFC, 'QVT 27G')])


def orx_fp1960():
    return block(('ORX', 0x1960, 417, 8, 2003), (1, 3), 0x81, (38, 30), 2.2, 0x2A, SRGB_CHROMA,
                 established(), standard((1280, '5:4', 60)),
                 [dtd(*T1280x1024_60, (376, 301), POS), range_limits((60, 60), (64, 64), 110),
                  text(0xFC, 'ORX FP1960'), text(0xFF, 'FP19-00417')])


def flipped(data, offset, mask):
    """The block with one bit changed after its checksum was made."""
    data = bytearray(data)
    data[offset] ^= mask
    return bytes(data)


def reserved_bits():
    data = bytearray(block(('ORX', 0x1961, 418, 9, 2003), (1, 3), 0x83, (38, 30), 2.2, 0x28, SRGB_CHROMA,
                           established(), standard((1280, '5:4', 60)),
                           [dtd(*T1280x1024_60, (376, 301), POS), range_limits((50, 75), (30, 80), 140),
                            text(0xFC, 'ORX FP1961'), [0, 0, 1, 0x42, 0] + [0] * 13]))
    data[8] |= 0x80          # reserved bit of the manufacturer ID
    data[40:42] = b'\0\0'    # unused standard timing written as 00 00
    data[127] = -sum(data[:127]) & 0xFF
    return bytes(data)


def impossible_timing():
    broken_h = (65000, (1024, 100, 80, 40), (768, 38, 3, 6))   # porch and sync wider than the blanking
    no_lines = (65000, (1024, 320, 24, 136), (0, 38, 3, 6))
    data = bytearray(block(('ORX', 0x2170, 99, 60, 1999), (1, 3), 0x0E, (40, 30), 2.2, 0xEA, CRT_CHROMA,
                           established('640x480@60'), standard(),
                           [dtd(*T1280x1024_75, (400, 300), POS), dtd(*broken_h, (400, 300), POS),
                            dtd(*no_lines, (400, 300), POS), range_limits((90, 60), (30, 70), 200)]))
    data[0] = 0x01           # a header that is not one
    data[127] = -sum(data[:127]) & 0xFF
    return bytes(data)


def orx_gtf():
    # Standard timings that no VESA DMT timing names (GTF), one that repeats
    # an established timing and one that repeats the detailed timing.
    return block(('ORX', 0x2190, 5120, 20, 2001), (1, 3), 0x0E, (40, 30), 2.2, 0xEA, CRT_CHROMA,
                 established('640x480@60', '800x600@75', '1024x768@75'),
                 standard((1152, '4:3', 85), (1280, '5:4', 70), (1024, '4:3', 100), (1024, '4:3', 75),
                          (1280, '5:4', 75)),
                 [dtd(*T1280x1024_75, (400, 300), POS), range_limits((50, 160), (30, 110), 250),
                  text(0xFC, 'ORX 2190G'), text(0xFF, 'G2190-5120')])


def qvt_cvt():
    # EDID 1.4, range limits with CVT support and standard blanking: the
    # standard timings without a DMT are CVT ones; 1920 x 1200 at 60 Hz is
    # the DMT timing, whose 193.25 MHz the monitor's 170 MHz refuses.
    cvt = [0x11, 0x00, 1920 // 8, 0xE0, 0x48, 0x00, 60]
    return block(('QVT', 0x2412, 7, 255, 2015), (1, 4), 0xA5, (52, 32), 2.2, 0x2F, SRGB_CHROMA,
                 established('640x480@60'),
                 standard((1152, '4:3', 85), (1280, '5:4', 70), (1600, '16:10', 60), (1920, '16:10', 60)),
                 [dtd(*T1920x1200_60RB, (518, 324), 0x1A), range_limits((56, 86), (30, 94), 170, 0x04, cvt),
                  text(0xFC, 'QVT 2412C'), text(0xFF, 'QV4K2212007')])


def orx_sgtf():
    # Secondary GTF from 60 kHz up: C 30, M 300, K 128, J 20.
    secondary = [0x00, 60 // 2, 30 * 2, 300 & 0xFF, 300 >> 8, 128, 20 * 2]
    return block(('ORX', 0x2191, 5121, 21, 2001), (1, 3), 0x0E, (40, 30), 2.2, 0xEA, CRT_CHROMA,
                 established('640x480@60'),
                 standard((640, '4:3', 100), (1152, '4:3', 85), (1280, '5:4', 70), (1024, '4:3', 60)),
                 [dtd(*T1280x1024_75, (400, 300), POS), range_limits((50, 160), (30, 110), 250, 0x02, secondary),
                  text(0xFC, 'ORX 2191S'), text(0xFF, 'S2191-5121')])


def orx_narrow():
    # A CRT of 30-70 kHz that still announces 1280 x 1024 at 75 Hz (80 kHz)
    # among its established timings, with the IBM and Apple ones.
    return block(('ORX', 0x1570, 77, 30, 1996), (1, 3), 0x0E, (32, 24), 2.2, 0xEA, CRT_CHROMA,
                 established('720x400@70', '720x400@88', '640x480@67', '832x624@75', '1024x768@87i',
                             '1152x870@75', '1280x1024@75', '1024x768@60'),
                 standard(),
                 [dtd(*T1024x768_75, (320, 240), POS), range_limits((50, 90), (30, 70), 110),
                  text(0xFC, 'ORX 1570'), text(0xFF, 'N1570-77')])


SAMPLES = {
    'orx-p21.bin': orx_p21(),
    'orx-17.id': orx_17()[8:],
    'qvt-2410.bin': qvt_2410(),
    'qvt-27g.bin': qvt_27g(),
    'orx-fp1960.bin': orx_fp1960(),
    'bad-checksum.bin': flipped(orx_p21(), 12, 0x01),
    'reserved-bits.bin': reserved_bits(),
    'impossible-timing.bin': impossible_timing(),
    'orx-gtf.bin': orx_gtf(),
    'qvt-cvt.bin': qvt_cvt(),
    'orx-sgtf.bin': orx_sgtf(),
    'orx-narrow.bin': orx_narrow(),
}


def profile_lines(data):
    ident = data[8:] if len(data) == 128 else data
    return ['edid = ' + ' '.join(f'{b:02X}' for b in ident[i:i + 24]) for i in range(0, 120, 24)]


if __name__ == '__main__':
    if len(sys.argv) == 3 and sys.argv[1] == '--profile':
        name = next(n for n in SAMPLES if n.startswith(sys.argv[2] + '.'))
        print('\n'.join(profile_lines(SAMPLES[name])))
    else:
        for name, data in SAMPLES.items():
            with open(name, 'wb') as f:
                f.write(data)
