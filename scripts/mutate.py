#!/usr/bin/env python3
"""Mutation run of the host unit tests over the portable logic.

Each mutation of the table file (default tests/mutations.txt) puts one
realistic fault into one source file, alone: the original text must occur
exactly once in that file. The host unit tests are rebuilt and run; the
mutation is "killed" when the build or the tests fail, "survived" when they
pass. The file is restored after each mutation, also on Ctrl+C or a kill.

Table lines:  file @@ original text @@ replacement text
Blank lines and lines starting with "#" are skipped. "\\n" in a text stands
for a line break, "\\t" for a tab.

Usage: scripts/mutate.py [--table FILE] [--build DIR] [--only N[,N...]] [--list]
"""
import argparse
import os
import signal
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def unescape(text):
    return text.replace("\\n", "\n").replace("\\t", "\t")


def read_table(path):
    mutations = []
    with open(path, encoding="utf-8") as table:
        for number, line in enumerate(table, 1):
            line = line.rstrip("\n")
            if not line.strip() or line.lstrip().startswith("#"):
                continue
            fields = [f.strip() for f in line.split("@@")]
            if len(fields) != 3 or not fields[0] or not fields[1]:
                sys.exit(f"{path}:{number}: expected 'file @@ original @@ replacement'")
            mutations.append((number, fields[0], unescape(fields[1]), unescape(fields[2])))
    return mutations


class Restorer:
    """Puts the one mutated file back, whatever ends the run."""

    def __init__(self):
        self.path = None
        self.original = None

    def hold(self, path, original):
        self.path, self.original = path, original

    def restore(self):
        if self.path is not None:
            with open(self.path, "wb") as f:
                f.write(self.original)
            self.path = self.original = None


CHILD = []  # the build or test run in progress, for an interrupt to stop


def run(command, timeout):
    child = subprocess.Popen(command, cwd=ROOT, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                             start_new_session=True)
    CHILD[:] = [child]
    try:
        output, _ = child.communicate(timeout=timeout)
        return child.returncode, output.decode("utf-8", "replace")
    except subprocess.TimeoutExpired:
        os.killpg(child.pid, signal.SIGKILL)
        child.communicate()
        return None, "timed out"
    finally:
        CHILD.clear()


def failures(output):
    """The failed tests, once each, in the order gtest lists them."""
    failed = []
    for line in output.splitlines():
        if line.startswith("[  FAILED  ]"):
            name = line[len("[  FAILED  ]"):].strip().split(" ")[0]
            if "." in name and name not in failed:
                failed.append(name)
    return " ".join(failed)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--table", default=os.path.join(ROOT, "tests", "mutations.txt"))
    parser.add_argument("--build", default=os.path.join(os.environ.get("HX_BUILD_DIR", os.path.join(ROOT, "build")), "host"))
    parser.add_argument("--only", help="comma-separated table line numbers")
    parser.add_argument("--list", action="store_true", help="check the table and list it, change nothing")
    parser.add_argument("--timeout", type=int, default=120, help="seconds for one test run")
    args = parser.parse_args()

    mutations = read_table(args.table)
    if args.only:
        wanted = {int(n) for n in args.only.split(",")}
        mutations = [m for m in mutations if m[0] in wanted]

    # Every mutation must name one place; checked for all before any runs.
    for number, file, original, _ in mutations:
        path = os.path.join(ROOT, file)
        if not os.path.isfile(path):
            sys.exit(f"line {number}: no file {file}")
        with open(path, encoding="utf-8") as f:
            count = f.read().count(original)
        if count != 1:
            sys.exit(f"line {number}: {file}: the original text occurs {count} times, not once: {original!r}")
    if args.list:
        for number, file, original, replacement in mutations:
            print(f"{number:4}  {file}: {original!r} -> {replacement!r}")
        return 0

    restorer = Restorer()

    def interrupted(signum, _frame):
        # Restored at once; the build is left for the next run to bring up
        # to date.
        for child in CHILD:
            try:
                os.killpg(child.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
        restorer.restore()
        os._exit(128 + signum)

    for sig in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
        signal.signal(sig, interrupted)

    build = ["cmake", "--build", args.build, "--target", "unit_tests", "--", "--no-print-directory"]
    tests = [os.path.join(args.build, "tests", "unit_tests"), "--gtest_brief=1"]
    code, output = run(build, 1800)
    if code != 0:
        sys.exit("the unmutated unit tests do not build:\n" + output)
    code, output = run(tests, args.timeout)
    if code != 0:
        sys.exit("the unmutated unit tests fail:\n" + output)

    results = []
    try:
        for number, file, original, replacement in mutations:
            path = os.path.join(ROOT, file)
            with open(path, "rb") as f:
                before = f.read()
            restorer.hold(path, before)
            text = before.decode("utf-8")
            with open(path, "w", encoding="utf-8", newline="") as f:
                f.write(text.replace(original, replacement, 1))
            started = time.time()
            code, output = run(build, 1800)
            if code != 0:
                verdict, by = "killed", "build fails"
            else:
                code, output = run(tests, args.timeout)
                if code is None:
                    verdict, by = "killed", "tests time out"
                elif code != 0:
                    verdict, by = "killed", failures(output) or f"exit {code}"
                else:
                    verdict, by = "SURVIVED", ""
            restorer.restore()
            results.append((number, file, original, replacement, verdict, by))
            print(f"{number:4}  {verdict:8}  {file}: {original.strip()!r} -> {replacement.strip()!r}"
                  f"  {by}  ({time.time() - started:.0f} s)", flush=True)
    finally:
        restorer.restore()
        # Leave the build matching the restored sources.
        run(build, 1800)

    killed = sum(1 for r in results if r[4] == "killed")
    print()
    print(f"{'line':>4}  {'verdict':8}  mutation / killed by")
    for number, file, original, replacement, verdict, by in results:
        print(f"{number:4}  {verdict:8}  {file}: {original.strip()!r} -> {replacement.strip()!r}  {by}")
    if results:
        print(f"\nscore: {killed}/{len(results)} killed ({100.0 * killed / len(results):.0f} %)")
    return 0 if killed == len(results) else 1


if __name__ == "__main__":
    sys.exit(main())
