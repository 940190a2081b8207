#!/usr/bin/env python3
"""Draws the icon artwork under assets/icons/ (PNG) and its manifest. Run by hand when the artwork changes;
the build converts the PNG files (tools/imagegen.cpp). Colours are those of the 16-entry icon palette."""
import math
import os
import struct
import sys
import zlib

# Icon palette (colour-table entries 80-95) as 8-bit RGB.
PAL565 = [0x0000, 0x424A, 0x8C94, 0xB5B4, 0xFFFF, 0xF800, 0xFC80, 0xFEC0,
          0xFFEA, 0x0360, 0x07E0, 0x000A, 0x2254, 0x037F, 0x6C9F, 0x8EDF]


def rgb(c):
    r, g, b = c >> 11, (c >> 5) & 63, c & 31
    return ((r << 3) | (r >> 2), (g << 2) | (g >> 4), (b << 3) | (b >> 2))


BLACK, DARK, GREY, LIGHT, WHITE, RED, ORANGE, AMBER, YELLOW, DGREEN, GREEN, NAVY, BLUE, MID, SKY, PALE = \
    [rgb(c) for c in PAL565]


class Canvas:
    def __init__(self, w, h, bg=None):
        self.w, self.h = w, h
        self.px = [[(bg + (255,)) if bg else (0, 0, 0, 0) for _ in range(w)] for _ in range(h)]

    def set(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c + (255,)

    def fill(self, inside, c):
        for y in range(self.h):
            for x in range(self.w):
                if inside(x + 0.5, y + 0.5):
                    self.set(x, y, c)

    def rect(self, x0, y0, x1, y1, c):
        self.fill(lambda x, y: x0 <= x <= x1 and y0 <= y <= y1, c)

    def circle(self, cx, cy, r, c):
        self.fill(lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r, c)

    def ring(self, cx, cy, r, t, c):
        self.fill(lambda x, y: (r - t) ** 2 <= (x - cx) ** 2 + (y - cy) ** 2 <= r * r, c)

    def poly(self, pts, c):
        def inside(x, y):
            n, odd = len(pts), False
            for i in range(n):
                (x1, y1), (x2, y2) = pts[i], pts[(i + 1) % n]
                if (y1 > y) != (y2 > y) and x < x1 + (y - y1) * (x2 - x1) / (y2 - y1):
                    odd = not odd
            return odd
        self.fill(inside, c)

    def line(self, x1, y1, x2, y2, t, c):
        def near(x, y):
            dx, dy = x2 - x1, y2 - y1
            k = max(0, min(1, ((x - x1) * dx + (y - y1) * dy) / (dx * dx + dy * dy or 1)))
            return math.hypot(x - x1 - k * dx, y - y1 - k * dy) <= t / 2
        self.fill(near, c)

    def save(self, path):
        raw = b''.join(b'\0' + bytes(v for p in row for v in p) for row in self.px)
        chunk = lambda t, d: struct.pack('>I', len(d)) + t + d + struct.pack('>I', zlib.crc32(t + d))
        with open(path, 'wb') as f:
            f.write(b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', self.w, self.h, 8, 6, 0, 0, 0))
                    + chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))


def tri_right(c, x0, y0, x1, y1, col):
    c.poly([(x0, y0), (x1, (y0 + y1) / 2), (x0, y1)], col)


def tri_left(c, x0, y0, x1, y1, col):
    c.poly([(x1, y0), (x0, (y0 + y1) / 2), (x1, y1)], col)


def button(bg, draw):
    """24 x 24 playback button on an opaque rounded plate."""
    c = Canvas(24, 24, BLACK)
    c.fill(lambda x, y: 1 <= x <= 23 and 1 <= y <= 23, bg)
    draw(c)
    return c


