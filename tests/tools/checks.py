"""What the vcatool script tests share: the tool under test (the first
argument), failures collected by expect() instead of stopping at the first,
and the closing "N passed, N failed" line with the exit status."""
import subprocess
import sys

vcatool = sys.argv[1]
failures = []


def expect(what, got, want):
    if got != want:
        failures.append(f'{what}: got {got!r}, want {want!r}')


def run(*args):
    return subprocess.run([vcatool, *args], capture_output=True, text=True)


def finish():
    for failure in failures:
        print('FAIL', failure)
    print(f"{1 if not failures else 0} passed, {1 if failures else 0} failed")
    sys.exit(1 if failures else 0)
