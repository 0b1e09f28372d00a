#!/usr/bin/env python3
"""Counts the tests of every tier: the cases of each GoogleTest binary from the XML it wrote,
and each other CTest test as one. A binary that failed (crashed, leaked, timed out) without
a failing case in its XML counts one failure more, so nothing fails silently. The line
coverage of the platform-free library, which gcovr wrote beside the native results, is printed
and counts as one test more: failed below MIN_LINE_COVERAGE, or when it is missing."""
import argparse
import json
import os
import sys
import xml.etree.ElementTree as ET

MIN_LINE_COVERAGE = 90.0


def gtest_counts(path):
    root = ET.parse(path).getroot()
    passed = failed = 0
    for case in root.iter("testcase"):
        if case.get("result") == "skipped" or case.get("status") == "notrun":
            continue
        if case.find("failure") is not None or case.find("error") is not None:
            failed += 1
        else:
            passed += 1
    return passed, failed


def tier_counts(build_dir):
    results = os.path.join(build_dir, "test-results")
    junit = os.path.join(results, "ctest.xml")
    if not os.path.exists(junit):
        return 0, 0, []
    passed = failed = 0
    failures = []
    for case in ET.parse(junit).getroot().iter("testcase"):
        name = case.get("name")
        ctest_failed = case.get("status") not in ("run", "passed") or case.find("failure") is not None
        gtest_xml = os.path.join(results, name + ".xml")
        if os.path.exists(gtest_xml):
            p, f = gtest_counts(gtest_xml)
            if ctest_failed and f == 0:
                f = 1
            passed += p
            failed += f
        elif ctest_failed:
            failed += 1
        else:
            passed += 1
        if ctest_failed:
            failures.append(f"{os.path.basename(build_dir)}/{name}")
    return passed, failed, failures


def coverage_counts(build_dir):
    """The native tier's coverage line and its count; nothing for the Windows tiers."""
    results = os.path.join(build_dir, "test-results")
    if os.path.basename(build_dir) != "native" or not os.path.exists(os.path.join(results, "ctest.xml")):
        return 0, 0
    try:
        with open(os.path.join(results, "coverage.json")) as f:
            percent = float(json.load(f)["line_percent"])
    except (OSError, ValueError, KeyError):
        print("coverage: not measured (gcovr wrote no summary)")
        return 0, 1
    print(f"coverage: {percent:.1f} % of lines of the platform-free library")
    return (1, 0) if percent >= MIN_LINE_COVERAGE else (0, 1)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build-failures", type=int, default=0)
    parser.add_argument("build_dirs", nargs="+")
    args = parser.parse_args()
    passed, failed = 0, args.build_failures
    for build_dir in args.build_dirs:
        p, f, names = tier_counts(build_dir)
        cp, cf = coverage_counts(build_dir)
        p += cp
        f += cf
        if cf:
            names.append(f"{os.path.basename(build_dir)}/coverage")
        print(f"{os.path.basename(build_dir)}: {p} passed, {f} failed" + (f" ({', '.join(names)})" if names else ""))
        passed += p
        failed += f
    print(f"{passed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
