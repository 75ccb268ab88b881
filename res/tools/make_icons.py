#!/usr/bin/env python3
"""Draws Vantel's icons and menu bitmaps and writes them to res/icons/.

Every picture is a list of flat shapes, painted in order and rendered at each
output size with 4 x 4 supersampling for smooth edges. Icons are drawn on a
16 x 16 grid; menu bitmaps on their own 12 x 12 grid so that edges meet pixels.
Icons get 16, 24 and 32 pixel images (the small-icon sizes at 100, 150 and 200%), the program
icon also 48 and 64 (its large sizes), 32-bit with alpha
plus an AND mask; menu bitmaps are 12 x 12, 24-bit, on the menu background.

Usage: make_icons.py [output directory]   (default: ../icons beside this file)
Only the Python standard library is used; the output is byte-for-byte repeatable.
"""
import math
import os
import struct
import sys

GRID = 16.0
SUBSAMPLES = 4
MENU_BACKGROUND = (240, 240, 240)


def rgb(hex_text):
    value = int(hex_text.lstrip('#'), 16)
    return ((value >> 16) & 255, (value >> 8) & 255, value & 255)


BLUE = rgb('#2B78D0')
DARK_BLUE = rgb('#1B4F8F')
NAVY = rgb('#1E2B3C')
FACE = rgb('#F4F8FF')
RED = rgb('#D7372E')
DARK_RED = rgb('#A12019')
GREEN = rgb('#2E9F45')
DARK_GREEN = rgb('#1D7330')
ORANGE = rgb('#E8891C')
GREY = rgb('#5F6B7A')
LIGHT_GREY = rgb('#C9D0D8')
WHITE = rgb('#FFFFFF')
PAPER_LINE = rgb('#8FA3BC')
BROWN = rgb('#8A6A4A')
PINK = rgb('#E8708C')


# Shapes: predicates over a point (x, y) of the 16 x 16 grid.

def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, outer, inner):
    return lambda x, y: inner * inner < (x - cx) ** 2 + (y - cy) ** 2 <= outer * outer


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1


def round_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        dx = max(x0 + r - x, 0.0, x - (x1 - r))
        dy = max(y0 + r - y, 0.0, y - (y1 - r))
        return dx * dx + dy * dy <= r * r
    return inside


def polygon(points):
    def inside(x, y):
        result = False
        j = len(points) - 1
        for i, (xi, yi) in enumerate(points):
            xj, yj = points[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                result = not result
            j = i
        return result
    return inside


def stroke(points, width):
    """A polyline of the given width with round joins and caps."""
    half = width / 2.0
    segments = list(zip(points, points[1:]))

    def inside(x, y):
        for (ax, ay), (bx, by) in segments:
            dx, dy = bx - ax, by - ay
            t = ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)
            t = min(1.0, max(0.0, t))
            px, py = ax + t * dx - x, ay + t * dy - y
            if px * px + py * py <= half * half:
                return True
        return False
    return inside


def minus(shape, hole):
    return lambda x, y: shape(x, y) and not hole(x, y)


def gear(cx, cy, outer, inner, hole, teeth):
    step = 2 * math.pi / teeth

    def inside(x, y):
        dx, dy = x - cx, y - cy
        d2 = dx * dx + dy * dy
        if d2 <= hole * hole or d2 > outer * outer:
            return False
        if d2 <= inner * inner:
            return True
        phase = (math.atan2(dy, dx) + step / 4) % step
        return phase < step / 2
    return inside


def rotated_rect(cx, cy, length, width, degrees):
    a = math.radians(degrees)
    ux, uy = math.cos(a), math.sin(a)
    vx, vy = -uy, ux
    hl, hw = length / 2, width / 2
    return [(cx + sx * hl * ux + sy * hw * vx, cy + sx * hl * uy + sy * hw * vy)
            for sx, sy in ((-1, -1), (1, -1), (1, 1), (-1, 1))]


# The pictures: lists of (shape, colour), painted first to last.

