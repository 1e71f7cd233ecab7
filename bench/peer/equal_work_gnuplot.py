#!/usr/bin/python3
"""Draws a definition's report pages from a result file with one gnuplot process
(pdfcairo, a multiplot per page): A4, a title, graphs on the page's grid (log x axis,
grid, one line per curve with every point, key) and tables of min/max/mean drawn as
labels in an empty plot. The curves go to gnuplot as binary files written once.

    equal_work_gnuplot.py DEFINITION RESULTFILE OUT.pdf
"""
import os
import subprocess
import sys
import tempfile

import numpy as np

from peer_pages import decades, nice_ticks, read_pages, value_range

COLOURS = ["#1f77b4", "#ff7f0e", "#2ca02c", "#8c564b", "#d62728", "#9467bd", "#7f7f7f",
           "#bcbd22"]
BLANK = ["unset title", "unset key", "unset border", "unset tics", "unset grid",
         "unset xlabel", "unset ylabel", "unset logscale x"]


def quoted(text):
    return "'" + text.replace("'", "''") + "'"


def graph_commands(graph, data_path):
    first, last = decades(graph.freqs)
    ticks, low, high = nice_ticks(*value_range(graph))
    columns = np.column_stack([graph.freqs] + [y for _, y in graph.curves])
    columns[columns[:, 0] <= 0, 0] = np.nan  # no place on a log axis
    columns.astype("<f8").tofile(data_path)
    binary = f'binary format="%{columns.shape[1]}float64"'
    plots = [f"{quoted(data_path)} {binary} using 1:{k + 2} with lines lw 0.5 "
             f"lc rgb '{COLOURS[k % len(COLOURS)]}' title {quoted(name)}"
             for k, (name, _) in enumerate(graph.curves)]
    return [
        f"set title {quoted(graph.title)} font 'Sans-Bold,8'",
        "set border", "set xtics nomirror out", "set ytics nomirror out",
        "set logscale x 10", "set mxtics 10", "set format x '%g'",
        f"set xrange [{10.0 ** first}:{10.0 ** last}]",
        f"set yrange [{low}:{high}]", f"set ytics {ticks[1] - ticks[0]}",
        "set grid xtics mxtics ytics lw 0.5 lc rgb '#b0b0b0', lw 0.25 lc rgb '#d8d8d8'",
        "set key top right font ',6' box opaque samplen 2 spacing 0.9",
        "set xlabel 'Frequency (MHz)'", f"set ylabel {quoted(graph.unit)}",
        "plot " + ", \\\n  ".join(plots) if plots else "plot NaN notitle",
    ]


def table_commands(table):
    rows, cols = len(table.cells), max(len(r) for r in table.cells)
    top, row_h = 0.88, min(0.12, 0.85 / rows)
    commands = BLANK + [
        "set xrange [0:1]", "set yrange [0:1]",
        f"set label {quoted(table.title)} at graph 0.5,0.95 center font 'Sans-Bold,8'",
        f"set object rect from graph 0,{top - row_h} to graph 1,{top} fs solid "
        "fc rgb '#e0e0e0' behind",
    ]
    for r in range(rows + 1):
        y = top - r * row_h
        commands.append(f"set arrow from graph 0,{y} to graph 1,{y} nohead lw 0.5")
    for k in range(cols + 1):
        x = k / cols
        commands.append(f"set arrow from graph {x},{top} to graph {x},{top - rows * row_h} "
                        "nohead lw 0.5")
    for r, row in enumerate(table.cells):
        for k, text in enumerate(row):
            font = "Sans-Bold,6" if r == 0 or k == 0 else "Sans,6"
            commands.append(f"set label {quoted(text)} at graph {(k + 0.5) / cols},"
                            f"{top - (r + 0.5) * row_h} center font '{font}'")
    return commands + ["plot NaN notitle", "unset label", "unset arrow", "unset object"]


def script(pages, out_path, folder):
    lines = ["set terminal pdfcairo size 21cm,29.7cm font 'Sans,7' noenhanced",
             f"set output {quoted(out_path)}"]
    for p, page in enumerate(pages):
        lines.append(f"set multiplot layout {page.ny},{page.nx} title {quoted(page.title)} "
                     "font 'Sans-Bold,14' margins 0.09,0.97,0.04,0.93 spacing 0.09,0.07")
        graphs = {g.slot: g for g in page.graphs}
        tables = {t.slot: t for t in page.tables}
        for slot in range(1, page.nx * page.ny + 1):
            if slot in graphs:
                path = os.path.join(folder, f"page{p + 1}-slot{slot}.bin")
                lines += graph_commands(graphs[slot], path)
            elif slot in tables:
                lines += table_commands(tables[slot])
            else:
                lines.append("set multiplot next")
            lines.append("unset object")
        lines.append("unset multiplot")
    lines.append("set output")
    return "\n".join(lines) + "\n"


def main(definition_path, results_path, out_path):
    pages = read_pages(definition_path, results_path)
    with tempfile.TemporaryDirectory(prefix="equal-work-gnuplot-") as folder:
        text = script(pages, os.path.abspath(out_path), folder)
        done = subprocess.run(["gnuplot"], input=text, text=True)
    if done.returncode != 0:
        sys.exit(f"gnuplot failed ({done.returncode})")


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    try:
        main(*sys.argv[1:])
    except (OSError, ValueError) as error:  # a missing file, a block that is not numbers
        sys.exit(f"equal_work_gnuplot: {error}")
