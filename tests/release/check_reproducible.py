#!/usr/bin/env python3
"""Two builds of the same sources, in two different folders (source and build alike), must give
bit-identical setup, screen-saver and uninstaller executables. One of them may be the tree's own build
(--against): it was made from the checkout, in its own build folder, with the precompiled <windows.h>;
the fresh one is then made without it, so every file must also build on its own includes."""
import argparse
import concurrent.futures
import hashlib
import pathlib
import re
import sys

import pefile

from checks import check, failures
from release_build import PRODUCTS, build, copy_sources


def where_they_differ(first, second):
    """The first differing offset, and the part of the image it lies in."""
    a, b = first.read_bytes(), second.read_bytes()
    offset = next((i for i in range(min(len(a), len(b))) if a[i] != b[i]), min(len(a), len(b)))
    part = "headers"
    for section in pefile.PE(data=a).sections:
        if section.PointerToRawData <= offset < section.PointerToRawData + section.SizeOfRawData:
            part = section.Name.rstrip(b"\0").decode(errors="replace")
    return f"sizes {len(a)} and {len(b)}, first difference at 0x{offset:x} ({part})"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--source", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--arch", required=True)
    parser.add_argument("--against", help="an unsigned build folder of the checkout, compared with one fresh build")
    args = parser.parse_args()
    work = pathlib.Path(args.work)
    # Different depths and names, so that any path compiled in would show.
    places = [work / "second-place" / "nested" / "marigold-source"] + ([] if args.against else [work / "one" / "src"])
    trees = [copy_sources(args.source, place) for place in places]
    options = ["-DMARIGOLD_SIGN_CERT="]
    if args.against:  # built for the same publisher's address as the tree it is compared with
        cache = (pathlib.Path(args.against) / "CMakeCache.txt").read_text()
        options += [f"-DPUBLISHER_SITE_URL={re.search(r'^PUBLISHER_SITE_URL:STRING=(.*)$', cache, re.M).group(1)}",
                    "-DCMAKE_DISABLE_PRECOMPILE_HEADERS=ON"]
    with concurrent.futures.ThreadPoolExecutor(len(trees)) as pool:
        builds = list(pool.map(lambda tree: build(tree, tree.parent / "build", args.arch, *options), trees))
    if args.against:
        builds.append({name: pathlib.Path(args.against) / path for name, path in PRODUCTS.items()})
    for name in builds[0]:
        first, second = builds[0][name], builds[1][name]
        digests = [hashlib.sha256(path.read_bytes()).hexdigest() for path in (first, second)]
        print(f"{name}: {digests[0]}  {digests[1]}")
        check(digests[0] == digests[1],
              f"{name} is bit-identical in both builds" + ("" if digests[0] == digests[1] else
                                                           ": " + where_they_differ(first, second)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
