#!/usr/bin/env python3
"""Draws the body of each shipped mouse and its window header, and works out the button marks.

Writes, beside this script, <cid><mid>/mouse_nr.svg (the mouse seen from above),
mouse_dn.svg (the same with every button lit; the buttons page cuts each button out of it at
its mark), mouse_led.svg (the same outline, smaller, its lighting zones dark),
mouse_zone_main.svg and, with a lit logo, mouse_zone_logo.svg (each zone's light alone, in
white, for the lighting page to tint) and key_nr.svg
(the general window background with the model's name, outline and accent), and device/ for
mice without a folder of their own. Prints the Mark lines for cfg.ini: the bounding box of each
button as drawn, one pixel around it. Needs rsvg-convert and ImageMagick's convert.
Usage: data/skins-src/mice.py   (then copy the printed marks into cfg.ini)
"""
import itertools
import os
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))

CYAN = "#00d4ff"
RED = "#ff3b5c"

DEFS = """<defs>
<linearGradient id="shell" x1="0.2" y1="0" x2="0.8" y2="1"><stop offset="0" stop-color="#323b4e"/><stop offset="0.55" stop-color="#1f2532"/><stop offset="1" stop-color="#12161e"/></linearGradient>
<linearGradient id="key" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="#363f53"/><stop offset="1" stop-color="#222937"/></linearGradient>
<linearGradient id="side" x1="0" y1="0" x2="1" y2="0"><stop offset="0" stop-color="#0f1319"/><stop offset="1" stop-color="#252c3a"/></linearGradient>
<linearGradient id="rim" x1="0" y1="0" x2="1" y2="1"><stop offset="0" stop-color="#6a7790"/><stop offset="0.5" stop-color="#3a4456"/><stop offset="1" stop-color="#1a1f29"/></linearGradient>
<linearGradient id="rgb" x1="0" y1="0" x2="1" y2="0"><stop offset="0" stop-color="#ff3b5c"/><stop offset="0.5" stop-color="#8a4dff"/><stop offset="1" stop-color="#00d4ff"/></linearGradient>
<radialGradient id="sheen" cx="0.42" cy="0.42" r="0.6"><stop offset="0" stop-color="#ffffff" stop-opacity="0.09"/><stop offset="0.6" stop-color="#ffffff" stop-opacity="0.03"/><stop offset="1" stop-color="#ffffff" stop-opacity="0"/></radialGradient>
<radialGradient id="lit" cx="0.5" cy="0.4" r="0.75"><stop offset="0" stop-color="#00d4ff" stop-opacity="0.55"/><stop offset="1" stop-color="#00d4ff" stop-opacity="0.22"/></radialGradient>
<linearGradient id="wheel" x1="0" y1="0" x2="1" y2="0"><stop offset="0" stop-color="#0b0e13"/><stop offset="0.5" stop-color="#4a5468"/><stop offset="1" stop-color="#0b0e13"/></linearGradient>
<pattern id="ribs" width="16" height="5" patternUnits="userSpaceOnUse"><rect width="16" height="2" fill="#0b0e13" opacity="0.7"/></pattern>
<filter id="soft" x="-20%" y="-20%" width="140%" height="140%"><feGaussianBlur stdDeviation="6"/></filter>
<filter id="inner" x="-10%" y="-10%" width="120%" height="120%"><feGaussianBlur stdDeviation="9"/></filter>
<filter id="wide" x="-50%" y="-50%" width="200%" height="200%"><feGaussianBlur stdDeviation="16"/></filter>
<filter id="glow" x="-50%" y="-50%" width="200%" height="200%"><feGaussianBlur stdDeviation="2.5"/></filter>
<filter id="glow6" x="-50%" y="-50%" width="200%" height="200%"><feGaussianBlur stdDeviation="5"/></filter>
{extra}
<clipPath id="body"><path d="{outline}"/></clipPath>
</defs>"""


class Mouse:
    def __init__(self, folder, name, outline, buttons, features, light, logo_lit, extra_defs=""):
        self.folder, self.name, self.outline = folder, name, outline
        self.buttons = buttons  # list of (number, path, kind)
        self.features = features  # svg drawn over the buttons, inside the body
        self.light = light  # light zone paths (strokes), list of (d, width)
        self.logo_lit = logo_lit
        self.extra_defs = extra_defs


