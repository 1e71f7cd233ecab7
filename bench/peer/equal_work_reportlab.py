#!/usr/bin/python3
"""Draws a definition's report pages from a result file with ReportLab's canvas: A4, a
title, graphs on the page's grid (frame, log x axis, grid lines, one polyline per curve
with every point, legend) and tables of min/max/mean. A yardstick for the main job.

    equal_work_reportlab.py DEFINITION RESULTFILE OUT.pdf
"""
import math
import sys

import numpy as np
from reportlab.lib.pagesizes import A4
from reportlab.pdfgen import canvas

from peer_pages import decades, label, nice_ticks, read_pages, value_range

COLOURS = [(0.12, 0.47, 0.71), (1.0, 0.5, 0.05), (0.17, 0.63, 0.17), (0.55, 0.34, 0.29),
           (0.84, 0.15, 0.16), (0.58, 0.4, 0.74), (0.5, 0.5, 0.5), (0.74, 0.74, 0.13)]
MARGIN, TITLE_BAND = 36.0, 40.0


def slot_box(slot, nx, ny):
    """(x, y, width, height) of a slot, counted from the top left, in points."""
    width, height = A4
    cell_w = (width - 2 * MARGIN) / nx
    cell_h = (height - 2 * MARGIN - TITLE_BAND) / ny
    col, row = (slot - 1) % nx, (slot - 1) // nx
    return MARGIN + col * cell_w, height - MARGIN - TITLE_BAND - (row + 1) * cell_h, cell_w, cell_h


def draw_graph(c, graph, box):
    bx, by, bw, bh = box
    x0, y0, w, h = bx + 40, by + 30, bw - 52, bh - 52
    first, last = decades(graph.freqs)
    ticks, low, high = nice_ticks(*value_range(graph))
    sx, sy = w / (last - first), h / (high - low)

    c.setFont("Helvetica-Bold", 8)
    c.drawCentredString(x0 + w / 2, y0 + h + 8, graph.title)
    c.setLineWidth(0.25)
    c.setStrokeGray(0.8)
    grid = c.beginPath()
    for d in range(first, last):
        for m in range(2, 10):
            x = x0 + (d + math.log10(m) - first) * sx
            grid.moveTo(x, y0)
            grid.lineTo(x, y0 + h)
    c.drawPath(grid, stroke=1, fill=0)
    c.setStrokeGray(0.55)
    grid = c.beginPath()
    for d in range(first + 1, last):
        grid.moveTo(x0 + (d - first) * sx, y0)
        grid.lineTo(x0 + (d - first) * sx, y0 + h)
    for t in ticks[1:-1]:
        grid.moveTo(x0, y0 + (t - low) * sy)
        grid.lineTo(x0 + w, y0 + (t - low) * sy)
    c.drawPath(grid, stroke=1, fill=0)

    c.setFont("Helvetica", 6)
    c.setStrokeGray(0)
    c.setLineWidth(0.5)
    for d in range(first, last + 1):
        x = x0 + (d - first) * sx
        c.line(x, y0, x, y0 - 3)
        c.drawCentredString(x, y0 - 10, label(10.0**d))
    for t in ticks:
        y = y0 + (t - low) * sy
        c.line(x0, y, x0 - 3, y)
        c.drawRightString(x0 - 5, y - 2, label(t))
    c.drawCentredString(x0 + w / 2, y0 - 20, "Frequency (MHz)")
    c.saveState()
    c.translate(bx + 8, y0 + h / 2)
    c.rotate(90)
    c.drawCentredString(0, 0, graph.unit)
    c.restoreState()

    positive = graph.freqs > 0
    xs = x0 + (np.log10(graph.freqs[positive]) - first) * sx
    c.setLineWidth(0.5)
    for i, (_, values) in enumerate(graph.curves):
        c.setStrokeColorRGB(*COLOURS[i % len(COLOURS)])
        ys = y0 + (values[positive] - low) * sy
        path = c.beginPath()
        line_to = path.lineTo
        for run in finite_runs(ys):
            run_x, run_y = xs[run].tolist(), ys[run].tolist()
            path.moveTo(run_x[0], run_y[0])
            for x, y in zip(run_x[1:], run_y[1:]):
                line_to(x, y)
        c.drawPath(path, stroke=1, fill=0)

    c.setStrokeGray(0)
    c.rect(x0, y0, w, h, stroke=1, fill=0)
    draw_legend(c, graph, x0 + w, y0 + h)


