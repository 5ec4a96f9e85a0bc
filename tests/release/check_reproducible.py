#!/usr/bin/env python3
"""Two clean builds of the same sources, in two different folders (source and build alike), must give
bit-identical setup and screen-saver executables."""
import argparse
import concurrent.futures
import hashlib
import pathlib
import sys

import pefile

from checks import check, failures
from release_build import build, copy_sources


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
    args = parser.parse_args()
    work = pathlib.Path(args.work)
    # Different depths and names, so that any path compiled in would show.
    places = [work / "one" / "src", work / "second-place" / "nested" / "marigold-source"]
    trees = [copy_sources(args.source, place) for place in places]
    with concurrent.futures.ThreadPoolExecutor(len(trees)) as pool:
        builds = list(pool.map(lambda tree: build(tree, tree.parent / "build", args.arch, "-DMARIGOLD_SIGN_CERT="),
                               trees))
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