def key_svg(d, kind):
    """A button moulded into the shell: same material, parted by a dark gap and a light edge."""
    fill = {"top": "url(#key)", "side": "url(#side)", "small": "url(#key)"}[kind]
    return (f'<path d="{d}" fill="{fill}" clip-path="url(#body)"/>'
            f'<path d="{d}" fill="none" stroke="#07090d" stroke-width="2.2" clip-path="url(#body)"/>'
            f'<path d="{d}" fill="none" stroke="#566178" stroke-width="0.8" stroke-opacity="0.7" '
            f'transform="translate(0.8,1)" clip-path="url(#body)"/>')


def lit_svg(d):
    return (f'<g clip-path="url(#body)"><path d="{d}" fill="{CYAN}" opacity="0.35" filter="url(#glow)"/>'
            f'<path d="{d}" fill="url(#lit)"/>'
            f'<path d="{d}" fill="none" stroke="{CYAN}" stroke-width="1.6"/></g>')


def logo(x, y, s, colour, opacity):
    # The house mark: a Z with a cut, engraved into the palm.
    return (f'<g transform="translate({x},{y}) scale({s})" opacity="{opacity}">'
            f'<path d="M-10 -8H10L-4 4H10" fill="none" stroke="{colour}" stroke-width="2.4" '
            f'stroke-linejoin="round" stroke-linecap="round"/>'
            f'<path d="M-10 8H4" fill="none" stroke="{RED}" stroke-width="2.4" stroke-linecap="round"/></g>')


def body(m, state):
    """state: nr, dn or led"""
    o = m.outline
    s = []
    s.append(f'<path d="{o}" fill="#000" opacity="0.55" transform="translate(4,7)" filter="url(#soft)"/>')
    s.append(f'<path d="{o}" fill="url(#shell)"/>')
    for num, d, kind in m.buttons:
        s.append(key_svg(d, kind))
    s.append(m.features)
    # light zones: dark slits; the lighting page lays each zone's light over them
    # (mouse_zone_*.svg) in the colour the user chose
    for d, w in m.light:
        s.append(f'<path d="{d}" fill="none" stroke="#07090d" stroke-width="{w + 1}" stroke-linecap="round"/>')
        s.append(f'<path d="{d}" fill="none" stroke="{CYAN}" stroke-width="{w - 1}" stroke-linecap="round" opacity="0.18"/>')
    lx, ly = m.logo_at
    s.append(logo(lx, ly, 1.2, "#4a5468", 0.9))
    # volume: a soft sheen on the crown and shadow gathering at the edges
    s.append(f'<path d="{o}" fill="url(#sheen)"/>')
    s.append(f'<ellipse cx="{m.crown[0]}" cy="{m.crown[1]}" rx="34" ry="92" fill="#fff" opacity="0.09" filter="url(#wide)" clip-path="url(#body)"/>')
    s.append(f'<path d="{o}" fill="none" stroke="#000" stroke-opacity="0.7" stroke-width="26" filter="url(#inner)" clip-path="url(#body)"/>')
    if state == "dn":
        for num, d in sorted(m.buttons_mark.items()):
            s.append(lit_svg(d))
    s.append(f'<path d="{o}" fill="none" stroke="url(#rim)" stroke-width="1.6"/>')
    return "\n".join(s)


def zone_light(m, zone):
    """The light of one zone in white on nothing: the lighting page tints it with the zone's
    colour and lays it over the mouse. zone: main (the strips, and the backlit thumb panel) or
    logo."""
    s = []
    if zone == "main":
        for d, w in m.light:
            s.append(f'<path d="{d}" fill="none" stroke="#fff" stroke-width="{w * 3}" stroke-linecap="round" opacity="0.8" filter="url(#glow6)" clip-path="url(#body)"/>')
            s.append(f'<path d="{d}" fill="none" stroke="#fff" stroke-width="{w}" stroke-linecap="round"/>')
        # the thumb panel is backlit: light comes through the gaps around its keys
        for g in getattr(m, "grid", None) or []:
            s.append(f'<path d="{g}" fill="none" stroke="#fff" stroke-width="3" opacity="0.55" filter="url(#glow)"/>')
            s.append(f'<path d="{g}" fill="none" stroke="#fff" stroke-width="1" opacity="0.9"/>')
    else:
        lx, ly = m.logo_at
        mark = (f'<g transform="translate({lx},{ly}) scale(1.2)">'
                f'<path d="M-10 -8H10L-4 4H10M-10 8H4" fill="none" stroke="#fff" stroke-width="2.4" '
                f'stroke-linejoin="round" stroke-linecap="round"/></g>')
        s.append(f'<g filter="url(#glow)">{mark}</g>')
        s.append(mark)
    w, h = 300, 320
    defs = DEFS.format(outline=m.outline, extra=m.extra_defs)
    inner = "\n".join(s)
    return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{w}" height="{h}" viewBox="0 0 {w} {h}">\n'
            f'<!-- {m.name}, {zone} light: drawn by mice.py -->\n{defs}\n'
            f'<g transform="translate(30,0) scale(0.8)">\n{inner}\n</g>\n</svg>\n')


