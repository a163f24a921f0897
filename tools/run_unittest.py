#!/usr/bin/env python3
"""`python3 -m unittest ARGS`, with the suite's skip convention: every ctest test that runs Python
tests goes through this.

- Every skipped case prints a line "skipped: <test>: <reason>" at the end, so that tools/test.sh can
  list it whatever the outcome of the rest.
- When nothing ran but skips (a module whose every case, or whose class set-up, called
  self.skipTest), the exit code is 77: ctest's SKIP_RETURN_CODE reports the test as skipped, never
  as passed.
- Failures and errors end with 1 as usual; a run that found no tests at all fails too (a typo in a
  module name must not pass).
"""

import os
import sys
import unittest

SKIP_EXIT_CODE = 77


class _Result(unittest.TextTestResult):
    passed = 0

    def addSuccess(self, test):
        super().addSuccess(test)
        self.passed += 1


class _Runner(unittest.TextTestRunner):
    resultclass = _Result


def main(argv):
    # As with `python3 -m unittest`, modules are found from the current folder.
    sys.path.insert(0, os.getcwd())
    program = unittest.main(module=None, argv=["run_unittest.py", *argv], testRunner=_Runner, exit=False)
    result = program.result
    for test, reason in result.skipped:
        print(f"skipped: {test.id()}: {reason}", flush=True)
    if not result.wasSuccessful():
        return 1
    if result.passed == 0 and not result.expectedFailures:
        if result.skipped:
            return SKIP_EXIT_CODE
        print("no tests ran", flush=True)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
