#!/usr/bin/env python3
"""Puts the page together into one file: the style, the engine (JavaScript with the WebAssembly inside)
and the page's script, each where its marker stands in the template.

    assemble.py TEMPLATE STYLE ENGINE SCRIPT OUTPUT
"""
import sys

template, style, engine, script, output = sys.argv[1:]


def read(path):
    with open(path, encoding="utf-8") as f:
        return f.read()


page = read(template)
for marker, path in (("/*@STYLE@*/", style), ("/*@ENGINE@*/", engine), ("/*@SCRIPT@*/", script)):
    content = read(path)
    # An inline script ends at the first "</script", wherever it stands.
    if "</script" in content.lower():
        sys.exit(f"assemble.py: {path} contains </script")
    if page.count(marker) != 1:
        sys.exit(f"assemble.py: {template} must hold {marker} once")
    page = page.replace(marker, content)
with open(output, "w", encoding="utf-8") as f:
    f.write(page)
