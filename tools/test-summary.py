#!/usr/bin/env python3
"""The closing table of tools/test.sh: each step's passed, failed and not-run tests, read from the
JUnit files ctest wrote, the names of what failed or did not run, and one closing line. Exits 1 when
anything failed or did not run, 0 otherwise."""

import argparse
import sys
import xml.etree.ElementTree as ElementTree


def read_step(text):
    """A --step argument: name, junit file, what stopped the step, how many tests it held."""
    fields = (text.split("\t") + ["", "", ""])[:4]
    name, junit, stopped, count = fields
    return name, junit, stopped, count


def outcomes(junit):
    """(passed, failed, not run, skipped) name lists of one ctest JUnit file."""
    passed, failed, not_run, skipped = [], [], [], []
    for case in ElementTree.parse(junit).getroot().iter("testcase"):
        name = case.get("name", "?")
        status = case.get("status", "")
        if status == "run":
            passed.append(name)
        elif status == "fail":
            failed.append(name)
        elif status == "disabled":
            skipped.append(name)
        elif status == "notrun":
            # ctest says "notrun" both for a test that skipped itself on purpose and for one that
            # could not start (missing program, failed fixture); only the first is not a fault.
            skipped_element = case.find("skipped")
            message = skipped_element.get("message", "") if skipped_element is not None else ""
            (skipped if message.startswith("SKIP_") else not_run).append(name)
        else:
            not_run.append(name)
    return passed, failed, not_run, skipped


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--step", action="append", default=[], help="name<TAB>junit<TAB>stopped<TAB>count")
    parser.add_argument("--skipped", type=int, default=0, help="tests this host leaves out on purpose")
    parser.add_argument("--note", default="", help="why those tests were left out")
    arguments = parser.parse_args()

    rows = []
    failed_names, not_run_names = [], []
    totals = {"passed": 0, "failed": 0, "not run": 0, "skipped": arguments.skipped}
    for name, junit, stopped, count in map(read_step, arguments.step):
        if junit and not stopped:
            passed, failed, not_run, skipped = outcomes(junit)
            rows.append((name, str(len(passed)), str(len(failed)), str(len(not_run)), ""))
            failed_names += failed
            not_run_names += not_run
            totals["passed"] += len(passed)
            totals["failed"] += len(failed)
            totals["not run"] += len(not_run)
            totals["skipped"] += len(skipped)
        else:
            held = int(count) if count.isdigit() else 0
            rows.append((name, "-", "-", count if count else "all", stopped))
            not_run_names.append(f"{name} ({stopped})")
            totals["not run"] += max(held, 1)

    header = ("step", "passed", "failed", "not run", "")
    widths = [max(len(row[i]) for row in rows + [header]) for i in range(4)]
    print()
    print("Summary")
    for row in [header] + rows:
        line = row[0].ljust(widths[0]) + "".join("  " + row[i].rjust(widths[i]) for i in range(1, 4))
        print((line + ("  " + row[4] if row[4] else "")).rstrip())
    for name in failed_names:
        print(f"failed: {name}")
    for name in not_run_names:
        print(f"not run: {name}")
    if arguments.note:
        print(arguments.note)
    unsuccessful = totals["failed"] + totals["not run"]
    print(f"Tests: {totals['passed']} passed, {unsuccessful} failed, {totals['skipped']} skipped")
    return 1 if unsuccessful else 0


if __name__ == "__main__":
    sys.exit(main())
