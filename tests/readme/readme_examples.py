#!/usr/bin/env python3
"""The README's examples, run and compared with what the README shows.

Every fenced block of README.md carries a mark, an HTML comment just before it
(a reader of the rendered page does not see it) that says what the block is:

    <!-- readme: file NAME -->       the block is written to the file NAME
    <!-- readme: run -->             each command of the block runs and must succeed
    <!-- readme: output COMMAND -->  the block is what COMMAND writes on stdout
                                     (add 2>&1 to the command for stderr)
    <!-- readme: session -->         "$ COMMAND" lines, each followed by what it
                                     writes on stdout and stderr
    <!-- readme: python -->          the block runs as a Python script with the module
    <!-- readme: not run: WHY -->    the block is left alone, for the reason given

and `<!-- readme: setup COMMANDS -->`, with no block, runs COMMANDS at that
point without showing them. A mark may span lines. Blocks run in the README's
order in one scratch folder, where `quillon` is the build's tool and
`examples/` and `problems/` are the repository's, so a file a block writes
serves the blocks after it, as it would a reader following the text.

Shown and actual output are compared line by line after both are normalised:
seconds ("6.8e-05 s") and temporary file names are replaced by placeholders and
line ends stripped of spaces. A line "..." in the README stands for any
number of lines.

    readme_examples.py                 run every block; print a diff for each that differs
    readme_examples.py --list          list the blocks and their marks, running nothing
    readme_examples.py --update        write what the commands print into the blocks that
                                       differ (lines that match keep the README's text)
    readme_examples.py --update LINE.. the same for the blocks at those lines alone (the
                                       numbers that --list and the diffs give)

Exit code 0 when every block runs and matches, 1 otherwise.
"""

import argparse
import dataclasses
import os
import pathlib
import re
import subprocess
import sys
import tempfile

ROOT = pathlib.Path(__file__).resolve().parents[2]
MARK = re.compile(r"<!--\s*readme:\s*(.*?)\s*-->", re.DOTALL)
KINDS = ("file", "run", "output", "session", "python", "not run", "setup")
ELLIPSIS = "..."
NORMALISATIONS = [
    # Seconds, which differ from run to run: "6.78e-05 s", "0.2 s".
    (re.compile(r"\b\d+(\.\d+)?([eE][-+]?\d+)? s\b"), "<seconds> s"),
    # The private copies of models read from stdin or built from equations.
    (re.compile(r"quillon-[A-Za-z0-9]{6}\.json"), "quillon-XXXXXX.json"),
]
COMMAND_SECONDS = 300


@dataclasses.dataclass
class Block:
    """A fenced block of the README, or a setup mark (no fence)."""
    kind: str
    argument: str
    mark_line: int       # 1-based; 0: no mark
    first: int = 0       # index of the block's first line in the README's lines
    end: int = 0         # index of its closing fence
    lines: list = dataclasses.field(default_factory=list)

    @property
    def line(self):
        return self.first if self.first else self.mark_line

    def label(self):
        first, _, more = self.argument.partition("\n")
        separator = ": " if self.kind == "not run" else " "
        text = self.kind + (separator + first if first else "") + (" ..." if more else "")
        return f"README.md:{self.line}: {text}"


class ReadmeError(Exception):
    pass


def parse_mark(text, line):
    for kind in KINDS:
        if text == kind or text.startswith(kind + " ") or text.startswith(kind + ":"):
            argument = text[len(kind):].lstrip(" :").strip()
            if kind in ("file", "output", "setup", "not run") and not argument:
                raise ReadmeError(f"README.md:{line}: the mark '{kind}' needs what follows it")
            return kind, argument
    raise ReadmeError(f"README.md:{line}: '{text}' is no mark; marks are " + ", ".join(KINDS))


