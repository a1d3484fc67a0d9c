#!/usr/bin/python3
# Redraws the splash logo and the icons: run `/usr/bin/python3 tools/artwork/draw_artwork.py`
# (from any folder; needs Debian's python3-pil: `apt-get install -y python3-pil`). Writes
# resources/logo.jpg, resources/pourwise.ico, resources/pourwise.png and the desktop theme's
# icons resources/icons/<n>x<n>.png, byte for byte the same on every run with the same Pillow
# and libjpeg.
"""Pourwise artwork: a measuring beaker with an amber liquid and a falling drop.

Shapes are drawn at several times the final size and scaled down, which gives
clean anti-aliased edges without depending on any font or external picture.
"""

import math
import struct
import sys
from pathlib import Path

from PIL import Image, ImageChops, ImageDraw, ImageFilter

ROOT = Path(__file__).resolve().parents[2]
RESOURCES = ROOT / "resources"

# Calm lab palette: deep teal ground, light glass, amber liquid.
TEAL_TOP = (22, 98, 116)
TEAL_BOTTOM = (8, 42, 58)
TEAL_GLOW = (46, 140, 156)
GLASS_LINE = (232, 246, 248)
AMBER_LIGHT = (250, 192, 72)
AMBER_DARK = (208, 112, 26)
AMBER_SURFACE = (255, 226, 150)
ICON_GROUND = (16, 82, 100)

LOGO_SIZE = (150, 178)
ICON_SIZE = 32
# The sizes a desktop's icon theme asks for most; the menu and the window list pick from these.
THEME_ICON_SIZES = (16, 32, 48, 64, 128, 256)


