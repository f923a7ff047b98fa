#!/usr/bin/env python3
"""Runs quillery-cli --format markdown, html and csv on every real device file
and the samples, and checks each output against the JSON export of the same
run: the CSV row for row and field for field, the reading page as strict
HTML5 with a quote per highlight, the Markdown files' front matter and the
block id of every entry."""
import csv
import io
import json
import pathlib
import re
import subprocess
import sys
import tempfile

import html5lib
import yaml


def export(cli, source, out, form):
    folder = subprocess.run([cli, "-q", "--bookmarks", "--format", form, "-o", out, str(source)],
                            check=True, capture_output=True, text=True).stdout.strip()
    return pathlib.Path(folder)


def csv_problems(folder, books):
    data = (folder / "clippings.csv").read_bytes()
    if not data.startswith(b"\xef\xbb\xbf"):
        return ["clippings.csv has no byte-order mark"]
    rows = list(csv.reader(io.StringIO(data[3:].decode("utf-8"), newline="")))
    expected = [["title", "authors", "kind", "text", "note", "page", "location_start", "location_end", "added",
                 "id"]]
    for book in books:
        for e in book["entries"]:
            location = e["location"] or {"start": "", "end": ""}
            expected.append([book["title"], "; ".join(book["authors"]), e["kind"], e["text"], e["note"] or "",
                             e["page"] or "", str(location["start"]), str(location["end"]), e["added"] or "",
                             e["id"]])
    return [] if rows == expected else ["clippings.csv differs from the entries"]


def html_problems(folder, books):
    data = (folder / "index.html").read_bytes()
    try:
        html5lib.HTMLParser(strict=True).parse(data)
    except Exception as error:  # html5lib's ParseError and what it raises on bad input alike
        return [f"index.html: {error}"]
    highlights = sum(1 for b in books for e in b["entries"] if e["kind"] == "highlight")
    problems = []
    if data.count(b"<blockquote>") != highlights:
        problems.append(f"index.html has {data.count(b'<blockquote>')} quotes for {highlights} highlights")
    if data.count(b"<section id=") != len(books):
        problems.append("index.html has a section per book wrong")
    return problems


def markdown_problems(folder, books):
    files = sorted(folder.glob("*.md"))
    if len(files) != len(books):
        return [f"{len(files)} Markdown files for {len(books)} books"]
    counts = sorted((b["title"], sum(e["kind"] == "highlight" for e in b["entries"]),
                     sum((e["kind"] == "note") + (e["note"] is not None) for e in b["entries"])) for b in books)
    found, ids = [], set()
    for f in files:
        text = f.read_text(encoding="utf-8")
        matter = yaml.safe_load(text[4:text.index("\n---\n", 3)])
        found.append((matter["title"], matter["highlights"], matter["notes"]))
        ids.update(re.findall(r" ?\^([0-9a-f]{16})$", text, re.M))
    problems = [] if sorted(found) == counts else ["the Markdown front matter differs from the books"]
    missing = {e["id"] for b in books for e in b["entries"]} - ids
    if missing:
        problems.append(f"{len(missing)} entries have no block id in the Markdown")
    return problems


def check(cli, source):
    with tempfile.TemporaryDirectory() as out:
        books = json.loads((export(cli, source, out, "json") / "clippings.json").read_text("utf-8"))["books"]
        problems = (csv_problems(export(cli, source, out, "csv"), books)
                    + html_problems(export(cli, source, out, "html"), books)
                    + markdown_problems(export(cli, source, out, "markdown"), books))
    print(f"{source.name}: {len(books)} books, {sum(len(b['entries']) for b in books)} entries")
    return [f"{source.name}: {p}" for p in problems]


def main():
    cli, root = sys.argv[1], pathlib.Path(sys.argv[2])
    sources = sorted((root / "tests" / "data" / "corpus").glob("*.txt")) + sorted((root / "data" / "sample").iterdir())
    problems = [p for source in sources for p in check(cli, source)]
    for problem in problems:
        print(problem, file=sys.stderr)
    print(f"{len(problems)} problems in {len(sources)} files")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
