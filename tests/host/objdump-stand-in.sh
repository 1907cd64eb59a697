#!/bin/sh
# Stands in for "objdump -p PROGRAM" in the import check's test: the import
# table of a program whose first DLL may be imported statically and whose
# second may not (cmake/StaticImports.txt). The arguments are not read.
cat <<'TABLE'
The Import Tables (interpreted .idata section contents)
 vma:            Hint    Time      Forward  DLL       First
                 Table   Stamp     Chain    Name      Thunk
 0001e000	0001e050 00000000 00000000 0001e6c4 0001e1f0

	DLL Name: KERNEL32.dll
	vma:  Hint/Ord Member-Name Bound-To
	1e390	  282  GetLastError

 0001e014	0001e0a0 00000000 00000000 0001e6e8 0001e240

	DLL Name: VERSION.dll
	vma:  Hint/Ord Member-Name Bound-To
	1e3a0	    1  GetFileVersionInfoW
TABLE
