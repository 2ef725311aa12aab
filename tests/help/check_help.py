#!/usr/bin/env python3
"""Checks of the user guide.

check_help.py pages DOCS: every href and img src of the pages in DOCS resolves to a file there,
every page is in the contents (.hhc) and in the project's file list (.hhp), and every picture a
page shows is one a screenshot session (DOCS/*screenshots.run) takes (so that
scripts/help-screenshots renews it).
check_help.py chm FILE PAGES: FILE is a compiled help file (non-empty, ITSF signature) holding
every page of the installed folder PAGES, which has the start page index.html (the pages in the
file are listed with chmls when it is installed).
check_help.py current DOCS TAKEN: the pictures in DOCS/images are current: the folder TAKEN, where
the screenshot session has just run, holds each of them at the same size (a dialog that changed
its layout changes its size).
Prints each fault and exits 1 when there is one."""
import html.parser
import os
import re
import subprocess
import sys
import urllib.parse


class Links(html.parser.HTMLParser):
    def __init__(self):
        super().__init__()
        self.links = []  # (tag, attribute, value)
        self.locals = []  # <param name="Local" value="..."> of the contents

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        for name in ("href", "src"):
            if a.get(name) is not None:
                self.links.append((tag, name, a[name]))
        if tag == "param" and (a.get("name") or "").lower() == "local":
            self.locals.append(a.get("value") or "")


def parse(path):
    parser = Links()
    with open(path, encoding="utf-8") as f:
        parser.feed(f.read())
    return parser


def check_pages(docs):
    faults = []
    pages = sorted(f for f in os.listdir(docs) if f.endswith(".html"))
    if "index.html" not in pages:
        faults.append("no start page index.html")
    shown = set()
    for page in pages:
        for tag, attr, value in parse(os.path.join(docs, page)).links:
            target = urllib.parse.urlparse(value)
            if target.scheme or value.startswith("//"):
                faults.append(f"{page}: {tag} {attr}={value!r} leaves the guide")
                continue
            if not target.path:
                continue  # a link within the page
            path = os.path.normpath(os.path.join(docs, urllib.parse.unquote(target.path)))
            if not os.path.isfile(path):
                faults.append(f"{page}: {tag} {attr}={value!r} names no file")
            elif tag == "img":
                shown.add(os.path.relpath(path, docs))

    hhc = [f for f in os.listdir(docs) if f.endswith(".hhc")]
    hhp = [f for f in os.listdir(docs) if f.endswith(".hhp")]
    if len(hhc) != 1 or len(hhp) != 1:
        return faults + [f"expected one .hhc and one .hhp, found {hhc} and {hhp}"]
    contents = parse(os.path.join(docs, hhc[0])).locals
    for local in contents:
        if not os.path.isfile(os.path.join(docs, local)):
            faults.append(f"{hhc[0]}: {local!r} names no file")
    for page in pages:
        if page not in contents:
            faults.append(f"{page} is not in the contents {hhc[0]}")

    with open(os.path.join(docs, hhp[0]), encoding="utf-8") as f:
        project = f.read()
    files = project.split("[FILES]", 1)[1].split("\n[", 1)[0].split() if "[FILES]" in project else []
    for name in files:
        if not os.path.isfile(os.path.join(docs, name)):
            faults.append(f"{hhp[0]}: {name!r} names no file")
    for name in pages + sorted(shown):
        if name not in files:
            faults.append(f"{name} is not in the file list of {hhp[0]}")
    for key in ("Contents file", "Index file", "Default topic"):
        m = re.search(rf"^{key}=(.+)$", project, re.M)
        if not m or not os.path.isfile(os.path.join(docs, m.group(1).strip())):
            faults.append(f"{hhp[0]}: {key} names no file")

    taken = set()
    for session in sorted(f for f in os.listdir(docs) if f.endswith("screenshots.run")):
        path = os.path.join(docs, session)
        if os.path.isfile(path):
            with open(path, encoding="utf-8") as f:
                taken |= {"images/" + m.group(1) for m in re.finditer(r"^screenshot\s+(\S+\.png)", f.read(), re.M)}
    for picture in sorted(shown - taken):
        faults.append(f"{picture} is shown but not taken by a screenshots session")
    images = os.path.join(docs, "images")
    for name in sorted(os.listdir(images)) if os.path.isdir(images) else []:
        if "images/" + name not in shown:
            faults.append(f"images/{name} is shown by no page")
    return faults


def check_chm(chm, pages_dir):
    if not os.path.isfile(os.path.join(pages_dir, "index.html")):
        return [f"{pages_dir} has no start page index.html for the browser"]
    if not os.path.isfile(chm) or os.path.getsize(chm) == 0:
        return [f"{chm} is missing or empty"]
    with open(chm, "rb") as f:
        if f.read(4) != b"ITSF":
            return [f"{chm} is not a compiled help file"]
    try:
        listing = subprocess.run(["chmls", "list", chm], capture_output=True, text=True, check=True).stdout
    except (OSError, subprocess.CalledProcessError):
        return []  # without chmls the signature is all that can be checked
    names = {line.split()[-1] for line in listing.splitlines() if line.strip()}
    return [f"{chm} lacks /{p}" for p in sorted(os.listdir(pages_dir))
            if p.endswith(".html") and "/" + p not in names]


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    if head[:8] != b"\x89PNG\r\n\x1a\n" or head[12:16] != b"IHDR":
        return None
    return int.from_bytes(head[16:20], "big"), int.from_bytes(head[20:24], "big")


def check_current(docs, taken):
    faults = []
    images = os.path.join(docs, "images")
    for name in sorted(os.listdir(images)):
        fresh = os.path.join(taken, name)
        if not os.path.isfile(fresh):
            faults.append(f"images/{name} was not taken by the screenshot session")
            continue
        old, new = png_size(os.path.join(images, name)), png_size(fresh)
        if old is None or old != new:
            faults.append(f"images/{name} is {old}, the window now {new}: run scripts/help-screenshots")
    return faults


def main(argv):
    if len(argv) == 3 and argv[1] == "pages":
        faults = check_pages(argv[2])
    elif len(argv) == 4 and argv[1] == "chm":
        faults = check_chm(argv[2], argv[3])
    elif len(argv) == 4 and argv[1] == "current":
        faults = check_current(argv[2], argv[3])
    else:
        print(__doc__)
        return 2
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
