#!/usr/bin/env python3
"""The publisher's address is checked when configuring: an address that could break out of the C
string or the Internet shortcut's line, or lead anywhere but a web site, stops cmake with the reason;
the default and an ordinary address pass. A real configure shows the check comes before anything else."""
import argparse
import pathlib
import subprocess
import sys
import tempfile

from checks import check, failures

MESSAGE = "PUBLISHER_SITE_URL is not a usable web address"
BAD = {"a quote": 'https://www.lumavert.example/"a', "a backslash": "https://www.lumavert.example\\a",
       "a space": "https://www.lumavert.example/a b", "a newline": "https://www.lumavert.example\r\nURL=file:///C:/x.exe",
       "a javascript: scheme": "javascript:alert(1)", "a file: scheme": "file:///C:/x.exe", "no host": "https:///a"}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cmake", default="cmake")
    parser.add_argument("--source", required=True)
    args = parser.parse_args()
    module = str(pathlib.Path(args.source) / "cmake" / "MarigoldSiteUrl.cmake")
    run = lambda *extra: subprocess.run([args.cmake, *extra], capture_output=True, text=True)

    for given in ([], ["-DURL=http://example.org:8443/a/b?c=d&e=%20#f"]):
        result = run(*given, "-P", module)
        check(result.returncode == 0, f"{given or 'the default'} passes: {result.stderr.strip()}")
    for what, url in BAD.items():
        result = run(f"-DURL={url}", "-P", module)
        check(result.returncode != 0 and MESSAGE in result.stderr, f"an address with {what} stops cmake with the reason")
    with tempfile.TemporaryDirectory() as build:
        result = run("-S", args.source, "-B", build, f"-DPUBLISHER_SITE_URL={BAD['a quote']}")
        check(result.returncode != 0 and MESSAGE in result.stderr and "compiler identification" not in result.stdout,
              f"configuring with a bad address stops before anything else: {result.stderr.strip()[:300]}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