def svg(m, state):
    w, h = 300, 400
    defs = DEFS.format(outline=m.outline, extra=m.extra_defs)
    if state == "led":
        # the same outline as the buttons picture, scaled to the lighting page's slot
        inner = f'<g transform="translate(30,0) scale(0.8)">\n{body(m, state)}\n</g>'
        h = 320
    else:
        inner = body(m, state)
    return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{w}" height="{h}" viewBox="0 0 {w} {h}">\n'
            f'<!-- {m.name}, {state}: drawn by mice.py -->\n{defs}\n{inner}\n</svg>\n')


def wheel(x, y, h):
    """Wheel channel with the wheel in it (centre x, top y, height h)."""
    return (f'<rect x="{x - 12}" y="{y}" width="24" height="{h}" rx="12" fill="#07090d"/>'
            f'<rect x="{x - 7}" y="{y + 5}" width="14" height="{h - 10}" rx="7" fill="url(#wheel)"/>'
            f'<rect x="{x - 7}" y="{y + 5}" width="14" height="{h - 10}" rx="7" fill="url(#ribs)"/>')


def rrect(x, y, w, h, r):
    return (f"M{x + r} {y}H{x + w - r}A{r} {r} 0 0 1 {x + w} {y + r}V{y + h - r}"
            f"A{r} {r} 0 0 1 {x + w - r} {y + h}H{x + r}A{r} {r} 0 0 1 {x} {y + h - r}"
            f"V{y + r}A{r} {r} 0 0 1 {x + r} {y}Z")


