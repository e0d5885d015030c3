#!/usr/bin/env python3
"""Fails on an #include that runs against the folder graph of src/.

Dependencies point down: base <- datapacket <- printing <- layout <- documents;
datapacket and printing <- tabular <- activex; the service knows the windows it
opens only through its dispatch table. Engine code (anything outside a qt/ or
win/ folder and not a *_win file) includes neither Qt nor a qt/ folder.
Programs and tools (apps/, tools/) compose and may include anything.

Usage: check-layers.py [ROOT]   (ROOT defaults to the repository's top)
"""
import pathlib
import re
import sys

ALLOWED = {
    "base": {"base"},
    "datapacket": {"base", "datapacket"},
    "printing": {"base", "datapacket", "printing"},
    "layout": {"base", "datapacket", "printing", "layout"},
    "documents": {"base", "datapacket", "printing", "layout", "documents"},
    "tabular": {"base", "datapacket", "printing", "tabular"},
    "activex": {"base", "datapacket", "printing", "tabular", "activex"},
    "service": {"base", "service"},
}

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^">]+)[">]')


def is_adapter(path: pathlib.PurePath) -> bool:
    return "qt" in path.parts or "win" in path.parts or path.stem.endswith("_win")


def check(root: pathlib.Path) -> list[str]:
    problems = []
    src = root / "src"
    for path in sorted(src.rglob("*")):
        if path.suffix not in {".h", ".cpp"}:
            continue
        rel = path.relative_to(src)
        folder = rel.parts[0]
        allowed = ALLOWED.get(folder)
        if allowed is None:
            problems.append(f"src/{rel}: folder '{folder}' has no place in the layer graph")
            continue
        engine = not is_adapter(rel)
        for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
            match = INCLUDE.match(line)
            if not match:
                continue
            bracket, target = match.groups()
            where = f"src/{rel}:{number}"
            if bracket == "<":
                if engine and re.match(r"Q[A-Za-z]*(/|$)", target):
                    problems.append(f"{where}: engine code includes Qt <{target}>")
                continue
            parts = pathlib.PurePosixPath(target).parts
            if len(parts) < 2 or parts[0] not in ALLOWED:
                continue  # a file beside it, or a library's own header
            if parts[0] not in allowed:
                problems.append(f"{where}: {folder} may not include {target}")
            elif engine and is_adapter(pathlib.PurePosixPath(target)):
                problems.append(f"{where}: engine code includes the adapter {target}")
    return problems


def main() -> int:
    root = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else pathlib.Path(__file__).parent.parent
    problems = check(root.resolve())
    for problem in problems:
        print(problem)
    if problems:
        print(f"{len(problems)} include(s) against the layer graph")
        return 1
    print("layers: every include follows the folder graph")
    return 0


if __name__ == "__main__":
    sys.exit(main())