def finite_runs(values):
    """Slices of the stretches without NaN that have at least two points."""
    finite = np.isfinite(values)
    if finite.all():
        return [slice(0, values.size)]
    edges = np.flatnonzero(np.diff(np.concatenate(([0], finite.astype(np.int8), [0]))))
    return [slice(a, b) for a, b in zip(edges[::2], edges[1::2]) if b - a > 1]


def draw_legend(c, graph, right, top):
    if not graph.curves:
        return
    width, line = 52, 7
    height = line * len(graph.curves) + 3
    c.setFillGray(1)
    c.setStrokeGray(0.6)
    c.setLineWidth(0.3)
    c.rect(right - width - 3, top - height - 3, width, height, stroke=1, fill=1)
    c.setFont("Helvetica", 5)
    c.setFillGray(0)
    c.setLineWidth(0.8)
    for i, (name, _) in enumerate(graph.curves):
        y = top - 3 - line * (i + 1) + 2
        c.setStrokeColorRGB(*COLOURS[i % len(COLOURS)])
        c.line(right - width, y + 1.5, right - width + 10, y + 1.5)
        c.drawString(right - width + 13, y, name[:14])


def draw_table(c, table, box):
    bx, by, bw, bh = box
    rows, cols = len(table.cells), max(len(r) for r in table.cells)
    x0, w = bx + 8, bw - 16
    row_h = min(16.0, (bh - 30) / rows)
    top = by + bh - 24
    c.setFont("Helvetica-Bold", 8)
    c.setFillGray(0)
    c.drawCentredString(x0 + w / 2, top + 6, table.title)
    col_w = w / cols
    c.setLineWidth(0.4)
    c.setStrokeGray(0.3)
    c.setFillGray(0.88)
    c.rect(x0, top - row_h, w, row_h, stroke=0, fill=1)
    c.setFillGray(0)
    lines = c.beginPath()
    for r in range(rows + 1):
        lines.moveTo(x0, top - r * row_h)
        lines.lineTo(x0 + w, top - r * row_h)
    for k in range(cols + 1):
        lines.moveTo(x0 + k * col_w, top)
        lines.lineTo(x0 + k * col_w, top - rows * row_h)
    c.drawPath(lines, stroke=1, fill=0)
    for r, row in enumerate(table.cells):
        for k, text in enumerate(row):
            c.setFont("Helvetica-Bold" if r == 0 or k == 0 else "Helvetica", 6)
            c.drawCentredString(x0 + (k + 0.5) * col_w, top - (r + 1) * row_h + row_h / 2 - 2, text)


def main(definition_path, results_path, out_path):
    pages = read_pages(definition_path, results_path)
    c = canvas.Canvas(out_path, pagesize=A4)
    width, height = A4
    for page in pages:
        c.setFont("Helvetica-Bold", 14)
        c.drawCentredString(width / 2, height - MARGIN - 20, page.title)
        for graph in page.graphs:
            draw_graph(c, graph, slot_box(graph.slot, page.nx, page.ny))
        for table in page.tables:
            draw_table(c, table, slot_box(table.slot, page.nx, page.ny))
        c.showPage()
    c.save()


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    try:
        main(*sys.argv[1:])
    except (OSError, ValueError) as error:  # a missing file, a block that is not numbers
        sys.exit(f"equal_work_reportlab: {error}")
