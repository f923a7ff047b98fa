#!/usr/bin/env python3
"""Runs quillery-cli --format json on every real device file and the samples,
validates clippings.json against docs/clippings.schema.json, and checks that
every entry read is accounted for: written, merged, attached or dropped."""
import json
import pathlib
import subprocess
import sys
import tempfile

import jsonschema


def export(cli, source, out, *flags):
    folder = subprocess.run([cli, "-q", "--bookmarks", "--format", "json", "-o", out, *flags, str(source)],
                            check=True, capture_output=True, text=True).stdout.strip()
    return json.loads(pathlib.Path(folder, "clippings.json").read_text(encoding="utf-8"))


def check(cli, schema, source):
    with tempfile.TemporaryDirectory() as out:
        cleaned = export(cli, source, out)
        raw = export(cli, source, out, "--no-clean")
    for document in (cleaned, raw):
        jsonschema.validate(document, schema)
    s, r = cleaned["summary"], raw["summary"]
    read = r["highlights"] + r["notes"] + r["bookmarks"]
    accounted = (s["highlights"] + s["notes"] + s["bookmarks"] + s["merged"] + s["attached_notes"]
                 + s["dropped_placeholders"])
    written = [e for b in cleaned["books"] for e in b["entries"]]
    attached = sum(1 for e in written if e["note"] is not None)
    problems = []
    if read != accounted:
        problems.append(f"{read} entries read, {accounted} accounted for")
    if len(written) != s["highlights"] + s["notes"] + s["bookmarks"]:
        problems.append(f"{len(written)} entries written, the summary says otherwise")
    if attached != s["attached_notes"]:
        problems.append(f"{attached} notes attached, the summary says {s['attached_notes']}")
    if r["merged"] or r["attached_notes"] or r["dropped_placeholders"]:
        problems.append("--no-clean still cleaned")
    print(f"{source.name}: {read} read, {s['merged']} merged, {s['attached_notes']} notes attached, "
          f"{s['dropped_placeholders']} placeholders dropped")
    return [f"{source.name}: {p}" for p in problems]


def main():
    cli, root = sys.argv[1], pathlib.Path(sys.argv[2])
    schema = json.loads((root / "docs" / "clippings.schema.json").read_text(encoding="utf-8"))
    jsonschema.Draft202012Validator.check_schema(schema)
    sources = sorted((root / "tests" / "data" / "corpus").glob("*.txt")) + sorted((root / "data" / "sample").iterdir())
    problems = [p for source in sources for p in check(cli, schema, source)]
    for problem in problems:
        print(problem, file=sys.stderr)
    print(f"{len(sources) - len(problems)} passed, {len(problems)} failed")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
