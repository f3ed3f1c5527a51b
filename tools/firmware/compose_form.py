#!/usr/bin/env python3
"""Composes a stored form description from its template and the data it carries.

    compose_form.py TEMPLATE OUTPUT NAME=KIND:ARG ...

Placeholders in the template (UTF-8) and the values that replace them:
    @BINARY:NAME@    NAME=file:PATH             the file's bytes as a binary value { hex lines }
    @BINARY:NAME@    NAME=picture:CLASS:PATH    a picture value: class name (length byte first), then the bytes
    @LINES:NAME@     NAME=lines:PATH            the text file's lines as quoted string-list items
    @NAME@           NAME=text:PATH             the text file inserted as it is (empty when PATH is "-")
The output is in the program's ANSI code page (1251), as the program reads its stored forms.
"""
import re
import sys

HEX_PER_LINE = 64


def quoted(text):
    """A string value of the description: quotes doubled, control characters as #NN."""
    out, run = [], ""
    for ch in text:
        if ord(ch) < 32:
            if run:
                out.append("'" + run + "'")
                run = ""
            out.append("#%d" % ord(ch))
        else:
            run += "''" if ch == "'" else ch
    if run or not out:
        out.append("'" + run + "'")
    return "".join(out)


def binary_value(data, indent):
    digits = data.hex().upper()
    lines = [digits[i:i + HEX_PER_LINE] for i in range(0, len(digits), HEX_PER_LINE)] or [""]
    return "{\n" + "\n".join(indent + "  " + line for line in lines) + "}"


def lines_value(path, indent):
    """The items, one a line; the placeholder's own indentation starts the first."""
    with open(path, encoding="utf-8") as f:
        lines = f.read().splitlines()
    return ("\n" + indent).join(quoted(line) for line in lines)


def main():
    template_path, output_path = sys.argv[1], sys.argv[2]
    values = {}
    for arg in sys.argv[3:]:
        name, source = arg.split("=", 1)
        values[name] = source.split(":", 2) if source.startswith("picture:") else source.split(":", 1)
    with open(template_path, encoding="utf-8") as f:
        template = f.read()

    def replace(match):
        indent = re.match(r"[ ]*", template[template.rfind("\n", 0, match.start()) + 1:]).group(0)
        kind_hint, name = match.group(1), match.group(2)
        if name not in values:
            raise SystemExit("no value given for placeholder " + match.group(0))
        source = values[name]
        kind = source[0]
        if kind_hint == "BINARY" and kind == "file":
            with open(source[1], "rb") as f:
                return binary_value(f.read(), indent)
        if kind_hint == "BINARY" and kind == "picture":
            with open(source[2], "rb") as f:
                cls = source[1].encode("ascii")
                return binary_value(bytes([len(cls)]) + cls + f.read(), indent)
        if kind_hint == "LINES" and kind == "lines":
            return lines_value(source[1], indent)
        if kind_hint is None and kind == "text":
            if source[1] == "-":
                return ""
            with open(source[1], encoding="utf-8") as f:
                return f.read()
        raise SystemExit("placeholder %s does not take a %s value" % (match.group(0), kind))

    composed = re.sub(r"@(?:(BINARY|LINES):)?([A-Za-z0-9_]+)@", replace, template)
    with open(output_path, "wb") as f:
        f.write(composed.encode("cp1251"))


if __name__ == "__main__":
    main()
