#!/bin/sh
# The web browser of the Wine prefixes that the project's own runs use: it
# records each address it is asked to open, one per line, instead of opening
# it, so nothing leaves this machine and tests can read what was opened.
printf '%s\n' "$1" >>"${WINEPREFIX:?}/opened-urls.txt"
