#!/usr/bin/env python3
"""cp932-escape.py SOURCE_DIR OUTPUT_DIR: copies the C++ sources and headers
below SOURCE_DIR to OUTPUT_DIR with every non-ASCII character written as the
octal escapes of its cp932 bytes, for compilers without -fexec-charset=CP932
(clang, which the fuzz build uses). Octal, because a hex escape would take up
the digits after it. Only string and character literals hold such characters
where they matter; in comments the escapes are harmless. Files whose output
would not change are left alone, so that builds stay incremental."""
import pathlib
import sys


def escape(text):
    out = []
    for ch in text:
        if ord(ch) < 0x80:
            out.append(ch)
        else:
            out.append("".join("\\%03o" % b for b in ch.encode("cp932")))
    return "".join(out)


def main():
    source, output = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
    for path in sorted(source.rglob("*")):
        if path.suffix not in (".cpp", ".h") or not path.is_file():
            continue
        target = output / path.relative_to(source)
        escaped = escape(path.read_text(encoding="utf-8")).encode("ascii")
        if target.exists() and target.read_bytes() == escaped:
            continue
        target.parent.mkdir(parents=True, exist_ok=True)
        target.write_bytes(escaped)


main()
