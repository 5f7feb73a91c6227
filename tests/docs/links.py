#!/usr/bin/env python3
"""The guides' links: every relative link in README.md, CONTRIBUTING.md and docs/*.md names a file
of the repository, and a link to a heading (#anchor) names a heading that file has, by the anchor
a Markdown viewer makes of it (lower case, punctuation dropped, spaces as hyphens).

Usage: links.py SOURCE_DIR. Prints each broken link with its file and line; exits 1 when there is
one, 0 otherwise."""
import pathlib
import re
import sys

LINK = re.compile(r"\]\(([^)\s]+)\)")
HEADING = re.compile(r"^#{1,6}\s+(.*?)\s*#*\s*$")
FENCE = re.compile(r"^\s*```")


def anchor(heading):
    text = re.sub(r"[`*_]", "", heading).strip().lower()
    text = re.sub(r"[^\w\- ]", "", text)
    return text.replace(" ", "-")


def lines_outside_code(path):
    in_code = False
    for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        if FENCE.match(line):
            in_code = not in_code
        elif not in_code:
            yield number, line


def anchors(path):
    return {anchor(m.group(1)) for _, line in lines_outside_code(path)
            if (m := HEADING.match(line))}


def main():
    if len(sys.argv) != 2:
        print("usage: links.py SOURCE_DIR", file=sys.stderr)
        return 2
    root = pathlib.Path(sys.argv[1]).resolve()
    guides = [root / "README.md", root / "CONTRIBUTING.md", *sorted((root / "docs").glob("*.md"))]
    broken = []
    checked = 0
    for guide in guides:
        for number, line in lines_outside_code(guide):
            for target in LINK.findall(line):
                if re.match(r"^[a-z]+:", target):  # http:, https:, mailto:
                    continue
                checked += 1
                file, _, heading = target.partition("#")
                named = (guide.parent / file).resolve() if file else guide
                where = f"{guide.relative_to(root)}:{number}: {target}"
                if root not in named.parents and named != root:
                    broken.append(f"{where} leaves the repository")
                elif not named.exists():
                    broken.append(f"{where} names no file")
                elif heading and (named.suffix != ".md" or heading not in anchors(named)):
                    broken.append(f"{where} names no heading of {named.relative_to(root)}")
    for line in broken:
        print(line)
    print(f"{checked} links checked in {len(guides)} files, {len(broken)} broken")
    return 1 if broken else 0


if __name__ == "__main__":
    sys.exit(main())
