#!/usr/bin/env python3
"""The line counts of scripts/test-share.py: what counts as a line of code in each language."""

import importlib.util
import os
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
module_source = importlib.util.spec_from_file_location(
    "test_share", os.path.join(HERE, "..", "..", "scripts", "test-share.py"))
share = importlib.util.module_from_spec(module_source)
module_source.loader.exec_module(share)


class CodeLines(unittest.TestCase):
    CASES = [
        # (suffix, text, lines of code)
        (".cpp", "int a;\n\n   \n// alone\nint b; // after code\n", 2),
        (".cpp", "/* one\n   two\n*/ int c;\n/* whole */\n", 1),
        (".cpp", 'auto u = "http://x"; /* not closed\nstill */\n', 1),
        (".cpp", "char q = '\"'; // a quote in a character\nint d;\n", 2),
        (".cpp", 'auto s = "a \\" // b";\n', 1),
        (".js", "const t = `//`;\n// note\n", 1),
        (".css", "/* theme */\nbody { margin: 0; }\n", 1),
        (".html", "<!-- a\n  b -->\n<p>x</p>\n\n", 1),
        (".sh", "#!/usr/bin/env bash\n# note\n  # indented\necho '#'\n\n", 1),
        (".cmake", "# note\nset(x 1) # after\n", 1),
        (".py", '"""doc"""\n# note\nx = "#"\n', 2),
    ]

    def test_counts_only_lines_with_code(self):
        with tempfile.TemporaryDirectory() as work:
            for suffix, text, expected in self.CASES:
                path = os.path.join(work, "file" + suffix)
                with open(path, "w", encoding="utf-8") as f:
                    f.write(text)
                with self.subTest(suffix=suffix, text=text):
                    self.assertEqual(share.code_lines(path), expected)

    def test_a_shared_file_counts_in_the_lower_tier(self):
        claims = share.Claims()
        for tier in ("system", "model", "window"):
            claims.claim("tests/support/Double.h", tier)
        self.assertEqual(claims.tier["tests/support/Double.h"], "model")


if __name__ == "__main__":
    unittest.main()