def transport(kind, col):
    def d(c):
        if kind == 'play':
            tri_right(c, 8, 5, 18, 19, col)
        elif kind == 'playrev':
            tri_left(c, 6, 5, 16, 19, col)
        elif kind == 'playslow':
            tri_right(c, 10, 6, 18, 18, col); c.rect(6, 6, 8, 18, col)
        elif kind == 'playrewslow':
            tri_left(c, 6, 6, 14, 18, col); c.rect(16, 6, 18, 18, col)
        elif kind == 'pause':
            c.rect(7, 6, 10, 18, col); c.rect(14, 6, 17, 18, col)
        elif kind == 'stop':
            c.rect(7, 7, 17, 17, col)
        elif kind == 'rec':
            c.circle(12, 12, 6, col)
        elif kind in ('ffw1', 'ffw2'):
            n = 2 if kind == 'ffw1' else 3
            w = 16 / n
            for i in range(n):
                tri_right(c, 4 + i * w, 6, 4 + (i + 1) * w + 2, 18, col)
        elif kind in ('rew1', 'rew2'):
            n = 2 if kind == 'rew1' else 3
            w = 16 / n
            for i in range(n):
                tri_left(c, 18 - (i + 1) * w - 2, 6, 20 - i * w, 18, col)
        elif kind == 'begin':
            c.rect(5, 6, 7, 18, col); tri_left(c, 8, 6, 13, 18, col); tri_left(c, 13, 6, 19, 18, col)
        elif kind == 'end':
            c.rect(17, 6, 19, 18, col); tri_right(c, 5, 6, 11, 18, col); tri_right(c, 11, 6, 16, 18, col)
        elif kind == 'ping':
            for r in (4, 8, 12):
                c.ring(4, 20, r, 2, col)
        elif kind == 'speed':
            c.ring(12, 15, 9, 2, col); c.line(12, 15, 17, 8, 2, col); c.rect(6, 17, 18, 19, BLACK)
    return d


def tab(draw):
    c = Canvas(32, 32)
    draw(c)
    return c


