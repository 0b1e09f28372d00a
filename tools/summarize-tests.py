#!/usr/bin/env python3
# Counts the tests of every tier and ends with one line "N passed, N failed".
# Arguments: how many presets failed to build, then the build folders. A GoogleTest binary counts
# its cases from the XML it wrote, any other CTest test counts one, and a test that failed (crashed,
# leaked, timed out) without a failing case counts one failure, so nothing fails silently. The
# native tier's line coverage of the platform-free library counts one test more: failed below
# 90 % or when gcovr wrote no summary.
import json
import os
import sys
import xml.etree.ElementTree as ET


def broken(case):
    return case.find("failure") is not None or case.find("error") is not None


# (passed, failed) of one CTest test.
def counts(results, test):
    failed = test.get("status") not in ("run", "passed") or broken(test)
    gtest = os.path.join(results, test.get("name") + ".xml")
    if not os.path.exists(gtest):
        return int(not failed), int(failed)
    ran = [case for case in ET.parse(gtest).iter("testcase")
           if case.get("result") != "skipped" and case.get("status") != "notrun"]
    fails = sum(map(broken, ran))
    return len(ran) - fails, max(fails, int(failed))


# (passed, failed) of the coverage, which it prints.
def coverage(results):
    try:
        with open(os.path.join(results, "coverage.json")) as summary:
            percent = float(json.load(summary)["line_percent"])
    except (OSError, ValueError, KeyError):
        print("coverage: not measured (gcovr wrote no summary)")
        return 0, 1
    print(f"coverage: {percent:.1f} % of lines of the platform-free library")
    return int(percent >= 90.0), int(percent < 90.0)


tiers = [(0, int(sys.argv[1]))]
for build_dir in sys.argv[2:]:
    results = os.path.join(build_dir, "test-results")
    if os.path.exists(os.path.join(results, "ctest.xml")):
        tiers += [counts(results, test) for test in ET.parse(os.path.join(results, "ctest.xml")).iter("testcase")]
        tiers += [coverage(results)] if os.path.basename(build_dir) == "native" else []
passed, failed = map(sum, zip(*tiers))
print(f"{passed} passed, {failed} failed")
sys.exit(1 if failed else 0)
