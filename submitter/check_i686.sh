#!/usr/bin/env bash
# Inspects the i686 build of Brisko.exe without running it (this machine
# cannot run 32-bit code): PE32 i386 console program, OrlEvt_wto imported
# from MORWICK.dll, no MinGW runtime DLL imported, icon group 102 with two
# images, and the version strings.
#
# Usage: check_i686.sh PATH/TO/Brisko.exe
# Exit status: 0 when every check holds, 1 when any check fails, 2 when the
# file or a tool is missing.  OBJDUMP and STRINGS may name other tools.
set -u

OBJDUMP=${OBJDUMP:-i686-w64-mingw32-objdump}
STRINGS=${STRINGS:-strings}

if [ $# -ne 1 ]; then
    echo "usage: $0 PATH/TO/Brisko.exe" >&2
    exit 2
fi
exe=$1
if [ ! -f "$exe" ]; then
    echo "$0: no such file: $exe" >&2
    exit 2
fi
for tool in "$OBJDUMP" "$STRINGS"; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "$0: tool not found: $tool" >&2
        exit 2
    fi
done

# The i686 objdump reads no other format (a 64-bit PE, an ELF file), so a
# refusal here is the first mismatch rather than a broken tool.
if ! headers=$("$OBJDUMP" -p "$exe" 2>&1); then
    echo "Checking $exe"
    echo "FAIL: file format pei-i386 ($OBJDUMP: ${headers##*: })"
    exit 1
fi
# The resource strings are UTF-16LE, one per line in this listing.
wide_strings=$("$STRINGS" -el "$exe")

failures=0
check() {  # check DESCRIPTION COMMAND...
    local what=$1
    shift
    if "$@"; then
        echo "ok:   $what"
    else
        echo "FAIL: $what"
        failures=$((failures + 1))
    fi
}

has_line() {  # has_line EXTENDED-REGEX: some line of the headers matches
    grep -Eq -- "$1" <<<"$headers"
}

# "dll<TAB>symbol" for every imported name, the DLL name in lower case
# because Windows matches DLL names without regard to case.
imports=$(awk '
    /^[ \t]*DLL Name:/ { dll = tolower($3); next }
    /^[ \t]*$/         { dll = ""; next }
    dll != "" && $1 ~ /^[0-9a-f]+$/ && NF >= 3 { print dll "\t" $3 }
' <<<"$headers")
imported_dlls=$(awk '/^[ \t]*DLL Name:/ { print $3 }' <<<"$headers")

imports_symbol_from() {  # imports_symbol_from DLL SYMBOL
    grep -qxF -- "$(tr '[:upper:]' '[:lower:]' <<<"$1")"$'\t'"$2" <<<"$imports"
}

no_mingw_runtime_dll() {
    ! grep -Eiq '^(libgcc_s|libstdc\+\+|libwinpthread)' <<<"$imported_dlls"
}

# Resource directory as objdump lists it: type entries are indented by two
# spaces, name entries by four.  Prints the name IDs filed under a type ID.
resource_ids_of_type() {  # resource_ids_of_type 0xTTTTTT
    awk -v type="$1" '
        { id = $4; sub(/,$/, "", id) }
        /^[0-9a-f]+   Entry: ID: / { current = id; next }
        /^[0-9a-f]+     Entry: ID: / { if (current == type) print id }
    ' <<<"$headers"
}

icon_group_102_present() {
    resource_ids_of_type 0x00000e | grep -qx 0x000066
}

two_icon_images() {
    [ "$(resource_ids_of_type 0x000003 | wc -l)" -eq 2 ]
}

version_resource_present() {
    [ -n "$(resource_ids_of_type 0x000010)" ]
}

has_string() {
    grep -qxF -- "$1" <<<"$wide_strings"
}

# A version string's value directly follows its name in the resource.
has_version_string() {  # has_version_string NAME VALUE
    awk -v name="$1" -v value="$2" '
        previous == name && $0 == value { found = 1 }
        { previous = $0 }
        END { exit !found }
    ' <<<"$wide_strings"
}

echo "Checking $exe"
check "file format pei-i386"                   has_line 'file format pei-i386$'
check "optional header magic 010b (PE32)"      has_line '^Magic[[:space:]]+010b'
check "subsystem 00000003 (Windows CUI)"       has_line '^Subsystem[[:space:]]+00000003[[:space:]]+\(Windows CUI\)'
check "imports OrlEvt_wto from MORWICK.dll"    imports_symbol_from MORWICK.dll OrlEvt_wto
check "imports no MinGW runtime DLL (libgcc_s*, libstdc++*, libwinpthread*)" \
                                               no_mingw_runtime_dll
check "icon group 102"                         icon_group_102_present
check "two icon images"                        two_icon_images
check "version resource"                       version_resource_present
check "version string table 040904b0"          has_string 040904b0
check "translation entry"                      has_string Translation

while IFS='|' read -r name value; do
    check "version string $name = \"$value\"" has_version_string "$name" "$value"
done <<'VERSION_STRINGS'
Comments|Write message to Velmora over this pipe
FileDescription|brisko
InternalName|brisko
OriginalFilename|brisko.exe
ProductName|Brisko
FileVersion|2001, 6, 4, 0
ProductVersion|2001, 6, 4, 0
PrivateBuild|Release
SpecialBuild|Release
VERSION_STRINGS

echo "Imported DLLs: $(paste -sd " " <<<"$imported_dlls")"
if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "all checks passed"
