#!/bin/sh
# Stands in for "objdump -p PROGRAM" in the import check's tests: PROGRAM is
# a text file that already holds such a dump, and this prints it.
exec cat "$2"
