#!/usr/bin/python3
"""Draws the curves and tables of a definition's reports from a result file with
matplotlib, one figure per report page, into one PDF. It is the yardstick the main
job is timed against: the same file read, the same curves and cells drawn.

    report_pages.py DEFINITION RESULTFILE OUT.pdf
"""
import re
import sys

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
import numpy as np  # noqa: E402
from matplotlib.backends.backend_pdf import PdfPages  # noqa: E402


def read_definition(path):
    sections, current = {}, None
    with open(path, encoding="utf-8", errors="replace") as f:
        for line in f:
            line = line.strip()
            if line.startswith("[") and line.endswith("]"):
                current = sections.setdefault(line[1:-1].upper(), {})
            elif current is not None and "=" in line:
                key, value = line.split("=", 1)
                current[key.strip().upper()] = value.strip()
    return sections


def read_results(path):
    """Test name -> (column headings, rows of floats, NaN where a cell is no number)."""
    with open(path, encoding="utf-8", errors="replace") as f:
        lines = f.read().splitlines()
    delimiter = "," if lines and "," in lines[0] else "\t"
    tests, i = {}, 0
    while i < len(lines):
        fields = lines[i].split(delimiter)
        if fields[0] == "TEST:" and len(fields) > 1:
            name, headings = fields[1].strip(), lines[i + 2].split(delimiter)
            i += 5
            rows = []
            while i < len(lines) and lines[i].strip():
                rows.append([number(v) for v in lines[i].split(delimiter)[:-1]])
                i += 1
            tests[name.upper()] = (headings, np.array(rows, dtype=float))
        i += 1
    return tests


def number(text):
    try:
        return float(text)
    except ValueError:
        return float("nan")


def columns(list_text, headings):
    chosen = []
    for element in list_text.split(","):
        element = element.strip().lower()
        if element == "limits":
            chosen += [c for c, h in enumerate(headings) if "limit" in h.lower()]
        elif ".." in element:
            a, b = element.split("..")
            chosen += list(range(int(a), int(b) + 1))
        elif re.fullmatch(r"-?\d+", element):
            chosen.append(int(element))
    return [c for c in chosen if 1 < c < len(headings)]


def graphs_of(report, sections):
    """(slot, test, columns text, title) for each graph, following graphs expanded."""
    out = []
    for g in range(1, 32):
        graph = sections.get(f"GRAPH_{report}_{g}")
        if graph is None or "DATA_1" not in graph:
            continue
        slot, cols = int(graph.get("SLOT", g)), graph.get("COLS_1", "2")
        out.append((slot, graph["DATA_1"], cols, graph.get("TITLE", graph["DATA_1"])))
        following = int(graph.get("FOLLOWINGGRAPHS", "0") or 0)
        first = cols.split(",")[0]
        for k in range(1, following + 1):
            shifted = ",".join([str(int(first) + k)] + cols.split(",")[1:])
            out.append((slot + k, graph["DATA_1"], shifted, graph.get("TITLE", "")))
    return out


def table_cells(table, tests):
    headings, rows = tests.get(table.get("DATA", "").upper(), ([], np.empty((0, 0))))
    cols = columns(table.get("COLS", "2"), headings)
    if rows.size == 0 or not cols:
        return [["x"]]
    freqs = rows[:, 1]
    cells = [["MHz"] + [headings[c] for c in cols]]
    for entry in table.get("FREQS", "").split(","):
        entry = entry.strip().lower()
        values = []
        for c in cols:
            column = rows[:, c]
            if entry in ("min", "max", "mean", "stddev"):
                v = {"min": np.nanmin, "max": np.nanmax, "mean": np.nanmean,
                     "stddev": np.nanstd}[entry](column)
            elif re.fullmatch(r"[0-9.]+", entry):
                v = np.interp(float(entry), freqs, column)
            else:
                v = np.nan
            values.append("x" if np.isnan(v) else f"{v:.2f}")
        cells.append([entry] + values)
    return cells


def main(definition_path, results_path, out_path):
    sections = read_definition(definition_path)
    tests = read_results(results_path)
    with PdfPages(out_path) as pdf:
        for report in range(1, 209):
            section = sections.get(f"REPORT_{report}")
            if section is None:
                continue
            nx, ny = int(section.get("X", 1)), int(section.get("Y", 1))
            fig, axes = plt.subplots(ny, nx, figsize=(8.27, 11.69), squeeze=False)
            fig.suptitle(section.get("TITLE", ""))
            used = set()
            for slot, test, cols, title in graphs_of(report, sections):
                if not 1 <= slot <= nx * ny or test.upper() not in tests:
                    continue
                headings, rows = tests[test.upper()]
                ax = axes[(slot - 1) // nx][(slot - 1) % nx]
                used.add(slot)
                for c in columns(cols, headings):
                    ax.plot(rows[:, 1], rows[:, c], linewidth=0.5, label=headings[c])
                ax.set_xscale("log")
                ax.set_title(title, fontsize=7)
                ax.grid(True, linewidth=0.3)
                ax.legend(fontsize=5)
            for t in range(1, 32):
                table = sections.get(f"TABLE_{report}_{t}")
                if table is None:
                    continue
                slot = int(table.get("SLOT", 1))
                if 1 <= slot <= nx * ny:
                    ax = axes[(slot - 1) // nx][(slot - 1) % nx]
                    ax.axis("off")
                    used.add(slot)
                    ax.table(cellText=table_cells(table, tests), loc="center", fontsize=6)
            for slot in set(range(1, nx * ny + 1)) - used:
                axes[(slot - 1) // nx][(slot - 1) % nx].axis("off")
            pdf.savefig(fig)
            plt.close(fig)


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    main(*sys.argv[1:])