def read_blocks(lines):
    """The README's marks and fenced blocks, in order."""
    blocks = []
    pending = None
    index = 0
    while index < len(lines):
        line = lines[index]
        if line.startswith("<!--") and "readme:" in line:
            text, last = line, index
            while "-->" not in text and last + 1 < len(lines):
                last += 1
                text += "\n" + lines[last]
            found = MARK.search(text)
            if not found:
                raise ReadmeError(f"README.md:{index + 1}: a readme mark that never closes")
            kind, argument = parse_mark(found.group(1), index + 1)
            block = Block(kind, argument, index + 1)
            if kind == "setup":
                blocks.append(block)
            elif pending:
                raise ReadmeError(f"README.md:{index + 1}: two marks before one block")
            else:
                pending = block
            index = last + 1
            continue
        if line.startswith("```"):
            end = index + 1
            while end < len(lines) and not lines[end].startswith("```"):
                end += 1
            block = pending or Block("unmarked", "", 0)
            block.first, block.end = index + 1, end
            block.lines = lines[index + 1:end]
            blocks.append(block)
            pending = None
            index = end + 1
            continue
        if pending and line.strip():
            raise ReadmeError(f"README.md:{pending.mark_line}: a mark not followed by a block")
        index += 1
    return blocks


def normalised(line):
    for pattern, replacement in NORMALISATIONS:
        line = pattern.sub(replacement, line)
    return line.rstrip()


def align(shown, actual):
    """The cheapest alignment of the README's lines with the actual ones, as
    (mismatches, steps): each step (operation, shown index, actual index),
    operation "=" for lines that match, "-" for a README line the output
    lacks, "+" for an output line the README lacks, "..." for a README
    ellipsis and "~" for an output line it stands for."""
    rows, columns = len(shown), len(actual)
    equal = [[normalised(a) == normalised(b) for b in actual] for a in shown]

    def ellipsis(i):
        return i < rows and shown[i] == ELLIPSIS

    # cost[i][j]: of aligning shown[:i] with actual[:j], as (-matched lines,
    # changed lines): as many lines matched as can be, then as few changed (a
    # line replaced by another counting as one),
    # so that an ellipsis does not swallow a line the README shows. An
    # ellipsis at shown[i] absorbs actual lines before it is passed.
    infinity = (1, 0)
    cost = [[infinity] * (columns + 1) for _ in range(rows + 1)]
    cost[0][0] = (0, 0)
    for i in range(rows + 1):
        for j in range(columns + 1):
            matched, changed = cost[i][j]
            if cost[i][j] == infinity:
                continue
            moves = []
            if ellipsis(i):
                moves.append((i + 1, j, 0, 0))
                if j < columns:
                    moves.append((i, j + 1, 0, 0))
            else:
                if i < rows and j < columns:
                    moves.append((i + 1, j + 1, -1, 0) if equal[i][j] else (i + 1, j + 1, 0, 1))
                if i < rows:
                    moves.append((i + 1, j, 0, 1))
                if j < columns:
                    moves.append((i, j + 1, 0, 1))
            for to_i, to_j, more_matched, more_changed in moves:
                cost[to_i][to_j] = min(cost[to_i][to_j],
                                       (matched + more_matched, changed + more_changed))
    steps = []
    i, j = rows, columns
    while i > 0 or j > 0:
        matched, changed = cost[i][j]
        diagonal = i > 0 and j > 0 and not ellipsis(i - 1)
        if diagonal and equal[i - 1][j - 1] and cost[i - 1][j - 1] == (matched + 1, changed):
            steps.append(("=", i - 1, j - 1))
            i, j = i - 1, j - 1
        elif diagonal and not equal[i - 1][j - 1] and \
                cost[i - 1][j - 1] == (matched, changed - 1):
            steps += [("+", None, j - 1), ("-", i - 1, None)]
            i, j = i - 1, j - 1
        elif i > 0 and ellipsis(i - 1) and cost[i - 1][j] == (matched, changed):
            steps.append(("...", i - 1, None))
            i -= 1
        elif j > 0 and ellipsis(i) and cost[i][j - 1] == (matched, changed):
            steps.append(("~", None, j - 1))
            j -= 1
        elif i > 0 and not ellipsis(i - 1) and cost[i - 1][j] == (matched, changed - 1):
            steps.append(("-", i - 1, None))
            i -= 1
        else:
            steps.append(("+", None, j - 1))
            j -= 1
    return cost[rows][columns][1], steps[::-1]


