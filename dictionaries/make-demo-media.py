#!/usr/bin/env python3
"""Makes the pictures and sounds of the demo dictionary (dictionaries/demo).

The files are committed, so building never runs this. Run it again only to
change them:  python3 dictionaries/make-demo-media.py
Pictures need nothing but Python; sounds need espeak-ng and sox.

One picture per format the reader must show (PNG, GIF, JPEG), a map
larger than the window (to zoom in the picture viewer), and one spoken word
per sound, kept small: 8 kHz, 8-bit AIFF.
"""

import math
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import zlib

DEMO = os.path.join(os.path.dirname(os.path.abspath(__file__)), "demo")
SIZE = 64

WHITE = (255, 255, 255)


def canvas(colour=WHITE):
    return [[colour for _ in range(SIZE)] for _ in range(SIZE)]


def disc(img, cx, cy, r, colour):
    for y in range(SIZE):
        for x in range(SIZE):
            if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
                img[y][x] = colour


def rect(img, x0, y0, x1, y1, colour):
    for y in range(max(0, y0), min(SIZE, y1)):
        for x in range(max(0, x0), min(SIZE, x1)):
            img[y][x] = colour


# --- pictures -------------------------------------------------------------

def apple():
    img = canvas()
    disc(img, 32, 37, 22, (200, 30, 40))
    disc(img, 24, 30, 5, (235, 120, 120))  # shine
    rect(img, 31, 8, 34, 17, (110, 70, 30))  # stem
    for y in range(6, 16):
        for x in range(35, 50):
            if (x - 42) ** 2 / 49 + (y - 11) ** 2 / 12 <= 1:
                img[y][x] = (60, 150, 50)  # leaf
    return img


def sun():
    img = canvas()
    for angle in range(0, 360, 30):
        a = math.radians(angle)
        for t in range(16, 30):
            x = round(32 + t * math.cos(a))
            y = round(32 + t * math.sin(a))
            rect(img, x - 1, y - 1, x + 2, y + 2, (240, 150, 20))
    disc(img, 32, 32, 13, (250, 210, 30))
    return img


