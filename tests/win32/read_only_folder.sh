#!/bin/sh
# read_only_folder.sh make|remove FOLDER [QUERNEL_EXE HELP_PAGE RECORDER]
# The end-to-end tests' program folder that nobody can write, root included:
# Quernel.exe and its stand-ins in a folder marked immutable (chattr +i).
# Without that right the folder stays writable and the test says so.
set -u
folder=$2
case "$1" in
  make)
    [ -d "$folder" ] && chattr -i "$folder" 2>/dev/null
    rm -rf "$folder" && mkdir -p "$folder" || exit 1
    cp "$3" "$folder/Quernel.exe" && cp "$4" "$folder/help.htm" || exit 1
    cp "$5" "$folder/notepad.exe" && cp "$5" "$folder/explorer.exe" || exit 1
    chattr +i "$folder" 2>/dev/null || echo "read_only_folder.sh: chattr +i failed; $folder stays writable" >&2
    ;;
  remove)
    chattr -i "$folder" 2>/dev/null
    rm -rf "$folder"
    ;;
  *) exit 2 ;;
esac
exit 0