def lerp(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def vertical_gradient(size, top, bottom, y0=0, y1=None):
    """An RGB image whose colour runs from `top` at row y0 to `bottom` at row y1."""
    width, height = size
    y1 = height - 1 if y1 is None else y1
    image = Image.new("RGB", size)
    draw = ImageDraw.Draw(image)
    for y in range(height):
        t = min(max((y - y0) / max(y1 - y0, 1), 0.0), 1.0)
        draw.line([(0, y), (width, y)], fill=lerp(top, bottom, t))
    return image


def teardrop(cx, tip_y, bottom_y, half_width, steps=180):
    """Points of a drop with its point upwards, between tip_y and bottom_y."""
    height = bottom_y - tip_y
    points = []
    for i in range(steps):
        t = 2 * math.pi * i / steps
        x = cx + half_width * math.sin(t) * math.sin(t / 2)
        y = tip_y + height * (1 - math.cos(t)) / 2
        points.append((x, y))
    return points


def arc_points(cx, cy, r, start_deg, end_deg, steps=24):
    return [
        (cx + r * math.cos(math.radians(a)), cy + r * math.sin(math.radians(a)))
        for a in (start_deg + (end_deg - start_deg) * i / steps for i in range(steps + 1))
    ]


def beaker_outline(left, right, top, bottom, radius, spout):
    """Centre line of the beaker wall: spout lip at top left, rounded foot, small lip at top right."""
    points = [(left - spout, top - spout * 0.55)]
    points += arc_points(left - spout, top + spout * 0.9, spout * 1.45, -90 + 27, 0, 10)[1:]
    points += [(left, bottom - radius)]
    points += arc_points(left + radius, bottom - radius, radius, 180, 90, 12)[1:]
    points += [(right - radius, bottom)]
    points += arc_points(right - radius, bottom - radius, radius, 90, 0, 12)[1:]
    points += [(right, top + spout * 0.3), (right + spout * 0.45, top - spout * 0.2)]
    return points


def stroke(draw, points, width, fill):
    draw.line(points, fill=fill, width=width, joint="curve")
    r = width / 2
    for x, y in (points[0], points[-1]):
        draw.ellipse([x - r, y - r, x + r, y + r], fill=fill)


def draw_scene(size, scale, geometry, detail, ground=(TEAL_TOP, TEAL_BOTTOM)):
    """Draws the beaker, liquid and drop over a teal ground; returns an RGB image.

    `geometry` holds the layout in final-size pixels; everything is multiplied
    by `scale` so the caller can scale down for anti-aliasing.
    """
    s = scale
    w, h = size[0] * s, size[1] * s
    g = {k: (v * s if isinstance(v, (int, float)) else v) for k, v in geometry.items()}

    image = vertical_gradient((w, h), *ground)

    if detail:
        # Soft light behind the glass lifts it off the ground.
        glow = Image.new("L", (w, h), 0)
        ImageDraw.Draw(glow).ellipse(
            [g["left"] - 14 * s, g["top"] - 30 * s, g["right"] + 14 * s, g["bottom"] + 6 * s], fill=110
        )
        glow = glow.filter(ImageFilter.GaussianBlur(22 * s))
        image = Image.composite(Image.new("RGB", (w, h), TEAL_GLOW), image, glow)

    wall = g["wall"]
    inner_left = g["left"] + wall / 2
    inner_right = g["right"] - wall / 2
    inner_bottom = g["bottom"] - wall / 2
    inner_radius = max(g["radius"] - wall / 2, 1)

    interior = Image.new("L", (w, h), 0)
    ImageDraw.Draw(interior).rounded_rectangle(
        [inner_left, g["top"] - 40 * s, inner_right, inner_bottom], radius=inner_radius, fill=255
    )
    # The mask starts above the rim so only the foot is rounded; cut it at the rim.
    ImageDraw.Draw(interior).rectangle([0, 0, w, g["top"]], fill=0)

    # Faint glass body above the liquid.
    glass_tint = ImageChops.multiply(interior, Image.new("L", (w, h), 34 if detail else 40))
    image = Image.composite(Image.new("RGB", (w, h), GLASS_LINE), image, glass_tint)

    # Amber liquid below the level line.
    level = g["level"]
    liquid = interior.copy()
    ImageDraw.Draw(liquid).rectangle([0, 0, w, level], fill=0)
    amber = vertical_gradient((w, h), AMBER_LIGHT, AMBER_DARK, level, inner_bottom)
    image = Image.composite(amber, image, liquid)

    draw = ImageDraw.Draw(image, "RGBA")
    # Bright meniscus along the surface: this is the level the dose aims for.
    draw.rectangle([inner_left, level, inner_right, level + g["surface"]], fill=AMBER_SURFACE)

    if detail:
        # Graduation marks on the glass, long and short in turn.
        for i, y in enumerate(g["ticks"]):
            y *= s
            length = (18 if i % 2 == 0 else 10) * s
            colour = (255, 255, 255, 150) if y < level else (255, 246, 226, 130)
            draw.rectangle([inner_right - 3 * s - length, y - s * 0.8, inner_right - 3 * s, y + s * 0.8], fill=colour)
        # Pointer outside the glass marking the target level.
        px = g["right"] + 5 * s
        draw.polygon([(px, level + g["surface"] / 2), (px + 7 * s, level - 4 * s), (px + 7 * s, level + 5.6 * s)],
                     fill=AMBER_SURFACE)
        # Reflection on the left of the glass.
        draw.rounded_rectangle(
            [inner_left + 5 * s, g["top"] + 10 * s, inner_left + 9 * s, inner_bottom - 12 * s],
            radius=2 * s, fill=(255, 255, 255, 60),
        )

    stroke(draw, beaker_outline(g["left"], g["right"], g["top"], g["bottom"], g["radius"], g["spout"]),
           round(wall), GLASS_LINE)

    # The drop, amber with a small highlight.
    cx = (g["left"] + g["right"]) / 2
    drop_mask = Image.new("L", (w, h), 0)
    ImageDraw.Draw(drop_mask).polygon(
        teardrop(cx, g["drop_tip"], g["drop_bottom"], g["drop_half_width"]), fill=255
    )
    drop_colour = vertical_gradient((w, h), AMBER_SURFACE, AMBER_DARK, g["drop_tip"], g["drop_bottom"])
    image = Image.composite(drop_colour, image, drop_mask)
    draw = ImageDraw.Draw(image, "RGBA")
    hx = cx - g["drop_half_width"] * 0.35
    hy = g["drop_bottom"] - (g["drop_bottom"] - g["drop_tip"]) * 0.38
    hr = g["drop_half_width"] * 0.22
    draw.ellipse([hx - hr, hy - hr * 1.5, hx + hr, hy + hr * 1.5], fill=(255, 255, 255, 170 if detail else 200))
    return image


def make_logo():
    scale = 4
    geometry = dict(
        left=38, right=112, top=70, bottom=160, radius=10, wall=3.2, spout=6,
        level=112, surface=1.6, ticks=(84, 98, 112, 126, 140),
        drop_tip=14, drop_bottom=50, drop_half_width=12,
    )
    big = draw_scene(LOGO_SIZE, scale, geometry, detail=True)
    return big.resize(LOGO_SIZE, Image.LANCZOS)


# The icon's layout in pixels of the 32 px icon; other sizes scale it.
ICON_GEOMETRY = dict(
    left=8, right=24, top=14, bottom=27, radius=3, wall=2, spout=1.6,
    level=19.5, surface=0.9, ticks=(),
    drop_tip=2, drop_bottom=11.5, drop_half_width=3.8,
)


def draw_icon(size, scale, ground):
    """Returns (RGB picture, tile coverage) drawn `scale` times larger than `size` pixels."""
    factor = size / ICON_SIZE
    geometry = {k: (v * factor if isinstance(v, (int, float)) else v) for k, v in ICON_GEOMETRY.items()}
    big = draw_scene((size, size), scale, geometry, detail=False, ground=ground)
    # The picture sits on a rounded tile; outside the tile is transparent.
    tile = Image.new("L", big.size, 0)
    ImageDraw.Draw(tile).rounded_rectangle(
        [0, 0, big.width - 1, big.height - 1], radius=6 * factor * scale, fill=255
    )
    return big, tile


def make_theme_icon(size):
    """The icon in full colour with soft edges, `size` pixels square, for the desktop's theme."""
    scale = 8
    big, tile = draw_icon(size, scale, ground=(TEAL_TOP, TEAL_BOTTOM))
    icon = big.resize((size, size), Image.BOX).convert("RGBA")
    icon.putalpha(tile.resize((size, size), Image.BOX))
    return icon


def make_icon():
    """Returns (palette image, transparency mask) for the 32 px icon."""
    scale = 8
    # A flat ground keeps the sixteen colours for the shapes, not for gradient steps.
    big, tile = draw_icon(ICON_SIZE, scale, ground=(ICON_GROUND, ICON_GROUND))
    small = big.resize((ICON_SIZE, ICON_SIZE), Image.BOX)
    opaque = tile.resize((ICON_SIZE, ICON_SIZE), Image.BOX).point(lambda a: 255 if a >= 128 else 0)

    # A fixed palette keeps the amber bright: an adaptive one averages it into brown.
    # Entry 0 is black, used for transparent pixels.
    palette_image = Image.new("P", (1, 1))
    palette_image.putpalette([c for colour in icon_palette() for c in colour] + [0] * (256 - 16) * 3)
    quantised = small.quantize(palette=palette_image, dither=Image.Dither.NONE)
    mask = list(opaque.getdata())
    indices = [i if m else 0 for i, m in zip(quantised.getdata(), mask)]
    icon = Image.new("P", (ICON_SIZE, ICON_SIZE))
    icon.putpalette(palette_image.getpalette()[: 16 * 3])
    icon.putdata(indices)
    return icon, opaque


def icon_palette():
    middle = ICON_GROUND
    glass = lerp(middle, GLASS_LINE, 0.16)
    amber_mid = lerp(AMBER_LIGHT, AMBER_DARK, 0.5)
    return [
        (0, 0, 0),
        middle, lerp(middle, GLASS_LINE, 0.3), lerp(glass, AMBER_LIGHT, 0.3), glass,
        GLASS_LINE, lerp(middle, GLASS_LINE, 0.5), lerp(middle, GLASS_LINE, 0.75),
        AMBER_LIGHT, amber_mid, AMBER_DARK, AMBER_SURFACE,
        lerp(middle, amber_mid, 0.5), lerp(GLASS_LINE, AMBER_LIGHT, 0.5),
        lerp(glass, AMBER_SURFACE, 0.5), (255, 255, 255),
    ]


def ico_bytes(icon, opaque):
    """A one-image .ico: 4 bits per pixel, 16-colour palette, AND mask for transparency."""
    size = icon.width
    palette = icon.getpalette()[: 16 * 3]
    pixels = list(icon.getdata())
    mask = list(opaque.getdata())
    xor_row = (size * 4 + 31) // 32 * 4
    and_row = (size + 31) // 32 * 4

    xor = bytearray()
    and_mask = bytearray()
    for y in reversed(range(size)):  # bitmaps are stored bottom row first
        row = pixels[y * size:(y + 1) * size]
        packed = bytearray((row[x] << 4) | row[x + 1] for x in range(0, size, 2))
        xor += packed + bytes(xor_row - len(packed))
        bits = 0
        for x in range(size):
            bits = (bits << 1) | (0 if mask[y * size + x] else 1)
        bits <<= and_row * 8 - size
        and_mask += bits.to_bytes(and_row, "big")

    colours = b"".join(struct.pack("<BBBB", palette[i + 2], palette[i + 1], palette[i], 0) for i in range(0, 48, 3))
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, len(xor) + len(and_mask), 0, 0, 16, 0)
    image = header + colours + bytes(xor) + bytes(and_mask)
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(image), 22)
    return directory + image


def main():
    RESOURCES.mkdir(exist_ok=True)
    make_logo().save(RESOURCES / "logo.jpg", "JPEG", quality=92, subsampling=0)

    icon, opaque = make_icon()
    (RESOURCES / "pourwise.ico").write_bytes(ico_bytes(icon, opaque))
    rgba = icon.convert("RGBA")
    rgba.putalpha(opaque)
    rgba.save(RESOURCES / "pourwise.png", "PNG", optimize=True)

    (RESOURCES / "icons").mkdir(exist_ok=True)
    for size in THEME_ICON_SIZES:
        make_theme_icon(size).save(RESOURCES / "icons" / f"{size}x{size}.png", "PNG", optimize=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
