#!/usr/bin/env python3
"""Checks that check_examples.py fails on wrong pages and passes a right one."""
import os
import subprocess
import sys
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
CHECKER = os.path.join(HERE, "check_examples.py")
CORVANTE = None


def check(*arguments):
    result = subprocess.run([sys.executable, CHECKER, CORVANTE, *arguments], capture_output=True, timeout=100,
                            text=True)
    return result.returncode, result.stdout


def fixture(name):
    return os.path.join(HERE, "fixtures", name)


class CheckExamples(unittest.TestCase):
    def test_right_page_passes(self):
        status, report = check(fixture("good.md"))
        self.assertEqual(status, 0, report)
        self.assertIn("3 examples run, 1 shown only, 0 problems", report)

    def test_wrong_output_fails(self):
        status, report = check(fixture("wrong_output.md"))
        self.assertEqual(status, 1)
        self.assertIn("wrong_output.md:3: the example gives another result", report)
        self.assertIn("-dois", report)
        self.assertIn("+um", report)

    def test_unexpected_failure_fails(self):
        status, report = check(fixture("wrong_status.md"))
        self.assertEqual(status, 1)
        self.assertIn("exit status 1, expected 0", report)

    def test_example_without_output_fails(self):
        status, report = check(fixture("missing_out.md"))
        self.assertEqual(status, 1)
        self.assertIn("missing_out.md:9: ```out block without a ```cor example before it", report)

    def test_example_without_expectation_fails(self):
        status, report = check(fixture("no_expectation.md"))
        self.assertEqual(status, 1)
        self.assertIn("no_expectation.md:3: example without an ```out or ```speech block", report)

    def test_broken_links_fail(self):
        status, report = check(fixture("broken_link.md"))
        self.assertEqual(status, 1)
        self.assertIn("broken_link.md: link to #nowhere: no such heading", report)
        self.assertIn("broken_link.md: link to other.md: no such page", report)
        self.assertNotIn("a-page-with-links", report)
        self.assertNotIn("example.org", report)

    def test_too_many_unrun_examples_fail(self):
        status, report = check(fixture("good.md"), "--most-unrun", "0")
        self.assertEqual(status, 1)
        self.assertIn("1 examples are not run; at most 0 may be", report)

    def test_keyword_without_heading_fails(self):
        table = os.path.join(HERE, "fixtures", "keywords.cpp")
        status, report = check(fixture("good.md"), "--keywords", table)
        self.assertEqual(status, 1)
        self.assertIn("keyword L\u00ca has no heading", report)
        self.assertNotIn("keyword ESCREVE", report)
        self.assertNotIn("keyword LE has", report)

    def test_options_must_match_help(self):
        status, report = check(fixture("good.md"), "--help-of")
        self.assertEqual(status, 1)
        self.assertIn("option --keys of --help is not described", report)
        self.assertNotIn("option --headless of", report)


if __name__ == "__main__":
    CORVANTE = sys.argv.pop(1)
    unittest.main()
