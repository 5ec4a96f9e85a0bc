#!/usr/bin/env python3
"""A signed build, the way a publisher makes one: a throwaway code-signing certificate made here
(openssl), a fresh build given it, and the result read back with osslsigncode and pefile. The saver and
the uninstaller are signed before the setup embeds them; the setup is signed last. With --e2e, the signed setup also runs
under Wine, where the signed saver inside it must still compare by version as before."""
import argparse
import hashlib
import pathlib
import re
import subprocess
import sys

import pefile

HERE = pathlib.Path(__file__).resolve().parent
from checks import check, failures
from pe_check import resource
from release_build import build

RT_RCDATA = 10
PAYLOADS = {"saver": 129, "uninstaller": 130}
DESCRIPTIONS = {"setup": "Marigold Screen Saver Setup", "saver": "Marigold Screen Saver",
                "uninstaller": "Marigold Screen Saver Uninstall"}


def make_certificate(folder, name):
    key, cert = folder / f"{name}.key.pem", folder / f"{name}.cert.pem"
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-sha256", "-days", "30",
                    "-subj", f"/CN={name}", "-keyout", str(key), "-out", str(cert),
                    "-addext", "keyUsage=critical,digitalSignature",
                    "-addext", "extendedKeyUsage=codeSigning"], check=True, capture_output=True)
    return cert, key


def verify(path, ca):
    done = subprocess.run(["osslsigncode", "verify", "-CAfile", str(ca), "-in", str(path)], capture_output=True, text=True)
    return done.returncode == 0 and "Signature verification: ok" in done.stdout, done.stdout + done.stderr


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--source", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--arch", required=True)
    parser.add_argument("--unsigned-saver", required=True, help="the saver of the ordinary (unsigned) build")
    parser.add_argument("--e2e", nargs=argparse.REMAINDER,
                        help="the end-to-end script and its arguments, without --setup, --saver and --scenario")
    args = parser.parse_args()
    work = pathlib.Path(args.work)
    work.mkdir(parents=True, exist_ok=True)
    cert, key = make_certificate(work, "Marigold Test Publisher")
    stranger, stranger_key = make_certificate(work, "Somebody Else")

    products = build(args.source, work / "build", args.arch, f"-DMARIGOLD_SIGN_CERT={cert}", f"-DMARIGOLD_SIGN_KEY={key}")
    for name, path in products.items():
        ok, output = verify(path, cert)
        check(ok, f"the {name} carries a valid signature by the test certificate")
        check(f"Text description: {DESCRIPTIONS[name]}" in output, f"the {name}'s signature names it {DESCRIPTIONS[name]!r}")
        check(not verify(path, stranger)[0], f"the {name}'s signature does not verify against another certificate")
        checked = subprocess.run([sys.executable, str(HERE.parent / "pe_check.py"), "--machine", args.arch,
                                  "--subsystem", "GUI", "--product", name, "--signed", "yes", str(path)],
                                 capture_output=True, text=True)
        check(checked.returncode == 0, f"the signed {name} passes the PE checks: {checked.stdout.strip()}")

    setup = pefile.PE(str(products["setup"]))
    for name, payload in PAYLOADS.items():
        inside = resource(setup, RT_RCDATA, payload)
        check(inside == products[name].read_bytes(), f"the setup carries the signed {name}, byte for byte")
    stripped = work / "stripped.scr"
    stripped.unlink(missing_ok=True)  # osslsigncode does not overwrite the one of an earlier run
    subprocess.run(["osslsigncode", "remove-signature", "-in", str(products["saver"]), "-out", str(stripped)],
                   capture_output=True, check=False)
    unsigned = pathlib.Path(args.unsigned_saver).read_bytes()
    check(stripped.exists() and stripped.read_bytes() == unsigned,
          "without its signature the saver is the ordinary build's, byte for byte "
          f"({hashlib.sha256(unsigned).hexdigest()[:16]})")

    if args.e2e:
        script, *rest = args.e2e
        for scenario in ("newer-kept", "older-replaced"):
            done = subprocess.run([sys.executable, script, *rest, "--setup", str(products["setup"]),
                                   "--saver", str(products["saver"]), "--scenario", scenario, "--label", "signed"],
                                  capture_output=True, text=True)
            print(done.stdout + done.stderr)
            check(done.returncode == 0 and re.search(rf"^{scenario}: passed", done.stdout, re.M),
                  f"the signed setup under Windows: {scenario}")

    # A key that does not belong to the certificate: the build fails, and leaves no unsigned saver that
    # a later build would take for finished.
    reconfigured = subprocess.run(["cmake", f"-DMARIGOLD_SIGN_KEY={stranger_key}", str(work / "build")],
                                  capture_output=True, text=True)
    check(reconfigured.returncode == 0, "the build takes another key")
    for attempt in ("first", "second"):
        failed = subprocess.run(["cmake", "--build", str(work / "build"), "--target", "setup"], capture_output=True, text=True)
        check(failed.returncode != 0 and "Signing" in failed.stdout + failed.stderr,
              f"signing with a key that is not the certificate's fails the build ({attempt} attempt)")
        check(not products["saver"].exists(), f"no unsigned saver is left behind ({attempt} attempt)")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