def difference(shown, actual):
    """A diff of the README's lines (-) against the output (+), lines that
    "..." stands for counted, not shown; None when they match."""
    mismatches, steps = align(shown, actual)
    if mismatches == 0:
        return None
    # Each run of changed lines reads as the README's, then the output's.
    runs, changed = [], []
    for step in steps + [("end", None, None)]:
        if step[0] in "-+":
            changed.append(step)
            continue
        runs += sorted(changed, key=lambda change: change[0] != "-") + [step]
        changed = []
    text, absorbed = [], 0
    for operation, i, j in runs[:-1]:
        if operation == "~":
            absorbed += 1
            continue
        if absorbed:
            text.append(f"  ... ({absorbed} lines)")
            absorbed = 0
        if operation == "=":
            text.append("  " + shown[i])
        elif operation == "-":
            text.append("- " + shown[i])
        elif operation == "+":
            text.append("+ " + actual[j])
    if absorbed:
        text.append(f"  ... ({absorbed} lines)")
    return "\n".join(text)


def updated(shown, actual):
    """The block's lines made to match the output: lines that match and the
    "..." lines stay as the README writes them."""
    _, steps = align(shown, actual)
    lines = []
    for operation, i, j in steps:
        if operation in ("=", "..."):
            lines.append(shown[i])
        elif operation == "+":
            lines.append(actual[j])
    return lines


class Scratch:
    """The folder the README's commands run in, and how they run there."""

    def __init__(self, folder, tool, python, python_path):
        self.folder = pathlib.Path(folder)
        bin_folder = self.folder / ".bin"
        bin_folder.mkdir()
        (bin_folder / "quillon").symlink_to(pathlib.Path(tool).resolve())
        for shared in ("examples", "problems"):
            (self.folder / shared).symlink_to(ROOT / shared)
        self.environment = dict(os.environ, PATH=f"{bin_folder}:{os.environ['PATH']}",
                                MPLBACKEND="Agg", PYTHONDONTWRITEBYTECODE="1")
        self.python = python
        if python_path:
            self.environment["PYTHONPATH"] = str(pathlib.Path(python_path).resolve())

    def shell(self, command, with_stderr):
        done = subprocess.run(["bash", "-c", command], cwd=self.folder, env=self.environment,
                              stdout=subprocess.PIPE,
                              stderr=subprocess.STDOUT if with_stderr else subprocess.PIPE,
                              text=True, timeout=COMMAND_SECONDS, check=False)
        return done.returncode, done.stdout, done.stderr or ""

    def python_script(self, text, name):
        # From a file, as a reader would run it: worker processes that
        # start afresh (Dask's, multiprocessing's spawn) import the script.
        script = self.folder / name
        script.write_text(text)
        done = subprocess.run([self.python, script.name], cwd=self.folder,
                              env=self.environment, capture_output=True, text=True,
                              timeout=COMMAND_SECONDS, check=False)
        return done.returncode, done.stdout + done.stderr


def commands_of(lines):
    """The commands of a shell block: comments dropped, continued lines joined."""
    commands, current = [], ""
    for line in lines:
        code = re.sub(r"(^|\s)#.*$", "", line).strip()
        if code.endswith("\\"):
            current += code[:-1]
            continue
        current += code
        if current.strip():
            commands.append(current.strip())
        current = ""
    return commands


def session_parts(lines):
    """[(command, shown output lines)] of a session block."""
    parts = []
    for line in lines:
        if line.startswith("$ "):
            parts.append((line[2:], []))
        elif parts:
            parts[-1][1].append(line)
        else:
            raise ReadmeError("a session block starts with its first '$ ' command")
    return parts