def mice():
    res = []
    # --- Vesper: right-handed ergonomic, thumb groove on the left, the right side lower and longer.
    out = ("M122 12C178 6 232 22 248 70C258 100 258 140 262 180C268 236 282 296 264 346"
           "C246 390 172 400 120 390C72 382 40 352 36 312C33 282 46 262 40 238"
           "C35 212 20 192 19 150C18 72 62 16 122 12Z")
    L = "M-10 -10H136V130C104 136 60 144 -10 154Z"
    R = "M164 -10H310V150C260 140 200 132 164 128Z"
    W = rrect(138, 20, 24, 58, 12)
    D = rrect(140, 88, 20, 26, 8)
    S5 = rrect(-4, 156, 50, 34, 10)
    S4 = rrect(-4, 194, 52, 34, 10)
    feat = (wheel(150, 20, 58)
            + f'<path d="M150 128V340" stroke="#07090d" stroke-width="1.2" opacity="0.35"/>')
    light = [("M60 350C92 378 208 378 240 350", 3)]
    m = Mouse("101a", "Vesper", out, [(1, L, "top"), (2, R, "top"), (6, D, "small"),
                                       (5, S5, "side"), (4, S4, "side")], feat, light, False)
    m.logo_at = (150, 300)
    m.crown = (128, 210)
    m.buttons_mark = {1: L, 2: R, 3: W, 4: S4, 5: S5, 6: D}
    res.append(m)

    # --- Talon: symmetric lightweight, honeycomb palm, two DPI keys behind the wheel.
    out = ("M150 12C206 12 238 46 242 104L247 212C252 318 226 388 150 390"
           "C74 388 48 318 53 212L58 104C62 46 94 12 150 12Z")
    L = "M74 -10H136V124C116 127 96 130 74 133Z"
    R = "M164 -10H226V133C204 130 184 127 164 124Z"
    W = rrect(138, 18, 24, 44, 12)
    D6 = rrect(140, 68, 20, 18, 7)
    D7 = rrect(140, 90, 20, 18, 7)
    S8 = rrect(40, 96, 30, 26, 9)
    S5 = rrect(34, 146, 36, 30, 10)
    S4 = rrect(34, 182, 36, 30, 10)
    hexes = ('<pattern id="hex" width="18" height="31.2" patternUnits="userSpaceOnUse">'
             '<path d="M9 2L15 5.5V12.5L9 16L3 12.5V5.5Z M0 17.6L6 21.1V28.1L0 31.6 M18 17.6L12 21.1V28.1L18 31.6" '
             'fill="#06080b" stroke="#4a5468" stroke-opacity="0.35" stroke-width="0.8"/></pattern>'
             '<clipPath id="palm"><path d="M96 170C120 158 180 158 204 170L210 262C190 276 110 276 90 262Z"/></clipPath>')
    feat = (wheel(150, 18, 44)
            + '<rect x="70" y="150" width="160" height="130" fill="url(#hex)" clip-path="url(#palm)"/>'
            + '<path d="M96 170C120 158 180 158 204 170L210 262C190 276 110 276 90 262Z" fill="none" stroke="#07090d" stroke-width="1.5"/>')
    light = [("M70 230C68 280 80 330 110 360", 3), ("M230 230C232 280 220 330 190 360", 3)]
    m = Mouse("102b", "Talon", out, [(1, L, "top"), (2, R, "top"), (6, D6, "small"), (7, D7, "small"),
                                      (8, S8, "side"), (5, S5, "side"), (4, S4, "side")], feat, light, True,
              hexes)
    m.logo_at = (150, 318)
    m.crown = (130, 200)
    m.buttons_mark = {1: L, 2: R, 3: W, 4: S4, 5: S5, 6: D6, 7: D7, 8: S8}
    res.append(m)

    # --- Hive: broad side-panel mouse, a 2 x 5 grid of thumb keys moulded into the left flank.
    out = ("M150 10C214 8 262 40 270 104C276 150 270 196 276 246C284 318 258 386 180 392"
           "C130 396 70 390 42 360C22 336 16 300 16 260L14 160C14 80 70 12 150 10Z")
    L = "M-10 -10H136V134C104 138 60 142 -10 146Z"
    R = "M164 -10H310V148C250 140 200 136 164 134Z"
    W = rrect(138, 20, 24, 56, 12)
    D = rrect(140, 88, 20, 26, 8)
    S5 = rrect(104, 154, 26, 26, 8)
    S4 = rrect(104, 184, 26, 26, 8)
    grid = [rrect(22 + c * 34, 156 + r * 34, 30, 30, 7) for r in range(5) for c in range(2)]
    panel_d = "M10 148H92C98 148 100 152 100 158C98 220 98 280 100 336C100 342 96 346 90 346H30C10 346 4 330 4 310Z"
    feat = (wheel(150, 20, 56)
            + f'<path d="{panel_d}" fill="#0b0e13" clip-path="url(#body)"/>'
            + f'<path d="{panel_d}" fill="none" stroke="#566178" stroke-opacity="0.5" stroke-width="1" clip-path="url(#body)"/>'
            + '<path d="M104 214V330" stroke="#07090d" stroke-width="1.2" opacity="0.5"/>')
    btns = [(1, L, "top"), (2, R, "top"), (6, D, "small"), (5, S5, "small"), (4, S4, "small")]
    m = Mouse("2005", "Hive", out, btns, feat, [("M120 372C150 380 200 378 236 360", 3)], False)
    m.grid = grid  # the thumb keys sit on the panel: main() draws them after it
    m.logo_at = (186, 300)
    m.crown = (180, 220)
    marks = {1: L, 2: R, 3: W, 4: S4, 5: S5, 6: D}
    for i, g in enumerate(grid):
        marks[7 + i] = g
    m.buttons_mark = marks
    res.append(m)
    return res


