#!/usr/bin/env python3
"""Encodes the store operations of the scenario scripts as inputs of the stores fuzz target.

Usage: make_store_seeds.py SCRIPT... OUTPUT_FOLDER. Each script gives one seed of the same
name. The tables below mirror those of fuzz/StoreTarget.cpp; a text not in a table takes the
nearest entry (the first one), which keeps the shape of the script if not every detail.
"""
import os
import re
import sys

SPECS = ["doc:one", "doc:two", "doc:empty", "doc:odd", "doc:missing", "", "/scratch"]
FLAGS = [0, 0x2, 0x10, 0x12, 0x2000, 0x4, 0x6, -1]
NAMES = ["System.Title", "System.Rating", "System.Keywords", "System.Subject", "System.Size",
         "System.Comment", "System.NoSuch", "", "system.title", "System.DateModified",
         "System.Author", "System.Category"]
VALUES = ["x", "", "Changed", "75", "abc", "1;2", "2024-01-31T14:05:09Z", "-1", "\\uD800",
          "a; b; ;c"]
READ_FLAGS = [0, 0x10000, 1, 0x3F, -1]
FAILURES = ["unfail", "open", "open", "GetCount", "GetAt", "GetAt", "GetValue", "SetValue",
            "SetValue", "Commit", "Commit", "PSGetNameFromPropertyKey",
            "PSGetNameFromPropertyKey", "PSFormatForDisplayAlloc", "PSFormatForDisplayAlloc",
            "PSGetPropertyKeyFromName", "PSGetPropertyDescriptionByName", "GetDisplayName",
            "GetDisplayName", "PSGetPropertyDescriptionByName", "GetCount", "unfail"]
SINGLE = {"vtocloseps": 1, "vtocommitchanges": 5, "vtoispsdirty": 6, "vtoispsvalid": 7,
          "vtogetfilespec": 8, "vtogetgpsflags": 9}


def index(table, value):
    return table.index(value) if value in table else 0


def number(text):
    try:
        return int(text, 0)
    except ValueError:
        return 0


def spec_index(text):
    if text.startswith("/"):
        return SPECS.index("/scratch")
    if text in SPECS:
        return SPECS.index(text)
    return 0 if text.startswith("doc:") else 4


def arguments(text):
    return [a.strip() for a in re.findall(r'"(?:[^"\\]|\\.)*"|[^,]+', text)]


def unquote(text):
    return text[1:-1] if len(text) >= 2 and text[0] == '"' and text[-1] == '"' else None


def encode(script):
    handles = {}
    out = bytearray()

    def handle(word):
        if word in handles:
            return handles[word]
        return number(word) % 8

    for line in script.splitlines():
        line = line.strip()
        if line.startswith("@standin fail"):
            point = line.split()[2]
            out += bytes([11, FAILURES.index(point) if point in FAILURES else 0])
            continue
        if line.startswith("@standin unfail"):
            out += bytes([11, 0])
            continue
        m = re.match(r'(?:(\w+)\s*=\s*)?(vto\w+)\((.*)\)\s*$', line)
        if not m:
            continue
        variable, function, args = m.group(1), m.group(2).lower(), arguments(m.group(3))
        texts = [unquote(a) for a in args]
        if function == "vtoopenps" and len(args) == 2 and texts[0] is not None:
            out += bytes([0, spec_index(texts[0]), index(FLAGS, number(args[1]))])
            if variable:
                handles[variable] = len(handles) + 1
        elif function in SINGLE and len(args) == 1:
            out += bytes([SINGLE[function], handle(args[0])])
        elif function == "vtogetpropertynames" and len(args) == 2:
            out += bytes([2, handle(args[0]), number(args[1]) % 3])
        elif function == "vtogetpropertyvalue" and len(args) == 3:
            out += bytes([3, handle(args[0]), index(NAMES, texts[1]),
                          index(READ_FLAGS, number(args[2]))])
        elif function == "vtosetpropertyvalue" and len(args) == 3:
            out += bytes([4, handle(args[0]), index(NAMES, texts[1]), index(VALUES, texts[2])])
        elif function == "vtogetpropertydescription" and len(args) == 1:
            out += bytes([10, index(NAMES, texts[0])])
    return bytes(out)


def main():
    *scripts, folder = sys.argv[1:]
    for script in scripts:
        with open(script, encoding="utf-8") as stream:
            seed = encode(stream.read())
        if seed:
            name = os.path.splitext(os.path.basename(script))[0]
            with open(os.path.join(folder, name), "wb") as stream:
                stream.write(seed)


if __name__ == "__main__":
    main()