def run_block(block, scratch):
    """Runs `block`; answers (problem text or None, the block's lines as the
    output would have them)."""
    if block.kind == "file":
        path = scratch.folder / block.argument
        path.write_text("\n".join(block.lines) + "\n")
        return None, block.lines
    if block.kind in ("setup", "run"):
        commands = [block.argument] if block.kind == "setup" else commands_of(block.lines)
        for command in commands:
            code, out, err = scratch.shell(command, with_stderr=False)
            if code != 0:
                return f"'{command}' exited with {code}:\n{out}{err}", block.lines
        return None, block.lines
    if block.kind == "output":
        _, out, _ = scratch.shell(block.argument, with_stderr=False)
        actual = out.splitlines()
        return difference(block.lines, actual), updated(block.lines, actual)
    if block.kind == "session":
        problems, lines = [], []
        for command, shown in session_parts(block.lines):
            _, out, _ = scratch.shell(command, with_stderr=True)
            actual = out.splitlines()
            found = difference(shown, actual)
            if found:
                problems.append(f"$ {command}\n{found}")
            lines += ["$ " + command] + updated(shown, actual)
        return ("\n".join(problems) or None), lines
    if block.kind == "python":
        code, out = scratch.python_script("\n".join(block.lines) + "\n",
                                          f"readme_{block.first}.py")
        return (f"the script exited with {code}:\n{out}" if code else None), block.lines
    return None, block.lines


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--readme", default=str(ROOT / "README.md"))
    parser.add_argument("--tool", default=str(ROOT / "build/test/bin/quillon"))
    parser.add_argument("--python", default="/usr/bin/python3",
                        help="the interpreter of python blocks")
    parser.add_argument("--python-path", default=str(ROOT / "build/test/python"),
                        help="the folder of the built module; python blocks are skipped when "
                             "it holds none")
    parser.add_argument("--list", action="store_true", help="list the blocks, run nothing")
    parser.add_argument("--update", nargs="*", type=int, metavar="LINE",
                        help="write what the commands print into the blocks that differ, or "
                             "into those of them at the LINEs given")
    arguments = parser.parse_args()

    readme = pathlib.Path(arguments.readme)
    lines = readme.read_text().split("\n")
    try:
        blocks = read_blocks(lines)
    except ReadmeError as error:
        print(error)
        return 1
    if arguments.list:
        for block in blocks:
            print(block.label())
        return 0
    failures, replacements = [], []
    with tempfile.TemporaryDirectory(prefix="quillon-readme-") as folder:
        module = arguments.python_path and any(pathlib.Path(arguments.python_path).glob("quillon*.so"))
        scratch = Scratch(folder, arguments.tool, arguments.python,
                          arguments.python_path if module else None)
        for block in blocks:
            if block.kind == "unmarked":
                failures.append(f"README.md:{block.line}: a block with no mark; put "
                                "<!-- readme: KIND --> before it (see tests/readme)")
                continue
            if block.kind == "python" and not module:
                print(f"skipped (no module): {block.label()}")
                continue
            try:
                problem, fitted = run_block(block, scratch)
            except (ReadmeError, subprocess.TimeoutExpired) as error:
                problem, fitted = str(error), block.lines
            if problem:
                failures.append(f"{block.label()}\n{problem}")
                if fitted != block.lines:
                    replacements.append((block, fitted))
            else:
                print(f"ok: {block.label()}")
    for failure in failures:
        print(f"\nDIFFERS: {failure}")
    if arguments.update is not None:
        update(readme, lines, replacements, set(arguments.update))
    elif replacements:
        print(f"\nTo write the program's output into the README: {sys.argv[0]} --update "
              "(every block that differs) or --update " +
              " ".join(str(block.line) for block, _ in replacements))
    print(f"\n{len(blocks) - len(failures)} passed, {len(failures)} failed")
    return 1 if failures else 0


def update(readme, lines, replacements, chosen):
    """Writes the program's lines into the blocks of `replacements` (those
    at the lines `chosen`, or all when none are)."""
    unknown = chosen - {block.line for block, _ in replacements}
    if unknown:
        print(f"\nno block that differs starts at line {', '.join(map(str, sorted(unknown)))}")
    written = [(block, fitted) for block, fitted in replacements
               if not chosen or block.line in chosen]
    for block, fitted in sorted(written, key=lambda pair: -pair[0].first):
        lines[block.first:block.end] = fitted
    if written:
        readme.write_text("\n".join(lines))
    print(f"\nupdated {len(written)} of the {len(replacements)} blocks that differ in {readme}")


if __name__ == "__main__":
    sys.exit(main())
