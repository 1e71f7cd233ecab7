"""The pages a definition asks for, read from a result file the quick way (numpy), for the
peer scripts that draw them: per page its title, grid, graphs (one array per curve) and
tables of min/max/mean. Only the tests the pages name are parsed.
"""
import io
import math
import re
from collections import namedtuple

import numpy as np

Test = namedtuple("Test", "headings units values")  # values[:, c - 1] is heading c
Graph = namedtuple("Graph", "slot title unit freqs curves")  # curves: [(label, y)]
Table = namedtuple("Table", "slot title cells")  # cells[0] is the heading row
Page = namedtuple("Page", "title nx ny graphs tables")


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


def read_tests(path, names):
    """Upper-case test name -> Test, of the last block of each wanted name (a retest
    stands for the earlier ones, as in the main job)."""
    with open(path, encoding="utf-8", errors="replace") as f:
        text = f.read()
    if "\r\n" in text[:4096]:
        text = text.replace("\r\n", "\n")
    sep = "," if "," in text[: text.find("\n")] else "\t"
    wanted, last_block = {n.upper() for n in names}, {}
    marker = "\nTEST:" + sep
    at = text.find(marker)
    while at >= 0:
        head_end = text.find("\n", at + 1)
        if head_end < 0:
            break
        name = text[at + len(marker) : head_end].split(sep)[0].strip().upper()
        if name in wanted:
            last_block[name] = head_end + 1
        at = text.find(marker, head_end)
    tests = {}
    for name, start in last_block.items():
        lines = text[start : start + 4096].split("\n", 4)
        if len(lines) < 5:
            continue
        headings, units = lines[1].split(sep), lines[3].split(sep)
        first = start + sum(len(s) + 1 for s in lines[:4])
        last = text.find("\n\n", first)
        block = text[first : last if last >= 0 else len(text)]
        tests[name] = Test(headings, units, parse_block(block, sep, len(headings)))
    return tests


def parse_block(block, sep, columns):
    """Rows of the numeric columns (frequency to last limit), NaN where a cell says x."""
    for _ in range(2):  # twice, as replace skips a neighbour of a replaced cell
        block = block.replace(f"{sep}x{sep}", f"{sep}nan{sep}")
    if not block.strip():
        return np.empty((0, max(columns - 2, 0)))
    values = np.loadtxt(io.StringIO(block), delimiter=sep, usecols=range(1, columns - 1), ndmin=2)
    return values


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
    return [c for c in chosen if 1 < c < len(headings) - 1]


def graph_entries(report, sections):
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


def statistic(entry, freqs, column):
    finite = column[np.isfinite(column)]
    if entry in ("min", "max", "mean", "stddev") and finite.size:
        return {"min": np.min, "max": np.max, "mean": np.mean, "stddev": np.std}[entry](finite)
    if re.fullmatch(r"[0-9.]+", entry) and finite.size == column.size and freqs.size:
        return float(np.interp(float(entry), freqs, column))
    return math.nan


def table_cells(table, tests):
    test = tests.get(table.get("DATA", "").upper())
    cols = columns(table.get("COLS", "2"), test.headings) if test else []
    if test is None or not cols or test.values.shape[0] == 0:
        return [["x"]]
    freqs = test.values[:, 0]
    cells = [["MHz"] + [test.headings[c] for c in cols]]
    for entry in table.get("FREQS", "").split(","):
        entry = entry.strip().lower()
        values = [statistic(entry, freqs, test.values[:, c - 1]) for c in cols]
        cells.append([entry] + ["x" if math.isnan(v) else f"{v:.2f}" for v in values])
    return cells


def read_pages(definition_path, results_path):
    sections = read_definition(definition_path)
    reports = [r for r in range(1, 209) if f"REPORT_{r}" in sections]
    entries = {r: graph_entries(r, sections) for r in reports}
    names = {e[1] for r in reports for e in entries[r]}
    names |= {s.get("DATA", "") for k, s in sections.items() if k.startswith("TABLE_")}
    tests = read_tests(results_path, names)
    pages = []
    for r in reports:
        section = sections[f"REPORT_{r}"]
        nx, ny = int(section.get("X", 1)), int(section.get("Y", 1))
        graphs, tables = [], []
        for slot, name, cols, title in entries[r]:
            test = tests.get(name.upper())
            if not 1 <= slot <= nx * ny or test is None or test.values.shape[0] < 2:
                continue
            chosen = columns(cols, test.headings)
            curves = [(test.headings[c], test.values[:, c - 1]) for c in chosen]
            curves = [(name, y) for name, y in curves if np.isfinite(y).any()]  # all x: nothing
            unit = next((test.units[c] for c in chosen if c < len(test.units)), "")
            graphs.append(Graph(slot, title, unit, test.values[:, 0], curves))
        for t in range(1, 32):
            table = sections.get(f"TABLE_{r}_{t}")
            if table is not None and 1 <= int(table.get("SLOT", 1)) <= nx * ny:
                title = table.get("TITLE", table.get("DATA", ""))
                tables.append(Table(int(table.get("SLOT", 1)), title, table_cells(table, tests)))
        pages.append(Page(section.get("TITLE", ""), nx, ny, graphs, tables))
    return pages


def nice_ticks(low, high, count=5):
    """Round tick values spanning [low, high] and the range they cover."""
    if not (math.isfinite(low) and math.isfinite(high)):
        low, high = 0.0, 1.0
    if high - low < 1e-12:
        low, high = low - 1, high + 1
    raw = (high - low) / count
    power = 10 ** math.floor(math.log10(raw))
    step = next(m * power for m in (1, 2, 2.5, 5, 10) if m * power >= raw)
    first, last = math.floor(low / step) * step, math.ceil(high / step) * step
    ticks = [first + i * step for i in range(int(round((last - first) / step)) + 1)]
    return ticks, first, last


def value_range(graph):
    lows = [np.nanmin(y) for _, y in graph.curves]
    highs = [np.nanmax(y) for _, y in graph.curves]
    return (min(lows), max(highs)) if lows else (0.0, 1.0)


def decades(freqs):
    """First and last decade exponent covering the positive frequencies."""
    positive = freqs[freqs > 0]
    if positive.size == 0:
        return 0, 1
    first, last = math.floor(math.log10(positive.min())), math.ceil(math.log10(positive.max()))
    return first, max(last, first + 1)


def label(value):
    return f"{value:g}"