def house():
    img = canvas()
    for y in range(SIZE):  # sky, then grass
        shade = (120 + y, 170 + y // 2, 235) if y < 48 else (70, 150, 60)
        rect(img, 0, y, SIZE, y + 1, shade)
    rect(img, 14, 30, 50, 52, (215, 190, 140))  # walls
    for y in range(12, 31):  # roof
        half = (y - 12) * 22 // 18
        rect(img, 32 - half, y, 32 + half + 1, y + 1, (160, 50, 40))
    rect(img, 28, 38, 36, 52, (100, 60, 30))  # door
    rect(img, 18, 35, 25, 42, (200, 230, 250))  # windows
    rect(img, 39, 35, 46, 42, (200, 230, 250))
    return img


MAP_W, MAP_H = 1200, 900
SEA, SAND, GRASS, ROCK, SNOW = (70, 130, 190), (230, 210, 150), (110, 170, 80), (140, 130, 120), (245, 245, 245)
RIVER, ROAD, TOWN, GRID = (60, 120, 200), (150, 100, 60), (200, 40, 40), (255, 255, 255)


def map_picture():
    """An island with mountains, a river, roads and towns: wider and taller
    than the window, with detail that only shows when zoomed in."""
    cx, cy = MAP_W / 2, MAP_H / 2
    peaks = [(520, 250, 160), (650, 210, 190), (770, 280, 140)]  # top x, top y, height
    towns = [(300, 520), (880, 600), (560, 680), (980, 380)]

    def coast(x, y):
        # The coast wanders around an ellipse; below 1 is land.
        a = math.atan2(y - cy, x - cx)
        r = 1.0 + 0.08 * math.sin(5 * a) + 0.05 * math.sin(11 * a + 1)
        return math.hypot((x - cx) / (470 * r), (y - cy) / (340 * r))

    img = []
    for y in range(MAP_H):
        row = []
        for x in range(MAP_W):
            d = coast(x, y)
            if d > 1.0:
                waves = (x + y) % 40 == 0 or x % 150 == 0 or y % 150 == 0
                colour = (90, 150, 205) if waves else SEA
            elif d > 0.94:
                colour = SAND
            else:
                colour = GRASS
                for px, py, h in peaks:
                    if py <= y <= py + h and abs(x - px) < (y - py) * 0.8:
                        colour = SNOW if y < py + h / 3 else ROCK
            row.append(colour)
        img.append(row)

    def dot(x, y, radius, colour):
        for yy in range(max(0, y - radius), min(MAP_H, y + radius + 1)):
            for xx in range(max(0, x - radius), min(MAP_W, x + radius + 1)):
                if (xx - x) ** 2 + (yy - y) ** 2 <= radius * radius:
                    img[yy][xx] = colour

    # The river from the mountains to the sea, the roads between the towns.
    for t in range(0, 1000):
        x = int(640 + t * 0.55 + 40 * math.sin(t / 60))
        y = int(430 + t * 0.3)
        if 0 <= x < MAP_W and 0 <= y < MAP_H and coast(x, y) <= 0.97:
            dot(x, y, 4, RIVER)
    for (x0, y0), (x1, y1) in zip(towns, towns[1:] + towns[:1]):
        steps = int(math.hypot(x1 - x0, y1 - y0))
        for i in range(steps):
            dot(int(x0 + (x1 - x0) * i / steps), int(y0 + (y1 - y0) * i / steps), 2, ROAD)
    for x, y in towns:
        dot(x, y, 12, GRID)
        dot(x, y, 9, TOWN)
    return img


def png(img):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    raw = b"".join(b"\0" + bytes(c for px in row for c in px) for row in img)
    header = struct.pack(">IIBBBBB", len(img[0]), len(img), 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def gif(img):
    palette = []
    for row in img:
        for px in row:
            if px not in palette:
                palette.append(px)
    assert len(palette) <= 4
    while len(palette) < 4:
        palette.append((0, 0, 0))
    indexes = [palette.index(px) for row in img for px in row]

    # LZW with a clear code before the table would grow past 3-bit codes:
    # every pixel is one literal code, simple and valid.
    min_size = 2
    clear, end = 1 << min_size, (1 << min_size) + 1
    per_clear = (1 << min_size) - 2
    codes = []
    for i, index in enumerate(indexes):
        if i % per_clear == 0:
            codes.append(clear)
        codes.append(index)
    codes.append(end)
    bits, nbits, data = 0, 0, bytearray()
    for code in codes:
        bits |= code << nbits
        nbits += min_size + 1
        while nbits >= 8:
            data.append(bits & 0xFF)
            bits >>= 8
            nbits -= 8
    if nbits:
        data.append(bits & 0xFF)
    blocks = b"".join(bytes([len(data[i:i + 255])]) + bytes(data[i:i + 255])
                      for i in range(0, len(data), 255))
    return (b"GIF89a" + struct.pack("<HHBBB", SIZE, SIZE, 0xF1, 0, 0)
            + bytes(c for px in palette for c in px)
            + b"\x2c" + struct.pack("<HHHHB", 0, 0, SIZE, SIZE, 0)
            + bytes([min_size]) + blocks + b"\0\x3b")


ZIGZAG = sorted(range(64), key=lambda i: (i // 8 + i % 8,
                                          (i % 8) if (i // 8 + i % 8) % 2 == 0 else (i // 8)))

LUMA_Q = [16, 11, 10, 16, 24, 40, 51, 61, 12, 12, 14, 19, 26, 58, 60, 55,
          14, 13, 16, 24, 40, 57, 69, 56, 14, 17, 22, 29, 51, 87, 80, 62,
          18, 22, 37, 56, 68, 109, 103, 77, 24, 35, 55, 64, 81, 104, 113, 92,
          49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99]
CHROMA_Q = [17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99,
            24, 26, 56, 99, 99, 99, 99, 99, 47, 66, 99, 99, 99, 99, 99, 99] + [99] * 32


def jpeg(img, quality=85):
    scale = 5000 // quality if quality < 50 else 200 - 2 * quality
    tables = [[min(255, max(1, (q * scale + 50) // 100)) for q in base]
              for base in (LUMA_Q, CHROMA_Q)]
    cos = [[math.cos((2 * x + 1) * u * math.pi / 16) for x in range(8)] for u in range(8)]

    planes = [[[0.0] * SIZE for _ in range(SIZE)] for _ in range(3)]
    for y in range(SIZE):
        for x in range(SIZE):
            r, g, b = img[y][x]
            planes[0][y][x] = 0.299 * r + 0.587 * g + 0.114 * b - 128
            planes[1][y][x] = -0.168736 * r - 0.331264 * g + 0.5 * b
            planes[2][y][x] = 0.5 * r - 0.418688 * g - 0.081312 * b

    def block(plane, bx, by, table):
        out = [0] * 64
        for v in range(8):
            for u in range(8):
                s = sum(plane[by + y][bx + x] * cos[u][x] * cos[v][y]
                        for y in range(8) for x in range(8))
                cu = math.sqrt(0.5) if u == 0 else 1.0
                cv = math.sqrt(0.5) if v == 0 else 1.0
                out[v * 8 + u] = round(0.25 * cu * cv * s / table[v * 8 + u])
        return [out[i] for i in ZIGZAG]

    def category(value):
        return 0 if value == 0 else abs(value).bit_length()

    def amplitude(value):
        size = category(value)
        return value if value >= 0 else value + (1 << size) - 1

    # Symbols first, so that each table holds only what the picture uses.
    symbols = []  # (component, is_ac, symbol, extra size, extra bits)
    previous = [0, 0, 0]
    for by in range(0, SIZE, 8):
        for bx in range(0, SIZE, 8):
            for comp in range(3):
                coef = block(planes[comp], bx, by, tables[min(comp, 1)])
                diff = coef[0] - previous[comp]
                previous[comp] = coef[0]
                symbols.append((comp, False, category(diff), category(diff), amplitude(diff)))
                run = 0
                last = max((i for i in range(1, 64) if coef[i]), default=0)
                for i in range(1, last + 1):
                    if coef[i] == 0:
                        run += 1
                        continue
                    while run > 15:
                        symbols.append((comp, True, 0xF0, 0, 0))
                        run -= 16
                    size = category(coef[i])
                    symbols.append((comp, True, (run << 4) | size, size, amplitude(coef[i])))
                    run = 0
                if last < 63:
                    symbols.append((comp, True, 0x00, 0, 0))

    # Canonical codes of one length per table: simple and always valid
    # (no code of all ones, no code longer than 16 bits).
    huffman = {}
    for table_id, is_ac in ((0, False), (1, False), (0, True), (1, True)):
        used = sorted({s[2] for s in symbols if min(s[0], 1) == table_id and s[1] == is_ac})
        length = max(1, len(used).bit_length())
        huffman[(table_id, is_ac)] = (length, used, {sym: (i, length) for i, sym in enumerate(used)})

    bits, nbits, data = 0, 0, bytearray()

    def put(value, size):
        nonlocal bits, nbits
        bits = (bits << size) | (value & ((1 << size) - 1))
        nbits += size
        while nbits >= 8:
            byte = (bits >> (nbits - 8)) & 0xFF
            data.append(byte)
            if byte == 0xFF:
                data.append(0)
            nbits -= 8
        bits &= (1 << nbits) - 1

    for comp, is_ac, symbol, size, extra in symbols:
        code, length = huffman[(min(comp, 1), is_ac)][2][symbol]
        put(code, length)
        if size:
            put(extra, size)
    if nbits:
        put((1 << (8 - nbits)) - 1, 8 - nbits)

    def segment(marker, body):
        return struct.pack(">BBH", 0xFF, marker, len(body) + 2) + body

    out = b"\xff\xd8" + segment(0xE0, b"JFIF\0\x01\x01\0\0\x01\0\x01\0\0")
    for table_id, table in enumerate(tables):
        out += segment(0xDB, bytes([table_id]) + bytes(table[i] for i in ZIGZAG))
    out += segment(0xC0, struct.pack(">BHHB", 8, SIZE, SIZE, 3)
                   + bytes([1, 0x11, 0, 2, 0x11, 1, 3, 0x11, 1]))
    for (table_id, is_ac), (length, used, _) in huffman.items():
        counts = [0] * 16
        counts[length - 1] = len(used)
        out += segment(0xC4, bytes([(0x10 if is_ac else 0) | table_id]) + bytes(counts)
                       + bytes(used))
    out += segment(0xDA, bytes([3, 1, 0x00, 2, 0x11, 3, 0x11, 0, 63, 0]))
    return out + bytes(data) + b"\xff\xd9"


# --- sounds ---------------------------------------------------------------

def sound(word, path):
    for tool in ("espeak-ng", "sox"):
        if not shutil.which(tool):
            sys.exit(f"{tool} is needed for the sounds")
    with tempfile.TemporaryDirectory() as tmp:
        wav = os.path.join(tmp, "word.wav")
        subprocess.run(["espeak-ng", "-v", "en", "-s", "140", "-w", wav, word], check=True)
        subprocess.run(["sox", wav, "-r", "8000", "-b", "8", "-c", "1", path, "norm", "-1"],
                       check=True)


def write(path, data):
    with open(path, "wb") as out:
        out.write(data)


def main():
    pictures = os.path.join(DEMO, "pictures")
    sounds = os.path.join(DEMO, "sounds")
    os.makedirs(pictures, exist_ok=True)
    os.makedirs(sounds, exist_ok=True)
    write(os.path.join(pictures, "apple.png"), png(apple()))
    write(os.path.join(pictures, "sun.gif"), gif(sun()))
    write(os.path.join(pictures, "house.jpg"), jpeg(house()))
    write(os.path.join(pictures, "map.png"), png(map_picture()))
    for word in ("apple", "sun", "house"):
        sound(word, os.path.join(sounds, word + ".aiff"))


if __name__ == "__main__":
    main()