def stopwatch():
    return [
        (round_rect(6.2, 0.4, 9.8, 2.2, 0.6), DARK_BLUE),
        (rect(7.2, 1.5, 8.8, 3.8), DARK_BLUE),
        (stroke([(12.3, 3.6), (13.6, 2.3)], 1.8), DARK_BLUE),
        (circle(8, 9.6, 6.3), BLUE),
        (circle(8, 9.6, 4.8), FACE),
        (rect(7.6, 5.1, 8.4, 6.2), GREY),
        (rect(7.6, 13.0, 8.4, 14.1), GREY),
        (rect(3.5, 9.2, 4.6, 10.0), GREY),
        (rect(11.4, 9.2, 12.5, 10.0), GREY),
        (stroke([(8, 9.6), (8, 6.4)], 1.1), NAVY),
        (stroke([(8, 9.6), (10.6, 11.2)], 1.1), RED),
        (circle(8, 9.6, 0.9), NAVY),
    ]


def stop_square():
    return [
        (round_rect(2.5, 2.5, 13.5, 13.5, 1.6), DARK_RED),
        (round_rect(3.5, 3.5, 12.5, 12.5, 1.0), RED),
    ]


def start_triangle():
    return [
        (polygon([(3.5, 1.8), (14.2, 8), (3.5, 14.2)]), DARK_GREEN),
        (polygon([(4.6, 3.7), (12.2, 8), (4.6, 12.3)]), GREEN),
    ]


def information():
    return [
        (circle(8, 8, 7.2), DARK_BLUE),
        (circle(8, 8, 6.2), BLUE),
        (circle(8, 4.6, 1.2), WHITE),
        (round_rect(6.9, 6.8, 9.1, 12.6, 0.5), WHITE),
    ]


def exit_door():
    return [
        (rect(2, 1.5, 9.5, 14.5), GREY),
        (rect(3.2, 2.7, 8.3, 14.5), LIGHT_GREY),
        (polygon([(3.2, 2.7), (7.2, 4.2), (7.2, 15.2), (3.2, 14.5)]), BROWN),
        (circle(6.3, 9, 0.6), LIGHT_GREY),
        (stroke([(8.2, 8.5), (12.0, 8.5)], 2.2), RED),
        (polygon([(11.2, 4.6), (15.3, 8.5), (11.2, 12.4)]), RED),
    ]


def minimize_to_tray():
    return [
        (round_rect(1.5, 12.3, 14.5, 14.8, 0.6), GREY),
        (rect(6.4, 1.2, 9.6, 6.5), BLUE),
        (polygon([(3.0, 6.0), (13.0, 6.0), (8.0, 11.2)]), BLUE),
    ]


def bar_chart():
    return [
        (rect(2.5, 8.5, 5.5, 13.5), BLUE),
        (rect(6.5, 3.5, 9.5, 13.5), GREEN),
        (rect(10.5, 6.5, 13.5, 13.5), ORANGE),
        (stroke([(1.2, 1.5), (1.2, 14.6), (15, 14.6)], 1.3), NAVY),
    ]


def check_mark():
    return [(stroke([(2.6, 8.6), (6.3, 12.3), (13.4, 3.8)], 2.8), GREEN)]


def cross():
    return [
        (stroke([(3.4, 3.4), (12.6, 12.6)], 2.8), RED),
        (stroke([(12.6, 3.4), (3.4, 12.6)], 2.8), RED),
    ]


def document_page():
    page = [(2.5, 0.8), (10.0, 0.8), (13.5, 4.3), (13.5, 15.2), (2.5, 15.2)]
    inner = [(3.5, 1.8), (9.6, 1.8), (12.5, 4.7), (12.5, 14.2), (3.5, 14.2)]
    lines = [(rect(5, y, 11, y + 0.9), PAPER_LINE) for y in (6.5, 8.7, 10.9)]
    return [
        (polygon(page), GREY),
        (polygon(inner), WHITE),
        (polygon([(9.4, 1.2), (9.4, 5.0), (13.2, 5.0)]), LIGHT_GREY),
        (stroke([(9.4, 1.2), (9.4, 5.0), (13.2, 5.0)], 0.8), GREY),
        (rect(5, 4.3, 8, 5.2), PAPER_LINE),
    ] + lines


