#!/usr/bin/env python3
"""skipped_tests.py RUN.xml...: every test that was skipped, with its reason, from the JUnit files
that `ctest --output-junit` wrote (tools/test.sh, one per ctest run, named after the run).

Reasons come from the test's output: a line "skipped: <reason>" (tools/run_unittest.py prints one
per skipped Python case, a script test prints its own before exit code 77), else GoogleTest's
"Skipped" message (GTEST_SKIP() << reason). Python cases skipped inside a module whose other cases
ran are listed too, under the module. Prints nothing when nothing was skipped."""

import os
import re
import sys
import xml.etree.ElementTree as ET

_SKIP_LINE = re.compile(r"^skipped: (.+)$", re.M)
# GoogleTest: "<file>:<line>: Skipped" then the streamed reason, up to "[  SKIPPED ]".
_GTEST_SKIP = re.compile(r": Skipped\r?\n(.*?)\r?\n\[  SKIPPED \]", re.S)


def reasons(output):
    found = [m.strip() for m in _SKIP_LINE.findall(output)]
    if not found:
        found = [" ".join(m.split()) for m in _GTEST_SKIP.findall(output)]
    return [r for r in found if r] or ["(no reason given)"]


def main(paths):
    whole, partly, tests = [], [], 0
    for path in paths:
        run = os.path.splitext(os.path.basename(path))[0]
        try:
            cases = ET.parse(path).getroot().iter("testcase")
        except (OSError, ET.ParseError) as e:
            whole.append(f"{run}: results unreadable ({e})")
            continue
        for case in cases:
            output = case.findtext("system-out") or ""
            if case.find("skipped") is not None:
                tests += 1
                whole.extend(f"{run}: {case.get('name')}: {r}" for r in reasons(output))
            else:
                partly.extend(f"{run}: {case.get('name')}: {m.strip()}" for m in _SKIP_LINE.findall(output))
    if whole:
        print(f"== skipped tests ({tests})")
        print("\n".join("  " + line for line in whole))
    if partly:
        print(f"== skipped cases in tests that ran ({len(partly)})")
        print("\n".join("  " + line for line in partly))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
