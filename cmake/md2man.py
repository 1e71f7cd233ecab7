#!/usr/bin/env python3
"""Turns the manual's Markdown into a manual page (man with tbl tables).

Handles what the manual uses: headings, paragraphs, bullet lists, tables, fenced and
indented code, inline code, bold, links and pictures (dropped).

usage: md2man.py IN.md OUT[.gz] NAME SECTION VERSION "one-line summary"
"""

import datetime
import gzip
import os
import re
import sys


def escape(text):
    text = text.replace("\\", "\\e")
    return text


def inline(text):
    """Markdown inline markup to man font changes, on escaped text."""
    text = re.sub(r"!\[[^\]]*\]\([^)]*\)", "", text)
    text = re.sub(r"\[([^\]]+)\]\([^)]*\)", r"\1", text)
    parts = re.split(r"(`[^`]*`)", text)
    out = []
    for part in parts:
        if part.startswith("`") and part.endswith("`") and len(part) >= 2:
            # Long lists may break after their commas.
            code = escape(part[1:-1]).replace("-", "\\-").replace(",", ",\\:")
            out.append("\\fB" + code + "\\fR")
        else:
            part = escape(part)
            part = re.sub(r"\*\*([^*]+)\*\*", r"\\fB\1\\fR", part)
            out.append(part)
    return "".join(out)


def line_safe(text):
    """A text line must not start with a control character."""
    if text.startswith(".") or text.startswith("'"):
        return "\\&" + text
    return text


def cells(row):
    row = row.strip()
    if row.startswith("|"):
        row = row[1:]
    if row.endswith("|"):
        row = row[:-1]
    result, cell, in_code = [], "", False
    for ch in row:
        if ch == "`":
            in_code = not in_code
        if ch == "|" and not in_code:
            result.append(cell.strip())
            cell = ""
        else:
            cell += ch
    result.append(cell.strip())
    return result


def table(rows):
    header, body = rows[0], [r for r in rows[1:] if not re.match(r"^\|?\s*:?-", r.strip())]
    columns = len(header)
    out = [".TS", "allbox tab(\t);"]
    out.append(" ".join(["lb"] * columns))
    out.append(" ".join(["l"] * (columns - 1) + ["lx"]) + ".")
    for row in [header] + [cells(r) for r in body]:
        row = (row + [""] * columns)[:columns]
        # Only long cells become text blocks, which wrap; short ones keep their width.
        out.append("\t".join("T{\n" + line_safe(inline(c)) + "\nT}" if len(c) > 24
                             else line_safe(inline(c)) for c in row))
    out.append(".TE")
    return out


def convert(lines, name, section, version, summary):
    today = os.environ.get("SOURCE_DATE_EPOCH")
    date = (datetime.datetime.utcfromtimestamp(int(today)) if today else datetime.datetime.utcnow())
    out = ["'\\\" t", '.TH "%s" "%s" "%s" "Vantrel %s" "Vantrel manual"'
           % (name.upper(), section, date.strftime("%Y-%m-%d"), version),
           ".SH NAME", "%s \\- %s" % (name, escape(summary))]
    i, n = 0, len(lines)
    paragraph = []

    def flush():
        if paragraph:
            out.append(".PP")
            # Joined first: inline code may run across the source's line breaks.
            out.append(line_safe(inline(" ".join(paragraph))))
            paragraph.clear()

    while i < n:
        line = lines[i].rstrip("\n")
        stripped = line.strip()
        if line.startswith("# "):
            flush()
            i += 1
            continue
        if line.startswith("## ") or line.startswith("### "):
            flush()
            title = line.split(" ", 1)[1].strip()
            macro = ".SH" if line.startswith("## ") else ".SS"
            out.append('%s "%s"' % (macro, inline(title.upper() if macro == ".SH" else title)))
            i += 1
            continue
        if stripped.startswith("```"):
            flush()
            i += 1
            out.extend([".PP", ".RS 4", ".nf"])
            while i < n and not lines[i].strip().startswith("```"):
                out.append(line_safe(escape(lines[i].rstrip("\n"))))
                i += 1
            out.extend([".fi", ".RE"])
            i += 1
            continue
        if line.startswith("    ") and not paragraph:
            out.extend([".PP", ".RS 4", ".nf"])
            while i < n and (lines[i].startswith("    ") or not lines[i].strip()):
                if not lines[i].strip() and (i + 1 >= n or not lines[i + 1].startswith("    ")):
                    break
                out.append(line_safe(escape(lines[i].rstrip("\n")[4:])))
                i += 1
            out.extend([".fi", ".RE"])
            continue
        if stripped.startswith("|"):
            flush()
            rows = []
            while i < n and lines[i].strip().startswith("|"):
                rows.append(lines[i].rstrip("\n"))
                i += 1
            out.extend(table([cells(rows[0])] + rows[1:]))
            continue
        if re.match(r"^\s*- ", line):
            flush()
            indent = len(line) - len(line.lstrip())
            item = [line.lstrip()[2:]]
            i += 1
            while i < n and lines[i].strip() and not re.match(r"^\s*- ", lines[i]) \
                    and lines[i].startswith(" " * (indent + 2)):
                item.append(lines[i].strip())
                i += 1
            out.append(".IP \\(bu %d" % (2 + indent))
            out.append(line_safe(inline(" ".join(item))))
            continue
        if not stripped:
            flush()
            i += 1
            continue
        if stripped.startswith("!["):
            i += 1
            continue
        paragraph.append(stripped)
        i += 1
    flush()
    return out


def main():
    if len(sys.argv) != 7:
        sys.exit(__doc__)
    source, target, name, section, version, summary = sys.argv[1:]
    with open(source, encoding="utf-8") as f:
        lines = f.readlines()
    page = convert(lines, name, section, version, summary)
    text = ("\n".join(page) + "\n").encode("utf-8")
    if target.endswith(".gz"):
        # No name and no time in the header, so that equal pages give equal files.
        with open(target, "wb") as raw, gzip.GzipFile(fileobj=raw, mode="wb", filename="",
                                                      mtime=0, compresslevel=9) as f:
            f.write(text)
    else:
        with open(target, "wb") as f:
            f.write(text)


if __name__ == "__main__":
    main()