def application_window():
    return [
        (round_rect(0.8, 2.0, 15.2, 14.2, 1.0), DARK_BLUE),
        (rect(1.8, 5.2, 14.2, 13.2), WHITE),
        (rect(11.6, 3.0, 13.6, 4.3), WHITE),
        (rect(2.8, 6.5, 7.0, 8.0), LIGHT_GREY),
        (rect(2.8, 9.0, 12.0, 9.8), LIGHT_GREY),
        (rect(2.8, 10.8, 10.0, 11.6), LIGHT_GREY),
    ]


def options_gear():
    return [(gear(8, 8, 7.3, 5.2, 2.3, 8), GREY)]


def magnifier():
    return [
        (stroke([(10.0, 10.0), (14.2, 14.2)], 2.8), BROWN),
        (circle(6.5, 6.5, 5.3), NAVY),
        (circle(6.5, 6.5, 4.0), rgb('#BFDDF7')),
        (stroke([(4.3, 5.6), (5.6, 4.3)], 1.0), WHITE),
    ]


def eraser():
    body = rotated_rect(8.6, 7.0, 13.0, 6.0, -45)
    tip = rotated_rect(5.0, 10.6, 4.0, 6.0, -45)
    return [
        (stroke([(1.5, 14.8), (14.5, 14.8)], 1.0), GREY),
        (polygon(body), BLUE),
        (polygon(tip), PINK),
        (stroke([body[0], body[1], body[2], body[3], body[0]], 0.7), NAVY),
    ]


# Menu bitmaps, on a 12 x 12 grid.

def menu_about():
    return [
        (circle(6, 6, 5.7), BLUE),
        (rect(5, 2.2, 7, 4.0), WHITE),
        (rect(5, 5, 7, 9.8), WHITE),
    ]


def menu_exit():
    return [
        (rect(1, 1, 6, 11), GREY),
        (rect(2, 2, 5, 11), BROWN),
        (rect(5, 5, 8.5, 7), RED),
        (polygon([(8, 2.5), (11.6, 6), (8, 9.5)]), RED),
    ]


def menu_start():
    return [(polygon([(3, 1.5), (10.6, 6), (3, 10.5)]), GREEN)]


def menu_stats():
    return [
        (rect(3, 7, 5, 10), BLUE),
        (rect(6, 3, 8, 10), GREEN),
        (rect(9, 5, 11, 10), ORANGE),
        (rect(1, 1, 2, 11), NAVY),
        (rect(1, 10, 12, 11), NAVY),
    ]


def menu_stop():
    return [
        (rect(2, 2, 10, 10), DARK_RED),
        (rect(3, 3, 9, 9), RED),
    ]


def menu_show():
    return [
        (rect(1, 2, 11, 10), DARK_BLUE),
        (rect(2, 4, 10, 9), WHITE),
        (rect(3, 5, 8, 6), LIGHT_GREY),
        (rect(3, 7, 6, 8), LIGHT_GREY),
    ]


def menu_clear():
    body = rotated_rect(6.6, 5.0, 9.6, 4.6, -45)
    tip = rotated_rect(3.9, 7.7, 3.0, 4.6, -45)
    return [
        (rect(1, 10.5, 11, 11.5), GREY),
        (polygon(body), BLUE),
        (polygon(tip), PINK),
    ]


def menu_options():
    return [(gear(6, 6, 5.7, 4.1, 1.7, 8), GREY)]


def greyed(pixel):
    r, g, b, a = pixel
    level = int(round(0.3 * r + 0.59 * g + 0.11 * b))
    level = level + (255 - level) * 2 // 5
    return (level, level, level, a)


# Rendering and file formats

