#!/usr/bin/env python3
"""Draws the two link banners of the version window with ImageMagick's convert.

group-banner.bmp (160 x 38) links to the group's home page and shows the application icon with
the group's name; maker-banner.bmp (120 x 40) links to the maker's author page on the download
site and shows the site's name in a band above the maker's name. Both are written as
uncompressed 24-bit BMP files, which Qt reads without a plug-in. Run it from anywhere after
changing a banner and commit the pictures it writes next to it; the output is the same on
every run with the same ImageMagick and fonts.
"""

import pathlib
import subprocess

HERE = pathlib.Path(__file__).resolve().parent
ICON = HERE.parent.parent / "uikit" / "pictures" / "velka-32.xpm"

DEJAVU = pathlib.Path("/usr/share/fonts/truetype/dejavu")
LATIN_BOLD = DEJAVU / "DejaVuSans-Bold.ttf"
LATIN_BOLD_OBLIQUE = DEJAVU / "DejaVuSans-BoldOblique.ttf"
GOTHIC = pathlib.Path("/usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf")


def text(font, size, colour, x, y, words):
    """convert arguments that draw words with their baseline at (x, y)."""
    return ["-font", str(font), "-pointsize", str(size), "-fill", colour,
            "-annotate", f"+{x}+{y}", words]


def bevel(width, height, light, dark):
    """A one-pixel raised edge: light on the top and left, dark on the bottom and right."""
    right, bottom = width - 1, height - 1
    return ["-stroke", "none",
            "-fill", light,
            "-draw", f"rectangle 0,0 {right},0",
            "-draw", f"rectangle 0,0 0,{bottom}",
            "-fill", dark,
            "-draw", f"rectangle 0,{bottom} {right},{bottom}",
            "-draw", f"rectangle {right},0 {right},{bottom}"]


def write(arguments, target):
    subprocess.run(["convert", *arguments, "-alpha", "off", "-type", "TrueColor", "-strip",
                    f"BMP3:{target}"], check=True)


def group_banner():
    width, height = 160, 38
    write(["-size", f"{width}x{height}", "gradient:#1c2f8f-#060f48",
           str(ICON), "-geometry", "+3+3", "-composite",
           *text(LATIN_BOLD_OBLIQUE, 21, "#000020", 42, 21, "Velka"),
           *text(LATIN_BOLD_OBLIQUE, 21, "#ffffff", 41, 20, "Velka"),
           *text(GOTHIC, 11, "#ffe040", 44, 33, "公式ホームページ"),
           "-fill", "#ffe040", "-stroke", "none", "-draw", "polygon 134,25 134,33 138,29",
           *bevel(width, height, "#7f9cff", "#000018")],
          HERE / "group-banner.bmp")


def maker_banner():
    width, height = 120, 40
    write(["-size", f"{width}x{height}", "gradient:#ffffff-#e3f1dc",
           "-fill", "#2e7d32", "-draw", "rectangle 0,0 119,12",
           "-fill", "#a5d6a7", "-draw", "line 0,13 119,13",
           *text(LATIN_BOLD, 9, "#ffffff", 4, 10, "Software Example"),
           *text(LATIN_BOLD, 13, "#1b5e20", 4, 31, "Velka Software"),
           *bevel(width, height, "#ffffff", "#1b5e20")],
          HERE / "maker-banner.bmp")


if __name__ == "__main__":
    group_banner()
    maker_banner()
