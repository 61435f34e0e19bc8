#!/usr/bin/python3
"""Checks a picture of the main window against the reference picture of another platform.

usage: check-screenshot.py PICTURE REFERENCE

Fonts, colours and frames differ between platforms, so the comparison is rough: the picture
must have about the reference's size, and its left column, where the career and job lists
stand, must hold about as many lines of text as the reference's: a window whose lists stayed
empty shows only their headings and the menu bar.
"""
import sys

from PIL import Image


def text_lines(image):
    """Lines of dark text in the left 30 % of the picture, frames left out."""
    grey = image.convert("L")
    width = max(1, grey.width * 3 // 10)
    pixels = grey.load()
    dark = [[pixels[x, y] < 110 for x in range(width)] for y in range(grey.height)]
    # Columns dark in many rows are the lists' frames and grid lines, not text.
    frame = {x for x in range(width) if sum(row[x] for row in dark) > grey.height * 0.3}
    inked = [sum(1 for x, d in enumerate(row) if d and x not in frame) >= 3 for row in dark]
    lines, run = 0, 0
    for row in inked + [False]:
        if row:
            run += 1
            continue
        if run >= 3:  # shorter runs are rules and underlines
            lines += 1
        run = 0
    return lines


def main():
    picture, reference = (Image.open(path).convert("RGB") for path in sys.argv[1:3])
    problems = []
    for name, got, want in (("width", picture.width, reference.width), ("height", picture.height, reference.height)):
        if not 0.6 * want <= got <= 1.6 * want:
            problems.append(f"{name} {got} px, the reference's is {want} px")
    colours = len(picture.getcolors(1 << 24) or [])
    if colours < 16:
        problems.append(f"only {colours} colours: the window is blank")
    got, want = text_lines(picture), text_lines(reference)
    print(f"{picture.width} x {picture.height} px, {colours} colours, {got} lines of text in the lists' column "
          f"(reference: {reference.width} x {reference.height} px, {want} lines)")
    if got < 0.8 * want:
        problems.append(f"{got} lines of text in the lists' column where the reference has {want}: "
                        "the careers and jobs are not listed")
    for problem in problems:
        print("  " + problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