def main(out):
    icons = {}  # name -> (canvas, kind)
    # Playback bar of the capture review (opaque plates; run-length without transparency).
    for k in ['begin', 'end', 'ffw1', 'ffw2', 'pause', 'play', 'playrev', 'playrewslow', 'playslow', 'rew1', 'rew2']:
        icons['zephrin_%s_icon' % k] = (button(BLUE, transport(k, WHITE)), 3)
    icons['zephrin_ping_rate_icon'] = (button(BLUE, transport('ping', WHITE)), 3)
    icons['zephrin_playspeed_icon'] = (button(BLUE, transport('speed', WHITE)), 3)
    icons['zephrin_start_rec_icon'] = (button(BLUE, transport('rec', RED)), 3)
    icons['zephrin_stop_rec_icon'] = (button(BLUE, transport('stop', RED)), 3)
    icons['zephrin_stop_playback_icon'] = (button(BLUE, transport('stop', WHITE)), 3)
    # Active, inactive and unavailable transport states (transparent background).
    for k in ['ffw1', 'ffw2', 'pause', 'play', 'playrev', 'playrewslow', 'playslow', 'rew1', 'rew2', 'stop']:
        c = Canvas(24, 24); transport(k, GREEN)(c); icons['%s_active_icon' % k] = (c, 4)
    c = Canvas(24, 24); transport('rec', RED)(c); icons['rec_active_icon'] = (c, 4)
    for k, col in [('playrev_notavail', GREY), ('playrewslow_notavail', GREY)]:
        c = Canvas(24, 24); transport(k.split('_')[0], col)(c); icons[k + '_icon'] = (c, 4)
    c = Canvas(24, 24); transport('rew1', GREY)(c); icons['rew_notavail_icon'] = (c, 4)
    c = Canvas(24, 24); transport('rew1', BLACK)(c); icons['rew_inactive_icon'] = (c, 4)
    for k in ['playrev', 'playrewslow', 'pause', 'playslow', 'play', 'rec', 'stop']:
        c = Canvas(24, 24); transport(k, BLACK)(c); icons['%s_inactive_icon' % k] = (c, 4)
    c = Canvas(24, 24); transport('ffw1', BLACK)(c); icons['ffw_inactive_icon'] = (c, 4)
    for k in ['playslow', 'play']:
        c = Canvas(24, 24); transport(k, GREY)(c); icons['%s_notavail_icon' % k] = (c, 4)
    c = Canvas(24, 24); transport('ffw1', GREY)(c); icons['ffw_notavail_icon'] = (c, 4)
    # Playback bar slider.
    c = Canvas(11, 17); c.poly([(0.5, 0.5), (10.5, 0.5), (10.5, 11), (5.5, 16.5), (0.5, 11)], WHITE)
    c.poly([(2, 2), (9, 2), (9, 10.5), (5.5, 14.5), (2, 10.5)], BLUE); icons['playback_slider_icon'] = (c, 4)
    c = Canvas(32, 32); c.circle(16, 16, 15, GREEN); tri_right(c, 12, 8, 25, 24, WHITE)
    icons['start_playback_icon'] = (c, 4)
    c = Canvas(20, 20); c.ring(10, 10, 9, 2, RED); c.circle(10, 10, 5, RED); icons['remind_rec_icon'] = (c, 4)

    def trash(c, x, col):
        c.rect(x + 1, 6, x + 13, 8, col); c.rect(x + 5, 4, x + 9, 6, col)
        c.poly([(x + 2, 9), (x + 12, 9), (x + 11, 22), (x + 3, 22)], col)
        for i in (5, 7, 9):
            c.rect(x + i, 11, x + i + 0.6, 20, BLACK)
    c = Canvas(16, 24); trash(c, 1, LIGHT); icons['delete_image_icon'] = (c, 4)
    c = Canvas(30, 24); trash(c, 0, LIGHT); trash(c, 15, LIGHT); icons['delete_image_all_icon'] = (c, 4)
    # Thumbnails: a film strip (the one full-colour icon) and a screen marked wrong size.
    c = Canvas(64, 64)
    c.rect(4, 12, 60, 52, BLACK)
    for i in range(7):
        c.rect(7 + i * 8, 14, 10 + i * 8, 17, WHITE); c.rect(7 + i * 8, 47, 10 + i * 8, 50, WHITE)
    c.rect(8, 20, 56, 44, MID); c.poly([(8, 44), (22, 30), (32, 38), (44, 26), (56, 44)], DGREEN)
    c.circle(48, 25, 3, YELLOW)
    icons['recording_thumbnail_icon'] = (c, 5)
    c = Canvas(48, 36); c.rect(2, 2, 46, 30, LIGHT); c.rect(5, 5, 43, 27, BLACK); c.rect(20, 30, 28, 34, LIGHT)
    c.line(14, 8, 34, 24, 3, RED); c.line(34, 8, 14, 24, 3, RED)
    icons['improper_screen_icon'] = (c, 4)
    # Cursor marks.
    c = Canvas(15, 15); c.rect(7, 0, 7.9, 14, WHITE); c.rect(0, 7, 14, 7.9, WHITE); c.ring(7.5, 7.5, 4, 1.2, RED)
    icons['Cursor_icon'] = (c, 4)
    c = Canvas(17, 17); c.ring(8.5, 8.5, 8, 1.3, YELLOW); c.rect(8, 2, 8.9, 15, YELLOW); c.rect(2, 8, 15, 8.9, YELLOW)
    icons['RadarCursor_icon'] = (c, 4)
    c = Canvas(17, 17); c.rect(8, 0, 8.9, 16, WHITE); c.rect(0, 8, 16, 8.9, WHITE)
    c.poly([(9, 1), (16, 3.5), (9, 6)], RED); icons['Waypointcursor_icon'] = (c, 4)
    # Trail start and end flags.
    c = Canvas(16, 20); c.rect(2, 1, 3.5, 19, BLACK); c.poly([(3.5, 2), (15, 6), (3.5, 10)], GREEN)
    icons['wendrixStart_icon'] = (c, 4)
    c = Canvas(16, 20); c.rect(2, 1, 3.5, 19, BLACK); c.rect(3.5, 2, 15, 10, WHITE)
    for i in range(4):
        for j in range(2):
            if (i + j) % 2 == 0:
                c.rect(3.5 + i * 2.9, 2 + j * 4, 6.4 + i * 2.9, 6 + j * 4, BLACK)
    icons['wendrixEnd_icon'] = (c, 4)
    # Autopilot states.

    def wheel(c, col):
        c.ring(10, 10, 9, 2, col); c.circle(10, 10, 2.5, col)
        for a in range(0, 360, 120):
            c.line(10, 10, 10 + 8 * math.sin(math.radians(a)), 10 - 8 * math.cos(math.radians(a)), 1.8, col)
    c = Canvas(20, 20); c.circle(10, 10, 9.5, NAVY); c.poly([(10, 2), (16, 16), (10, 12), (4, 16)], WHITE)
    icons['VantrelNav_icon'] = (c, 4)
    c = Canvas(20, 20); c.circle(10, 10, 9.5, NAVY); c.rect(6, 5, 8.5, 15, AMBER); c.rect(11.5, 5, 14, 15, AMBER)
    icons['VantrelNavPaused_icon'] = (c, 4)
    c = Canvas(20, 20); wheel(c, GREEN); icons['Vantrel_Autopilot_icon'] = (c, 4)
    c = Canvas(20, 20); wheel(c, GREY); icons['Vantrel_autopilot_legacy_icon'] = (c, 4)
    c = Canvas(20, 20); c.ring(10, 12, 9, 2, SKY); c.line(10, 12, 15, 5, 2, ORANGE); c.rect(3, 14, 17, 19, (0, 0, 0))
    c.px = [[p if y < 14 or p[3] == 0 or p[:3] != (0, 0, 0) else (0, 0, 0, 0) for p in row] for y, row in enumerate(c.px)]
    icons['Vantrel_Cruise_icon'] = (c, 4)
    # Menu tabs.
    c = tab(lambda c: None)
    for r in (6, 11, 16):
        c.ring(4, 4, r, 2, SKY)
    c.poly([(14, 20), (24, 16), (28, 20), (24, 24)], ORANGE); c.poly([(28, 20), (31, 17), (31, 23)], ORANGE)
    icons['SonarTab_icon'] = (c, 4)
    c = tab(lambda c: None); c.rect(2, 4, 30, 26, LIGHT); c.rect(4, 6, 15, 24, MID); c.rect(17, 6, 28, 24, DGREEN)
    c.rect(12, 26, 20, 29, LIGHT); icons['ViewTab_icon'] = (c, 4)
    c = tab(lambda c: None); c.poly([(16, 3), (23, 9), (24, 22), (28, 25), (4, 25), (8, 22), (9, 9)], AMBER)
    c.circle(16, 27, 3, AMBER); icons['Alarm_icon'] = (c, 4)
    c = tab(lambda c: None); c.circle(16, 16, 11, LIGHT)
    for a in range(0, 360, 45):
        s, k = math.sin(math.radians(a)), math.cos(math.radians(a))
        c.line(16 + 9 * s, 16 + 9 * k, 16 + 14 * s, 16 + 14 * k, 5, LIGHT)
    c.circle(16, 16, 4.5, (0, 0, 0)); c.px = [[(0, 0, 0, 0) if p == (0, 0, 0, 255) else p for p in row] for row in c.px]
    icons['Setup_icon'] = (c, 4)
    c = tab(lambda c: None); c.rect(9, 12, 23, 24, LIGHT); c.rect(11, 4, 13, 12, LIGHT); c.rect(19, 4, 21, 12, LIGHT)
    c.rect(15, 24, 17, 30, BLACK); icons['acc_icon'] = (c, 4)
    c = tab(lambda c: None); c.circle(16, 12, 9, YELLOW); c.rect(12, 20, 20, 27, GREY); c.rect(13, 27, 19, 29, GREY)
    icons['Light_icon'] = (c, 4)
    c = tab(lambda c: None)
    for i, col in enumerate([RED, GREEN, MID, YELLOW]):
        c.rect(3 + (i % 2) * 14, 3 + (i // 2) * 14, 15 + (i % 2) * 14, 15 + (i // 2) * 14, col)
    icons['BackgroundColor_icon'] = (c, 4)

    def propeller(c, col):
        c.circle(16, 16, 3.5, col)
        for a in (0, 120, 240):
            r = math.radians(a)
            tip = (16 + 13 * math.sin(r), 16 - 13 * math.cos(r))
            side = (16 + 8 * math.sin(r + 0.6), 16 - 8 * math.cos(r + 0.6))
            c.poly([(16, 16), side, tip, (16 + 6 * math.sin(r - 0.3), 16 - 6 * math.cos(r - 0.3))], col)
    c = tab(lambda c: None); propeller(c, LIGHT); icons['prop_menu'] = (c, 4)
    # The three frames of the turning propeller beside the autopilot's speed readout.
    for frame in range(3):
        c = Canvas(20, 20)
        c.circle(10, 10, 2.5, DARK)
        for a in (0, 120, 240):
            r = math.radians(a + 40 * frame)
            tip = (10 + 9 * math.sin(r), 10 - 9 * math.cos(r))
            side = (10 + 6 * math.sin(r + 0.6), 10 - 6 * math.cos(r + 0.6))
            c.poly([(10, 10), side, tip, (10 + 4 * math.sin(r - 0.3), 10 - 4 * math.cos(r - 0.3))], DARK)
        icons['Prop%d_icon' % (frame + 1)] = (c, 4)
    c = tab(lambda c: None); propeller(c, SKY); c.line(3, 29, 29, 29, 2, SKY); icons['PropSpeed_icon'] = (c, 4)
    c = tab(lambda c: None); c.rect(4, 3, 28, 6, LIGHT); c.poly([(16, 8), (25, 18), (19, 18), (19, 29), (13, 29), (13, 18), (7, 18)], GREEN)
    icons['Oskarne_Stow_menu'] = (c, 4)
    c = tab(lambda c: None); c.rect(4, 3, 28, 6, LIGHT); c.poly([(16, 29), (25, 19), (19, 19), (19, 8), (13, 8), (13, 19), (7, 19)], ORANGE)
    icons['Oskarne_Deploy_menu'] = (c, 4)
    c = tab(lambda c: None); c.rect(4, 3, 28, 6, LIGHT); c.rect(9, 10, 14, 29, AMBER); c.rect(18, 10, 23, 29, AMBER)
    icons['Oskarne_Pause_menu'] = (c, 4)
    # Split-screen side markers and the confirmation sign (unpadded with a transparent index).
    c = Canvas(12, 16); tri_left(c, 1, 1, 11, 15, WHITE); icons['active_side_lt_icon'] = (c, 4)
    c = Canvas(12, 16); tri_right(c, 1, 1, 11, 15, WHITE); icons['active_side_rt_icon'] = (c, 4)
    c = Canvas(22, 20); c.poly([(11, 0.5), (21.5, 19.5), (0.5, 19.5)], AMBER); c.rect(10, 6, 12, 13, BLACK)
    c.rect(10, 15, 12, 17, BLACK); icons['confirm_icon'] = (c, 2)
    # Quick-menu items of split views: the active side, and the divider with arrows to either side.
    c = Canvas(28, 20); c.rect(1, 2, 26, 17, LIGHT); c.rect(3, 4, 12, 15, DARK); c.rect(15, 4, 24, 15, BLUE)
    icons['select_active_side'] = (c, 4)
    c = Canvas(28, 20); c.rect(13, 1, 14, 18, WHITE); tri_left(c, 2, 6, 10, 14, LIGHT)
    tri_right(c, 17, 6, 25, 14, LIGHT); icons['adjust_screen_size'] = (c, 4)

    # Menu check rows: the empty radio button and the selected one drawn over it; the angle item's heading arrows;
    # the recorded-path mark of action-list rows.
    c = Canvas(24, 24); c.circle(12, 12, 11, DARK); c.circle(12, 12, 9, WHITE); icons['unselected_radio_button'] = (c, 4)
    c = Canvas(24, 24); c.circle(12, 12, 6, GREEN); icons['selected_radio_button'] = (c, 4)
    c = Canvas(20, 20); c.ring(10, 10, 8, 2, SKY); c.poly([(1, 9), (6, 3), (9, 9)], SKY); c.rect(10, 1, 11, 6, AMBER)
    icons['heading_left_arrow_icon'] = (c, 4)
    c = Canvas(20, 20); c.ring(10, 10, 8, 2, SKY); c.poly([(19, 9), (14, 3), (11, 9)], SKY); c.rect(9, 1, 10, 6, AMBER)
    icons['heading_right_arrow_icon'] = (c, 4)
    c = Canvas(20, 20); c.line(3, 17, 9, 9, 2, GREEN); c.line(9, 9, 13, 12, 2, GREEN); c.line(13, 12, 17, 3, 2, GREEN)
    c.circle(3, 17, 2.5, WHITE); c.circle(17, 3, 2.5, RED); icons['Vantrel_Wendrix_icon'] = (c, 4)

    # Battery of the remote, drawn over the level bar of the data bar (outline only).
    c = Canvas(14, 24); c.rect(4, 0, 9, 2, DARK); c.rect(0, 2, 13, 3, DARK); c.rect(0, 22, 13, 23, DARK)
    c.rect(0, 2, 1, 23, DARK); c.rect(12, 2, 13, 23, DARK); icons['Remote_Battery_Symbol'] = (c, 4)

    # Fish symbols of the sonar views, three sizes per beam: the low-frequency beam amber, the 200 kHz beam
    # yellow, the side beams facing their side; the vertical set swims upwards for the downward-scrolling views.
    def fish(w, h, body, facing_left=True, vertical=False):
        c = Canvas(h, w) if vertical else Canvas(w, h)
        bw = w * 0.72

        def at(x, y):
            # x along the fish from the head, y across it.
            return (y, x) if vertical else ((x, y) if facing_left else (w - x, y))
        c.fill(lambda px, py: (lambda q: ((q[0] - bw / 2) / (bw / 2)) ** 2 + ((q[1] - h / 2) / (h / 2 - 0.5)) ** 2 <= 1)(
            (py, px) if vertical else ((px, py) if facing_left else (w - px, py))), body)
        c.poly([at(bw - 1, h / 2), at(w, 0.5), at(w, h - 0.5)], body)
        ex, ey = at(bw * 0.25, h * 0.4)
        c.rect(ex - 0.5, ey - 0.5, ex + 0.4, ey + 0.4, BLACK)
        return c
    sizes = [(11, 7), (15, 9), (19, 11)]
    for i, (small, med, large) in enumerate([('SmfishClr', 'MedfishClr', 'LrgfishClr'), ('Smfish', 'Medfish', 'Lrgfish')]):
        for name, (w, h) in zip((small, med, large), sizes):
            icons[name + '_icon'] = (fish(w, h, AMBER if i == 0 else YELLOW), 4)
    for side, left in (('l', True), ('r', False)):
        for sz, (w, h) in zip('sml', sizes):
            icons['fish_%sc%s_icon' % (sz, side)] = (fish(w, h, GREEN if left else SKY, facing_left=left), 4)
    for sz, (w, h) in zip('SML', sizes):
        icons['VertFish%s_icon' % sz] = (fish(w, h, YELLOW, vertical=True), 4)

    os.makedirs(out, exist_ok=True)
    with open(os.path.join(out, 'icons.txt'), 'w') as f:
        f.write('# name kind (see tools/imagegen.cpp); the PNG files are drawn by tools/draw_icons.py\n')
        for name in sorted(icons):
            canvas, kind = icons[name]
            canvas.save(os.path.join(out, name + '.png'))
            f.write('%s %s\n' % (name, kind))


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), '..', 'assets', 'icons'))
