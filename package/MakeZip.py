#!/usr/bin/env python3
"""Packs the files under a folder into a zip whose bytes depend on their names and contents
alone: entries in sorted order, each with the same time and permissions, no owner, no extra
fields, deflated at level 9.
    MakeZip.py FOLDER ZIP EPOCH"""
import os
import sys
import time
import zipfile

folder, zip_path, epoch = sys.argv[1], sys.argv[2], int(sys.argv[3])
# A zip entry's time is a local date and time from 1980 on, with no zone: it is given as UTC.
stamp = time.gmtime(max(epoch, 315532800))[:6]
names = sorted(
    os.path.relpath(os.path.join(top, name), folder).replace(os.sep, "/")
    for top, _, files in os.walk(folder)
    for name in files
)
with zipfile.ZipFile(zip_path + ".part", "w") as archive:
    for name in names:
        entry = zipfile.ZipInfo(name, stamp)
        entry.create_system = 3  # Unix, so that the permissions below mean what they say
        entry.external_attr = 0o100644 << 16
        entry.compress_type = zipfile.ZIP_DEFLATED
        with open(os.path.join(folder, name), "rb") as source:
            archive.writestr(entry, source.read(), compresslevel=9)
os.replace(zip_path + ".part", zip_path)