def render(shapes, size, grid=GRID):
    """Returns size*size straight-alpha RGBA tuples, top row first."""
    scale = grid / size
    n = SUBSAMPLES
    offsets = [(i + 0.5) / n for i in range(n)]
    pixels = []
    for py in range(size):
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for oy in offsets:
                y = (py + oy) * scale
                for ox in offsets:
                    x = (px + ox) * scale
                    for shape, colour in reversed(shapes):
                        if shape(x, y):
                            acc[0] += colour[0]
                            acc[1] += colour[1]
                            acc[2] += colour[2]
                            acc[3] += 1.0
                            break
            covered = acc[3]
            if covered == 0:
                pixels.append((0, 0, 0, 0))
            else:
                pixels.append(tuple(int(round(c / covered)) for c in acc[:3]) +
                              (int(round(255 * covered / (n * n))),))
    return pixels


def dib_rows(pixels, size):
    return [pixels[row * size:(row + 1) * size] for row in range(size - 1, -1, -1)]


def icon_image(pixels, size):
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = b''.join(bytes((b, g, r, a)) for row in dib_rows(pixels, size)
                      for (r, g, b, a) in row)
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in dib_rows(pixels, size):
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a < 128:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + colour + bytes(mask)


def ico_file(images):
    directory = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries, data = b'', b''
    for size, image in images:
        entries += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 32,
                               len(image), offset + len(data))
        data += image
    return directory + entries + data


def bmp_file(pixels, size, background):
    stride = (size * 3 + 3) // 4 * 4
    body = bytearray()
    for row in dib_rows(pixels, size):
        line = bytearray()
        for (r, g, b, a) in row:
            blend = [(c * a + bg * (255 - a) + 127) // 255 for c, bg in zip((r, g, b), background)]
            line += bytes((blend[2], blend[1], blend[0]))
        body += line + bytes(stride - len(line))
    info = struct.pack('<IiiHHIIiiII', 40, size, size, 1, 24, 0, len(body), 2835, 2835, 0, 0)
    header = struct.pack('<2sIHHI', b'BM', 14 + len(info) + len(body), 0, 0, 14 + len(info))
    return header + info + bytes(body)


ICONS = [
    # (file name, drawing, sizes, pixel filter)
    ('main.ico', stopwatch, (16, 24, 32, 48, 64), None),
    ('disabled.ico', stopwatch, (16, 24, 32, 48, 64), greyed),
    ('stop.ico', stop_square, (16, 24, 32), None),
    ('start.ico', start_triangle, (16, 24, 32), None),
    ('about.ico', information, (16, 24, 32), None),
    ('exit.ico', exit_door, (16, 24, 32), None),
    ('min.ico', minimize_to_tray, (16, 24, 32), None),
    ('stats.ico', bar_chart, (16, 24, 32), None),
    ('ok.ico', check_mark, (16, 24, 32), None),
    ('cancel.ico', cross, (16, 24, 32), None),
    ('document.ico', document_page, (16, 24, 32), None),
    ('application.ico', application_window, (16, 24, 32), None),
    ('options.ico', options_gear, (16, 24, 32), None),
    ('details.ico', magnifier, (16, 24, 32), None),
    ('clear.ico', eraser, (16, 24, 32), None),
]

MENU_BITMAPS = [
    ('menu_about.bmp', menu_about),
    ('menu_exit.bmp', menu_exit),
    ('menu_start.bmp', menu_start),
    ('menu_stats.bmp', menu_stats),
    ('menu_stop.bmp', menu_stop),
    ('menu_show.bmp', menu_show),
    ('menu_clear.bmp', menu_clear),
    ('menu_options.bmp', menu_options),
]


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, '..', 'icons')
    os.makedirs(out, exist_ok=True)
    for name, drawing, sizes, pixel_filter in ICONS:
        images = []
        for size in sizes:
            pixels = render(drawing(), size)
            if pixel_filter:
                pixels = [pixel_filter(p) for p in pixels]
            images.append((size, icon_image(pixels, size)))
        with open(os.path.join(out, name), 'wb') as f:
            f.write(ico_file(images))
    for name, drawing in MENU_BITMAPS:
        with open(os.path.join(out, name), 'wb') as f:
            f.write(bmp_file(render(drawing(), 12, 12.0), 12, MENU_BACKGROUND))


if __name__ == '__main__':
    main()
