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


def gtest_counts(path):
    ran = [c for c in ET.parse(path).getroot().iter("testcase")
           if c.get("result") != "skipped" and c.get("status") != "notrun"]
    return len(ran), sum(map(broken, ran))


def coverage_passed(results):
    try:
        with open(os.path.join(results, "coverage.json")) as summary:
            percent = float(json.load(summary)["line_percent"])
    except (OSError, ValueError, KeyError):
        print("coverage: not measured (gcovr wrote no summary)")
        return False
    print(f"coverage: {percent:.1f} % of lines of the platform-free library")
    return percent >= 90.0


total_passed, total_failed = 0, int(sys.argv[1])
for build_dir in sys.argv[2:]:
    tier, results = os.path.basename(build_dir), os.path.join(build_dir, "test-results")
    junit = os.path.join(results, "ctest.xml")
    passed, failed, names = 0, 0, []
    for test in ET.parse(junit).getroot().iter("testcase") if os.path.exists(junit) else []:
        test_failed = test.get("status") not in ("run", "passed") or broken(test)
        gtest = os.path.join(results, test.get("name") + ".xml")
        ran, fails = gtest_counts(gtest) if os.path.exists(gtest) else (1, int(test_failed))
        passed += ran - fails
        failed += max(fails, int(test_failed))
        names += [f"{tier}/{test.get('name')}"] if test_failed else []
    if tier == "native" and os.path.exists(junit):
        covered = coverage_passed(results)
        passed, failed = passed + covered, failed + (not covered)
        names += [] if covered else [f"{tier}/coverage"]
    print(f"{tier}: {passed} passed, {failed} failed" + (f" ({', '.join(names)})" if names else ""))
    total_passed, total_failed = total_passed + passed, total_failed + failed
print(f"{total_passed} passed, {total_failed} failed")
sys.exit(1 if total_failed else 0)
