"""Writes the sample reading page and parses it as a strict HTML5 parser:
any parse error fails."""
import subprocess
import sys
import tempfile

import html5lib

writer = sys.argv[1]
with tempfile.TemporaryDirectory() as folder:
    subprocess.run([writer, folder], check=True)
    with open(folder + "/page/index.html", "rb") as page:
        html5lib.HTMLParser(strict=True).parse(page)
print("index.html parses as HTML5 without errors")
