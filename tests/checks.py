"""Checks for the test scripts that drive Windows programs: each check is reported, a failed one is
remembered, and the script fails at the end when any did (so one run shows every fault, not the first)."""

failures = []


def check(condition, message):
    print(("ok   " if condition else "FAIL ") + message, flush=True)
    if not condition:
        failures.append(message)
    return condition
