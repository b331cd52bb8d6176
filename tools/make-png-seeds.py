# Small seed PNGs of every colour type and bit depth, made from scratch.
import struct, zlib, sys, os
out = sys.argv[1]
def chunk(t, d): return struct.pack('>I', len(d)) + t + d + struct.pack('>I', zlib.crc32(t + d))
def png(w, h, depth, ct, rows, extra=b'', interlace=0):
    ihdr = struct.pack('>IIBBBBB', w, h, depth, ct, 0, 0, interlace)
    return b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', ihdr) + extra + chunk(b'IDAT', zlib.compress(rows, 9)) + chunk(b'IEND', b'')
CH = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}
def raw(w, h, depth, ct, f=lambda x, y, c: (x * 37 + y * 11 + c * 5)):
    bpp = CH[ct] * depth; maxv = (1 << depth) - 1; data = b''
    for y in range(h):
        bits = ''
        for x in range(w):
            for c in range(CH[ct]):
                v = f(x, y, c) % (maxv + 1)
                bits += format(v, '0%db' % depth)
        bits += '0' * (-len(bits) % 8)
        data += bytes([y % 5]) if depth >= 8 else b'\0'
        data += int(bits, 2).to_bytes(len(bits) // 8, 'big') if bits else b''
    return data
def interlaced(w, h, depth, ct):
    passes = [(0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4), (1, 0, 2, 2), (0, 1, 1, 2)]
    data = b''
    for x0, y0, dx, dy in passes:
        xs = list(range(x0, w, dx)); ys = list(range(y0, h, dy))
        if not xs or not ys: continue
        sub = raw(len(xs), len(ys), depth, ct, lambda x, y, c: (xs[x] * 37 + ys[y] * 11 + c * 5))
        # raw() used filter y % 5 for 8+ bit rows; use filter 0 here so the sub-image stays valid
        stride = (len(xs) * CH[ct] * depth + 7) // 8 + 1
        sub = b''.join(b'\0' + sub[i * stride + 1:(i + 1) * stride] for i in range(len(ys)))
        data += sub
    return data
seeds = {
    'grey1.png': png(9, 3, 1, 0, raw(9, 3, 1, 0)),
    'grey2.png': png(5, 2, 2, 0, raw(5, 2, 2, 0)),
    'grey4_trns.png': png(3, 3, 4, 0, raw(3, 3, 4, 0), chunk(b'tRNS', b'\0\x07')),
    'grey16.png': png(4, 4, 16, 0, raw(4, 4, 16, 0)),
    'grey_alpha8.png': png(4, 3, 8, 4, raw(4, 3, 8, 4)),
    'rgb8_gamma.png': png(6, 5, 8, 2, raw(6, 5, 8, 2), chunk(b'gAMA', struct.pack('>I', 45455))),
    'rgb16.png': png(3, 2, 16, 2, raw(3, 2, 16, 2)),
    'rgba8.png': png(5, 4, 8, 6, raw(5, 4, 8, 6)),
    'rgba16.png': png(2, 2, 16, 6, raw(2, 2, 16, 6)),
    'palette2_trns.png': png(7, 3, 2, 3, raw(7, 3, 2, 3), chunk(b'PLTE', bytes(range(12))) + chunk(b'tRNS', b'\x80\0')),
    'palette8.png': png(4, 4, 8, 3, raw(4, 4, 8, 3, lambda x, y, c: (x + y) % 3), chunk(b'PLTE', bytes([255, 0, 0, 0, 255, 0, 0, 0, 255]))),
    'interlaced_rgb8.png': png(11, 9, 8, 2, interlaced(11, 9, 8, 2), interlace=1),
    'interlaced_grey1.png': png(10, 10, 1, 0, interlaced(10, 10, 1, 0), interlace=1),
}
os.makedirs(out, exist_ok=True)
for name, data in seeds.items():
    open(os.path.join(out, name), 'wb').write(data)
