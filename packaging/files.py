"""Writing the downloads' small files."""

import os
from pathlib import Path


def write_atomically(path, data):
    """Writes the bytes beside `path` first and renames them into place, so a
    failed run never leaves a half-written file under the final name."""
    path = Path(path)
    path.parent.mkdir(parents=True, exist_ok=True)
    partial = path.with_name(path.name + ".part")
    partial.write_bytes(data)
    os.replace(partial, path)
    return path
