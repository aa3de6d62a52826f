#!/usr/bin/python3
"""A table as Debian's dbfread reads it, so that tests check what our writer makes with a reader
that is not ours. Prints the version byte, each field as "field NAME TYPE LENGTH", then each
record as "live HEX" or "deleted HEX": the hexadecimal bytes of its fields in their order.

Usage: dbfdump.py TABLE.DBF
"""
import sys

from dbfread import DBF


def hex_of(record):
    return b"".join(record.values()).hex()


def main(path):
    table = DBF(path, raw=True)
    print("version %d" % table.header.dbversion)
    for field in table.fields:
        print("field %s %s %d" % (field.name, field.type, field.length))
    for record in table:
        print("live " + hex_of(record))
    for record in table.deleted:
        print("deleted " + hex_of(record))


if __name__ == "__main__":
    main(sys.argv[1])