# Stroke letters for the model names (no font needed at build time).
F = {
 "V": [[(0,0),(0.333,1),(0.667,0)]],
 "E": [[(0.667,0),(0,0),(0,1),(0.667,1)],[(0,0.5),(0.5,0.5)]],
 "S": [[(0.667,0),(0.133,0),(0,0.133),(0,0.367),(0.133,0.5),(0.533,0.5),(0.667,0.633),(0.667,0.867),(0.533,1),(0,1)]],
 "P": [[(0,1),(0,0),(0.533,0),(0.667,0.133),(0.667,0.367),(0.533,0.5),(0,0.5)]],
 "R": [[(0,1),(0,0),(0.533,0),(0.667,0.133),(0.667,0.367),(0.533,0.5),(0,0.5)],[(0.333,0.5),(0.667,1)]],
 "T": [[(0,0),(0.667,0)],[(0.333,0),(0.333,1)]],
 "A": [[(0,1),(0.333,0),(0.667,1)],[(0.111,0.667),(0.556,0.667)]],
 "L": [[(0,0),(0,1),(0.667,1)]],
 "O": [[(0.133,0),(0.533,0),(0.667,0.133),(0.667,0.867),(0.533,1),(0.133,1),(0,0.867),(0,0.133),(0.133,0)]],
 "N": [[(0,1),(0,0),(0.667,1),(0.667,0)]],
 "H": [[(0,0),(0,1)],[(0.667,0),(0.667,1)],[(0,0.5),(0.667,0.5)]],
 "I": [[(0,0),(0,1)]],
 "D": [[(0,0),(0.467,0),(0.667,0.2),(0.667,0.8),(0.467,1),(0,1),(0,0)]],
 "0": [[(0.133,0),(0.533,0),(0.667,0.133),(0.667,0.867),(0.533,1),(0.133,1),(0,0.867),(0,0.133),(0.133,0)]],
 "1": [[(0.133,0.2),(0.4,0),(0.4,1)]],
 "2": [[(0,0.133),(0.133,0),(0.533,0),(0.667,0.133),(0.667,0.367),(0,1),(0.667,1)]],
 "3": [[(0,0),(0.667,0),(0.267,0.433),(0.533,0.433),(0.667,0.567),(0.667,0.867),(0.533,1),(0,1)]],
 "6": [[(0.6,0),(0.2,0),(0,0.2),(0,0.867),(0.133,1),(0.533,1),(0.667,0.867),(0.667,0.633),(0.533,0.5),(0,0.5)]],
 "8": [[(0.133,0),(0.533,0),(0.667,0.133),(0.667,0.367),(0.533,0.5),(0.133,0.5),(0,0.367),(0,0.133),(0.133,0)],
       [(0.133,0.5),(0.533,0.5),(0.667,0.633),(0.667,0.867),(0.533,1),(0.133,1),(0,0.867),(0,0.633),(0.133,0.5)]],
 "B": [[(0,0),(0.5,0),(0.633,0.133),(0.633,0.367),(0.5,0.5),(0,0.5)],[(0,0),(0,1),(0.533,1),(0.667,0.867),(0.667,0.633),(0.533,0.5)]],
 "U": [[(0,0),(0,0.867),(0.133,1),(0.533,1),(0.667,0.867),(0.667,0)]],
 "K": [[(0,0),(0,1)],[(0.667,0),(0,0.6)],[(0.25,0.4),(0.667,1)]],
 "Y": [[(0,0),(0.333,0.5),(0.667,0)],[(0.333,0.5),(0.333,1)]],
 "G": [[(0.667,0.133),(0.533,0),(0.133,0),(0,0.133),(0,0.867),(0.133,1),(0.533,1),(0.667,0.867),(0.667,0.5),(0.367,0.5)]],
 "M": [[(0,1),(0,0),(0.333,0.5),(0.667,0),(0.667,1)]],
 "·": [[(0.3,0.5),(0.37,0.5)]],
 " ": [],
}

def text(s, x, y, h, colour, width, spacing=0.45):
    out = []
    for ch in s:
        w = 0.0 if ch == "I" else 0.667
        for line in F[ch]:
            pts = " ".join("%.2f,%.2f" % (x + px * h, y + py * h) for px, py in line)
            out.append(f'<polyline points="{pts}" fill="none" stroke="{colour}" stroke-width="{width}" stroke-linecap="round" stroke-linejoin="round"/>')
        x += (w + spacing) * h
    return "\n".join(out), x

def width(s, h, spacing=0.45):
    return sum(((0.0 if c == "I" else 0.667) + spacing) * h for c in s) - spacing * h

MODELS = {
 "101a": ("VESPER", "ERGO · 26000 DPI", "#00d4ff"),
 "102b": ("TALON", "LIGHT · 8 BUTTONS", "#ff3b5c"),
 "2005": ("HIVE", "16 BUTTONS · MMO", "#8a4dff"),
}




