#!/usr/bin/env python3
"""Draws docs/performance.svg from the benchmark measurements (scripts/bench.sh).

    plot-performance.py FOLDER OUTPUT.svg

FOLDER holds tab-separated measurements (case, ns, allocations): linux.tsv and wine.tsv, and
optionally linux-before.tsv and wine-before.tsv. Two panels: the store cases against the number
of stores open, and the listing against the number of names. Plain SVG, no plotting library.
"""
import math
import os
import sys

RUNS = [  # file, label, colour, dash
    ("linux.tsv", "Linux", "#1f77b4", ""),
    ("linux-before.tsv", "Linux, before", "#1f77b4", "4,3"),
    ("wine.tsv", "Wine", "#d62728", ""),
    ("wine-before.tsv", "Wine, before", "#d62728", "4,3"),
]
MARKS = {"open+close": "circle", "close-random+reopen": "square",
         "vtoGetPropertyNames:text": "circle", "vtoGetPropertyNames:array": "square",
         "bare:names-text": "triangle", "bare:names-array": "diamond"}


def read(path):
    values = {}
    with open(path) as tsv:
        next(tsv)
        for line in tsv:
            case, ns, _ = line.rstrip("\n").split("\t")
            values[case] = float(ns)
    return values


def mark(kind, x, y, colour):
    if kind == "circle":
        return f'<circle cx="{x:.1f}" cy="{y:.1f}" r="3.5" fill="{colour}"/>'
    if kind == "square":
        return f'<rect x="{x-3:.1f}" y="{y-3:.1f}" width="6" height="6" fill="{colour}"/>'
    if kind == "triangle":
        return (f'<polygon points="{x:.1f},{y-4:.1f} {x-4:.1f},{y+3:.1f} {x+4:.1f},{y+3:.1f}" '
                f'fill="none" stroke="{colour}"/>')
    return (f'<polygon points="{x:.1f},{y-4:.1f} {x+4:.1f},{y:.1f} {x:.1f},{y+4:.1f} '
            f'{x-4:.1f},{y:.1f}" fill="none" stroke="{colour}"/>')


def panel(left, title, xlabel, ylabel, xs, series, logy):
    """series: list of (label, colour, dash, mark, [(x, y)])"""
    width, height, top = 420, 300, 40
    points = [p for s in series for p in s[4]]
    if not points:
        return []
    ys = [p[1] for p in points]
    lo, hi = (min(ys), max(ys))
    if logy:
        lo, hi = 10 ** math.floor(math.log10(lo)), 10 ** math.ceil(math.log10(hi))
        fy = lambda y: top + height - height * (math.log10(y) - math.log10(lo)) / (math.log10(hi) - math.log10(lo))
        yticks = [10 ** e for e in range(int(math.log10(lo)), int(math.log10(hi)) + 1)]
    else:
        lo, hi = 0, hi * 1.15
        step = 10 ** math.floor(math.log10(hi / 4))
        step = next(s * step for s in (1, 2, 5, 10) if hi / (s * step) <= 6)
        fy = lambda y: top + height - height * (y - lo) / (hi - lo)
        yticks = [i * step for i in range(int(hi / step) + 1)]
    xlo, xhi = math.log10(min(xs)), math.log10(max(xs))
    fx = lambda x: left + 20 + (width - 40) * (math.log10(x) - xlo) / (xhi - xlo)
    out = [f'<text x="{left + width/2}" y="{top - 14}" text-anchor="middle" font-weight="bold">{title}</text>',
           f'<rect x="{left}" y="{top}" width="{width}" height="{height}" fill="none" stroke="#888"/>']
    for y in yticks:
        label = f"{y:g}"
        out.append(f'<line x1="{left}" y1="{fy(y):.1f}" x2="{left+width}" y2="{fy(y):.1f}" stroke="#eee"/>')
        out.append(f'<text x="{left-6}" y="{fy(y)+4:.1f}" text-anchor="end">{label}</text>')
    for x in xs:
        out.append(f'<text x="{fx(x):.1f}" y="{top+height+16}" text-anchor="middle">{x:,}</text>')
    out.append(f'<text x="{left+width/2}" y="{top+height+36}" text-anchor="middle">{xlabel}</text>')
    out.append(f'<text transform="translate({left-48},{top+height/2}) rotate(-90)" text-anchor="middle">{ylabel}</text>')
    legend_y = top + 14
    for label, colour, dash, kind, pts in series:
        if not pts:
            continue
        path = " ".join(f"{fx(x):.1f},{fy(y):.1f}" for x, y in pts)
        out.append(f'<polyline points="{path}" fill="none" stroke="{colour}" stroke-dasharray="{dash}"/>')
        out.extend(mark(kind, fx(x), fy(y), colour) for x, y in pts)
        out.append(f'<line x1="{left+10}" y1="{legend_y-4}" x2="{left+34}" y2="{legend_y-4}" stroke="{colour}" stroke-dasharray="{dash}"/>')
        out.append(mark(kind, left + 22, legend_y - 4, colour))
        out.append(f'<text x="{left+40}" y="{legend_y}">{label}</text>')
        legend_y += 15
    return out


def main():
    folder, output = sys.argv[1], sys.argv[2]
    runs = [(read(os.path.join(folder, f)), label, colour, dash)
            for f, label, colour, dash in RUNS if os.path.exists(os.path.join(folder, f))]
    stores = [10, 1000, 10000, 100000]
    names = [10, 1000, 10000]
    store_series, name_series = [], []
    for values, label, colour, dash in runs:
        for case in ("open+close", "close-random+reopen"):
            pts = [(n, values[f"{case}/{n}"] / 1000) for n in stores if f"{case}/{n}" in values]
            store_series.append((f"{case} ({label})", colour, dash, MARKS[case], pts))
        for case in ("vtoGetPropertyNames:text", "vtoGetPropertyNames:array",
                     "bare:names-text", "bare:names-array"):
            if case.startswith("bare") and "before" in label:
                continue
            pts = [(n, values[f"{case}/{n}"] / 1000) for n in names if f"{case}/{n}" in values]
            name_series.append((f"{case.replace('vtoGetPropertyNames:', 'listing ')} ({label})",
                                colour, dash, MARKS[case], pts))
    body = panel(90, "Opening and closing a store", "stores open", "µs per pair (CPU time)",
                 stores, store_series, logy=False)
    body += panel(620, "Listing a store's names", "names in the store", "µs per call (CPU time)",
                  names, name_series, logy=True)
    svg = ['<svg xmlns="http://www.w3.org/2000/svg" width="1080" height="400" '
           'font-family="sans-serif" font-size="11">',
           '<rect width="100%" height="100%" fill="white"/>'] + body + ["</svg>"]
    with open(output, "w") as out:
        out.write("\n".join(svg) + "\n")


if __name__ == "__main__":
    main()
