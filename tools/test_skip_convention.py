"""The suite's skip convention end to end: Python modules run through run_unittest.py under ctest,
ctest's JUnit file, and the list that tools/test.sh prints from it (skipped_tests.py)."""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import textwrap
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))

MODULES = {
    "test_all_skip": """
        import unittest
        class T(unittest.TestCase):
            def setUp(self):
                self.skipTest("no simulator here")
            def test_a(self): pass
            def test_b(self): pass
    """,
    "test_class_skip": """
        import unittest
        class T(unittest.TestCase):
            @classmethod
            def setUpClass(cls):
                raise unittest.SkipTest("needs 32-bit code")
            def test_a(self): pass
    """,
    "test_some_skip": """
        import unittest
        class T(unittest.TestCase):
            def test_runs(self): pass
            @unittest.skip("needs a second prefix")
            def test_skips(self): pass
    """,
    "test_fails": """
        import unittest
        class T(unittest.TestCase):
            def test_a(self): self.fail("broken")
            @unittest.skip("not this one")
            def test_b(self): pass
    """,
}


@unittest.skipUnless(shutil.which("cmake") and shutil.which("ctest"), "needs cmake and ctest")
class SkipConvention(unittest.TestCase):
    def test_ctest_reports_whole_skips_as_skipped_and_the_list_names_every_reason(self):
        work = tempfile.mkdtemp(prefix="kvr_skip_")
        self.addCleanup(shutil.rmtree, work, ignore_errors=True)
        lines = ["cmake_minimum_required(VERSION 3.20)", "project(skips NONE)", "enable_testing()"]
        for name, source in MODULES.items():
            with open(os.path.join(work, name + ".py"), "w") as f:
                f.write(textwrap.dedent(source))
            lines.append(f'add_test(NAME {name} COMMAND "{sys.executable}" "{HERE}/run_unittest.py" {name} '
                         f'WORKING_DIRECTORY "{work}")')
            lines.append(f"set_tests_properties({name} PROPERTIES SKIP_RETURN_CODE 77)")
        with open(os.path.join(work, "CMakeLists.txt"), "w") as f:
            f.write("\n".join(lines) + "\n")
        build, junit = os.path.join(work, "build"), os.path.join(work, "native.xml")
        subprocess.run(["cmake", "-S", work, "-B", build], check=True, capture_output=True)
        env = dict(os.environ, PYTHONDONTWRITEBYTECODE="1")
        run = subprocess.run(["ctest", "--test-dir", build, "--output-junit", junit], capture_output=True,
                             text=True, env=env)

        status = dict(re.findall(r"Test +#\d+: (\S+) \.+ *(?:\*\*\*)?(\w+)", run.stdout))
        self.assertEqual(status, {"test_all_skip": "Skipped", "test_class_skip": "Skipped",
                                  "test_some_skip": "Passed", "test_fails": "Failed"}, run.stdout)
        self.assertNotEqual(run.returncode, 0)

        listed = subprocess.run([sys.executable, os.path.join(HERE, "skipped_tests.py"), junit],
                                capture_output=True, text=True, check=True).stdout.splitlines()
        self.assertEqual(listed, [
            "== skipped tests (2)",
            "  native: test_all_skip: test_all_skip.T.test_a: no simulator here",
            "  native: test_all_skip: test_all_skip.T.test_b: no simulator here",
            "  native: test_class_skip: setUpClass (test_class_skip.T): needs 32-bit code",
            "== skipped cases in tests that ran (2)",
            "  native: test_some_skip: test_some_skip.T.test_skips: needs a second prefix",
            "  native: test_fails: test_fails.T.test_b: not this one",
        ])


if __name__ == "__main__":
    unittest.main()
