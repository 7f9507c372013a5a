"""The example parameter study runs and draws its figure."""

import os
import subprocess
import sys

from conftest import EXAMPLES


def test_cstr_study_writes_a_png(tmp_path):
    output = tmp_path / "study.png"
    done = subprocess.run([sys.executable, str(EXAMPLES / "cstr_study.py"), "-o", str(output),
                           "--steps", "6"], capture_output=True, text=True, env=os.environ,
                          check=False)
    assert done.returncode == 0, done.stderr
    assert output.read_bytes()[:8] == b"\x89PNG\r\n\x1a\n"
    rows = [line.split() for line in done.stdout.splitlines()[1:-1]]
    assert len(rows) == 6 and all(row[1] != "nan" for row in rows)