def marks_of(m, tmp):
    """Bounding box of each button inside the body, one pixel around it."""
    marks = {}
    for num, shape in sorted(m.buttons_mark.items()):
        svgf = os.path.join(tmp, f"{m.folder}_{num}.svg")
        png = svgf[:-4] + ".png"
        with open(svgf, "w") as f:
            f.write('<svg xmlns="http://www.w3.org/2000/svg" width="300" height="400">'
                    f'<defs><clipPath id="b"><path d="{m.outline}"/></clipPath></defs>'
                    f'<path d="{shape}" fill="#fff" clip-path="url(#b)"/></svg>')
        subprocess.run(["rsvg-convert", "-b", "black", "-o", png, svgf], check=True)
        bb = subprocess.run(["convert", png, "-threshold", "50%", "-format", "%@", "info:"],
                            capture_output=True, text=True, check=True).stdout
        size, x, y = bb.split("+")
        w, h = map(int, size.split("x"))
        x, y = int(x), int(y)
        marks[num] = (max(0, x - 1), max(0, y - 1), w + 2, h + 2)
    # hotspots are windows side by side: two that overlap would cover each other's light
    for (i, a), (j, b) in itertools.combinations(sorted(marks.items()), 2):
        if a[0] < b[0] + b[2] and b[0] < a[0] + a[2] and a[1] < b[1] + b[3] and b[1] < a[1] + a[3]:
            sys.exit(f"{m.name}: marks {i} and {j} overlap")
    return marks


def header(m, base):
    name, tag, acc = MODELS[m.folder]
    s = base
    # the model's accent takes over the header glow and the halo
    s = s.replace('<stop offset="0.5" stop-color="#00d4ff" stop-opacity="0.9"/>',
                  f'<stop offset="0.5" stop-color="{acc}" stop-opacity="0.9"/>')
    s = s.replace('<stop offset="0" stop-color="#00d4ff" stop-opacity="0.10"/>',
                  f'<stop offset="0" stop-color="{acc}" stop-opacity="0.12"/>')
    h = 22
    nx = 1004 - 14 - width(name, h)
    ntext, _ = text(name, nx, 117, h, "#e8edf5", 2.6)
    th = 9
    tx = 1004 - 14 - width(tag, th, 0.5)
    ttext, _ = text(tag, tx, 146, th, acc, 1.4, 0.5)
    sil = 0.12
    x0 = min(nx, tx) - 62
    sx = x0 + 14
    add = f'''<!-- {m.name}: name, outline and accent of the connected mouse -->
<rect x="{x0:.0f}" y="107" width="{1003 - x0:.0f}" height="56" rx="8" fill="{acc}" fill-opacity="0.07"/>
<rect x="{x0:.0f}" y="115" width="3" height="40" rx="1.5" fill="{acc}"/>
<g transform="translate({sx:.1f},111) scale({sil})"><path d="{m.outline}" fill="#0e1117" stroke="{acc}" stroke-width="{1.6 / sil:.1f}"/></g>
{ntext}
{ttext}
</svg>
'''
    return s.replace("</svg>", add)


def main():
    base = open(os.path.join(HERE, "key_nr.svg")).read()
    with tempfile.TemporaryDirectory() as tmp:
        for m in mice():
            if getattr(m, "grid", None):
                m.features = m.features + "".join(key_svg(g, "top") for g in m.grid)
                m.buttons = m.buttons + [(7 + i, g, "top") for i, g in enumerate(m.grid)]
            folders = [m.folder] + (["device"] if m.folder == "101a" else [])
            for folder in folders:
                d = os.path.join(HERE, folder)
                os.makedirs(d, exist_ok=True)
                for st in ("nr", "dn", "led"):
                    with open(os.path.join(d, f"mouse_{st}.svg"), "w") as f:
                        f.write(svg(m, st))
                for zone in ("main", "logo") if m.logo_lit else ("main",):
                    with open(os.path.join(d, f"mouse_zone_{zone}.svg"), "w") as f:
                        f.write(zone_light(m, zone))
            with open(os.path.join(HERE, m.folder, "key_nr.svg"), "w") as f:
                f.write(header(m, base))
            print(f"; {m.name} ({m.folder})")
            for num, r in sorted(marks_of(m, tmp).items()):
                print("Mark%d=%d,%d,%d,%d" % ((num,) + r))


if __name__ == "__main__":
    main()
