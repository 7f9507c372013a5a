#!/usr/bin/env python3
"""The README runner's own parts: marks, comparison, the diff a maintainer
reads and the update it writes."""

import contextlib
import io
import pathlib
import shutil
import sys
import tempfile
import unittest
import unittest.mock

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
import readme_examples as runner  # noqa: E402


class Comparison(unittest.TestCase):
    CASES = [
        # (README lines, output lines, diff or None for a match)
        (["a", "b"], ["a", "b"], None),
        (["a  "], ["a"], None),  # trailing spaces
        (["Time 6.78e-05 s: rest 1.2 s"], ["Time 3e-06 s: rest 0.25 s"], None),
        (["file /tmp/quillon-Ab12Cd.json"], ["file /tmp/quillon-zZ9q0x.json"], None),
        (["...", "Status ok", "..."], ["log", "log", "Status ok", "x"], None),
        (["...", "Status ok"], ["Status ok"], None),  # "..." may stand for nothing
        (["a", "...", "z"], ["a", "z"], None),
        (["a", "b"], ["a", "c"], "  a\n- b\n+ c"),
        (["a", "b", "c"], ["a", "c"], "  a\n- b\n  c"),
        (["a", "c"], ["a", "b", "c"], "  a\n+ b\n  c"),
        (["a", "b", "c"], ["a", "B", "C"], "  a\n- b\n- c\n+ B\n+ C"),
        (["...", "Status ok", "t"], ["l1", "l2", "Status bad", "t"],
         "  ... (2 lines)\n- Status ok\n+ Status bad\n  t"),
        (["Time 1 s"], ["Time 1 s", "extra"], "  Time 1 s\n+ extra"),
    ]

    def test_blocks_match_or_give_a_readable_diff(self):
        for shown, actual, diff in self.CASES:
            with self.subTest(shown=shown, actual=actual):
                self.assertEqual(runner.difference(shown, actual), diff)

    def test_an_update_keeps_matching_lines_and_ellipses(self):
        shown = ["...", "Status ok", "Time 1 s", "a 1", "..."]
        actual = ["log", "Status bad", "Time 2 s", "a 1", "b 2"]
        self.assertEqual(runner.updated(shown, actual),
                         ["...", "Status bad", "Time 1 s", "a 1", "..."])
        self.assertEqual(runner.updated(["x", "y"], ["x"]), ["x"])


class Marks(unittest.TestCase):
    README = """Text.

<!-- readme: file t.eq -->
```
var x
```

<!-- readme: setup printf 'a\\n' > a.txt -->
<!-- readme: output quillon solve t.eq
  --fix x=1 -->
```
out
```

<!-- readme: not run: the grammar -->
```
g
```

```
unmarked
```
"""

    def test_marks_attach_to_the_block_after_them(self):
        blocks = runner.read_blocks(self.README.split("\n"))
        self.assertEqual([(b.kind, b.argument) for b in blocks], [
            ("file", "t.eq"), ("setup", "printf 'a\\n' > a.txt"),
            ("output", "quillon solve t.eq\n  --fix x=1"), ("not run", "the grammar"),
            ("unmarked", "")])
        self.assertEqual([b.lines for b in blocks], [["var x"], [], ["out"], ["g"], ["unmarked"]])
        self.assertEqual(blocks[0].line, 4)

    def test_faulty_marks_are_refused(self):
        for text, message in [
            ("<!-- readme: outptu x -->\n```\n```", "is no mark"),
            ("<!-- readme: file -->\n```\n```", "needs what follows it"),
            ("<!-- readme: run -->\ntext\n```\n```", "not followed by a block"),
            ("<!-- readme: run -->\n<!-- readme: run -->\n```\n```", "two marks"),
            ("<!-- readme: run\n```\n```", "never closes"),
        ]:
            with self.subTest(text=text):
                with self.assertRaisesRegex(runner.ReadmeError, message):
                    runner.read_blocks(text.split("\n"))

    def test_commands_of_a_shell_block(self):
        self.assertEqual(runner.commands_of([
            "quillon build t.eq -o t.json   # the model file",
            "# a comment alone",
            "",
            "quillon sweep t.json --vary 'x[*]=1:2:1' \\",
            "        --output y",
        ]), ["quillon build t.eq -o t.json", "quillon sweep t.json --vary 'x[*]=1:2:1' --output y"])

    def test_session_parts(self):
        self.assertEqual(runner.session_parts(["$ a", "1", "2", "$ b", "$ c", "3"]),
                         [("a", ["1", "2"]), ("b", []), ("c", ["3"])])


class Update(unittest.TestCase):
    # `quillon` is echo here, so each block's output is its command's words.
    README = """<!-- readme: output quillon one -->
```
uno
```

<!-- readme: output quillon two -->
```
dos
```

<!-- readme: output quillon three -->
```
three
```
"""

    def run_runner(self, *options):
        with tempfile.TemporaryDirectory() as folder:
            readme = pathlib.Path(folder) / "README.md"
            readme.write_text(self.README)
            arguments = ["readme_examples.py", "--readme", str(readme), "--tool",
                         shutil.which("echo"), "--python-path", "", *options]
            with unittest.mock.patch.object(sys, "argv", arguments), \
                    contextlib.redirect_stdout(io.StringIO()) as printed:
                code = runner.main()
            return code, readme.read_text(), printed.getvalue()

    def test_update_writes_the_chosen_blocks_that_differ(self):
        for options, first, second in [
            ([], "uno", "dos"),  # a plain run writes nothing
            (["--update"], "one", "two"),
            (["--update", "7"], "uno", "two"),
            (["--update", "12"], "uno", "dos"),  # the block at 12 does not differ
        ]:
            with self.subTest(options=options):
                code, text, printed = self.run_runner(*options)
                self.assertEqual(code, 1)
                self.assertEqual(text, self.README.replace("uno", first).replace("dos", second))
                self.assertIn("1 passed, 2 failed", printed)
        self.assertIn("--update 2 7", self.run_runner()[2])
        self.assertIn("no block that differs starts at line 12",
                      self.run_runner("--update", "12")[2])


if __name__ == "__main__":
    unittest.main()
